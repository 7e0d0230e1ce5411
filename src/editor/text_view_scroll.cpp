// The text view: scroll bars, scrolling, invalidation, splitter siblings and resizing.
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "text_view.h"

void CTextView::InvalidateLineRange(int first, int last) {
  const int lineHeight = GetLineHeight();
  const int width = viewport()->width();
  const int height = viewport()->height();
  if (last == -1) {
    const int top = std::max(0, (first - m_topLine) * lineHeight);
    if (top < height) viewport()->update(QRect(0, top, width, height - top));
    return;
  }
  const int low = std::min(first, last);
  const int high = std::max(first, last);
  const int top = std::max(0, (low - m_topLine) * lineHeight);
  const int bottom = std::min(height, (high - m_topLine + 1) * lineHeight);
  if (bottom > top) viewport()->update(QRect(0, top, width, bottom - top));
}

void CTextView::UpdateVertScrollBar(bool positionOnly) {
  if (positionOnly)
    SetScrollBarPosition(verticalScrollBar(), m_topLine);
  else
    SetScrollBarRange(verticalScrollBar(), m_topLine, GetLineCount(), GetVisibleLines());
}

void CTextView::UpdateHorzScrollBar(bool positionOnly) {
  if (positionOnly)
    SetScrollBarPosition(horizontalScrollBar(), m_firstColumn);
  else
    SetScrollBarRange(horizontalScrollBar(), m_firstColumn, HorzScrollExtent(),
                      GetVisibleColumns());
}

// A window shows a large text without waiting for the walk over every line; the bar's range
// grows as the walk finds longer lines. While the walk goes on from the event loop, edits
// add nothing to it. A view scrolled right waits for the whole walk: a range shorter than
// the truth would scroll it back to the start.
int CTextView::HorzScrollExtent() {
  if (!m_buffer) return 0;
  if (m_firstColumn > 0) return GetLongestLine();
  if (!m_longestWalkTimer.isActive() && !m_caches.WalkLongestLine(LONGEST_WALK_SLICE))
    m_longestWalkTimer.start(0, this);
  return m_caches.LongestLineSoFar();
}

// Only a column past every line measured so far waits for the whole walk.
int CTextView::ClampFirstColumn(int column) {
  if (column > 0 && column >= m_caches.LongestLineSoFar()) column = std::min(column, GetLongestLine() - 1);
  return std::max(0, column);
}

void CTextView::SetScrollBarPosition(QScrollBar* bar, int first) {
  m_updatingBars = true;
  bar->setValue(first);
  m_updatingBars = false;
}

void CTextView::SetScrollBarRange(QScrollBar* bar, int& first, int total, int visible) {
  m_updatingBars = true;
  if (visible >= total && first > 0) {
    first = 0;
    viewport()->update();
    UpdateCaret();
  }
  // The range 0 .. total-1 with a page of the visible items, in Qt's terms.
  bar->setRange(0, std::max(0, total - std::max(1, visible)));
  bar->setPageStep(visible);
  bar->setSingleStep(1);
  bar->setValue(first);
  bar->setEnabled(visible < total);
  m_updatingBars = false;
}

void CTextView::ScrollToTopLine(int line, bool updateBar) {
  if (line == m_topLine) return;
  const int delta = (m_topLine - line) * GetLineHeight();
  m_topLine = line;
  if (std::abs(delta) < viewport()->height())
    viewport()->scroll(0, delta);
  else
    viewport()->update();
  if (updateBar) UpdateVertScrollBar(true);
  // The caret belongs to a text position, not to the pixels that moved.
  UpdateCaret();
}

void CTextView::ScrollToColumn(int column, bool updateBar) {
  if (column == m_firstColumn) return;
  const int delta = (m_firstColumn - column) * GetCharWidth();
  m_firstColumn = column;
  const QRect textArea(MARGIN_WIDTH, 0, std::max(0, viewport()->width() - MARGIN_WIDTH),
                       viewport()->height());
  if (std::abs(delta) < textArea.width())
    viewport()->scroll(delta, 0, textArea);
  else
    viewport()->update(textArea);
  if (updateBar) UpdateHorzScrollBar(true);
  // The caret belongs to a text position, not to the pixels that moved.
  UpdateCaret();
}

