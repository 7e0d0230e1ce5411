#include "new_definition_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "message_box.h"

namespace {

const char* TitleOf(DefinitionKind kind) {
  switch (kind) {
  case DefinitionKind::Class: return "New Class";
  case DefinitionKind::Room: return "New Room";
  case DefinitionKind::Function: return "New Function";
  case DefinitionKind::Npc: return "New NPC";
  default: return "New Object";
  }
}

QComboBox* NameList(const QStringList& names) {
  auto* box = new QComboBox;
  box->setEditable(true);
  box->addItem(QString());
  box->addItems(names);
  return box;
}

// A field's text in the sources' bytes; false when it holds a character they cannot.
bool ToBytes(const QString& text, std::string& bytes) {
  for (const QChar c : text)
    if (c.unicode() > 0xFF) return false;
  bytes = text.trimmed().toLatin1().toStdString();
  return true;
}

} // namespace

CNewDefinitionDialog::CNewDefinitionDialog(DefinitionKind kind, const QStringList& objects,
                                           const QStringList& classes,
                                           std::function<bool(std::string_view)> known,
                                           QWidget* parent)
    : QDialog(parent), m_kind(kind), m_known(std::move(known)), m_name(new QLineEdit) {
  setWindowTitle(QString::fromLatin1(TitleOf(kind)));
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Name:"), m_name);
  if (KindHasShortName(kind)) {
    m_shortName = new QLineEdit;
    form->addRow(QStringLiteral("&Short name:"), m_shortName);
  }
  if (KindHasParent(kind)) {
    m_parent = NameList(objects);
    form->addRow(QStringLiteral("&Parent:"), m_parent);
  }
  if (KindHasClass(kind)) {
    m_class = NameList(classes);
    form->addRow(kind == DefinitionKind::Class ? QStringLiteral("Super&class:")
                                               : QStringLiteral("&Class:"),
                 m_class);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

NewDefinition CNewDefinitionDialog::Definition() const {
  NewDefinition definition;
  definition.kind = m_kind;
  // Names outside ASCII are no Inform names: kept as UTF-8, so the refusal shows them.
  auto name = [](const QString& text) { return text.trimmed().toUtf8().toStdString(); };
  definition.name = name(m_name->text());
  if (m_shortName) ToBytes(m_shortName->text(), definition.shortName);
  if (m_parent) definition.parent = name(m_parent->currentText());
  if (m_class) definition.className = name(m_class->currentText());
  return definition;
}

void CNewDefinitionDialog::accept() {
  std::string bytes;
  if (m_shortName && !ToBytes(m_shortName->text(), bytes)) {
    TorvaneMessageBox(QStringLiteral("The short name holds a character an Inform source in "
                                     "ISO 8859-1 cannot: \"%1\".")
                          .arg(m_shortName->text()),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const std::string problem = CheckDefinition(Definition(), m_known);
  if (!problem.empty()) {
    TorvaneMessageBox(QString::fromUtf8(problem.c_str()), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QDialog::accept();
}
