#pragma once
#include <QString>
#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The control of the Problems bar: every error and warning of the last build, one row each
// with its severity, file, line and text. The columns sort; warnings are shown or left out
// (errors only). Enter or a double click on a row with a place asks for it (problemActivated).
class CProblemsBar : public QWidget {
  Q_OBJECT

public:
  struct CEntry {
    QString path;  // absolute; empty: the build as a whole
    int line;      // 1-based as the compiler counts; 0: none
    bool warning;
    bool header;   // a "!%" line: counted as the text's lines
    QString text;
  };

  // Columns, in order.
  enum { COLUMN_SEVERITY, COLUMN_FILE, COLUMN_LINE, COLUMN_TEXT, COLUMN_COUNT };

  explicit CProblemsBar(QWidget* parent = nullptr);
  void SetProblems(const std::vector<CEntry>& entries);
  const std::vector<CEntry>& Entries() const { return m_entries; }
  void SetShowWarnings(bool show);
  bool ShowsWarnings() const { return m_showWarnings; }
  QTreeWidget* List() const { return m_list; }
  // The rows shown, in the order shown: indexes into Entries().
  std::vector<int> ShownRows() const;

signals:
  void problemActivated(const QString& path, int line, bool header);
  void showWarningsChanged(bool show);

private:
  void Fill();
  void Activate(QTreeWidgetItem* item);
  void UpdateSummary();

  std::vector<CEntry> m_entries;
  bool m_showWarnings = true;
  QTreeWidget* m_list;
  QCheckBox* m_warnings;
  QLabel* m_summary;
};
