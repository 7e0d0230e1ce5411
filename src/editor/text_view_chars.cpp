// The text view: lines read as characters of the text's encoding. A line of a UTF-8 (or
// other non-ISO 8859-1) text that holds non-ASCII bytes is stepped, measured and drawn unit
// by unit here; every other line keeps the byte-per-cell paths.
#include <QPainter>
#include <algorithm>
#include <string_view>

#include "line_text.h"
#include "message_box.h"
#include "text_view.h"

namespace {
// Escapes (bytes that form no character) are drawn in this colour, so that they stand out
// from text that merely looks like an escape.
const QColor ESCAPE_COLOUR(0xC0, 0x00, 0x00);

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }
} // namespace

TextEncoding CTextView::GetEncoding() const {
  return m_buffer ? m_buffer->Encoding() : ENC_DEFAULT;
}

bool CTextView::LineNeedsChars(int line) const {
  const char* chars = GetLineText(line);
  return chars && NeedsCharColumns(chars, GetLineLength(line), GetEncoding());
}

int CTextView::NextCharPos(int line, int x) const {
  const char* chars = GetLineText(line);
  if (!chars) return x;
  return NextCluster(std::string_view(chars, static_cast<size_t>(GetLineLength(line))), x, GetEncoding());
}

int CTextView::PrevCharPos(int line, int x) const {
  const char* chars = GetLineText(line);
  if (!chars) return std::max(0, x - 1);
  return PrevCluster(std::string_view(chars, static_cast<size_t>(GetLineLength(line))), x, GetEncoding());
}

int CTextView::CharStartPos(int line, int x) const {
  const char* chars = GetLineText(line);
  if (!chars) return x;
  return ClusterStart(std::string_view(chars, static_cast<size_t>(GetLineLength(line))), x, GetEncoding());
}

int CTextView::PrevUnitPos(int line, int x) const {
  const char* chars = GetLineText(line);
  if (!chars) return std::max(0, x - 1);
  return PrevUnit(std::string_view(chars, static_cast<size_t>(GetLineLength(line))), x, GetEncoding());
}

bool CTextView::IsWordByte(char c) const {
  // In a text of characters every byte of a non-ASCII character belongs to a word (é, λ, д
  // are letters), which also keeps word moves on character boundaries.
  return IsWordChar(c) || ((static_cast<unsigned char>(c) & 0x80) && GetEncoding() == TextEncoding::Utf8);
}

int CTextView::ColumnToCharUnits(int line, int column) const {
  const char* chars = GetLineText(line);
  const int length = GetLineLength(line);
  int start = 0;
  const int i = CharAtColumnUnits(chars, length, column - 1, start, GetEncoding());
  if (i >= length) return length;
  int next = i;
  const int reached = ColumnAfterUnit(std::string_view(chars, static_cast<size_t>(length)), next,
                                      start, GetEncoding(), TAB_SIZE);
  // Past the middle of a unit wider than a cell (a tab, a wide character, an escape) is after it.
  return reached - std::max(1, (reached - start) / 2) < column ? next : i;
}

TextPosition CTextView::PointToTextPosUnits(int line, int column) const {
  const char* chars = GetLineText(line);
  const int length = GetLineLength(line);
  int start = 0;
  return TextPosition(CharAtColumnUnits(chars, length, column, start, GetEncoding()), line);
}

TextPosition CTextView::NearestTextPosUnits(int line, int x) {
  const std::string_view bytes(GetLineText(line), static_cast<size_t>(GetLineLength(line)));
  const double column = std::max(0.0, double(x - MARGIN_WIDTH) / GetCharWidth() + m_firstColumn);
  int start = 0;
  int pos = CharAtColumnUnits(bytes.data(), static_cast<int>(bytes.size()), static_cast<int>(column),
                              start, GetEncoding());
  if (pos >= static_cast<int>(bytes.size())) return TextPosition(pos, line);
  const int unitStart = pos;
  const int next = ColumnAfterUnit(bytes, pos, start, GetEncoding(), TAB_SIZE);
  return TextPosition(column >= (start + next) / 2.0 ? pos : unitStart, line);
}

