#pragma once
#include <memory>
#include <string>
#include <vector>

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "interpreter_session.h"
#include "transcript.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// The Story bar: plays a story in the line-mode interpreter. Above, a line saying what is
// played, by which interpreter, and how it stands; the story's status line (hidden when it
// has none); the story's text; the command line (Up and Down walk its
// history); beside them the commands played so far, where Replay to Here plays again up to
// the chosen one. Restart, Stop and the random seed sit in the bar's own row.
//
// Output is taken as it comes but shown in slices: lines wait at most SHOW_MS, then the
// newest MAX_SHOWN_LINES of them are added at once (the text keeps no more than that), so a
// story that prints without end neither freezes the window nor fills the memory, and Stop
// stays usable. The transcript kept for Save as Walkthrough is capped the same way as a
// walkthrough's replay (MAX_TRANSCRIPT_BYTES): past it, saving says why it cannot.
class CStoryBar : public QWidget {
  Q_OBJECT
public:
  static constexpr int SHOW_MS = 15;
  static constexpr int MAX_SHOWN_LINES = 5000;

  explicit CStoryBar(QWidget* parent = nullptr);
  ~CStoryBar() override;

  // Plays storyPath from its start; the first count of commands are played unseen first
  // (Replay to Here, Play from Here), then the story goes on from there.
  void Play(const QString& storyPath, const PlayOptions& options,
            const std::vector<std::string>& replay = {}, size_t count = 0);
  // Says why nothing is played (a Glulx story, no story file).
  void ShowUnplayable(const QString& reason);
  void Restart();
  void Stop();
  // Plays again up to (not including) command index of the list.
  void ReplayTo(int index);

  bool IsPlaying() const { return m_session && m_session->IsRunning(); }
  const QString& StoryPath() const { return m_storyPath; }
  int Seed() const;
  int Width() const { return m_options.width; }
  const std::vector<std::string>& Commands() const { return m_commands; }
  // What was played, ended as a replay of the same commands would end: with the prompt the
  // story waits at.
  Transcript PlayedTranscript() const;
  bool TranscriptCut() const { return m_transcriptCut; }

  QPlainTextEdit* TextControl() const { return m_text; }
  QLineEdit* CommandLine() const { return m_command; }
  QListWidget* CommandList() const { return m_commandList; }
  QLabel* StateLine() const { return m_state; }
  QLabel* StatusLine() const { return m_status; }

signals:
  void saveAsWalkthroughRequested();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildWidgets();
  void SendCommand();
  void OnLines(const std::vector<CLineTypedReader::Line>& lines);
  void ShowPending();
  void FlushShown();
  void UpdateState();
  void ShowStatus();
  void WalkHistory(int step);

  std::unique_ptr<CInterpreterSession> m_session;
  QString m_storyPath;
  PlayOptions m_options;
  std::vector<std::string> m_commands; // played, in order
  size_t m_silentInputs = 0;           // inputs whose output is not shown (a replay)
  size_t m_inputsShown = 0;            // inputs the story has asked for so far
  Transcript m_transcript;
  bool m_transcriptCut = false;
  QStringList m_shownQueue;            // lines waiting for the next slice
  QTimer m_showTimer;
  QString m_shownPending;              // the part line now at the end of the text
  QStringList m_history;
  int m_historyIndex = 0;

  QLabel* m_state = nullptr;
  QLabel* m_status = nullptr;
  QPlainTextEdit* m_text = nullptr;
  QLineEdit* m_command = nullptr;
  QListWidget* m_commandList = nullptr;
  QSpinBox* m_seed = nullptr;
  QPushButton* m_restart = nullptr;
  QPushButton* m_stop = nullptr;
  QPushButton* m_replay = nullptr;
  QPushButton* m_save = nullptr;
};
