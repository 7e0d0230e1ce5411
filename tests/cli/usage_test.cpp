// torvane-cli: the help lists every command; bad arguments and files that cannot be loaded
// end with status 2, a message on standard error and nothing on standard output.
#include <QTemporaryDir>
#include <sys/stat.h>

#include "cli_test_support.h"

namespace {

TEST(CliUsage, HelpListsEveryCommand) {
  const CliResult help = RunCli({QStringLiteral("--help")});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* line : {"\n  build FILE                   compile FILE with the configured compiler\n",
                           "\n  colour FILE                  print each line's cookie and colour indices\n",
                           "\n  scan FILE", "\n  settings "})
    EXPECT_TRUE(help.out.contains(line)) << line << help.out.toStdString();
}

TEST(CliUsage, BadArgumentsAndUnloadableFilesGiveStatusTwo) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("no such file.inf"));
  const QString sample = DataFile("colour_sample.inf");
  const QString pipe = dir.filePath(QStringLiteral("pipe.inf"));
  ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0644), 0);
  struct Row {
    QStringList arguments;
    QByteArray named;  // what standard error must hold
    QByteArray reason; // for a file that cannot be loaded: why, on the same one line
  };
  const Row rows[] = {
      {{"colour"}, "colour FILE", {}},
      {{"colour", sample, sample}, "colour FILE", {}},
      {{"colour", missing}, missing.toLocal8Bit(), "No such file or directory"},
      {{"colour", dir.path()}, dir.path().toLocal8Bit(), "is a directory"},
      {{"colour", pipe}, pipe.toLocal8Bit(), "is a named pipe, not a file"}, // not waited for
      {{"scan"}, "scan FILE", {}},
      {{"scan", missing, missing}, "scan FILE", {}},
      {{"scan", missing}, missing.toLocal8Bit(), "No such file or directory"},
      {{"build"}, "build FILE", {}},
      {{"settings"}, "settings get", {}},
      {{"settings", "get", "Editor\\Paths"}, "settings get", {}},
      {{"settings", "set", "Editor\\Paths", "Compiler"}, "settings get", {}},
      {{"settings", "frobnicate"}, "settings get", {}},
      {{"frobnicate"}, "unknown command 'frobnicate'", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(' ').toStdString());
    const CliResult r = RunCli(row.arguments, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(row.named)) << r.err.toStdString();
    if (!row.reason.isEmpty()) {
      EXPECT_TRUE(r.err.contains(row.reason)) << r.err.toStdString();
      EXPECT_EQ(r.err.count('\n'), 1) << "one line of message";
    }
  }
}

} // namespace
