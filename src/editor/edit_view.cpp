// The editing view: typing, Enter with automatic indentation, overwrite mode, Delete and
// Backspace, and the selection helpers the other editing commands share.
#include "edit_view.h"

#include <QApplication>

#include <algorithm>

CEditView::CEditView(QWidget* parent) : CTextView(parent) {
  DeclareEditCommands();
  // The editing view takes dropped text; the viewport hands its drag events to the view.
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
}

CEditView::~CEditView() = default;

void CEditView::ResetViewState() {
  m_overwriteMode = false;
  m_expectAutoIndent = false;
  m_selectionPushed = false;
  CTextView::ResetViewState();
}

bool CEditView::IsEditable() const { return m_buffer != nullptr && !m_buffer->IsReadOnly(); }

void CEditView::SetOverwriteMode(bool on) {
  if (m_overwriteMode == on) return;
  m_overwriteMode = on;
  emit cursorChanged();
}

void CEditView::MoveCaretTo(TextPosition p) {
  // A command may compute a place past the end of a line that another view just shortened:
  // the caret never stands outside the text.
  p = ClampPosition(p);
  SetSelection(p, p);
  SetAnchor(p);
  PlaceCursor(p);
  ScrollIntoView(p);
  // PlaceCursor alone does not announce the move; the status panes must hear of it.
  emit cursorChanged();
}

bool CEditView::EraseSelection() {
  if (!m_buffer || !HasSelection()) return false;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  MoveCaretTo(start);
  m_buffer->DeleteText(this, start.y, start.x, end.y, end.x, UndoAction::DeleteSelection);
  return true;
}

void CEditView::DeleteRange(TextPosition start, TextPosition end, UndoAction action) {
  MoveCaretTo(start);
  m_buffer->DeleteText(this, start.y, start.x, end.y, end.x, action);
}

// ---------------------------------------------------------------------------------------
// Typing

void CEditView::OnChar(unsigned char c) {
  // A character typed while a button is held would land wherever the mouse selection is
  // heading: ignore it.
  if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) return;
  if (c == 13) {
    TypeEnter();
    return;
  }
  if (c < 32) return;
  TypeCharacter(c);
}

void CEditView::TypeEnter() {
  const TextPosition cursor = GetCursorPosition();
  if (m_overwriteMode && cursor.y < GetLineCount() - 1) {
    MoveCaretTo(TextPosition(0, cursor.y + 1));
    return;
  }
  if (!m_buffer) return;
  m_buffer->OpenUndoGroup(false);
  if (!IsEditable()) {
    m_buffer->CloseUndoGroup(this);
    return;
  }
  EraseSelection();
  const TextPosition at = GetCursorPosition();
  int endLine = 0, endChar = 0;
  if (m_buffer->InsertText(this, at.y, at.x, "\r\n", endLine, endChar, UndoAction::Typing)) {
    MoveCaretTo(TextPosition(endChar, endLine));
    // Only this line break asks for indentation; closing some later group must not indent
    // again because the last record still happens to be a typed line break.
    m_expectAutoIndent = true;
  }
  m_buffer->CloseUndoGroup(this);
  m_expectAutoIndent = false;
}

void CEditView::OnEditPerformed(UndoAction action, std::string_view text) {
  if (!m_expectAutoIndent) return;
  m_expectAutoIndent = false;
  if (action != UndoAction::Typing || text != "\r\n" || m_overwriteMode || !m_buffer) return;
  const TextPosition cursor = GetCursorPosition();
  if (cursor.y < 1) return;
  const int above = cursor.y - 1;
  const int length = GetLineLength(above);
  if (length == 0) return;
  const char* chars = GetLineText(above);
  int count = 0;
  while (count < length && (chars[count] == ' ' || (chars[count] >= 0x09 && chars[count] <= 0x0D)))
    ++count;
  if (count == 0) return;
  const std::string indent(chars, static_cast<std::size_t>(count));
  int endLine = 0, endChar = 0;
  if (m_buffer->InsertText(nullptr, cursor.y, cursor.x, indent, endLine, endChar,
                           UndoAction::AutoIndent))
    MoveCaretTo(TextPosition(endChar, endLine));
}

