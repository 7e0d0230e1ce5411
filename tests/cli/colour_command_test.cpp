// torvane-cli colour: output format, and cookies chained across a file long enough to fill
// several output blocks.
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "cli_test_support.h"
#include "colouring.h"

namespace {

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
  ASSERT_TRUE(WriteBytes(path, QByteArray::fromStdString(text)));

  const CliResult r = RunCli({QStringLiteral("colour"), path});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QList<QByteArray> outLines = r.out.split('\n');
  ASSERT_GE(outLines.size(), static_cast<qsizetype>(lines.size()));
  uint32_t cookie = 0;
  std::vector<StyleRun> runs;
  for (size_t i = 0; i < lines.size(); ++i) {
    runs.resize(lines[i].size() + 1);
    int runCount = 0;
    cookie = ColourLine(cookie, static_cast<int>(i), lines[i].data(), static_cast<int>(lines[i].size()),
                        runs.data(), runCount);
    char head[32];
    std::snprintf(head, sizeof head, "%zu\t%08x\t", i, cookie);
    std::string expected = head;
    for (int k = 0; k < runCount; ++k) expected += "0123456789abcdef"[runs[k].colourIndex];
    ASSERT_EQ(outLines[static_cast<qsizetype>(i)].toStdString(), expected);
  }
}

} // namespace
