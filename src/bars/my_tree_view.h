#pragma once
#include <QString>
#include <QTreeView>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cmd_target.h"
#include "lone_command_binder.h"
#include "object_bar_document.h"
#include "tree_model.h"

class CCommandBinder;
class CCommandRouter;
class QMenu;

// The base of the three object-bar trees. Each open document has one bold root item labelled
// with its tree name; below it the records of the document's last scan. Every level is kept
// in alphabetical order. A root item belongs to its document, not to its label: two
// documents with the same tree name keep a subtree each, and a rename relabels the right one.
//
// Double-click, Enter and the command "&Jump to Definition" (32790) bring the item's document
// to the top and put the cursor on the definition; a right click opens the view's context
// menu.
class CMyTreeView : public QTreeView, public CCmdTarget {
  Q_OBJECT

public:
  static constexpr int IMAGE_SIZE = 16;
  static constexpr const char* NOT_FOUND_PREFIX = "Could not find the implementation of ";
  static constexpr const char* REBUILD_HINT = ".\nYou may need to rebuild the object tree.";

  // stripPath: a 16-pixel-high strip of 16 x 16 images on pure green, the transparent colour.
  explicit CMyTreeView(QString stripPath, QWidget* parent = nullptr);
  ~CMyTreeView() override;

  // ---- Tree operations, in their established order ----

  // Deletes the document's root item with its subtree, if there is one.
  virtual void RemoveDocument(const CObjectBarDocument& document);
  // Replaces the document's subtree with one built from its records: here the objects, each
  // under its parent (objects whose parent is not listed go under the root).
  virtual void FillDocument(const CObjectBarDocument& document);
  // Deletes the first item, in pre-order from the first root (the first root itself is not
  // compared), whose text is text.
  virtual void DeleteItemByText(const std::string& text);
  // Inserts text in sorted position under the first item of the document's subtree whose text
  // is parentText (under the root when there is none, or no parentText), expands that parent
  // when expand is set, and returns true. False when no root is labelled treeName.
  virtual bool InsertEntry(const std::string& treeName, const std::string& text, bool expand,
                           const std::optional<std::string>& parentText);
  virtual void ClearTree();
  // Expands every item of the subtree of the first root labelled treeName.
  virtual void ExpandDocument(const std::string& treeName);
  // The pre-order successor of item; null after the last item.
  virtual CTreeItem* GetNextInOrder(const CTreeItem* item) const;
  // The first root item labelled treeName exactly; null when there is none.
  virtual CTreeItem* FindDocumentRoot(const std::string& treeName) const;

  // The root item of document; null when it has none.
  CTreeItem* FindDocumentRoot(const CObjectBarDocument& document) const;
  // Relabels the document's root item (kept in order among the roots).
  void RenameDocument(const CObjectBarDocument& document, const std::string& treeName);

  // Loads the image strip. The object bar calls it once after creating the view.
  virtual void OnInitialUpdate();

  // Where the open documents are found for a jump (not owned).
  void SetHost(CObjectBarHost* host) { m_host = host; }
  // The window's binder, through whose router the context menu's commands go (the window
  // offers them to the object bar's current tree); without one, to this view alone.
  void SetCommandBinder(CCommandBinder* binder);

  CTreeModel& Model() { return m_model; }
  const CTreeModel& Model() const { return m_model; }
  CTreeItem* SelectedItem() const;
  void SelectItem(const CTreeItem* item);
  bool IsExpanded(const CTreeItem* item) const;
  bool IsRoot(const CTreeItem* item) const { return item && item->Parent() == m_model.Top(); }

  // Brings the selected item's document to the top and, below a root, puts the cursor on the
  // item's definition; reports a definition it cannot find.
  void JumpToDefinition();

  // The context menu for the item at point (in viewport coordinates): selects that item (or
  // clears the selection) and returns the menu with each command enabled as the router says.
  std::unique_ptr<QMenu> CreateContextMenu(QPoint point);

protected:
  // What a jump looks for from the top of the text: a record's definition line, or with
  // isClass the name of a class; and the end of the message shown when it is not found. No
  // text: the document has no record for the item.
  struct CDefinitionSearch {
    std::optional<std::string> text;
    bool isClass = false;
    const char* notFoundEnd = REBUILD_HINT;
  };
  virtual CDefinitionSearch DefinitionSearch(const CObjectBarDocument& document,
                                             const CTreeItem& item, int depth) const = 0;
  // The view's pop-up of context menu 143.
  virtual int ContextMenuIndex() const = 0;
  // Whether "&Jump to Definition" is offered for item (null: nothing selected).
  virtual bool CanJumpFrom(const CTreeItem* item) const { return item != nullptr; }
  // The image and selected image of an entry InsertEntry adds.
  virtual std::pair<int, int> EntryImages(bool hasParentText) const;

  // A new root item for document: its tree name, image 0, bold.
  static std::unique_ptr<CTreeItem> NewDocumentRoot(const CObjectBarDocument& document);
  // Replaces the document's subtree with root (built outside the tree), expands all of it
  // and scrolls the root into view.
  void InsertDocument(const CObjectBarDocument& document, std::unique_ptr<CTreeItem> root);
  // The record of the item's text in the document's object map, as a definition search.
  static CDefinitionSearch ObjectDefinition(const CObjectBarDocument& document,
                                            const CTreeItem& item);

  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void ExpandSubtree(CTreeItem* root);
  CObjectBarDocument* DocumentOf(const CTreeItem* root) const;
  CCommandBinder& Binder();

  CTreeModel m_model;
  QString m_stripPath;
  CObjectBarHost* m_host = nullptr;
  CCommandBinder* m_binder = nullptr;
  CLoneCommandBinder m_ownBinder{this}; // used when no window binder is given
};

// The 16 x 16 images of a strip, pure green made transparent; empty when the file cannot be
// read. At ratio 2 the strip holds them drawn at 32 x 32, and the pixmaps have that device
// pixel ratio.
std::vector<QPixmap> LoadImageStrip(const QString& path, int ratio = 1);
// The strip drawn at twice the size: "@2x" before the extension.
QString DoubleSizeStripPath(const QString& path);
