#include "document.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "command_ids.h"
#include "doc_manager.h"
#include "message_box.h"
#include "view.h"

CView::~CView() {
  if (m_document) m_document->RemoveView(this);
}

CDocument::CDocument(QObject* parent) : QObject(parent) {
  m_commands.Add(Cmd::FILE_SAVE, [this] { DoFileSave(); }, CCommandTable::ALWAYS);
  m_commands.Add(Cmd::FILE_SAVE_AS, [this] { DoSave(QString()); }, CCommandTable::ALWAYS);
  m_commands.Add(
      Cmd::FILE_CLOSE, [this] { if (SaveModified()) OnCloseDocument(); }, CCommandTable::ALWAYS);
}

CDocument::~CDocument() {
  for (CView* view : m_views) view->m_document = nullptr;
}

void CDocument::SetTitle(const QString& title) {
  if (m_title == title) return;
  m_title = title;
  emit titleChanged();
}

void CDocument::SetPathName(const QString& path, bool addToRecent) {
  const QString previous = m_pathName;
  m_pathName = QFileInfo(path).absoluteFilePath();
  SetTitle(QFileInfo(m_pathName).fileName());
  if (addToRecent && m_manager) m_manager->AddToRecentFileList(m_pathName);
  if (m_manager) m_manager->CheckFilesSoon(); // the new file is the one to watch
  if (m_pathName != previous) emit renamed();
}

void CDocument::SetModifiedFlag(bool modified) {
  if (m_modified == modified) return;
  m_modified = modified;
  emit modifiedChanged(modified);
}

void CDocument::AddView(CView* view) {
  if (view->m_document == this) return;
  if (view->m_document) view->m_document->RemoveView(view);
  view->m_document = this;
  m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) {
  std::erase(m_views, view);
  if (view->m_document == this) view->m_document = nullptr;
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_pathName.clear();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const QString& path) {
  (void)path;
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenMissingDocument(const QString& path) {
  (void)path;
  return false;
}

bool CDocument::OnSaveDocument(const QString& path) {
  (void)path;
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnCloseDocument() {
  if (m_manager) m_manager->CloseDocument(this);
}

FileDialogRequest CDocument::SaveAsRequest() const {
  FileDialogRequest request;
  request.save = true;
  request.title = QStringLiteral("Save As");
  request.filter = QStringLiteral("All Files (*.*)|*.*||");
  request.initialPath = m_pathName.isEmpty() ? m_title : m_pathName;
  return request;
}

bool CDocument::SaveModified() {
  if (!m_modified) return true;
  const int answer = TorvaneMessageBox(QStringLiteral("Save changes to %1?").arg(m_title),
                                       MB_YESNOCANCEL | MB_ICONEXCLAMATION);
  if (answer == IDCANCEL) return false;
  if (answer == IDNO) return true;
  return DoFileSave();
}

namespace {
QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }
} // namespace

CDocument::DiskChange CDocument::CheckDisk() const {
  if (m_pathName.isEmpty()) return DiskChange::None;
  const CFileStamp now = CFileStamp::Of(m_pathName);
  if (now == m_diskStamp) return DiskChange::None;
  return now.exists ? DiskChange::Changed : DiskChange::Deleted;
}

bool CDocument::Reload() {
  if (!OnReloadDocument()) return false;
  RecordDiskStamp();
  m_reportedStamp = m_diskStamp;
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnFileChangedOnDisk() {
  const DiskChange change = CheckDisk();
  const CFileStamp now = CFileStamp::Of(m_pathName);
  if (change == DiskChange::None || now == m_reportedStamp) return; // our own save, or told
  m_reportedStamp = now;
  if (change == DiskChange::Deleted) {
    SetModifiedFlag(true);
    emit note(QStringLiteral("%1 was deleted by another program; Save writes it again.")
                  .arg(Shown(m_pathName)));
  } else if (!m_modified) {
    if (Reload())
      emit note(QStringLiteral("%1 was changed by another program and has been read again.")
                    .arg(Shown(m_pathName)));
  } else {
    emit note(QStringLiteral("%1 was changed by another program; saving asks first.")
                  .arg(Shown(m_pathName)));
  }
}

bool CDocument::SaveDocument(const QString& path) {
  const bool ownFile = !m_pathName.isEmpty() && QFileInfo(path).absoluteFilePath() == m_pathName;
  if (ownFile && CheckDisk() == DiskChange::Changed) {
    int answer = IDYES; // an unmodified document loses nothing by reading the file again
    if (m_modified)
      answer = TorvaneMessageBox(
          QStringLiteral("%1 has been changed by another program.\n\nReload it and lose your "
                         "changes, or keep yours and write over the other program's?")
              .arg(Shown(m_pathName)),
          MB_RELOADKEEPCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) {
      if (!Reload()) return false;
      emit note(QStringLiteral("%1 was changed by another program and has been read again.")
                    .arg(Shown(m_pathName)));
      return true;
    }
  }
  if (!OnSaveDocument(path)) return false;
  if (ownFile) RecordDiskStamp();
  emit saved();
  return true;
}

bool CDocument::DoSave(const QString& path, bool replace) {
  QString target = path;
  if (target.isEmpty()) {
    QWidget* parent = nullptr;
    if (!m_views.empty()) parent = m_views.front()->ViewWidget();
    target = TorvaneFileDialog(SaveAsRequest(), parent).path;
    if (target.isEmpty()) return false;
  }
  if (!SaveDocument(target)) return false;
  if (replace && QFileInfo(target).absoluteFilePath() != m_pathName) {
    SetPathName(target);
    RecordDiskStamp();
  }
  return true;
}

bool CDocument::DoFileSave() {
  const QFileInfo file(m_pathName);
  // A file that exists but may not be written is saved elsewhere, as for a new document.
  if (m_pathName.isEmpty() || (file.exists() && !file.isWritable())) return DoSave(QString());
  return DoSave(m_pathName);
}
