// Delete, Backspace and Ctrl+Backspace at line and text boundaries, with and without a
// selection.
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

TEST_F(Deleting, CtrlBackspaceTakesTheWordBeforeTheCaretOneUndoStepEach) {
  Load("Object  lamp.light \"x\";\nnext");
  // {caret before, text after one Ctrl+Backspace with the caret}
  const std::pair<TextPosition, const char*> rows[] = {
      {{12, 0}, "Object  |.light \"x\";\nnext"},  // the word before, not the blank before it
      {{8, 0}, "|lamp.light \"x\";\nnext"},         // blanks, then the word before them
      {{13, 0}, "Object  lamp|light \"x\";\nnext"}, // a run of punctuation is a word of its own
      {{5, 0}, "|t  lamp.light \"x\";\nnext"},       // inside a word: its start
      {{0, 1}, "Object  lamp.light \"x\";|next"},     // at a line start: the lines join
      {{0, 0}, "|Object  lamp.light \"x\";\nnext"},  // at the start of the text: nothing
  };
  for (const auto& [caret, after] : rows) {
    SCOPED_TRACE(after);
    Place(caret);
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(Marked(), after);
    if (caret == TextPosition(0, 0)) continue;
    EXPECT_EQ(UndoText(), "&Undo Backspace\tCtrl+Z");
    Undo();
    EXPECT_EQ(Text(), "Object  lamp.light \"x\";\nnext");
  }
  EXPECT_FALSE(buffer->CanUndo());
  Select(TextPosition(3, 0), TextPosition(1, 1)); // a selection goes as with Backspace
  Key(Qt::Key_Backspace, Qt::ControlModifier);
  EXPECT_EQ(Marked(), "Obj|ext");
  buffer->SetReadOnly(true);
  Key(Qt::Key_Backspace, Qt::ControlModifier);
  EXPECT_EQ(Text(), "Objext");
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