// Draws the characters [from, to) of a line of characters, the first standing at fromColumn,
// one cluster at a time on the cell grid: a character with its combining marks in its cell
// (two for a wide one), so that the font puts the marks over it, an escape as "\xHH" per
// byte in the escape colour, tabs and controls as blank cells.
void CTextView::PaintCharRow(QPainter& painter, const QRect& rect, int line, int from, int to,
                             const int32_t* colours, int fromColumn, COLORREF lineTextColour,
                             const QColor& background, const QColor& endColour) {
  const std::string_view bytes(GetLineText(line), static_cast<size_t>(GetLineLength(line)));
  const TextEncoding encoding = GetEncoding();
  const int charWidth = GetCharWidth();
  const int lineLeft = rect.left() - charWidth * m_firstColumn;
  const int ascent =
      m_fontAscent >= 0 ? m_fontAscent : QFontMetrics(GetStyleFont(false, false)).ascent();
  const bool showSelection = ShowsSelection();
  const QColor selBackground = ColorFromRef(GetStyleColor(COLORINDEX_SELBKGND));
  const QColor selText = ColorFromRef(GetStyleColor(COLORINDEX_SELTEXT));

  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.fillRect(rect, background);
  int column = fromColumn;
  int faceSlot = -1;
  QString text;
  for (int pos = from; pos < to;) {
    const int start = pos;
    const CharUnit unit = UnitAt(bytes, pos, encoding);
    const int next = ColumnAfterUnit(bytes, pos, column, encoding, TAB_SIZE);
    const int x = lineLeft + column * charWidth;
    const int width = (next - column) * charWidth;
    column = next;
    if (x >= rect.right() + 1) break;
    if (x + width <= rect.left()) continue;
    const bool selected = showSelection &&
                          IsInOrderedSelection(m_drawSelStart, m_drawSelEnd, TextPosition(start, line));
    if (selected) painter.fillRect(QRect(x, rect.top(), width, rect.height()), selBackground);
    if (!unit.escape && (IsControl(unit.code) || (unit.code == ' ' && pos == start + 1))) continue;
    const int colour = colours[start - from];
    const int slot = (IsStyleItalic(colour) ? 2 : 0) + (IsStyleBold(colour) ? 1 : 0);
    if (slot != faceSlot) {
      faceSlot = slot;
      painter.setFont(GetStyleFont((slot & 2) != 0, (slot & 1) != 0));
    }
    QColor pen = selected ? selText
                 : unit.escape ? ESCAPE_COLOUR
                 : ColorFromRef(lineTextColour == CLR_NONE_REF ? GetStyleColor(colour) : lineTextColour);
    if (painter.pen().color() != pen) painter.setPen(pen);
    text.clear();
    if (unit.escape) {
      const std::u16string escape = DecodeToUtf16(bytes.substr(start, unit.length), TextEncoding::Ascii);
      text = QString(reinterpret_cast<const QChar*>(escape.data()), static_cast<qsizetype>(escape.size()));
      // An escape is drawn a cell per character of its text, like any ASCII text.
      for (int i = 0; i < text.size(); ++i)
        painter.drawText(QPoint(x + i * charWidth, rect.top() + ascent), QString(text[i]));
      continue;
    }
    if (pos == start + unit.length) {
      const char32_t code = unit.code;
      text = code >= 0x10000 ? QString::fromUcs4(&code, 1) : QString(QChar(char16_t(code)));
      if (!IsCombiningMark(code)) {
        painter.drawText(QPoint(x, rect.top() + ascent), text);
        continue;
      }
    } else {
      // A character with marks: the font's composed letter where it has one (e and U+0301
      // draw as é); marks left over are centred over the cell by their ink, as fixed-pitch
      // fonts often give a mark a cell of its own.
      text = DecodedQString(bytes.substr(start, pos - start), encoding).normalized(QString::NormalizationForm_C);
    }
    PaintCluster(painter, text, x, width, rect.top() + ascent);
  }

  // Past the text: the line end's place in the selection, then the line-end colour.
  const int length = static_cast<int>(bytes.size());
  if (to >= length) {
    QRect r = rect;
    r.setLeft(std::max(rect.left(), lineLeft + column * charWidth));
    if (!r.isEmpty() && showSelection &&
        IsInOrderedSelection(m_drawSelStart, m_drawSelEnd, TextPosition(length, line))) {
      painter.fillRect(QRect(r.left(), r.top(), charWidth, r.height()), selBackground);
      r.setLeft(r.left() + charWidth);
    }
    if (!r.isEmpty() && endColour != background) painter.fillRect(r, endColour);
  }
  painter.restore();
}

void CTextView::PaintCluster(QPainter& painter, const QString& cluster, int x, int width, int baseline) {
  const QFontMetrics metrics(painter.font());
  for (qsizetype i = 0; i < cluster.size(); ++i) {
    const bool pair = cluster[i].isHighSurrogate() && i + 1 < cluster.size();
    const QString one = cluster.mid(i, pair ? 2 : 1);
    if (!IsCombiningMark(one.toUcs4().value(0))) {
      painter.drawText(QPoint(x, baseline), one);
    } else {
      const QRect ink = metrics.boundingRect(cluster[i]);
      painter.drawText(QPoint(x + (width - ink.width()) / 2 - ink.left(), baseline), one);
    }
    if (pair) ++i;
  }
}

bool CTextView::TypeText(const QString& text) {
  QString typed;
  for (QChar ch : text)
    if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F) typed += ch;
  if (typed.isEmpty() || !m_buffer) return false;
  std::string bytes;
  // Only characters the file's character set can hold are typed; others are refused.
  if (!EncodeForBuffer(*m_buffer, typed, bytes)) return false;
  OnTypedBytes(bytes);
  return true;
}

void CTextView::ReportUnconvertible(const QString& characters) const {
  QString shown = characters.left(40);
  if (characters.size() > 40) shown += QStringLiteral("...");
  TorvaneMessageBox(QStringLiteral("The text holds characters that %1 cannot store:\n%2\n"
                                   "Nothing was inserted. File > Convert Encoding can make this "
                                   "file UTF-8.")
                        .arg(QString::fromLatin1(EncodingName(GetEncoding())), shown),
                    MB_OK | MB_ICONEXCLAMATION);
}
