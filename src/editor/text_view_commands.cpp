// The text view: key handling, command dispatch and update handlers.
#include <QKeyEvent>
#include <cstdio>
#include <utility>

#include "command_ids.h"
#include "text_view.h"
#include "view_key_table.h"

void CTextView::DeclareCommands() {
  using namespace Cmd;
  const CCommandTable::Rule always = CCommandTable::ALWAYS;
  const auto everyBookmark = [](int) { return true; };
  m_commands.AddRange(EDIT_TOGGLE_BOOKMARK0, 10,
                      [this](int n) { ToggleNumberedBookmark(n); }, everyBookmark);
  m_commands.AddRange(EDIT_GO_BOOKMARK0, 10, [this](int n) { GoNumberedBookmark(n); },
                      everyBookmark);
  // Movement, always available: each command, and at the next id its twin that extends the
  // selection.
  using Step = void (CTextView::*)(bool extending);
  const std::pair<int, Step> moves[] = {
      {EDIT_CHAR_LEFT, &CTextView::MoveLeft},   {EDIT_CHAR_RIGHT, &CTextView::MoveRight},
      {EDIT_WORD_LEFT, &CTextView::MoveWordLeft}, {EDIT_WORD_RIGHT, &CTextView::MoveWordRight},
      {EDIT_LINE_UP, &CTextView::MoveUp},       {EDIT_LINE_DOWN, &CTextView::MoveDown},
      {EDIT_PAGE_UP, &CTextView::MovePageUp},   {EDIT_PAGE_DOWN, &CTextView::MovePageDown},
      {EDIT_LINE_END, &CTextView::MoveEnd},     {EDIT_HOME, &CTextView::MoveHome},
      {EDIT_TEXT_BEGIN, &CTextView::MoveCtrlHome}, {EDIT_TEXT_END, &CTextView::MoveCtrlEnd}};
  for (const auto& [id, step] : moves)
    for (const bool extending : {false, true})
      m_commands.Add(id + (extending ? 1 : 0),
                     [this, step, extending] { (this->*step)(extending); }, always);
  m_commands.Add(EDIT_SCROLL_UP, [this] { ScrollUp(); }, always);
  m_commands.Add(EDIT_SCROLL_DOWN, [this] { ScrollDown(); }, always);
  m_commands.Add(EDIT_CLEAR_BOOKMARKS, [this] { ClearNumberedBookmarks(); }, always);
  m_commands.Add(EDIT_TOGGLE_BOOKMARK, [this] { ToggleBookmark(); }, always);
  const CCommandTable::Rule marked = [this] { return BookmarksExist(); };
  m_commands.Add(EDIT_GOTO_NEXT_BOOKMARK, [this] { GoNextBookmark(); }, marked);
  m_commands.Add(EDIT_GOTO_PREV_BOOKMARK, [this] { GoPrevBookmark(); }, marked);
  m_commands.Add(EDIT_CLEAR_ALL_BOOKMARKS, [this] { ClearAllBookmarks(); }, marked);
  m_commands.Add(EDIT_SELECT_ALL, [this] { SelectAll(); }, always);
  m_commands.Add(EDIT_COPY, [this] { Copy(); }, [this] { return HasSelection(); });
  m_commands.Add(EDIT_FIND, [this] { OnEditFind(); }, always);
  const CCommandTable::Rule remembered = [this] { return m_searchRemembered; };
  m_commands.Add(EDIT_REPEAT, [this] { OnEditRepeat(false); }, remembered);
  m_commands.Add(EDIT_FIND_PREVIOUS, [this] { OnEditRepeat(true); }, remembered);
  m_commands.Add(FILE_PAGE_SETUP, [this] { OnFilePageSetup(); }, always);
  m_commands.Add(FILE_PRINT, [this] { OnFilePrint(false); }, always);
  m_commands.Add(FILE_PRINT_DIRECT, [this] { OnFilePrint(true); }, always);
  m_commands.Add(FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); }, always);
  m_commands.AddIndicator(INDICATOR_POSITION, always,
                          [this](const CCmdUIState&) -> std::optional<std::string> {
    char text[64];
    std::snprintf(text, sizeof text, "Ln %d, Col %d", m_cursor.y + 1,
                  CharIndexOfByte(std::string_view(GetLineText(m_cursor.y) ? GetLineText(m_cursor.y) : "",
                                                   static_cast<size_t>(GetLineLength(m_cursor.y))),
                                  m_cursor.x, GetEncoding()) + 1);
    return std::string(text);
  });
  const auto lineEnds = [this] {
    return m_buffer ? m_buffer->GetLineEndStyle() : LineEndStyle::Automatic;
  };
  m_commands.AddIndicator(
      INDICATOR_CRLF, [lineEnds] { return IsConcreteLineEndStyle(lineEnds()); },
      [lineEnds](const CCmdUIState& state) -> std::optional<std::string> {
        if (!state.enabled) return std::nullopt;
        return LineEndStyleName(lineEnds());
      });
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

void CTextView::OnTypedBytes(std::string_view bytes) { (void)bytes; }

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
  if (!text.isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
      GetEncoding() != TextEncoding::Iso8859_1) {
    if (TypeText(text)) {
      event->accept();
      return;
    }
  } else if (!text.isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
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
