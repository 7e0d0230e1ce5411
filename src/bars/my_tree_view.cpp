#include "my_tree_view.h"

#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <unordered_map>

#include "command_binder.h"
#include "command_ids.h"
#include "command_router.h"
#include "definition_finder.h"
#include "menu_table.h"
#include "message_box.h"
#include "text_buffer.h"
#include "text_view.h"

// The image strips live in the resource library, which is linked statically: register its
// resources before the first look-up.
static void InitTreeResources() { Q_INIT_RESOURCE(resources); }

namespace {

constexpr QRgb TRANSPARENT_KEY = 0x00FF00; // pure green, RGB(0,255,0)

} // namespace

std::vector<QPixmap> LoadImageStrip(const QString& path, int ratio) {
  QImage strip(path);
  if (strip.isNull()) return {};
  strip = strip.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < strip.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
    for (int x = 0; x < strip.width(); ++x)
      if ((line[x] & 0xFFFFFF) == TRANSPARENT_KEY) line[x] = 0;
  }
  std::vector<QPixmap> images;
  const int size = CMyTreeView::IMAGE_SIZE * ratio;
  for (int left = 0; left + size <= strip.width(); left += size) {
    images.push_back(QPixmap::fromImage(strip.copy(left, 0, size, size)));
    images.back().setDevicePixelRatio(ratio);
  }
  return images;
}

QString DoubleSizeStripPath(const QString& path) {
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  return dot > path.lastIndexOf(QLatin1Char('/')) ? QString(path).insert(dot, QStringLiteral("@2x"))
                                                  : path + QStringLiteral("@2x");
}

CMyTreeView::CMyTreeView(QString stripPath, QWidget* parent)
    : QTreeView(parent), m_model(this), m_stripPath(std::move(stripPath)) {
  m_commands.Add(Cmd::JUMP_TO_DEFINITION, [this] { JumpToDefinition(); },
                 [this] { return CanJumpFrom(SelectedItem()); });
  setModel(&m_model);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(IMAGE_SIZE, IMAGE_SIZE));
  QFont bold = font();
  bold.setBold(true);
  m_model.SetBoldFont(bold);
}

CMyTreeView::~CMyTreeView() = default;

void CMyTreeView::OnInitialUpdate() {
  InitTreeResources();
  m_model.SetImages(LoadImageStrip(m_stripPath), LoadImageStrip(DoubleSizeStripPath(m_stripPath), 2));
}

void CMyTreeView::RemoveDocument(const CObjectBarDocument& document) {
  if (CTreeItem* root = FindDocumentRoot(document)) m_model.DeleteItem(root);
}

void CMyTreeView::FillDocument(const CObjectBarDocument& document) {
  std::unique_ptr<CTreeItem> root = NewDocumentRoot(document);
  // Depth by depth, in the map's order within a depth, so that a parent of smaller depth is
  // in place before its children; a parent not (yet) listed leaves the object under the root.
  const int deepest = document.GetScannerValue();
  std::vector<CObjectRecord> order;
  order.reserve(document.GetObjectMap().size());
  for (const CObjectRecord& record : document.GetObjectMap())
    if (record.m_depth >= 0 && record.m_depth <= deepest) order.push_back(record);
  std::stable_sort(order.begin(), order.end(),
                   [](const CObjectRecord& a, const CObjectRecord& b) { return a.m_depth < b.m_depth; });
  std::unordered_map<std::string_view, CTreeItem*> byText;
  byText.reserve(order.size());
  for (const CObjectRecord& record : order) {
    CTreeItem* parent = root.get();
    if (!record.m_parent.empty())
      if (auto found = byText.find(record.m_parent); found != byText.end()) parent = found->second;
    CTreeItem* item =
        parent->AppendChild(std::make_unique<CTreeItem>(std::string(record.m_name), 1, 2));
    byText.emplace(item->Text(), item);
  }
  InsertDocument(document, std::move(root));
}

void CMyTreeView::DeleteItemByText(const std::string& text) {
  CTreeItem* first = m_model.FirstRoot();
  for (CTreeItem* item = first ? GetNextInOrder(first) : nullptr; item; item = GetNextInOrder(item))
    if (item->Text() == text) {
      m_model.DeleteItem(item);
      return;
    }
}

bool CMyTreeView::InsertEntry(const std::string& treeName, const std::string& text, bool expand,
                              const std::optional<std::string>& parentText) {
  CTreeItem* root = FindDocumentRoot(treeName);
  if (!root) return false;
  CTreeItem* parent = root;
  if (parentText) {
    const CTreeItem* stop = root->NextSibling();
    for (CTreeItem* item = GetNextInOrder(root); item && item != stop; item = GetNextInOrder(item))
      if (item->Text() == *parentText) {
        parent = item;
        break;
      }
  }
  const auto [image, selectedImage] = EntryImages(parentText.has_value());
  m_model.InsertItem(parent, std::make_unique<CTreeItem>(text, image, selectedImage));
  if (expand) setExpanded(m_model.IndexOf(parent), true);
  return true;
}

std::pair<int, int> CMyTreeView::EntryImages(bool) const { return {1, 2}; }

void CMyTreeView::ClearTree() { m_model.DeleteAllItems(); }

void CMyTreeView::ExpandDocument(const std::string& treeName) {
  if (CTreeItem* root = FindDocumentRoot(treeName)) ExpandSubtree(root);
}

CTreeItem* CMyTreeView::GetNextInOrder(const CTreeItem* item) const {
  if (!item) return nullptr;
  if (CTreeItem* child = item->FirstChild()) return child;
  for (const CTreeItem* at = item; at && at != m_model.Top(); at = at->Parent())
    if (CTreeItem* next = at->NextSibling()) return next;
  return nullptr;
}

