// Walkthroughs: a 300-command replay of Balances through emglken (the default) and dfrotz with
// its comparison, against dfrotz fed the same commands by a bare QProcess (the baseline); the
// line difference of two 10,000-line transcripts, a few lines apart and wholly different; the
// Story bar's delay.
#include <random>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "line_diff.h"
#include "run_benchmarks.h"
#include "story_bar.h"
#include "transcript_normaliser.h"
#include "walkthrough_check.h"
#include "walkthrough_folder.h"

namespace {

const char* const COMMANDS[] = {"look", "inventory", "x me", "out", "in", "read book", "wait", "i", "score", "x coin"};

// Balances built once, with one 300-command walkthrough and its accepted transcript.
struct CGame {
  CGame() {
    story = dir.filePath("balances.z5");
    QProcess inform;
    inform.start(QStringLiteral("inform6"), {QStringLiteral("+include_path=/usr/share/inform6/library"),
                                             QStringLiteral(TORVANE_REALWORLD "/balances.inf"), story});
    inform.waitForFinished(-1);
    for (int i = 0; i < 300; ++i) commands.commands.emplace_back(COMMANDS[i % 10]);
    dfrotz.interpreter = QStringLiteral("/usr/games/dfrotz");
    // Each engine's transcript is its own: one folder each.
    for (const PlayOptions& options : {PlayOptions(), dfrotz}) {
      const QString folder = dir.filePath(options.interpreter.isEmpty() ? "emglken" : "dfrotz");
      QString error;
      SaveWalkthrough(folder, "long", commands, "", false, error);
      const auto outcomes = CheckWalkthroughsNow(folder, story, options);
      WriteExpectedTranscript(folder, "long", outcomes.front().actual.Text(), error);
    }
  }
  QTemporaryDir dir;
  QString story;
  PlayOptions dfrotz;
  WalkthroughCommands commands;
};

CGame& Game() {
  static CGame game;
  return game;
}

// Argument 0: emglken, 1: dfrotz.
void BM_Replay300CommandsAndCompare(benchmark::State& state) {
  CGame& game = Game();
  const bool dfrotz = state.range(0) == 1;
  const QString folder = game.dir.filePath(dfrotz ? "dfrotz" : "emglken");
  for (auto _ : state) {
    const auto outcomes = CheckWalkthroughsNow(folder, game.story, dfrotz ? game.dfrotz : PlayOptions());
    if (outcomes.size() != 1 || outcomes[0].state != WalkthroughOutcome::Passed) state.SkipWithError("not passed");
  }
}

void BM_BareDfrotz300Commands(benchmark::State& state) {
  CGame& game = Game();
  QByteArray input;
  for (const std::string& command : game.commands.commands) input += QByteArray::fromStdString(command) + '\n';
  for (auto _ : state) {
    QProcess process;
    process.start(QStringLiteral("/usr/games/dfrotz"), InterpreterArguments(game.story, game.dfrotz));
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    benchmark::DoNotOptimize(process.readAll());
  }
}

// 10,000 lines of transcript-like text; changed: every so many lines another one.
std::vector<std::string> Transcript10k(int every, int seed) {
  std::mt19937 random(static_cast<unsigned>(seed));
  std::vector<std::string> lines;
  for (int i = 0; i < 10000; ++i) {
    std::string line = "Line " + std::to_string(i % 700) + ": the grasslands extend to the low hills";
    if (every > 0 && random() % static_cast<unsigned>(every) == 0) line += " (changed)";
    lines.push_back(line);
  }
  return lines;
}

void BM_Diff10kLines(benchmark::State& state) {
  const auto a = Transcript10k(0, 1);
  const auto b = Transcript10k(static_cast<int>(state.range(0)), 2);
  const CTranscriptNormaliser normaliser;
  for (auto _ : state) benchmark::DoNotOptimize(DiffLines(normaliser.Lines(a), normaliser.Lines(b)));
}

void BM_Diff10kWhollyDifferentLines(benchmark::State& state) {
  std::vector<std::string> a, b;
  for (int i = 0; i < 10000; ++i) a.push_back("a" + std::to_string(i)), b.push_back("b" + std::to_string(i));
  for (auto _ : state) benchmark::DoNotOptimize(DiffLines(a, b));
}

// The Story bar: from a command sent to its output shown in the text. This holds the
// interpreter's own time for the command, so it bounds the pane's delay from above.
void BM_StoryBarCommandToShownOutput(benchmark::State& state) {
  CGame& game = Game();
  CStoryBar bar;
  bar.Play(game.story, {});
  auto shownEnds = [&bar](const char* tail) { return bar.TextControl()->toPlainText().endsWith(QLatin1String(tail)); };
  while (!shownEnds("horizon.\n\n>")) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  for (auto _ : state) {
    bar.CommandLine()->setText(QStringLiteral("inventory"));
    emit bar.CommandLine()->returnPressed();
    while (!shownEnds("burin\n\n>")) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    state.PauseTiming();
    bar.TextControl()->clear(); // the next wait sees only the next output
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Replay300CommandsAndCompare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareDfrotz300Commands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Diff10kLines)->Arg(1000)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diff10kWhollyDifferentLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoryBarCommandToShownOutput)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
