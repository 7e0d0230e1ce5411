// The text view: keyboard movement commands.
#include <algorithm>
#include <cctype>

#include "text_view.h"

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
} // namespace

void CTextView::FinishMove(bool extending, bool keepPreferredColumn) {
  if (!keepPreferredColumn) m_preferredColumn = CharToColumn(m_cursor);
  ScrollIntoView(m_cursor);
  UpdateCaret();
  if (!extending) m_anchor = m_cursor;
  SetSelection(m_anchor, m_cursor);
}

void CTextView::MoveLeft(bool extending) {
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd && !extending) {
    m_cursor = m_drawSelStart;
  } else if (m_cursor.x > 0) {
    m_cursor.x = PrevCharPos(m_cursor.y, m_cursor.x);
  } else if (m_cursor.y > 0) {
    --m_cursor.y;
    m_cursor.x = GetLineLength(m_cursor.y);
  }
  FinishMove(extending);
}

void CTextView::MoveRight(bool extending) {
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd && !extending) {
    m_cursor = m_drawSelEnd;
  } else if (m_cursor.x >= GetLineLength(m_cursor.y)) {
    if (m_cursor.y < GetLineCount() - 1) {
      ++m_cursor.y;
      m_cursor.x = 0;
    }
  } else {
    m_cursor.x = NextCharPos(m_cursor.y, m_cursor.x);
  }
  FinishMove(extending);
}

void CTextView::MoveWordLeft(bool extending) {
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd && !extending) {
    MoveLeft(false);
    return;
  }
  if (m_cursor.x == 0) {
    if (m_cursor.y == 0) return;
    --m_cursor.y;
    m_cursor.x = GetLineLength(m_cursor.y);
  } else {
    const char* chars = GetLineText(m_cursor.y);
    int i = m_cursor.x;
    while (i > 0 && IsSpace(chars[i - 1])) --i;
    if (i > 0) {
      if (IsWordByte(chars[i - 1])) {
        while (i > 0 && IsWordByte(chars[i - 1])) --i;
      } else {
        while (i > 0 && !IsWordByte(chars[i - 1]) && !IsSpace(chars[i - 1])) --i;
      }
    }
    m_cursor.x = i;
  }
  FinishMove(extending);
}

void CTextView::MoveWordRight(bool extending) {
  NormalizeSelection();
  if (m_drawSelStart != m_drawSelEnd && !extending) {
    MoveRight(false);
    return;
  }
  if (m_cursor.x >= GetLineLength(m_cursor.y)) {
    if (m_cursor.y >= GetLineCount() - 1) return;
    ++m_cursor.y;
    m_cursor.x = 0;
  }
  const int length = GetLineLength(m_cursor.y);
  if (m_cursor.x >= length) {
    MoveRight(extending);
    return;
  }
  const char* chars = GetLineText(m_cursor.y);
  int i = m_cursor.x;
  if (IsWordByte(chars[i])) {
    while (i < length && IsWordByte(chars[i])) ++i;
  } else {
    while (i < length && !IsWordByte(chars[i]) && !IsSpace(chars[i])) ++i;
  }
  while (i < length && IsSpace(chars[i])) ++i;
  m_cursor.x = i;
  FinishMove(extending);
}

void CTextView::MoveUp(bool extending) { MoveLine(-1, extending); }

void CTextView::MoveDown(bool extending) { MoveLine(+1, extending); }

void CTextView::MoveLine(int direction, bool extending) {
  NormalizeSelection();
  // Without extending, a selection collapses to the end the move goes towards.
  if (m_drawSelStart != m_drawSelEnd && !extending)
    m_cursor = direction < 0 ? m_drawSelStart : m_drawSelEnd;
  const int target = m_cursor.y + direction;
  if (target >= 0 && target < GetLineCount()) {
    if (m_preferredColumn == -1) m_preferredColumn = CharToColumn(m_cursor);
    m_cursor.y = target;
    m_cursor.x =
        std::min(ColumnToChar(m_cursor.y, m_preferredColumn), GetLineLength(m_cursor.y));
  }
  FinishMove(extending, true);
}

// A page is the visible lines less one, kept to at least one line: a window shorter than two
// lines must still page in the direction asked.
int CTextView::PageStep() { return std::max(1, GetVisibleLines() - 1); }

void CTextView::MovePageUp(bool extending) { MovePage(-1, extending); }

void CTextView::MovePageDown(bool extending) { MovePage(+1, extending); }

void CTextView::MovePage(int direction, bool extending) {
  const int step = direction * PageStep();
  const int last = GetLineCount() - 1;
  const int newTop = std::clamp(m_topLine + step, 0, last);
  if (newTop != m_topLine) {
    ScrollToTopLine(newTop, true);
    SyncSplitterSiblings(true);
  }
  m_cursor.y = std::clamp(m_cursor.y + step, 0, last);
  m_cursor.x = std::min(m_cursor.x, GetLineLength(m_cursor.y));
  FinishMove(extending);
}

void CTextView::MoveHome(bool extending) {
  const char* chars = GetLineText(m_cursor.y);
  const int length = GetLineLength(m_cursor.y);
  int i = 0;
  while (i < length && IsSpace(chars[i])) ++i;
  m_cursor.x = (i == length || m_cursor.x == i) ? 0 : i;
  FinishMove(extending);
}

void CTextView::MoveEnd(bool extending) {
  m_cursor.x = GetLineLength(m_cursor.y);
  FinishMove(extending);
}

void CTextView::MoveCtrlHome(bool extending) {
  m_cursor = TextPosition(0, 0);
  FinishMove(extending);
}

void CTextView::MoveCtrlEnd(bool extending) {
  const int last = GetLineCount() - 1;
  m_cursor = TextPosition(GetLineLength(last), last);
  FinishMove(extending);
}

void CTextView::SelectAll() {
  const int last = GetLineCount() - 1;
  m_cursor = TextPosition(GetLineLength(last), last);
  SetSelection(TextPosition(0, 0), m_cursor);
  UpdateCaret();
}
