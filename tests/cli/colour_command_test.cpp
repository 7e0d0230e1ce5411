// torvane-cli colour, run as a child process: output format, cookie chaining, bad files.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "colouring.h"

namespace {

struct CliResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

CliResult RunCli(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(TORVANE_CLI), arguments);
  EXPECT_TRUE(process.waitForFinished(120000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

QString DataFile(const char* name) {
  return QStringLiteral(TORVANE_TEST_DATA) + QLatin1Char('/') + QLatin1String(name);
}

TEST(ColourCommand, PrintsIndexCookieAndOneDigitPerCharacter) {
  // The sample has CR LF line ends, a string across two lines, an empty line, a routine
  // across three lines with a tab and escapes, and a byte above 0x7F.
  const CliResult r = RunCli({QStringLiteral("colour"), DataFile("colour_sample.inf")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out.toStdString(),
            "0\t02000000\t66666666\n"
            "1\t00048400\tbbbbbbaaaaaa777777\n"
            "2\t020000ff\t7777777abbbbaccccb\n"
            "3\t020000ff\t\n"
            "4\t02088200\t89889f9\n"
            "5\t02088200\t9f9997ddddd79\n"
            "6\t020000ff\t8b\n"
            "7\t020000ff\tbbbbbbbbaaab\n");
  EXPECT_TRUE(r.err.isEmpty());
}

TEST(ColourCommand, LongFileAgreesWithLineByLineColouring) {
  // A file long enough to fill several output blocks, whose lines carry state into the next.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("long.inf"));
  std::vector<std::string> lines;
  for (int i = 0; lines.size() < 60000; ++i) {
    lines.push_back("Object o" + std::to_string(i) + " \"An object");
    lines.push_back("  over two lines\" with name 'o', has light;");
    lines.push_back("[ R" + std::to_string(i) + " x; @push x; ! note");
    lines.push_back("  print \"^~\"; ];");
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.data(), static_cast<qint64>(text.size()));
  file.close();

  const CliResult r = RunCli({QStringLiteral("colour"), path});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QList<QByteArray> outLines = r.out.split('\n');
  ASSERT_GE(outLines.size(), static_cast<qsizetype>(lines.size()));

  uint32_t cookie = 0;
  std::vector<StyleRun> runs;
  for (size_t i = 0; i < lines.size(); ++i) {
    runs.resize(lines[i].size() + 1);
    int runCount = 0;
    cookie = ColourLine(cookie, static_cast<int>(i), lines[i].data(),
                        static_cast<int>(lines[i].size()), runs.data(), runCount);
    char head[32];
    std::snprintf(head, sizeof head, "%zu\t%08x\t", i, cookie);
    std::string expected = head;
    for (int k = 0; k < runCount; ++k) expected += "0123456789abcdef"[runs[k].colourIndex];
    ASSERT_EQ(outLines[static_cast<qsizetype>(i)].toStdString(), expected);
  }
}

TEST(ColourCommand, UnloadableFileGivesStatusTwoAndNamesIt) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("no such file.inf"));
  const CliResult r = RunCli({QStringLiteral("colour"), missing});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(r.err.contains(missing.toLocal8Bit())) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("No such file or directory")) << "the reason is given";
  EXPECT_EQ(r.err.count('\n'), 1) << "one line of message";

  // A directory cannot be loaded either.
  const CliResult d = RunCli({QStringLiteral("colour"), dir.path()});
  EXPECT_EQ(d.exitCode, 2);
  EXPECT_TRUE(d.err.contains(dir.path().toLocal8Bit())) << d.err.toStdString();
  EXPECT_TRUE(d.err.contains("is a directory")) << d.err.toStdString();
}

TEST(ColourCommand, MissingOrExtraArgumentsAreAUsageError) {
  const CliResult none = RunCli({QStringLiteral("colour")});
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_TRUE(none.out.isEmpty());
  EXPECT_TRUE(none.err.contains("colour FILE"));
  const CliResult two = RunCli({QStringLiteral("colour"), DataFile("colour_sample.inf"),
                                DataFile("colour_sample.inf")});
  EXPECT_EQ(two.exitCode, 2);
  EXPECT_TRUE(two.out.isEmpty());
}

TEST(ColourCommand, ListedInTheHelp) {
  const CliResult r = RunCli({QStringLiteral("--help")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.contains(
      "colour FILE                  print each line's cookie and colour indices"));
}

} // namespace
