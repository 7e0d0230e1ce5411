// What the installed compiler knows and how it counts lines; the lines it names, mapped.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "compiler_line_map.h"
#include "profile_store.h"
#include "toolchain_test_support.h"

// Inform 6.41 names line 6 of a CR LF source as line 11; the document's line comes back, and
// the LF and CR sources (a CR source is one document line: no LF splits it) are kept right.
TEST(CompilerLines, TheRealCompilersLinesLandOnTheDocumentsLines) {
  QTemporaryDir dir;
  for (auto [end, documentEnd, printed, line] : {std::tuple{"\r\n", "\r\n", 11, 6}, {"\n", "\n", 6, 6}, {"\r", "\r\n", 6, 1}}) {
    QByteArray source;
    for (const char* text : {"!1", "!2", "!3", "!4", "!5", "Message error \"six\";", "!7"}) source += text + QByteArray(end);
    ASSERT_TRUE(WriteFile(dir.filePath("lines.inf"), source));
    QProcess inform;
    inform.setWorkingDirectory(dir.path());
    inform.start("inform6", {"lines.inf"});
    ASSERT_TRUE(inform.waitForFinished(60000));
    const auto named = QRegularExpression("line (\\d+):").match(inform.readAllStandardOutput());
    ASSERT_TRUE(named.hasMatch());
    EXPECT_EQ(named.captured(1).toInt(), printed);
    EXPECT_EQ(MapCompilerLine(ProbeCompiler("inform6").crlf, source.toStdString(), documentEnd, printed), line);
  }
  // In the order asked; below 1 as it is, past the end the last line; a stray CR counts for the compiler only.
  EXPECT_EQ(MapCompilerLines(CrLfCount::Two, "a\r\nb\r\nc", "\r\n", {5, 0, 3, 4, 99}), (std::vector{3, 0, 2, 2, 3}));
  EXPECT_EQ(MapCompilerLines(CrLfCount::One, "a\r\nb\rc\r\nd", "\r\n", {4, 3, 1}), (std::vector{3, 2, 1}));
  EXPECT_EQ(MapCompilerLines(CrLfCount::Unknown, "a\nb\n\rc", "\n\r", {3, 4}), (std::vector{1, 2}));
}

TEST(CompilerProbe, AsksOncePerProgramFileKnowsItsSwitchesAndNeverHangs) {
  const CompilerFacts inform = ProbeCompiler("inform6");
  EXPECT_TRUE(inform.IsKnown() && inform.versionText == "6.41" && inform.version == 641 &&
              inform.crlf == CrLfCount::Two) << inform.problem.toStdString();
  for (auto [text, accepted] : {std::pair{"D", true}, {"d2", true}, {"s", true}, {"Cu", true}, {"C1", true}, {"W6", true},
                                {"~S", true}, {"es", true}, {"U", false}, {"j", false}, {"ej", false}, {"d7", false}, {"#", false}})
    EXPECT_EQ(inform.AcceptsSwitch(QString(text)), accepted) << text;

  QTemporaryDir dir;
  const QString fake = dir.filePath("fake"), runs = fake + ".runs";
  ASSERT_TRUE(WriteScript(fake, "echo run >> \"$0.runs\"\nif [ \"$1\" = -h2 ]; then printf 'Inform 6.99 (May)\\n\\n  a   trace\\n"
                                "  Cn  set\\n      (1 to 9)\\n'; else echo 'line 2: Error:  x'; fi"));
  CProfileStore store(dir.filePath("Torvane.ini"));
  for (auto [step, expectedRuns] : {std::pair{"first", 2}, {"memory", 2}, {"store", 2}, {"changed", 4}}) {
    if (std::string(step) == "store") ForgetCompilerFacts();
    if (std::string(step) == "changed") {
      ASSERT_TRUE(SetWriteTime(fake, 1000000000));
    }
    const CompilerFacts facts = CompilerFactsFor(fake, &store);
    EXPECT_TRUE(facts.version == 699 && facts.switches == QStringList({"a", "Cn"}) && facts.crlf == CrLfCount::One) << step;
    EXPECT_EQ(ReadFile(runs).count("run"), expectedRuns) << step;
  }
  ASSERT_TRUE(WriteScript(fake, "echo $$ > \"$0.pid\"; exec sleep 600"));
  const CompilerFacts hung = ProbeCompiler(fake, 300);
  EXPECT_EQ(hung.outcome, CompilerFacts::Outcome::TimedOut);
  EXPECT_TRUE(hung.AcceptsSwitch(QString("U"))); // nothing known: nothing held back
  EXPECT_TRUE(ProcessGone(ReadFile(fake + ".pid").toInt()));
  EXPECT_EQ(ProbeCompiler(dir.filePath("none")).outcome, CompilerFacts::Outcome::NotStarted);
}
