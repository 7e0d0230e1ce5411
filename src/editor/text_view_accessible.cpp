// The text view as screen readers see it: offsets over the whole text, the text interfaces
// and the events for typed, deleted and moved-over text.
#include "text_view_accessible.h"

#include <QAccessible>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "edit_view.h"
#include "line_text.h"
#include "text_encoding.h"
#include "text_view.h"

namespace {

// How a line's bytes become characters: in the buffer's encoding, counted as a QString
// counts them (a byte that is no character is the four characters of its "\xHH" escape, as
// the view shows it); a pure-ASCII line is its bytes. Everything below reaches the
// characters through these.
TextEncoding EncodingOf(const CTextView& view) {
  return view.GetBuffer() ? view.GetBuffer()->Encoding() : ENC_DEFAULT;
}
std::string_view Bytes(const char* bytes, int length) {
  return bytes && length > 0 ? std::string_view(bytes, static_cast<std::size_t>(length))
                             : std::string_view();
}
QString DecodeBytes(const char* bytes, int length, TextEncoding encoding) {
  const std::string_view line = Bytes(bytes, length);
  if (IsAscii(line)) return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
  const std::u16string text = DecodeToUtf16(line, encoding);
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
int CharacterIndexOf(const char* bytes, int length, int byteIndex, TextEncoding encoding) {
  const std::string_view line = Bytes(bytes, length);
  byteIndex = std::clamp(byteIndex, 0, static_cast<int>(line.size()));
  return IsAscii(line) ? byteIndex : Utf16OffsetOfByte(line, byteIndex, encoding);
}
int CharacterCountOf(const char* bytes, int length, TextEncoding encoding) {
  return CharacterIndexOf(bytes, length, length, encoding);
}
int ByteIndexOf(const char* bytes, int length, int characterIndex, TextEncoding encoding) {
  const std::string_view line = Bytes(bytes, length);
  if (IsAscii(line)) return std::clamp(characterIndex, 0, static_cast<int>(line.size()));
  return ByteOfUtf16Offset(line, std::max(0, characterIndex), encoding);
}

int ToOffset(int64_t value) { return static_cast<int>(std::min<int64_t>(value, INT_MAX)); }

// What word boundaries keep together: letters and digits with underscores, runs of blanks,
// runs of other characters.
int CharacterClass(QChar c) {
  if (c.isLetterOrNumber() || c == QLatin1Char('_')) return 0;
  if (c.isSpace()) return 1;
  return 2;
}

std::function<void(QAccessibleEvent*)>& Sink() {
  static std::function<void(QAccessibleEvent*)> sink;
  return sink;
}
// Events are worked out only while someone takes them, and only for the view that has its
// window's focus, the one a reader follows: a second view of the text, scrolled far below a
// change the first one made, would count every line start again for a caret nobody reads.
bool Listening(const QWidget& view) {
  return (Sink() || QAccessible::isActive()) && view.window()->focusWidget() == &view;
}
void Send(QAccessibleEvent& event) {
  if (Sink())
    Sink()(&event);
  else
    QAccessible::updateAccessibility(&event);
}
void Send(QAccessibleEvent&& event) { Send(event); }

} // namespace

// ---------------------------------------------------------------------------------------
// Offsets

CTextViewAccess::CTextViewAccess(CTextView& view) : m_view(view) {
  QObject::connect(&view, &CTextView::cursorChanged, &view, [this] { CaretChanged(); });
}

int CTextViewAccess::LineCount() const { return m_view.BufferLineCount(); }

int CTextViewAccess::LineCharacters(int line) const {
  return CharacterCountOf(m_view.GetLineText(line), m_view.GetLineLength(line), EncodingOf(m_view));
}

void CTextViewAccess::CountStartsTo(int line, int64_t offset) {
  const int lines = LineCount();
  if (lines <= 0) return;
  if (static_cast<int>(m_starts.size()) != lines) m_starts.resize(static_cast<std::size_t>(lines));
  m_known = std::min(m_known, lines - 1);
  if (m_known < 0) {
    m_starts[0] = 0;
    m_known = 0;
  }
  line = std::min(line, lines - 1);
  while (m_known < line ||
         (offset >= 0 && m_known < lines - 1 && m_starts[static_cast<std::size_t>(m_known)] <= offset)) {
    const auto k = static_cast<std::size_t>(m_known);
    m_starts[k + 1] = m_starts[k] + LineCharacters(m_known) + 1;
    ++m_known;
  }
}

void CTextViewAccess::Forget(int line) { m_known = std::min(m_known, std::max(0, line)); }

int CTextViewAccess::LineStart(int line) {
  if (line <= 0 || LineCount() <= 0) return 0;
  CountStartsTo(line);
  return ToOffset(m_starts[static_cast<std::size_t>(std::min(line, m_known))]);
}

int CTextViewAccess::CharacterCount() {
  const int lines = LineCount();
  if (lines <= 0) return 0;
  CountStartsTo(lines - 1);
  return ToOffset(m_starts[static_cast<std::size_t>(lines - 1)] + LineCharacters(lines - 1));
}

int CTextViewAccess::OffsetOf(TextPosition position) {
  const int lines = LineCount();
  if (lines <= 0) return 0;
  const int line = std::clamp(position.y, 0, lines - 1);
  const int length = m_view.GetLineLength(line);
  return LineStart(line) +
         CharacterIndexOf(m_view.GetLineText(line), length, position.x, EncodingOf(m_view));
}

TextPosition CTextViewAccess::PositionAt(int offset) {
  const int lines = LineCount();
  if (lines <= 0 || offset <= 0) return TextPosition(0, 0);
  CountStartsTo(0, offset);
  const auto known = m_starts.begin() + m_known + 1;
  const int line = static_cast<int>(std::upper_bound(m_starts.begin(), known, int64_t{offset}) -
                                    m_starts.begin()) - 1;
  const int64_t within = offset - m_starts[static_cast<std::size_t>(line)];
  const int characters = LineCharacters(line);
  const int x = static_cast<int>(std::min<int64_t>(within, characters));
  return TextPosition(
      ByteIndexOf(m_view.GetLineText(line), m_view.GetLineLength(line), x, EncodingOf(m_view)),
      line);
}

QString CTextViewAccess::LineText(int line) {
  return DecodeBytes(m_view.GetLineText(line), m_view.GetLineLength(line), EncodingOf(m_view));
}

QString CTextViewAccess::Text(int start, int end) {
  if (end < start) std::swap(start, end);
  const TextPosition from = PositionAt(start);
  const TextPosition to = PositionAt(end);
  const TextEncoding encoding = EncodingOf(m_view);
  QString out;
  for (int line = from.y; line <= to.y; ++line) {
    const char* bytes = m_view.GetLineText(line);
    const int first = line == from.y ? from.x : 0;
    const int last = line == to.y ? to.x : m_view.GetLineLength(line);
    if (bytes && last > first) out += DecodeBytes(bytes + first, last - first, encoding);
    if (line != to.y) out += QLatin1Char('\n');
  }
  return out;
}

// ---------------------------------------------------------------------------------------
// Events

void CTextViewAccess::TextRemoving(const UpdateContext& range) {
  m_removalPending = Listening(m_view);
  if (!m_removalPending) return;
  m_removalOffset = OffsetOf(range.start);
  m_removedText = Text(m_removalOffset, OffsetOf(range.end));
}

void CTextViewAccess::TextChanged(const UpdateContext* context, int line) {
  int first = std::max(0, line);
  if (context) first = std::min(first, context->start.y);
  Forget(first);
  const bool pending = m_removalPending;
  m_removalPending = false;
  if (!context || !Listening(m_view)) {
    m_removedText.clear();
    return;
  }
  if (context->kind == UpdateContext::Kind::Deletion) {
    if (pending) Send(QAccessibleTextRemoveEvent(&m_view, m_removalOffset, m_removedText));
    m_removedText.clear();
    return;
  }
  const int start = OffsetOf(context->start);
  Send(QAccessibleTextInsertEvent(&m_view, start, Text(start, OffsetOf(context->end))));
}

void CTextViewAccess::TextReplacing() {
  // The old text can be read only now: once the reset comes, its lines or its encoding are
  // gone. Only a reader's view pays for the copy.
  m_removalPending = false;
  m_resetPending = Listening(m_view);
  m_removedText = m_resetPending ? Text(0, CharacterCount()) : QString();
}

void CTextViewAccess::TextReset() {
  m_starts.clear();
  m_known = -1;
  m_removalPending = false;
  m_caretOffset = -1;
  m_selectionStart = m_selectionEnd = 0;
  // Only a text replaced under the view is news: attaching or detaching a buffer happens as
  // a view is made or goes, and the reader then reads the view afresh anyway.
  if (m_resetPending && Listening(m_view)) {
    QAccessibleTextUpdateEvent event(&m_view, 0, m_removedText, Text(0, CharacterCount()));
    Send(event);
  }
  m_resetPending = false;
  m_removedText.clear();
}

void CTextViewAccess::CaretChanged() {
  if (!Listening(m_view)) return;
  TextPosition start, end;
  m_view.GetSelectionBounds(start, end);
  const int selectionStart = OffsetOf(start);
  const int selectionEnd = OffsetOf(end);
  const int caret = OffsetOf(m_view.GetCursorPosition());
  if (selectionStart != m_selectionStart || selectionEnd != m_selectionEnd) {
    // A selection collapsing to nothing is news too; one nothing moving along is not.
    if (selectionStart != selectionEnd || m_selectionStart != m_selectionEnd) {
      QAccessibleTextSelectionEvent event(&m_view, selectionStart, selectionEnd);
      event.setCursorPosition(caret);
      Send(event);
    }
    m_selectionStart = selectionStart;
    m_selectionEnd = selectionEnd;
  }
  if (caret != m_caretOffset) {
    m_caretOffset = caret;
    Send(QAccessibleTextCursorEvent(&m_view, caret));
  }
}

// ---------------------------------------------------------------------------------------
// The interface

CTextViewAccessible::CTextViewAccessible(CTextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

CTextView* CTextViewAccessible::View() const { return static_cast<CTextView*>(widget()); }

CTextViewAccess& CTextViewAccessible::Access() const { return View()->Access(); }

bool CTextViewAccessible::Editable() const {
  const auto* edit = qobject_cast<const CEditView*>(widget());
  return edit && edit->IsEditable();
}

void* CTextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface)
    return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CTextViewAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.multiLine = true;
  state.selectableText = true;
  state.focusable = true;
  state.editable = Editable();
  state.readOnly = !state.editable;
  return state;
}

