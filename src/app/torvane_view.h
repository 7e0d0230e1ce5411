#pragma once
#include <cstdint>
#include <QPoint>
#include <memory>
#include <optional>
#include <vector>

#include "edit_view.h"
#include "lone_command_binder.h"
#include "view.h"

class CCommandBinder;
class CCommandRouter;
class CTextBuffer;
class CStyleTable;
class CTorvaneDoc;
class QMenu;

// The view of an Inform source: an editing view whose colours, bold and italic come from the
// application's style table (repainted when it changes) and whose lines are coloured by the
// Inform colouring. Its font is the document's. In a window its key commands, context menu
// and status go through the window's command router; alone (tests, benchmarks) it is its
// own route.
class CTorvaneView : public CEditView, public CView {
  Q_OBJECT

public:
  // The context menu ("ViewCM", the first pop-up of menu 143).
  static constexpr int CONTEXT_MENU_ID = 143;

  explicit CTorvaneView(QWidget* parent = nullptr);
  ~CTorvaneView() override;

  // The font of a document's views: "Courier New" at the face's default size, normal weight.
  static FontDescription DocumentFont();

  CTorvaneDoc* GetDocument() const;
  // The style table to paint with (the application's); null: the defaults.
  void SetStyleTable(CStyleTable* styles);
  // The window's binder, through whose router key commands and the context menu go.
  void SetCommandBinder(CCommandBinder* binder);
  void SetPaneGrid(CPaneGrid* grid) { m_paneGrid = grid; }
  // A buffer to show without a document (tests, benchmarks).
  void SetDocumentBuffer(CTextBuffer* buffer) { m_documentBuffer = buffer; }

  CTextBuffer* FindDocumentBuffer() const override;
  CPaneGrid* FindPaneGrid() const override { return m_paneGrid; }
  void RouteCommand(int id) override;

  // The text view's initial update (the document's buffer, a pane's shared scroll
  // position), then the document's font.
  void OnInitialUpdate() override;
  QWidget* ViewWidget() override { return this; }
  CCmdTarget* ViewTarget() override { return this; }

  COLORREF GetStyleColor(int colourIndex) const override;
  bool IsStyleBold(int colourIndex) const override;
  bool IsStyleItalic(int colourIndex) const override;
  // The Inform colouring of the line.
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override;
  void ColourLineCookies(uint32_t cookie, int first, int count, uint32_t* cookies) override;
  // Only the painted characters of a line get colours (one pass over the line's state).
  uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to, int32_t* colours,
                          bool wholeLine, ColourResumePoints* resume) override;

  // The context menu as it stands now, each item enabled as the router says (a command
  // nobody handles is disabled); a chosen item goes through the router.
  std::unique_ptr<QMenu> CreateContextMenu();

signals:
  // A character went into the text by typing (completion opens by itself after some).
  void characterTyped(unsigned char c);

protected:
  void OnChar(unsigned char c) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Files dragged over the view are not text for it: they go on to the window, which opens
  // them.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Ctrl+click selects the word, as before, and goes to its definition when the mouse is
  // let go where it was pressed.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  CCommandBinder& Binder();
  const CStyleTable& Styles() const;

  CTextBuffer* m_documentBuffer = nullptr;
  std::vector<uint8_t> m_colourScratch; // the span colouring's working room
  CPaneGrid* m_paneGrid = nullptr;
  CCommandBinder* m_binder = nullptr;
  CStyleTable* m_styles = nullptr;
  int m_stylesListener = 0;
  CLoneCommandBinder m_ownBinder{this}; // used when no window binder is given
  std::optional<QPoint> m_ctrlPress;       // where a Ctrl+click went down
};

// Whether data carries local files (a drop that opens them) rather than text.
bool IsFileDrop(const QMimeData* data);
