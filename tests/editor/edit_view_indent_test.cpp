// Tab and Shift+Tab: on one line, in overwrite mode, and on blocks of lines with the
// selection they leave.
#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Indenting : public EditViewTest<> {};

TEST_F(Indenting, TabOnOneLineInsertsATabAndReplacesTheSelection) {
  Load("ab");
  Place(TextPosition(1, 0));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "a\tb");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));

  Select(TextPosition(0, 0), TextPosition(2, 0));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "\tb");
  Key(Qt::Key_Z, Qt::ControlModifier); // one step: the selection comes back with the tab gone
  EXPECT_EQ(Text(), "a\tb");
}

TEST_F(Indenting, TabOnABlockIndentsEveryLineButOneEndingAtColumnZero) {
  Load("l0\nl1\nline2\nl3\nl4\nline5\nl6");
  Select(TextPosition(3, 2), TextPosition(0, 5));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "l0\nl1\n\tline2\n\tl3\n\tl4\nline5\nl6");
  TextPosition start, end;
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(0, 2));
  EXPECT_EQ(end, TextPosition(0, 5));
  EXPECT_EQ(Cursor(), TextPosition(0, 5));

  Key(Qt::Key_Z, Qt::ControlModifier); // the block is one undo step
  EXPECT_EQ(Text(), "l0\nl1\nline2\nl3\nl4\nline5\nl6");
}

TEST_F(Indenting, TabOnABlockWidensTheSelectionToWholeLines) {
  Load("aa\nbb\ncc\ndd");
  Select(TextPosition(1, 1), TextPosition(1, 2)); // ends inside line 2
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "aa\n\tbb\n\tcc\ndd");
  TextPosition start, end;
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(0, 1));
  EXPECT_EQ(end, TextPosition(0, 3));

  // Ending inside the last line of the text, the selection runs to the end of the text.
  Select(TextPosition(0, 2), TextPosition(1, 3));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "aa\n\tbb\n\t\tcc\n\tdd");
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(0, 2));
  EXPECT_EQ(end, TextPosition(3, 3));

  // A second Tab on the widened block indents the same lines again.
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "aa\n\tbb\n\t\t\tcc\n\t\tdd");
}

TEST_F(Indenting, ShiftTabOnABlockRemovesOneLevelOfIndentation) {
  Load("  \tone\n      two\n\tthree\nfour\n\n    \tfive\n   six");
  Select(TextPosition(0, 0), TextPosition(2, 6));
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  // Two spaces and a tab go together; of six spaces four go; a tab goes; an unindented or
  // empty line stays; four spaces make a full level, so the tab after them stays.
  EXPECT_EQ(Text(), "one\n  two\nthree\nfour\n\n\tfive\nsix");
  TextPosition start, end;
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(0, 0));
  EXPECT_EQ(end, TextPosition(3, 6)); // the end of the text, after the unindent
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Indent\tCtrl+Z");

  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "  \tone\n      two\n\tthree\nfour\n\n    \tfive\n   six");
}

TEST_F(Indenting, TabThenShiftTabRestoresTheBlock) {
  Load("if (x) {\n    y();\n}\nrest");
  Select(TextPosition(0, 0), TextPosition(0, 3));
  Key(Qt::Key_Tab);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "if (x) {\n    y();\n}\nrest");
  TextPosition start, end;
  view->GetSelectionBounds(start, end);
  EXPECT_EQ(start, TextPosition(0, 0));
  EXPECT_EQ(end, TextPosition(0, 3));
}

TEST_F(Indenting, ShiftTabWithoutABlockOnlyMovesTheCaretBackToATabStop) {
  Load("abcdefghij\n\tx\tyz");
  Place(TextPosition(6, 0)); // column 6: back to 4
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Cursor(), TextPosition(4, 0));
  Key(Qt::Key_Backtab, Qt::ShiftModifier); // already on a stop: one stop further
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  Key(Qt::Key_Backtab, Qt::ShiftModifier); // at column 0 nothing happens
  EXPECT_EQ(Cursor(), TextPosition(0, 0));

  Place(TextPosition(3, 1)); // after the second tab, column 8
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Cursor(), TextPosition(1, 1)); // column 4: the first place that reaches it
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Cursor(), TextPosition(0, 1));
  EXPECT_EQ(Text(), "abcdefghij\n\tx\tyz");
  EXPECT_FALSE(buffer->CanUndo());
}

TEST_F(Indenting, TabInOverwriteModeMovesToTheNextStopWithoutChangingTheText) {
  Load("abcdefg\nab\tcd\nxy");
  view->SetOverwriteMode(true);
  Place(TextPosition(1, 0));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Cursor(), TextPosition(4, 0));
  Key(Qt::Key_Tab); // never past the line end
  EXPECT_EQ(Cursor(), TextPosition(7, 0));

  Place(TextPosition(1, 1));
  Key(Qt::Key_Tab); // stops right after the tab it passes
  EXPECT_EQ(Cursor(), TextPosition(3, 1));
  EXPECT_EQ(Text(), "abcdefg\nab\tcd\nxy");

  // At the line end overwrite mode inserts a tab as usual.
  Place(TextPosition(2, 2));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text(), "abcdefg\nab\tcd\nxy\t");
}

} // namespace
