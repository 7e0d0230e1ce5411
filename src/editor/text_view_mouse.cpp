// The text view: mouse selection by character, word and line, auto-scrolling, the start of a
// drag, the right button and the mouse cursor shapes.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "text_view.h"

QCursor CTextView::MarginCursor() {
  // An arrow pointing up and to the right, mirrored from the usual one, tells that a click
  // selects whole lines.
  static const QCursor cursor = [] {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath arrow;
    arrow.moveTo(20, 1);
    arrow.lineTo(20, 17);
    arrow.lineTo(16, 13);
    arrow.lineTo(12, 20);
    arrow.lineTo(9, 18);
    arrow.lineTo(13, 11);
    arrow.lineTo(7, 11);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    painter.end();
    return QCursor(pixmap, 20, 1);
  }();
  return cursor;
}

QCursor CTextView::CursorForPoint(QPoint point) {
  if (point.x() < MARGIN_WIDTH) return MarginCursor();
  NormalizeSelection();
  const TextPosition position = PointToTextPos(point);
  if (m_drawSelStart != m_drawSelEnd && IsInSelection(position)) return QCursor(Qt::ArrowCursor);
  return QCursor(Qt::IBeamCursor);
}

void CTextView::SetMouseCursorFor(QPoint point) {
  const QCursor cursor = CursorForPoint(point);
  if (viewport()->cursor().shape() != cursor.shape() || cursor.shape() == Qt::BitmapCursor)
    viewport()->setCursor(cursor);
}

void CTextView::StartMouseSelection(bool wordMode, bool lineMode) {
  m_autoScrollTimer.start(AUTO_SCROLL_PERIOD_MS, this);
  m_wordMode = wordMode;
  m_lineMode = lineMode;
  m_dragSelecting = true;
}

void CTextView::EndMouseSelection() {
  m_autoScrollTimer.stop();
  m_dragSelecting = false;
}

void CTextView::mousePressEvent(QMouseEvent* event) {
  QAbstractScrollArea::mousePressEvent(event);
  const QPoint point = event->position().toPoint();
  m_lastMousePos = point;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;

  if (event->button() == Qt::RightButton) {
    const TextPosition position = NearestTextPos(point);
    NormalizeSelection();
    if (!IsInSelection(position)) {
      m_anchor = m_cursor = position;
      SetSelection(position, position);
      ScrollIntoView(position);
      UpdateCaret();
    }
    event->accept();
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);

  if (point.x() < MARGIN_WIDTH) {
    if (ctrl) {
      SelectAll();
      return;
    }
    const TextPosition hit = NearestTextPos(point);
    m_cursor = TextPosition(0, hit.y);
    if (!shift) m_anchor = m_cursor;
    const TextPosition anchorEnd = LineEndAfter(m_anchor.y);
    UpdateCaret();
    ScrollIntoView(m_cursor);
    SetSelection(anchorEnd, m_cursor);
    StartMouseSelection(false, true);
    return;
  }

  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd && IsInSelection(PointToTextPos(point))) {
    m_preparingToDrag = true;
    return;
  }
  m_cursor = NearestTextPos(point);
  if (!shift) m_anchor = m_cursor;
  TextPosition start = m_anchor;
  TextPosition end = m_cursor;
  if (ctrl) {
    start = WordStartBefore(std::min(m_cursor, m_anchor));
    end = WordEndAfter(std::max(m_cursor, m_anchor));
    m_cursor = end;
  }
  UpdateCaret();
  ScrollIntoView(m_cursor);
  SetSelection(start, end);
  StartMouseSelection(ctrl, false);
}

void CTextView::mouseDoubleClickEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  if (m_dragSelecting) return;
  const QPoint point = event->position().toPoint();
  m_lastMousePos = point;
  m_preparingToDrag = false;
  const TextPosition position = NearestTextPos(point);
  m_anchor = position;
  const TextPosition start = WordStartBefore(position);
  const TextPosition end = WordEndAfter(position);
  m_cursor = end;
  SetSelection(start, end);
  UpdateCaret();
  ScrollIntoView(m_cursor);
  StartMouseSelection(true, false);
}

