// Start-up of the IDE on an example game, from the start of the process to the first paint
// of the document's view (offscreen platform): the benchmark's copy of the program
// (first_paint_exit.cpp) says "painted" on standard output at that moment and ends.
// The floor beside it: Vim starting and quitting without any file or setting.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "run_benchmarks.h"

namespace {

void StartTorvane(benchmark::State& state) {
  QTemporaryDir config; // a first start: no saved settings
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  for (auto _ : state) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(TORVANE_PROGRAM), {QStringLiteral(TORVANE_EXAMPLE_GAME)});
    QByteArray out;
    while (!out.contains("painted") && process.waitForReadyRead(10000))
      out += process.readAllStandardOutput();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    process.waitForFinished(10000);
    if (!out.contains("painted")) {
      state.SkipWithError("torvane did not paint its document view");
      break;
    }
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(StartTorvane)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->DisplayAggregatesOnly(true);

void StartVim(benchmark::State& state) {
  const QString vim = QStandardPaths::findExecutable(QStringLiteral("vim"));
  if (vim.isEmpty()) {
    state.SkipWithError("vim is not installed");
    return;
  }
  for (auto _ : state) {
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(vim, {QStringLiteral("-u"), QStringLiteral("NONE"), QStringLiteral("-N"),
                        QStringLiteral("-es"), QStringLiteral("+qa!")});
    process.waitForFinished(10000);
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
  }
}
BENCHMARK(StartVim)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
