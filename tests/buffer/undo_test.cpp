// Undo records, grouping, the limit, carets, descriptions, modified bookkeeping. Undo and Redo
// of arbitrary edits are checked against snapshots by the randomized model test.
#include <gtest/gtest.h>

#include <array>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

class UndoTest : public ::testing::Test {
protected:
  void SetUp() override { buffer.CreateEmpty(); }
  std::string Text() { return AllText(buffer, "|"); }
  // Types one key the way the editing view does: a space starts a group, any other character
  // merges into the group before it.
  void Type(char ch) {
    buffer.OpenUndoGroup(ch != ' ');
    int el, ec;
    ASSERT_TRUE(buffer.InsertText(nullptr, caret.y, caret.x, std::string(1, ch), el, ec, UndoAction::Typing));
    caret = {ec, el};
    buffer.CloseUndoGroup();
  }
  void Paste(std::string_view text) {
    buffer.OpenUndoGroup(false);
    int el, ec;
    ASSERT_TRUE(buffer.InsertText(nullptr, caret.y, caret.x, text, el, ec, UndoAction::Paste));
    caret = {ec, el};
    buffer.CloseUndoGroup();
  }
  void Save(const std::string& name = "s.inf", bool clearModified = true) {
    ASSERT_TRUE(buffer.Save(dir.File(name), LineEndStyle::Automatic, clearModified));
  }
  CCrystalTextBuffer buffer;
  TextPosition caret;
  TempDir dir;
};

TEST_F(UndoTest, TypingPastingAndUndoingFormTheExpectedGroups) {
  // Keys as typed ('#' pastes "pasted", '<' is Undo); the text then; the text after each Undo.
  struct Row {
    const char* keys;
    std::string text;
    Strings undone;
  };
  const Row rows[] = {
      {"ab cd", "ab cd", {"ab", ""}}, // groups break at spaces; the first merges into nothing
      {"#x", "pastedx", {""}},        // typing after a paste joins the paste group
      {"a b<c", "ac", {""}},          // after Undo, typing joins the group now last
      {"#<#", "pasted", {""}},        // any new change drops the redo tail
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.keys);
    buffer.CreateEmpty();
    caret = {};
    for (const char* k = row.keys; *k; ++k) {
      if (*k == '<')
        ASSERT_TRUE(buffer.Undo(caret));
      else if (*k == '#')
        Paste("pasted");
      else
        Type(*k);
    }
    EXPECT_EQ(Text(), row.text);
    EXPECT_FALSE(buffer.CanRedo());
    for (const std::string& text : row.undone) {
      ASSERT_TRUE(buffer.Undo(caret));
      EXPECT_EQ(Text(), text);
    }
    EXPECT_FALSE(buffer.CanUndo());
  }
}

TEST_F(UndoTest, OnEditPerformedRunsWithTheGroupOpenAndItsInsertionStartsAGroup) {
  // The editing view's automatic indentation: Enter on an indented line.
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "\tindented", el, ec);
  caret = {ec, el};
  RecordingView view(&buffer);
  view.onEdit = [&](UndoAction action, std::string_view text) {
    if (action == UndoAction::Typing && text == "\r\n") {
      int l, c;
      ASSERT_TRUE(buffer.InsertText(&view, caret.y, caret.x, "\t", l, c, UndoAction::AutoIndent));
      caret = {c, l};
    }
  };
  buffer.AttachView(&view);
  buffer.OpenUndoGroup(false); // Enter starts a group
  ASSERT_TRUE(buffer.InsertText(&view, caret.y, caret.x, "\r\n", el, ec, UndoAction::Typing));
  caret = {ec, el};
  buffer.CloseUndoGroup(&view);
  EXPECT_FALSE(buffer.IsUndoGroupOpen());
  ASSERT_EQ(view.edits.size(), 1u); // the nested insertion was inside the open group
  EXPECT_TRUE(view.edits[0].groupOpen);
  EXPECT_EQ(view.edits[0].text, "\r\n");
  EXPECT_EQ(Text(), "\tindented|\t");
  EXPECT_EQ(buffer.UndoDescription(), "Auto Indent");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "\tindented|");
  EXPECT_EQ(buffer.UndoDescription(), "Typing");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "\tindented");
}

TEST_F(UndoTest, StandaloneEditsCloseTheirGroupWithTheSourceView) {
  RecordingView view(&buffer);
  int el, ec;
  buffer.InsertText(&view, 0, 0, "abc", el, ec, UndoAction::Paste);
  buffer.DeleteText(&view, 0, 0, 0, 1, UndoAction::Delete);
  buffer.InsertText(nullptr, 0, 0, "q", el, ec); // no view: no call
  ASSERT_EQ(view.edits.size(), 2u);
  EXPECT_EQ(view.edits[0].action, UndoAction::Paste);
  EXPECT_EQ(view.edits[0].text, "abc");
  EXPECT_EQ(view.edits[1].action, UndoAction::Delete);
  EXPECT_EQ(view.edits[1].text, "a");
  EXPECT_TRUE(view.edits[1].groupOpen);
}

