// The text view: key handling, command dispatch and update handlers.
#include <QKeyEvent>
#include <cstdio>

#include "command_ids.h"
#include "text_view.h"
#include "view_key_table.h"

bool CTextView::OnCmdMsg(int id) {
  using namespace Cmd;
  if (id >= EDIT_TOGGLE_BOOKMARK0 && id <= EDIT_TOGGLE_BOOKMARK0 + 9) {
    ToggleNumberedBookmark(id - EDIT_TOGGLE_BOOKMARK0);
    return true;
  }
  if (id >= EDIT_GO_BOOKMARK0 && id <= EDIT_GO_BOOKMARK0 + 9) {
    GoNumberedBookmark(id - EDIT_GO_BOOKMARK0);
    return true;
  }
  switch (id) {
  case EDIT_CHAR_LEFT: MoveLeft(false); return true;
  case EDIT_EXT_CHAR_LEFT: MoveLeft(true); return true;
  case EDIT_CHAR_RIGHT: MoveRight(false); return true;
  case EDIT_EXT_CHAR_RIGHT: MoveRight(true); return true;
  case EDIT_WORD_LEFT: MoveWordLeft(false); return true;
  case EDIT_EXT_WORD_LEFT: MoveWordLeft(true); return true;
  case EDIT_WORD_RIGHT: MoveWordRight(false); return true;
  case EDIT_EXT_WORD_RIGHT: MoveWordRight(true); return true;
  case EDIT_LINE_UP: MoveUp(false); return true;
  case EDIT_EXT_LINE_UP: MoveUp(true); return true;
  case EDIT_LINE_DOWN: MoveDown(false); return true;
  case EDIT_EXT_LINE_DOWN: MoveDown(true); return true;
  case EDIT_SCROLL_UP: ScrollUp(); return true;
  case EDIT_SCROLL_DOWN: ScrollDown(); return true;
  case EDIT_PAGE_UP: MovePageUp(false); return true;
  case EDIT_EXT_PAGE_UP: MovePageUp(true); return true;
  case EDIT_PAGE_DOWN: MovePageDown(false); return true;
  case EDIT_EXT_PAGE_DOWN: MovePageDown(true); return true;
  case EDIT_LINE_END: MoveEnd(false); return true;
  case EDIT_EXT_LINE_END: MoveEnd(true); return true;
  case EDIT_HOME: MoveHome(false); return true;
  case EDIT_EXT_HOME: MoveHome(true); return true;
  case EDIT_TEXT_BEGIN: MoveCtrlHome(false); return true;
  case EDIT_EXT_TEXT_BEGIN: MoveCtrlHome(true); return true;
  case EDIT_TEXT_END: MoveCtrlEnd(false); return true;
  case EDIT_EXT_TEXT_END: MoveCtrlEnd(true); return true;
  case EDIT_CLEAR_BOOKMARKS: ClearNumberedBookmarks(); return true;
  case EDIT_TOGGLE_BOOKMARK: ToggleBookmark(); return true;
  case EDIT_GOTO_NEXT_BOOKMARK: GoNextBookmark(); return true;
  case EDIT_GOTO_PREV_BOOKMARK: GoPrevBookmark(); return true;
  case EDIT_CLEAR_ALL_BOOKMARKS: ClearAllBookmarks(); return true;
  case EDIT_SELECT_ALL: SelectAll(); return true;
  case EDIT_COPY: Copy(); return true;
  case EDIT_FIND: OnEditFind(); return true;
  case EDIT_REPEAT: OnEditRepeat(false); return true;
  case EDIT_FIND_PREVIOUS: OnEditRepeat(true); return true;
  case FILE_PAGE_SETUP: OnFilePageSetup(); return true;
  case FILE_PRINT: OnFilePrint(false); return true;
  case FILE_PRINT_DIRECT: OnFilePrint(true); return true;
  case FILE_PRINT_PREVIEW: OnFilePrintPreview(); return true;
  default: return false;
  }
}

