// The text view: painting lines, runs, the selection, the margin icons and the caret.
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QtGlobal>
#include <algorithm>
#include <vector>

#include "text_view.h"

// The icon strip lives in the resource library, which is linked statically: register its
// resources before the first look-up.
static void InitViewResources() { Q_INIT_RESOURCE(resources); }

namespace {
// Margin icon of a line: the first of these bits that is set gives the icon index.
struct MarginIconBit {
  uint32_t bit;
  int icon;
};
constexpr MarginIconBit kMarginIcons[] = {
    {LF_HIGHLIGHT1, 0},
    {LF_HIGHLIGHT2, 1},
    {LF_MARGIN_MARK, 2},
    {LF_NUMBERED_BOOKMARK(1), 3},
    {LF_NUMBERED_BOOKMARK(2), 4},
    {LF_NUMBERED_BOOKMARK(3), 5},
    {LF_NUMBERED_BOOKMARK(4), 6},
    {LF_NUMBERED_BOOKMARK(5), 7},
    {LF_NUMBERED_BOOKMARK(6), 8},
    {LF_NUMBERED_BOOKMARK(7), 9},
    {LF_NUMBERED_BOOKMARK(8), 10},
    {LF_NUMBERED_BOOKMARK(9), 11},
    {LF_NUMBERED_BOOKMARK(0), 12},
    {LF_BOOKMARK, 13},
    {LF_HIGHLIGHT3, 14},
};
constexpr int kMarginIconImages = 14; // index 14 has no image

const char* const kMarginIconsPath = ":/icons/margin_icons.png";
const char* const kMarginIcons2xPath = ":/icons/margin_icons@2x.png";

// Bytes are shown one cell each as ISO 8859-1; control bytes have no glyph of a cell's width,
// so they are shown as blank cells to keep the grid.
bool IsBlankCell(unsigned char byte) { return byte <= 0x20 || (byte >= 0x7F && byte < 0xA0); }

QString CellText(const std::string& bytes) {
  QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (QChar& ch : text)
    if (IsBlankCell(static_cast<unsigned char>(ch.unicode()))) ch = QLatin1Char(' ');
  return text;
}

} // namespace

const QPixmap& CTextView::MarginIcons(qreal ratio) {
  // A screen of two device pixels per pixel gets the strip drawn at twice the size, which
  // stays sharp where the small one would be blown up.
  const qreal wanted = ratio > 1.0 ? 2.0 : 1.0;
  if (m_marginIconsRatio != wanted) {
    m_marginIconsRatio = wanted;
    InitViewResources();
    QPixmap strip;
    if (wanted > 1.0 && strip.load(QString::fromLatin1(kMarginIcons2xPath)))
      strip.setDevicePixelRatio(wanted);
    else if (!strip.load(QString::fromLatin1(kMarginIconsPath)))
      qWarning("Torvane: margin icon strip %s is missing; the margin shows no icons",
               kMarginIconsPath);
    // White is the strip's transparent colour.
    if (!strip.isNull()) strip.setMask(strip.createMaskFromColor(Qt::white, Qt::MaskInColor));
    m_marginIcons = strip;
  }
  return m_marginIcons;
}

void CTextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect update = event->rect();
  const int lineHeight = GetLineHeight();
  const int width = viewport()->width();
  const int lineCount = GetLineCount();
  NormalizeSelection();

  // Only the rows that meet the update region are painted; a row is parsed only when drawn.
  const int firstRow = std::max(0, update.top() / lineHeight);
  const int lastRow = update.bottom() / lineHeight;
  for (int row = firstRow; row <= lastRow; ++row) {
    const int y = row * lineHeight;
    const int line = m_topLine + row;
    const QRect marginCell(0, y, MARGIN_WIDTH, lineHeight);
    const QRect textCell(MARGIN_WIDTH, y, std::max(0, width - MARGIN_WIDTH), lineHeight);
    const int drawn = line < lineCount ? line : -1;
    PaintMargin(painter, marginCell, drawn);
    if (!textCell.isEmpty()) PaintLine(painter, textCell, drawn);
  }

  if (!m_caretRect.isEmpty() && m_caretBlinkOn && m_caretRect.intersects(update)) {
    // The caret inverts what lies under it, so it shows on any background.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(m_caretRect, Qt::white);
  }
}

