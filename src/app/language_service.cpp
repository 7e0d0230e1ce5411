#include "language_service.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDockWidget>
#include <QMenu>

#include "buffer_view.h"
#include "line_text.h"
#include "source_encoding.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "include_resolver.h"
#include "mdi_child_base.h"
#include "object_scanner.h"
#include "references_bar.h"
#include "text_buffer.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

// The first lines of a text: a long file is indexed a slice at a time, each slice a longer
// prefix whose earlier lines the index already holds.
class CPrefixLineSource final : public CScanLineSource {
public:
  CPrefixLineSource(const CScanLineSource& all, int count) : m_all(all), m_count(count) {}
  int LineCount() const override { return m_count; }
  int LineLength(int line) const override { return m_all.LineLength(line); }
  const char* LineChars(int line) const override { return m_all.LineChars(line); }

private:
  const CScanLineSource& m_all;
  int m_count;
};

int DefaultChooser(const QStringList& labels, CTorvaneView* view) {
  QMenu menu(view);
  for (int i = 0; i < labels.size(); ++i) menu.addAction(labels[i])->setData(i);
  const QPoint at = view ? view->mapToGlobal(view->GetCaretRect().bottomLeft()) : QCursor::pos();
  const QAction* chosen = menu.exec(at);
  return chosen ? chosen->data().toInt() : -1;
}

// The compiler's search from the including file's folder: that folder, the library folders;
// the library's "language__" is English's file.
IncludeResolver CompilerResolver(const std::vector<std::string>& folders) {
  std::vector<std::string> path{""};
  path.insert(path.end(), folders.begin(), folders.end());
  return [path](std::string_view name, const std::string& including) -> std::optional<std::string> {
    const std::string working = QFileInfo(QString::fromStdString(including)).absolutePath().toStdString();
    std::string found = ResolveInclude(name == "language__" ? "English" : name, including, path, working);
    if (found.empty()) return std::nullopt;
    return found;
  };
}

} // namespace

// An open document: its buffer is watched, and the lines its edits touched are indexed
// again on idle. Between two indexings the changed stretch is kept as its first line and the
// number of unchanged lines at the end, which no later edit can make wrong.
struct CLanguageService::CTracked final : CBufferView {
  CLanguageService* service = nullptr;
  CTorvaneDoc* document = nullptr;
  CTextBuffer* buffer = nullptr;
  int file = -1;
  bool full = true;   // index the whole text
  bool dirty = true;
  int first = 0;      // the first changed line
  int tail = 0;       // lines at the end unchanged since the last indexing
  int indexedLines = 0;
  int read = -1;      // lines of a whole indexing read so far; -1 when none is under way

  void OnBufferChanged(CBufferView*, const UpdateContext* context, uint32_t hints, int line) override {
    if (hints & UPD_LINE_ATTR) return; // a bookmark or a mark: no text changed
    if (context) {
      const int last = context->kind == UpdateContext::Kind::Insertion ? context->end.y : context->start.y;
      Mark(context->start.y, last);
    } else if ((hints & UPD_SINGLE_LINE) && line >= 0) {
      Mark(line, line);
    } else {
      full = dirty = true;
    }
    service->Schedule();
  }
  void OnBufferDestroyed() override { buffer = nullptr; }
  void Mark(int from, int to) {
    // A whole indexing under way reads the lines past its slices as they are by then; an
    // edit of the lines it has read starts it again.
    if (read >= 0 && from < read) full = true;
    const int lines = buffer ? buffer->LineCount() : 0;
    if (!dirty) {
      first = from;
      tail = lines;
    }
    dirty = true;
    first = std::min(first, from);
    tail = std::max(0, std::min(tail, lines - to - 1));
  }
};

