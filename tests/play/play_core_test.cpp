// Walkthrough command files, the interpreter's line-typed output, normalisation, the line
// difference and its unified form.
#include <random>

#include <gtest/gtest.h>

#include "line_diff.h"
#include "transcript.h"
#include "transcript_normaliser.h"
#include "walkthrough_commands.h"

namespace {

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + "|";
  return text;
}

TEST(WalkthroughCommandsTest, ParsesCommandsCommentsAndSettings) {
  WalkthroughCommands w;
  std::string error;
  ASSERT_TRUE(ParseWalkthroughCommands("# seed: 42\r\n#width:60\n  look \n\n# x me\ntake all\tnow\n", w, error));
  EXPECT_EQ(Joined(w.commands), "look|take all\tnow|");
  EXPECT_EQ(w.seed, 42);
  EXPECT_EQ(w.width, 60);
  ASSERT_TRUE(ParseWalkthroughCommands("# seed: -3\n# width: 7x\nn", w, error));
  EXPECT_EQ(w.seed, 0);
  EXPECT_EQ(w.width, 0);
  EXPECT_EQ(FormatWalkthroughCommands({{"n", "take lamp"}, 9, 0}, error), "# seed: 9\nn\ntake lamp\n");
  for (const std::string bad : {"# hash", "", " x", "a\nb"}) {
    error.clear();
    EXPECT_EQ(FormatWalkthroughCommands({{"n", bad}, 0, 0}, error), "");
    EXPECT_NE(error.find("command 2 "), std::string::npos) << bad;
  }
}

TEST(WalkthroughCommandsTest, BinaryBytesAreRefusedWithTheirLine) {
  WalkthroughCommands w;
  std::string error;
  EXPECT_FALSE(ParseWalkthroughCommands(std::string("look\nn\nx\0y\n", 9), w, error));
  EXPECT_EQ(error, "line 3 holds the byte 0x00: a command file holds text only");
  EXPECT_TRUE(w.commands.empty());
  EXPECT_FALSE(ParseWalkthroughCommands("look\x1b[2J\n", w, error));
  EXPECT_EQ(error, "line 1 holds the byte 0x1B: a command file holds text only");
  EXPECT_TRUE(ParseWalkthroughCommands("caf\xc3\xa9\n", w, error));
}

TEST(TranscriptTest, InputLinesTakeTheCommandsInTurn) {
  CLineTypedReader reader;
  std::vector<CLineTypedReader::Line> lines;
  const std::string output = "Line-type display ON\n  Welcome\n. \n> >  \n  A room.\r\n) Sure? \n  Bye";
  for (const char c : output) reader.Feed(std::string_view(&c, 1), lines); // byte by byte
  EXPECT_EQ(reader.Pending(), "Bye");
  reader.Finish(lines);
  Transcript t;
  t.Add(lines, {"look", "y"});
  t.Add({{"> ", true}}, {"look", "y"});
  EXPECT_EQ(t.Text(), "Welcome\n\n>look\nA room.\nSure? y\nBye\n>\n");
  EXPECT_EQ(t.command, (std::vector<int>{0, 0, 1, 1, 2, 2, 3}));
  EXPECT_EQ(t.inputsSeen, 3);
  EXPECT_EQ(Joined(SplitLines("a\r\nb\n\nc")), "a|b||c|");
}

TEST(TranscriptTest, AnEndlessLineIsCut) {
  CLineTypedReader reader;
  std::vector<CLineTypedReader::Line> lines;
  const std::string chunk(10000, 'x');
  reader.Feed("  ", lines);
  for (int i = 0; i < 100; ++i) reader.Feed(chunk, lines);
  reader.Feed("\n  ok\n", lines);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text.size(), 65536u);
  EXPECT_EQ(lines[1].text, "ok");
}

