#include "torvane_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QDockWidget>
#include <QMdiArea>

#include "about_dialog.h"
#include "child_frame.h"
#include "completion_controller.h"
#include "rename_command.h"
#include "command_binder.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "document_follower.h"
#include "editor_options.h"
#include "file_dialog.h"
#include "game_wizard.h"
#include "language_service.h"
#include "output_bar.h"
#include "play_controller.h"
#include "references_bar.h"
#include "insert_definition.h"
#include "mdi_child_base.h"
#include "main_frame.h"
#include "message_box.h"
#include "object_bar.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "project_commands.h"
#include "settings_keys.h"
#include "project_session.h"
#include "project_trees.h"
#include "torvane_view.h"

CTorvaneApp::CTorvaneApp() : m_projectSession(std::make_unique<CProjectSession>()) {
  const CCommandTable::Rule always = CCommandTable::ALWAYS;
  m_commands.AddRange(
      Cmd::FILE_MRU_FILE1, RECENT_FILE_COUNT, [this](int index) { OnOpenRecentFile(index); },
      [this](int index) {
        return m_docManager && index < m_docManager->RecentFiles().Paths().size();
      });
  // The Insert menu writes into the active view, while it may be edited.
  for (const int id : {Cmd::INSERT_OBJECT, Cmd::INSERT_CLASS, Cmd::INSERT_ROOM,
                       Cmd::INSERT_FUNCTION, Cmd::INSERT_NPC})
    m_commands.Add(
        id,
        [this, id] {
          if (CTorvaneView* view = ActiveView())
            RunInsertCommand(id, *view, GetDocuments(),
                             LibraryOfSource(view->GetDocument()->GetPathName(), *m_projectSession),
                             DialogParent());
        },
        [this] {
          const CTorvaneView* view = ActiveView();
          return view && view->IsEditable();
        });
  // Completion and rename: carried out by their own objects once the window holds documents.
  for (const int id : {Cmd::COMPLETE_WORD, Cmd::RENAME_SYMBOL}) {
    const auto tool = [this, id]() -> CCmdTarget* {
      if (id == Cmd::COMPLETE_WORD) return m_completion.get();
      return m_rename.get();
    };
    m_commands.Add(
        id, [tool, id] { if (CCmdTarget* target = tool()) target->OnCmdMsg(id); },
        [tool, id] {
          CCmdTarget* target = tool();
          CCmdUIState state;
          state.id = id;
          return target && target->OnUpdateCmdUI(id, state) && state.enabled;
        });
  }
  m_commands.Add(Cmd::FILE_NEW, [this] { if (m_docManager) m_docManager->OpenNewDocument(); },
                 always);
  m_commands.Add(Cmd::FILE_OPEN, [this] { OnFileOpen(); }, always);
  m_commands.Add(Cmd::APP_EXIT, [this] { if (m_mainFrame) m_mainFrame->close(); }, always);
  m_commands.Add(Cmd::APP_ABOUT, [this] { CAboutDlg(DialogParent()).exec(); }, always);
  m_commands.Add(Cmd::FILE_PRINT_SETUP, [this] { RunPrintSetup(DialogParent()); }, always);
  m_commands.Add(Cmd::PROJECT_GAME_WIZARD, [this] {
    if (m_docManager) RunGameWizard(DialogParent(), *m_projectSession, *m_docManager);
  }, always);
  m_commands.Add(Cmd::VIEW_OPTIONS, [this] {
    RunOptionsSheet(DialogParent(), m_styles);
    // Reloaded whatever the sheet did: the desktop's colours may have changed as well.
    LoadStyles();
  }, always);
}

CTorvaneApp::~CTorvaneApp() {
  m_projectTrees.reset(); // follows the documents: gone before they close
  m_completion.reset();
  m_rename.reset();
  m_language.reset();
  // Documents and their frames go before the frame that holds them.
  m_docManager.reset();
  m_follower.reset();
  m_mainFrame.reset();
}

