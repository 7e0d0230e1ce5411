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
#include <typeinfo>
#include <cstdio>

#include "text_view_accessible.h"

CTextView::CTextView(QWidget* parent)
    : QAbstractScrollArea(parent), m_access(std::make_unique<CTextViewAccess>(*this)) {
  InstallTextViewAccessibility();
  DeclareCommands();
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
  CTextView::ResetViewState();
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
}

CTextView::~CTextView() {
  if (m_buffer) m_buffer->DetachView(this);
  m_buffer = nullptr;
}

// ---------------------------------------------------------------------------------------
// State

void CTextView::ResetViewState() {
  m_topLine = 0;
  m_firstColumn = 0;
  m_lineHeight = -1;
  m_charWidth = -1;
  m_visibleLines = -1;
  m_visibleColumns = -1;
  m_preferredColumn = -1;
  m_anchor = m_cursor = m_selStart = m_selEnd = TextPosition();
  m_drawSelStart = m_drawSelEnd = TextPosition();
  m_marginIcons = QPixmap();
  m_marginIconsRatio = 0;
  DropFonts();
  m_caches.Clear();
  m_longestWalkTimer.stop();
  m_spanColours = {};
  m_runScratch = {};
  if (m_dragSelecting) EndMouseSelection();
  m_horzBarLocked = false;
  m_showInactiveSelection = false;
  m_searchRemembered = false;
  m_lastSearchFlags = 0;
  m_lastSearchText.clear();
  UpdateCaret();
  viewport()->update();
}

std::string CTextView::FormatHeaderText(int page) const {
  (void)page;
  return {};
}

std::string CTextView::FormatFooterText(int page, int pageCount) const {
  char text[64];
  std::snprintf(text, sizeof text, "Page %d/%d", page, pageCount);
  return text;
}

// ---------------------------------------------------------------------------------------
// Buffer access

void CTextView::AttachBuffer(CTextBuffer* buffer) {
  if (m_buffer) m_buffer->DetachView(this);
  if (!buffer) buffer = FindDocumentBuffer();
  m_buffer = buffer;
  if (m_buffer) m_buffer->AttachView(this);
  ResetForNewText();
}

void CTextView::DetachBuffer() {
  if (!m_buffer) return;
  m_buffer->DetachView(this);
  m_buffer = nullptr;
  ResetForNewText();
}

void CTextView::ResetForNewText() {
  m_access->TextReset();
  ResetViewState();
  UpdateVertScrollBar(false);
  UpdateHorzScrollBar(false);
  emit cursorChanged();
}

CTextBuffer* CTextView::FindDocumentBuffer() const { return nullptr; }

int CTextView::GetLineCount() const {
  if (!m_buffer) return 1;
  // A buffer without lines (never initialised) is shown like no buffer: one empty line.
  return std::max(1, m_buffer->LineCount());
}

int CTextView::GetLineLength(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
  return m_buffer->LineLength(line);
}

const char* CTextView::GetLineText(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return nullptr;
  return m_buffer->LineChars(line);
}

uint32_t CTextView::GetLineFlags(int line) const {
  if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
  return m_buffer->LineFlags(line);
}

void CTextView::GetTextRange(TextPosition start, TextPosition end,
                                    std::string& text) const {
  text.clear();
  if (!m_buffer || m_buffer->LineCount() == 0) return;
  start = ClampPosition(start);
  end = ClampPosition(end);
  if (end < start) std::swap(start, end);
  text = m_buffer->GetText(start.y, start.x, end.y, end.x, "\r\n");
}

uint32_t CTextView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                      int& runCount) {
  (void)cookie;
  (void)lineIndex;
  (void)runs;
  runCount = 0;
  return 0;
}

void CTextView::ColourLineCookies(uint32_t cookie, int first, int count,
                                         uint32_t* cookies) {
  for (int i = 0; i < count; ++i) {
    int runCount = 0;
    cookies[i] = cookie = ColourLine(cookie, first + i, nullptr, runCount);
  }
}

