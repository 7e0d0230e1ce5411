// Scrolling: keeping a position in view, scroll bar ranges across resizes, edits and font
// changes, the bars driving the view, and splitter panes following each other.
#include <QApplication>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include "view_test_support.h"

using namespace viewtest;

namespace {

std::string Lines(int count, const std::string& text = "line") {
  std::string out;
  for (int i = 0; i < count; ++i) out += text + (i + 1 < count ? "\n" : "");
  return out;
}

class ViewScrolling : public ::testing::Test {
protected:
  void Load(const std::string& text, int width = 300, int height = 200) {
    buffer = MakeBuffer(text);
    view.AttachBuffer(buffer.get());
    ShowView(view, width, height, false);
  }
  QScrollBar* Vert() { return view.verticalScrollBar(); }
  QScrollBar* Horz() { return view.horizontalScrollBar(); }
  std::unique_ptr<CCrystalTextBuffer> buffer;
  CTestTextView view;
};

TEST_F(ViewScrolling, ScrollIntoViewKeepsLinesWholeAndTheCaretColumnReachable) {
  Load(Lines(99) + "\n" + std::string(200, 'w'));
  const int lines = view.GetVisibleLines();
  const int columns = view.GetVisibleColumns();
  ASSERT_GT(lines, 1);
  ASSERT_GT(columns, 1);
  view.ScrollIntoView(TextPosition(0, lines - 1));
  EXPECT_EQ(view.GetTopLine(), 0);
  view.ScrollIntoView(TextPosition(0, lines));
  EXPECT_EQ(view.GetTopLine(), 1);
  view.ScrollIntoView(TextPosition(0, 99));
  EXPECT_EQ(view.GetTopLine(), 99 - lines + 1);
  EXPECT_EQ(Vert()->value(), std::min(view.GetTopLine(), Vert()->maximum()));
  view.ScrollIntoView(TextPosition(0, 3));
  EXPECT_EQ(view.GetTopLine(), 3);

  view.ScrollIntoView(TextPosition(columns, 99)); // just right of the last whole column
  EXPECT_EQ(view.GetFirstColumn(), 0);
  view.ScrollIntoView(TextPosition(columns + 1, 99));
  EXPECT_EQ(view.GetFirstColumn(), 1);
  view.ScrollIntoView(TextPosition(200, 99));
  EXPECT_EQ(view.GetFirstColumn(), 200 - columns);
  view.ScrollIntoView(TextPosition(0, 99));
  EXPECT_EQ(view.GetFirstColumn(), 0);
}

TEST_F(ViewScrolling, BarRangesFollowResizesAndInsertedLines) {
  Load(Lines(50, std::string(100, 'x')));
  int lines = view.GetVisibleLines();
  int columns = view.GetVisibleColumns();
  EXPECT_EQ(Vert()->maximum(), 50 - lines);
  EXPECT_EQ(Vert()->pageStep(), lines);
  EXPECT_TRUE(Vert()->isEnabled());
  EXPECT_EQ(Horz()->maximum(), 100 - columns);
  EXPECT_EQ(Horz()->pageStep(), columns);

  view.resize(500, 400);
  QApplication::processEvents();
  lines = view.GetVisibleLines();
  columns = view.GetVisibleColumns();
  EXPECT_EQ(lines, view.viewport()->height() / view.GetLineHeight());
  EXPECT_EQ(Vert()->maximum(), 50 - lines);
  EXPECT_EQ(Horz()->maximum(), 100 - columns);

  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 10, 0, "a\r\nb\r\nc\r\n", endLine, endChar));
  EXPECT_EQ(Vert()->maximum(), 53 - lines);
  ASSERT_TRUE(buffer->InsertText(nullptr, 0, 0, std::string(150, 'y'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 250 - columns);
  ASSERT_TRUE(buffer->DeleteText(nullptr, 0, 0, 0, 200));
  EXPECT_EQ(Horz()->maximum(), 100 - columns);
}

TEST_F(ViewScrolling, EnlargingUntilEverythingFitsScrollsBackToTheTop) {
  Load(Lines(30), 300, 120);
  view.ScrollToTopLine(20, true);
  ASSERT_EQ(view.GetTopLine(), 20);
  view.resize(300, 30 * view.GetLineHeight() + 60);
  QApplication::processEvents();
  EXPECT_EQ(view.GetTopLine(), 0);
  EXPECT_FALSE(Vert()->isEnabled());
  EXPECT_TRUE(Vert()->isVisible());
  EXPECT_FALSE(Horz()->isEnabled());
}

TEST_F(ViewScrolling, AWindowShorterThanOneLineHasNoWholeLine) {
  Load(Lines(10), 300, 200);
  view.resize(300, view.horizontalScrollBar()->sizeHint().height() + view.GetLineHeight() / 2);
  QApplication::processEvents();
  ASSERT_LT(view.viewport()->height(), view.GetLineHeight());
  EXPECT_EQ(view.GetVisibleLines(), 0);
  EXPECT_EQ(Vert()->pageStep(), 0);
  // Keeping the cursor in view still works without a whole line, and pages go the way asked.
  view.ScrollIntoView(TextPosition(0, 5));
  EXPECT_EQ(view.GetTopLine(), 5);
  view.PlaceCursor(TextPosition(0, 5));
  QTest::keyClick(&view, Qt::Key_PageUp);
  EXPECT_EQ(view.GetCursorPosition().y, 4);
  EXPECT_EQ(view.GetTopLine(), 4);
  QTest::keyClick(&view, Qt::Key_PageDown);
  QTest::keyClick(&view, Qt::Key_PageDown);
  EXPECT_EQ(view.GetCursorPosition().y, 6);
}

TEST_F(ViewScrolling, CtrlUpAndDownScrollWithoutMovingTheCursor) {
  Load(Lines(20));
  view.PlaceCursor(TextPosition(2, 1));
  QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 0);
  for (int i = 0; i < 25; ++i) QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 19);
  EXPECT_EQ(view.GetCursorPosition(), TextPosition(2, 1));
  QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 18);
}

