#include "print_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "text_buffer.h"
#include "torvane_view.h"

namespace {

PrintFileOutcome Failure(const QString& message) { return {1, message}; }

// Loads path and prints it on printer through a hidden view.
PrintFileOutcome PrintWith(const QString& path, QPrinter& printer) {
  const QString shown = QDir::toNativeSeparators(path);
  const QFileInfo info(path);
  if (!info.exists()) return Failure(QStringLiteral("%1 does not exist.").arg(shown));
  CTextBuffer buffer;
  if (info.isDir() || !buffer.Load(path.toStdString(), LineEndStyle::Automatic))
    return Failure(QStringLiteral("Cannot read %1.").arg(shown));
  auto view = std::make_unique<CTorvaneView>();
  view->SetDocumentBuffer(&buffer);
  view->OnInitialUpdate();
  QString error;
  const bool printed = view->PrintTo(printer, &error);
  view->DetachBuffer();
  if (!printed) return Failure(error);
  return {};
}

} // namespace

PrintFileOutcome PrintFileToPdf(const QString& path, const QString& outPath) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(outPath);
  return PrintWith(path, printer);
}

PrintFileOutcome PrintFileToDefaultPrinter(const QString& path) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull())
    return Failure(QStringLiteral("No default printer is set up; %1 was not printed.")
                       .arg(QDir::toNativeSeparators(path)));
  QPrinter printer(info, QPrinter::HighResolution);
  return PrintWith(path, printer);
}

PrintFileOutcome PrintFiles(const QStringList& files, const QString& pdfPath) {
  if (!pdfPath.isEmpty()) {
    if (files.size() != 1) return Failure(QStringLiteral("One file prints into a PDF."));
    return PrintFileToPdf(files.first(), pdfPath);
  }
  PrintFileOutcome all;
  for (const QString& file : files) {
    const PrintFileOutcome outcome = PrintFileToDefaultPrinter(file);
    if (outcome.status == 0) continue;
    all.status = outcome.status;
    all.message += (all.message.isEmpty() ? QString() : QStringLiteral("\n")) + outcome.message;
  }
  return all;
}
