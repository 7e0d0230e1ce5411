// Walkthroughs replayed through the real emglken (and dfrotz) on the real Balances: accepted, broken by an
// edit to one room description, blessed again; and the replays that must end with a reason.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "profile_store.h"
#include "toolchain_test_support.h"
#include "walkthrough_check.h"
#include "walkthrough_folder.h"

namespace {

const QString DESCRIPTION = QStringLiteral("Until quite recently, someone lived here");
const char* const DFROTZ = "/usr/games/dfrotz";

class WalkthroughTest : public ::testing::Test {
protected:
  QString Build(const QString& name, const QByteArray& source) {
    const QString inf = m_dir.filePath(name + ".inf"), story = m_dir.filePath(name + ".z5");
    EXPECT_TRUE(WriteFile(inf, source));
    QProcess inform;
    inform.start(QStringLiteral("inform6"), {QStringLiteral("+include_path=/usr/share/inform6/library"), inf, story});
    EXPECT_TRUE(inform.waitForFinished(60000) && inform.exitCode() == 0) << inform.readAll().toStdString();
    return story;
  }
  WalkthroughOutcome Check(const QString& story, const PlayOptions& options = {}) {
    const auto outcomes = CheckWalkthroughsNow(m_folder, story, options);
    EXPECT_EQ(outcomes.size(), 1u);
    return outcomes.empty() ? WalkthroughOutcome() : outcomes.front();
  }
  QTemporaryDir m_dir;
  QString m_folder = WalkthroughFolder(m_dir.filePath("game.inf"));
};

TEST_F(WalkthroughTest, AnEditedRoomDescriptionFailsWithExactlyThatBlockUntilBlessed) {
  const QByteArray balances = ReadFile(QStringLiteral(TORVANE_REALWORLD "/balances.inf"));
  QString story = Build("game", balances);
  QString error;
  ASSERT_TRUE(SaveWalkthrough(m_folder, "tour", {{"inventory", "look", "quit", "y"}, 5, 70}, "", false, error));
  EXPECT_FALSE(SaveWalkthrough(m_folder, "tour", {{"look"}, 0, 0}, "", false, error));
  EXPECT_EQ(error, "The walkthrough tour exists already.");
  WalkthroughOutcome outcome = Check(story);
  ASSERT_EQ(outcome.state, WalkthroughOutcome::Failed);
  ASSERT_TRUE(outcome.ranToEnd) << outcome.problem.toStdString();
  ASSERT_TRUE(WriteExpectedTranscript(m_folder, "tour", outcome.actual.Text(), error));
  EXPECT_EQ(outcome.actual.lines[outcome.actual.lines.size() - 1], "Are you sure you want to quit? y");
  // The bold room name, which dfrotz drops, right after the command.
  EXPECT_NE(outcome.actual.Text().find(">look\n\nRamshackle Hut\nUntil quite recently"), std::string::npos)
      << outcome.actual.Text();
  EXPECT_EQ(Check(story).state, WalkthroughOutcome::Passed);

  story = Build("game", QByteArray(balances).replace(DESCRIPTION.toUtf8(), "Not long ago, someone lived here"));
  outcome = Check(story);
  ASSERT_EQ(outcome.state, WalkthroughOutcome::Failed);
  EXPECT_TRUE(outcome.problem.isEmpty());
  QStringList changed;
  for (const DiffRun& run : outcome.runs) {
    for (int i = 0; run.kind != DiffRun::Equal && i < run.count; ++i) {
      const bool deleted = run.kind == DiffRun::Delete;
      const int line = (deleted ? run.aStart : run.bStart) + i;
      changed << QStringLiteral("%1%2 %3").arg(deleted ? '-' : '+').arg(outcome.actual.command[run.bStart])
                     .arg(QString::fromStdString((deleted ? outcome.expected : outcome.actual.lines)[line]).left(24));
    }
  }
  // The opening and the look: each line of the description, and nothing else.
  EXPECT_EQ(changed.join(QLatin1Char(0x7c)).toStdString(),
            "-0 Until quite recently, so|-0 furniture is matchwood a|-0 warm, sunny day, and gra|-0 horizon.|"
            "+0 Not long ago, someone li|+0 matchwood and the window|+0 day, and grasslands exte|"
            "-2 Until quite recently, so|-2 furniture is matchwood a|-2 warm, sunny day, and gra|-2 horizon.|"
            "+2 Not long ago, someone li|+2 matchwood and the window|+2 day, and grasslands exte");
  ASSERT_TRUE(WriteExpectedTranscript(m_folder, "tour", outcome.actual.Text(), error));
  EXPECT_EQ(Check(story).state, WalkthroughOutcome::Passed);
}

TEST_F(WalkthroughTest, ReplaysThatCannotFinishEndWithAReasonAndKeepTheAcceptedTranscript) {
  const struct { QByteArray source, commands; const char* interpreter; int limit; const char* problem; } rows[] = {
      {"[ Main; while (true) ; ];", "look\n", nullptr, 1,
       "Stopped after 1 s: the story did not end (no \"quit\" came, or it waits for a key)."},
      {"[ Main; while (true) print \"A runaway story prints this again and again.^\"; ];", "look\n", DFROTZ, 60,
       "The story wrote more than 16 MB; it was stopped."},
      // emglken hands on nothing until the story waits: its memory cap ends the story.
      {"[ Main; while (true) print \"A runaway story prints this again and again.^\"; ];", "look\n", nullptr, 60,
       "The interpreter ended with status 3. (The story used more than 256 MB of memory; it was stopped.)"},
      {"", "look\n", DFROTZ, 30, "The interpreter ended with status 1."},
      {"", "look\n", nullptr, 30, "The interpreter stopped: Fatal error: only z-code versions 1-8 are supported"},
      {"[ Main; ];", "look\n", "/no/such/dfrotz", 30, "The interpreter /no/such/dfrotz could not be started: "},
      {"[ Main; ];", QByteArray("lo\0ok\n", 6), nullptr, 30,
       "w.cmd: line 1 holds the byte 0x00: a command file holds text only"},
  };
  QString error;
  for (const auto& row : rows) {
    ASSERT_TRUE(QDir().mkpath(m_folder) && WriteFile(m_folder + "/w.cmd", row.commands));
    ASSERT_TRUE(WriteExpectedTranscript(m_folder, "w", "accepted\n", error));
    const QString story = row.source.isEmpty() ? m_dir.filePath("bad.z5") : Build("s", row.source);
    if (row.source.isEmpty()) {
      ASSERT_TRUE(WriteFile(story, QByteArray(4096, '\x0f')));
    }
    PlayOptions options;
    options.timeLimitSeconds = row.limit;
    if (row.interpreter) options.interpreter = row.interpreter;
    const WalkthroughOutcome outcome = Check(story, options);
    EXPECT_EQ(outcome.state, WalkthroughOutcome::Failed);
    EXPECT_FALSE(outcome.ranToEnd);
    EXPECT_TRUE(outcome.problem.startsWith(row.problem)) << outcome.problem.toStdString();
    EXPECT_EQ(ReadFile(m_folder + "/w.expected"), "accepted\n");
  }
}

// The limit is the setting in seconds: a quick replay passes, a hung one stops no sooner.
TEST_F(WalkthroughTest, TheTimeLimitSettingIsInSeconds) {
  CProfileStore store(m_dir.filePath("settings.ini"));
  ASSERT_TRUE(store.WriteProfileString("Editor\\Play", "TimeLimit", "1"));
  PlayOptions options = ReadPlayOptions(store);
  options.interpreter = DFROTZ; // starts in milliseconds: Node's start alone may near 1 s on a loaded machine
  QString error;
  ASSERT_TRUE(SaveWalkthrough(m_folder, "w", {{"look"}, 1, 80}, "Quick.\n", false, error));
  EXPECT_EQ(Check(Build("quick", "[ Main; print \"Quick.^\"; ];"), options).state, WalkthroughOutcome::Passed);
  const QString hung = Build("hung", "[ Main; while (true) ; ];");
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(Check(hung, options).problem.startsWith("Stopped after 1 s"));
  EXPECT_GE(clock.elapsed(), 900); // a coarse timer may fire up to 5% early
}

// Either file of a walkthrough makes it exist: neither is replaced without being asked.
TEST_F(WalkthroughTest, SavingOverEitherFileOfAWalkthroughIsRefusedUnlessReplacing) {
  ASSERT_TRUE(QDir().mkpath(m_folder));
  for (const QString present : {".cmd", ".expected"}) {
    QString error;
    ASSERT_TRUE(WriteFile(m_folder + "/only" + present, "mine\n"));
    EXPECT_FALSE(SaveWalkthrough(m_folder, "only", {{"look"}, 1, 80}, "x\n", false, error));
    EXPECT_EQ(ReadFile(m_folder + "/only" + present), "mine\n");
    EXPECT_TRUE(SaveWalkthrough(m_folder, "only", {{"look"}, 1, 80}, "x\n", true, error));
    ASSERT_TRUE(QFile::remove(m_folder + "/only.cmd") && QFile::remove(m_folder + "/only.expected"));
  }
}

// The last results outlive the program for the files as they were run: an edit of either
// file (an empty transcript is not a missing one) makes a walkthrough never run again.
TEST_F(WalkthroughTest, KeptResultsHoldForTheFilesAsTheyWereRun) {
  QString error;
  ASSERT_TRUE(SaveWalkthrough(m_folder, "a", {{"look"}, 1, 80}, "one\n", false, error) &&
              SaveWalkthrough(m_folder, "b", {{"look"}, 1, 80}, "", false, error));
  const auto Results = [this] {
    QString text;
    for (const auto& [name, result] : ReadWalkthroughResults(m_folder))
      text += name + (result.passed ? " passed:" : " failed:") + result.problem + ";";
    return text;
  };
  for (const auto& [name, passed] : {std::pair{"a", false}, {"b", true}, {"a", true}, {"b", false}})
    ASSERT_TRUE(KeepWalkthroughResult(m_folder, name, {passed, passed ? "" : "Stopped.\nearly"}, error));
  EXPECT_EQ(Results(), "a passed:;b failed:Stopped. early;");
  EXPECT_EQ(ReadFile(m_folder + "/.results").count('\n'), 2);
  ASSERT_TRUE(WriteFile(m_folder + "/a.cmd", "# seed: 1\n# width: 80\nlook\nlook\n") &&
              QFile::remove(m_folder + "/b.expected"));
  EXPECT_EQ(Results(), "");
  EXPECT_FALSE(KeepWalkthroughResult(m_dir.filePath("none"), "a", {true, ""}, error));
}

} // namespace
