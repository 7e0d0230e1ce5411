#include "completion_controller.h"

#include <QKeyEvent>

#include "colouring.h"
#include "command_ids.h"
#include "completion_popup.h"
#include "language_service.h"
#include "text_buffer.h"
#include "torvane_view.h"

namespace {

std::string_view LineOf(const CTextBuffer& buffer, int line) {
  if (line < 0 || line >= buffer.LineCount()) return {};
  return std::string_view(buffer.LineChars(line), static_cast<std::size_t>(buffer.LineLength(line)));
}

bool IsListKey(int key) {
  switch (key) {
  case Qt::Key_Up:
  case Qt::Key_Down:
  case Qt::Key_PageUp:
  case Qt::Key_PageDown:
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Tab:
  case Qt::Key_Escape: return true;
  default: return false;
  }
}

} // namespace

CCompletionController::CCompletionController(CLanguageService& service, ActiveView activeView, QObject* parent)
    : QObject(parent), m_service(service), m_activeView(std::move(activeView)) {
  m_refresh.setSingleShot(true);
  m_refresh.setInterval(0);
  connect(&m_refresh, &QTimer::timeout, this, [this] {
    if (IsOpen()) UpdateCatalogue();
  });
  m_commands.Add(
      Cmd::COMPLETE_WORD,
      [this] {
        if (CTorvaneView* view = m_activeView()) Open(view, false);
      },
      [this] {
        const CTorvaneView* view = m_activeView();
        return view && view->IsEditable();
      });
}

CCompletionController::~CCompletionController() { Close(); }

void CCompletionController::Watch(CTorvaneView* view) {
  connect(view, &CTorvaneView::characterTyped, this, [this, view](unsigned char c) { OnCharacterTyped(view, c); });
}

bool CCompletionController::IsOpen() const { return m_popup && m_popup->isVisible(); }

bool CCompletionController::StartsInString(CTorvaneView* view, int line) const {
  return line > 0 && (view->GetLineCookie(line - 1) & COOKIE_DOUBLE_QUOTE) != 0;
}

void CCompletionController::OnCharacterTyped(CTorvaneView* view, unsigned char c) {
  if (c != '#' && c != '.' && c != '>' && c != ' ') return;
  const CTextBuffer* buffer = view->GetBuffer();
  const TextPosition caret = view->GetCursorPosition();
  if (!buffer || view->HasSelection()) return;
  if (IsCompletionTrigger(LineOf(*buffer, caret.y), caret.x, StartsInString(view, caret.y))) Open(view, true);
}

bool CCompletionController::Open(CTorvaneView* view, bool automatic) {
  Close();
  const CTextBuffer* buffer = view->GetBuffer();
  if (!buffer || !view->IsEditable()) return false;
  const TextPosition caret = view->GetCursorPosition();
  const CCompletionSite site = FindCompletionSite(LineOf(*buffer, caret.y), caret.x, StartsInString(view, caret.y));
  if (site.context == ECompletionContext::None || (automatic && site.context == ECompletionContext::Any)) return false;
  if (!m_catalogueBuilt) UpdateCatalogue();
  std::vector<CCompletionItem> items = m_catalogue.Candidates(site.context, site.prefix);
  if (items.empty()) return false;
  if (!m_popup || m_popup->parentWidget() != view->viewport()) {
    delete m_popup;
    m_popup = new CCompletionPopup(view->viewport());
    connect(m_popup, &CCompletionPopup::itemChosen, this, &CCompletionController::Accept);
  }
  if (m_view != view) {
    if (m_view) disconnect(m_view, &CTextView::cursorChanged, this, &CCompletionController::Refilter);
    m_view = view;
  }
  m_line = caret.y;
  m_wordStart = site.wordStart;
  m_context = site.context;
  m_popup->SetItems(std::move(items));
  Place();
  connect(view, &CTextView::cursorChanged, this, &CCompletionController::Refilter, Qt::UniqueConnection);
  view->installEventFilter(this);
  m_refresh.start();
  return true;
}

