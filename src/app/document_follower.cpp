#include "document_follower.h"

#include "doc_manager.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "object_scan_host.h"
#include "progress_bar.h"
#include "torvane_doc.h"

CDocumentFollower::CDocumentFollower(CDocManager& manager, Bars bars, QObject* parent)
    : QObject(parent), m_bars(std::move(bars)) {
  connect(&manager, &CDocManager::documentOpened, this, &CDocumentFollower::FillTrees);
  connect(&manager, &CDocManager::documentRenamed, this, [this](CDocument* document) {
    auto* inform = dynamic_cast<CObjectBarDocument*>(document);
    if (m_bars.objectBar && inform) m_bars.objectBar->RenameDocument(*inform, inform->GetTreeName());
  });
  connect(&manager, &CDocManager::documentAboutToClose, this, [this](CDocument* document) {
    auto* inform = dynamic_cast<CObjectBarDocument*>(document);
    if (m_bars.objectBar && inform) m_bars.objectBar->RemoveDocument(*inform);
    if (m_bars.clearOutput) m_bars.clearOutput();
  });
}

CDocumentFollower::~CDocumentFollower() = default;

void CDocumentFollower::Follow(CTorvaneDoc* document) {
  connect(document, &CTorvaneDoc::recordsChanged, this, [this, document] { FillTrees(document); });
  connect(document, &CTorvaneDoc::scanBegun, this,
          [this](const QString& message, int sizePercent, int maximum, bool smooth, int pane) {
            m_progress = std::make_unique<CProgressBar>(m_bars.statusBar, message, sizePercent,
                                                        maximum, smooth, pane);
          });
  connect(document, &CTorvaneDoc::scanStepped, this, [this] {
    if (m_progress) m_progress->StepIt();
  });
  // A document closed during its scan sends no end: its bar goes with it.
  connect(document, &CTorvaneDoc::scanEnded, this, [this] { m_progress.reset(); });
  connect(document, &QObject::destroyed, this, [this] { m_progress.reset(); });
}

void CDocumentFollower::FillTrees(CDocument* document) {
  auto* inform = dynamic_cast<CObjectBarDocument*>(document);
  if (!m_bars.objectBar || !inform) return;
  // The trees of a large source take a while each: the window runs its event loop between
  // them, and the document may be closed meanwhile (its roots then go with it).
  CObjectScanHost host(document->Lifetime());
  for (int tab = 0; tab < CObjectBar::VIEW_COUNT; ++tab) {
    m_bars.objectBar->GetView(tab)->FillDocument(*inform);
    if (!host.PumpAndSurvive()) break;
  }
}