QString CTextViewAccessible::text(QAccessible::Text type) const {
  if (type == QAccessible::Name) {
    QString name = QAccessibleWidget::text(type);
    // Unnamed, a view is called after the window it shows a document in.
    for (const QWidget* w = widget(); name.isEmpty() && w; w = w->parentWidget())
      name = w->windowTitle().remove(QStringLiteral("[*]")).trimmed();
    return name;
  }
  if (type == QAccessible::Value) {
    // The whole text only while it is small; a reader takes larger ones through the text
    // interface, a piece at a time.
    constexpr int VALUE_LIMIT = 1 << 20;
    const int count = Access().CharacterCount();
    return count <= VALUE_LIMIT ? Access().Text(0, count) : QString();
  }
  return QAccessibleWidget::text(type);
}

void CTextViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !View()->HasSelection()) return;
  TextPosition start, end;
  View()->GetSelectionBounds(start, end);
  *startOffset = Access().OffsetOf(start);
  *endOffset = Access().OffsetOf(end);
}

int CTextViewAccessible::selectionCount() const { return View()->HasSelection() ? 1 : 0; }

void CTextViewAccessible::addSelection(int startOffset, int endOffset) {
  if (!View()->HasSelection()) Select(startOffset, endOffset);
}

void CTextViewAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex != 0) return;
  const TextPosition caret = View()->GetCursorPosition();
  View()->SetAnchor(caret);
  View()->SetSelection(caret, caret);
}

void CTextViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0) Select(startOffset, endOffset);
}

void CTextViewAccessible::Select(int startOffset, int endOffset) {
  CTextView* view = View();
  const TextPosition start = Access().PositionAt(startOffset);
  const TextPosition end = Access().PositionAt(endOffset);
  view->PlaceCursor(end);
  view->SetAnchor(start);
  view->SetSelection(start, end);
  view->ScrollIntoView(end);
}

int CTextViewAccessible::cursorPosition() const {
  return Access().OffsetOf(View()->GetCursorPosition());
}

void CTextViewAccessible::setCursorPosition(int position) { Select(position, position); }

QString CTextViewAccessible::text(int startOffset, int endOffset) const {
  return Access().Text(startOffset, endOffset);
}

void CTextViewAccessible::UnitAt(int offset, QAccessible::TextBoundaryType boundaryType,
                                 int& start, int& end) const {
  CTextViewAccess& access = Access();
  const int count = access.CharacterCount();
  offset = std::clamp(offset, 0, count);
  if (boundaryType == QAccessible::NoBoundary) {
    start = 0;
    end = count;
    return;
  }
  if (boundaryType == QAccessible::CharBoundary) {
    start = offset;
    end = std::min(offset + 1, count);
    return;
  }
  const TextPosition position = access.PositionAt(offset);
  const int lineStart = access.LineStart(position.y);
  if (boundaryType != QAccessible::WordBoundary) {
    // Lines, and the sentences and paragraphs of a source, which are its lines: up to the
    // start of the next line.
    start = lineStart;
    end = position.y + 1 < View()->BufferLineCount() ? access.LineStart(position.y + 1) : count;
    return;
  }
  const QString line = access.LineText(position.y);
  const int at = offset - lineStart;
  if (at >= line.size()) { // the line break
    start = offset;
    end = std::min(offset + 1, count);
    return;
  }
  const int kind = CharacterClass(line[at]);
  int first = at;
  int last = at + 1;
  while (first > 0 && CharacterClass(line[first - 1]) == kind) --first;
  while (last < line.size() && CharacterClass(line[last]) == kind) ++last;
  start = lineStart + first;
  end = lineStart + last;
}

