#include "print_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

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

PrintMargins ClampMargins(PrintMargins margins, int pageWidth, int pageHeight) {
  const auto within = [](int margin, int extent) { return std::clamp(margin, 0, std::max(0, extent)); };
  return {within(margins.left, pageWidth), within(margins.right, pageWidth),
          within(margins.top, pageHeight), within(margins.bottom, pageHeight)};
}

namespace {
// a * b / c rounded to the nearest integer, for positive values; 64 bits on the way.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c) { return (a * b + c / 2) / c; }
} // namespace

int PrintedFontPixels(PrintFontSize size, int screenPixels, int screenDpi, int printerDpi) {
  const int64_t screen = screenDpi > 0 ? screenDpi : 96;
  int64_t pixels = 0;
  if (size.halfSize)
    pixels = MulDivRound(screenPixels, printerDpi, 2 * screen);
  else if (size.tenthsOfPoint > 0)
    pixels = MulDivRound(size.tenthsOfPoint, printerDpi, 720); // 72 points an inch
  else
    pixels = MulDivRound(screenPixels, printerDpi, screen);
  return static_cast<int>(std::clamp<int64_t>(pixels, 1, 1 << 20));
}

CRowBreaker::CRowBreaker(const std::array<double, 256>& advances, double width, int tabSize)
    : m_advances(advances), m_width(width), m_tabSize(std::max(1, tabSize)) {}

PrintPosition CRowBreaker::NextRow(std::string_view text, int from, int column) const {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  const int length = static_cast<int>(text.size());
  double x = 0;
  int i = from;
  PrintPosition lastBreak{0, -1, 0};
  while (i < length) {
    if (isBlank(text[i])) {
      // Blanks never push a word on: they may hang past the row's end, and the row breaks after them.
      for (; i < length && isBlank(text[i]); ++i) {
        const int next = text[i] == '\t' ? column + m_tabSize - column % m_tabSize : column + 1;
        x += (next - column) * m_advances[' '];
        column = next;
      }
      if (x > m_width) return {0, i, column};
      lastBreak = {0, i, column};
      continue;
    }
    // A character of ISO 8859-1 (or ASCII) has its own advance; another takes its cells (two
    // for a wide one, four for each byte of an escape) at the width of a blank.
    const auto byte = static_cast<unsigned char>(text[i]);
    int bytes = 1, cells = 1;
    double advance = m_advances[byte];
    if (byte >= 0x80 && m_encoding != TextEncoding::Iso8859_1) {
      const CharUnit unit = UnitAt(text, i, m_encoding);
      bytes = unit.length;
      cells = UnitCells(unit);
      advance = cells * m_advances[' '];
    }
    if (x + advance > m_width) {
      if (lastBreak.byte >= 0) return lastBreak;
      if (i == from) return {0, i + bytes, column + cells}; // not even one character fits: it goes alone
      return {0, i, column};
    }
    x += advance;
    column += cells;
    i += bytes;
  }
  return {0, length, column};
}

std::vector<PrintPiece> RowPieces(std::string_view text, int from, int to, int column,
                                  int tabSize, TextEncoding encoding) {
  std::vector<PrintPiece> pieces;
  bool open = false; // whether the next character joins the last piece
  for (int i = from; i < to;) {
    const int start = i;
    const CharUnit unit = UnitAt(text, i, encoding);
    const int next = ColumnAfterUnit(text, i, column, encoding, tabSize);
    if (text[static_cast<std::size_t>(start)] == '\t') {
      open = false;
    } else {
      const bool wide = !unit.escape && IsWideChar(unit.code);
      if (!open || wide) pieces.push_back({column, {}});
      pieces.back().bytes.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
      open = !wide;
    }
    column = next;
  }
  while (!pieces.empty()) {
    std::string& last = pieces.back().bytes;
    while (!last.empty() && last.back() == ' ') last.pop_back();
    if (!last.empty()) break;
    pieces.pop_back();
  }
  return pieces;
}

CPrintRows::CPrintRows(int lineCount, LineText lineText, const CRowBreaker& breaker)
    : m_lineCount(lineCount), m_lineText(std::move(lineText)), m_breaker(breaker) {}

PrintPosition CPrintRows::Next(const PrintPosition& row) const {
  if (row.line >= m_lineCount) return {m_lineCount, 0, 0};
  const std::string_view text = Text(row.line);
  const PrintPosition next = m_breaker.NextRow(text, row.byte, row.column);
  if (next.byte >= static_cast<int>(text.size())) return {row.line + 1, 0, 0};
  return {row.line, next.byte, next.column};
}

int CPrintRows::RowEnd(const PrintPosition& row) const {
  const PrintPosition next = Next(row);
  return next.line == row.line ? next.byte : static_cast<int>(Text(row.line).size());
}

int CPrintRows::CountRows(int line, int limit) const {
  int count = 0;
  PrintPosition row{line, 0, 0};
  do {
    row = Next(row);
    ++count;
  } while (row.line == line && count < limit);
  return count;
}

std::vector<PrintPosition> PaginateRows(const CPrintRows& rows, int rowsPerPage) {
  rowsPerPage = std::max(1, rowsPerPage);
  std::vector<PrintPosition> starts{PrintPosition{}};
  int used = 0; // rows on the current page
  for (int line = 0; line < rows.LineCount(); ++line) {
    const int count = rows.CountRows(line, rowsPerPage + 1);
    if (count <= rowsPerPage) {
      if (used + count > rowsPerPage) {
        starts.push_back({line, 0, 0});
        used = 0;
      }
      used += count;
      continue;
    }
    if (used > 0) starts.push_back({line, 0, 0});
    used = 0;
    for (PrintPosition row{line, 0, 0}; row.line == line; row = rows.Next(row)) {
      if (used == rowsPerPage) {
        starts.push_back(row);
        used = 0;
      }
      ++used;
    }
  }
  return starts;
}
