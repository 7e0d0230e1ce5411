#include "tree_object_view.h"

#include "command_ids.h"

CTreeObjectView::CTreeObjectView(QWidget* parent) : CMyTreeView(STRIP_PATH, parent) {}

CMyTreeView::CDefinitionSearch CTreeObjectView::DefinitionSearch(
    const CObjectBarDocument& document, const CTreeItem& item, int) const {
  return ObjectDefinition(document, item);
}

// "ObjectCM" of menu 143.
std::vector<CMyTreeView::CMenuEntry> CTreeObjectView::ContextMenuEntries() const {
  return {{Cmd::JUMP_TO_DEFINITION, "&Jump to Definition"},
          {Cmd::EDIT_OBJECT, "&Edit Object"},
          {0, nullptr},
          {Cmd::INSERT_NEW_OBJECT, "Insert New &Object"}};
}
