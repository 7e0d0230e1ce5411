#include "text_printer.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <climits>
#include <cstdio>

#include "line_text.h"
#include "text_buffer.h"

namespace {

constexpr int PRINT_TAB_SIZE = 4; // the view's tab stops

// Our rectangles keep right and bottom outside; QRect's corners are inside.
QRect ToQRect(const PrintRect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// The printer's own margins are its unprintable edges only; the page setup's margins are
// added inside them.
void UseMinimumMargins(QPrinter& printer) {
  printer.setFullPage(false);
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());
}

// Printer units at dpi as hundredths of a millimetre, for a page's extent.
int UnitsToHundredthsMm(int units, int dpi) {
  return static_cast<int>(int64_t{units} * 2540 / std::max(1, dpi));
}

bool RowBefore(const PrintPosition& a, const PrintPosition& b) {
  return a.line < b.line || (a.line == b.line && a.byte < b.byte);
}

std::string PageOfPages(int page, int pageCount) {
  char text[64];
  std::snprintf(text, sizeof text, "Page %d/%d", page, pageCount);
  return text;
}

} // namespace

CTextPrinter::CTextPrinter(const CTextBuffer* buffer) : m_buffer(buffer), m_footer(PageOfPages) {}

CTextPrinter::~CTextPrinter() = default;

void CTextPrinter::SetScreenFont(const QFont& font, int screenDpi) {
  m_screenFont = font;
  m_screenDpi = screenDpi;
}

void CTextPrinter::SetFooterFormat(std::function<std::string(int, int)> format) {
  m_footer = std::move(format);
}

std::string_view CTextPrinter::LineText(int line) const {
  if (!m_buffer) return {};
  return {m_buffer->LineChars(line), static_cast<std::size_t>(m_buffer->LineLength(line))};
}

void CTextPrinter::MakeFont(QPaintDevice& device) {
  m_font = m_screenFont;
  // The screen's fit of every face to one cell does not apply on paper.
  m_font.setLetterSpacing(QFont::PercentageSpacing, 100);
  m_font.setPixelSize(PrintedFontPixels(m_setup.fontSize, QFontInfo(m_screenFont).pixelSize(),
                                        m_screenDpi, device.logicalDpiY()));
  const QFontMetrics metrics(m_font, &device);
  // A row is as high as the platform's text layout makes a line of this font.
  m_rowHeight = std::max(1, metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20),
                                                 Qt::AlignLeft | Qt::AlignTop,
                                                 QStringLiteral("X")).height());
  m_ascent = metrics.ascent();
}

QString CTextPrinter::Paginate(QPaintDevice& device, const QRect& drawing) {
  End();
  MakeFont(device);
  const QRect page = drawing.normalized();
  const int dpiX = device.logicalDpiX();
  const int dpiY = device.logicalDpiY();
  // Margins from the store may be anything: none reaches past the paper.
  const PrintMargins margins = ClampMargins(m_setup.margins, UnitsToHundredthsMm(page.width(), dpiX),
                                            UnitsToHundredthsMm(page.height(), dpiY));
  const PrintRect marginUnits{
      HundredthsMmToUnits(margins.left, dpiX), HundredthsMmToUnits(margins.top, dpiY),
      HundredthsMmToUnits(margins.right, dpiX), HundredthsMmToUnits(margins.bottom, dpiY)};
  m_textArea = TextAreaFor({page.left(), page.top(), page.left() + page.width(),
                            page.top() + page.height()},
                           marginUnits, m_rowHeight, false, static_cast<bool>(m_footer));

  const QFontMetricsF metrics(m_font, &device);
  std::array<double, 256> advances{};
  double widest = 0;
  for (int c = 0; c < 256; ++c) {
    advances[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QChar(c));
    if (c >= 0x20 && c < 0x7F) widest = std::max(widest, advances[static_cast<std::size_t>(c)]);
  }
  const int rowsPerPage = m_textArea.Height() / m_rowHeight;
  if (m_textArea.Width() < widest || rowsPerPage < 1) {
    End();
    return QStringLiteral("The page margins of Page Setup leave no room for text on the page. "
                          "Nothing was printed.");
  }
  m_cellWidth = advances[' '];
  m_breaker = std::make_unique<CRowBreaker>(advances, m_textArea.Width(), PRINT_TAB_SIZE);
  m_breaker->SetEncoding(m_buffer ? m_buffer->Encoding() : ENC_DEFAULT);
  m_rows = std::make_unique<CPrintRows>(
      m_buffer ? m_buffer->LineCount() : 1, [this](int line) { return LineText(line); },
      *m_breaker);
  m_pageStarts = PaginateRows(*m_rows, rowsPerPage);
  return {};
}

