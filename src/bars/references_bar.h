#pragma once
#include <QString>
#include <QTreeWidget>
#include <vector>

// The control of the References bar: every use of a name, one row each with the file, the
// line and the line's text with the name in bold. Enter or a double click on a row, and
// stepping with Step (F4, Shift+F4), ask for its place (referenceActivated).
class CReferencesBar : public QTreeWidget {
  Q_OBJECT

public:
  struct CEntry {
    QString path;
    int line;   // from 0
    int col;    // byte index of the name, as the text's characters
    int length; // the name's length
    QString text;
    int textCol = -1; // where the name starts in text (UTF-16); -1: at col
  };

  explicit CReferencesBar(QWidget* parent = nullptr);
  void SetReferences(const QString& name, const std::vector<CEntry>& entries);
  const std::vector<CEntry>& Entries() const { return m_entries; }
  // Moves to the next row (previous with a negative direction), round the list, and asks for
  // its place; false when the list is empty.
  bool Step(int direction);

signals:
  void referenceActivated(const QString& path, int line, int col);

private:
  void Activate(QTreeWidgetItem* item);

  std::vector<CEntry> m_entries;
};
