#include "progress_bar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "status_bar.h"
#include "string_table.h"

CProgressBar::CProgressBar() = default;

CProgressBar::CProgressBar(CMainStatusBar* statusBar, const QString& message, int sizePercent,
                           int maximum, bool smooth, int pane)
    : m_statusBar(statusBar) {
  (void)smooth;
  QLabel* label = statusBar ? statusBar->PaneWidget(pane) : nullptr;
  if (!label) return;
  m_control = new QProgressBar(statusBar);
  m_control->setTextVisible(false);
  m_control->setGeometry(label->geometry());
  m_control->show();
  SetRange(0, maximum, 1);
  SetStep(1);
  m_message = message;
  m_size = sizePercent;
  m_pane = pane;
  m_previousText = label->text();
  label->installEventFilter(this);
  Resize();
}

CProgressBar::~CProgressBar() {
  RestorePane();
  delete m_control;
}

void CProgressBar::SetRange(int lower, int upper, int step) {
  if (!m_control) return;
  m_control->setRange(lower, upper);
  m_control->setValue(lower);
  m_position = lower;
  m_step = step;
}

void CProgressBar::SetStep(int step) {
  if (!m_control) return;
  if (m_control->isHidden()) m_control->show();
  m_step = step;
}

void CProgressBar::StepIt() {
  if (!m_control) return;
  if (m_control->isHidden()) m_control->show();
  m_position = std::min(m_position + m_step, m_control->maximum());
  // A new value costs the control its text and an accessibility event, more than a scanned
  // line: it is told only once the bar has grown by a pixel, and at the end.
  const int range = m_control->maximum() - m_control->minimum();
  const int perPixel = std::max(1, range / std::max(1, m_control->width()));
  if (m_position - m_control->value() >= perPixel || m_position == m_control->maximum())
    m_control->setValue(m_position);
}

bool CProgressBar::Resize() {
  QLabel* label = m_statusBar && m_control ? m_statusBar->PaneWidget(m_pane) : nullptr;
  if (!label) return false;
  if (!m_control->isHidden()) {
    label->setText(m_message);
    label->repaint();
  }
  const QFontMetrics metrics(m_statusBar->font());
  const QRect pane = label->geometry();
  int left = pane.left(), right = pane.left() + pane.width();
  int top = pane.top(), bottom = pane.top() + pane.height();
  if (!m_message.isEmpty())
    left += metrics.horizontalAdvance(m_message) + 4 * metrics.horizontalAdvance(QLatin1Char(' '));
  right -= (100 - m_size) * (right - left) / 100;
  right = std::max(right, left);
  const int inset = (bottom - top) / 10;
  top += inset;
  bottom -= inset;
  const QRect placement(left, top, right - left, bottom - top);
  if (placement != m_placement) {
    m_control->setGeometry(placement);
    m_placement = placement;
  }
  return true;
}

void CProgressBar::RestorePane() {
  QLabel* label = m_statusBar && m_control ? m_statusBar->PaneWidget(m_pane) : nullptr;
  if (!label) return;
  m_control->hide();
  label->setText(m_pane != 0 ? m_previousText
                             : QString::fromLatin1(LoadStringResource(StringId::IDLE_MESSAGE)));
  label->repaint();
}

bool CProgressBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::Move) Resize();
  return QObject::eventFilter(watched, event);
}
