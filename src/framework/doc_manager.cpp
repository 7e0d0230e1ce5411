#include "doc_manager.h"

#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>

#include "document.h"
#include "file_name.h"
#include "mdi_child_base.h"

CDocManager::CDocManager(QMdiArea* area, CDocTemplate docTemplate, QObject* parent)
    : QObject(parent), m_area(area), m_template(std::move(docTemplate)) {}

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

CDocument* CDocManager::OpenNewDocument() {
  QMdiSubWindow* previous = m_area->currentSubWindow();
  CDocument* document = m_template.createDocument();
  document->m_manager = this;
  m_documents.push_back(document);
  CMdiChildBase* frame = MakeFrame(document);
  if (!document->OnNewDocument()) {
    Discard(document, frame, previous);
    return nullptr;
  }
  connect(document, &CDocument::titleChanged, this, [this, document] { UpdateFrameTitles(document); });
  connect(document, &CDocument::modifiedChanged, this, [this, document] { UpdateFrameTitles(document); });
  ShowFrame(frame);
  emit documentsChanged();
  return document;
}

CDocument* CDocManager::OpenDocumentFile(const QString& path, bool createMissing) {
  const QString full = QFileInfo(path).absoluteFilePath();
  if (CDocument* open = FindDocument(full)) {
    const std::vector<CMdiChildBase*> frames = Frames(open);
    if (!frames.empty()) m_area->setActiveSubWindow(frames.front());
    AddToRecentFileList(open->GetPathName());
    return open;
  }
  QMdiSubWindow* previous = m_area->currentSubWindow();
  CDocument* document = m_template.createDocument();
  document->m_manager = this;
  m_documents.push_back(document);
  CMdiChildBase* frame = MakeFrame(document);
  const bool missing = createMissing && !FileNameExists(full);
  const bool opened =
      missing ? document->OnOpenMissingDocument(full) : document->OnOpenDocument(full);
  // Reading may dispatch events (the object scan); the document must still be ours.
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end())
    return nullptr;
  if (!opened) {
    Discard(document, frame, previous);
    return nullptr;
  }
  document->SetModifiedFlag(false);
  // A file that is not there yet joins the recent files once it has been saved.
  document->SetPathName(full, !missing);
  connect(document, &CDocument::titleChanged, this, [this, document] { UpdateFrameTitles(document); });
  connect(document, &CDocument::modifiedChanged, this, [this, document] { UpdateFrameTitles(document); });
  ShowFrame(frame);
  emit documentsChanged();
  return document;
}

CMdiChildBase* CDocManager::CreateNewFrame(CDocument* document) {
  CMdiChildBase* frame = MakeFrame(document);
  ShowFrame(frame);
  return frame;
}

void CDocManager::CloseDocument(CDocument* document) {
  auto it = std::find(m_documents.begin(), m_documents.end(), document);
  if (it == m_documents.end()) return;
  m_documents.erase(it);
  for (CMdiChildBase* frame : Frames(document)) frame->CloseWithoutAsking();
  document->m_manager = nullptr;
  document->deleteLater();
  emit documentsChanged();
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

void CDocManager::AddToRecentFileList(const QString& path) {
  m_recent.Add(path);
  emit recentFilesChanged();
}

void CDocManager::RemoveFromRecentFileList(int index) {
  m_recent.Remove(index);
  emit recentFilesChanged();
}