void CTextView::PaintMargin(QPainter& painter, const QRect& rect, int line) {
  painter.fillRect(rect, ColorFromRef(GetStyleColor(COLORINDEX_SELMARGIN)));
  if (line < 0) return;
  const uint32_t flags = GetLineFlags(line);
  int icon = -1;
  for (const MarginIconBit& entry : kMarginIcons) {
    if (flags & entry.bit) {
      icon = entry.icon;
      break;
    }
  }
  if (icon < 0 || icon >= kMarginIconImages) return;
  const QPixmap& icons = MarginIcons(painter.device()->devicePixelRatioF());
  if (icons.isNull() || icons.deviceIndependentSize().width() < (icon + 1) * MARGIN_ICON_SIZE)
    return;
  const qreal ratio = icons.devicePixelRatio();
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip); // a line lower than the icon cuts it
  painter.drawPixmap(QRectF(rect.left() + 2, rect.top() + (rect.height() - MARGIN_ICON_SIZE) / 2,
                            MARGIN_ICON_SIZE, MARGIN_ICON_SIZE),
                     icons,
                     QRectF(icon * MARGIN_ICON_SIZE * ratio, 0, MARGIN_ICON_SIZE * ratio,
                            MARGIN_ICON_SIZE * ratio));
  painter.restore();
}

CTextView::CellFace* CTextView::GetCellFace(int faceSlot) {
  if (m_cellFaceTried[faceSlot]) return m_cellFaces[faceSlot].get();
  m_cellFaceTried[faceSlot] = true;
  const QFont& font = GetStyleFont((faceSlot & 2) != 0, (faceSlot & 1) != 0);
  auto face = std::make_unique<CellFace>();
  face->font = QRawFont::fromFont(font);
  if (!face->font.isValid()) return nullptr;
  QString bytes(256, QLatin1Char(' '));
  for (int byte = 0; byte < 256; ++byte)
    if (!IsBlankCell(static_cast<unsigned char>(byte))) bytes[byte] = QChar(char16_t(byte));
  const QList<quint32> glyphs = face->font.glyphIndexesForString(bytes);
  if (glyphs.size() != 256) return nullptr;
  for (int byte = 0; byte < 256; ++byte) {
    if (IsBlankCell(static_cast<unsigned char>(byte))) continue;
    face->glyph[static_cast<std::size_t>(byte)] = glyphs[byte];
    // A byte the face cannot show is left to the text drawing, which falls back to another
    // face as text always does.
    if (glyphs[byte] == 0) face->fallback.set(static_cast<std::size_t>(byte));
  }
  face->run.setRawFont(face->font);
  m_cellFaces[faceSlot] = std::move(face);
  return m_cellFaces[faceSlot].get();
}

