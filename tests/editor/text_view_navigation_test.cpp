// Caret movement by keys and mouse: preferred column, Home, words, collapsing selections,
// clicks, margin clicks, page moves, mouse selection modes and auto-scrolling.
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include "command_ids.h"
#include "view_test_events.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

class ViewNavigation : public ::testing::Test {
protected:
  void Load(std::string_view text, int width = 400, int height = 300) {
    buffer = MakeBuffer(text);
    view.AttachBuffer(buffer.get());
    ShowView(view, width, height);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&view, key, modifiers);
  }
  TextPosition Cursor() const { return view.GetCursorPosition(); }
  void Bounds(TextPosition& start, TextPosition& end) { view.GetSelectionBounds(start, end); }
  QPoint LinePoint(int line, int x) const {
    return QPoint(x, line * const_cast<CTestTextView&>(view).GetLineHeight() +
                         const_cast<CTestTextView&>(view).GetLineHeight() / 2);
  }
  QWidget* Client() { return view.viewport(); }

  std::unique_ptr<CCrystalTextBuffer> buffer;
  CTestTextView view;
};

TEST_F(ViewNavigation, VerticalMovesKeepThePreferredColumnThroughShortLinesAndTabs) {
  Load("abcdefgh\nab\n\tx\nabcdefgh");
  view.PlaceCursor(TextPosition(6, 0));
  Key(Qt::Key_Down);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  Key(Qt::Key_Down);
  EXPECT_EQ(Cursor(), TextPosition(2, 2)); // column 6 is past "\tx" (columns 0-5)
  Key(Qt::Key_Down);
  EXPECT_EQ(Cursor(), TextPosition(6, 3));
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  // A horizontal move takes a new preferred column from where it lands.
  Key(Qt::Key_Left);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(Cursor(), TextPosition(5, 3));
}

TEST_F(ViewNavigation, UpIntoALeadingTabGoesToTheNearerEdgeOfTheTab) {
  Load("\tab\nabcd");
  for (int x : {1, 2, 3}) {
    view.PlaceCursor(TextPosition(x, 1));
    Key(Qt::Key_Up);
    EXPECT_EQ(Cursor(), TextPosition(x == 3 ? 1 : 0, 0)) << "preferred column " << x;
  }
}

TEST_F(ViewNavigation, HomeAlternatesBetweenFirstNonBlankAndLineStart) {
  Load("    abc\n   ");
  view.PlaceCursor(TextPosition(6, 0));
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor().x, 4);
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor().x, 0);
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor().x, 4);
  view.PlaceCursor(TextPosition(2, 1)); // a blank line
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  Key(Qt::Key_End);
  EXPECT_EQ(Cursor(), TextPosition(3, 1));
}

TEST_F(ViewNavigation, WordMovesStopAtWordsPunctuationAndEmptyLines) {
  Load("foo.bar baz\n\nend");
  std::vector<int> rightStops;
  for (int i = 0; i < 3; ++i) {
    Key(Qt::Key_Right, Qt::ControlModifier);
    rightStops.push_back(Cursor().x);
  }
  EXPECT_EQ(rightStops, (std::vector<int>{3, 4, 8}));
  std::vector<int> leftStops;
  for (int i = 0; i < 3; ++i) {
    Key(Qt::Key_Left, Qt::ControlModifier);
    leftStops.push_back(Cursor().x);
  }
  EXPECT_EQ(leftStops, (std::vector<int>{4, 3, 0}));
  // Right from the end of a line onto an empty line continues to the line after it; left
  // stops on the empty line.
  view.PlaceCursor(TextPosition(11, 0));
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
  Key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  // At the very start nothing happens at all.
  view.PlaceCursor(TextPosition(0, 0));
  Key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
}

