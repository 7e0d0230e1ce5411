// The text view: creation, buffer attachment, fonts and metrics, the line caches and the
// reaction to buffer changes.
#include "text_view.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>
#include <cstdio>

QColor ColorFromRef(COLORREF colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

COLORREF RefFromColor(const QColor& colour) {
  return RgbRef(colour.red(), colour.green(), colour.blue());
}

namespace {
bool SameFaceName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}
} // namespace

QFont ResolveViewFont(const FontDescription& description, bool bold, bool italic) {
  const QFont systemFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QFont font = systemFixed;
  if (!description.faceName.empty() && !SameFaceName(description.faceName, "FixedSys")) {
    QFont named(QString::fromLatin1(description.faceName.c_str()));
    named.setStyleHint(QFont::TypeWriter);
    named.setFixedPitch(true);
    // A face that fontconfig cannot give as fixed pitch would break the cell grid.
    if (QFontInfo(named).fixedPitch()) {
      font = named;
      if (systemFixed.pixelSize() > 0)
        font.setPixelSize(systemFixed.pixelSize());
      else
        font.setPointSizeF(systemFixed.pointSizeF());
    }
  }
  if (description.height != 0) font.setPixelSize(std::abs(description.height));
  font.setBold(bold);
  font.setItalic(italic);
  font.setKerning(false);
  return font;
}

CCrystalTextView::CCrystalTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  viewport()->setMouseTracking(true);
  viewport()->setCursor(Qt::IBeamCursor);
  // Page steps on the bars move by one page less one line, like the page commands.
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    const int step = PageStep();
    if (action == QAbstractSlider::SliderPageStepAdd)
      verticalScrollBar()->setSliderPosition(m_topLine + step);
    else if (action == QAbstractSlider::SliderPageStepSub)
      verticalScrollBar()->setSliderPosition(m_topLine - step);
  });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    const int step = std::max(1, GetVisibleColumns() - 1);
    if (action == QAbstractSlider::SliderPageStepAdd)
      horizontalScrollBar()->setSliderPosition(m_firstColumn + step);
    else if (action == QAbstractSlider::SliderPageStepSub)
      horizontalScrollBar()->setSliderPosition(m_firstColumn - step);
  });
  CCrystalTextView::ResetViewState();
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
}

CCrystalTextView::~CCrystalTextView() {
  if (m_buffer) m_buffer->DetachView(this);
  m_buffer = nullptr;
}

// ---------------------------------------------------------------------------------------
// State

void CCrystalTextView::ResetViewState() {
  m_topLine = 0;
  m_firstColumn = 0;
  m_lineHeight = -1;
  m_charWidth = -1;
  ForgetLongestLine();
  m_visibleLines = -1;
  m_visibleColumns = -1;
  m_preferredColumn = -1;
  m_anchor = m_cursor = m_selStart = m_selEnd = TextPosition();
  m_drawSelStart = m_drawSelEnd = TextPosition();
  m_marginIcons = QPixmap();
  m_marginIconsLoaded = false;
  DropFonts();
  m_parseCookies.clear();
  m_parseCookies.shrink_to_fit();
  m_cookiesKnown = 0;
  m_cookiesAllocated = false;
  m_expandedLengths.clear();
  m_expandedLengths.shrink_to_fit();
  m_lengthsAllocated = false;
  if (m_dragSelecting) EndMouseSelection();
  m_horzBarLocked = false;
  m_showInactiveSelection = false;
  UpdateCaret();
  viewport()->update();
}

std::string CCrystalTextView::FormatHeaderText(int page) const {
  (void)page;
  return {};
}

std::string CCrystalTextView::FormatFooterText(int page, int pageCount) const {
  char text[64];
  std::snprintf(text, sizeof text, "Page %d/%d", page, pageCount);
  return text;
}

// ---------------------------------------------------------------------------------------
// Buffer access

void CCrystalTextView::AttachBuffer(CCrystalTextBuffer* buffer) {
  if (m_buffer) m_buffer->DetachView(this);
  if (!buffer) buffer = FindDocumentBuffer();
  m_buffer = buffer;
  if (m_buffer) m_buffer->AttachView(this);
  ResetForNewText();
}

void CCrystalTextView::DetachBuffer() {
  if (!m_buffer) return;
  m_buffer->DetachView(this);
  m_buffer = nullptr;
  ResetForNewText();
}

