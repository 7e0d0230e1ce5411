// Loading: line-end detection, splitting, byte-exact round trips, NUL bytes, failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// Loads bytes, saves them back in the detected style and returns what was written.
std::string RoundTrip(const TempDir& dir, std::string_view bytes, LineEndStyle* style = nullptr) {
  CCrystalTextBuffer buffer;
  EXPECT_TRUE(LoadBytes(buffer, dir, bytes));
  if (style) *style = buffer.GetLineEndStyle();
  std::string out = dir.File("saved.txt");
  EXPECT_TRUE(buffer.Save(out));
  return ReadFile(out);
}

// ---------------------------------------------------------------------------------------
// Detection from the first 32768 bytes

TEST(LineEndDetection, FirstLineEndDecidesTheStyle) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\r\nb\nc"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b\nc"})); // a lone LF stays inside a Dos line

  ASSERT_TRUE(LoadBytes(buffer, dir, "a\nb\r\nc"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b\r", "c"}));

  ASSERT_TRUE(LoadBytes(buffer, dir, "a\n\rb\n\rc"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Unix);
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b", "c"}));
}

TEST(LineEndDetection, LfAtTheVeryStartLooksOnlyForward) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "\n\rx"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Unix);
  ASSERT_TRUE(LoadBytes(buffer, dir, "\nx"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
}

TEST(LineEndDetection, OnlyCrLineEndsGiveDosAndOneLine) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\rb\rc"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_EQ(Lines(buffer), (Strings{"a\rb\rc"}));
}

TEST(LineEndDetection, FirstLfBeyondTheFirstBlockGivesDos) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  std::string bytes(32768, 'x');
  bytes += "\nnext";
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_EQ(buffer.LineCount(), 1);
}

TEST(LineEndDetection, LfAsLastByteOfTheFirstBlockGivesMacEvenBeforeCr) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  std::string bytes(32767, 'x');
  bytes += "\n\rnext"; // LF at 32767; the CR after it lies outside the first block
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  EXPECT_EQ(Lines(buffer), (Strings{std::string(32767, 'x'), "\rnext"}));
}

TEST(LineEndDetection, CrLfAcrossTheFirstBlockBoundaryIsDos) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  std::string bytes(32767, 'x');
  bytes += "\r\nnext"; // CR is byte 32767, LF byte 32768
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  // The first LF lies beyond the first block, so the style is Dos by default; and the line
  // end that straddles the block boundary is still found.
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_EQ(Lines(buffer), (Strings{std::string(32767, 'x'), "next"}));
}

TEST(LineEndDetection, RequestedStyleOverridesDetection) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\r\nb", LineEndStyle::Mac));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  EXPECT_EQ(Lines(buffer), (Strings{"a\r", "b"}));
}

// ---------------------------------------------------------------------------------------
// Splitting

TEST(LineSplitting, EmptyFileIsOneEmptyDosLine) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, ""));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_EQ(Lines(buffer), (Strings{""}));
  EXPECT_TRUE(buffer.IsInitialised());
}

TEST(LineSplitting, TrailingLineEndGivesAnEmptyLastLine) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\r\nb\r\n"));
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b", ""}));
  ASSERT_TRUE(LoadBytes(buffer, dir, "\n"));
  EXPECT_EQ(Lines(buffer), (Strings{"", ""}));
}

TEST(LineSplitting, CrCrLfEndsTheLineAfterTheFirstCr) {
  // Chosen behaviour (the spec keeps all three bytes in one line): every CR LF ends a line,
  // so the first CR stays in the line as an ordinary byte.
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\r\nb\r\r\nc"));
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b\r", "c"}));
}

TEST(LineSplitting, UnixStyleNeedsLfThenCr) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\n\rb\r\nc\n\n\rd\n"));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Unix);
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b\r\nc\n", "d\n"}));
}

TEST(LineSplitting, LineEndsStraddlingReadBlocksAreFound) {
  // The reader asks for 1 MiB at a time; put each style's sequence across that boundary.
  TempDir dir;
  const size_t block = 1024 * 1024;
  for (auto [style, seq] : {std::pair{LineEndStyle::Dos, std::string("\r\n")},
                            std::pair{LineEndStyle::Unix, std::string("\n\r")}}) {
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

TEST(LineSplitting, UnixLfAsTheLastByteOfTheFileStaysInTheLine) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "a\n\rb\n"));
  EXPECT_EQ(Lines(buffer), (Strings{"a", "b\n"}));
}

TEST(LineSplitting, NulBytesAreKept) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  const std::string bytes("a\0b\r\n\0\0\r\nc\0", 11);
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  EXPECT_EQ(Lines(buffer), (Strings{std::string("a\0b", 3), std::string("\0\0", 2),
                                    std::string("c\0", 2)}));
}

