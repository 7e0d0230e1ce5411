// Bookmarks through the view's keys, and the key table that carries them.
#include <gtest/gtest.h>
#include <set>

#include "command_ids.h"
#include "view_key_table.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

class ViewBookmarks : public TextViewTest<> {
protected:
  void SetUp() override {
    std::string text;
    for (int i = 0; i < 10; ++i) text += "line " + std::to_string(i) + "\n";
    Load(text, 300, 150);
  }
  void GoTo(int line) { Place(TextPosition(3, line)); }
  // Goes to line and presses key there, with Ctrl unless told otherwise.
  void PressOn(int line, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    GoTo(line);
    Key(key, modifiers);
  }
  std::vector<int> LinesWith(uint32_t flag) const {
    std::vector<int> lines;
    for (int i = 0; i < buffer->LineCount(); ++i)
      if (buffer->LineFlags(i) & flag) lines.push_back(i);
    return lines;
  }
  bool Enabled(int id) {
    CCmdUIState state;
    EXPECT_TRUE(view.OnUpdateCmdUI(id, state));
    return state.enabled;
  }
  // The lines the cursor visits on count presses of key.
  std::vector<int> Visits(int count, Qt::KeyboardModifiers modifiers) {
    std::vector<int> lines;
    for (int i = 0; i < count; ++i) {
      Key(Qt::Key_F2, modifiers);
      lines.push_back(Cursor().y);
      EXPECT_EQ(Cursor().x, 0);
    }
    return lines;
  }
};

TEST_F(ViewBookmarks, ANumberedBookmarkLivesOnOneLineAndJumpsToItsStart) {
  PressOn(1, Qt::Key_3);
  EXPECT_EQ(LinesWith(LF_NUMBERED_BOOKMARK(3)), std::vector<int>{1});
  PressOn(4, Qt::Key_3);
  EXPECT_EQ(LinesWith(LF_NUMBERED_BOOKMARK(3)), std::vector<int>{4});
  Key(Qt::Key_3, Qt::ControlModifier);
  EXPECT_TRUE(LinesWith(LF_NUMBERED_BOOKMARK(3)).empty());

  PressOn(2, Qt::Key_5);
  Select(view, {0, 7}, {3, 7});
  Key(Qt::Key_5, Qt::AltModifier);
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
  EXPECT_EQ(view.GetAnchor(), TextPosition(0, 2));
  EXPECT_FALSE(view.HasSelection());
  PressOn(6, Qt::Key_8, Qt::AltModifier); // a bookmark that no line carries goes nowhere
  EXPECT_EQ(Cursor(), TextPosition(3, 6));

  // Clearing the numbered bookmarks leaves the others.
  PressOn(0, Qt::Key_0);
  PressOn(9, Qt::Key_9);
  Key(Qt::Key_F2, Qt::ControlModifier);
  ASSERT_TRUE(view.OnCmdMsg(Cmd::EDIT_CLEAR_BOOKMARKS));
  EXPECT_TRUE(LinesWith(0x3FF).empty());
  EXPECT_EQ(LinesWith(LF_BOOKMARK), std::vector<int>{9});
}

