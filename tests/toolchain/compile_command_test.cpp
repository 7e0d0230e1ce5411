// The compiler command line, the settings it is made from, and a real compile through it.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "compile_command.h"
#include "compiler_probe.h"
#include "profile_store.h"
#include "settings_keys.h"
#include "toolchain_test_support.h"

namespace {
std::string Line(const char* source, CompileSettings s) {
  return ComposeCompileCommand(QString::fromLatin1(source), s).commandLine.toStdString();
}
} // namespace

TEST(CompileCommandLine, ExactTextOutputPathEveryPathWholeAndNeverOverTheSource) {
  EXPECT_EQ(Line("C:\\Games\\adv.inf", {"C:\\Inform\\inform.exe", "C:\\Inform\\lib", 3, "e|$SIZE=100|", 1}),
            "C:\\Inform\\inform.exe +include_path=C:\\Inform\\lib -D -U -e $SIZE=100 -v5 "
            "C:\\Games\\adv.inf C:\\Games\\adv.z5");
  EXPECT_EQ(Line("/g/my.games/adv.inf", {"/usr/bin/inform6", "", 31, "", 2}),
            "/usr/bin/inform6 -D -U -s -d2 -j -v8 /g/my.games/adv.inf /g/my.games/adv.z8");
  for (auto [standard, more, z5, switches] : {std::tuple{0u, "", 1u, " -v5 "}, {0x80000060u, "", 7u, " -v8 "},
                                              {0u, "$SIZE=100|", 1u, " $SIZE=100 -v5 "}, {0u, "ab$c|", 1u, " -a$c -v5 "}})
    EXPECT_EQ(ComposeSwitches(standard, more, z5), switches); // 0x80000060: unknown bits
  // What the compiler does not know stays out; settings and the rest go through.
  CompilerFacts facts{CompilerFacts::Outcome::Answered, {}, "6.41", 641, {"D", "s", "e", "x", "d2"}, CrLfCount::Two};
  EXPECT_EQ(ComposeSwitches(31, "e|U|$SIZE=9|+lang=x|xj|x|k", 1, &facts), " -D -s -d2 -e $SIZE=9 -+lang=x -x -kv5 ");
  EXPECT_EQ(UnknownSwitches(31, "e|U|$SIZE=9|xj|x|k", facts), QStringList({"-U", "-j", "-U", "-xj"}));
  // The extension comes only from the file name ("/g/my.games/adv" stays), never its first character.
  for (auto [path, stripped] : {std::pair{"/g/my.games/adv.old.inf", "/g/my.games/adv.old"},
                                {"/g/my.games/adv", "/g/my.games/adv"}, {"adv", "adv"}, {"/g/.adv", "/g/.adv"},
                                {"/g/.adv.inf", "/g/.adv"}, {"", ""}}) {
    QString s = QString::fromLatin1(path);
    StripExtension(s);
    EXPECT_EQ(s, stripped);
  }
  // Every path reaches the compiler whole.
  const QString compiler = QStringLiteral("/opt/My Inform/inform6");
  const QString source = QStringLiteral("/home/a/Story \"One\" $HOME;`id`/adv game.inf");
  const CompileCommand c = ComposeCompileCommand(source, {compiler, QStringLiteral("/my lib"), 1, "", 1});
  EXPECT_EQ(QProcess::splitCommand(c.commandLine),
            (QStringList{compiler, QStringLiteral("+include_path=/my lib"), QStringLiteral("-D"),
                         QStringLiteral("-v5"), source,
                         QStringLiteral("/home/a/Story \"One\" $HOME;`id`/adv game.z5")}));
  EXPECT_EQ(QProcess::splitCommand(QuoteCommandArgument(QStringLiteral("/a\"b"))), QStringList{"/a\"b"});

  QTemporaryDir dir;
  const QString story = dir.filePath(QStringLiteral("story.z5"));
  const QString link = dir.filePath(QStringLiteral("link.z8"));
  const QString hard = dir.filePath(QStringLiteral("hard.z5"));
  ASSERT_TRUE(QFile(story).open(QIODevice::WriteOnly) && QFile::link(story, link));
  ASSERT_EQ(::link(QFile::encodeName(story).constData(), QFile::encodeName(hard).constData()), 0);
  EXPECT_TRUE(OutputWouldOverwriteSource(story, story));
  EXPECT_TRUE(OutputWouldOverwriteSource(link, story)); // the same file by another name
  EXPECT_TRUE(OutputWouldOverwriteSource(hard, story));
  EXPECT_FALSE(OutputWouldOverwriteSource(story, dir.filePath(QStringLiteral("story.z8"))));
}

