#include "print_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

int HundredthsMmToUnits(int hundredthsMm, int dotsPerInch) {
  const int64_t product = int64_t{hundredthsMm} * dotsPerInch;
  const int64_t half = product >= 0 ? 1270 : -1270;
  return static_cast<int>((product + half) / 2540);
}

PrintRect TextAreaFor(PrintRect page, PrintRect marginUnits, int lineHeight, bool header,
                      bool footer) {
  if (page.left > page.right) std::swap(page.left, page.right);
  if (page.top > page.bottom) std::swap(page.top, page.bottom);
  PrintRect area{page.left + marginUnits.left, page.top + marginUnits.top,
                 page.right - marginUnits.right, page.bottom - marginUnits.bottom};
  const int band = lineHeight + lineHeight / 2;
  if (header) area.top += band;
  if (footer) area.bottom -= band;
  return area;
}

PrintRect FooterBandFor(const PrintRect& textArea, int lineHeight) {
  return {textArea.left, textArea.bottom, textArea.right,
          textArea.bottom + lineHeight + lineHeight / 2};
}

PrintRect HeaderBandFor(const PrintRect& textArea, int lineHeight) {
  return {textArea.left, textArea.top - (lineHeight + lineHeight / 2), textArea.right,
          textArea.top};
}

std::vector<int> PaginateLines(int lineCount, int top, int bottom,
                               const std::function<int(int line)>& lineHeight) {
  // The start table grows 32 entries at a time, as a listing rarely needs more.
  std::vector<int> starts;
  starts.reserve(32);
  starts.push_back(0);
  if (lineCount <= 0) return starts;
  int y = top + lineHeight(0);
  for (int i = 1; i < lineCount; ++i) {
    const int height = lineHeight(i);
    y += height;
    if (y > bottom) {
      if (starts.size() == starts.capacity()) starts.reserve(starts.size() + 32);
      starts.push_back(i);
      y = top + height;
    }
  }
  return starts;
}

PageLines LinesOfPage(const std::vector<int>& pageStarts, int page, int lineCount) {
  const int pageCount = static_cast<int>(pageStarts.size());
  if (page < 1 || page > pageCount) return {lineCount, lineCount};
  const int first = pageStarts[page - 1];
  const int end = page < pageCount ? pageStarts[page] : lineCount;
  return {first, std::max(first, end)};
}
