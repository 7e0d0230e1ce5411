#pragma once
// Plain C++ (no Qt): the scanner and the buffer layers use it too.
#include <memory>

// Tells an operation that dispatches events (a compile polling its child, a scan, a Run that
// asks questions) whether the object it works for was destroyed while the events ran: any
// command, closing the document included, can run inside the dispatch.
//
// The object holds a CLifetimeGuard as a member; the operation takes a Watch() into a local
// before it first dispatches events, and after each dispatch looks at IsGone() before it
// touches a member again. A watch stays valid after the guard is gone; that is its purpose.
class CLifetimeGuard {
public:
  class CWatch {
  public:
    bool IsGone() const noexcept { return !*m_alive; }

  private:
    friend class CLifetimeGuard;
    explicit CWatch(std::shared_ptr<const bool> alive) : m_alive(std::move(alive)) {}
    std::shared_ptr<const bool> m_alive;
  };

  CLifetimeGuard() : m_alive(std::make_shared<bool>(true)) {}
  ~CLifetimeGuard() { *m_alive = false; }

  // A copy belongs to another object, with a life of its own; assignment keeps each
  // object's own life.
  CLifetimeGuard(const CLifetimeGuard&) : CLifetimeGuard() {}
  CLifetimeGuard& operator=(const CLifetimeGuard&) noexcept { return *this; }

  CWatch Watch() const { return CWatch(m_alive); }

private:
  std::shared_ptr<bool> m_alive;
};
