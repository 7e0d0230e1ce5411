#pragma once
#include <map>

#include "walkthrough_folder.h"

#include <QWidget>

#include "walkthrough_check.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// The Walkthroughs bar: the walkthroughs of the active game with their state (passed,
// failed, never run) and why a failed one failed, the last result of a walkthrough that has
// not run since the folder was chosen taken from the results kept beside it; Run Walkthroughs replays them all, a double
// click on a failed one (or Show Difference) opens its difference.
class CWalkthroughBar : public QWidget {
  Q_OBJECT
public:
  explicit CWalkthroughBar(QWidget* parent = nullptr);

  // Lists the walkthroughs of folder; states are kept while the folder stays the same, and
  // the kept results are read again.
  void SetFolder(const QString& folder);
  const QString& Folder() const { return m_folder; }
  void SetRunning(bool running);
  void Record(const WalkthroughOutcome& outcome);
  // The last outcome of name; null when it has not run since the folder was chosen.
  const WalkthroughOutcome* Outcome(const QString& name) const;
  // "passed", "failed: why", "never run".
  QString StateText(const QString& name) const;
  QTreeWidget* List() const { return m_list; }

signals:
  void runRequested();
  void differenceRequested(const QString& name);

private:
  void Refill();
  QString m_folder;
  std::map<QString, WalkthroughOutcome> m_outcomes;
  std::map<QString, KeptWalkthroughResult> m_kept; // of earlier runs, for the files as they are
  QTreeWidget* m_list;
  QPushButton* m_run;
  QPushButton* m_difference;
  QLabel* m_folderLabel;
};
