#include "rename_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "string_table.h"

namespace {
QString Text(int id) { return QString::fromLatin1(LoadStringResource(id)); }
} // namespace

CRenameDialog::CRenameDialog(const QString& oldName, Planner planner, QWidget* parent)
    : QDialog(parent), m_planner(std::move(planner)), m_name(new QLineEdit(oldName, this)), m_problem(new QLabel(this)),
      m_changes(new QTreeWidget(this)), m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(Text(StringId::RENAME_TITLE).arg(oldName));
  m_name->selectAll();
  m_problem->setWordWrap(true);
  m_changes->setColumnCount(3);
  m_changes->setHeaderLabels({Text(StringId::RENAME_FILE_COLUMN), Text(StringId::RENAME_LINE_COLUMN), Text(StringId::RENAME_TEXT_COLUMN)});
  m_changes->setRootIsDecorated(false);
  m_changes->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_buttons->button(QDialogButtonBox::Ok)->setText(Text(StringId::RENAME_BUTTON));
  // Labelled, so that a mnemonic and a screen reader reach the name and the changes.
  const QStringList labels = Text(StringId::RENAME_FIELDS).split(QLatin1Char('\n'));
  auto* nameLabel = new QLabel(labels.value(0), this);
  nameLabel->setBuddy(m_name);
  auto* changesLabel = new QLabel(labels.value(1), this);
  changesLabel->setBuddy(m_changes);
  // A list is named only by its own name, not by its label.
  m_changes->setAccessibleName(QString(labels.value(1)).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(nameLabel);
  layout->addWidget(m_name);
  layout->addWidget(m_problem);
  layout->addWidget(changesLabel);
  layout->addWidget(m_changes);
  layout->addWidget(m_buttons);
  resize(640, 360);
  connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
    if (CanRename()) accept();
  });
  connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_name, &QLineEdit::textChanged, this, &CRenameDialog::UpdatePreview);
  UpdatePreview();
}

QString CRenameDialog::NewName() const { return m_name->text().trimmed(); }
QString CRenameDialog::Problem() const { return m_problem->text(); }
bool CRenameDialog::CanRename() const { return m_buttons->button(QDialogButtonBox::Ok)->isEnabled(); }

QStringList CRenameDialog::Rows() const {
  QStringList rows;
  for (int i = 0; i < m_changes->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = m_changes->topLevelItem(i);
    rows << item->text(0) + ":" + item->text(1) + ": " + item->text(2);
  }
  return rows;
}

void CRenameDialog::UpdatePreview() {
  const CPreview preview = m_planner(NewName());
  m_problem->setText(preview.problem);
  m_problem->setVisible(!preview.problem.isEmpty());
  m_changes->clear();
  QList<QTreeWidgetItem*> items;
  for (const CChange& change : preview.changes) {
    const QString file = change.closed ? Text(StringId::RENAME_NOT_OPEN).arg(change.file) : change.file;
    items << new QTreeWidgetItem(QStringList{file, QString::number(change.line), change.text});
  }
  m_changes->addTopLevelItems(items);
  m_buttons->button(QDialogButtonBox::Ok)->setEnabled(preview.problem.isEmpty() && !preview.changes.empty());
}
