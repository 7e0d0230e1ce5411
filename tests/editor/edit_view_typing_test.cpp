// Typing into the editing view: characters, undo groups, Enter with automatic indentation,
// overwrite mode, the character set, and a text that may not be changed.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Typing : public EditViewTest<> {};

TEST_F(Typing, CharactersGoInAtTheCaretAndASpaceStartsANewUndoGroup) {
  Load("x");
  Place(TextPosition(0, 0));
  Type("ab cd");
  EXPECT_EQ(Text(), "ab cdx");
  EXPECT_EQ(Cursor(), TextPosition(5, 0));
  EXPECT_TRUE(buffer->IsModified());

  Key(Qt::Key_Z, Qt::ControlModifier); // the space and what follows it
  EXPECT_EQ(Text(), "abx");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "x");
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(buffer->CanUndo());

  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abx");
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ab cdx");
  EXPECT_EQ(Cursor(), TextPosition(5, 0)); // after the group's last change
}

TEST_F(Typing, TypingAfterUndoJoinsTheGroupLeftOnTopAndDropsTheRedo) {
  Load("");
  Type("ab cd");
  Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(Text(), "ab");
  Type("z");
  EXPECT_FALSE(buffer->CanRedo());
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "");
}

TEST_F(Typing, TypingReplacesTheSelectionInOneUndoStep) {
  Load("Object lamp;");
  Select(TextPosition(11, 0), TextPosition(7, 0)); // "lamp", selected backwards
  Type("torch");
  EXPECT_EQ(Text(), "Object torch;");
  EXPECT_FALSE(view->HasSelection());
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "Object lamp;");
}

TEST_F(Typing, OnlyCharactersOfTheFilesCharacterSetAreTyped) {
  Load("");
  TypeText(QString::fromUtf8("caf\xC3\xA9")); // e acute is byte 0xE9
  ASSERT_EQ(buffer->LineLength(0), 4);
  EXPECT_EQ(static_cast<unsigned char>(buffer->LineChars(0)[3]), 0xE9);

  TypeText(QString::fromUtf8("\xE2\x82\xAC"));        // the euro sign has no byte
  TypeText(QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D")); // only the q survives
  EXPECT_EQ(buffer->LineLength(0), 5);
  EXPECT_EQ(buffer->LineChars(0)[4], 'q');

  // Control characters never become text.
  TypeText(QString(QChar(0x07)));
  TypeText(QString(QChar(0x1B)));
  EXPECT_EQ(buffer->LineLength(0), 5);
}

TEST_F(Typing, EnterCopiesTheIndentationInAGroupOfItsOwn) {
  Load("[ Main;\n    print \"hi\";");
  Place(TextPosition(15, 1));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "[ Main;\n    print \"hi\";\n    ");
  EXPECT_EQ(Cursor(), TextPosition(4, 2));

  CCmdUIState undo = Update(Cmd::EDIT_UNDO);
  EXPECT_EQ(undo.text.value_or(""), "&Undo Auto Indent\tCtrl+Z");

  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "[ Main;\n    print \"hi\";\n");
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "[ Main;\n    print \"hi\";");
  EXPECT_EQ(Cursor(), TextPosition(15, 1));
}

TEST_F(Typing, EnterCopiesTabsAndSpacesUpToTheFirstVisibleCharacter) {
  Load("\t \tx = 1;");
  Place(TextPosition(9, 0));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "\t \tx = 1;\n\t \t");

  // Enter replaces a selection; an unindented line gives nothing to copy.
  Load("  abcdef\nx;");
  Select(TextPosition(4, 0), TextPosition(6, 0));
  Key(Qt::Key_Enter); // the keypad key
  EXPECT_EQ(Text(), "  ab\n  ef\nx;");
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  Place(TextPosition(2, 2));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "  ab\n  ef\nx;\n");
  EXPECT_EQ(Cursor(), TextPosition(0, 3));
}

TEST_F(Typing, AnUndoneIndentationIsNotBroughtBackByALaterEmptyChange) {
  // After undoing the indentation the line break is the last applied record; an edit that
  // records nothing must not mistake it for a fresh Enter.
  Load("    x");
  Place(TextPosition(5, 0));
  Key(Qt::Key_Return);
  Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(Text(), "    x\n");
  QApplication::clipboard()->clear();
  Key(Qt::Key_V, Qt::ControlModifier); // nothing to paste
  view->OnEditPaste();                 // also when reached as a command
  EXPECT_EQ(Text(), "    x\n");
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
}

TEST_F(Typing, OverwriteModeReplacesCharactersButAppendsAtTheLineEnd) {
  Load("abc\nxy");
  Key(Qt::Key_Insert);
  ASSERT_TRUE(view->GetOverwriteMode());
  Place(TextPosition(1, 0));
  Type("QRS");
  EXPECT_EQ(Text(), "aQRS\nxy"); // b and c replaced, S appended at the end
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abc\nxy");

  Key(Qt::Key_Insert);
  EXPECT_FALSE(view->GetOverwriteMode());
  Place(TextPosition(1, 0));
  Type("Q");
  EXPECT_EQ(Text(), "aQbc\nxy");

  view->SetOverwriteMode(true);
  Load("a new text"); // a new text starts in insert mode
  EXPECT_FALSE(view->GetOverwriteMode());
}

TEST_F(Typing, EnterInOverwriteModeMovesDownAndOnlyBreaksTheLastLine) {
  Load("    one\n    two");
  view->SetOverwriteMode(true);
  Place(TextPosition(2, 0));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "    one\n    two");
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  EXPECT_FALSE(buffer->CanUndo());

  Place(TextPosition(7, 1));
  Key(Qt::Key_Return);
  EXPECT_EQ(Text(), "    one\n    two\n"); // a break, without indentation
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
}

TEST_F(Typing, AReadOnlyTextRefusesEveryEdit) {
  Load("    keep\nthis");
  buffer->SetReadOnly(true);
  Place(TextPosition(8, 0));
  Type("x");
  Key(Qt::Key_Return);
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Delete);
  Key(Qt::Key_Tab);
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
  EXPECT_TRUE(Update(Cmd::INDICATOR_READ).enabled);
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

TEST_F(Typing, WithoutABufferNothingHappens) {
  view = std::make_unique<CCrystalEditView>();
  for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab})
    edittest::SendKey(*view, key, Qt::NoModifier, key == Qt::Key_A ? "a" : "");
  view->OnEditPaste();
  view->OnEditUndo();
  EXPECT_FALSE(view->IsEditable());
  EXPECT_EQ(view->GetCursorPosition(), TextPosition(0, 0));
  EXPECT_FALSE(Update(Cmd::EDIT_UNDO).enabled);
}

} // namespace
