#include "print_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <sys/stat.h>

#include "file_name.h"
#include "page_setup.h"
#include "profile_store.h"
#include "text_buffer.h"
#include "text_printer.h"
#include "torvane_view.h"

namespace {

PrintFileOutcome Failure(const QString& message) { return {1, message}; }

// The device and inode a path leads to, following symbolic links; false when it names nothing.
bool Identity(const QString& path, dev_t& device, ino_t& inode) {
  struct stat status {};
  if (::stat(FileNameToBytes(path).constData(), &status) != 0) return false;
  device = status.st_dev;
  inode = status.st_ino;
  return true;
}

// Why the PDF may not be written at outPath when path is printed: it is the source itself
// (under any name, through any link), or a file that is not a PDF, which a mistyped command
// line would otherwise replace. Empty when it may.
QString OutputProblem(const QString& path, const QString& outPath) {
  dev_t outDevice = 0, inDevice = 0;
  ino_t outInode = 0, inInode = 0;
  if (!Identity(outPath, outDevice, outInode)) return {};
  const QString shown = QDir::toNativeSeparators(outPath);
  if (Identity(path, inDevice, inInode) && outDevice == inDevice && outInode == inInode)
    return QStringLiteral("%1 is the file to print; it was not written over.").arg(shown);
  QFile existing(outPath);
  if (QFileInfo(outPath).isFile() && existing.open(QIODevice::ReadOnly) &&
      existing.read(5) != "%PDF-")
    return QStringLiteral("%1 exists and is not a PDF; it was not replaced.").arg(shown);
  return {};
}

// Loads path and prints it on printer as a document window would: the document's font, Page
// Setup's values and "Page n/m" below every page.
PrintFileOutcome PrintWith(const QString& path, QPrinter& printer) {
  const QString shown = QDir::toNativeSeparators(path);
  // By the name's bytes: a name that is not valid UTF-8 is beyond QFileInfo.
  if (!FileNameExists(path)) return Failure(QStringLiteral("%1 does not exist.").arg(shown));
  CTextBuffer buffer;
  if (!buffer.Load(FileNameToBytes(path).toStdString(), LineEndStyle::Automatic))
    return Failure(QStringLiteral("Cannot read %1.").arg(shown));
  CTextPrinter textPrinter(&buffer);
  const QScreen* screen = QGuiApplication::primaryScreen();
  textPrinter.SetScreenFont(ResolveViewFont(CTorvaneView::DocumentFont(), false, false),
                            screen ? qRound(screen->logicalDotsPerInchY()) : 96);
  textPrinter.SetPageSetup(ReadPageSetup(CProfileStore()));
  QString error;
  if (!textPrinter.Print(printer, &error)) return Failure(error);
  return {};
}

} // namespace

PrintFileOutcome PrintFileToPdf(const QString& path, const QString& outPath) {
  if (const QString problem = OutputProblem(path, outPath); !problem.isEmpty())
    return Failure(problem);
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
