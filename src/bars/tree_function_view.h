#pragma once
#include "my_tree_view.h"

// The "Functions" tree: each document's routines. Images (strip 142): document, gear, gear,
// blank.
class CTreeFunctionView : public CMyTreeView {
  Q_OBJECT

public:
  static constexpr const char* STRIP_PATH = ":/icons/tree_functions_142.png";

  explicit CTreeFunctionView(QWidget* parent = nullptr);

  // Every function of the document directly under its root.
  void FillDocument(const CObjectBarDocument& document) override;

protected:
  CDefinitionSearch DefinitionSearch(const CObjectBarDocument& document, const CTreeItem& item,
                                     int depth) const override;
  int ContextMenuIndex() const override { return 2; }
};