bool CTorvaneApp::InitInstance(const QStringList& files) {
  m_mainFrame = std::make_unique<CMainFrame>(this);
  if (!m_mainFrame->OnCreate()) return false;
  m_mainFrame->ObjectBarTabs()->SetHost(this);

  CDocTemplate docTemplate;
  docTemplate.createDocument = [this] {
    auto* document = new CTorvaneDoc(this, this);
    m_follower->Follow(document);
    return document;
  };
  docTemplate.createFrame = [this](CDocument* document) {
    return new CChildFrame(static_cast<CTorvaneDoc*>(document),
                           [this](CTorvaneView* view) { SetUpView(view); });
  };
  m_docManager = std::make_unique<CDocManager>(m_mainFrame->MdiArea(), docTemplate);
  m_follower = std::make_unique<CDocumentFollower>(
      *m_docManager, CDocumentFollower::Bars{m_mainFrame->ObjectBarTabs(), m_mainFrame->StatusPanes(),
                                             [this] { m_mainFrame->ClearOutput(); }});
  {
    const CProfileStore store;
    // A settings file that is no file (a pipe, a device) is left alone; the user hears why.
    if (!store.Problem().isEmpty()) TorvaneMessageBox(store.Problem(), MB_OK | MB_ICONEXCLAMATION);
    QStringList recent;
    for (int i = 1; i <= RECENT_FILE_COUNT; ++i)
      recent << store.GetProfileString(QString::fromLatin1(RECENT_FILE_SECTION),
                                       QStringLiteral("File%1").arg(i), QString());
    m_docManager->RecentFiles().SetPaths(recent);
  }
  connect(m_docManager.get(), &CDocManager::recentFilesChanged, this, &CTorvaneApp::SaveRecentFiles);
  m_projectCommands = std::make_unique<CProjectCommands>(*m_projectSession, *m_docManager, DialogParent());
  m_docManager->SetOpenHook([this](const QString& path, CDocument*& document) {
    if (!CProjectCommands::IsProjectFile(path)) return false;
    document = m_projectCommands->OpenProject(path);
    return true;
  });
  m_projectTrees = std::make_unique<CProjectTrees>(*m_projectSession, *m_docManager,
                                                   *m_mainFrame->ObjectBarTabs());
  m_mainFrame->Binder().Register(*m_projectCommands);
  m_mainFrame->AddCommandTarget(m_projectCommands.get());
  m_mainFrame->SetDocManager(m_docManager.get());
  m_mainFrame->PlayController()->SetProjectSource([this] { return OpenProject(); });
  m_language = std::make_unique<CLanguageService>(*m_docManager);
  m_mainFrame->Binder().Register(*m_language);
  m_language->SetIncludeFolders({ReadSetting(CProfileStore(), SETTING_LIBRARY_PATH)});
  SetUpReferencesBar();

  m_completion = std::make_unique<CCompletionController>(*m_language, [this] { return ActiveView(); });
  m_rename = std::make_unique<CRenameCommand>(*m_language, [this] { return ActiveView(); }, [this] { return DialogParent(); });
  if (files.isEmpty()) {
    if (!m_docManager->OpenNewDocument()) return false;
  } else {
    // A file that cannot be opened has told the user why; the others are worked on, and the
    // program ends only when none could be opened.
    int opened = 0;
    for (const QString& file : files)
      if (m_docManager->OpenDocumentFile(file, true)) ++opened;
    if (opened == 0) return false;
  }
  LoadStyles();
  if (qApp) qApp->installEventFilter(this);
  m_mainFrame->show();
  return true;
}

bool CTorvaneApp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) LoadStyles();
  return QObject::eventFilter(watched, event);
}

