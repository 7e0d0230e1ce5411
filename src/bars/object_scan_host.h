#pragma once
#include <QElapsedTimer>

#include "object_scanner.h"

// The user interface of a document's object scan. The scan asks for the event loop after
// every line; running it that often costs about a microsecond a line, more than the scan
// itself (a second and more for a 48 MB source), so the loop runs only when PUMP_INTERVAL_MS
// have passed since it last ran: the window stays as responsive to the eye.
class CObjectScanHost : public CScanHost {
public:
  static constexpr int PUMP_INTERVAL_MS = 10;

  CObjectScanHost();

  void PumpMessages() override;

private:
  QElapsedTimer m_sincePump;
};
