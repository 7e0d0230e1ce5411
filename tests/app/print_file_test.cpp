// Printing a file without a window, as the command line does: into a PDF, and the failures
// that must come back as a message and a non-zero status.
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/pdf_reader.h"
#include "print_file.h"
#include "profile_store.h"

namespace {

// What cannot be printed comes back as a message and a non-zero status (the program's own
// run, below, prints and meets a missing file).
TEST(PrintFile, FailuresComeBackAsMessagesWithANonZeroStatus) {
  QTemporaryDir dir;
  CProfileStore::SetUserConfigDirectory(dir.path());
  const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  const QString source = QStringLiteral(TORVANE_TEST_DATA "/lantern.inf");
  const QString badOut = dir.filePath(QStringLiteral("no/folder/out.pdf"));
  const struct {
    QString source, out, message;
  } failures[] = {{dir.path(), pdf, "Cannot read " + dir.path() + "."},
                  {source, badOut, "Cannot write " + badOut + "."}};
  for (const auto& f : failures) {
    const PrintFileOutcome outcome = PrintFileToPdf(f.source, f.out);
    EXPECT_NE(outcome.status, 0) << f.message.toStdString();
    EXPECT_EQ(outcome.message, f.message);
    EXPECT_FALSE(QFile::exists(pdf));
  }

  if (!QPrinterInfo::defaultPrinter().isNull()) return; // it would really print
  const PrintFileOutcome outcome = PrintFiles({source, source}, QString());
  EXPECT_NE(outcome.status, 0);
  const QString once = "No default printer is set up; " + source + " was not printed.";
  EXPECT_EQ(outcome.message, once + "\n" + once); // every file is tried
}

// The program itself, with no display to open: the PDF has the page setup's margins, and a
// missing file is a message on standard error with a non-zero status.
TEST(PrintFile, TorvanePrintToPdfPrintsWithoutAWindowOrSaysWhyNot) {
  QTemporaryDir dir;
  CProfileStore::SetUserConfigDirectory(dir.path());
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "LeftMargin", 2500);
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "TopMargin", 2000);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(QString::fromLatin1(name));
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path()); // Qt warns without one
  const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  auto run = [&](const QString& source, std::string& errors) {
    QProcess torvane;
    torvane.setProcessEnvironment(environment);
    torvane.start(QStringLiteral(TORVANE_PROGRAM), {QStringLiteral("--print-to-pdf"), pdf, source});
    EXPECT_TRUE(torvane.waitForFinished(60000));
    errors = torvane.readAllStandardError().toStdString();
    return torvane.exitStatus() == QProcess::NormalExit ? torvane.exitCode() : -1;
  };
  std::string errors;
  EXPECT_EQ(run(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), errors), 0);
  EXPECT_EQ(errors, "");
  const pdftest::Pdf printed = pdftest::Read(pdf);
  const QStringList lines = printed.Lines(1);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines.first(), "! Lantern: a two-room game written for Torvane's build and run tests.");
  EXPECT_EQ(lines.last(), "Page 1/1");
  EXPECT_NEAR(printed.words.at(0).x, 70.87, 0.1); // 25 mm
  EXPECT_NEAR(printed.words.at(0).y, 56.69, 0.1); // 20 mm

  QFile::remove(pdf);
  const QString missing = dir.filePath(QStringLiteral("none.inf"));
  EXPECT_NE(run(missing, errors), 0);
  EXPECT_EQ(errors, "torvane: " + missing.toStdString() + " does not exist.\n");
  EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
