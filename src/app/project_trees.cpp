#include "project_trees.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <set>

#include "doc_manager.h"
#include "document.h"
#include "file_name.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "project_file_document.h"
#include "project_session.h"
#include "project_tab.h"
#include "source_encoding.h"

namespace {


QString FromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

} // namespace

CProjectTrees::CProjectTrees(CProjectSession& session, CDocManager& documents, CObjectBar& bar,
                             QObject* parent)
    : QObject(parent), m_session(session), m_documents(documents), m_bar(bar) {
  connect(&session, &CProjectSession::changed, this, &CProjectTrees::Refresh);
  connect(&documents, &CDocManager::documentOpened, this, &CProjectTrees::Refresh);
  connect(&documents, &CDocManager::documentRenamed, this, &CProjectTrees::Refresh);
  connect(&documents, &CDocManager::documentClosed, this, &CProjectTrees::Refresh);
  bar.ProjectTab()->SetOpener([this](const QString& path) { Open(path); });
}

CProjectTrees::~CProjectTrees() = default;

std::vector<CObjectBarDocument*> CProjectTrees::Documents() const {
  std::vector<CObjectBarDocument*> documents;
  for (const std::string& file : m_session.Project().files)
    if (const auto found = m_closed.find(AbsoluteCleanPath(FromNative(file))); found != m_closed.end())
      documents.push_back(found->second.get());
  return documents;
}

void CProjectTrees::Refresh() {
  std::set<QString> open;
  for (const CDocument* document : m_documents.Documents())
    if (!document->GetPathName().isEmpty()) open.insert(AbsoluteCleanPath(document->GetPathName()));
  QStringList members;
  std::set<QString> wanted;
  if (m_session.IsOpen())
    for (const std::string& file : m_session.Project().files) {
      members << AbsoluteCleanPath(FromNative(file));
      if (!open.contains(members.back())) wanted.insert(members.back());
    }
  m_bar.ProjectTab()->SetFiles(members, m_session.IsOpen() ? AbsoluteCleanPath(FromNative(m_session.Project().mainFile)) : QString(),
                               QFileInfo(m_session.Path()).absolutePath());
  std::vector<QString> gone;
  for (const auto& [path, entry] : m_closed)
    if (!wanted.contains(path)) gone.push_back(path);
  for (const QString& path : gone) RemoveEntry(path);
  for (const QString& path : wanted) {
    if (m_closed.contains(path)) continue;
    auto entry = std::make_unique<CProjectFileDocument>(path, [this](QString file) -> CTextView* {
      CDocument* document = m_documents.OpenDocumentFile(file);
      auto* shown = dynamic_cast<CObjectBarDocument*>(document);
      return shown ? shown->ActivateFirstView() : nullptr;
    }, CommandLineEncoding(&m_session.Project(), QString()));
    // A member that cannot be read has no subtree (the project's problems say why); it is
    // tried again at the next change.
    if (!entry->Scan()) continue;
    m_bar.FillDocument(*entry);
    m_closed.emplace(path, std::move(entry));
  }
}

void CProjectTrees::RemoveEntry(const QString& path) {
  const auto found = m_closed.find(path);
  m_bar.RemoveDocument(*found->second);
  m_retired.push_back(std::move(found->second));
  m_closed.erase(found);
  QTimer::singleShot(0, this, [this] { m_retired.clear(); });
}

void CProjectTrees::Open(QString path) {
  if (CDocument* document = m_documents.OpenDocumentFile(path))
    if (auto* shown = dynamic_cast<CObjectBarDocument*>(document)) shown->ActivateFirstView();
}
