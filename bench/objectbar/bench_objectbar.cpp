// Opening a source in the IDE with all three object-bar trees filled: the real document path
// (the application's open, the document's Load and scan with its progress bar, the trees
// filled, the new window shown), then the object bar painted. Inputs: the Inform library's
// parser.h, and a 48 MB source made of 100 copies of the library's seven regular files. The
// floor beside each: the buffer's Load alone. The longest stretch without the event loop
// running is recorded.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "doc_manager.h"
#include "main_frame.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "profile_store.h"
#include "run_benchmarks.h"
#include "text_buffer.h"
#include "torvane_app.h"
#include "torvane_doc.h"

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

void LoadOnly(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    CTextBuffer buffer;
    buffer.Load(path);
    benchmark::DoNotOptimize(buffer.LineCount());
    state.PauseTiming();
    buffer.Clear();
    state.ResumeTiming();
  }
}

void IdeOpen(benchmark::State& state, const std::string& path) {
  QTemporaryDir config;
  CProfileStore::SetUserConfigDirectory(config.path());
  CTorvaneApp app;
  if (!app.InitInstance({})) {
    state.SkipWithError("the IDE did not start");
    return;
  }
  CObjectBar& bar = *app.MainFrame()->ObjectBarTabs();
  qint64 longestGap = 0;
  int records = 0;
  for (auto _ : state) {
    CGapWatch watch;
    app.DocManager()->OpenDocumentFile(QString::fromStdString(path));
    bar.repaint();
    longestGap = std::max(longestGap, watch.LongestMs());
    state.PauseTiming();
    auto* document = static_cast<CTorvaneDoc*>(app.DocManager()->ActiveDocument());
    if (!document || document->GetPathName().isEmpty()) {
      state.SkipWithError("the source did not open");
      break;
    }
    records = 0;
    for (int tab = 0; tab < CObjectBar::VIEW_COUNT; ++tab)
      records += bar.GetView(tab)->FindDocumentRoot(*document)->ChildCount();
    document->OnCloseDocument();
    QCoreApplication::processEvents(); // the closed document is deleted
    state.ResumeTiming();
  }
  state.counters["top_level_items"] = records;
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
}

const std::string kParser = std::string(kLibrary) + "/parser.h";

void BM_ParserLoadOnly(benchmark::State& state) { LoadOnly(state, kParser); }
void BM_ParserOpen(benchmark::State& state) { IdeOpen(state, kParser); }
BENCHMARK(BM_ParserLoadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParserOpen)->Unit(benchmark::kMillisecond);

void BM_LargeLoadOnly(benchmark::State& state) { LoadOnly(state, LargeSourcePath()); }
void BM_LargeOpen(benchmark::State& state) { IdeOpen(state, LargeSourcePath()); }
BENCHMARK(BM_LargeLoadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LargeOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
