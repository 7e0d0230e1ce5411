#include "break_key_filter.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

CBreakKeyFilter::CBreakKeyFilter(QAction* action) : QObject(action), m_action(action) {}

bool CBreakKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
    return false;
  if (static_cast<QKeyEvent*>(event)->nativeVirtualKey() != KEYSYM_BREAK) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* owner = qobject_cast<QWidget*>(m_action->parent());
  if (!widget || !owner || widget->window() != owner->window()) return false;
  // The override is only claimed, so that the press follows and triggers once.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (m_action->isEnabled()) m_action->trigger();
  return true;
}
