// Scrolling: keeping a position in view, scroll bar ranges across resizes, edits and font
// changes, the bars driving the view, and splitter panes following each other.
#include <QApplication>
#include <QScrollBar>
#include <QSplitter>
#include <gtest/gtest.h>

#include "view_test_support.h"

using namespace viewtest;

namespace {

class ViewScrolling : public TextViewTest<> {
protected:
  void Show(const std::string& text, int width = 300, int height = 200) {
    Load(text, width, height, false);
  }
  void Resize(int width, int height) {
    view.resize(width, height);
    QApplication::processEvents();
  }
  QScrollBar* Vert() { return view.verticalScrollBar(); }
  QScrollBar* Horz() { return view.horizontalScrollBar(); }
};

TEST_F(ViewScrolling, ScrollIntoViewKeepsLinesWholeAndTheCaretColumnReachable) {
  Show(Lines(99) + "\n" + std::string(200, 'w'));
  const int lines = view.GetVisibleLines();
  const int columns = view.GetVisibleColumns();
  ASSERT_GT(lines, 1);
  ASSERT_GT(columns, 1);
  const std::pair<TextPosition, std::pair<int, int>> rows[] = {
      // position, then the top line and the first column it leaves
      {{0, lines - 1}, {0, 0}},
      {{0, lines}, {1, 0}},
      {{0, 99}, {99 - lines + 1, 0}},
      {{0, 3}, {3, 0}},
      {{columns, 99}, {99 - lines + 1, 0}}, // just right of the last whole column
      {{columns + 1, 99}, {99 - lines + 1, 1}},
      {{200, 99}, {99 - lines + 1, 200 - columns}},
      {{0, 99}, {99 - lines + 1, 0}},
  };
  for (const auto& [position, expected] : rows) {
    view.ScrollIntoView(position);
    EXPECT_EQ(std::make_pair(view.GetTopLine(), view.GetFirstColumn()), expected)
        << "x " << position.x << " line " << position.y;
    EXPECT_EQ(Vert()->value(), std::min(view.GetTopLine(), Vert()->maximum()));
  }
}

TEST_F(ViewScrolling, BarRangesFollowResizesAndInsertedLines) {
  Show(Lines(50, std::string(100, 'x')));
  EXPECT_EQ(Vert()->pageStep(), view.GetVisibleLines());
  EXPECT_EQ(Horz()->pageStep(), view.GetVisibleColumns());
  EXPECT_TRUE(Vert()->isEnabled());
  for (int size : {0, 1}) {
    if (size == 1) Resize(500, 400);
    EXPECT_EQ(view.GetVisibleLines(), Client()->height() / view.GetLineHeight());
    EXPECT_EQ(Vert()->maximum(), 50 - view.GetVisibleLines());
    EXPECT_EQ(Horz()->maximum(), 100 - view.GetVisibleColumns());
  }
  const int lines = view.GetVisibleLines(), columns = view.GetVisibleColumns();
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 10, 0, "a\r\nb\r\nc\r\n", endLine, endChar));
  EXPECT_EQ(Vert()->maximum(), 53 - lines);
  ASSERT_TRUE(buffer->InsertText(nullptr, 0, 0, std::string(150, 'y'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 250 - columns);
  ASSERT_TRUE(buffer->DeleteText(nullptr, 0, 0, 0, 200));
  EXPECT_EQ(Horz()->maximum(), 100 - columns);
}

TEST_F(ViewScrolling, EnlargingUntilEverythingFitsScrollsBackToTheTop) {
  Show(Lines(30), 300, 120);
  view.ScrollToTopLine(20, true);
  ASSERT_EQ(view.GetTopLine(), 20);
  Resize(300, 30 * view.GetLineHeight() + 60);
  EXPECT_EQ(view.GetTopLine(), 0);
  EXPECT_FALSE(Vert()->isEnabled());
  EXPECT_TRUE(Vert()->isVisible());
  EXPECT_FALSE(Horz()->isEnabled());
}

TEST_F(ViewScrolling, AWindowShorterThanOneLineHasNoWholeLine) {
  Show(Lines(10));
  Resize(300, Horz()->sizeHint().height() + view.GetLineHeight() / 2);
  ASSERT_LT(Client()->height(), view.GetLineHeight());
  EXPECT_EQ(view.GetVisibleLines(), 0);
  EXPECT_EQ(Vert()->pageStep(), 0);
  // Keeping the cursor in view still works without a whole line, and pages go the way asked.
  view.ScrollIntoView(TextPosition(0, 5));
  EXPECT_EQ(view.GetTopLine(), 5);
  view.PlaceCursor(TextPosition(0, 5));
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Cursor().y, 4);
  EXPECT_EQ(view.GetTopLine(), 4);
  Key(Qt::Key_PageDown);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Cursor().y, 6);
}

