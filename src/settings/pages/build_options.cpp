#include "build_options.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "compile_command.h"
#include "control_id.h"
#include "message_box.h"
#include "settings_keys.h"

namespace {

constexpr int BIT_DEBUG = 1;
constexpr int BIT_USE_MODULES = 2;
constexpr int BIT_STATISTICS = 4;
constexpr int BIT_CONTRACT_DOUBLE_SPACES = 8;
constexpr int BIT_LIST_OBJECTS = 16;
constexpr QChar SEPARATOR = QLatin1Char('|');

} // namespace

CBuildOptions::CBuildOptions(CProfileStore& store, QWidget* parent)
    : CPropertyPage(store, parent), m_debugBox(new QCheckBox(tr("-&D   (debug version)"))),
      m_useModulesBox(new QCheckBox(tr("-&U   (use modules)"))),
      m_statisticsBox(new QCheckBox(tr("-&s    (give statistics)"))),
      m_contractDoubleSpacesBox(new QCheckBox(tr("-d&2  (contract double spaces)"))),
      m_listObjectsBox(new QCheckBox(tr("-&j     (list objects)"))),
      m_z5Radio(new QRadioButton(tr("Compile .z&5 file"))),
      m_z8Radio(new QRadioButton(tr("Compile .z&8 File"))), m_newOptionEdit(new QLineEdit),
      m_switchList(new QListWidget), m_unknownNote(new QLabel) {
  auto* add = new QPushButton(tr("&Add"));
  auto* remove = new QPushButton(tr("&Delete Option"));
  const std::pair<QWidget*, int> ids[] = {
      {m_debugBox, IDC_DEBUG},
      {m_useModulesBox, IDC_USE_MODULES},
      {m_statisticsBox, IDC_STATISTICS},
      {m_contractDoubleSpacesBox, IDC_CONTRACT_DOUBLE_SPACES},
      {m_listObjectsBox, IDC_LIST_OBJECTS},
      {m_z5Radio, IDC_Z5},
      {m_z8Radio, IDC_Z8},
      {m_newOptionEdit, IDC_NEW_OPTION},
      {m_switchList, IDC_SWITCH_LIST},
      {add, IDC_ADD},
      {remove, IDC_DELETE_OPTION},
  };
  for (auto [control, id] : ids) SetControlId(control, id);

  auto* settings = new QGroupBox(tr("Compiler Settings"));
  auto* grid = new QGridLayout(settings);
  QCheckBox* boxes[] = {m_debugBox, m_useModulesBox, m_statisticsBox, m_contractDoubleSpacesBox,
                        m_listObjectsBox};
  for (int i = 0; i < 5; ++i) grid->addWidget(boxes[i], i, 0);
  // The caption names the switch being typed and the list of switches for screen readers,
  // and Alt+W reaches them.
  auto* switchesCaption = new QLabel(tr("Additional S&witches"));
  switchesCaption->setBuddy(m_newOptionEdit);
  m_switchList->setAccessibleName(tr("Additional Switches"));
  grid->addWidget(switchesCaption, 0, 1, 1, 2);
  grid->addWidget(m_newOptionEdit, 1, 1);
  grid->addWidget(add, 1, 2);
  grid->addWidget(m_switchList, 2, 1, 4, 1);
  grid->addWidget(remove, 2, 2);

  auto* output = new QGroupBox(tr("Output File"));
  auto* outputLayout = new QHBoxLayout(output);
  outputLayout->addWidget(m_z5Radio);
  outputLayout->addWidget(m_z8Radio);

  m_unknownNote->setWordWrap(true);
  m_unknownNote->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(settings);
  layout->addWidget(m_unknownNote);
  layout->addWidget(output);
  layout->addStretch();

  for (QCheckBox* box : boxes)
    connect(box, &QCheckBox::clicked, this, [this] { OnSwitchClicked(); });
  connect(m_z5Radio, &QRadioButton::clicked, this, [this] { OnOutputClicked(); });
  connect(m_z8Radio, &QRadioButton::clicked, this, [this] { OnOutputClicked(); });
  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDeleteOption(); });
}

void CBuildOptions::OnInitDialog() {
  m_switchBits = static_cast<int>(ReadSetting(Store(), SETTING_STANDARD_OPTIONS));
  m_optionString = ReadSetting(Store(), SETTING_USER_DEF_OPTIONS);
  m_z5Value = static_cast<int>(ReadSetting(Store(), SETTING_Z5));
  m_debug = (m_switchBits & BIT_DEBUG) != 0 ? 1 : 0;
  m_useModules = (m_switchBits & BIT_USE_MODULES) != 0 ? 1 : 0;
  m_statistics = (m_switchBits & BIT_STATISTICS) != 0 ? 1 : 0;
  m_contractDoubleSpaces = (m_switchBits & BIT_CONTRACT_DOUBLE_SPACES) != 0 ? 1 : 0;
  m_listObjects = (m_switchBits & BIT_LIST_OBJECTS) != 0 ? 1 : 0;
  m_outputChoice = m_z5Value == 1 ? 0 : 1;
  // Text after the last "|" is not an entry.
  QString entry;
  for (const QChar c : std::as_const(m_optionString)) {
    if (c == SEPARATOR) {
      AddToList(entry);
      entry.clear();
    } else {
      entry += c;
    }
  }
  const QString compiler = ReadToolPath(Store(), SETTING_COMPILER_PATH);
  // Asked, not stored: a sheet left with Cancel writes nothing (a compile stores it).
  if (!compiler.isEmpty()) m_facts = CompilerFactsFor(compiler);
  ShowUnknownSwitches();
  PutControls();
}

