#include "main_frame.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QToolBar>
#include <QToolButton>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include "application_icon.h"
#include "break_key_filter.h"
#include "command_binder.h"
#include "command_ids.h"
#include "command_router.h"
#include "compiler_line_map.h"
#include "doc_manager.h"
#include "document.h"
#include "file_name.h"
#include "mdi_child_base.h"
#include "menu_table.h"
#include "message_box.h"
#include "object_bar.h"
#include "output_bar.h"
#include "play_controller.h"
#include "profile_store.h"
#include "redirector.h"
#include "settings_keys.h"
#include "status_bar.h"
#include "string_table.h"
#include "text_buffer.h"
#include "text_file_io.h"
#include "torvane_doc.h"
#include "torvane_view.h"
#include "view.h"

namespace {

constexpr const char* TEXT_STOP_BUILD_AND_EXIT = "A compile is running.\nStop it and exit?";
// The X11 state bit of Caps Lock in a key event's native modifiers.
constexpr quint32 X11_LOCK_MASK = 0x2;
// How long a note about a document's file stays in the prompt pane.
constexpr int NOTE_TIMEOUT_MS = 15000;

QString FrameTitle() { return QString::fromLatin1(LoadStringResource(StringId::FRAME_TITLE)); }

} // namespace

CMainFrame::CMainFrame(CCmdTarget* application, QWidget* parent)
    : QMainWindow(parent), m_application(application) {
  m_router = std::make_unique<CCommandRouter>(
      [this](std::vector<CCmdTarget*>& route) { BuildRoute(route); });
  m_binder = new CCommandBinder(*m_router, this);
  m_mdiArea = new QMdiArea(this);
  m_mdiArea->setObjectName(QStringLiteral("MdiArea"));
  setCentralWidget(m_mdiArea);
  setAcceptDrops(true);
  setWindowTitle(FrameTitle());
  connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
    // A document and its frame join the route with their first activation.
    if (CMdiChildBase* frame = m_docManager ? m_docManager->ActiveFrame() : nullptr) {
      m_binder->Register(*frame);
      if (frame->GetDocument()) m_binder->Register(*frame->GetDocument());
    }
    UpdateFrameTitle();
    m_binder->ScheduleRefresh();
  });
  connect(qApp, &QApplication::focusChanged, m_binder, &CCommandBinder::ScheduleRefresh);
  qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() { qApp->removeEventFilter(this); }

void CMainFrame::BuildRoute(std::vector<CCmdTarget*>& route) const {
  if (CMdiChildBase* frame = m_docManager ? m_docManager->ActiveFrame() : nullptr) {
    if (CView* view = frame->GetActiveView()) route.push_back(view->ViewTarget());
    if (CDocument* document = frame->GetDocument()) route.push_back(document);
    route.push_back(frame);
  }
  if (m_objectTabs) route.push_back(m_objectTabs);
  route.insert(route.end(), m_extraTargets.begin(), m_extraTargets.end());
  route.push_back(const_cast<CMainFrame*>(this));
  if (m_application) route.push_back(m_application);
}

bool CMainFrame::OnCreate() {
  m_statusBar = new CMainStatusBar(this);
  setStatusBar(m_statusBar);
  m_statusBar->BindPanes(*m_binder);
  BuildToolBar();
  BuildBars();
  m_menus128 = BuildMenu(MENU_NO_DOCUMENT);
  m_menus129 = BuildMenu(MENU_DOCUMENT);
  BuildAccelerators();
  ShowMenu(MENU_NO_DOCUMENT);
  SetUpWindowMenu();
  LoadWindowPlacement();
  LoadBarState();
  DeclareCommands();
  DeclareWindowCommands();
  DeclareFocusCommands();
  NameBarContents();
  m_binder->Register(*this);
  if (m_application) m_binder->Register(*m_application);
  m_binder->Refresh();
  return m_statusBar && m_toolBar && !m_menus128.isEmpty() && !m_menus129.isEmpty();
}

