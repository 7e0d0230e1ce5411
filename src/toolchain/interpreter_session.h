#pragma once
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>

#include "transcript.h"

class CChildProcessTree;
class QProcess;
class CProfileStore;

// How a story is played: the line-mode interpreter and what makes its output the same on
// every run (the random seed and the screen width).
struct PlayOptions {
  QString interpreter = QStringLiteral("/usr/games/dfrotz");
  int seed = 1;
  int width = 80;
  int timeLimitSeconds = 30; // a walkthrough's replay; the play pane has none
};
PlayOptions ReadPlayOptions(const CProfileStore& store);

// dfrotz with MORE prompts off, no start-up lines, line types shown (CLineTypedReader), a
// fixed width and seed, and file access (save, restore, script) kept to the story's folder.
QStringList InterpreterArguments(const QString& storyPath, const PlayOptions& options);

// Why a story cannot be played in the pane ("" when it can): only Z-code has a line-mode
// interpreter here; Debian's glulxe draws a terminal screen and cannot be read line by line.
QString UnplayableReason(const QString& storyPath);

// One run of the interpreter on a story, as a child process in a process group of its own.
// Output is read as soon as it comes (so the pipe never stalls the story and nothing piles
// up inside QProcess) and handed on in lines; the session keeps nothing of it, so what it
// costs is up to the listener. Stop, or the end of the session, ends the whole group.
class CInterpreterSession : public QObject {
  Q_OBJECT
public:
  explicit CInterpreterSession(QObject* parent = nullptr);
  ~CInterpreterSession() override;

  // Starts the interpreter; false with a message when it cannot start (Ended follows too).
  bool Start(const QString& storyPath, const PlayOptions& options);
  // One command: written with its line end. Commands sent before the story asks are read in
  // their turn.
  void Send(const std::string& command);
  // No more commands: the interpreter sees the end of its input.
  void CloseInput();
  // Ends the interpreter and everything it started; Ended follows.
  void Stop();

  bool IsRunning() const { return m_running; }
  const std::vector<std::string>& Commands() const { return m_commands; }
  std::string_view Pending() const { return m_reader.Pending(); }
  // Why it ended, for the user: "" after a normal exit with status 0.
  QString EndReason() const { return m_endReason; }
  bool Stopped() const { return m_stopped; }

signals:
  // Complete lines, in order; an input line's text is its prompt.
  void LinesRead(const std::vector<CLineTypedReader::Line>& lines);
  // The part line the story is writing (a prompt waiting for a command) changed.
  void PendingChanged();
  void Ended();

private:
  void ReadOutput();
  void Finish(const QString& reason);

  std::unique_ptr<QProcess> m_process;
  std::unique_ptr<CChildProcessTree> m_tree;
  CLineTypedReader m_reader;
  std::vector<std::string> m_commands;
  QString m_endReason;
  bool m_running = false;
  bool m_stopped = false;
};
