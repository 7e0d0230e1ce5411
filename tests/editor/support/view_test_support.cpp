#include "view_test_support.h"

#include <QApplication>

namespace viewtest {

std::unique_ptr<CCrystalTextBuffer> MakeBuffer(std::string_view text, LineEndStyle style) {
  auto buffer = std::make_unique<CCrystalTextBuffer>();
  buffer->CreateEmpty(style);
  const QByteArray crlf =
      QByteArray(text.data(), static_cast<qsizetype>(text.size())).replace("\n", "\r\n");
  int endLine = 0, endChar = 0;
  if (!crlf.isEmpty()) buffer->InsertText(nullptr, 0, 0, crlf.toStdString(), endLine, endChar);
  return buffer;
}

std::string BufferText(const CCrystalTextBuffer& buffer) {
  const int last = buffer.LineCount() - 1;
  return buffer.GetText(0, 0, last, buffer.LineLength(last), "\n");
}

std::string Lines(int count, std::string_view text) {
  std::string out;
  for (int i = 0; i < count; ++i) out.append(text).append(i + 1 < count ? "\n" : "");
  return out;
}

std::string Unmark(std::string_view marked, TextPosition& cursor, Span& selection) {
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

std::string Marked(CCrystalTextView& view) {
  const Span selection = Bounds(view);
  const bool selected = view.HasSelection();
  const CCrystalTextBuffer& buffer = *view.GetBuffer();
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

Span Bounds(CCrystalTextView& view) {
  Span span;
  view.GetSelectionBounds(span.first, span.second);
  return span;
}

void Select(CCrystalTextView& view, TextPosition start, TextPosition end) {
  view.SetAnchor(start);
  view.SetSelection(start, end);
  view.PlaceCursor(end);
}

uint32_t CTestTextView::ColourLine(uint32_t, int lineIndex, StyleRun* runs, int& runCount) {
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

void ShowView(CCrystalTextView& view, int width, int height, bool focus) {
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

QImage Grab(CCrystalTextView& view) { return view.viewport()->grab().toImage(); }

} // namespace viewtest
