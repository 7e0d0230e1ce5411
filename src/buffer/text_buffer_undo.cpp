// CTextBuffer: undo records, grouping, Undo and Redo, descriptions.
#include <string>

#include "string_table.h"
#include "text_buffer.h"

void CTextBuffer::ResetUndo() {
  // Load and CreateEmpty start a new text, so the records of the old one go too: kept, a
  // Redo would replay them on the wrong text.
  m_undo.clear();
  m_groupStarts = 0;
  m_undoPosition = 0;
  m_savedPosition = 0;
  m_groupOpen = false;
  m_groupStartPending = false;
}

void CTextBuffer::OpenUndoGroup(bool merge) {
  m_groupOpen = true;
  m_groupStartPending = m_undoPosition == 0 || !merge;
}

void CTextBuffer::CloseUndoGroup(CBufferView* view) {
  if (view && m_undoPosition > 0) {
    m_groupStartPending = true;
    const CUndoRecord& last = m_undo[static_cast<size_t>(m_undoPosition) - 1];
    // A copy: an insertion made by the hook may drop this very record at the undo limit.
    const std::string text(last.Text());
    view->OnEditPerformed(last.Action(), text);
  }
  m_groupOpen = false;
}

bool CTextBuffer::IsUndoGroupOpen() const { return m_groupOpen; }

void CTextBuffer::CommitUndo(CUndoRecord&& record, CBufferView* view) {
  if (m_groupOpen) {
    PushUndo(std::move(record));
    return;
  }
  OpenUndoGroup(false);
  PushUndo(std::move(record));
  CloseUndoGroup(view);
}

void CTextBuffer::RecordUndo(bool insert, TextPosition start, TextPosition end,
                                    std::string_view text, UndoAction action) {
  CUndoRecord record(insert ? UNDO_RECORD_INSERT : 0, start, end, action);
  if (char* copy = record.AllocateText(text.size()); copy && !text.empty())
    std::copy(text.begin(), text.end(), copy);
  PushUndo(std::move(record));
}

bool CTextBuffer::ChangeEncoding(TextEncoding encoding, UndoAction action) {
  if (m_readOnly || encoding == m_encoding) return false;
  CUndoRecord record(UNDO_RECORD_ENCODING, TextPosition(0, 0), TextPosition(0, 0), action);
  char* bytes = record.AllocateText(2);
  if (!bytes) return false;
  bytes[0] = static_cast<char>(m_encoding);
  bytes[1] = static_cast<char>(encoding);
  SetEncoding(encoding);
  ChangeMade();
  CommitUndo(std::move(record), nullptr);
  return true;
}

void CTextBuffer::PushUndo(CUndoRecord&& record) {
  // 1. Drop the redo tail. If the saved text lay in it, no undo position leads back to it.
  if (m_savedPosition > m_undoPosition) m_savedPosition = -1;
  while (m_undo.size() > static_cast<size_t>(m_undoPosition)) {
    if (m_undo.back().StartsGroup()) --m_groupStarts;
    m_undo.pop_back();
  }

  // 2. At the limit, drop the oldest group, but never the group this record joins: a command
  // half dropped could only be half undone. Such a group may outgrow the limit; it goes whole
  // once a later group starts. The saved position moves down with the records, so that
  // undoing back to the saved text still clears the modified state.
  const bool startsGroup = m_groupStartPending || m_undo.empty();
  if (m_undo.size() >= static_cast<size_t>(UNDO_LIMIT)) {
    // With one group in the list, that group is the open one: only a new group drops it.
    // Counting the group starts saves walking a group of a hundred thousand records (a big
    // Replace All) on every record it adds.
    size_t dropped = startsGroup ? m_undo.size() : 0;
    if (m_groupStarts > 1) {
      dropped = 1;
      while (!m_undo[dropped].StartsGroup()) ++dropped;
    }
    for (size_t i = 0; i < dropped; ++i) {
      if (m_undo.front().StartsGroup()) --m_groupStarts;
      m_undo.pop_front();
    }
    m_undoPosition -= static_cast<int>(dropped);
    if (m_savedPosition >= 0)
      m_savedPosition = m_savedPosition >= static_cast<int>(dropped)
                            ? m_savedPosition - static_cast<int>(dropped)
                            : -1;
  }

  // 3. Group start.
  if (m_groupStartPending) {
    record.AddFlags(UNDO_RECORD_GROUP_START);
    m_groupStartPending = false;
  }
  if (m_undo.empty()) record.AddFlags(UNDO_RECORD_GROUP_START);

  // 4. Append.
  if (record.StartsGroup()) ++m_groupStarts;
  m_undo.push_back(std::move(record));
  m_undoPosition = static_cast<int>(m_undo.size());
}

bool CTextBuffer::CanUndo() const { return m_undoPosition > 0; }

bool CTextBuffer::CanRedo() const {
  return static_cast<size_t>(m_undoPosition) < m_undo.size();
}

void CTextBuffer::UpdateModifiedAfterUndo() {
  if (m_modified && m_undoPosition == m_savedPosition) {
    MarkModified(false);
  } else if (!m_modified && m_undoPosition != m_savedPosition) {
    MarkModified(true);
  }
}

