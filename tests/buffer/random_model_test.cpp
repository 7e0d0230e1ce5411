// Thousands of random insertions and deletions applied both to the buffer and to a plain
// string model must agree after every step; so must the positions that a view moves through
// the update contexts. Then every group is undone and redone, checked against snapshots.
#include <gtest/gtest.h>

#include <random>

#include "buffer_test_support.h"

namespace {

constexpr char SEP = '\x01'; // line separator in the model; never generated as text

// The model: the whole text as one string, lines separated by SEP.
struct Model {
  std::string doc;

  TextPosition Position(size_t off) const {
    TextPosition p;
    size_t lineStart = 0;
    for (size_t i = 0; i < off; ++i) {
      if (doc[i] == SEP) {
        ++p.y;
        lineStart = i + 1;
      }
    }
    p.x = static_cast<int32_t>(off - lineStart);
    return p;
  }
  // InsertText's rule: CR or CR LF is a line break, everything else a byte.
  static std::string Converted(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') {
        out += SEP;
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else {
        out += text[i];
      }
    }
    return out;
  }
};

class RandomEditor {
public:
  explicit RandomEditor(unsigned seed) : m_rng(seed) {}

  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }
  bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }

  std::string Text(size_t maxLength, bool strayCr = false) {
    static const char alphabet[] = {'a', 'b', 'c', ' ', '\t', '\0', '\n', '\r', 'z'};
    std::string text;
    size_t length = Below(maxLength + 1);
    for (size_t i = 0; i < length; ++i) {
      size_t pick = Below(Chance(15) ? sizeof alphabet : 5);
      char ch = alphabet[pick];
      text += ch;
      if (ch == '\r' && !strayCr && Chance(50)) text += '\n'; // CR LF as well as lone CR
    }
    return text;
  }

  // count short lines, CR LF after each.
  std::string Lines(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += Text(6) + "\r\n";
    return text;
  }

private:
  std::mt19937 m_rng;
};

// Runs one round from the given file bytes; returns normally when everything agreed.
void RunRound(unsigned seed, std::string_view initial, LineEndStyle style, int operations) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  TempDir dir;
  CCrystalTextBuffer buffer;
  ASSERT_TRUE(LoadBytes(buffer, dir, initial, style));
  RecordingView view(&buffer);
  buffer.AttachView(&view);
  RandomEditor random(seed);

  Model model{AllText(buffer, std::string_view(&SEP, 1))};
  std::vector<std::string> snapshots{model.doc}; // the text at each group boundary
  std::vector<size_t> tracked;                   // model offsets of the view's positions
  for (int i = 0; i < 4; ++i) {
    tracked.push_back(random.Below(model.doc.size() + 1));
    view.positions.push_back(model.Position(tracked.back()));
  }

  int done = 0;
  while (done < operations) {
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
      const size_t a = random.Below(model.doc.size() + 1);
      const TextPosition at = model.Position(a);
      const size_t heard = view.changes.size();
      bool lineCountChanged;
      // In one round of each row, twice more lines at once than the line array holds: it
      // grows, the second time with lines on both sides of the gap.
      const bool manyLines = (done == 0 || done == operations / 2) && seed % 10 == 1;
      if (manyLines || random.Chance(55)) {
        std::string text = manyLines ? random.Lines(5000) : random.Text(random.Chance(10) ? 40 : 4);
        int el, ec;
        ASSERT_TRUE(buffer.InsertText(source, at.y, at.x, text, el, ec));
        std::string converted = Model::Converted(text);
        model.doc.insert(a, converted);
        ASSERT_EQ(TextPosition(ec, el), model.Position(a + converted.size()));
        lineCountChanged = el != at.y;
        for (size_t& t : tracked)
          if (t > a) t += converted.size();
      } else {
        size_t b = std::min(model.doc.size(), a + random.Below(random.Chance(10) ? 60 : 6));
        TextPosition to = model.Position(b);
        ASSERT_TRUE(buffer.DeleteText(source, at.y, at.x, to.y, to.x));
        lineCountChanged = to.y != at.y;
        model.doc.erase(a, b - a);
        for (size_t& t : tracked) t = t <= a ? t : (t >= b ? t - (b - a) : a);
      }
      // The views hear once, from the first changed line, with what may have changed.
      ASSERT_EQ(view.changes.size(), heard + 1);
      ASSERT_EQ(view.changes.back().source, source);
      ASSERT_EQ(view.changes.back().line, at.y);
      ASSERT_EQ(view.changes.back().hints, lineCountChanged ? UPD_HORZ_EXTENT | UPD_LINE_COUNT
                                                            : UPD_SINGLE_LINE | UPD_HORZ_EXTENT);
      ASSERT_EQ(AllText(buffer, std::string_view(&SEP, 1)), model.doc);
      for (size_t i = 0; i < tracked.size(); ++i)
        ASSERT_EQ(view.positions[i], model.Position(tracked[i])) << "tracked " << i;
    }
    if (group) buffer.CloseUndoGroup();
    snapshots.push_back(model.doc);
  }
  ASSERT_EQ(buffer.UndoRecordCount(), operations);

  // Undo group by group, back to the loaded text; the caret result is always valid.
  for (size_t k = snapshots.size() - 1; k > 0; --k) {
    TextPosition caret{-1, -1};
    ASSERT_TRUE(buffer.Undo(caret)) << k;
    ASSERT_EQ(AllText(buffer, std::string_view(&SEP, 1)), snapshots[k - 1]) << "undo to " << k - 1;
    ASSERT_GE(caret.y, 0);
    ASSERT_LT(caret.y, buffer.LineCount());
    ASSERT_LE(caret.x, buffer.LineLength(caret.y));
  }
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_FALSE(buffer.IsModified());
  for (size_t k = 1; k < snapshots.size(); ++k) {
    TextPosition caret;
    ASSERT_TRUE(buffer.Redo(caret));
    ASSERT_EQ(AllText(buffer, std::string_view(&SEP, 1)), snapshots[k]) << "redo to " << k;
  }
  EXPECT_FALSE(buffer.CanRedo());
  // Saved: the lines joined by the style's sequence, byte for byte.
  ASSERT_TRUE(buffer.Save(dir.File("out")));
  const char* sequence = style == LineEndStyle::Unix ? "\n\r" : style == LineEndStyle::Mac ? "\n" : "\r\n";
  EXPECT_EQ(ReadFile(dir.File("out")), AllText(buffer, sequence));
}

TEST(RandomEdits, FromFilesOfEveryStyleWhoseLinesHoldOtherStylesBytes) {
  // {style, line end used while writing the file, first seed, rounds}; lines hold stray CR,
  // LF, NUL bytes and the other styles' sequences.
  struct Row {
    LineEndStyle style;
    const char* ends;
    unsigned seed, rounds;
  };
  for (const Row& row : {Row{LineEndStyle::Dos, nullptr, 1, 3}, Row{LineEndStyle::Dos, "\r\n", 10, 3},
                         Row{LineEndStyle::Mac, "\n", 20, 3}, Row{LineEndStyle::Unix, "\n\r", 30, 2}}) {
    RandomEditor random(row.seed + 1000);
    std::string initial;
    for (int i = 0; row.ends && i < 60; ++i) initial += random.Text(12, true) + "\r\n" + row.ends;
    for (unsigned seed = row.seed; seed < row.seed + row.rounds; ++seed) RunRound(seed, initial, row.style, 1000);
  }
}

} // namespace
