#pragma once
// Shared pieces of the object-bar tests: a document over a real file with a real view, the
// list of open documents, and a tree written out as text.
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "edit_view.h"
#include "my_tree_view.h"
#include "object_bar_document.h"
#include "text_buffer.h"

namespace treetest {

// A source with classes, arrows, a parent named after its object, a missing parent, a
// clashing name, an indented definition and two routines (line numbers matter to the jumps).
extern const char* const TREES_SOURCE;

// A document loaded from path and scanned, with one editing view on its text.
class CTestDocument : public CObjectBarDocument {
public:
  CTestDocument(const std::string& path, std::string treeName);

  std::string GetTreeName() const override { return m_treeName; }
  const CObjectMap& GetObjectMap() const override { return m_scanner.ObjectMap(); }
  const CFunctionMap& GetFunctionMap() const override { return m_scanner.FunctionMap(); }
  int GetScannerValue() const override { return m_scanner.ScannerValue(); }
  CCrystalTextView* ActivateFirstView() override;

  std::string m_treeName;
  CCrystalTextBuffer m_buffer;
  CObjectScanner m_scanner;
  CCrystalEditView m_view;
  int m_activations = 0;
};

class CTestHost : public CObjectBarHost {
public:
  std::vector<CObjectBarDocument*> GetDocuments() const override { return m_documents; }
  std::vector<CObjectBarDocument*> m_documents;
};

// Writes text into a file name in dir and returns its path.
std::string WriteSource(const QTemporaryDir& dir, const std::string& name, const std::string& text);

// The subtree of item, one line per item: two spaces per level, the text, the image and the
// selected image, " bold" for a bold item and " closed" for a collapsed item with children.
std::string Dump(const CMyTreeView& view, const CTreeItem* item);
// Every root of the tree, dumped.
std::string DumpAll(const CMyTreeView& view);

// The texts of the top-level items, joined by ",".
std::string RootTexts(const CMyTreeView& view);
// The first item of the document's subtree whose text is text; null when there is none.
CTreeItem* FindItem(const CMyTreeView& view, const CTreeItem* root, const std::string& text);

} // namespace treetest
