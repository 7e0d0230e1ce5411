// The command line, and printing without a window as it asks.
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdio>
#include <unistd.h>

#include "../support/pdf_reader.h"
#include "command_line.h"
#include "file_name.h"
#include "print_file.h"
#include "profile_store.h"

namespace {

TEST(CommandLine, OptionsFilesAndErrors) {
  // The request in one line: "action: files, PDF, text" (an error's files are not looked at).
  auto parsed = [](const QStringList& arguments) {
    const CommandLineRequest r = ParseCommandLine(arguments);
    const QString files = r.action == CommandLineRequest::Action::Error ? "" : r.files.join(' ');
    const char* actions[] = {"run", "print", "error", "print files"};
    return actions[int(r.action)] + (": " + files) + ", " + r.pdfPath + ", " + r.text;
  };
  const QString help = parsed({"/usr/bin/torvane", "--help"});
  EXPECT_TRUE(help.startsWith("print: , , Usage: torvane [options] [FILE...]\n") &&
              help.contains("  --print  ") && help.contains("  --print-to-pdf <OUT.pdf>  ")) << help.toStdString();
  const std::pair<QStringList, QString> rows[] = {
      {{"t", "--version"}, "print: , , Torvane 0.60a\n"},
      {{"t", "a.inf", "-platform", "offscreen", "dir/b.h"}, "run: a.inf dir/b.h, , "},
      {{"t", "--print", "a.inf", "b.h"}, "print files: a.inf b.h, , "},
      {{"t", "--print-to-pdf", "out.pdf", "a.inf"}, "print files: a.inf, out.pdf, "},
      {{"t", "a.inf", "-"}, "error: , , t: cannot read a source from standard input ('-'); name a file.\n"},
      {{"t", "--frobnicate"}, "error: , , t: Unknown option 'frobnicate'.\nTry 't --help'.\n"},
      {{"t", "--print"}, "error: , , t: --print needs a file to print.\nTry 't --help'.\n"},
      {{"t", "--print-to-pdf", "o.pdf"}, "error: , , t: --print-to-pdf needs a file to print.\nTry 't --help'.\n"},
      {{"t", "--print-to-pdf", "o.pdf", "a.inf", "b.inf"},
       "error: , , t: --print-to-pdf prints one file into the PDF; 2 were given.\nTry 't --help'.\n"},
      {{"t", "--print-to-pdf=", "a.inf"},
       "error: , , t: --print-to-pdf needs the name of the PDF to write.\nTry 't --help'.\n"},
      {{"t", "--print", "--print-to-pdf", "o.pdf", "a.inf"},
       "error: , , t: --print and --print-to-pdf exclude each other.\nTry 't --help'.\n"}};
  for (const auto& [arguments, expected] : rows) EXPECT_EQ(parsed(arguments), expected);
}

// With no display: the PDF has the page setup's margins; what cannot be read or written, or
// is missing, is a message with a non-zero status.
TEST(PrintFile, PrintsWithoutAWindowOrSaysWhyNot) {
  QTemporaryDir dir;
  CProfileStore::SetUserConfigDirectory(dir.path());
  const QString pdf = dir.filePath("out.pdf");
  const QString source = TORVANE_TEST_DATA "/lantern.inf";
  const QString badOut = dir.filePath("no/folder/out.pdf");
  for (const auto& [in, out, message] : {std::tuple{dir.path(), pdf, "Cannot read " + dir.path() + "."},
                                         std::tuple{source, badOut, "Cannot write " + badOut + "."}}) {
    const PrintFileOutcome outcome = PrintFileToPdf(in, out);
    EXPECT_NE(outcome.status, 0) << message.toStdString();
    EXPECT_EQ(outcome.message, message);
    EXPECT_FALSE(QFile::exists(pdf));
  }
  if (QPrinterInfo::defaultPrinter().isNull()) { // else it would really print
    const PrintFileOutcome outcome = PrintFiles({source, source}, QString());
    EXPECT_NE(outcome.status, 0);
    const QString once = "No default printer is set up; " + source + " was not printed.";
    EXPECT_EQ(outcome.message, once + "\n" + once); // every file is tried
  }

  // The PDF never goes over the source, under any name, nor over a file that is not a PDF.
  const QString copy = dir.filePath("copy.inf"), link = dir.filePath("link.pdf"), hard = dir.filePath("hard.pdf");
  const QString old = dir.filePath("old.pdf");
  ASSERT_TRUE(QFile::copy(source, copy) && QFile::link(copy, link) && ::link(qPrintable(copy), qPrintable(hard)) == 0);
  QFile oldPdf(old);
  ASSERT_TRUE(oldPdf.open(QIODevice::WriteOnly) && oldPdf.write("%PDF-1.4 old") == 12);
  oldPdf.close();
  for (const auto& [in, out, why] : {std::tuple{copy, copy, "is the file to print; it was not written over."},
                                     {copy, link, "is the file to print; it was not written over."},
                                     {copy, hard, "is the file to print; it was not written over."},
                                     {old, copy, "exists and is not a PDF; it was not replaced."}}) {
    const PrintFileOutcome outcome = PrintFileToPdf(in, out);
    EXPECT_NE(outcome.status, 0) << out.toStdString();
    EXPECT_EQ(outcome.message, out + " " + why);
  }
  const auto contents = [](const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  EXPECT_EQ(contents(copy), contents(source));
  EXPECT_EQ(contents(old), "%PDF-1.4 old");
  EXPECT_EQ(PrintFileToPdf(copy, old).status, 0); // an old PDF is replaced
  EXPECT_GT(QFileInfo(old).size(), 12);

  CProfileStore().WriteProfileInt("Editor\\PageSetup", "LeftMargin", 2500);
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "TopMargin", 2000);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(QString::fromLatin1(name));
  environment.insert("XDG_CONFIG_HOME", dir.path());
  environment.insert("XDG_RUNTIME_DIR", dir.path()); // Qt warns without one
  auto run = [&](const QString& file) { // how it ended, then what it wrote on standard error
    QProcess torvane;
    torvane.setProcessEnvironment(environment);
    torvane.start(TORVANE_PROGRAM, {"--print-to-pdf", pdf, file});
    EXPECT_TRUE(torvane.waitForFinished(60000));
    const bool ok = torvane.exitStatus() == QProcess::NormalExit && torvane.exitCode() == 0;
    return (ok ? "ok: " : "failed: ") + torvane.readAllStandardError().toStdString();
  };
  EXPECT_EQ(run(source), "ok: ");
  const pdftest::Pdf printed = pdftest::Read(pdf);
  const QStringList lines = printed.Lines(1);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines.first(), "! Lantern: a two-room game written for Torvane's build and run tests.");
  EXPECT_EQ(lines.last(), "Page 1/1");
  EXPECT_NEAR(printed.words.at(0).x, 70.87, 0.1); // 25 mm
  EXPECT_NEAR(printed.words.at(0).y, 56.69, 0.1); // 20 mm

  QFile::remove(pdf);
  const QString missing = dir.filePath("none.inf");
  EXPECT_EQ(run(missing), "failed: torvane: " + missing.toStdString() + " does not exist.\n");
  EXPECT_FALSE(QFile::exists(pdf));
  // A name in Latin-1 is printed from its bytes.
  const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xE9.inf";
  ASSERT_TRUE(QFile::copy(source, dir.filePath("caf")) && ::rename(QFile::encodeName(dir.filePath("caf")), latin1) == 0);
  EXPECT_EQ(PrintFileToPdf(FileNameFromBytes(latin1), pdf).message, "");
  EXPECT_TRUE(QFile::exists(pdf) && std::remove(latin1.constData()) == 0);
  QProcess help; // what was asked for must arrive
  help.setStandardOutputFile("/dev/full");
  help.start(TORVANE_PROGRAM, {"--help"});
  EXPECT_TRUE(help.waitForFinished(60000) && help.exitCode() == 1);
}

} // namespace
