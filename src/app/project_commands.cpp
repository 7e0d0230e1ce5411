#include "project_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "build_analysis.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "document.h"
#include "file_dialog.h"
#include "file_name.h"
#include "message_box.h"
#include "project_session.h"

namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void Tell(const QString& text) { TorvaneMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

} // namespace

CProjectCommands::CProjectCommands(CProjectSession& session, CDocManager& documents,
                                   QWidget* dialogParent)
    : m_session(session), m_documents(documents), m_dialogParent(dialogParent) {
  const CCommandTable::Rule always = CCommandTable::ALWAYS;
  const CCommandTable::Rule projectOpen = [this] { return m_session.IsOpen(); };
  m_commands.Add(Cmd::PROJECT_NEW, [this] { NewProject(); }, always);
  m_commands.Add(Cmd::PROJECT_OPEN, [this] { AskOpenProject(); }, always);
  m_commands.Add(Cmd::PROJECT_ADD_FILE, [this] { AddFile(); }, projectOpen);
  // The main file stays: a project without it cannot be built.
  m_commands.Add(Cmd::PROJECT_DELETE_FILE, [this] { DeleteFile(); }, [this] {
    return m_session.Contains(ActiveFile()) && Native(ActiveFile()) != m_session.Project().mainFile;
  });
  m_commands.Add(Cmd::BUILD_PROFILE, [this] { ToggleProfile(); }, projectOpen, [this] {
    return m_session.IsOpen() && m_session.Project().profile == BuildProfile::Release;
  });
}

bool CProjectCommands::IsProjectFile(const QString& path) {
  return path.endsWith(QStringLiteral(".i6proj"), Qt::CaseInsensitive);
}

QString CProjectCommands::ActiveFile() const {
  const CDocument* document = m_documents.ActiveDocument();
  return document && !document->GetPathName().isEmpty() ? AbsoluteCleanPath(document->GetPathName())
                                                        : QString();
}

CDocument* CProjectCommands::OpenProject(const QString& path) {
  QString error;
  if (!m_session.Open(AbsoluteCleanPath(path), &error)) {
    Tell(error);
    return nullptr;
  }
  // A project whose main file or members are gone is still opened, to be repaired.
  QStringList problems;
  for (const SourceMessage& problem : m_session.Problems())
    problems << QString::fromStdString(problem.Describe());
  if (!problems.isEmpty()) Tell(problems.join(QLatin1Char('\n')));
  const QString main = FromNative(m_session.Project().mainFile);
  CDocument* document = QFileInfo::exists(main) ? m_documents.OpenDocumentFile(main) : nullptr;
  m_documents.AddToRecentFileList(AbsoluteCleanPath(path));
  return document;
}

void CProjectCommands::NewProject() {
  QString main = ActiveFile();
  if (main.isEmpty()) {
    Tell(QStringLiteral("Save the game's main file first: a project is made for it."));
    return;
  }
  FileDialogRequest request;
  request.save = true;
  request.title = QStringLiteral("New Project");
  request.filter = QString::fromLatin1(PROJECT_FILTER);
  request.defaultExtension = QStringLiteral("i6proj");
  request.initialPath = QFileInfo(main).path() + QLatin1Char('/') + QFileInfo(main).completeBaseName() +
                        QStringLiteral(".i6proj");
  const QString path = AbsoluteCleanPath(TorvaneFileDialog(request, m_dialogParent).path);
  if (path.isEmpty() || path == QStringLiteral("/")) return;
  if (QFileInfo::exists(path) &&
      TorvaneMessageBox(QStringLiteral("%1 already exists.\nReplace it?").arg(path),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  ProjectFile project;
  project.path = Native(path);
  project.mainFile = Native(main);
  project.files = {project.mainFile};
  // The target the main file's own header names, z5 when it names none.
  BuildInputs inputs;
  inputs.mainFile = project.mainFile;
  project.target = AnalyseBuild(inputs).options.target;
  QString error;
  if (!m_session.Create(project, &error)) {
    Tell(error);
    return;
  }
  m_documents.AddToRecentFileList(path);
}

void CProjectCommands::AskOpenProject() {
  FileDialogRequest request;
  request.title = QStringLiteral("Open Project");
  request.filter = QString::fromLatin1(PROJECT_FILTER);
  request.defaultExtension = QStringLiteral("i6proj");
  const QString path = TorvaneFileDialog(request, m_dialogParent).path;
  if (!path.isEmpty()) OpenProject(path);
}

void CProjectCommands::AddFile() {
  FileDialogRequest request;
  request.title = QStringLiteral("Add File to Project");
  request.filter = QStringLiteral("Inform sources|*.inf;*.h|All Files|*.*||");
  request.initialPath = ActiveFile();
  const QString path = TorvaneFileDialog(request, m_dialogParent).path;
  if (path.isEmpty()) return;
  const QString file = AbsoluteCleanPath(path);
  if (m_session.Contains(file)) {
    Tell(QStringLiteral("%1 is in the project already.").arg(file));
    return;
  }
  QString error;
  if (!m_session.Update([&file](ProjectFile& project) { project.AddFile(Native(file)); }, &error))
    Tell(error);
}

void CProjectCommands::DeleteFile() {
  const QString file = ActiveFile();
  if (!m_session.Contains(file)) return;
  if (Native(file) == m_session.Project().mainFile) {
    Tell(QStringLiteral("%1 is the project's main file; it stays in the project.").arg(file));
    return;
  }
  // Only the project forgets the file: it stays on the disk, and open.
  if (TorvaneMessageBox(QStringLiteral("Remove %1 from the project?\nThe file stays on the disk.").arg(file),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  QString error;
  if (!m_session.Update([&file](ProjectFile& project) { project.RemoveFile(Native(file)); }, &error))
    Tell(error);
}

void CProjectCommands::ToggleProfile() {
  QString error;
  if (!m_session.Update(
          [](ProjectFile& project) {
            project.profile = project.profile == BuildProfile::Release ? BuildProfile::Debug
                                                                       : BuildProfile::Release;
          },
          &error))
    Tell(error);
}
