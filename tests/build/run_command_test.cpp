// Run: finding the story file, the out-of-date decision, the questions and their answers,
// and the interpreter launch.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "build_test_support.h"
#include "compile_command.h"
#include "profile_store.h"
#include "run_command.h"
#include "settings_keys.h"

namespace {

// Sets a file's last-write time to secondsSinceEpoch plus milliseconds.
bool SetWriteTime(const QString& path, qint64 seconds, int milliseconds = 0) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) return false;
  return file.setFileTime(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + milliseconds),
                          QFileDevice::FileModificationTime);
}

constexpr qint64 T = 1700000000; // some fixed second

// What the host saw, in order, kept outside the host so it can be read after the host is gone.
struct HostLog {
  std::vector<std::string> calls;
  std::vector<QString> questions;
  std::vector<QString> messages;
  QString program;
  QStringList arguments;
};

class CFakeHost : public CRunHost {
public:
  explicit CFakeHost(HostLog& log) : m_log(log) {}
  bool IsModified() const override { return m_modified; }
  void SaveDocument(const QString& path) override {
    m_log.calls.push_back("save " + path.toStdString());
    if (m_onSave) m_onSave();
  }
  void Compile() override {
    m_log.calls.push_back("compile");
    if (m_onCompile) m_onCompile();
  }
  RunAnswer AskYesNoCancel(const QString& text) override {
    m_log.calls.push_back("ask");
    m_log.questions.push_back(text);
    if (m_answers.empty()) return RunAnswer::Cancel;
    const RunAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
  }
  void ShowMessage(const QString& text) override {
    m_log.calls.push_back("message");
    m_log.messages.push_back(text);
  }
  bool StartInterpreter(const QString& program, const QStringList& arguments) override {
    m_log.calls.push_back("start");
    m_log.program = program;
    m_log.arguments = arguments;
    return m_realStart ? CRunHost::StartInterpreter(program, arguments) : true;
  }

  bool m_modified = false;
  bool m_realStart = false;
  std::deque<RunAnswer> m_answers;
  std::function<void()> m_onSave;
  std::function<void()> m_onCompile;

private:
  HostLog& m_log;
};

class RunCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_ini = m_dir.filePath(QStringLiteral("settings/Torvane.ini"));
    m_source = Path("adv.inf");
    ASSERT_TRUE(WriteFile(m_source, "! a game\n"));
    ASSERT_TRUE(SetWriteTime(m_source, T));
    SetInterpreter(QStringLiteral("dfrotz -q"));
  }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
  void SetInterpreter(const QString& value) {
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH, value));
  }
  // A story file with the given write time.
  void Story(const char* name, qint64 seconds, int milliseconds = 0) {
    ASSERT_TRUE(WriteFile(Path(name), "story"));
    ASSERT_TRUE(SetWriteTime(Path(name), seconds, milliseconds));
  }
  RunOutcome Run(CRunHost& host) { return CRunCommand(host, m_ini).Run(m_source); }
  QString StaleQuestion(const char* storyName) const {
    return QStringLiteral("The following files are out of date:\n       ") +
           QString::fromLatin1(storyName) + QStringLiteral("\n\nDo you wish to recompile?");
  }

  QTemporaryDir m_dir;
  QString m_ini;
  QString m_source;
  HostLog m_log;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(RunCommandTest, StoryFileIsTheFirstByNameOfTheSourcesZFiles) {
  EXPECT_TRUE(FindStoryFile(m_source).isEmpty());
  for (const char* other : {"adv.inf.bak", "adventure.z5", "adv.txt", "adv.", "Adv.z5"})
    ASSERT_TRUE(WriteFile(Path(other), "x"));
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("adv.zdir")));
  EXPECT_TRUE(FindStoryFile(m_source).isEmpty());

  Story("adv.z8", T);
  EXPECT_EQ(FindStoryFile(m_source), Path("adv.z8"));
  Story("adv.z5", T);
  EXPECT_EQ(FindStoryFile(m_source), Path("adv.z5"));

  // Characters that would be wildcards in a pattern are plain parts of the name.
  ASSERT_TRUE(WriteFile(Path("a[1]*.inf"), "x"));
  ASSERT_TRUE(WriteFile(Path("a1x.z5"), "x"));
  EXPECT_TRUE(FindStoryFile(Path("a[1]*.inf")).isEmpty());
  ASSERT_TRUE(WriteFile(Path("a[1]*.z5"), "x"));
  EXPECT_EQ(FindStoryFile(Path("a[1]*.inf")), Path("a[1]*.z5"));
}

