#pragma once
#include <QFont>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print_layout.h"

class CTextBuffer;
class QPaintDevice;
class QPainter;
class QPrinter;
class QRect;

// Prints the text of a buffer as a plain listing: no colours, the printed font chosen by Page
// Setup, long lines wrapped at words onto as many rows and pages as they need, the page
// margins, and a footer ("Page n/m") below every page. It needs no view: the text view's print
// commands and printing from the command line both use it.
class CTextPrinter {
public:
  // buffer may be null (an empty text); it must stay unchanged while a job runs.
  explicit CTextPrinter(const CTextBuffer* buffer);
  ~CTextPrinter();

  // The screen font printing starts from (its face, and its size unless Page Setup chose
  // one) and the screen's vertical resolution.
  void SetScreenFont(const QFont& font, int screenDpi);
  void SetPageSetup(const PageSetup& setup) { m_setup = setup; }
  // The footer of a page; an empty text leaves the page without one.
  void SetFooterFormat(std::function<std::string(int page, int pageCount)> format);

  // One job of the whole text onto printer; pages outside its page range are skipped. False,
  // with *error (when given) saying why, when the margins leave no room for text (nothing is
  // opened then) or the printer cannot be opened or fails.
  bool Print(QPrinter& printer, QString* error = nullptr);

  // The steps of a job, as Print runs them. Paginate lays the text out for device, whose
  // printable area is drawing (in a painter's coordinates on it), and returns why nothing
  // can be printed there, or an empty text. PrintPage draws page (1-based; nothing for a page
  // beyond the last) with a painter active on that device. End forgets the job.
  QString Paginate(QPaintDevice& device, const QRect& drawing);
  // The same on printer's page inside its unprintable edges, as Print lays it out.
  QString Paginate(QPrinter& printer);
  void PrintPage(QPainter& painter, int page) const;
  void End();

  // The job's layout, valid between Paginate and End.
  int PageCount() const { return static_cast<int>(m_pageStarts.size()); }
  const std::vector<PrintPosition>& PageStarts() const { return m_pageStarts; }
  const QFont& PrintedFont() const { return m_font; }
  int RowHeight() const { return m_rowHeight; }
  const PrintRect& TextArea() const { return m_textArea; }

private:
  std::string_view LineText(int line) const;
  void MakeFont(QPaintDevice& device);
  void DrawFooter(QPainter& painter, int page) const;
  // A printed row's bytes as characters of the text's encoding.
  QString PrintedText(const std::string& bytes) const;

  const CTextBuffer* m_buffer;
  QFont m_screenFont;
  int m_screenDpi = 96;
  PageSetup m_setup;
  std::function<std::string(int, int)> m_footer;

  // The job: the font and its metrics on the printer, the text area, the rows and the first
  // row of every page.
  QFont m_font;
  int m_rowHeight = 0;
  int m_ascent = 0;
  double m_cellWidth = 0; // of a blank: a column's width
  PrintRect m_textArea;
  std::unique_ptr<CRowBreaker> m_breaker;
  std::unique_ptr<CPrintRows> m_rows;
  std::vector<PrintPosition> m_pageStarts;
};