TEST(TranscriptNormaliserTest, BannerAndPatterns) {
  CTranscriptNormaliser n;
  std::string error;
  ASSERT_TRUE(n.SetPatterns("# turns\nTurn \\d+\n\nx*\n", error));
  const std::vector<std::string> in = {"Release 6 / Serial number 160701 / Inform v6.41 Library v6.12.6 SD",
                                       "Serial number 16070", "Turn 12 of Turn 3", "box"};
  EXPECT_EQ(Joined(n.Lines(in)), "[release, serial number and version]|Serial number 16070|* of *|bo*|");
  EXPECT_FALSE(n.SetPatterns("ok\n(unclosed\n", error));
  EXPECT_EQ(error.rfind("line 2 (\"(unclosed\") is not a regular expression", 0), 0u) << error;
  EXPECT_EQ(n.Line("Turn 1"), "*"); // the old patterns stay
}

std::string Script(const std::vector<DiffRun>& runs) {
  std::string text;
  for (const DiffRun& r : runs) text += "=-+"[r.kind] + std::to_string(r.count) + " ";
  return text;
}

std::vector<std::string> Lines(const std::string& letters) {
  std::vector<std::string> lines;
  for (const char c : letters) lines.emplace_back(1, c);
  return lines;
}

TEST(LineDiffTest, ShortestScripts) {
  const struct { const char *a, *b, *script; } rows[] = {
      {"", "", ""},
      {"abc", "abc", "=3 "},
      {"abc", "", "-3 "},
      {"", "ab", "+2 "},
      {"abcabba", "cbabac", "-1 +1 =1 -1 =2 -1 =1 +1 "},
      {"xaby", "xcdy", "=1 -2 +2 =1 "},
      {"ab", "ba", "-1 =1 +1 "},
  };
  for (const auto& row : rows) EXPECT_EQ(Script(DiffLines(Lines(row.a), Lines(row.b))), row.script) << row.a << " " << row.b;
}

TEST(LineDiffTest, RandomTextsGetAShortestScriptThatRebuildsThem) {
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    std::string a, b;
    const int n = static_cast<int>(random() % 30), m = static_cast<int>(random() % 30);
    for (int i = 0; i < n; ++i) a += static_cast<char>('a' + random() % 4);
    for (int i = 0; i < m; ++i) b += static_cast<char>('a' + random() % 4);
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (int i = n - 1; i >= 0; --i)
      for (int j = m - 1; j >= 0; --j)
        lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    std::string fromA, fromB;
    int edits = 0;
    for (const DiffRun& r : DiffLines(Lines(a), Lines(b))) {
      if (r.kind != DiffRun::Insert) fromA += a.substr(r.aStart, r.count);
      if (r.kind != DiffRun::Delete) fromB += b.substr(r.bStart, r.count);
      if (r.kind != DiffRun::Equal) edits += r.count;
    }
    ASSERT_EQ(fromA, a);
    ASSERT_EQ(fromB, b);
    ASSERT_EQ(edits, n + m - 2 * lcs[0][0]) << a << " " << b;
  }
}

TEST(LineDiffTest, UnifiedDiffGroupsChangesWithContext) {
  const auto a = Lines("abcdefghijklmnop"), b = Lines("abcXefghijklmnoYpZ");
  EXPECT_EQ(UnifiedDiff(a, b, DiffLines(a, b), "old", "new", 2),
            "--- old\n+++ new\n@@ -2,5 +2,5 @@\n b\n c\n-d\n+X\n e\n f\n"
            "@@ -14,3 +14,5 @@\n n\n o\n+Y\n p\n+Z\n");
  EXPECT_EQ(UnifiedDiff(a, a, DiffLines(a, a), "old", "new"), "");
  EXPECT_EQ(UnifiedDiff({}, Lines("ab"), DiffLines({}, Lines("ab")), "o", "n"), "--- o\n+++ n\n@@ -0,0 +1,2 @@\n+a\n+b\n");
}

} // namespace
