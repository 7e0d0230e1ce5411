// torvane-cli build: the editor's compile from the terminal, reading the user's settings
// store from a temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "profile_store.h"
#include "settings_keys.h"

namespace {

struct CliResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

class BuildCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_config.isValid());
    ASSERT_TRUE(m_work.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVANE_TEST_DATA "/lantern.inf"),
                            m_work.filePath(QStringLiteral("lantern.inf"))));
  }
  CliResult Run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_work.path());
    process.start(QStringLiteral(TORVANE_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }
  // The same file the program's default store opens under XDG_CONFIG_HOME.
  void Set(const StringSettingKey& key, const QString& text) {
    CProfileStore store(m_config.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")));
    ASSERT_TRUE(WriteSetting(store, key, text));
  }
  void Set(const IntSettingKey& key, int32_t v) {
    CProfileStore store(m_config.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")));
    ASSERT_TRUE(WriteSetting(store, key, v));
  }
  bool ToolchainPresent() const { return QFileInfo(QStringLiteral("/usr/bin/inform6")).isExecutable(); }

  QTemporaryDir m_config;
  QTemporaryDir m_work;
};

} // namespace

TEST_F(BuildCommandTest, WithoutACompilerPathItSaysSoAndFails) {
  const CliResult r = Run({QStringLiteral("build"), QStringLiteral("lantern.inf")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "You have not set your compiler path.  See View->Options\n");
  EXPECT_FALSE(QFileInfo::exists(m_work.filePath(QStringLiteral("lantern.z5"))));
}

TEST_F(BuildCommandTest, BadArgumentsAreRefusedClearly) {
  CliResult r = Run({QStringLiteral("build")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("build FILE")) << r.err.toStdString();

  Set(SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6"));
  r = Run({QStringLiteral("build"), QStringLiteral("missing.inf")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("missing.inf")) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());

  r = Run({QStringLiteral("--help")});
  EXPECT_TRUE(r.out.contains("build FILE                   compile FILE with the configured compiler\n"));
}

TEST_F(BuildCommandTest, CompilerThatCannotStartIsReportedAsAFailure) {
  Set(SETTING_COMPILER_PATH, m_work.filePath(QStringLiteral("no-such-inform")));
  const CliResult r = Run({QStringLiteral("build"), QStringLiteral("lantern.inf")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.startsWith("Error creating process\r\n")) << r.out.toStdString();
}

TEST_F(BuildCommandTest, CompilesWithTheStoredSettings) {
  if (!ToolchainPresent()) GTEST_SKIP() << "inform6 is not installed";
  Set(SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6"));
  Set(SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library"));
  Set(SETTING_Z5, 0);
  const CliResult r = Run({QStringLiteral("build"), QStringLiteral("lantern.inf")});
  EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith("\nCompilation Complete.\n")) << r.out.toStdString();
  // The relative name was compiled by its full path, into a version-8 story beside it.
  EXPECT_TRUE(QFileInfo(m_work.filePath(QStringLiteral("lantern.z8"))).isFile());
  EXPECT_FALSE(QFileInfo::exists(m_work.filePath(QStringLiteral("lantern.z5"))));
}

TEST_F(BuildCommandTest, CompilerErrorsGiveAFailingStatus) {
  if (!ToolchainPresent()) GTEST_SKIP() << "inform6 is not installed";
  Set(SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6"));
  Set(SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library"));
  QFile broken(m_work.filePath(QStringLiteral("broken.inf")));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("[ Main; print \"x\" ; ! no end\n");
  broken.close();
  const CliResult r = Run({QStringLiteral("build"), QStringLiteral("broken.inf")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(r.out.endsWith("\nCompilation Complete.\n")) << r.out.toStdString();
}
