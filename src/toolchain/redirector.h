#pragma once
#include <functional>

#include <QByteArray>
#include <QString>

#include "lifetime_guard.h"

class COutputSink;

// Texts the redirector writes into its output, exactly as users know them.
inline constexpr const char* TEXT_ERROR_CREATING_PIPE = "Error creating pipe";
inline constexpr const char* TEXT_ERROR_CREATING_PROCESS = "Error creating process";
inline constexpr const char* TEXT_PEEK_FAILED = "PeekNamedPipe fialed";
inline constexpr const char* TEXT_READ_FAILED = "ReadFile fialed";
inline constexpr const char* TEXT_CANCELLED =
    "\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n";
inline constexpr const char* TEXT_ERROR_TERMINATING = "Error terminating process.";
inline constexpr const char* TEXT_NO_SYSTEM_TEXT = "No status because FormatMessage failed.\r\n";
inline constexpr const char* TEXT_COMPILATION_COMPLETE = "\nCompilation Complete.";
// The pause prompt of some compilers; it and whatever follows in the same chunk are dropped.
inline constexpr const char* TEXT_PRESS_ANY_KEY = "Press any key to continue . . .";

// Runs one command line as a child process with standard output and standard error joined,
// copies what it prints into an output sink, and keeps the user interface alive while it
// waits. No shell is involved: the line is split into program and arguments with
// QProcess::splitCommand, and every other character reaches the child as it stands.
//
// Run blocks until the child has ended, but pumps pending events after every chunk of output
// and before every pause, so any command can run inside it: another compile (it nests and
// ends first), Cancel, or the destruction of this redirector. A redirector destroyed while
// it runs ends its child and returns without touching itself or the sink again; a second
// Run of the same redirector inside the first one does nothing. The sink is not owned and
// must outlive the redirector or the redirector must be destroyed first.
//
// When the child ends, or is ended (Cancel, destruction), everything it started is ended too
// (CChildProcessTree), so helpers cannot keep the build, or its output pipe, alive.
class CRedirector {
public:
  using PumpFunction = std::function<void()>;

  // workingDirectory: the child's current directory; a null string inherits the editor's.
  CRedirector(const QString& commandLine, COutputSink* output,
              const QString& workingDirectory = QString());
  virtual ~CRedirector();

  CRedirector(const CRedirector&) = delete;
  CRedirector& operator=(const CRedirector&) = delete;

  // Runs the child to its end. Every outcome is reported as text in the sink; a run whose
  // child started always ends with "\nCompilation Complete.".
  virtual void Run();
  // Asks a running Run to end its child; honoured at the next pump, so it may be called
  // from anything the pump dispatches (a Stop Build command, a signal's note, a timer).
  virtual void Cancel();

  // Cancel for every redirector whose Run is in progress (nested ones included), and whether
  // there is one: Stop Build does not need to know which compile is running.
  static void CancelRunning();
  static bool AnyRunning();
  // Whether a running redirector has not been asked to cancel yet: what Stop Build, or a
  // question before closing, can still do.
  static bool AnyToCancel();

  // Replaces the event pump (default: QCoreApplication::processEvents when an application
  // exists, otherwise nothing).
  void SetPumpMessages(PumpFunction pump);
  // Milliseconds to wait between two polls that found nothing to read (default 100).
  void SetPollInterval(unsigned milliseconds) { m_pollInterval = milliseconds; }

  bool IsRunning() const { return m_running; }
  // After Run: whether the child ran to its own end, and its exit status then.
  bool ChildFinished() const { return m_childFinished; }
  int ChildExitCode() const { return m_childExitCode; }

  // The rewriting every chunk of output gets: backspaces become blanks, and the pause
  // prompt with everything after it in the chunk is dropped.
  static void FilterChunk(QByteArray& chunk);
  // message + "\r\n" + system text + "\r\n", or the stand-in when there is no system text.
  static QByteArray FormatFailure(const char* message, const QString& systemText);

protected:
  void AppendText(const QByteArray& text);
  void ReportLastError(const char* message, const QString& systemText);
  void PumpMessages();

private:
  bool m_cancelRequested = false;
  unsigned m_pollInterval = 100;
  COutputSink* m_output;
  QString m_commandLine;
  QString m_workingDirectory;
  PumpFunction m_pump;
  bool m_running = false;
  CLifetimeGuard m_lifetime; // tells a running Run about our destruction
  bool m_childFinished = false;
  int m_childExitCode = -1;
};
