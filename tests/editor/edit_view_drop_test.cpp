// Dropping text into the editing view, the drop caret, and dragging a selection.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "edit_test_support.h"

namespace {

// The left quarter of the cell: the drop lands before the character.
QPoint CellPoint(CCrystalTextView& view, TextPosition p) {
  return view.TextPosToPoint(p) + QPoint(view.GetCharWidth() / 4, view.GetLineHeight() / 2);
}

// Enters, moves and drops data at point, as the platform does; which events the view
// accepted, and the drop's action: "enter move drop:copy" and the like.
std::string DragAndDrop(CCrystalTextView& view, QMimeData& data, QPoint point,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(point, actions, &data, Qt::LeftButton, modifiers);
  QDragMoveEvent move(point, actions, &data, Qt::LeftButton, modifiers);
  QDropEvent drop(QPointF(point), actions, &data, Qt::LeftButton, modifiers);
  std::string result;
  for (auto [event, name] : {std::pair<QDropEvent*, const char*>{&enter, "enter "},
                             {&move, "move "}, {&drop, "drop"}}) {
    QApplication::sendEvent(view.viewport(), event);
    if (event->isAccepted()) result += name;
  }
  if (drop.isAccepted())
    result += drop.dropAction() == Qt::CopyAction   ? ":copy"
              : drop.dropAction() == Qt::MoveAction ? ":move"
                                                    : ":other";
  return result;
}

// Its drags are dropped into dropInto (or itself) at dropPoint, or nowhere, in place of the
// platform's drag loop, which needs a real mouse.
class CDraggingView : public CCrystalEditView {
public:
  CCrystalTextView* dropInto = nullptr;
  bool dropNowhere = false;
  QPoint dropPoint;
  Qt::KeyboardModifiers dropModifiers = Qt::NoModifier;
  std::string draggedText;
  Qt::DropActions offered;

protected:
  Qt::DropAction RunDrag(QMimeData* data, Qt::DropActions effects) override {
    std::unique_ptr<QMimeData> owned(data);
    draggedText = data->text().toStdString();
    offered = effects;
    if (dropNowhere) return Qt::IgnoreAction;
    const std::string result =
        DragAndDrop(dropInto ? *dropInto : *this, *data, dropPoint, dropModifiers);
    if (result.ends_with(":copy")) return Qt::CopyAction;
    return result.ends_with(":move") ? Qt::MoveAction : Qt::IgnoreAction;
  }
};

class Dropping : public edittest::EditViewTest<CDraggingView> {
protected:
  // Presses the left button at inside and moves: the drag is dropped at drop with modifiers.
  void DragSelection(TextPosition inside, QPoint drop, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    view->dropPoint = drop;
    view->dropModifiers = modifiers;
    const QPoint press = CellPoint(*view, inside);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, press);
    QTest::mouseMove(view->viewport(), press + QPoint(3, 0));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, press + QPoint(3, 0));
  }
  QPoint At(TextPosition p) { return CellPoint(*view, p); }
  QPoint After(TextPosition p) { return CellPoint(*view, p) + QPoint(view->GetCharWidth(), 0); }
};

