#pragma once
#include "my_tree_view.h"

// The "Objects" tree: each document's objects nested by parent. Images (strip 137): document,
// closed box, open box, blank.
class CTreeObjectView : public CMyTreeView {
  Q_OBJECT

public:
  static constexpr const char* STRIP_PATH = ":/icons/tree_objects_137.png";

  explicit CTreeObjectView(QWidget* parent = nullptr);

protected:
  CDefinitionSearch DefinitionSearch(const CObjectBarDocument& document, const CTreeItem& item,
                                     int depth) const override;
  int ContextMenuIndex() const override { return 1; }
};
