#include "doc_manager.h"

#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>

#include "document.h"
#include "file_name.h"
#include "mdi_child_base.h"

namespace {
// Another program's save may remove, write and rename in several steps: look once they settle.
constexpr int FILE_CHECK_DELAY_MS = 100;
} // namespace

CDocManager::CDocManager(QMdiArea* area, CDocTemplate docTemplate, QObject* parent)
    : QObject(parent), m_area(area), m_template(std::move(docTemplate)) {
  m_checkTimer.setSingleShot(true);
  m_checkTimer.setInterval(FILE_CHECK_DELAY_MS);
  connect(&m_checkTimer, &QTimer::timeout, this, &CDocManager::CheckFiles);
  connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CDocManager::CheckFilesSoon);
  connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CDocManager::CheckFilesSoon);
}

CDocManager::~CDocManager() {
  // Frames first: their views leave the documents before the documents go.
  for (QMdiSubWindow* window : m_area ? m_area->subWindowList() : QList<QMdiSubWindow*>())
    if (qobject_cast<CMdiChildBase*>(window)) delete window;
  for (CDocument* document : m_documents) delete document;
}

CMdiChildBase* CDocManager::MakeFrame(CDocument* document) {
  CMdiChildBase* frame = m_template.createFrame(document);
  m_area->addSubWindow(frame);
  return frame;
}

void CDocManager::ShowFrame(CMdiChildBase* frame) {
  UpdateFrameTitles(frame->GetDocument());
  frame->InitialUpdateFrame();
  frame->show();
  m_area->setActiveSubWindow(frame);
}

void CDocManager::Discard(CDocument* document, CMdiChildBase* frame, QMdiSubWindow* previous) {
  delete frame;
  std::erase(m_documents, document);
  delete document;
  // The window that was active before the failed attempt stays active.
  if (previous && m_area->subWindowList().contains(previous)) m_area->setActiveSubWindow(previous);
}

CDocManager::COpening CDocManager::BeginOpen() {
  COpening opening;
  opening.previous = m_area->currentSubWindow();
  opening.document = m_template.createDocument();
  opening.document->m_manager = this;
  m_documents.push_back(opening.document);
  opening.frame = MakeFrame(opening.document);
  return opening;
}

CDocument* CDocManager::EndOpen(const COpening& opening, bool opened) {
  CDocument* document = opening.document;
  // Reading may dispatch events (the object scan); the document must still be ours.
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end())
    return nullptr;
  if (!opened) {
    Discard(document, opening.frame, opening.previous);
    return nullptr;
  }
  connect(document, &CDocument::titleChanged, this, [this, document] { UpdateFrameTitles(document); });
  connect(document, &CDocument::modifiedChanged, this, [this, document](bool modified) {
    UpdateFrameTitles(document);
    emit documentModifiedChanged(document, modified);
  });
  connect(document, &CDocument::renamed, this, [this, document] { emit documentRenamed(document); });
  connect(document, &CDocument::saved, this, [this, document] { emit documentSaved(document); });
  connect(document, &CDocument::note, this, &CDocManager::documentNote);
  ShowFrame(opening.frame);
  WatchFiles();
  emit documentOpened(document);
  // A listener may have closed it (filling the object trees runs the event loop).
  return std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()
             ? nullptr
             : document;
}

CDocument* CDocManager::OpenNewDocument() {
  const COpening opening = BeginOpen();
  return EndOpen(opening, opening.document->OnNewDocument());
}

CDocument* CDocManager::OpenDocumentFile(const QString& path, bool createMissing) {
  if (CDocument* document = nullptr; m_openHook && m_openHook(path, document)) return document;
  const QString full = QFileInfo(path).absoluteFilePath();
  if (CDocument* open = FindDocument(full)) {
    const std::vector<CMdiChildBase*> frames = Frames(open);
    if (!frames.empty()) m_area->setActiveSubWindow(frames.front());
    AddToRecentFileList(open->GetPathName());
    return open;
  }
  const COpening opening = BeginOpen();
  CDocument* document = opening.document;
  const bool missing = createMissing && !FileNameExists(full);
  const bool opened =
      missing ? document->OnOpenMissingDocument(full) : document->OnOpenDocument(full);
  if (opened && std::find(m_documents.begin(), m_documents.end(), document) != m_documents.end()) {
    document->SetModifiedFlag(false);
    // A file that is not there yet joins the recent files once it has been saved.
    document->SetPathName(full, !missing);
    document->RecordDiskStamp();
  }
  return EndOpen(opening, opened);
}

