// Completion in the IDE on the 2 MB generated source (i7-min-6M62-z.inf, 55,840 lines): from
// Complete Word to the list shown, for an attribute after "has " and for every name the index
// holds; with the index unchanged since the names were gathered, right after an edit (shown
// from the names as they were), and after an edit up to the names gathered again on idle.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

#include "completion_controller.h"
#include "completion_popup.h"
#include "doc_manager.h"
#include "language_service.h"
#include "mdi_child_base.h"
#include "message_box.h"
#include "profile_store.h"
#include "run_benchmarks.h"
#include "text_buffer.h"
#include "torvane_app.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

struct CSetup {
  QTemporaryDir settings;
  std::unique_ptr<CTorvaneApp> app;
  CTorvaneView* view = nullptr;
  int line = 0;
};
std::unique_ptr<CSetup> theSetup;

CSetup* Setup() {
  if (theSetup) return theSetup.get();
  auto setup = std::make_unique<CSetup>();
  CProfileStore::SetUserConfigDirectory(setup->settings.filePath(QStringLiteral("config")));
  SetTorvaneMessageBoxHandler([](const QString&, unsigned) { return IDOK; });
  setup->app = std::make_unique<CTorvaneApp>();
  if (!setup->app->InitInstance({QStringLiteral(TORVANE_REALWORLD "/i7-min-6M62-z.inf")})) return nullptr;
  QApplication::processEvents();
  setup->app->LanguageService()->IndexNow();
  setup->view = static_cast<CTorvaneView*>(setup->app->DocManager()->ActiveFrame()->GetActiveView());
  // A line of our own at the end: "if (x has " or "x = ".
  CTextBuffer& buffer = setup->view->GetDocument()->Buffer();
  setup->line = buffer.LineCount();
  int endLine = 0, endChar = 0;
  buffer.InsertText(nullptr, setup->line - 1, buffer.LineLength(setup->line - 1), "\r\n", endLine, endChar);
  theSetup = std::move(setup);
  return theSetup.get();
}

// range(0): 0 attributes after "has ", 1 every name; range(1): 0 no edit, 1 after an edit,
// 2 after an edit and up to the refresh that follows the show.
void BM_CompleteWordShown(benchmark::State& state) {
  CSetup* s = Setup();
  if (!s) return state.SkipWithError("the 2 MB source cannot be opened");
  CTextBuffer& buffer = s->view->GetDocument()->Buffer();
  const std::string text = state.range(0) == 0 ? "[ Q x; if (x has " : "[ Q x; x = ";
  buffer.DeleteText(nullptr, s->line, 0, s->line, buffer.LineLength(s->line));
  int endLine = 0, endChar = 0;
  buffer.InsertText(nullptr, s->line, 0, text, endLine, endChar);
  CCompletionController& completion = *s->app->Completion();
  std::size_t shown = 0;
  s->view->MoveCaretTo(TextPosition(static_cast<int>(text.size()), s->line));
  if (buffer.LineCount() <= s->line || !completion.Open(s->view, false)) return state.SkipWithError("no list opens");
  for (auto _ : state) {
    if (state.range(1) != 0) {
      state.PauseTiming();
      buffer.InsertText(nullptr, s->line, 0, " ", endLine, endChar);
      buffer.DeleteText(nullptr, s->line, 0, s->line, 1);
      s->view->MoveCaretTo(TextPosition(static_cast<int>(text.size()), s->line));
      state.ResumeTiming();
    } else {
      s->view->MoveCaretTo(TextPosition(static_cast<int>(text.size()), s->line));
    }
    completion.Open(s->view, false);
    if (state.range(1) == 2) QApplication::processEvents();
    shown = static_cast<std::size_t>(completion.Popup()->Count());
    completion.Close();
  }
  state.counters["names"] = static_cast<double>(shown);
}
BENCHMARK(BM_CompleteWordShown)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int status = RunBenchmarks(argc, argv);
  theSetup.reset();
  return status;
}
