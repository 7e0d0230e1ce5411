// A large text opens without waiting for the walk over every line for the longest one: the
// walk goes on in slices, edits made meanwhile keep its result right, and the horizontal
// bar's range grows to the longest line once the walk is done.
#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "line_caches.h"
#include "view_test_support.h"

namespace {

struct CLines : CLineCacheSource {
  std::vector<std::string> lines;
  int CacheLineCount() const override { return static_cast<int>(lines.size()); }
  int CacheLineLength(int line) const override { return static_cast<int>(lines[line].size()); }
  const char* CacheLineChars(int line) const override { return lines[line].data(); }
  uint32_t CacheColourLine(uint32_t, int) override { return 0; }
  static int Columns(const std::string& line) { // tabs at every fourth column
    int column = 0;
    for (char c : line) column = c == '\t' ? column / 4 * 4 + 4 : column + 1;
    return column;
  }
  int Longest() const {
    int longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, Columns(line));
    return longest;
  }
};

// Random edits and slices: the longest so far never passes the truth and is the truth once
// the walk says it is done; lengths read back right.
TEST(LongestLineWalk, EditsDuringTheWalkKeepItRight) {
  CLines text;
  CLineCaches caches(text);
  std::mt19937 random(48);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto randomLine = [&] { // some lines about 254 columns long, the longest a byte holds
    const int length = pick(4) ? pick(30) : 240 + pick(30);
    return std::string(static_cast<std::size_t>(length), pick(3) ? 'x' : '\t');
  };
  for (int i = 0; i < 200; ++i) text.lines.push_back(randomLine());
  for (int step = 0; step < 600; ++step) {
    const int line = pick(static_cast<int>(text.lines.size()) - 4);
    const int added = pick(3) == 1 ? 1 + pick(3) : 0, removed = added ? 0 : pick(2) * (1 + pick(3));
    text.lines.erase(text.lines.begin() + line + 1, text.lines.begin() + line + 1 + removed);
    for (int k = 0; k < added; ++k) text.lines.insert(text.lines.begin() + line + 1, randomLine());
    text.lines[static_cast<std::size_t>(line)] = randomLine();
    ASSERT_TRUE(caches.TextChanged(line, added, removed));
    if (pick(40) == 0) caches.Clear();
    const bool done = caches.WalkLongestLine(pick(25));
    ASSERT_LE(caches.LongestLineSoFar(), text.Longest()) << "step " << step;
    const int probe = pick(static_cast<int>(text.lines.size()));
    ASSERT_EQ(caches.ExpandedLength(probe), CLines::Columns(text.lines[probe])) << "step " << step;
    ASSERT_TRUE(!done || caches.LongestLineSoFar() == text.Longest()) << "step " << step;
  }
  EXPECT_EQ(caches.LongestLine(), text.Longest());
}

// 100,000 lines: more than one slice of the walk. The longest line, 300 columns, is far down.
class LargeTextView : public ::testing::Test {
protected:
  void SetUp() override {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += i == 90000 ? std::string(300, 'w') + "\n" : "x\n";
    buffer = viewtest::MakeBuffer(text + "end");
    view.AttachBuffer(buffer.get());
    viewtest::ShowView(view, 400, 300);
    columns = view.GetVisibleColumns();
    ASSERT_GT(columns, 10);
  }
  // Runs the event loop until the walk is done (the range stops changing for a while).
  void FinishWalk() {
    for (int quiet = 0, last = -1; quiet < 20; ++quiet) {
      QApplication::processEvents();
      if (Horz()->maximum() != last) quiet = 0;
      last = Horz()->maximum();
    }
  }
  QScrollBar* Horz() { return view.horizontalScrollBar(); }
  std::unique_ptr<CCrystalTextBuffer> buffer;
  viewtest::CTestTextView view;
  int columns = 0;
};

TEST_F(LargeTextView, TheBarRangeGrowsToTheLongestLineAfterTheWalkAndFollowsEditsMeanwhile) {
  view.ResetViewState(); // showing the view may have let the walk finish
  view.UpdateHorzScrollBar(false);
  EXPECT_EQ(Horz()->maximum(), 0); // the first slice holds lines of one column only
  int endLine = 0, endChar = 0;
  // A walked line grows: the range follows at once; the event loop finds the long line.
  ASSERT_TRUE(buffer->InsertText(nullptr, 10, 1, std::string(200, 'y'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 201 - columns);
  FinishWalk();
  EXPECT_EQ(Horz()->maximum(), 300 - columns);
  ASSERT_TRUE(buffer->DeleteText(nullptr, 90000, 0, 90000, 300));
  ASSERT_TRUE(buffer->InsertText(nullptr, 95000, 0, std::string(250, 'z'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 251 - columns);

  // A column on a line not walked yet is scrolled to, not cut to the lines walked so far.
  view.ResetViewState();
  view.ScrollIntoView(TextPosition(250, 95000));
  EXPECT_EQ(view.GetFirstColumn(), 250 - columns);
}

} // namespace
