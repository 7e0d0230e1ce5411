// The text view: searching the text, selecting a match, the Find dialog and the repeat
// commands F3 and Shift+F3.
#include <algorithm>
#include <climits>

#include "find_dialog.h"
#include "profile_store.h"
#include "settings_keys.h"
#include "text_view.h"

bool CTextView::SearchText(std::string_view text, TextPosition start, uint32_t flags,
                                  bool wrap, TextPosition& found) {
  const int last = GetLineCount() - 1;
  return SearchTextInRange(text, start, TextPosition(0, 0),
                           TextPosition(GetLineLength(last), last), flags, wrap, found);
}

bool CTextView::SearchTextInRange(std::string_view text, TextPosition start,
                                         TextPosition rangeStart, TextPosition rangeEnd,
                                         uint32_t flags, bool wrap, TextPosition& found) {
  rangeStart = ClampPosition(rangeStart);
  rangeEnd = ClampPosition(rangeEnd);
  if (rangeEnd < rangeStart) std::swap(rangeStart, rangeEnd);
  if (rangeStart == rangeEnd) return false;
  const CSearchPattern pattern(text, flags, m_buffer ? m_buffer->Encoding() : ENC_DEFAULT);
  if (pattern.IsEmpty()) return false;
  start = std::clamp(start, rangeStart, rangeEnd);

  // One pass from "from" as far as the line "stop"; the part of a line a match may occupy
  // is cut by the range on its first and last line. The wrapped pass ends on the start's
  // line: the lines beyond it were seen by the first pass, which found nothing there (a text
  // without the word is searched once, not twice).
  const bool up = (flags & SearchUp) != 0;
  auto pass = [&](TextPosition from, int stop) {
    for (int line = from.y; up ? line >= stop : line <= stop; line += up ? -1 : 1) {
      const char* chars = GetLineText(line);
      const int length = GetLineLength(line);
      const int lo = line == rangeStart.y ? rangeStart.x : 0;
      const int hi = line == rangeEnd.y ? rangeEnd.x : length;
      const int at =
          up ? pattern.FindLastInLine(chars, length, lo, hi, line == from.y ? from.x : INT_MAX)
             : pattern.FindInLine(chars, length, line == from.y ? std::max(from.x, lo) : lo, hi);
      if (at >= 0) {
        found = TextPosition(at, line);
        return true;
      }
    }
    return false;
  };
  if (pass(start, up ? rangeStart.y : rangeEnd.y)) return true;
  return wrap && pass(up ? rangeEnd : rangeStart, start.y);
}

void CTextView::SelectFoundText(TextPosition position, int length) {
  position = ClampPosition(position);
  const TextPosition end = ClampPosition(TextPosition(position.x + length, position.y));
  SetSelection(position, end);
  // The caret is set directly: a found match does not change the column Up and Down keep.
  m_cursor = end;
  m_anchor = end;
  UpdateCaret();
  ScrollIntoView(end);
  emit cursorChanged();
}

TextPosition CTextView::UpwardSearchStart(TextPosition p) {
  if (!HasSelection()) return p;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  return (p >= start && p <= end) ? start : p;
}

void CTextView::OnEditFind() {
  CFindDialog dialog(this);
  if (m_searchRemembered) {
    dialog.m_matchCase = (m_lastSearchFlags & SearchMatchCase) != 0;
    dialog.m_wholeWord = (m_lastSearchFlags & SearchWholeWord) != 0;
    dialog.m_direction = (m_lastSearchFlags & SearchUp) ? 0 : 1;
    dialog.m_text = m_lastSearchText;
  } else {
    const CProfileStore store;
    dialog.m_direction = 1;
    dialog.m_matchCase = ReadSetting(store, SETTING_FIND_MATCH_CASE) != 0;
    dialog.m_wholeWord = ReadSetting(store, SETTING_FIND_WHOLE_WORD) != 0;
    dialog.m_text = CSearchDialog::TextBytes(ReadSetting(store, SETTING_FIND_WHAT), GetEncoding());
  }
  if (HasSelection()) {
    TextPosition start, end;
    GetSelectionBounds(start, end);
    if (start.y == end.y) GetTextRange(start, end, dialog.m_text);
  }
  dialog.m_currentPos = m_cursor;
  dialog.m_encoding = GetEncoding();

  SetShowInactiveSelection(true);
  dialog.DoModal();
  SetShowInactiveSelection(false);

  m_searchRemembered = true;
  m_lastSearchText = dialog.m_text;
  m_lastSearchFlags = dialog.GetSearchFlags();
  CProfileStore store;
  WriteSetting(store, SETTING_FIND_MATCH_CASE, dialog.m_matchCase ? 1 : 0);
  WriteSetting(store, SETTING_FIND_WHOLE_WORD, dialog.m_wholeWord ? 1 : 0);
  WriteSetting(store, SETTING_FIND_WHAT, CSearchDialog::BytesText(dialog.m_text, GetEncoding()));
}

void CTextView::OnEditRepeat(bool previous) {
  if (!m_searchRemembered) return;
  const uint32_t flags = previous ? m_lastSearchFlags ^ SearchUp : m_lastSearchFlags;
  const TextPosition start = (flags & SearchUp) ? UpwardSearchStart(m_cursor) : m_cursor;
  TextPosition found;
  if (SearchText(m_lastSearchText, start, flags, true, found))
    SelectFoundText(found, static_cast<int>(m_lastSearchText.size()));
  else
    CSearchDialog::ShowNotFoundMessage(m_lastSearchText, GetEncoding());
}
