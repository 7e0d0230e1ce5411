// Random edits agree with a string model, positions included; then every group is undone and redone.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "buffer_test_support.h"

namespace {

constexpr char SEP = '\x01';

TextPosition PositionIn(std::string_view doc, size_t off) {
  const size_t sep = off ? doc.rfind(SEP, off - 1) : std::string_view::npos;
  return TextPosition(static_cast<int32_t>(sep == std::string_view::npos ? off : off - sep - 1),
                      static_cast<int32_t>(std::count(doc.begin(), doc.begin() + off, SEP)));
}

std::string Converted(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i] == '\r' ? SEP : text[i];
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

struct Random {
  std::mt19937 rng;
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
  bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
  std::string Text(size_t maxLength, bool strayCr = false) {
    static const char alphabet[] = {'a', 'b', 'c', ' ', '\t', '\0', '\n', '\r', 'z'};
    std::string text;
    for (size_t i = 0, length = Below(maxLength + 1); i < length; ++i) {
      const char ch = alphabet[Below(Chance(15) ? sizeof alphabet : 5)];
      text += ch;
      if (ch == '\r' && !strayCr && Chance(50)) text += '\n';
    }
    return text;
  }
};

void RunRound(unsigned seed, std::string_view initial, LineEndStyle style, int operations) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  TempDir dir;
  CTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, initial, style));
  RecordingView view(&buffer);
  Random random{std::mt19937(seed)};
  const std::string sep(1, SEP);
  std::string doc = AllText(buffer, sep);
  std::vector<std::string> snapshots{doc}; // the text at each group boundary
  std::vector<size_t> tracked;             // model offsets of the view's positions
  for (int i = 0; i < 4; ++i) tracked.push_back(random.Below(doc.size() + 1));
  for (size_t t : tracked) view.positions.push_back(PositionIn(doc, t));
  for (int done = 0; done < operations;) {
    const bool group = random.Chance(20);
    int inGroup = group ? 2 + static_cast<int>(random.Below(3)) : 1;
    if (group) {
      const bool merge = random.Chance(30);
      if (merge && buffer.UndoPosition() > 0 && snapshots.size() > 1) snapshots.pop_back();
      buffer.OpenUndoGroup(merge);
    }
    for (; inGroup > 0 && done < operations; --inGroup, ++done) {
      SCOPED_TRACE("operation " + std::to_string(done));
      CBufferView* source = random.Chance(50) ? &view : nullptr;
      const size_t a = random.Below(doc.size() + 1);
      const TextPosition at = PositionIn(doc, a);
      const size_t heard = view.changes.size();
      bool lineCountChanged;
      const bool manyLines = (done == 0 || done == operations / 2) && seed % 10 == 1;
      if (manyLines || random.Chance(55)) {
        std::string text = manyLines ? "" : random.Text(random.Chance(10) ? 40 : 4);
        for (int i = 0; manyLines && i < 5000; ++i) text += random.Text(6) + "\r\n";
        TextPosition end;
        ASSERT_TRUE(Insert(buffer, at.y, at.x, text, UndoAction::Unknown, source, &end));
        const std::string converted = Converted(text);
        doc.insert(a, converted);
        ASSERT_EQ(end, PositionIn(doc, a + converted.size()));
        lineCountChanged = end.y != at.y;
        for (size_t& t : tracked)
          if (t > a) t += converted.size();
      } else {
        const size_t b = std::min(doc.size(), a + random.Below(random.Chance(10) ? 60 : 6));
        const TextPosition to = PositionIn(doc, b);
        ASSERT_TRUE(buffer.DeleteText(source, at.y, at.x, to.y, to.x));
        lineCountChanged = to.y != at.y;
        doc.erase(a, b - a);
        for (size_t& t : tracked) t = t <= a ? t : (t >= b ? t - (b - a) : a);
      }
      ASSERT_EQ(view.changes.size(), heard + 1);
      ASSERT_EQ(view.changes.back().source, source);
      ASSERT_EQ(view.changes.back().line, at.y);
      ASSERT_EQ(view.changes.back().hints, lineCountChanged ? UPD_HORZ_EXTENT | UPD_LINE_COUNT
                                                            : UPD_SINGLE_LINE | UPD_HORZ_EXTENT);
      ASSERT_EQ(AllText(buffer, sep), doc);
      for (size_t i = 0; i < tracked.size(); ++i)
        ASSERT_EQ(view.positions[i], PositionIn(doc, tracked[i])) << "tracked " << i;
    }
    if (group) buffer.CloseUndoGroup();
    snapshots.push_back(doc);
  }
  ASSERT_EQ(buffer.UndoRecordCount(), operations);
  for (size_t k = snapshots.size() - 1; k > 0; --k) {
    TextPosition caret{-1, -1};
    ASSERT_TRUE(buffer.Undo(caret)) << k;
    ASSERT_EQ(AllText(buffer, sep), snapshots[k - 1]) << "undo to " << k - 1;
    ASSERT_TRUE(caret.y >= 0 && caret.y < buffer.LineCount() && caret.x <= buffer.LineLength(caret.y));
  }
  EXPECT_FALSE(buffer.CanUndo() || buffer.IsModified());
  for (size_t k = 1; k < snapshots.size(); ++k) {
    TextPosition caret;
    ASSERT_TRUE(buffer.Redo(caret));
    ASSERT_EQ(AllText(buffer, sep), snapshots[k]) << "redo to " << k;
  }
  EXPECT_FALSE(buffer.CanRedo());
}

TEST(RandomEdits, FromFilesOfEveryStyleWhoseLinesHoldOtherStylesBytes) {
  const std::tuple<LineEndStyle, const char*, unsigned, unsigned> rows[] = {
      {LineEndStyle::Dos, nullptr, 1, 3}, {LineEndStyle::Dos, "\r\n", 10, 3},
      {LineEndStyle::Mac, "\n", 20, 3}, {LineEndStyle::Unix, "\n\r", 30, 2}};
  for (auto [style, ends, first, rounds] : rows) {
    Random random{std::mt19937(first + 1000)};
    std::string initial;
    for (int i = 0; ends && i < 60; ++i) initial += random.Text(12, true) + "\r\n" + ends;
    for (unsigned seed = first; seed < first + rounds; ++seed) RunRound(seed, initial, style, 1000);
  }
}

} // namespace
