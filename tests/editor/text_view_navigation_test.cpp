// Caret movement by keys and mouse: preferred column, Home, words, collapsing selections,
// clicks, margin clicks, page moves, mouse selection modes and auto-scrolling.
#include <gtest/gtest.h>

#include "command_ids.h"
#include "view_test_events.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

class ViewNavigation : public TextViewTest<> {
protected:
  // A point in the middle of a line, x pixels from the left of the client area.
  QPoint LinePoint(int line, int x) {
    return QPoint(x, line * view.GetLineHeight() + view.GetLineHeight() / 2);
  }
  // A point in a cell: quarter 1 is its left quarter, 3 its right one.
  QPoint CellPoint(int line, int cell, int quarter = 1) {
    const int cw = view.GetCharWidth();
    return LinePoint(line, CCrystalTextView::MARGIN_WIDTH + cell * cw + quarter * cw / 4);
  }
};

// A key pressed from start once per expected stop; with an anchor, from a selection that
// runs from the anchor to start, which the first press collapses.
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
      // Vertical moves keep the preferred column through short lines and tabs ("\tx" spans
      // columns 0-5).
      {"abcdefgh\nab\n\tx\nabcdefgh", {6, 0}, Qt::Key_Down, none, {{2, 1}, {2, 2}, {6, 3}}},
      {"abcdefgh\nab\n\tx\nabcdefgh", {6, 3}, Qt::Key_Up, none, {{2, 2}, {2, 1}, {6, 0}}},
      // Up into a leading tab goes to the nearer edge of the tab.
      {"\tab\nabcd", {1, 1}, Qt::Key_Up, none, {{0, 0}}},
      {"\tab\nabcd", {2, 1}, Qt::Key_Up, none, {{0, 0}}},
      {"\tab\nabcd", {3, 1}, Qt::Key_Up, none, {{1, 0}}},
      // Home alternates between the first non-blank and the line start; on a blank line it
      // stays at the start.
      {"    abc\n   ", {6, 0}, Qt::Key_Home, none, {{4, 0}, {0, 0}, {4, 0}}},
      {"    abc\n   ", {2, 1}, Qt::Key_Home, none, {{0, 1}, {0, 1}}},
      {"    abc\n   ", {0, 1}, Qt::Key_End, none, {{3, 1}}},
      // Word moves stop at words, punctuation and empty lines; right from a line end over an
      // empty line goes on to the line after it; at the very start nothing happens.
      {"foo.bar baz\n\nend", {0, 0}, Qt::Key_Right, ctrl, {{3, 0}, {4, 0}, {8, 0}}},
      {"foo.bar baz\n\nend", {8, 0}, Qt::Key_Left, ctrl, {{4, 0}, {3, 0}, {0, 0}, {0, 0}}},
      {"foo.bar baz\n\nend", {11, 0}, Qt::Key_Right, ctrl, {{0, 2}}},
      {"foo.bar baz\n\nend", {0, 2}, Qt::Key_Left, ctrl, {{0, 1}}},
      // Right at a line end goes to the next line, Left at a line start to the previous end;
      // at the ends of the text they stay.
      {"ab\ncd", {2, 0}, Qt::Key_Right, none, {{0, 1}}},
      {"ab\ncd", {0, 1}, Qt::Key_Left, none, {{2, 0}}},
      {"ab\ncd", {0, 0}, Qt::Key_Left, none, {{0, 0}}},
      {"ab\ncd", {2, 1}, Qt::Key_Right, none, {{2, 1}}},
      // Plain moves collapse a selection first: Left to its start, Right to its end, Down
      // from its end line, Up from its start line; at the ends of the text too.
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
  // A horizontal move takes a new preferred column from where it lands.
  Load("abcdefgh\nab\n\tx\nabcdefgh");
  Place({6, 0});
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) Key(key);
  EXPECT_EQ(Cursor(), TextPosition(5, 3));
  // Shift extends.
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Sel(), Span({5, 3}, {8, 3}));
}

TEST_F(ViewNavigation, PageMovesClampAtBothEnds) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + (i < 99 ? "\n" : "");
  Load(text, 400, 200);
  const int visible = view.GetVisibleLines();
  ASSERT_GT(visible, 2);
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
  // The char index is limited to the shorter line it lands on ("line 9" vs "line 99").
  Place({7, 99});
  for (int i = 0; i < 20; ++i) Key(Qt::Key_PageUp);
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  EXPECT_EQ(view.GetTopLine(), 0);
}

TEST_F(ViewNavigation, ClicksPlaceTheCursorByHalfCellsAndShiftClickExtends) {
  Load("abc\nxyz");
  const std::pair<QPoint, TextPosition> clicks[] = {
      {CellPoint(0, 1, 1), {1, 0}},  // left half of b
      {CellPoint(0, 1, 3), {2, 0}},  // right half of b
      {CellPoint(1, 20), {3, 1}},    // right of the line end
      {CellPoint(7, 0), {0, 1}},     // below the last line
  };
  for (const auto& [point, expected] : clicks) {
    Click(Client(), point);
    EXPECT_EQ(Cursor(), expected);
  }
  EXPECT_FALSE(view.HasSelection());
  Click(Client(), CellPoint(0, 0, 3), Qt::ShiftModifier);
  EXPECT_EQ(Sel(), Span({1, 0}, {0, 1}));
}

