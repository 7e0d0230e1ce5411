// torvane-cli scan, run as a child process on sources written by each test.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct CliResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

CliResult RunCli(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(TORVANE_CLI), arguments);
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

class ScanCommandTest : public ::testing::Test {
protected:
  QString WriteSource(const QByteArray& text) {
    const QString path = m_dir.filePath(QStringLiteral("source.inf"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }
  QTemporaryDir m_dir;
};

TEST_F(ScanCommandTest, RecordsAreListedByNameThenTheScannerValue) {
  const QString path = WriteSource("! A small game\n"
                                   "Room kitchen \"Kitchen\"\n"
                                   "  with description \"A kitchen.\";\n"
                                   "Object -> table \"table\";\n"
                                   "Object -> -> Cup \"cup\";\n"
                                   "Nearby lamp \"lamp\";\n"
                                   "Object lamp \"second lamp\" kitchen;\n"
                                   "[ Main; ];\n"
                                   "[ Initialise;\n"
                                   "];\n"
                                   "[;\n");
  const CliResult r = RunCli({QStringLiteral("scan"), path});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out.toStdString(), "object\tCup\ttable\t\t2\tObject -> -> Cup \"cup\";\n"
                                 "object\tkitchen\t\tRoom\t0\tRoom kitchen \"Kitchen\"\n"
                                 "object\tlamp\tkitchen\t\t1\tNearby lamp \"lamp\";\n"
                                 "object\tlamp[02]\tkitchen\t\t1\tObject lamp \"second lamp\" kit\n"
                                 "object\ttable\tkitchen\t\t1\tObject -> table \"table\";\n"
                                 "function\tInitialise\t[ Initialise;\n"
                                 "function\tMain\t[ Main; ];\n"
                                 "function\tUntitled\t[;\n"
                                 "depth\t2\n");
  EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(ScanCommandTest, AwkwardBytesAreEscapedSoEachRecordStaysOneLine) {
  const QString path = WriteSource(QByteArray("Object\tna\\me \"x\";\n"
                                              "Object caf\xe9 \"x\";\n"
                                              "Object c\x01\x7f \"x\";\n"
                                              "[ r\x1b;\n",
                                              57));
  const CliResult r = RunCli({QStringLiteral("scan"), path});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out.toStdString(), "object\tc\\x01\\x7f\t\t\t0\tObject c\\x01\\x7f \"x\";\n"
                                 "object\tcaf\\xe9\t\t\t0\tObject caf\\xe9 \"x\";\n"
                                 "object\tna\\\\me\t\t\t0\tObject\\tna\\\\me \"x\";\n"
                                 "function\tr\\x1b\t[ r\\x1b;\n"
                                 "depth\t0\n");
}

TEST_F(ScanCommandTest, EmptyFileGivesOnlyTheScannerValue) {
  const CliResult r = RunCli({QStringLiteral("scan"), WriteSource(QByteArray())});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.toStdString(), "depth\t0\n");
}

TEST_F(ScanCommandTest, UnloadableFileOrBadArgumentsExitWithTwo) {
  const QString missing = m_dir.filePath(QStringLiteral("no such file.inf"));
  const CliResult r = RunCli({QStringLiteral("scan"), missing});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(r.err.contains(missing.toLocal8Bit())) << r.err.toStdString();

  EXPECT_EQ(RunCli({QStringLiteral("scan")}).exitCode, 2);
  EXPECT_EQ(RunCli({QStringLiteral("scan"), missing, missing}).exitCode, 2);
}

} // namespace
