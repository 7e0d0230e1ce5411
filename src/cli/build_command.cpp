// torvane-cli build FILE: the editor's Compile without the editor — the same settings, the same
// command line, the same redirector, with the output on standard output.
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>

#include <sys/prctl.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include "child_process_tree.h"
#include "cli_command.h"
#include "cli_project.h"
#include "compile_command.h"
#include "file_name.h"
#include "output_sink.h"
#include "profile_store.h"
#include "redirector.h"

namespace {

const char* const BUILD_USAGE =
    "build [--timeout SECONDS] FILE  compile FILE (.i6proj or main file) as the editor does";

// The exit status of a build stopped by --timeout, as timeout(1) has it.
constexpr int EXIT_TIMED_OUT = 124;

// Set by the handler of a signal that ends us; the redirector's pump looks at it.
volatile std::sig_atomic_t g_stopSignal = 0;

// Every signal whose default action ends the program and that can be caught. SIGKILL
// cannot: then the compiler still dies (it gets SIGKILL when we die), but what it started
// lives on. SIGPIPE is ignored instead (below).
constexpr int STOP_SIGNALS[] = {SIGHUP,  SIGINT,    SIGQUIT,   SIGTERM, SIGUSR1, SIGUSR2,
                                SIGALRM, SIGVTALRM, SIGPROF,   SIGXCPU, SIGXFSZ, SIGIO,
                                SIGPWR,  SIGSTKFLT, SIGTRAP,   SIGSYS};
// Faults and abort: the compile is ended at once, then the signal takes its course.
constexpr int FAULT_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

struct sigaction g_previousFault[NSIG];

// The pump sees the note and cancels the compile, which ends the compiler's whole tree (a
// probe of the compiler running then is bounded by its own time limit).
extern "C" void NoteStopSignal(int signal) { g_stopSignal = signal; }

// We are going down: the compiler's group is ended here, as nothing after this may run.
extern "C" void EndCompileOnFault(int signal) {
  CChildProcessTree::KillRunningGroups();
  sigaction(signal, &g_previousFault[signal], nullptr);
  raise(signal);
}

// The compiler runs in a process group of its own, so a terminal's Ctrl+C or a hang-up
// reaches only us: we end the compile (the whole tree) and then leave as the signal asks.
// We also adopt what the compiler's helpers leave orphaned, to end it at the end.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : STOP_SIGNALS) sigaction(signal, &action, nullptr);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);
  action.sa_handler = EndCompileOnFault;
  for (const int signal : FAULT_SIGNALS) sigaction(signal, &action, &g_previousFault[signal]);
  // A closed standard output is then a write error we report, not a silent death that
  // leaves the compiler running.
  std::signal(SIGPIPE, SIG_IGN);
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

// Standard output; the first failing write is kept and nothing more is written.
class CStandardOutputSink : public COutputSink {
public:
  void AppendText(const QByteArray& text) override { Write(text.constData(), text.size()); }
  void Write(const char* text, qsizetype length) {
    if (m_error) return;
    // A long compile shows its progress as it comes, hence the flush.
    if (std::fwrite(text, 1, static_cast<size_t>(length), stdout) != static_cast<size_t>(length) ||
        std::fflush(stdout) != 0)
      m_error = errno != 0 ? errno : EIO;
  }
  int Error() const { return m_error; }

private:
  int m_error = 0;
};

int Usage() {
  std::fprintf(stderr, "usage: torvane-cli %s\n", BUILD_USAGE);
  return 2;
}

// SECONDS: a positive number, fractions allowed.
std::optional<qint64> ParseTimeoutMs(const char* text) {
  bool ok = false;
  const double seconds = QString::fromLocal8Bit(text).toDouble(&ok);
  if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 366.0 * 24 * 3600)
    return std::nullopt;
  return static_cast<qint64>(std::ceil(seconds * 1000));
}

