// The object scan over the whole Inform library (every file of its folder, about 30,000
// lines), with a pump that does nothing and with the event loop's processEvents as the pump.
// A plain pass that reads every byte of every line is the baseline.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <memory>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "object_scanner.h"
#include "resident_size.h"
#include "run_benchmarks.h"

namespace {

const CStringLineSource& Library() {
  static const CStringLineSource source = [] {
    std::string text;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/inform6/library"))
      files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
      std::ifstream in(path, std::ios::binary);
      std::ostringstream content;
      content << in.rdbuf();
      text += content.str();
      if (!text.empty() && text.back() != '\n') text += '\n';
    }
    return CStringLineSource::FromText(text);
  }();
  return source;
}

class CEventLoopHost : public CScanHost {
public:
  void PumpMessages() override { QCoreApplication::processEvents(); }
};

void BM_ReadEveryByte(benchmark::State& state) {
  const CStringLineSource& source = Library();
  for (auto _ : state) {
    unsigned sum = 0;
    for (int i = 0; i < source.LineCount(); ++i) {
      const char* chars = source.LineChars(i);
      for (int j = 0; j < source.LineLength(i); ++j) sum += static_cast<unsigned char>(chars[j]);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["lines"] = source.LineCount();
}
BENCHMARK(BM_ReadEveryByte)->Unit(benchmark::kMillisecond);

void BM_ScanLibrary(benchmark::State& state) {
  const CStringLineSource& source = Library();
  std::size_t records = 0;
  for (auto _ : state) {
    CObjectScanner scanner;
    scanner.ScanObjects(source);
    records = scanner.ObjectMap().size() + scanner.FunctionMap().size();
    benchmark::DoNotOptimize(records);
  }
  state.counters["lines"] = source.LineCount();
  state.counters["records"] = static_cast<double>(records);
  state.counters["ns_per_line"] =
      benchmark::Counter(static_cast<double>(source.LineCount()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanLibrary)->Unit(benchmark::kMillisecond);

void BM_ScanLibraryPumpingEvents(benchmark::State& state) {
  const CStringLineSource& source = Library();
  CEventLoopHost host;
  for (auto _ : state) {
    CObjectScanner scanner;
    scanner.ScanObjects(source, &host);
    benchmark::DoNotOptimize(scanner.ObjectMap().size());
  }
  state.counters["lines"] = source.LineCount();
  state.counters["ns_per_line"] =
      benchmark::Counter(static_cast<double>(source.LineCount()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanLibraryPumpingEvents)->Unit(benchmark::kMillisecond);

// Many definitions under one name: the unique-name search must not restart from 2 each time.
void BM_ManyClashingNames(benchmark::State& state) {
  std::vector<std::string> lines(static_cast<std::size_t>(state.range(0)), "[;");
  const CStringLineSource source(std::move(lines));
  for (auto _ : state) {
    CObjectScanner scanner;
    scanner.ScanObjects(source);
    benchmark::DoNotOptimize(scanner.FunctionMap().size());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ManyClashingNames)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();


// A file of a million "x;" lines (3 MB with line ends): every line is an object definition
// without a name, so the scan records Untitled, Untitled[02] ... Untitled[1000000]. Measured:
// the scan and one listing of the records in order, as the object bar makes. Counters: the
// rise of the peak resident size meanwhile, and that rise over the file's size.
void BM_MillionUntitledObjects(benchmark::State& state) {
  const CStringLineSource source(std::vector<std::string>(1'000'000, "x;"));
  const double fileBytes = 3.0 * source.LineCount();
  double peakRise = 0;
  std::size_t records = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto scanner = std::make_unique<CObjectScanner>();
    ResetPeakResident();
    const double before = StatusBytes("VmRSS");
    state.ResumeTiming();
    scanner->ScanObjects(source);
    records = scanner->ObjectMap().size();
    std::size_t listed = 0;
    for (const CObjectRecord& record : scanner->ObjectMap()) listed += record.m_name.size();
    benchmark::DoNotOptimize(listed);
    state.PauseTiming();
    peakRise = std::max(peakRise, StatusBytes("VmHWM") - before);
    scanner.reset();
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["peak_rise_MB"] = peakRise / 1e6;
  state.counters["peak_rise_per_file_byte"] = peakRise / fileBytes;
}
BENCHMARK(BM_MillionUntitledObjects)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
