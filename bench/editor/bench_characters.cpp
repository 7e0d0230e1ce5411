// UTF-8 against ISO 8859-1 in the same run: the 48 MB source (the library's seven files, 100
// times) opened, shown and measured (every line's width) in each encoding, and a typed
// accented letter up to the end of its paint on a line of accented text.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "run_benchmarks.h"
#include "text_buffer.h"
#include "library_source.h"
#include "torvane_view.h"

namespace {

using Clock = std::chrono::steady_clock;

QString WriteSource(QTemporaryDir& dir, const std::string& text) {
  const QString path = dir.filePath(QStringLiteral("source.inf"));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(text.data(), static_cast<qint64>(text.size()));
  return path;
}

// Load, encoding, a view on it painted, and the longest line found (range(0): 0 ISO 8859-1,
// 1 UTF-8).
void BM_OpenLargeSource(benchmark::State& state) {
  static QTemporaryDir dir;
  static const QString path = WriteSource(dir, LibrarySource());
  const TextEncoding encoding = state.range(0) ? TextEncoding::Utf8 : TextEncoding::Iso8859_1;
  for (auto _ : state) {
    const auto start = Clock::now();
    CTextBuffer buffer;
    if (!buffer.Load(path.toStdString())) state.SkipWithError("the library is missing");
    buffer.SetEncoding(encoding);
    auto view = std::make_unique<CTorvaneView>();
    view->SetDocumentBuffer(&buffer);
    view->OnInitialUpdate();
    view->resize(900, 700);
    view->show();
    view->viewport()->repaint();
    benchmark::DoNotOptimize(view->GetLongestLine());
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    view.reset();
  }
}
BENCHMARK(BM_OpenLargeSource)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// "é" typed into the middle of a window of accented lines (range(0): 0 ISO 8859-1, 1 UTF-8),
// to the end of the paint; Backspace takes it out again unmeasured.
void BM_TypedAccentToPaint(benchmark::State& state) {
  const bool utf8 = state.range(0) != 0;
  std::string line = utf8 ? "  print \"Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\xC3\xA9, \xC3\xA0 la carte\";\r\n"
                          : "  print \"Caf\xE9 cr\xE8me br\xFBl\xE9\xE9, \xE0 la carte\";\r\n";
  std::string text;
  for (int i = 0; i < 10000; ++i) text += line;
  QTemporaryDir dir;
  CTextBuffer buffer;
  if (!buffer.Load(WriteSource(dir, text).toStdString())) state.SkipWithError("cannot load");
  buffer.SetEncoding(utf8 ? TextEncoding::Utf8 : TextEncoding::Iso8859_1);
  CTorvaneView view;
  view.SetDocumentBuffer(&buffer);
  view.OnInitialUpdate();
  view.resize(900, 1000);
  view.show();
  view.activateWindow();
  view.setFocus();
  QApplication::processEvents();
  view.MoveCaretTo(TextPosition(12, 50));
  view.viewport()->repaint();
  for (auto _ : state) {
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
    QApplication::sendEvent(&view, &press);
    QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString());
    QApplication::sendEvent(&view, &back);
    QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_TypedAccentToPaint)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