bool CTextBuffer::ReplayDeletion(TextPosition start, TextPosition end) {
  return IsValidPosition(start.y, start.x) && IsValidPosition(end.y, end.x) && start <= end &&
         ApplyDelete(nullptr, start.y, start.x, end.y, end.x);
}

bool CTextBuffer::Undo(TextPosition& cursor) {
  // A read-only buffer refuses, as InsertText and DeleteText do.
  if (!CanUndo() || m_readOnly) return false;
  bool applied = true;
  bool encodingChanged = false;
  for (;;) {
    const CUndoRecord& record = m_undo[static_cast<size_t>(m_undoPosition) - 1];
    const TextPosition start = record.Start();
    const TextPosition end = record.End();
    if (record.IsEncodingChange()) {
      SetEncoding(record.EncodingBefore());
      encodingChanged = true;
      cursor = start;
    } else if (record.IsInsert()) {
      applied = ReplayDeletion(start, end);
      if (applied) cursor = start;
    } else {
      int endLine, endChar;
      applied = IsValidPosition(start.y, start.x) &&
                ApplyInsert(nullptr, start.y, start.x, record.Text(), record.SegmentLengths(),
                            end.y - start.y + 1, endLine, endChar);
      if (applied) cursor = end;
    }
    if (!applied) break; // a record that does not fit the text (only RecordUndo can make one)
    --m_undoPosition;
    if (record.StartsGroup() || m_undoPosition == 0) break;
  }
  UpdateModifiedAfterUndo();
  if (encodingChanged) EncodingReplayed();
  return applied;
}

bool CTextBuffer::Redo(TextPosition& cursor) {
  if (!CanRedo() || m_readOnly) return false;
  bool applied = true;
  bool encodingChanged = false;
  for (;;) {
    const CUndoRecord& record = m_undo[static_cast<size_t>(m_undoPosition)];
    const TextPosition start = record.Start();
    const TextPosition end = record.End();
    if (record.IsEncodingChange()) {
      SetEncoding(record.EncodingAfter());
      encodingChanged = true;
      cursor = start;
    } else if (record.IsInsert()) {
      int endLine, endChar;
      applied = IsValidPosition(start.y, start.x) &&
                ApplyInsert(nullptr, start.y, start.x, record.Text(), nullptr, 0, endLine,
                            endChar);
      if (applied) cursor = end;
    } else {
      applied = ReplayDeletion(start, end);
      if (applied) cursor = start;
    }
    if (!applied) break;
    ++m_undoPosition;
    if (static_cast<size_t>(m_undoPosition) == m_undo.size() ||
        m_undo[static_cast<size_t>(m_undoPosition)].StartsGroup())
      break;
  }
  UpdateModifiedAfterUndo();
  if (encodingChanged) EncodingReplayed();
  return applied;
}

bool CTextBuffer::ActionDescription(UndoAction action, std::string& text) const {
  int id;
  switch (action) {
  case UndoAction::Unknown: id = StringId::ACTION_UNKNOWN; break;
  case UndoAction::Paste: id = StringId::ACTION_PASTE; break;
  case UndoAction::DeleteSelection: id = StringId::ACTION_DELETE_SELECTION; break;
  case UndoAction::Cut: id = StringId::ACTION_CUT; break;
  case UndoAction::Typing: id = StringId::ACTION_TYPING; break;
  case UndoAction::Backspace: id = StringId::ACTION_BACKSPACE; break;
  case UndoAction::Indent: id = StringId::ACTION_INDENT; break;
  case UndoAction::DragAndDrop: id = StringId::ACTION_DRAG_AND_DROP; break;
  case UndoAction::Replace: id = StringId::ACTION_REPLACE; break;
  case UndoAction::Delete: id = StringId::ACTION_DELETE; break;
  case UndoAction::AutoIndent: id = StringId::ACTION_AUTO_INDENT; break;
  case UndoAction::Insert: id = StringId::ACTION_INSERT; break;
  case UndoAction::ConvertEncoding: id = StringId::ACTION_CONVERT_ENCODING; break;
  default: text.clear(); return false;
  }
  const char* loaded = LoadStringResource(id);
  text = loaded ? loaded : "";
  return loaded != nullptr;
}

std::string CTextBuffer::UndoDescription() const {
  std::string text;
  if (!CanUndo()) return text;
  size_t i = static_cast<size_t>(m_undoPosition) - 1;
  while (i > 0 && !m_undo[i].StartsGroup()) --i;
  ActionDescription(m_undo[i].Action(), text);
  return text;
}

std::string CTextBuffer::RedoDescription() const {
  std::string text;
  if (!CanRedo()) return text;
  ActionDescription(m_undo[static_cast<size_t>(m_undoPosition)].Action(), text);
  return text;
}

int CTextBuffer::UndoRecordCount() const { return static_cast<int>(m_undo.size()); }
int CTextBuffer::UndoPosition() const { return m_undoPosition; }
int CTextBuffer::SavedPosition() const { return m_savedPosition; }

const CUndoRecord* CTextBuffer::UndoRecordAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_undo.size()) return nullptr;
  return &m_undo[static_cast<size_t>(index)];
}