TEST_F(ViewNavigation, PlainHorizontalAndVerticalMovesCollapseASelectionFirst) {
  Load("hello world\nsecond line\nthird");
  view.PlaceCursor(TextPosition(2, 1));
  view.SetAnchor(TextPosition(2, 1));
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
  TextPosition s, e;
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(2, 1));
  EXPECT_EQ(e, TextPosition(5, 1));
  Key(Qt::Key_Left);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  EXPECT_FALSE(view.HasSelection());

  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Right);
  EXPECT_EQ(Cursor(), TextPosition(5, 1));
  EXPECT_FALSE(view.HasSelection());

  // Down goes to the end of the selection, then one line down; Up to the start, then up.
  view.SetAnchor(TextPosition(4, 0));
  view.SetSelection(TextPosition(4, 0), TextPosition(2, 1));
  view.PlaceCursor(TextPosition(4, 0));
  Key(Qt::Key_Down);
  EXPECT_EQ(Cursor(), TextPosition(4, 2));
  view.SetAnchor(TextPosition(1, 1));
  view.SetSelection(TextPosition(1, 1), TextPosition(4, 2));
  view.PlaceCursor(TextPosition(4, 2));
  Key(Qt::Key_Up);
  EXPECT_EQ(Cursor(), TextPosition(4, 0));
}

TEST_F(ViewNavigation, MovesAtTheEdgesOfTheTextStayButStillCollapse) {
  Load("ab\ncd");
  view.PlaceCursor(TextPosition(2, 0));
  view.SetAnchor(TextPosition(2, 0));
  Key(Qt::Key_Home, Qt::ShiftModifier); // selection (0,0)..(2,0), cursor at (0,0)
  ASSERT_TRUE(view.HasSelection());
  Key(Qt::Key_Left);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(view.HasSelection());
  Key(Qt::Key_Left);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));

  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Right);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  EXPECT_FALSE(view.HasSelection());
  Key(Qt::Key_Right);
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  // Right at a line end goes to the next line; Left at a line start to the previous end.
  view.PlaceCursor(TextPosition(2, 0));
  Key(Qt::Key_Right);
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  Key(Qt::Key_Left);
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
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
  view.PlaceCursor(TextPosition(6, 0));
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
  view.PlaceCursor(TextPosition(7, 99));
  view.SetSelection(Cursor(), Cursor());
  view.SetAnchor(Cursor());
  for (int i = 0; i < 20; ++i) Key(Qt::Key_PageUp);
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  EXPECT_EQ(view.GetTopLine(), 0);
}

TEST_F(ViewNavigation, ClicksPlaceTheCursorByHalfCells) {
  Load("abc\nxyz");
  const int cw = view.GetCharWidth();
  const int left = CCrystalTextView::MARGIN_WIDTH;
  Click(Client(), LinePoint(0, left + cw + cw / 4)); // left half of b
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  Click(Client(), LinePoint(0, left + cw + 3 * cw / 4)); // right half of b
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Click(Client(), LinePoint(1, left + 20 * cw)); // right of the line end
  EXPECT_EQ(Cursor(), TextPosition(3, 1));
  Click(Client(), LinePoint(7, left + cw / 4)); // below the last line
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  EXPECT_FALSE(view.HasSelection());
  Click(Client(), LinePoint(0, left + 3 * cw / 4), Qt::ShiftModifier);
  TextPosition s, e;
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(1, 0));
  EXPECT_EQ(e, TextPosition(0, 1));
}

TEST_F(ViewNavigation, MarginClicksSelectWholeLines) {
  Load("one\ntwo\nthree");
  TextPosition s, e;
  Click(Client(), LinePoint(1, 5));
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 1));
  EXPECT_EQ(e, TextPosition(0, 2));
  Click(Client(), LinePoint(2, 5)); // the last line selects to the end of the text
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 2));
  EXPECT_EQ(e, TextPosition(5, 2));
  Click(Client(), LinePoint(0, 5), Qt::ControlModifier);
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 0));
  EXPECT_EQ(e, TextPosition(5, 2));
  // Dragging in the margin selects the lines between; leaving the margin goes on by chars.
  Press(Client(), LinePoint(0, 5));
  MoveHeld(Client(), LinePoint(1, 5));
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 0));
  EXPECT_EQ(e, TextPosition(0, 2));
  EXPECT_TRUE(view.IsLineMode());
  MoveHeld(Client(), LinePoint(1, CCrystalTextView::MARGIN_WIDTH + 2 * view.GetCharWidth()));
  EXPECT_FALSE(view.IsLineMode());
  Release(Client(), LinePoint(1, CCrystalTextView::MARGIN_WIDTH + 2 * view.GetCharWidth()));
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 0));
  EXPECT_EQ(e, TextPosition(2, 1));
  EXPECT_FALSE(view.IsDragSelecting());
}