QList<QMenu*> CMainFrame::BuildMenu(int menuId) {
  QList<QMenu*> topLevel;
  std::vector<QMenu*> open; // the pop-up of each depth being filled
  for (const MenuEntry& entry : MenuResource(menuId)) {
    open.resize(static_cast<std::size_t>(entry.depth));
    QMenu* parentMenu = entry.depth > 0 ? open.back() : nullptr;
    const QString text = QString::fromLatin1(entry.text ? entry.text : "");
    if (entry.id == MENU_POPUP) {
      auto* menu = new QMenu(text, this);
      m_binder->WatchMenu(menu);
      if (parentMenu)
        parentMenu->addMenu(menu);
      else
        topLevel.append(menu);
      open.push_back(menu);
    } else if (entry.id == 0) {
      parentMenu->addSeparator();
    } else if (entry.id == Cmd::FILE_MRU_FILE1) {
      // The recent files go where "Recent File" stands, before the separator that follows.
      m_recentPlaces.emplace_back(parentMenu, parentMenu->addSeparator());
    } else {
      parentMenu->addAction(
          m_binder->MakeAction(entry.id, text, parentMenu, CCommandBinder::Kind::MenuItem));
    }
  }
  // The separator placed for the list stands in for the one that followed "Recent File".
  for (auto& [menu, anchor] : m_recentPlaces) {
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(anchor);
    if (at + 1 < actions.size() && actions[at + 1]->isSeparator()) {
      QAction* following = actions[at + 1];
      menu->removeAction(following);
      delete following;
    }
  }
  return topLevel;
}

void CMainFrame::ShowMenu(int menuId) {
  if (m_currentMenu == menuId) return;
  m_currentMenu = menuId;
  menuBar()->clear();
  for (QMenu* menu : menuId == MENU_DOCUMENT ? m_menus129 : m_menus128)
    menuBar()->addMenu(menu);
}

QList<QMenu*> CMainFrame::Menus(int menuId) const {
  return menuId == MENU_DOCUMENT ? m_menus129 : m_menus128;
}

void CMainFrame::FillRecentFiles() {
  for (QAction* action : m_recentActions) delete action;
  m_recentActions.clear();
  const QStringList paths =
      m_docManager ? m_docManager->RecentFiles().Paths() : QStringList();
  for (auto& [menu, anchor] : m_recentPlaces) {
    if (paths.isEmpty()) {
      QAction* empty = m_binder->MakeAction(Cmd::FILE_MRU_FILE1, QStringLiteral("Recent File"),
                                            menu, CCommandBinder::Kind::MenuItem);
      menu->insertAction(anchor, empty);
      m_recentActions.push_back(empty);
      continue;
    }
    for (int i = 0; i < paths.size() && i < RECENT_FILE_COUNT; ++i) {
      QAction* action =
          m_binder->MakeAction(Cmd::FILE_MRU_FILE1 + i, m_docManager->RecentFiles().MenuText(i),
                               menu, CCommandBinder::Kind::MenuItem);
      menu->insertAction(anchor, action);
      m_recentActions.push_back(action);
    }
  }
}

