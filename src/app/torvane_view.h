#pragma once
#include "edit_view.h"

class CCrystalTextBuffer;

// The view of an Inform source: an editing view whose colours, bold and italic come from the
// application's style table and whose lines are coloured by the Inform colouring. Its font
// is the document's, "Courier New" at the face's default size.
class CTorvaneView : public CCrystalEditView {
  Q_OBJECT

public:
  explicit CTorvaneView(QWidget* parent = nullptr);
  ~CTorvaneView() override;

  // The font every document hands its views.
  static FontDescription DocumentFont();

  // The buffer AttachBuffer takes when given none (the document's text).
  void SetDocumentBuffer(CCrystalTextBuffer* buffer) { m_documentBuffer = buffer; }
  CCrystalTextBuffer* FindDocumentBuffer() const override { return m_documentBuffer; }

  // Attaches the document's buffer and takes the document's font.
  void OnInitialUpdate();

  COLORREF GetStyleColor(int colourIndex) const override;
  bool IsStyleBold(int colourIndex) const override;
  bool IsStyleItalic(int colourIndex) const override;
  // The Inform colouring of the line.
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override;

private:
  CCrystalTextBuffer* m_documentBuffer = nullptr;
};
