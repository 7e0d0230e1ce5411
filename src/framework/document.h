#pragma once
#include <QObject>
#include <QString>
#include <vector>

#include "cmd_target.h"
#include "file_dialog.h"
#include "file_stamp.h"
#include "lifetime_guard.h"

class CDocManager;
class CTextBuffer;
class CView;

// A document of the framework: title, path, modified flag and views, the Save, Save As and
// Close commands and the "save changes?" question. The document manager creates documents,
// owns them and deletes them after OnCloseDocument. It remembers its file's size and time
// from when it last read or wrote it, so that it never writes over another program's changes
// without asking.
class CDocument : public QObject, public CCmdTarget {
  Q_OBJECT

public:
  explicit CDocument(QObject* parent = nullptr);
  ~CDocument() override;

  const QString& GetTitle() const { return m_title; }
  void SetTitle(const QString& title);
  const QString& GetPathName() const { return m_pathName; }
  // The full path; the title becomes its file name. With addToRecent the path joins the
  // recent-file list.
  void SetPathName(const QString& path, bool addToRecent = true);

  bool IsModified() const { return m_modified; }
  void SetModifiedFlag(bool modified = true);

  void AddView(CView* view);
  void RemoveView(CView* view);
  const std::vector<CView*>& Views() const { return m_views; }

  // ---- Overridables ----
  // A new, empty document: DeleteContents, no path, not modified.
  virtual bool OnNewDocument();
  // The document for path: DeleteContents first; the derived document reads the file and
  // reports a failure itself.
  virtual bool OnOpenDocument(const QString& path);
  // A document for a file that does not exist yet: Save creates it. The base refuses.
  virtual bool OnOpenMissingDocument(const QString& path);
  // Writes the document to path; reports a failure itself.
  virtual bool OnSaveDocument(const QString& path);
  // Reads the file again in place of the text; reports a failure itself and then keeps the
  // text. The base cannot.
  virtual bool OnReloadDocument() { return false; }
  virtual void DeleteContents() {}
  // Closes every frame of the document without asking, then leaves the manager, which
  // deletes the document once the current event is done.
  virtual void OnCloseDocument();
  // The Save As dialog's request.
  virtual FileDialogRequest SaveAsRequest() const;

  // Asks "Save changes to <title>?" when modified: Yes saves, No goes on, Cancel stops.
  // False when the user cancelled or the save failed.
  virtual bool SaveModified();
  // Saves to path (Save As when empty); with replace the path becomes the document's.
  bool DoSave(const QString& path, bool replace = true);
  // Every save goes through here. Writing the document's own file first looks whether
  // another program changed it since it was read or written: an unmodified document reads
  // it again instead (nothing to write), a modified one asks Reload, Keep Mine or Cancel.
  // True when the file holds the text afterwards.
  bool SaveDocument(const QString& path);

  enum class DiskChange { None, Changed, Deleted };
  // What happened to the document's file since the document last read or wrote it.
  DiskChange CheckDisk() const;
  // The file as it is now is the document's text (just read or written).
  void RecordDiskStamp() { m_diskStamp = CFileStamp::Of(m_pathName); }
  // Reads the file again; not modified afterwards. False (text kept) when it cannot be read.
  bool Reload();
  // Another program may have touched the file: an unmodified document reads it again, a
  // removed file makes the document modified (closing asks, Save writes it again); each
  // change is announced once with note.
  void OnFileChangedOnDisk();
  // Save: to the document's path, or Save As when it has none or the file may not be
  // written.
  bool DoFileSave();

  CDocManager* GetDocManager() const { return m_manager; }
  // Tells an operation that runs events (a load, a scan, a compile) whether this document
  // was closed meanwhile.
  const CLifetimeGuard& Lifetime() const { return m_lifetime; }
  // The text of a document that holds one (its marks are set from outside); null otherwise.
  virtual CTextBuffer* TextBuffer() { return nullptr; }

signals:
  void titleChanged();
  void modifiedChanged(bool modified);
  // A line for the status bar about the document's file.
  void note(const QString& text);
  // The document's file is another one now (Save As).
  void renamed();
  // The document was written to its file or to another.
  void saved();

private:
  friend class CDocManager;
  QString m_title;
  QString m_pathName;
  bool m_modified = false;
  std::vector<CView*> m_views;
  CDocManager* m_manager = nullptr;
  CLifetimeGuard m_lifetime;
  CFileStamp m_diskStamp;     // the file when this document last read or wrote it
  CFileStamp m_reportedStamp; // the last change of the file already announced
};
