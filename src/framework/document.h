#pragma once
#include <QObject>
#include <QString>
#include <vector>

#include "cmd_target.h"
#include "file_dialog.h"

class CDocManager;
class CView;

// A document of the framework: title, path, modified flag and views, the Save, Save As and
// Close commands and the "save changes?" question. The document manager creates documents,
// owns them and deletes them after OnCloseDocument.
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
  // Save: to the document's path, or Save As when it has none or the file may not be
  // written.
  bool DoFileSave();

  bool OnCmdMsg(int id) override;
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override;

  CDocManager* GetDocManager() const { return m_manager; }

signals:
  void titleChanged();
  void modifiedChanged(bool modified);

private:
  friend class CDocManager;
  QString m_title;
  QString m_pathName;
  bool m_modified = false;
  std::vector<CView*> m_views;
  CDocManager* m_manager = nullptr;
};
