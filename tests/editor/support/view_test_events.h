#pragma once
// Mouse events with an explicit button state, for drags that leave the window.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace viewtest {

inline void SendMouse(QWidget* target, QEvent::Type type, QPoint point, Qt::MouseButton button,
                      Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const QPointF local(point);
  QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, modifiers);
  QApplication::sendEvent(target, &event);
}

inline void Press(QWidget* target, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(target, QEvent::MouseButtonPress, point, button, button, modifiers);
}

inline void MoveHeld(QWidget* target, QPoint point,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  SendMouse(target, QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton, modifiers);
}

inline void Release(QWidget* target, QPoint point,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(target, QEvent::MouseButtonRelease, point, button, Qt::NoButton, modifiers);
}

inline void Click(QWidget* target, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  Qt::MouseButton button = Qt::LeftButton) {
  Press(target, point, modifiers, button);
  Release(target, point, modifiers, button);
}

inline void DoubleClick(QWidget* target, QPoint point) {
  Click(target, point);
  SendMouse(target, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
  Release(target, point);
}

} // namespace viewtest
