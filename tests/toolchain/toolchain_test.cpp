// The real toolchain: lantern.inf compiled by inform6 through the composed command line and
// the redirector into a folder with a blank, played in dfrotz, and a rebuild that fails on
// the Run road. (The IDE's own test builds and runs the example game from the keys.)
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

// The editor's Compile after its save, and a host that answers every question Yes.
class ToolchainTest : public ::testing::Test, public CRunHost {
protected:
  void Compile() override {
    CCaptureSink sink;
    EXPECT_TRUE(RunCompile(m_source, CProfileStore(m_ini), &sink, [&] { sink.m_text = "cleared:"; }).compilerSet);
    m_output = sink.m_text;
  }
  bool IsModified() const override { return false; }
  void SaveDocument(const QString&) override {}
  RunAnswer AskYesNoCancel(const QString& text) override { return m_asked << text, RunAnswer::Yes; }
  void ShowMessage(const QString& text) override { m_asked << text; }
  bool StartInterpreter(const QString&, const QStringList&) override { return m_asked << "started", true; }

  QTemporaryDir m_dir;
  QString m_source = m_dir.filePath(QStringLiteral("my games/lantern.inf"));
  QString m_story = m_dir.filePath(QStringLiteral("my games/lantern.z5"));
  QString m_ini = m_dir.filePath(QStringLiteral("Torvane.ini"));
  QByteArray m_output;
  QStringList m_asked;
};

} // namespace

TEST_F(ToolchainTest, CompiledStoryPlaysAndAFailedRebuildIsNotRun) {
  if (!QFileInfo(QStringLiteral("/usr/bin/inform6")).isExecutable() || !QFileInfo(DFROTZ).isExecutable())
    GTEST_SKIP() << "inform6 or dfrotz is not installed";
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("my games")));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), m_source));
  CProfileStore store(m_ini);
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
  Compile();
  // The output is prepared before the run, and the run ends with the completion line.
  EXPECT_TRUE(m_output.startsWith("cleared:Inform 6") && m_output.endsWith(TEXT_COMPILATION_COMPLETE))
      << m_output.toStdString();
  QProcess dfrotz;
  dfrotz.start(DFROTZ, {"-m", "-p", "-q", m_story});
  dfrotz.write("quit\ny\n");
  dfrotz.closeWriteChannel();
  dfrotz.waitForFinished(60000); // a bound against a hang only
  EXPECT_TRUE(dfrotz.readAll().contains("Brass shavings litter a long bench under the single window."));

  // A stale story whose rebuild fails: the errors are shown and the old story is not run.
  ASSERT_TRUE(SetWriteTime(m_story, QDateTime::currentSecsSinceEpoch() - 100));
  ASSERT_TRUE(WriteFile(m_source, "[ Main; print \"x\" ; ! no end\n"));
  EXPECT_EQ(CRunCommand(*this, m_ini).Run(m_source), RunOutcome::NotRewritten);
  EXPECT_TRUE(m_output.contains("rror") && m_output.endsWith(TEXT_COMPILATION_COMPLETE)) << m_output.toStdString();
  EXPECT_EQ(m_asked, QStringList{"The following files are out of date:\n       lantern.z5\n\nDo you wish to recompile?"});
}
