// The text view's hot paths: painting a full window, computing parse cookies down a long
// file, and the view's share of one keystroke on a file of a million lines.
#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <string_view>

#include "colouring.h"
#include "run_benchmarks.h"
#include "text_buffer.h"
#include "text_view.h"
#include "text_view_accessible.h"

namespace {

// A view coloured by the real Inform colouring.
class CInformTextView : public CTextView {
public:
  using CTextView::CellPictures;
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override {
    return ::ColourLine(cookie, lineIndex, GetLineText(lineIndex), GetLineLength(lineIndex), runs,
                        runCount);
  }
};

// The example game repeated until the text has at least lines lines, CR LF between lines.
std::string InformText(int lines) {
  QFile file(QStringLiteral(TORVANE_BENCH_SOURCE));
  std::string source;
  if (file.open(QIODevice::ReadOnly)) source = file.readAll().toStdString();
  std::string unit;
  for (char c : source)
    if (c != '\r') unit += c == '\n' ? std::string("\r\n") : std::string(1, c);
  if (unit.empty()) unit = "[ Main;\r\n\tprint \"Hello\";\r\n];\r\n";
  int unitLines = 0;
  for (char c : unit) unitLines += c == '\n';
  std::string text;
  for (int have = 0; have < lines; have += unitLines) text += unit;
  return text;
}

std::unique_ptr<CTextBuffer> MakeBuffer(int lines) {
  auto buffer = std::make_unique<CTextBuffer>();
  buffer->CreateEmpty();
  int endLine = 0, endChar = 0;
  buffer->InsertText(nullptr, 0, 0, InformText(lines), endLine, endChar);
  return buffer;
}

void BM_PaintFullWindow(benchmark::State& state) {
  auto buffer = MakeBuffer(2000);
  CInformTextView view;
  view.AttachBuffer(buffer.get());
  view.resize(1000, 800);
  view.show();
  QApplication::processEvents();
  view.ScrollToTopLine(static_cast<int>(state.range(0)), true);
  // The target has the screen's device pixels, as the window's own backing store has.
  const qreal ratio = view.viewport()->devicePixelRatioF();
  QPixmap target(view.viewport()->size() * ratio);
  target.setDevicePixelRatio(ratio);
  // Paints and turns of the event loop until the cell pictures the window needs are drawn,
  // as they are on screen after the first paint.
  for (int i = 0; i < 50; ++i) {
    view.viewport()->render(&target);
    QApplication::processEvents();
  }
  const uint64_t composed = view.CellPictures().RowsComposed();
  for (auto _ : state) {
    view.viewport()->render(&target);
    benchmark::DoNotOptimize(target);
  }
  state.counters["lines_per_frame"] = view.GetVisibleLines();
  state.counters["rows_from_pictures"] =
      static_cast<double>(view.CellPictures().RowsComposed() - composed) /
      static_cast<double>(state.iterations());
  state.counters["device_pixel_ratio"] = view.viewport()->devicePixelRatioF();
}
BENCHMARK(BM_PaintFullWindow)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Cookies from the top of a cold view down to the last line, against colouring the same
// lines directly.
void BM_CookiesToLastLine(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  auto buffer = MakeBuffer(lines);
  CInformTextView view;
  for (auto _ : state) {
    view.AttachBuffer(buffer.get()); // drops every cache
    benchmark::DoNotOptimize(view.GetLineCookie(buffer->LineCount() - 1));
  }
  state.SetItemsProcessed(state.iterations() * buffer->LineCount());
}
BENCHMARK(BM_CookiesToLastLine)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_CookiesBaselineDirectColouring(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  auto buffer = MakeBuffer(lines);
  for (auto _ : state) {
    uint32_t cookie = 0;
    int runCount = 0;
    for (int i = 0; i < buffer->LineCount(); ++i)
      cookie = ::ColourLine(cookie, i, buffer->LineChars(i), buffer->LineLength(i), nullptr,
                            runCount);
    benchmark::DoNotOptimize(cookie);
  }
  state.SetItemsProcessed(state.iterations() * buffer->LineCount());
}
BENCHMARK(BM_CookiesBaselineDirectColouring)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void ShowFocused(QWidget& view) {
  view.show();
  view.activateWindow();
  view.setFocus();
  QApplication::processEvents();
}

// inserted typed and removed again in the middle of a million lines; range(0) = 1 with a
// view attached (longest line and cookies known), 0 without (the buffer's own cost), 2 with
// the view and a screen reader listening (the text events worked out).
void InsertAndRemoveInMillionLines(benchmark::State& state, std::string_view inserted) {
  static std::unique_ptr<CTextBuffer> buffer = MakeBuffer(1000000);
  CInformTextView view;
  view.resize(800, 600);
  if (state.range(0) == 2) {
    SetAccessEventSink([](QAccessibleEvent*) {});
    ShowFocused(view); // the reader follows the view with the focus
  }
  if (state.range(0)) {
    view.AttachBuffer(buffer.get());
    (void)view.GetLongestLine();
    (void)view.GetLineCookie(buffer->LineCount() - 1);
  }
  const int line = buffer->LineCount() / 2;
  int endLine = 0, endChar = 0;
  for (auto _ : state) {
    buffer->InsertText(nullptr, line, 0, inserted, endLine, endChar);
    buffer->DeleteText(nullptr, line, 0, endLine, endChar);
  }
  view.DetachBuffer();
  SetAccessEventSink({});
}

// One typed character (the line count stays).
void BM_TypeCharMillionLines(benchmark::State& state) {
  InsertAndRemoveInMillionLines(state, "x");
}
BENCHMARK(BM_TypeCharMillionLines)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A line break (the line count changes).
void BM_EnterMillionLines(benchmark::State& state) {
  InsertAndRemoveInMillionLines(state, "\r\n");
}
BENCHMARK(BM_EnterMillionLines)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A screen reader listening: the caret moved to the start of one of the last 1024 of a
// million lines. range(0) = 1: the line starts counted once and kept; 0: forgotten each time
// by a change on the first line, so every move counts the million lines again (the worst
// case: a change above, then a move far below it).
void BM_ReaderCaretMillionLines(benchmark::State& state) {
  static std::unique_ptr<CTextBuffer> buffer = MakeBuffer(1000000);
  SetAccessEventSink([](QAccessibleEvent*) {});
  CInformTextView view;
  view.AttachBuffer(buffer.get());
  ShowFocused(view);
  const int last = buffer->LineCount() - 1;
  int i = 0;
  int endLine = 0, endChar = 0;
  for (auto _ : state) {
    if (!state.range(0)) {
      buffer->InsertText(nullptr, 0, 0, "x", endLine, endChar);
      buffer->DeleteText(nullptr, 0, 0, endLine, endChar);
    }
    const TextPosition p(0, last - (i++ & 1023));
    view.PlaceCursor(p);
    view.SetSelection(p, p);
  }
  view.DetachBuffer();
  SetAccessEventSink({});
}
BENCHMARK(BM_ReaderCaretMillionLines)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The longest line of a cold view on a million lines (done once per attach or font change).
void BM_LongestLineCold(benchmark::State& state) {
  static std::unique_ptr<CTextBuffer> buffer = MakeBuffer(1000000);
  CInformTextView view;
  for (auto _ : state) {
    view.AttachBuffer(buffer.get());
    benchmark::DoNotOptimize(view.GetLongestLine());
  }
  view.DetachBuffer();
  state.SetItemsProcessed(state.iterations() * buffer->LineCount());
}
BENCHMARK(BM_LongestLineCold)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // --ratio=N: every window on a screen of N device pixels per pixel (the paint at ratio 2).
  // A ratio is fixed for the process: it is the scale factor Qt reads when it starts.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg.starts_with("--ratio="))
      qputenv("QT_SCALE_FACTOR", QByteArray(argv[i] + std::string_view("--ratio=").size()));
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  QApplication app(argc, argv);
  return RunBenchmarks(argc, argv);
}
