#include "tree_test_support.h"

#include <fstream>

namespace treetest {

const char* const TREES_SOURCE =
    "! Trees test source.\n"
    "Class Room;\n"
    "Class Treasure;\n"
    "class Gem;\n"
    "Room Hall \"Hall\";\n"
    "Treasure -> coin \"coin\";\n"
    "Object -> -> box \"box\";\n"
    "Object lamp \"lamp\" Hall;\n"
    "Object lamp \"spare lamp\";\n"
    "Gem ruby \"ruby\";\n"
    "Object apple \"apple\";\n"
    "Object Banana \"banana\";\n"
    "Object widget \"widget\" Nowhere;\n"
    "Object Zircon \"zircon\" Hall;\n"
    "[ Main;\n"
    "  rtrue;\n"
    "];\n"
    "[ helper x;\n"
    "];\n";

CTestDocument::CTestDocument(const std::string& path, std::string treeName)
    : m_treeName(std::move(treeName)) {
  m_buffer.Load(path);
  CBufferLineSource<CCrystalTextBuffer> lines(m_buffer);
  m_scanner.ScanObjects(lines);
  m_view.AttachBuffer(&m_buffer);
  m_view.resize(400, 300);
}

CCrystalTextView* CTestDocument::ActivateFirstView() {
  ++m_activations;
  m_view.show();
  return &m_view;
}

std::string WriteSource(const QTemporaryDir& dir, const std::string& name, const std::string& text) {
  const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string Dump(const CMyTreeView& view, const CTreeItem* item) {
  if (!item) {
    std::string all;
    for (const CTreeItem* root = view.Model().FirstRoot(); root; root = root->NextSibling())
      all += (all.empty() ? "" : " ") + Dump(view, root);
    return all;
  }
  std::string out = item->Text() + ":" + std::to_string(item->Image()) +
                    std::to_string(item->SelectedImage()) + (item->IsBold() ? "B" : "") +
                    (item->ChildCount() > 0 && !view.IsExpanded(item) ? "c" : "");
  for (int i = 0; i < item->ChildCount(); ++i)
    out += (i == 0 ? "(" : ", ") + Dump(view, item->Child(i)) + (i + 1 == item->ChildCount() ? ")" : "");
  return out;
}

const CTreeItem* FindItem(const CMyTreeView& view, const CTreeItem* root, const std::string& text) {
  const CTreeItem* stop = root->NextSibling();
  for (const CTreeItem* item = root; item && item != stop; item = view.GetNextInOrder(item))
    if (item->Text() == text) return item;
  return nullptr;
}

} // namespace treetest
