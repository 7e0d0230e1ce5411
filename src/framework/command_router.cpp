#include "command_router.h"

#include <utility>

CCommandRouter::CCommandRouter(RouteFunction route) : m_route(std::move(route)) {}

std::vector<CCmdTarget*> CCommandRouter::Route() const {
  std::vector<CCmdTarget*> route;
  if (m_route) m_route(route);
  return route;
}

CCmdUIState CCommandRouter::Query(int id, bool isMenuItem) const {
  for (CCmdTarget* target : Route()) {
    CCmdUIState state;
    state.id = id;
    state.isMenuItem = isMenuItem;
    if (target->OnUpdateCmdUI(id, state)) return state;
  }
  CCmdUIState nobody;
  nobody.id = id;
  nobody.isMenuItem = isMenuItem;
  nobody.enabled = false;
  return nobody;
}

bool CCommandRouter::Execute(int id) {
  if (!Query(id).enabled) return false;
  // The route is taken again: the update handlers may not change it, but a target must not
  // be called after an earlier one in the same walk destroyed it, so the walk stops at the
  // first handler.
  for (CCmdTarget* target : Route())
    if (target->OnCmdMsg(id)) return true;
  return false;
}
