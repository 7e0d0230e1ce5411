// The text view: printing, print preview and page setup.
#include <QFontInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <climits>

#include "message_box.h"
#include "page_setup.h"
#include "print_dialogs.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "text_view.h"

namespace {

// Printed text is laid out like the platform's word-breaking text drawing: left and top
// aligned, lines broken at words, no mnemonic prefixes.
constexpr int PRINT_TEXT_FLAGS = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// A measuring rectangle "without a bottom".
constexpr int UNBOUNDED_HEIGHT = 1 << 24;

// Our rectangles keep right and bottom outside; QRect's corners are inside.
QRect ToQRect(const PrintRect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// a * b / c rounded to the nearest integer, for positive values.
int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c);
}

// The printer's own margins are its unprintable edges only; the page setup's margins are
// added inside them.
void UseMinimumMargins(QPrinter& printer) {
  printer.setFullPage(false);
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());
}

// Margins that meet or cross each other would leave every page blank: the reason not to
// print, or empty.
QString MarginProblem(const QPrinter& printer) {
  const PrintMargins margins = ReadPrintMargins(CProfileStore());
  const QRectF page = printer.pageRect(QPrinter::Millimeter);
  if (margins.left + margins.right < page.width() * 100.0 &&
      margins.top + margins.bottom < page.height() * 100.0)
    return {};
  return QStringLiteral("The page margins of Page Setup leave no room for text on the page. "
                        "Nothing was printed.");
}

// Characters that print as themselves, one cell each (a tab as blank cells).
bool IsPlainText(const char* chars, int length) {
  return std::all_of(chars, chars + length,
                     [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\t'; });
}

QString PrintableAscii() {
  QString ascii;
  for (char16_t c = 0x20; c < 0x7F; ++c) ascii += QChar(c);
  return ascii;
}

// The laid-out height of one line of printable ASCII in the painter's font, or 0 when the
// font lacks some of those characters (another face would fill in, with its own height).
int OneLineHeight(QPainter& painter, int width) {
  const QFontMetrics metrics(painter.font(), painter.device());
  for (QChar c : PrintableAscii())
    if (!metrics.inFont(c)) return 0;
  const QRect area(0, 0, std::max(1, width), UNBOUNDED_HEIGHT);
  return painter.boundingRect(area, PRINT_TEXT_FLAGS, QStringLiteral("X")).height();
}

// The advance every printable ASCII character has in the painter's font, or 0 when they
// differ (a proportional face: only a layout can tell a line's width).
double CellWidth(QPainter& painter) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double cell = metrics.horizontalAdvance(QLatin1Char('X'));
  for (QChar c : PrintableAscii())
    if (metrics.horizontalAdvance(c) != cell) return 0;
  return cell;
}

} // namespace

bool CTextView::PrintTo(QPrinter& printer, QString* error) {
  auto fail = [error](const QString& text) {
    if (error) *error = text;
    return false;
  };
  UseMinimumMargins(printer);
  if (const QString problem = MarginProblem(printer); !problem.isEmpty()) return fail(problem);
  QPainter painter;
  if (!painter.begin(&printer)) {
    return fail(printer.outputFileName().isEmpty()
                    ? QStringLiteral("The printer could not be opened.")
                    : QStringLiteral("Cannot write %1.").arg(printer.outputFileName()));
  }
  const QRect drawing(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
  OnBeginPrinting(painter);
  // Paginating before the first page, not in it, lets a page range that starts past the
  // end print nothing instead of a blank page.
  PaginateForPrint(painter, drawing);
  int first = 1;
  int last = INT_MAX;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = printer.fromPage();
    last = std::max(first, printer.toPage());
  }
  bool newPageFailed = false;
  for (int page = first; page <= last && OnPrepareDC(page); ++page) {
    if (page != first && !printer.newPage()) {
      newPageFailed = true;
      break;
    }
    OnPrint(painter, drawing, page);
  }
  OnEndPrinting();
  const bool ended = painter.end();
  if (newPageFailed || !ended || printer.printerState() == QPrinter::Error)
    return fail(QStringLiteral("Printing failed: the printer reported an error."));
  return true;
}

void CTextView::OnBeginPrinting(QPainter& painter) {
  // Printed text is half the size the screen font would have at the printer's resolution.
  // The description has no character width of its own, so only the height is scaled.
  QFont font = GetStyleFont(false, false);
  font.setLetterSpacing(QFont::PercentageSpacing, 100); // the screen's cell fit does not apply
  const int screenPixels = QFontInfo(font).pixelSize();
  const int printerPixels =
      MulDivRound(screenPixels, painter.device()->logicalDpiY(), 2 * logicalDpiY());
  m_printerFont.reset();
  if (printerPixels > 0) {
    font.setPixelSize(printerPixels);
    m_printerFont = std::make_unique<QFont>(font);
    painter.setFont(*m_printerFont);
  }
}

bool CTextView::OnPrepareDC(int page) const {
  return m_printPageStarts.empty() || page <= GetPrintPageCount();
}

