// The editing view: replacing the selection, and the Replace command with its dialog.
#include "edit_view.h"
#include "profile_store.h"
#include "replace_dialog.h"
#include "settings_keys.h"

bool CEditView::ReplaceSelection(std::string_view text, UndoAction eraseAction) {
  if (!IsEditable() || !HasSelection()) return false;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  MoveCaretTo(start);
  TextPosition after;
  if (!ReplaceRange(start, end, text, eraseAction, after)) return false;
  SelectReplacement(start, after);
  return true;
}

bool CEditView::ReplaceRange(TextPosition start, TextPosition end, std::string_view text,
                                    UndoAction eraseAction, TextPosition& after) {
  if (!IsEditable()) return false;
  // A pushed selection that ends where the replaced text ends must still take in the
  // replacement: the deletion pulls that end back to the start, and an insertion at a
  // position leaves the position before the inserted text.
  const bool savedStartAtEnd = m_selectionPushed && m_savedSelStart == end;
  const bool savedEndAtEnd = m_selectionPushed && m_savedSelEnd == end;
  if (!m_buffer->DeleteText(this, start.y, start.x, end.y, end.x, eraseAction)) return false;
  after = start;
  int endLine = 0, endChar = 0;
  if (!text.empty() &&
      m_buffer->InsertText(this, start.y, start.x, text, endLine, endChar, UndoAction::Replace))
    after = TextPosition(endChar, endLine);
  if (savedStartAtEnd) m_savedSelStart = after;
  if (savedEndAtEnd) m_savedSelEnd = after;
  return true;
}

void CEditView::SelectReplacement(TextPosition start, TextPosition end) {
  SetSelection(start, end);
  SetAnchor(end);
  PlaceCursor(end);
  ScrollIntoView(end);
  emit cursorChanged();
}

void CEditView::OnEditReplace() {
  if (!IsEditable()) return;
  CReplaceDialog dialog(this);
  dialog.m_encoding = GetEncoding();
  {
    const CProfileStore store;
    dialog.m_matchCase = ReadSetting(store, SETTING_REPLACE_MATCH_CASE) != 0;
    dialog.m_wholeWord = ReadSetting(store, SETTING_REPLACE_WHOLE_WORD) != 0;
    dialog.m_text = CSearchDialog::TextBytes(ReadSetting(store, SETTING_REPLACE_FIND_WHAT), GetEncoding());
    dialog.m_replaceWith = CSearchDialog::TextBytes(ReadSetting(store, SETTING_REPLACE_WITH), GetEncoding());
  }
  if (HasSelection()) {
    GetSelectionBounds(dialog.m_rangeStart, dialog.m_rangeEnd);
    dialog.m_currentPos = dialog.m_rangeStart;
    dialog.m_scope = 0;
    PushSelection();
  } else {
    dialog.m_scope = 1;
    dialog.m_selectionScopeAvailable = false;
    dialog.m_currentPos = GetCursorPosition();
  }

  SetShowInactiveSelection(true);
  dialog.DoModal();
  SetShowInactiveSelection(false);

  if (m_selectionPushed) {
    PopSelection();
    // The caret goes back onto the selection, as a keyboard selection leaves it.
    TextPosition start, end;
    GetSelectionBounds(start, end);
    SetAnchor(start);
    PlaceCursor(end);
    emit cursorChanged();
  }
  CProfileStore store;
  WriteSetting(store, SETTING_REPLACE_MATCH_CASE, dialog.m_matchCase ? 1 : 0);
  WriteSetting(store, SETTING_REPLACE_WHOLE_WORD, dialog.m_wholeWord ? 1 : 0);
  WriteSetting(store, SETTING_REPLACE_FIND_WHAT, CSearchDialog::BytesText(dialog.m_text, GetEncoding()));
  WriteSetting(store, SETTING_REPLACE_WITH, CSearchDialog::BytesText(dialog.m_replaceWith, GetEncoding()));
}