void CCrystalTextView::ResetForNewText() {
  ResetViewState();
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
  emit cursorChanged();
}

CCrystalTextBuffer* CCrystalTextView::FindDocumentBuffer() const { return nullptr; }

int CCrystalTextView::GetLineCount() const {
  if (!m_buffer) return 1;
  // A buffer without lines (never initialised) is shown like no buffer: one empty line.
  return std::max(1, m_buffer->LineCount());
}

int CCrystalTextView::GetLineLength(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
  return m_buffer->LineLength(line);
}

const char* CCrystalTextView::GetLineText(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return nullptr;
  return m_buffer->LineChars(line);
}

uint32_t CCrystalTextView::GetLineFlags(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
  return m_buffer->LineFlags(line);
}

void CCrystalTextView::GetTextRange(TextPosition start, TextPosition end,
                                    std::string& text) const {
  text.clear();
  if (!m_buffer || m_buffer->LineCount() == 0) return;
  start = ClampPosition(start);
  end = ClampPosition(end);
  if (end < start) std::swap(start, end);
  text = m_buffer->GetText(start.y, start.x, end.y, end.x, "\r\n");
}

uint32_t CCrystalTextView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                      int& runCount) {
  (void)cookie;
  (void)lineIndex;
  (void)runs;
  runCount = 0;
  return 0;
}

// ---------------------------------------------------------------------------------------
// Colours

COLORREF CCrystalTextView::GetStyleColor(int colourIndex) const {
  const QPalette pal = palette();
  switch (colourIndex) {
  case COLORINDEX_WHITESPACE:
  case COLORINDEX_BKGND:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Base));
  case COLORINDEX_NORMALTEXT:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Text));
  case COLORINDEX_SELMARGIN:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Button));
  case COLORINDEX_SELBKGND:
    return RgbRef(0, 0, 0);
  case COLORINDEX_SELTEXT:
    return RgbRef(255, 255, 255);
  case 6:
    return RgbRef(0, 0, 255);
  case 7:
    return RgbRef(128, 128, 128);
  case 8:
    return RgbRef(128, 0, 0);
  case 9:
    return RgbRef(0, 0, 0);
  case 11:
    return RgbRef(0, 128, 192);
  default:
    return RgbRef(255, 0, 0);
  }
}

bool CCrystalTextView::IsStyleItalic(int colourIndex) const {
  (void)colourIndex;
  return false;
}

bool CCrystalTextView::IsStyleBold(int colourIndex) const {
  (void)colourIndex;
  return false;
}

void CCrystalTextView::GetLineHighlight(int line, COLORREF& background, COLORREF& textColour,
                                        bool& fillLineEnd) const {
  const uint32_t flags = GetLineFlags(line);
  fillLineEnd = true;
  textColour = RgbRef(255, 255, 255);
  if (flags & LF_HIGHLIGHT1) {
    background = RgbRef(0, 128, 0);
  } else if (flags & LF_HIGHLIGHT2) {
    background = RgbRef(255, 0, 0);
  } else if (flags & LF_HIGHLIGHT3) {
    background = RgbRef(128, 128, 0);
  } else {
    background = CLR_NONE_REF;
    textColour = CLR_NONE_REF;
    fillLineEnd = false;
  }
}

// ---------------------------------------------------------------------------------------
// Fonts and metrics

void CCrystalTextView::SetViewFont(const FontDescription& description) {
  m_fontDescription = description;
  m_visibleLines = -1;
  m_visibleColumns = -1;
  m_lineHeight = -1;
  m_charWidth = -1;
  DropFonts();
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
  UpdateCaret();
  viewport()->update();
}

namespace {
// Glyph advances are fractional; letter spacing makes every face step exactly one cell, so
// that long lines and bold or italic runs stay on the grid.
void FitToCell(QFont& font, int cell) {
  const qreal spacing = cell - QFontMetricsF(font).horizontalAdvance(QLatin1Char('X'));
  if (std::abs(spacing) > 0.001) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
}
} // namespace

const QFont& CCrystalTextView::GetStyleFont(bool italic, bool bold) {
  const int slot = (italic ? 2 : 0) + (bold ? 1 : 0);
  if (!m_fonts[slot]) {
    auto font = std::make_unique<QFont>(ResolveViewFont(m_fontDescription, bold, italic));
    FitToCell(*font, GetCharWidth());
    m_fonts[slot] = std::move(font);
  }
  return *m_fonts[slot];
}

