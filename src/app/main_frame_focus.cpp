// F6 and Shift+F6: the keyboard's way between the editor and the docked bars.
#include <QApplication>
#include <QDockWidget>
#include <QTabWidget>
#include <algorithm>
#include <tuple>

#include "command_ids.h"
#include "doc_manager.h"
#include "main_frame.h"
#include "mdi_child_base.h"
#include "view.h"

namespace {
// Where focus goes in a dock: where it was last, else the first widget that takes focus from
// the keyboard (in a tabbed bar, on the current tab).
QWidget* FocusTarget(QDockWidget* dock) {
  QWidget* content = dock->widget();
  if (!content) return nullptr;
  if (auto* tabs = qobject_cast<QTabWidget*>(content); tabs && tabs->currentWidget())
    content = tabs->currentWidget();
  const auto takes = [dock](QWidget* w) {
    return w && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(dock);
  };
  if (QWidget* last = content->focusWidget(); takes(last) && content->isAncestorOf(last))
    return last;
  if (takes(content)) return content;
  const QList<QWidget*> children = content->findChildren<QWidget*>();
  const auto it = std::find_if(children.begin(), children.end(), takes);
  return it != children.end() ? *it : nullptr;
}
} // namespace

std::vector<QWidget*> CMainFrame::FocusStops() const {
  std::vector<QWidget*> stops;
  if (CMdiChildBase* frame = m_docManager ? m_docManager->ActiveFrame() : nullptr)
    for (CView* view : frame->FrameViews())
      if (auto* widget = dynamic_cast<QWidget*>(view)) stops.push_back(widget);
  // The bars in the order they stand round the window (left, top, right, bottom, then the
  // floating ones), each side from top to bottom and left to right: the children's own order
  // changes whenever one is raised.
  std::vector<QDockWidget*> docks;
  for (QDockWidget* dock : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
    if (dock->isVisible() && FocusTarget(dock)) docks.push_back(dock);
  const auto side = [this](QDockWidget* dock) {
    if (dock->isFloating()) return 4;
    switch (dockWidgetArea(dock)) {
    case Qt::LeftDockWidgetArea: return 0;
    case Qt::TopDockWidgetArea: return 1;
    case Qt::RightDockWidgetArea: return 2;
    default: return 3;
    }
  };
  std::stable_sort(docks.begin(), docks.end(), [&side](QDockWidget* a, QDockWidget* b) {
    const QPoint pa = a->mapToGlobal(QPoint()), pb = b->mapToGlobal(QPoint());
    return std::tuple(side(a), pa.y(), pa.x()) < std::tuple(side(b), pb.y(), pb.x());
  });
  stops.insert(stops.end(), docks.begin(), docks.end());
  return stops;
}

void CMainFrame::CycleFocus(int step) {
  const std::vector<QWidget*> stops = FocusStops();
  if (stops.empty()) return;
  const int count = static_cast<int>(stops.size());
  QWidget* focus = QApplication::focusWidget();
  const auto here = std::find_if(stops.begin(), stops.end(), [focus](QWidget* stop) {
    return focus && (stop == focus || stop->isAncestorOf(focus));
  });
  // From outside every stop, F6 goes to the first and Shift+F6 to the last.
  const int index = here == stops.end() ? (step > 0 ? count - 1 : 0)
                                        : static_cast<int>(here - stops.begin());
  QWidget* next = stops[static_cast<std::size_t>(((index + step) % count + count) % count)];
  if (auto* dock = qobject_cast<QDockWidget*>(next)) {
    dock->raise(); // a bar tabbed behind another comes to the front
    next = FocusTarget(dock);
  }
  next->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::NameBarContents() {
  // A screen reader names a control by its accessible name: a bar's control is called after
  // its bar, a tree of the object bar after its tab. Names given elsewhere stay.
  for (QDockWidget* dock : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
    QWidget* content = dock->widget();
    if (!content) continue;
    if (auto* tabs = qobject_cast<QTabWidget*>(content)) {
      for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->accessibleName().isEmpty())
          tabs->widget(i)->setAccessibleName(tabs->tabText(i).remove(QLatin1Char('&')));
    }
    if (content->accessibleName().isEmpty()) content->setAccessibleName(dock->windowTitle());
  }
}

void CMainFrame::DeclareFocusCommands() {
  const CCommandTable::Rule any = [this] { return !FocusStops().empty(); };
  m_commands.Add(Cmd::NEXT_PANE, [this] { CycleFocus(1); }, any);
  m_commands.Add(Cmd::PREV_PANE, [this] { CycleFocus(-1); }, any);
}