// The References bar shares the bottom with the output bar, hidden until references are
// found; F4 steps through it until the output changes.
void CTorvaneApp::SetUpReferencesBar() {
  auto* dock = new QDockWidget(QStringLiteral("References Bar"), m_mainFrame.get());
  dock->setObjectName(QStringLiteral("ReferencesBar"));
  auto* bar = new CReferencesBar(dock);
  dock->setWidget(bar);
  m_mainFrame->addDockWidget(Qt::BottomDockWidgetArea, dock);
  m_mainFrame->tabifyDockWidget(m_mainFrame->GetOutputBar(), dock);
  dock->hide();
  m_mainFrame->NameBarContents();
  m_language->SetReferencesBar(bar, dock);
  m_mainFrame->AddCommandTarget(m_language.get());
  connect(m_mainFrame->OutputControl(), &QPlainTextEdit::textChanged, m_language.get(), &CLanguageService::OnOutputChanged);
}

void CTorvaneApp::LoadStyles() {
  const CProfileStore store;
  m_styles.LoadStyles(store);
}

void CTorvaneApp::SetUpView(CTorvaneView* view) {
  view->SetStyleTable(&m_styles);
  view->SetCommandBinder(&m_mainFrame->Binder());
  connect(view, &CTextView::cursorChanged, &m_mainFrame->Binder(),
          &CCommandBinder::ScheduleRefresh);
  if (m_completion) m_completion->Watch(view);
}

std::vector<CObjectBarDocument*> CTorvaneApp::GetDocuments() const {
  std::vector<CObjectBarDocument*> documents;
  if (m_docManager)
    for (CDocument* document : m_docManager->Documents())
      if (auto* inform = dynamic_cast<CTorvaneDoc*>(document)) documents.push_back(inform);
  if (m_projectTrees)
    for (CObjectBarDocument* member : m_projectTrees->Documents()) documents.push_back(member);
  return documents;
}

COutputBar* CTorvaneApp::OutputControl() {
  return m_mainFrame ? m_mainFrame->OutputControl() : nullptr;
}

void CTorvaneApp::PrepareOutput(const QString& source) {
  if (m_mainFrame) m_mainFrame->PrepareOutput(source);
}

void CTorvaneApp::BuildStateChanged(bool running) {
  if (m_mainFrame) m_mainFrame->OnBuildStateChanged(running);
}

QWidget* CTorvaneApp::DialogParent() { return m_mainFrame.get(); }

const ProjectFile* CTorvaneApp::OpenProject() {
  return m_projectSession->IsOpen() ? &m_projectSession->Project() : nullptr;
}

void CTorvaneApp::SaveRecentFiles() {
  CProfileStore store;
  const QStringList paths = m_docManager->RecentFiles().Paths();
  for (int i = 0; i < RECENT_FILE_COUNT; ++i)
    store.WriteProfileString(QString::fromLatin1(RECENT_FILE_SECTION),
                             QStringLiteral("File%1").arg(i + 1),
                             i < paths.size() ? paths[i] : QString());
}

void CTorvaneApp::OnFileOpen() {
  FileDialogRequest request;
  request.title = QStringLiteral("Open");
  request.filter = QStringLiteral("Inform Files (*.inf)|*.inf|All Files (*.*)|*.*||");
  request.defaultExtension = QStringLiteral("inf");
  const FileDialogAnswer answer = TorvaneFileDialog(request, DialogParent());
  if (!answer.path.isEmpty()) m_docManager->OpenDocumentFile(answer.path);
}

void CTorvaneApp::OnOpenRecentFile(int index) {
  const QStringList paths = m_docManager->RecentFiles().Paths();
  if (index >= paths.size()) return;
  // A file that can no longer be opened leaves the list.
  if (!m_docManager->OpenDocumentFile(paths[index])) m_docManager->RemoveFromRecentFileList(index);
}

CTorvaneView* CTorvaneApp::ActiveView() const {
  CMdiChildBase* frame = m_docManager ? m_docManager->ActiveFrame() : nullptr;
  return frame ? dynamic_cast<CTorvaneView*>(frame->GetActiveView()) : nullptr;
}
