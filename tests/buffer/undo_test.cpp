// Undo grouping, the limit, carets, descriptions, modified bookkeeping (beside the model test).
#include <gtest/gtest.h>

#include <array>

#include "buffer_test_support.h"

namespace {

class UndoTest : public ::testing::Test {
protected:
  void SetUp() override { buffer.CreateEmpty(); }
  std::string Text() { return AllText(buffer, "|"); }
  void Put(std::string_view text, UndoAction action = UndoAction::Typing) {
    buffer.OpenUndoGroup(action == UndoAction::Typing && text != " ");
    ASSERT_TRUE(Insert(buffer, caret.y, caret.x, text, action, nullptr, &caret));
    buffer.CloseUndoGroup();
  }
  CTextBuffer buffer;
  TextPosition caret;
};

TEST_F(UndoTest, TypingPastingAndUndoingFormTheExpectedGroupsNamedByTheirFirstRecord) {
  const std::tuple<const char*, std::string, std::string, std::vector<std::string>> rows[] = {
      {"ab cd", "ab cd", "Typing", {"ab", ""}}, // groups break at spaces; the first merges into nothing
      {"#x", "pastedx", "Paste", {""}},         // typing after a paste joins the paste group
      {"a b<c", "ac", "Typing", {""}},          // after Undo, typing joins the group now last
      {"#<#", "pasted", "Paste", {""}},         // any new change drops the redo tail
  };
  for (const auto& [keys, text, name, undone] : rows) {
    SCOPED_TRACE(keys);
    buffer.CreateEmpty();
    caret = {};
    for (const char* k = keys; *k; ++k) {
      const bool paste = *k == '#';
      if (*k == '<')
        ASSERT_TRUE(buffer.Undo(caret));
      else
        Put(paste ? "pasted" : std::string(1, *k), paste ? UndoAction::Paste : UndoAction::Typing);
    }
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(buffer.UndoDescription(), name);
    EXPECT_EQ(buffer.RedoDescription(), ""); // nothing to redo
    for (const std::string& left : undone) {
      ASSERT_TRUE(buffer.Undo(caret));
      EXPECT_EQ(Text(), left);
    }
    EXPECT_EQ(buffer.UndoDescription(), ""); // nothing to undo
    EXPECT_EQ(buffer.RedoDescription(), name);
  }
}

TEST_F(UndoTest, OnEditPerformedRunsWithTheGroupOpenAndItsInsertionStartsAGroup) {
  Put("\tindented", UndoAction::Paste);
  RecordingView view(&buffer);
  view.onEdit = [&](UndoAction action, std::string_view text) {
    if (action == UndoAction::Typing && text == "\r\n")
      Insert(buffer, caret.y, caret.x, "\t", UndoAction::AutoIndent, &view, &caret);
  };
  buffer.OpenUndoGroup(false); // Enter starts a group
  ASSERT_TRUE(Insert(buffer, caret.y, caret.x, "\r\n", UndoAction::Typing, &view, &caret));
  buffer.CloseUndoGroup(&view);
  for (const char* textAndGroup : {"\tindented|\t Auto Indent", "\tindented| Typing"}) {
    EXPECT_EQ(Text() + " " + buffer.UndoDescription(), textAndGroup);
    ASSERT_TRUE(buffer.Undo(caret));
  }
  EXPECT_EQ(Text(), "\tindented");
  ASSERT_TRUE(buffer.DeleteText(&view, 0, 0, 0, 1, UndoAction::Delete));
  ASSERT_TRUE(Insert(buffer, 0, 0, "q"));
  ASSERT_EQ(view.edits.size(), 2u); // not the indentation, made inside the open group
  EXPECT_TRUE(view.edits[0].action == UndoAction::Typing && view.edits[0].text == "\r\n" && view.edits[0].groupOpen);
  EXPECT_TRUE(view.edits[1].action == UndoAction::Delete && view.edits[1].text == "\t" && view.edits[1].groupOpen);
}

TEST_F(UndoTest, CaretGoesAfterTheRestoredTextAndAfterTheRedoneGroupButNotOnAReadOnlyText) {
  ASSERT_TRUE(Insert(buffer, 0, 0, "hello\r\nworld"));
  ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 2, 1, 3, UndoAction::DeleteSelection));
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(3, 1));
  EXPECT_EQ(Text(), "hello|world");
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(2, 0));
  EXPECT_EQ(Text(), "held");
  caret = {4, 0};
  for (const char* key : {" ", "b", "c"}) Put(key); // a group of its own
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(4, 0));
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(7, 0));
  ASSERT_TRUE(buffer.Undo(caret));
  buffer.SetReadOnly(true);
  EXPECT_FALSE(buffer.Undo(caret) || buffer.Redo(caret));
  EXPECT_EQ(Text(), "held");
}