uint32_t CTextView::ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to,
                                          int32_t* colours, bool wholeLine,
                                          ColourResumePoints* resume) {
  (void)wholeLine;
  (void)resume;
  const int length = GetLineLength(lineIndex);
  const int capacity = 3 * length;
  if (m_runScratch.size() < static_cast<std::size_t>(capacity))
    m_runScratch.resize(static_cast<std::size_t>(capacity));
  StyleRun* runs = m_runScratch.data();
  int runCount = 0;
  const uint32_t endCookie = ColourLine(cookie, lineIndex, runs, runCount);
  // A colouring that reports more runs than it was given room for, or positions outside the
  // line or out of order, must not make us read past the line.
  runCount = std::clamp(runCount, 0, capacity);
  int run = 0;
  int reached = 0; // the runs' positions, kept in order and inside the line
  int colour = COLORINDEX_NORMALTEXT;
  for (int i = from; i < to; ++i) {
    while (run < runCount && (reached = std::clamp(runs[run].charPos, reached, length)) <= i)
      colour = runs[run++].colourIndex;
    colours[i - from] = colour;
  }
  return endCookie;
}

// ---------------------------------------------------------------------------------------
// Colours

COLORREF CTextView::GetStyleColor(int colourIndex) const {
  const QPalette pal = palette();
  switch (colourIndex) {
  case COLORINDEX_WHITESPACE:
  case COLORINDEX_BKGND:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Base));
  case COLORINDEX_NORMALTEXT:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Text));
  case COLORINDEX_SELMARGIN:
    return RefFromColor(pal.color(QPalette::Active, QPalette::Button));
  case COLORINDEX_SELBKGND: // the desktop's selection, which a dark theme keeps visible
    return RefFromColor(pal.color(QPalette::Active, QPalette::Highlight));
  case COLORINDEX_SELTEXT:
    return RefFromColor(pal.color(QPalette::Active, QPalette::HighlightedText));
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

bool CTextView::IsStyleItalic(int colourIndex) const {
  (void)colourIndex;
  return false;
}

bool CTextView::IsStyleBold(int colourIndex) const {
  (void)colourIndex;
  return false;
}

