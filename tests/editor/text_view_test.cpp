// The text view: keys, mouse, scrolling, split panes, bookmarks, buffer changes, the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "command_ids.h"
#include "view_key_table.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

class ViewNavigation : public TextViewTest<> {
protected:
  QPoint LinePoint(int line, int x) {
    return QPoint(x, line * view.GetLineHeight() + view.GetLineHeight() / 2);
  }
  QPoint CellPoint(int line, int cell, int quarter = 1) {
    const int cw = view.GetCharWidth();
    return LinePoint(line, CTextView::MARGIN_WIDTH + cell * cw + quarter * cw / 4);
  }
};

struct Walk {
  std::string_view text;
  TextPosition start;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  std::vector<TextPosition> stops;
  TextPosition anchor{-1, -1};
};

TEST_F(ViewNavigation, KeysStepThroughColumnsWordsAndLines) {
  const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier;
  const Walk walks[] = {
      {"abcdefgh\nab\n\tx\nabcdefgh", {6, 0}, Qt::Key_Down, none, {{2, 1}, {2, 2}, {6, 3}}},
      {"abcdefgh\nab\n\tx\nabcdefgh", {6, 3}, Qt::Key_Up, none, {{2, 2}, {2, 1}, {6, 0}}},
      {"\tab\nabcd", {1, 1}, Qt::Key_Up, none, {{0, 0}}},
      {"\tab\nabcd", {2, 1}, Qt::Key_Up, none, {{0, 0}}},
      {"\tab\nabcd", {3, 1}, Qt::Key_Up, none, {{1, 0}}},
      {"    abc\n   ", {6, 0}, Qt::Key_Home, none, {{4, 0}, {0, 0}, {4, 0}}},
      {"    abc\n   ", {2, 1}, Qt::Key_Home, none, {{0, 1}, {0, 1}}},
      {"    abc\n   ", {0, 1}, Qt::Key_End, none, {{3, 1}}},
      {"foo.bar baz\n\nend", {0, 0}, Qt::Key_Right, ctrl, {{3, 0}, {4, 0}, {8, 0}}},
      {"foo.bar baz\n\nend", {8, 0}, Qt::Key_Left, ctrl, {{4, 0}, {3, 0}, {0, 0}, {0, 0}}},
      {"foo.bar baz\n\nend", {11, 0}, Qt::Key_Right, ctrl, {{0, 2}}},
      {"foo.bar baz\n\nend", {0, 2}, Qt::Key_Left, ctrl, {{0, 1}}},
      {"ab\ncd", {2, 0}, Qt::Key_Right, none, {{0, 1}}},
      {"ab\ncd", {0, 1}, Qt::Key_Left, none, {{2, 0}}},
      {"ab\ncd", {0, 0}, Qt::Key_Left, none, {{0, 0}}},
      {"ab\ncd", {2, 1}, Qt::Key_Right, none, {{2, 1}}},
      {"hello world\nsecond line\nthird", {5, 1}, Qt::Key_Left, none, {{2, 1}}, {2, 1}},
      {"hello world\nsecond line\nthird", {2, 1}, Qt::Key_Right, none, {{5, 1}}, {5, 1}},
      {"hello world\nsecond line\nthird", {4, 0}, Qt::Key_Down, none, {{4, 2}}, {2, 1}},
      {"hello world\nsecond line\nthird", {4, 2}, Qt::Key_Up, none, {{4, 0}}, {1, 1}},
      {"ab\ncd", {0, 0}, Qt::Key_Left, none, {{0, 0}}, {2, 0}},
      {"ab\ncd", {2, 1}, Qt::Key_Right, none, {{2, 1}}, {1, 1}},
  };
  for (const Walk& walk : walks) {
    SCOPED_TRACE(std::string(walk.text) + " key " + std::to_string(walk.key));
    Load(walk.text);
    Select(view, walk.anchor.x < 0 ? walk.start : walk.anchor, walk.start);
    for (TextPosition stop : walk.stops) {
      Key(walk.key, walk.modifiers);
      EXPECT_EQ(Cursor(), stop);
      EXPECT_FALSE(view.HasSelection());
    }
  }
  Load("abcdefgh\nab\n\tx\nabcdefgh");
  Place({6, 0});
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) Key(key);
  EXPECT_EQ(Cursor(), TextPosition(5, 3));
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Sel(), Span({5, 3}, {8, 3}));
}

