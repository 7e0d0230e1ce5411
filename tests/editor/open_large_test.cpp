// A large text opens without waiting for the walk over every line for the longest one: the
// horizontal bar's range grows to the longest line once the walk is done, and follows edits
// made meanwhile.
#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <string>

#include "view_test_support.h"

namespace {

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
