// torvane-cli settings, run as a child process with its configuration directory in a
// temporary folder.
#include <gtest/gtest.h>

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

class SettingsCommandTest : public ::testing::Test {
protected:
  CliResult Run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TORVANE_CLI), QStringList{QStringLiteral("settings")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }
  QByteArray Get(const QString& section, const QString& value) {
    const CliResult r = Run({QStringLiteral("get"), section, value});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
  }
  int Set(std::initializer_list<QString> arguments) {
    return Run(QStringList{QStringLiteral("set")} + QStringList(arguments)).exitCode;
  }
  QString IniPath() const {
    return m_dir.filePath(QStringLiteral("Quenmark Applications/Torvane.ini"));
  }
  QTemporaryDir m_dir;
};

TEST_F(SettingsCommandTest, FreshUserReadsTheDefaults) {
  EXPECT_EQ(Get(QStringLiteral("Editor\\Paths"), QStringLiteral("Compiler")), "\n");
  EXPECT_EQ(Get(QStringLiteral("Editor\\Options"), QStringLiteral("StandardOptions")), "3\n");
  EXPECT_EQ(Get(QStringLiteral("Editor/Styles"), QStringLiteral("CommentColour")), "8421504\n");

  const CliResult list = Run({QStringLiteral("list")});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_TRUE(list.out.contains("Editor\\Options\tz5\t1\n"));
  EXPECT_TRUE(list.out.contains("Editor\\PageSetup\tBottomMargin\t1000\n"));
  EXPECT_EQ(list.out.count('\n'), static_cast<int>(AllSettingKeys().size()));
  // Reading creates no settings file.
  EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

TEST_F(SettingsCommandTest, PathsSetFromTheTerminalReachTheProgram) {
  const QString compiler = QStringLiteral("/opt/Inform Tools/inform6");
  const QString library = QStringLiteral("/usr/share/inform6/library,/home/me/lib");
  ASSERT_EQ(Set({"Editor\\Paths", "Compiler", compiler}), 0);
  ASSERT_EQ(Set({"Editor/Paths", "Library", library}), 0);
  EXPECT_EQ(Get(QStringLiteral("Editor\\Paths"), QStringLiteral("Compiler")),
            compiler.toUtf8() + "\n");

  // The file lies under XDG_CONFIG_HOME and the store reads it as the IDE would.
  CProfileStore store(IniPath());
  EXPECT_EQ(ReadSetting(store, SETTING_COMPILER_PATH), compiler);
  EXPECT_EQ(ReadSetting(store, SETTING_LIBRARY_PATH), library);
}

TEST_F(SettingsCommandTest, IntegersAreCheckedAndReadBackUnsigned) {
  const QString options = QStringLiteral("Editor\\Options");
  ASSERT_EQ(Set({"Editor\\Options", "z5", "0"}), 0);
  EXPECT_EQ(Get(options, QStringLiteral("z5")), "0\n");
  ASSERT_EQ(Set({"Editor\\Options", "StandardOptions", "0xFFFFFFFF"}), 0);
  EXPECT_EQ(Get(options, QStringLiteral("StandardOptions")), "4294967295\n");
  ASSERT_EQ(Set({"Editor\\Options", "StandardOptions", "-2"}), 0);
  EXPECT_EQ(Get(options, QStringLiteral("StandardOptions")), "4294967294\n");

  // Not a number, or too big: refused, and the stored value stays.
  for (const char* bad : {"three", "4294967296", "", "12abc"}) {
    const CliResult r =
        Run({QStringLiteral("set"), options, QStringLiteral("z5"), QString::fromLatin1(bad)});
    EXPECT_EQ(r.exitCode, 2) << bad;
    EXPECT_FALSE(r.err.isEmpty()) << bad;
  }
  EXPECT_EQ(Get(options, QStringLiteral("z5")), "0\n");
}

TEST_F(SettingsCommandTest, UnknownValuesNeedAnExplicitType) {
  const QString paths = QStringLiteral("Editor\\Paths");
  const CliResult typo =
      Run({QStringLiteral("set"), paths, QStringLiteral("Complier"), QStringLiteral("/bin/x")});
  EXPECT_EQ(typo.exitCode, 2);
  EXPECT_TRUE(typo.err.contains("Complier"));
  EXPECT_EQ(Run({QStringLiteral("get"), paths, QStringLiteral("Complier")}).exitCode, 1);

  ASSERT_EQ(Set({"--text", "Editor\\Paths", "Extra", "x y"}), 0);
  EXPECT_EQ(Get(paths, QStringLiteral("Extra")), "x y\n");
  ASSERT_EQ(Set({"--int", "Mine", "Count", "0x10"}), 0);
  EXPECT_EQ(Get(QStringLiteral("Mine"), QStringLiteral("Count")), "16\n");

  // A forced type that contradicts a known value's type is refused.
  EXPECT_EQ(Set({"--int", "Editor\\Paths", "Compiler", "5"}), 2);
  EXPECT_EQ(Set({"--text", "Editor\\Options", "z5", "five"}), 2);
  EXPECT_EQ(Get(paths, QStringLiteral("Compiler")), "\n");
}

TEST_F(SettingsCommandTest, BadUsageAndUnwritableStoreAreReported) {
  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({QStringLiteral("get"), QStringLiteral("Editor\\Paths")}).exitCode, 2);
  EXPECT_EQ(Set({"Editor\\Paths", "Compiler"}), 2);
  EXPECT_EQ(Run({QStringLiteral("frobnicate")}).exitCode, 2);

  // The company folder is a file: the store cannot be written, and the command says so.
  QFile blocker(m_dir.filePath(QStringLiteral("Quenmark Applications")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const CliResult r = Run({QStringLiteral("set"), QStringLiteral("Editor\\Paths"),
                           QStringLiteral("Compiler"), QStringLiteral("/bin/inform6")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("cannot write")) << r.err.toStdString();
}

} // namespace
