// Delete and Backspace at line and text boundaries, with and without a selection.
#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Deleting : public EditViewTest<> {};

TEST_F(Deleting, DeleteRemovesTheCharacterAfterTheCaret) {
  Load("abc");
  Place(TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), "ac");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  Key(Qt::Key_Delete);
  Key(Qt::Key_Delete); // at the end of the last line: nothing
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
}

TEST_F(Deleting, DeleteAtALineEndJoinsTheNextLine) {
  Load("ab\ncd\n");
  Place(TextPosition(2, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), "abcd\n");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Place(TextPosition(4, 0));
  Key(Qt::Key_Delete); // joins the empty last line
  EXPECT_EQ(Text(), "abcd");
  EXPECT_EQ(buffer->LineCount(), 1);
}

TEST_F(Deleting, EachDeleteIsOneUndoStepThatPutsTheCaretAfterTheRestoredText) {
  Load("abcd");
  Place(TextPosition(1, 0));
  Key(Qt::Key_Delete);
  Key(Qt::Key_Delete);
  ASSERT_EQ(Text(), "ad");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "acd");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Key(Qt::Key_Y, Qt::ControlModifier); // redo puts it at the start of the range
  EXPECT_EQ(Text(), "ad");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
}

TEST_F(Deleting, DeleteAndBackspaceRemoveASelectionAcrossLines) {
  Load("one\ntwo\nthree");
  Select(TextPosition(3, 2), TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), "oee");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  EXPECT_FALSE(view->HasSelection());
  CCmdUIState undo = Update(Cmd::EDIT_UNDO);
  EXPECT_EQ(undo.text.value_or(""), "&Undo Delete\tCtrl+Z");

  Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(Text(), "one\ntwo\nthree");
  Select(TextPosition(1, 0), TextPosition(3, 2));
  Key(Qt::Key_Backspace); // a selection is deleted as by Delete
  EXPECT_EQ(Text(), "oee");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Delete\tCtrl+Z");
}

TEST_F(Deleting, BackspaceRemovesTheCharacterBeforeTheCaret) {
  Load("abc");
  Place(TextPosition(2, 0));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ac");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Backspace\tCtrl+Z");
}

TEST_F(Deleting, BackspaceAtALineStartJoinsItToThePreviousLine) {
  Load("ab\ncd");
  Place(TextPosition(0, 1));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "abcd");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ab\ncd");
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
}

TEST_F(Deleting, BackspaceAtTheStartOfTheTextChangesNothing) {
  Load("ab");
  Select(TextPosition(0, 0), TextPosition(0, 0));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(buffer->CanUndo());
  EXPECT_FALSE(buffer->IsModified());
}

TEST_F(Deleting, RepeatedBackspacesAreSeparateUndoSteps) {
  Load("abcd");
  Place(TextPosition(4, 0));
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(Cursor(), TextPosition(3, 0));
}

TEST_F(Deleting, DeleteAndBackspaceAreAlwaysEnabled) {
  Load("");
  EXPECT_TRUE(Update(Cmd::EDIT_DELETE, false).enabled);
  EXPECT_TRUE(Update(Cmd::EDIT_DELETE_BACK, false).enabled);
  EXPECT_TRUE(Update(Cmd::EDIT_TAB, false).enabled);
  EXPECT_TRUE(Update(Cmd::EDIT_UNTAB, false).enabled);
}

TEST_F(Deleting, EraseSelectionReportsWhetherThereWasOne) {
  Load("hello world");
  EXPECT_FALSE(view->EraseSelection());
  Select(TextPosition(5, 0), TextPosition(11, 0));
  EXPECT_TRUE(view->EraseSelection());
  EXPECT_EQ(Text(), "hello");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Delete Selection\tCtrl+Z");
}

TEST_F(Deleting, MoveCaretToKeepsTheCaretInsideTheText) {
  Load("ab\ncd");
  view->MoveCaretTo(TextPosition(9, 7));
  EXPECT_EQ(Cursor(), TextPosition(2, 1));
  EXPECT_EQ(view->GetAnchor(), TextPosition(2, 1));
  EXPECT_FALSE(view->HasSelection());
  view->MoveCaretTo(TextPosition(-3, 0));
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  Key(Qt::Key_Delete); // and editing from there works on the real text
  EXPECT_EQ(Text(), "b\ncd");
}

} // namespace
