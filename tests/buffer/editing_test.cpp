// Edits and what the views hear of them, refused edits, line flags, bookmarks, many lines.
// The plain text effect of InsertText and DeleteText is checked by the randomized model test.
#include <gtest/gtest.h>

#include <array>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// A buffer holding the given lines (inserted as one text).
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

TEST(Editing, ViewsHearOfEachEditOnceWithItsExtentAndCaretsMove) {
  struct Row {
    Strings before;
    TextPosition from, to; // for an insertion, to is the expected end
    const char* text;      // nullptr: delete [from, to)
    bool fromView;
    Strings after;
    uint32_t hints;
    int line;
    std::vector<std::pair<TextPosition, TextPosition>> moves; // caret before -> after
  };
  const uint32_t MULTI = UPD_HORZ_EXTENT | UPD_LINE_COUNT, SINGLE = UPD_SINGLE_LINE | UPD_HORZ_EXTENT;
  const Row rows[] = {
      // The worked examples: a split line and two joined lines.
      {{"abcd"}, {2, 0}, {1, 1}, "x\r\ny", true, {"abx", "ycd"}, MULTI, 0, {{{3, 0}, {2, 1}}, {{2, 0}, {2, 0}}}},
      {{"abc", "def"}, {1, 0}, {2, 1}, nullptr, true, {"af"}, MULTI, 0,
       {{{2, 1}, {1, 0}}, {{0, 1}, {1, 0}}, {{0, 0}, {0, 0}}}},
      {{"one", "two"}, {3, 1}, {4, 1}, "!", false, {"one", "two!"}, SINGLE, 1, {{{3, 1}, {3, 1}}}},
      {{"x", "abcdef"}, {1, 1}, {4, 1}, nullptr, false, {"x", "aef"}, SINGLE, 1, {{{5, 1}, {2, 1}}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.after[0]);
    CCrystalTextBuffer buffer;
    Fill(buffer, row.before);
    RecordingView view(&buffer);
    for (const auto& move : row.moves) view.positions.push_back(move.first);
    buffer.AttachView(&view);
    CBufferView* source = row.fromView ? &view : nullptr;
    if (row.text) {
      int el = -1, ec = -1;
      ASSERT_TRUE(buffer.InsertText(source, row.from.y, row.from.x, row.text, el, ec));
      EXPECT_EQ(TextPosition(ec, el), row.to);
    } else {
      ASSERT_TRUE(buffer.DeleteText(source, row.from.y, row.from.x, row.to.y, row.to.x));
    }
    EXPECT_EQ(Lines(buffer), row.after);
    ASSERT_EQ(view.changes.size(), 1u);
    const RecordingView::Change& change = view.changes[0];
    EXPECT_EQ(change.source, source);
    EXPECT_EQ(change.hints, row.hints);
    EXPECT_EQ(change.line, row.line);
    ASSERT_TRUE(change.hasContext);
    EXPECT_EQ(change.context.kind, row.text ? UpdateContext::Kind::Insertion : UpdateContext::Kind::Deletion);
    EXPECT_EQ(change.context.end, row.to);
    for (size_t i = 0; i < row.moves.size(); ++i) EXPECT_EQ(view.positions[i], row.moves[i].second) << i;
  }
}

TEST(Editing, TextTakenFromTheLineItGoesIntoIsCopiedBeforeTheLineGrows) {
  // 15 bytes fill a line's 16-byte allocation: inserting them again moves the line, and
  // reading them from where they were would read freed memory.
  CCrystalTextBuffer buffer;
  Fill(buffer, {"abcdefghijklmno"});
  ASSERT_EQ(buffer.LineCapacity(0), 16);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 15, std::string_view(buffer.LineChars(0), 15), el, ec));
  EXPECT_EQ(Lines(buffer), (Strings{"abcdefghijklmnoabcdefghijklmno"}));
  // The same with a line break: a loaded line holding a CR of its own.
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
  // Past the line end, past the last line, end before start.
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
  EXPECT_EQ(buffer.UndoRecordCount(), 1);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK), -1);
  EXPECT_TRUE(view.changes.empty());
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

TEST(Editing, CreateEmptyAndClearStartAfresh) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"old", "text"});
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  ASSERT_TRUE(buffer.CreateEmpty(LineEndStyle::Mac));
  EXPECT_EQ(Lines(buffer), (Strings{""}));
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Mac);
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_EQ(view.changes.at(0).hints, UPD_RESET);
  Fill(buffer, {"x"});
  buffer.Clear();
  EXPECT_FALSE(buffer.IsInitialised());
  EXPECT_EQ(buffer.LineCount(), 0);
  EXPECT_FALSE(buffer.CanUndo() || buffer.CanRedo());
  TextPosition caret;
  EXPECT_FALSE(buffer.Undo(caret));
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
  EXPECT_FALSE(b.changes.at(0).hasContext);
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
  // A view that outlives its buffer must hear of it, or it keeps a dangling pointer.
  struct OwnerView : CBufferView {
    CCrystalTextBuffer* buffer = nullptr;
    void OnBufferChanged(CBufferView*, const UpdateContext*, uint32_t, int) override {}
    void OnBufferDestroyed() override {
      buffer->DetachView(this); // still allowed while the buffer goes
      buffer = nullptr;
    }
  };
  OwnerView attached, detached;
  {
    CCrystalTextBuffer buffer;
    buffer.CreateEmpty();
    attached.buffer = &buffer;
    detached.buffer = &buffer;
    buffer.AttachView(&attached);
    buffer.AttachView(&detached);
    buffer.DetachView(&detached);
  }
  EXPECT_EQ(attached.buffer, nullptr);
  EXPECT_NE(detached.buffer, nullptr) << "a detached view is not told";
}

