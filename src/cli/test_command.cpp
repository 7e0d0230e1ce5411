// torvane-cli test [--bless] FILE: builds FILE's story when it is missing or older than FILE,
// replays every walkthrough in walkthroughs/ beside FILE and prints one line for each, a
// unified diff for each failure and "N passed, N failed"; exits 1 when any failed, so an
// author's own CI can run it. --bless accepts the new transcript of every walkthrough that
// ran to its end. FILE may be a project (NAME.i6proj): its main file, target and story are
// used, and its walkthroughs are those beside the project file. Each result is kept for the
// IDE's Walkthroughs bar.
#include <cstdio>
#include <cstring>
#include <optional>

#include <QCoreApplication>
#include <QFileInfo>

#include "cli_command.h"
#include "cli_project.h"
#include "compile_command.h"
#include "file_name.h"
#include "output_sink.h"
#include "profile_store.h"
#include "run_command.h"
#include "walkthrough_check.h"
#include "walkthrough_folder.h"

namespace {

const char* const TEST_USAGE =
    "test [--bless] FILE             replay the walkthroughs of FILE's game and compare";

class CCaptureSink : public COutputSink {
public:
  void AppendText(const QByteArray& text) override { m_text += text; }
  QByteArray m_text;
};

int Usage() {
  std::fprintf(stderr, "usage: torvane-cli %s\n", TEST_USAGE);
  return 2;
}

// The story file of source, built first when it is missing or out of date; empty (with the
// reason printed) when there is none to test.
QString BuildIfNeeded(const QString& source, const ProjectFile* project) {
  const StoryCheck check = CheckStoryFile(source, QString(), project);
  if (!check.storyPath.isEmpty() && !check.outOfDate) return check.storyPath;
  const CProfileStore store;
  const QString glulx = GlulxStoryOf(source);
  if (check.storyPath.isEmpty() && !glulx.isEmpty()) {
    const QString reason = UnplayableReason(glulx, ReadPlayOptions(store));
    if (reason.isEmpty()) return glulx;
    std::fprintf(stderr, "torvane-cli test: %s\n", reason.toLocal8Bit().constData());
    return QString();
  }
  CCaptureSink sink;
  CompileRequest request;
  request.project = project;
  // No one to ask: the warning goes to standard error and the build goes on, as in build.
  request.confirm = [](const QString& warning) {
    std::fprintf(stderr, "torvane-cli test: warning: %s\n",
                 warning.left(warning.indexOf(QLatin1String("\n\n"))).toLocal8Bit().constData());
    return true;
  };
  const CompileRun run = RunCompile(source, store, &sink, {}, {}, request);
  const StoryCheck after = CheckStoryFile(source, QString(), project);
  QString reason;
  if (!run.refusal.isEmpty()) reason = run.refusal;
  else if (!run.compilerSet) reason = QLatin1String(TEXT_NO_COMPILER_PATH);
  else if (!run.childFinished || run.exitCode != 0 || after.storyPath.isEmpty())
    reason = QStringLiteral("the build failed:\n") + QString::fromLocal8Bit(sink.m_text);
  if (reason.isEmpty()) return after.storyPath;
  std::fprintf(stderr, "torvane-cli test: %s\n", reason.toLocal8Bit().constData());
  return QString();
}

void Report(const WalkthroughOutcome& outcome, bool bless, const QString& folder, int& passed, int& failed) {
  const QByteArray name = outcome.name.toLocal8Bit();
  QString unkept; // the results kept for the IDE are a convenience: a failure to write them is no test's
  KeepWalkthroughResult(folder, outcome.name, {outcome.state == WalkthroughOutcome::Passed, outcome.problem}, unkept);
  if (outcome.state == WalkthroughOutcome::Passed) {
    std::printf("passed  %s\n", name.constData());
    ++passed;
    return;
  }
  if (bless && outcome.ranToEnd) {
    QString error;
    if (WriteExpectedTranscript(folder, outcome.name, outcome.actual.Text(), error)) {
      KeepWalkthroughResult(folder, outcome.name, {true, QString()}, unkept);
      std::printf("blessed %s\n", name.constData());
      ++passed;
      return;
    }
    std::printf("failed  %s: %s\n", name.constData(), error.toLocal8Bit().constData());
    ++failed;
    return;
  }
  ++failed;
  if (outcome.problem.isEmpty()) std::printf("failed  %s\n", name.constData());
  else std::printf("failed  %s: %s\n", name.constData(), outcome.problem.toLocal8Bit().constData());
  if (outcome.hasExpected || outcome.ranToEnd) {
    const std::string diff = UnifiedDiff(outcome.expected, outcome.actual.lines, outcome.runs,
                                         name.toStdString() + ".expected", name.toStdString() + " (played)");
    std::fwrite(diff.data(), 1, diff.size(), stdout);
  }
}

int RunTestCommand(int argc, char** argv) {
  const bool bless = argc >= 2 && std::strcmp(argv[1], "--bless") == 0;
  const int fileArg = bless ? 2 : 1;
  if (argc != fileArg + 1) return Usage();
  int appArgc = 1;
  char* appArgv[] = {argv[0], nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) app.emplace(appArgc, appArgv);

  const QFileInfo info(FileNameFromBytes(QByteArray(argv[fileArg])));
  if (!info.isFile()) {
    std::fprintf(stderr, "torvane-cli test: cannot read '%s': %s\n", argv[fileArg],
                 info.exists() ? "not a regular file" : "no such file");
    return 2;
  }
  CliBuildTarget target;
  if (!LoadCliBuildTarget("test", argv[fileArg], target)) return 2;
  const QString source = target.source;
  const ProjectFile* project = target.project ? &*target.project : nullptr;
  const QString folder = WalkthroughFolderFor(source, project);
  const QStringList names = ListWalkthroughs(folder);
  if (names.isEmpty()) {
    std::printf("no walkthroughs in %s\n0 passed, 0 failed\n", folder.toLocal8Bit().constData());
    return 0;
  }
  const QString story = BuildIfNeeded(source, project);
  if (story.isEmpty()) return 2;
  const CProfileStore store;
  int passed = 0, failed = 0;
  for (const WalkthroughOutcome& outcome : CheckWalkthroughsNow(folder, story, ReadPlayOptions(store)))
    Report(outcome, bless, folder, passed, failed);
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed > 0 ? 1 : 0;
}

const CCliCommandRegistrar registerTest("test", TEST_USAGE, RunTestCommand);

} // namespace
