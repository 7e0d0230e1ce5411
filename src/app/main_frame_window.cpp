// The main frame's Window menu (split, tabs, the list of open windows), the window's own
// size and place between runs, and the help commands.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>

#include "child_frame.h"
#include "command_binder.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "help_reference.h"
#include "help_window.h"
#include "main_frame.h"
#include "profile_store.h"
#include "torvane_view.h"

namespace {

constexpr const char* VALUE_PLACEMENT = "Placement";
constexpr const char* VALUE_TABBED = "TabbedDocuments";
// Items of the window list that get a mnemonic: &1 to &9, as the other numbered lists.
constexpr int WINDOW_LIST_MNEMONICS = 9;
// The ids of the window list run from WINDOW_FIRST_CHILD to the last 16-bit id.
constexpr int WINDOW_LIST_IDS = 0x10000 - Cmd::WINDOW_FIRST_CHILD;

QString Section() { return QString::fromLatin1(CMainFrame::WINDOW_SECTION); }

// The caption of a window as the list shows it: without the modified mark's placeholder, and
// with its ampersands shown rather than taken for mnemonics.
QString ListText(int number, const QMdiSubWindow* window) {
  QString title = window->windowTitle();
  title.remove(QStringLiteral("[*]"));
  title.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return (number <= WINDOW_LIST_MNEMONICS ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2"))
      .arg(number)
      .arg(title);
}

// A maximised document window keeps its own title bar. Without it the area writes
// "main title - [document title]" into the main window's title, which already names the
// active document, and rewrites it again whenever the frame sets its own.
class CDocumentWindowStyle : public QProxyStyle {
public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_Workspace_FillSpaceOnMaximize) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// One for the whole program; windows use it while it lives, and it lives as long as the
// application object.
QStyle* DocumentWindowStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new CDocumentWindowStyle;
    style->setParent(qApp);
  }
  return style;
}

} // namespace

void CMainFrame::StyleDocumentWindow(QObject* child) {
  // Before the window is shown or maximised: the style decides how it is maximised.
  if (auto* window = qobject_cast<QMdiSubWindow*>(child)) window->setStyle(DocumentWindowStyle());
}

void CMainFrame::SetUpWindowMenu() {
  for (QMenu* menu : m_menus129)
    for (QAction* action : menu->actions())
      if (action->data().toInt() == Cmd::WINDOW_NEW) m_windowMenu = menu;
  // After the binder's own refresh of the menu: the list's actions refresh themselves.
  if (m_windowMenu) connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::FillWindowList);
  connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::MaximiseFirstDocument);
  const CProfileStore store;
  SetTabbedDocuments(store.GetProfileInt(Section(), QString::fromLatin1(VALUE_TABBED), 0) != 0);
}

QList<QAction*> CMainFrame::WindowListActions() const { return m_windowListActions; }

void CMainFrame::FillWindowList() {
  qDeleteAll(m_windowListActions);
  m_windowListActions.clear();
  const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
  if (!m_windowMenu || windows.isEmpty()) return;
  m_windowListActions << m_windowMenu->addSeparator();
  for (int i = 0; i < windows.size(); ++i) {
    QAction* action = m_binder->MakeAction(Cmd::WINDOW_FIRST_CHILD + i, ListText(i + 1, windows[i]),
                                           m_windowMenu, CCommandBinder::Kind::MenuItem);
    m_windowMenu->addAction(action);
    m_windowListActions << action;
  }
  m_binder->RefreshActions(m_windowListActions);
}

void CMainFrame::MaximiseFirstDocument(QMdiSubWindow* window) {
  // The first window of an empty area fills it; later ones follow the active one (the area
  // maximises a new window while the active one is maximised). A window the user has seen
  // is never maximised again by this.
  static constexpr const char* SEEN = "torvaneSeen";
  if (!window || window->property(SEEN).toBool()) return;
  window->setProperty(SEEN, true);
  if (m_mdiArea->viewMode() == QMdiArea::SubWindowView && m_mdiArea->subWindowList().size() == 1)
    window->showMaximized();
}

