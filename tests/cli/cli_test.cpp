// torvane-cli as a child process: colour, scan, build and settings, usage errors.
#include <csignal>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "../toolchain/toolchain_test_support.h"
#include "profile_store.h"
#include "settings_keys.h"
#include "walkthrough_folder.h"

namespace {

struct CliResult {
  int exitCode = -1;
  QByteArray out, err;
};

// Runs in m_work, its store below m_config (XDG_CONFIG_HOME), PATH the work folder unless given.
class Cli : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(QFile::copy(TORVANE_TEST_DATA "/lantern.inf", m_work.filePath("lantern.inf"))); }
  void Start(QProcess& process, const QStringList& arguments, const QString& path = {}, const QString& stdoutFile = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    env.insert(QStringLiteral("PATH"), path.isEmpty() ? m_work.path() : path);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_work.path());
    if (!stdoutFile.isEmpty()) process.setStandardOutputFile(stdoutFile);
    process.start(m_program, arguments);
  }
  CliResult Run(const QStringList& arguments, const QString& path = {}, const QString& stdoutFile = {}) {
    QProcess process;
    Start(process, arguments, path, stdoutFile);
    EXPECT_TRUE(process.waitForFinished(120000)); // a bound against a hang only
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }
  QByteArray Get(const QString& section, const QString& value) {
    const CliResult r = Run({"settings", "get", section, value});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
  }
  int Set(const QStringList& arguments) { return Run(QStringList{"settings", "set"} + arguments).exitCode; }
  QString IniPath() const { return m_config.filePath("Quenmark Applications/Torvane.ini"); }
  QTemporaryDir m_config, m_work;
  QString m_program = QStringLiteral(TORVANE_CLI);
};

const QString SAMPLE = QStringLiteral(TORVANE_TEST_DATA "/colour_sample.inf");

