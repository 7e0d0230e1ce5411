#include "hover_tip.h"

#include <QMouseEvent>
#include <QToolTip>

#include "torvane_view.h"

CHoverTip::CHoverTip(TextAt textAt, QObject* parent) : QObject(parent), m_textAt(std::move(textAt)) {
  m_timer.setSingleShot(true);
  m_timer.setInterval(HOVER_DELAY_MS);
  connect(&m_timer, &QTimer::timeout, this, &CHoverTip::Show);
}

void CHoverTip::Watch(CTorvaneView* view) {
  view->viewport()->setMouseTracking(true);
  view->viewport()->installEventFilter(this);
  view->installEventFilter(this);
}

std::optional<TextPosition> CHoverTip::WordAt(CTorvaneView* view, QPoint point) {
  // Below the text, in the margin or past the end of a line the point is on no character.
  if (point.x() < view->GetMarginWidth() || point.y() < 0 ||
      point.y() / view->GetLineHeight() + view->GetTopLine() >= view->BufferLineCount())
    return std::nullopt;
  const TextPosition position = view->PointToTextPos(point);
  const char* chars = view->GetLineText(position.y);
  if (!chars || position.x >= view->GetLineLength(position.y) || !CTextView::IsWordChar(chars[position.x]))
    return std::nullopt;
  return view->WordStartBefore(TextPosition(position.x + 1, position.y));
}

bool CHoverTip::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
  case QEvent::MouseMove: {
    auto* view = qobject_cast<CTorvaneView*>(watched->parent());
    if (!view || watched != view->viewport()) break;
    m_view = view;
    m_point = static_cast<QMouseEvent*>(event)->position().toPoint();
    // Within the word shown the text stays; elsewhere it goes and the wait starts again.
    if (m_word && WordAt(view, m_point) == m_word) break;
    Hide();
    if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) m_timer.start();
    break;
  }
  case QEvent::Leave:
  case QEvent::KeyPress:
  case QEvent::MouseButtonPress:
  case QEvent::Wheel:
    m_timer.stop();
    Hide();
    break;
  default: break;
  }
  return false;
}

void CHoverTip::Show() {
  if (!m_view) return;
  const std::optional<TextPosition> word = WordAt(m_view, m_point);
  if (!word) return;
  const QString text = m_textAt(m_view, *word);
  if (text.isEmpty()) return;
  m_word = word;
  m_shown = text;
  const QPoint below = m_view->TextPosToPoint(*word) + QPoint(0, m_view->GetLineHeight());
  QToolTip::showText(m_view->viewport()->mapToGlobal(below), text, m_view->viewport());
}

void CHoverTip::Hide() {
  if (m_shown.isEmpty()) return;
  m_shown.clear();
  m_word.reset();
  QToolTip::hideText();
}
