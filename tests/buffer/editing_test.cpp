// InsertText, DeleteText, GetText, update contexts, notifications, line flags, bookmarks.
#include <gtest/gtest.h>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// A buffer holding the given lines (inserted as one text, then the undo list emptied).
void Fill(CCrystalTextBuffer& buffer, const Strings& lines) {
  buffer.Clear();
  buffer.CreateEmpty();
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, text, el, ec));
}

// A buffer that counts its MarkModified calls, like the document's buffer does.
class CountingBuffer : public CCrystalTextBuffer {
public:
  std::vector<bool> marks;
  bool store = true;

protected:
  void MarkModified(bool modified) override {
    marks.push_back(modified);
    if (store) CCrystalTextBuffer::MarkModified(modified);
  }
};

// ---------------------------------------------------------------------------------------
// UpdateContext

TEST(UpdateContext, InsertionMovesOnlyPositionsAfterTheInsertionPoint) {
  auto ctx = UpdateContext::Insertion({2, 0}, {1, 1}); // "x\r\ny" into "abcd" at (2, 0)
  TextPosition after{3, 0}, at{2, 0}, before{1, 0}, below{4, 3}, above{0, 0};
  ctx.AdjustPosition(after);
  ctx.AdjustPosition(at);
  ctx.AdjustPosition(before);
  ctx.AdjustPosition(below);
  EXPECT_EQ(after, TextPosition(2, 1));
  EXPECT_EQ(at, TextPosition(2, 0));
  EXPECT_EQ(before, TextPosition(1, 0));
  EXPECT_EQ(below, TextPosition(4, 4));
  UpdateContext::Insertion({5, 2}, {5, 2}).AdjustPosition(above);
  EXPECT_EQ(above, TextPosition(0, 0));
}

TEST(UpdateContext, DeletionAcrossLines) {
  auto ctx = UpdateContext::Deletion({1, 0}, {2, 1}); // "abc","def" -> "af"
  TextPosition atEnd{2, 1}, inside{0, 1}, onStartAfter{3, 0}, onStartBefore{1, 0},
      afterEnd{3, 1}, below{7, 5}, aboveLine{9, 0};
  for (TextPosition* p : {&atEnd, &inside, &onStartAfter, &onStartBefore, &afterEnd, &below})
    ctx.AdjustPosition(*p);
  EXPECT_EQ(atEnd, TextPosition(1, 0));
  EXPECT_EQ(inside, TextPosition(1, 0));
  EXPECT_EQ(onStartAfter, TextPosition(1, 0));
  EXPECT_EQ(onStartBefore, TextPosition(1, 0));
  EXPECT_EQ(afterEnd, TextPosition(2, 0));
  EXPECT_EQ(below, TextPosition(7, 4));
  UpdateContext::Deletion({0, 3}, {0, 4}).AdjustPosition(aboveLine);
  EXPECT_EQ(aboveLine, TextPosition(9, 0));
}

// ---------------------------------------------------------------------------------------
// InsertText and DeleteText

TEST(InsertText, SpecExampleSplitsTheLineAndMovesTheCaret) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abcd"});
  RecordingView view;
  view.positions = {{3, 0}, {2, 0}};
  buffer.AttachView(&view);
  int el = -1, ec = -1;
  ASSERT_TRUE(buffer.InsertText(&view, 0, 2, "x\r\ny", el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{"abx", "ycd"}));
  EXPECT_EQ(el, 1);
  EXPECT_EQ(ec, 1);
  EXPECT_EQ(view.positions[0], TextPosition(2, 1));
  EXPECT_EQ(view.positions[1], TextPosition(2, 0));
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].source, &view);
  EXPECT_EQ(view.changes[0].hints, UPD_HORZ_EXTENT | UPD_LINE_COUNT);
  EXPECT_EQ(view.changes[0].line, 0);
}

TEST(InsertText, LineBreaksAreCrOrCrLfButNotLoneLf) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"[]"});
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 1, "a\rb\r\nc\nd\r\r\ne\n\r", el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{"[a", "b", "c\nd", "", "e\n", "]"}));
  EXPECT_EQ(el, 5);
  EXPECT_EQ(ec, 0);
}

TEST(InsertText, NulBytesAreOrdinary) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"ab"});
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 1, std::string_view("\0x\0", 3), el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{std::string("a\0x\0b", 5)}));
  EXPECT_EQ(ec, 4);
  EXPECT_EQ(buffer.GetText(0, 0, 0, 5), std::string("a\0x\0b", 5));
}