TEST_F(Cli, ColourPrintsIndexCookieAndOneDigitPerCharacterOfEveryLine) {
  // A long file with CR LF line ends, about 4 MB of output: a block lost or written twice puts
  // lines out of step.
  const QByteArray pair = "Object o1 \"An object\" with name 'o', has light; ! note\r\n[ R x; @push x; print \"^~\"; ];\r\n";
  ASSERT_TRUE(WriteFile(m_work.filePath("long.inf"), pair.repeated(30000)));
  const CliResult r = Run({"colour", "long.inf"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.isEmpty());
  QByteArray expected;
  for (int i = 0; i < 60000; ++i)
    expected += QByteArray::number(i) + "\t020000ff\t" +
                (i % 2 ? "8989f99eeeee9f999999997dd7998b\n" : "bbbbbbaaaa77777777777abbbbacccca777babbbacccccba666666\n");
  EXPECT_TRUE(r.out == expected + "60000\t020000ff\t\n"); // not EXPECT_EQ: it would print megabytes
}

TEST_F(Cli, ScanListsRecordsByNameWithAwkwardBytesEscaped) {
  const std::pair<QByteArray, std::string> rows[] = {
      {"Room kitchen \"Kitchen\"\n  with description \"A kitchen.\";\nObject -> table \"table\";\n"
       "Object -> -> Cup \"cup\";\n[ Main; ];\n[;\nClass  Coin;\n",
       "object\tCup\ttable\t\t2\tObject -> -> Cup \"cup\";\n"
       "object\tkitchen\t\tRoom\t0\tRoom kitchen \"Kitchen\"\n"
       "object\ttable\tkitchen\t\t1\tObject -> table \"table\";\n"
       "class\tCoin\tClass  Coin;\n"
       "function\tMain\t[ Main; ];\n"
       "function\tUntitled\t[;\n"
       "depth\t2\n"},
      // Tabs, backslashes and bytes outside printable ASCII are escaped: one record, one line.
      {QByteArray("Object\tna\\me \"x\";\nObject caf\xe9 \"x\";\nObject c\x01\x7f \"x\";\n[ r\x1b;\n", 57),
       "object\tc\\x01\\x7f\t\t\t0\tObject c\\x01\\x7f \"x\";\n"
       "object\tcaf\\xe9\t\t\t0\tObject caf\\xe9 \"x\";\n"
       "object\tna\\\\me\t\t\t0\tObject\\tna\\\\me \"x\";\n"
       "function\tr\\x1b\t[ r\\x1b;\n"
       "depth\t0\n"},
      {QByteArray(), "depth\t0\n"},
  };
  for (const auto& [source, listing] : rows) {
    ASSERT_TRUE(WriteFile(m_work.filePath("source.inf"), source));
    const CliResult r = Run({"scan", "source.inf"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), listing);
    EXPECT_TRUE(r.err.isEmpty());
  }
}

TEST_F(Cli, BuildRefusesWhatItCannotCompileAndPassesOnTheCompilersVerdict) {
  CliResult r = Run({"build", "lantern.inf"}); // a fresh user without inform6 on the PATH
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "You have not set your compiler path.  See View->Options\n");
  CProfileStore store(IniPath()); // the file the program's own store opens
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, m_work.filePath("no-such-inform")));
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  r = Run({"build", "lantern.inf"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.startsWith("Profile none (no project), target z8, Standard library 6.12.6\nError creating process\r\n"))
      << r.out.toStdString();
  ASSERT_TRUE(WriteFile(m_work.filePath("story.z8"), "[ Main; ];\n"));
  r = Run({"build", "story.z8"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("would overwrite the source") && r.out.isEmpty()) << r.err.toStdString();
  EXPECT_EQ(ReadFile(m_work.filePath("story.z8")), "[ Main; ];\n");
  ASSERT_EQ(::link(QFile::encodeName(m_work.filePath("story.z8")).constData(),
                   QFile::encodeName(m_work.filePath("story.z5")).constData()), 0); // the same file
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 1));
  EXPECT_EQ(Run({"build", "story.z8"}).exitCode, 2);
  EXPECT_EQ(ReadFile(m_work.filePath("story.z8")), "[ Main; ];\n");
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  ASSERT_TRUE(WriteScript(m_work.filePath("fails.sh"), "echo failed; exit 3"));
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, m_work.filePath("fails.sh")));
  r = Run({"build", "lantern.inf"}, "/usr/bin:/bin");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "Profile none (no project), target z8, Standard library 6.12.6\nfailed\n\nCompilation Complete.\n");
}

