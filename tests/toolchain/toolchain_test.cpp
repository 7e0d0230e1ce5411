// The real toolchain: lantern.inf compiled by inform6 through the composed command line and
// the redirector, checked for staleness, and played in dfrotz, alone and on the Run road.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "toolchain_test_support.h"
#include "compile_command.h"
#include "profile_store.h"
#include "redirector.h" // TEXT_COMPILATION_COMPLETE
#include "run_command.h"
#include "settings_keys.h"

namespace {

const QString DFROTZ = QStringLiteral("/usr/games/dfrotz");
const char* const FIRST_ROOM = "Brass shavings litter a long bench under the single window.";
const QByteArray COMPLETE(TEXT_COMPILATION_COMPLETE);

QByteArray Play(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  process.write("quit\ny\n");
  process.closeWriteChannel();
  process.waitForFinished(60000); // a bound against a hang only
  return process.readAll();
}

class ToolchainTest : public ::testing::Test, public CRunHost {
protected:
  void SetUp() override {
    if (!QFileInfo(QStringLiteral("/usr/bin/inform6")).isExecutable() || !QFileInfo(DFROTZ).isExecutable())
      GTEST_SKIP() << "inform6 or dfrotz is not installed";
    // A folder with a blank: the composed command must keep the paths whole.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("my games")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), m_source));
    CProfileStore store(m_ini);
    ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH, DFROTZ + " -m -p -q"));
  }
  // The editor's Compile after its save: settings read now, one redirector run.
  void Compile() override {
    CCaptureSink sink;
    EXPECT_TRUE(RunCompile(m_source, CProfileStore(m_ini), &sink, [&] { sink.m_text = "cleared:"; }).compilerSet);
    EXPECT_TRUE(sink.m_text.startsWith("cleared:")); // the output is prepared before the run
    m_output = sink.m_text;
  }
  // The Run road's host: every question answered Yes, the story played here and now.
  bool IsModified() const override { return false; }
  void SaveDocument(const QString&) override {}
  RunAnswer AskYesNoCancel(const QString& text) override { return m_asked << text, RunAnswer::Yes; }
  void ShowMessage(const QString& text) override { m_asked << text; }
  bool StartInterpreter(const QString& program, const QStringList& arguments) override {
    m_played = Play(program, arguments);
    return true;
  }

  QTemporaryDir m_dir;
  QString m_source = m_dir.filePath(QStringLiteral("my games/lantern.inf"));
  QString m_story = m_dir.filePath(QStringLiteral("my games/lantern.z5"));
  QString m_ini = m_dir.filePath(QStringLiteral("Torvane.ini"));
  QByteArray m_output, m_played;
  QStringList m_asked;
};

} // namespace

TEST_F(ToolchainTest, CompiledStoryPlaysAndGoesStaleWhenTheSourceChanges) {
  Compile();
  EXPECT_TRUE(m_output.endsWith(COMPLETE)) << m_output.toStdString();
  ASSERT_TRUE(QFileInfo(m_story).isFile()) << m_output.toStdString();
  EXPECT_TRUE(Play(DFROTZ, {"-m", "-p", "-q", m_story}).contains(FIRST_ROOM));

  EXPECT_FALSE(CheckStoryFile(m_source).outOfDate);
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(SetWriteTime(m_story, now - 100) && SetWriteTime(m_source, now - 50));
  EXPECT_TRUE(CheckStoryFile(m_source).outOfDate);
  Compile();
  EXPECT_FALSE(CheckStoryFile(m_source).outOfDate);
}

TEST_F(ToolchainTest, RunBuildsTheMissingStoryAndPlaysIt) {
  EXPECT_EQ(CRunCommand(*this, m_ini).Run(m_source), RunOutcome::Launched);
  EXPECT_EQ(m_asked, QStringList{m_dir.filePath("my games/lantern") + ".z* does not exist.\nDo you want to build it?"});
  EXPECT_TRUE(m_output.endsWith(COMPLETE));
  EXPECT_TRUE(m_played.contains(FIRST_ROOM)) << m_played.toStdString();
}

TEST_F(ToolchainTest, CompilerErrorsAreShownAndTheOldStoryIsNotRun) {
  Compile();
  ASSERT_TRUE(SetWriteTime(m_story, QDateTime::currentSecsSinceEpoch() - 100));
  ASSERT_TRUE(WriteFile(m_source, "[ Main; print \"x\" ; ! no end\n"));
  EXPECT_EQ(CRunCommand(*this, m_ini).Run(m_source), RunOutcome::NotRewritten);
  EXPECT_TRUE(m_output.contains("rror") && m_output.endsWith(COMPLETE)) << m_output.toStdString();
  EXPECT_EQ(m_asked.size(), 1);
  EXPECT_TRUE(m_played.isEmpty());
}