CTreeItem* CMyTreeView::FindDocumentRoot(const std::string& treeName) const {
  for (CTreeItem* root = m_model.FirstRoot(); root; root = root->NextSibling())
    if (root->Text() == treeName) return root;
  return nullptr;
}

CTreeItem* CMyTreeView::FindDocumentRoot(const CObjectBarDocument& document) const {
  for (CTreeItem* root = m_model.FirstRoot(); root; root = root->NextSibling())
    if (root->Owner() == &document) return root;
  return nullptr;
}

void CMyTreeView::RenameDocument(const CObjectBarDocument& document, const std::string& treeName) {
  if (CTreeItem* root = FindDocumentRoot(document)) m_model.SetItemText(root, treeName);
}

std::unique_ptr<CTreeItem> CMyTreeView::NewDocumentRoot(const CObjectBarDocument& document) {
  auto root = std::make_unique<CTreeItem>(document.GetTreeName(), 0, 0);
  root->SetBold(true);
  root->SetOwner(&document);
  root->SetRecordEncoding(document.GetEncoding());
  return root;
}

void CMyTreeView::InsertDocument(const CObjectBarDocument& document,
                                 std::unique_ptr<CTreeItem> root) {
  RemoveDocument(document);
  CTreeItem* inserted = m_model.InsertItem(nullptr, std::move(root));
  ExpandSubtree(inserted);
  scrollTo(m_model.IndexOf(inserted));
}

void CMyTreeView::ExpandSubtree(CTreeItem* root) {
  // Only items with children: expanding a leaf shows nothing, and every expanded item costs
  // the view a persistent index.
  const CTreeItem* stop = root->NextSibling();
  for (CTreeItem* item = root; item && item != stop; item = GetNextInOrder(item))
    if (item->ChildCount() > 0) expand(m_model.IndexOf(item));
}

CMyTreeView::CDefinitionSearch CMyTreeView::ObjectDefinition(const CObjectBarDocument& document,
                                                             const CTreeItem& item) {
  CDefinitionSearch search;
  if (const std::optional<CObjectRecord> found = document.GetObjectMap().Find(item.Text()))
    search.text = std::string(found->m_definitionLine);
  return search;
}

CTreeItem* CMyTreeView::SelectedItem() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? nullptr : m_model.ItemFromIndex(selected.first());
}

void CMyTreeView::SelectItem(const CTreeItem* item) {
  if (!item) {
    clearSelection();
    setCurrentIndex(QModelIndex());
    return;
  }
  setCurrentIndex(m_model.IndexOf(item));
}

bool CMyTreeView::IsExpanded(const CTreeItem* item) const {
  return item && isExpanded(m_model.IndexOf(item));
}

CObjectBarDocument* CMyTreeView::DocumentOf(const CTreeItem* root) const {
  if (!m_host || !root) return nullptr;
  for (CObjectBarDocument* document : m_host->GetDocuments())
    if (document == root->Owner()) return document;
  return nullptr;
}

void CMyTreeView::JumpToDefinition() {
  const CTreeItem* item = SelectedItem();
  if (!item) return;
  int depth = 0;
  const CTreeItem* root = item;
  for (; !IsRoot(root); root = root->Parent()) ++depth;
  CObjectBarDocument* document = DocumentOf(root);
  if (!document) return;
  // Everything the jump needs from the item is taken now: the tree may change while the
  // document's window comes forward or the message box is open.
  const CDefinitionSearch search = depth > 0 ? DefinitionSearch(*document, *item, depth)
                                             : CDefinitionSearch();
  const QString notFound = QString::fromLatin1(NOT_FOUND_PREFIX) + m_model.DisplayText(*item) +
                           QString::fromLatin1(search.notFoundEnd);
  CTextView* view = document->ActivateFirstView();
  if (depth == 0 || !view) return;
  int line = -1;
  if (search.text && view->GetBuffer()) {
    const CBufferLineSource<CTextBuffer> lines(*view->GetBuffer());
    line = search.isClass ? FindClassDefinition(lines, *search.text) : FindDefinitionLine(lines, *search.text);
  }
  if (line >= 0) {
    const TextPosition found(0, line);
    view->PlaceCursor(found);
    view->SelectFoundText(found, 0);
    view->setFocus(Qt::OtherFocusReason);
    return;
  }
  TorvaneMessageBox(notFound, MB_OK);
}

std::unique_ptr<QMenu> CMyTreeView::CreateContextMenu(QPoint point) {
  SelectItem(m_model.ItemFromIndex(indexAt(point)));
  return Binder().BuildContextMenu(ContextMenuIndex());
}

void CMyTreeView::SetCommandBinder(CCommandBinder* binder) {
  m_binder = binder;
  if (binder) binder->Register(*this);
}

CCommandBinder& CMyTreeView::Binder() { return m_binder ? *m_binder : m_ownBinder.Get(); }

void CMyTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QTreeView::mouseDoubleClickEvent(event);
    return;
  }
  // The jump replaces the expand-or-collapse of a double-click.
  event->accept();
  if (CTreeItem* item = m_model.ItemFromIndex(indexAt(event->position().toPoint()))) {
    SelectItem(item);
    JumpToDefinition();
  }
}

void CMyTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QTreeView::mousePressEvent(event);
    return;
  }
  event->accept();
  const QPoint point = event->position().toPoint();
  std::unique_ptr<QMenu> menu = CreateContextMenu(point);
  menu->exec(viewport()->mapToGlobal(point));
}

void CMyTreeView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && SelectedItem()) {
    event->accept();
    JumpToDefinition();
    return;
  }
  QTreeView::keyPressEvent(event);
}
