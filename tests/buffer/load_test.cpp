// Loading: line-end detection, splitting, byte-exact round trips, read blocks, what is not a
// file, lines too long to hold, and failures with their reasons.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "buffer_test_support.h"
#include "text_file_io.h"

namespace {

using Strings = std::vector<std::string>;
using enum LineEndStyle;

constexpr size_t READ_BLOCK = 1024 * 1024; // what the reader asks for at a time

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
  for (int n : {0, 1, 15, 16, 17, 31, 32, 5}) {
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
      {"unix\n\rwith\r\n\nodd\n\r\n", Automatic, Unix, {"unix", "with\r\n\nodd", "\n"}},
      {"a\n\rb\r\nc\n\n\rd\n", Automatic, Unix, {"a", "b\r\nc\n", "d\n"}},
      {"a\r\nb", Mac, Mac, {"a\r", "b"}}, // a requested style overrides detection
      // At the very start and end of the text the neighbours of the first LF still count;
      // only CRs give Dos and one line.
      {"\r\nx", Automatic, Dos, {"", "x"}},
      {"a\n\r", Automatic, Unix, {"a", ""}},
      {"a\n\rb\n\r", Automatic, Unix, {"a", "b", ""}},
      {"\n\rx", Automatic, Unix, {"", "x"}},
      {"\nx", Automatic, Mac, {"", "x"}},
      {"a\rb\rc", Automatic, Dos, {"a\rb\rc"}},
      // Detection looks at the first 32768 bytes only.
      {x32767 + "x\nnext", Automatic, Dos, {x32767 + "x\nnext"}},
      {x32767 + "\n\rnext", Automatic, Mac, {x32767, "\rnext"}},
      {x32767 + "\r\nnext", Automatic, Dos, {x32767, "next"}},
      // Empty files and trailing line ends.
      {"", Automatic, Dos, {""}},
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

TEST(Loading, LineEndsAtAndAcrossReadBlockEdgesAreFound) {
  // Each style's sequence ending right at a block's last byte, split over two blocks, and
  // starting a block; then a line longer than two blocks.
  TempDir dir;
  for (auto [style, seq] : {std::pair{Dos, std::string("\r\n")}, std::pair{Unix, std::string("\n\r")},
                            std::pair{Mac, std::string("\n")}}) {
    for (size_t end : {READ_BLOCK, READ_BLOCK + 1, READ_BLOCK + seq.size(), 3 * READ_BLOCK + 1}) {
      SCOPED_TRACE(std::to_string(int(style)) + " " + std::to_string(end));
      std::string bytes = "head" + seq;
      bytes += std::string(end - bytes.size() - seq.size(), 'x') + seq + "tail";
      CCrystalTextBuffer buffer;
      ASSERT_TRUE(LoadBytes(buffer, dir, bytes, style));
      EXPECT_EQ(Lines(buffer), (Strings{"head", std::string(end - 4 - 2 * seq.size(), 'x'), "tail"}));
    }
  }
  // Random bytes over several blocks come back as they were.
  std::string bytes;
  for (unsigned seed = 7; bytes.size() < 3 * READ_BLOCK + 17;) {
    seed = seed * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(seed >> 16));
  }
  CCrystalTextBuffer buffer;
  ExpectRoundTrip(buffer, dir, bytes);
}

TEST(Loading, APumpRunsBetweenBlocksAndStopsTheLoadWhenItSaysSo) {
  TempDir dir;
  std::string bytes;
  while (bytes.size() < 3 * READ_BLOCK + 5) bytes += std::string(99, 'x') + "\n";
  WriteFile(dir.File("big"), bytes);
  CCrystalTextBuffer buffer;
  int calls = 0;
  EXPECT_TRUE(buffer.Load(dir.File("big"), Automatic, [&] { return ++calls, true; }));
  EXPECT_EQ(calls, 3); // after each of the three whole blocks
  EXPECT_EQ(buffer.LineCount(), 31459);
  ASSERT_TRUE(LoadBytes(buffer, dir, "keep"));
  calls = 0;
  EXPECT_FALSE(buffer.Load(dir.File("big"), Automatic, [&] { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Lines(buffer), Strings{"keep"});
  EXPECT_FALSE(buffer.LastFileError().IsFailure()); // a stopped load touches nothing
}

long BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

// Reads path into a store that holds lines of at most limit bytes: why it failed, if it did.
FileError ReadLimited(const std::string& path, int64_t limit) {
  LineStore lines;
  lines.SetMaxLineLength(limit);
  LineEndStyle style;
  bool readOnly;
  FileError error{1, "stale"};
  const bool read = ReadTextFile(path, Automatic, lines, style, readOnly, &error);
  EXPECT_EQ(read, !error.IsFailure());
  return error;
}

TEST(Loading, ALineTooLongToHoldStopsTheReadAtOnceWithItsNumber) {
  TempDir dir;
  const std::string over(101, 'x'), blockLine(READ_BLOCK - 1, 'x');
  const std::string line2 = "line 2 is longer than 100 bytes, the most a line can hold";
  const struct {
    std::string bytes;
    int64_t limit;
    std::string error; // empty: loads
  } rows[] = {
      {"a\r\n" + over + "\r\nb", 101, ""},
      {"a\r\n" + over + "\r\nb", 100, line2},
      {"a\n\r" + over, 100, line2},
      {over + "\n", 100, "line 1 is longer than 100 bytes, the most a line can hold"},
      // The CR that ends a block may begin the line end: the line is not too long yet.
      {blockLine + "\r\nb", READ_BLOCK - 1, ""},
      {blockLine + "\r\nb", READ_BLOCK - 2, "line 1 is longer than 1048574 bytes, the most a line can hold"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes.substr(0, 6) + " " + std::to_string(row.limit));
    WriteFile(dir.File("f"), row.bytes);
    const FileError error = ReadLimited(dir.File("f"), row.limit);
    EXPECT_EQ(error.text, row.error);
    EXPECT_EQ(error.code, row.error.empty() ? 0 : EFBIG);
  }
  // 256 MiB without a line end (a file of holes): refused after the first blocks, not read on.
  WriteFile(dir.File("holes"), "");
  ASSERT_EQ(truncate(dir.File("holes").c_str(), 256 << 20), 0);
  const long before = BytesReadSoFar();
  EXPECT_EQ(ReadLimited(dir.File("holes"), 1000).text,
            "line 1 is longer than 1000 bytes, the most a line can hold");
  EXPECT_LT(BytesReadSoFar() - before, 4 * static_cast<long>(READ_BLOCK));
}

TEST(Loading, WhatCannotBeReadIsRefusedAtOnceWithTheReasonAndChangesNothing) {
  TempDir dir;
  const std::string secret = dir.File("secret"), fifo = dir.File("fifo");
  WriteFile(secret, "x");
  chmod(secret.c_str(), 0);
  chmod(dir.Path().c_str(), 0755);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  const struct {
    std::string path;
    int code;
    const char* text;
  } rows[] = {
      {dir.File("absent.inf"), ENOENT, "No such file or directory"},
      {dir.Path(), EISDIR, "is a directory"},
      {secret, EACCES, "Permission denied"},
      {fifo, EINVAL, "is a named pipe, not a file"}, // opening it must not wait for a writer
      {"/dev/zero", EINVAL, "is a character device, not a file"}, // would never end
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    CCrystalTextBuffer buffer;
    RecordingView view(&buffer);
    buffer.AttachView(&view);
    ASSERT_TRUE(LoadBytes(buffer, dir, "keep\nme"));
    int el, ec;
    buffer.InsertText(nullptr, 0, 0, "!", el, ec);
    view.changes.clear();
    alarm(20); // a load that blocks ends the test rather than hanging it
    bool loaded = true;
    RunAsOrdinaryUser([&] { loaded = buffer.Load(row.path); });
    alarm(0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(buffer.LastFileError().code, row.code);
    EXPECT_EQ(buffer.LastFileError().text, row.text);
    EXPECT_EQ(Lines(buffer), (Strings{"!keep", "me"}));
    EXPECT_TRUE(buffer.IsInitialised() && buffer.IsModified() && buffer.CanUndo());
    EXPECT_EQ(buffer.GetLineEndStyle(), Mac);
    EXPECT_TRUE(view.changes.empty());
    // A load that succeeds replaces the text and its history, clears the reason, and resets
    // the views once.
    WriteFile(dir.File("other"), "x\r\ny");
    ASSERT_TRUE(buffer.Load(dir.File("other")));
    EXPECT_EQ(Lines(buffer), (Strings{"x", "y"}));
    EXPECT_FALSE(buffer.IsModified() || buffer.CanUndo() || buffer.CanRedo() || buffer.IsReadOnly());
    EXPECT_FALSE(buffer.LastFileError().IsFailure());
    ASSERT_EQ(view.changes.size(), 1u);
    EXPECT_EQ(view.changes[0].hints, UPD_RESET);
    EXPECT_EQ(view.changes[0].line, -1);
  }
}

TEST(Loading, ReadOnlyFlagFollowsWritePermission) {
  TempDir dir;
  CCrystalTextBuffer buffers[2];
  for (int i = 0; i < 2; ++i) {
    WriteFile(dir.File(std::to_string(i)), "x");
    chmod(dir.File(std::to_string(i)).c_str(), i == 0 ? 0444 : 0666);
  }
  chmod(dir.Path().c_str(), 0755);
  bool loaded = false;
  RunAsOrdinaryUser([&] { loaded = buffers[0].Load(dir.File("0")) && buffers[1].Load(dir.File("1")); });
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(buffers[0].IsReadOnly());
  EXPECT_FALSE(buffers[1].IsReadOnly());
}

} // namespace
