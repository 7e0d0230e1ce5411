#include "view_test_support.h"

#include <QApplication>
#include <QTest>

namespace viewtest {

std::unique_ptr<CCrystalTextBuffer> MakeBuffer(std::string_view text, LineEndStyle style) {
  auto buffer = std::make_unique<CCrystalTextBuffer>();
  buffer->CreateEmpty(style);
  std::string crlf;
  for (char c : text) {
    if (c == '\n')
      crlf += "\r\n";
    else
      crlf.push_back(c);
  }
  int endLine = 0, endChar = 0;
  if (!crlf.empty()) buffer->InsertText(nullptr, 0, 0, crlf, endLine, endChar);
  return buffer;
}

std::string BufferText(const CCrystalTextBuffer& buffer) {
  const int last = buffer.LineCount() - 1;
  return buffer.GetText(0, 0, last, buffer.LineLength(last), "\n");
}

CTestTextView::CTestTextView(QWidget* parent) : CCrystalTextView(parent) {}

uint32_t CTestTextView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                   int& runCount) {
  if (lineIndex >= static_cast<int>(colourCalls.size()))
    colourCalls.resize(static_cast<std::size_t>(lineIndex) + 1, 0);
  ++colourCalls[static_cast<std::size_t>(lineIndex)];
  if (lineIndex >= static_cast<int>(cookieCalls.size()))
    cookieCalls.resize(static_cast<std::size_t>(lineIndex) + 1, 0);
  if (!runs) ++cookieCalls[static_cast<std::size_t>(lineIndex)];
  const char* chars = GetLineText(lineIndex);
  const int length = GetLineLength(lineIndex);
  bool inComment = cookie != 0;
  runCount = 0;
  int lastIndex = -1;
  for (int i = 0; i < length; ++i) {
    int index = 2;
    if (inComment || chars[i] == '{') {
      index = COMMENT_INDEX;
      if (chars[i] == '{') inComment = true;
      if (chars[i] == '}') inComment = false;
    } else if (chars[i] >= 'A' && chars[i] <= 'Z') {
      index = UPPER_INDEX;
    }
    if (index != lastIndex && runs) {
      runs[runCount].charPos = i;
      runs[runCount].colourIndex = index;
      ++runCount;
    } else if (index != lastIndex) {
      ++runCount;
    }
    lastIndex = index;
  }
  return inComment ? 1u : 0u;
}

int CTestTextView::TotalColourCalls() const {
  int total = 0;
  for (int calls : colourCalls) total += calls;
  return total;
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

QPoint CellCentre(CCrystalTextView& view, TextPosition position) {
  const QPoint corner = view.TextPosToPoint(position);
  return corner + QPoint(view.GetCharWidth() / 2, view.GetLineHeight() / 2);
}

QColor CellColour(CCrystalTextView& view, const QImage& image, TextPosition position) {
  const QPoint corner = view.TextPosToPoint(position);
  // A corner pixel of the cell is background: glyphs do not touch it.
  return image.pixelColor(corner + QPoint(0, 0));
}

bool CellHasColour(CCrystalTextView& view, const QImage& image, TextPosition position,
                   const QColor& colour) {
  const QPoint corner = view.TextPosToPoint(position);
  for (int y = 0; y < view.GetLineHeight(); ++y) {
    for (int x = 0; x < view.GetCharWidth(); ++x) {
      const QPoint p = corner + QPoint(x, y);
      if (image.valid(p) && image.pixelColor(p).rgb() == colour.rgb()) return true;
    }
  }
  return false;
}

} // namespace viewtest
