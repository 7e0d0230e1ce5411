// The view's line caches without a view: columns, cookies kept across edits, the longest line.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "line_caches.h"

namespace {

// Lines and a small colouring: '"' opens and closes a string (cookie bit 1), ';' ends
// everything (cookie 0), '[' sets bit 2. A quote changes the cookies below it down to the
// next ';'.
class CFakeText : public CLineCacheSource {
public:
  std::vector<std::string> lines;
  int colourCalls = 0;
  mutable int lengthReads = 0;

  static uint32_t Colour(uint32_t cookie, const std::string& text) {
    for (char c : text) {
      if (c == '"') cookie ^= 1;
      else if (c == ';') cookie = 0;
      else if (c == '[') cookie |= 2;
    }
    return cookie;
  }
  int CacheLineCount() const override { return static_cast<int>(lines.size()); }
  int CacheLineLength(int line) const override {
    ++lengthReads;
    return static_cast<int>(lines[static_cast<std::size_t>(line)].size());
  }
  const char* CacheLineChars(int line) const override { return lines[static_cast<std::size_t>(line)].data(); }
  uint32_t CacheColourLine(uint32_t cookie, int line) override {
    ++colourCalls;
    return Colour(cookie, lines[static_cast<std::size_t>(line)]);
  }
};

// 1000 lines "x", with ";" on every line whose number ends in 50.
CFakeText ThousandLines() {
  CFakeText text;
  for (int i = 0; i < 1000; ++i) text.lines.push_back(i % 100 == 50 ? ";" : "x");
  return text;
}

TEST(LineColumns, TabsAdvanceToTheNextStopOfFour) {
  struct Row {
    const char* chars;
    int column;
  };
  for (const Row& row : {Row{"", 0}, Row{"abc", 3}, Row{"\t", 4}, Row{"a\t", 4}, Row{"abc\t", 4},
                         Row{"abcd\t", 8}, Row{"\t\t", 8}, Row{"a\tb", 5}, Row{"ab\tcdefg\t", 12}}) {
    const std::string chars = row.chars;
    EXPECT_EQ(ExpandedColumn(chars.data(), static_cast<int>(chars.size())), row.column) << row.chars;
  }
  // "a", a tab over columns 1-3, "b" at 4, "c" at 5; past the end: the length and column 6.
  const std::string line = "a\tbc";
  const int expected[][3] = {{0, 0, 0}, {1, 1, 1}, {3, 1, 1}, {4, 2, 4}, {5, 3, 5},
                             {6, 4, 6}, {100, 4, 6}, {-2, 0, 0}};
  for (const auto& row : expected) {
    int start = -1;
    EXPECT_EQ(CharAtColumn(line.data(), 4, row[0], start), row[1]) << "column " << row[0];
    EXPECT_EQ(start, row[2]) << "column " << row[0];
  }
}

// On a line of 65536 characters or more, columns are counted from places kept every 65536
// characters; an edit drops the places after it.
TEST(LineColumns, ALongLineCountsFromKeptPlacesThatEditsCut) {
  CFakeText text;
  std::string line;
  for (int i = 0; i < 200000; ++i) line += i % 7 == 3 ? '\t' : 'x';
  text.lines = {"short", line};
  CLineCaches caches(text);
  auto check = [&](const char* when) {
    const std::string& chars = text.lines[1];
    const int length = static_cast<int>(chars.size());
    for (int x : {0, 1, 65535, 65536, 65537, 131071, 131072, 150000, length - 1, length}) {
      const int column = ExpandedColumn(chars.data(), x);
      EXPECT_EQ(caches.Column(1, x), column) << when << " x " << x;
      int start = -1, expectedStart = -2;
      EXPECT_EQ(caches.CharAt(1, column, start), CharAtColumn(chars.data(), length, column, expectedStart))
          << when << " column " << column;
      EXPECT_EQ(start, expectedStart) << when << " column " << column;
    }
  };
  check("first");
  check("again");
  text.lines[1].insert(70000, "\t\t");
  caches.TextChanged(1, 0, 0, 70000);
  check("after an insertion");
  text.lines[1].erase(10, 3);
  caches.TextChanged(1, 0, 0, 10);
  check("after a deletion");
  EXPECT_NE(caches.ResumePointsFor(1), nullptr);
  EXPECT_EQ(caches.ResumePointsFor(0), nullptr);
}

TEST(LineCookies, AQuoteRecolours_OnlyDownToWhereTheCookiesMeetAgain) {
  CFakeText text = ThousandLines();
  CLineCaches caches(text);
  EXPECT_EQ(caches.Cookie(999), 0u);
  EXPECT_EQ(text.colourCalls, 1000);

  // The quote on line 10 holds a string open down to the ';' of line 50.
  text.lines[10] = "\"x";
  ASSERT_TRUE(caches.TextChanged(10, 0, 0));
  text.colourCalls = 0;
  EXPECT_FALSE(caches.LineKeepsItsCookie(10));
  EXPECT_EQ(caches.Cookie(999), 0u);
  EXPECT_EQ(text.colourCalls, 41); // lines 10 to 50
  EXPECT_EQ(caches.Cookie(49), 1u);
  EXPECT_EQ(caches.Cookie(50), 0u);

  // Taking the quote out again recolours the same stretch, not the whole text.
  text.lines[10] = "x";
  ASSERT_TRUE(caches.TextChanged(10, 0, 0));
  text.colourCalls = 0;
  EXPECT_EQ(caches.Cookie(999), 0u);
  EXPECT_EQ(text.colourCalls, 41);
  EXPECT_EQ(caches.Cookie(49), 0u);

  // A change that leaves the line's end cookie as it was keeps everything below.
  text.lines[20] = "xx";
  ASSERT_TRUE(caches.TextChanged(20, 0, 0));
  text.colourCalls = 0;
  EXPECT_TRUE(caches.LineKeepsItsCookie(20));
  EXPECT_EQ(caches.Cookie(999), 0u);
  EXPECT_EQ(text.colourCalls, 1);
  EXPECT_EQ(caches.CookiesKnown(), 1000);
}

TEST(LineCookies, SplitAndJoinedLinesCompareWithTheOldLinesTail) {
  CFakeText text = ThousandLines();
  text.lines[10] = "x[";
  CLineCaches caches(text);
  caches.Cookie(999);
  // Line 10 split after its "x": the new line 12 ends with the old tail "[".
  text.lines[10] = "x";
  text.lines.insert(text.lines.begin() + 11, {"y", "["});
  ASSERT_TRUE(caches.TextChanged(10, 2, 0));
  text.colourCalls = 0;
  EXPECT_EQ(caches.Cookie(1001), 0u);
  EXPECT_EQ(caches.Cookie(12), 2u);
  EXPECT_EQ(text.colourCalls, 3); // lines 10, 11 and 12; line 13 on follows from 12 as before

  // Lines 10 to 12 joined again: line 10 now ends with the old line 12's tail.
  text.lines[10] = "x[";
  text.lines.erase(text.lines.begin() + 11, text.lines.begin() + 13);
  ASSERT_TRUE(caches.TextChanged(10, 0, 2));
  text.colourCalls = 0;
  EXPECT_EQ(caches.Cookie(999), 0u);
  EXPECT_EQ(caches.Cookie(10), 2u);
  EXPECT_EQ(text.colourCalls, 1);
}

TEST(LineCookies, AChangeTheCachesDidNotSeeStartsThemAfresh) {
  CFakeText text = ThousandLines();
  CLineCaches caches(text);
  caches.Cookie(999);
  caches.LongestLine();
  text.lines.push_back("\"");
  EXPECT_FALSE(caches.TextChanged(10, 0, 0)); // one line more than the caches know of
  EXPECT_EQ(caches.Cookie(1000), 1u);
  EXPECT_EQ(caches.LongestLine(), 1);
  text.lines.resize(5);
  EXPECT_FALSE(caches.TextChanged(7, 0, 0)); // a line past the end
  EXPECT_EQ(caches.Cookie(4), 0u);
  EXPECT_EQ(caches.Cookie(7), 0u);
}

TEST(LongestLine, FollowsEditsWithoutWalkingTheText) {
  CFakeText text;
  text.lines = {std::string(4095, 'a'), std::string(4096, 'b'), std::string(5000, 'c'), "\t"};
  CLineCaches caches(text);
  EXPECT_EQ(caches.LongestLine(), 5000);
  text.lengthReads = 0;
  text.lines[2] = "c";
  caches.TextChanged(2, 0, 0);
  EXPECT_EQ(caches.LongestLine(), 4096);
  text.lines[1] = "b";
  caches.TextChanged(1, 0, 0);
  EXPECT_EQ(caches.LongestLine(), 4095);
  text.lines.erase(text.lines.begin(), text.lines.begin() + 2);
  text.lines[0] = "c\t";
  caches.TextChanged(0, 0, 2);
  EXPECT_EQ(caches.LongestLine(), 4);
  EXPECT_EQ(caches.ExpandedLength(1), 4);
  EXPECT_LE(text.lengthReads, 6); // two reads per changed line, no walk over the others
  text.lines.clear();
  caches.Clear();
  EXPECT_EQ(caches.LongestLine(), 0);
}

// Random edits against the text itself: after each, every cookie, every expanded length and
// the longest line are what a fresh computation gives.
TEST(LineCaches, RandomEditsMatchAFreshComputation) {
  std::mt19937 random(20240611);
  const char* pieces[] = {"x", "\"", ";", "[", "\t", "ab", "\"x;", "\tq\t"};
  auto randomLine = [&] {
    std::string line;
    for (int n = static_cast<int>(random() % 4); n > 0; --n) line += pieces[random() % 8];
    return line;
  };
  CFakeText text;
  for (int i = 0; i < 300; ++i) text.lines.push_back(randomLine());
  CLineCaches caches(text);
  int skipped = 0;
  for (int step = 0; step < 400; ++step) {
    const int count = static_cast<int>(text.lines.size());
    const int line = static_cast<int>(random() % static_cast<unsigned>(count));
    const int kind = static_cast<int>(random() % 3);
    if (kind == 0 || count < 5) {
      text.lines[static_cast<std::size_t>(line)] = randomLine();
      ASSERT_TRUE(caches.TextChanged(line, 0, 0));
      if (random() % 2) caches.LineKeepsItsCookie(line);
    } else if (kind == 1) {
      const int added = 1 + static_cast<int>(random() % 3);
      for (int k = 0; k < added; ++k)
        text.lines.insert(text.lines.begin() + line + 1, randomLine());
      text.lines[static_cast<std::size_t>(line)] = randomLine();
      ASSERT_TRUE(caches.TextChanged(line, added, 0));
    } else {
      const int removed = std::min(1 + static_cast<int>(random() % 3), count - 1 - line);
      text.lines.erase(text.lines.begin() + line + 1, text.lines.begin() + line + 1 + removed);
      text.lines[static_cast<std::size_t>(line)] = randomLine();
      ASSERT_TRUE(caches.TextChanged(line, 0, removed));
    }
    // Cookies asked for down to some line, or all of them, as painting and jumps do.
    const int n = static_cast<int>(text.lines.size());
    const int calls = text.colourCalls;
    caches.Cookie(random() % 4 ? static_cast<int>(random() % static_cast<unsigned>(n)) : n - 1);
    if (text.colourCalls - calls < caches.CookiesKnown() - line) ++skipped;
    // A painter hands back the cookie of the first line not known yet.
    const int next = caches.CookiesKnown();
    if (next < n && random() % 2)
      caches.OfferCookie(next, CFakeText::Colour(caches.Cookie(next - 1),
                                                 text.lines[static_cast<std::size_t>(next)]));
    // Every known cookie is right, and every fifth step all of them are asked for.
    uint32_t cookie = 0;
    int longest = 0;
    const bool all = step % 5 == 0;
    for (int i = 0; i < n; ++i) {
      const std::string& chars = text.lines[static_cast<std::size_t>(i)];
      cookie = CFakeText::Colour(cookie, chars);
      if (all || caches.IsCookieKnown(i)) {
        ASSERT_EQ(caches.Cookie(i), cookie) << "step " << step << " line " << i;
      }
      const int length = ExpandedColumn(chars.data(), static_cast<int>(chars.size()));
      if (random() % 2) {
        ASSERT_EQ(caches.ExpandedLength(i), length) << "step " << step;
      }
      longest = std::max(longest, length);
    }
    if (random() % 2) {
      ASSERT_EQ(caches.LongestLine(), longest) << "step " << step;
    }
  }
  EXPECT_GT(skipped, 50); // kept cookies were used, not only recomputed
}

} // namespace