CMdiChildBase* CDocManager::CreateNewFrame(CDocument* document) {
  CMdiChildBase* frame = MakeFrame(document);
  ShowFrame(frame);
  return frame;
}

void CDocManager::CloseDocument(CDocument* document) {
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()) return;
  emit documentAboutToClose(document);
  // A listener may have closed it already.
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()) return;
  std::erase(m_documents, document);
  for (CMdiChildBase* frame : Frames(document)) frame->CloseWithoutAsking();
  document->m_manager = nullptr;
  disconnect(document, nullptr, this, nullptr);
  document->deleteLater();
  WatchFiles();
  emit documentClosed(document);
}

bool CDocManager::SaveAllModified() {
  const std::vector<CDocument*> documents = m_documents;
  for (CDocument* document : documents)
    if (std::find(m_documents.begin(), m_documents.end(), document) != m_documents.end() &&
        !document->SaveModified())
      return false;
  return true;
}

void CDocManager::CloseAllDocuments() {
  const std::vector<CDocument*> documents = m_documents;
  for (CDocument* document : documents) document->OnCloseDocument();
}

CDocument* CDocManager::FindDocument(const QString& path) const {
  const QString wanted = QFileInfo(path).absoluteFilePath();
  // The same file under another name (a link, "..") is the same document.
  for (CDocument* document : m_documents)
    if (!document->GetPathName().isEmpty() && SameFileName(document->GetPathName(), wanted))
      return document;
  return nullptr;
}

std::vector<CMdiChildBase*> CDocManager::Frames(const CDocument* document) const {
  std::vector<CMdiChildBase*> frames;
  if (!m_area) return frames;
  for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::CreationOrder)) {
    auto* frame = qobject_cast<CMdiChildBase*>(window);
    if (frame && frame->GetDocument() == document && !frame->IsClosed()) frames.push_back(frame);
  }
  return frames;
}

CMdiChildBase* CDocManager::ActiveFrame() const {
  // The current window stays current while the application is not active.
  return qobject_cast<CMdiChildBase*>(m_area->currentSubWindow());
}

CDocument* CDocManager::ActiveDocument() const {
  CMdiChildBase* frame = ActiveFrame();
  return frame ? frame->GetDocument() : nullptr;
}

void CDocManager::UpdateFrameTitles(const CDocument* document) {
  const std::vector<CMdiChildBase*> frames = Frames(document);
  const int count = static_cast<int>(frames.size());
  for (int i = 0; i < count; ++i) frames[static_cast<std::size_t>(i)]->UpdateFrameTitle(i + 1, count);
}

void CDocManager::CheckFilesSoon() { m_checkTimer.start(); }

void CDocManager::CheckFiles() {
  // A document read again runs the event loop: one may close meanwhile.
  std::vector<std::pair<CDocument*, CLifetimeGuard::CWatch>> documents;
  for (CDocument* document : m_documents) documents.emplace_back(document, document->Lifetime().Watch());
  for (const auto& [document, lifetime] : documents)
    if (!lifetime.IsGone() && document->GetDocManager() == this) document->OnFileChangedOnDisk();
  WatchFiles();
}

void CDocManager::WatchFiles() {
  QStringList wanted;
  for (CDocument* document : m_documents) {
    const QString path = document->GetPathName();
    if (path.isEmpty()) continue;
    wanted << QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path)) wanted << path;
  }
  wanted.removeDuplicates();
  QStringList unwanted = m_watcher.files() + m_watcher.directories();
  for (const QString& path : std::as_const(wanted)) unwanted.removeAll(path);
  if (!unwanted.isEmpty()) m_watcher.removePaths(unwanted);
  QStringList missing;
  for (const QString& path : std::as_const(wanted))
    if (!m_watcher.files().contains(path) && !m_watcher.directories().contains(path))
      missing << path;
  if (!missing.isEmpty()) m_watcher.addPaths(missing);
}

void CDocManager::AddToRecentFileList(const QString& path) {
  m_recent.Add(path);
  emit recentFilesChanged();
}

void CDocManager::RemoveFromRecentFileList(int index) {
  m_recent.Remove(index);
  emit recentFilesChanged();
}
