// Printing a long source: paginating it for an A4 page at 1200 dots per inch (every line
// measured with word wrapping), and the whole job into a PDF file for comparison.
#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "profile_store.h"
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

void BM_PaginateForPrint(benchmark::State& state) {
  Source source;
  if (!source.loaded) {
    state.SkipWithError("cannot read " TORVANE_BENCH_PRINT_SOURCE);
    return;
  }
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  UsePdf(printer, dir.filePath(QStringLiteral("out.pdf")));
  QPainter painter(&printer);
  const QRect drawing(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
  for (auto _ : state) {
    source.view->OnBeginPrinting(painter);
    source.view->PaginateForPrint(painter, drawing);
    benchmark::DoNotOptimize(source.view->GetPrintPageCount());
    state.counters["pages"] = source.view->GetPrintPageCount();
    source.view->OnEndPrinting();
  }
  state.counters["lines"] = source.buffer.LineCount();
}
BENCHMARK(BM_PaginateForPrint)->Unit(benchmark::kMillisecond);

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
  // The default margins, whatever the user running the benchmark has set.
  QTemporaryDir settings;
  CProfileStore::SetUserConfigDirectory(settings.path());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