TEST(InsertText, SingleLineChangeHints) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"one", "two"});
  RecordingView view;
  buffer.AttachView(&view);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 1, 3, "!", el, ec));
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].hints, UPD_SINGLE_LINE | UPD_HORZ_EXTENT);
  EXPECT_EQ(view.changes[0].line, 1);
  EXPECT_EQ(view.changes[0].source, nullptr);
  ASSERT_TRUE(view.changes[0].hasContext);
  EXPECT_EQ(view.changes[0].context.kind, UpdateContext::Kind::Insertion);
  EXPECT_EQ(view.changes[0].context.end, TextPosition(4, 1));
}

TEST(InsertText, CapacityFollowsTheRuleWhileTyping) {
  CCrystalTextBuffer buffer;
  buffer.CreateEmpty();
  EXPECT_EQ(buffer.LineCapacity(0), 16);
  int el, ec;
  for (int n = 1; n <= 70; ++n) {
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, n - 1, "k", el, ec));
    int cap = buffer.LineCapacity(0);
    // Grown only when the length exceeds it, then sized by the rule for the new length.
    EXPECT_GE(cap, n);
    EXPECT_EQ(cap % 16, 0);
    EXPECT_LE(cap, (n / 16 + 1) * 16);
  }
  EXPECT_EQ(buffer.LineCapacity(0), (70 / 16 + 1) * 16);
}

TEST(DeleteText, SpecExampleJoinsTheLines) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abc", "def"});
  RecordingView view;
  view.positions = {{2, 1}, {0, 1}, {0, 0}};
  buffer.AttachView(&view);
  ASSERT_TRUE(buffer.DeleteText(&view, 0, 1, 1, 2));
  EXPECT_EQ(Lines(buffer), (Strings{"af"}));
  EXPECT_EQ(view.positions[0], TextPosition(1, 0));
  EXPECT_EQ(view.positions[1], TextPosition(1, 0));
  EXPECT_EQ(view.positions[2], TextPosition(0, 0));
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].hints, UPD_HORZ_EXTENT | UPD_LINE_COUNT);
  EXPECT_EQ(view.changes[0].context.kind, UpdateContext::Kind::Deletion);
}

TEST(DeleteText, WithinOneLine) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"x", "abcdef"});
  RecordingView view;
  buffer.AttachView(&view);
  ASSERT_TRUE(buffer.DeleteText(nullptr, 1, 1, 1, 4));
  EXPECT_EQ(Lines(buffer), (Strings{"x", "aef"}));
  EXPECT_EQ(view.changes.at(0).hints, UPD_SINGLE_LINE | UPD_HORZ_EXTENT);
  EXPECT_EQ(view.changes.at(0).line, 1);
  EXPECT_EQ(buffer.UndoRecordAt(1)->Text(), "bcd");
}

TEST(DeleteText, ManyLinesAtOnce) {
  CCrystalTextBuffer buffer;
  Strings lines;
  for (int i = 0; i < 1000; ++i) lines.push_back("line " + std::to_string(i));
  Fill(buffer, lines);
  ASSERT_TRUE(buffer.DeleteText(nullptr, 10, 2, 990, 5));
  ASSERT_EQ(buffer.LineCount(), 20);
  EXPECT_EQ(Lines(buffer)[10], "li990");
  EXPECT_EQ(Lines(buffer)[11], "line 991");
}

TEST(Editing, ReadOnlyBufferRefusesAndRecordsNothing) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"text"});
  buffer.SetReadOnly(true);
  RecordingView view;
  buffer.AttachView(&view);
  int records = buffer.UndoRecordCount();
  int el, ec;
  EXPECT_FALSE(buffer.InsertText(nullptr, 0, 0, "x", el, ec));
  EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 0, 2));
  EXPECT_EQ(Lines(buffer), (Strings{"text"}));
  EXPECT_EQ(buffer.UndoRecordCount(), records);
  EXPECT_TRUE(view.changes.empty());
}

TEST(Editing, OutOfRangePositionsAreRefused) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abc", "de"});
  int el, ec;
  EXPECT_FALSE(buffer.InsertText(nullptr, 2, 0, "x", el, ec));
  EXPECT_FALSE(buffer.InsertText(nullptr, -1, 0, "x", el, ec));
  EXPECT_FALSE(buffer.InsertText(nullptr, 1, 3, "x", el, ec));
  EXPECT_FALSE(buffer.InsertText(nullptr, 0, -1, "x", el, ec));
  EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 1, 3));
  EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 0, 5, 0));
  EXPECT_FALSE(buffer.DeleteText(nullptr, 1, 1, 0, 2)); // end before start
  EXPECT_FALSE(buffer.DeleteText(nullptr, 0, 4, 0, 4));
  EXPECT_EQ(Lines(buffer), (Strings{"abc", "de"}));
  EXPECT_EQ(buffer.UndoRecordCount(), 1);
  // Accessors give empty values rather than reading outside the text.
  EXPECT_EQ(buffer.LineLength(7), 0);
  EXPECT_EQ(buffer.LineFlags(-3), 0u);
  EXPECT_STREQ(buffer.LineChars(2), "");
  // GetText clamps.
  EXPECT_EQ(buffer.GetText(-5, -5, 9, 9, "|"), "abc|de");
  EXPECT_EQ(buffer.GetText(1, 1, 0, 0), "");
  CCrystalTextBuffer empty;
  EXPECT_FALSE(empty.InsertText(nullptr, 0, 0, "x", el, ec));
  EXPECT_EQ(empty.GetText(0, 0, 0, 0), "");
}

