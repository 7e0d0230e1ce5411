#pragma once
#include <QString>
#include <QStringList>

// Printing a source file without a window, for the command line: the file is printed as Print
// prints it from a document window, with the document's font and Page Setup's values.

struct PrintFileOutcome {
  int status = 0;  // 0 printed; non-zero failed
  QString message; // why it failed, for the user; empty on success
};

// Prints path into the PDF file outPath. Refuses, touching nothing, an outPath that is path
// itself (the same file through any link) or an existing file that is not a PDF.
PrintFileOutcome PrintFileToPdf(const QString& path, const QString& outPath);

// Prints path on the default printer. Fails at once, with a message, when the system has no
// default printer.
PrintFileOutcome PrintFileToDefaultPrinter(const QString& path);

// What the command line asks for: files in turn on the default printer, or (pdfPath not
// empty) the one file into pdfPath. Failures are joined in the message, one a line; the
// status is non-zero when any file failed.
PrintFileOutcome PrintFiles(const QStringList& files, const QString& pdfPath);
