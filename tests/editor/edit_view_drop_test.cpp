// Dropping text into the editing view, the drop caret, and moving or copying a selection by
// dragging it with the mouse.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

QPoint CellPoint(CCrystalTextView& view, TextPosition p) {
  // The left quarter of the cell: the drop lands before the character.
  return view.TextPosToPoint(p) + QPoint(view.GetCharWidth() / 4, view.GetLineHeight() / 2);
}

struct DragResult {
  bool enterAccepted = false;
  bool moveAccepted = false;
  bool dropAccepted = false;
  Qt::DropAction dropAction = Qt::IgnoreAction;
};

// Drags data over the view to point and drops it there, as the platform does for a drag
// coming from anywhere.
DragResult DragAndDrop(CCrystalTextView& view, QMimeData& data, QPoint point,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  DragResult result;
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, modifiers);
  QApplication::sendEvent(view.viewport(), &enter);
  result.enterAccepted = enter.isAccepted();
  QDragMoveEvent move(point, actions, &data, Qt::LeftButton, modifiers);
  QApplication::sendEvent(view.viewport(), &move);
  result.moveAccepted = move.isAccepted();
  QDropEvent drop(QPointF(point), actions, &data, Qt::LeftButton, modifiers);
  QApplication::sendEvent(view.viewport(), &drop);
  result.dropAccepted = drop.isAccepted();
  result.dropAction = result.dropAccepted ? drop.dropAction() : Qt::IgnoreAction;
  return result;
}

// A view whose drags are dropped back into a chosen view at a chosen point, standing in for
// the platform's drag loop, which needs a real mouse.
class CDraggingView : public CCrystalEditView {
public:
  CCrystalTextView* dropInto = nullptr;
  QPoint dropPoint;
  Qt::KeyboardModifiers dropModifiers = Qt::NoModifier;
  std::string draggedText;
  Qt::DropActions offered;

protected:
  Qt::DropAction RunDrag(QMimeData* data, Qt::DropActions effects) override {
    std::unique_ptr<QMimeData> owned(data);
    draggedText = data->text().toStdString();
    offered = effects;
    if (!dropInto) return Qt::IgnoreAction;
    return DragAndDrop(*dropInto, *data, dropPoint, dropModifiers).dropAction;
  }
};

class Dropping : public EditViewTest<CDraggingView> {
protected:
  // Presses the left button inside the selection and moves the mouse: the view starts a drag.
  void DragSelectionFrom(TextPosition inside) {
    const QPoint press = CellPoint(*view, inside);
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(press), view->viewport()->mapToGlobal(QPointF(press)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &down);
    const QPoint next = press + QPoint(3, 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(next), view->viewport()->mapToGlobal(QPointF(next)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(next), view->viewport()->mapToGlobal(QPointF(next)),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &up);
  }
};

TEST_F(Dropping, TextFromElsewhereIsInsertedAndSelected) {
  Load("abcdef\nxyz");
  QMimeData data;
  data.setText("one\ntwo");
  DragResult result = DragAndDrop(*view, data, CellPoint(*view, TextPosition(2, 1)));
  EXPECT_TRUE(result.enterAccepted);
  EXPECT_TRUE(result.moveAccepted);
  EXPECT_EQ(result.dropAction, Qt::MoveAction);
  EXPECT_EQ(Text(), "abcdef\nxyone\ntwoz");
  TextPosition start, end;
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(2, 1));
  EXPECT_EQ(end, TextPosition(3, 2));
  EXPECT_EQ(Cursor(), TextPosition(3, 2));
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Drag And Drop\tCtrl+Z");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abcdef\nxyz");
}

TEST_F(Dropping, CtrlMakesTheDropACopy) {
  Load("abc");
  QMimeData data;
  data.setText("Q");
  EXPECT_EQ(DragAndDrop(*view, data, CellPoint(*view, TextPosition(1, 0)), Qt::ControlModifier)
                .dropAction,
            Qt::CopyAction);
  EXPECT_EQ(Text(), "aQbc");
}

TEST_F(Dropping, AReadOnlyViewOrDataWithoutTextRefusesTheDrop) {
  Load("abc");
  QMimeData image;
  image.setData("image/png", QByteArray("\x89PNG", 4));
  DragResult result = DragAndDrop(*view, image, CellPoint(*view, TextPosition(1, 0)));
  EXPECT_FALSE(result.enterAccepted);
  EXPECT_FALSE(result.dropAccepted);

  buffer->SetReadOnly(true);
  QMimeData text;
  text.setText("zzz");
  result = DragAndDrop(*view, text, CellPoint(*view, TextPosition(1, 0)));
  EXPECT_FALSE(result.moveAccepted);
  EXPECT_FALSE(result.dropAccepted);
  EXPECT_EQ(Text(), "abc");
  EXPECT_FALSE(view->IsDropCaretShown());
}

