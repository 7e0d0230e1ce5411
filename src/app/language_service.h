#pragma once
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "cmd_target.h"
#include "language_index.h"
#include "source_builds.h"
#include "text_encoding.h"

class CDocManager;
class CDocument;
class CTorvaneDoc;
class CTorvaneView;
class CReferencesBar;
class QDockWidget;
class QWidget;

// The language index of the open documents and everything they include, kept in step with
// the editing on idle, and the navigation built on it: Go to Definition (a list to choose
// from when a name has several), Back and Forward through the jumps. Open documents are
// indexed from their buffers, the files they include from disk (read again when another
// program changes them). Work is done in slices from a zero timer, so the event loop is never
// held for long: a keystroke re-indexes its lines, a file is read a few thousand lines a step.
class CLanguageService : public QObject, public CCmdTarget {
  Q_OBJECT

public:
  static constexpr int SLICE_LINES = 4000;
  // Debian's standard library: searched after every other folder.
  static constexpr const char* STANDARD_LIBRARY_FOLDER = "/usr/share/inform6/library";

  explicit CLanguageService(CDocManager& documents, QObject* parent = nullptr);
  ~CLanguageService() override;

  // Folders searched for included files after the including file's own (the library's).
  void SetIncludeFolders(const QStringList& folders);
  // Picks one of several places (their labels); -1 for none. The default is a small menu at
  // the caret; tests replace it.
  using Chooser = std::function<int(const QStringList& labels, CTorvaneView* view)>;
  void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }

  // Does now all the work waiting for idle time (tests, and a command that needs the index).
  void IndexNow();
  bool HasPendingWork() const;
  const CLanguageIndex& Index() const { return m_index; }

  // Jumps from the word at the active view's caret to its definition; false when there is
  // no definition (or no choice was made).
  bool GoToDefinition();
  // Fills the References bar with every use of the word at the caret and shows it; false
  // when the caret is on no name.
  bool FindReferences();
  // The bar and its dock; F4 steps its list from when it is filled until the output changes.
  void SetReferencesBar(CReferencesBar* bar, QDockWidget* dock);
  void OnOutputChanged() { m_referencesCurrent = false; }
  bool Back();
  bool Forward();

  // For completion and rename: the open documents' edits indexed now (not the files waiting
  // to be read); the index's file of an open document; whether a file is one of a library's
  // (it says System_file, or lies in a library folder) rather than the project's own; the
  // open document of a file, or null.
  void IndexEditsNow();
  std::optional<int> FileOf(CTorvaneDoc* document) const;
  bool IsLibraryFile(int file) const;
  CTorvaneDoc* DocumentOf(int file) const;

  bool OnCmdMsg(int id) override;
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override;

  // How a source is built: its main file, include path, target and symbols. The include
  // folders of every open source's build are searched; each document's stretches that its
  // build leaves out are drawn faded. Asked again after BuildsChanged.
  using BuildOf = std::function<CSourceBuild(const QString& sourcePath)>;
  void SetBuildOf(BuildOf buildOf);
  // A main file, its header, the project or the settings may have changed.
  void BuildsChanged();
  // Whether line of document lies in a stretch its build leaves out, as last indexed.
  bool IsInactiveLine(const CDocument* document, int line) const;
  // What a pause over the name at (line, col) of document shows, as rich text: its kind and
  // name, where it is defined, its parent or class, the comment lines above it. Empty off a
  // name or for a name without a definition.
  QString HoverText(CDocument* document, int line, int col);

private:
  void UpdateInactive();
  struct CTracked;
  struct CPlace {
    QString key;
    int line;
    int col;
  };
  struct CReadJob {
    int file = -1;
    std::unique_ptr<class CStringLineSource> source;
    int done = 0;
  };

  void Track(CDocument* document);
  void Untrack(CDocument* document);
  void Rekey(CDocument* document);
  QString KeyOf(CTorvaneDoc* document) const;
  CTracked* FindTracked(const QString& key) const;
  void Schedule();
  // One slice of work; true when more is waiting.
  bool Step();
  bool StepDocuments();
  bool StepReading();
  bool StartRead(int file);
  void OnFileChanged(const QString& path);
  std::optional<CPlace> Here() const;
  bool JumpTo(const CPlace& place);
  bool Step(std::vector<CPlace>& from, std::vector<CPlace>& to);
  bool JumpFromHere(const CPlace& place);
  // The lines of files read from disk during one search, with the encoding each is in.
  struct CReadFile {
    std::vector<std::string> lines;
    TextEncoding encoding = ENC_DEFAULT;
  };
  using CReadFiles = std::map<int, CReadFile>;
  // The bytes of a line (into bytes) and the encoding they are in.
  TextEncoding LineBytes(int file, int line, CReadFiles& files, std::string& bytes) const;

  CDocManager& m_documents;
  CLanguageIndex m_index;
  std::vector<std::string> m_folders;
  // Where the builds' libraries lie: files there are the library's, not the author's.
  std::vector<std::string> m_libraryFolders{STANDARD_LIBRARY_FOLDER};
  std::map<CDocument*, std::unique_ptr<CTracked>> m_tracked;
  CReadJob m_reading;
  std::vector<int> m_rereads; // files changed on disk, to read again
  QFileSystemWatcher m_watcher;
  QTimer m_timer;
  Chooser m_chooser;
  std::vector<CPlace> m_back;
  std::vector<CPlace> m_forward;
  CReferencesBar* m_referencesBar = nullptr;
  QDockWidget* m_referencesDock = nullptr;
  bool m_referencesCurrent = false;
  BuildOf m_buildOf;
  std::map<const CDocument*, std::vector<std::pair<int, int>>> m_inactive; // first, last line
  bool m_branchesStale = true;
};