TEST(Editing, ModifiedHookIsCalledWhileTheFlagIsClear) {
  CountingBuffer buffer;
  buffer.CreateEmpty();
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "a", el, ec);
  buffer.InsertText(nullptr, 0, 1, "b", el, ec);
  EXPECT_EQ(buffer.marks, (std::vector<bool>{true}));
  // The document's buffer does not store the flag: every change calls the hook.
  CountingBuffer doc;
  doc.store = false;
  doc.CreateEmpty();
  doc.InsertText(nullptr, 0, 0, "a", el, ec);
  doc.DeleteText(nullptr, 0, 0, 0, 1);
  EXPECT_EQ(doc.marks, (std::vector<bool>{true, true}));
}

TEST(Editing, CreateEmptyReplacesTheText) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"old", "text"});
  RecordingView view;
  buffer.AttachView(&view);
  ASSERT_TRUE(buffer.CreateEmpty(LineEndStyle::Mac));
  EXPECT_EQ(Lines(buffer), (Strings{""}));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_EQ(view.changes.at(0).hints, UPD_RESET);
}

TEST(Editing, ClearLeavesNothingToUndo) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"x"});
  buffer.Clear();
  EXPECT_FALSE(buffer.IsInitialised());
  EXPECT_EQ(buffer.LineCount(), 0);
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_FALSE(buffer.CanRedo());
  TextPosition caret;
  EXPECT_FALSE(buffer.Undo(caret));
}

// ---------------------------------------------------------------------------------------
// Views

TEST(Views, NotifiedInAttachOrderAndDetachedOnce) {
  CCrystalTextBuffer buffer;
  buffer.CreateEmpty();
  std::vector<int> order;
  RecordingView a, b;
  a.onChange = [&] { order.push_back(1); };
  b.onChange = [&] { order.push_back(2); };
  buffer.AttachView(&a);
  buffer.AttachView(&b);
  buffer.NotifyViews(nullptr, nullptr, UPD_LINE_COUNT, 3);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  buffer.DetachView(&a);
  buffer.DetachView(&a); // not attached any more: nothing happens
  buffer.NotifyViews(nullptr, nullptr, 0, -1);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(b.changes.at(0).line, 3);
  EXPECT_FALSE(b.changes.at(0).hasContext);
}

TEST(Views, AViewMayDetachWhileBeingNotified) {
  CCrystalTextBuffer buffer;
  buffer.CreateEmpty();
  RecordingView a, b, c;
  a.onChange = [&] { buffer.DetachView(&a); buffer.DetachView(&b); };
  buffer.AttachView(&a);
  buffer.AttachView(&b);
  buffer.AttachView(&c);
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "x", el, ec);
  EXPECT_EQ(a.changes.size(), 1u);
  EXPECT_EQ(b.changes.size(), 0u);
  EXPECT_EQ(c.changes.size(), 1u);
  buffer.InsertText(nullptr, 0, 0, "y", el, ec);
  EXPECT_EQ(a.changes.size(), 1u);
  EXPECT_EQ(c.changes.size(), 2u);
}

// ---------------------------------------------------------------------------------------
// Line flags and bookmarks

TEST(LineFlags, FollowSplitsAndJoins) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"first", "second", "third"});
  buffer.SetLineFlag(0, LF_BOOKMARK, true, false);
  buffer.SetLineFlag(1, LF_HIGHLIGHT1, true, false);
  buffer.SetLineFlag(2, LF_NUMBERED_BOOKMARK(4), true);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 2, "\r\n\r\n", el, ec)); // split line 0
  EXPECT_EQ(buffer.LineFlags(0), LF_BOOKMARK);
  EXPECT_EQ(buffer.LineFlags(1), 0u);
  EXPECT_EQ(buffer.LineFlags(2), 0u);
  EXPECT_EQ(buffer.LineFlags(3), LF_HIGHLIGHT1);
  EXPECT_EQ(buffer.LineFlags(4), LF_NUMBERED_BOOKMARK(4));
  ASSERT_TRUE(buffer.DeleteText(nullptr, 2, 1, 4, 1)); // join lines 2..4
  EXPECT_EQ(buffer.LineCount(), 3);
  EXPECT_EQ(buffer.LineFlags(2), 0u); // the first line's flags; the others' are dropped
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(4)), -1);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK), 0);
}

