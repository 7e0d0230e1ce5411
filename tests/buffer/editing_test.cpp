// Editing beside the model test: aliased text, indices, the modified hook, views, line flags.
#include <gtest/gtest.h>

#include <array>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

TEST(Editing, TextTakenFromTheLineItGoesIntoIsCopiedBeforeTheLineGrows) {
  CTextBuffer buffer;
  buffer.CreateEmpty();
  ASSERT_TRUE(Insert(buffer, 0, 0, "abcdefghijklmno"));
  ASSERT_EQ(buffer.LineCapacity(0), 16);
  ASSERT_TRUE(Insert(buffer, 0, 15, std::string_view(buffer.LineChars(0), 15)));
  EXPECT_EQ(Lines(buffer), (Strings{"abcdefghijklmnoabcdefghijklmno"}));
  TempDir dir;
  ASSERT_TRUE(LoadBytes(buffer, dir, "0123456789ab\rcd\n"));
  ASSERT_TRUE(Insert(buffer, 0, 15, std::string_view(buffer.LineChars(0), 15)));
  EXPECT_EQ(Lines(buffer), (Strings{"0123456789ab\rcd0123456789ab", "cd", ""}));
}

TEST(Editing, InvalidIndicesStopDebugBuildsAndAreRefusedInRelease) {
  CTextBuffer buffer;
  buffer.CreateEmpty();
  ASSERT_TRUE(Insert(buffer, 0, 0, "abc\rde"));
  RecordingView view(&buffer);
  for (TextPosition at : {TextPosition(0, 2), TextPosition(0, -1), TextPosition(3, 1), TextPosition(-1, 0)})
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(Insert(buffer, at.y, at.x, "x")), "broken promise");
  for (auto [sl, sc, e_l, e_c] : {std::array{0, 0, 1, 3}, {0, 0, 5, 0}, {1, 1, 0, 2}})
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(buffer.DeleteText(nullptr, sl, sc, e_l, e_c)), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_EQ(buffer.LineLength(2), 0), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_STREQ(buffer.LineChars(-1), ""), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_EQ(buffer.GetText(0, 0, 9, 9, "|"), "abc|de"), "broken promise");
  EXPECT_DEBUG_DEATH(buffer.SetLineFlag(2, LF_BOOKMARK, true), "broken promise");
  buffer.SetReadOnly(true);
  EXPECT_FALSE(Insert(buffer, 0, 0, "x") || buffer.DeleteText(nullptr, 0, 0, 0, 2));
  EXPECT_EQ(Lines(buffer), (Strings{"abc", "de"}));
  EXPECT_TRUE(buffer.UndoRecordCount() == 1 && view.changes.empty());
}

TEST(Editing, EveryChangeMarksModifiedWhileTheFlagIsClearAndANewTextStartsAfresh) {
  struct CountingBuffer : CTextBuffer {
    std::vector<bool> marks;
    bool store = true;
    void MarkModified(bool modified) override {
      marks.push_back(modified);
      if (store) CTextBuffer::MarkModified(modified);
    }
  } buffer, doc;
  doc.store = false;
  for (CountingBuffer* b : {&buffer, &doc}) {
    b->CreateEmpty();
    Insert(*b, 0, 0, "ab");
    b->DeleteText(nullptr, 0, 0, 0, 1);
  }
  EXPECT_EQ(buffer.marks, (std::vector<bool>{true}));
  EXPECT_EQ(doc.marks, (std::vector<bool>{true, true}));
  ASSERT_TRUE(buffer.CreateEmpty(LineEndStyle::Mac));
  EXPECT_TRUE(Lines(buffer) == Strings{""} && buffer.GetLineEndStyle() == LineEndStyle::Mac);
  EXPECT_FALSE(buffer.CanUndo() || buffer.IsModified());
  Insert(buffer, 0, 0, "x");
  buffer.Clear();
  EXPECT_FALSE(buffer.IsInitialised() || buffer.LineCount());
  TextPosition caret;
  EXPECT_FALSE(buffer.CanUndo() || buffer.Undo(caret));
}

