#pragma once
#include <QElapsedTimer>

#include "lifetime_guard.h"

// Keeps the window alive through a long operation (a load, a scan, the trees' fill): each
// PumpAndSurvive runs the events that wait, then tells whether the object the operation works
// for survived them. Any command can run in between, closing that object's document included.
// With an interval, the events run only once that many milliseconds have passed since they
// last ran: running them costs about a microsecond, more than a scanned line does.
class CEventPump {
public:
  explicit CEventPump(const CLifetimeGuard& owner, int intervalMs = 0);

  // Runs the waiting events (when the interval has passed); false once the owner is gone.
  bool PumpAndSurvive();
  bool Survived() const { return !m_owner.IsGone(); }

private:
  CLifetimeGuard::CWatch m_owner;
  int m_intervalMs;
  QElapsedTimer m_sincePump;
};
