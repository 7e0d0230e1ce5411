#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <QString>
#include <functional>
#include <vector>

#include "recent_file_list.h"

class CDocument;
class CMdiChildBase;
class QMdiArea;
class QMdiSubWindow;

// The one document type: how a document and a frame (with its view) are made.
struct CDocTemplate {
  std::function<CDocument*()> createDocument;
  std::function<CMdiChildBase*(CDocument*)> createFrame;
};

// The documents of the MDI area, announcing their lives to whoever keeps something in step
// with them: opening (an open file is activated, not opened again), new
// documents, more frames of a document, closing, "save changes?" for all, the recent-file
// list, and watching the documents' files for other programs' changes. The manager owns the documents; a closed document is deleted once the
// event that closed it is done (a command may still be running inside it).
class CDocManager : public QObject {
  Q_OBJECT

public:
  CDocManager(QMdiArea* area, CDocTemplate docTemplate, QObject* parent = nullptr);
  ~CDocManager() override;

  // A new empty document in a new frame; null when OnNewDocument fails.
  CDocument* OpenNewDocument();
  // The document of path: the open one (its frame activated) or a new one read from the
  // file. A file that does not exist becomes a new document of that name when createMissing
  // is set. Null when the file could not be opened (the document reported why).
  // A path the open hook takes (a project file) is opened by the hook instead, and the
  // document it gives is returned.
  CDocument* OpenDocumentFile(const QString& path, bool createMissing = false);
  using COpenHook = std::function<bool(const QString& path, CDocument*& document)>;
  void SetOpenHook(COpenHook hook) { m_openHook = std::move(hook); }
  // One more frame with a view on document (New Window).
  CMdiChildBase* CreateNewFrame(CDocument* document);
  // Closes every frame of document and removes it; called by CDocument::OnCloseDocument.
  void CloseDocument(CDocument* document);

  // Asks for every modified document; false as soon as one is cancelled or fails to save.
  bool SaveAllModified();
  // Closes every document without asking.
  void CloseAllDocuments();

  const std::vector<CDocument*>& Documents() const { return m_documents; }
  CDocument* FindDocument(const QString& path) const;
  std::vector<CMdiChildBase*> Frames(const CDocument* document) const;
  CMdiChildBase* ActiveFrame() const;
  CDocument* ActiveDocument() const;
  QMdiArea* Area() const { return m_area; }

  // Numbers the captions of the document's frames again (one was added or closed).
  void UpdateFrameTitles(const CDocument* document);

  CRecentFileList& RecentFiles() { return m_recent; }
  void AddToRecentFileList(const QString& path);
  void RemoveFromRecentFileList(int index);

  // The documents' files are looked at again (soon, once a burst of changes is over).
  void CheckFilesSoon();
  // Every document with a file looks whether another program changed it.
  void CheckFiles();

signals:
  // A document opened (new, or read from its file) with its first frame shown.
  void documentOpened(CDocument* document);
  // The document's path changed (Save As); GetPathName and GetTitle tell the new one.
  void documentRenamed(CDocument* document);
  void documentModifiedChanged(CDocument* document, bool modified);
  void documentSaved(CDocument* document);
  // The document is about to close: still in the list, its frames still open.
  void documentAboutToClose(CDocument* document);
  // The document left the list and its frames closed; it is deleted once the current event
  // is done, so the pointer is only for telling which one it was.
  void documentClosed(CDocument* document);
  void recentFilesChanged();
  // A line for the status bar about a document's file (changed or removed by another program).
  void documentNote(const QString& text);

private:
  // A document being opened: it is in the list with its first frame, not yet shown.
  struct COpening {
    CDocument* document = nullptr;
    CMdiChildBase* frame = nullptr;
    QMdiSubWindow* previous = nullptr; // active again when the open fails
  };
  COpening BeginOpen();
  // Shows the document when it opened (and is still here), else discards it.
  CDocument* EndOpen(const COpening& opening, bool opened);
  CMdiChildBase* MakeFrame(CDocument* document);
  void ShowFrame(CMdiChildBase* frame);
  void Discard(CDocument* document, CMdiChildBase* frame, QMdiSubWindow* previous);
  // Watches the files and folders of the documents (a file replaced or removed drops out of
  // the watch; its folder tells when it comes back).
  void WatchFiles();

  QMdiArea* m_area;
  CDocTemplate m_template;
  std::vector<CDocument*> m_documents;
  CRecentFileList m_recent;
  QFileSystemWatcher m_watcher;
  QTimer m_checkTimer;
  COpenHook m_openHook;
};
