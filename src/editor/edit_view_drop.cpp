// The editing view as a drop target: the drop caret, inserting dropped text, scrolling while a
// drag hovers near the edges.
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPaintEvent>

#include "edit_view.h"

namespace {

constexpr int SCROLL_BORDER = 5;
constexpr int DROP_CARET_WIDTH = 2;

// Copy with Ctrl held, else move.
Qt::DropAction ChosenAction(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

} // namespace

QRect CEditView::DropCaretRect() {
  if (!m_dropCaretShown || CharToColumn(m_dropPos) < GetFirstColumn()) return QRect();
  const QPoint at = TextPosToPoint(m_dropPos);
  return QRect(at.x(), at.y(), DROP_CARET_WIDTH, GetLineHeight());
}

void CEditView::ShowDropCaret(QPoint point) {
  if (!m_dropCaretShown) {
    HideCursor();
    m_savedCaretPos = GetCursorPosition();
    m_dropCaretShown = true;
  }
  m_dropPos = NearestTextPos(point);
  const QRect rect = DropCaretRect();
  if (rect != m_dropCaretRect) {
    viewport()->update(m_dropCaretRect);
    viewport()->update(rect);
    m_dropCaretRect = rect;
  }
}

void CEditView::HideDropCaret() {
  if (!m_dropCaretShown) return;
  m_dropCaretShown = false;
  viewport()->update(m_dropCaretRect);
  m_dropCaretRect = QRect();
  PlaceCursor(m_savedCaretPos);
  ShowCursor();
}

bool CEditView::DropText(const QMimeData* data, QPoint point) {
  if (!data || !data->hasText() || !m_buffer) return false;
  const TextPosition p = NearestTextPos(point);
  if (m_draggingText && IsInSelection(p)) {
    // Onto the text being dragged: nothing moves, and the failed drop keeps the source.
    MoveCaretTo(p);
    return false;
  }
  QString unconvertible;
  const std::string text = MimeTextBytes(*data, m_buffer->Encoding(), &unconvertible);
  if (!unconvertible.isEmpty()) {
    ReportUnconvertible(unconvertible);
    return false;
  }
  if (text.empty()) return false;
  int endLine = 0, endChar = 0;
  if (!m_buffer->InsertText(this, p.y, p.x, text, endLine, endChar, UndoAction::DragAndDrop))
    return false;
  const TextPosition end(endChar, endLine);
  SetSelection(p, end);
  SetAnchor(p);
  PlaceCursor(end);
  ScrollIntoView(end);
  emit cursorChanged();
  return true;
}

void CEditView::ScrollWhileDragging(QPoint point) {
  const QRect client = viewport()->rect();
  bool scrolled = true;
  if (point.y() < client.top() + SCROLL_BORDER) {
    HideDropCaret();
    ScrollUp();
  } else if (point.y() >= client.bottom() + 1 - SCROLL_BORDER) {
    HideDropCaret();
    ScrollDown();
  } else if (point.x() < client.left() + GetMarginWidth() + SCROLL_BORDER) {
    HideDropCaret();
    ScrollLeft();
  } else if (point.x() >= client.right() + 1 - SCROLL_BORDER) {
    HideDropCaret();
    ScrollRight();
  } else {
    scrolled = false;
  }
  if (!scrolled) return;
  viewport()->repaint();
  ShowDropCaret(point);
}

// ---------------------------------------------------------------------------------------
// Qt drag events (the viewport forwards them here)

void CEditView::dragEnterEvent(QDragEnterEvent* event) { FollowDrag(event, false); }

void CEditView::dragMoveEvent(QDragMoveEvent* event) { FollowDrag(event, true); }

void CEditView::FollowDrag(QDragMoveEvent* event, bool moving) {
  // A view that may not be edited refuses the text from the start, so no drop caret
  // promises a drop that would be refused.
  const QPoint point = event->position().toPoint();
  if (IsEditable() && event->mimeData() && event->mimeData()->hasText()) {
    if (moving) ScrollWhileDragging(point);
    ShowDropCaret(point);
    event->setDropAction(ChosenAction(event->modifiers()));
    event->accept();
    return;
  }
  HideDropCaret();
  event->ignore();
}

void CEditView::dragLeaveEvent(QDragLeaveEvent* event) {
  HideDropCaret();
  event->accept();
}

void CEditView::dropEvent(QDropEvent* event) {
  HideDropCaret();
  const Qt::DropAction action = ChosenAction(event->modifiers());
  if (IsEditable() && DropText(event->mimeData(), event->position().toPoint())) {
    event->setDropAction(action);
    event->accept();
    return;
  }
  // A refused drop must not let the source delete its text.
  event->setDropAction(Qt::IgnoreAction);
  event->ignore();
}

void CEditView::paintEvent(QPaintEvent* event) {
  CTextView::paintEvent(event);
  if (m_dropCaretRect.isEmpty() || !event->rect().intersects(m_dropCaretRect)) return;
  QPainter painter(viewport());
  painter.fillRect(m_dropCaretRect, QColor(128, 128, 128));
}
