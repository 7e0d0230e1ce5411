#include "torvane_doc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPointer>
#include <algorithm>

#include "build_plan.h"
#include "busy_guard.h"
#include "command_ids.h"
#include "compile_command.h"
#include "doc_manager.h"
#include "file_name.h"
#include "mdi_child_base.h"
#include "go_to_line_dialog.h"
#include "message_box.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "object_scan_host.h"
#include "output_bar.h"
#include "profile_store.h"
#include "project_file.h"
#include "progress_bar.h"
#include "redirector.h"
#include "run_command.h"
#include "torvane_view.h"

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

constexpr const char* TEXT_STOP_BUILD = "A compile is running.\nStop it and close?";

} // namespace

// A document's scan: the event loop as the object bar's host runs it, and its progress
// announced by the document while the document is there.
class CDocumentScanHost final : public CObjectScanHost {
public:
  explicit CDocumentScanHost(CTorvaneDoc& document)
      : CObjectScanHost(document.Lifetime()), m_document(document) {}
  void BeginProgress(const std::string& message, int sizePercent, int maximum, bool smooth,
                     int pane) override {
    if (Survived())
      emit m_document.scanBegun(QString::fromStdString(message), sizePercent, maximum, smooth,
                                pane);
  }
  void StepProgress() override {
    if (Survived()) emit m_document.scanStepped();
  }
  void EndProgress() override {
    if (Survived()) emit m_document.scanEnded();
  }

private:
  CTorvaneDoc& m_document;
};