TEST_F(UndoTest, CaretGoesAfterTheRestoredTextAndAfterTheRedoneGroupButNotOnAReadOnlyText) {
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "hello\r\nworld", el, ec);
  buffer.DeleteText(nullptr, 0, 2, 1, 3, UndoAction::DeleteSelection);
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(3, 1));
  EXPECT_EQ(Text(), "hello|world");
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(2, 0));
  EXPECT_EQ(Text(), "held");
  caret = {4, 0};
  for (char ch : std::string(" bc")) Type(ch); // a group of its own
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(4, 0));
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(7, 0));
  ASSERT_TRUE(buffer.Undo(caret));
  buffer.SetReadOnly(true);
  EXPECT_FALSE(buffer.Undo(caret));
  EXPECT_FALSE(buffer.Redo(caret));
  EXPECT_EQ(Text(), "held");
  EXPECT_EQ(buffer.UndoPosition(), 2);
}

TEST(UndoLimit, OldGroupsGoWholeButNeverTheOneBeingRecorded) {
  // {single-record groups, then records in one group (a block Tab over many lines), then
  // single-record groups; records kept; text length after one Undo; undo possible then}
  struct Row {
    int before, inGroup, after, kept, lengthAfterUndo;
    bool canUndo;
  };
  for (const Row& row : {Row{1030, 0, 0, 1024, 1029, true}, Row{0, 1024, 1, 1, 1024, false},
                         Row{100, 2000, 0, 2000, 100, false}, Row{100, 2000, 1, 1, 2100, false}}) {
    SCOPED_TRACE(std::to_string(row.before) + " " + std::to_string(row.inGroup));
    CCrystalTextBuffer buffer;
    buffer.CreateEmpty();
    int el, ec;
    for (int i = 0; i < row.before; ++i) buffer.InsertText(nullptr, 0, 0, "p", el, ec);
    buffer.OpenUndoGroup(false);
    for (int i = 0; i < row.inGroup; ++i) buffer.InsertText(nullptr, 0, 0, "x", el, ec, UndoAction::Indent);
    buffer.CloseUndoGroup();
    for (int i = 0; i < row.after; ++i) buffer.InsertText(nullptr, 0, 0, "y", el, ec);
    EXPECT_EQ(buffer.UndoRecordCount(), row.kept);
    EXPECT_TRUE(buffer.UndoRecordAt(0)->StartsGroup());
    TextPosition caret;
    ASSERT_TRUE(buffer.Undo(caret));
    EXPECT_EQ(buffer.LineLength(0), row.lengthAfterUndo);
    EXPECT_EQ(buffer.CanUndo(), row.canUndo);
  }
}

TEST_F(UndoTest, DescriptionsNameTheGroupsFirstRecord) {
  EXPECT_EQ(buffer.UndoDescription(), "");
  EXPECT_EQ(buffer.RedoDescription(), "");
  buffer.OpenUndoGroup(false);
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "abc", el, ec, UndoAction::Replace);
  buffer.DeleteText(nullptr, 0, 0, 0, 1, UndoAction::Delete);
  buffer.CloseUndoGroup();
  EXPECT_EQ(buffer.UndoDescription(), "Replace");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(buffer.RedoDescription(), "Replace");
  EXPECT_EQ(buffer.UndoDescription(), "");
  const char* const names[] = {"Unknown", "Paste", "Delete Selection", "Cut", "Typing", "Backspace",
                               "Indent", "Drag And Drop", "Replace", "Delete", "Auto Indent"};
  std::string text;
  for (int action = 0; action < 11; ++action) {
    EXPECT_TRUE(buffer.ActionDescription(static_cast<UndoAction>(action), text));
    EXPECT_EQ(text, names[action]);
  }
  for (int action : {11, -1}) {
    EXPECT_FALSE(buffer.ActionDescription(static_cast<UndoAction>(action), text));
    EXPECT_EQ(text, "");
  }
}

TEST_F(UndoTest, UndoAndRedoToTheSavedTextClearModifiedWhileItCanBeReached) {
  Paste("a");
  Save();
  EXPECT_FALSE(buffer.IsModified());
  Paste("b");
  EXPECT_TRUE(buffer.IsModified());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_FALSE(buffer.IsModified());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_TRUE(buffer.IsModified());
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_FALSE(buffer.IsModified());
  Paste("c");
  Save("copy.inf", false); // a copy saved elsewhere leaves the document modified
  EXPECT_TRUE(buffer.IsModified());
  EXPECT_EQ(buffer.SavedPosition(), 1);
  // Records dropped at the limit below the saved position move it down with them.
  for (int i = 0; i < 1023; ++i) Paste("n");
  EXPECT_EQ(buffer.SavedPosition(), 0);
  while (buffer.CanUndo()) ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "a");
  EXPECT_FALSE(buffer.IsModified());
  // A change after Undo drops the redo tail: when the saved text lay in it, nothing leads back.
  ASSERT_TRUE(buffer.Redo(caret));
  Save();
  ASSERT_TRUE(buffer.Undo(caret));
  Paste("x");
  EXPECT_EQ(buffer.SavedPosition(), -1);
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_TRUE(buffer.IsModified());
}

} // namespace
