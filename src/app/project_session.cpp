#include "project_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::string Native(const QString& path) { return QFile::encodeName(QDir::cleanPath(QFileInfo(path).absoluteFilePath())).toStdString(); }

QString FromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void SetError(QString* error, const SourceMessage& message) {
  if (error) *error = QString::fromStdString(message.Describe());
}

} // namespace

CProjectSession::CProjectSession() = default;
CProjectSession::~CProjectSession() = default;

bool CProjectSession::Open(const QString& path, QString* error) {
  ProjectFile project;
  SourceMessage message;
  if (!ReadProjectFile(Native(path), project, message)) {
    SetError(error, message);
    return false;
  }
  m_project = std::move(project);
  m_problems = ProjectProblems(m_project);
  m_open = true;
  emit changed();
  return true;
}

bool CProjectSession::Create(const ProjectFile& project, QString* error) {
  SourceMessage message;
  if (!WriteProjectFile(project, message)) {
    SetError(error, message);
    return false;
  }
  return Open(FromNative(project.path), error);
}

bool CProjectSession::Save(QString* error) {
  if (!m_open) return false;
  SourceMessage message;
  if (!WriteProjectFile(m_project, message)) {
    SetError(error, message);
    return false;
  }
  return true;
}

void CProjectSession::Close() {
  if (!m_open) return;
  m_open = false;
  m_project = ProjectFile();
  m_problems.clear();
  emit changed();
}

QString CProjectSession::Path() const { return m_open ? FromNative(m_project.path) : QString(); }

bool CProjectSession::Update(const std::function<void(ProjectFile&)>& change, QString* error) {
  if (!m_open) return false;
  change(m_project);
  m_problems = ProjectProblems(m_project);
  const bool saved = Save(error);
  emit changed();
  return saved;
}

bool CProjectSession::Contains(const QString& path) const {
  return m_open && !path.isEmpty() && m_project.Contains(Native(path));
}

QString CProjectSession::MainFileFor(const QString& path) const {
  return Contains(path) ? FromNative(m_project.mainFile) : path;
}