TEST_F(ViewNavigation, DoubleClickAndCtrlDragSelectWholeWords) {
  Load("foo bar_baz qux");
  const int cw = view.GetCharWidth();
  const int left = CCrystalTextView::MARGIN_WIDTH;
  DoubleClick(Client(), LinePoint(0, left + 5 * cw + cw / 4));
  TextPosition s, e;
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(4, 0));
  EXPECT_EQ(e, TextPosition(11, 0));
  EXPECT_EQ(Cursor(), TextPosition(11, 0));
  EXPECT_FALSE(view.IsDragSelecting());

  Press(Client(), LinePoint(0, left + 1 * cw + cw / 4), Qt::ControlModifier);
  EXPECT_TRUE(view.IsWordMode());
  MoveHeld(Client(), LinePoint(0, left + 13 * cw + cw / 4), Qt::ControlModifier);
  Release(Client(), LinePoint(0, left + 13 * cw + cw / 4), Qt::ControlModifier);
  Bounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 0));
  EXPECT_EQ(e, TextPosition(15, 0));
  EXPECT_EQ(Cursor(), TextPosition(15, 0));
}

TEST_F(ViewNavigation, PressInsideTheSelectionThenReleasePlacesTheCursor) {
  Load("abcdefgh");
  const int cw = view.GetCharWidth();
  const int left = CCrystalTextView::MARGIN_WIDTH;
  view.SetAnchor(TextPosition(1, 0));
  view.SetSelection(TextPosition(1, 0), TextPosition(6, 0));
  view.PlaceCursor(TextPosition(6, 0));
  EXPECT_EQ(view.CursorForPoint(LinePoint(0, left + 3 * cw + 1)).shape(), Qt::ArrowCursor);
  EXPECT_EQ(view.CursorForPoint(LinePoint(0, left + 7 * cw + 1)).shape(), Qt::IBeamCursor);
  EXPECT_EQ(view.CursorForPoint(LinePoint(0, 4)).shape(), Qt::BitmapCursor);

  Press(Client(), LinePoint(0, left + 3 * cw + 1));
  EXPECT_TRUE(view.IsPreparingToDrag());
  EXPECT_FALSE(view.IsDragSelecting());
  Release(Client(), LinePoint(0, left + 3 * cw + 1));
  EXPECT_FALSE(view.IsPreparingToDrag());
  EXPECT_EQ(Cursor(), TextPosition(3, 0));
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(view.GetAnchor(), TextPosition(1, 0));
}

// A view whose drags end at once with a chosen effect, recording what it was offered.
class CDragRecordingView : public CTestTextView {
public:
  Qt::DropAction answer = Qt::MoveAction;
  QString offeredText;
  Qt::DropActions offeredEffects;
  bool draggingDuringDrag = false;
  std::vector<Qt::DropAction> done;
  TextPosition begin, end;

protected:
  Qt::DropAction RunDrag(QMimeData* data, Qt::DropActions effects) override {
    offeredText = data->text();
    offeredEffects = effects;
    draggingDuringDrag = IsDraggingText();
    begin = m_draggedTextBegin;
    end = m_draggedTextEnd;
    delete data;
    return answer;
  }
  void OnDragSourceDone(Qt::DropAction effect) override { done.push_back(effect); }
};

TEST(ViewDragSource, TheFirstMoveAfterAPressInTheSelectionOffersItAsACopy) {
  auto buffer = MakeBuffer("abcdef\nghij");
  CDragRecordingView view;
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 150);
  view.SetSelection(TextPosition(4, 1), TextPosition(2, 0));
  const int lh = view.GetLineHeight();
  const int cw = view.GetCharWidth();
  const QPoint inside(CCrystalTextView::MARGIN_WIDTH + 3 * cw + 1, lh / 2);
  Press(view.viewport(), inside);
  MoveHeld(view.viewport(), inside + QPoint(1, 0));
  EXPECT_EQ(view.offeredText, QStringLiteral("cdef\r\nghij"));
  EXPECT_EQ(view.offeredEffects, Qt::DropActions(Qt::CopyAction));
  EXPECT_TRUE(view.draggingDuringDrag);
  EXPECT_FALSE(view.IsDraggingText());
  EXPECT_FALSE(view.IsPreparingToDrag());
  EXPECT_EQ(view.begin, TextPosition(2, 0));
  EXPECT_EQ(view.end, TextPosition(4, 1));
  EXPECT_EQ(view.done, std::vector<Qt::DropAction>{Qt::MoveAction});
  // A drag that ends without a drop reports nothing.
  view.answer = Qt::IgnoreAction;
  Press(view.viewport(), inside);
  MoveHeld(view.viewport(), inside + QPoint(1, 0));
  EXPECT_EQ(view.done.size(), 1u);
}