void CTextView::GetLineHighlight(int line, COLORREF& background, COLORREF& textColour,
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

void CTextView::SetViewFont(const FontDescription& description) {
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

const QFont& CTextView::GetStyleFont(bool italic, bool bold) {
  const int slot = (italic ? 2 : 0) + (bold ? 1 : 0);
  if (!m_fonts[slot]) {
    auto font = std::make_unique<QFont>(ResolveViewFont(m_fontDescription, bold, italic));
    FitToCell(*font, GetCharWidth());
    m_fonts[slot] = std::move(font);
  }
  return *m_fonts[slot];
}

void CTextView::DropFonts() {
  for (auto& font : m_fonts) font.reset();
  for (auto& face : m_cellFaces) face.reset();
  for (bool& tried : m_cellFaceTried) tried = false;
  m_cellPictures.Clear();
}

// The cell is measured on "X" of the normal face.
void CTextView::MeasureFont() {
  const QFont normal = ResolveViewFont(m_fontDescription, false, false);
  const QFontMetrics metrics(normal);
  m_lineHeight = std::max(1, metrics.height());
  m_fontAscent = metrics.ascent();
  m_charWidth = std::max(1, qRound(QFontMetricsF(normal).horizontalAdvance(QLatin1Char('X'))));
}

int CTextView::GetLineHeight() {
  if (m_lineHeight < 0) MeasureFont();
  return m_lineHeight;
}

int CTextView::GetCharWidth() {
  if (m_charWidth < 0) MeasureFont();
  return m_charWidth;
}

int CTextView::GetVisibleLines() {
  if (m_visibleLines < 0) m_visibleLines = std::max(0, viewport()->height() / GetLineHeight());
  return m_visibleLines;
}

int CTextView::GetVisibleColumns() {
  if (m_visibleColumns < 0)
    m_visibleColumns = std::max(0, (viewport()->width() - MARGIN_WIDTH) / GetCharWidth());
  return m_visibleColumns;
}

void CTextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
    viewport()->update();
}

// ---------------------------------------------------------------------------------------
// Line caches

uint32_t CTextView::CCacheSource::CookieColourLine(uint32_t cookie, int line) {
  int runCount = 0;
  return m_view.ColourLine(cookie, line, nullptr, runCount);
}

CCookieCache* CTextView::SharedCookies() const {
  return m_buffer ? &m_buffer->CookieCache(&typeid(*this)) : nullptr;
}

int CTextView::GetExpandedLineLength(int line) {
  if (!m_buffer) return 0;
  return m_caches.ExpandedLength(line);
}

int CTextView::GetLongestLine() { return m_buffer ? m_caches.LongestLine() : 0; }

uint32_t CTextView::GetLineCookie(int line) {
  CCookieCache* cookies = SharedCookies();
  return line < 0 || !cookies ? 0 : cookies->Cookie(m_cacheSource, line);
}

// ---------------------------------------------------------------------------------------
// Buffer changes

void CTextView::OnBufferChanged(CBufferView* sourceView, const UpdateContext* context,
                                       uint32_t hints, int line) {
  (void)sourceView;
  if (hints & UPD_RESET) {
    ResetForNewText();
    return;
  }

  int firstChanged = line < 0 ? 0 : line;
  if (context) firstChanged = std::min(firstChanged, context->start.y);
  bool followed = false;
  if (context) {
    const int span = context->end.y - context->start.y;
    const bool insertion = context->kind == UpdateContext::Kind::Insertion;
    followed = m_caches.TextChanged(context->start.y, insertion ? span : 0, insertion ? 0 : span,
                                    context->start.x);
  } else if ((hints & UPD_SINGLE_LINE) && line >= 0) {
    followed = m_caches.TextChanged(line, 0, 0);
  }
  if (!followed) m_caches.DropFrom(firstChanged);
  // A change inside one line alters the lines below only through that line's end cookie.
  // The line is about to be painted anyway: colour it once more here, and when its end
  // cookie is what it was, repaint only the line. A long line is left to the paint (which
  // colours it once, and keeps the cookies below when the end cookie turns out unchanged);
  // everything below it is repainted then.
  const bool withinOneLine = followed && (hints & UPD_SINGLE_LINE) &&
                             !(hints & UPD_LINE_COUNT) && line >= 0 && firstChanged == line;
  const bool belowUnchanged = withinOneLine && GetLineLength(line) <= RECHECK_LINE_LENGTH &&
                              SharedCookies()->LineKeepsItsCookie(m_cacheSource, line);

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
  m_access->TextChanged(context, line);
  emit cursorChanged();
}

void CTextView::OnTextRemoving(const UpdateContext& range) { m_access->TextRemoving(range); }
void CTextView::OnTextReplacing() { m_access->TextReplacing(); }

TextPosition CTextView::ClampPosition(TextPosition position) const {
  const int count = BufferLineCount();
  if (count <= 0) return TextPosition();
  position.y = std::clamp(position.y, 0, count - 1);
  position.x = CharStartPos(position.y, std::clamp(position.x, 0, GetLineLength(position.y)));
  return position;
}

void CTextView::ClampStoredPositions() {
  m_cursor = ClampPosition(m_cursor);
  m_selStart = ClampPosition(m_selStart);
  m_selEnd = ClampPosition(m_selEnd);
  m_anchor = ClampPosition(m_anchor);
  m_draggedTextBegin = ClampPosition(m_draggedTextBegin);
  m_draggedTextEnd = ClampPosition(m_draggedTextEnd);
  m_topLine = std::clamp(m_topLine, 0, GetLineCount() - 1);
}

TextPosition CTextView::LineEndAfter(int line) const {
  if (line + 1 < GetLineCount()) return TextPosition(0, line + 1);
  return TextPosition(GetLineLength(line), line);
}

std::string CTextView::ExpandTabs(const char* chars, int offset, int count) const {
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
