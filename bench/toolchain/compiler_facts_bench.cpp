// What knowing the compiler costs: the probe of the real inform6 (two short runs), a cached
// look-up, and the mapping of compiler lines to document lines in a 48 MB CR LF source,
// against a plain count of its line feeds (the baseline: one pass the mapping cannot beat).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include "compiler_line_map.h"
#include "compiler_probe.h"
#include "run_benchmarks.h"

namespace {

// 48 MB of CR LF lines of 48 characters: 1,000,000 lines.
const std::string& BigCrLfSource() {
  static const std::string text = [] {
    std::string line(48, 'x');
    line += "\r\n";
    std::string all;
    all.reserve(line.size() * 1000000);
    for (int i = 0; i < 1000000; ++i) all += line;
    return all;
  }();
  return text;
}

void ProbeInform6(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ProbeCompiler(QStringLiteral("inform6")).version);
}
BENCHMARK(ProbeInform6)->Unit(benchmark::kMillisecond)->UseRealTime();

void CachedFacts(benchmark::State& state) {
  CompilerFactsFor(QStringLiteral("inform6"));
  for (auto _ : state) benchmark::DoNotOptimize(CompilerFactsFor(QStringLiteral("inform6")).version);
}
BENCHMARK(CachedFacts)->Unit(benchmark::kMicrosecond);

// 100 messages spread over the file, the last on the last line: the whole file is walked.
void MapHundredLines(benchmark::State& state) {
  const std::string& text = BigCrLfSource();
  std::vector<int> lines;
  for (int i = 1; i <= 100; ++i) lines.push_back(i * 20000 - 1); // up to 1,999,999: CR LF counts two
  for (auto _ : state)
    benchmark::DoNotOptimize(MapCompilerLines(CrLfCount::Two, text, "\r\n", lines).back());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(MapHundredLines)->Unit(benchmark::kMillisecond);

void CountLineFeedsBaseline(benchmark::State& state) {
  const std::string& text = BigCrLfSource();
  for (auto _ : state) {
    size_t count = 0;
    for (const char* p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
      ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(CountLineFeedsBaseline)->Unit(benchmark::kMillisecond);

} // namespace

// The probe starts processes: an application gives QProcess its event machinery.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