void CCrystalTextView::DropFonts() {
  for (auto& font : m_fonts) font.reset();
  for (auto& face : m_cellFaces) face.reset();
  for (bool& tried : m_cellFaceTried) tried = false;
}

// The cell is measured on "X" of the normal face.
void CCrystalTextView::MeasureFont() {
  const QFont normal = ResolveViewFont(m_fontDescription, false, false);
  const QFontMetrics metrics(normal);
  m_lineHeight = std::max(1, metrics.height());
  m_fontAscent = metrics.ascent();
  m_charWidth = std::max(1, qRound(QFontMetricsF(normal).horizontalAdvance(QLatin1Char('X'))));
}

int CCrystalTextView::GetLineHeight() {
  if (m_lineHeight < 0) MeasureFont();
  return m_lineHeight;
}

int CCrystalTextView::GetCharWidth() {
  if (m_charWidth < 0) MeasureFont();
  return m_charWidth;
}

int CCrystalTextView::GetVisibleLines() {
  if (m_visibleLines < 0) m_visibleLines = std::max(0, viewport()->height() / GetLineHeight());
  return m_visibleLines;
}

int CCrystalTextView::GetVisibleColumns() {
  if (m_visibleColumns < 0)
    m_visibleColumns = std::max(0, (viewport()->width() - MARGIN_WIDTH) / GetCharWidth());
  return m_visibleColumns;
}

void CCrystalTextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
    viewport()->update();
}

// ---------------------------------------------------------------------------------------
// Expanded lengths and the longest line

int CCrystalTextView::ComputeExpandedLength(int line) const {
  return CharToColumn(line, GetLineLength(line));
}

void CCrystalTextView::EnsureLengthCache() {
  const int count = BufferLineCount();
  if (!m_lengthsAllocated || static_cast<int>(m_expandedLengths.size()) != count) {
    // A size that no longer matches the text means a change passed unseen: start afresh.
    m_expandedLengths.assign(static_cast<std::size_t>(count), -1);
    m_lengthsAllocated = true;
    ForgetLongestLine();
  }
}

int CCrystalTextView::GetExpandedLineLength(int line) {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
  EnsureLengthCache();
  int32_t& entry = m_expandedLengths[static_cast<std::size_t>(line)];
  if (entry < 0) entry = ComputeExpandedLength(line);
  return entry;
}

int CCrystalTextView::GetLongestLine() {
  const int count = BufferLineCount();
  if (m_longestLine >= 0) {
    // The counts are only trusted while the cache still matches the text.
    if (static_cast<int>(m_expandedLengths.size()) == count) return m_longestLine;
    ForgetLongestLine();
  }
  m_lengthCounts.clear();
  for (int i = 0; i < count; ++i) ++m_lengthCounts[GetExpandedLineLength(i)];
  m_longestLine = m_lengthCounts.empty() ? 0 : m_lengthCounts.rbegin()->first;
  return m_longestLine;
}

void CCrystalTextView::ForgetLongestLine() {
  m_longestLine = -1;
  m_lengthCounts.clear();
}

// One line's length changed: with the counts known, move that line to its new count instead
// of walking every line again.
void CCrystalTextView::RecountLineLength(int line) {
  if (!m_lengthsAllocated || line < 0 || line >= static_cast<int>(m_expandedLengths.size()))
    return;
  int32_t& entry = m_expandedLengths[static_cast<std::size_t>(line)];
  if (m_longestLine < 0 || entry < 0) {
    entry = -1;
    ForgetLongestLine();
    return;
  }
  auto it = m_lengthCounts.find(entry);
  if (it != m_lengthCounts.end() && --it->second == 0) m_lengthCounts.erase(it);
  entry = ComputeExpandedLength(line);
  ++m_lengthCounts[entry];
  m_longestLine = m_lengthCounts.rbegin()->first;
}

// ---------------------------------------------------------------------------------------
// Parse cookies

void CCrystalTextView::EnsureCookieCache() {
  const int count = BufferLineCount();
  if (!m_cookiesAllocated || static_cast<int>(m_parseCookies.size()) != count) {
    m_parseCookies.assign(static_cast<std::size_t>(count), -1);
    m_cookiesKnown = 0;
    m_cookiesAllocated = true;
  }
}

