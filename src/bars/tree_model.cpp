#include "tree_model.h"

#include <algorithm>

#include "line_text.h"

namespace {

// Lower case, so that the punctuation between the two alphabets ("_", "[") sorts before
// every letter: n_obj before ne_obj.
unsigned char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool TreeTextLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = FoldCase(a[i]);
    const unsigned char cb = FoldCase(b[i]);
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

CTreeItem* CTreeItem::NextSibling() const {
  if (!m_parent || m_row + 1 >= m_parent->ChildCount()) return nullptr;
  return m_parent->m_children[m_row + 1].get();
}

CTreeItem* CTreeItem::AppendChild(std::unique_ptr<CTreeItem> child) {
  child->m_parent = this;
  child->m_row = ChildCount();
  m_children.push_back(std::move(child));
  return m_children.back().get();
}

void CTreeItem::Renumber(int from) {
  for (int row = from; row < ChildCount(); ++row) {
    m_children[row]->m_row = row;
    m_children[row]->m_parent = this;
  }
}

CTreeModel::CTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_top(std::make_unique<CTreeItem>(std::string(), -1, -1)) {
  m_boldFont.setBold(true);
}

CTreeModel::~CTreeModel() = default;

void CTreeModel::SetImages(std::vector<QPixmap> images, std::vector<QPixmap> doubled) {
  m_images = std::move(images);
  // A double-size strip of other images than the small one would show other pictures at
  // ratio 2: it is used only when it matches.
  m_doubled = doubled.size() == m_images.size() ? std::move(doubled) : std::vector<QPixmap>();
  m_icons.clear();
  if (m_top->ChildCount() > 0) emit layoutChanged();
}

void CTreeModel::SortSubtree(CTreeItem* item) {
  auto& children = item->m_children;
  std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
    return TreeTextLess(a->m_text, b->m_text);
  });
  item->Renumber(0);
  for (auto& child : children)
    if (!child->m_children.empty()) SortSubtree(child.get());
}

int CTreeModel::SortedRow(const CTreeItem* parent, std::string_view text) {
  const auto& children = parent->m_children;
  auto at = std::upper_bound(children.begin(), children.end(), text,
                             [](std::string_view t, const auto& c) { return TreeTextLess(t, c->m_text); });
  return static_cast<int>(at - children.begin());
}

CTreeItem* CTreeModel::InsertItem(CTreeItem* parent, std::unique_ptr<CTreeItem> item) {
  if (!parent) parent = m_top.get();
  if (!item->m_children.empty()) SortSubtree(item.get());
  const int row = SortedRow(parent, item->m_text);
  beginInsertRows(IndexOf(parent), row, row);
  item->m_parent = parent;
  CTreeItem* inserted = item.get();
  parent->m_children.insert(parent->m_children.begin() + row, std::move(item));
  parent->Renumber(row);
  endInsertRows();
  return inserted;
}

void CTreeModel::DeleteItem(CTreeItem* item) {
  if (!item || item == m_top.get()) return;
  CTreeItem* parent = item->m_parent;
  const int row = item->m_row;
  beginRemoveRows(IndexOf(parent), row, row);
  std::unique_ptr<CTreeItem> doomed = std::move(parent->m_children[row]);
  parent->m_children.erase(parent->m_children.begin() + row);
  parent->Renumber(row);
  endRemoveRows();
}

void CTreeModel::DeleteAllItems() {
  beginResetModel();
  m_top->m_children.clear();
  endResetModel();
}

void CTreeModel::SetItemText(CTreeItem* item, std::string text) {
  if (!item || item == m_top.get()) return;
  CTreeItem* parent = item->m_parent;
  const int row = item->m_row;
  // The row the item takes among its siblings without it.
  auto& siblings = parent->m_children;
  std::unique_ptr<CTreeItem> held = std::move(siblings[row]);
  siblings.erase(siblings.begin() + row);
  const int newRow = SortedRow(parent, text);
  siblings.insert(siblings.begin() + row, std::move(held));
  const int destination = newRow <= row ? newRow : newRow + 1;
  const QModelIndex parentIndex = IndexOf(parent);
  const bool moves = destination != row && destination != row + 1;
  if (moves) beginMoveRows(parentIndex, row, row, parentIndex, destination);
  item->m_text = std::move(text);
  if (moves) {
    std::unique_ptr<CTreeItem> moving = std::move(siblings[row]);
    siblings.erase(siblings.begin() + row);
    siblings.insert(siblings.begin() + newRow, std::move(moving));
    parent->Renumber(std::min(row, newRow));
    endMoveRows();
  }
  const QModelIndex changed = IndexOf(item);
  emit dataChanged(changed, changed);
}

CTreeItem* CTreeModel::ItemFromIndex(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<CTreeItem*>(index.internalPointer());
}

QModelIndex CTreeModel::IndexOf(const CTreeItem* item) const {
  if (!item || item == m_top.get()) return {};
  return createIndex(item->m_row, 0, const_cast<CTreeItem*>(item));
}

QModelIndex CTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const CTreeItem* item = parent.isValid() ? ItemFromIndex(parent) : m_top.get();
  if (!item || column != 0 || row < 0 || row >= item->ChildCount()) return {};
  return createIndex(row, 0, item->Child(row));
}

QModelIndex CTreeModel::parent(const QModelIndex& child) const {
  const CTreeItem* item = ItemFromIndex(child);
  return item ? IndexOf(item->m_parent) : QModelIndex();
}

int CTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const CTreeItem* item = parent.isValid() ? ItemFromIndex(parent) : m_top.get();
  return item ? item->ChildCount() : 0;
}

int CTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool CTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant CTreeModel::data(const QModelIndex& index, int role) const {
  const CTreeItem* item = ItemFromIndex(index);
  if (!item) return {};
  switch (role) {
  case Qt::DisplayRole:
    return DisplayText(*item);
  case Qt::DecorationRole:
    return IconFor(item->m_image, item->m_selectedImage);
  case Qt::FontRole:
    return item->m_bold ? QVariant(m_boldFont) : QVariant();
  default:
    return {};
  }
}

QString CTreeModel::DisplayText(const CTreeItem& item) const {
  const CTreeItem* root = &item;
  while (root->m_parent && root->m_parent != m_top.get()) root = root->m_parent;
  if (root == &item) return QString::fromUtf8(item.m_text.data(), static_cast<qsizetype>(item.m_text.size()));
  return DecodedQString(item.m_text, root->m_recordEncoding);
}

QIcon CTreeModel::IconFor(int image, int selectedImage) const {
  const int count = static_cast<int>(m_images.size());
  if (image < 0 || image >= count) return {};
  auto [at, inserted] = m_icons.try_emplace({image, selectedImage});
  if (inserted) {
    const bool doubled = !m_doubled.empty();
    at->second.addPixmap(m_images[image], QIcon::Normal);
    if (doubled) at->second.addPixmap(m_doubled[image], QIcon::Normal);
    if (selectedImage >= 0 && selectedImage < count) {
      at->second.addPixmap(m_images[selectedImage], QIcon::Selected);
      if (doubled) at->second.addPixmap(m_doubled[selectedImage], QIcon::Selected);
    }
  }
  return at->second;
}
