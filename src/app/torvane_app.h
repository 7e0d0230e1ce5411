#pragma once
#include <QObject>
#include <QStringList>
#include <memory>

#include "cmd_target.h"
#include "object_bar_document.h"
#include "style_table.h"
#include "torvane_doc.h"

class CDocManager;
class CDocumentFollower;
class CLanguageService;
class CMainFrame;
class CProjectCommands;
class CProjectSession;
class CProjectTrees;
class CTorvaneView;
class CCompletionController;
class CRenameCommand;

// The application: the style table every view paints with, the untitled counter, the one
// document type, the main frame, and the application commands File New, File Open (without
// a document), the recent files, Exit, Options and About.
class CTorvaneApp : public QObject,
                    public CCmdTarget,
                    public CDocumentShell,
                    public CBuildShell,
                    public CObjectBarHost {
  Q_OBJECT

public:
  static constexpr const char* RECENT_FILE_SECTION = "Recent File List";

  CTorvaneApp();
  ~CTorvaneApp() override;

  // Start-up: the main frame, the documents of files (a new Untitled1 without any; a file
  // that does not exist yet becomes a new document of that name), the style table, then the
  // frame is shown. False when the frame cannot be built or none of the files can be opened;
  // the program then ends without showing a window.
  bool InitInstance(const QStringList& files);

  CStyleTable& StyleTable() { return m_styles; }
  // Reads the style table from the settings; every view repaints.
  void LoadStyles();
  CMainFrame* MainFrame() const { return m_mainFrame.get(); }
  CDocManager* DocManager() const { return m_docManager.get(); }
  CLanguageService* LanguageService() const { return m_language.get(); }
  CProjectCommands* ProjectCommands() const { return m_projectCommands.get(); }
  // The open project (or none): Compile and Run build its main file from any member.
  CProjectSession& ProjectSession() const { return *m_projectSession; }
  CCompletionController* Completion() const { return m_completion.get(); }
  CRenameCommand* RenameCommand() const { return m_rename.get(); }

  // CDocumentShell
  int NextUntitledNumber() override { return m_untitledCount++; }
  QWidget* DialogParent() override;
  // CBuildShell
  COutputBar* OutputControl() override;
  void PrepareOutput(const QString& source) override;
  void BuildStateChanged(bool running) override;
  const ProjectFile* OpenProject() override;

  // CObjectBarHost: the open documents, in the order of the document list, then the open
  // project's members that no window holds.
  std::vector<CObjectBarDocument*> GetDocuments() const override;

protected:
  // The desktop's colours changed (a theme switched to high contrast): the styles that
  // follow them are loaded again.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetUpView(CTorvaneView* view);
  void SetUpReferencesBar();
  void OnFileOpen();
  void OnOpenRecentFile(int index);
  void SaveRecentFiles();
  // The view of the active window; null when there is none.
  CTorvaneView* ActiveView() const;

  int m_untitledCount = 1;
  CStyleTable m_styles;
  std::unique_ptr<CMainFrame> m_mainFrame;
  std::unique_ptr<CDocManager> m_docManager;
  std::unique_ptr<CDocumentFollower> m_follower;
  std::unique_ptr<CLanguageService> m_language; // leaves the documents' buffers before they go
  std::unique_ptr<CCompletionController> m_completion;
  std::unique_ptr<CRenameCommand> m_rename;
  std::unique_ptr<CProjectSession> m_projectSession;
  std::unique_ptr<CProjectCommands> m_projectCommands;
  std::unique_ptr<CProjectTrees> m_projectTrees;
};
