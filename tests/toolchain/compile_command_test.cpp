// The compiler command line: its exact text, the output path, and whole-path arguments.
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "compile_command.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {
std::string Line(const char* source, CompileSettings s) {
  return ComposeCompileCommand(QString::fromLatin1(source), s).commandLine.toStdString();
}
std::string Strip(const char* path) {
  QString s = QString::fromLatin1(path);
  StripExtension(s);
  return s.toStdString();
}
} // namespace

TEST(CompileCommandLine, ExactTextForTheStoredSettings) {
  EXPECT_EQ(Line("C:\\Games\\adv.inf", {"C:\\Inform\\inform.exe", "C:\\Inform\\lib", 3, "e|$SIZE=100|", 1}),
            "C:\\Inform\\inform.exe +include_path=C:\\Inform\\lib -D -U -e $SIZE=100 -v5 "
            "C:\\Games\\adv.inf C:\\Games\\adv.z5");
  EXPECT_EQ(Line("/g/my.games/adv.inf", {"/usr/bin/inform6", "", 31, "", 2}),
            "/usr/bin/inform6 -D -U -s -d2 -j -v8 /g/my.games/adv.inf /g/my.games/adv.z8");
  EXPECT_EQ(ComposeSwitches(0, QString(), 1).toStdString(), " -v5 ");
  EXPECT_EQ(ComposeSwitches(0x80000060u, QString(), 7).toStdString(), " -v8 "); // unknown bits
  EXPECT_EQ(ComposeSwitches(0, QStringLiteral("$SIZE=100|"), 1).toStdString(), " $SIZE=100 -v5 ");
  EXPECT_EQ(ComposeSwitches(0, QStringLiteral("ab$c|"), 1).toStdString(), " -a$c -v5 ");
  EXPECT_EQ(ComposeSwitches(4 | 16, QStringLiteral("e|~S|"), 1).toStdString(), " -s -j -e -~S -v5 ");
}

TEST(CompileCommandLine, ExtensionIsTakenOnlyFromTheFileName) {
  EXPECT_EQ(Strip("/g/my.games/adv.old.inf"), "/g/my.games/adv.old");
  EXPECT_EQ(Strip("/g/my.games/adv"), "/g/my.games/adv"); // not "/g/my"
  EXPECT_EQ(Strip("adv"), "adv");                          // not ""
  EXPECT_EQ(Strip("/g/.adv"), "/g/.adv");
  EXPECT_EQ(Strip("/g/.adv.inf"), "/g/.adv");
  EXPECT_EQ(Strip(""), "");
  EXPECT_EQ(ComposeCompileCommand(QStringLiteral("/g/my.games/adv"), {"inform", "", 0, "", 1})
                .outputPath.toStdString(),
            "/g/my.games/adv.z5");
}

TEST(CompileCommandLine, EveryPathReachesTheCompilerWhole) {
  const QString compiler = QStringLiteral("/opt/My Inform/inform6");
  const QString source = QStringLiteral("/home/a/Story \"One\" $HOME;`id`/adv game.inf");
  const CompileCommand c = ComposeCompileCommand(source, {compiler, QStringLiteral("/my lib"), 1, "", 1});
  EXPECT_EQ(QProcess::splitCommand(c.commandLine),
            (QStringList{compiler, QStringLiteral("+include_path=/my lib"), QStringLiteral("-D"),
                         QStringLiteral("-v5"), source,
                         QStringLiteral("/home/a/Story \"One\" $HOME;`id`/adv game.z5")}));
  EXPECT_EQ(QProcess::splitCommand(QuoteCommandArgument(QStringLiteral("/a\"b"))), QStringList{"/a\"b"});
}

TEST(CompileCommandLine, SettingsAreReadFromTheStoreWithTheirDefaults) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("Torvane.ini")));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(store)), " -D -U -v5 /g/adv.inf /g/adv.z5");
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/lib6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_STANDARD_OPTIONS, 20));
  ASSERT_TRUE(WriteSetting(store, SETTING_USER_DEF_OPTIONS, QStringLiteral("e|$SIZE=100|")));
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(CProfileStore(store.FileName()))),
            "/usr/bin/inform6 +include_path=/lib6 -s -j -e $SIZE=100 -v8 /g/adv.inf /g/adv.z8");
}