void CTextView::PaintLine(QPainter& painter, const QRect& rect, int line) {
  if (line < 0) {
    painter.fillRect(rect, ColorFromRef(GetStyleColor(COLORINDEX_WHITESPACE)));
    return;
  }
  COLORREF background = CLR_NONE_REF;
  COLORREF textColour = CLR_NONE_REF;
  bool fillLineEnd = false;
  GetLineHighlight(line, background, textColour, fillLineEnd);
  if (background == CLR_NONE_REF) background = GetStyleColor(COLORINDEX_BKGND);
  const QColor backgroundColour = ColorFromRef(background);
  const QColor endColour =
      fillLineEnd ? backgroundColour : ColorFromRef(GetStyleColor(COLORINDEX_WHITESPACE));
  const int charWidth = GetCharWidth();
  const int length = GetLineLength(line);
  const bool showSelection = ShowsSelection();

  if (length == 0) {
    QRect r = rect;
    if (showSelection && IsInOrderedSelection(m_drawSelStart, m_drawSelEnd, TextPosition(0, line))) {
      painter.fillRect(QRect(r.left(), r.top(), charWidth, r.height()).intersected(rect),
                       ColorFromRef(GetStyleColor(COLORINDEX_SELBKGND)));
      r.setLeft(r.left() + charWidth);
    }
    if (!r.isEmpty()) painter.fillRect(r, endColour);
    return;
  }

  // Only the characters whose cells meet the rectangle are coloured and drawn: from the one
  // holding its first column to the one holding its last (a tab may stick out either side).
  const char* chars = GetLineText(line);
  const int lineLeft = rect.left() - charWidth * m_firstColumn;
  const int endColumn = (rect.right() + 1 - lineLeft + charWidth - 1) / charWidth;
  int fromColumn = 0;
  int toColumn = 0;
  const int from = m_caches.CharAt(line, m_firstColumn, fromColumn);
  int to = m_caches.CharAt(line, endColumn, toColumn);
  if (to < length && toColumn < endColumn) ++to;
  if (m_spanColours.size() < static_cast<std::size_t>(to - from))
    m_spanColours.resize(static_cast<std::size_t>(to - from));
  int32_t* colours = m_spanColours.data();
  // The line's end cookie is worked out here (a pass to the end of the line) only when the
  // line below is on screen too and would ask for it; otherwise whoever needs it asks.
  const uint32_t cookieAbove = GetLineCookie(line - 1);
  const bool belowShown = line + 1 < GetLineCount() &&
                          (line + 1 - m_topLine) * GetLineHeight() < viewport()->height();
  CCookieCache* cookies = SharedCookies();
  const bool wantCookie = belowShown && cookies && !cookies->IsCookieKnown(line);
  const uint32_t cookie = ColourLineSpan(cookieAbove, line, from, to, colours, wantCookie,
                                         m_caches.ResumePointsFor(line));
  if (wantCookie) cookies->OfferCookie(m_cacheSource, line, cookie);
  if (LineNeedsChars(line)) {
    PaintCharRow(painter, rect, line, from, to, colours, fromColumn, textColour, backgroundColour,
                 endColour);
    return;
  }
  if (PaintRowFromPictures(painter, rect, line, chars, from, to, colours, fromColumn, textColour,
                           backgroundColour, endColour))
    return;

  // Glyphs may reach out of their cells (italics, some descenders): only the text cell shows.
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  // One fill for the whole row: the text's background, and past the text the line-end
  // colour when that differs. The runs then only draw glyphs on it. Neighbouring characters
  // of one colour are drawn as one run.
  painter.fillRect(rect, backgroundColour);
  QPoint origin(lineLeft + charWidth * fromColumn, rect.top());
  for (int start = from, i = from + 1; start < to; ++i) {
    if (i < to && colours[i - from] == colours[start - from]) continue;
    PaintTextRun(painter, origin, rect, colours[start - from], chars, start, i - start, line,
                 textColour);
    start = i;
  }

  QRect r = rect;
  if (origin.x() > r.left()) r.setLeft(origin.x());
  if (!r.isEmpty()) {
    if (showSelection &&
        IsInOrderedSelection(m_drawSelStart, m_drawSelEnd, TextPosition(length, line))) {
      painter.fillRect(QRect(r.left(), r.top(), charWidth, r.height()),
                       ColorFromRef(GetStyleColor(COLORINDEX_SELBKGND)));
      r.setLeft(r.left() + charWidth);
    }
    if (!r.isEmpty() && endColour != backgroundColour) painter.fillRect(r, endColour);
  }
  painter.restore();
}