TEST_F(RunCommandTest, OutOfDateIsDecidedInWholeSeconds) {
  Story("adv.z5", T - 1, 999);
  StoryCheck check = CheckStoryFile(m_source);
  EXPECT_EQ(check.storyPath, Path("adv.z5"));
  EXPECT_TRUE(check.outOfDate);

  // Earlier by most of a second, but in the same second: up to date.
  ASSERT_TRUE(SetWriteTime(m_source, T, 900));
  Story("adv.z5", T, 100);
  check = CheckStoryFile(m_source);
  EXPECT_EQ(check.storyTime, T);
  EXPECT_EQ(check.sourceTime, T);
  EXPECT_FALSE(check.outOfDate);

  Story("adv.z5", T + 5);
  EXPECT_FALSE(CheckStoryFile(m_source).outOfDate);
  EXPECT_FALSE(LastWriteSeconds(Path("missing")).has_value());
}

TEST_F(RunCommandTest, InterpreterLaunchTakesTheStoryAsOneArgument) {
  QString program;
  QStringList args;
  ASSERT_TRUE(ComposeInterpreterLaunch(QStringLiteral("/usr/games/dfrotz -m -q"),
                                       QStringLiteral("/my games/adv \"1\".z5"), program, args));
  EXPECT_EQ(program, QStringLiteral("/usr/games/dfrotz"));
  EXPECT_EQ(args, (QStringList{QStringLiteral("-m"), QStringLiteral("-q"),
                               QStringLiteral("/my games/adv \"1\".z5")}));

  ASSERT_TRUE(ComposeInterpreterLaunch(QStringLiteral("\"/opt/my terps/frotz\""),
                                       QStringLiteral("/g/a.z5"), program, args));
  EXPECT_EQ(program, QStringLiteral("/opt/my terps/frotz"));
  EXPECT_EQ(args, QStringList{QStringLiteral("/g/a.z5")});

  // An existing program whose path holds a blank works unquoted too.
  const QString spaced = Path("my terp");
  ASSERT_TRUE(WriteScript(spaced, "true"));
  ASSERT_TRUE(ComposeInterpreterLaunch(spaced, QStringLiteral("/g/a.z5"), program, args));
  EXPECT_EQ(program, spaced);
  EXPECT_EQ(args, QStringList{QStringLiteral("/g/a.z5")});

  EXPECT_FALSE(ComposeInterpreterLaunch(QString(), QStringLiteral("/g/a.z5"), program, args));
  EXPECT_FALSE(ComposeInterpreterLaunch(QStringLiteral("   "), QStringLiteral("/g/a.z5"), program, args));
}

TEST_F(RunCommandTest, FreshStoryStartsAtOnce) {
  Story("adv.z5", T + 10);
  CFakeHost host(m_log);
  EXPECT_EQ(Run(host), RunOutcome::Launched);
  EXPECT_EQ(m_log.calls, (Calls{"start"}));
  EXPECT_EQ(m_log.program, QStringLiteral("dfrotz"));
  EXPECT_EQ(m_log.arguments, (QStringList{QStringLiteral("-q"), Path("adv.z5")}));

  // Same second as the source: still no question.
  Story("adv.z5", T);
  m_log = HostLog();
  EXPECT_EQ(Run(host), RunOutcome::Launched);
  EXPECT_EQ(m_log.calls, (Calls{"start"}));
}

TEST_F(RunCommandTest, ModifiedDocumentIsSavedFirstAndThatMakesTheStoryStale) {
  Story("adv.z5", T + 10);
  CFakeHost host(m_log);
  host.m_modified = true;
  host.m_onSave = [&] { ASSERT_TRUE(SetWriteTime(m_source, T + 20)); };
  host.m_answers = {RunAnswer::No};
  EXPECT_EQ(Run(host), RunOutcome::Launched); // No runs the older story
  EXPECT_EQ(m_log.calls, (Calls{"save " + m_source.toStdString(), "ask", "start"}));
  EXPECT_EQ(m_log.questions.at(0), StaleQuestion("adv.z5"));
}

