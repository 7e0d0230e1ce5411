// Which encoding a source is read and compiled in, and a -Cu build played by dfrotz.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "build_plan.h"
#include "source_encoding.h"

namespace {

constexpr TextEncoding U8 = TextEncoding::Utf8, L1 = TextEncoding::Iso8859_1;

TEST(SourceEncoding, TheHeaderThenTheCommandLineThenTheBytesDecide) {
  Utf8Scan utf8, latin, ascii;
  utf8.Add("caf\xC3\xA9");
  latin.Add("caf\xE9");
  ascii.Add("cafe");
  const IclHeader none = ParseIclHeader("", "a.inf");
  const IclHeader c1 = ParseIclHeader("!% -C1\n!% -~S\n", "a.inf");
  const IclHeader cu = ParseIclHeader("!% -C2\n!% -Cu\n", "a.inf"); // the last one counts
  const struct {
    const IclHeader* header;
    std::optional<TextEncoding> commandLine;
    const Utf8Scan* bytes;
    TextEncoding expected;
  } rows[] = {
      {&none, std::nullopt, &utf8, U8},  {&none, std::nullopt, &latin, L1},
      {&none, std::nullopt, &ascii, L1}, {&c1, std::nullopt, &utf8, L1},
      {&cu, std::nullopt, &latin, U8},   {&none, L1, &utf8, L1},
      {&c1, U8, &utf8, L1},              {&none, TextEncoding::Iso8859_5, &ascii, TextEncoding::Iso8859_5},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ChooseSourceEncoding(*row.header, row.commandLine, *row.bytes), row.expected);
  EXPECT_EQ(OptionsEncoding(QStringLiteral("e|Cu|$SIZE=100|")), U8);
  EXPECT_EQ(OptionsEncoding(QStringLiteral("e|$SIZE=100|")), std::nullopt);

  std::vector<std::string> arguments{"-e"};
  AddEncodingSwitch(arguments, none, L1);
  EXPECT_EQ(arguments, (std::vector<std::string>{"-e"}));
  AddEncodingSwitch(arguments, c1, U8); // the header says otherwise
  EXPECT_EQ(arguments, (std::vector<std::string>{"-e"}));
  AddEncodingSwitch(arguments, none, U8);
  AddEncodingSwitch(arguments, none, U8);
  EXPECT_EQ(arguments, (std::vector<std::string>{"-e", "-Cu"}));
  arguments = {"-C1"}; // a UTF-8 document read in as such compiles as such
  AddEncodingSwitch(arguments, none, U8);
  EXPECT_EQ(arguments, (std::vector<std::string>{"-C1", "-Cu"}));
}

// A UTF-8 source without a header: its plan adds -Cu, the real compiler builds it and dfrotz
// prints its accented text.
TEST(SourceEncoding, AUtf8SourceCompilesWithCuAndPlaysItsAccents) {
  const QString inform6 = QStringLiteral("/usr/bin/inform6"), dfrotz = QStringLiteral("/usr/games/dfrotz");
  ASSERT_TRUE(QFileInfo(inform6).isExecutable() && QFileInfo(dfrotz).isExecutable()) << "scripts/setup installs both";
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("caf\xC3\xA9.inf"));
  QFile file(source);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[ Main; print \"Caf\xC3\xA9 cr\xC3\xA8me \xC3\xBC\xC3\xB1\xC3\xAE\xC3\xA7\xC3\xB6" "d\xC3\xA9^\"; ];\n");
  file.close();
  CompileSettings settings;
  settings.compiler = inform6;
  const BuildPlan plan = PlanBuild(source, settings, nullptr, nullptr);
  EXPECT_TRUE(plan.arguments.contains(QStringLiteral("-Cu"))) << plan.commandLine.toStdString();
  EXPECT_FALSE(PlanBuild(source, settings, nullptr, nullptr, L1).arguments.contains(QStringLiteral("-Cu")));
  QProcess compile;
  compile.setWorkingDirectory(dir.path());
  const QStringList parts = QProcess::splitCommand(plan.commandLine);
  compile.start(parts.first(), parts.mid(1));
  ASSERT_TRUE(compile.waitForFinished(60000));
  ASSERT_EQ(compile.exitCode(), 0) << compile.readAll().toStdString();
  QProcess play;
  play.start(dfrotz, {"-m", "-q", plan.storyPath}); // without -p: it prints UTF-8
  play.closeWriteChannel();
  play.waitForFinished(60000);
  EXPECT_TRUE(QString::fromUtf8(play.readAll()).contains(QString::fromUtf8("Caf\xC3\xA9 cr\xC3\xA8me \xC3\xBC\xC3\xB1\xC3\xAE\xC3\xA7\xC3\xB6" "d\xC3\xA9")));
}

} // namespace
