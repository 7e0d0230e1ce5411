// The real toolchain: lantern.inf compiled by inform6 through the composed command line and
// the redirector, checked for staleness, and played in dfrotz — also the whole Run road.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "build_test_support.h"
#include "compile_command.h"
#include "profile_store.h"
#include "redirector.h"
#include "run_command.h"
#include "settings_keys.h"

namespace {

const char* const INFORM = "/usr/bin/inform6";
const char* const LIBRARY = "/usr/share/inform6/library";
const char* const DFROTZ = "/usr/games/dfrotz";
const char* const FIRST_ROOM = "Brass shavings litter a long bench under the single window.";
const QByteArray COMPLETE = QByteArray(TEXT_COMPILATION_COMPLETE);

bool SetWriteTime(const QString& path, qint64 seconds) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) return false;
  return file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime);
}

// Plays story in dfrotz with the given commands on its standard input; its output.
QByteArray Play(const QString& program, const QStringList& arguments, const QByteArray& commands) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForStarted(30000)) return QByteArray();
  process.write(commands);
  process.closeWriteChannel();
  process.waitForFinished(60000); // a bound against a hang only
  return process.readAll();
}

class ToolchainTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!QFileInfo(QString::fromLatin1(INFORM)).isExecutable() ||
        !QFileInfo(QString::fromLatin1(DFROTZ)).isExecutable())
      GTEST_SKIP() << "inform6 or dfrotz is not installed";
    ASSERT_TRUE(m_dir.isValid());
    // A folder with a blank: the composed command must keep the paths whole.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("my games")));
    m_source = m_dir.filePath(QStringLiteral("my games/lantern.inf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), m_source));
    m_ini = m_dir.filePath(QStringLiteral("Torvane.ini"));
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QString::fromLatin1(INFORM)));
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QString::fromLatin1(LIBRARY)));
    ASSERT_TRUE(WriteSetting(store, SETTING_STANDARD_OPTIONS, 1));
  }

  // The editor's Compile after its save: settings read now, one redirector run.
  QByteArray Compile(QString* storyPath = nullptr) {
    const CProfileStore store(m_ini);
    const CompileCommand command = ComposeCompileCommand(m_source, ReadCompileSettings(store));
    if (storyPath) *storyPath = command.outputPath;
    CCaptureSink sink;
    CRedirector redirector(command.commandLine, &sink);
    redirector.Run();
    return sink.m_text;
  }

  QTemporaryDir m_dir;
  QString m_source;
  QString m_ini;
};

class CToolchainHost : public CRunHost {
public:
  explicit CToolchainHost(ToolchainTest* test, std::function<QByteArray()> compile)
      : m_compile(std::move(compile)) { (void)test; }
  bool IsModified() const override { return false; }
  void SaveDocument(const QString&) override {}
  void Compile() override { m_compileOutput += m_compile(); }
  RunAnswer AskYesNoCancel(const QString& text) override {
    m_questions << text;
    return RunAnswer::Yes;
  }
  void ShowMessage(const QString& text) override { m_messages << text; }
  // Plays the story here and now instead of leaving it running on its own.
  bool StartInterpreter(const QString& program, const QStringList& arguments) override {
    m_played = Play(program, arguments, "look\nquit\ny\n");
    return true;
  }

  std::function<QByteArray()> m_compile;
  QByteArray m_compileOutput;
  QStringList m_questions;
  QStringList m_messages;
  QByteArray m_played;
};

} // namespace

TEST_F(ToolchainTest, CompileWritesTheStoryAndItPlays) {
  QString story;
  const QByteArray output = Compile(&story);
  EXPECT_TRUE(output.endsWith(COMPLETE)) << output.toStdString();
  EXPECT_FALSE(output.contains("Error")) << output.toStdString();
  EXPECT_EQ(story, m_dir.filePath(QStringLiteral("my games/lantern.z5")));
  ASSERT_TRUE(QFileInfo(story).isFile()) << output.toStdString();
  EXPECT_EQ(FindStoryFile(m_source), story);

  const QByteArray played =
      Play(QString::fromLatin1(DFROTZ), {QStringLiteral("-m"), QStringLiteral("-p"), QStringLiteral("-q"), story},
           "quit\ny\n");
  EXPECT_TRUE(played.contains(FIRST_ROOM)) << played.toStdString();
}

TEST_F(ToolchainTest, StaleAfterTheSourceChangesFreshAfterARebuild) {
  QString story;
  Compile(&story);
  ASSERT_TRUE(QFileInfo(story).isFile());
  EXPECT_FALSE(CheckStoryFile(m_source).outOfDate);

  const qint64 now = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(SetWriteTime(story, now - 100));
  ASSERT_TRUE(SetWriteTime(m_source, now - 50)); // the source was edited after the build
  EXPECT_TRUE(CheckStoryFile(m_source).outOfDate);

  const QByteArray output = Compile();
  EXPECT_TRUE(output.endsWith(COMPLETE));
  const StoryCheck check = CheckStoryFile(m_source);
  EXPECT_FALSE(check.outOfDate);
  EXPECT_GT(*check.storyTime, now - 100);
}

TEST_F(ToolchainTest, CompilerErrorsAreShownAndWriteNoStory) {
  ASSERT_TRUE(WriteFile(m_source, "Constant Story \"BROKEN\";\n[ Main; print \"x\" ; ! no end\n"));
  QString story;
  const QByteArray output = Compile(&story);
  EXPECT_TRUE(output.contains("rror")) << output.toStdString(); // the compiler's own messages
  EXPECT_TRUE(output.endsWith(COMPLETE));
  EXPECT_FALSE(QFileInfo::exists(story));
}

TEST_F(ToolchainTest, RunBuildsAMissingStoryAndPlaysIt) {
  {
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH,
                             QString::fromLatin1(DFROTZ) + QStringLiteral(" -m -p -q")));
  }
  CToolchainHost host(this, [this] { return Compile(); });
  EXPECT_EQ(CRunCommand(host, m_ini).Run(m_source), RunOutcome::Launched);
  ASSERT_EQ(host.m_questions.size(), 1);
  EXPECT_EQ(host.m_questions.at(0),
            m_dir.filePath(QStringLiteral("my games/lantern")) +
                QStringLiteral(".z* does not exist.\nDo you want to build it?"));
  EXPECT_TRUE(host.m_compileOutput.endsWith(COMPLETE));
  EXPECT_TRUE(host.m_played.contains(FIRST_ROOM)) << host.m_played.toStdString();
  EXPECT_TRUE(host.m_messages.isEmpty());
}

TEST_F(ToolchainTest, RebuildThatFailsStartsNothing) {
  {
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH, QString::fromLatin1(DFROTZ)));
  }
  QString story;
  Compile(&story);
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(SetWriteTime(story, now - 100));
  ASSERT_TRUE(WriteFile(m_source, "[ Main; ! broken\n"));

  CToolchainHost host(this, [this] { return Compile(); });
  EXPECT_EQ(CRunCommand(host, m_ini).Run(m_source), RunOutcome::NotRewritten);
  EXPECT_EQ(host.m_questions.size(), 1);
  EXPECT_TRUE(host.m_played.isEmpty());
  EXPECT_TRUE(host.m_messages.isEmpty());
}
