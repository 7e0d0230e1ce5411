#include "game_wizard.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

#include "doc_manager.h"
#include "folder_browser.h"
#include "library_kind.h"
#include "message_box.h"
#include "profile_store.h"
#include "project_session.h"
#include "settings_keys.h"

namespace {

bool IsLatin1(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0xFF) return false;
  return true;
}

std::string Bytes(const QLineEdit* edit) { return edit->text().trimmed().toLatin1().toStdString(); }

// A line edit with a "Browse..." button that fills it with a chosen folder.
QWidget* FolderRow(QLineEdit* edit, const QString& title, QWidget* owner) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* browse = new QPushButton(QStringLiteral("Browse..."));
  layout->addWidget(edit);
  layout->addWidget(browse);
  QObject::connect(browse, &QPushButton::clicked, owner, [edit, title, owner] {
    CFolderBrowser browser(title);
    if (browser.BrowseForFolder(owner, edit->text())) edit->setText(browser.Folder());
  });
  return row;
}

// Writes text to path whole or not at all; false when it failed (the user was told why).
bool WriteNewFile(const QString& path, const QByteArray& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    TorvaneMessageBox(QStringLiteral("Cannot write %1:\n%2.").arg(path, file.errorString()),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

// The standard library includes "infglk" for Glulx, the Glk declarations that not every
// copy of the library carries (Debian's does not). True when the compiler will find it in
// the game's folder or the library's, or the user wants the game all the same.
bool GlulxHeadersFound(const QDir& gameFolder) {
  const QDir library(ReadToolPath(CProfileStore(), SETTING_LIBRARY_PATH));
  for (const QDir& folder : {gameFolder, library})
    for (const char* name : {"infglk.h", "Infglk.h", "infglk"})
      if (QFileInfo::exists(folder.filePath(QString::fromLatin1(name)))) return true;
  return TorvaneMessageBox(QStringLiteral("The standard library in %1 has no infglk.h, the Glk "
                                          "declarations a Glulx game includes: the game will not "
                                          "compile until infglk.h is put there or beside the "
                                          "game.\nWrite the game all the same?")
                               .arg(library.path()),
                           MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

} // namespace

CGameWizardDialog::CGameWizardDialog(QWidget* parent)
    : QDialog(parent), m_title(new QLineEdit), m_author(new QLineEdit),
      m_headline(new QLineEdit(QStringLiteral("An Interactive Fiction"))),
      m_folder(new QLineEdit), m_punyFolder(new QLineEdit), m_template(new QComboBox) {
  setWindowTitle(QStringLiteral("Game Wizard"));
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Title:"), m_title);
  form->addRow(QStringLiteral("&Author:"), m_author);
  form->addRow(QStringLiteral("&Headline:"), m_headline);
  form->addRow(QStringLiteral("&Folder:"), FolderRow(m_folder, QStringLiteral("Game Folder"), this));
  form->addRow(QStringLiteral("&PunyInform folder:"),
               FolderRow(m_punyFolder, QStringLiteral("PunyInform Folder"), this));
  // A folder's label belongs to its edit, not to the row that holds the edit and its button:
  // the mnemonic goes to the edit, and the edit carries the label's name (a screen reader
  // finds a buddy label only beside the control).
  for (QLineEdit* edit : {m_folder, m_punyFolder})
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(edit->parentWidget()))) {
      label->setBuddy(edit);
      edit->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    }
  form->addRow(QStringLiteral("T&emplate:"), m_template);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  connect(m_punyFolder, &QLineEdit::textChanged, this, &CGameWizardDialog::OfferTemplates);
  OfferTemplates();
}

void CGameWizardDialog::OfferTemplates() {
  const bool puny =
      IdentifyLibraryFolder(QFile::encodeName(m_punyFolder->text()).toStdString()).kind ==
      LibraryKind::PunyInform;
  const int chosen = m_template->currentIndex();
  m_template->clear();
  m_template->addItem(QStringLiteral("Standard library, Z-code 5"), int(GameTemplate::StandardZ5));
  m_template->addItem(QStringLiteral("Standard library, Glulx"), int(GameTemplate::StandardGlulx));
  if (puny) m_template->addItem(QStringLiteral("PunyInform, Z-code 3"), int(GameTemplate::PunyZ3));
  // A PunyInform folder just found is what the user wants the game written for.
  m_template->setCurrentIndex(puny ? 2 : std::clamp(chosen, 0, 1));
}

GameTemplate CGameWizardDialog::Template() const {
  return static_cast<GameTemplate>(m_template->currentData().toInt());
}

GameDetails CGameWizardDialog::Details() const {
  return GameDetails{Bytes(m_title), Bytes(m_author), Bytes(m_headline)};
}

void CGameWizardDialog::accept() {
  QString problem;
  if (m_title->text().trimmed().isEmpty())
    problem = QStringLiteral("Give the game a title.");
  else if (m_folder->text().trimmed().isEmpty())
    problem = QStringLiteral("Choose the folder the game is written to.");
  for (const QLineEdit* edit : {m_title, m_author, m_headline})
    if (problem.isEmpty() && !IsLatin1(edit->text()))
      problem = QStringLiteral("\"%1\" holds a character an Inform source in ISO 8859-1 cannot.")
                    .arg(edit->text());
  if (!problem.isEmpty()) {
    TorvaneMessageBox(problem, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QDialog::accept();
}

bool RunGameWizard(QWidget* parent, CProjectSession& session, CDocManager& documents) {
  CGameWizardDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QDir folder(QDir::cleanPath(QFileInfo(dialog.FolderEdit()->text().trimmed()).absoluteFilePath()));
  if (dialog.Template() == GameTemplate::StandardGlulx && !GlulxHeadersFound(folder)) return false;
  if (!folder.mkpath(QStringLiteral("."))) {
    TorvaneMessageBox(QStringLiteral("Cannot make the folder %1.").arg(folder.path()),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const GameDetails details = dialog.Details();
  const QString stem = QString::fromLatin1(GameFileStem(details.title).c_str());
  const QString mainPath = folder.filePath(stem + QStringLiteral(".inf"));
  const QString projectPath = folder.filePath(stem + QStringLiteral(".i6proj"));
  // Both questions first: a project is not left without its main file, nor the reverse.
  for (const QString& path : {mainPath, projectPath})
    if (QFileInfo::exists(path) &&
        TorvaneMessageBox(QStringLiteral("%1 already exists.\nReplace it?").arg(path),
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
  if (!WriteNewFile(mainPath, QByteArray::fromStdString(GameSource(dialog.Template(), details))))
    return false;
  auto native = [](const QString& path) { return QFile::encodeName(path).toStdString(); };
  const QString puny = QDir::cleanPath(QFileInfo(dialog.PunyFolderEdit()->text().trimmed()).absoluteFilePath());
  QString error;
  if (!session.Create(GameProject(dialog.Template(), native(mainPath), native(projectPath), native(puny)), &error)) {
    TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const bool opened = documents.OpenDocumentFile(mainPath) != nullptr;
  documents.AddToRecentFileList(projectPath);
  return opened;
}
