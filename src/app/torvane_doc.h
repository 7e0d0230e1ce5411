#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "document.h"
#include "object_bar_document.h"
#include "object_scanner.h"
#include "text_buffer.h"
#include "view_font.h"

struct ProjectFile;
class CTextView;
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
  // The window that dialogs of the document belong to.
  virtual QWidget* DialogParent() = 0;
};

// Where a document's compile writes.
class CBuildShell {
public:
  virtual ~CBuildShell() = default;
  // The output bar's control; null when there is none.
  virtual COutputBar* OutputControl() = 0;
  // Shows and empties the output bar for a build of source (what its messages are about).
  virtual void PrepareOutput(const QString& source) = 0;
  // A compile is about to start (running) or has ended.
  virtual void BuildStateChanged(bool running) = 0;
  // The open project, whose main file a member's Compile and Run build; null when none.
  virtual const ProjectFile* OpenProject() { return nullptr; }
};

// The document's text: its modified mark is the document's.
class CTorvaneBuffer : public CTextBuffer {
public:
  explicit CTorvaneBuffer(CTorvaneDoc& document) : m_document(document) {}

protected:
  void MarkModified(bool modified) override;
  void EncodingReplayed() override;

private:
  CTorvaneDoc& m_document;
};

// An Inform source file: its text buffer, the font of its views, the records of its last
// object scan and its tree name in the object bar, with the document commands Compile, Run,
// Rebuild Object Tree, Go To Line and the document-level File Open. It announces its scans;
// the bars follow it through the document manager's events.
class CTorvaneDoc : public CDocument, public CObjectBarDocument {
  Q_OBJECT

public:
  static constexpr const char* OPEN_FILTER =
      "Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||";

  // build: where Compile writes; without one Compile does nothing.
  explicit CTorvaneDoc(CDocumentShell* shell, CBuildShell* build = nullptr,
                       QObject* parent = nullptr);
  ~CTorvaneDoc() override;

  CTextBuffer& Buffer() { return m_buffer; }
  CTextBuffer* TextBuffer() override { return &m_buffer; }
  const FontDescription& Font() const { return m_font; }
  // The file name without extension; the title while there is no file.
  std::string GetTreeName() const override;
  TextEncoding GetEncoding() const override { return Encoding(); }
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
  FileDialogRequest SaveAsRequest() const override;

  // Rebuild Object Tree: the records are scanned afresh, then recordsChanged.
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

  // ---- Encoding (torvane_doc_encoding.cpp) ----
  // The encoding the text is read in (its buffer's): the one Reopen or Convert chose, else
  // what the file says (EncodingAsFileSays), set on every load.
  TextEncoding Encoding() const { return m_buffer.Encoding(); }
  // The main file's header, then the compiler switches (the project's for a member, else the
  // additional options), then the text's bytes.
  TextEncoding EncodingAsFileSays() const;
  // Reads the file again in encoding (nothing: as the file says), asking first when changes
  // would be lost; a text without a file is just read in it. False when nothing changed.
  bool ReopenWithEncoding(std::optional<TextEncoding> encoding);
  // Converts the text's characters to encoding as one undoable change; characters it cannot
  // hold are reported first (they become '?' only when the user agrees). False when nothing
  // was converted.
  bool ConvertEncoding(TextEncoding encoding);
  // Convert, Undo or Redo has read the text in another encoding: it is the chosen one,
  // unless the file names it anyway.
  void EncodingChanged();

signals:
  // The records were scanned again (Rebuild Object Tree, the file read again).
  void recordsChanged();
  // A scan's progress, for a progress bar: begun (over pane of the status bar), one step,
  // ended. A document closed during its scan sends no end.
  void scanBegun(const QString& message, int sizePercent, int maximum, bool smooth, int pane);
  void scanStepped();
  void scanEnded();

private:
  class CDocRunHost;

  // Scans the text into the records, announcing its progress; false when the document went
  // away meanwhile.
  bool Scan();
  void DeclareEncodingCommands();
  // After a load: the chosen encoding, else the file's.
  void ApplyEncoding();
  void OnFileOpen();
  void OnGoToLine();

  CDocumentShell* m_shell;
  CBuildShell* m_build;
  CTorvaneBuffer m_buffer;
  FontDescription m_font;
  CObjectScanner m_records;
  std::unique_ptr<CDocRunHost> m_runHost;
  // A scan runs the event loop: a Rebuild Object Tree arriving meanwhile would mix the
  // records of two scans, so it waits until this one is done.
  bool m_scanning = false;
  bool m_building = false; // this document's compiler is running
  std::optional<TextEncoding> m_chosenEncoding; // by Reopen with Encoding or Convert
  // The status bar's library: the text and what it was found for (main file, its time).
  QString LibraryText();
  QString m_libraryKey;
  QString m_libraryText;
};