TEST_F(ViewNavigation, PageMovesClampAtBothEndsAndSelectAllKeepsAnchorAndScroll) {
  Load(Lines(10, "line x") + "\n" + Lines(90, "line xx"), 400, 200);
  const int visible = view.GetVisibleLines();
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_EQ(view.GetTopLine(), 0);
  view.PlaceCursor({6, 0});
  Key(Qt::Key_PageDown);
  EXPECT_EQ(view.GetTopLine(), visible - 1);
  EXPECT_EQ(Cursor(), TextPosition(6, visible - 1));
  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Cursor().y, 99);
  EXPECT_LE(view.GetTopLine(), 99);
  Key(Qt::Key_PageUp, Qt::ShiftModifier);
  EXPECT_EQ(Cursor().y, 99 - visible + 1);
  EXPECT_TRUE(view.HasSelection());
  Place({7, 99});
  for (int i = 0; i < 20; ++i) Key(Qt::Key_PageUp);
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  EXPECT_EQ(view.GetTopLine(), 0);
  Place({2, 3});
  Key(Qt::Key_A, Qt::ControlModifier); // Select All keeps the anchor and the scroll
  EXPECT_EQ(std::tuple(Sel(), view.GetAnchor(), view.GetTopLine()), std::tuple(Span({0, 0}, {7, 99}), TextPosition(2, 3), 0));
}

TEST_F(ViewNavigation, ClicksPlaceTheCursorByHalfCellsShiftClickExtendsAndMarginClicksSelectLines) {
  Load("abc\nxyz");
  const std::pair<QPoint, TextPosition> clicks[] = {
      {CellPoint(0, 1, 1), {1, 0}},  // left half of b
      {CellPoint(0, 1, 3), {2, 0}},  // right half of b
      {CellPoint(1, 20), {3, 1}},    // right of the line end
      {CellPoint(7, 0), {0, 1}},     // below the last line
  };
  for (const auto& [point, expected] : clicks) {
    QTest::mouseClick(Client(), Qt::LeftButton, {}, point);
    EXPECT_EQ(Cursor(), expected);
  }
  QTest::mouseClick(Client(), Qt::LeftButton, Qt::ShiftModifier, CellPoint(0, 0, 3));
  EXPECT_EQ(Marked(), "a{|bc\n}xyz");
  Load("one\ntwo\nthree");
  QTest::mouseClick(Client(), Qt::LeftButton, {}, LinePoint(1, 5));
  EXPECT_EQ(Sel(), Span({0, 1}, {0, 2}));
  QTest::mouseClick(Client(), Qt::LeftButton, {}, LinePoint(2, 5)); // the last: to the end
  EXPECT_EQ(Sel(), Span({0, 2}, {5, 2}));
  QTest::mouseClick(Client(), Qt::LeftButton, Qt::ControlModifier, LinePoint(0, 5));
  EXPECT_EQ(Sel(), Span({0, 0}, {5, 2}));
  QTest::mousePress(Client(), Qt::LeftButton, {}, LinePoint(0, 5));
  QTest::mouseMove(Client(), LinePoint(1, 5));
  EXPECT_EQ(Sel(), Span({0, 0}, {0, 2}));
  QTest::mouseMove(Client(), CellPoint(1, 2, 0));
  QTest::mouseRelease(Client(), Qt::LeftButton, {}, CellPoint(1, 2, 0));
  EXPECT_EQ(Sel(), Span({0, 0}, {2, 1}));
}

TEST_F(ViewNavigation, DoubleClickAndCtrlDragSelectWholeWords) {
  Load("foo bar_baz qux");
  QTest::mouseClick(Client(), Qt::LeftButton, {}, CellPoint(0, 5));
  QTest::mouseDClick(Client(), Qt::LeftButton, {}, CellPoint(0, 5));
  QTest::mouseRelease(Client(), Qt::LeftButton, {}, CellPoint(0, 5));
  EXPECT_EQ(Marked(), "foo {bar_baz|} qux");
  EXPECT_FALSE(view.IsDragSelecting());
  QTest::mousePress(Client(), Qt::LeftButton, Qt::ControlModifier, CellPoint(0, 1));
  QTest::mouseEvent(QTest::MouseMove, Client(), Qt::NoButton, Qt::ControlModifier, CellPoint(0, 13));
  QTest::mouseRelease(Client(), Qt::LeftButton, Qt::ControlModifier, CellPoint(0, 13));
  EXPECT_EQ(Marked(), "{foo bar_baz qux|}");
}

