// The editing view's keys on marked texts ('|' the cursor, '{' '}' the selection): typing,
// Enter with automatic indentation, overwrite mode, deleting, Tab and Shift+Tab, undo steps,
// the menus, the clipboard, and texts that may not be changed.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "edit_test_support.h"

namespace {

class Editing : public edittest::EditViewTest<> {
protected:
  // What Undo would take back: the first record's description, "-" when nothing is left.
  std::string UndoName() { return buffer->CanUndo() ? buffer->UndoDescription() : "-"; }
};

TEST_F(Editing, KeysOnMarkedTexts) {
  // Every row starts on a newly loaded text, which starts in insert mode.
  const struct {
    const char *before, *keys, *after, *undo;
  } rows[] = {
      // A space starts a new undo group; typing replaces a selection in the same step.
      {"|x", R"("ab cd")", "ab cd|x", "Typing"},
      {"|x", R"("ab cd" Undo)", "ab|x", "Typing"},
      {"Object {|lamp};", R"("torch")", "Object torch|;", "Delete Selection"},
      {"Object {|lamp};", R"("torch" Undo)", "Object lamp|;", "-"},
      // Enter copies the leading tabs and spaces as a group of its own; so does the keypad's.
      {"[ Main;\n    print \"hi\";|", "Ret", "[ Main;\n    print \"hi\";\n    |", "Auto Indent"},
      {"[ Main;\n    print \"hi\";|", "Ret Undo", "[ Main;\n    print \"hi\";\n|", "Typing"},
      {"\t \tx = 1;|", "Ret", "\t \tx = 1;\n\t \t|", "Auto Indent"},
      {"  ab{cd|}ef\nx;", "Enter", "  ab\n  |ef\nx;", "Auto Indent"},
      {"  ab\n  ef\nx;|", "Ret", "  ab\n  ef\nx;\n|", "Typing"},
      // Overwrite replaces characters, appends at the line end; Enter only breaks the last line.
      {"a|bc\nxy", R"(Ins "QRS")", "aQRS|\nxy", "Typing"},
      {"a|bc\nxy", R"(Ins "QRS" Undo)", "ab|c\nxy", "-"},
      {"a|bc\nxy", R"(Ins Ins "Q")", "aQ|bc\nxy", "Typing"},
      {"  |  one\n    two", "Ins Ret", "    one\n|    two", "-"},
      {"    one\n    two|", "Ins Ret", "    one\n    two\n|", "Typing"},
      // One step each; Undo puts the caret after the restored text, Redo at the range's start.
      {"a|bc\nde", "Del", "a|c\nde", "Delete"},
      {"a|bc\nde", "Del Del Del", "a|de", "Delete"},
      {"a|bc\nde", "Del Del Del Undo", "a\n|de", "Delete"},
      {"a|bc\nde", "Del Del Del Undo Redo", "a|de", "Delete"},
      {"abc\nde|", "Del", "abc\nde|", "-"},
      {"|ab\ncd", "BS", "|ab\ncd", "-"},
      {"ab\nc|d", "BS", "ab\n|d", "Backspace"},
      {"ab\nc|d", "BS BS", "ab|d", "Backspace"},
      {"ab\nc|d", "BS BS Undo", "ab\n|d", "Backspace"},
      // Ctrl+Backspace: blanks and the word before them; a run of punctuation is a word.
      {"Object  lamp|.light", "C-BS", "Object  |.light", "Backspace"},
      {"Object  |lamp.light", "C-BS", "|lamp.light", "Backspace"},
      {"Object  lamp.|light", "C-BS", "Object  lamp|light", "Backspace"},
      {"Objec|t  lamp", "C-BS", "|t  lamp", "Backspace"},
      {"Object  lamp.|light", "C-BS Undo", "Object  lamp.|light", "-"},
      {"ab;\n|next", "C-BS", "ab;|next", "Backspace"},
      {"|ab", "C-BS", "|ab", "-"},
      {"Obj{ect\nn|}ext", "C-BS", "Obj|ext", "Delete"},
      // A selection goes whole with Delete or Backspace.
      {"o{|ne\ntwo\nthr}ee", "Del", "o|ee", "Delete"},
      {"o{ne\ntwo\nthr|}ee", "BS", "o|ee", "Delete"},
      {"o{ne\ntwo\nthr|}ee", "BS Undo", "one\ntwo\nthr|ee", "-"},
      {"a|b", "Tab", "a\t|b", "Typing"},
      {"{a\t|}b", "Tab", "\t|b", "Delete Selection"},
      {"{a\t|}b", "Tab Undo", "a\t|b", "-"},
      // Over lines, Tab indents each line touched (not one reached at column 0) and selects
      // the whole lines, to the end of the text on the last line.
      {"l0\nlin{e2\nl3\n|}line5", "Tab", "l0\n{\tline2\n\tl3\n|}line5", "Indent"},
      {"l0\nlin{e2\nl3\n|}line5", "Tab Undo", "l0\n|line2\nl3\nline5", "-"},
      {"aa\nb{b\nc|}c\ndd", "Tab", "aa\n{\tbb\n\tcc\n|}dd", "Indent"},
      {"a{b\n|}cd", "Tab", "{\tab\n|}cd", "Indent"},
      {"a{b\nc|}d\nef\ngh", "Tab S-Down", "{\tab\n\tcd\nef\n|}gh", "Indent"}, // from the block's start
      {"aa\n\tbb\n{\tcc\nd|}d", "Tab", "aa\n\tbb\n{\t\tcc\n\tdd|}", "Indent"},
      {"aa\n\tbb\n{\tcc\nd|}d", "Tab Tab", "aa\n\tbb\n{\t\t\tcc\n\t\tdd|}", "Indent"},
      // Shift+Tab over lines takes one level: "  \t" together, four of six spaces, a tab.
      {"{  \tone\n      two\n\tthree\nfour\n\n    \tfive\n  |} six", "S-Tab",
       "{one\n  two\nthree\nfour\n\n\tfive\nsix|}", "Indent"},
      {"{if (x)\n    y();\n|}end", "Tab S-Tab", "{if (x)\n    y();\n|}end", "Indent"},
      // Without a selection over lines it moves the caret back to a tab stop.
      {"abcdef|ghij", "S-Tab", "abcd|efghij", "-"},
      {"abcdef|ghij", "S-Tab S-Tab S-Tab", "|abcdefghij", "-"},
      {"\tx\t|yz", "S-Tab", "\t|x\tyz", "-"},
      {"\tx\t|yz", "S-Tab S-Tab", "|\tx\tyz", "-"},
      // In overwrite mode Tab moves to the next stop, not past the line end or a tab.
      {"a|bcdefg", "Ins Tab", "abcd|efg", "-"},
      {"a|bcdefg", "Ins Tab Tab", "abcdefg|", "-"},
      {"a|b\tcd", "Ins Tab", "ab\t|cd", "-"},
      {"xy|", "Ins Tab", "xy\t|", "Typing"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.before) + " + " + row.keys);
    EXPECT_EQ(Run(row.before, row.keys), row.after);
    EXPECT_EQ(UndoName(), row.undo);
  }
}

