#include "go_to_line_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "message_box.h"

CGoToLineDialog::CGoToLineDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Go to Line"));
  setObjectName(QString::number(DIALOG_ID));
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QString::number(EDIT_ID));
  auto* label = new QLabel(QStringLiteral("&Line Number"), this);
  label->setBuddy(m_edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CGoToLineDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CGoToLineDialog::reject);
  auto* layout = new QFormLayout(this);
  layout->addRow(label, m_edit);
  layout->addRow(buttons);
  SetLineNumber(1);
}

void CGoToLineDialog::SetLineNumber(int line) {
  m_line = line;
  m_edit->setText(QString::number(line));
  m_edit->selectAll();
}

bool CGoToLineDialog::Ask(QWidget* parent, int& line) {
  CGoToLineDialog dialog(parent);
  dialog.SetLineNumber(line);
  if (dialog.exec() != QDialog::Accepted) return false;
  line = dialog.LineNumber();
  return true;
}

void CGoToLineDialog::accept() {
  bool isNumber = false;
  const int value = m_edit->text().trimmed().toInt(&isNumber, 10);
  QString refusal;
  if (!isNumber)
    refusal = QStringLiteral("Please enter an integer.");
  else if (value < MIN_LINE || value > MAX_LINE)
    refusal = QStringLiteral("Please enter an integer between %1 and %2.").arg(MIN_LINE).arg(MAX_LINE);
  if (!refusal.isEmpty()) {
    TorvaneMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
    m_edit->setFocus();
    m_edit->selectAll();
    return;
  }
  m_line = value;
  QDialog::accept();
}
