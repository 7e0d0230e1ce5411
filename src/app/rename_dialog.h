#pragma once
#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

// Rename Symbol's dialog: the new name, and as it is typed the changes a rename to it makes
// (each line as it will read, the files that are not open marked) or why it cannot be made.
// Rename is offered only while the rename can be made.
class CRenameDialog : public QDialog {
  Q_OBJECT

public:
  struct CChange {
    QString file; // shown name
    int line;     // from 1
    QString text; // the line after the rename
    bool closed;  // the file is not open: it is saved at once
  };
  // The preview of a rename to a name: its problem (empty when it can be made) or its changes.
  struct CPreview {
    QString problem;
    std::vector<CChange> changes;
  };
  using Planner = std::function<CPreview(const QString& newName)>;

  CRenameDialog(const QString& oldName, Planner planner, QWidget* parent = nullptr);

  QLineEdit* NameEdit() const { return m_name; }
  QString NewName() const;
  QString Problem() const;
  // The changes shown, as "file:line: text", a closed file's marked "(not open)".
  QStringList Rows() const;
  bool CanRename() const;

private:
  void UpdatePreview();

  Planner m_planner;
  QLineEdit* m_name;
  QLabel* m_problem;
  QTreeWidget* m_changes;
  QDialogButtonBox* m_buttons;
};
