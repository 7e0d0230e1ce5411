#include "redirector.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include "busy_guard.h"
#include "child_process_tree.h"
#include "output_sink.h"

namespace {

// At most this much is handed on per read, as the compiler's output always was.
constexpr qint64 READ_CHUNK = 8191;
// How long an ended-by-us child gets to disappear before we call the end a failure.
constexpr int TERMINATE_WAIT_MS = 10000;

// The system's own text for the last errno.
QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// QProcess creates its pipes inside start() and only reports a start failure; asking the
// system for a pipe first tells the user when it is the pipe that cannot be had.
bool CanCreatePipe(int& error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = errno;
    return false;
  }
  ::close(fds[0]);
  ::close(fds[1]);
  return true;
}

// QProcess says "execvp: No such file or directory" (or "execve: ...") for a program that cannot be started,
// which leaves the user guessing which path is wrong: name it instead.
QString StartFailureText(const QString& program, const QString& errorString) {
  for (const QLatin1String prefix : {QLatin1String("execvp: "), QLatin1String("execve: ")}) {
    if (errorString.startsWith(prefix))
      return program + QLatin1String(": ") + errorString.mid(prefix.size());
  }
  return errorString;
}

// Every redirector whose Run is in progress, innermost last (Run nests inside its own pump).
std::vector<CRedirector*>& RunningRedirectors() {
  static std::vector<CRedirector*> running;
  return running;
}

void ForgetRunning(CRedirector* redirector) {
  auto& running = RunningRedirectors();
  running.erase(std::remove(running.begin(), running.end(), redirector), running.end());
}

// Ends the child with everything it started (CChildProcessTree) and waits for the child;
// true when it is gone.
bool EndChild(QProcess& process, CChildProcessTree& tree) {
  tree.EndAll();
  if (process.state() == QProcess::NotRunning) return true;
  process.kill(); // it left its group and cleared its environment
  return process.waitForFinished(TERMINATE_WAIT_MS) || process.state() == QProcess::NotRunning;
}

} // namespace

CRedirector::CRedirector(const QString& commandLine, COutputSink* output,
                         const QString& workingDirectory)
    : m_output(output), m_commandLine(commandLine), m_workingDirectory(workingDirectory) {}

CRedirector::~CRedirector() { ForgetRunning(this); }

void CRedirector::SetPumpMessages(PumpFunction pump) { m_pump = std::move(pump); }

void CRedirector::Cancel() { m_cancelRequested = true; }

void CRedirector::CancelRunning() {
  for (CRedirector* redirector : RunningRedirectors()) redirector->Cancel();
}

bool CRedirector::AnyRunning() { return !RunningRedirectors().empty(); }

bool CRedirector::AnyToCancel() {
  const auto& running = RunningRedirectors();
  return std::any_of(running.begin(), running.end(),
                     [](const CRedirector* redirector) { return !redirector->m_cancelRequested; });
}

void CRedirector::FilterChunk(QByteArray& chunk) {
  chunk.replace('\b', ' ');
  const qsizetype pause = chunk.indexOf(TEXT_PRESS_ANY_KEY);
  if (pause >= 0) chunk.truncate(pause);
}

QByteArray CRedirector::FormatFailure(const char* message, const QString& systemText) {
  QByteArray text(message);
  text += "\r\n";
  if (systemText.isEmpty())
    text += TEXT_NO_SYSTEM_TEXT;
  else
    text += systemText.toLocal8Bit() + "\r\n";
  return text;
}

void CRedirector::AppendText(const QByteArray& text) {
  if (m_output) m_output->AppendText(text);
}

void CRedirector::ReportLastError(const char* message, const QString& systemText) {
  AppendText(FormatFailure(message, systemText));
}

void CRedirector::PumpMessages() {
  if (m_pump) {
    // Called through a copy: the pump may destroy us, and with us m_pump, while it runs.
    const PumpFunction pump = m_pump;
    pump();
  } else if (QCoreApplication::instance()) {
    QCoreApplication::processEvents();
  }
}