CLanguageService::CLanguageService(CDocManager& documents, QObject* parent)
    : QObject(parent), m_documents(documents), m_folders{STANDARD_LIBRARY_FOLDER}, m_chooser(DefaultChooser) {
  m_timer.setSingleShot(true);
  m_timer.setInterval(0);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    if (Step()) {
      m_branchesStale = true;
      Schedule();
    } else if (m_branchesStale) {
      UpdateInactive(); // once the index is whole again
    }
  });
  connect(&documents, &CDocManager::documentOpened, this, &CLanguageService::Track);
  connect(&documents, &CDocManager::documentAboutToClose, this, &CLanguageService::Untrack);
  connect(&documents, &CDocManager::documentRenamed, this, &CLanguageService::Rekey);
  connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CLanguageService::OnFileChanged);
  for (CDocument* document : documents.Documents()) Track(document);
}

CLanguageService::~CLanguageService() {
  for (auto& [document, tracked] : m_tracked)
    if (tracked->buffer) tracked->buffer->DetachView(tracked.get());
}

void CLanguageService::SetIncludeFolders(const QStringList& folders) {
  m_folders.clear();
  for (const QString& folder : folders)
    if (!folder.isEmpty()) m_folders.push_back(folder.toStdString());
  m_folders.emplace_back(STANDARD_LIBRARY_FOLDER);
  Schedule();
}

QString CLanguageService::KeyOf(CTorvaneDoc* document) const {
  // An untitled document is indexed under a name no file has.
  if (document->GetPathName().isEmpty()) return QStringLiteral("untitled:%1").arg(reinterpret_cast<quintptr>(document));
  return QFileInfo(document->GetPathName()).absoluteFilePath();
}

CLanguageService::CTracked* CLanguageService::FindTracked(const QString& key) const {
  for (const auto& [document, tracked] : m_tracked)
    if (m_index.FilePath(tracked->file) == key.toStdString()) return tracked.get();
  return nullptr;
}

void CLanguageService::Track(CDocument* document) {
  auto* inform = dynamic_cast<CTorvaneDoc*>(document);
  if (!inform || m_tracked.count(document)) return;
  auto tracked = std::make_unique<CTracked>();
  tracked->service = this;
  tracked->document = inform;
  tracked->buffer = &inform->Buffer();
  tracked->file = m_index.FileId(KeyOf(inform).toStdString());
  tracked->buffer->AttachView(tracked.get());
  if (m_reading.file == tracked->file) m_reading = CReadJob(); // its buffer is read instead
  m_tracked.emplace(document, std::move(tracked));
  Schedule();
}

void CLanguageService::Untrack(CDocument* document) {
  const auto found = m_tracked.find(document);
  if (found == m_tracked.end()) return;
  CTracked& tracked = *found->second;
  m_inactive.erase(document);
  if (tracked.buffer) tracked.buffer->DetachView(&tracked);
  const int file = tracked.file;
  m_tracked.erase(found);
  // What is on disk counts again: the unsaved edits went with the document.
  if (QFileInfo::exists(QString::fromStdString(m_index.FilePath(file)))) m_rereads.push_back(file);
  else m_index.IndexFile(file, CStringLineSource());
  Schedule();
}

void CLanguageService::Rekey(CDocument* document) {
  Untrack(document);
  Track(document);
}

void CLanguageService::Schedule() {
  if (!m_timer.isActive()) m_timer.start();
}

bool CLanguageService::HasPendingWork() const {
  for (const auto& [document, tracked] : m_tracked)
    if (tracked->dirty) return true;
  return m_reading.file >= 0 || !m_rereads.empty();
}

void CLanguageService::IndexNow() {
  while (Step()) m_branchesStale = true;
  if (m_branchesStale) UpdateInactive();
}

bool CLanguageService::Step() {
  if (StepDocuments()) return true;
  return StepReading();
}

