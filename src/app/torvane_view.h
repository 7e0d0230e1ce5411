#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "edit_view.h"

class CCrystalTextBuffer;
class QMenu;

// The view of an Inform source: an editing view whose colours, bold and italic come from the
// application's style table and whose lines are coloured by the Inform colouring. Its font
// is the document's, "Courier New" at the face's default size.
class CTorvaneView : public CCrystalEditView {
  Q_OBJECT

public:
  // The context menu ("ViewCM", menu 143) and the two commands of it that only it names.
  static constexpr int CONTEXT_MENU_ID = 143;
  static constexpr int ID_INSERT_NEW_OBJECT = 32778;
  static constexpr int ID_INSERT_NEW_FUNCTION = 32781;

  explicit CTorvaneView(QWidget* parent = nullptr);
  ~CTorvaneView() override;

  // The font every document hands its views.
  static FontDescription DocumentFont();

  // The buffer AttachBuffer takes when given none (the document's text).
  void SetDocumentBuffer(CCrystalTextBuffer* buffer) { m_documentBuffer = buffer; }
  CCrystalTextBuffer* FindDocumentBuffer() const override { return m_documentBuffer; }

  // The text view's initial update (the document's buffer, a splitter pane's shared scroll
  // position), then the document's font.
  void OnInitialUpdate() override;

  COLORREF GetStyleColor(int colourIndex) const override;
  bool IsStyleBold(int colourIndex) const override;
  bool IsStyleItalic(int colourIndex) const override;
  // The Inform colouring of the line.
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override;
  // Only the painted characters of a line get colours (one pass over the line's state).
  uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to, int32_t* colours,
                          bool wholeLine) override;

  // The context menu as it stands now: Cut, Copy, Paste, Insert New Object, Insert New
  // Function and Edit Object, each enabled as its update handler says (a command nobody
  // handles is disabled). A chosen command the view does not carry out goes on through
  // unhandledCommand.
  std::unique_ptr<QMenu> CreateContextMenu();

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  CCrystalTextBuffer* m_documentBuffer = nullptr;
  std::vector<uint8_t> m_colourScratch; // the span colouring's working room
};