QString CTextViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const {
  UnitAt(offset, boundaryType, *startOffset, *endOffset);
  return Access().Text(*startOffset, *endOffset);
}

QString CTextViewAccessible::textBeforeOffset(int offset,
                                              QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const {
  int start = 0, end = 0;
  UnitAt(offset, boundaryType, start, end);
  if (start <= 0) {
    *startOffset = *endOffset = 0;
    return QString();
  }
  return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString CTextViewAccessible::textAfterOffset(int offset,
                                             QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
  const int count = Access().CharacterCount();
  int start = 0, end = 0;
  UnitAt(offset, boundaryType, start, end);
  if (end >= count || end <= start) {
    *startOffset = *endOffset = count;
    return QString();
  }
  return textAtOffset(end, boundaryType, startOffset, endOffset);
}

int CTextViewAccessible::characterCount() const { return Access().CharacterCount(); }

QRect CTextViewAccessible::characterRect(int offset) const {
  CTextView* view = View();
  const TextPosition position = Access().PositionAt(offset);
  const TextPosition next = Access().PositionAt(offset + 1);
  const QPoint topLeft = view->TextPosToPoint(position);
  // A tab is as wide as the cells it covers; the line break, one cell.
  const int columns = next.y == position.y && next.x > position.x
                          ? view->CharToColumn(next) - view->CharToColumn(position)
                          : 1;
  const QRect local(topLeft, QSize(columns * view->GetCharWidth(), view->GetLineHeight()));
  return QRect(view->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int CTextViewAccessible::offsetAtPoint(const QPoint& point) const {
  CTextView* view = View();
  const QPoint local = view->viewport()->mapFromGlobal(point);
  if (!view->viewport()->rect().contains(local) || local.x() < view->GetMarginWidth()) return -1;
  return Access().OffsetOf(view->PointToTextPos(local));
}

void CTextViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
  View()->ScrollIntoView(Access().PositionAt(endIndex));
  View()->ScrollIntoView(Access().PositionAt(startIndex));
}

QString CTextViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  (void)offset;
  // No attributes anywhere: the whole text is one run.
  *startOffset = 0;
  *endOffset = Access().CharacterCount();
  return QString();
}

void CTextViewAccessible::deleteText(int startOffset, int endOffset) {
  replaceText(startOffset, endOffset, QString());
}

void CTextViewAccessible::insertText(int offset, const QString& text) {
  replaceText(offset, offset, text);
}

void CTextViewAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
  CTextBuffer* buffer = View()->GetBuffer();
  if (!Editable() || !buffer) return;
  if (endOffset < startOffset) std::swap(startOffset, endOffset);
  const TextPosition start = Access().PositionAt(startOffset);
  const TextPosition end = Access().PositionAt(endOffset);
  // Text comes in as typed text does: the document's bytes, CR LF between lines.
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  std::string bytes;
  EncodeForBuffer(*buffer, lines.replace(QLatin1Char('\n'), QLatin1String("\r\n")), bytes);
  buffer->OpenUndoGroup(false);
  if (start != end) buffer->DeleteText(View(), start.y, start.x, end.y, end.x, UndoAction::Delete);
  if (!bytes.empty()) {
    int endLine = 0, endChar = 0;
    buffer->InsertText(View(), start.y, start.x, bytes, endLine, endChar, UndoAction::Paste);
  }
  buffer->CloseUndoGroup(View());
}

// ---------------------------------------------------------------------------------------
// Installation

namespace {
QAccessibleInterface* TextViewFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("CTextView")) return nullptr;
  auto* view = qobject_cast<CTextView*>(object);
  return view ? new CTextViewAccessible(view) : nullptr;
}
} // namespace

void SetAccessEventSink(std::function<void(QAccessibleEvent*)> sink) { Sink() = std::move(sink); }

void InstallTextViewAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(TextViewFactory);
    return true;
  }();
  (void)installed;
}