void CCompletionController::UpdateCatalogue() {
  // What was typed since the last idle re-index counts: a name defined a moment ago is offered.
  m_service.IndexEditsNow();
  const CLanguageIndex& index = m_service.Index();
  if (m_catalogueBuilt && m_catalogueVersion == index.Version()) return;
  m_catalogue.Build(index, [this](int file) { return m_service.IsLibraryFile(file); });
  m_catalogueVersion = index.Version();
  m_catalogueBuilt = true;
  Refilter();
}

void CCompletionController::Place() {
  m_popup->PlaceAt(m_view->TextPosToPoint(TextPosition(m_wordStart, m_line)), m_view->GetLineHeight());
}

void CCompletionController::Close() {
  if (m_view) {
    m_view->removeEventFilter(this);
    disconnect(m_view, &CTextView::cursorChanged, this, &CCompletionController::Refilter);
  }
  if (m_popup) m_popup->hide();
}

// The caret moved (a character typed or removed, a click, a key): the list follows the word,
// and closes once the caret is out of it.
void CCompletionController::Refilter() {
  if (!IsOpen() || !m_view) return;
  const CTextBuffer* buffer = m_view->GetBuffer();
  const TextPosition caret = m_view->GetCursorPosition();
  if (!buffer || caret.y != m_line || m_view->HasSelection()) return Close();
  const CCompletionSite site = FindCompletionSite(LineOf(*buffer, caret.y), caret.x, StartsInString(m_view, caret.y));
  if (site.context == ECompletionContext::None || site.wordStart != m_wordStart) return Close();
  std::vector<CCompletionItem> items = m_catalogue.Candidates(m_context, site.prefix);
  if (items.empty()) return Close();
  m_popup->SetItems(std::move(items));
  Place();
}

// The chosen name replaces the typed part of the word, in the typing's undo group.
void CCompletionController::Accept() {
  if (!IsOpen() || !m_view) return;
  const std::string name = m_popup->CurrentName();
  CTorvaneView* view = m_view;
  Close();
  CTextBuffer* buffer = view->GetBuffer();
  const TextPosition caret = view->GetCursorPosition();
  if (name.empty() || !buffer || !view->IsEditable() || caret.y != m_line || caret.x < m_wordStart) return;
  buffer->OpenUndoGroup(true);
  if (caret.x > m_wordStart) buffer->DeleteText(view, m_line, m_wordStart, m_line, caret.x, UndoAction::Typing);
  int endLine = m_line;
  int endChar = m_wordStart;
  buffer->InsertText(view, m_line, m_wordStart, name, endLine, endChar, UndoAction::Typing);
  view->MoveCaretTo(TextPosition(endChar, endLine));
  buffer->CloseUndoGroup(view);
}

bool CCompletionController::HandleKey(int key) {
  switch (key) {
  case Qt::Key_Up: m_popup->MoveCurrent(-1); break;
  case Qt::Key_Down: m_popup->MoveCurrent(1); break;
  case Qt::Key_PageUp: m_popup->MoveCurrent(-(CCompletionPopup::VISIBLE_ROWS - 1)); break;
  case Qt::Key_PageDown: m_popup->MoveCurrent(CCompletionPopup::VISIBLE_ROWS - 1); break;
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Tab: Accept(); break;
  case Qt::Key_Escape: Close(); break;
  default: return false;
  }
  return true;
}

bool CCompletionController::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_view || !IsOpen()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
  case QEvent::ShortcutOverride:
  case QEvent::KeyPress: {
    auto* key = static_cast<QKeyEvent*>(event);
    // Plain keys only: Shift+Tab, Ctrl+Enter and the like keep their meaning in the view.
    if (!IsListKey(key->key()) || (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
      return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) HandleKey(key->key());
    return true;
  }
  case QEvent::FocusOut:
    if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) Close();
    return false;
  default: return false;
  }
}
