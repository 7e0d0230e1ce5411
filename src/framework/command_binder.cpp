#include "command_binder.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <algorithm>

#include "cmd_target.h"
#include "command_router.h"
#include "debug_assert.h"
#include "menu_table.h"
#include "string_table.h"

namespace {

QString PromptPart(int id, bool toolTip) {
  const char* text = LoadStringResource(id);
  if (!text) return QString();
  const QString whole = QString::fromLatin1(text);
  const qsizetype breakAt = whole.indexOf(QLatin1Char('\n'));
  if (breakAt < 0) return toolTip ? QString() : whole;
  return toolTip ? whole.mid(breakAt + 1) : whole.left(breakAt);
}

} // namespace

CCommandBinder::CCommandBinder(CCommandRouter& router, QObject* parent)
    : QObject(parent), m_router(router) {}

QString CCommandBinder::PromptText(int id) { return PromptPart(id, false); }
QString CCommandBinder::ToolTipText(int id) { return PromptPart(id, true); }

QAction* CCommandBinder::MakeAction(int id, const QString& text, QObject* owner, Kind kind) {
  auto* action = new QAction(text, owner);
  action->setData(id);
  action->setStatusTip(PromptText(id));
  const QString tip = ToolTipText(id);
  if (!tip.isEmpty()) action->setToolTip(tip);
  connect(action, &QAction::triggered, this, [this, id] {
    m_router.Execute(id);
    ScheduleRefresh();
  });
  // The list forgets an action as soon as it goes (context menus come and go).
  connect(action, &QObject::destroyed, this, [this](QObject* gone) {
    std::erase_if(m_actions, [gone](const Bound& b) { return b.action == gone; });
  });
  m_actions.push_back({action, id, kind});
  // Shown states follow once the window is complete; a caller about to show the action at
  // once refreshes it itself.
  if (kind != Kind::Accelerator) ScheduleRefresh();
  return action;
}

void CCommandBinder::Register(const CCmdTarget& target) {
  TORVANE_ASSERT(target.Commands().Unanswered().empty());
}

std::unique_ptr<QMenu> CCommandBinder::BuildContextMenu(int popupIndex, const QString& title) {
  auto menu = std::make_unique<QMenu>(title);
  for (const MenuEntry& entry : ContextMenuResource(popupIndex)) {
    if (entry.id == 0)
      menu->addSeparator();
    else
      menu->addAction(
          MakeAction(entry.id, QString::fromLatin1(entry.text), menu.get(), Kind::MenuItem));
  }
  RefreshActions(menu->actions());
  return menu;
}

void CCommandBinder::WatchMenu(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { RefreshActions(menu->actions()); });
}

void CCommandBinder::BindPane(int id, const QString& litText,
                              std::function<void(const QString&)> show) {
  m_panes.push_back({id, litText, std::move(show)});
}

void CCommandBinder::RefreshOne(QAction* action, int id, Kind kind) {
  if (kind == Kind::Accelerator) return;
  const CCmdUIState state = m_router.Query(id, kind == Kind::MenuItem);
  action->setEnabled(state.enabled);
  if (state.checked && !action->isCheckable()) action->setCheckable(true);
  if (action->isCheckable()) action->setChecked(state.checked);
  if (kind == Kind::MenuItem && state.text) {
    const QString text = QString::fromLatin1(state.text->c_str());
    if (action->text() != text) action->setText(text);
  }
}

void CCommandBinder::RefreshActions(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    auto it = std::find_if(m_actions.begin(), m_actions.end(),
                           [action](const Bound& b) { return b.action == action; });
    if (it != m_actions.end()) RefreshOne(it->action, it->id, it->kind);
  }
}

void CCommandBinder::Refresh() {
  m_refreshPending = false;
  // An update handler may not add or remove actions, but a copy keeps the walk safe anyway.
  const std::vector<Bound> actions = m_actions;
  for (const Bound& b : actions) RefreshOne(b.action, b.id, b.kind);
  for (const Pane& pane : m_panes) {
    const CCmdUIState state = m_router.Query(pane.id);
    QString text;
    if (state.enabled) text = state.text ? QString::fromLatin1(state.text->c_str()) : pane.litText;
    pane.show(text);
  }
}

void CCommandBinder::ScheduleRefresh() {
  if (m_refreshPending) return;
  m_refreshPending = true;
  QTimer::singleShot(0, this, [this] {
    if (m_refreshPending) Refresh();
  });
}
