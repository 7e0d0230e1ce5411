#include "tree_function_view.h"

CTreeFunctionView::CTreeFunctionView(QWidget* parent) : CMyTreeView(STRIP_PATH, parent) {}

void CTreeFunctionView::FillDocument(const CObjectBarDocument& document) {
  std::unique_ptr<CTreeItem> root = NewDocumentRoot(document);
  for (const CFunctionRecord& record : document.GetFunctionMap())
    root->AppendChild(std::make_unique<CTreeItem>(std::string(record.m_name), 1, 2));
  InsertDocument(document, std::move(root));
}

CMyTreeView::CDefinitionSearch CTreeFunctionView::DefinitionSearch(
    const CObjectBarDocument& document, const CTreeItem& item, int) const {
  CDefinitionSearch search;
  if (const std::optional<CFunctionRecord> found = document.GetFunctionMap().Find(item.Text()))
    search.text = std::string(found->m_definitionLine);
  return search;
}
