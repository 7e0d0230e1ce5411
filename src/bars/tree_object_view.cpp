#include "tree_object_view.h"

CTreeObjectView::CTreeObjectView(QWidget* parent) : CMyTreeView(STRIP_PATH, parent) {}

CMyTreeView::CDefinitionSearch CTreeObjectView::DefinitionSearch(
    const CObjectBarDocument& document, const CTreeItem& item, int) const {
  return ObjectDefinition(document, item);
}
