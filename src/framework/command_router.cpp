#include "command_router.h"

#include <algorithm>
#include <utility>

#include "debug_assert.h"

CCommandRouter::CCommandRouter(RouteFunction route) : m_route(std::move(route)) {}

std::vector<CCmdTarget*> CCommandRouter::Route() const {
  std::vector<CCmdTarget*> route;
  if (m_route) m_route(route);
  TORVANE_ASSERT(std::find(route.begin(), route.end(), nullptr) == route.end());
  return route;
}

CCmdUIState CCommandRouter::Query(int id, bool isMenuItem) const {
  CCmdTarget* answering = nullptr;
  return Query(id, isMenuItem, answering);
}

CCmdUIState CCommandRouter::Query(int id, bool isMenuItem, CCmdTarget*& answering) const {
  for (CCmdTarget* target : Route()) {
    CCmdUIState state;
    state.id = id;
    state.isMenuItem = isMenuItem;
    if (target->OnUpdateCmdUI(id, state)) {
      answering = target;
      return state;
    }
  }
  answering = nullptr;
  CCmdUIState nobody;
  nobody.id = id;
  nobody.isMenuItem = isMenuItem;
  nobody.enabled = false;
  return nobody;
}

bool CCommandRouter::Execute(int id) {
  // The target that answered runs the command, and nothing after it: the command may
  // destroy targets further down the route (a document closing takes its frame along).
  CCmdTarget* answering = nullptr;
  if (!Query(id, false, answering).enabled) return false;
  const bool ran = answering->OnCmdMsg(id);
  TORVANE_ASSERT(ran); // a target that enables a command carries it out
  return ran;
}
