// Find and replace on a 48 MB source (the Inform library's seven regular files, 100 times):
// F3 for a word that is not in it, from the key to the failure message, against a plain
// memmem over the same bytes; Replace All of a word with about 100,000 occurrences through
// the Replace dialog, and the one Undo that takes it back; Replace All of 100,000 matches
// that stand in one line.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "command_ids.h"
#include "edit_view.h"
#include "message_box.h"
#include "profile_store.h"
#include "replace_dialog.h"
#include "run_benchmarks.h"
#include "text_buffer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int COPIES = 100;
const char* const LIBRARY_FILES[] = {"english.h", "grammar.h", "infix.h", "linklpa.h",
                                     "parser.h",  "verblib.h", "version.h"};
constexpr const char* MISSING_WORD = "zqxjvw";
// "obj" (any case) occurs 1,029 times in one copy of the library.
constexpr const char* FREQUENT_WORD = "obj";

// An editing view whose remembered search the benchmark sets, as a closed Find dialog would.
class CBenchView : public CEditView {
public:
  void Remember(const std::string& text, uint32_t flags) {
    m_searchRemembered = true;
    m_lastSearchText = text;
    m_lastSearchFlags = flags;
  }
};

struct Setup {
  QTemporaryDir dir;
  std::string source;
  CTextBuffer buffer;
  std::unique_ptr<CBenchView> view;
  Clock::time_point messageTime;
  QString message;

  Setup() {
    CProfileStore::SetUserConfigDirectory(dir.path());
    std::string library;
    for (const char* name : LIBRARY_FILES) {
      QFile file(QStringLiteral(TORVANE_INFORM_LIBRARY "/%1").arg(QLatin1String(name)));
      if (!file.open(QIODevice::ReadOnly)) std::fprintf(stderr, "bench_find: no %s\n", name);
      library += file.readAll().toStdString();
    }
    for (int i = 0; i < COPIES; ++i) source += library;
    const QString path = dir.filePath(QStringLiteral("library100.inf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(source.data(), static_cast<qint64>(source.size())) !=
            static_cast<qint64>(source.size()))
      std::fprintf(stderr, "bench_find: cannot write the source\n");
    out.close();
    if (!buffer.Load(path.toStdString())) std::fprintf(stderr, "bench_find: cannot load\n");
    view = std::make_unique<CBenchView>();
    view->AttachBuffer(&buffer);
    view->resize(900, 700);
    view->show();
    QApplication::processEvents();
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      messageTime = Clock::now();
      message = text;
      return IDOK;
    });
  }
};

std::unique_ptr<Setup> theSetup;
Setup& TheSetup() {
  if (!theSetup) theSetup = std::make_unique<Setup>();
  return *theSetup;
}

// F3 with the caret at the start of the text, up to the failure message; the argument is
// the remembered flags (0: any case, 1: match case).
void BM_F3WordNotInText(benchmark::State& state) {
  Setup& s = TheSetup();
  s.view->Remember(MISSING_WORD, static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {
    s.view->MoveCaretTo(TextPosition(0, 0));
    s.messageTime = {};
    const auto start = Clock::now();
    s.view->OnCmdMsg(Cmd::EDIT_REPEAT);
    if (s.messageTime == Clock::time_point{}) state.SkipWithError("no failure message");
    state.SetIterationTime(std::chrono::duration<double>(s.messageTime - start).count());
  }
  state.counters["MB"] = static_cast<double>(s.source.size()) / 1e6;
  state.counters["lines"] = s.buffer.LineCount();
}
BENCHMARK(BM_F3WordNotInText)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The baseline: memmem over the source's bytes in one piece.
void BM_MemmemBaseline(benchmark::State& state) {
  Setup& s = TheSetup();
  for (auto _ : state) {
    const void* hit = memmem(s.source.data(), s.source.size(), MISSING_WORD,
                             std::strlen(MISSING_WORD));
    benchmark::DoNotOptimize(hit);
  }
}
BENCHMARK(BM_MemmemBaseline)->Unit(benchmark::kMillisecond);

// Runs act on the Replace dialog once the Replace command has opened it.
void WithReplaceDialog(CEditView& view, const std::function<void(CReplaceDialog&)>& act) {
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<CReplaceDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll.stop();
    act(*dialog);
    dialog->reject();
  });
  poll.start();
  view.OnCmdMsg(Cmd::EDIT_REPLACE);
}

