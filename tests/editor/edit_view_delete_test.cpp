// Delete and Backspace at line and text boundaries, with and without a selection.
#include "edit_test_support.h"

namespace {

class Deleting : public edittest::EditViewTest<> {};

TEST_F(Deleting, DeleteTakesTheNextCharacterOrJoinsTheNextLineButNotPastTheEnd) {
  Load("abc\nde");
  Place(TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Marked(), "a|c\nde");
  Key(Qt::Key_Delete);
  Key(Qt::Key_Delete); // at the line end: the break goes
  Place(TextPosition(3, 0));
  Key(Qt::Key_Delete); // at the end of the text: nothing
  EXPECT_EQ(Text(), "ade");
  // Every Delete is an undo step of its own; undo puts the caret after the restored text,
  // redo at the start of the range.
  Undo();
  EXPECT_EQ(Marked(), "a\n|de");
  Redo();
  EXPECT_EQ(Marked(), "a|de");
}

TEST_F(Deleting, BackspaceTakesThePreviousCharacterOrJoinsThePreviousLine) {
  Load("ab\ncd");
  Key(Qt::Key_Backspace); // at the start of the text: nothing, not even an undo record
  EXPECT_FALSE(buffer->CanUndo());
  EXPECT_FALSE(buffer->IsModified());
  Place(TextPosition(1, 1));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ab\nd");
  EXPECT_EQ(UndoText(), "&Undo Backspace\tCtrl+Z");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Marked(), "ab|d");
  Undo(); // one step at a time
  EXPECT_EQ(Marked(), "ab\n|d");
}

TEST_F(Deleting, DeleteAndBackspaceRemoveASelectionAcrossLines) {
  Load("one\ntwo\nthree");
  Select(TextPosition(3, 2), TextPosition(1, 0));
  Key(Qt::Key_Delete);
  EXPECT_EQ(Marked(), "o|ee");
  EXPECT_FALSE(view->HasSelection());
  Undo();
  ASSERT_EQ(Text(), "one\ntwo\nthree");
  Select(TextPosition(1, 0), TextPosition(3, 2));
  Key(Qt::Key_Backspace); // a selection is deleted as by Delete
  EXPECT_EQ(Text(), "oee");
  EXPECT_EQ(UndoText(), "&Undo Delete\tCtrl+Z");

  // EraseSelection says whether there was one.
  Load("hello world");
  EXPECT_FALSE(view->EraseSelection());
  Select(TextPosition(5, 0), TextPosition(11, 0));
  EXPECT_TRUE(view->EraseSelection());
  EXPECT_EQ(Text(), "hello");
  EXPECT_EQ(UndoText(), "&Undo Delete Selection\tCtrl+Z");
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
