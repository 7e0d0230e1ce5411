// How fast compiler output crosses the redirector: a child printing N bytes through
// CRedirector into a sink, against the same child read by a bare QProcess (the baseline).
#include <random>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "compile_command.h"
#include "output_sink.h"
#include "redirector.h"
#include "run_benchmarks.h"

namespace {

class CCountingSink : public COutputSink {
public:
  void AppendText(const QByteArray& text) override { m_bytes += text.size(); }
  qint64 m_bytes = 0;
};

// One temporary file of size bytes per size, written once.
QString DataFile(qint64 size) {
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out-%1.bin").arg(size));
  if (!QFile::exists(path)) {
    QByteArray data(size, '\0');
    std::mt19937 random(7);
    for (char& c : data) c = static_cast<char>(32 + random() % 95); // printable, like compiler text
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(data);
  }
  return path;
}

void BM_RedirectorCat(benchmark::State& state) {
  const QString commandLine = QStringLiteral("/bin/cat ") + QuoteCommandArgument(DataFile(state.range(0)));
  for (auto _ : state) {
    CCountingSink sink;
    CRedirector redirector(commandLine, &sink);
    redirector.Run();
    benchmark::DoNotOptimize(sink.m_bytes);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_BareProcessCat(benchmark::State& state) {
  const QString path = DataFile(state.range(0));
  for (auto _ : state) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/bin/cat"), {path});
    process.waitForFinished(-1);
    benchmark::DoNotOptimize(process.readAll().size());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// A child that prints nothing: the fixed cost of one run (start, first poll, end).
void BM_RedirectorEmptyChild(benchmark::State& state) {
  for (auto _ : state) {
    CCountingSink sink;
    CRedirector redirector(QStringLiteral("/bin/true"), &sink);
    redirector.Run();
    benchmark::DoNotOptimize(sink.m_bytes);
  }
}

void BM_BareProcessEmptyChild(benchmark::State& state) {
  for (auto _ : state) {
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForFinished(-1);
  }
}

BENCHMARK(BM_RedirectorCat)->Arg(64 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProcessCat)->Arg(64 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedirectorEmptyChild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProcessEmptyChild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv); // the redirector pumps this application's events
  return RunBenchmarks(argc, argv);
}
