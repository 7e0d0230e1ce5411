// The editing view's keys on marked texts ('|' the cursor, '{' '}' the selection), dropping and dragging.
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "edit_test_support.h"

namespace {

class Editing : public edittest::EditViewTest<> {
protected:
  std::string UndoName() { return buffer->CanUndo() ? buffer->UndoDescription() : "-"; }
};

TEST_F(Editing, KeysOnMarkedTexts) {
  const struct {
    const char *before, *keys, *after, *undo, *undone = nullptr, *undoneUndo = nullptr;
  } rows[] = {
      {"|x", R"("ab cd")", "ab cd|x", "Typing", "ab|x", "Typing"},
      {"Object {|lamp};", R"("torch")", "Object torch|;", "Delete Selection", "Object lamp|;", "-"},
      {"[ Main;\n    print \"hi\";|", "Ret", "[ Main;\n    print \"hi\";\n    |", "Auto Indent"},
      {"[ Main;\n    print \"hi\";|", "Ret Undo", "[ Main;\n    print \"hi\";\n|", "Typing"},
      {"\t \tx = 1;|", "Ret", "\t \tx = 1;\n\t \t|", "Auto Indent"},
      {"  ab{cd|}ef\nx;", "Enter", "  ab\n  |ef\nx;", "Auto Indent"},
      {"  ab\n  ef\nx;|", "Ret", "  ab\n  ef\nx;\n|", "Typing"},
      {"a|bc\nxy", R"(Ins "QRS")", "aQRS|\nxy", "Typing", "ab|c\nxy", "-"},
      {"a|bc\nxy", R"(Ins Ins "Q")", "aQ|bc\nxy", "Typing"},
      {"  |  one\n    two", "Ins Ret", "    one\n|    two", "-"},
      {"    one\n    two|", "Ins Ret", "    one\n    two\n|", "Typing"},
      {"a|bc\nde", "Del", "a|c\nde", "Delete"},
      {"a|bc\nde", "Del Del Del", "a|de", "Delete", "a\n|de", "Delete"},
      {"a|bc\nde", "Del Del Del Undo Redo", "a|de", "Delete"},
      {"abc\nde|", "Del", "abc\nde|", "-"},
      {"|ab\ncd", "BS", "|ab\ncd", "-"},
      {"ab\nc|d", "BS", "ab\n|d", "Backspace"},
      {"ab\nc|d", "BS BS", "ab|d", "Backspace", "ab\n|d", "Backspace"},
      {"Object  lamp|.light", "C-BS", "Object  |.light", "Backspace"},
      {"Object  |lamp.light", "C-BS", "|lamp.light", "Backspace"},
      {"Object  lamp.|light", "C-BS", "Object  lamp|light", "Backspace", "Object  lamp.|light", "-"},
      {"Objec|t  lamp", "C-BS", "|t  lamp", "Backspace"},
      {"ab;\n|next", "C-BS", "ab;|next", "Backspace"},
      {"|ab", "C-BS", "|ab", "-"},
      {"Obj{ect\nn|}ext", "C-BS", "Obj|ext", "Delete"},
      {"o{|ne\ntwo\nthr}ee", "Del", "o|ee", "Delete"},
      {"o{ne\ntwo\nthr|}ee", "BS", "o|ee", "Delete", "one\ntwo\nthr|ee", "-"},
      {"a|b", "Tab", "a\t|b", "Typing"},
      {"{a\t|}b", "Tab", "\t|b", "Delete Selection", "a\t|b", "-"},
      {"l0\nlin{e2\nl3\n|}line5", "Tab", "l0\n{\tline2\n\tl3\n|}line5", "Indent", "l0\n|line2\nl3\nline5", "-"},
      {"aa\nb{b\nc|}c\ndd", "Tab", "aa\n{\tbb\n\tcc\n|}dd", "Indent"},
      {"a{b\n|}cd", "Tab", "{\tab\n|}cd", "Indent"},
      {"a{b\nc|}d\nef\ngh", "Tab S-Down", "{\tab\n\tcd\nef\n|}gh", "Indent"}, // from the block's start
      {"aa\n\tbb\n{\tcc\nd|}d", "Tab", "aa\n\tbb\n{\t\tcc\n\tdd|}", "Indent"},
      {"aa\n\tbb\n{\tcc\nd|}d", "Tab Tab", "aa\n\tbb\n{\t\t\tcc\n\t\tdd|}", "Indent"},
      {"{  \tone\n      two\n\tthree\nfour\n\n    \tfive\n  |} six", "S-Tab",
       "{one\n  two\nthree\nfour\n\n\tfive\nsix|}", "Indent"},
      {"{if (x)\n    y();\n|}end", "Tab S-Tab", "{if (x)\n    y();\n|}end", "Indent"},
      {"abcdef|ghij", "S-Tab", "abcd|efghij", "-"},
      {"abcdef|ghij", "S-Tab S-Tab S-Tab", "|abcdefghij", "-"},
      {"\tx\t|yz", "S-Tab", "\t|x\tyz", "-"},
      {"\tx\t|yz", "S-Tab S-Tab", "|\tx\tyz", "-"},
      {"a|bcdefg", "Ins Tab", "abcd|efg", "-"},
      {"a|bcdefg", "Ins Tab Tab", "abcdefg|", "-"},
      {"a|b\tcd", "Ins Tab", "ab\t|cd", "-"},
      {"xy|", "Ins Tab", "xy\t|", "Typing"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.before) + " + " + row.keys);
    EXPECT_EQ(Run(row.before, row.keys), row.after);
    EXPECT_EQ(UndoName(), row.undo);
    if (!row.undone) continue;
    Keys("Undo");
    EXPECT_EQ(Marked(), row.undone);
    EXPECT_EQ(UndoName(), row.undoneUndo);
  }
}

