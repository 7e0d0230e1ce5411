#include "torvane_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "colouring.h"
#include "command_ids.h"
#include "command_binder.h"
#include "command_router.h"
#include "menu_table.h"
#include "style_table.h"
#include "text_buffer.h"
#include "torvane_doc.h"

namespace {
bool InStyleTable(int colourIndex) {
  return colourIndex >= 0 && colourIndex < CStyleTable::STYLE_COUNT;
}
} // namespace

bool IsFileDrop(const QMimeData* data) {
  if (!data || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return true;
  return false;
}

CTorvaneView::CTorvaneView(QWidget* parent) : CEditView(parent) {}

CTorvaneView::~CTorvaneView() {
  SetStyleTable(nullptr);
  // Leave the buffer's list of views before the view is gone.
  DetachBuffer();
}

FontDescription CTorvaneView::DocumentFont() {
  FontDescription font;
  font.faceName = "Courier New";
  font.height = 0;
  font.weight = 400;
  font.italic = false;
  font.charSet = 0;
  return font;
}

CTorvaneDoc* CTorvaneView::GetDocument() const {
  return static_cast<CTorvaneDoc*>(CView::GetDocument());
}

void CTorvaneView::SetStyleTable(CStyleTable* styles) {
  if (m_styles) m_styles->RemoveListener(m_stylesListener);
  m_styles = styles;
  m_stylesListener = 0;
  if (m_styles) m_stylesListener = m_styles->AddListener([this] { viewport()->update(); });
  viewport()->update();
}

const CStyleTable& CTorvaneView::Styles() const {
  return m_styles ? *m_styles : DefaultStyleTable();
}

CTextBuffer* CTorvaneView::FindDocumentBuffer() const {
  if (CTorvaneDoc* document = GetDocument()) return &document->Buffer();
  return m_documentBuffer;
}

void CTorvaneView::SetCommandBinder(CCommandBinder* binder) {
  m_binder = binder;
  if (binder) binder->Register(*this);
}

CCommandBinder& CTorvaneView::Binder() { return m_binder ? *m_binder : m_ownBinder.Get(); }

void CTorvaneView::RouteCommand(int id) {
  if (m_binder)
    m_binder->Router().Execute(id);
  else
    CEditView::RouteCommand(id);
}

void CTorvaneView::OnInitialUpdate() {
  CEditView::OnInitialUpdate();
  CTorvaneDoc* document = GetDocument();
  SetViewFont(document ? document->Font() : DocumentFont());
}

COLORREF CTorvaneView::GetStyleColor(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CEditView::GetStyleColor(colourIndex);
  return Styles().GetColour(colourIndex);
}

bool CTorvaneView::IsStyleBold(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CEditView::IsStyleBold(colourIndex);
  return Styles().IsBold(colourIndex);
}

bool CTorvaneView::IsStyleItalic(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CEditView::IsStyleItalic(colourIndex);
  return Styles().IsItalic(colourIndex);
}

uint32_t CTorvaneView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                  int& runCount) {
  const char* text = GetLineText(lineIndex);
  const int length = text ? GetLineLength(lineIndex) : 0;
  return ::ColourLine(cookie, lineIndex, text ? text : "", length, runs, runCount);
}

// Opening a large text at its end colours every line above once: without a virtual call
// per line.
void CTorvaneView::ColourLineCookies(uint32_t cookie, int first, int count, uint32_t* cookies) {
  for (int i = 0; i < count; ++i) {
    int runCount = 0;
    cookies[i] = cookie = CTorvaneView::ColourLine(cookie, first + i, nullptr, runCount);
  }
}

uint32_t CTorvaneView::ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to,
                                      int32_t* colours, bool wholeLine,
                                      ColourResumePoints* resume) {
  const char* text = GetLineText(lineIndex);
  const int length = text ? GetLineLength(lineIndex) : 0;
  return ::ColourLineSpan(cookie, lineIndex, text ? text : "", length, from, to, colours,
                          wholeLine, m_colourScratch, resume);
}

std::unique_ptr<QMenu> CTorvaneView::CreateContextMenu() {
  return Binder().BuildContextMenu(0, QStringLiteral("ViewCM"));
}

void CTorvaneView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
  event->accept();
}

void CTorvaneView::mousePressEvent(QMouseEvent* event) {
  const bool ctrlClick = event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier) &&
                         event->position().x() >= MARGIN_WIDTH;
  m_ctrlPress = ctrlClick ? std::optional<QPoint>(event->position().toPoint()) : std::nullopt;
  CEditView::mousePressEvent(event);
}

void CTorvaneView::mouseReleaseEvent(QMouseEvent* event) {
  CEditView::mouseReleaseEvent(event);
  const std::optional<QPoint> pressed = std::exchange(m_ctrlPress, std::nullopt);
  if (pressed && event->button() == Qt::LeftButton && (event->position().toPoint() - *pressed).manhattanLength() < 4)
    RouteCommand(Cmd::GO_TO_DEFINITION);
}

void CTorvaneView::dragEnterEvent(QDragEnterEvent* event) {
  if (IsFileDrop(event->mimeData())) {
    event->ignore();
    return;
  }
  CEditView::dragEnterEvent(event);
}

void CTorvaneView::dropEvent(QDropEvent* event) {
  if (IsFileDrop(event->mimeData())) {
    event->ignore();
    return;
  }
  CEditView::dropEvent(event);
}

void CTorvaneView::OnChar(unsigned char c) {
  CEditView::OnChar(c);
  emit characterTyped(c);
}
