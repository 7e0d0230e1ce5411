#pragma once
#include <QDialog>

class QLineEdit;

// Dialog 145 "Go to Line": a line number from 0 to 99999, checked when OK is pressed.
class CGoToLineDialog : public QDialog {
  Q_OBJECT

public:
  static constexpr int DIALOG_ID = 145;
  static constexpr int EDIT_ID = 1045;
  static constexpr int MIN_LINE = 0;
  static constexpr int MAX_LINE = 99999;

  explicit CGoToLineDialog(QWidget* parent = nullptr);

  // Shows the dialog starting from line; true with line set when OK closed it.
  static bool Ask(QWidget* parent, int& line);

  void SetLineNumber(int line);
  int LineNumber() const { return m_line; }
  QLineEdit* Edit() const { return m_edit; }

  // OK: a text that is no integer, or one out of range, is refused with a message and the
  // dialog stays open on the number.
  void accept() override;

private:
  QLineEdit* m_edit;
  int m_line = 1;
};
