// Delete and Backspace at line and text boundaries, with and without a selection.
#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Deleting : public EditViewTest<> {};

TEST_F(Deleting, DeleteTakesTheNextCharacterOrJoinsTheNextLineButNotPastTheEnd) {
  Load("abc\nde");
  Place(TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), "ac\nde");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  Key(Qt::Key_Delete);
  Key(Qt::Key_Delete); // at the line end: the break goes
  EXPECT_EQ(Text(), "ade");
  Place(TextPosition(3, 0));
  Key(Qt::Key_Delete); // at the end of the text: nothing
  EXPECT_EQ(Text(), "ade");

  // Every Delete is an undo step of its own; undo puts the caret after the restored text,
  // redo at the start of the range.
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "a\nde");
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ade");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
}

TEST_F(Deleting, DeleteAndBackspaceRemoveASelectionAcrossLines) {
  Load("one\ntwo\nthree");
  Select(TextPosition(3, 2), TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Text(), "oee");
  EXPECT_EQ(Cursor(), TextPosition(1, 0));
  EXPECT_FALSE(view->HasSelection());

  Key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(Text(), "one\ntwo\nthree");
  Select(TextPosition(1, 0), TextPosition(3, 2));
  Key(Qt::Key_Backspace); // a selection is deleted as by Delete
  EXPECT_EQ(Text(), "oee");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Delete\tCtrl+Z");
}

TEST_F(Deleting, BackspaceTakesThePreviousCharacterOrJoinsThePreviousLine) {
  Load("ab\ncd");
  Place(TextPosition(1, 1));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ab\nd");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Backspace\tCtrl+Z");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "abd");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  Key(Qt::Key_Z, Qt::ControlModifier); // one step at a time
  EXPECT_EQ(Text(), "ab\nd");
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
}

TEST_F(Deleting, BackspaceAtTheStartOfTheTextChangesNothing) {
  Load("ab");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(buffer->CanUndo());
  EXPECT_FALSE(buffer->IsModified());
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
