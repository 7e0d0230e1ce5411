#pragma once
// Plain C++ (no Qt): the scanner and the process redirector use it too.
#include "lifetime_guard.h"

// Holds an object's busy flag (a scan, a build, a child process running) set for the life of a
// scope, and clears it on every way out of it. Events dispatched inside the scope may destroy
// the object: then the flag went with it and is left alone.
class CBusyGuard {
public:
  CBusyGuard(bool& flag, const CLifetimeGuard& ownerLife) : m_flag(flag), m_owner(ownerLife.Watch()) {
    m_flag = true;
  }
  ~CBusyGuard() {
    if (!m_owner.IsGone()) m_flag = false;
  }
  CBusyGuard(const CBusyGuard&) = delete;
  CBusyGuard& operator=(const CBusyGuard&) = delete;

  // The owner was destroyed while the scope ran.
  bool OwnerGone() const { return m_owner.IsGone(); }

private:
  bool& m_flag;
  CLifetimeGuard::CWatch m_owner;
};