TEST_F(Editing, EraseSelectionSaysWhetherThereWasOneAndMoveCaretToStaysInTheText) {
  Load("hello| world");
  EXPECT_FALSE(view->EraseSelection());
  Load("hello{ world|}");
  EXPECT_TRUE(view->EraseSelection());
  Load("ab\ncd");
  view->MoveCaretTo(TextPosition(9, 7));
  EXPECT_EQ(Marked(), "ab\ncd|");
  EXPECT_EQ(view->GetAnchor(), TextPosition(2, 1));
  view->MoveCaretTo(TextPosition(-3, 0));
  Keys("Del");
  EXPECT_EQ(Marked(), "|b\ncd");
}

TEST_F(Editing, AReadOnlyTextOrNoTextRefusesEveryEdit) {
  QApplication::clipboard()->setText("pasted");
  Load("    keep|\nthis");
  buffer->SetReadOnly(true);
  Keys(R"("x" Ret BS Del Tab C-BS)");
  Select({0, 0}, {2, 1});
  Keys("Tab S-Tab Paste Cut BS");
  EXPECT_EQ(Text(), "    keep\nthis");
  EXPECT_FALSE(buffer->CanUndo() || buffer->IsModified() || view->IsEditable());
  EXPECT_EQ(QApplication::clipboard()->text(), "pasted"); // Cut put nothing there
  view = std::make_unique<CEditView>(); // no buffer at all
  Keys(R"("a" Ret BS Del Tab)");
  view->OnEditPaste();
  view->OnEditUndo();
  EXPECT_FALSE(view->IsEditable());
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(Update(Cmd::EDIT_UNDO).enabled);
}