// The public games built through project files by a fresh user; the story's first bytes say
// what the compiler made of the target.
TEST_F(Cli, ProjectsBuildTheRealGamesAndSayHowTheyAreBuilt) {
  const QString realworld = QStringLiteral(TORVANE_REALWORLD);
  struct Row { const char* game; const char* project; const char* story; QByteArray magic; };
  const Row rows[] = {
      {"balances.inf", "Target=z5\n", "balances.z5", QByteArray("\x05", 1)},
      {"library_of_horror-36.inf", "Target=z3\nLibrary=punylib\n", "library_of_horror-36.z3", QByteArray("\x03", 1)},
      {"glulxercise.inf", "Target=ulx\nProfile=Release\n", "glulxercise.ulx", QByteArray("Glul")},
  };
  ASSERT_TRUE(QFile::link(realworld + "/punylib-36", m_work.filePath("punylib")));
  for (const Row& row : rows) {
    ASSERT_TRUE(QFile::copy(realworld + "/" + row.game, m_work.filePath(row.game)));
    ASSERT_TRUE(WriteFile(m_work.filePath("game.i6proj"), QByteArray("[Project]\nMain=") + row.game + "\n" + row.project));
    const CliResult r = Run({"build", "game.i6proj"}, "/usr/bin:/bin");
    EXPECT_EQ(r.exitCode, 0) << row.game << r.out.toStdString();
    EXPECT_EQ(ReadFile(m_work.filePath(row.story)).left(row.magic.size()), row.magic) << row.game;
  }
  CliResult r = Run({"project", "game.i6proj"}, "/usr/bin:/bin");
  const QString w = m_work.path();
  EXPECT_EQ(r.out.toStdString(), ("command: /usr/bin/inform6 -G -~S -~D +include_path=" + w + ",/usr/share/inform6/library " +
            w + "/glulxercise.inf " + w + "/glulxercise.ulx\ntarget: ulx\nstory: " + w + "/glulxercise.ulx\nlibrary: no library\n"
            "library version: \ninclude path: " + w + ",/usr/share/inform6/library\nprofile: Release\n").toStdString());
  r = Run({"project", "library_of_horror-36.inf"}, "/usr/bin:/bin");
  EXPECT_TRUE(r.out.contains("\ntarget: z5\n") && r.out.contains("\nproblem: " + w.toUtf8() + "/library_of_horror-36.inf, line 61: "
              "cannot find the file of Include \"globals.h\" (globals.h) in the include path " + w.toUtf8() + ",/usr/share/inform6/library\n"))
      << r.out.toStdString();
  ASSERT_TRUE(WriteFile(m_work.filePath("bad.i6proj"), "[Project]\nMain=x.inf\nTarget=z2\n"));
  r = Run({"build", "bad.i6proj"}, "/usr/bin:/bin");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.toStdString(), "torvane-cli build: " + w.toStdString() + "/bad.i6proj, line 3: unknown target 'z2' (z3, z4, z5, z6, z7, z8 or ulx)\n");
}

TEST_F(Cli, SignalsAndTheTimeoutEndTheCompilerAndWhatItStarted) {
  const QString compiler = m_work.filePath("compiler.sh");
  ASSERT_TRUE(WriteScript(compiler, "[ \"$1\" = -h2 ] && exit; sh -c 'echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"; exec sleep 600' "
                                    "\"$0.helper\" & echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"; "
                                    "while [ ! -e \"$0.helper\" ]; do sleep 0.02; done; echo started; exec sleep 600"));
  CProfileStore store(IniPath());
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, compiler));
  for (const auto& [signal, status] : {std::pair{SIGTERM, 143}, {SIGHUP, 129}, {SIGINT, 130}, {SIGQUIT, 131}, {0, 124}}) {
    SCOPED_TRACE(signal);
    for (const char* end : {".pid", ".helper"}) QFile::remove(compiler + end);
    QProcess cli;
    Start(cli, signal ? QStringList{"build", "lantern.inf"} : QStringList{"build", "--timeout", "3", "lantern.inf"},
          "/usr/bin:/bin"); // the script needs sh, mv and sleep
    QByteArray out;
    while (!out.contains("started\n") && cli.waitForReadyRead(30000)) out += cli.readAllStandardOutput();
    ASSERT_TRUE(out.contains("started\n"));
    if (signal) ::kill(static_cast<pid_t>(cli.processId()), signal);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), status);
    EXPECT_EQ(out + cli.readAllStandardOutput(),
              "Profile none (no project), target z5, Standard library 6.12.6\nstarted\n\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n\nCompilation Complete.\n");
    EXPECT_EQ(cli.readAllStandardError(),
              signal ? "" : "torvane-cli build: the compiler was stopped after 3 seconds\n");
    for (const char* end : {".pid", ".helper"})
      EXPECT_TRUE(ProcessGone(ReadFile(compiler + end).trimmed().toInt())) << end;
  }
}

