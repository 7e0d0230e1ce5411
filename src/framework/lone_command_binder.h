#pragma once
#include <memory>

#include "command_binder.h"
#include "command_router.h"

// The binder of a widget that no window routes for (a view or tree on its own, as in tests):
// its commands reach that widget alone. Made on the first Get, so that a widget given the
// window's binder never builds one.
class CLoneCommandBinder {
public:
  explicit CLoneCommandBinder(CCmdTarget* target) : m_target(target) {}

  CCommandBinder& Get() {
    if (!m_binder) {
      m_router = std::make_unique<CCommandRouter>(
          [target = m_target](std::vector<CCmdTarget*>& route) { route.push_back(target); });
      m_binder = std::make_unique<CCommandBinder>(*m_router);
      m_binder->Register(*m_target);
    }
    return *m_binder;
  }

private:
  CCmdTarget* m_target;
  std::unique_ptr<CCommandRouter> m_router;
  std::unique_ptr<CCommandBinder> m_binder;
};
