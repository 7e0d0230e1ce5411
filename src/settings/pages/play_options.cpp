#include "play_options.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "control_id.h"
#include "folder_browser.h"
#include "interpreter_session.h"
#include "play_settings.h"
#include "program_file_dialog.h"

namespace {

// An edit with its "..." button in one row of the form.
QWidget* WithBrowse(QLineEdit* edit, QPushButton* browse) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit);
  layout->addWidget(browse);
  browse->setMaximumWidth(32);
  return row;
}

} // namespace

CPlayOptions::CPlayOptions(CProfileStore& store, QWidget* parent)
    : CPropertyPage(store, parent), m_interpreterEdit(new QLineEdit), m_emglkenEdit(new QLineEdit),
      m_widthBox(new QSpinBox), m_timeLimitBox(new QSpinBox),
      m_afterCompileBox(new QCheckBox(tr("&Run walkthroughs after every successful compile"))),
      m_choice(new QLabel) {
  auto* browseInterpreter = new QPushButton(QStringLiteral("..."));
  auto* browseEmglken = new QPushButton(QStringLiteral("..."));
  const std::pair<QWidget*, int> ids[] = {
      {m_interpreterEdit, IDC_PLAY_INTERPRETER}, {browseInterpreter, IDC_PLAY_INTERPRETER_BROWSE},
      {m_emglkenEdit, IDC_PLAY_EMGLKEN},         {browseEmglken, IDC_PLAY_EMGLKEN_BROWSE},
      {m_widthBox, IDC_PLAY_WIDTH},              {m_timeLimitBox, IDC_PLAY_TIME_LIMIT},
      {m_afterCompileBox, IDC_PLAY_AFTER_COMPILE}, {m_choice, IDC_PLAY_CHOICE}};
  for (auto [control, id] : ids) SetControlId(control, id);
  browseInterpreter->setAccessibleName(tr("Choose the line-mode interpreter"));
  browseEmglken->setAccessibleName(tr("Choose emglken's folder"));
  // The ranges the settings are read with: anything else falls back to the default.
  m_widthBox->setRange(20, 255);
  m_timeLimitBox->setRange(1, 3600);
  m_timeLimitBox->setSuffix(tr(" s"));
  m_interpreterEdit->setPlaceholderText(tr("(emglken when it can run, else /usr/games/dfrotz)"));
  m_emglkenEdit->setPlaceholderText(tr("%1 (default)").arg(DefaultEmglkenHome()));
  m_choice->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(tr("Line-mode &interpreter:"), WithBrowse(m_interpreterEdit, browseInterpreter));
  form->addRow(tr("&emglken folder:"), WithBrowse(m_emglkenEdit, browseEmglken));
  form->addRow(tr("Screen &width:"), m_widthBox);
  form->addRow(tr("Walkthrough &time limit:"), m_timeLimitBox);
  // QFormLayout makes each caption its field's buddy; the rows with a button name the edit.
  m_interpreterEdit->setAccessibleName(tr("Line-mode interpreter"));
  m_emglkenEdit->setAccessibleName(tr("emglken folder"));
  for (int row = 0; row < 2; ++row)
    if (auto* caption = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget()))
      caption->setBuddy(row == 0 ? m_interpreterEdit : m_emglkenEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_afterCompileBox);
  layout->addWidget(m_choice);
  layout->addStretch();

  connect(browseInterpreter, &QPushButton::clicked, this, [this] {
    const QString chosen = ChooseProgramFile(window(), tr("Line-Mode Interpreter"), m_interpreterEdit->text());
    if (!chosen.isEmpty()) m_interpreterEdit->setText(chosen);
  });
  connect(browseEmglken, &QPushButton::clicked, this, [this] {
    CFolderBrowser browser(tr("emglken Folder"));
    const QString start = m_emglkenEdit->text().isEmpty() ? DefaultEmglkenHome() : m_emglkenEdit->text();
    if (browser.BrowseForFolder(window(), start) == 1) m_emglkenEdit->setText(browser.Folder());
  });
  for (QLineEdit* edit : {m_interpreterEdit, m_emglkenEdit})
    connect(edit, &QLineEdit::textChanged, this, [this] { ShowChoice(); });
}

void CPlayOptions::OnInitDialog() {
  const PlayOptions options = ReadPlayOptions(Store());
  m_interpreterEdit->setText(ReadSetting(Store(), SETTING_PLAY_INTERPRETER));
  m_emglkenEdit->setText(ReadSetting(Store(), SETTING_PLAY_EMGLKEN));
  m_widthBox->setValue(options.width);
  m_timeLimitBox->setValue(options.timeLimitSeconds);
  m_afterCompileBox->setChecked(ReadSetting(Store(), SETTING_PLAY_AFTER_COMPILE) == 1);
  ShowChoice();
}

void CPlayOptions::ShowChoice() {
  PlayOptions options;
  options.interpreter = m_interpreterEdit->text().trimmed();
  if (!m_emglkenEdit->text().trimmed().isEmpty()) options.emglken = m_emglkenEdit->text().trimmed();
  const PlayEngine engine = ChoosePlayEngine(options);
  m_choice->setText(engine.why.isEmpty() ? tr("Stories are played by %1.").arg(engine.Name())
                                         : tr("Stories are played by %1: %2.").arg(engine.Name(), engine.why));
}

bool CPlayOptions::OnOK() {
  bool written = WriteSetting(Store(), SETTING_PLAY_INTERPRETER, m_interpreterEdit->text().trimmed());
  written &= WriteSetting(Store(), SETTING_PLAY_EMGLKEN, m_emglkenEdit->text().trimmed());
  written &= WriteSetting(Store(), SETTING_PLAY_WIDTH, m_widthBox->value());
  written &= WriteSetting(Store(), SETTING_PLAY_TIME_LIMIT, m_timeLimitBox->value());
  written &= WriteSetting(Store(), SETTING_PLAY_AFTER_COMPILE, m_afterCompileBox->isChecked() ? 1 : 0);
  return written;
}