bool CTextView::PaintRowFromPictures(QPainter& painter, const QRect& rect, int line,
                                            const char* chars, int from, int to,
                                            const int32_t* colours, int fromColumn,
                                            COLORREF lineTextColour, const QColor& background,
                                            const QColor& endColour) {
  // Pictures are made for this widget's own paint at its device pixel ratio; a selected
  // line keeps the run drawing. A fractional ratio (1.25, 1.5) keeps it too: cell edges would
  // fall between device pixels, where copied cells cannot match glyphs drawn in place.
  const int charWidth = GetCharWidth();
  const int lineHeight = GetLineHeight();
  // The pictures are drawn at the viewport's ratio; a paint into another device (a pixmap
  // of ratio 1 rendered from a view on a screen of ratio 2) has its own and draws glyphs.
  const qreal deviceRatio = viewport()->devicePixelRatioF();
  const int ratio = qRound(deviceRatio);
  const QTransform toDevice = painter.deviceTransform();
  if (painter.device() != viewport() || ratio < 1 || deviceRatio != ratio ||
      painter.transform().type() > QTransform::TxTranslate ||
      toDevice.type() > QTransform::TxScale || toDevice.m11() != ratio ||
      toDevice.m22() != ratio || rect.height() != lineHeight)
    return false;
  if (ShowsSelection() && m_drawSelStart != m_drawSelEnd && line >= m_drawSelStart.y &&
      line <= m_drawSelEnd.y)
    return false;
  m_cellPictures.SetCellSize(
      charWidth, lineHeight,
      m_fontAscent >= 0 ? m_fontAscent : QFontMetrics(GetStyleFont(false, false)).ascent(),
      ratio);
  const int width = rect.width();
  const int cellCount = (width + charWidth - 1) / charWidth;
  m_rowCells.assign(static_cast<std::size_t>(cellCount), nullptr);
  bool complete = true;
  int colour = -1;
  CellFace* face = nullptr;
  CCellPictures::CSet* set = nullptr;
  int column = fromColumn;
  for (int i = from; i < to; ++i) {
    const unsigned char byte = static_cast<unsigned char>(chars[i]);
    if (byte == '\t') {
      column = ColumnAfter('\t', column);
      continue;
    }
    const int cell = column++ - m_firstColumn;
    if (cell < 0 || cell >= cellCount) continue;
    if (!set || colours[i - from] != colour) {
      colour = colours[i - from];
      const int faceSlot = (IsStyleItalic(colour) ? 2 : 0) + (IsStyleBold(colour) ? 1 : 0);
      face = GetCellFace(faceSlot);
      if (!face) return false;
      const COLORREF text = lineTextColour == CLR_NONE_REF ? GetStyleColor(colour) : lineTextColour;
      set = &m_cellPictures.SetFor(face->font, faceSlot, ColorFromRef(text).rgb(), background.rgb());
    }
    if (face->fallback.test(byte)) return false;
    if (face->glyph[byte] == 0) continue; // a blank cell
    // The row is looked through for every picture it lacks, to queue them all at once.
    const CCellPictures::Picture* picture = m_cellPictures.Find(*set, byte, face->glyph[byte]);
    complete = complete && picture;
    m_rowCells[static_cast<std::size_t>(cell)] = picture;
  }
  if (m_cellPictures.HasQueued() && !m_cellPictureTimer.isActive())
    m_cellPictureTimer.start(0, this);
  if (!complete) return false;
  // Only the cells up to the end of the text (and one more for ink reaching out of the last)
  // are made as a picture; the rest of the row is one fill.
  const int textEnd = (column - m_firstColumn) * charWidth;
  const int made = std::clamp(textEnd + charWidth, 0, width);
  m_rowCells.resize(static_cast<std::size_t>((made + charWidth - 1) / charWidth));
  // The row image has the device's pixels: at ratio 2 it is twice the size and drawn 1:1.
  const QSize pixelSize = rect.size() * ratio;
  if (m_rowImage.size() != pixelSize) m_rowImage = QImage(pixelSize, QImage::Format_RGB32);
  m_rowImage.setDevicePixelRatio(ratio);
  uint32_t* bits = reinterpret_cast<uint32_t*>(m_rowImage.bits());
  const qsizetype stride = m_rowImage.bytesPerLine();
  for (int y = 0; y < pixelSize.height(); ++y)
    std::fill_n(reinterpret_cast<uint32_t*>(reinterpret_cast<uchar*>(bits) + y * stride),
                made * ratio, background.rgb());
  if (!m_cellPictures.ComposeRow(bits, stride, made * ratio, background.rgb(), m_rowCells))
    return false;
  painter.drawImage(rect.topLeft(), m_rowImage, QRect(0, 0, made * ratio, pixelSize.height()));
  // Past the text: the line-end colour, or the background up to the last made cell.
  if (made < width || (endColour != background && textEnd < width)) {
    const int left = endColour != background ? std::max(0, textEnd) : made;
    painter.fillRect(QRect(rect.left() + left, rect.top(), width - left, lineHeight),
                     endColour != background ? endColour : background);
  }
  return true;
}