TEST_F(Editing, CharactersOutsideTheFilesCharacterSetOrTypedWhileAMouseButtonIsHeldAreIgnored) {
  Load("");
  for (const char* typed : {"caf\xC3\xA9", "\xE2\x82\xAC", "\xE2\x80\x9Cq\xE2\x80\x9D", "\x07", "\x1B"})
    edittest::SendKey(*view, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(typed)); // as an input method types
  EXPECT_EQ(Text(), "caf\xE9q");
  Load("abc");
  const QPoint point = view->viewport()->mapTo(view.get(), view->TextPosToPoint({1, 0}) + QPoint(2, 2));
  QTest::mousePress(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
  ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
  Keys(R"("x" Ret)");
  QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
  Keys(R"("y")");
  EXPECT_EQ(Marked(), "ay|bc");
}

TEST_F(Editing, UndoAndRedoMenuItemsNameTheGroupAndButtonsAreOnlyEnabled) {
  Load("");
  const auto texts = [this] {
    return UndoText() + "|" + Update(Cmd::EDIT_REDO).text.value_or("") + "|" +
           std::to_string(Update(Cmd::EDIT_UNDO).enabled) + std::to_string(Update(Cmd::EDIT_REDO).enabled);
  };
  EXPECT_EQ(texts(), "&Undo\tCtrl+Z|&Redo\tCtrl+Y|00");
  Keys(R"("ab")");
  EXPECT_EQ(texts(), "&Undo Typing\tCtrl+Z|&Redo\tCtrl+Y|10");
  Keys("Ret BS A-BS"); // Alt+Backspace undoes too
  EXPECT_EQ(texts(), "&Undo Typing\tCtrl+Z|&Redo Backspace\tCtrl+Y|11");
  for (int id : {Cmd::EDIT_UNDO, Cmd::EDIT_REDO}) {
    const CCmdUIState button = Update(id, false);
    EXPECT_TRUE(button.enabled && !button.text.has_value()) << id;
  }
  EXPECT_FALSE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  int changes = 0;
  QObject::connect(view.get(), &CTextView::cursorChanged, [&] { ++changes; });
  view->OnCmdMsg(Cmd::EDIT_SWITCH_OVRMODE);
  EXPECT_TRUE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  EXPECT_GE(changes, 1);
  for (int id : {Cmd::EDIT_DELETE, Cmd::EDIT_DELETE_BACK, Cmd::EDIT_TAB, Cmd::EDIT_UNTAB})
    EXPECT_TRUE(Update(id, false).enabled) << id;
  CCmdUIState unknown;
  EXPECT_FALSE(view->OnCmdMsg(Cmd::BUILD_COMPILE) || view->OnUpdateCmdUI(Cmd::BUILD_COMPILE, unknown));
}

TEST_F(Editing, CutAndPasteGoThroughTheClipboardAsLatin1WithLf) {
  QClipboard* board = QApplication::clipboard();
  board->clear();
  Run("    x|", "Ret Undo");
  view->OnEditPaste();
  EXPECT_EQ(Marked(), "    x\n|");
  Load("fir\xE9t\nsecond");
  EXPECT_FALSE(Update(Cmd::EDIT_CUT, false).enabled || Update(Cmd::EDIT_PASTE, false).enabled);
  Keys("Cut"); // nothing selected: nothing happens
  EXPECT_FALSE(buffer->CanUndo());
  Select({2, 0}, {3, 1});
  EXPECT_TRUE(Update(Cmd::EDIT_CUT, false).enabled);
  Keys("Cut");
  EXPECT_EQ(board->text(), QString::fromUtf8("r\u00E9t\nsec"));
  EXPECT_EQ(Marked(), "fi|ond");
  EXPECT_EQ(UndoName(), "Cut");
  Keys("Paste"); // the same bytes come back
  EXPECT_EQ(Marked(), "fir\xE9t\nsec|ond");
  board->setText("one\r\ntwo\rthree\nfour");
  EXPECT_EQ(Run("<|>", "Paste"), "<one\ntwo\nthree\nfour|>");
  EXPECT_EQ(UndoName(), "Paste");
  EXPECT_EQ(Run("<{o|}>", R"(Paste "s")"), "<one\ntwo\nthree\nfours|>");
  EXPECT_EQ(Run("<{o|}>", R"(Paste "s" Undo)"), "<o|>");
  EXPECT_FALSE(buffer->CanUndo());
  auto* image = new QMimeData;
  image->setData("image/png", QByteArray("\x89PNG", 4));
  board->setMimeData(image);
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  Load("keep {DROP |}keep");
  view->OnCmdMsg(Cmd::EDIT_PASTE);
  EXPECT_EQ(Marked(), "keep |keep");
}

class CRefusingClipboardView : public CEditView {
public:
  bool CopyToClipboard(const std::string&) override { return false; }
};

using RefusingClipboard = edittest::EditViewTest<CRefusingClipboardView>;

TEST_F(RefusingClipboard, CutKeepsTheTextTheClipboardDidNotTake) {
  EXPECT_EQ(Run("{precious|} text", "Cut"), "{precious|} text");
  EXPECT_FALSE(buffer->CanUndo());
}

QPoint CellPoint(CTextView& view, TextPosition p) {
  return view.TextPosToPoint(p) + QPoint(view.GetCharWidth() / 4, view.GetLineHeight() / 2);
}

std::string DragAndDrop(CTextView& view, QMimeData& data, QPoint point,
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

class CDraggingView : public CEditView {
public:
  CTextView* dropInto = nullptr;
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
  void DragSelection(TextPosition inside, QPoint drop, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    view->dropPoint = drop;
    view->dropModifiers = modifiers;
    const QPoint press = CellPoint(*view, inside);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, press);
    QTest::mouseMove(view->viewport(), press + QPoint(3, 0));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, press + QPoint(3, 0));
  }
  QPoint At(TextPosition p) { return CellPoint(*view, p); }
};

