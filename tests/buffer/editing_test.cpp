// Editing beside the random model test: aliased text, the index contract, the modified hook,
// views, line flags and bookmarks.
#include <gtest/gtest.h>

#include <array>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

void Fill(CCrystalTextBuffer& buffer, const Strings& lines) {
  buffer.CreateEmpty();
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, text, el, ec));
}

TEST(Editing, TextTakenFromTheLineItGoesIntoIsCopiedBeforeTheLineGrows) {
  // 15 bytes fill a line's 16 bytes: inserting them again moves the line they are read from.
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abcdefghijklmno"});
  ASSERT_EQ(buffer.LineCapacity(0), 16);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 15, std::string_view(buffer.LineChars(0), 15), el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{"abcdefghijklmnoabcdefghijklmno"}));
  TempDir dir;
  ASSERT_TRUE(LoadBytes(buffer, dir, "0123456789ab\rcd\n"));
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 15, std::string_view(buffer.LineChars(0), 15), el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{"0123456789ab\rcd0123456789ab", "cd", ""}));
}

TEST(Editing, InvalidIndicesStopDebugBuildsAndAreRefusedInRelease) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abc", "de"});
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  int el, ec;
  for (TextPosition at : {TextPosition(0, 2), TextPosition(0, -1), TextPosition(3, 1), TextPosition(-1, 0)})
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(buffer.InsertText(nullptr, at.y, at.x, "x", el, ec)), "broken promise");
  for (auto [sl, sc, e_l, e_c] : {std::array{0, 0, 1, 3}, {0, 0, 5, 0}, {1, 1, 0, 2}})
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(buffer.DeleteText(nullptr, sl, sc, e_l, e_c)), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_EQ(buffer.LineLength(2), 0), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_STREQ(buffer.LineChars(-1), ""), "broken promise");
  EXPECT_DEBUG_DEATH(EXPECT_EQ(buffer.GetText(0, 0, 9, 9, "|"), "abc|de"), "broken promise");
  EXPECT_DEBUG_DEATH(buffer.SetLineFlag(2, LF_BOOKMARK, true), "broken promise");
  // A read-only buffer is no programmer's error: refused quietly.
  buffer.SetReadOnly(true);
  EXPECT_FALSE(buffer.InsertText(nullptr, 0, 0, "x", el, ec));
  EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 0, 2));
  EXPECT_EQ(Lines(buffer), (Strings{"abc", "de"}));
  EXPECT_TRUE(buffer.UndoRecordCount() == 1 && view.changes.empty());
}

TEST(Editing, EveryChangeMarksModifiedWhileTheFlagIsClearAndANewTextStartsAfresh) {
  struct CountingBuffer : CCrystalTextBuffer {
    std::vector<bool> marks;
    bool store = true;
    void MarkModified(bool modified) override {
      marks.push_back(modified);
      if (store) CCrystalTextBuffer::MarkModified(modified);
    }
  } buffer, doc;
  doc.store = false;
  int el, ec;
  for (CountingBuffer* b : {&buffer, &doc}) {
    b->CreateEmpty();
    b->InsertText(nullptr, 0, 0, "ab", el, ec);
    b->DeleteText(nullptr, 0, 0, 0, 1);
  }
  EXPECT_EQ(buffer.marks, (std::vector<bool>{true}));
  EXPECT_EQ(doc.marks, (std::vector<bool>{true, true}));
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  ASSERT_TRUE(buffer.CreateEmpty(LineEndStyle::Mac));
  EXPECT_TRUE(Lines(buffer) == Strings{""} && buffer.GetLineEndStyle() == LineEndStyle::Mac);
  EXPECT_FALSE(buffer.CanUndo() || buffer.IsModified());
  EXPECT_EQ(view.changes.at(0).hints, UPD_RESET);
  buffer.InsertText(nullptr, 0, 0, "x", el, ec);
  buffer.Clear();
  EXPECT_FALSE(buffer.IsInitialised() || buffer.LineCount());
  TextPosition caret;
  EXPECT_FALSE(buffer.CanUndo() || buffer.Undo(caret));
}

