#include "torvane_view.h"

#include "colouring.h"
#include "style_table.h"
#include "text_buffer.h"

namespace {
bool InStyleTable(int colourIndex) {
  return colourIndex >= 0 && colourIndex < CStyleTable::STYLE_COUNT;
}
} // namespace

CTorvaneView::CTorvaneView(QWidget* parent) : CCrystalEditView(parent) {}

CTorvaneView::~CTorvaneView() {
  // Leave the buffer's list of views before the view is gone.
  DetachBuffer();
}

FontDescription CTorvaneView::DocumentFont() {
  FontDescription font;
  font.faceName = "Courier New";
  font.height = 0;
  font.weight = 400;
  font.italic = false;
  font.charSet = 0;
  return font;
}

void CTorvaneView::OnInitialUpdate() {
  AttachBuffer(nullptr);
  SetViewFont(DocumentFont());
}

COLORREF CTorvaneView::GetStyleColor(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::GetStyleColor(colourIndex);
  return TheStyleTable().GetColour(colourIndex);
}

bool CTorvaneView::IsStyleBold(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::IsStyleBold(colourIndex);
  return TheStyleTable().IsBold(colourIndex);
}

bool CTorvaneView::IsStyleItalic(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::IsStyleItalic(colourIndex);
  return TheStyleTable().IsItalic(colourIndex);
}

uint32_t CTorvaneView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                  int& runCount) {
  const char* text = GetLineText(lineIndex);
  const int length = text ? GetLineLength(lineIndex) : 0;
  return ::ColourLine(cookie, text ? text : "", length, runs, runCount);
}
