#pragma once
#include <QDialog>

#include "walkthrough_check.h"

class QLabel;
class QPushButton;
class QTableWidget;

// The difference of a failed walkthrough: expected (NAME.expected) and actual side by side,
// only the changed blocks with a few lines around them, changed lines highlighted, and the
// command that produced each block beside it. Bless accepts the actual transcript; Play from
// Here asks to play the story up to the command of the chosen block.
class CDifferenceView : public QDialog {
  Q_OBJECT
public:
  static constexpr int CONTEXT_LINES = 3;
  enum Column { COLUMN_COMMAND, COLUMN_EXPECTED, COLUMN_ACTUAL };

  CDifferenceView(const QString& folder, const WalkthroughOutcome& outcome, QWidget* parent = nullptr);

  QTableWidget* Table() const { return m_table; }
  // The command (1-based; 0: the opening) whose output row shows.
  int CommandOfRow(int row) const;
  // Writes the actual transcript as NAME.expected; false (after saying why) when it cannot.
  bool Bless();

signals:
  void blessed(const QString& name);
  void playFromHere(const std::vector<std::string>& commands, int command);

private:
  void Fill();
  void AddRow(int command, const QString& expected, const QString& actual, bool changed);

  QString m_folder;
  WalkthroughOutcome m_outcome;
  std::vector<int> m_rowCommand;
  QTableWidget* m_table;
  QPushButton* m_bless;
  QPushButton* m_play;
  QLabel* m_problem;
};