TEST_F(Cli, SettingsOfAFreshUserReadEveryDefaultAndReadingCreatesNoFile) {
  // No inform6 on this PATH; the library folder and Debian's interpreter are found where they are.
  const std::string library = QFileInfo(QStringLiteral("/usr/share/inform6/library")).isDir()
                                  ? "/usr/share/inform6/library" : "";
  const std::string interpreter = QFileInfo(QStringLiteral("/usr/games/zcode-interpreter")).isExecutable()
                                      ? "/usr/games/zcode-interpreter" : "";
  const std::string glulx = QFileInfo(QStringLiteral("/usr/games/gargoyle-free")).isExecutable()
                                ? "/usr/games/gargoyle-free" : "";
  std::string expected = "Editor\\Paths\tCompiler\t\nEditor\\Paths\tInterpreter\t" + interpreter +
                         "\nEditor\\Paths\tLibrary\t" + library + "\nEditor\\Paths\tGlulxInterpreter\t" + glulx + "\n"
                         "Editor\\Options\tStandardOptions\t3\nEditor\\Options\tUserDefOptions\t\n"
                         "Editor\\Options\tz5\t1\nEditor\\Options\tOutputLimitKB\t16384\n";
  for (auto [style, colour] : {std::pair{"Comment", "8421504"}, {"QuotedText", "255"}, {"Function", "16711680"},
                               {"Code", "8388608"}, {"Foreground", "8388608"}, {"Directive", "0"},
                               {"Property", "16711680"}, {"Escape", "8388736"}, {"Assembly", "32896"},
                               {"CodeAlpha", "32768"}})
    expected += std::string("Editor\\Styles\t") + style + "Colour\t" + colour + "\nEditor\\Styles\t" + style +
                "Bold\t0\nEditor\\Styles\t" + style + "Italic\t0\n";
  for (const char* section : {"Find", "Replace"})
    expected += std::string("Editor\\") + section + "\tMatchCase\t0\nEditor\\" + section + "\tWholeWord\t0\nEditor\\" +
                section + "\tFindWhat\t\n";
  expected += "Editor\\Replace\tReplaceWith\t\nEditor\\PageSetup\tLeftMargin\t1000\n"
              "Editor\\PageSetup\tRightMargin\t1000\nEditor\\PageSetup\tTopMargin\t1000\n"
              "Editor\\PageSetup\tBottomMargin\t1000\n";
  const CliResult list = Run({"settings", "list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out.toStdString(), expected);
  EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

TEST_F(Cli, ValuesSetFromTheTerminalReachTheProgramAndBadOnesAreRefused) {
  const QString compiler = QStringLiteral("/opt/Inform Tools/inform6");
  ASSERT_EQ(Set({"Editor\\Paths", "Compiler", compiler}), 0);
  ASSERT_EQ(Set({"Editor/Paths", "Library", "/usr/share/inform6/library,/home/me/lib"}), 0);
  CProfileStore store(IniPath()); // read as the IDE reads it
  EXPECT_EQ(ReadSetting(store, SETTING_COMPILER_PATH), compiler);
  EXPECT_EQ(ReadSetting(store, SETTING_LIBRARY_PATH), "/usr/share/inform6/library,/home/me/lib");
  for (auto [given, read] : {std::pair{"0", "0\n"}, {"0xFFFFFFFF", "4294967295\n"}, {" 0x10 ", "16\n"}, {"-2", "4294967294\n"}}) {
    ASSERT_EQ(Set({"Editor\\Options", "z5", given}), 0) << given;
    EXPECT_EQ(Get("Editor\\Options", "z5"), read);
  }
  // Not a number or too big, a misspelt name, a type that is not the known one: refused, with
  // a message, and nothing stored.
  for (const QStringList& bad : {QStringList{"Editor\\Options", "z5", "three"}, {"Editor\\Options", "z5", "4294967296"},
                                 {"Editor\\Options", "z5", ""}, {"Editor\\Options", "z5", "12abc"},
                                 {"Editor\\Paths", "Complier", "/bin/x"}, {"--int", "Editor\\Paths", "Compiler", "5"},
                                 {"--text", "Editor\\Options", "z5", "five"}}) {
    const CliResult r = Run(QStringList{"settings", "set"} + bad);
    EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(!bad.contains("Complier") || r.err.contains("Complier")) << r.err.toStdString();
  }
  EXPECT_EQ(Get("Editor\\Options", "z5"), "4294967294\n");
  EXPECT_EQ(Get("Editor\\Paths", "Compiler"), compiler.toUtf8() + "\n");
  EXPECT_EQ(Run({"settings", "get", "Editor\\Paths", "Complier"}).exitCode, 1);
  ASSERT_EQ(Set({"--text", "Editor\\Paths", "Extra", "x y"}), 0);
  EXPECT_EQ(Get("Editor\\Paths", "Extra"), "x y\n");
  ASSERT_EQ(Set({"--int", "Mine", "Count", "0x10"}), 0);
  EXPECT_EQ(Get("Mine", "Count"), "16\n");
  ASSERT_TRUE(QFile::remove(IniPath()) && QDir().mkdir(IniPath())); // a folder: no store can be written
  const CliResult r = Run({"settings", "set", "Editor\\Paths", "Compiler", "/bin/inform6"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("is a directory")) << r.err.toStdString();
}

TEST_F(Cli, ASettingsFileThatIsNoFileIsLeftAloneAndBytesTheStoreDidNotWriteAreKept) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(IniPath()).path()));
  ASSERT_EQ(mkfifo(QFile::encodeName(IniPath()), 0644), 0);
  const CliResult list = Run({"settings", "list"}); // not waited for
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_TRUE(list.out.startsWith("Editor\\Paths\tCompiler\t\nEditor\\Paths\tInterpreter\t"));
  const CliResult set = Run({"settings", "set", "Editor\\Options", "z5", "0"});
  EXPECT_EQ(set.exitCode, 1);
  for (const QByteArray& err : {list.err, set.err}) EXPECT_TRUE(err.contains("is a named pipe, not a file")) << err.toStdString();
  EXPECT_TRUE(QFileInfo(IniPath()).exists() && !QFileInfo(IniPath()).isFile());
  ASSERT_TRUE(QFile::remove(IniPath()) && WriteFile(IniPath(), "junk\n[Editor]\nPaths\\Compiler=/opt/caf\xE9/inform6\n"));
  EXPECT_EQ(Set({"Editor\\Options", "z5", "0"}), 0);
  EXPECT_EQ(ReadFile(IniPath()), "junk\n[Editor]\nPaths\\Compiler=/opt/caf\xE9/inform6\nOptions\\z5=0\n");
  EXPECT_EQ(Get("Editor\\Paths", "Compiler"), "/opt/caf\xE9/inform6\n");
  // A source named in Latin-1 is found by its bytes (sh passes them; QProcess would not).
  ASSERT_TRUE(QFile::copy(SAMPLE, m_work.filePath("caf.inf")) &&
              ::rename(QFile::encodeName(m_work.filePath("caf.inf")), QFile::encodeName(m_work.path()) + "/caf\xE9.inf") == 0);
  m_program = "/bin/sh";
  const CliResult build = Run({"-c", "exec \"$0\" build \"$(printf 'caf\\351.inf')\"", TORVANE_CLI}, "/usr/bin:/bin");
  EXPECT_EQ(build.exitCode, 2);
  EXPECT_TRUE(build.err.contains("this name is not valid UTF-8")) << build.err.toStdString();
  EXPECT_EQ(::remove(QFile::encodeName(m_work.path()) + "/caf\xE9.inf"), 0); // beyond QTemporaryDir's clean-up
}

TEST_F(Cli, HelpListsEveryCommandBadArgumentsGiveStatusTwoAndOutputThatCannotBeWrittenOne) {
  const CliResult help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* line : {"\n  build [--timeout SECONDS] FILE  compile FILE (.i6proj or main file) as the editor does\n",
                           "\n  project FILE                 how FILE (.i6proj or main file) is built, one fact a line\n",
                           "\n  colour FILE                  print each line's cookie and colour indices\n",
                           "\n  scan FILE", "\n  settings "})
    EXPECT_TRUE(help.out.contains(line)) << line << help.out.toStdString();
  const QByteArray missing = m_work.filePath("no such file.inf").toLocal8Bit();
  const QByteArray pipe = m_work.filePath("pipe.inf").toLocal8Bit();
  const QByteArray folder = m_work.path().toLocal8Bit();
  ASSERT_EQ(mkfifo(pipe.constData(), 0644), 0);
  // Arguments; what standard error must name; for a file that cannot be loaded, why, on the
  // same one line. Nothing goes to standard output.
  const struct { QStringList arguments; QByteArray named, reason; } rows[] = {
      {{"colour"}, "colour FILE", {}},
      {{"colour", SAMPLE, SAMPLE}, "colour FILE", {}},
      {{"colour", missing}, missing, "No such file or directory"},
      {{"colour", folder}, folder, "is a directory"},
      {{"colour", pipe}, pipe, "is a named pipe, not a file"}, // not waited for
      {{"scan"}, "scan FILE", {}},
      {{"scan", missing, missing}, "scan FILE", {}},
      {{"scan", missing}, missing, "No such file or directory"},
      {{"build"}, "build [--timeout SECONDS] FILE", {}},
      {{"build", missing}, missing, {}},
      {{"build", "--timeout", "soon", SAMPLE}, "'soon' is not a number of seconds", {}},
      {{"build", "--timeout", "0", SAMPLE}, "'0' is not a number of seconds", {}},
      {{"settings"}, "settings get", {}},
      {{"settings", "get", "Editor\\Paths"}, "settings get", {}},
      {{"settings", "set", "Editor\\Paths", "Compiler"}, "settings get", {}},
      {{"settings", "frobnicate"}, "settings get", {}},
      {{"frobnicate"}, "unknown command 'frobnicate'", {}},
      {{"index"}, "index [-I DIR]... FILE", {}},
      {{"index", missing}, missing, {}},
      {{"goto", SAMPLE}, "goto [-I DIR]... FILE:LINE:COL", {}},
      {{"refs", SAMPLE + ":0:1"}, "refs [-I DIR]... FILE:LINE:COL", {}},
      {{"goto", "-I", SAMPLE + ":1:x"}, "goto [-I DIR]... FILE:LINE:COL", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.join(' ').toStdString());
    const CliResult r = Run(row.arguments);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(row.named)) << r.err.toStdString();
    EXPECT_TRUE(row.reason.isEmpty() || (r.err.contains(row.reason) && r.err.count('\n') == 1)) << r.err.toStdString();
  }
  CProfileStore store(IniPath());
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/bin/true")));
  for (const QStringList& arguments : {QStringList{"build", "lantern.inf"}, QStringList{"settings", "list"}, QStringList{"--help"},
                                       QStringList{"settings", "get", "Editor\\Options", "z5"}}) {
    const CliResult r = Run(arguments, "/usr/bin:/bin", "/dev/full");
    EXPECT_EQ(r.exitCode, 1) << arguments.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("cannot write the output: No space left on device")) << r.err.toStdString();
  }
}

} // namespace