// The edits of one document; true when it did any.
bool CLanguageService::StepDocuments() {
  for (auto& [document, tracked] : m_tracked) {
    CTracked& t = *tracked;
    if (!t.dirty || !t.buffer) continue;
    const CBufferLineSource<CTextBuffer> source(*t.buffer);
    const int lines = source.LineCount();
    if (t.full || !m_index.IsIndexed(t.file)) {
      m_index.IndexFile(t.file, CStringLineSource());
      t.read = 0;
      t.full = false;
    }
    if (t.read >= 0) {
      // A whole text is read a slice a step, as files from disk are, so that a big document
      // never holds the event loop.
      const int upTo = std::min(lines, t.read + SLICE_LINES);
      m_index.ReplaceLines(t.file, CPrefixLineSource(source, upTo), t.read, 0, upTo - t.read);
      t.read = upTo;
      if (upTo < lines) return true;
      t.read = -1;
    } else {
      const int newCount = std::max(0, lines - t.tail - t.first);
      const int oldCount = std::max(0, t.indexedLines - t.tail - t.first);
      m_index.ReplaceLines(t.file, source, t.first, oldCount, newCount);
    }
    t.indexedLines = lines;
    t.full = t.dirty = false;
    return true;
  }
  return false;
}

// A slice of a file read from disk; then the next file to read. True when more is waiting.
bool CLanguageService::StepReading() {
  if (m_reading.file < 0) {
    int next = -1;
    if (!m_rereads.empty()) {
      next = m_rereads.back();
      m_rereads.pop_back();
    } else {
      next = m_index.NextUnindexedInclude(CompilerResolver(m_folders));
    }
    if (next < 0) return false;
    if (FindTracked(QString::fromStdString(m_index.FilePath(next)))) return true; // open: its buffer counts
    if (!StartRead(next)) return true;
  }
  const int total = m_reading.source->LineCount();
  const int upTo = std::min(total, m_reading.done + SLICE_LINES);
  m_index.ReplaceLines(m_reading.file, CPrefixLineSource(*m_reading.source, upTo), m_reading.done, 0, upTo - m_reading.done);
  m_reading.done = upTo;
  if (upTo == total) m_reading = CReadJob();
  return true;
}