TEST_F(ViewScrolling, TheBarsMoveTheView) {
  Load(Lines(100, std::string(80, 'z')));
  const int lines = view.GetVisibleLines();
  Vert()->setValue(30);
  EXPECT_EQ(view.GetTopLine(), 30);
  Vert()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(view.GetTopLine(), 30 + lines - 1);
  Vert()->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(view.GetTopLine(), 30);
  Vert()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(view.GetTopLine(), 29);
  Horz()->setValue(7);
  EXPECT_EQ(view.GetFirstColumn(), 7);
  EXPECT_EQ(view.TextPosToPoint(TextPosition(7, 29)),
            QPoint(CCrystalTextView::MARGIN_WIDTH, 0));
}

TEST_F(ViewScrolling, AFontChangeRemeasuresAndRecomputesTheBars) {
  Load(Lines(60));
  const int before = view.GetLineHeight();
  FontDescription large;
  large.faceName = "Courier New";
  large.height = 2 * before + 4;
  view.SetViewFont(large);
  EXPECT_GT(view.GetLineHeight(), before);
  EXPECT_EQ(view.GetVisibleLines(), view.viewport()->height() / view.GetLineHeight());
  EXPECT_EQ(Vert()->maximum(), 60 - view.GetVisibleLines());
  EXPECT_TRUE(QFontInfo(view.GetStyleFont(false, false)).fixedPitch());
  // Every face keeps the grid over a long run of characters.
  const QString run(40, QLatin1Char('W'));
  for (bool italic : {false, true}) {
    for (bool bold : {false, true}) {
      const qreal width = QFontMetricsF(view.GetStyleFont(italic, bold)).horizontalAdvance(run);
      EXPECT_NEAR(width, 40 * view.GetCharWidth(), 1.0) << italic << bold;
    }
  }
}

TEST(ViewSplitter, PanesOfARowShareTheTopLineAndPanesOfAColumnTheFirstColumn) {
  auto buffer = MakeBuffer(Lines(100, std::string(200, 'q')));
  QSplitter row(Qt::Horizontal);
  auto* left = new CTestTextView;
  auto* right = new CTestTextView;
  row.addWidget(left);
  row.addWidget(right);
  left->AttachBuffer(buffer.get());
  right->AttachBuffer(buffer.get());
  row.resize(600, 200);
  row.show();
  (void)QTest::qWaitForWindowExposed(&row);
  QTest::keyClick(left, Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(left, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(right->GetTopLine(), 2);
  left->ScrollIntoView(TextPosition(150, 2));
  EXPECT_GT(left->GetFirstColumn(), 0);
  EXPECT_EQ(right->GetFirstColumn(), 0); // a row does not share columns
  // A pane added to the row later starts at the row's top line.
  auto* third = new CTestTextView;
  third->documentBuffer = buffer.get();
  row.addWidget(third);
  third->OnInitialUpdate();
  EXPECT_EQ(third->GetBuffer(), buffer.get());
  EXPECT_EQ(third->GetTopLine(), 2);

  QSplitter column(Qt::Vertical);
  auto* upper = new CTestTextView;
  auto* lower = new CTestTextView;
  column.addWidget(upper);
  column.addWidget(lower);
  upper->AttachBuffer(buffer.get());
  lower->AttachBuffer(buffer.get());
  column.resize(300, 400);
  column.show();
  (void)QTest::qWaitForWindowExposed(&column);
  upper->ScrollIntoView(TextPosition(150, 0));
  EXPECT_EQ(lower->GetFirstColumn(), upper->GetFirstColumn());
  QTest::keyClick(upper, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(lower->GetTopLine(), 0);
  upper->DetachBuffer();
  lower->DetachBuffer();
  left->DetachBuffer();
  right->DetachBuffer();
}

} // namespace