// Replace All of FREQUENT_WORD by a longer word, from the click up to the failure message
// that ends it; then one Undo (its own figure).
void BM_ReplaceAllThenUndo(benchmark::State& state) {
  Setup& s = TheSetup();
  double undoSeconds = 0;
  int replaced = 0;
  for (auto _ : state) {
    s.view->MoveCaretTo(TextPosition(0, 0));
    double seconds = 0;
    WithReplaceDialog(*s.view, [&](CReplaceDialog& dialog) {
      static_cast<QLineEdit*>(dialog.GetDlgItem(CReplaceDialog::IDC_FIND_WHAT))
          ->setText(QString::fromLatin1(FREQUENT_WORD));
      static_cast<QLineEdit*>(dialog.GetDlgItem(CReplaceDialog::IDC_REPLACE_WITH))
          ->setText(QStringLiteral("thing"));
      auto* button = static_cast<QPushButton*>(dialog.GetDlgItem(CReplaceDialog::IDC_REPLACE_ALL));
      const auto start = Clock::now();
      button->click();
      seconds = std::chrono::duration<double>(s.messageTime - start).count();
    });
    replaced = s.message.split(' ').value(0).toInt();
    state.SetIterationTime(seconds);
    const auto undoStart = Clock::now();
    s.view->OnCmdMsg(Cmd::EDIT_UNDO);
    undoSeconds = std::chrono::duration<double>(Clock::now() - undoStart).count();
    if (s.buffer.CanUndo()) state.SkipWithError("one Undo did not take back the Replace All");
  }
  state.counters["replaced"] = replaced;
  state.counters["undo_ms"] = undoSeconds * 1e3;
}
BENCHMARK(BM_ReplaceAllThenUndo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Replace All in a text of one line holding range(0) times "ab ", "ab" by "xyz", from the
// click up to the message that ends it; the long line is made anew each time. Twice the
// matches should take twice the time.
void BM_ReplaceAllOneLongLine(benchmark::State& state) {
  const int matches = static_cast<int>(state.range(0));
  Setup& s = TheSetup();
  CTextBuffer buffer;
  CEditView view;
  view.resize(900, 700);
  view.show();
  std::string line;
  for (int i = 0; i < matches; ++i) line += "ab ";
  for (auto _ : state) {
    buffer.CreateEmpty();
    int endLine = 0, endChar = 0;
    buffer.InsertText(nullptr, 0, 0, line, endLine, endChar);
    view.AttachBuffer(&buffer);
    QApplication::processEvents();
    double seconds = 0;
    WithReplaceDialog(view, [&](CReplaceDialog& dialog) {
      static_cast<QLineEdit*>(dialog.GetDlgItem(CReplaceDialog::IDC_FIND_WHAT))->setText("ab");
      static_cast<QLineEdit*>(dialog.GetDlgItem(CReplaceDialog::IDC_REPLACE_WITH))->setText("xyz");
      const auto start = Clock::now();
      static_cast<QPushButton*>(dialog.GetDlgItem(CReplaceDialog::IDC_REPLACE_ALL))->click();
      seconds = std::chrono::duration<double>(s.messageTime - start).count();
    });
    state.SetIterationTime(seconds);
    if (buffer.LineLength(0) != 4 * matches) state.SkipWithError("not all replaced");
  }
  state.counters["line_MB"] = static_cast<double>(line.size()) / 1e6;
}
BENCHMARK(BM_ReplaceAllOneLongLine)->Arg(100000)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int status = RunBenchmarks(argc, argv);
  theSetup.reset();
  return status;
}
