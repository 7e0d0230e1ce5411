// torvane-cli: the help lists every command; bad arguments and files that cannot be loaded
// end with status 2, a message on standard error and nothing on standard output.
#include <QTemporaryDir>

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
  const std::pair<QStringList, QByteArray> rows[] = {
      // {arguments, what standard error must name}
      {{"colour"}, "colour FILE"},
      {{"colour", sample, sample}, "colour FILE"},
      {{"colour", missing}, missing.toLocal8Bit()},
      {{"colour", dir.path()}, dir.path().toLocal8Bit()},
      {{"scan"}, "scan FILE"},
      {{"scan", missing, missing}, "scan FILE"},
      {{"scan", missing}, missing.toLocal8Bit()},
      {{"build"}, "build FILE"},
      {{"settings"}, "settings get"},
      {{"settings", "get", "Editor\\Paths"}, "settings get"},
      {{"settings", "set", "Editor\\Paths", "Compiler"}, "settings get"},
      {{"settings", "frobnicate"}, "settings get"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
  };
  for (const auto& [arguments, named] : rows) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const CliResult r = RunCli(arguments, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
  }
}

} // namespace
