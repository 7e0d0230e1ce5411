#pragma once
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "interpreter_session.h"
#include "line_diff.h"
#include "transcript.h"
#include "walkthrough_commands.h"

// What replaying one walkthrough found.
struct WalkthroughOutcome {
  enum State { NeverRun, Passed, Failed };
  QString name;
  State state = NeverRun;
  // Why it failed, when not (only) by a difference: the time limit, a crash, a file that
  // cannot be read, no accepted transcript yet. Empty for a plain difference.
  QString problem;
  // The replay ran to the interpreter's own end: its transcript may be blessed.
  bool ranToEnd = false;
  WalkthroughCommands commands;
  Transcript actual;                   // as played (what Bless writes)
  std::vector<std::string> expected;   // NAME.expected as it stands
  bool hasExpected = false;
  // The difference of the two, after CTranscriptNormaliser; line numbers are those of
  // expected and actual.lines.
  std::vector<DiffRun> runs;
};

// The seed and width a walkthrough was recorded with win over the current ones.
PlayOptions OptionsFor(const WalkthroughCommands& commands, PlayOptions options);

// Replays walkthroughs one after another against a story, each in a fresh interpreter fed
// all its commands at once, and compares each transcript with the accepted one. A replay
// that outlives the time limit, writes more than MAX_TRANSCRIPT_BYTES or ends the
// interpreter abnormally fails with a problem saying so; nothing is written.
class CWalkthroughCheck : public QObject {
  Q_OBJECT
public:
  explicit CWalkthroughCheck(QObject* parent = nullptr);
  ~CWalkthroughCheck() override;

  void Start(const QString& folder, const QStringList& names, const QString& storyPath,
             const PlayOptions& options);
  void Cancel();
  bool IsRunning() const { return m_session != nullptr || !m_queue.empty(); }

signals:
  void Checked(const WalkthroughOutcome& outcome);
  void AllChecked();

private:
  void Next();
  void Conclude(const QString& problem);

  QString m_folder, m_storyPath;
  PlayOptions m_options;
  std::deque<QString> m_queue;
  std::unique_ptr<CInterpreterSession> m_session;
  QTimer m_timeLimit;
  WalkthroughOutcome m_current;
  bool m_overflow = false, m_timedOut = false;
};

// Checks every walkthrough of a folder and waits for the end (for torvane-cli).
std::vector<WalkthroughOutcome> CheckWalkthroughsNow(const QString& folder, const QString& storyPath,
                                                     const PlayOptions& options);
