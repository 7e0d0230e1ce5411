// Searching: whole words at line edges and next to '_', case in ISO 8859-1, wrap, upward
// searches, ranges that end mid-line and texts that can never match.
#include <QChar>
#include <cstring>

#include "find_test_support.h"
#include "search_pattern.h"

namespace {

TEST(SearchPattern, FindsTheFirstOccurrenceThatCountsInALine) {
  struct Case {
    const char* line;
    const char* pattern;
    uint32_t flags;
    int from;
    int expected;
  };
  const Case cases[] = {
      {"xab ab", "ab", SearchWholeWord, 0, 4}, // the first one is preceded by x
      {"ab_c", "ab", SearchWholeWord, 0, -1},  // '_' is a word character
      {"_ab", "ab", SearchWholeWord, 0, -1},
      {"(ab)", "ab", SearchWholeWord, 0, 1},
      {"ab", "ab", SearchWholeWord, 0, 0}, // both line edges end words
      {"xab", "ab", SearchWholeWord, 1, -1}, // the word began before the search did
      {"caf\xe9 caf", "caf", SearchWholeWord, 0, 5},
      {"aBc ABC abc", "abc", 0, 0, 0},
      {"aBc ABC abc", "abc", SearchMatchCase, 0, 8},
      {"\xe9t\xe9", "\xc9T\xc9", 0, 0, 0}, // é and É
      {"\xe9t\xe9", "\xc9T\xc9", SearchMatchCase, 0, -1},
      {"abcabd", "abd", 0, 0, 3},
      {"aaaa", "aa", 0, 1, 1},
      {"", "a", 0, 0, -1},
      {"abc", "", 0, 0, -1}, // an empty text matches nowhere
  };
  for (const Case& c : cases) {
    const CSearchPattern pattern(c.pattern, c.flags);
    const int length = static_cast<int>(std::strlen(c.line));
    EXPECT_EQ(pattern.FindInLine(c.line, length, c.from, length), c.expected)
        << c.line << " / " << c.pattern;
  }
}

TEST(SearchPattern, FindsAMatchAtEveryPlaceOfALongLine) {
  const CSearchPattern pattern("\xe9" "B", 0);
  for (int at = 0; at <= 45; ++at) {
    std::string line(47, '-');
    line.replace(static_cast<std::size_t>(at), 2, "\xc9" "b");
    const int length = static_cast<int>(line.size());
    EXPECT_EQ(pattern.FindInLine(line.data(), length, 0, length), at);
    EXPECT_EQ(pattern.FindInLine(line.data(), length, at + 1, length), -1) << at;
    EXPECT_EQ(pattern.FindInLine(line.data(), length, 0, at + 1), -1) << at;
    EXPECT_EQ(pattern.FindLastInLine(line.data(), length, 0, length, 47), at);
  }
}

TEST(SearchPattern, WordCharactersAndUpperCaseCoverEveryByte) {
  int words = 0;
  for (int b = 0; b < 256; ++b) {
    words += IsSearchWordChar(static_cast<unsigned char>(b)) ? 1 : 0;
    // Upper case as Unicode has it, where the capital is in ISO 8859-1 at all.
    const char16_t upper = QChar(char16_t(b)).toUpper().unicode();
    EXPECT_EQ(SearchUpperCase(static_cast<unsigned char>(b)), upper <= 0xFF ? upper : b) << b;
  }
  EXPECT_EQ(words, 125); // 26 + 26 + 10 + '_' + À..ÿ without × and ÷
  for (unsigned char c : std::string_view("@[`{/:\xbf\xd7\xf7")) EXPECT_FALSE(IsSearchWordChar(c));
  for (unsigned char c : std::string_view("AZaz09_\xc0\xff")) EXPECT_TRUE(IsSearchWordChar(c));
}

using Search = findtest::FindTest;

TEST_F(Search, GoesDownOrUpFromThePositionAndWrapsOnce) {
  Load("ab ab\nab AB ab\nx");
  const struct {
    TextPosition start;
    uint32_t flags;
    bool wrap;
    bool found;
    TextPosition at;
  } cases[] = {
      {{2, 0}, 0, false, true, {3, 0}},
      {{4, 0}, 0, false, true, {0, 1}},
      {{1, 1}, SearchMatchCase, false, true, {6, 1}},
      {{7, 1}, 0, false, false, {}},
      {{7, 1}, 0, true, true, {0, 0}},
      {{6, 1}, SearchUp, false, true, {3, 1}}, // the nearest one starting before
      {{0, 1}, SearchUp, false, true, {3, 0}}, // the rightmost of the line above
      {{0, 0}, SearchUp, false, false, {}},
      {{0, 0}, SearchUp, true, true, {6, 1}},
  };
  for (const auto& c : cases) {
    TextPosition found(-1, -1);
    EXPECT_EQ(view->SearchText("ab", c.start, c.flags, c.wrap, found), c.found);
    if (c.found) {
      EXPECT_EQ(found, c.at) << c.start.x << "," << c.start.y << " " << c.flags;
    }
  }
}

TEST_F(Search, AMatchMustLieInsideTheRange) {
  Load("two two\ntwo two");
  TextPosition found;
  // The range ends inside the second "two" of line 1: that one does not count.
  EXPECT_FALSE(view->SearchTextInRange("two", {1, 1}, {4, 0}, {5, 1}, 0, false, found));
  ASSERT_TRUE(view->SearchTextInRange("two", {1, 1}, {4, 0}, {5, 1}, 0, true, found));
  EXPECT_EQ(found, TextPosition(4, 0)); // wrapped to the range start, not to (0, 0)
  ASSERT_TRUE(view->SearchTextInRange("two", {0, 0}, {1, 0}, {3, 1}, 0, false, found));
  EXPECT_EQ(found, TextPosition(4, 0)); // a start before the range is taken to its start
  EXPECT_FALSE(view->SearchTextInRange("two", {0, 0}, {2, 1}, {2, 1}, 0, true, found));
  Load("ab x"); // wrapping comes back to the start's own line, either way
  ASSERT_TRUE(view->SearchText("ab", {3, 0}, 0, true, found));
  EXPECT_EQ(found, TextPosition(0, 0));
  ASSERT_TRUE(view->SearchText("x", {0, 0}, SearchUp, true, found));
  EXPECT_EQ(found, TextPosition(3, 0));
  Load("");
  EXPECT_FALSE(view->SearchText("a", {0, 0}, 0, true, found));
}

TEST_F(Search, AFoundMatchIsSelectedWithTheCaretAtItsEnd) {
  Load("\tabc\ndef");
  Place(TextPosition(0, 1)); // the column Up and Down keep is now 0
  view->SelectFoundText(TextPosition(1, 0), 2);
  EXPECT_EQ(Sel(), (edittest::Span{TextPosition(1, 0), TextPosition(3, 0)}));
  EXPECT_EQ(Cursor(), TextPosition(3, 0));
  EXPECT_EQ(view->GetAnchor(), TextPosition(3, 0));
  EXPECT_EQ(view->GetPreferredColumn(), 0);
}

} // namespace
