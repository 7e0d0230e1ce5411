// The view's line caches without a view: columns, the longest line; and the buffer's cookies,
// kept across edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cookie_cache.h"
#include "line_caches.h"

namespace {

// Lines and a small colouring: '"' opens and closes a string (cookie bit 1), ';' ends
// everything (cookie 0), '[' sets bit 2.
class CFakeText : public CLineCacheSource, public CCookieSource {
public:
  std::vector<std::string> lines;
  int colourCalls = 0;
  mutable int lengthReads = 0;

  static uint32_t Colour(uint32_t cookie, const std::string& text) {
    for (char c : text) cookie = c == '"' ? cookie ^ 1 : c == ';' ? 0 : c == '[' ? cookie | 2 : cookie;
    return cookie;
  }
  const std::string& Line(int line) const { return lines[static_cast<std::size_t>(line)]; }
  int CacheLineCount() const override { return static_cast<int>(lines.size()); }
  int CacheLineLength(int line) const override {
    ++lengthReads;
    return static_cast<int>(Line(line).size());
  }
  const char* CacheLineChars(int line) const override { return Line(line).data(); }
  int CookieLineCount() const override { return CacheLineCount(); }
  uint32_t CookieColourLine(uint32_t cookie, int line) override {
    ++colourCalls;
    return Colour(cookie, Line(line));
  }
};

TEST(LineColumns, TabsAdvanceToTheNextStopOfFourAndColumnsMapBackToCharacters) {
  for (const auto& [chars, column] : {std::pair<std::string, int>{"", 0}, {"abc", 3}, {"\t", 4}, {"a\t", 4},
                                      {"abc\t", 4}, {"abcd\t", 8}, {"\t\t", 8}, {"ab\tcdefg\t", 12}})
    EXPECT_EQ(ExpandedColumn(chars.data(), static_cast<int>(chars.size())), column) << chars;
  const int expected[][3] = {{0, 0, 0}, {1, 1, 1}, {3, 1, 1}, {4, 2, 4}, {5, 3, 5}, {6, 4, 6}, {100, 4, 6}, {-2, 0, 0}};
  for (const auto& [column, index, start] : expected) {
    int charColumn = -1;
    EXPECT_EQ(CharAtColumn("a\tbc", 4, column, charColumn), index) << "column " << column;
    EXPECT_EQ(charColumn, start) << "column " << column;
  }
}

// On a line of 65536 characters or more, columns are counted from places kept every 65536
// characters; an edit drops the places, and the colouring's resume points, after it.
TEST(LineColumns, ALongLineCountsFromKeptPlacesThatEditsCut) {
  CFakeText text;
  std::string line;
  for (int i = 0; i < 200000; ++i) line += i % 7 == 3 ? '\t' : 'x';
  text.lines = {"short", line};
  CLineCaches caches(text);
  auto check = [&](const char* when) {
    const std::string& chars = text.lines[1];
    const int length = static_cast<int>(chars.size());
    for (int x : {0, 65535, 65536, 131071, 131072, 150000, length - 1, length}) {
      const int column = ExpandedColumn(chars.data(), x);
      EXPECT_EQ(caches.Column(1, x), column) << when << " x " << x;
      int start = -1, expectedStart = -2;
      EXPECT_EQ(caches.CharAt(1, column + 1, start), CharAtColumn(chars.data(), length, column + 1, expectedStart))
          << when << " column " << column + 1;
      EXPECT_EQ(start, expectedStart) << when << " column " << column + 1;
    }
  };
  check("first");
  check("again");
  EXPECT_EQ(caches.ResumePointsFor(0), nullptr);
  caches.ResumePointsFor(1)->points = {{65536, 1}, {70001, 2}, {131072, 3}};
  text.lines[1].insert(70000, "\t\t");
  caches.TextChanged(1, 0, 0, 70000);
  check("after an insertion");
  ASSERT_EQ(caches.ResumePointsFor(1)->points.size(), 1u);
  EXPECT_EQ(caches.ResumePointsFor(1)->points[0].pos, 65536);
  text.lines[1].erase(10, 3);
  caches.TextChanged(1, 0, 0, 10);
  check("after a deletion");
  EXPECT_TRUE(caches.ResumePointsFor(1)->points.empty());
}

// A quote on line 10 holds a string open down to the ';' of line 50: only lines 10 to 50 are
// coloured again, when it comes and when it goes. A split or joined line compares its end with
// the old line whose tail it now ends with.
TEST(LineCookies, AChangeRecoloursOnlyDownToWhereTheCookiesMeetAgain) {
  CFakeText text;
  for (int i = 0; i < 1000; ++i) text.lines.push_back(i % 100 == 50 ? ";" : "x");
  CCookieCache caches;
  EXPECT_EQ(text.colourCalls, 0);
  // Colour calls for every cookie after line is replaced by lines (removed lines after it go).
  const auto change = [&](int line, std::vector<std::string> with, int removed = 0) {
    caches.Cookie(text, static_cast<int>(text.lines.size()) - 1);
    const auto at = text.lines.begin() + line;
    text.lines.erase(at, at + 1 + removed);
    text.lines.insert(text.lines.begin() + line, with.begin(), with.end());
    EXPECT_TRUE(caches.TextChanged(line, static_cast<int>(with.size()) - 1, removed, int(text.lines.size())));
    text.colourCalls = 0;
    EXPECT_EQ(caches.Cookie(text, static_cast<int>(text.lines.size()) - 1), 0u);
    return text.colourCalls;
  };
  EXPECT_EQ(change(10, {"\"x"}), 41);
  EXPECT_EQ(caches.Cookie(text, 49), 1u);
  EXPECT_EQ(caches.Cookie(text, 50), 0u);
  EXPECT_EQ(change(10, {"x"}), 41);
  EXPECT_EQ(caches.Cookie(text, 49), 0u);

  caches.Cookie(text, 999);
  text.lines[20] = "xx";
  ASSERT_TRUE(caches.TextChanged(20, 0, 0, int(text.lines.size())));
  text.colourCalls = 0;
  EXPECT_TRUE(caches.LineKeepsItsCookie(text, 20));
  EXPECT_TRUE(caches.LineKeepsItsCookie(text, 20)); // every view asks after the change
  EXPECT_EQ(caches.CookiesKnown(), 1000);
  EXPECT_EQ(text.colourCalls, 1);

  EXPECT_EQ(change(30, {"x["}), 21); // lines 30 to 50
  EXPECT_EQ(change(30, {"x", "y", "["}), 3); // split: the new line 32 ends as line 30 did
  EXPECT_EQ(caches.Cookie(text, 32), 2u);
  EXPECT_EQ(change(30, {"x["}, 2), 1); // joined again
  EXPECT_EQ(caches.Cookie(text, 30), 2u);

  // A change the caches did not see starts them afresh: one line more than they know of, or
  // a line past the end.
  text.lines.push_back("\"");
  EXPECT_FALSE(caches.TextChanged(10, 0, 0, int(text.lines.size())));
  EXPECT_EQ(caches.Cookie(text, 1000), 1u);
  text.lines.resize(5);
  EXPECT_FALSE(caches.TextChanged(7, 0, 0, int(text.lines.size())));
  EXPECT_EQ(caches.Cookie(text, 4), 0u);
  EXPECT_EQ(caches.Cookie(text, 7), 0u);
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
  text.lines.push_back("12345678");
  EXPECT_FALSE(caches.TextChanged(0, 0, 0)); // unseen: one line more than the caches know of
  EXPECT_EQ(caches.LongestLine(), 8);
  text.lines.clear();
  caches.Clear();
  EXPECT_EQ(caches.LongestLine(), 0);
}

// Random edits against the text itself: after each, every cookie asked for, every expanded
// length and the longest line are what a fresh computation gives. The walk for the longest
// line goes on in slices between edits: its result so far never passes the truth and is the
// truth once it says it is done. Some lines are about 254 columns, the longest a byte holds.
TEST(LineCaches, RandomEditsMatchAFreshComputation) {
  std::mt19937 random(20240611);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* pieces[] = {"x", "\"", ";", "[", "\t", "ab", "\"x;", "\tq\t"};
  auto randomLine = [&] {
    std::string line;
    for (int n = pick(4); n > 0; --n) line += pieces[pick(8)];
    return pick(8) ? line : std::string(static_cast<std::size_t>(240 + pick(30)), pick(3) ? 'x' : '\t');
  };
  CFakeText text;
  for (int i = 0; i < 300; ++i) text.lines.push_back(randomLine());
  CLineCaches caches(text);
  CCookieCache cookies;
  for (int step = 0; step < 400; ++step) {
    const int line = pick(static_cast<int>(text.lines.size()) - 4);
    const int added = pick(3) == 1 ? 1 + pick(3) : 0, removed = added ? 0 : pick(2) * (1 + pick(3));
    text.lines.erase(text.lines.begin() + line + 1, text.lines.begin() + line + 1 + removed);
    for (int k = 0; k < added; ++k) text.lines.insert(text.lines.begin() + line + 1, randomLine());
    text.lines[static_cast<std::size_t>(line)] = randomLine();
    ASSERT_TRUE(caches.TextChanged(line, added, removed));
    ASSERT_TRUE(cookies.TextChanged(line, added, removed, static_cast<int>(text.lines.size())));
    if (pick(40) == 0) caches.Clear(), cookies.Clear();
    const bool walked = caches.WalkLongestLine(pick(25));
    const int longestSoFar = caches.LongestLineSoFar();
    if (added + removed == 0 && pick(2)) cookies.LineKeepsItsCookie(text, line);
    // Cookies asked for down to some line, as painting and jumps do; a painter hands back
    // the cookie of the first line not known yet.
    const int n = static_cast<int>(text.lines.size());
    cookies.Cookie(text, pick(4) ? pick(n) : n - 1);
    const int next = cookies.CookiesKnown();
    if (next < n && pick(2)) cookies.OfferCookie(text, next, CFakeText::Colour(cookies.Cookie(text, next - 1), text.Line(next)));
    uint32_t cookie = 0;
    int longest = 0;
    for (int i = 0; i < n; ++i) {
      const std::string& chars = text.Line(i);
      cookie = CFakeText::Colour(cookie, chars);
      const bool ask = step % 5 == 0 || cookies.IsCookieKnown(i);
      ASSERT_EQ(ask ? cookies.Cookie(text, i) : cookie, cookie) << "step " << step << " line " << i;
      const int length = ExpandedColumn(chars.data(), static_cast<int>(chars.size()));
      ASSERT_EQ(pick(2) ? caches.ExpandedLength(i) : length, length) << "step " << step << " line " << i;
      longest = std::max(longest, length);
    }
    ASSERT_LE(longestSoFar, longest) << "step " << step;
    ASSERT_TRUE(!walked || longestSoFar == longest) << "step " << step;
    ASSERT_EQ(pick(4) ? longest : caches.LongestLine(), longest) << "step " << step;
  }
}

} // namespace
