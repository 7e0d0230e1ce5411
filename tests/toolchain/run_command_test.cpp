// Run: the story file, the out-of-date decision, the questions, and the interpreter launch.
#include <functional>

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "profile_store.h"
#include "project_file.h"
#include "run_command.h"
#include "settings_keys.h"
#include "toolchain_test_support.h"

namespace {

constexpr qint64 T = 1700000000; // the source's write time

struct CFakeHost : CRunHost {
  explicit CFakeHost(QStringList& log) : m_log(log) {}
  bool IsModified() const override { return m_modified; }
  void SaveDocument(const QString& path) override { m_log << "save " + path, m_onSave(); }
  void Compile() override { m_log << "compile", m_onCompile(); }
  RunAnswer AskYesNoCancel(const QString& text) override {
    m_log << "ask " + text;
    return m_answers.isEmpty() ? RunAnswer::Cancel : m_answers.takeFirst();
  }
  void ShowMessage(const QString& text) override { m_log << "message " + text; }
  const ProjectFile* Project() const override { return m_project; }
  bool StartInterpreter(const QString& program, const QStringList& arguments) override {
    m_log << "start " + (QStringList{program} + arguments).join('|');
    return !m_realStart || CRunHost::StartInterpreter(program, arguments);
  }

  bool m_modified = false, m_realStart = false;
  const ProjectFile* m_project = nullptr;
  QList<RunAnswer> m_answers;
  std::function<void()> m_onSave = [] {}, m_onCompile = [] {};
  QStringList& m_log;
};

class RunCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFile(m_source, "! a game\n") && SetWriteTime(m_source, T));
    SetInterpreter(QStringLiteral("dfrotz -q"));
  }
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  void SetInterpreter(const QString& value) {
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH, value));
  }
  void Story(const QString& name, qint64 seconds, int ms = 0) {
    ASSERT_TRUE(WriteFile(Path(name), "story") && SetWriteTime(Path(name), seconds, ms));
  }
  QStringList Run(QList<RunAnswer> answers, RunOutcome expected,
                  std::function<void()> onCompile = [] {}, bool modified = false,
                  const ProjectFile* project = nullptr, const QString& source = {}) {
    QStringList log;
    CFakeHost host(log);
    host.m_project = project;
    host.m_answers = std::move(answers), host.m_onCompile = std::move(onCompile), host.m_modified = modified;
    host.m_onSave = [&] { SetWriteTime(m_source, T + 20); };
    EXPECT_EQ(CRunCommand(host, m_ini).Run(source.isEmpty() ? m_source : source), expected);
    return log;
  }
  QString Start(const char* story) const { return "start dfrotz|-q|" + Path(story); }
  QString Stale(const char* story) const {
    return QStringLiteral("ask The following files are out of date:\n       %1\n\nDo you wish to recompile?").arg(story);
  }

  QTemporaryDir m_dir;
  QString m_ini = Path("settings.ini");
  QString m_source = Path("adv.inf");
};

} // namespace

TEST_F(RunCommandTest, StoryIsTheOneTheBuildWritesComparedInWholeSecondsWithItsOwnInterpreter) {
  Story("adv.z8", T + 5); // another target's story is never run
  const QString ask = "ask " + Path("adv.z5") + " does not exist.\nDo you want to build it?";
  EXPECT_EQ(Run({RunAnswer::No}, RunOutcome::Declined), QStringList{ask});
  Story("adv.z5", T, 0);
  ASSERT_TRUE(SetWriteTime(m_source, T, 900)); // later, but in the same second
  EXPECT_EQ(Run({}, RunOutcome::Launched), QStringList{Start("adv.z5")});
  ASSERT_TRUE(WriteFile(m_source, "!% -G\n") && SetWriteTime(m_source, T));
  Story("adv.ulx", T + 1);
  CProfileStore store(m_ini);
  ASSERT_TRUE(WriteSetting(store, SETTING_GLULX_INTERPRETER_PATH, QStringLiteral("glulxe")));
  EXPECT_EQ(Run({}, RunOutcome::Launched), QStringList{"start glulxe|" + Path("adv.ulx")});
  // From a project's member: the main file's story, stale when any member is newer.
  ProjectFile project;
  project.path = Path("adv.i6proj").toStdString();
  project.mainFile = m_source.toStdString();
  project.files = {project.mainFile, Path("rooms.h").toStdString()};
  project.target = StoryTarget::Z3;
  project.interpreters["z3"] = "myterp -x";
  ASSERT_TRUE(WriteFile(Path("rooms.h"), "!\n") && SetWriteTime(Path("rooms.h"), T + 9));
  Story("adv.z3", T + 1);
  EXPECT_EQ(Run({RunAnswer::No}, RunOutcome::Launched, [] {}, false, &project, Path("rooms.h")),
            (QStringList{Stale("adv.z3"), "start myterp|-x|" + Path("adv.z3")}));
  QString program;
  QStringList args;
  ASSERT_TRUE(ComposeInterpreterLaunch("\"/my terps/frotz\" -m", "/my games/\"1\".z5", program, args));
  EXPECT_EQ(QStringList{program} + args, (QStringList{"/my terps/frotz", "-m", "/my games/\"1\".z5"}));
  ASSERT_TRUE(WriteScript(Path("my terp"), "true")); // existing program, blank, no quotes
  ASSERT_TRUE(ComposeInterpreterLaunch(Path("my terp"), "/g/a.z5", program, args));
  EXPECT_EQ(QStringList{program} + args, (QStringList{Path("my terp"), "/g/a.z5"}));
}

