// The text view: positions and columns, the selection, the caret and focus.
#include <QFocusEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTimerEvent>
#include <algorithm>
#include <cctype>

#include "text_view.h"

bool CTextView::IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// ---------------------------------------------------------------------------------------
// Columns and pixels

int CTextView::CharToColumn(int line, int charIndex) const {
  const int limit = std::max(0, std::min(charIndex, GetLineLength(line)));
  const int column = m_buffer ? m_caches.Column(line, limit) : 0;
  // A position past the line end (never stored, but asked for) counts one column per char.
  return charIndex > limit ? column + (charIndex - limit) : column;
}

// The character whose cells reach column, or the one after it when column lies in the
// right half of a tab.
int CTextView::ColumnToChar(int line, int column) const {
  if (column <= 0) return 0;
  if (LineNeedsChars(line)) return ColumnToCharUnits(line, column);
  const char* chars = GetLineText(line);
  const int length = GetLineLength(line);
  if (length == 0) return 0;
  int start = 0;
  const int i = m_caches.CharAt(line, column - 1, start);
  if (i >= length) return length;
  const int reached = ColumnAfter(chars[i], start);
  return reached - TAB_SIZE / 2 < column ? i + 1 : i;
}

QPoint CTextView::TextPosToPoint(TextPosition position) {
  return QPoint((CharToColumn(position) - m_firstColumn) * GetCharWidth() + MARGIN_WIDTH,
                (position.y - m_topLine) * GetLineHeight());
}

TextPosition CTextView::PointToTextPos(QPoint point) {
  const int line = std::clamp(point.y() / GetLineHeight() + m_topLine, 0, GetLineCount() - 1);
  const int column = std::max(0, (point.x() - MARGIN_WIDTH) / GetCharWidth() + m_firstColumn);
  if (LineNeedsChars(line)) return PointToTextPosUnits(line, column);
  const char* chars = GetLineText(line);
  const int length = GetLineLength(line);
  int counter = 0;
  for (int i = 0; i < length; ++i) {
    counter = ColumnAfter(chars[i], counter);
    if (counter > column) return TextPosition(i, line);
  }
  return TextPosition(length, line);
}

TextPosition CTextView::NearestTextPos(QPoint point) {
  const int line = std::clamp(point.y() / GetLineHeight() + m_topLine, 0, GetLineCount() - 1);
  if (LineNeedsChars(line)) return NearestTextPosUnits(line, point.x());
  return PointToTextPos(point + QPoint(GetCharWidth() / 2, 0));
}

TextPosition CTextView::WordStartBefore(TextPosition position) const {
  const char* chars = GetLineText(position.y);
  int x = std::clamp(position.x, 0, GetLineLength(position.y));
  while (x > 0 && IsWordByte(chars[x - 1])) --x;
  return TextPosition(x, position.y);
}

TextPosition CTextView::WordEndAfter(TextPosition position) const {
  const char* chars = GetLineText(position.y);
  const int length = GetLineLength(position.y);
  int x = std::clamp(position.x, 0, length);
  while (x < length && IsWordByte(chars[x])) ++x;
  return TextPosition(x, position.y);
}

// ---------------------------------------------------------------------------------------
// Cursor and selection

void CTextView::PlaceCursor(TextPosition position) {
  m_cursor = ClampPosition(position);
  m_preferredColumn = CharToColumn(m_cursor);
  UpdateCaret();
}

void CTextView::SetSelection(TextPosition start, TextPosition end) {
  start = ClampPosition(start);
  end = ClampPosition(end);
  if (start == m_selStart) {
    if (end != m_selEnd) InvalidateLineRange(end.y, m_selEnd.y);
  } else {
    InvalidateLineRange(start.y, end.y);
    InvalidateLineRange(m_selStart.y, m_selEnd.y);
  }
  m_selStart = start;
  m_selEnd = end;
  NormalizeSelection();
  emit cursorChanged();
}

void CTextView::GetSelection(TextPosition& start, TextPosition& end) const {
  start = m_selStart;
  end = m_selEnd;
}

void CTextView::GetSelectionBounds(TextPosition& start, TextPosition& end) {
  NormalizeSelection();
  start = m_drawSelStart;
  end = m_drawSelEnd;
}

void CTextView::NormalizeSelection() {
  m_drawSelStart = std::min(m_selStart, m_selEnd);
  m_drawSelEnd = std::max(m_selStart, m_selEnd);
}

bool CTextView::IsInSelection(TextPosition p) {
  NormalizeSelection();
  return IsInOrderedSelection(m_drawSelStart, m_drawSelEnd, p);
}

bool CTextView::IsInOrderedSelection(TextPosition s, TextPosition e, TextPosition p) {
  if (p.y < s.y || p.y > e.y) return false;
  if (p.y > s.y && p.y < e.y) return true;
  if (s.y < e.y) {
    if (p.y == e.y) return p.x < e.x;
    return p.x >= s.x;
  }
  return p.x >= s.x && p.x < e.x;
}

// ---------------------------------------------------------------------------------------
// Caret

void CTextView::InvalidateCaret() {
  if (!m_caretRect.isEmpty()) viewport()->update(m_caretRect);
}

void CTextView::UpdateCaret() {
  QRect rect;
  if (m_focused && !m_cursorHidden && CharToColumn(m_cursor) >= m_firstColumn) {
    const QPoint point = TextPosToPoint(m_cursor);
    rect = QRect(point.x(), point.y(), 2, GetLineHeight());
  }
  InvalidateCaret();
  m_caretRect = rect;
  m_caretBlinkOn = true;
  InvalidateCaret();
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (!rect.isEmpty() && flash > 0)
    m_caretBlinkTimer.start(flash / 2, this);
  else
    m_caretBlinkTimer.stop();
}

void CTextView::HideCursor() {
  m_cursorHidden = true;
  UpdateCaret();
}

void CTextView::ShowCursor() {
  m_cursorHidden = false;
  UpdateCaret();
}

void CTextView::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_caretBlinkTimer.timerId()) {
    m_caretBlinkOn = !m_caretBlinkOn;
    InvalidateCaret();
    return;
  }
  if (event->timerId() == m_autoScrollTimer.timerId()) {
    OnAutoScrollTimer();
    return;
  }
  if (event->timerId() == m_cellPictureTimer.timerId()) {
    // All at once: a few hundred take a few milliseconds, in batches on a small canvas.
    m_cellPictureTimer.stop();
    while (m_cellPictures.HasQueued()) m_cellPictures.DrawQueued(viewport());
    return;
  }
  if (event->timerId() == m_longestWalkTimer.timerId()) {
    m_longestWalkTimer.stop();
    UpdateHorzScrollBar(false); // the next slice; it starts the timer again while unfinished
    return;
  }
  QAbstractScrollArea::timerEvent(event);
}

// ---------------------------------------------------------------------------------------
// Focus

void CTextView::SetShowInactiveSelection(bool show) {
  if (show == m_showInactiveSelection) return;
  m_showInactiveSelection = show;
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd) InvalidateLineRange(m_drawSelStart.y, m_drawSelEnd.y);
}

void CTextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  m_focused = true;
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd) InvalidateLineRange(m_drawSelStart.y, m_drawSelEnd.y);
  UpdateCaret();
}

void CTextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  m_focused = false;
  UpdateCaret();
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd) InvalidateLineRange(m_drawSelStart.y, m_drawSelEnd.y);
  if (m_dragSelecting) EndMouseSelection();
}
