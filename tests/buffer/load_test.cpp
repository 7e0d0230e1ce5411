// Loading: line-end detection, splitting, byte-exact round trips, large files, failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;
using enum LineEndStyle;

// Loads bytes and saves them back in the style the buffer then has: the same bytes come out.
void ExpectRoundTrip(CCrystalTextBuffer& buffer, const TempDir& dir, std::string_view bytes,
                     LineEndStyle requested = Automatic) {
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes, requested));
  ASSERT_TRUE(buffer.Save(dir.File("saved.txt")));
  EXPECT_TRUE(ReadFile(dir.File("saved.txt")) == bytes) << "saved bytes differ";
}

TEST(Loading, StyleFromTheFirstBlockLinesSplitByItAndTheSameBytesSavedBack) {
  const std::string x32767(32767, 'x');
  std::string capacityBytes;
  Strings capacityLines;
  for (int n : {0, 1, 15, 16, 17, 31, 32, 300000, 5}) {
    capacityLines.push_back(std::string(static_cast<size_t>(n), 'q'));
    capacityBytes += capacityLines.back() + "\n";
  }
  capacityLines.push_back("");
  struct Row {
    std::string bytes;
    LineEndStyle requested, style;
    Strings lines;
  };
  const Row rows[] = {
      // The first line end decides; other sequences stay in the lines as bytes.
      {"a\r\nb\nc", Automatic, Dos, {"a", "b\nc"}},
      {"a\nb\r\nc", Automatic, Mac, {"a", "b\r", "c"}},
      {"a\n\rb\n\rc", Automatic, Unix, {"a", "b", "c"}},
      {"mixed\r\nends\nhere\r", Automatic, Dos, {"mixed", "ends\nhere\r"}},
      {"mac\nwith\r\ncrlf\r", Automatic, Mac, {"mac", "with\r", "crlf\r"}},
      {"unix\n\rwith\r\n\nodd\n\r\n", Automatic, Unix, {"unix", "with\r\n\nodd", "\n"}},
      {"a\n\rb\r\nc\n\n\rd\n", Automatic, Unix, {"a", "b\r\nc\n", "d\n"}},
      {"a\r\nb", Mac, Mac, {"a\r", "b"}}, // a requested style overrides detection
      // An LF at the very start looks only forward; only CRs give Dos and one line.
      {"\n\rx", Automatic, Unix, {"", "x"}},
      {"\nx", Automatic, Mac, {"", "x"}},
      {"a\rb\rc", Automatic, Dos, {"a\rb\rc"}},
      // The first block is 32768 bytes; a line end straddling its end is still found.
      {x32767 + "x\nnext", Automatic, Dos, {x32767 + "x\nnext"}},
      {x32767 + "\n\rnext", Automatic, Mac, {x32767, "\rnext"}},
      {x32767 + "\r\nnext", Automatic, Dos, {x32767, "next"}},
      // Empty files and trailing line ends.
      {"", Automatic, Dos, {""}},
      {"\r\n", Automatic, Dos, {"", ""}},
      {"a\r\nb\r\n", Automatic, Dos, {"a", "b", ""}},
      {"\n", Automatic, Mac, {"", ""}},
      {"a\n\rb\n", Automatic, Unix, {"a", "b\n"}}, // a final LF without CR stays in the line
      // Every CR LF ends a line, so in CR CR LF the first CR stays in the line as a byte.
      {"a\r\nb\r\r\nc", Automatic, Dos, {"a", "b\r", "c"}},
      {std::string("a\0b\r\n\0\0\r\nc\0", 11), Automatic, Dos,
       {std::string("a\0b", 3), std::string("\0\0", 2), std::string("c\0", 2)}},
      {capacityBytes, Automatic, Mac, capacityLines},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes.substr(0, 40));
    CCrystalTextBuffer buffer;
    ExpectRoundTrip(buffer, dir, row.bytes, row.requested);
    EXPECT_TRUE(buffer.IsInitialised());
    EXPECT_EQ(buffer.GetLineEndStyle(), row.style);
    EXPECT_TRUE(Lines(buffer) == row.lines) << "lines differ";
    for (int i = 0; i < buffer.LineCount(); ++i)
      EXPECT_EQ(buffer.LineCapacity(i), (buffer.LineLength(i) / 16 + 1) * 16) << i;
  }
}