QString CTextPrinter::Paginate(QPrinter& printer) {
  UseMinimumMargins(printer);
  return Paginate(printer, QRect(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize()));
}

void CTextPrinter::PrintPage(QPainter& painter, int page) const {
  if (page < 1 || page > PageCount()) return;
  const PrintPosition stop = page < PageCount() ? m_pageStarts[static_cast<std::size_t>(page)]
                                                : PrintPosition{m_rows->LineCount(), 0, 0};
  painter.setFont(m_font);
  DrawFooter(painter, page);
  int y = m_textArea.top;
  for (PrintPosition row = m_pageStarts[static_cast<std::size_t>(page - 1)]; RowBefore(row, stop);) {
    const PrintPosition next = m_rows->Next(row);
    const std::string_view text = m_rows->Text(row.line);
    const int end = next.line == row.line ? next.byte : static_cast<int>(text.size());
    // Each piece at its column: the tab stops are where the view shows them.
    for (const PrintPiece& piece : RowPieces(text, row.byte, end, row.column, PRINT_TAB_SIZE,
                                             m_buffer ? m_buffer->Encoding() : ENC_DEFAULT))
      painter.drawText(QPointF(m_textArea.left + (piece.column - row.column) * m_cellWidth, y + m_ascent),
                       PrintedText(piece.bytes));
    y += m_rowHeight;
    row = next;
  }
}

QString CTextPrinter::PrintedText(const std::string& bytes) const {
  return DecodedQString(bytes, m_buffer ? m_buffer->Encoding() : ENC_DEFAULT);
}

void CTextPrinter::DrawFooter(QPainter& painter, int page) const {
  if (!m_footer) return;
  const std::string text = m_footer(page, PageCount());
  if (text.empty()) return;
  painter.drawText(ToQRect(FooterBandFor(m_textArea, m_rowHeight)),
                   Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                   QString::fromLatin1(text.c_str()));
}

void CTextPrinter::End() {
  m_pageStarts.clear();
  m_rows.reset();
  m_breaker.reset();
  m_rowHeight = 0;
}

bool CTextPrinter::Print(QPrinter& printer, QString* error) {
  auto fail = [error](const QString& text) {
    if (error) *error = text;
    return false;
  };
  if (const QString problem = Paginate(printer); !problem.isEmpty()) return fail(problem);
  QPainter painter;
  if (!painter.begin(&printer)) {
    End();
    return fail(printer.outputFileName().isEmpty()
                    ? QStringLiteral("The printer could not be opened.")
                    : QStringLiteral("Cannot write %1.").arg(printer.outputFileName()));
  }
  int first = 1;
  int last = PageCount();
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = printer.fromPage();
    last = std::min(last, std::max(first, printer.toPage()));
  }
  bool newPageFailed = false;
  for (int page = first; page <= last; ++page) {
    if (page != first && !printer.newPage()) {
      newPageFailed = true;
      break;
    }
    PrintPage(painter, page);
  }
  End();
  const bool ended = painter.end();
  if (newPageFailed || !ended || printer.printerState() == QPrinter::Error)
    return fail(QStringLiteral("Printing failed: the printer reported an error."));
  return true;
}