// The stored values; for paths nobody stored or stored empty, what the PATH offers
// (torvane-cli's tests look in /usr/games).
TEST(CompileCommandLine, SettingsAreReadFromTheStoreOrFoundOnTheSystem) {
  if (!QFileInfo(QStringLiteral("/usr/share/inform6/library")).isDir()) GTEST_SKIP() << "no library";
  QTemporaryDir dir;
  for (const char* tool : {"inform6", "zcode-interpreter"}) ASSERT_TRUE(WriteFile(dir.filePath(tool), "", true));
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", "/no/such/dir:" + dir.path().toLocal8Bit());
  CProfileStore store(dir.filePath(QStringLiteral("Torvane.ini")));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(store)),
            dir.filePath("inform6").toStdString() +
                " +include_path=/usr/share/inform6/library -D -U -v5 /g/adv.inf /g/adv.z5");
  EXPECT_EQ(ReadToolPath(store, SETTING_INTERPRETER_PATH), dir.filePath(QStringLiteral("zcode-interpreter")));

  for (auto [key, value] : {std::pair{SETTING_COMPILER_PATH, ""}, {SETTING_LIBRARY_PATH, " "}, {SETTING_INTERPRETER_PATH, "frotz"}})
    ASSERT_TRUE(WriteSetting(store, key, QString::fromLatin1(value)));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(store)),
            dir.filePath("inform6").toStdString() +
                " +include_path=/usr/share/inform6/library -D -U -v5 /g/adv.inf /g/adv.z5");
  EXPECT_EQ(ReadToolPath(store, SETTING_INTERPRETER_PATH), QStringLiteral("frotz"));
  for (auto [key, value] : {std::pair{SETTING_COMPILER_PATH, "/usr/bin/inform6"}, {SETTING_LIBRARY_PATH, "/lib6"},
                            {SETTING_USER_DEF_OPTIONS, "e|$SIZE=100|"}})
    ASSERT_TRUE(WriteSetting(store, key, QString::fromLatin1(value)));
  ASSERT_TRUE(WriteSetting(store, SETTING_STANDARD_OPTIONS, 20) && WriteSetting(store, SETTING_Z5, 0));
  EXPECT_EQ(Line("/g/adv.inf", ReadCompileSettings(CProfileStore(store.FileName()))),
            "/usr/bin/inform6 +include_path=/lib6 -s -j -e $SIZE=100 -v8 /g/adv.inf /g/adv.z8");
  qputenv("PATH", oldPath);
}

// lantern.inf built by inform6 in a folder with a blank, output prepared first; dfrotz plays it.
TEST(CompileCommandLine, TheRealCompilerBuildsAStoryThatPlays) {
  const QString inform6 = QStringLiteral("/usr/bin/inform6"), dfrotz = QStringLiteral("/usr/games/dfrotz");
  ASSERT_TRUE(QFileInfo(inform6).isExecutable() && QFileInfo(dfrotz).isExecutable()) << "scripts/setup installs both";
  QTemporaryDir dir;
  const QString source = dir.filePath(QStringLiteral("my games/lantern.inf"));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("my games")));
  ASSERT_TRUE(QFile::copy(TORVANE_TEST_DATA "/lantern.inf", source));
  CCaptureSink sink; // a fresh user's store: inform6 and its library are found on the system
  const CompileRun run = RunCompile(source, CProfileStore(dir.filePath(QStringLiteral("Torvane.ini"))), &sink,
                                    [&] { sink.m_text = "cleared:"; });
  EXPECT_TRUE(run.compilerSet && run.refusal.isEmpty() && run.childFinished && run.exitCode == 0);
  EXPECT_TRUE(sink.m_text.startsWith("cleared:Profile none (no project), target z5, Standard library 6.12.6\nInform 6") && sink.m_text.endsWith("\nCompilation Complete.") &&
              !sink.m_text.contains("Switch")) << sink.m_text.toStdString(); // no "-U" for 6.41
  QProcess play;
  play.start(dfrotz, {"-m", "-p", "-q", dir.filePath(QStringLiteral("my games/lantern.z5"))});
  play.write("quit\ny\n");
  play.closeWriteChannel();
  play.waitForFinished(60000); // a bound against a hang only
  EXPECT_TRUE(play.readAll().contains("Brass shavings litter a long bench under the single window."));
}