TEST(Views, NotifiedInAttachOrderAndFreeToDetachWhileNotified) {
  CCrystalTextBuffer buffer;
  buffer.CreateEmpty();
  std::vector<int> order;
  RecordingView a(&buffer), b(&buffer), c(&buffer);
  b.onChange = [&] { order.push_back(2); };
  c.onChange = [&] { order.push_back(3); };
  for (RecordingView* v : {&a, &b, &c}) buffer.AttachView(v);
  buffer.NotifyViews(nullptr, nullptr, UPD_LINE_COUNT, 3);
  EXPECT_EQ(order, (std::vector<int>{2, 3}));
  EXPECT_EQ(b.changes.at(0).line, 3);
  // a detaches itself and b during the next notification: b hears nothing, c still does.
  a.onChange = [&] { buffer.DetachView(&a); buffer.DetachView(&b); };
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "x", el, ec);
  buffer.DetachView(&a); // not attached any more: nothing happens
  buffer.InsertText(nullptr, 0, 0, "y", el, ec);
  EXPECT_EQ(order, (std::vector<int>{2, 3, 3, 3}));
  EXPECT_EQ(a.changes.size(), 2u);
}

TEST(Views, ADestroyedBufferTellsTheViewsStillAttached) {
  auto* buffer = new CCrystalTextBuffer;
  buffer->CreateEmpty();
  RecordingView attached(buffer), detached; // detached does not leave the buffer itself
  buffer->AttachView(&attached);
  buffer->AttachView(&detached);
  buffer->DetachView(&detached);
  attached.onDestroyed = [&] { buffer->DetachView(&attached); }; // still allowed while it goes
  delete buffer;
  EXPECT_TRUE(attached.bufferGone);
  EXPECT_FALSE(detached.bufferGone) << "a detached view is not told";
}

TEST(LineFlags, StayWithTheirLinesAndNumberedBookmarksMove) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"first", "second", "third", "4", "5", "6", "7", "8"});
  RecordingView view(&buffer);
  buffer.AttachView(&view);
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
  EXPECT_EQ(view.changes[3].line, 5);
  EXPECT_EQ(view.changes[4].line, 2);
  EXPECT_EQ(view.changes[4].hints, UPD_SINGLE_LINE | UPD_LINE_ATTR);
  buffer.SetLineFlag(-1, LF_HIGHLIGHT1, false);
  buffer.SetLineFlag(1, LF_MARGIN_MARK, true, false);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 2, "\r\n\r\n", el, ec)); // split line 0
  const uint32_t split[] = {LF_BOOKMARK, 0, 0, LF_MARGIN_MARK, LF_NUMBERED_BOOKMARK(4), 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(buffer.LineFlags(i), split[i]) << i;
  ASSERT_TRUE(buffer.DeleteText(nullptr, 2, 1, 4, 1)); // join lines 2..4: line 2's flags stay
  EXPECT_EQ(buffer.LineFlags(2), 0u);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(4)), -1);
}

TEST(Bookmarks, NextAndPreviousWrapAroundFromTheFirstAndLastLines) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(10, "x"));
  EXPECT_EQ(buffer.NextBookmarkLine(0), -1);
  buffer.SetLineFlag(3, LF_BOOKMARK, true, false);
  EXPECT_EQ(buffer.NextBookmarkLine(3), 3); // the only one: found again after the wrap
  EXPECT_EQ(buffer.PrevBookmarkLine(3), 3);
  buffer.SetLineFlag(3, LF_BOOKMARK, false, false);
  for (int line : {0, 5, 9}) buffer.SetLineFlag(line, LF_BOOKMARK, true, false);
  buffer.SetLineFlag(7, LF_NUMBERED_BOOKMARK(0), true); // numbered ones are not searched
  for (auto [from, next, prev] : {std::array{0, 5, 9}, {2, 5, 0}, {5, 9, 0}, {7, 9, 5}, {9, 0, 5}}) {
    EXPECT_EQ(buffer.NextBookmarkLine(from), next) << from;
    EXPECT_EQ(buffer.PrevBookmarkLine(from), prev) << from;
  }
}

} // namespace
