// The editing view: Ctrl+Backspace, Tab and Shift+Tab, Cut and Paste, Undo and Redo, the drag
// source's move, and the command and update handlers.
#include <cctype>
#include <string>

#include "command_ids.h"
#include "edit_view.h"
#include "string_table.h"

namespace {

// A menu text of the string table with the description in place of its "%s".
std::string FormatMenuText(int stringId, const std::string& description) {
  const char* pattern = LoadStringResource(stringId);
  std::string text = pattern ? pattern : "";
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, description);
  return text;
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

} // namespace

// ---------------------------------------------------------------------------------------
// Ctrl+Backspace

void CEditView::OnEditDeleteWordBack() {
  // As Backspace, but a word at a time: the blanks before the caret and then the word (or the
  // run of punctuation) before them; the same stretch that Ctrl+Left moves over.
  if (HasSelection() || GetCursorPosition().x == 0) {
    OnEditDeleteBack();
    return;
  }
  if (!IsEditable()) return;
  const TextPosition p = ClampPosition(GetCursorPosition());
  const char* chars = GetLineText(p.y);
  int x = p.x;
  while (x > 0 && IsBlank(chars[x - 1])) --x;
  const bool word = x > 0 && IsWordByte(chars[x - 1]);
  while (x > 0 && !IsBlank(chars[x - 1]) && IsWordByte(chars[x - 1]) == word) --x;
  const TextPosition to(x, p.y);
  MoveCaretTo(to);
  if (to != p) m_buffer->DeleteText(this, to.y, to.x, p.y, p.x, UndoAction::Backspace);
}

// ---------------------------------------------------------------------------------------
// Tab and Shift+Tab

CEditView::BlockRange CEditView::WidenToLines(TextPosition start,
                                                            TextPosition end) const {
  BlockRange block;
  block.firstLine = start.y;
  block.selStart = TextPosition(0, start.y);
  if (end.x == 0) {
    // A selection that ends at the start of a line does not take that line in.
    block.lastLine = end.y - 1;
    block.selEnd = end;
  } else {
    block.lastLine = end.y;
    block.selEnd = LineEndAfter(end.y);
  }
  return block;
}

void CEditView::SelectBlock(const BlockRange& block) {
  SetSelection(block.selStart, block.selEnd);
  PlaceCursor(block.selEnd);
  ScrollIntoView(block.selEnd);
  emit cursorChanged();
}

void CEditView::ChangeBlockIndent(TextPosition start, TextPosition end,
                                         const std::function<void(int line)>& changeLine) {
  m_buffer->OpenUndoGroup(false);
  const BlockRange block = WidenToLines(start, end);
  SelectBlock(block);
  SetHorzBarLocked(true);
  for (int line = block.firstLine; line <= block.lastLine; ++line) changeLine(line);
  SetHorzBarLocked(false);
  UpdateHorzScrollBar(false);
  // The anchor follows the block, so that Shift+arrows extend it from its start.
  SetAnchor(block.selStart);
  m_buffer->CloseUndoGroup(this);
}

void CEditView::OnEditTab() {
  if (!IsEditable()) return;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  if (start.y != end.y) {
    ChangeBlockIndent(start, end, [this](int line) {
      int endLine = 0, endChar = 0;
      m_buffer->InsertText(this, line, 0, "\t", endLine, endChar, UndoAction::Indent);
    });
    return;
  }

  const TextPosition cursor = GetCursorPosition();
  const int length = GetLineLength(cursor.y);
  if (m_overwriteMode && cursor.x < length) {
    // In overwrite mode Tab moves over the text to the next tab stop without changing it.
    const int steps = GetTabSize() - CharToColumn(cursor) % GetTabSize();
    const char* chars = GetLineText(cursor.y);
    int x = cursor.x;
    for (int i = 0; i < steps && x < length; ++i) {
      const bool passedTab = chars[x] == '\t';
      ++x;
      if (passedTab) break;
    }
    MoveCaretTo(TextPosition(x, cursor.y));
    return;
  }

  m_buffer->OpenUndoGroup(false);
  EraseSelection();
  const TextPosition at = GetCursorPosition();
  int endLine = 0, endChar = 0;
  if (m_buffer->InsertText(this, at.y, at.x, "\t", endLine, endChar, UndoAction::Typing))
    MoveCaretTo(TextPosition(endChar, endLine));
  m_buffer->CloseUndoGroup(this);
}

int CEditView::UnindentWidth(int line) const {
  const int length = GetLineLength(line);
  const char* chars = GetLineText(line);
  int count = 0;
  while (count < GetTabSize() && count < length && chars[count] == ' ') ++count;
  // A tab ends a run of fewer spaces than a tab stop: it belongs to the same indentation
  // level. After a full tab size of spaces the level is complete and the tab stays.
  if (count < GetTabSize() && count < length && chars[count] == '\t') ++count;
  return count;
}

