// Opening a source with all three object-bar trees filled: the text loaded, scanned with the
// document's scan host, and the three trees of a shown object bar filled and painted. Inputs:
// the Inform library's parser.h, and a 48 MB source made of 100 copies of the library's seven
// regular files. Beside the open: the load alone (the floor), the load and a scan that runs
// the event loop after every line, and (48 MB) the load and scan without the trees. The
// longest stretch without the event loop running is recorded for each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "my_tree_view.h"
#include "object_bar.h"
#include "object_scan_host.h"
#include "text_buffer.h"
#include "text_view.h"

namespace {

const char* const kLibrary = "/usr/share/inform6/library";

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// 100 copies of every regular (not symlinked) file of the library, in name order.
const std::string& LargeSourcePath() {
  static const std::string path = [] {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kLibrary))
      if (entry.is_regular_file() && !entry.is_symlink()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::string once;
    for (const auto& file : files) once += ReadAll(file);
    const std::string out = (std::filesystem::temp_directory_path() / "torvane_objectbar_48mb.inf").string();
    std::ofstream stream(out, std::ios::binary);
    for (int copy = 0; copy < 100; ++copy) stream << once;
    return out;
  }();
  return path;
}

// The event loop after every line, as the scan asks: the baseline of the document's host.
class CEveryLinePumpHost : public CScanHost {
public:
  void PumpMessages() override { QCoreApplication::processEvents(); }
};

class CBenchDocument : public CObjectBarDocument {
public:
  std::string GetTreeName() const override { return "source"; }
  const CObjectMap& GetObjectMap() const override { return m_scanner.ObjectMap(); }
  const CFunctionMap& GetFunctionMap() const override { return m_scanner.FunctionMap(); }
  int GetScannerValue() const override { return m_scanner.ScannerValue(); }
  CCrystalTextView* ActivateFirstView() override { return nullptr; }

  CCrystalTextBuffer m_buffer;
  CObjectScanner m_scanner;
};

// Records the longest time between two runs of the event loop while it lives.
class CGapWatch {
public:
  CGapWatch() {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      m_longest = std::max(m_longest, m_clock.restart());
    });
    m_clock.start();
    m_timer.start();
  }
  // Includes the stretch up to now.
  qint64 LongestMs() { return std::max(m_longest, m_clock.elapsed()); }

private:
  QTimer m_timer;
  QElapsedTimer m_clock;
  qint64 m_longest = 0;
};

enum class Steps { LoadOnly, ScanEveryLine, Scan, ScanAndTrees };

// One open: load, then as steps says scan (the event loop after every line, or the
// document's host) and fill and paint the three trees of bar.
std::unique_ptr<CBenchDocument> Open(const std::string& path, Steps steps, CObjectBar& bar) {
  auto document = std::make_unique<CBenchDocument>();
  document->m_buffer.Load(path);
  CBufferLineSource<CCrystalTextBuffer> lines(document->m_buffer);
  if (steps == Steps::ScanEveryLine) {
    CEveryLinePumpHost host;
    document->m_scanner.ScanObjects(lines, &host);
  } else if (steps != Steps::LoadOnly) {
    CObjectScanHost host;
    document->m_scanner.ScanObjects(lines, &host);
  }
  if (steps == Steps::ScanAndTrees) {
    for (int tab = 0; tab < CObjectBar::VIEW_COUNT; ++tab) {
      bar.GetView(tab)->FillDocument(*document);
      QCoreApplication::processEvents();
    }
    bar.repaint();
  }
  return document;
}

void RunOpen(benchmark::State& state, const std::string& path, Steps steps) {
  CObjectBar bar;
  bar.resize(250, 800);
  bar.show();
  qint64 longestGap = 0;
  std::size_t records = 0;
  for (auto _ : state) {
    CGapWatch watch;
    std::unique_ptr<CBenchDocument> document = Open(path, steps, bar);
    longestGap = std::max(longestGap, watch.LongestMs());
    state.PauseTiming();
    records = document->GetObjectMap().size() + document->GetFunctionMap().size();
    bar.RemoveDocument(*document);
    document.reset();
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
}

const std::string kParser = std::string(kLibrary) + "/parser.h";

void BM_ParserLoadOnly(benchmark::State& state) { RunOpen(state, kParser, Steps::LoadOnly); }
void BM_ParserScanEveryLine(benchmark::State& state) { RunOpen(state, kParser, Steps::ScanEveryLine); }
void BM_ParserOpen(benchmark::State& state) { RunOpen(state, kParser, Steps::ScanAndTrees); }
BENCHMARK(BM_ParserLoadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParserScanEveryLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParserOpen)->Unit(benchmark::kMillisecond);

void BM_LargeLoadOnly(benchmark::State& state) { RunOpen(state, LargeSourcePath(), Steps::LoadOnly); }
void BM_LargeScanEveryLine(benchmark::State& state) {
  RunOpen(state, LargeSourcePath(), Steps::ScanEveryLine);
}
void BM_LargeScan(benchmark::State& state) { RunOpen(state, LargeSourcePath(), Steps::Scan); }
void BM_LargeOpen(benchmark::State& state) { RunOpen(state, LargeSourcePath(), Steps::ScanAndTrees); }
BENCHMARK(BM_LargeLoadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LargeScanEveryLine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LargeScan)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LargeOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// The trees alone: the three fills and the first paint of the 48 MB source's records
// (scanned once, outside the timing); the longest of the four steps is recorded.
void BM_LargeTreesOnly(benchmark::State& state) {
  static const std::unique_ptr<CBenchDocument> document = [] {
    auto scanned = std::make_unique<CBenchDocument>();
    scanned->m_buffer.Load(LargeSourcePath());
    scanned->m_scanner.ScanObjects(CBufferLineSource<CCrystalTextBuffer>(scanned->m_buffer));
    return scanned;
  }();
  CObjectBar bar;
  bar.resize(250, 800);
  bar.show();
  double longestStep = 0;
  for (auto _ : state) {
    QElapsedTimer step;
    for (int tab = 0; tab < CObjectBar::VIEW_COUNT; ++tab) {
      step.start();
      bar.GetView(tab)->FillDocument(*document);
      longestStep = std::max(longestStep, step.nsecsElapsed() / 1e6);
    }
    step.start();
    bar.repaint();
    longestStep = std::max(longestStep, step.nsecsElapsed() / 1e6);
    state.PauseTiming();
    bar.RemoveDocument(*document);
    state.ResumeTiming();
  }
  state.counters["records"] =
      static_cast<double>(document->GetObjectMap().size() + document->GetFunctionMap().size());
  state.counters["longest_step_ms"] = longestStep;
}
BENCHMARK(BM_LargeTreesOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