TEST_F(ViewNavigation, PressesInsideTheSelectionKeepItUntilRelease) {
  Load("abcdefgh");
  Select(view, {1, 0}, {6, 0});
  const QPoint inside = CellPoint(0, 3, 0) + QPoint(1, 0);
  const QPoint outside = CellPoint(0, 7, 0) + QPoint(1, 0);
  EXPECT_EQ(view.CursorForPoint(inside).shape(), Qt::ArrowCursor);
  EXPECT_EQ(view.CursorForPoint(outside).shape(), Qt::IBeamCursor);
  EXPECT_EQ(view.CursorForPoint(LinePoint(0, 4)).shape(), Qt::BitmapCursor);
  QTest::mouseClick(Client(), Qt::RightButton, {}, inside);
  EXPECT_EQ(Marked(), "a{bcdef|}gh");
  QTest::mousePress(Client(), Qt::LeftButton, {}, inside);
  EXPECT_TRUE(view.IsPreparingToDrag());
  EXPECT_FALSE(view.IsDragSelecting());
  QTest::mouseRelease(Client(), Qt::LeftButton, {}, inside);
  EXPECT_FALSE(view.IsPreparingToDrag());
  EXPECT_EQ(Marked(), "abc|defgh");
  EXPECT_EQ(view.GetAnchor(), TextPosition(1, 0));
  Select(view, {2, 0}, {6, 0});
  QTest::mouseClick(Client(), Qt::RightButton, {}, outside);
  EXPECT_EQ(Marked(), "abcdefg|h");
  EXPECT_EQ(view.GetAnchor(), TextPosition(7, 0));
}

TEST_F(ViewNavigation, HeldButtonOutsideTheWindowScrollsOneOrThreeLines) {
  Load(Lines(101, "row"), 300, 200);
  const int lh = view.GetLineHeight();
  const int height = Client()->height();
  view.ScrollToTopLine(20, true);
  QTest::mousePress(Client(), Qt::LeftButton, {}, LinePoint(2, 40));
  const TextPosition anchor = view.GetAnchor();
  EXPECT_EQ(anchor.y, 22);
  const std::pair<int, int> steps[] = {{-lh / 2, 19}, {-lh - 4, 16},
                                       {height + lh / 2, 17}, {height + lh + 4, 20}};
  for (const auto& [y, top] : steps) {
    QTest::mouseMove(Client(), QPoint(40, y));
    view.OnAutoScrollTimer();
    EXPECT_EQ(view.GetTopLine(), top) << "mouse at y " << y;
  }
  EXPECT_EQ(Sel().first, anchor);
  EXPECT_EQ(Sel().second.y, 20 + (height + lh + 4) / lh);
  QTest::mouseRelease(Client(), Qt::LeftButton, {}, QPoint(40, height + lh + 4));
  EXPECT_FALSE(view.IsDragSelecting());
}

TEST_F(ViewNavigation, CaretFollowsFocusAndTheCursorAndTabKeysStayInTheView) {
  Load("abc\ndef");
  if (!view.hasFocus()) GTEST_SKIP() << "the platform gives no keyboard focus";
  EXPECT_TRUE(view.IsCaretVisible());
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(view.GetCaretRect(),
            QRect(view.TextPosToPoint({3, 1}), QSize(2, view.GetLineHeight())));
  std::vector<int> reported;
  QObject::connect(&view, &CTextView::unhandledCommand,
                   [&](int id) { reported.push_back(id); });
  Key(Qt::Key_Tab);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  Key(Qt::Key_H, Qt::ControlModifier); // Replace belongs to the editing view
  EXPECT_EQ(reported, (std::vector<int>{Cmd::EDIT_TAB, Cmd::EDIT_UNTAB, Cmd::EDIT_REPLACE}));
  view.clearFocus();
  QApplication::processEvents();
  EXPECT_FALSE(view.IsCaretVisible());
}

class ViewScrolling : public TextViewTest<> {
protected:
  void Resize(int width, int height) {
    view.resize(width, height);
    QApplication::processEvents();
  }
  QScrollBar* Vert() { return view.verticalScrollBar(); }
  QScrollBar* Horz() { return view.horizontalScrollBar(); }
};