void CMainFrame::SetTabbedDocuments(bool tabbed) {
  m_mdiArea->setViewMode(tabbed ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
  m_mdiArea->setDocumentMode(true);
  m_mdiArea->setTabsClosable(true);
  m_mdiArea->setTabsMovable(true);
}

void CMainFrame::ToggleSplit() {
  auto* frame = dynamic_cast<CChildFrame*>(m_docManager ? m_docManager->ActiveFrame() : nullptr);
  if (!frame) return;
  if (frame->RowCount() * frame->ColumnCount() > 1) {
    frame->Split(1, 1);
    if (CTorvaneView* view = frame->Pane(0, 0)) view->setFocus();
  } else {
    frame->Split(2, 1);
  }
}

void CMainFrame::ArrangeIcons() {
  // Minimised child windows line up along the bottom edge of the area, left to right.
  int x = 0;
  const int bottom = m_mdiArea->viewport()->height();
  for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isMinimized()) continue;
    window->move(x, bottom - window->height());
    x += window->width();
  }
}

void CMainFrame::SaveWindowPlacement() {
  CProfileStore store;
  store.WriteProfileBinary(Section(), QString::fromLatin1(VALUE_PLACEMENT), saveGeometry());
}

bool CMainFrame::LoadWindowPlacement() {
  const CProfileStore store;
  const QByteArray placement = store.GetProfileBinary(Section(), QString::fromLatin1(VALUE_PLACEMENT));
  return !placement.isEmpty() && restoreGeometry(placement);
}

void CMainFrame::ShowHelp(bool onWord) {
  if (!m_helpWindow) m_helpWindow = new CHelpWindow(CHelpReference::Builtin(), this);
  QString word;
  auto* view = onWord && m_docManager && m_docManager->ActiveFrame()
                   ? dynamic_cast<CTorvaneView*>(m_docManager->ActiveFrame()->GetActiveView())
                   : nullptr;
  if (view) {
    const TextPosition caret = view->GetCursorPosition();
    word = InformWordAt(view->GetLineText(caret.y), view->GetLineLength(caret.y), caret.x);
  }
  // Without a word to explain, F1 gives the guide, as Help Topics does.
  if (word.isEmpty())
    m_helpWindow->ShowGuide();
  else
    m_helpWindow->ShowWord(word);
}

void CMainFrame::DeclareWindowCommands() {
  const auto windows = [this] { return m_mdiArea->subWindowList(QMdiArea::CreationOrder); };
  m_commands.AddRange(
      Cmd::WINDOW_FIRST_CHILD, WINDOW_LIST_IDS,
      [this, windows](int index) {
        const QList<QMdiSubWindow*> list = windows();
        if (index >= list.size()) return;
        if (list[index]->isMinimized()) list[index]->showNormal();
        m_mdiArea->setActiveSubWindow(list[index]);
      },
      [windows](int index) { return index < windows().size(); },
      [this, windows](int index) {
        const QList<QMdiSubWindow*> list = windows();
        return index < list.size() && list[index] == m_mdiArea->currentSubWindow();
      });
  // Tabs have no layout to arrange.
  const CCommandTable::Rule arrangeable = [this, windows] {
    return !windows().isEmpty() && m_mdiArea->viewMode() != QMdiArea::TabbedView;
  };
  m_commands.Add(Cmd::WINDOW_CASCADE, [this] { m_mdiArea->cascadeSubWindows(); }, arrangeable);
  m_commands.Add(Cmd::WINDOW_TILE_HORZ, [this] { m_mdiArea->tileSubWindows(); }, arrangeable);
  m_commands.Add(Cmd::WINDOW_ARRANGE, [this] { ArrangeIcons(); }, arrangeable);
  const auto activeFrame = [this] {
    return dynamic_cast<CChildFrame*>(m_docManager ? m_docManager->ActiveFrame() : nullptr);
  };
  m_commands.Add(
      Cmd::WINDOW_SPLIT, [this] { ToggleSplit(); }, [activeFrame] { return activeFrame() != nullptr; },
      [activeFrame] {
        const CChildFrame* frame = activeFrame();
        return frame && frame->RowCount() * frame->ColumnCount() > 1;
      });
  m_commands.Add(
      Cmd::WINDOW_TABBED,
      [this] {
        const bool tabbed = m_mdiArea->viewMode() != QMdiArea::TabbedView;
        SetTabbedDocuments(tabbed);
        CProfileStore store;
        store.WriteProfileInt(Section(), QString::fromLatin1(VALUE_TABBED), tabbed ? 1 : 0);
      },
      CCommandTable::ALWAYS, [this] { return m_mdiArea->viewMode() == QMdiArea::TabbedView; });
  m_commands.Add(Cmd::HELP_FINDER, [this] { ShowHelp(false); }, CCommandTable::ALWAYS);
  m_commands.Add(Cmd::HELP, [this] { ShowHelp(true); }, CCommandTable::ALWAYS);
}