void CMainFrame::BuildToolBar() {
  m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  m_toolBar->setObjectName(QString::number(ID_TOOLBAR));
  m_toolBar->setIconSize(QSize(TOOLBAR_BUTTON_WIDTH, TOOLBAR_BUTTON_HEIGHT));
  // Our own drawings, one 16 x 15 button after the other, separators skipped.
  const std::vector<QIcon> icons = ToolbarButtonIcons();
  m_toolBar->setToolButtonStyle(icons.empty() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
  std::size_t image = 0;
  for (int id : MainToolbar()) {
    if (id == 0) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = m_binder->MakeAction(id, CCommandBinder::ToolTipText(id), m_toolBar,
                                           CCommandBinder::Kind::Button);
    if (id == Cmd::BUILD_STOP) {
      // Not in the drawn strip: the style's stop sign.
      action->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    } else if (id == Cmd::BUILD_PROFILE) {
      // A toggle that says what it is: its name, not a picture.
      action->setText(QStringLiteral("Release"));
      action->setCheckable(true);
    } else {
      if (image < icons.size()) action->setIcon(icons[image]);
      ++image;
    }
    m_toolBar->addAction(action);
    if (id == Cmd::BUILD_PROFILE)
      if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  }
  addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::BuildAccelerators() {
  for (const AcceleratorEntry& entry : MainAccelerators()) {
    QAction* action = m_binder->MakeAction(entry.command, QString(), this,
                                           CCommandBinder::Kind::Accelerator);
    action->setShortcut(QKeySequence::fromString(QString::fromLatin1(entry.key)));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    if (entry.command == Cmd::BUILD_STOP && qApp)
      qApp->installEventFilter(new CBreakKeyFilter(action));
  }
}

void CMainFrame::BuildBars() {
  setDockOptions(dockOptions() | QMainWindow::AllowTabbedDocks);
  m_outputBar = new QDockWidget(QStringLiteral("Output Bar"), this);
  m_outputBar->setObjectName(QString::number(ID_OUTPUT_BAR));
  m_outputBar->setAllowedAreas(Qt::AllDockWidgetAreas);
  addDockWidget(Qt::BottomDockWidgetArea, m_outputBar);
  m_outputControl = new COutputBar(m_outputBar);
  SetOutputControl(m_outputControl, [this] { m_outputControl->Clear(); });
  connect(m_outputControl, &COutputBar::messageActivated, this, &CMainFrame::JumpToMessage);

  m_objectBar = new QDockWidget(QStringLiteral("Object Bar"), this);
  m_objectBar->setObjectName(QString::number(ID_OBJECT_BAR));
  m_objectBar->setAllowedAreas(Qt::AllDockWidgetAreas);
  m_objectTabs = new CObjectBar(m_objectBar);
  m_objectTabs->setTabPosition(QTabWidget::South);
  m_objectTabs->SetCommandBinder(m_binder);
  m_objectBar->setWidget(m_objectTabs);
  addDockWidget(Qt::LeftDockWidgetArea, m_objectBar);
  connect(m_objectTabs, &QTabWidget::currentChanged, m_binder, &CCommandBinder::ScheduleRefresh);

  // Default sizes of a first start: 200 wide on the left, 100 high at the bottom.
  resizeDocks({m_objectBar}, {200}, Qt::Horizontal);
  resizeDocks({m_outputBar}, {100}, Qt::Vertical);
  m_play = new CPlayController(*this);
  m_play->SetDocManager(m_docManager);
  for (QDockWidget* bar : {m_objectBar, m_outputBar, m_play->StoryDock(), m_play->WalkthroughDock()})
    connect(bar, &QDockWidget::visibilityChanged, m_binder, &CCommandBinder::ScheduleRefresh);
}

void CMainFrame::SetOutputControl(QWidget* control, std::function<void()> clear) {
  m_outputBar->setWidget(control);
  m_clearOutput = std::move(clear);
}

void CMainFrame::ClearOutput() {
  if (m_clearOutput) m_clearOutput();
}

void CMainFrame::ShowOutputBar() {
  m_outputBar->show();
  m_outputBar->raise();
}

void CMainFrame::PrepareOutput(const QString& source) {
  ShowOutputBar();
  m_outputControl->Clear(source);
  const uint32_t limitKb = std::clamp(ReadSetting(CProfileStore(), SETTING_OUTPUT_LIMIT_KB),
                                      OUTPUT_LIMIT_MIN_KB, OUTPUT_LIMIT_MAX_KB);
  m_outputControl->SetLimit(static_cast<qsizetype>(limitKb) * 1024);
  MarkMessageLines(true);
}

void CMainFrame::OnBuildStateChanged(bool running) {
  m_binder->ScheduleRefresh();
  if (m_play) m_play->BuildStateChanged(running);
  if (!running) MarkMessageLines(false);
}

void CMainFrame::MarkMessageLines(bool clearOnly) {
  m_buildMessages = clearOnly ? QList<QPair<QString, int>>() : m_outputControl->Messages();
  if (!m_docManager) return;
  for (CDocument* document : m_docManager->Documents()) MarkDocument(document);
}

void CMainFrame::MarkDocument(CDocument* document) {
  if (!document->TextBuffer()) return;
  CTextBuffer& buffer = *document->TextBuffer();
  for (int line = buffer.FirstLineWithFlag(LF_MARGIN_MARK); line >= 0;
       line = buffer.FirstLineWithFlag(LF_MARGIN_MARK))
    buffer.SetLineFlag(line, LF_MARGIN_MARK, false, false);
  const QString path = AbsoluteCleanPath(document->GetPathName());
  std::vector<int> lines;
  for (const auto& [file, line] : m_buildMessages)
    if (file == path) lines.push_back(line);
  if (lines.empty()) return;
  for (const int line : MapCompilerLinesOfFile(path, buffer.GetLineEndStyle(), lines))
    if (line >= 1 && line <= buffer.LineCount())
      buffer.SetLineFlag(line - 1, LF_MARGIN_MARK, true, false);
}

void CMainFrame::JumpToMessage(const QString& path, int line) {
  if (!m_docManager) return;
  auto* document = dynamic_cast<CTorvaneDoc*>(m_docManager->OpenDocumentFile(path));
  if (!document) return;
  document->GoToLine(
      MapCompilerLinesOfFile(path, document->Buffer().GetLineEndStyle(), {line}).front());
  if (CTorvaneView* view = document->FirstView()) view->setFocus();
}

void CMainFrame::SetDocManager(CDocManager* manager) {
  m_docManager = manager;
  if (m_play) m_play->SetDocManager(manager);
  // Menus follow the number of documents, the title the active one.
  connect(manager, &CDocManager::documentOpened, this, &CMainFrame::OnDocumentsChanged);
  // A document opened after a build carries that build's margin marks.
  connect(manager, &CDocManager::documentOpened, this, &CMainFrame::MarkDocument);
  connect(manager, &CDocManager::documentClosed, this, &CMainFrame::OnDocumentsChanged);
  connect(manager, &CDocManager::documentRenamed, this, &CMainFrame::UpdateFrameTitle);
  connect(manager, &CDocManager::documentModifiedChanged, this, &CMainFrame::UpdateFrameTitle);
  connect(manager, &CDocManager::recentFilesChanged, this, &CMainFrame::FillRecentFiles);
  connect(manager, &CDocManager::documentNote, this, [this](const QString& text) {
    if (m_statusBar) m_statusBar->showMessage(text, NOTE_TIMEOUT_MS);
  });
  FillRecentFiles();
  OnDocumentsChanged();
}

void CMainFrame::OnDocumentsChanged() {
  const bool any = m_docManager && !m_docManager->Documents().empty();
  ShowMenu(any ? MENU_DOCUMENT : MENU_NO_DOCUMENT);
  UpdateFrameTitle();
  m_binder->ScheduleRefresh();
}

void CMainFrame::UpdateFrameTitle() {
  CDocument* document = m_docManager ? m_docManager->ActiveDocument() : nullptr;
  QString title = FrameTitle();
  if (document) title += QStringLiteral(" - ") + document->GetTitle() + QStringLiteral("[*]");
  setWindowTitle(title);
  setWindowModified(document && document->IsModified());
}

void CMainFrame::SaveBarState() {
  CProfileStore store;
  store.WriteProfileBinary(QString::fromLatin1(BAR_STATE_SECTION), QStringLiteral("Layout"),
                           saveState());
}

bool CMainFrame::LoadBarState() {
  const CProfileStore store;
  const QByteArray state =
      store.GetProfileBinary(QString::fromLatin1(BAR_STATE_SECTION), QStringLiteral("Layout"));
  return !state.isEmpty() && restoreState(state);
}

void CMainFrame::DeclareCommands() {
  // A bar toggle shows a hidden bar and hides a shown one; its check mark tells which.
  const auto toggle = [this](int id, QWidget* bar) {
    m_commands.Add(id, [bar] { bar->setVisible(bar->isHidden()); }, CCommandTable::ALWAYS,
                   [bar] { return !bar->isHidden(); });
  };
  toggle(ID_OBJECT_BAR, m_objectBar);
  toggle(ID_OUTPUT_BAR, m_outputBar);
  toggle(ID_TOOLBAR, m_toolBar);
  toggle(ID_STATUS_BAR, m_statusBar);
  m_commands.Add(
      Cmd::WINDOW_NEW,
      [this] {
        if (CDocument* document = m_docManager ? m_docManager->ActiveDocument() : nullptr)
          m_docManager->CreateNewFrame(document);
      },
      [this] { return m_docManager && m_docManager->ActiveFrame() != nullptr; });
  m_commands.AddIndicator(Cmd::INDICATOR_CAPS, [this] { return m_capsLock; });
  m_commands.Add(Cmd::BUILD_STOP, [] { CRedirector::CancelRunning(); },
                 [] { return CRedirector::AnyToCancel(); });
  const CCommandTable::Rule messages = [this] { return m_outputControl->HasMessages(); };
  m_commands.Add(Cmd::NEXT_MESSAGE, [this] { m_outputControl->NextMessage(); }, messages);
  m_commands.Add(Cmd::PREV_MESSAGE, [this] { m_outputControl->PreviousMessage(); }, messages);
  // The play commands are the play controller's; it says what they are enabled and checked.
  for (const int id : {Cmd::VIEW_STORY_BAR, Cmd::VIEW_WALKTHROUGH_BAR, Cmd::BUILD_PLAY,
                       Cmd::BUILD_RUN_WALKTHROUGHS, Cmd::WALKTHROUGHS_AFTER_COMPILE}) {
    const auto state = [this, id] {
      CCmdUIState ui;
      m_play->OnUpdateCmdUI(id, ui);
      return ui;
    };
    m_commands.Add(id, [this, id] { m_play->OnCmdMsg(id); }, [state] { return state().enabled; },
                   [state] { return state().checked; });
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The layout is kept even when the user then cancels the close.
  SaveBarState();
  SaveWindowPlacement();
  // A running compiler is ended here; its loop returns once this close is done.
  if (CRedirector::AnyToCancel()) {
    if (TorvaneMessageBox(QString::fromLatin1(TEXT_STOP_BUILD_AND_EXIT),
                          MB_YESNO | MB_ICONQUESTION) != IDYES) {
      event->ignore();
      return;
    }
    CRedirector::CancelRunning();
  }
  if (m_docManager && !m_docManager->SaveAllModified()) {
    event->ignore();
    return;
  }
  if (m_docManager) m_docManager->CloseAllDocuments();
  event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // A child window that closes (or is deleted) clears the modified mark of the window it sits
  // in; the active document's mark goes back once the child is done.
  if (event->type() != QEvent::ModifiedChange || !m_docManager) return;
  const CDocument* document = m_docManager->ActiveDocument();
  if (isWindowModified() != (document && document->IsModified()))
    QTimer::singleShot(0, this, &CMainFrame::UpdateFrameTitle);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (IsFileDrop(event->mimeData())) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (!IsFileDrop(event->mimeData()) || !m_docManager) return;
  event->acceptProposedAction();
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) m_docManager->OpenDocumentFile(url.toLocalFile());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::ChildAdded && watched == m_mdiArea->viewport())
    StyleDocumentWindow(static_cast<QChildEvent*>(event)->child());
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    // Caps Lock as the window system reports it with each key (X11 carries it in the state).
    auto* key = static_cast<QKeyEvent*>(event);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
      const bool caps = (key->nativeModifiers() & X11_LOCK_MASK) != 0;
      if (caps != m_capsLock) {
        m_capsLock = caps;
        m_binder->ScheduleRefresh();
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
