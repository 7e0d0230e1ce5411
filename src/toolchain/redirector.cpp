#include "redirector.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

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

// Ends the child and waits for it; true when it is gone.
bool EndChild(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return true;
  process.kill();
  return process.state() == QProcess::NotRunning || process.waitForFinished(TERMINATE_WAIT_MS);
}

} // namespace

struct CRedirector::RunState {
  bool destroyed = false;
};

CRedirector::CRedirector(const QString& commandLine, COutputSink* output,
                         const QString& workingDirectory)
    : m_output(output), m_commandLine(commandLine), m_workingDirectory(workingDirectory) {}

CRedirector::~CRedirector() {
  // Run is further up the stack (we are being destroyed from inside its pump): tell it.
  if (m_runState) m_runState->destroyed = true;
}

void CRedirector::SetPumpMessages(PumpFunction pump) { m_pump = std::move(pump); }

void CRedirector::Cancel() { m_cancelRequested = true; }

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
  if (m_runState) return; // already running further up the stack; that run goes on

  RunState state;
  m_runState = &state;
  m_childFinished = false;
  m_childExitCode = -1;

  // A failure before the child runs is reported and ends the run.
  auto failToStart = [this, &state](const char* message, const QString& systemText) {
    ReportLastError(message, systemText);
    if (!state.destroyed) m_runState = nullptr;
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
  bool readFailed = false;
  QObject::connect(&process, &QProcess::errorOccurred, [&readFailed](QProcess::ProcessError e) {
    if (e == QProcess::ReadError) readFailed = true;
  });

  process.start(program, arguments, QIODevice::ReadOnly);
  if (!process.waitForStarted(-1)) {
    failToStart(TEXT_ERROR_CREATING_PROCESS, process.errorString());
    return;
  }

  // Every call below that leaves this class (sink, pump) may destroy us; after each one we
  // look at the flag on our own stack before touching a member again.
  auto abandoned = [&state, &process]() {
    if (!state.destroyed) return false;
    EndChild(process); // nobody is left to read it
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
      chunk.resize(READ_CHUNK);
      const qint64 n = process.read(chunk.data(), READ_CHUNK);
      if (n < 0) {
        ReportLastError(TEXT_READ_FAILED, process.errorString());
        if (abandoned()) return;
        break;
      }
      chunk.resize(n);
      FilterChunk(chunk);
      AppendText(chunk);
      if (abandoned()) return;
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
      if (EndChild(process))
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

  EndChild(process); // left early after a pipe failure: the child would otherwise linger
  AppendText(TEXT_COMPILATION_COMPLETE);
  if (state.destroyed) return;
  m_runState = nullptr;
  m_cancelRequested = false; // a cancel ends one run, not the next
}
