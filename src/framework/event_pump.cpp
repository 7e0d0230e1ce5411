#include "event_pump.h"

#include <QCoreApplication>

CEventPump::CEventPump(const CLifetimeGuard& owner, int intervalMs)
    : m_owner(owner.Watch()), m_intervalMs(intervalMs) {
  m_sincePump.start();
}

bool CEventPump::PumpAndSurvive() {
  if (m_sincePump.elapsed() >= m_intervalMs) {
    QCoreApplication::processEvents();
    m_sincePump.restart();
  }
  return Survived();
}
