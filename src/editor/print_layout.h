#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text_encoding.h"

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

// Each margin brought within 0 .. the page's extent in its direction (all in hundredths of a
// millimetre), so that no sum of margins can overflow and none lies beyond the paper.
PrintMargins ClampMargins(PrintMargins margins, int pageWidth, int pageHeight);

// The size of the printed font: with halfSize, half the size the screen font would have at the
// printer's resolution (a denser listing); else tenthsOfPoint when above 0; else the screen
// font's point size.
struct PrintFontSize {
  int tenthsOfPoint = 0;
  bool halfSize = false;
  friend bool operator==(const PrintFontSize&, const PrintFontSize&) = default;
};
// The printed font's height in printer pixels for a screen font of screenPixels at screenDpi;
// at least 1.
int PrintedFontPixels(PrintFontSize size, int screenPixels, int screenDpi, int printerDpi);

// What Page Setup keeps for printing.
struct PageSetup {
  PrintMargins margins;
  PrintFontSize fontSize;
  friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

// Where a printed row begins: a byte of a line, and the column there (tabs run to the next
// multiple of the tab size, counted from the start of the line).
struct PrintPosition {
  int line = 0;
  int byte = 0;
  int column = 0;
  friend bool operator==(const PrintPosition&, const PrintPosition&) = default;
};

// Breaks lines into printed rows no wider than a width, at blanks where it can: a word longer
// than a row is broken where the row is full. The blanks at a break stay with the row before
// it, beyond its end if need be, so that every row but a line's first starts with a word.
class CRowBreaker {
public:
  // advances: the printed width of each byte (ISO 8859-1 characters) in printer units.
  CRowBreaker(const std::array<double, 256>& advances, double width, int tabSize);

  // The start of the row after the one that begins at byte from (at column) of text; a byte
  // of text.size() or more when that row is the line's last. A row holds one byte at least.
  PrintPosition NextRow(std::string_view text, int from, int column) const;
  // The encoding of the text: a row never starts inside a character, and columns count the
  // cells the view gives each character (two for a wide one, four for each escaped byte).
  void SetEncoding(TextEncoding encoding) { m_encoding = encoding; }

private:
  TextEncoding m_encoding = ENC_DEFAULT;
  std::array<double, 256> m_advances;
  double m_width;
  int m_tabSize;
};

// The bytes [from, to) of text as printed, in pieces that each start at a column (counted
// as the view counts them in encoding, from column at from): a tab ends a piece and the next
// begins at its tab stop; a wide character stands alone, so that what follows it starts at
// its own column whatever width the glyph the printer finds has. No blanks at the end.
struct PrintPiece {
  int column = 0;
  std::string bytes;
  friend bool operator==(const PrintPiece&, const PrintPiece&) = default;
};
std::vector<PrintPiece> RowPieces(std::string_view text, int from, int to, int column, int tabSize,
                                  TextEncoding encoding = ENC_DEFAULT);

// The rows of a text of lineCount lines, line by line. Memory does not grow with the length
// of a line: a row is found from the one before it.
class CPrintRows {
public:
  using LineText = std::function<std::string_view(int line)>;
  CPrintRows(int lineCount, LineText lineText, const CRowBreaker& breaker);

  int LineCount() const { return m_lineCount; }
  std::string_view Text(int line) const { return m_lineText(line); }
  // The start of the row after the one at row; {LineCount(), 0, 0} after the last.
  PrintPosition Next(const PrintPosition& row) const;
  // Where the row at row ends in its line (the next row's byte, or the line's length).
  int RowEnd(const PrintPosition& row) const;
  // How many rows line has, counting no further than limit.
  int CountRows(int line, int limit) const;

private:
  int m_lineCount;
  LineText m_lineText;
  const CRowBreaker& m_breaker;
};

// The first row of every page for rowsPerPage (at least 1) rows a page. A line that fits on a
// page is not split: when it does not fit below the rows before it, it starts the next page.
// A line longer than a page starts a page and runs on over as many as it needs. Page 1 starts
// at the first row even without text.
std::vector<PrintPosition> PaginateRows(const CPrintRows& rows, int rowsPerPage);