TEST_F(Dropping, TheDropCaretShowsWhereTheTextWouldGoAndTheCaretComesBack) {
  Load("hello world\nsecond line");
  Place(TextPosition(3, 0));
  ASSERT_TRUE(view->IsCaretVisible());
  QMimeData data;
  data.setText("x");
  const QPoint point = CellPoint(*view, TextPosition(6, 1));
  QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &enter);
  EXPECT_TRUE(view->IsDropCaretShown());
  EXPECT_EQ(view->GetDropPosition(), TextPosition(6, 1));
  EXPECT_FALSE(view->IsCaretVisible()); // one caret at a time

  const QImage image = view->viewport()->grab().toImage();
  const QPoint bar = view->TextPosToPoint(TextPosition(6, 1)) + QPoint(0, view->GetLineHeight() / 2);
  EXPECT_EQ(image.pixelColor(bar).rgb(), QColor(128, 128, 128).rgb());

  QDragLeaveEvent leave;
  QApplication::sendEvent(view->viewport(), &leave);
  EXPECT_FALSE(view->IsDropCaretShown());
  EXPECT_EQ(Cursor(), TextPosition(3, 0));
  EXPECT_TRUE(view->IsCaretVisible());
  EXPECT_EQ(Text(), "hello world\nsecond line");
}

TEST_F(Dropping, DraggingASelectionLaterInTheViewMovesItAsOneUndoStep) {
  Load("abc def ghi");
  Select(TextPosition(0, 0), TextPosition(4, 0)); // "abc "
  view->dropInto = view.get();
  view->dropPoint = CellPoint(*view, TextPosition(11, 0)) + QPoint(view->GetCharWidth(), 0);
  DragSelectionFrom(TextPosition(1, 0));
  EXPECT_EQ(view->draggedText, "abc ");
  EXPECT_EQ(view->offered, Qt::CopyAction | Qt::MoveAction);
  EXPECT_EQ(Text(), "def ghiabc ");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abc def ghi");
  EXPECT_FALSE(buffer->CanUndo());
}

TEST_F(Dropping, DraggingBackwardsAcrossLinesMovesTheRightText) {
  Load("first\nsecond\nthird");
  Select(TextPosition(0, 2), TextPosition(5, 2)); // "third"
  view->dropInto = view.get();
  view->dropPoint = CellPoint(*view, TextPosition(0, 0));
  DragSelectionFrom(TextPosition(2, 2));
  EXPECT_EQ(Text(), "thirdfirst\nsecond\n");
}

TEST_F(Dropping, DraggingWithCtrlCopiesAndTheSourceStays) {
  Load("abc def");
  Select(TextPosition(0, 0), TextPosition(3, 0));
  view->dropInto = view.get();
  view->dropPoint = CellPoint(*view, TextPosition(7, 0)) + QPoint(view->GetCharWidth(), 0);
  view->dropModifiers = Qt::ControlModifier;
  DragSelectionFrom(TextPosition(1, 0));
  EXPECT_EQ(Text(), "abc defabc");
}

TEST_F(Dropping, DroppingOntoTheDraggedTextChangesNothing) {
  Load("abc def");
  Select(TextPosition(0, 0), TextPosition(5, 0));
  view->dropInto = view.get();
  view->dropPoint = CellPoint(*view, TextPosition(2, 0));
  DragSelectionFrom(TextPosition(1, 0));
  EXPECT_EQ(Text(), "abc def");
  EXPECT_EQ(Cursor(), TextPosition(2, 0)); // only the caret moved to the drop point
  EXPECT_FALSE(buffer->CanUndo());
}

TEST_F(Dropping, AMoveOutOfAReadOnlyViewDeletesNothing) {
  Load("source text");
  buffer->SetReadOnly(true);
  CCrystalEditView target;
  edittest::ShowAndFocus(target, 400, 200);
  QTemporaryDir otherDir;
  auto other = edittest::LoadBuffer(otherDir, "");
  target.AttachBuffer(other.get());
  view->activateWindow();
  view->setFocus();
  Select(TextPosition(0, 0), TextPosition(6, 0));
  view->dropInto = &target;
  view->dropPoint = CellPoint(target, TextPosition(0, 0));
  DragSelectionFrom(TextPosition(1, 0));
  EXPECT_EQ(edittest::Text(*other), "source");
  EXPECT_EQ(Text(), "source text");
  target.DetachBuffer();
}

} // namespace