bool CLanguageService::StartRead(int file) {
  const QString path = QString::fromStdString(m_index.FilePath(file));
  QFile in(path);
  if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly)) {
    m_index.SetUnreadable(file);
    return false;
  }
  const QByteArray text = in.readAll();
  m_reading.file = file;
  m_reading.source = std::make_unique<CStringLineSource>(CStringLineSource::FromText(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
  m_reading.done = 0;
  m_index.IndexFile(file, CStringLineSource());
  if (!m_watcher.files().contains(path)) m_watcher.addPath(path);
  return true;
}

void CLanguageService::OnFileChanged(const QString& path) {
  const std::optional<int> file = m_index.FindFile(QFileInfo(path).absoluteFilePath().toStdString());
  if (!file || FindTracked(QFileInfo(path).absoluteFilePath())) return;
  m_rereads.push_back(*file);
  // A file replaced by a rename leaves the watch: watch the new one.
  if (QFileInfo::exists(path) && !m_watcher.files().contains(path)) m_watcher.addPath(path);
  Schedule();
}

std::optional<CLanguageService::CPlace> CLanguageService::Here() const {
  auto* document = dynamic_cast<CTorvaneDoc*>(m_documents.ActiveDocument());
  CMdiChildBase* frame = m_documents.ActiveFrame();
  CView* view = frame ? frame->GetActiveView() : nullptr;
  auto* text = view ? dynamic_cast<CTorvaneView*>(view->ViewWidget()) : nullptr;
  if (!document || !text) return std::nullopt;
  const TextPosition caret = text->GetCursorPosition();
  return CPlace{KeyOf(document), caret.y, caret.x};
}

bool CLanguageService::JumpTo(const CPlace& place) {
  CDocument* document = nullptr;
  if (CTracked* tracked = FindTracked(place.key)) document = tracked->document;
  else if (!place.key.startsWith(QStringLiteral("untitled:"))) document = m_documents.OpenDocumentFile(place.key);
  auto* inform = dynamic_cast<CTorvaneDoc*>(document);
  if (!inform) return false;
  auto* view = dynamic_cast<CEditView*>(inform->ActivateFirstView());
  if (!view) return false;
  view->MoveCaretTo(TextPosition(place.col, place.line));
  view->setFocus();
  return true;
}

bool CLanguageService::GoToDefinition() {
  while (StepDocuments()) {
  }
  const std::optional<CPlace> here = Here();
  if (!here) return false;
  const std::optional<int> file = m_index.FindFile(here->key.toStdString());
  if (!file) return false;
  std::vector<CPlace> places;
  QStringList labels;
  if (const std::optional<CIndexReference> ref = m_index.ReferenceAt(*file, here->line, here->col)) {
    for (const CIndexDefinition& def : m_index.FindDefinitions(ref->m_name, ref->m_role)) {
      const QString path = QString::fromStdString(m_index.FilePath(def.m_file));
      places.push_back({path, def.m_line, def.m_col});
      labels << QStringLiteral("%1 %2%3 \u2014 %4:%5")
                    .arg(QString::fromLatin1(IndexKindName(def.m_kind)), QString::fromStdString(m_index.NameOf(def.m_name)),
                         (def.m_flags & DEF_REPLACED) ? QStringLiteral(" (replaced)") : QString(),
                         QFileInfo(path).fileName(), QString::number(def.m_line + 1));
    }
  } else if (const std::optional<int> target = m_index.IncludeAt(*file, here->line)) {
    places.push_back({QString::fromStdString(m_index.FilePath(*target)), 0, 0});
  }
  if (places.empty()) return false;
  int chosen = 0;
  if (places.size() > 1) {
    auto* view = dynamic_cast<CTorvaneView*>(m_documents.ActiveFrame()->GetActiveView()->ViewWidget());
    chosen = m_chooser(labels, view);
    if (chosen < 0 || chosen >= static_cast<int>(places.size())) return false;
  }
  return JumpFromHere(places[static_cast<std::size_t>(chosen)]);
}

bool CLanguageService::JumpFromHere(const CPlace& place) {
  const std::optional<CPlace> here = Here();
  if (!JumpTo(place)) return false;
  if (here) m_back.push_back(*here);
  m_forward.clear();
  return true;
}

void CLanguageService::SetReferencesBar(CReferencesBar* bar, QDockWidget* dock) {
  m_referencesBar = bar;
  m_referencesDock = dock;
  connect(bar, &CReferencesBar::referenceActivated, this,
          [this](const QString& path, int line, int col) { JumpFromHere({path, line, col}); });
}

// A line: from the open document's buffer, in its encoding, else from the file (read once per
// search), in the encoding its header and bytes give it.
TextEncoding CLanguageService::LineBytes(int file, int line, CReadFiles& files, std::string& bytes) const {
  bytes.clear();
  const QString path = QString::fromStdString(m_index.FilePath(file));
  if (CTracked* tracked = FindTracked(path)) {
    if (!tracked->buffer) return ENC_DEFAULT;
    if (line < tracked->buffer->LineCount())
      bytes.assign(tracked->buffer->LineChars(line), static_cast<std::size_t>(tracked->buffer->LineLength(line)));
    return tracked->buffer->Encoding();
  }
  auto [it, fresh] = files.try_emplace(file);
  if (fresh) {
    QFile in(path);
    if (in.open(QIODevice::ReadOnly)) {
      const QByteArray read = in.readAll();
      const std::string_view text(read.constData(), static_cast<std::size_t>(read.size()));
      it->second.lines = CStringLineSource::FromText(text).Lines();
      it->second.encoding = BytesEncoding(text, std::nullopt);
    }
  }
  if (line < static_cast<int>(it->second.lines.size())) bytes = it->second.lines[static_cast<std::size_t>(line)];
  return it->second.encoding;
}

bool CLanguageService::FindReferences() {
  while (StepDocuments()) {
  }
  const std::optional<CPlace> here = Here();
  const std::optional<int> file = here ? m_index.FindFile(here->key.toStdString()) : std::nullopt;
  const std::optional<CIndexReference> ref = file ? m_index.ReferenceAt(*file, here->line, here->col) : std::nullopt;
  if (!ref || !m_referencesBar) return false;
  std::vector<CReferencesBar::CEntry> entries;
  CReadFiles files;
  std::string bytes;
  const int length = static_cast<int>(m_index.NameOf(ref->m_name).size());
  for (const CIndexLocation& at : m_index.References(ref->m_name)) {
    const TextEncoding encoding = LineBytes(at.file, at.line, files, bytes);
    entries.push_back({QString::fromStdString(m_index.FilePath(at.file)), at.line, at.col, length,
                       DecodedQString(bytes, encoding), Utf16OffsetOfByte(bytes, at.col, encoding)});
  }
  m_referencesBar->SetReferences(QString::fromStdString(m_index.NameOf(ref->m_name)), entries);
  if (m_referencesDock) {
    m_referencesDock->show();
    m_referencesDock->raise();
  }
  m_referencesCurrent = true;
  return true;
}

bool CLanguageService::Back() { return Step(m_back, m_forward); }

bool CLanguageService::Forward() { return Step(m_forward, m_back); }

// Jumps to the newest place of from that still exists and keeps where we were in to.
bool CLanguageService::Step(std::vector<CPlace>& from, std::vector<CPlace>& to) {
  const std::optional<CPlace> here = Here();
  while (!from.empty()) {
    const CPlace place = from.back();
    from.pop_back();
    if (!JumpTo(place)) continue; // its untitled document is gone
    if (here) to.push_back(*here);
    return true;
  }
  return false;
}

void CLanguageService::IndexEditsNow() {
  while (StepDocuments()) {
  }
}

std::optional<int> CLanguageService::FileOf(CTorvaneDoc* document) const {
  const auto found = m_tracked.find(document);
  if (found == m_tracked.end()) return std::nullopt;
  return found->second->file;
}

bool CLanguageService::IsLibraryFile(int file) const {
  if (file < 0 || file >= m_index.FileCount()) return false;
  if (m_index.IsSystemFile(file)) return true;
  const QString path = QString::fromStdString(m_index.FilePath(file));
  for (const std::string& folder : m_libraryFolders) {
    const QString inside = QDir::cleanPath(QString::fromStdString(folder)) + QLatin1Char('/');
    if (path.startsWith(inside)) return true;
  }
  return false;
}

CTorvaneDoc* CLanguageService::DocumentOf(int file) const {
  for (const auto& [document, tracked] : m_tracked)
    if (tracked->file == file) return tracked->document;
  return nullptr;
}

bool CLanguageService::OnCmdMsg(int id) {
  switch (id) {
  case Cmd::GO_TO_DEFINITION: GoToDefinition(); return true;
  case Cmd::FIND_REFERENCES: FindReferences(); return true;
  case Cmd::NEXT_MESSAGE:
  case Cmd::PREV_MESSAGE:
    if (!m_referencesCurrent || !m_referencesBar) return false; // the output bar's messages
    m_referencesBar->Step(id == Cmd::NEXT_MESSAGE ? 1 : -1);
    return true;
  case Cmd::NAVIGATE_BACK: Back(); return true;
  case Cmd::NAVIGATE_FORWARD: Forward(); return true;
  default: return false;
  }
}

bool CLanguageService::OnUpdateCmdUI(int id, CCmdUIState& state) {
  switch (id) {
  case Cmd::GO_TO_DEFINITION:
  case Cmd::FIND_REFERENCES: state.enabled = m_documents.ActiveDocument() != nullptr; return true;
  case Cmd::NEXT_MESSAGE:
  case Cmd::PREV_MESSAGE:
    if (!m_referencesCurrent || !m_referencesBar) return false;
    state.enabled = m_referencesBar->topLevelItemCount() > 0;
    return true;
  case Cmd::NAVIGATE_BACK: state.enabled = !m_back.empty(); return true;
  case Cmd::NAVIGATE_FORWARD: state.enabled = !m_forward.empty(); return true;
  default: return false;
  }
}
