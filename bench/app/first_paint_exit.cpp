// Linked into the start-up benchmark's copy of the IDE (torvane_first_paint), never into the
// program itself: as soon as the application object exists, a filter waits for the first
// paint of a document view, then says "painted" on standard output and ends the program.
#include <QCoreApplication>
#include <QEvent>
#include <cstdio>

#include "torvane_view.h"

namespace {

class CFirstPaintExit : public QObject {
public:
  explicit CFirstPaintExit(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || m_done) return false;
    auto* view = qobject_cast<CTorvaneView*>(watched->parent());
    if (!view || view->viewport() != watched) return false;
    m_done = true;
    // After this paint has been delivered.
    QMetaObject::invokeMethod(qApp, [] {
      std::fputs("painted\n", stdout);
      std::fflush(stdout);
      QCoreApplication::exit(0);
    }, Qt::QueuedConnection);
    return false;
  }

private:
  bool m_done = false;
};

void InstallFirstPaintExit() { new CFirstPaintExit(qApp); }

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintExit)