uint32_t CCrystalTextView::GetLineCookie(int line) {
  if (line < 0 || !m_buffer) return 0;
  EnsureCookieCache();
  if (line >= static_cast<int>(m_parseCookies.size())) return 0;
  // Known entries form a prefix, so the nearest known line above is the last of the prefix.
  for (int i = m_cookiesKnown; i <= line; ++i) {
    const uint32_t previous = i == 0 ? 0u : static_cast<uint32_t>(m_parseCookies[i - 1]);
    int runCount = 0;
    m_parseCookies[static_cast<std::size_t>(i)] =
        static_cast<int32_t>(ColourLine(previous, i, nullptr, runCount));
    m_cookiesKnown = i + 1;
  }
  return static_cast<uint32_t>(m_parseCookies[static_cast<std::size_t>(line)]);
}

void CCrystalTextView::DropCachesFrom(int line) {
  line = std::max(0, line);
  const int count = BufferLineCount();
  if (m_cookiesAllocated) {
    m_cookiesKnown = std::min(m_cookiesKnown, line);
    if (static_cast<int>(m_parseCookies.size()) != count) {
      m_parseCookies.resize(static_cast<std::size_t>(count), -1);
      m_cookiesKnown = std::min(m_cookiesKnown, count);
    }
  }
  if (m_lengthsAllocated) {
    m_expandedLengths.resize(static_cast<std::size_t>(count), -1);
    for (std::size_t i = static_cast<std::size_t>(std::min(line, count));
         i < m_expandedLengths.size(); ++i)
      m_expandedLengths[i] = -1;
    ForgetLongestLine();
  }
}

