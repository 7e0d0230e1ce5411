#pragma once
#include <functional>
#include <vector>

#include "cmd_target.h"

// The one place that decides what a command id does and whether it is enabled. The route is
// asked afresh for every command, because the active view changes: the window supplies it
// (active view -> its document -> child frame -> main frame -> application; absent members
// are left out).
class CCommandRouter {
public:
  using RouteFunction = std::function<void(std::vector<CCmdTarget*>& route)>;

  explicit CCommandRouter(RouteFunction route);

  // The state of id as the first target in the route that answers gives it. When no target
  // answers, the command is disabled and unchecked.
  CCmdUIState Query(int id, bool isMenuItem = false) const;
  // Carries out id through the target that answers it, if that target enables it. False
  // when it is disabled or nobody answers.
  bool Execute(int id);

  std::vector<CCmdTarget*> Route() const;

private:
  CCmdUIState Query(int id, bool isMenuItem, CCmdTarget*& answering) const;

  RouteFunction m_route;
};