TEST_F(Dropping, TextFromElsewhereShowsTheDropCaretAndIsInsertedAndSelectedOrCopiedWithCtrl) {
  Load("hel|lo world\nsecond line");
  ASSERT_TRUE(view->IsCaretVisible());
  QMimeData data;
  data.setText("one\ntwo");
  QDragEnterEvent enter(At(TextPosition(6, 1)), Qt::CopyAction | Qt::MoveAction, &data,
                        Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &enter);
  EXPECT_TRUE(view->IsDropCaretShown());
  EXPECT_EQ(view->GetDropPosition(), TextPosition(6, 1));
  EXPECT_FALSE(view->IsCaretVisible()); // one caret at a time
  const QPoint bar = view->TextPosToPoint({6, 1}) + QPoint(0, view->GetLineHeight() / 2);
  EXPECT_EQ(viewtest::Grab(*view).pixelColor(bar).rgb(), QColor(128, 128, 128).rgb());
  QDragLeaveEvent leave;
  QApplication::sendEvent(view->viewport(), &leave);
  EXPECT_FALSE(view->IsDropCaretShown());
  EXPECT_EQ(Marked(), "hel|lo world\nsecond line");
  EXPECT_TRUE(view->IsCaretVisible());

  EXPECT_EQ(DragAndDrop(*view, data, At(TextPosition(6, 1))), "enter move drop:move");
  EXPECT_EQ(Marked(), "hello world\nsecond{one\ntwo|} line");
  EXPECT_EQ(UndoText(), "&Undo Drag And Drop\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "hello world\nsecond line");
  data.setText("Q");
  EXPECT_EQ(DragAndDrop(*view, data, At(TextPosition(1, 0)), Qt::ControlModifier), "enter move drop:copy");
  EXPECT_EQ(Text(), "hQello world\nsecond line");
}

TEST_F(Dropping, DraggingASelectionMovesItAsOneUndoStepCopiesItWithCtrlAndNeverOntoItself) {
  Load("{abc |}def ghi");
  DragSelection({1, 0}, After(TextPosition(11, 0)));
  EXPECT_EQ(view->draggedText, "abc ");
  EXPECT_EQ(view->offered, Qt::CopyAction | Qt::MoveAction);
  EXPECT_EQ(Text(), "def ghiabc ");
  Undo();
  EXPECT_EQ(Text(), "abc def ghi");
  EXPECT_FALSE(buffer->CanUndo());
  Load("first\nsec{ond\nthird|}");
  DragSelection({4, 1}, At(TextPosition(0, 0))); // back, over lines
  EXPECT_EQ(view->draggedText, "ond\nthird");
  EXPECT_EQ(Text(), "ond\nthirdfirst\nsec");
  view->dropNowhere = true; // a drag that ends without a drop takes nothing away
  Select({0, 0}, {3, 0});
  DragSelection({1, 0}, At(TextPosition(0, 1)));
  EXPECT_EQ(view->draggedText, "ond");
  EXPECT_EQ(Text(), "ond\nthirdfirst\nsec");
  view->dropNowhere = false;
  Load("{abc|} def");
  DragSelection({1, 0}, After(TextPosition(7, 0)), Qt::ControlModifier);
  EXPECT_EQ(Text(), "abc defabc");
  Load("{abc d|}ef");
  DragSelection({1, 0}, At(TextPosition(2, 0))); // onto itself: only the caret moves
  EXPECT_EQ(Marked(), "ab|c def");
  EXPECT_FALSE(buffer->CanUndo());
}

TEST_F(Dropping, DataWithoutTextOrAReadOnlyTextIsRefusedAndAMoveOutOfItDeletesNothing) {
  Load("{source|} text");
  QMimeData image;
  image.setData("image/png", QByteArray("\x89PNG", 4));
  EXPECT_EQ(DragAndDrop(*view, image, At(TextPosition(1, 0))), "");
  buffer->SetReadOnly(true);
  QMimeData text;
  text.setText("zzz");
  // A read-only text takes the drag in but refuses it.
  EXPECT_EQ(DragAndDrop(*view, text, At(TextPosition(1, 0))), "enter ");
  EXPECT_FALSE(view->IsDropCaretShown());
  CCrystalEditView target;
  viewtest::ShowView(target, 400, 200);
  auto other = edittest::LoadBuffer(dir, "");
  target.AttachBuffer(other.get());
  view->activateWindow();
  view->setFocus();
  view->dropInto = &target;
  Select({0, 0}, {6, 0});
  DragSelection({1, 0}, CellPoint(target, TextPosition(0, 0)));
  EXPECT_EQ(viewtest::BufferText(*other), "source");
  EXPECT_EQ(Text(), "source text");
  target.DetachBuffer();
}

} // namespace
