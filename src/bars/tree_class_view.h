#pragma once
#include "my_tree_view.h"

// The "Classes" tree: one item per class a document defines or its objects name, and under
// it every object that names the class. Images (strip 141): document, class symbol, closed box, open box.
class CTreeClassView : public CMyTreeView {
  Q_OBJECT

public:
  static constexpr const char* STRIP_PATH = ":/icons/tree_classes_141.png";
  static constexpr const char* CLASS_HINT = ".\nThe current algorithm is not perfect.  See the Help file.";

  explicit CTreeClassView(QWidget* parent = nullptr);

  // The classes directly under the root, each object directly under its class item.
  void FillDocument(const CObjectBarDocument& document) override;

protected:
  // A class item is looked for as the directive Class and its name, with the name's exact
  // case; an object by its record's definition line.
  CDefinitionSearch DefinitionSearch(const CObjectBarDocument& document, const CTreeItem& item,
                                     int depth) const override;
  int ContextMenuIndex() const override { return 3; }
  // A document root has no definition to jump to.
  bool CanJumpFrom(const CTreeItem* item) const override;
  // A class (no parent text): the class symbol; an object under its class: the boxes.
  std::pair<int, int> EntryImages(bool hasParentText) const override;
};