TEST_F(RunCommandTest, MissingOrStaleStoryIsBuiltOnYes) {
  const QString ask = "ask " + Path("adv.z5") + " does not exist.\nDo you want to build it?";
  EXPECT_EQ(Run({RunAnswer::No}, RunOutcome::Declined), QStringList{ask});
  EXPECT_EQ(Run({RunAnswer::Yes}, RunOutcome::NoStory), (QStringList{ask, "compile"}));
  EXPECT_EQ(Run({RunAnswer::Yes}, RunOutcome::Launched, [&] { Story("adv.z5", T + 1); }),
            (QStringList{ask, "compile", Start("adv.z5")}));
  Story("adv.z5", T - 100);
  EXPECT_EQ(Run({RunAnswer::Cancel}, RunOutcome::Declined), QStringList{Stale("adv.z5")});
  EXPECT_EQ(Run({RunAnswer::Yes}, RunOutcome::NotRewritten), (QStringList{Stale("adv.z5"), "compile"}));
  EXPECT_EQ(Run({RunAnswer::Yes}, RunOutcome::Launched, [&] { Story("adv.z5", T + 1); }),
            (QStringList{Stale("adv.z5"), "compile", Start("adv.z5")}));
  Story("adv.z5", T);
  EXPECT_EQ(Run({}, RunOutcome::Launched), QStringList{Start("adv.z5")});
  EXPECT_EQ(Run({RunAnswer::No}, RunOutcome::Launched, [] {}, true),
            (QStringList{"save " + m_source, Stale("adv.z5"), Start("adv.z5")}));
}

TEST_F(RunCommandTest, MissingInterpreterOrSourceOrHost) {
  Story("adv.z5", T + 10);
  SetInterpreter(QString()); // empty: the system's interpreter, where there is one
  const QString system = SystemToolPath(SETTING_INTERPRETER_PATH);
  EXPECT_EQ(Run({}, system.isEmpty() ? RunOutcome::NoInterpreter : RunOutcome::Launched),
            QStringList{system.isEmpty() ? "message You have not set your interpreter path.  See View->Options"
                                         : "start " + system + "|" + Path("adv.z5")});
  QStringList log;
  CFakeHost host(log);
  host.m_modified = true;
  EXPECT_EQ(CRunCommand(host, m_ini).Run(QString()), RunOutcome::NoSourcePath); // never saved
  EXPECT_TRUE(log.isEmpty());
  SetInterpreter(Path("no-such-terp"));
  host.m_realStart = true, host.m_modified = false;
  EXPECT_EQ(CRunCommand(host, m_ini).Run(m_source), RunOutcome::InterpreterFailed);
  EXPECT_EQ(log.last(), "message The interpreter could not be started:\n" + Path("no-such-terp"));

  Story("adv.z5", T - 100);
  log.clear();
  auto* doomed = new CFakeHost(log);
  auto* command = new CRunCommand(*doomed, m_ini);
  doomed->m_answers = {RunAnswer::Yes};
  doomed->m_onCompile = [&] { Story("adv.z5", T + 1), delete command, delete doomed; }; // last: frees this lambda
  EXPECT_EQ(command->Run(m_source), RunOutcome::HostGone);
  EXPECT_EQ(log, (QStringList{Stale("adv.z5"), "compile"}));
}
