// Tab and Shift+Tab: on one line, in overwrite mode, and on blocks of lines with the
// selection they leave.
#include "edit_test_support.h"

using edittest::Span;

namespace {

class Indenting : public edittest::EditViewTest<> {
protected:
  void Tab() { Key(Qt::Key_Tab); }
  void Untab() { Key(Qt::Key_Backtab, Qt::ShiftModifier); }
};

TEST_F(Indenting, TabOnOneLineInsertsATabAndReplacesTheSelection) {
  Load("ab");
  Place(TextPosition(1, 0));
  Tab();
  EXPECT_EQ(Marked(), "a\t|b");
  Select(TextPosition(0, 0), TextPosition(2, 0));
  Tab();
  EXPECT_EQ(Text(), "\tb");
  Undo(); // one step: the selection comes back with the tab gone
  EXPECT_EQ(Text(), "a\tb");
}

TEST_F(Indenting, TabOnABlockIndentsWholeLinesAndWidensTheSelectionToThem) {
  const char* seven = "l0\nl1\nline2\nl3\nl4\nline5\nl6";
  Load(seven);
  Select(TextPosition(3, 2), TextPosition(0, 5)); // a line ending at column 0 is not indented
  Tab();
  EXPECT_EQ(Marked(), "l0\nl1\n\tline2\n\tl3\n\tl4\n|line5\nl6");
  EXPECT_EQ(Sel(), Span(TextPosition(0, 2), TextPosition(0, 5)));
  Undo(); // the block is one undo step
  EXPECT_EQ(Text(), seven);

  Load("aa\nbb\ncc\ndd");
  Select(TextPosition(1, 1), TextPosition(1, 2)); // ends inside line 2
  Tab();
  EXPECT_EQ(Text(), "aa\n\tbb\n\tcc\ndd");
  EXPECT_EQ(Sel(), Span(TextPosition(0, 1), TextPosition(0, 3)));
  // Ending inside the last line of the text, the selection runs to the end of the text.
  Select(TextPosition(0, 2), TextPosition(1, 3));
  Tab();
  EXPECT_EQ(Text(), "aa\n\tbb\n\t\tcc\n\tdd");
  EXPECT_EQ(Sel(), Span(TextPosition(0, 2), TextPosition(3, 3)));
  Tab(); // a second Tab on the widened block indents the same lines again
  EXPECT_EQ(Text(), "aa\n\tbb\n\t\t\tcc\n\t\tdd");
}

TEST_F(Indenting, ShiftTabOnABlockRemovesOneLevelOfIndentation) {
  const char* before = "  \tone\n      two\n\tthree\nfour\n\n    \tfive\n   six";
  Load(before);
  Select(TextPosition(0, 0), TextPosition(2, 6));
  Untab();
  // Two spaces and a tab go together; of six spaces four go; a tab goes; an unindented or
  // empty line stays; four spaces make a full level, so the tab after them stays.
  EXPECT_EQ(Text(), "one\n  two\nthree\nfour\n\n\tfive\nsix");
  EXPECT_EQ(Sel(), Span(TextPosition(0, 0), TextPosition(3, 6))); // the end, after the unindent
  EXPECT_EQ(UndoText(), "&Undo Indent\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), before);

  // Tab then Shift+Tab restores a block and its selection.
  Load("if (x) {\n    y();\n}\nrest");
  Select(TextPosition(0, 0), TextPosition(0, 3));
  Tab();
  Untab();
  EXPECT_EQ(Text(), "if (x) {\n    y();\n}\nrest");
  EXPECT_EQ(Sel(), Span(TextPosition(0, 0), TextPosition(0, 3)));
}

TEST_F(Indenting, ShiftTabWithoutABlockOnlyMovesTheCaretBackToATabStop) {
  Load("abcdefghij\n\tx\tyz");
  // Column 6 goes back to 4; on a stop one stop further; at column 0 nothing happens. After
  // the second tab (column 8) the first place reaching column 4 is after the first tab.
  const std::pair<TextPosition, std::vector<TextPosition>> walks[] = {
      {{6, 0}, {{4, 0}, {0, 0}, {0, 0}}},
      {{3, 1}, {{1, 1}, {0, 1}}},
  };
  for (const auto& [start, stops] : walks) {
    Place(start);
    for (TextPosition stop : stops) {
      Untab();
      EXPECT_EQ(Cursor(), stop);
    }
  }
  EXPECT_EQ(Text(), "abcdefghij\n\tx\tyz");
  EXPECT_FALSE(buffer->CanUndo());
}

TEST_F(Indenting, TabInOverwriteModeMovesToTheNextStopWithoutChangingTheText) {
  Load("abcdefg\nab\tcd\nxy");
  view->SetOverwriteMode(true);
  Place(TextPosition(1, 0));
  Tab();
  EXPECT_EQ(Cursor(), TextPosition(4, 0));
  Tab(); // never past the line end
  EXPECT_EQ(Cursor(), TextPosition(7, 0));
  Place(TextPosition(1, 1));
  Tab(); // stops right after the tab it passes
  EXPECT_EQ(Cursor(), TextPosition(3, 1));
  EXPECT_EQ(Text(), "abcdefg\nab\tcd\nxy");
  Place(TextPosition(2, 2)); // at the line end overwrite mode inserts a tab as usual
  Tab();
  EXPECT_EQ(Text(), "abcdefg\nab\tcd\nxy\t");
}

} // namespace
