#pragma once
#include <QMdiSubWindow>
#include <vector>

#include "cmd_target.h"

class CDocument;
class CView;

// An MDI child window showing views of one document. Closing the last frame of a document
// asks to save it and closes the document; closing any other frame only removes its views.
class CMdiChildBase : public QMdiSubWindow, public CCmdTarget {
  Q_OBJECT

public:
  explicit CMdiChildBase(CDocument* document, QWidget* parent = nullptr);
  ~CMdiChildBase() override;

  CDocument* GetDocument() const { return m_document; }
  // The view that receives commands first (the pane with the focus, else the first one).
  virtual CView* GetActiveView() const = 0;
  virtual std::vector<CView*> FrameViews() const = 0;
  // Runs every view's initial update.
  virtual void InitialUpdateFrame();

  // The caption: the document's title, ":n" when the document has several frames, and the
  // modified mark.
  void UpdateFrameTitle(int index, int frameCount);

  // Closed by the document: no question.
  void CloseWithoutAsking();
  // The frame has been closed and waits to be deleted.
  bool IsClosed() const { return m_closed; }

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  CDocument* m_document;
  bool m_closingForDocument = false;
  bool m_closed = false;
};