TEST_F(Dropping, TextFromElsewhereShowsTheDropCaretAndIsInsertedAndSelectedOrCopiedWithCtrl) {
  Load("hel|lo world\nsecond line");
  ASSERT_TRUE(view->IsCaretVisible());
  QMimeData data;
  data.setText("one\ntwo");
  QDragEnterEvent enter(At(TextPosition(6, 1)), Qt::CopyAction | Qt::MoveAction, &data,
                        Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &enter);
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
  DragSelection({1, 0}, At(TextPosition(11, 0)));
  EXPECT_EQ(view->offered, Qt::CopyAction | Qt::MoveAction);
  EXPECT_EQ(Text(), "def ghiabc ");
  Undo();
  EXPECT_EQ(Text(), "abc def ghi");
  EXPECT_FALSE(buffer->CanUndo());
  Load("first\nsec{ond\nthird|}");
  DragSelection({4, 1}, At(TextPosition(0, 0))); // back, over lines
  EXPECT_EQ(Text(), "ond\nthirdfirst\nsec");
  view->dropNowhere = true; // a drag that ends without a drop takes nothing away
  Select({0, 0}, {3, 0});
  DragSelection({1, 0}, At(TextPosition(0, 1)));
  EXPECT_EQ(view->draggedText, "ond");
  EXPECT_EQ(Text(), "ond\nthirdfirst\nsec");
  view->dropNowhere = false;
  Load("{abc|} def");
  DragSelection({1, 0}, At(TextPosition(7, 0)), Qt::ControlModifier);
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
  EXPECT_EQ(DragAndDrop(*view, text, At(TextPosition(1, 0))), "");
  EXPECT_FALSE(view->IsDropCaretShown());
  auto other = edittest::LoadBuffer(dir, "");
  CEditView target;
  viewtest::ShowView(target, 400, 200);
  target.AttachBuffer(other.get());
  view->dropInto = &target;
  Select({0, 0}, {6, 0});
  DragSelection({1, 0}, CellPoint(target, TextPosition(0, 0)));
  EXPECT_EQ(viewtest::BufferText(*other), "source");
  EXPECT_EQ(Text(), "source text");
}

} // namespace