TEST(LineFlags, NumberedBookmarkMovesToTheNewLine) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(8, "x"));
  RecordingView view;
  buffer.AttachView(&view);
  buffer.SetLineFlag(2, LF_NUMBERED_BOOKMARK(3), true);
  view.changes.clear();
  buffer.SetLineFlag(5, LF_NUMBERED_BOOKMARK(3), true);
  EXPECT_EQ(buffer.LineFlags(2), 0u);
  EXPECT_EQ(buffer.LineFlags(5), LF_NUMBERED_BOOKMARK(3));
  ASSERT_EQ(view.changes.size(), 2u);
  EXPECT_EQ(view.changes[0].line, 2); // cleared there first
  EXPECT_EQ(view.changes[1].line, 5);
  EXPECT_EQ(view.changes[1].hints, UPD_SINGLE_LINE | UPD_LINE_ATTR);
}

TEST(LineFlags, OddRequestsDoNothing) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(3, "x"));
  RecordingView view;
  buffer.AttachView(&view);
  buffer.SetLineFlag(0, LF_BOOKMARK | LF_HIGHLIGHT1, true); // not a single bit
  buffer.SetLineFlag(0, 0, true);
  buffer.SetLineFlag(9, LF_BOOKMARK, true);  // no such line
  buffer.SetLineFlag(-1, LF_BOOKMARK, false); // -1: first line with it; there is none
  buffer.SetLineFlag(1, LF_BOOKMARK, false);  // already clear
  EXPECT_TRUE(view.changes.empty());
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK | LF_HIGHLIGHT1), -1);
  buffer.SetLineFlag(2, LF_MARGIN_MARK, true, false);
  buffer.SetLineFlag(-1, LF_MARGIN_MARK, false);
  EXPECT_EQ(buffer.LineFlags(2), 0u);
}

TEST(Bookmarks, NextAndPreviousWrapAround) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(10, "x"));
  EXPECT_EQ(buffer.NextBookmarkLine(0), -1);
  buffer.SetLineFlag(3, LF_BOOKMARK, true, false);
  EXPECT_EQ(buffer.NextBookmarkLine(3), 3); // the only one: found again after the wrap
  EXPECT_EQ(buffer.PrevBookmarkLine(3), 3);
  buffer.SetLineFlag(7, LF_BOOKMARK, true, false);
  EXPECT_EQ(buffer.NextBookmarkLine(0), 3);
  EXPECT_EQ(buffer.NextBookmarkLine(3), 7);
  EXPECT_EQ(buffer.NextBookmarkLine(5), 7);
  EXPECT_EQ(buffer.NextBookmarkLine(7), 3);
  EXPECT_EQ(buffer.NextBookmarkLine(8), 3);
  EXPECT_EQ(buffer.PrevBookmarkLine(9), 7);
  EXPECT_EQ(buffer.PrevBookmarkLine(7), 3);
  EXPECT_EQ(buffer.PrevBookmarkLine(3), 7);
  EXPECT_EQ(buffer.PrevBookmarkLine(1), 7);
  // Numbered bookmarks are not in this search.
  buffer.SetLineFlag(5, LF_NUMBERED_BOOKMARK(0), true);
  EXPECT_EQ(buffer.NextBookmarkLine(4), 7);
  EXPECT_EQ(buffer.NextBookmarkLine(99), 3); // out of range: clamped to the last line
}

// ---------------------------------------------------------------------------------------
// Many lines: the gap array keeps edits near one place cheap and correct everywhere

TEST(ManyLines, EditsFarApartKeepEveryLineInPlace) {
  CCrystalTextBuffer buffer;
  Strings model;
  for (int i = 0; i < 5000; ++i) model.push_back(std::to_string(i));
  Fill(buffer, model);
  int el, ec;
  for (int step = 0; step < 200; ++step) {
    int line = (step * 2654435761u) % static_cast<unsigned>(model.size());
    if (step % 3 == 0) {
      ASSERT_TRUE(buffer.InsertText(nullptr, line, 0, "n\r\n", el, ec));
      model[line] = model[line]; // split at 0: "n" then the old line
      model.insert(model.begin() + line, "n");
    } else if (step % 3 == 1 && line + 1 < static_cast<int>(model.size())) {
      ASSERT_TRUE(buffer.DeleteText(nullptr, line, 0, line + 1, 0));
      model.erase(model.begin() + line);
    } else {
      ASSERT_TRUE(buffer.InsertText(nullptr, line, 0, "*", el, ec));
      model[line] = "*" + model[line];
    }
  }
  EXPECT_EQ(Lines(buffer), model);
}

} // namespace