void CTextView::PaintTextRun(QPainter& painter, QPoint& origin, const QRect& rect,
                                    int colourIndex, const char* chars, int offset, int count,
                                    int line, COLORREF lineTextColour) {
  if (count < 1) return;
  const int faceSlot = (IsStyleItalic(colourIndex) ? 2 : 0) + (IsStyleBold(colourIndex) ? 1 : 0);
  const QColor plainText =
      ColorFromRef(lineTextColour == CLR_NONE_REF ? GetStyleColor(colourIndex) : lineTextColour);

  if (!ShowsSelection()) {
    PaintPlainRun(painter, origin, rect, chars, offset, count, faceSlot, nullptr, plainText);
    return;
  }
  auto boundary = [&](TextPosition p) {
    if (p.y > line) return count;
    if (p.y < line) return 0;
    return std::clamp(p.x - offset, 0, count);
  };
  const int selBegin = boundary(m_drawSelStart);
  const int selEnd = std::max(selBegin, boundary(m_drawSelEnd));
  PaintPlainRun(painter, origin, rect, chars, offset, selBegin, faceSlot, nullptr, plainText);
  const QColor selBackground = ColorFromRef(GetStyleColor(COLORINDEX_SELBKGND));
  PaintPlainRun(painter, origin, rect, chars, offset + selBegin, selEnd - selBegin, faceSlot,
                &selBackground, ColorFromRef(GetStyleColor(COLORINDEX_SELTEXT)));
  PaintPlainRun(painter, origin, rect, chars, offset + selEnd, count - selEnd, faceSlot, nullptr,
                plainText);
}

// Draws characters [offset, offset + count) from origin, which stands at their first cell,
// and moves origin past them. Tabs advance to the next stop counted from the start of the
// line. Only the cells that meet rect are drawn.
void CTextView::PaintPlainRun(QPainter& painter, QPoint& origin, const QRect& rect,
                                     const char* chars, int offset, int count, int faceSlot,
                                     const QColor* fill, const QColor& text) {
  if (count < 1) return;
  const int charWidth = GetCharWidth();
  const int lineLeft = rect.left() - charWidth * m_firstColumn;
  const int startColumn = (origin.x() - lineLeft) / charWidth;
  // Cells [firstCell, endCell) are inside the rectangle (columns from the line start).
  const int firstCell = std::max(0, (rect.left() - lineLeft) / charWidth);
  const int endCell = (rect.right() + 1 - lineLeft + charWidth - 1) / charWidth;

  CellFace* face = GetCellFace(faceSlot);
  const int ascent =
      m_fontAscent >= 0 ? m_fontAscent : QFontMetrics(GetStyleFont(false, false)).ascent();
  m_runGlyphs.clear();
  m_runPositions.clear();
  bool needsText = face == nullptr;
  int column = startColumn;
  for (int i = offset; i < offset + count; ++i) {
    const unsigned char byte = static_cast<unsigned char>(chars[i]);
    if (byte == '\t') {
      column = ColumnAfter('\t', column);
      continue;
    }
    const int cell = column++;
    if (needsText || cell < firstCell || cell >= endCell) continue;
    if (face->fallback.test(byte)) {
      needsText = true;
      continue;
    }
    if (face->glyph[byte] == 0) continue; // a blank cell
    m_runGlyphs.push_back(face->glyph[byte]);
    m_runPositions.emplace_back((cell - startColumn) * charWidth, ascent);
  }
  const int runLeft = origin.x();
  const int cells = column - startColumn;
  origin.setX(runLeft + charWidth * cells);

  // The cells of the run that meet the rectangle.
  const int visibleFirst = std::max(startColumn, firstCell);
  const int visibleEnd = std::min(column, endCell);
  if (visibleEnd <= visibleFirst) return;
  if (fill) {
    painter.fillRect(QRect(lineLeft + visibleFirst * charWidth, rect.top(),
                           (visibleEnd - visibleFirst) * charWidth, rect.height()),
                     *fill);
  }
  if (painter.pen().color() != text) painter.setPen(text);
  if (!needsText) {
    if (m_runGlyphs.empty()) return;
    QGlyphRun& run = face->run;
    run.setRawData(m_runGlyphs.data(), m_runPositions.data(), static_cast<int>(m_runGlyphs.size()));
    painter.drawGlyphRun(QPointF(runLeft, rect.top()), run);
    return;
  }
  // Text drawing for a face without raw glyphs or a byte it lacks.
  const std::string expanded = ExpandTabs(chars, offset, count);
  const int skip = visibleFirst - startColumn;
  painter.setFont(GetStyleFont((faceSlot & 2) != 0, (faceSlot & 1) != 0));
  painter.drawText(QPoint(lineLeft + visibleFirst * charWidth, rect.top() + ascent),
                   CellText(expanded.substr(static_cast<std::size_t>(skip),
                                            static_cast<std::size_t>(visibleEnd - visibleFirst))));
}
