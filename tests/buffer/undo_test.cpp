// Undo records, grouping, the limit, Undo and Redo, descriptions, modified bookkeeping.
#include <gtest/gtest.h>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// Types one key the way the editing view does: a space starts a group, any other
// character merges into the group before it.
void Type(CCrystalTextBuffer& buffer, TextPosition& caret, char ch, CBufferView* view = nullptr) {
  buffer.OpenUndoGroup(ch != ' ');
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(view, caret.y, caret.x, std::string(1, ch), el, ec,
                                UndoAction::Typing));
  caret = {ec, el};
  buffer.CloseUndoGroup(view);
}

void Paste(CCrystalTextBuffer& buffer, TextPosition& caret, std::string_view text) {
  buffer.OpenUndoGroup(false);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, caret.y, caret.x, text, el, ec, UndoAction::Paste));
  caret = {ec, el};
  buffer.CloseUndoGroup();
}

class UndoTest : public ::testing::Test {
protected:
  void SetUp() override { buffer.CreateEmpty(); }
  std::string Text() { return AllText(buffer, "|"); }
  CCrystalTextBuffer buffer;
  TextPosition caret;
};

// ---------------------------------------------------------------------------------------
// Records

TEST_F(UndoTest, RecordsHoldPositionsActionAndText) {
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "ab\r\ncd", el, ec, UndoAction::Paste);
  buffer.DeleteText(nullptr, 0, 1, 1, 1, UndoAction::Cut);
  ASSERT_EQ(buffer.UndoRecordCount(), 2);
  const UndoRecord* ins = buffer.UndoRecordAt(0);
  EXPECT_TRUE(ins->IsInsert());
  EXPECT_TRUE(ins->StartsGroup());
  EXPECT_EQ(ins->Start(), TextPosition(0, 0));
  EXPECT_EQ(ins->End(), TextPosition(2, 1));
  EXPECT_EQ(ins->Action(), UndoAction::Paste);
  EXPECT_EQ(ins->Text(), "ab\r\ncd");
  const UndoRecord* del = buffer.UndoRecordAt(1);
  EXPECT_FALSE(del->IsInsert());
  EXPECT_EQ(del->Text(), "b\r\nc"); // CR LF between lines
  EXPECT_EQ(del->Action(), UndoAction::Cut);
  EXPECT_EQ(buffer.UndoRecordAt(2), nullptr);
}

TEST_F(UndoTest, OneCharacterTextsAreHeldInline) {
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "x", el, ec);
  buffer.InsertText(nullptr, 0, 1, "a longer text", el, ec);
  EXPECT_TRUE(buffer.UndoRecordAt(0)->TextIsInline());
  EXPECT_FALSE(buffer.UndoRecordAt(1)->TextIsInline());
  EXPECT_EQ(buffer.UndoRecordAt(0)->Text(), "x");
}

TEST_F(UndoTest, EmptyTextStoresNothingAndRestoresNothing) {
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "abc", el, ec);
  ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 0, 1));
  EXPECT_EQ(buffer.UndoRecordAt(1)->Text(), "");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(caret, TextPosition(1, 0));
}

// ---------------------------------------------------------------------------------------
// Grouping

TEST_F(UndoTest, TypingGroupsBreakAtSpaces) {
  for (char ch : std::string("ab cd")) Type(buffer, caret, ch);
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "ab");
  EXPECT_EQ(caret, TextPosition(2, 0));
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(caret, TextPosition(0, 0));
  EXPECT_FALSE(buffer.CanUndo());
}

TEST_F(UndoTest, TypingAfterAPasteJoinsThePasteGroup) {
  Paste(buffer, caret, "pasted");
  Type(buffer, caret, 'x');
  EXPECT_EQ(buffer.UndoDescription(), "Paste");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_EQ(buffer.RedoDescription(), "Paste");
}

TEST_F(UndoTest, TypingAfterUndoJoinsTheGroupNowLast) {
  Type(buffer, caret, 'a');
  Type(buffer, caret, ' ');
  Type(buffer, caret, 'b');
  ASSERT_TRUE(buffer.Undo(caret)); // removes " b"
  Type(buffer, caret, 'c');        // merges into the "a" group; the redo tail goes
  EXPECT_FALSE(buffer.CanRedo());
  EXPECT_EQ(Text(), "ac");
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "");
}

TEST_F(UndoTest, AnyNewChangeDropsTheRedoTail) {
  Paste(buffer, caret, "one");
  Paste(buffer, caret, "two");
  ASSERT_TRUE(buffer.Undo(caret));
  ASSERT_TRUE(buffer.CanRedo());
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "!", el, ec);
  EXPECT_FALSE(buffer.CanRedo());
  EXPECT_EQ(buffer.UndoRecordCount(), 2);
}