void CRedirector::Run() {
  if (m_running) return; // already running further up the stack; that run goes on

  // Every call below that leaves this class (sink, pump) may destroy us; after each one we
  // look at the watch on our own stack before touching a member again.
  CBusyGuard running(m_running, m_lifetime);
  m_childFinished = false;
  m_childExitCode = -1;

  // A failure before the child runs is reported and ends the run.
  auto failToStart = [this](const char* message, const QString& systemText) {
    ReportLastError(message, systemText);
  };

  int pipeError = 0;
  if (!CanCreatePipe(pipeError)) {
    failToStart(TEXT_ERROR_CREATING_PIPE, SystemErrorText(pipeError));
    return;
  }

  QStringList arguments = QProcess::splitCommand(m_commandLine);
  if (arguments.isEmpty()) {
    failToStart(TEXT_ERROR_CREATING_PROCESS, QStringLiteral("The command line is empty."));
    return;
  }
  const QString program = arguments.takeFirst();

  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  if (!m_workingDirectory.isNull()) process.setWorkingDirectory(m_workingDirectory);
  CChildProcessTree tree;
  tree.Prepare(process);
  bool readFailed = false;
  QObject::connect(&process, &QProcess::errorOccurred, [&readFailed](QProcess::ProcessError e) {
    if (e == QProcess::ReadError) readFailed = true;
  });

  process.start(program, arguments, QIODevice::ReadOnly);
  if (!process.waitForStarted(-1)) {
    failToStart(TEXT_ERROR_CREATING_PROCESS, StartFailureText(program, process.errorString()));
    return;
  }
  tree.Started(static_cast<pid_t>(process.processId()));
  RunningRedirectors().push_back(this);

  auto abandoned = [&running, &process, &tree]() {
    if (!running.OwnerGone()) return false;
    EndChild(process, tree); // nobody is left to read it
    return true;
  };

  QByteArray chunk;
  for (;;) {
    // Poll: take what the pipe holds now into the process's buffer, without waiting.
    if (process.bytesAvailable() == 0 && process.state() != QProcess::NotRunning)
      process.waitForReadyRead(0);
    if (readFailed) {
      ReportLastError(TEXT_PEEK_FAILED, process.errorString());
      if (abandoned()) return;
      break;
    }

    if (process.bytesAvailable() > 0) {
      // Everything buffered goes on before events are pumped again: every pump lets the
      // process read the pipe once more, so one chunk per pump would let a compiler that
      // prints without end fill memory with what it printed.
      bool failed = false;
      do {
        chunk.resize(READ_CHUNK);
        const qint64 n = process.read(chunk.data(), READ_CHUNK);
        if (n < 0) {
          ReportLastError(TEXT_READ_FAILED, process.errorString());
          failed = true;
          break;
        }
        chunk.resize(n);
        FilterChunk(chunk);
        AppendText(chunk);
        if (abandoned()) return;
      } while (process.bytesAvailable() > 0 && !m_cancelRequested);
      if (abandoned()) return;
      if (failed) break;
      PumpMessages();
      if (abandoned()) return;
      // A child that never stops printing must still be cancellable, so the request is
      // honoured after a chunk too, not only when the pipe runs dry.
      if (!m_cancelRequested) continue; // drain without pausing while output is waiting
    } else {
      if (process.state() == QProcess::NotRunning) {
        m_childFinished = process.exitStatus() == QProcess::NormalExit;
        m_childExitCode = process.exitCode();
        break;
      }
      PumpMessages();
      if (abandoned()) return;
    }

    if (m_cancelRequested) {
      if (EndChild(process, tree))
        AppendText(TEXT_CANCELLED);
      else
        ReportLastError(TEXT_ERROR_TERMINATING, process.errorString());
      if (abandoned()) return;
      break;
    }
    // Pause until output arrives, the child ends, or the poll interval is over. A child that
    // has closed its output makes waitForReadyRead return at once; then wait for its end
    // instead, so the loop does not spin.
    const QDeadlineTimer pause(m_pollInterval);
    if (!process.waitForReadyRead(static_cast<int>(pause.remainingTime())) &&
        process.state() != QProcess::NotRunning && !pause.hasExpired())
      process.waitForFinished(static_cast<int>(pause.remainingTime()));
  }

  // Left early after a pipe failure, the child would otherwise linger; and a build is over
  // when its compiler is: helpers it leaves behind are ended too.
  EndChild(process, tree);
  ForgetRunning(this);
  AppendText(TEXT_COMPILATION_COMPLETE);
  if (running.OwnerGone()) return;
  m_cancelRequested = false; // a cancel ends one run, not the next
}