namespace {

const QString REALWORLD = QDir::cleanPath(QStringLiteral(TORVANE_REALWORLD));

// "name file:line" for each definition gameinfo.dbg places in a source, the file by its
// base name in lower case (the compiler gives "Parser", the index the path it found).
std::set<std::string> CompilerDefinitions(const QString& dbgPath) {
  QFile file(dbgPath);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const QString dbg = QString::fromUtf8(file.readAll());
  std::map<QString, QString> sources;
  static const QRegularExpression source("<source index=\"(\\d+)\"><given-path>([^<]*)</given-path>");
  for (auto it = source.globalMatch(dbg); it.hasNext();) {
    const auto m = it.next();
    sources[m.captured(1)] = QFileInfo(m.captured(2)).completeBaseName().toLower();
  }
  static const QRegularExpression definition(
      "<(object|class|routine|global-variable|constant|attribute|property|array|fake-action)><identifier>(?:##)?([^<]*)</identifier>"
      "(?:(?!</\\1>).)*?<source-code-location><file-index>(\\d+)</file-index><file-position>\\d+</file-position><line>(\\d+)</line>");
  std::set<std::string> found;
  for (auto it = definition.globalMatch(dbg); it.hasNext();) {
    const auto m = it.next();
    found.insert((m.captured(2).toLower() + " " + sources[m.captured(3)] + ":" + m.captured(4)).toStdString());
  }
  return found;
}

} // namespace