TEST_F(ViewScrolling, ScrollIntoViewKeepsLinesWholeAndTheCaretColumnReachable) {
  Load(Lines(99) + "\n" + std::string(200, 'w'), 300, 200, false);
  const int lines = view.GetVisibleLines();
  const int columns = view.GetVisibleColumns();
  const std::pair<TextPosition, std::pair<int, int>> rows[] = {
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

TEST_F(ViewScrolling, BarRangesFollowResizesEditsAndFonts) {
  Load(Lines(50, std::string(100, 'x')), 300, 200, false);
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
  view.ScrollToTopLine(20, true);
  ASSERT_EQ(view.GetTopLine(), 20);
  const QSize frame = view.size() - Client()->size();
  Resize(frame.width() + CTextView::MARGIN_WIDTH + 100 * view.GetCharWidth() + 2,
         frame.height() + 53 * view.GetLineHeight() + 2);
  ASSERT_EQ(view.GetVisibleLines(), 53);
  ASSERT_EQ(view.GetVisibleColumns(), 100);
  EXPECT_EQ(view.GetTopLine(), 0);
  EXPECT_FALSE(Vert()->isEnabled());
  EXPECT_TRUE(Vert()->isVisible());
  EXPECT_FALSE(Horz()->isEnabled());
  const int before = view.GetLineHeight();
  view.SetViewFont({"Courier New", 2 * before + 4, 400, false, 0});
  EXPECT_GT(view.GetLineHeight(), before);
  EXPECT_EQ(view.GetVisibleLines(), Client()->height() / view.GetLineHeight());
  EXPECT_EQ(Vert()->maximum(), 53 - view.GetVisibleLines());
  EXPECT_TRUE(QFontInfo(view.GetStyleFont(false, false)).fixedPitch());
}

TEST_F(ViewScrolling, AWindowShorterThanOneLineHasNoWholeLineYetScrollsAndPagesByOne) {
  Load(Lines(10), 300, 200, false);
  Resize(300, Horz()->sizeHint().height() + view.GetLineHeight() / 2);
  EXPECT_EQ(std::pair(view.GetVisibleLines(), Vert()->pageStep()), std::pair(0, 0));
  view.ScrollIntoView(TextPosition(0, 5));
  EXPECT_EQ(view.GetTopLine(), 5);
  view.PlaceCursor(TextPosition(0, 5));
  Key(Qt::Key_PageUp);
  EXPECT_EQ(std::pair(Cursor().y, view.GetTopLine()), std::pair(4, 4));
  for (int i = 0; i < 2; ++i) Key(Qt::Key_PageDown);
  EXPECT_EQ(Cursor().y, 6);
}

TEST_F(ViewScrolling, CtrlUpAndDownAndTheBarsScrollWithoutMovingTheCursor) {
  Load(Lines(100, std::string(80, 'z')), 300, 200, false);
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
  EXPECT_EQ(view.TextPosToPoint(TextPosition(7, 29)), QPoint(CTextView::MARGIN_WIDTH, 0));
  for (int i = 0; i < 90; ++i) view.ScrollRight(); // up to the last column of the longest line
  EXPECT_EQ(view.GetFirstColumn(), 79);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
}

TEST_F(ViewScrolling, ALargeTextsBarRangeGrowsToTheLongestLineAfterTheWalkAndFollowsEdits) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += i == 90000 ? std::string(300, 'w') + "\n" : "x\n";
  Load(text + "end", 400, 300);
  const int columns = view.GetVisibleColumns();
  view.ResetViewState(); // showing the view may have let the walk finish
  view.UpdateHorzScrollBar(false);
  EXPECT_EQ(Horz()->maximum(), 0); // the first slice holds lines of one column only
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 10, 1, std::string(200, 'y'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 201 - columns);
  for (int quiet = 0, last = -1; quiet < 20; ++quiet) { // until the range stays the same a while
    QApplication::processEvents();
    if (Horz()->maximum() != last) quiet = 0;
    last = Horz()->maximum();
  }
  EXPECT_EQ(Horz()->maximum(), 300 - columns);
  ASSERT_TRUE(buffer->DeleteText(nullptr, 90000, 0, 90000, 300));
  ASSERT_TRUE(buffer->InsertText(nullptr, 95000, 0, std::string(250, 'z'), endLine, endChar));
  EXPECT_EQ(Horz()->maximum(), 251 - columns);
  view.ResetViewState();
  view.ScrollIntoView(TextPosition(250, 95000));
  EXPECT_EQ(view.GetFirstColumn(), 250 - columns);
}

struct Panes : CPaneGrid {
  QSplitter splitter;
  std::vector<CTestTextView*> panes;
  Panes(Qt::Orientation orientation, CTextBuffer& buffer, QSize size)
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
  CTextView* PaneView(int row, int column) const override {
    const std::size_t i = std::size_t(row + column); // one of them is 0
    return (Row() ? row : column) == 0 && column >= 0 && row >= 0 && i < panes.size() ? panes[i] : nullptr;
  }
  bool FindPane(const CTextView* view, int& row, int& column) const override {
    const int i = int(std::find(panes.begin(), panes.end(), view) - panes.begin());
    row = Row() ? 0 : i;
    column = Row() ? i : 0;
    return i < int(panes.size());
  }
};

TEST(ViewSplitter, PanesOfARowShareTheTopLineAndPanesOfAColumnTheFirstColumn) {
  auto buffer = MakeBuffer(Lines(100, std::string(200, 'q')));
  Panes row(Qt::Horizontal, *buffer, QSize(600, 200));
  QTest::keyClick(row.panes[0], Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(row.panes[0], Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(row.panes[1]->GetTopLine(), 2);
  row.panes[0]->ScrollIntoView(TextPosition(150, 2));
  EXPECT_GT(row.panes[0]->GetFirstColumn(), 0);
  EXPECT_EQ(row.panes[1]->GetFirstColumn(), 0); // a row does not share columns
  CTestTextView* third = row.Add();
  third->documentBuffer = buffer.get();
  third->OnInitialUpdate();
  EXPECT_EQ(third->GetBuffer(), buffer.get());
  EXPECT_EQ(third->GetTopLine(), 2);

  Panes column(Qt::Vertical, *buffer, QSize(300, 400));
  column.panes[0]->ScrollIntoView(TextPosition(150, 0));
  EXPECT_EQ(column.panes[1]->GetFirstColumn(), column.panes[0]->GetFirstColumn());
  QTest::keyClick(column.panes[0], Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(column.panes[1]->GetTopLine(), 0);
}

class ViewBookmarks : public TextViewTest<> {
protected:
  void SetUp() override { Load(Lines(10, "line x"), 300, 150); }
  void On(int line, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    Place(TextPosition(3, line));
    Key(key, modifiers);
  }
  std::string Flagged(uint32_t flag) const {
    std::string lines;
    for (int i = 0; i < buffer->LineCount(); ++i)
      if (buffer->LineFlags(i) & flag) lines += std::to_string(i);
    return lines;
  }
  std::string Visits(std::string_view keys) {
    std::string stops;
    for (char k : keys) {
      Key(Qt::Key_F2, k == 'S' ? Qt::ShiftModifier : Qt::NoModifier);
      stops += std::to_string(Cursor().x) + "," + std::to_string(Cursor().y) + " ";
    }
    return stops;
  }
};

TEST_F(ViewBookmarks, ANumberedBookmarkLivesOnOneLineAndJumpsToItsStart) {
  On(1, Qt::Key_3);
  On(4, Qt::Key_3);
  EXPECT_EQ(Flagged(LF_NUMBERED_BOOKMARK(3)), "4");
  Key(Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(Flagged(LF_NUMBERED_BOOKMARK(3)), "");
  On(6, Qt::Key_8, Qt::AltModifier); // a bookmark that no line carries goes nowhere
  EXPECT_EQ(Cursor(), TextPosition(3, 6));
  for (int n = 0; n < 10; ++n) On(9 - n, Qt::Key(Qt::Key_0 + n));
  for (int n = 0; n < 10; ++n) {
    Select(view, {0, 7}, {3, 7});
    Key(Qt::Key(Qt::Key_0 + n), Qt::AltModifier);
    EXPECT_EQ(Sel(), Span({0, 9 - n}, {0, 9 - n})) << n;
    EXPECT_EQ(view.GetAnchor(), TextPosition(0, 9 - n)) << n;
  }
  Key(Qt::Key_F2, Qt::ControlModifier);
  EXPECT_EQ(Visits("FS"), "0,0 0,0 "); // numbered ones on every line are not searched
  ASSERT_TRUE(view.OnCmdMsg(Cmd::EDIT_CLEAR_BOOKMARKS));
  EXPECT_EQ(Flagged(0x3FF), "");
  EXPECT_EQ(Flagged(LF_BOOKMARK), "0");
}

TEST_F(ViewBookmarks, NextAndPreviousGoToLineStartsAndWrapAroundTheText) {
  EXPECT_FALSE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  On(2, Qt::Key_F2); // the only one: found again from itself, both ways
  EXPECT_EQ(Visits("FS"), "0,2 0,2 ");
  On(2, Qt::Key_F2);
  for (int line : {1, 4, 7}) On(line, Qt::Key_F2);
  EXPECT_EQ(Flagged(LF_BOOKMARK), "147");
  for (int id : {Cmd::EDIT_GOTO_NEXT_BOOKMARK, Cmd::EDIT_GOTO_PREV_BOOKMARK, Cmd::EDIT_CLEAR_ALL_BOOKMARKS})
    EXPECT_TRUE(Enabled(id)) << id;
  Place({3, 0});
  EXPECT_EQ(Visits("FFFFSSS"), "0,1 0,4 0,7 0,1 0,7 0,4 0,1 ");
  Place({3, 5}); // from an unmarked line the search starts on that line itself
  EXPECT_EQ(Visits("S"), "0,4 ");
  Key(Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Flagged(LF_BOOKMARK), "");
  EXPECT_FALSE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  On(5, Qt::Key_F2, Qt::NoModifier);
  EXPECT_EQ(Cursor(), TextPosition(3, 5));
  CTestTextView other;
  other.AttachBuffer(buffer.get());
  other.PlaceCursor(TextPosition(0, 6));
  ASSERT_TRUE(other.OnCmdMsg(Cmd::EDIT_TOGGLE_BOOKMARK));
  EXPECT_TRUE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  EXPECT_EQ(Visits("F"), "0,6 ");
}

TEST(ViewKeyTable, NoKeyIsBoundTwiceAndBacktabIsShiftTab) {
  std::size_t count = 0;
  const ViewKeyBinding* table = ViewKeyTable(count);
  std::set<std::pair<int, int>> keys;
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(keys.insert({table[i].key, table[i].modifiers.toInt()}).second)
        << "key " << table[i].key << " bound twice";
    EXPECT_EQ(LookupViewKey(table[i].key, table[i].modifiers), table[i].command);
  }
  EXPECT_EQ(LookupViewKey(Qt::Key_Backtab, Qt::NoModifier), Cmd::EDIT_UNTAB);
  EXPECT_EQ(LookupViewKey(Qt::Key_Left, Qt::KeypadModifier), Cmd::EDIT_CHAR_LEFT);
  EXPECT_EQ(LookupViewKey(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier), 0);
}

class ViewWithBuffer : public TextViewTest<> {};

// Cookies depend on the text alone: the views of one buffer that colour alike share them, so
// the second view colours nothing the first has; a view that colours otherwise keeps its own.
class CQuoteCountingView : public CTextView {
public:
  int* calls = nullptr;
  uint32_t ColourLine(uint32_t cookie, int line, StyleRun*, int& runCount) override {
    ++*calls;
    runCount = 0;
    const std::string_view text(GetLineText(line), static_cast<std::size_t>(GetLineLength(line)));
    return cookie ^ static_cast<uint32_t>(std::count(text.begin(), text.end(), '"') % 2);
  }
};

TEST(ViewCookies, TheViewsOfABufferShareItsCookiesAndFollowItsChangesOnce) {
  const auto buffer = MakeBuffer(Lines(1000, "x\"y"));
  int calls = 0;
  CQuoteCountingView a, b;
  CTestTextView plain;
  for (CTextView* view : std::initializer_list<CTextView*>{&a, &b, &plain}) view->AttachBuffer(buffer.get());
  a.calls = b.calls = &calls;
  EXPECT_EQ(a.GetLineCookie(998), 1u);
  EXPECT_EQ(b.GetLineCookie(999), 0u);
  EXPECT_EQ(calls, 1000);
  int line = 0, column = 0;
  buffer->InsertText(nullptr, 0, 0, "\"", line, column); // every cookie below flips
  EXPECT_EQ(b.GetLineCookie(999), 1u);
  EXPECT_EQ(a.GetLineCookie(998), 0u);
  EXPECT_EQ(calls, 2000);
  EXPECT_EQ(plain.GetLineCookie(999), 0u);
  EXPECT_EQ(calls, 2000);
}

TEST_F(ViewWithBuffer, AnEditThroughAnotherViewMovesCaretAndSelection) {
  buffer = MakeBuffer("alpha\nbeta\ngamma");
  CTestTextView editing;
  editing.AttachBuffer(buffer.get());
  view.AttachBuffer(buffer.get());
  Select(view, {1, 1}, {3, 2});
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(&editing, 0, 0, "new\r\nfirst ", endLine, endChar));
  EXPECT_EQ(Marked(), "new\nfirst alpha\nb{eta\ngam|}ma");
  EXPECT_EQ(view.GetAnchor(), TextPosition(1, 2));
  ASSERT_TRUE(buffer->InsertText(&editing, 3, 0, "ZZ", endLine, endChar));
  EXPECT_EQ(Cursor(), TextPosition(5, 3));
  ASSERT_TRUE(buffer->DeleteText(&editing, 1, 2, 3, 1));
  EXPECT_EQ(Marked(), "new\nfi{Zgam|}ma");
}

TEST_F(ViewWithBuffer, DeletingTheCaretLineAndTheTopLineKeepsThemInsideTheText) {
  Load(Lines(60) + "\n", 300, 150, false);
  view.ScrollToTopLine(50, true);
  Select(view, {0, 52}, {3, 55});
  ASSERT_TRUE(buffer->DeleteText(nullptr, 10, 0, 60, 0));
  EXPECT_EQ(Marked(), Lines(10) + "\n|"); // caret and selection where the deletion began
  EXPECT_LT(view.GetTopLine(), 11);
  (void)Grab(view);
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(Cursor(), TextPosition(0, 10));
}

TEST_F(ViewWithBuffer, ANewTextOrLosingTheBufferResetsScrollCursorAndSelection) {
  for (bool lose : {false, true}) {
    Load(Lines(80, "some text"), 300, 150);
    view.ScrollToTopLine(40, true);
    Select(view, {0, 44}, {4, 45});
    if (lose) buffer.reset(); // the document goes first
    else ASSERT_TRUE(buffer->CreateEmpty());
    EXPECT_EQ(view.GetTopLine(), 0) << lose;
    EXPECT_EQ(Cursor(), TextPosition(0, 0)) << lose;
    EXPECT_FALSE(view.HasSelection()) << lose;
    EXPECT_EQ(view.verticalScrollBar()->value(), 0) << lose;
    EXPECT_FALSE(view.verticalScrollBar()->isEnabled()) << lose;
  }
  EXPECT_EQ(view.GetBuffer(), nullptr);
  EXPECT_EQ(view.GetLineCount(), 1);
  CCmdUIState lineEnds; // no line-end style is named and no bookmark exists without a buffer
  EXPECT_TRUE(view.OnUpdateCmdUI(Cmd::INDICATOR_CRLF, lineEnds) && !lineEnds.enabled && !lineEnds.text && !view.BookmarksExist());
  EXPECT_FALSE(Grab(view).isNull());
  buffer = MakeBuffer("again");
  view.AttachBuffer(buffer.get());
  EXPECT_EQ(view.GetLineLength(0), 5);
}

TEST_F(ViewWithBuffer, CopyPutsTheSelectionOnTheClipboardOnlyWhenThereIsOne) {
  QClipboard* board = QApplication::clipboard();
  Load("a\nb\xE9\nc", 200, 100, true, LineEndStyle::Mac);
  board->setText(QStringLiteral("before"));
  EXPECT_FALSE(Enabled(Cmd::EDIT_COPY));
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(board->text(), QStringLiteral("before"));
  view.SetSelection({0, 0}, {2, 1});
  EXPECT_TRUE(Enabled(Cmd::EDIT_COPY));
  Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(board->text(), QString::fromUtf8("a\nb\u00E9"));
  EXPECT_FALSE(view.CopyToClipboard(""));
  std::string text;
  board->setText(QString::fromUtf8("one\ntwo\rthree\r\n\u00E9"));
  ASSERT_TRUE(view.ClipboardHasText() && view.TakeFromClipboard(text));
  EXPECT_EQ(text, "one\r\ntwo\r\nthree\r\n\xE9");
  auto* image = new QMimeData; // no text at all
  image->setData("image/png", QByteArray("\x89PNG", 4));
  board->setMimeData(image);
  EXPECT_FALSE(view.TakeFromClipboard(text) || view.ClipboardHasText());
}

} // namespace