TEST_F(RunCommandTest, StaleStoryQuestionAnswers) {
  Story("adv.z5", T - 100);
  {
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Cancel};
    EXPECT_EQ(Run(host), RunOutcome::Declined);
    EXPECT_EQ(m_log.calls, (Calls{"ask"}));
  }
  {
    // Yes and the compiler writes the story again: it runs.
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Yes};
    host.m_onCompile = [&] { Story("adv.z5", T + 1); };
    EXPECT_EQ(Run(host), RunOutcome::Launched);
    EXPECT_EQ(m_log.calls, (Calls{"ask", "compile", "start"}));
  }
  {
    // Yes but the compile failed and wrote nothing: nothing starts, nothing more is said.
    Story("adv.z5", T - 100);
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Yes};
    EXPECT_EQ(Run(host), RunOutcome::NotRewritten);
    EXPECT_EQ(m_log.calls, (Calls{"ask", "compile"}));
  }
  {
    // Yes and the story file is gone afterwards.
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Yes};
    host.m_onCompile = [&] { QFile::remove(Path("adv.z5")); };
    EXPECT_EQ(Run(host), RunOutcome::NotRewritten);
    EXPECT_EQ(m_log.calls, (Calls{"ask", "compile"}));
  }
}

TEST_F(RunCommandTest, MissingStoryQuestionAnswers) {
  const QString question = Path("adv") + QStringLiteral(".z* does not exist.\nDo you want to build it?");
  for (RunAnswer answer : {RunAnswer::No, RunAnswer::Cancel}) {
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {answer};
    EXPECT_EQ(Run(host), RunOutcome::Declined);
    EXPECT_EQ(m_log.calls, (Calls{"ask"}));
    EXPECT_EQ(m_log.questions.at(0), question);
  }
  {
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Yes};
    EXPECT_EQ(Run(host), RunOutcome::NoStory);
    EXPECT_EQ(m_log.calls, (Calls{"ask", "compile"}));
  }
  {
    m_log = HostLog();
    CFakeHost host(m_log);
    host.m_answers = {RunAnswer::Yes};
    host.m_onCompile = [&] { Story("adv.z8", T + 1); };
    EXPECT_EQ(Run(host), RunOutcome::Launched);
    EXPECT_EQ(m_log.calls, (Calls{"ask", "compile", "start"}));
    EXPECT_EQ(m_log.arguments.last(), Path("adv.z8"));
  }
}

TEST_F(RunCommandTest, InterpreterNotSetOrNotStartable) {
  Story("adv.z5", T + 10);
  SetInterpreter(QString());
  CFakeHost host(m_log);
  EXPECT_EQ(Run(host), RunOutcome::NoInterpreter);
  EXPECT_EQ(m_log.calls, (Calls{"message"}));
  EXPECT_EQ(m_log.messages.at(0),
            QStringLiteral("You have not set your interpreter path.  See View->Options"));

  SetInterpreter(Path("no-such-interpreter"));
  m_log = HostLog();
  host.m_realStart = true;
  EXPECT_EQ(Run(host), RunOutcome::InterpreterFailed);
  EXPECT_EQ(m_log.calls, (Calls{"start", "message"}));
  EXPECT_TRUE(m_log.messages.at(0).contains(Path("no-such-interpreter")));
}

TEST_F(RunCommandTest, NeverSavedDocumentRunsNothing) {
  CFakeHost host(m_log);
  host.m_modified = true;
  EXPECT_EQ(CRunCommand(host, m_ini).Run(QString()), RunOutcome::NoSourcePath);
  EXPECT_TRUE(m_log.calls.empty());
}

TEST_F(RunCommandTest, DocumentClosedDuringTheBuildEndsTheRun) {
  Story("adv.z5", T - 100);
  auto* host = new CFakeHost(m_log);
  host->m_answers = {RunAnswer::Yes};
  host->m_onCompile = [&] {
    Story("adv.z5", T + 1); // the build even succeeded
    delete host;
  };
  auto* command = new CRunCommand(*host, m_ini);
  EXPECT_EQ(command->Run(m_source), RunOutcome::HostGone);
  delete command;
  EXPECT_EQ(m_log.calls, (Calls{"ask", "compile"}));
}

TEST_F(RunCommandTest, InterpreterIsStartedDetachedWithTheStoryPath) {
  // A stand-in interpreter that writes its arguments down and leaves.
  Story("adv.z5", T + 10);
  const QString terp = Path("terp.sh");
  ASSERT_TRUE(WriteScript(terp, "printf '%s\\n' \"$@\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.out\""));
  SetInterpreter(QuoteCommandArgument(terp) + QStringLiteral(" -q"));
  CFakeHost host(m_log);
  host.m_realStart = true;
  EXPECT_EQ(Run(host), RunOutcome::Launched);

  // The interpreter runs on its own; wait for its note (a bound only against a hang).
  QDeadlineTimer deadline(30000);
  while (!QFile::exists(terp + QStringLiteral(".out")) && !deadline.hasExpired())
    QThread::msleep(10);
  EXPECT_EQ(ReadFile(terp + QStringLiteral(".out")), "-q\n" + Path("adv.z5").toLocal8Bit() + "\n");
}
