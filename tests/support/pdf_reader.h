#pragma once
// Reading a printed PDF back with poppler's pdftotext (which writes the words as HTML text): its
// pages, and on each the words with their corners in points from the page's top-left corner.
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocumentFragment>
#include <vector>

namespace pdftest {

struct Word {
  int page = 0; // 1-based
  QString text;
  double x = 0, y = 0, right = 0, bottom = 0;
};

struct Pdf {
  int pages = 0;
  std::vector<Word> words;

  // The text lines of a page: its words joined by one blank, a line per distinct top.
  QStringList Lines(int page) const {
    QStringList lines;
    double top = -1;
    for (const Word& w : words) {
      if (w.page != page) continue;
      if (lines.isEmpty() || w.y != top) lines << w.text;
      else lines.last() += QLatin1Char(' ') + w.text;
      top = w.y;
    }
    return lines;
  }
};

inline Pdf Read(const QString& path) {
  Pdf pdf;
  QProcess tool;
  tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
  if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return pdf;
  static const QRegularExpression item(QStringLiteral(
      "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
      "([^<]*)</word>"));
  const QString html = QString::fromUtf8(tool.readAllStandardOutput());
  for (auto it = item.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (m.captured(1).isEmpty())
      ++pdf.pages;
    else
      pdf.words.push_back({pdf.pages, QTextDocumentFragment::fromHtml(m.captured(5)).toPlainText(),
                           m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                           m.captured(4).toDouble()});
  }
  return pdf;
}

} // namespace pdftest
