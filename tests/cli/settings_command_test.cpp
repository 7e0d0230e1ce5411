// torvane-cli settings, with its configuration folder in a temporary folder.
#include <QFileInfo>
#include <QTemporaryDir>

#include "cli_test_support.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

class SettingsCommandTest : public ::testing::Test {
protected:
  CliResult Run(const QStringList& arguments) {
    return RunCli(QStringList{QStringLiteral("settings")} + arguments, m_dir.path());
  }
  QByteArray Get(const QString& section, const QString& value) {
    const CliResult r = Run({QStringLiteral("get"), section, value});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
  }
  int Set(const QStringList& arguments) { return Run(QStringList{QStringLiteral("set")} + arguments).exitCode; }
  QString IniPath() const { return m_dir.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")); }
  QTemporaryDir m_dir;
};

TEST_F(SettingsCommandTest, FreshUserReadsTheDefaultsAndReadingCreatesNoFile) {
  EXPECT_EQ(Get("Editor\\Paths", "Compiler"), "\n");
  EXPECT_EQ(Get("Editor\\Options", "StandardOptions"), "3\n");
  EXPECT_EQ(Get("Editor/Styles", "CommentColour"), "8421504\n");
  const CliResult list = Run({QStringLiteral("list")});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_TRUE(list.out.contains("Editor\\Options\tz5\t1\n"));
  EXPECT_TRUE(list.out.contains("Editor\\PageSetup\tBottomMargin\t1000\n"));
  EXPECT_EQ(list.out.count('\n'), static_cast<int>(AllSettingKeys().size()));
  EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

TEST_F(SettingsCommandTest, PathsSetFromTheTerminalReachTheProgram) {
  const QString compiler = QStringLiteral("/opt/Inform Tools/inform6");
  const QString library = QStringLiteral("/usr/share/inform6/library,/home/me/lib");
  ASSERT_EQ(Set({"Editor\\Paths", "Compiler", compiler}), 0);
  ASSERT_EQ(Set({"Editor/Paths", "Library", library}), 0);
  EXPECT_EQ(Get("Editor\\Paths", "Compiler"), compiler.toUtf8() + "\n");
  CProfileStore store(IniPath()); // read as the IDE reads it
  EXPECT_EQ(ReadSetting(store, SETTING_COMPILER_PATH), compiler);
  EXPECT_EQ(ReadSetting(store, SETTING_LIBRARY_PATH), library);
}

TEST_F(SettingsCommandTest, IntegersAreCheckedAndReadBackUnsigned) {
  for (auto [given, read] : {std::pair{"0", "0\n"}, {"0xFFFFFFFF", "4294967295\n"}, {"-2", "4294967294\n"}}) {
    ASSERT_EQ(Set({"Editor\\Options", "z5", given}), 0) << given;
    EXPECT_EQ(Get("Editor\\Options", "z5"), read);
  }
  // Not a number, or too big: refused with a message, and the stored value stays.
  for (const char* bad : {"three", "4294967296", "", "12abc"}) {
    const CliResult r = Run({"set", "Editor\\Options", "z5", bad});
    EXPECT_EQ(r.exitCode, 2) << bad;
    EXPECT_FALSE(r.err.isEmpty()) << bad;
  }
  EXPECT_EQ(Get("Editor\\Options", "z5"), "4294967294\n");
}

TEST_F(SettingsCommandTest, UnknownValuesNeedAnExplicitTypeThatMatchesAKnownOne) {
  const CliResult typo = Run({"set", "Editor\\Paths", "Complier", "/bin/x"});
  EXPECT_EQ(typo.exitCode, 2);
  EXPECT_TRUE(typo.err.contains("Complier"));
  EXPECT_EQ(Run({"get", "Editor\\Paths", "Complier"}).exitCode, 1);
  ASSERT_EQ(Set({"--text", "Editor\\Paths", "Extra", "x y"}), 0);
  EXPECT_EQ(Get("Editor\\Paths", "Extra"), "x y\n");
  ASSERT_EQ(Set({"--int", "Mine", "Count", "0x10"}), 0);
  EXPECT_EQ(Get("Mine", "Count"), "16\n");
  EXPECT_EQ(Set({"--int", "Editor\\Paths", "Compiler", "5"}), 2);
  EXPECT_EQ(Set({"--text", "Editor\\Options", "z5", "five"}), 2);
  EXPECT_EQ(Get("Editor\\Paths", "Compiler"), "\n");
}

TEST_F(SettingsCommandTest, UnwritableStoreIsReported) {
  // The company folder is a file: the store cannot be written, and the command says so.
  ASSERT_TRUE(WriteBytes(m_dir.filePath(QStringLiteral("Quenmark Applications")), ""));
  const CliResult r = Run({"set", "Editor\\Paths", "Compiler", "/bin/inform6"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("cannot write")) << r.err.toStdString();
}

} // namespace
