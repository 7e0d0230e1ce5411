#pragma once
// Mouse events with an explicit button state, for drags that leave the window.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace viewtest {

inline void SendMouse(QWidget* target, QEvent::Type type, QPoint point, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  QMouseEvent event(type, QPointF(point), target->mapToGlobal(QPointF(point)), button, buttons,
                    modifiers);
  QApplication::sendEvent(target, &event);
}

using Mods = Qt::KeyboardModifiers;
constexpr Qt::MouseButton LEFT = Qt::LeftButton;

inline void Press(QWidget* target, QPoint point, Mods mods = {}, Qt::MouseButton button = LEFT) {
  SendMouse(target, QEvent::MouseButtonPress, point, button, button, mods);
}
inline void MoveHeld(QWidget* target, QPoint point, Mods mods = {}) {
  SendMouse(target, QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton, mods);
}
inline void Release(QWidget* target, QPoint point, Mods mods = {}, Qt::MouseButton button = LEFT) {
  SendMouse(target, QEvent::MouseButtonRelease, point, button, Qt::NoButton, mods);
}
inline void Click(QWidget* target, QPoint point, Mods mods = {}, Qt::MouseButton button = LEFT) {
  Press(target, point, mods, button);
  Release(target, point, mods, button);
}
inline void DoubleClick(QWidget* target, QPoint point) {
  Click(target, point);
  SendMouse(target, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton, {});
  Release(target, point);
}

} // namespace viewtest
