#include "mdi_child_base.h"

#include <QCloseEvent>

#include "doc_manager.h"
#include "document.h"
#include "view.h"

CMdiChildBase::CMdiChildBase(CDocument* document, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document) {
  setAttribute(Qt::WA_DeleteOnClose);
}

CMdiChildBase::~CMdiChildBase() = default;

void CMdiChildBase::InitialUpdateFrame() {
  for (CView* view : FrameViews()) view->OnInitialUpdate();
}

void CMdiChildBase::UpdateFrameTitle(int index, int frameCount) {
  QString title = m_document->GetTitle();
  if (frameCount > 1) title += QStringLiteral(":%1").arg(index);
  setWindowTitle(title + QStringLiteral("[*]"));
  setWindowModified(m_document->IsModified());
}

void CMdiChildBase::CloseWithoutAsking() {
  m_closingForDocument = true;
  close();
}

void CMdiChildBase::closeEvent(QCloseEvent* event) {
  CDocManager* manager = m_document->GetDocManager();
  const bool last = !m_closingForDocument && manager && manager->Frames(m_document).size() == 1;
  if (last) {
    if (!m_document->SaveModified()) {
      event->ignore();
      return;
    }
    // The document closes with its last frame; this frame's own close goes on.
    m_closingForDocument = true;
    m_document->OnCloseDocument();
  }
  QMdiSubWindow::closeEvent(event);
  if (!event->isAccepted()) return;
  m_closed = true;
  if (manager) manager->UpdateFrameTitles(m_document);
}
