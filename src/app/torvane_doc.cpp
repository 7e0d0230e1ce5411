#include "torvane_doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>

#include "command_ids.h"
#include "document_tree.h"
#include "go_to_line_dialog.h"
#include "message_box.h"
#include "torvane_view.h"

namespace {

// The scan keeps the window alive: pending events are dispatched once per line.
class CEventPumpScanHost : public CScanHost {
public:
  void PumpMessages() override { QCoreApplication::processEvents(); }
};

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

void CTorvaneBuffer::MarkModified(bool modified) {
  CCrystalTextBuffer::MarkModified(modified);
  m_document.SetModifiedFlag(modified);
}

CTorvaneDoc::CTorvaneDoc(CDocumentShell* shell, QObject* parent)
    : CDocument(parent), m_shell(shell), m_buffer(*this) {
  m_font.faceName = "Courier New";
  m_font.height = 0;
  m_font.weight = 400;
  m_font.italic = false;
  m_font.charSet = 0;
}

CTorvaneDoc::~CTorvaneDoc() = default;

CTorvaneView* CTorvaneDoc::FirstView() const {
  return Views().empty() ? nullptr : dynamic_cast<CTorvaneView*>(Views().front());
}

std::string CTorvaneDoc::TreeNameOf(const QString& path) {
  // Only the file name counts: a "." in a folder name is no extension.
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return (dot > 0 ? name.left(dot) : name).toStdString();
}

bool CTorvaneDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  m_buffer.CreateEmpty(LineEndStyle::Dos);
  const QString title = QStringLiteral("Untitled%1").arg(m_shell->NextUntitledNumber());
  SetTitle(title);
  m_treeName = title.toStdString();
  FillTrees();
  return true;
}

bool CTorvaneDoc::OnOpenDocument(const QString& path) {
  if (!CDocument::OnOpenDocument(path)) return false;
  const bool loaded = m_buffer.Load(path.toStdString(), LineEndStyle::Automatic);
  m_treeName = TreeNameOf(path);
  if (!loaded) {
    TorvaneMessageBox(QStringLiteral("Cannot open %1:\n%2.")
                          .arg(Shown(path), QString::fromLocal8Bit(m_buffer.LastFileError().text)),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!Scan()) return false;
  FillTrees();
  return true;
}

bool CTorvaneDoc::OnOpenMissingDocument(const QString& path) {
  DeleteContents();
  m_buffer.CreateEmpty(LineEndStyle::Dos);
  m_treeName = TreeNameOf(path);
  FillTrees();
  return true;
}

bool CTorvaneDoc::OnSaveDocument(const QString& path) {
  const bool saved = m_buffer.Save(path.toStdString(), LineEndStyle::Automatic, true);
  if (!saved)
    TorvaneMessageBox(QStringLiteral("Cannot save %1:\n%2.\nThe text is kept; save it elsewhere.")
                          .arg(Shown(path), QString::fromLocal8Bit(m_buffer.LastFileError().text)),
                      MB_OK | MB_ICONEXCLAMATION);
  const std::string newName = TreeNameOf(path);
  if (newName != m_treeName) {
    for (int i = 0; i < TREE_COUNT; ++i)
      if (CDocumentTree* tree = m_shell->TreeView(i)) tree->SetDocumentRootText(m_treeName, newName);
    m_treeName = newName;
  }
  return saved;
}

void CTorvaneDoc::DeleteContents() { m_buffer.Clear(); }

void CTorvaneDoc::OnCloseDocument() {
  RemoveFromTrees();
  m_shell->ClearOutput();
  CDocument::OnCloseDocument();
}

FileDialogRequest CTorvaneDoc::SaveAsRequest() const {
  FileDialogRequest request = CDocument::SaveAsRequest();
  request.filter = QStringLiteral("Inform Files (*.inf)|*.inf|All Files (*.*)|*.*||");
  request.defaultExtension = QStringLiteral("inf");
  return request;
}

bool CTorvaneDoc::Scan() {
  QPointer<CTorvaneDoc> alive(this);
  CEventPumpScanHost host;
  m_records.ScanObjects(CBufferLineSource<CCrystalTextBuffer>(m_buffer), &host);
  return !alive.isNull();
}

void CTorvaneDoc::FillTrees() {
  for (int i = 0; i < TREE_COUNT; ++i) {
    CDocumentTree* tree = m_shell->TreeView(i);
    if (!tree) continue;
    if (i < 2)
      tree->FillDocument(m_treeName, m_records.ObjectMap(), m_records.ScannerValue());
    else
      tree->FillDocument(m_treeName, m_records.FunctionMap(), m_records.ScannerValue());
  }
}

void CTorvaneDoc::RemoveFromTrees() {
  for (int i = 0; i < TREE_COUNT; ++i)
    if (CDocumentTree* tree = m_shell->TreeView(i)) tree->RemoveDocument(m_treeName);
}

void CTorvaneDoc::RebuildObjectTree() {
  RemoveFromTrees();
  m_records.DeleteRecords();
  if (!Scan()) return;
  FillTrees();
}

void CTorvaneDoc::GoToLine(int n) {
  CTorvaneView* view = FirstView();
  if (!view) return;
  n = std::min(n, m_buffer.LineCount());
  const int line = std::max(0, n - 1);
  // The caret moves with an empty selection: a selection left behind elsewhere would be
  // what the next typed character replaces.
  view->MoveCaretTo(TextPosition(0, line));
}

void CTorvaneDoc::OnGoToLine() {
  int n = 1;
  if (CGoToLineDialog::Ask(m_shell->DialogParent(), n)) GoToLine(n);
}

void CTorvaneDoc::OnFileOpen() {
  FileDialogRequest request;
  request.title = QStringLiteral("Open");
  request.filter = QString::fromLatin1(OPEN_FILTER);
  request.defaultExtension = QStringLiteral("inf");
  const FileDialogAnswer answer = TorvaneFileDialog(request, m_shell->DialogParent());
  if (!answer.path.isEmpty()) m_shell->OpenDocumentFile(answer.path);
}

bool CTorvaneDoc::OnCmdMsg(int id) {
  switch (id) {
  case Cmd::BUILD_REBUILD_OBJECT_TREE: RebuildObjectTree(); return true;
  case Cmd::GOTO_LINE: OnGoToLine(); return true;
  case Cmd::FILE_OPEN: OnFileOpen(); return true;
  default: return CDocument::OnCmdMsg(id);
  }
}

bool CTorvaneDoc::OnUpdateCmdUI(int id, CCmdUIState& state) {
  switch (id) {
  case Cmd::BUILD_REBUILD_OBJECT_TREE: {
    // Offered once the object bar holds the trees that show the result.
    bool anyTree = false;
    for (int i = 0; i < TREE_COUNT; ++i) anyTree = anyTree || m_shell->TreeView(i) != nullptr;
    state.enabled = anyTree;
    return true;
  }
  case Cmd::GOTO_LINE:
  case Cmd::FILE_OPEN:
    state.enabled = true;
    return true;
  default: return CDocument::OnUpdateCmdUI(id, state);
  }
}