TEST_F(ViewScrolling, CtrlUpAndDownAndTheBarsScrollWithoutMovingTheCursor) {
  Show(Lines(100, std::string(80, 'z')));
  const int lines = view.GetVisibleLines();
  view.PlaceCursor(TextPosition(2, 1));
  Key(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 0);
  for (int i = 0; i < 120; ++i) Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 99);
  Key(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(view.GetTopLine(), 98);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));

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
  EXPECT_EQ(view.TextPosToPoint(TextPosition(7, 29)), QPoint(CCrystalTextView::MARGIN_WIDTH, 0));
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
}

TEST_F(ViewScrolling, AFontChangeRemeasuresAndRecomputesTheBars) {
  Show(Lines(60));
  const int before = view.GetLineHeight();
  FontDescription large;
  large.faceName = "Courier New";
  large.height = 2 * before + 4;
  view.SetViewFont(large);
  EXPECT_GT(view.GetLineHeight(), before);
  EXPECT_EQ(view.GetVisibleLines(), Client()->height() / view.GetLineHeight());
  EXPECT_EQ(Vert()->maximum(), 60 - view.GetVisibleLines());
  EXPECT_TRUE(QFontInfo(view.GetStyleFont(false, false)).fixedPitch());
  // Every face keeps the grid over a long run of characters.
  const QString run(40, QLatin1Char('W'));
  for (bool italic : {false, true})
    for (bool bold : {false, true})
      EXPECT_NEAR(QFontMetricsF(view.GetStyleFont(italic, bold)).horizontalAdvance(run),
                  40 * view.GetCharWidth(), 1.0)
          << italic << bold;
}

// Panes of the buffer in one row (Horizontal) or one column of a grid, shown at size.
struct Panes : CPaneGrid {
  QSplitter splitter;
  std::vector<CTestTextView*> panes;
  Panes(Qt::Orientation orientation, CCrystalTextBuffer& buffer, QSize size)
      : splitter(orientation) {
    for (int i = 0; i < 2; ++i) Add()->AttachBuffer(&buffer);
    splitter.resize(size);
    splitter.show();
    (void)QTest::qWaitForWindowExposed(&splitter);
  }
  CTestTextView* Add() {
    auto* pane = new CTestTextView;
    pane->paneGrid = this;
    splitter.addWidget(pane);
    panes.push_back(pane);
    return pane;
  }
  bool Row() const { return splitter.orientation() == Qt::Horizontal; }
  int RowCount() const override { return Row() ? 1 : int(panes.size()); }
  int ColumnCount() const override { return Row() ? int(panes.size()) : 1; }
  CCrystalTextView* PaneView(int row, int column) const override {
    const std::size_t i = std::size_t(Row() ? column : row);
    return (row >= 0 && column >= 0 && i < panes.size()) ? panes[i] : nullptr;
  }
  bool FindPane(const CCrystalTextView* view, int& row, int& column) const override {
    for (std::size_t i = 0; i < panes.size(); ++i)
      if (panes[i] == view) {
        row = Row() ? 0 : int(i);
        column = Row() ? int(i) : 0;
        return true;
      }
    return false;
  }
  CTestTextView* first() const { return panes[0]; }
  CTestTextView* second() const { return panes[1]; }
};

TEST(ViewSplitter, PanesOfARowShareTheTopLineAndPanesOfAColumnTheFirstColumn) {
  auto buffer = MakeBuffer(Lines(100, std::string(200, 'q')));
  Panes row(Qt::Horizontal, *buffer, QSize(600, 200));
  QTest::keyClick(row.first(), Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(row.first(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(row.second()->GetTopLine(), 2);
  row.first()->ScrollIntoView(TextPosition(150, 2));
  EXPECT_GT(row.first()->GetFirstColumn(), 0);
  EXPECT_EQ(row.second()->GetFirstColumn(), 0); // a row does not share columns
  // A pane added to the row later starts at the row's top line.
  CTestTextView* third = row.Add();
  third->documentBuffer = buffer.get();
  third->OnInitialUpdate();
  EXPECT_EQ(third->GetBuffer(), buffer.get());
  EXPECT_EQ(third->GetTopLine(), 2);

  Panes column(Qt::Vertical, *buffer, QSize(300, 400));
  column.first()->ScrollIntoView(TextPosition(150, 0));
  EXPECT_EQ(column.second()->GetFirstColumn(), column.first()->GetFirstColumn());
  QTest::keyClick(column.first(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(column.second()->GetTopLine(), 0);
}

} // namespace