// Every name the compiler places in the source is in the index at the same file and line.
TEST_F(Cli, IndexListsEveryDefinitionTheCompilersDebugFilePlaces) {
  const struct { QString game; QStringList compiler, index; std::size_t atLeast; } games[] = {
      {"balances.inf", {"+include_path=/usr/share/inform6/library"}, {}, 1000},
      {"library_of_horror-36.inf", {"+include_path=" + REALWORLD + "/punylib-36"}, {"-I", REALWORLD + "/punylib-36"}, 600},
      {"glulxercise.inf", {"-G"}, {}, 330},
  };
  for (const auto& g : games) {
    SCOPED_TRACE(g.game.toStdString());
    QProcess compiler;
    compiler.setWorkingDirectory(m_work.path());
    compiler.start("/usr/bin/inform6", QStringList{"-k"} + g.compiler + QStringList{REALWORLD + "/" + g.game, m_work.filePath("story")});
    ASSERT_TRUE(compiler.waitForFinished(120000));
    const std::set<std::string> expected = CompilerDefinitions(m_work.filePath("gameinfo.dbg"));
    EXPECT_GE(expected.size(), g.atLeast);
    const CliResult r = Run(QStringList{"index"} + g.index + QStringList{REALWORLD + "/" + g.game});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    std::set<std::string> indexed;
    for (const QByteArray& line : r.out.split('\n')) {
      const QList<QByteArray> f = line.split('\t');
      if (f.size() == 5)
        indexed.insert((QString::fromLatin1(f[1]).toLower() + " " + QFileInfo(QString::fromLatin1(f[2])).completeBaseName().toLower() + ":" + f[3]).toStdString());
    }
    for (const std::string& definition : expected)
      EXPECT_TRUE(indexed.count(definition) || definition.starts_with("nameless_obj__")) << definition;
  }
}