TEST_F(UndoTest, MergeIntoNothingStartsAGroup) {
  buffer.OpenUndoGroup(true);
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "x", el, ec);
  buffer.CloseUndoGroup();
  EXPECT_TRUE(buffer.UndoRecordAt(0)->StartsGroup());
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

// ---------------------------------------------------------------------------------------
// Caret results

TEST_F(UndoTest, UndoOfADeletionPutsTheCaretAfterTheRestoredText) {
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "hello\r\nworld", el, ec);
  buffer.DeleteText(nullptr, 0, 2, 1, 3, UndoAction::DeleteSelection);
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(3, 1));
  EXPECT_EQ(Text(), "hello|world");
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(2, 0));
  EXPECT_EQ(Text(), "held");
}

TEST_F(UndoTest, RedoPutsTheCaretAfterTheGroupsLastChange) {
  Type(buffer, caret, 'a');
  Type(buffer, caret, 'b');
  Type(buffer, caret, 'c');
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(0, 0));
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(caret, TextPosition(3, 0));
  EXPECT_FALSE(buffer.CanRedo());
}

// ---------------------------------------------------------------------------------------
// The limit

TEST_F(UndoTest, LimitDropsTheOldestGroup) {
  Paste(buffer, caret, "first");
  for (int i = 0; i < CCrystalTextBuffer::UNDO_LIMIT - 1; ++i) Paste(buffer, caret, "-");
  ASSERT_EQ(buffer.UndoRecordCount(), CCrystalTextBuffer::UNDO_LIMIT);
  Paste(buffer, caret, "!");
  EXPECT_EQ(buffer.UndoRecordCount(), CCrystalTextBuffer::UNDO_LIMIT);
  EXPECT_EQ(buffer.UndoRecordAt(0)->Text(), "-");
  while (buffer.CanUndo()) ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), "first"); // that group can no longer be undone
}

TEST_F(UndoTest, AFullGroupIsDroppedWholeByTheNextRecord) {
  buffer.OpenUndoGroup(false);
  int el, ec;
  for (int i = 0; i < CCrystalTextBuffer::UNDO_LIMIT; ++i)
    buffer.InsertText(nullptr, 0, 0, "x", el, ec, UndoAction::Typing);
  buffer.CloseUndoGroup();
  ASSERT_EQ(buffer.UndoRecordCount(), CCrystalTextBuffer::UNDO_LIMIT);
  buffer.InsertText(nullptr, 0, 0, "y", el, ec, UndoAction::Paste);
  ASSERT_EQ(buffer.UndoRecordCount(), 1);
  EXPECT_TRUE(buffer.UndoRecordAt(0)->StartsGroup());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(buffer.LineLength(0), CCrystalTextBuffer::UNDO_LIMIT);
  EXPECT_FALSE(buffer.CanUndo());
}

TEST_F(UndoTest, AGroupGrowingPastTheLimitLosesItsBeginning) {
  buffer.OpenUndoGroup(false);
  int el, ec;
  for (int i = 0; i < CCrystalTextBuffer::UNDO_LIMIT + 10; ++i)
    buffer.InsertText(nullptr, 0, 0, "x", el, ec, UndoAction::Typing);
  buffer.CloseUndoGroup();
  // Record 1025 found the list full of one group and dropped all of it, then started the
  // list afresh; the last ten records form what is left of the group.
  ASSERT_EQ(buffer.UndoRecordCount(), 10);
  EXPECT_TRUE(buffer.UndoRecordAt(0)->StartsGroup());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(buffer.LineLength(0), CCrystalTextBuffer::UNDO_LIMIT);
  EXPECT_FALSE(buffer.CanUndo());
}

// ---------------------------------------------------------------------------------------
// Descriptions

