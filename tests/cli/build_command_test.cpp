// torvane-cli build: the editor's compile from the terminal, with the user's settings store
// in a temporary XDG_CONFIG_HOME.
#include <QFileInfo>
#include <QTemporaryDir>

#include "cli_test_support.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

class BuildCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"), m_work.filePath("lantern.inf")));
  }
  CliResult Build(const char* file) {
    return RunCli({QStringLiteral("build"), QString::fromLatin1(file)}, m_config.path(), m_work.path());
  }
  // Through the file the program's own store opens under XDG_CONFIG_HOME.
  void SetCompiler(const QString& compiler) {
    CProfileStore store(m_config.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")));
    ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, compiler));
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  }
  QTemporaryDir m_config, m_work;
};

TEST_F(BuildCommandTest, RefusesWhatItCannotCompile) {
  CliResult r = Build("lantern.inf");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "You have not set your compiler path.  See View->Options\n");
  SetCompiler(m_work.filePath("no-such-inform"));
  r = Build("missing.inf");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("missing.inf") && r.out.isEmpty()) << r.err.toStdString();
  r = Build("lantern.inf");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.startsWith("Error creating process\r\n")) << r.out.toStdString();
}

TEST_F(BuildCommandTest, CompilesWithTheStoredSettingsAndPassesOnTheVerdict) {
  if (!QFileInfo(QStringLiteral("/usr/bin/inform6")).isExecutable()) GTEST_SKIP() << "no inform6";
  SetCompiler(QStringLiteral("/usr/bin/inform6"));
  CliResult r = Build("lantern.inf");
  EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith("\nCompilation Complete.\n")) << r.out.toStdString();
  EXPECT_TRUE(QFileInfo(m_work.filePath("lantern.z8")).isFile()); // version 8, beside the source
  ASSERT_TRUE(WriteBytes(m_work.filePath("broken.inf"), "[ Main; ! no end\n"));
  r = Build("broken.inf");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(r.out.endsWith("\nCompilation Complete.\n")) << r.out.toStdString();
}

} // namespace
