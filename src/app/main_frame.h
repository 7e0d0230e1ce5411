#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "cmd_target.h"

class CCommandBinder;
class CCommandRouter;
class CDocManager;
class CDocument;
class CHelpWindow;
class CMainStatusBar;
class CObjectBar;
class COutputBar;
class CPlayController;
class QDockWidget;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QToolBar;

// The top-level window: the MDI area with the documents' child frames, menus 128 (no
// document) and 129 (documents open), toolbar 128, the status bar with its indicators, and
// the two docking bars, the object bar on the left and the output bar at the bottom. It is
// where commands start their route: active view, its document, its child frame, the object
// bar's current tree, this frame, the application.
class CMainFrame : public QMainWindow, public CCmdTarget {
  Q_OBJECT

public:
  static constexpr int ID_TOOLBAR = 59392;
  static constexpr int ID_STATUS_BAR = 59393;
  static constexpr int ID_OBJECT_BAR = 32786;
  static constexpr int ID_OUTPUT_BAR = 32787;
  static constexpr const char* BAR_STATE_SECTION = "Bar State";

  // application: the last target of every route.
  explicit CMainFrame(CCmdTarget* application, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Builds menus, toolbar, status bar and the two bars, then restores the bar layout saved
  // under "Bar State". False when the frame cannot be built.
  bool OnCreate();
  // Documents whose frames live in the MDI area; menus follow their number.
  void SetDocManager(CDocManager* manager);

  QMdiArea* MdiArea() const { return m_mdiArea; }
  CCommandRouter& Router() const { return *m_router; }
  CCommandBinder& Binder() const { return *m_binder; }
  CMainStatusBar* StatusPanes() const { return m_statusBar; }
  QToolBar* ToolBar() const { return m_toolBar; }

  // The object bar: its dock, and the tabs with the three trees in it. The tree of the
  // current tab is offered every command after the active document's frame.
  QDockWidget* GetObjectBar() const { return m_objectBar; }
  CObjectBar* ObjectBarTabs() const { return m_objectTabs; }

  // The output bar: its dock, the control shown in it, and how that control is emptied.
  QDockWidget* GetOutputBar() const { return m_outputBar; }
  void SetOutputControl(QWidget* control, std::function<void()> clear);
  void ClearOutput();
  // Shows the output bar (Compile does) and lays the frame out again.
  void ShowOutputBar();
  // The output bar's own control, where builds write.
  COutputBar* OutputControl() const { return m_outputControl; }
  // For a build of source: the output bar shown and emptied, the margin marks of the last
  // build's messages gone.
  void PrepareOutput(const QString& source);
  // A build started or ended: Compile, Run and Stop Build follow; at the end, the lines the
  // messages name get the margin mark.
  void OnBuildStateChanged(bool running);
  // Opens path (or activates it when open) with the caret at the start of line (1-based).
  void JumpToMessage(const QString& path, int line);

  void SaveBarState();
  bool LoadBarState();

  // The menu shown now (128 or 129) and its top-level pop-ups.
  int CurrentMenuId() const { return m_currentMenu; }
  QList<QMenu*> Menus(int menuId) const;
  // The prompt of the caption: "Torvane (Inform Mode)" and the active document's title.
  void UpdateFrameTitle();

  // A target offered every command just before this frame (a service of the application
  // that takes F4 from the output bar while its own list is the current one).
  void AddCommandTarget(CCmdTarget* target) { m_extraTargets.push_back(target); }

  // The Window menu, the window's place and the help (main_frame_window.cpp).
  static constexpr const char* WINDOW_SECTION = "Main Window";
  // The window's size, place and maximised state, kept on every close request.
  void SaveWindowPlacement();
  bool LoadWindowPlacement();
  // The numbered items of the open windows, as the Window menu showed them last.
  QList<QAction*> WindowListActions() const;
  // The Story and Walkthroughs bars and the commands that play and test the story.
  CPlayController* PlayController() const { return m_play; }
  // The help window once help has been asked for; null before.
  CHelpWindow* HelpWindow() const { return m_helpWindow; }
  // What F6 (step 1) and Shift+F6 (step -1) move the focus through, in turn: the panes of the
  // active document window, then every shown bar (main_frame_focus.cpp).
  std::vector<QWidget*> FocusStops() const;
  void CycleFocus(int step);
  // Gives the controls of the bars the names of their bars (the trees, their tabs' labels).
  void NameBarContents();

protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildRoute(std::vector<CCmdTarget*>& route) const;
  QList<QMenu*> BuildMenu(int menuId);
  void BuildToolBar();
  void BuildAccelerators();
  void BuildBars();
  void ShowMenu(int menuId);
  void FillRecentFiles();
  void SetUpWindowMenu();
  void StyleDocumentWindow(QObject* child);
  void FillWindowList();
  void MaximiseFirstDocument(QMdiSubWindow* window);
  void SetTabbedDocuments(bool tabbed);
  void ToggleSplit();
  void ArrangeIcons();
  // F1 (onWord): the reference entry of the word at the active view's caret; Help Topics,
  // or F1 without a word: the user guide.
  void ShowHelp(bool onWord);
  // The table of commands, once the bars exist: the frame's own, then the Window menu's.
  void DeclareCommands();
  void DeclareWindowCommands();
  void DeclareFocusCommands();
  void OnDocumentsChanged();
  // Keeps the messages of the output (none with clearOnly) as the last build's, and marks
  // them in the open documents.
  void MarkMessageLines(bool clearOnly);
  // Gives document the margin marks of the last build's messages about its file, and no other.
  void MarkDocument(CDocument* document);

  CCmdTarget* m_application;
  std::unique_ptr<CCommandRouter> m_router;
  CCommandBinder* m_binder;
  QMdiArea* m_mdiArea;
  CDocManager* m_docManager = nullptr;
  CMainStatusBar* m_statusBar = nullptr;
  QToolBar* m_toolBar = nullptr;
  QDockWidget* m_objectBar = nullptr;
  CObjectBar* m_objectTabs = nullptr;
  QDockWidget* m_outputBar = nullptr;
  std::function<void()> m_clearOutput;
  COutputBar* m_outputControl = nullptr;
  // The last build's messages, (absolute path, 1-based line), for documents opened later.
  QList<QPair<QString, int>> m_buildMessages;
  QList<QMenu*> m_menus128;
  QList<QMenu*> m_menus129;
  // The "Recent File" places of the two File menus: the action the list goes before.
  std::vector<std::pair<QMenu*, QAction*>> m_recentPlaces;
  std::vector<QAction*> m_recentActions;
  int m_currentMenu = 0;
  QMenu* m_windowMenu = nullptr;
  QList<QAction*> m_windowListActions;
  CHelpWindow* m_helpWindow = nullptr; // a child window of this frame
  CPlayController* m_play = nullptr;    // a child of this frame
  bool m_capsLock = false;
  std::vector<CCmdTarget*> m_extraTargets;
};