void CEditView::OnEditUntab() {
  if (!IsEditable()) return;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  if (start.y != end.y) {
    ChangeBlockIndent(start, end, [this](int line) {
      const int width = UnindentWidth(line);
      if (width > 0) m_buffer->DeleteText(this, line, 0, line, width, UndoAction::Indent);
    });
    return;
  }

  // Without a block only the caret moves back to the previous tab stop.
  const TextPosition cursor = GetCursorPosition();
  if (cursor.x == 0) return;
  const int tab = GetTabSize();
  const int column = CharToColumn(cursor);
  const int target = column % tab == 0 ? column - tab : column - column % tab;
  const char* chars = GetLineText(cursor.y);
  const int length = GetLineLength(cursor.y);
  int walked = 0;
  int x = 0;
  while (walked < target && x < length) {
    walked = ColumnAfter(chars[x], walked);
    ++x;
  }
  MoveCaretTo(TextPosition(x, cursor.y));
}

// ---------------------------------------------------------------------------------------
// Cut and Paste

void CEditView::OnEditCut() {
  if (!IsEditable() || !HasSelection()) return;
  TextPosition start, end;
  GetSelectionBounds(start, end);
  std::string text;
  GetTextRange(start, end, text);
  // Cut is Copy followed by Delete: when the clipboard did not take the text, deleting it
  // would leave the user without it, so the text stays.
  if (!CopyToClipboard(text)) return;
  DeleteRange(start, end, UndoAction::Cut);
}

void CEditView::OnEditPaste() {
  if (!IsEditable()) return;
  m_buffer->OpenUndoGroup(false);
  EraseSelection();
  std::string text;
  if (TakeFromClipboard(text) && !text.empty()) {
    const TextPosition at = GetCursorPosition();
    int endLine = 0, endChar = 0;
    if (m_buffer->InsertText(this, at.y, at.x, text, endLine, endChar, UndoAction::Paste))
      MoveCaretTo(TextPosition(endChar, endLine));
  }
  m_buffer->CloseUndoGroup(this);
}

// ---------------------------------------------------------------------------------------
// Undo and Redo

void CEditView::OnEditUndo() {
  if (!m_buffer || !m_buffer->CanUndo()) return;
  TextPosition p;
  if (m_buffer->Undo(p)) MoveCaretTo(p);
}

void CEditView::OnEditRedo() {
  if (!m_buffer || !m_buffer->CanRedo()) return;
  TextPosition p;
  if (m_buffer->Redo(p)) MoveCaretTo(p);
}

// ---------------------------------------------------------------------------------------
// Drag source

Qt::DropActions CEditView::GetDragSourceEffects() const {
  return Qt::CopyAction | Qt::MoveAction;
}

void CEditView::OnDragSourceDone(Qt::DropAction effect) {
  if (!m_draggingText || effect != Qt::MoveAction || !m_buffer) return;
  // The buffer refuses the deletion on a read-only text, so a move out of a read-only view
  // leaves it whole.
  const TextPosition begin = ClampPosition(m_draggedTextBegin);
  const TextPosition end = ClampPosition(m_draggedTextEnd);
  if (begin < end)
    m_buffer->DeleteText(this, begin.y, begin.x, end.y, end.x, UndoAction::DragAndDrop);
}

// ---------------------------------------------------------------------------------------
// Commands

void CEditView::DeclareEditCommands() {
  using namespace Cmd;
  const CCommandTable::Rule always = CCommandTable::ALWAYS;
  m_commands.Add(EDIT_PASTE, [this] { OnEditPaste(); }, [this] { return ClipboardHasText(); });
  m_commands.Add(EDIT_CUT, [this] { OnEditCut(); }, [this] { return HasSelection(); });
  m_commands.Add(EDIT_DELETE, [this] { OnEditDelete(); }, always);
  m_commands.Add(EDIT_DELETE_BACK, [this] { OnEditDeleteBack(); }, always);
  m_commands.Add(EDIT_DELETE_WORD_BACK, [this] { OnEditDeleteWordBack(); }, always);
  m_commands.Add(EDIT_TAB, [this] { OnEditTab(); }, always);
  m_commands.Add(EDIT_UNTAB, [this] { OnEditUntab(); }, always);
  m_commands.Add(EDIT_REPLACE, [this] { OnEditReplace(); }, always);
  m_commands.Add(EDIT_SWITCH_OVRMODE, [this] { OnEditSwitchOvrmode(); }, always,
                 [this] { return m_overwriteMode; });
  m_commands.Add(EDIT_UNDO, [this] { OnEditUndo(); },
                 [this] { return m_buffer && m_buffer->CanUndo(); });
  m_commands.SetText(EDIT_UNDO, [this](const CCmdUIState& state) -> std::optional<std::string> {
    return state.enabled ? FormatMenuText(StringId::UNDO_MENU, m_buffer->UndoDescription())
                         : std::string(LoadStringResource(StringId::UNDO_MENU_DISABLED));
  });
  m_commands.Add(EDIT_REDO, [this] { OnEditRedo(); },
                 [this] { return m_buffer && m_buffer->CanRedo(); });
  m_commands.SetText(EDIT_REDO, [this](const CCmdUIState& state) -> std::optional<std::string> {
    return state.enabled ? FormatMenuText(StringId::REDO_MENU, m_buffer->RedoDescription())
                         : std::string(REDO_MENU_DISABLED_TEXT);
  });
  m_commands.AddIndicator(INDICATOR_OVR, [this] { return m_overwriteMode; });
  m_commands.AddIndicator(INDICATOR_READ, [this] { return m_buffer && m_buffer->IsReadOnly(); });
  m_commands.AddIndicator(INDICATOR_COL, [] { return false; });
}
