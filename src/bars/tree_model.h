#pragma once
#include <QAbstractItemModel>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text_encoding.h"

class CObjectBarDocument;

// One item of an object-bar tree: a text (bytes), two image indices and a bold state. A
// document's root item also knows the document it stands for and the encoding of the items
// below it: its own text is a file name (UTF-8), theirs are the document's bytes, shown in
// the document's encoding.
class CTreeItem {
public:
  CTreeItem(std::string text, int image, int selectedImage)
      : m_text(std::move(text)), m_image(image), m_selectedImage(selectedImage) {}

  const std::string& Text() const { return m_text; }
  int Image() const { return m_image; }
  int SelectedImage() const { return m_selectedImage; }
  bool IsBold() const { return m_bold; }
  // Null for the model's hidden top item; the top-level items have it as their parent.
  CTreeItem* Parent() const { return m_parent; }
  int Row() const { return m_row; }
  int ChildCount() const { return static_cast<int>(m_children.size()); }
  CTreeItem* Child(int row) const { return m_children[row].get(); }
  CTreeItem* FirstChild() const { return m_children.empty() ? nullptr : m_children[0].get(); }
  CTreeItem* NextSibling() const;
  const CObjectBarDocument* Owner() const { return m_owner; }
  TextEncoding RecordEncoding() const { return m_recordEncoding; }

  void SetBold(bool bold) { m_bold = bold; }
  void SetRecordEncoding(TextEncoding encoding) { m_recordEncoding = encoding; }
  void SetOwner(const CObjectBarDocument* owner) { m_owner = owner; }
  // Adds a child at the end, for a subtree that is not in a model yet; the model sorts it
  // when the subtree is inserted.
  CTreeItem* AppendChild(std::unique_ptr<CTreeItem> child);

private:
  friend class CTreeModel;
  void Renumber(int from);

  std::string m_text;
  int m_image;
  int m_selectedImage;
  bool m_bold = false;
  const CObjectBarDocument* m_owner = nullptr;
  TextEncoding m_recordEncoding = ENC_DEFAULT;
  CTreeItem* m_parent = nullptr;
  int m_row = 0; // index in m_parent->m_children, kept by every change of that list
  std::vector<std::unique_ptr<CTreeItem>> m_children;
};

// The alphabetical order of every level: ASCII letters compare ignoring case (punctuation
// before letters); names equal that way are ordered by their bytes, so the order is total.
bool TreeTextLess(std::string_view a, std::string_view b);

// The tree control under an object-bar view: items kept in alphabetical order on every
// level, one column, an image strip for the icons. Whole subtrees are built outside the
// model and inserted with one notification, so that filling a document of tens of thousands
// of records costs one sort per level and no per-item signal.
class CTreeModel : public QAbstractItemModel {
  Q_OBJECT

public:
  explicit CTreeModel(QObject* parent = nullptr);
  ~CTreeModel() override;

  // The images of the strip; item image indices refer to them. doubled: the same images drawn
  // at twice the size (device pixel ratio 2), for screens of that ratio; may be empty.
  void SetImages(std::vector<QPixmap> images, std::vector<QPixmap> doubled = {});
  const std::vector<QPixmap>& Images() const { return m_images; }
  // The font of bold items.
  void SetBoldFont(const QFont& font) { m_boldFont = font; }

  // The hidden item whose children are the top-level items.
  CTreeItem* Top() const { return m_top.get(); }
  CTreeItem* FirstRoot() const { return m_top->FirstChild(); }

  // Inserts item (with any children it already has, which are sorted first, level by level)
  // under parent (null: at the top level) in sorted position, and returns it.
  CTreeItem* InsertItem(CTreeItem* parent, std::unique_ptr<CTreeItem> item);
  void DeleteItem(CTreeItem* item);
  void DeleteAllItems();
  // Changes the text and moves the item to its sorted place among its siblings.
  void SetItemText(CTreeItem* item, std::string text);

  CTreeItem* ItemFromIndex(const QModelIndex& index) const;
  QModelIndex IndexOf(const CTreeItem* item) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // What the tree shows for item: a top-level item's text as UTF-8, the others' in the
  // encoding of the top-level item above them.
  QString DisplayText(const CTreeItem& item) const;

private:
  static void SortSubtree(CTreeItem* item);
  static int SortedRow(const CTreeItem* parent, std::string_view text);
  QIcon IconFor(int image, int selectedImage) const;

  std::unique_ptr<CTreeItem> m_top;
  std::vector<QPixmap> m_images;
  std::vector<QPixmap> m_doubled; // m_images at ratio 2: as many, or none
  QFont m_boldFont;
  // One icon per (image, selected image) pair in use: the normal pixmap and the one a
  // selected item shows.
  mutable std::map<std::pair<int, int>, QIcon> m_icons;
};
