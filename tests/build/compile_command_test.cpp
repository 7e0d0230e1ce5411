// The compiler command line: its exact text for the stored settings, the output path, and
// that every path reaches the compiler as one argument.
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "compile_command.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

CompileSettings Settings(const char* compiler, const char* library, uint32_t standard,
                         const char* more, uint32_t z5) {
  CompileSettings s;
  s.compiler = QString::fromLatin1(compiler);
  s.library = QString::fromLatin1(library);
  s.standardOptions = standard;
  s.userDefOptions = QString::fromLatin1(more);
  s.z5 = z5;
  return s;
}

QString Strip(const char* path) {
  QString s = QString::fromLatin1(path);
  StripExtension(s);
  return s;
}

} // namespace

TEST(CompileCommandLine, WorkedExampleComesOutByteForByte) {
  const CompileCommand c = ComposeCompileCommand(
      QStringLiteral("C:\\Games\\adv.inf"),
      Settings("C:\\Inform\\inform.exe", "C:\\Inform\\lib", 3, "e|$SIZE=100|", 1));
  EXPECT_EQ(c.commandLine.toStdString(),
            "C:\\Inform\\inform.exe +include_path=C:\\Inform\\lib -D -U -e $SIZE=100 -v5 "
            "C:\\Games\\adv.inf C:\\Games\\adv.z5");
  EXPECT_EQ(c.outputPath.toStdString(), "C:\\Games\\adv.z5");
}

TEST(CompileCommandLine, PosixPathsWithoutLibraryAndVersion8) {
  const CompileCommand c = ComposeCompileCommand(
      QStringLiteral("/home/ann/games/adv.inf"), Settings("/usr/bin/inform6", "", 31, "", 2));
  // No include path piece at all; every switch in table order; version 8 story.
  EXPECT_EQ(c.commandLine.toStdString(),
            "/usr/bin/inform6 -D -U -s -d2 -j -v8 /home/ann/games/adv.inf /home/ann/games/adv.z8");
  EXPECT_EQ(c.outputPath.toStdString(), "/home/ann/games/adv.z8");
}

TEST(CompileCommandLine, SwitchStrings) {
  EXPECT_EQ(ComposeSwitches(31, QString(), 2).toStdString(), " -D -U -s -d2 -j -v8 ");
  EXPECT_EQ(ComposeSwitches(0, QString(), 1).toStdString(), " -v5 ");
  EXPECT_EQ(ComposeSwitches(0, QString(), 7).toStdString(), " -v8 ");
  // A "$" entry takes the "-" placed before it.
  EXPECT_EQ(ComposeSwitches(0, QStringLiteral("$SIZE=100|"), 1).toStdString(), " $SIZE=100 -v5 ");
  // A "$" inside an entry replaces the character before it.
  EXPECT_EQ(ComposeSwitches(0, QStringLiteral("ab$c|"), 1).toStdString(), " -a$c -v5 ");
  EXPECT_EQ(ComposeSwitches(4 | 16, QStringLiteral("e|~S|"), 1).toStdString(), " -s -j -e -~S -v5 ");
  // Bits outside the five switches add nothing.
  EXPECT_EQ(ComposeSwitches(32 | 64 | 0x80000000u, QString(), 1).toStdString(), " -v5 ");
}

TEST(CompileCommandLine, StripExtensionTakesOnlyTheFileNamesLastDot) {
  EXPECT_EQ(Strip("C:\\Games\\adv.inf").toStdString(), "C:\\Games\\adv");
  EXPECT_EQ(Strip("/games/my.games/adv.inf").toStdString(), "/games/my.games/adv");
  EXPECT_EQ(Strip("/games/adv.old.inf").toStdString(), "/games/adv.old");
  EXPECT_EQ(Strip("").toStdString(), "");
  // No extension in the file name: the path stays whole rather than losing its file name
  // or ending up in a dotted directory's parent.
  EXPECT_EQ(Strip("/games/my.games/adv").toStdString(), "/games/my.games/adv");
  EXPECT_EQ(Strip("adv").toStdString(), "adv");
  // A leading dot names a hidden file, not an extension.
  EXPECT_EQ(Strip("/games/.adv").toStdString(), "/games/.adv");
  EXPECT_EQ(Strip(".adv").toStdString(), ".adv");
  EXPECT_EQ(Strip("/games/.adv.inf").toStdString(), "/games/.adv");
}

TEST(CompileCommandLine, OutputPathOfUnusualSources) {
  const CompileSettings s = Settings("inform", "", 0, "", 1);
  EXPECT_EQ(ComposeCompileCommand(QStringLiteral("/g/my.games/adv.inf"), s).outputPath.toStdString(),
            "/g/my.games/adv.z5");
  EXPECT_EQ(ComposeCompileCommand(QStringLiteral("/g/my.games/adv"), s).outputPath.toStdString(),
            "/g/my.games/adv.z5");
}

TEST(CompileCommandLine, PathsWithBlanksOrQuotesStayOneArgument) {
  const QString compiler = QStringLiteral("/opt/My Inform/inform6");
  const QString library = QStringLiteral("/opt/My Inform/lib");
  const QString source = QStringLiteral("/home/ann/Story \"One\" $HOME;`id`/adv game.inf");
  const CompileCommand c =
      ComposeCompileCommand(source, CompileSettings{compiler, library, 1, QString(), 1});
  const QStringList args = QProcess::splitCommand(c.commandLine);
  const QStringList expected = {compiler,
                                QStringLiteral("+include_path=") + library,
                                QStringLiteral("-D"),
                                QStringLiteral("-v5"),
                                source,
                                QStringLiteral("/home/ann/Story \"One\" $HOME;`id`/adv game.z5")};
  EXPECT_EQ(args, expected) << c.commandLine.toStdString();

  // A quote without blanks needs no surrounding quotes, only its own escape.
  EXPECT_EQ(QProcess::splitCommand(QuoteCommandArgument(QStringLiteral("/a\"b"))),
            QStringList{QStringLiteral("/a\"b")});
  EXPECT_EQ(QProcess::splitCommand(QuoteCommandArgument(QStringLiteral("\"x y\""))),
            QStringList{QStringLiteral("\"x y\"")});
  EXPECT_EQ(QuoteCommandArgument(QStringLiteral("/plain/$x;`y`")).toStdString(), "/plain/$x;`y`");
}

TEST(CompileSettingsStore, FreshStoreGivesDefaultsAndStoredValuesAreRead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CProfileStore store(dir.filePath(QStringLiteral("Torvane.ini")));
  CompileSettings s = ReadCompileSettings(store);
  EXPECT_TRUE(s.compiler.isEmpty());
  EXPECT_TRUE(s.library.isEmpty());
  EXPECT_EQ(s.standardOptions, 3u);
  EXPECT_TRUE(s.userDefOptions.isEmpty());
  EXPECT_EQ(s.z5, 1u);

  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
  ASSERT_TRUE(WriteSetting(store, SETTING_STANDARD_OPTIONS, 20));
  ASSERT_TRUE(WriteSetting(store, SETTING_USER_DEF_OPTIONS, QStringLiteral("e|$SIZE=100|")));
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  // A second store on the same file, as a later compile would open it.
  CProfileStore again(dir.filePath(QStringLiteral("Torvane.ini")));
  s = ReadCompileSettings(again);
  EXPECT_EQ(ComposeCompileCommand(QStringLiteral("/g/adv.inf"), s).commandLine.toStdString(),
            "/usr/bin/inform6 +include_path=/usr/share/inform6/library -s -j -e $SIZE=100 -v8 "
            "/g/adv.inf /g/adv.z8");
}
