// torvane-cli build: the editor's compile from the terminal, with the user's settings store
// in a temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "profile_store.h"
#include "settings_keys.h"

namespace {

class BuildCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), Work("lantern.inf")));
  }
  QString Work(const char* name) const { return m_work.filePath(QString::fromLatin1(name)); }
  // Runs torvane-cli in the work folder; its exit status, keeping its output in m_out/m_err.
  int Run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_work.path());
    process.start(QStringLiteral(TORVANE_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    m_out = process.readAllStandardOutput();
    m_err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
  // The file the program's own store opens under XDG_CONFIG_HOME.
  void SetCompiler(const QString& compiler) {
    CProfileStore store(m_config.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")));
    ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, compiler));
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  }
  QTemporaryDir m_config, m_work;
  QByteArray m_out, m_err;
};

} // namespace

TEST_F(BuildCommandTest, RefusesWhatItCannotCompile) {
  EXPECT_EQ(Run({"build", "lantern.inf"}), 1);
  EXPECT_EQ(m_out, "You have not set your compiler path.  See View->Options\n");
  EXPECT_EQ(Run({"build"}), 2);
  EXPECT_TRUE(m_err.contains("build FILE")) << m_err.toStdString();
  Run({"--help"});
  EXPECT_TRUE(m_out.contains("  build FILE                   compile FILE with the configured compiler\n"));

  SetCompiler(Work("no-such-inform"));
  EXPECT_EQ(Run({"build", "missing.inf"}), 2);
  EXPECT_TRUE(m_err.contains("missing.inf") && m_out.isEmpty()) << m_err.toStdString();
  EXPECT_EQ(Run({"build", "lantern.inf"}), 1);
  EXPECT_TRUE(m_out.startsWith("Error creating process\r\n")) << m_out.toStdString();
}

TEST_F(BuildCommandTest, CompilesWithTheStoredSettingsAndPassesOnTheVerdict) {
  if (!QFileInfo(QStringLiteral("/usr/bin/inform6")).isExecutable()) GTEST_SKIP() << "no inform6";
  SetCompiler(QStringLiteral("/usr/bin/inform6"));
  EXPECT_EQ(Run({"build", "lantern.inf"}), 0) << m_out.toStdString();
  EXPECT_TRUE(m_out.endsWith("\nCompilation Complete.\n")) << m_out.toStdString();
  EXPECT_TRUE(QFileInfo(Work("lantern.z8")).isFile()); // version 8, beside the source

  QFile broken(Work("broken.inf"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("[ Main; ! no end\n") > 0);
  broken.close();
  EXPECT_NE(Run({"build", "broken.inf"}), 0);
  EXPECT_TRUE(m_out.endsWith("\nCompilation Complete.\n")) << m_out.toStdString();
}