TEST(Loading, LineEndsStraddlingReadBlocksAreFound) {
  // The reader asks for 1 MiB at a time; put each style's sequence across that boundary.
  TempDir dir;
  const size_t block = 1024 * 1024;
  for (auto [style, seq] : {std::pair{Dos, std::string("\r\n")}, std::pair{Unix, std::string("\n\r")}}) {
    for (size_t before : {block - 1, block - 2, 2 * block - 1}) {
      std::string bytes = "head" + seq;
      bytes += std::string(before - bytes.size(), 'x');
      bytes += seq + "tail";
      CCrystalTextBuffer buffer;
      ASSERT_TRUE(LoadBytes(buffer, dir, bytes, style));
      ASSERT_EQ(buffer.LineCount(), 3) << int(style) << " " << before;
      EXPECT_EQ(buffer.LineLength(1), static_cast<int>(before - 4 - seq.size()));
      EXPECT_EQ(Lines(buffer)[2], "tail");
    }
  }
}

TEST(Loading, AllByteValuesAcrossBlocksRoundTrip) {
  TempDir dir;
  std::string bytes;
  unsigned seed = 7;
  while (bytes.size() < 3u * 1024 * 1024 + 17) {
    seed = seed * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(seed >> 16));
  }
  CCrystalTextBuffer buffer;
  ExpectRoundTrip(buffer, dir, bytes);
}

TEST(Loading, HundredMegabytesWithoutLineEndIsOneLine) {
  TempDir dir;
  std::string bytes(100u * 1024 * 1024, 'z');
  bytes[12345] = '\r'; // a CR without LF ends nothing
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  ASSERT_EQ(buffer.LineCount(), 1);
  ASSERT_EQ(buffer.LineLength(0), static_cast<int>(bytes.size()));
  EXPECT_EQ(buffer.LineChars(0)[12345], '\r');
  EXPECT_EQ(buffer.LineChars(0)[bytes.size() - 1], 'z');
}

TEST(Loading, LoadReplacesTheTextResetsTheStateAndNotifiesOnce) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  ASSERT_TRUE(LoadBytes(buffer, dir, "one\ntwo"));
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "typed", el, ec);
  ASSERT_TRUE(buffer.IsModified());
  view.changes.clear();
  WriteFile(dir.File("other"), "x\r\ny");
  ASSERT_TRUE(buffer.Load(dir.File("other")));
  EXPECT_EQ(Lines(buffer), (Strings{"x", "y"}));
  EXPECT_FALSE(buffer.IsModified() || buffer.CanUndo() || buffer.CanRedo() || buffer.IsReadOnly());
  EXPECT_EQ(buffer.UndoRecordCount(), 0);
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].hints, UPD_RESET);
  EXPECT_EQ(view.changes[0].line, -1);
}

TEST(Loading, FailedLoadChangesNothing) {
  TempDir dir;
  const std::string secret = dir.File("secret");
  WriteFile(secret, "x");
  chmod(secret.c_str(), 0);
  for (const std::string& path : {dir.File("absent.inf"), dir.Path(), secret}) {
    if (path == secret && geteuid() == 0) continue; // root reads files whatever their permissions
    SCOPED_TRACE(path);
    CCrystalTextBuffer buffer;
    RecordingView view(&buffer);
    buffer.AttachView(&view);
    ASSERT_TRUE(LoadBytes(buffer, dir, "keep\nme"));
    int el, ec;
    buffer.InsertText(nullptr, 0, 0, "!", el, ec);
    view.changes.clear();
    EXPECT_FALSE(buffer.Load(path));
    EXPECT_EQ(Lines(buffer), (Strings{"!keep", "me"}));
    EXPECT_TRUE(buffer.IsInitialised() && buffer.IsModified() && buffer.CanUndo());
    EXPECT_EQ(buffer.GetLineEndStyle(), Mac);
    EXPECT_TRUE(view.changes.empty());
  }
}

TEST(Loading, ReadOnlyFlagFollowsWritePermission) {
  TempDir dir;
  const std::string readOnly = dir.File("ro.inf");
  const std::string writable = dir.File("rw.inf");
  WriteFile(readOnly, "x");
  WriteFile(writable, "x");
  chmod(readOnly.c_str(), 0444);
  chmod(writable.c_str(), 0666);
  // Root may write any file: as root, look at the files as an ordinary user would.
  const bool asRoot = geteuid() == 0;
  if (asRoot) {
    chmod(dir.Path().c_str(), 0755);
    ASSERT_EQ(seteuid(65534), 0);
  }
  CCrystalTextBuffer a, b;
  const bool loaded = a.Load(readOnly) && b.Load(writable);
  if (asRoot) ASSERT_EQ(seteuid(0), 0);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(a.IsReadOnly());
  EXPECT_FALSE(b.IsReadOnly());
}

} // namespace