void CBuildOptions::ShowUnknownSwitches() {
  if (!m_facts.IsKnown()) return;
  const QString reason = tr("Inform %1 does not know this switch; it is not passed to it.")
                             .arg(m_facts.versionText);
  const std::pair<QCheckBox*, uint32_t> boxes[] = {
      {m_debugBox, BIT_DEBUG},
      {m_useModulesBox, BIT_USE_MODULES},
      {m_statisticsBox, BIT_STATISTICS},
      {m_contractDoubleSpacesBox, BIT_CONTRACT_DOUBLE_SPACES},
      {m_listObjectsBox, BIT_LIST_OBJECTS}};
  QStringList unknown;
  for (auto [box, bit] : boxes) {
    const QStringList denied = UnknownSwitches(bit, QString(), m_facts);
    box->setEnabled(denied.isEmpty());
    box->setToolTip(denied.isEmpty() ? QString() : reason);
    unknown += denied;
  }
  for (int row = 0; row < m_switchList->count(); ++row) {
    QListWidgetItem* item = m_switchList->item(row);
    const bool denied = !UnknownSwitches(0, item->text() + SEPARATOR, m_facts).isEmpty();
    item->setForeground(denied ? palette().brush(QPalette::Disabled, QPalette::Text)
                               : palette().brush(QPalette::Active, QPalette::Text));
    item->setToolTip(denied ? reason : QString());
    if (denied) unknown.append(QLatin1Char('-') + item->text());
  }
  m_unknownNote->setText(tr("Unavailable with Inform %1, which does not know them: %2")
                             .arg(m_facts.versionText, unknown.join(QLatin1String(", "))));
  m_unknownNote->setVisible(!unknown.isEmpty());
}

void CBuildOptions::TakeControls() {
  m_debug = m_debugBox->isChecked() ? 1 : 0;
  m_useModules = m_useModulesBox->isChecked() ? 1 : 0;
  m_statistics = m_statisticsBox->isChecked() ? 1 : 0;
  m_contractDoubleSpaces = m_contractDoubleSpacesBox->isChecked() ? 1 : 0;
  m_listObjects = m_listObjectsBox->isChecked() ? 1 : 0;
  m_outputChoice = m_z8Radio->isChecked() ? 1 : 0;
  m_newOption = m_newOptionEdit->text();
}

void CBuildOptions::PutControls() {
  m_debugBox->setChecked(m_debug == 1);
  m_useModulesBox->setChecked(m_useModules == 1);
  m_statisticsBox->setChecked(m_statistics == 1);
  m_contractDoubleSpacesBox->setChecked(m_contractDoubleSpaces == 1);
  m_listObjectsBox->setChecked(m_listObjects == 1);
  m_z5Radio->setChecked(m_outputChoice == 0);
  m_z8Radio->setChecked(m_outputChoice == 1);
  m_newOptionEdit->setText(m_newOption);
}

void CBuildOptions::OnSwitchClicked() {
  TakeControls();
  m_switchBits = m_debug == 1 ? BIT_DEBUG : 0;
  if (m_useModules == 1) m_switchBits |= BIT_USE_MODULES;
  if (m_statistics == 1) m_switchBits |= BIT_STATISTICS;
  if (m_contractDoubleSpaces == 1) m_switchBits |= BIT_CONTRACT_DOUBLE_SPACES;
  if (m_listObjects == 1) m_switchBits |= BIT_LIST_OBJECTS;
}

void CBuildOptions::OnOutputClicked() {
  TakeControls();
  m_z5Value = m_outputChoice == 0 ? 1 : 2;
}

void CBuildOptions::OnAdd() {
  TakeControls();
  if (m_newOption.isEmpty()) return;
  // "|" ends a switch in the stored text: such an entry would come back as two switches,
  // and deleting it from the list would leave both in force.
  if (m_newOption.contains(SEPARATOR)) {
    TorvaneMessageBox(tr("A switch cannot contain \"|\"; add each switch on its own."),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  AddToList(m_newOption);
  // A hand-edited string may end without its "|": end that switch first, or the new one
  // would be glued to it.
  if (!m_optionString.isEmpty() && !m_optionString.endsWith(SEPARATOR)) m_optionString += SEPARATOR;
  m_optionString += m_newOption + SEPARATOR;
  m_newOption.clear();
  ShowUnknownSwitches();
  PutControls();
}

void CBuildOptions::OnDeleteOption() {
  QListWidgetItem* selected = m_switchList->currentItem();
  if (selected == nullptr || !selected->isSelected()) return;
  const QString text = selected->text();
  delete selected;
  qsizetype start = 0;
  while (start < m_optionString.size()) {
    const qsizetype end = m_optionString.indexOf(SEPARATOR, start);
    if (end < 0) break;
    if (QStringView(m_optionString).mid(start, end - start) == text) {
      m_optionString.remove(start, end - start + 1);
      break;
    }
    start = end + 1;
  }
  ShowUnknownSwitches();
}

void CBuildOptions::AddToList(const QString& entry) {
  int row = 0;
  while (row < m_switchList->count() &&
         QString::compare(m_switchList->item(row)->text(), entry, Qt::CaseInsensitive) <= 0)
    ++row;
  m_switchList->insertItem(row, entry);
}

bool CBuildOptions::OnOK() {
  bool written = WriteSetting(Store(), SETTING_STANDARD_OPTIONS, m_switchBits);
  written &= WriteSetting(Store(), SETTING_USER_DEF_OPTIONS, m_optionString);
  written &= WriteSetting(Store(), SETTING_Z5, m_z5Value);
  return written;
}