TEST_F(ViewBookmarks, NextAndPreviousWrapAroundTheText) {
  EXPECT_FALSE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  // The only marked line is found again from itself, both ways.
  PressOn(2, Qt::Key_F2);
  EXPECT_EQ(Visits(1, Qt::NoModifier), std::vector<int>{2});
  GoTo(2);
  EXPECT_EQ(Visits(1, Qt::ShiftModifier), std::vector<int>{2});
  Key(Qt::Key_F2, Qt::ControlModifier);

  for (int line : {1, 4, 7}) PressOn(line, Qt::Key_F2);
  EXPECT_EQ(LinesWith(LF_BOOKMARK), (std::vector<int>{1, 4, 7}));
  for (int id : {Cmd::EDIT_GOTO_NEXT_BOOKMARK, Cmd::EDIT_GOTO_PREV_BOOKMARK,
                 Cmd::EDIT_CLEAR_ALL_BOOKMARKS})
    EXPECT_TRUE(Enabled(id)) << id;
  GoTo(0);
  EXPECT_EQ(Visits(4, Qt::NoModifier), (std::vector<int>{1, 4, 7, 1}));
  EXPECT_EQ(Visits(3, Qt::ShiftModifier), (std::vector<int>{7, 4, 1}));
  // From an unmarked line the search starts on that line itself.
  GoTo(5);
  EXPECT_EQ(Visits(1, Qt::ShiftModifier), std::vector<int>{4});

  Key(Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(LinesWith(LF_BOOKMARK).empty());
  EXPECT_FALSE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  GoTo(5);
  Key(Qt::Key_F2);
  EXPECT_EQ(Cursor(), TextPosition(3, 5));
}

TEST_F(ViewBookmarks, BookmarksSetThroughAnotherViewCountHere) {
  CTestTextView other;
  other.AttachBuffer(buffer.get());
  other.PlaceCursor(TextPosition(0, 6));
  ASSERT_TRUE(other.OnCmdMsg(Cmd::EDIT_TOGGLE_BOOKMARK));
  EXPECT_TRUE(Enabled(Cmd::EDIT_GOTO_NEXT_BOOKMARK));
  GoTo(0);
  Key(Qt::Key_F2);
  EXPECT_EQ(Cursor(), TextPosition(0, 6));
}

TEST(ViewWithoutBuffer, BookmarkAndMoveCommandsDoNothingAndNoLineEndIsNamed) {
  CTestTextView view;
  ShowView(view, 200, 100);
  for (int id : {Cmd::EDIT_TOGGLE_BOOKMARK0, Cmd::EDIT_GO_BOOKMARK0, Cmd::EDIT_CLEAR_BOOKMARKS,
                 Cmd::EDIT_TOGGLE_BOOKMARK, Cmd::EDIT_GOTO_NEXT_BOOKMARK,
                 Cmd::EDIT_CLEAR_ALL_BOOKMARKS, Cmd::EDIT_CHAR_RIGHT, Cmd::EDIT_WORD_RIGHT,
                 Cmd::EDIT_LINE_DOWN, Cmd::EDIT_PAGE_DOWN, Cmd::EDIT_TEXT_END,
                 Cmd::EDIT_SELECT_ALL, Cmd::EDIT_COPY})
    EXPECT_TRUE(view.OnCmdMsg(id)) << id;
  EXPECT_EQ(view.GetCursorPosition(), TextPosition(0, 0));
  EXPECT_FALSE(view.HasSelection());
  EXPECT_FALSE(view.BookmarksExist());
  CCmdUIState lineEnds; // and no line-end style is named
  ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::INDICATOR_CRLF, lineEnds));
  EXPECT_FALSE(lineEnds.enabled || lineEnds.text.has_value());
}

TEST(ViewKeyTable, NoKeyIsBoundTwiceAndShiftTabArrivesAsBacktab) {
  std::size_t count = 0;
  const ViewKeyBinding* table = ViewKeyTable(count);
  std::set<std::pair<int, int>> keys;
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(keys.insert({table[i].key, table[i].modifiers.toInt()}).second)
        << "key " << table[i].key << " bound twice";
    EXPECT_EQ(LookupViewKey(table[i].key, table[i].modifiers), table[i].command);
  }
  EXPECT_EQ(LookupViewKey(Qt::Key_Backtab, Qt::ShiftModifier), Cmd::EDIT_UNTAB);
  EXPECT_EQ(LookupViewKey(Qt::Key_Backtab, Qt::NoModifier), Cmd::EDIT_UNTAB);
  EXPECT_EQ(LookupViewKey(Qt::Key_Left, Qt::KeypadModifier), Cmd::EDIT_CHAR_LEFT);
  EXPECT_EQ(LookupViewKey(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier), 0);
  EXPECT_EQ(LookupViewKey(Qt::Key_A, Qt::NoModifier), 0);
}

} // namespace
