#include "torvane_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include "colouring.h"
#include "command_ids.h"
#include "style_table.h"
#include "text_buffer.h"

namespace {
bool InStyleTable(int colourIndex) {
  return colourIndex >= 0 && colourIndex < CStyleTable::STYLE_COUNT;
}
} // namespace

CTorvaneView::CTorvaneView(QWidget* parent) : CCrystalEditView(parent) {}

CTorvaneView::~CTorvaneView() {
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

void CTorvaneView::OnInitialUpdate() {
  // The base update also lines a new splitter pane up with the first pane of its row.
  CCrystalEditView::OnInitialUpdate();
  SetViewFont(DocumentFont());
}

COLORREF CTorvaneView::GetStyleColor(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::GetStyleColor(colourIndex);
  return TheStyleTable().GetColour(colourIndex);
}

bool CTorvaneView::IsStyleBold(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::IsStyleBold(colourIndex);
  return TheStyleTable().IsBold(colourIndex);
}

bool CTorvaneView::IsStyleItalic(int colourIndex) const {
  if (!InStyleTable(colourIndex)) return CCrystalEditView::IsStyleItalic(colourIndex);
  return TheStyleTable().IsItalic(colourIndex);
}

uint32_t CTorvaneView::ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs,
                                  int& runCount) {
  const char* text = GetLineText(lineIndex);
  const int length = text ? GetLineLength(lineIndex) : 0;
  return ::ColourLine(cookie, lineIndex, text ? text : "", length, runs, runCount);
}

uint32_t CTorvaneView::ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to,
                                      int32_t* colours, bool wholeLine) {
  const char* text = GetLineText(lineIndex);
  const int length = text ? GetLineLength(lineIndex) : 0;
  return ::ColourLineSpan(cookie, lineIndex, text ? text : "", length, from, to, colours,
                          wholeLine, m_colourScratch);
}

std::unique_ptr<QMenu> CTorvaneView::CreateContextMenu() {
  struct Item {
    int id;
    const char* text;
  };
  static constexpr Item ITEMS[] = {
      {Cmd::EDIT_CUT, "Cu&t"},
      {Cmd::EDIT_COPY, "&Copy"},
      {Cmd::EDIT_PASTE, "&Paste"},
      {0, nullptr},
      {ID_INSERT_NEW_OBJECT, "Insert New &Object"},
      {ID_INSERT_NEW_FUNCTION, "Insert New &Function"},
      {0, nullptr},
      {Cmd::EDIT_OBJECT, "&Edit Object"},
  };
  auto menu = std::make_unique<QMenu>(QStringLiteral("ViewCM"));
  for (const Item& item : ITEMS) {
    if (item.id == 0) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    action->setData(item.id);
    CCmdUIState state;
    state.id = item.id;
    state.isMenuItem = true;
    // Without an update handler there is no command behind the item.
    action->setEnabled(OnUpdateCmdUI(item.id, state) && state.enabled);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] {
      if (!OnCmdMsg(id)) emit unhandledCommand(id);
    });
  }
  return menu;
}

void CTorvaneView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
  event->accept();
}
