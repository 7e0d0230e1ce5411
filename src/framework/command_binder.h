#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CCmdTarget;
class CCommandRouter;
class QAction;
class QMenu;

// Makes the QActions of menus, toolbar, accelerators and context menus carry command ids,
// and keeps what they show in step with the router: enabling, check marks and (menu items
// only) texts are refreshed when a menu opens and whenever Refresh is asked for (the active
// child changed, the view reported a change). Status panes are refreshed the same way.
class CCommandBinder : public QObject {
  Q_OBJECT

public:
  enum class Kind {
    MenuItem,    // enabled, checked and text follow the update handlers
    Button,      // enabled and checked follow; the text stays (it is the tool tip)
    Accelerator, // always live: the router refuses a disabled command when the key fires
  };

  explicit CCommandBinder(CCommandRouter& router, QObject* parent = nullptr);

  // A new action owned by owner that carries id: triggering it executes id through the
  // router. Its status tip and tool tip come from the command's prompt string. What it
  // shows is refreshed with the next refresh.
  QAction* MakeAction(int id, const QString& text, QObject* owner, Kind kind);
  // Takes a target that the router may offer commands to: each command it runs must have
  // its enabled rule (debug builds stop here when one has none).
  void Register(const CCmdTarget& target);
  // The context menu popupIndex of the menu resource (menu_table.h), its items bound to their
  // commands and refreshed, ready to show.
  std::unique_ptr<QMenu> BuildContextMenu(int popupIndex, const QString& title = QString());
  // The actions of menu (and of its sub-menus as they open) are refreshed when it opens.
  void WatchMenu(QMenu* menu);
  // A status pane: show gets the text to display, empty while the command is disabled;
  // litText stands in when the update handler enables the pane without giving a text.
  void BindPane(int id, const QString& litText, std::function<void(const QString&)> show);

  // Refreshes every action and pane now.
  void Refresh();
  // Refreshes once the current event has been handled; several requests make one refresh.
  void ScheduleRefresh();
  // Refreshes the given actions (those of this binder among them).
  void RefreshActions(const QList<QAction*>& actions);

  CCommandRouter& Router() { return m_router; }

  // The status-bar prompt and the tool tip of a command, from its string (the text before
  // and after the line break); empty when the command has none.
  static QString PromptText(int id);
  static QString ToolTipText(int id);

private:
  struct Bound {
    QAction* action;
    int id;
    Kind kind;
  };
  struct Pane {
    int id;
    QString litText;
    std::function<void(const QString&)> show;
  };
  void RefreshOne(QAction* action, int id, Kind kind);

  CCommandRouter& m_router;
  std::vector<Bound> m_actions;
  std::vector<Pane> m_panes;
  bool m_refreshPending = false;
};