TEST_F(Cli, GotoAndRefsPrintPlacesOrExitOneWhenNothingIsThere) {
  const QString game = REALWORLD + "/balances.inf";
  const CliResult property = Run({"goto", game + ":492:9"}); // noun.description()
  EXPECT_EQ(property.exitCode, 0);
  EXPECT_TRUE(property.out.startsWith("/usr/share/inform6/library/linklpa.h:109:10\n" + game.toUtf8() + ":49:8\n"))
      << property.out.toStdString();
  const CliResult uses = Run({"refs", game + ":492:9"});
  EXPECT_EQ(uses.exitCode, 0);
  EXPECT_TRUE(uses.out.contains(game.toUtf8() + ":492:8\n")) << uses.out.toStdString();
  EXPECT_TRUE(uses.out.contains("/usr/share/inform6/library/linklpa.h:109:10\n"));
  EXPECT_EQ(Run({"goto", game + ":31:1"}).out, "/usr/share/inform6/library/VerbLib.h:1:1\n"); // Include "VerbLib"
  for (const char* command : {"goto", "refs"}) EXPECT_EQ(Run({command, game + ":2:1"}).exitCode, 1); // a comment
}

namespace {

TEST_F(Cli, TestReplaysWalkthroughsReportsDifferencesAndBlessesOnlyWhenAsked) {
  CProfileStore store(IniPath());
  ASSERT_TRUE(WriteSetting(store, SETTING_COMPILER_PATH, "/usr/bin/inform6") &&
              WriteSetting(store, SETTING_LIBRARY_PATH, "/usr/share/inform6/library"));
  const QByteArray balances = ReadFile(QStringLiteral(TORVANE_REALWORLD "/balances.inf"));
  ASSERT_TRUE(WriteFile(m_work.filePath("balances.inf"), balances) && QDir(m_work.path()).mkdir("walkthroughs") &&
              WriteFile(m_work.filePath("walkthroughs/a.cmd"), "look\nquit\ny\n") &&
              WriteFile(m_work.filePath("walkthroughs/b.cmd"), "# no commands\n"));
  CliResult r = Run({"test", "balances.inf"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.startsWith("failed  a: There is no a.expected yet: Bless accepts this transcript.\n"
                               "--- a.expected\n+++ a (played)\n@@ -0,0 +1,")) << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith("\n0 passed, 2 failed\n")) << r.out.toStdString();
  EXPECT_FALSE(QFile::exists(m_work.filePath("walkthroughs/a.expected")));
  r = Run({"test", "--bless", "balances.inf"});
  EXPECT_EQ(r.out, "blessed a\nblessed b\n2 passed, 0 failed\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(Run({"test", "balances.inf"}).out, "passed  a\npassed  b\n2 passed, 0 failed\n");
  EXPECT_EQ(ReadWalkthroughResults(m_work.filePath("walkthroughs")).size(), 2u); // kept for the IDE
  // A project: its target's story, built for the test; its walkthroughs beside the project file.
  ASSERT_TRUE(WriteFile(m_work.filePath("p.i6proj"), "[Project]\nMain=balances.inf\nTarget=z8\n"));
  EXPECT_EQ(Run({"test", "p.i6proj"}).out, "passed  a\npassed  b\n2 passed, 0 failed\n");
  EXPECT_TRUE(QFile::exists(m_work.filePath("balances.z8")));
  const auto edit = [this](const QByteArray& text, int later) { // newer than the story built before
    return WriteFile(m_work.filePath("balances.inf"), text) &&
           SetWriteTime(m_work.filePath("balances.inf"), QDateTime::currentSecsSinceEpoch() + later);
  };
  ASSERT_TRUE(edit(QByteArray(balances).replace("glassless", "empty"), 5));
  r = Run({"test", "balances.inf"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.contains("\n-matchwood and the windows are glassless. Outside, it is a warm, sunny day, and\n"
                             "+matchwood and the windows are empty. Outside, it is a warm, sunny day, and\n"))
      << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith("\n0 passed, 2 failed\n"));
  ASSERT_TRUE(edit("[ Main; print \"x\" ]\n", 10));
  r = Run({"test", "balances.inf"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.startsWith("torvane-cli test: the build failed:\n")) << r.err.toStdString();
  EXPECT_EQ(Run({"test", "nothing.inf"}).err, "torvane-cli test: cannot read 'nothing.inf': no such file\n");
  ASSERT_TRUE(WriteFile(m_work.filePath("g.inf"), "! Glulx\n") && WriteFile(m_work.filePath("g.ulx"), "Glul"));
  // Without emglken (TORVANE_EMGLKEN names an empty place) no line-mode Glulx interpreter is left.
  qputenv("TORVANE_EMGLKEN", QFile::encodeName(m_work.filePath("none")));
  r = Run({"test", "g.inf"}); // shares balances.inf's walkthroughs folder
  qunsetenv("TORVANE_EMGLKEN");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.startsWith("torvane-cli test: Glulx stories are not played here")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("emglken is not installed in " + m_work.filePath("none").toUtf8())) << r.err.toStdString();
}

} // namespace
