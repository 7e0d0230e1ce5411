#pragma once
#include <QString>
#include <memory>
#include <string>

#include "document.h"
#include "lifetime_guard.h"
#include "object_bar_document.h"
#include "object_scanner.h"
#include "text_buffer.h"
#include "view_font.h"

class CMainStatusBar;
class CTextView;
class CObjectBar;
class COutputBar;
class CTorvaneDoc;
class CTorvaneView;
class QWidget;

// What a document needs from the application around it.
class CDocumentShell {
public:
  virtual ~CDocumentShell() = default;
  // The number of the next "Untitled" title; the counter only grows.
  virtual int NextUntitledNumber() = 0;
  // The object bar with the three trees; null while there is none.
  virtual CObjectBar* ObjectBar() = 0;
  // The status bar a scan shows its progress in; null while there is none.
  virtual CMainStatusBar* StatusBar() = 0;
  // Empties the output bar.
  virtual void ClearOutput() = 0;
  // The application's open-document operation (an open file is activated).
  virtual void OpenDocumentFile(const QString& path) = 0;
  // The window that dialogs of the document belong to.
  virtual QWidget* DialogParent() = 0;
  // The output bar's control, where builds write; null when there is none.
  virtual COutputBar* OutputControl() { return nullptr; }
  // Shows and empties the output bar for a build of source (what its messages are about).
  virtual void PrepareOutput(const QString& source) { (void)source; }
  // A compile is about to start (running) or has ended.
  virtual void BuildStateChanged(bool running) { (void)running; }
};

// The document's text: its modified mark is the document's.
class CTorvaneBuffer : public CTextBuffer {
public:
  explicit CTorvaneBuffer(CTorvaneDoc& document) : m_document(document) {}

protected:
  void MarkModified(bool modified) override;

private:
  CTorvaneDoc& m_document;
};

// An Inform source file: its text buffer, the font of its views, the records of its last
// object scan and its tree name in the object bar, with the document commands Rebuild
// Object Tree, Go To Line and the document-level File Open. It keeps the object bar's trees
// in step with its life (new, open, saved under a new name, closed).
class CTorvaneDoc : public CDocument, public CObjectBarDocument {
  Q_OBJECT

public:
  static constexpr const char* OPEN_FILTER =
      "Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||";

  explicit CTorvaneDoc(CDocumentShell* shell, QObject* parent = nullptr);
  ~CTorvaneDoc() override;

  CTextBuffer& Buffer() { return m_buffer; }
  const FontDescription& Font() const { return m_font; }
  std::string GetTreeName() const override { return m_treeName; }
  const CObjectScanner& Records() const { return m_records; }
  // The view Go To Line moves: the document's first.
  CTorvaneView* FirstView() const;

  // What the object bar's trees read, and the window a jump to a definition brings forward.
  const CObjectMap& GetObjectMap() const override { return m_records.ObjectMap(); }
  const CFunctionMap& GetFunctionMap() const override { return m_records.FunctionMap(); }
  const CClassMap& GetClassMap() const override { return m_records.ClassMap(); }
  int GetScannerValue() const override { return m_records.ScannerValue(); }
  CTextView* ActivateFirstView() override;

  // The label of a path in the object trees: the file name without its extension
  // ("/games/adv.inf" -> "adv"); a name without extension stays whole.
  static std::string TreeNameOf(const QString& path);

  bool OnNewDocument() override;
  bool OnOpenDocument(const QString& path) override;
  bool OnOpenMissingDocument(const QString& path) override;
  bool OnSaveDocument(const QString& path) override;
  // The file read again; every caret stays on its line (as far as the text still reaches)
  // and the object trees are rebuilt.
  bool OnReloadDocument() override;
  void DeleteContents() override;
  void OnCloseDocument() override;
  FileDialogRequest SaveAsRequest() const override;

  // Rebuild Object Tree: the trees lose the document, the records are scanned afresh and
  // the trees get them again.
  void RebuildObjectTree();
  // Go To Line with the number given: the first view's caret to the start of line n
  // (1-based; 0 and 1 are the first line, beyond the end the last).
  void GoToLine(int n);

  // Compile: saves (asking for a name first when the document has none), then runs the
  // compiler into the output bar until it ends; events are dispatched meanwhile, so the
  // document may be closed by the time it returns. Only one compiler runs at a time: while
  // one does, Compile and Run do nothing (and are shown disabled).
  void OnCompile();
  // Run: builds when the story is missing or stale and the user agrees, then starts the
  // interpreter on the story, not waiting for it.
  void OnRun();
  // Closing asks first when this document's build is running, and stops it on Yes.
  bool SaveModified() override;

  bool OnCmdMsg(int id) override;
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override;

private:
  class CDocRunHost;

  // Scans the text into the records, with the progress bar "Parsing Objects:" in the status
  // bar; false when the document went away meanwhile.
  bool Scan();
  // Fills the object bar's trees, tab by tab; false when the document went away meanwhile.
  bool FillTrees();
  void RemoveFromTrees();
  void OnFileOpen();
  void OnGoToLine();

  CDocumentShell* m_shell;
  CTorvaneBuffer m_buffer;
  FontDescription m_font;
  CObjectScanner m_records;
  std::string m_treeName;
  std::unique_ptr<CDocRunHost> m_runHost;
  // A scan runs the event loop: a Rebuild Object Tree arriving meanwhile would mix the
  // records of two scans, so it waits until this one is done.
  bool m_scanning = false;
  bool m_building = false; // this document's compiler is running
  CLifetimeGuard m_lifetime; // tells a compile that the document was closed while it ran
};