TEST(Views, NotifiedInAttachOrderFreeToDetachWhileNotifiedAndToldOfTheBuffersEnd) {
  CTextBuffer buffer;
  buffer.CreateEmpty();
  std::vector<int> order;
  RecordingView a(&buffer), b(&buffer), c(&buffer);
  b.onChange = [&] { order.push_back(2); };
  c.onChange = [&] { order.push_back(3); };
  buffer.NotifyViews(nullptr, nullptr, UPD_LINE_COUNT, 3);
  EXPECT_EQ(order, (std::vector<int>{2, 3}));
  a.onChange = [&] { buffer.DetachView(&a); buffer.DetachView(&b); };
  Insert(buffer, 0, 0, "x");
  buffer.DetachView(&a); // not attached any more: nothing happens
  Insert(buffer, 0, 0, "y");
  EXPECT_EQ(order, (std::vector<int>{2, 3, 3, 3}));
  EXPECT_EQ(a.changes.size(), 2u);
  auto* gone = new CTextBuffer;
  RecordingView attached(gone), detached; // detached does not leave the buffer itself
  gone->AttachView(&detached);
  gone->DetachView(&detached);
  int told = 0;
  attached.onDestroyed = [&] { ++told, gone->DetachView(&attached); }; // still allowed then
  detached.onDestroyed = [&] { told += 10; };
  delete gone;
  EXPECT_EQ(told, 1);
}

TEST(LineFlags, StayWithTheirLinesAndNumberedBookmarksMove) {
  CTextBuffer buffer;
  buffer.CreateEmpty();
  ASSERT_TRUE(Insert(buffer, 0, 0, "first\rsecond\rthird\r4\r5\r6\r7\r8"));
  RecordingView view(&buffer);
  buffer.SetLineFlag(0, LF_BOOKMARK | LF_HIGHLIGHT1, true); // not a single bit
  buffer.SetLineFlag(0, 0, true);
  buffer.SetLineFlag(-1, LF_BOOKMARK, false); // -1: the first line with it; there is none
  buffer.SetLineFlag(1, LF_BOOKMARK, false);  // already clear
  EXPECT_TRUE(view.changes.empty());
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK | LF_HIGHLIGHT1), -1);
  buffer.SetLineFlag(0, LF_BOOKMARK, true, false);
  buffer.SetLineFlag(1, LF_HIGHLIGHT1, true, false);
  buffer.SetLineFlag(5, LF_NUMBERED_BOOKMARK(4), true);
  buffer.SetLineFlag(2, LF_NUMBERED_BOOKMARK(4), true); // moves from line 5, told first
  ASSERT_EQ(view.changes.size(), 5u);
  EXPECT_TRUE(view.changes[3].line == 5 && view.changes[4].line == 2);
  EXPECT_EQ(view.changes[4].hints, UPD_SINGLE_LINE | UPD_LINE_ATTR);
  buffer.SetLineFlag(-1, LF_HIGHLIGHT1, false);
  buffer.SetLineFlag(1, LF_MARGIN_MARK, true, false);
  buffer.SetLineFlag(7, LF_BOOKMARK, true, false);
  ASSERT_TRUE(Insert(buffer, 0, 2, "\r\n\r\n")); // split line 0
  const uint32_t split[] = {0x80000, 0, 0, 0x40000, 0x10, 0, 0, 0, 0, 0x80000};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buffer.LineFlags(i), split[i]) << i;
  ASSERT_TRUE(buffer.DeleteText(nullptr, 2, 1, 4, 1)); // join lines 2..4: line 2's flags stay
  EXPECT_TRUE(buffer.LineFlags(2) == 0 && buffer.LineFlags(7) == 0x80000 && buffer.LineCount() == 8);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(4)), -1);
}

} // namespace