TEST_F(UndoTest, OldGroupsGoWholeAtTheLimitButNeverTheOneBeingRecorded) {
  for (auto [before, inGroup, after, kept, lengthAfterUndo, canUndo] :
       {std::array{1030, 0, 0, 1024, 1029, 1}, {0, 1024, 1, 1, 1024, 0}, {100, 2000, 0, 2000, 100, 0},
        {100, 2000, 1, 1, 2100, 0}}) {
    SCOPED_TRACE(std::to_string(before) + " " + std::to_string(inGroup));
    buffer.CreateEmpty();
    for (int i = 0; i < before; ++i) Insert(buffer, 0, 0, "p");
    buffer.OpenUndoGroup(false);
    for (int i = 0; i < inGroup; ++i) Insert(buffer, 0, 0, "x", UndoAction::Indent);
    buffer.CloseUndoGroup();
    for (int i = 0; i < after; ++i) Insert(buffer, 0, 0, "y");
    EXPECT_EQ(buffer.UndoRecordCount(), kept);
    EXPECT_TRUE(buffer.UndoRecordAt(0)->StartsGroup());
    ASSERT_TRUE(buffer.Undo(caret));
    EXPECT_EQ(buffer.LineLength(0), lengthAfterUndo);
    EXPECT_EQ(buffer.CanUndo(), canUndo == 1);
  }
}

TEST_F(UndoTest, UndoAndRedoToTheSavedTextClearModifiedWhileItCanBeReached) {
  TempDir dir;
  auto modifiedAfter = [&](bool done) { EXPECT_TRUE(done); return buffer.IsModified(); };
  Put("a", UndoAction::Paste);
  EXPECT_FALSE(modifiedAfter(buffer.Save(dir.File("s.inf"))));
  Put("b", UndoAction::Paste);
  EXPECT_TRUE(buffer.IsModified());
  EXPECT_FALSE(modifiedAfter(buffer.Undo(caret)));
  EXPECT_TRUE(modifiedAfter(buffer.Undo(caret)));
  EXPECT_FALSE(modifiedAfter(buffer.Redo(caret)));
  Put("c", UndoAction::Paste); // a copy saved elsewhere leaves the document modified
  EXPECT_TRUE(modifiedAfter(buffer.Save(dir.File("copy.inf"), LineEndStyle::Automatic, false)));
  EXPECT_EQ(buffer.SavedPosition(), 1);
  for (int i = 0; i < 1023; ++i) Put("n", UndoAction::Paste);
  EXPECT_EQ(buffer.SavedPosition(), 0);
  while (buffer.CanUndo()) ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "a");
  EXPECT_FALSE(buffer.IsModified());
  ASSERT_TRUE(buffer.Redo(caret) && buffer.Save(dir.File("s.inf")) && buffer.Undo(caret));
  Put("x", UndoAction::Paste);
  EXPECT_EQ(buffer.SavedPosition(), -1);
  EXPECT_TRUE(modifiedAfter(buffer.Undo(caret)));
}

} // namespace
