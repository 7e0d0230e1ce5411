// The text view: numbered and unnumbered bookmarks on the buffer's line flags.
#include "command_ids.h"
#include "text_view.h"

bool CTextView::BookmarksExist() const {
  return m_buffer && m_buffer->LineCount() > 0 && m_buffer->FirstLineWithFlag(LF_BOOKMARK) >= 0;
}

void CTextView::JumpToLineStart(int line) {
  const TextPosition position = ClampPosition(TextPosition(0, line));
  PlaceCursor(position);
  SetSelection(position, position);
  SetAnchor(position);
  ScrollIntoView(position);
}

void CTextView::ToggleNumberedBookmark(int n) {
  if (!m_buffer || n < 0 || n > 9 || m_buffer->LineCount() == 0) return;
  const uint32_t bit = LF_NUMBERED_BOOKMARK(n);
  const int line = ClampPosition(m_cursor).y;
  const bool set = (m_buffer->LineFlags(line) & bit) == 0;
  // Setting takes the bookmark away from the line that had it.
  m_buffer->SetLineFlag(line, bit, set, true);
}

void CTextView::GoNumberedBookmark(int n) {
  if (!m_buffer || n < 0 || n > 9 || m_buffer->LineCount() == 0) return;
  const int line = m_buffer->FirstLineWithFlag(LF_NUMBERED_BOOKMARK(n));
  if (line >= 0) JumpToLineStart(line);
}

void CTextView::ClearNumberedBookmarks() {
  if (!m_buffer || m_buffer->LineCount() == 0) return;
  for (int n = 0; n <= 9; ++n) {
    const int line = m_buffer->FirstLineWithFlag(LF_NUMBERED_BOOKMARK(n));
    if (line >= 0) m_buffer->SetLineFlag(line, LF_NUMBERED_BOOKMARK(n), false, false);
  }
}

void CTextView::ToggleBookmark() {
  if (!m_buffer || m_buffer->LineCount() == 0) return;
  const int line = ClampPosition(m_cursor).y;
  const bool set = (m_buffer->LineFlags(line) & LF_BOOKMARK) == 0;
  m_buffer->SetLineFlag(line, LF_BOOKMARK, set, false);
}

// The buffer searches from the line after the cursor (the cursor line itself when it is not
// marked), wrapping once; a single marked cursor line is found again.
void CTextView::GoNextBookmark() {
  if (!m_buffer) return;
  const int line = m_buffer->NextBookmarkLine(ClampPosition(m_cursor).y);
  if (line >= 0) JumpToLineStart(line);
}

void CTextView::GoPrevBookmark() {
  if (!m_buffer) return;
  const int line = m_buffer->PrevBookmarkLine(ClampPosition(m_cursor).y);
  if (line >= 0) JumpToLineStart(line);
}

void CTextView::ClearAllBookmarks() {
  if (!m_buffer) return;
  const int count = m_buffer->LineCount();
  for (int line = 0; line < count; ++line) {
    if (m_buffer->LineFlags(line) & LF_BOOKMARK) m_buffer->SetLineFlag(line, LF_BOOKMARK, false, false);
  }
}