TEST(UndoDescriptions, EveryActionHasItsString) {
  CCrystalTextBuffer buffer;
  const std::pair<UndoAction, const char*> table[] = {
      {UndoAction::Unknown, "Unknown"},       {UndoAction::Paste, "Paste"},
      {UndoAction::DeleteSelection, "Delete Selection"},
      {UndoAction::Cut, "Cut"},               {UndoAction::Typing, "Typing"},
      {UndoAction::Backspace, "Backspace"},   {UndoAction::Indent, "Indent"},
      {UndoAction::DragAndDrop, "Drag And Drop"},
      {UndoAction::Replace, "Replace"},       {UndoAction::Delete, "Delete"},
      {UndoAction::AutoIndent, "Auto Indent"},
  };
  for (auto [action, name] : table) {
    std::string text;
    EXPECT_TRUE(buffer.ActionDescription(action, text));
    EXPECT_EQ(text, name);
  }
  std::string text = "stale";
  EXPECT_FALSE(buffer.ActionDescription(static_cast<UndoAction>(11), text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(buffer.ActionDescription(static_cast<UndoAction>(-1), text));
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
}

// ---------------------------------------------------------------------------------------
// Modified bookkeeping and the saved position

class SavedPositionTest : public UndoTest {
protected:
  void Save() { ASSERT_TRUE(buffer.Save(dir.File("s.inf"))); }
  TempDir dir;
};

TEST_F(SavedPositionTest, UndoBackToTheSavedTextClearsModified) {
  Paste(buffer, caret, "a");
  Save();
  EXPECT_FALSE(buffer.IsModified());
  EXPECT_EQ(buffer.SavedPosition(), 1);
  Paste(buffer, caret, "b");
  EXPECT_TRUE(buffer.IsModified());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_FALSE(buffer.IsModified());
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_TRUE(buffer.IsModified());
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_FALSE(buffer.IsModified());
}

TEST_F(SavedPositionTest, SaveWithoutClearingKeepsModified) {
  Paste(buffer, caret, "a");
  ASSERT_TRUE(buffer.Save(dir.File("copy.inf"), LineEndStyle::Automatic, false));
  EXPECT_TRUE(buffer.IsModified());
  EXPECT_EQ(buffer.SavedPosition(), 0);
}

TEST_F(SavedPositionTest, ADroppedRedoTailHoldingTheSavedTextMakesItUnreachable) {
  // Fault in the spec: save "a", undo, type "b": the undo position comes back to the saved
  // one with different text, and a later Redo would clear the modified state.
  Paste(buffer, caret, "a");
  Save();
  ASSERT_TRUE(buffer.Undo(caret));
  Paste(buffer, caret, "b");
  EXPECT_EQ(buffer.SavedPosition(), -1);
  ASSERT_TRUE(buffer.Undo(caret));
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(Text(), "b");
  EXPECT_TRUE(buffer.IsModified());
}

TEST_F(SavedPositionTest, TheSavedPositionMovesWithRecordsDroppedAtTheLimit) {
  for (int i = 0; i < 10; ++i) Paste(buffer, caret, "o");
  Save();
  for (int i = 0; i < CCrystalTextBuffer::UNDO_LIMIT; ++i) Paste(buffer, caret, "n");
  EXPECT_EQ(buffer.SavedPosition(), 0); // ten records dropped below it
  while (buffer.CanUndo()) ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(Text(), std::string(10, 'o'));
  EXPECT_FALSE(buffer.IsModified());
  Paste(buffer, caret, "x");
  for (int i = 0; i < CCrystalTextBuffer::UNDO_LIMIT; ++i) Paste(buffer, caret, "n");
  EXPECT_EQ(buffer.SavedPosition(), -1); // the saved text itself fell off the list
}

TEST_F(UndoTest, ReadOnlyBufferRefusesUndoAndRedo) {
  Paste(buffer, caret, "a");
  Paste(buffer, caret, "b");
  ASSERT_TRUE(buffer.Undo(caret));
  buffer.SetReadOnly(true);
  EXPECT_FALSE(buffer.Undo(caret));
  EXPECT_FALSE(buffer.Redo(caret));
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(buffer.UndoPosition(), 1);
}

// ---------------------------------------------------------------------------------------
// Lines that hold CR bytes of their own (loaded files) come back exactly

TEST(UndoOfLoadedText, DeletedLinesWithStrayCrsAreRestoredAsTheyWere) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, "one\ntwo\r\nthree\rx\n\rlast"));
  ASSERT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  const Strings before = Lines(buffer);
  ASSERT_EQ(before, (Strings{"one", "two\r", "three\rx", "\rlast"}));
  ASSERT_TRUE(buffer.DeleteText(nullptr, 2, 2, 2, 6)); // "ree\r" from one line
  ASSERT_EQ(Lines(buffer)[2], "thx");
  ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 3, 2)); // across the lines holding CRs
  ASSERT_EQ(Lines(buffer), (Strings{"oast"}));
  TextPosition caret;
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(2, 3));
  ASSERT_TRUE(buffer.Undo(caret));
  EXPECT_EQ(caret, TextPosition(6, 2));
  EXPECT_EQ(Lines(buffer), before);
  ASSERT_TRUE(buffer.Redo(caret));
  ASSERT_TRUE(buffer.Redo(caret));
  EXPECT_EQ(Lines(buffer), (Strings{"oast"}));
}

} // namespace