TEST_F(Editing, EraseSelectionSaysWhetherThereWasOneAndMoveCaretToStaysInTheText) {
  Load("hello| world");
  EXPECT_FALSE(view->EraseSelection());
  Load("hello{ world|}");
  EXPECT_TRUE(view->EraseSelection());
  EXPECT_EQ(Marked(), "hello|");
  EXPECT_EQ(UndoName(), "Delete Selection");
  Load("ab\ncd");
  view->MoveCaretTo(TextPosition(9, 7));
  EXPECT_EQ(Marked(), "ab\ncd|");
  EXPECT_EQ(view->GetAnchor(), TextPosition(2, 1));
  view->MoveCaretTo(TextPosition(-3, 0));
  Keys("Del");
  EXPECT_EQ(Marked(), "|b\ncd");
}

TEST_F(Editing, OnlyCharactersOfTheFilesCharacterSetAreTyped) {
  Load("");
  TypeText(QString::fromUtf8("caf\xC3\xA9"));                // e acute is byte 0xE9
  TypeText(QString::fromUtf8("\xE2\x82\xAC"));               // the euro sign has no byte
  TypeText(QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D")); // only the q survives
  TypeText(QString(QChar(0x07)));                             // control characters never
  TypeText(QString(QChar(0x1B)));                             // become text
  EXPECT_EQ(Text(), "caf\xE9q");
}

TEST_F(Editing, AnUndoneIndentationIsNotBroughtBackByALaterEmptyChange) {
  // After undoing the indentation the line break is the last applied record; an edit that
  // records nothing must not mistake it for a fresh Enter.
  QApplication::clipboard()->clear();
  EXPECT_EQ(Run("    x|", "Ret Undo Paste"), "    x\n|");
  view->OnEditPaste();
  EXPECT_EQ(Marked(), "    x\n|");
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
  view = std::make_unique<CCrystalEditView>(); // no buffer at all
  Keys(R"("a" Ret BS Del Tab)");
  view->OnEditPaste();
  view->OnEditUndo();
  EXPECT_FALSE(view->IsEditable());
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(Update(Cmd::EDIT_UNDO).enabled);
}

TEST_F(Editing, CharactersTypedWhileAMouseButtonIsHeldAreIgnored) {
  Load("abc");
  // Through the window, so that the application knows the button is down.
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
  // The overwrite item is checked while on, and the status bar hears of the change.
  EXPECT_FALSE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  int changes = 0;
  QObject::connect(view.get(), &CCrystalTextView::cursorChanged, [&] { ++changes; });
  view->OnCmdMsg(Cmd::EDIT_SWITCH_OVRMODE);
  EXPECT_TRUE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  EXPECT_GE(changes, 1);
  // The editing keys are always enabled; a command the view does not handle is left to the
  // document and the frames.
  for (int id : {Cmd::EDIT_DELETE, Cmd::EDIT_DELETE_BACK, Cmd::EDIT_TAB, Cmd::EDIT_UNTAB})
    EXPECT_TRUE(Update(id, false).enabled) << id;
  CCmdUIState unknown;
  EXPECT_FALSE(view->OnCmdMsg(Cmd::BUILD_COMPILE) || view->OnUpdateCmdUI(Cmd::BUILD_COMPILE, unknown));
}

TEST_F(Editing, CutAndPasteGoThroughTheClipboardAsLatin1WithLf) {
  QClipboard* board = QApplication::clipboard();
  board->clear();
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
  // Every kind of line break comes in; a typed character joins the paste's group.
  board->setText("one\r\ntwo\rthree\nfour");
  EXPECT_EQ(Run("<|>", "Paste"), "<one\ntwo\nthree\nfour|>");
  EXPECT_EQ(UndoName(), "Paste");
  EXPECT_EQ(Run("<{o|}>", R"(Paste "s")"), "<one\ntwo\nthree\nfours|>");
  EXPECT_EQ(Run("<{o|}>", R"(Paste "s" Undo)"), "<o|>");
  EXPECT_FALSE(buffer->CanUndo());
  // Without text on the clipboard Paste still deletes the selection.
  auto* image = new QMimeData;
  image->setData("image/png", QByteArray("\x89PNG", 4));
  board->setMimeData(image);
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  Load("keep {DROP |}keep");
  view->OnCmdMsg(Cmd::EDIT_PASTE);
  EXPECT_EQ(Marked(), "keep |keep");
}

// A view whose clipboard refuses every text, as when another program holds it open.
class CRefusingClipboardView : public CCrystalEditView {
public:
  bool CopyToClipboard(const std::string&) override { return false; }
};

using RefusingClipboard = edittest::EditViewTest<CRefusingClipboardView>;

TEST_F(RefusingClipboard, CutKeepsTheTextTheClipboardDidNotTake) {
  EXPECT_EQ(Run("{precious|} text", "Cut"), "{precious|} text");
  EXPECT_FALSE(buffer->CanUndo());
}

} // namespace
