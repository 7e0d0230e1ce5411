#include "editor_options.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

#include "build_options.h"
#include "color_options.h"
#include "compiler_options.h"
#include "message_box.h"
#include "play_options.h"
#include "profile_store.h"
#include "settings_keys.h"

namespace {

// Every known setting as it reads now (stored value or default), to tell whether OK changed
// anything.
std::vector<QString> ReadAllSettings(const CProfileStore& store) {
  std::vector<QString> values;
  for (const SettingKeyInfo& key : AllSettingKeys()) {
    values.push_back(key.type == SettingType::String
                         ? store.GetProfileString(key.section, key.value, key.defaultText)
                         : QString::number(
                               store.GetProfileInt(key.section, key.value, key.defaultValue)));
  }
  return values;
}

} // namespace

CEditorOptions::CEditorOptions(CProfileStore& store, const CStyleTable& styles, QWidget* parent)
    : QDialog(parent), m_store(store), m_tabs(new QTabWidget),
      m_colorPage(new CColorOptions(store, styles)), m_compilerPage(new CCompilerOptions(store)),
      m_buildPage(new CBuildOptions(store)), m_playPage(new CPlayOptions(store)) {
  setWindowTitle(tr("IDE Options"));
  m_tabs->addTab(m_colorPage, tr("Editor"));
  m_tabs->addTab(m_compilerPage, tr("Compiler/Interpreter"));
  m_tabs->addTab(m_buildPage, tr("Build"));
  m_tabs->addTab(m_playPage, tr("Play"));
  m_tabs->setCurrentIndex(0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &CEditorOptions::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEditorOptions::reject);
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
    if (isVisible()) Page(tab)->Create();
  });
}

CPropertyPage* CEditorOptions::Page(int tab) const {
  return static_cast<CPropertyPage*>(m_tabs->widget(tab));
}

void CEditorOptions::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Page(m_tabs->currentIndex())->Create();
}

void CEditorOptions::accept() {
  const std::vector<QString> before = ReadAllSettings(m_store);
  bool written = true;
  for (int tab = 0; tab < m_tabs->count(); ++tab) {
    if (Page(tab)->IsCreated()) written &= Page(tab)->OnOK();
  }
  if (ReadAllSettings(m_store) != before) m_changed = true;
  if (!written) {
    // The sheet stays open, so the user's choices are not lost and OK can be tried again.
    TorvaneMessageBox(tr("The options could not be saved to \"%1\".").arg(m_store.FileName()),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QDialog::accept();
}

bool RunOptionsSheet(QWidget* parent, const CStyleTable& styles, CProfileStore& store) {
  CEditorOptions sheet(store, styles, parent);
  sheet.exec();
  return sheet.SettingsChanged();
}

bool RunOptionsSheet(QWidget* parent, const CStyleTable& styles) {
  CProfileStore store;
  return RunOptionsSheet(parent, styles, store);
}