// An insertion or deletion moves the cached lengths of the lines after it instead of
// forgetting them, and keeps the length counts right, so that an edit costs work in
// proportion to the lines it touches. False when the change does not fit the caches.
bool CCrystalTextView::ShiftCachesForChange(const UpdateContext& context) {
  const int count = BufferLineCount();
  const int first = context.start.y;
  const int span = context.end.y - context.start.y;
  if (first < 0 || span < 0) return false;
  const int added = context.kind == UpdateContext::Kind::Insertion ? span : 0;
  const int removed = context.kind == UpdateContext::Kind::Deletion ? span : 0;

  if (m_cookiesAllocated) {
    const int oldCount = static_cast<int>(m_parseCookies.size());
    if (oldCount + added - removed != count || first >= oldCount) return false;
  }
  if (m_lengthsAllocated) {
    const int oldCount = static_cast<int>(m_expandedLengths.size());
    if (oldCount + added - removed != count || first + removed >= oldCount) return false;
  }

  if (m_cookiesAllocated) {
    m_cookiesKnown = std::min(m_cookiesKnown, first);
    m_parseCookies.resize(static_cast<std::size_t>(count), -1);
  }
  if (m_lengthsAllocated) {
    auto begin = m_expandedLengths.begin() + first;
    if (m_longestLine >= 0) {
      for (int i = 0; i <= removed; ++i) {
        auto it = m_lengthCounts.find(begin[i]);
        if (it != m_lengthCounts.end() && --it->second == 0) m_lengthCounts.erase(it);
      }
    }
    if (removed > 0) m_expandedLengths.erase(begin + 1, begin + 1 + removed);
    if (added > 0)
      m_expandedLengths.insert(m_expandedLengths.begin() + first + 1,
                               static_cast<std::size_t>(added), -1);
    for (int i = first; i <= first + added; ++i) {
      int32_t& entry = m_expandedLengths[static_cast<std::size_t>(i)];
      if (m_longestLine >= 0) {
        entry = ComputeExpandedLength(i);
        ++m_lengthCounts[entry];
      } else {
        entry = -1;
      }
    }
    if (m_longestLine >= 0)
      m_longestLine = m_lengthCounts.empty() ? 0 : m_lengthCounts.rbegin()->first;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Buffer changes

void CCrystalTextView::OnBufferChanged(CBufferView* sourceView, const UpdateContext* context,
                                       uint32_t hints, int line) {
  (void)sourceView;
  if (hints & UPD_RESET) {
    ResetForNewText();
    return;
  }

  int firstChanged = line < 0 ? 0 : line;
  if (context) firstChanged = std::min(firstChanged, context->start.y);
  // A change inside one line alters the lines below only through that line's end cookie;
  // remember the cookie it had, so that an unchanged one keeps the lines below as they are.
  const bool withinOneLine =
      (hints & UPD_SINGLE_LINE) && !(hints & UPD_LINE_COUNT) && line >= 0 && firstChanged == line;
  const int knownBefore = m_cookiesKnown;
  const bool cookieKnownBefore = withinOneLine && m_cookiesAllocated && line < m_cookiesKnown &&
                                 line < static_cast<int>(m_parseCookies.size());
  const int32_t cookieBefore =
      cookieKnownBefore ? m_parseCookies[static_cast<std::size_t>(line)] : -1;
  bool cachesDone = false;
  if (context) cachesDone = ShiftCachesForChange(*context);
  if (!cachesDone) {
    const int count = BufferLineCount();
    const bool sizesMatch =
        (!m_cookiesAllocated || static_cast<int>(m_parseCookies.size()) == count) &&
        (!m_lengthsAllocated || static_cast<int>(m_expandedLengths.size()) == count);
    if ((hints & UPD_SINGLE_LINE) && sizesMatch && line >= 0) {
      if (m_cookiesAllocated) m_cookiesKnown = std::min(m_cookiesKnown, line);
      RecountLineLength(line);
    } else {
      DropCachesFrom(firstChanged);
    }
  }
  bool belowUnchanged = false;
  if (cookieKnownBefore && m_cookiesAllocated &&
      static_cast<int>(m_parseCookies.size()) == BufferLineCount() &&
      m_cookiesKnown == line) {
    // The line is about to be painted anyway; colour it once more here for its end cookie.
    if (static_cast<int32_t>(GetLineCookie(line)) == cookieBefore) {
      m_cookiesKnown = knownBefore;
      belowUnchanged = true;
    }
  }

  const int oldTop = m_topLine;
  if (context) {
    context->AdjustPosition(m_cursor);
    context->AdjustPosition(m_selStart);
    context->AdjustPosition(m_selEnd);
    context->AdjustPosition(m_anchor);
    if (m_draggingText) {
      context->AdjustPosition(m_draggedTextBegin);
      context->AdjustPosition(m_draggedTextEnd);
    }
    TextPosition top(0, m_topLine);
    context->AdjustPosition(top);
    m_topLine = top.y;
  }
  // Whatever the notification said, no stored position may point outside the text.
  ClampStoredPositions();
  NormalizeSelection();

  if (m_topLine != oldTop)
    viewport()->update();
  else
    InvalidateLineRange(firstChanged, belowUnchanged ? firstChanged : -1);
  UpdateCaret();

  if (hints & UPD_LINE_COUNT) UpdateVertScrollBar(false);
  // The longest line is already up to date through the length counts (or forgotten).
  if ((hints & UPD_HORZ_EXTENT) && !m_horzBarLocked) UpdateHorzScrollBar(false);
  emit cursorChanged();
}

TextPosition CCrystalTextView::ClampPosition(TextPosition position) const {
  const int count = BufferLineCount();
  if (count <= 0) return TextPosition();
  position.y = std::clamp(position.y, 0, count - 1);
  position.x = std::clamp(position.x, 0, GetLineLength(position.y));
  return position;
}

void CCrystalTextView::ClampStoredPositions() {
  m_cursor = ClampPosition(m_cursor);
  m_selStart = ClampPosition(m_selStart);
  m_selEnd = ClampPosition(m_selEnd);
  m_anchor = ClampPosition(m_anchor);
  m_draggedTextBegin = ClampPosition(m_draggedTextBegin);
  m_draggedTextEnd = ClampPosition(m_draggedTextEnd);
  m_topLine = std::clamp(m_topLine, 0, GetLineCount() - 1);
}

TextPosition CCrystalTextView::LineEndAfter(int line) const {
  if (line + 1 < GetLineCount()) return TextPosition(0, line + 1);
  return TextPosition(GetLineLength(line), line);
}

std::string CCrystalTextView::ExpandTabs(const char* chars, int offset, int count) const {
  std::string out;
  if (count <= 0 || !chars) return out;
  int column = 0;
  for (int i = 0; i < offset; ++i) column = ColumnAfter(chars[i], column);
  out.reserve(static_cast<std::size_t>(count));
  for (int i = offset; i < offset + count; ++i) {
    const int next = ColumnAfter(chars[i], column);
    if (chars[i] == '\t')
      out.append(static_cast<std::size_t>(next - column), ' ');
    else
      out.push_back(chars[i]);
    column = next;
  }
  return out;
}
