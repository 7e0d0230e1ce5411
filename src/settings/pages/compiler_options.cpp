#include "compiler_options.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "control_id.h"
#include "folder_browser.h"
#include "program_file_dialog.h"
#include "settings_keys.h"

CCompilerOptions::CCompilerOptions(CProfileStore& store, QWidget* parent)
    : CPropertyPage(store, parent), m_compilerEdit(new QLineEdit),
      m_interpreterEdit(new QLineEdit), m_libraryEdit(new QLineEdit), m_glulxEdit(new QLineEdit) {
  auto* grid = new QGridLayout;
  const auto addRow = [this, grid](int row, const QString& label, QLineEdit* edit, int editId,
                                   int browseId) {
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    SetControlId(edit, editId);
    auto* browse = new QPushButton(QStringLiteral("..."));
    SetControlId(browse, browseId);
    browse->setMaximumWidth(32);
    grid->addWidget(caption, row * 2, 0, 1, 2);
    grid->addWidget(edit, row * 2 + 1, 0);
    grid->addWidget(browse, row * 2 + 1, 1);
    return browse;
  };
  QPushButton* compiler =
      addRow(0, tr("&Compiler Path"), m_compilerEdit, IDC_COMPILER_PATH, IDC_COMPILER_BROWSE);
  QPushButton* interpreter = addRow(1, tr("&Interpreter Path"), m_interpreterEdit,
                                    IDC_INTERPRETER_PATH, IDC_INTERPRETER_BROWSE);
  QPushButton* library =
      addRow(2, tr("&Library Path"), m_libraryEdit, IDC_LIBRARY_PATH, IDC_LIBRARY_BROWSE);
  QPushButton* glulx = addRow(3, tr("&Glulx Interpreter Path"), m_glulxEdit,
                              IDC_GLULX_INTERPRETER_PATH, IDC_GLULX_INTERPRETER_BROWSE);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch();

  connect(compiler, &QPushButton::clicked, this,
          [this] { OnBrowseProgram(tr("Inform Compiler"), m_compilerPath); });
  connect(interpreter, &QPushButton::clicked, this,
          [this] { OnBrowseProgram(tr("Z-Code Interpreter"), m_interpreterPath); });
  connect(library, &QPushButton::clicked, this, [this] { OnBrowseLibrary(); });
  connect(glulx, &QPushButton::clicked, this,
          [this] { OnBrowseProgram(tr("Glulx Interpreter"), m_glulxPath); });
}

void CCompilerOptions::OnInitDialog() {
  m_compilerPath = ReadSetting(Store(), SETTING_COMPILER_PATH);
  m_interpreterPath = ReadSetting(Store(), SETTING_INTERPRETER_PATH);
  m_libraryPath = ReadSetting(Store(), SETTING_LIBRARY_PATH);
  m_glulxPath = ReadSetting(Store(), SETTING_GLULX_INTERPRETER_PATH);
  // An empty field means the default: the greyed hint says which path that is now.
  const std::pair<QLineEdit*, const StringSettingKey*> fields[] = {
      {m_compilerEdit, &SETTING_COMPILER_PATH},
      {m_interpreterEdit, &SETTING_INTERPRETER_PATH},
      {m_libraryEdit, &SETTING_LIBRARY_PATH},
      {m_glulxEdit, &SETTING_GLULX_INTERPRETER_PATH}};
  for (auto [edit, key] : fields) {
    const QString found = SystemToolPath(*key);
    edit->setPlaceholderText(found.isEmpty() ? tr("(no default found on this system)")
                                             : tr("%1 (default)").arg(found));
  }
  PutControls();
}

void CCompilerOptions::TakeControls() {
  m_compilerPath = m_compilerEdit->text();
  m_interpreterPath = m_interpreterEdit->text();
  m_libraryPath = m_libraryEdit->text();
  m_glulxPath = m_glulxEdit->text();
}

void CCompilerOptions::PutControls() {
  m_compilerEdit->setText(m_compilerPath);
  m_interpreterEdit->setText(m_interpreterPath);
  m_libraryEdit->setText(m_libraryPath);
  m_glulxEdit->setText(m_glulxPath);
}

void CCompilerOptions::OnBrowseProgram(const QString& title, QString& path) {
  TakeControls();
  const QString chosen = ChooseProgramFile(window(), title, path);
  if (!chosen.isEmpty()) path = chosen;
  PutControls();
}

void CCompilerOptions::OnBrowseLibrary() {
  TakeControls();
  CFolderBrowser browser(tr("Library Path"));
  if (browser.BrowseForFolder(window(), m_libraryPath) == 1) m_libraryPath = browser.Folder();
  PutControls();
}

bool CCompilerOptions::OnOK() {
  TakeControls();
  bool written = WriteSetting(Store(), SETTING_COMPILER_PATH, m_compilerPath);
  written &= WriteSetting(Store(), SETTING_INTERPRETER_PATH, m_interpreterPath);
  written &= WriteSetting(Store(), SETTING_LIBRARY_PATH, m_libraryPath);
  written &= WriteSetting(Store(), SETTING_GLULX_INTERPRETER_PATH, m_glulxPath);
  return written;
}
