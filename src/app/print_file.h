#pragma once
#include <QString>
#include <QStringList>

// Printing a source file without showing a window, for the command line: the file is shown
// in an Inform view that is never displayed, and printed exactly as Print prints it.

struct PrintFileOutcome {
  int status = 0;  // 0 printed; non-zero failed
  QString message; // why it failed, for the user; empty on success
};

// Prints path into the PDF file outPath.
PrintFileOutcome PrintFileToPdf(const QString& path, const QString& outPath);

// Prints path on the default printer. Fails at once, with a message, when the system has no
// default printer.
PrintFileOutcome PrintFileToDefaultPrinter(const QString& path);

// What the command line asks for: files in turn on the default printer, or (pdfPath not
// empty) the one file into pdfPath. Failures are joined in the message, one a line; the
// status is non-zero when any file failed.
PrintFileOutcome PrintFiles(const QStringList& files, const QString& pdfPath);
