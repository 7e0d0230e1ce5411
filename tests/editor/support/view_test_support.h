#pragma once
// Shared pieces of the text view tests: buffers made from literal text, a view with a small
// deterministic colouring, and a fixture around it.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "text_buffer.h"
#include "text_view.h"

// Readable failure messages for positions.
inline void PrintTo(const TextPosition& p, std::ostream* os) {
  *os << "(x " << p.x << ", line " << p.y << ")";
}

namespace viewtest {

// A buffer holding text; "\n" in text stands for a line break.
std::unique_ptr<CCrystalTextBuffer> MakeBuffer(std::string_view text,
                                               LineEndStyle style = LineEndStyle::Dos);

// The whole text of a buffer with "\n" between lines.
std::string BufferText(const CCrystalTextBuffer& buffer);

// count lines of text joined by "\n" (no break after the last).
std::string Lines(int count, std::string_view text = "line");

// The ordered selection of a view, and putting a selection in place the way a keyboard
// selection leaves it: anchor at start, cursor at end.
using Span = std::pair<TextPosition, TextPosition>;
Span Bounds(CCrystalTextView& view);
void Select(CCrystalTextView& view, TextPosition start, TextPosition end);

// Marks: '|' the cursor, '{' and '}' the start and end of the selection. Unmark takes them
// out of marked and gives the positions they stood at ((-1, -1) for a missing mark).
std::string Unmark(std::string_view marked, TextPosition& cursor, Span& selection);
// The view's text with its cursor and selection marked.
std::string Marked(CCrystalTextView& view);

// The colour index of the test colouring for upper-case letters (blue by default).
inline constexpr int UPPER_INDEX = 6;

// A text view with everything public that the tests drive, coloured simply: upper-case
// letters get UPPER_INDEX, the rest no run (normal text).
class CTestTextView : public CCrystalTextView {
public:
  using CCrystalTextView::CCrystalTextView;
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override;
  // The buffer an initial update attaches.
  CCrystalTextBuffer* documentBuffer = nullptr;
  CCrystalTextBuffer* FindDocumentBuffer() const override { return documentBuffer; }
  // The panes it shares a window with.
  CPaneGrid* paneGrid = nullptr;
  CPaneGrid* FindPaneGrid() const override { return paneGrid; }
  using CCrystalTextView::OnAutoScrollTimer;
};

// Shows the view as a top-level window of the given size, with the keyboard focus when
// focus is true; waits until it is exposed.
void ShowView(CCrystalTextView& view, int width, int height, bool focus = true);

// A fresh paint of the view's client area.
QImage Grab(CCrystalTextView& view);

// A fixture with one view of type V (a CTestTextView or a subclass) on a buffer made from
// text, shown at the given size.
template <typename V = CTestTextView>
class TextViewTest : public ::testing::Test {
protected:
  void Load(std::string_view text, int width = 400, int height = 300, bool focus = true,
            LineEndStyle style = LineEndStyle::Dos) {
    // The old buffer stays until the view has left it: a buffer does not detach its views.
    const auto old = std::exchange(buffer, MakeBuffer(text, style));
    view.AttachBuffer(buffer.get());
    ShowView(view, width, height, focus);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&view, key, modifiers);
  }
  TextPosition Cursor() const { return view.GetCursorPosition(); }
  Span Sel() { return Bounds(view); }
  std::string Marked() { return viewtest::Marked(view); }
  void Place(TextPosition p) { Select(view, p, p); }
  QWidget* Client() { return view.viewport(); }
  bool Enabled(int id) {
    CCmdUIState state;
    EXPECT_TRUE(view.OnUpdateCmdUI(id, state)) << "no update handler for " << id;
    return state.enabled;
  }

  std::unique_ptr<CCrystalTextBuffer> buffer;
  V view;
};

} // namespace viewtest
