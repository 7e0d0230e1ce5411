// Typing into the editing view: characters, undo groups, Enter with automatic indentation,
// overwrite mode, the character set, and a text that may not be changed.
#include <QApplication>
#include <QClipboard>

#include "edit_test_support.h"

namespace {

class Typing : public edittest::EditViewTest<> {};

TEST_F(Typing, CharactersGoInAtTheCaretAndASpaceStartsANewUndoGroup) {
  Load("x");
  Type("ab cd");
  EXPECT_EQ(Marked(), "ab cd|x");
  EXPECT_TRUE(buffer->IsModified());
  Undo(); // the space and what follows it
  EXPECT_EQ(Marked(), "ab|x");
  Undo();
  EXPECT_EQ(Marked(), "|x");
  EXPECT_FALSE(buffer->CanUndo());

  // Typing replaces a selection (here made backwards) in one undo step.
  Load("Object lamp;");
  Select(TextPosition(11, 0), TextPosition(7, 0));
  Type("torch");
  EXPECT_EQ(Text(), "Object torch;");
  EXPECT_FALSE(view->HasSelection());
  Undo();
  EXPECT_EQ(Text(), "Object lamp;");
}

TEST_F(Typing, OnlyCharactersOfTheFilesCharacterSetAreTyped) {
  Load("");
  TypeText(QString::fromUtf8("caf\xC3\xA9"));                // e acute is byte 0xE9
  TypeText(QString::fromUtf8("\xE2\x82\xAC"));               // the euro sign has no byte
  TypeText(QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D")); // only the q survives
  TypeText(QString(QChar(0x07)));                             // control characters never
  TypeText(QString(QChar(0x1B)));                             // become text
  EXPECT_EQ(Text(), "caf\xE9q");
}

TEST_F(Typing, EnterCopiesTheIndentationInAGroupOfItsOwn) {
  Load("[ Main;\n    print \"hi\";");
  Place(TextPosition(15, 1));
  Key(Qt::Key_Return);
  EXPECT_EQ(Marked(), "[ Main;\n    print \"hi\";\n    |");
  EXPECT_EQ(UndoText(), "&Undo Auto Indent\tCtrl+Z");
  Undo();
  EXPECT_EQ(Marked(), "[ Main;\n    print \"hi\";\n|");
  Undo();
  EXPECT_EQ(Marked(), "[ Main;\n    print \"hi\";|");

  // Tabs and spaces up to the first visible character are copied.
  Load("\t \tx = 1;");
  Place(TextPosition(9, 0));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "\t \tx = 1;\n\t \t");

  // Enter (here the keypad key) replaces a selection; an unindented line gives nothing.
  Load("  abcdef\nx;");
  Select(TextPosition(4, 0), TextPosition(6, 0));
  Key(Qt::Key_Enter);
  EXPECT_EQ(Marked(), "  ab\n  |ef\nx;");
  Place(TextPosition(2, 2));
  Key(Qt::Key_Return);
  EXPECT_EQ(Marked(), "  ab\n  ef\nx;\n|");
}

TEST_F(Typing, AnUndoneIndentationIsNotBroughtBackByALaterEmptyChange) {
  // After undoing the indentation the line break is the last applied record; an edit that
  // records nothing must not mistake it for a fresh Enter.
  Load("    x");
  Place(TextPosition(5, 0));
  Key(Qt::Key_Return);
  Undo();
  ASSERT_EQ(Text(), "    x\n");
  QApplication::clipboard()->clear();
  Key(Qt::Key_V, Qt::ControlModifier); // nothing to paste
  view->OnEditPaste();                 // also when reached as a command
  EXPECT_EQ(Marked(), "    x\n|");
}

TEST_F(Typing, OverwriteModeReplacesCharactersButAppendsAtTheLineEnd) {
  Load("abc\nxy");
  Key(Qt::Key_Insert);
  ASSERT_TRUE(view->GetOverwriteMode());
  Place(TextPosition(1, 0));
  Type("QRS");
  EXPECT_EQ(Text(), "aQRS\nxy"); // b and c replaced, S appended at the end
  Undo();
  EXPECT_EQ(Text(), "abc\nxy");
  Key(Qt::Key_Insert);
  EXPECT_FALSE(view->GetOverwriteMode());
  Place(TextPosition(1, 0));
  Type("Q");
  EXPECT_EQ(Text(), "aQbc\nxy");

  // Enter in overwrite mode moves down, and only breaks the last line (without indentation).
  Load("    one\n    two");
  EXPECT_FALSE(view->GetOverwriteMode()); // a new text starts in insert mode
  view->SetOverwriteMode(true);
  Place(TextPosition(2, 0));
  Key(Qt::Key_Return);
  EXPECT_EQ(Marked(), "    one\n|    two");
  EXPECT_FALSE(buffer->CanUndo());
  Place(TextPosition(7, 1));
  Key(Qt::Key_Return);
  EXPECT_EQ(Marked(), "    one\n    two\n|");
}

TEST_F(Typing, AReadOnlyTextOrNoTextRefusesEveryEdit) {
  Load("    keep\nthis");
  buffer->SetReadOnly(true);
  Place(TextPosition(8, 0));
  Type("x");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab}) Key(key);
  Select(TextPosition(0, 0), TextPosition(2, 1));
  Key(Qt::Key_Tab);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  QApplication::clipboard()->setText("pasted");
  Key(Qt::Key_V, Qt::ControlModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Text(), "    keep\nthis");
  EXPECT_FALSE(buffer->CanUndo());
  EXPECT_FALSE(buffer->IsModified());
  EXPECT_EQ(QApplication::clipboard()->text(), "pasted"); // Cut put nothing there
  EXPECT_FALSE(view->IsEditable());

  view = std::make_unique<CCrystalEditView>(); // no buffer at all
  Type("a");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab}) Key(key);
  view->OnEditPaste();
  view->OnEditUndo();
  EXPECT_FALSE(view->IsEditable());
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(Update(Cmd::EDIT_UNDO).enabled);
}

TEST_F(Typing, CharactersTypedWhileAMouseButtonIsHeldAreIgnored) {
  Load("abc");
  // Through the window, so that the application knows the button is down.
  const QPoint point = view->viewport()->mapTo(
      view.get(), view->TextPosToPoint(TextPosition(1, 0)) + QPoint(2, 2));
  QTest::mousePress(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
  ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
  Type("x");
  Key(Qt::Key_Return);
  QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
  EXPECT_EQ(Text(), "abc");
  Type("y");
  EXPECT_EQ(Text(), "aybc");
}

} // namespace