void CTextView::mouseMoveEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseMoveEvent(event);
  const QPoint point = event->position().toPoint();
  m_lastMousePos = point;

  if (m_dragSelecting) {
    const bool inMargin = point.x() < MARGIN_WIDTH;
    const TextPosition p = NearestTextPos(point);
    TextPosition start = m_anchor;
    TextPosition end = p;
    if (m_lineMode) {
      if (inMargin) {
        if (p >= m_anchor) {
          start = TextPosition(0, m_anchor.y);
          end = LineEndAfter(p.y);
        } else {
          start = TextPosition(0, p.y);
          end = LineEndAfter(m_anchor.y);
        }
        m_cursor = TextPosition(0, p.y);
        UpdateCaret();
        SetSelection(start, end);
        return;
      }
      viewport()->setCursor(Qt::IBeamCursor);
      m_lineMode = false;
      m_wordMode = false;
    }
    if (m_wordMode) {
      start = WordStartBefore(std::min(p, m_anchor));
      end = WordEndAfter(std::max(p, m_anchor));
      m_cursor = end;
    } else {
      m_cursor = p;
    }
    UpdateCaret();
    SetSelection(start, end);
    return;
  }

  if (m_preparingToDrag && (event->buttons() & Qt::LeftButton)) {
    m_preparingToDrag = false;
    QMimeData* data = MakeDragData();
    if (!data) return;
    if (m_buffer) m_buffer->OpenUndoGroup(false);
    m_draggingText = true;
    const Qt::DropAction effect = RunDrag(data, GetDragSourceEffects());
    if (effect != Qt::IgnoreAction) OnDragSourceDone(effect);
    m_draggingText = false;
    if (m_buffer) m_buffer->CloseUndoGroup(this);
    return;
  }

  if (!(event->buttons() & Qt::LeftButton)) SetMouseCursorFor(point);
}

Qt::DropAction CTextView::RunDrag(QMimeData* data, Qt::DropActions effects) {
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  return drag->exec(effects, Qt::CopyAction);
}

void CTextView::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  event->accept();
  const QPoint point = event->position().toPoint();
  m_lastMousePos = point;
  const TextPosition p = NearestTextPos(point);

  if (m_dragSelecting) {
    TextPosition start = m_anchor;
    TextPosition end = m_cursor;
    if (m_lineMode) {
      if (p >= m_anchor) {
        m_cursor = LineEndAfter(p.y);
        start = TextPosition(0, m_anchor.y);
        end = m_cursor;
      } else {
        m_cursor = TextPosition(0, p.y);
        start = m_cursor;
        end = LineEndAfter(m_anchor.y);
      }
    } else if (m_wordMode) {
      start = WordStartBefore(std::min(p, m_anchor));
      end = WordEndAfter(std::max(p, m_anchor));
      m_cursor = end;
    }
    ScrollIntoView(m_cursor);
    UpdateCaret();
    SetSelection(start, end);
    EndMouseSelection();
  }
  if (m_preparingToDrag) {
    m_preparingToDrag = false;
    m_cursor = p;
    ScrollIntoView(m_cursor);
    UpdateCaret();
    SetSelection(m_cursor, m_cursor);
  }
  SetMouseCursorFor(point);
}

void CTextView::OnAutoScrollTimer() {
  const QPoint point = m_lastMousePos;
  const QRect client = viewport()->rect();
  const int lineHeight = GetLineHeight();

  int newTop = m_topLine;
  if (point.y() < client.top()) {
    newTop -= (client.top() - point.y() > lineHeight) ? 3 : 1;
  } else if (point.y() > client.bottom()) {
    newTop += (point.y() - client.bottom() < lineHeight) ? 1 : 3;
  }
  newTop = std::clamp(newTop, 0, GetLineCount() - 1);
  bool scrolled = false;
  if (newTop != m_topLine) {
    ScrollToTopLine(newTop, true);
    SyncSplitterSiblings(true);
    scrolled = true;
  }

  int newFirst = m_firstColumn;
  if (point.x() < client.left())
    --newFirst;
  else if (point.x() > client.right())
    ++newFirst;
  newFirst = ClampFirstColumn(newFirst);
  if (newFirst != m_firstColumn) {
    ScrollToColumn(newFirst, true);
    SyncSplitterSiblings(false);
    scrolled = true;
  }
  if (!scrolled) return;

  const TextPosition p = NearestTextPos(point);
  if (p != m_cursor) {
    m_cursor = p;
    UpdateCaret();
  }
  SetSelection(m_anchor, m_cursor);
}
