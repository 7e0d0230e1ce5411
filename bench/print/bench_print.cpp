// Printing a long source: paginating it for an A4 page at 1200 dots per inch (every line
// wrapped at words), and the whole job into a PDF file for comparison; paginating a 10 MB
// line, with the memory it takes.
#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

#include "page_setup.h"
#include "profile_store.h"
#include "run_benchmarks.h"
#include "text_printer.h"
#include "text_buffer.h"
#include "torvane_view.h"

namespace {

struct Source {
  CTextBuffer buffer;
  std::unique_ptr<CTorvaneView> view;
  bool loaded = false;

  Source() {
    loaded = buffer.Load(TORVANE_BENCH_PRINT_SOURCE);
    view = std::make_unique<CTorvaneView>();
    view->SetDocumentBuffer(&buffer);
    view->OnInitialUpdate();
  }
  ~Source() { view->DetachBuffer(); }
};

void UsePdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(path);
}

// The printer of the view's text, as the view's Print sets it up.
void SetUp(CTextPrinter& printer, CTorvaneView& view) {
  printer.SetScreenFont(ResolveViewFont(view.GetViewFont(), false, false), view.logicalDpiY());
  printer.SetPageSetup(ReadPageSetup(CProfileStore()));
}

void BM_PaginateForPrint(benchmark::State& state) {
  Source source;
  if (!source.loaded) {
    state.SkipWithError("cannot read " TORVANE_BENCH_PRINT_SOURCE);
    return;
  }
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  UsePdf(printer, dir.filePath(QStringLiteral("out.pdf")));
  CTextPrinter textPrinter(&source.buffer);
  SetUp(textPrinter, *source.view);
  for (auto _ : state) {
    if (!textPrinter.Paginate(printer).isEmpty()) state.SkipWithError("no room on the page");
    benchmark::DoNotOptimize(textPrinter.PageCount());
    state.counters["pages"] = textPrinter.PageCount();
    textPrinter.End();
  }
  state.counters["lines"] = source.buffer.LineCount();
}
BENCHMARK(BM_PaginateForPrint)->Unit(benchmark::kMillisecond);

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// One line of 10 MB: words of seven letters and a blank, as a generated table might be.
void BM_PaginateTenMegabyteLine(benchmark::State& state) {
  CTextBuffer buffer;
  std::string line;
  while (line.size() < 10'000'000) line += "abcdefg ";
  int endLine = 0, endChar = 0;
  buffer.CreateEmpty();
  buffer.InsertText(nullptr, 0, 0, line, endLine, endChar);
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  UsePdf(printer, dir.filePath(QStringLiteral("out.pdf")));
  CTextPrinter textPrinter(&buffer);
  textPrinter.SetScreenFont(ResolveViewFont(CTorvaneView::DocumentFont(), false, false), 96);
  const double before = PeakMiB();
  for (auto _ : state) {
    if (!textPrinter.Paginate(printer).isEmpty()) state.SkipWithError("no room on the page");
    state.counters["pages"] = textPrinter.PageCount();
    textPrinter.End();
  }
  state.counters["peak_MiB_added"] = PeakMiB() - before;
}
BENCHMARK(BM_PaginateTenMegabyteLine)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state) {
  Source source;
  QTemporaryDir dir;
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, dir.filePath(QStringLiteral("out.pdf")));
    if (!source.view->PrintTo(printer)) state.SkipWithError("printing failed");
  }
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The default margins, whatever the user running the benchmark has set, and the half-size
  // font, so that the source prints on the same 50 pages as it always has.
  QTemporaryDir settings;
  CProfileStore::SetUserConfigDirectory(settings.path());
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "PrintHalfSize", 1);
  return RunBenchmarks(argc, argv);
}