TEST(LineSplitting, CapacityRuleHoldsForLoadedLines) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  std::string bytes;
  for (int n : {0, 1, 15, 16, 17, 31, 32, 300000, 5})
    bytes += std::string(static_cast<size_t>(n), 'q') + "\n";
  ASSERT_TRUE(LoadBytes(buffer, dir, bytes));
  for (int i = 0; i < buffer.LineCount(); ++i)
    EXPECT_EQ(buffer.LineCapacity(i), (buffer.LineLength(i) / 16 + 1) * 16) << i;
}

TEST(LineSplitting, HundredMegabytesWithoutLineEndIsOneLine) {
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

// ---------------------------------------------------------------------------------------
// Round trips

TEST(RoundTrip, EveryStyleSavesTheSameBytes) {
  TempDir dir;
  const std::vector<std::pair<std::string, LineEndStyle>> cases = {
      {"a\r\nb\r\n", LineEndStyle::Dos},
      {"Object room \"Room\"\r\n\twith description \"x\";\r\n", LineEndStyle::Dos},
      {"a\nb\n\nc", LineEndStyle::Mac},
      {"a\n\rb\n\r", LineEndStyle::Unix},
      {"", LineEndStyle::Dos},
      {"\r\n", LineEndStyle::Dos},
      {"lone\rcr\r\n", LineEndStyle::Dos},
      {"x\r\r\ny\r\n", LineEndStyle::Dos},
      {"mixed\r\nends\nhere\r", LineEndStyle::Dos},
      {"mac\nwith\r\ncrlf\r", LineEndStyle::Mac},
      {"unix\n\rwith\r\n\nodd\n\r\n", LineEndStyle::Unix},
      {std::string("nul\0\r\n\0", 7), LineEndStyle::Dos},
  };
  for (const auto& [bytes, style] : cases) {
    LineEndStyle detected;
    EXPECT_EQ(RoundTrip(dir, bytes, &detected), bytes);
    EXPECT_EQ(detected, style) << bytes;
  }
}

TEST(RoundTrip, AllByteValuesAcrossBlocks) {
  TempDir dir;
  std::string bytes;
  unsigned seed = 7;
  while (bytes.size() < 3u * 1024 * 1024 + 17) {
    seed = seed * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(seed >> 16));
  }
  EXPECT_EQ(RoundTrip(dir, bytes), bytes);
}

// ---------------------------------------------------------------------------------------
// State after Load, and failures that change nothing

TEST(LoadState, ResetsFlagsUndoAndNotifiesViews) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  RecordingView view;
  buffer.AttachView(&view);
  buffer.CreateEmpty();
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "typed", el, ec);
  ASSERT_TRUE(buffer.IsModified());
  view.changes.clear();
  ASSERT_TRUE(LoadBytes(buffer, dir, "x\ny"));
  EXPECT_FALSE(buffer.IsModified());
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_FALSE(buffer.CanRedo());
  EXPECT_EQ(buffer.UndoRecordCount(), 0);
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].hints, UPD_RESET);
  EXPECT_EQ(view.changes[0].line, -1);
  EXPECT_FALSE(buffer.IsReadOnly());
}

TEST(LoadState, LoadWithoutClearReplacesTheText) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "one\ntwo"));
  WriteFile(dir.File("other"), "three");
  ASSERT_TRUE(buffer.Load(dir.File("other")));
  EXPECT_EQ(Lines(buffer), (Strings{"three"}));
}

class LoadFailure : public ::testing::Test {
protected:
  void SetUp() override {
    buffer.AttachView(&view);
    ASSERT_TRUE(LoadBytes(buffer, dir, "keep\nme"));
    int el, ec;
    buffer.InsertText(nullptr, 0, 0, "!", el, ec);
    view.changes.clear();
  }
  void ExpectUnchanged() {
    EXPECT_EQ(Lines(buffer), (Strings{"!keep", "me"}));
    EXPECT_TRUE(buffer.IsInitialised());
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
    EXPECT_TRUE(buffer.CanUndo());
    EXPECT_TRUE(view.changes.empty());
  }
  TempDir dir;
  CCrystalTextBuffer buffer;
  RecordingView view;
};

TEST_F(LoadFailure, MissingFile) {
  EXPECT_FALSE(buffer.Load(dir.File("absent.inf")));
  ExpectUnchanged();
}

TEST_F(LoadFailure, Directory) {
  EXPECT_FALSE(buffer.Load(dir.Path()));
  ExpectUnchanged();
}

TEST_F(LoadFailure, UnreadableFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  std::string path = dir.File("secret");
  WriteFile(path, "x");
  chmod(path.c_str(), 0);
  EXPECT_FALSE(buffer.Load(path));
  ExpectUnchanged();
}

TEST(LoadState, ReadOnlyFlagFollowsWritePermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
  TempDir dir;
  std::string path = dir.File("ro.inf");
  WriteFile(path, "x");
  chmod(path.c_str(), 0444);
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(buffer.Load(path));
  EXPECT_TRUE(buffer.IsReadOnly());
}

} // namespace