void CEditView::OnTypedBytes(std::string_view bytes) {
  if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) return;
  TypeBytes(bytes);
}

void CEditView::TypeCharacter(unsigned char c) {
  const char ch = static_cast<char>(c);
  TypeBytes(std::string_view(&ch, 1));
}

void CEditView::TypeBytes(std::string_view bytes) {
  if (!IsEditable() || bytes.empty()) return;
  // A space starts a new undo group; other characters join the one before them.
  m_buffer->OpenUndoGroup(bytes != " ");
  TextPosition at;
  if (HasSelection()) {
    TextPosition end;
    GetSelectionBounds(at, end);
    EraseSelection();
  } else {
    at = GetCursorPosition();
    if (m_overwriteMode && at.x < GetLineLength(at.y))
      m_buffer->DeleteText(this, at.y, at.x, at.y, NextCharPos(at.y, at.x), UndoAction::Typing);
  }
  int endLine = 0, endChar = 0;
  if (m_buffer->InsertText(this, at.y, at.x, bytes, endLine, endChar, UndoAction::Typing))
    MoveCaretTo(TextPosition(endChar, endLine));
  m_buffer->CloseUndoGroup(this);
}

// ---------------------------------------------------------------------------------------
// Delete, Backspace, overwrite mode

void CEditView::OnEditDelete() {
  if (!IsEditable()) return;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  if (start == end) {
    start = ClampPosition(GetCursorPosition());
    if (start.x >= GetLineLength(start.y)) {
      if (start.y >= GetLineCount() - 1) return; // nothing after the end of the text
      end = TextPosition(0, start.y + 1);
    } else {
      end = TextPosition(NextCharPos(start.y, start.x), start.y);
    }
  }
  DeleteRange(start, end, UndoAction::Delete);
}

void CEditView::OnEditDeleteBack() {
  if (HasSelection()) {
    OnEditDelete();
    return;
  }
  if (!IsEditable()) return;
  const TextPosition p = ClampPosition(GetCursorPosition());
  TextPosition to = p;
  if (p.x > 0)
    to = TextPosition(PrevUnitPos(p.y, p.x), p.y);
  else if (p.y > 0)
    to = TextPosition(GetLineLength(p.y - 1), p.y - 1);
  // The caret goes first, then the text; but a combining mark's start lies inside its
  // character's cluster, where the caret cannot stand until the mark has gone.
  const bool insideCluster = to.y == p.y && CharStartPos(to.y, to.x) != to.x;
  if (!insideCluster) MoveCaretTo(to);
  if (to != p) m_buffer->DeleteText(this, to.y, to.x, p.y, p.x, UndoAction::Backspace);
  if (insideCluster) MoveCaretTo(to);
}

void CEditView::OnEditSwitchOvrmode() { SetOverwriteMode(!m_overwriteMode); }

// ---------------------------------------------------------------------------------------
// Buffer changes

void CEditView::OnBufferChanged(CBufferView* sourceView, const UpdateContext* context,
                                       uint32_t hints, int line) {
  CTextView::OnBufferChanged(sourceView, context, hints, line);
  if (!m_selectionPushed) return;
  if (hints & UPD_RESET) {
    m_selectionPushed = false;
    return;
  }
  if (context) {
    context->AdjustPosition(m_savedSelStart);
    context->AdjustPosition(m_savedSelEnd);
  }
  m_savedSelStart = ClampPosition(m_savedSelStart);
  m_savedSelEnd = ClampPosition(m_savedSelEnd);
}

void CEditView::PushSelection() {
  GetSelection(m_savedSelStart, m_savedSelEnd);
  m_selectionPushed = true;
}

void CEditView::PopSelection() {
  if (!m_selectionPushed) return;
  m_selectionPushed = false;
  SetSelection(m_savedSelStart, m_savedSelEnd);
}