// Run's questions and compiles go to the document; it lives as long as the document, so
// Run notices a document closed while it waited.
class CTorvaneDoc::CDocRunHost : public CRunHost {
public:
  explicit CDocRunHost(CTorvaneDoc& document) : m_document(document) {}
  bool IsModified() const override { return m_document.IsModified(); }
  void SaveDocument(const QString& path) override { m_document.CDocument::SaveDocument(path); }
  void Compile() override { m_document.OnCompile(); }
  RunAnswer AskYesNoCancel(const QString& text) override {
    switch (TorvaneMessageBox(text, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return RunAnswer::Yes;
    case IDNO: return RunAnswer::No;
    default: return RunAnswer::Cancel;
    }
  }
  void ShowMessage(const QString& text) override {
    TorvaneMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
  const ProjectFile* Project() const override {
    return m_document.m_build ? m_document.m_build->OpenProject() : nullptr;
  }

private:
  CTorvaneDoc& m_document;
};

void CTorvaneBuffer::MarkModified(bool modified) {
  CTextBuffer::MarkModified(modified);
  m_document.SetModifiedFlag(modified);
}

CTorvaneDoc::CTorvaneDoc(CDocumentShell* shell, CBuildShell* build, QObject* parent)
    : CDocument(parent), m_shell(shell), m_build(build), m_buffer(*this),
      m_runHost(std::make_unique<CDocRunHost>(*this)) {
  m_font = CTorvaneView::DocumentFont();
  const CCommandTable::Rule noBuildRunning = [] { return !CRedirector::AnyRunning(); };
  m_commands.Add(Cmd::BUILD_COMPILE, [this] { OnCompile(); }, noBuildRunning);
  m_commands.Add(Cmd::BUILD_RUN, [this] { OnRun(); }, noBuildRunning);
  // Offered once a scan running now is done.
  m_commands.Add(Cmd::BUILD_REBUILD_OBJECT_TREE, [this] { RebuildObjectTree(); },
                 [this] { return !m_scanning; });
  m_commands.Add(Cmd::GOTO_LINE, [this] { OnGoToLine(); }, CCommandTable::ALWAYS);
  m_commands.Add(Cmd::FILE_OPEN, [this] { OnFileOpen(); }, CCommandTable::ALWAYS);
  // The pane's text was found by the rule just before.
  m_commands.AddIndicator(Cmd::INDICATOR_LIBRARY, [this] { return !LibraryText().isEmpty(); },
                          [this](const CCmdUIState&) -> std::optional<std::string> {
                            return m_libraryText.toStdString();
                          });
  DeclareEncodingCommands();
}

CTorvaneDoc::~CTorvaneDoc() = default;

CTorvaneView* CTorvaneDoc::FirstView() const {
  return Views().empty() ? nullptr : dynamic_cast<CTorvaneView*>(Views().front());
}

CTextView* CTorvaneDoc::ActivateFirstView() {
  CTorvaneView* view = FirstView();
  if (!view || !GetDocManager()) return view;
  for (CMdiChildBase* frame : GetDocManager()->Frames(this))
    if (frame->isAncestorOf(view)) GetDocManager()->Area()->setActiveSubWindow(frame);
  return view;
}

std::string CTorvaneDoc::GetTreeName() const {
  return GetPathName().isEmpty() ? GetTitle().toStdString() : TreeNameOf(GetPathName());
}

std::string CTorvaneDoc::TreeNameOf(const QString& path) {
  // Only the file name counts: a "." in a folder name is no extension.
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return (dot > 0 ? name.left(dot) : name).toStdString();
}

bool CTorvaneDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  m_buffer.CreateEmpty();
  const QString title = QStringLiteral("Untitled%1").arg(m_shell->NextUntitledNumber());
  SetTitle(title);
  return true;
}

bool CTorvaneDoc::OnOpenDocument(const QString& path) {
  if (!CDocument::OnOpenDocument(path)) return false;
  // A large file takes a while: the window runs its event loop between the slices, and the
  // load stops if the document is closed meanwhile.
  CObjectScanHost host(Lifetime());
  const bool loaded = m_buffer.Load(FileNameToBytes(path).toStdString(), LineEndStyle::Automatic,
                                    [&] { return host.PumpAndSurvive(); });
  if (!host.Survived()) return false;
  if (!loaded) {
    TorvaneMessageBox(QStringLiteral("Cannot open %1:\n%2.")
                          .arg(Shown(path), QString::fromLocal8Bit(m_buffer.LastFileError().text)),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ApplyEncoding();
  return Scan();
}

bool CTorvaneDoc::OnOpenMissingDocument(const QString& path) {
  DeleteContents();
  (void)path;
  m_buffer.CreateEmpty();
  return true;
}

bool CTorvaneDoc::OnSaveDocument(const QString& path) {
  const bool saved = m_buffer.Save(FileNameToBytes(path).toStdString(), LineEndStyle::Automatic, true);
  if (!saved)
    TorvaneMessageBox(QStringLiteral("Cannot save %1:\n%2.\nThe text is kept; save it elsewhere.")
                          .arg(Shown(path), QString::fromLocal8Bit(m_buffer.LastFileError().text)),
                      MB_OK | MB_ICONEXCLAMATION);
  return saved;
}

bool CTorvaneDoc::OnReloadDocument() {
  // The scan running now reads the lines that a load would replace.
  if (m_scanning) return false;
  std::vector<std::pair<QPointer<CTorvaneView>, int>> caretLines;
  for (CView* view : Views())
    if (auto* torvaneView = dynamic_cast<CTorvaneView*>(view))
      caretLines.emplace_back(torvaneView, torvaneView->GetCursorPosition().y);
  CObjectScanHost host(Lifetime());
  const bool loaded = m_buffer.Load(GetPathName().toStdString(), LineEndStyle::Automatic,
                                    [&] { return host.PumpAndSurvive(); });
  if (!host.Survived()) return false;
  if (!loaded) {
    TorvaneMessageBox(QStringLiteral("Cannot read %1 again:\n%2.\nThe text is kept.")
                          .arg(Shown(GetPathName()),
                               QString::fromLocal8Bit(m_buffer.LastFileError().text)),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ApplyEncoding();
  for (const auto& [view, line] : caretLines)
    if (view) view->MoveCaretTo(TextPosition(0, std::min(line, m_buffer.LineCount() - 1)));
  RebuildObjectTree();
  return host.Survived();
}

void CTorvaneDoc::DeleteContents() { m_buffer.Clear(); }

FileDialogRequest CTorvaneDoc::SaveAsRequest() const {
  FileDialogRequest request = CDocument::SaveAsRequest();
  request.filter = QStringLiteral("Inform sources|*.inf;*.h|All files|*.*||");
  request.defaultExtension = QStringLiteral("inf");
  return request;
}

bool CTorvaneDoc::Scan() {
  const CBusyGuard scanning(m_scanning, Lifetime());
  CDocumentScanHost host(*this);
  m_records.ScanObjects(CBufferLineSource<CTextBuffer>(m_buffer), &host);
  return !scanning.OwnerGone();
}

void CTorvaneDoc::RebuildObjectTree() {
  if (m_scanning) return;
  m_records.DeleteRecords();
  if (Scan()) emit recordsChanged();
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
  if (!answer.path.isEmpty() && GetDocManager()) GetDocManager()->OpenDocumentFile(answer.path);
}

bool CTorvaneDoc::SaveModified() {
  if (m_building && CRedirector::AnyToCancel()) {
    if (TorvaneMessageBox(QString::fromLatin1(TEXT_STOP_BUILD), MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
      return false;
    // The compile still on the stack ends its compiler at its next poll and then returns
    // without touching this document.
    CRedirector::CancelRunning();
  }
  return CDocument::SaveModified();
}

void CTorvaneDoc::OnCompile() {
  // One compiler at a time: a second one would write the same story file and share the bar.
  if (CRedirector::AnyRunning()) return;
  // A document without a file gets a name first; compiling an empty path builds nothing.
  if (GetPathName().isEmpty() && !DoSave(QString())) return;
  const QString source = GetPathName();
  // The compiler reads the file: when it could not be written it would build the old text.
  if (!SaveDocument(source)) return;
  // No pause after the save: a story counts as out of date only when it is older than its
  // source by whole seconds, and a rebuild writes it at or after the save's second.
  CBuildShell* const shell = m_build; // the application's; outlives this document
  COutputBar* const output = shell ? shell->OutputControl() : nullptr;
  if (!output) return;
  const QString shownSource = QFileInfo(source).absoluteFilePath();

  // Events are dispatched while the compiler runs: from here on this document may go.
  CompileRequest request;
  request.project = shell->OpenProject();
  request.sourceEncoding = Encoding();
  request.confirm = [](const QString& warning) {
    return TorvaneMessageBox(warning, MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  bool survived = false;
  const CompileRun run = [&] {
    const CBusyGuard building(m_building, Lifetime());
    shell->BuildStateChanged(true);
    CompileRun result = RunCompile(source, CProfileStore(), output,
                                   [shell, &shownSource] { shell->PrepareOutput(shownSource); },
                                   {}, request);
    survived = !building.OwnerGone();
    return result;
  }();
  if (survived && run.compilerSet && run.refusal.isEmpty() && !run.declined)
    m_libraryText = run.library;
  shell->BuildStateChanged(false);
  if (!run.compilerSet)
    TorvaneMessageBox(QString::fromLatin1(TEXT_NO_COMPILER_PATH), MB_OK | MB_ICONEXCLAMATION);
  else if (!run.refusal.isEmpty())
    TorvaneMessageBox(run.refusal, MB_OK | MB_ICONEXCLAMATION);
}

QString CTorvaneDoc::LibraryText() {
  const QString path = GetPathName();
  if (path.isEmpty()) return {};
  const ProjectFile* project = m_build ? m_build->OpenProject() : nullptr;
  const bool member = project && project->Contains(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
  const QString mainFile = member ? QFile::decodeName(QByteArray::fromStdString(project->mainFile)) : path;
  // Found again only when the main file or its time changed (or a compile said), as it reads
  // every included file.
  const QString key = mainFile + QLatin1Char('\n') +
                      QString::number(QFileInfo(mainFile).lastModified().toMSecsSinceEpoch());
  if (key != m_libraryKey) {
    m_libraryKey = key;
    const BuildPlan plan = PlanBuild(mainFile, ReadCompileSettings(CProfileStore()), nullptr,
                                     member ? project : nullptr);
    const LibraryInfo& library = plan.analysis.library;
    m_libraryText = library.kind == LibraryKind::None ? QString() : QString::fromStdString(library.Describe());
  }
  return m_libraryText;
}

void CTorvaneDoc::OnRun() {
  if (CRedirector::AnyRunning()) return;
  if (GetPathName().isEmpty() && !DoSave(QString())) return;
  CRunCommand(*m_runHost).Run(GetPathName());
}
