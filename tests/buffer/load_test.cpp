// Loading: line ends, byte-exact round trips, read blocks, lines too long, refused files.
#include <gtest/gtest.h>

#include "buffer_test_support.h"
#include "text_file_io.h"

namespace {

using Strings = std::vector<std::string>;
using enum LineEndStyle;

constexpr size_t READ_BLOCK = 1024 * 1024; // what the reader asks for at a time

TEST(Loading, StyleFromTheFirstBlockLinesSplitByItAndTheSameBytesSavedBack) {
  const std::string x32767(32767, 'x'), q15(15, 'q'), q16(16, 'q');
  const std::tuple<std::string, LineEndStyle, LineEndStyle, Strings> rows[] = {
      {"a\r\nb\nc", Automatic, Dos, {"a", "b\nc"}},
      {"a\nb\r\nc", Automatic, Mac, {"a", "b\r", "c"}},
      {"unix\n\rwith\r\n\nodd\n\r\n", Automatic, Unix, {"unix", "with\r\n\nodd", "\n"}},
      {"a\n\rb\r\nc\n\n\rd\n", Automatic, Unix, {"a", "b\r\nc\n", "d\n"}}, // a final LF alone stays
      {"a\r\nb", Mac, Mac, {"a\r", "b"}}, // a requested style overrides detection
      {"\r\nx", Automatic, Dos, {"", "x"}},
      {"a\n\r", Automatic, Unix, {"a", ""}},
      {"\n\rx", Automatic, Unix, {"", "x"}},
      {"a\rb\rc", Automatic, Dos, {"a\rb\rc"}},
      {x32767 + "x\nnext", Automatic, Dos, {x32767 + "x\nnext"}},
      {x32767 + "\n\rnext", Automatic, Mac, {x32767, "\rnext"}},
      {x32767 + "\r\nnext", Automatic, Dos, {x32767, "next"}},
      {"", Automatic, Dos, {""}},
      {"a\r\nb\r\n", Automatic, Dos, {"a", "b", ""}},
      {"\n", Automatic, Mac, {"", ""}},
      {"a\r\nb\r\r\nc", Automatic, Dos, {"a", "b\r", "c"}},
      {std::string("a\0b\r\n\0\0\r\nc\0", 11), Automatic, Dos,
       {std::string("a\0b", 3), std::string("\0\0", 2), std::string("c\0", 2)}},
      {"\nq\n" + q15 + "\n" + q16 + "\n" + q16 + "q\n" + q15 + q16 + "\n" + q16 + q16, Automatic, Mac,
       {"", "q", q15, q16, q16 + "q", q15 + q16, q16 + q16}},
  };
  TempDir dir;
  CTextBuffer buffer;
  for (const auto& [bytes, requested, style, lines] : rows) { // saved back in the style found
    SCOPED_TRACE(bytes.substr(0, 40));
    ASSERT_TRUE(LoadBytes(buffer, dir, bytes, requested) && buffer.Save(dir.File("saved")));
    EXPECT_TRUE(ReadFile(dir.File("saved")) == bytes) << "saved bytes differ";
    EXPECT_TRUE(buffer.IsInitialised() && buffer.GetLineEndStyle() == style);
    EXPECT_TRUE(Lines(buffer) == lines) << "lines differ";
  }
  const int capacities[] = {0, 1, 15, 16, 17, 31, 32};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(buffer.LineCapacity(i), capacities[i]) << i;
  ASSERT_TRUE(Insert(buffer, 2, 15, "r") && Insert(buffer, 0, 0, "s"));
  EXPECT_EQ(Lines(buffer), (Strings{"s", "q", q15 + "r", q16, q16 + "q", q15 + q16, q16 + q16}));
  EXPECT_TRUE(buffer.LineCapacity(2) == 32 && buffer.LineCapacity(0) == 16 && buffer.LineCapacity(1) == 1);
}

TEST(Loading, LineEndsAtAndAcrossReadBlockEdgesAreFound) {
  TempDir dir;
  CTextBuffer buffer;
  for (auto [style, seq] : {std::pair{Dos, std::string("\r\n")}, std::pair{Unix, std::string("\n\r")},
                            std::pair{Mac, std::string("\n")}}) {
    for (size_t end : {READ_BLOCK, READ_BLOCK + 1, READ_BLOCK + seq.size(), 3 * READ_BLOCK + 1}) {
      SCOPED_TRACE(std::to_string(int(style)) + " " + std::to_string(end));
      const std::string bytes = "head" + seq + std::string(end - 4 - 2 * seq.size(), 'x') + seq + "tail";
      ASSERT_TRUE(LoadBytes(buffer, dir, bytes, style));
      EXPECT_EQ(Lines(buffer), (Strings{"head", std::string(end - 4 - 2 * seq.size(), 'x'), "tail"}));
    }
  }
}

TEST(Loading, APumpRunsBetweenBlocksAndStopsTheLoadWhenItSaysSo) {
  TempDir dir;
  std::string bytes;
  while (bytes.size() < 3 * READ_BLOCK + 5) bytes += std::string(99, 'x') + "\n";
  WriteFile(dir.File("big"), bytes);
  CTextBuffer buffer;
  int calls = 0;
  EXPECT_TRUE(buffer.Load(dir.File("big"), Automatic, [&] { return ++calls, true; }));
  EXPECT_EQ(calls, 3); // after each of the three whole blocks
  EXPECT_EQ(buffer.LineCount(), 31459);
  ASSERT_TRUE(LoadBytes(buffer, dir, "keep"));
  calls = 0;
  EXPECT_FALSE(buffer.Load(dir.File("big"), Automatic, [&] { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Lines(buffer), Strings{"keep"}); // a stopped load touches nothing
  EXPECT_FALSE(buffer.LastFileError().IsFailure());
}

long BytesReadSoFar() { // rchar, the first line of /proc/self/io
  std::string key;
  long value = -1;
  std::ifstream("/proc/self/io") >> key >> value;
  return value;
}

TEST(Loading, ALineTooLongToHoldStopsTheReadAtOnceWithItsNumber) {
  TempDir dir;
  auto readLimited = [&](int64_t limit) {
    CLineStore lines;
    lines.SetMaxLineLength(limit);
    LineEndStyle style;
    bool readOnly;
    FileError error{1, "stale"};
    const bool read = ReadTextFile(dir.File("f"), Automatic, lines, style, readOnly, &error);
    EXPECT_EQ(read, !error.IsFailure());
    return error;
  };
  const std::string over(101, 'x'), blockLine(READ_BLOCK - 1, 'x');
  const std::string line2 = "line 2 is longer than 100 bytes, the most a line can hold";
  const std::tuple<std::string, int64_t, std::string> rows[] = { // bytes, limit, error (none: loads)
      {"a\r\n" + over + "\r\nb", 101, ""},
      {"a\r\n" + over + "\r\nb", 100, line2},
      {"a\n\r" + over, 100, line2},
      {over + "\n", 100, "line 1 is longer than 100 bytes, the most a line can hold"},
      {blockLine + "\r\nb", READ_BLOCK - 1, ""},
      {blockLine + "\r\nb", READ_BLOCK - 2, "line 1 is longer than 1048574 bytes, the most a line can hold"},
  };
  for (const auto& [bytes, limit, text] : rows) {
    SCOPED_TRACE(bytes.substr(0, 6) + " " + std::to_string(limit));
    WriteFile(dir.File("f"), bytes);
    const FileError error = readLimited(limit);
    EXPECT_EQ(error.text, text);
    EXPECT_EQ(error.code, text.empty() ? 0 : EFBIG);
  }
  WriteFile(dir.File("f"), "");
  ASSERT_EQ(truncate(dir.File("f").c_str(), 256 << 20), 0);
  const long before = BytesReadSoFar();
  EXPECT_EQ(readLimited(1000).text, "line 1 is longer than 1000 bytes, the most a line can hold");
  EXPECT_LT(BytesReadSoFar() - before, 4 * static_cast<long>(READ_BLOCK));
}

TEST(Loading, WhatCannotBeReadIsRefusedWithTheReasonAndChangesNothingAndReadOnlyFollowsAccess) {
  TempDir dir;
  const std::string secret = dir.File("secret"), fifo = dir.File("fifo"), other = dir.File("other");
  WriteFile(secret, "x");
  WriteFile(other, "x\r\ny");
  chmod(secret.c_str(), 0);
  chmod(dir.Path().c_str(), 0755);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  const std::tuple<std::string, int, std::string> rows[] = {
      {dir.File("absent.inf"), ENOENT, "No such file or directory"},
      {dir.Path(), EISDIR, "is a directory"},
      {secret, EACCES, "Permission denied"},
      {fifo, EINVAL, "is a named pipe, not a file"}, // opening it must not wait for a writer
      {"/dev/zero", EINVAL, "is a character device, not a file"}, // would never end
  };
  for (const auto& [path, code, text] : rows) {
    SCOPED_TRACE(path);
    CTextBuffer buffer;
    RecordingView view(&buffer);
    ASSERT_TRUE(LoadBytes(buffer, dir, "keep\nme"));
    Insert(buffer, 0, 0, "!");
    view.changes.clear();
    alarm(20); // a load that blocks ends the test rather than hanging it
    bool loaded = true;
    RunAsOrdinaryUser([&] { loaded = buffer.Load(path); });
    alarm(0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(std::pair(buffer.LastFileError().code, buffer.LastFileError().text), std::pair(code, text));
    EXPECT_EQ(Lines(buffer), (Strings{"!keep", "me"}));
    EXPECT_TRUE(buffer.IsInitialised() && buffer.IsModified() && buffer.CanUndo());
    EXPECT_TRUE(buffer.GetLineEndStyle() == Mac && view.changes.empty());
    for (mode_t mode : {0666, 0444}) {
      chmod(other.c_str(), mode);
      RunAsOrdinaryUser([&] { loaded = buffer.Load(other); });
      ASSERT_TRUE(loaded);
      EXPECT_EQ(buffer.IsReadOnly(), mode == 0444);
    }
    EXPECT_EQ(Lines(buffer), (Strings{"x", "y"}));
    EXPECT_FALSE(buffer.IsModified() || buffer.CanUndo() || buffer.CanRedo());
    EXPECT_FALSE(buffer.LastFileError().IsFailure());
    ASSERT_EQ(view.changes.size(), 2u);
    EXPECT_TRUE(view.changes[0].hints == UPD_RESET && view.changes[0].line == -1);
  }
}

} // namespace
