#pragma once
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>

#include "transcript.h"

class CChildProcessTree;
class CRemGlkReader;
class QProcess;
class CProfileStore;

// Where scripts/setup installs emglken (Node's npm prefix): TORVANE_EMGLKEN when set, else
// /usr/local/lib/torvane/emglken.
QString DefaultEmglkenHome();

// How a story is played: the line-mode interpreter and what makes its output the same on
// every run (the random seed and the screen width).
struct PlayOptions {
  // Empty: chosen by ChoosePlayEngine. Else a dfrotz-like program, played as dfrotz is.
  QString interpreter;
  QString emglken = DefaultEmglkenHome(); // emglken's npm prefix, or its package folder
  int seed = 1;
  int width = 80;
  int timeLimitSeconds = 30; // a walkthrough's replay; the play pane has none
};
PlayOptions ReadPlayOptions(const CProfileStore& store);

// The interpreter that plays: emglken in RemGlk mode (Bocfel for Z-code, Glulxe for Glulx,
// run by Node 20 or later) when it is installed and no interpreter is set; dfrotz otherwise.
struct PlayEngine {
  enum Kind { Dfrotz, Emglken };
  Kind kind = Dfrotz;
  QString program; // dfrotz, or Node
  QString emglken; // emglken's package folder
  QString why;     // why dfrotz plays though none was set (emglken cannot run); "" otherwise
  QString Name() const;
};
PlayEngine ChoosePlayEngine(const PlayOptions& options);

// dfrotz with MORE prompts off, no start-up lines, line types shown (CLineTypedReader), a
// fixed width and seed, and file access (save, restore, script) kept to the story's folder.
QStringList InterpreterArguments(const QString& storyPath, const PlayOptions& options);
// Node running our emglken runner (its source is built in): the engine for the story, the
// seed, the story. The runner fixes the random source and keeps files in the story's folder.
QStringList EmglkenArguments(const QString& storyPath, const PlayEngine& engine, const PlayOptions& options);

// Why a story cannot be played in the pane ("" when it can): Z-code plays in either
// interpreter; Glulx only in emglken, as Debian's glulxe draws a terminal screen and cannot be
// read line by line.
QString UnplayableReason(const QString& storyPath, const PlayOptions& options);
// The Glulx story built from source ("adv.inf" -> "adv.ulx"), when there is one: the Z-code
// search passes it by, and the user is told why it is not played rather than that none exists.
QString GlulxStoryOf(const QString& sourcePath);

// One run of the interpreter on a story, as a child process in a process group of its own.
// Output is read as soon as it comes (so the pipe never stalls the story and nothing piles
// up inside QProcess) and handed on in lines; the session keeps nothing of it, so what it
// costs is up to the listener. Stop, or the end of the session, ends the whole group.
// dfrotz reads commands from its input as it likes; emglken takes one event at a time, so
// commands wait here until the story asks, and a closed input ends the story when it asks
// again (as dfrotz ends at the end of its input).
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
  std::string_view Pending() const;
  // The part line as the end of the output would make it a line: what a replay that ended
  // here would have as its last line.
  std::vector<CLineTypedReader::Line> PendingAsLines() const;
  // Why it ended, for the user: "" after a normal exit with status 0.
  QString EndReason() const { return m_endReason; }
  bool Stopped() const { return m_stopped; }
  const PlayEngine& Engine() const { return m_engine; }
  // The story's status line ("" when it has none, and always under dfrotz, which drops it).
  QString StatusLine() const;

signals:
  // Complete lines, in order; an input line's text is its prompt.
  void LinesRead(const std::vector<CLineTypedReader::Line>& lines);
  // The part line the story is writing (a prompt waiting for a command) changed.
  void PendingChanged();
  void StatusChanged();
  void Ended();

private:
  void ReadOutput();
  // Answers the story's waiting request with the next command, when there is one.
  void AnswerRequests(std::vector<CLineTypedReader::Line>& lines);
  void Finish(const QString& reason);

  std::unique_ptr<QProcess> m_process;
  std::unique_ptr<CChildProcessTree> m_tree;
  static constexpr qint64 READ_SLICE = 64 * 1024;
  static constexpr qsizetype MAX_ERROR_BYTES = 4096;
  CLineTypedReader m_reader;
  std::unique_ptr<CRemGlkReader> m_remglk; // emglken's output; null under dfrotz
  std::deque<std::string> m_waiting;       // commands the story has not asked for yet
  PlayEngine m_engine;
  QString m_status;
  bool m_inputClosed = false;
  bool m_endedAtInput = false; // ended by us: the story asked past the last command
  QByteArray m_errors; // the end of what the interpreter wrote to standard error
  std::vector<std::string> m_commands;
  QString m_endReason;
  bool m_running = false;
  bool m_stopped = false;
};