TEST(LineFlags, FollowSplitsAndJoins) {
  CCrystalTextBuffer buffer;
  Fill(buffer, {"first", "second", "third"});
  buffer.SetLineFlag(0, LF_BOOKMARK, true, false);
  buffer.SetLineFlag(1, LF_HIGHLIGHT1, true, false);
  buffer.SetLineFlag(2, LF_NUMBERED_BOOKMARK(4), true);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 2, "\r\n\r\n", el, ec)); // split line 0
  const uint32_t split[] = {LF_BOOKMARK, 0, 0, LF_HIGHLIGHT1, LF_NUMBERED_BOOKMARK(4)};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buffer.LineFlags(i), split[i]) << i;
  ASSERT_TRUE(buffer.DeleteText(nullptr, 2, 1, 4, 1)); // join lines 2..4
  EXPECT_EQ(buffer.LineCount(), 3);
  EXPECT_EQ(buffer.LineFlags(2), 0u); // the first line's flags; the others' are dropped
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(4)), -1);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK), 0);
}

TEST(LineFlags, NumberedBookmarkMovesAndOddRequestsDoNothing) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(8, "x"));
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  buffer.SetLineFlag(0, LF_BOOKMARK | LF_HIGHLIGHT1, true); // not a single bit
  buffer.SetLineFlag(0, 0, true);
  buffer.SetLineFlag(9, LF_BOOKMARK, true);   // no such line
  buffer.SetLineFlag(-1, LF_BOOKMARK, false); // -1: first line with it; there is none
  buffer.SetLineFlag(1, LF_BOOKMARK, false);  // already clear
  EXPECT_TRUE(view.changes.empty());
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_BOOKMARK | LF_HIGHLIGHT1), -1);
  buffer.SetLineFlag(2, LF_NUMBERED_BOOKMARK(3), true);
  view.changes.clear();
  buffer.SetLineFlag(5, LF_NUMBERED_BOOKMARK(3), true);
  EXPECT_EQ(buffer.LineFlags(2), 0u);
  EXPECT_EQ(buffer.LineFlags(5), LF_NUMBERED_BOOKMARK(3));
  ASSERT_EQ(view.changes.size(), 2u);
  EXPECT_EQ(view.changes[0].line, 2); // cleared there first
  EXPECT_EQ(view.changes[1].line, 5);
  EXPECT_EQ(view.changes[1].hints, UPD_SINGLE_LINE | UPD_LINE_ATTR);
  buffer.SetLineFlag(6, LF_MARGIN_MARK, true, false);
  buffer.SetLineFlag(-1, LF_MARGIN_MARK, false);
  EXPECT_EQ(buffer.LineFlags(6), 0u);
}

TEST(Bookmarks, NextAndPreviousWrapAround) {
  CCrystalTextBuffer buffer;
  Fill(buffer, Strings(10, "x"));
  EXPECT_EQ(buffer.NextBookmarkLine(0), -1);
  buffer.SetLineFlag(3, LF_BOOKMARK, true, false);
  EXPECT_EQ(buffer.NextBookmarkLine(3), 3); // the only one: found again after the wrap
  EXPECT_EQ(buffer.PrevBookmarkLine(3), 3);
  buffer.SetLineFlag(7, LF_BOOKMARK, true, false);
  buffer.SetLineFlag(5, LF_NUMBERED_BOOKMARK(0), true); // numbered ones are not searched
  // {from, next, previous}; 99 is clamped to the last line.
  for (auto [from, next, prev] : {std::array{0, 3, 7}, {3, 7, 7}, {4, 7, 3}, {7, 3, 3}, {8, 3, 7},
                                  {9, 3, 7}, {1, 3, 7}, {99, 3, 7}}) {
    EXPECT_EQ(buffer.NextBookmarkLine(from), next) << from;
    EXPECT_EQ(buffer.PrevBookmarkLine(from), prev) << from;
  }
}

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
  // One deletion across thousands of lines.
  ASSERT_TRUE(buffer.DeleteText(nullptr, 10, 1, 4990, 1));
  model[10] = model[10].substr(0, 1) + model[4990].substr(1);
  model.erase(model.begin() + 11, model.begin() + 4991);
  EXPECT_EQ(Lines(buffer), model);
  // Enough new lines to grow the line array while lines lie after the gap.
  Strings added;
  std::string many;
  for (int i = 0; i < 8000; ++i) added.push_back(std::to_string(i)), many += added.back() + "\r\n";
  ASSERT_TRUE(buffer.InsertText(nullptr, 5, 0, many, el, ec));
  model.insert(model.begin() + 5, added.begin(), added.end());
  EXPECT_EQ(Lines(buffer), model);
}

} // namespace
