// The Inform view on a 1,000,000-line source in a window of 100 lines (offscreen platform):
// a typed character up to the end of the paint it causes, a full repaint, the first and the
// second jump to the last line, and the memory of the view's line caches; a quote typed on
// line 1 of the 48 MB source shown in one view and in four. The colouring of
// every line without a view is the baseline for the first jump.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "colouring.h"
#include "resident_size.h"
#include "run_benchmarks.h"
#include "style_table.h"
#include "text_buffer.h"
#include "library_source.h"
#include "torvane_view.h"

namespace {

constexpr int LINE_COUNT = 1'000'000;
constexpr int WINDOW_LINES = 100;

// The view with its caches open for measuring: its own, and the cookies its buffer keeps.
class CMeasuredView : public CTorvaneView {
public:
  std::size_t CacheBytes() const { return m_caches.MemoryBytes() + SharedCookies()->MemoryBytes(); }
  int CookiesKnown() const { return SharedCookies()->CookiesKnown(); }
  // The buffer keeps the cookies through a view's reset: a measurement of computing them
  // all drops them itself.
  void DropSharedCookies() { SharedCookies()->Clear(); }
};

// One realistic Inform game repeated until the text has LINE_COUNT lines.
std::string MakeSource() {
  QFile game(QStringLiteral(TORVANE_EXAMPLE_GAME));
  std::vector<std::string> lines;
  if (game.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : game.readAll().split('\n')) {
      std::string text = line.toStdString();
      if (!text.empty() && text.back() == '\r') text.pop_back();
      lines.push_back(text);
    }
  }
  if (lines.size() < 2) lines = {"[ Main x;", "\tx = \"a string\"; ! a comment", "];"};
  std::string source;
  source.reserve(static_cast<std::size_t>(LINE_COUNT) * 32);
  for (int i = 0; i < LINE_COUNT - 1; ++i) {
    source += lines[static_cast<std::size_t>(i) % lines.size()];
    source += "\r\n";
  }
  source += "! end";
  return source;
}

struct Setup {
  QTemporaryDir dir;
  std::string path;
  CTextBuffer buffer;
  std::unique_ptr<CMeasuredView> view;

  explicit Setup(const std::string& source) {
    path = dir.filePath(QStringLiteral("source.inf")).toStdString();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(source.data(), static_cast<qint64>(source.size())) !=
            static_cast<qint64>(source.size()))
      std::fprintf(stderr, "bench_edit_view: cannot write %s\n", path.c_str());
    file.close();
    if (!buffer.Load(path)) std::fprintf(stderr, "bench_edit_view: cannot load the source\n");
    view = std::make_unique<CMeasuredView>();
    view->SetDocumentBuffer(&buffer);
    view->OnInitialUpdate();
    view->show();
    view->activateWindow();
    view->setFocus();
    QApplication::processEvents();
    // A client area of exactly WINDOW_LINES lines.
    const int chrome = view->height() - view->viewport()->height();
    view->resize(900, WINDOW_LINES * view->GetLineHeight() + chrome);
    QApplication::processEvents();
    // The walk for the longest line goes on from the event loop for a moment after an open;
    // the figures are for a window past that moment.
    view->GetLongestLine();
  }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Setup> theSetup;
Setup& TheSetup() {
  if (!theSetup) theSetup = std::make_unique<Setup>(MakeSource());
  return *theSetup;
}
std::unique_ptr<Setup> theLibrarySetup;
Setup& TheLibrarySetup() {
  if (!theLibrarySetup) theLibrarySetup = std::make_unique<Setup>(LibrarySource());
  return *theLibrarySetup;
}

void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
}

// Paints the whole window at once.
void Paint(CTextView& view) { view.viewport()->repaint(); }

// Carries out the paint that the view asked for (only the region it invalidated) at once.
void PaintPending(CTextView& view) {
  QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

using Clock = std::chrono::steady_clock;

// A key typed at the start of row `row` of the window, up to the end of the paint it causes;
// Backspace takes it out again (not measured) so that every sample types into the same line.
// A change repaints its own line, and the lines below it on screen only when the line's
// end-of-line cookie changed; the counter below_recoloured says whether it did.
void TypeAndPaint(benchmark::State& state, int row, Qt::Key key, const QString& text) {
  Setup& s = TheSetup();
  CMeasuredView& view = *s.view;
  const int top = 500'000;
  const TextPosition at(0, top + row);
  view.ScrollToTopLine(top);
  view.MoveCaretTo(at);
  Paint(view);
  if (view.GetTopLine() != top) state.SkipWithError("the caret row is not in the window");
  const uint32_t cookieBefore = view.GetLineCookie(at.y);
  bool belowRecoloured = false;
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    Key(&view, key, Qt::NoModifier, text);
    PaintPending(view);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
    belowRecoloured = view.GetLineCookie(at.y) != cookieBefore;
    Key(&view, Qt::Key_Backspace, Qt::NoModifier, QString());
    PaintPending(view);
    // Everything else the keys posted is delivered here, as the event loop would; left in
    // the queue it would make every later delivery walk a longer list.
    QApplication::processEvents();
  }
  state.counters["median_ms"] = Median(samples) * 1e3;
  state.counters["window_lines"] = view.GetVisibleLines();
  state.counters["below_recoloured"] = belowRecoloured ? 1 : 0;
}

