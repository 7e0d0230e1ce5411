// The compiler command line: its exact text, the output path, and whole-path arguments.
#include <QFileInfo>
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
  // Paths set empty by the user, so that none is looked for on the system.
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QString()));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QString()));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(store)), " -D -U -v5 /g/adv.inf /g/adv.z5");
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/lib6")));
  ASSERT_TRUE(WriteSetting(store, SETTING_STANDARD_OPTIONS, 20));
  ASSERT_TRUE(WriteSetting(store, SETTING_USER_DEF_OPTIONS, QStringLiteral("e|$SIZE=100|")));
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(CProfileStore(store.FileName()))),
            "/usr/bin/inform6 +include_path=/lib6 -s -j -e $SIZE=100 -v8 /g/adv.inf /g/adv.z8");
}

TEST(CompileCommandLine, SourceNamedLikeItsStoryIsNotCompiledOverItself) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("Torvane.ini")));
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/bin/true")));
  const QString story = dir.filePath(QStringLiteral("story.z5"));
  const QString link = dir.filePath(QStringLiteral("link.z8"));
  ASSERT_TRUE(QFile(story).open(QIODevice::WriteOnly) && QFile::link(story, link));
  for (const auto& [source, z5] : {std::pair{story, 1}, {link, 2}}) {
    ASSERT_TRUE(WriteSetting(store, SETTING_Z5, z5));
    bool prepared = false;
    const CompileRun run = RunCompile(source, store, nullptr, [&] { prepared = true; });
    EXPECT_EQ(run.refusal, "Not compiled: the story file would overwrite the source. Give the source "
                           "another extension, such as .inf:\n" + source);
    EXPECT_FALSE(prepared);
  }
  // Another story version of the same name is a file of its own.
  EXPECT_TRUE(RunCompile(story, store, nullptr).refusal.isEmpty());
}

TEST(CompileCommandLine, PathsNobodyStoredAreFoundOnTheSystem) {
  if (!QFileInfo(QStringLiteral("/usr/share/inform6/library")).isDir()) GTEST_SKIP() << "no library";
  QTemporaryDir dir;
  const QByteArray oldPath = qgetenv("PATH");
  for (const char* tool : {"inform6", "zcode-interpreter"}) {
    QFile file(dir.filePath(QLatin1String(tool)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner));
  }
  qputenv("PATH", "/no/such/dir:" + dir.path().toLocal8Bit());
  CProfileStore store(dir.filePath(QStringLiteral("Torvane.ini")));
  const CompileSettings found = ReadCompileSettings(store);
  EXPECT_EQ(found.compiler, dir.filePath(QStringLiteral("inform6")));
  EXPECT_EQ(found.library, QStringLiteral("/usr/share/inform6/library"));
  EXPECT_EQ(ReadToolPath(store, SETTING_INTERPRETER_PATH), dir.filePath(QStringLiteral("zcode-interpreter")));
  // Stored values win, even empty ones.
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QString()));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/my lib")));
  ASSERT_TRUE(WriteSetting(store, SETTING_INTERPRETER_PATH, QStringLiteral("frotz")));
  EXPECT_EQ(ReadCompileSettings(store).compiler, QString());
  EXPECT_EQ(ReadCompileSettings(store).library, QStringLiteral("/my lib"));
  EXPECT_EQ(ReadToolPath(store, SETTING_INTERPRETER_PATH), QStringLiteral("frotz"));
  // Nothing on the PATH: no compiler; the interpreter is looked for in /usr/games as well.
  qputenv("PATH", "/no/such/dir");
  CProfileStore fresh(dir.filePath(QStringLiteral("Fresh.ini")));
  EXPECT_EQ(ReadCompileSettings(fresh).compiler, QString());
  EXPECT_EQ(ReadToolPath(fresh, SETTING_INTERPRETER_PATH),
            QFileInfo(QStringLiteral("/usr/games/zcode-interpreter")).isExecutable()
                ? QStringLiteral("/usr/games/zcode-interpreter") : QString());
  EXPECT_EQ(ReadToolPath(fresh, SETTING_FIND_WHAT), QString()); // not a path of a tool
  qputenv("PATH", oldPath);
}
