#pragma once
#include <functional>
#include <vector>

// Page geometry and pagination of a printed listing, in printer units, apart from any painter
// so that where pages break can be worked out and checked without a printer. Plain C++.

// A rectangle by its edges; right and bottom lie just outside it, as with the platform's
// rectangles.
struct PrintRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// The four page margins, in hundredths of a millimetre (the page-setup dialog's unit).
struct PrintMargins {
  int left = 1000;
  int right = 1000;
  int top = 1000;
  int bottom = 1000;

  friend bool operator==(const PrintMargins&, const PrintMargins&) = default;
};

// hundredths of a millimetre at dotsPerInch, rounded to the nearest unit (halves away from 0).
int HundredthsMmToUnits(int hundredthsMm, int dotsPerInch);

// The area text is laid out in: the page rectangle (normalized) less the margins (already in
// printer units), less a band of h + h/2 at the top for a header and at the bottom for a
// footer, where h is the printed line height.
PrintRect TextAreaFor(PrintRect page, PrintRect marginUnits, int lineHeight, bool header,
                      bool footer);

// The band the footer is drawn in: below the text area, h + h/2 high.
PrintRect FooterBandFor(const PrintRect& textArea, int lineHeight);
// The band the header is drawn in: above the text area, h + h/2 high.
PrintRect HeaderBandFor(const PrintRect& textArea, int lineHeight);

// The first line of every page for lineCount lines laid out from top to bottom, line i
// taking lineHeight(i). A line that still fits exactly stays on its page; a line taller than
// the whole area gets a page of its own. Page 1 starts at line 0 even without lines.
std::vector<int> PaginateLines(int lineCount, int top, int bottom,
                               const std::function<int(int line)>& lineHeight);

// The lines [first, end) of page (1-based) of a pagination; an empty range for a page beyond
// the last.
struct PageLines {
  int first = 0;
  int end = 0;
};
PageLines LinesOfPage(const std::vector<int>& pageStarts, int page, int lineCount);
