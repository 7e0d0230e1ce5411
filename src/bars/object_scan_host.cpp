#include "object_scan_host.h"

#include <QCoreApplication>

CObjectScanHost::CObjectScanHost() { m_sincePump.start(); }

void CObjectScanHost::PumpMessages() {
  if (m_sincePump.elapsed() < PUMP_INTERVAL_MS) return;
  QCoreApplication::processEvents();
  m_sincePump.restart();
}
