#include "view_test_support.h"

#include <algorithm>
#include <cstdlib>

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

namespace {

std::size_t Offset(const std::string& text, TextPosition p) {
  std::size_t at = 0;
  for (int line = 0; line < p.y; ++line) at = text.find('\n', at) + 1;
  return at + std::size_t(p.x);
}

} // namespace

std::string Mark(const std::string& text, TextPosition cursor, const Span* selection) {
  // Inserted from the back; at one offset '{' comes before '|', and '|' before '}'.
  std::vector<std::pair<std::size_t, int>> marks{{Offset(text, cursor), 1}};
  if (selection) {
    marks.push_back({Offset(text, selection->first), 0});
    marks.push_back({Offset(text, selection->second), 2});
  }
  std::sort(marks.rbegin(), marks.rend());
  std::string out = text;
  for (auto [at, rank] : marks) out.insert(at, 1, "{|}"[rank]);
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
  return Mark(BufferText(*view.GetBuffer()), view.GetCursorPosition(),
              view.HasSelection() ? &selection : nullptr);
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

CTestTextView::CTestTextView(QWidget* parent) : CCrystalTextView(parent) {}

uint32_t CTestTextView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                   int& runCount) {
  const char* chars = GetLineText(lineIndex);
  const int length = GetLineLength(lineIndex);
  bool inComment = cookie != 0;
  runCount = 0;
  int lastIndex = -1;
  for (int i = 0; i < length; ++i) {
    int colour = 2;
    if (inComment || chars[i] == '{') {
      colour = COMMENT_INDEX;
      if (chars[i] == '{') inComment = true;
      if (chars[i] == '}') inComment = false;
    } else if (chars[i] >= 'A' && chars[i] <= 'Z') {
      colour = UPPER_INDEX;
    }
    if (colour != lastIndex) {
      if (runs) runs[runCount] = StyleRun{i, colour};
      ++runCount;
    }
    lastIndex = colour;
  }
  return inComment ? 1u : 0u;
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

QColor CellColour(CCrystalTextView& view, const QImage& image, TextPosition position) {
  return image.pixelColor(view.TextPosToPoint(position));
}

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

QColor Ink(CCrystalTextView& view, const QImage& image, TextPosition position) {
  const QPoint corner = view.TextPosToPoint(position);
  const QColor background = image.pixelColor(corner);
  QColor ink = background;
  for (int y = 0; y < view.GetLineHeight(); ++y)
    for (int x = 0; x < view.GetCharWidth(); ++x) {
      const QColor c = image.pixelColor(corner + QPoint(x, y));
      if (Distance(c, background) > Distance(ink, background)) ink = c;
    }
  return ink;
}

} // namespace viewtest
