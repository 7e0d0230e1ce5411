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

// A source with classes, arrows, parents named after their objects, a missing parent, a
// clashing name and two routines (line numbers matter to the jumps).
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

// The subtree of item (null: every root) on one line: "text:IS" with the image and the
// selected image, then "B" when bold and "c" when collapsed with children, then the
// children in parentheses: "lantern:00B(LampRoom:12, Workshop:12(lantern:12))".
std::string Dump(const CMyTreeView& view, const CTreeItem* item = nullptr);
// The first item of the subtree of root (root included) whose text is text; null if none.
const CTreeItem* FindItem(const CMyTreeView& view, const CTreeItem* root, const std::string& text);

} // namespace treetest
