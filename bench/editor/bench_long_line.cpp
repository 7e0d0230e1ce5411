// The Inform view on a file that is one line of 10 MB: a key typed at the start and at the
// end of the line, up to the end of the paint it causes, and a full repaint at either end.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "resident_size.h"
#include "run_benchmarks.h"
#include "text_buffer.h"
#include "torvane_view.h"

namespace {

constexpr std::size_t LINE_BYTES = 10'000'000;

// Inform statements with strings, an object body, a routine, escapes and tabs, repeated into
// one line without a comment (a comment would colour the rest of the line at once).
std::string MakeLine() {
  const std::string unit =
      "Object -> lamp \"brass ^lamp~\" with name 'lamp' 'light', has light; "
      "[ Main x;\tprint \"hi@@92\"; x = 42; @push x; objectloop (x in lamp) give x ~light; ]; "
      "Constant MAX 10; Array tab table 3; ";
  std::string line;
  line.reserve(LINE_BYTES + unit.size());
  while (line.size() < LINE_BYTES) line += unit;
  line.resize(LINE_BYTES);
  return line;
}

struct Setup {
  QTemporaryDir dir;
  CTextBuffer buffer;
  std::unique_ptr<CTorvaneView> view;

  Setup() {
    const QString path = dir.filePath(QStringLiteral("one_line.inf"));
    const std::string line = MakeLine();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(line.data(), static_cast<qint64>(line.size())) != static_cast<qint64>(line.size()))
      std::fprintf(stderr, "bench_long_line: cannot write %s\n", qPrintable(path));
    file.close();
    if (!buffer.Load(path.toStdString()))
      std::fprintf(stderr, "bench_long_line: cannot load the line\n");
    view = std::make_unique<CTorvaneView>();
    view->SetDocumentBuffer(&buffer);
    view->OnInitialUpdate();
    view->resize(900, 700);
    view->show();
    view->activateWindow();
    view->setFocus();
    QApplication::processEvents();
  }
};

std::unique_ptr<Setup> theSetup;
Setup& TheSetup() {
  if (!theSetup) theSetup = std::make_unique<Setup>();
  return *theSetup;
}

void Key(QWidget* target, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

void PaintPending(CTextView& view) {
  QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

using Clock = std::chrono::steady_clock;

// range(0): 0 types at the start of the line, 1 at its end. Backspace takes the key out
// again (not measured).
void BM_LongLineKeyToPaint(benchmark::State& state) {
  Setup& s = TheSetup();
  CTorvaneView& view = *s.view;
  const bool atEnd = state.range(0) != 0;
  view.MoveCaretTo(TextPosition(atEnd ? s.buffer.LineLength(0) : 0, 0));
  view.viewport()->repaint();
  QApplication::processEvents();
  ResetPeakResident();
  const double resident = StatusBytes("VmRSS");
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    Key(&view, Qt::Key_X, QStringLiteral("x"));
    PaintPending(view);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
    Key(&view, Qt::Key_Backspace, QString());
    PaintPending(view);
    QApplication::processEvents();
  }
  if (s.buffer.LineLength(0) != static_cast<int>(LINE_BYTES))
    state.SkipWithError("the line did not get back its length");
  state.counters["median_ms"] = Median(samples) * 1e3;
  state.counters["first_column"] = view.GetFirstColumn();
  // What the keys and their paints took above the loaded text, at their peak.
  state.counters["peak_rise_MB"] = (StatusBytes("VmHWM") - resident) / 1e6;
  state.counters["resident_MB"] = resident / 1e6;
}
BENCHMARK(BM_LongLineKeyToPaint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

// A full repaint of the window at the start (0) or the end (1) of the line.
void BM_LongLineRepaint(benchmark::State& state) {
  Setup& s = TheSetup();
  CTorvaneView& view = *s.view;
  view.MoveCaretTo(TextPosition(state.range(0) ? s.buffer.LineLength(0) : 0, 0));
  view.viewport()->repaint();
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    view.viewport()->repaint();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
  }
  state.counters["median_ms"] = Median(samples) * 1e3;
}
BENCHMARK(BM_LongLineRepaint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int status = RunBenchmarks(argc, argv);
  theSetup.reset();
  return status;
}