// The bars moved (by the user): follow them.
void CTextView::scrollContentsBy(int dx, int dy) {
  (void)dx;
  (void)dy;
  if (m_updatingBars) return;
  const int line = std::clamp(verticalScrollBar()->value(), 0, GetLineCount() - 1);
  if (line != m_topLine) {
    ScrollToTopLine(line, false);
    SyncSplitterSiblings(true);
  }
  const int column = ClampFirstColumn(horizontalScrollBar()->value());
  if (column != m_firstColumn) {
    ScrollToColumn(column, false);
    SyncSplitterSiblings(false);
  }
}

void CTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  m_visibleLines = -1;
  m_visibleColumns = -1;
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
}

void CTextView::ScrollIntoView(TextPosition position) {
  const int lineCount = GetLineCount();
  const int visibleLines = GetVisibleLines();
  int newTop = m_topLine;
  if (position.y >= newTop + visibleLines) newTop = position.y - visibleLines + 1;
  if (position.y < newTop) newTop = position.y;
  newTop = std::clamp(newTop, 0, lineCount - 1);
  if (newTop != m_topLine) {
    ScrollToTopLine(newTop, true);
    SyncSplitterSiblings(true);
  }

  const int column = CharToColumn(position);
  const int visibleColumns = GetVisibleColumns();
  int newFirst = m_firstColumn;
  if (column > newFirst + visibleColumns) newFirst = column - visibleColumns;
  if (column < newFirst) newFirst = column;
  newFirst = ClampFirstColumn(newFirst);
  if (newFirst != m_firstColumn) {
    ScrollToColumn(newFirst, true);
    SyncSplitterSiblings(false);
  }
}

void CTextView::ScrollUp() {
  if (m_topLine > 0) {
    ScrollToTopLine(m_topLine - 1, true);
    SyncSplitterSiblings(true);
  }
}

void CTextView::ScrollDown() {
  if (m_topLine < GetLineCount() - 1) {
    ScrollToTopLine(m_topLine + 1, true);
    SyncSplitterSiblings(true);
  }
}

void CTextView::ScrollLeft() {
  if (m_firstColumn > 0) ScrollToColumn(m_firstColumn - 1, true);
}

void CTextView::ScrollRight() {
  const int next = ClampFirstColumn(m_firstColumn + 1);
  if (next > m_firstColumn) ScrollToColumn(next, true);
}

// Panes of one row of the frame's grid share their top line; panes of one column share
// their first column.
QList<CTextView*> CTextView::SplitterSiblings(bool sameRow) const {
  QList<CTextView*> siblings;
  const CPaneGrid* grid = FindPaneGrid();
  int row = 0, column = 0;
  if (!grid || !grid->FindPane(this, row, column)) return siblings;
  const int count = sameRow ? grid->ColumnCount() : grid->RowCount();
  for (int i = 0; i < count; ++i) {
    CTextView* view = sameRow ? grid->PaneView(row, i) : grid->PaneView(i, column);
    if (view && view != this) siblings.append(view);
  }
  return siblings;
}

void CTextView::OnInitialUpdate() {
  AttachBuffer(nullptr);
  const CPaneGrid* grid = FindPaneGrid();
  int row = 0, column = 0;
  if (!grid || !grid->FindPane(this, row, column)) return;
  // A pane below the first row takes the first column of its column's top pane; a pane
  // right of the first column takes the top line of its row's first pane.
  if (row > 0) {
    if (CTextView* top = grid->PaneView(0, column); top && top != this)
      ScrollToColumn(top->m_firstColumn, true);
  }
  if (column > 0) {
    if (CTextView* first = grid->PaneView(row, 0); first && first != this)
      ScrollToTopLine(std::clamp(first->m_topLine, 0, GetLineCount() - 1), true);
  }
}

void CTextView::SyncSplitterSiblings(bool vertical) {
  for (CTextView* sibling : SplitterSiblings(vertical))
    sibling->FollowSiblingScroll(this, vertical);
}

void CTextView::FollowSiblingScroll(CTextView* source, bool vertical) {
  if (!source || source == this) return;
  if (vertical) {
    if (source->m_topLine != m_topLine)
      ScrollToTopLine(std::clamp(source->m_topLine, 0, GetLineCount() - 1), true);
  } else {
    if (source->m_firstColumn != m_firstColumn) ScrollToColumn(source->m_firstColumn, true);
  }
  UpdateCaret();
}