int RunBuildCommand(int argc, char** argv) {
  std::optional<qint64> timeoutMs;
  int fileArg = 1;
  if (argc >= 2 && std::strcmp(argv[1], "--timeout") == 0) {
    if (argc < 3) return Usage();
    timeoutMs = ParseTimeoutMs(argv[2]);
    if (!timeoutMs) {
      std::fprintf(stderr, "torvane-cli build: '%s' is not a number of seconds above 0\n", argv[2]);
      return 2;
    }
    fileArg = 3;
  }
  if (argc != fileArg + 1) return Usage();

  // The redirector pumps events between polls; give it an application to pump.
  int appArgc = 1;
  char* appArgv[] = {argv[0], nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) app.emplace(appArgc, appArgv);

  const char* file = argv[fileArg];
  // By the name's bytes, as given: a name need not be valid UTF-8.
  struct stat st;
  const bool found = stat(file, &st) == 0;
  if (!found || !S_ISREG(st.st_mode)) {
    std::fprintf(stderr, "torvane-cli build: cannot read '%s': %s\n", file,
                 found ? "not a regular file" : std::strerror(errno));
    return 2;
  }
  // The editor compiles a document by its full path; so do we. A project builds its main file.
  CliBuildTarget target;
  if (!LoadCliBuildTarget("build", file, target)) return 2;
  const QString sourcePath = target.source;
  if (HoldsKeptBytes(sourcePath)) {
    // The compiler is started with its arguments in UTF-8; this name would reach it garbled.
    std::fprintf(stderr, "torvane-cli build: cannot compile '%s': the compiler is given file "
                         "names in UTF-8, and this name is not valid UTF-8; rename the file\n",
                 QFile::encodeName(sourcePath).constData());
    return 2;
  }

  CatchStopSignals();
  // The time limit is the compiler's: it starts at the first pump, once the compiler runs.
  std::optional<QDeadlineTimer> deadline;
  bool timedOut = false;
  auto pump = [&deadline, &timedOut, timeoutMs] {
    if (!deadline)
      deadline = timeoutMs ? QDeadlineTimer(*timeoutMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    if (!timedOut && deadline->hasExpired()) timedOut = true;
    if (g_stopSignal != 0 || timedOut) CRedirector::CancelRunning();
    QCoreApplication::processEvents();
  };

  const CProfileStore store;
  CStandardOutputSink sink;
  CompileRequest request;
  request.project = target.project ? &*target.project : nullptr;
  // No one to ask: the warning is printed and the build goes on.
  request.confirm = [](const QString& warning) {
    std::fprintf(stderr, "torvane-cli build: warning: %s\n",
                 warning.left(warning.indexOf(QLatin1String("\n\n"))).toLocal8Bit().constData());
    return true;
  };
  const CompileRun run = RunCompile(sourcePath, store, &sink, {}, pump, request);
  // Whatever the compiler's helpers left to us (they were orphaned and came to us as their
  // subreaper) has no business outliving the build.
  EndAdoptedChildren();
  if (!run.refusal.isEmpty()) {
    std::fprintf(stderr, "torvane-cli build: %s\n", run.refusal.toLocal8Bit().constData());
    return 2;
  }
  if (!run.compilerSet) {
    const QByteArray text = QByteArray(TEXT_NO_COMPILER_PATH) + '\n';
    sink.Write(text.constData(), text.size());
  } else {
    sink.Write("\n", 1);
  }
  if (g_stopSignal != 0) return 128 + g_stopSignal;
  if (sink.Error() != 0) {
    std::fprintf(stderr, "torvane-cli build: cannot write the output: %s\n",
                 std::strerror(sink.Error()));
    return 1;
  }
  if (timedOut && !run.childFinished) {
    std::fprintf(stderr, "torvane-cli build: the compiler was stopped after %s seconds\n",
                 argv[2]);
    return EXIT_TIMED_OUT;
  }
  if (!run.compilerSet) return 1;
  // The compiler's own verdict becomes ours, so scripts can tell a failed build.
  return run.childFinished ? run.exitCode : 1;
}

const CCliCommandRegistrar registerBuild("build", BUILD_USAGE, RunBuildCommand);

} // namespace
