#pragma once
#include <QObject>
#include <functional>
#include <memory>

class CDocManager;
class CDocument;
class CMainStatusBar;
class CObjectBar;
class CProgressBar;
class CTorvaneDoc;

// Keeps the bars in step with the documents' lives, as the document manager announces them:
// the object bar's trees (a document's subtree when it opens or is scanned again, its new
// label when it is renamed, gone when it closes), the output bar (emptied when a document
// closes), and the progress of a document's scan in the status bar.
class CDocumentFollower : public QObject {
  Q_OBJECT

public:
  struct Bars {
    CObjectBar* objectBar = nullptr;        // null: no trees to keep
    CMainStatusBar* statusBar = nullptr;    // null: scans show no progress
    std::function<void()> clearOutput;
  };

  CDocumentFollower(CDocManager& manager, Bars bars, QObject* parent = nullptr);
  ~CDocumentFollower() override;

  // A new document, before it opens: its scans show their progress.
  void Follow(CTorvaneDoc* document);

private:
  void FillTrees(CDocument* document);

  Bars m_bars;
  std::unique_ptr<CProgressBar> m_progress;
};
