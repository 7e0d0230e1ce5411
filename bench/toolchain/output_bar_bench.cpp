// Compiler output through the whole IDE. 10 MiB: a shown main frame, an open document, its
// Compile command, a fake compiler printing 105,918 lines, every byte into the output bar.
// Reported: the wall time from the command to the bar holding everything, painted, and the
// longest stretch in which the event loop did not run (a 1 ms timer notes each run).
#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "command_ids.h"
#include "doc_manager.h"
#include "main_frame.h"
#include "output_bar.h"
#include "profile_store.h"
#include "resident_size.h"
#include "run_benchmarks.h"
#include "torvane_app.h"
#include "torvane_doc.h"

namespace {

constexpr qint64 OUTPUT_BYTES = 10 * 1024 * 1024;

// Writes a fake compiler (a shell script running body) and a one-line source into dir, and
// makes the settings name the script as the compiler. Returns the source's path, or an empty
// string (the error given to state) when a file cannot be written.
QString WriteFakeCompiler(const QTemporaryDir& dir, const QByteArray& body, benchmark::State& state) {
  CProfileStore::SetUserConfigDirectory(dir.filePath(QStringLiteral("config")));
  const QString script = dir.filePath(QStringLiteral("compiler.sh"));
  QFile file(script);
  if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body) < 0) {
    state.SkipWithError("cannot write the fake compiler");
    return {};
  }
  file.close();
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const QString source = dir.filePath(QStringLiteral("big.inf"));
  QFile sourceFile(source);
  if (!sourceFile.open(QIODevice::WriteOnly) || sourceFile.write("[ Main; ];\n") < 0) {
    state.SkipWithError("cannot write the source");
    return {};
  }
  sourceFile.close();
  CProfileStore().WriteProfileString(QStringLiteral("Editor\\Paths"), QStringLiteral("Compiler"), script);
  return source;
}

void CompileTenMegabytes(benchmark::State& state) {
  QTemporaryDir dir;
  // The fake compiler: 10 MiB of 'x' in lines of 99, as fast as the pipe takes them.
  const QString source = WriteFakeCompiler(
      dir, "head -c " + QByteArray::number(OUTPUT_BYTES) + " /dev/zero | tr '\\0' 'x' | fold -w 99\n", state);
  if (source.isEmpty()) return;

  CTorvaneApp app;
  if (!app.InitInstance({source})) {
    state.SkipWithError("the IDE did not start");
    return;
  }
  QApplication::processEvents();
  auto* document = static_cast<CTorvaneDoc*>(app.DocManager()->ActiveDocument());
  COutputBar* output = app.MainFrame()->OutputControl();

  double longestGapMs = 0;
  for (auto _ : state) {
    QElapsedTimer sinceLoop;
    double gapMs = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      gapMs = std::max(gapMs, static_cast<double>(sinceLoop.nsecsElapsed()) / 1e6);
      sinceLoop.restart();
    });
    QElapsedTimer wall;
    wall.start();
    sinceLoop.start();
    probe.start();
    document->OnCompile();
    // The bar shows the rest a slice per turn of the event loop, as it does for the user.
    while (output->Pending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    output->viewport()->repaint();
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    gapMs = std::max(gapMs, static_cast<double>(sinceLoop.nsecsElapsed()) / 1e6);
    probe.stop();
    if (output->document()->blockCount() != 105918) {
      state.SkipWithError("the output bar does not hold the whole output");
      break;
    }
    state.SetIterationTime(seconds);
    longestGapMs = std::max(longestGapMs, gapMs);
  }
  state.counters["longest_gap_ms"] = longestGapMs;
  state.SetBytesProcessed(state.iterations() * OUTPUT_BYTES);
}
BENCHMARK(CompileTenMegabytes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// A runaway compiler under the output bar's default limit: 200 MiB of output in lines of 48
// (yes | head), or 50 MiB in one line without an end. Reported: the wall time to all of it read
// and shown, the longest event-loop gap, what the bar keeps, and the peak resident size of the run.
void RunawayCompiler(benchmark::State& state) {
  const bool oneLine = state.range(0) == 0;
  QTemporaryDir dir;
  const QByteArray body = oneLine ? "head -c 52428800 /dev/zero | tr '\\0' 'x'\n"
                                  : "yes 'runaway output of a compiler that never ends' | head -c 209715200\n";
  const QString source = WriteFakeCompiler(dir, body, state);
  if (source.isEmpty()) return;
  CTorvaneApp app;
  if (!app.InitInstance({source})) {
    state.SkipWithError("the IDE did not start");
    return;
  }
  QApplication::processEvents();
  auto* document = static_cast<CTorvaneDoc*>(app.DocManager()->ActiveDocument());
  COutputBar* output = app.MainFrame()->OutputControl();
  ResetPeakResident();
  double longestGapMs = 0;
  for (auto _ : state) {
    QElapsedTimer sinceLoop, wall;
    double gapMs = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      gapMs = std::max(gapMs, static_cast<double>(sinceLoop.nsecsElapsed()) / 1e6);
      sinceLoop.restart();
    });
    wall.start();
    sinceLoop.start();
    probe.start();
    document->OnCompile();
    while (output->Pending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    output->viewport()->repaint();
    state.SetIterationTime(static_cast<double>(wall.nsecsElapsed()) / 1e9);
    longestGapMs = std::max(longestGapMs, std::max(gapMs, static_cast<double>(sinceLoop.nsecsElapsed()) / 1e6));
    probe.stop();
  }
  state.counters["longest_gap_ms"] = longestGapMs;
  state.counters["kept_MiB"] = static_cast<double>(output->document()->characterCount()) / (1 << 20);
  state.counters["dropped_lines"] = static_cast<double>(output->DroppedLines());
  state.counters["peak_rss_MiB"] = StatusBytes("VmHWM") / (1 << 20);
}
BENCHMARK(RunawayCompiler)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