// A letter, which rarely changes a line's end cookie. The argument is the caret's row in the
// window. (Row 99 is "[ SignSub;": an x before it makes it no routine start, which does change
// the cookie; being the bottom row, nothing below it is on screen.)
void BM_TypedCharacterToPaint(benchmark::State& state) {
  TypeAndPaint(state, static_cast<int>(state.range(0)), Qt::Key_X, QStringLiteral("x"));
}
BENCHMARK(BM_TypedCharacterToPaint)
    ->Arg(0)
    ->Arg(WINDOW_LINES / 2)
    ->Arg(WINDOW_LINES - 1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// A double quote opens a string that runs on below: the line and every line under it on
// screen are re-coloured and repainted (on the top row: the whole window).
void BM_TypedQuoteToPaint(benchmark::State& state) {
  TypeAndPaint(state, static_cast<int>(state.range(0)), Qt::Key_QuoteDbl, QStringLiteral("\""));
}
BENCHMARK(BM_TypedQuoteToPaint)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
  Setup& s = TheSetup();
  CMeasuredView& view = *s.view;
  view.MoveCaretTo(TextPosition(0, 300'000));
  view.ScrollToTopLine(300'000);
  Paint(view);
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Clock::now();
    Paint(view);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
  }
  state.counters["median_ms"] = Median(samples) * 1e3;
}
BENCHMARK(BM_FullRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The colouring of every line, one after another, without a view: what the first jump must
// at least do.
void BM_ColourEveryLineBaseline(benchmark::State& state) {
  Setup& s = TheSetup();
  for (auto _ : state) {
    uint32_t cookie = 0;
    int runs = 0;
    for (int line = 0; line < s.buffer.LineCount(); ++line)
      cookie = ColourLine(cookie, line, s.buffer.LineChars(line), s.buffer.LineLength(line),
                          nullptr, runs);
    benchmark::DoNotOptimize(cookie);
  }
}
BENCHMARK(BM_ColourEveryLineBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);

// Ctrl+End on a view that has computed no cookie yet, up to the end of the paint at the
// bottom of the text.
void BM_JumpToLastLineFirstTime(benchmark::State& state) {
  Setup& s = TheSetup();
  CMeasuredView& view = *s.view;
  std::vector<double> samples;
  std::size_t bytes = 0;
  for (auto _ : state) {
    view.AttachBuffer(&s.buffer); // a fresh view state: every cache dropped
    view.DropSharedCookies();
    view.MoveCaretTo(TextPosition(0, 0));
    Paint(view);
    const auto start = Clock::now();
    Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
    Paint(view);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
    bytes = view.CacheBytes();
    if (view.CookiesKnown() < LINE_COUNT - WINDOW_LINES)
      state.SkipWithError("the jump did not compute the cookies above the last line");
  }
  state.counters["median_ms"] = Median(samples) * 1e3;
  state.counters["cache_bytes_per_line"] =
      static_cast<double>(bytes) / static_cast<double>(s.buffer.LineCount());
}
BENCHMARK(BM_JumpToLastLineFirstTime)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The same jump once the cookies are known.
void BM_JumpToLastLineSecondTime(benchmark::State& state) {
  Setup& s = TheSetup();
  CMeasuredView& view = *s.view;
  view.AttachBuffer(&s.buffer);
  Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
  Paint(view);
  std::vector<double> samples;
  for (auto _ : state) {
    Key(&view, Qt::Key_Home, Qt::ControlModifier, QString());
    Paint(view);
    QApplication::processEvents();
    const auto start = Clock::now();
    Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
    Paint(view);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
  }
  state.counters["median_ms"] = Median(samples) * 1e3;
  state.counters["cache_bytes_per_line"] =
      static_cast<double>(view.CacheBytes()) / static_cast<double>(s.buffer.LineCount());
}
BENCHMARK(BM_JumpToLastLineSecondTime)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A double quote typed at the start of the first line opens a string that changes the colours
// of the lines below until the next quote closes it again; the quote is then deleted. Each
// iteration: the quote to the end of its paint; Ctrl+End to the end of its paint; back to the
// top and Ctrl+End a second time; back to the top, the quote deleted (not measured); Ctrl+End
// again. The cookies of every line are known before the quote is typed. range(0): 0 the
// million-line game text, whose strings all close on their own lines, so that a stray quote
// flips every string below it; 1 the 48 MB library source.
void BM_QuoteAtTopThenJumps(benchmark::State& state) {
  Setup& s = state.range(0) ? TheLibrarySetup() : TheSetup();
  if (s.buffer.LineCount() < 2) {
    state.SkipWithError("no source text (the library is in /usr/share/inform6/library)");
    return;
  }
  CMeasuredView& view = *s.view;
  view.AttachBuffer(&s.buffer);
  Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
  Paint(view);
  std::vector<double> quote, firstJump, againJump, secondJump;
  auto timed = [](std::vector<double>& samples, auto&& step) {
    const auto start = Clock::now();
    step();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    samples.push_back(seconds);
    return seconds;
  };
  for (auto _ : state) {
    Key(&view, Qt::Key_Home, Qt::ControlModifier, QString());
    Paint(view);
    QApplication::processEvents();
    double seconds = timed(quote, [&] {
      Key(&view, Qt::Key_QuoteDbl, Qt::NoModifier, QStringLiteral("\""));
      PaintPending(view);
    });
    QApplication::processEvents();
    seconds += timed(firstJump, [&] {
      Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
      Paint(view);
    });
    Key(&view, Qt::Key_Home, Qt::ControlModifier, QString());
    Paint(view);
    seconds += timed(againJump, [&] {
      Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
      Paint(view);
    });
    Key(&view, Qt::Key_Home, Qt::ControlModifier, QString());
    Paint(view);
    Key(&view, Qt::Key_Delete, Qt::NoModifier, QString());
    PaintPending(view);
    QApplication::processEvents();
    seconds += timed(secondJump, [&] {
      Key(&view, Qt::Key_End, Qt::ControlModifier, QString());
      Paint(view);
    });
    state.SetIterationTime(seconds);
  }
  if (s.buffer.LineLength(0) == 0 || s.buffer.LineChars(0)[0] == '"')
    state.SkipWithError("the quote was not taken out again");
  state.counters["quote_to_paint_ms"] = Median(quote) * 1e3;
  state.counters["jump_after_quote_ms"] = Median(firstJump) * 1e3;
  state.counters["second_jump_ms"] = Median(againJump) * 1e3;
  state.counters["jump_after_removal_ms"] = Median(secondJump) * 1e3;
}
BENCHMARK(BM_QuoteAtTopThenJumps)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

// The 48 MB source shown in paneCount views (range(0): 1, or 4 as the window, two New Windows
// and a split pane give), each showing WINDOW_LINES rows from the middle of the text. A double
// quote goes in at the start of line 1, as another view's typing puts it there, up to the end
// of every view's paint; it is taken out again unmeasured. The quote flips the strings below
// it, so each view needs the cookies from line 1 down to its rows again. extra_view_MiB: how
// much the peak resident size grew for each view beyond the first (its opening, its walk for
// the longest line and its first paint).
void BM_QuoteOnLine1InPanes(benchmark::State& state) {
  Setup& s = TheLibrarySetup();
  if (s.buffer.LineCount() < 2) {
    state.SkipWithError("no source text (the library is in /usr/share/inform6/library)");
    return;
  }
  const int top = s.buffer.LineCount() / 2;
  std::vector<CMeasuredView*> panes{s.view.get()};
  std::vector<std::unique_ptr<CMeasuredView>> more;
  s.view->ScrollToTopLine(top);
  Paint(*s.view);
  QApplication::processEvents();
  ResetPeakResident();
  const double peakBefore = StatusBytes("VmHWM");
  for (int i = 1; i < state.range(0); ++i) {
    more.push_back(std::make_unique<CMeasuredView>());
    CMeasuredView& view = *more.back();
    view.SetDocumentBuffer(&s.buffer);
    view.OnInitialUpdate();
    view.resize(s.view->size());
    view.show();
    QApplication::processEvents();
    view.GetLongestLine();
    view.ScrollToTopLine(top);
    Paint(view);
    panes.push_back(&view);
  }
  const double extraBytes = state.range(0) > 1 ? (StatusBytes("VmHWM") - peakBefore) / static_cast<double>(state.range(0) - 1) : 0;
  std::vector<double> samples;
  for (auto _ : state) {
    int endLine = 0, endChar = 0;
    const auto start = Clock::now();
    s.buffer.InsertText(nullptr, 0, 0, "\"", endLine, endChar, UndoAction::Typing);
    for (CMeasuredView* pane : panes) PaintPending(*pane);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
    s.buffer.DeleteText(nullptr, 0, 0, 0, 1, UndoAction::Delete);
    for (CMeasuredView* pane : panes) PaintPending(*pane);
    QApplication::processEvents();
  }
  if (s.view->GetTopLine() != top) state.SkipWithError("a view left its rows");
  state.counters["median_ms"] = Median(samples) * 1e3;
  state.counters["extra_view_MiB"] = extraBytes / (1024.0 * 1024.0);
}
BENCHMARK(BM_QuoteOnLine1InPanes)->Arg(1)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int status = RunBenchmarks(argc, argv);
  theSetup.reset();
  theLibrarySetup.reset();
  return status;
}