bool CTextView::OnUpdateCmdUI(int id, CCmdUIState& state) {
  using namespace Cmd;
  if ((id >= EDIT_TOGGLE_BOOKMARK0 && id <= EDIT_TOGGLE_BOOKMARK0 + 9) ||
      (id >= EDIT_GO_BOOKMARK0 && id <= EDIT_GO_BOOKMARK0 + 9)) {
    state.enabled = true;
    return true;
  }
  switch (id) {
  case EDIT_COPY:
    state.enabled = HasSelection();
    return true;
  case EDIT_SELECT_ALL:
  case EDIT_FIND:
  case FILE_PAGE_SETUP:
  case FILE_PRINT:
  case FILE_PRINT_DIRECT:
  case FILE_PRINT_PREVIEW:
    state.enabled = true;
    return true;
  case EDIT_REPEAT:
  case EDIT_FIND_PREVIOUS:
    state.enabled = m_searchRemembered;
    return true;
  case EDIT_CHAR_LEFT: case EDIT_EXT_CHAR_LEFT: case EDIT_CHAR_RIGHT: case EDIT_EXT_CHAR_RIGHT:
  case EDIT_WORD_LEFT: case EDIT_EXT_WORD_LEFT: case EDIT_WORD_RIGHT: case EDIT_EXT_WORD_RIGHT:
  case EDIT_LINE_UP: case EDIT_EXT_LINE_UP: case EDIT_LINE_DOWN: case EDIT_EXT_LINE_DOWN:
  case EDIT_SCROLL_UP: case EDIT_SCROLL_DOWN: case EDIT_PAGE_UP: case EDIT_EXT_PAGE_UP:
  case EDIT_PAGE_DOWN: case EDIT_EXT_PAGE_DOWN: case EDIT_LINE_END: case EDIT_EXT_LINE_END:
  case EDIT_HOME: case EDIT_EXT_HOME: case EDIT_TEXT_BEGIN: case EDIT_EXT_TEXT_BEGIN:
  case EDIT_TEXT_END: case EDIT_EXT_TEXT_END: case EDIT_CLEAR_BOOKMARKS:
  case EDIT_TOGGLE_BOOKMARK:
    // Movement and bookmark setting are always available.
    state.enabled = true;
    return true;
  case EDIT_GOTO_NEXT_BOOKMARK:
  case EDIT_GOTO_PREV_BOOKMARK:
  case EDIT_CLEAR_ALL_BOOKMARKS:
    state.enabled = BookmarksExist();
    return true;
  case INDICATOR_POSITION: {
    char text[64];
    std::snprintf(text, sizeof text, "Ln %d, Col %d", m_cursor.y + 1, m_cursor.x + 1);
    state.text = text;
    state.enabled = true;
    return true;
  }
  case INDICATOR_CRLF: {
    const LineEndStyle style = m_buffer ? m_buffer->GetLineEndStyle() : LineEndStyle::Automatic;
    if (IsConcreteLineEndStyle(style)) {
      state.text = LineEndStyleName(style);
      state.enabled = true;
    } else {
      state.enabled = false;
    }
    return true;
  }
  default:
    return false;
  }
}

void CTextView::RouteCommand(int id) {
  // The rule of the window's router, with this view as the only target: the view's own
  // commands are those it answers; a disabled one does nothing, as with a menu item.
  CCmdUIState state;
  state.id = id;
  if (!OnUpdateCmdUI(id, state)) {
    emit unhandledCommand(id);
    return;
  }
  if (state.enabled) OnCmdMsg(id);
}

void CTextView::OnChar(unsigned char c) { (void)c; }

bool CTextView::focusNextPrevChild(bool next) {
  // Tab and Shift+Tab are editing keys of the view, not focus moves.
  (void)next;
  return false;
}

bool CTextView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Keys of the view's own table win over the window's shortcuts.
    auto* key = static_cast<QKeyEvent*>(event);
    if (LookupViewKey(key->key(), key->modifiers()) != 0) {
      event->accept();
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void CTextView::keyPressEvent(QKeyEvent* event) {
  const int id = LookupViewKey(event->key(), event->modifiers());
  if (id != 0) {
    event->accept();
    RouteCommand(id);
    return;
  }
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) {
      event->accept();
      OnChar(13);
      return;
    }
  }
  const QString text = event->text();
  if (!text.isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    bool any = false;
    for (QChar ch : text) {
      const char16_t u = ch.unicode();
      // Only characters the file's character set can hold are typed; others are refused.
      if (u >= 0x20 && u <= 0xFF && u != 0x7F) {
        OnChar(static_cast<unsigned char>(u));
        any = true;
      }
    }
    if (any) {
      event->accept();
      return;
    }
  }
  // Keys outside the table do not scroll the bars (as the scroll area would): they go on to
  // the parent.
  event->ignore();
}

void CTextView::Copy() {
  if (m_selStart == m_selEnd) return;
  NormalizeSelection();
  std::string text;
  GetTextRange(m_drawSelStart, m_drawSelEnd, text);
  CopyToClipboard(text);
}