void CTextView::PaginateForPrint(QPainter& painter, const QRect& drawingRect) {
  const QRect page = drawingRect.normalized();
  m_pageRect = {page.left(), page.top(), page.left() + page.width(), page.top() + page.height()};
  m_printLineHeight = painter.fontMetrics().height();

  const PrintMargins margins = ReadPrintMargins(CProfileStore());
  const int dpiX = painter.device()->logicalDpiX();
  const int dpiY = painter.device()->logicalDpiY();
  const PrintRect marginUnits{
      HundredthsMmToUnits(margins.left, dpiX), HundredthsMmToUnits(margins.top, dpiY),
      HundredthsMmToUnits(margins.right, dpiX), HundredthsMmToUnits(margins.bottom, dpiY)};
  m_printRect = TextAreaFor(m_pageRect, marginUnits, m_printLineHeight, m_printHeader,
                            m_printFooter);
  m_printOneLineHeight = OneLineHeight(painter, m_printRect.Width());
  m_printCellWidth = CellWidth(painter);
  m_printPageStarts = PaginateLines(GetLineCount(), m_printRect.top, m_printRect.bottom,
                                    [&](int line) { return MeasurePrintedLine(painter, line); });
}

int CTextView::MeasurePrintedLine(QPainter& painter, int line) {
  const int length = GetLineLength(line);
  if (length == 0) return m_printLineHeight;
  const char* chars = GetLineText(line);
  // Most lines are plain text in a fixed-pitch face that fits on one printed line: their
  // cells tell their width without a layout.
  if (m_printOneLineHeight > 0 && m_printCellWidth > 0 && IsPlainText(chars, length) &&
      GetExpandedLineLength(line) * m_printCellWidth < m_printRect.Width() - 1)
    return m_printOneLineHeight;
  const QString text = QString::fromLatin1(ExpandTabs(chars, 0, length));
  const QRect area(m_printRect.left, 0, m_printRect.Width(), UNBOUNDED_HEIGHT);
  return painter.boundingRect(area, PRINT_TEXT_FLAGS, text).height();
}

void CTextView::OnPrint(QPainter& painter, const QRect& drawingRect, int page) {
  if (m_printPageStarts.empty()) PaginateForPrint(painter, drawingRect);
  const PageLines lines = LinesOfPage(m_printPageStarts, page, GetLineCount());
  if (lines.first >= lines.end) return;
  if (m_printHeader) DrawPrintHeader(painter, page);
  if (m_printFooter) DrawPrintFooter(painter, page);

  int y = m_printRect.top;
  for (int line = lines.first; line < lines.end; ++line) {
    const int length = GetLineLength(line);
    if (length == 0) {
      y += m_printLineHeight;
      continue;
    }
    const QString text = QString::fromLatin1(ExpandTabs(GetLineText(line), 0, length));
    // Clipped at the bottom of the text area: a line taller than the area is cut off there.
    const QRect area = ToQRect({m_printRect.left, y, m_printRect.right, m_printRect.bottom});
    QRect drawn;
    painter.drawText(area, PRINT_TEXT_FLAGS, text, &drawn);
    y += drawn.height();
  }
}

void CTextView::DrawPrintFooter(QPainter& painter, int page) {
  const std::string text = FormatFooterText(page, GetPrintPageCount());
  if (text.empty()) return;
  painter.drawText(ToQRect(FooterBandFor(m_printRect, m_printLineHeight)),
                   Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                   QString::fromLatin1(text.c_str()));
}

void CTextView::DrawPrintHeader(QPainter& painter, int page) {
  const std::string text = FormatHeaderText(page);
  if (text.empty()) return;
  painter.drawText(ToQRect(HeaderBandFor(m_printRect, m_printLineHeight)),
                   Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                   QString::fromLatin1(text.c_str()));
}

void CTextView::OnEndPrinting() {
  m_printerFont.reset();
  m_printPageStarts.clear();
  m_printLineHeight = 0;
  m_printOneLineHeight = 0;
  m_printCellWidth = 0;
}

// ---------------------------------------------------------------------------------------
// Commands

void CTextView::OnFilePageSetup() {
  CProfileStore store;
  RunPageSetup(store, this);
}

void CTextView::OnFilePrint(bool direct) {
  if (direct && !HasChosenPrinter() && QPrinterInfo::defaultPrinter().isNull()) {
    TorvaneMessageBox(QStringLiteral("No default printer is set up. Use Print to choose a "
                                     "printer or to print to a file."),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  if (!direct) {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, 0xFFFF);
    if (RunPrintDialog(dialog) != QDialog::Accepted) return;
  }
  QString error;
  if (!PrintTo(printer, &error)) TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

void CTextView::OnFilePrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrinterChoice(printer);
  UseMinimumMargins(printer);
  QString error = MarginProblem(printer);
  if (!error.isEmpty()) {
    TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QPrintPreviewDialog dialog(&printer, this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this, &error](QPrinter* target) {
            if (error.isEmpty()) PrintTo(*target, &error);
          });
  RunPrintDialog(dialog);
  if (!error.isEmpty()) TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}
