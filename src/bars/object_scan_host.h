#pragma once
#include "event_pump.h"
#include "object_scanner.h"

// The user interface of a scan, a load or the trees' fill on behalf of an owner (a document).
// The scan asks for the event loop after every line; running it that often costs about a
// microsecond a line, more than the scan itself (a second and more for a 48 MB source), so
// the loop runs only when PUMP_INTERVAL_MS have passed since it last ran: the window stays
// as responsive to the eye.
class CObjectScanHost : public CScanHost {
public:
  static constexpr int PUMP_INTERVAL_MS = 10;

  explicit CObjectScanHost(const CLifetimeGuard& owner) : m_pump(owner, PUMP_INTERVAL_MS) {}

  void PumpMessages() override { m_pump.PumpAndSurvive(); }
  // Runs the events as PumpMessages does; false once the owner is gone.
  bool PumpAndSurvive() { return m_pump.PumpAndSurvive(); }
  bool Survived() const { return m_pump.Survived(); }

private:
  CEventPump m_pump;
};
