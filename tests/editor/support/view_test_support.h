#pragma once
// Buffers from literal text, a simply coloured view, and a fixture around it.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

#include "text_buffer.h"
#include "text_view.h"

inline void PrintTo(const TextPosition& p, std::ostream* os) {
  *os << "(x " << p.x << ", line " << p.y << ")";
}

namespace viewtest {

inline std::unique_ptr<CTextBuffer> MakeBuffer(std::string_view text,
                                                      LineEndStyle style = LineEndStyle::Dos) {
  auto buffer = std::make_unique<CTextBuffer>();
  buffer->CreateEmpty(style);
  const QByteArray crlf =
      QByteArray(text.data(), static_cast<qsizetype>(text.size())).replace("\n", "\r\n");
  int endLine = 0, endChar = 0;
  if (!crlf.isEmpty()) buffer->InsertText(nullptr, 0, 0, crlf.toStdString(), endLine, endChar);
  return buffer;
}

inline std::string BufferText(const CTextBuffer& buffer) {
  const int last = buffer.LineCount() - 1;
  return buffer.GetText(0, 0, last, buffer.LineLength(last), "\n");
}

inline std::string Lines(int count, std::string_view text = "line") {
  std::string out;
  for (int i = 0; i < count; ++i) out.append(text).append(i + 1 < count ? "\n" : "");
  return out;
}

using Span = std::pair<TextPosition, TextPosition>;
inline Span Bounds(CTextView& view) {
  Span span;
  view.GetSelectionBounds(span.first, span.second);
  return span;
}
inline void Select(CTextView& view, TextPosition start, TextPosition end) {
  view.SetAnchor(start);
  view.SetSelection(start, end);
  view.PlaceCursor(end);
}

// Marks: '|' the cursor, '{' and '}' the start and end of the selection. Unmark takes them
// out of marked and gives the positions they stood at ((-1, -1) for a missing mark).
inline std::string Unmark(std::string_view marked, TextPosition& cursor, Span& selection) {
  cursor = {-1, -1};
  selection = {{-1, -1}, {-1, -1}};
  std::string text;
  TextPosition here;
  for (char c : marked) {
    if (c == '|') cursor = here;
    else if (c == '{') selection.first = here;
    else if (c == '}') selection.second = here;
    else {
      text += c;
      here = c == '\n' ? TextPosition(0, here.y + 1) : TextPosition(here.x + 1, here.y);
    }
  }
  return text;
}

inline std::string Marked(CTextView& view) {
  const Span selection = Bounds(view);
  const bool selected = view.HasSelection();
  const CTextBuffer& buffer = *view.GetBuffer();
  std::string out;
  for (int y = 0; y < buffer.LineCount(); ++y) {
    for (int x = 0; x <= buffer.LineLength(y); ++x) {
      const TextPosition p(x, y);
      if (selected && p == selection.first) out += '{';
      if (p == view.GetCursorPosition()) out += '|';
      if (selected && p == selection.second) out += '}';
      if (x < buffer.LineLength(y)) out += buffer.LineChars(y)[x];
    }
    if (y + 1 < buffer.LineCount()) out += '\n';
  }
  return out;
}

inline constexpr int UPPER_INDEX = 6;

// A text view with everything public that the tests drive, coloured simply: upper-case
// letters get UPPER_INDEX, the rest no run (normal text).
class CTestTextView : public CTextView {
public:
  using CTextView::CTextView;
  uint32_t ColourLine(uint32_t, int lineIndex, StyleRun* runs, int& runCount) override {
    const char* chars = GetLineText(lineIndex);
    runCount = 0;
    for (int i = 0, last = -1; i < GetLineLength(lineIndex); ++i) {
      const int colour = chars[i] >= 'A' && chars[i] <= 'Z' ? UPPER_INDEX : 2;
      if (colour != last && runs) runs[runCount] = StyleRun{i, colour};
      runCount += colour != last;
      last = colour;
    }
    return 0;
  }
  CTextBuffer* documentBuffer = nullptr;
  CTextBuffer* FindDocumentBuffer() const override { return documentBuffer; }
  CPaneGrid* paneGrid = nullptr;
  CPaneGrid* FindPaneGrid() const override { return paneGrid; }
  using CTextView::OnAutoScrollTimer;
};

inline void ShowView(CTextView& view, int width, int height, bool focus = true) {
  view.resize(width, height);
  view.show();
  (void)QTest::qWaitForWindowExposed(&view);
  view.activateWindow();
  QApplication::processEvents();
  if (focus)
    view.setFocus(Qt::OtherFocusReason);
  else
    view.clearFocus();
  QApplication::processEvents();
}

inline QImage Grab(CTextView& view) { return view.viewport()->grab().toImage(); }

// The reference for the cells' pixels: row `face` of line's characters (bytes as ISO 8859-1,
// tabs every 4) drawn by QPainter::drawText on white, in the face's font, on an image of
// size and ratio. Returns the columns the line takes.
inline int DrawLineAsText(CTextView& view, const std::string& line, int face, QImage& image) {
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  QPainter painter(&image);
  painter.setFont(view.GetStyleFont((face & 2) != 0, (face & 1) != 0));
  const int baseline = face * lh + QFontMetrics(painter.font()).ascent();
  int column = 0;
  for (const unsigned char u : line) {
    if (u >= 0x20 && (u < 0x7F || u >= 0xA0))
      painter.drawText(CTextView::MARGIN_WIDTH + column * cw, baseline, QString(QChar(char16_t(u))));
    column = u == '\t' ? column + 4 - column % 4 : column + 1;
  }
  return column;
}

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

  std::unique_ptr<CTextBuffer> buffer;
  V view;
};

} // namespace viewtest