TEST_F(ViewNavigation, RightClickKeepsASelectionItHitsAndMovesOtherwise) {
  Load("abcdefgh");
  const int cw = view.GetCharWidth();
  const int left = CCrystalTextView::MARGIN_WIDTH;
  view.SetSelection(TextPosition(2, 0), TextPosition(6, 0));
  view.PlaceCursor(TextPosition(6, 0));
  Click(Client(), LinePoint(0, left + 3 * cw + 1), Qt::NoModifier, Qt::RightButton);
  EXPECT_TRUE(view.HasSelection());
  EXPECT_EQ(Cursor(), TextPosition(6, 0));
  Click(Client(), LinePoint(0, left + 7 * cw + 1), Qt::NoModifier, Qt::RightButton);
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(Cursor(), TextPosition(7, 0));
  EXPECT_EQ(view.GetAnchor(), TextPosition(7, 0));
}

TEST_F(ViewNavigation, HeldButtonOutsideTheWindowScrollsOneOrThreeLines) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "row\n";
  Load(text, 300, 200);
  const int lh = view.GetLineHeight();
  const int height = view.viewport()->height();
  view.ScrollToTopLine(20, true);
  Press(Client(), LinePoint(2, 40));
  ASSERT_TRUE(view.IsDragSelecting());
  const TextPosition anchor = view.GetAnchor();
  EXPECT_EQ(anchor.y, 22);
  MoveHeld(Client(), QPoint(40, -lh / 2));
  view.OnAutoScrollTimer();
  EXPECT_EQ(view.GetTopLine(), 19);
  MoveHeld(Client(), QPoint(40, -lh - 4));
  view.OnAutoScrollTimer();
  EXPECT_EQ(view.GetTopLine(), 16);
  MoveHeld(Client(), QPoint(40, height + lh / 2));
  view.OnAutoScrollTimer();
  EXPECT_EQ(view.GetTopLine(), 17);
  MoveHeld(Client(), QPoint(40, height + lh + 4));
  view.OnAutoScrollTimer();
  EXPECT_EQ(view.GetTopLine(), 20);
  // The selection follows the position under the mouse after each step.
  TextPosition s, e;
  view.GetSelectionBounds(s, e);
  EXPECT_EQ(s, anchor);
  EXPECT_EQ(e.y, 20 + (height + lh + 4) / lh);
  Release(Client(), QPoint(40, height + lh + 4));
  EXPECT_FALSE(view.IsDragSelecting());
}

TEST_F(ViewNavigation, StatusPanesCountCharactersAndNameTheLineEndStyle) {
  buffer = MakeBuffer("\tx\nsecond", LineEndStyle::Unix);
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 200);
  view.PlaceCursor(TextPosition(1, 0));
  CCmdUIState position;
  ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::INDICATOR_POSITION, position));
  EXPECT_EQ(position.text.value_or(""), "Ln 1, Col 2");
  CCmdUIState style;
  ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::INDICATOR_CRLF, style));
  EXPECT_EQ(style.text.value_or(""), "UNIX");
  EXPECT_TRUE(style.enabled);
  view.DetachBuffer();
  CCmdUIState none;
  ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::INDICATOR_CRLF, none));
  EXPECT_FALSE(none.enabled);
  EXPECT_FALSE(none.text.has_value());
}

TEST_F(ViewNavigation, CaretFollowsFocusAndTheCursor) {
  Load("abc\ndef");
  if (!view.hasFocus()) GTEST_SKIP() << "the platform gives no keyboard focus";
  EXPECT_TRUE(view.IsCaretVisible());
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(view.GetCaretRect().topLeft(), view.TextPosToPoint(TextPosition(3, 1)));
  EXPECT_EQ(view.GetCaretRect().width(), 2);
  EXPECT_EQ(view.GetCaretRect().height(), view.GetLineHeight());
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
  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(reported, (std::vector<int>{Cmd::EDIT_TAB, Cmd::EDIT_UNTAB, Cmd::EDIT_FIND}));
}

} // namespace
