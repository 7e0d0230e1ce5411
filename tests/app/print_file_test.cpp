// Printing a file without a window, as the command line does: into a PDF, and the failures
// that must come back as a message and a non-zero status.
#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/pdf_reader.h"
#include "print_file.h"
#include "profile_store.h"

namespace {

TEST(PrintFile, SourcePrintsIntoAPdfOrFailsWithAMessage) {
  QTemporaryDir dir;
  CProfileStore::SetUserConfigDirectory(dir.path());
  const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  const QString source = QStringLiteral(TORVANE_TEST_DATA "/lantern.inf");

  PrintFileOutcome outcome = PrintFileToPdf(source, pdf);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.message, "");
  const QStringList lines = pdftest::Read(pdf).Lines(1);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines.first(), "! Lantern: a two-room game written for Torvane's build and run tests.");
  EXPECT_EQ(lines.last(), "Page 1/1");

  QFile::remove(pdf);
  const QString missing = dir.filePath(QStringLiteral("none.inf"));
  const QString badOut = dir.filePath(QStringLiteral("no/folder/out.pdf"));
  const struct {
    QString source, out, message;
  } failures[] = {{missing, pdf, missing + " does not exist."},
                  {dir.path(), pdf, "Cannot read " + dir.path() + "."},
                  {source, badOut, "Cannot write " + badOut + "."}};
  for (const auto& f : failures) {
    outcome = PrintFileToPdf(f.source, f.out);
    EXPECT_NE(outcome.status, 0) << f.message.toStdString();
    EXPECT_EQ(outcome.message, f.message);
    EXPECT_FALSE(QFile::exists(pdf));
  }

  if (!QPrinterInfo::defaultPrinter().isNull()) return; // it would really print
  outcome = PrintFileToDefaultPrinter(source);
  EXPECT_NE(outcome.status, 0);
  EXPECT_EQ(outcome.message, "No default printer is set up; " + source + " was not printed.");
}

} // namespace
