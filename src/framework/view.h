#pragma once
#include <QPointer>

#include "document.h"

class CCmdTarget;
class QWidget;

// What the framework asks of a document's view: its widget, its command target (first in
// the route) and its initial update once its frame is built. A view joins its document with
// CDocument::AddView and leaves it when it is destroyed.
class CView {
public:
  CView() = default;
  virtual ~CView();
  CView(const CView&) = delete;
  CView& operator=(const CView&) = delete;

  CDocument* GetDocument() const { return m_document; }
  virtual QWidget* ViewWidget() = 0;
  virtual CCmdTarget* ViewTarget() = 0;
  virtual void OnInitialUpdate() = 0;

private:
  friend class CDocument;
  QPointer<CDocument> m_document;
};
