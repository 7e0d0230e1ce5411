#pragma once
#include <QObject>

class QAction;

// Ctrl+Pause on a PC keyboard sends the Break key, which X11 names with its own keysym and
// Qt has no key code for, so no shortcut can match it. This filter, installed on the
// application, triggers the action (Stop Build) when a key press carries that keysym while
// the action's window is active; the action's own shortcut (Ctrl+Pause) serves the systems
// that report the key as Pause.
class CBreakKeyFilter : public QObject {
  Q_OBJECT

public:
  // The keysym X11 gives the Break key.
  static constexpr quint32 KEYSYM_BREAK = 0xFF6B;

  explicit CBreakKeyFilter(QAction* action);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QAction* m_action;
};