TEST_F(ViewNavigation, MarginClicksAndDragsSelectWholeLines) {
  Load("one\ntwo\nthree");
  Click(Client(), LinePoint(1, 5));
  EXPECT_EQ(Sel(), Span({0, 1}, {0, 2}));
  Click(Client(), LinePoint(2, 5)); // the last line selects to the end of the text
  EXPECT_EQ(Sel(), Span({0, 2}, {5, 2}));
  Click(Client(), LinePoint(0, 5), Qt::ControlModifier);
  EXPECT_EQ(Sel(), Span({0, 0}, {5, 2}));
  // Dragging in the margin selects the lines between; leaving the margin goes on by chars.
  Press(Client(), LinePoint(0, 5));
  MoveHeld(Client(), LinePoint(1, 5));
  EXPECT_EQ(Sel(), Span({0, 0}, {0, 2}));
  EXPECT_TRUE(view.IsLineMode());
  MoveHeld(Client(), CellPoint(1, 2, 0));
  EXPECT_FALSE(view.IsLineMode());
  Release(Client(), CellPoint(1, 2, 0));
  EXPECT_EQ(Sel(), Span({0, 0}, {2, 1}));
  EXPECT_FALSE(view.IsDragSelecting());
}

TEST_F(ViewNavigation, DoubleClickAndCtrlDragSelectWholeWords) {
  Load("foo bar_baz qux");
  DoubleClick(Client(), CellPoint(0, 5));
  EXPECT_EQ(Sel(), Span({4, 0}, {11, 0}));
  EXPECT_EQ(Cursor(), TextPosition(11, 0));
  EXPECT_FALSE(view.IsDragSelecting());
  Press(Client(), CellPoint(0, 1), Qt::ControlModifier);
  EXPECT_TRUE(view.IsWordMode());
  MoveHeld(Client(), CellPoint(0, 13), Qt::ControlModifier);
  Release(Client(), CellPoint(0, 13), Qt::ControlModifier);
  EXPECT_EQ(Sel(), Span({0, 0}, {15, 0}));
  EXPECT_EQ(Cursor(), TextPosition(15, 0));
}

TEST_F(ViewNavigation, PressesInsideTheSelectionKeepItUntilRelease) {
  Load("abcdefgh");
  Select(view, {1, 0}, {6, 0});
  const QPoint inside = CellPoint(0, 3, 0) + QPoint(1, 0);
  const QPoint outside = CellPoint(0, 7, 0) + QPoint(1, 0);
  EXPECT_EQ(view.CursorForPoint(inside).shape(), Qt::ArrowCursor);
  EXPECT_EQ(view.CursorForPoint(outside).shape(), Qt::IBeamCursor);
  EXPECT_EQ(view.CursorForPoint(LinePoint(0, 4)).shape(), Qt::BitmapCursor);
  // A right click keeps a selection it hits and moves otherwise.
  Click(Client(), inside, Qt::NoModifier, Qt::RightButton);
  EXPECT_EQ(Sel(), Span({1, 0}, {6, 0}));
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  // A left press prepares a drag; the release without a move places the cursor.
  Press(Client(), inside);
  EXPECT_TRUE(view.IsPreparingToDrag());
  EXPECT_FALSE(view.IsDragSelecting());
  Release(Client(), inside);
  EXPECT_FALSE(view.IsPreparingToDrag());
  EXPECT_EQ(Cursor(), TextPosition(3, 0));
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(view.GetAnchor(), TextPosition(1, 0));
  Select(view, {2, 0}, {6, 0});
  Click(Client(), outside, Qt::NoModifier, Qt::RightButton);
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(Cursor(), TextPosition(7, 0));
  EXPECT_EQ(view.GetAnchor(), TextPosition(7, 0));
}

TEST_F(ViewNavigation, HeldButtonOutsideTheWindowScrollsOneOrThreeLines) {
  Load(Lines(101, "row"), 300, 200);
  const int lh = view.GetLineHeight();
  const int height = Client()->height();
  view.ScrollToTopLine(20, true);
  Press(Client(), LinePoint(2, 40));
  ASSERT_TRUE(view.IsDragSelecting());
  const TextPosition anchor = view.GetAnchor();
  EXPECT_EQ(anchor.y, 22);
  const std::pair<int, int> steps[] = {{-lh / 2, 19}, {-lh - 4, 16},
                                       {height + lh / 2, 17}, {height + lh + 4, 20}};
  for (const auto& [y, top] : steps) {
    MoveHeld(Client(), QPoint(40, y));
    view.OnAutoScrollTimer();
    EXPECT_EQ(view.GetTopLine(), top) << "mouse at y " << y;
  }
  // The selection follows the position under the mouse after each step.
  EXPECT_EQ(Sel().first, anchor);
  EXPECT_EQ(Sel().second.y, 20 + (height + lh + 4) / lh);
  Release(Client(), QPoint(40, height + lh + 4));
  EXPECT_FALSE(view.IsDragSelecting());
}

TEST_F(ViewNavigation, CaretFollowsFocusAndTheCursor) {
  Load("abc\ndef");
  if (!view.hasFocus()) GTEST_SKIP() << "the platform gives no keyboard focus";
  EXPECT_TRUE(view.IsCaretVisible());
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(view.GetCaretRect(),
            QRect(view.TextPosToPoint({3, 1}), QSize(2, view.GetLineHeight())));
  view.clearFocus();
  QApplication::processEvents();
  EXPECT_FALSE(view.IsCaretVisible());
}

TEST_F(ViewNavigation, TabKeysReachTheViewAndUnhandledCommandsAreReported) {
  Load("abc");
  std::vector<int> reported;
  QObject::connect(&view, &CCrystalTextView::unhandledCommand,
                   [&](int id) { reported.push_back(id); });
  Key(Qt::Key_Tab);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  Key(Qt::Key_H, Qt::ControlModifier); // Replace belongs to the editing view
  EXPECT_EQ(reported, (std::vector<int>{Cmd::EDIT_TAB, Cmd::EDIT_UNTAB, Cmd::EDIT_REPLACE}));
}

} // namespace
