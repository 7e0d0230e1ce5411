#include "completion_popup.h"

#include <QFontMetrics>
#include <QScrollBar>

#include "language_index.h"

class CCompletionPopup::CModel final : public QAbstractListModel {
public:
  using QAbstractListModel::QAbstractListModel;
  std::vector<CCompletionItem> items;

  void Reset(std::vector<CCompletionItem> fresh) {
    beginResetModel();
    items = std::move(fresh);
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : static_cast<int>(items.size()); }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= static_cast<int>(items.size())) return {};
    const CCompletionItem& item = items[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return Row(item);
    // The library's names after the project's own, quieter.
    case Qt::ForegroundRole: return item.library ? QVariant(QColor(Qt::darkGray)) : QVariant();
    default: return {};
    }
  }
  static QString Row(const CCompletionItem& item) {
    return QString::fromLatin1(item.name) + QStringLiteral("  ") + QString::fromLatin1(IndexKindName(item.kind));
  }
};

CCompletionPopup::CCompletionPopup(QWidget* parent) : QListView(parent), m_model(new CModel(this)) {
  setModel(m_model);
  setFocusPolicy(Qt::NoFocus);
  setUniformItemSizes(true); // the list of a large game is long: only the shown rows are measured
  setEditTriggers(NoEditTriggers);
  setSelectionMode(SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAutoFillBackground(true);
  hide();
  connect(this, &QListView::doubleClicked, this, &CCompletionPopup::itemChosen);
}

CCompletionPopup::~CCompletionPopup() = default;

void CCompletionPopup::SetItems(std::vector<CCompletionItem> items) {
  m_model->Reset(std::move(items));
  if (!m_model->items.empty()) setCurrentIndex(m_model->index(0));
}

int CCompletionPopup::Count() const { return static_cast<int>(m_model->items.size()); }

std::string CCompletionPopup::CurrentName() const {
  const int row = currentIndex().row();
  if (row < 0 || row >= Count()) return {};
  return m_model->items[static_cast<std::size_t>(row)].name;
}

QStringList CCompletionPopup::Rows() const {
  QStringList rows;
  for (const CCompletionItem& item : m_model->items) rows << CModel::Row(item);
  return rows;
}

void CCompletionPopup::MoveCurrent(int delta) {
  if (Count() == 0) return;
  const int row = std::clamp(currentIndex().row() + delta, 0, Count() - 1);
  setCurrentIndex(m_model->index(row));
}

void CCompletionPopup::PlaceAt(QPoint anchor, int lineHeight) {
  const QWidget* area = parentWidget();
  const QFontMetrics metrics(font());
  const int rowHeight = std::max(metrics.height(), sizeHintForRow(0));
  const int rows = std::min(Count(), VISIBLE_ROWS);
  const int frame = 2 * frameWidth();
  int width = 0;
  // The widest of the first rows sets the width: measuring thousands would cost more than
  // the list itself.
  for (int row = 0; row < std::min(Count(), 50); ++row)
    width = std::max(width, metrics.horizontalAdvance(CModel::Row(m_model->items[static_cast<std::size_t>(row)])));
  width = std::clamp(width + frame + verticalScrollBar()->sizeHint().width() + 8, 120, 480);
  const int height = rows * rowHeight + frame;
  QPoint at(anchor.x(), anchor.y() + lineHeight);
  if (area && at.y() + height > area->height() && anchor.y() - height >= 0) at.setY(anchor.y() - height);
  if (area && at.x() + width > area->width()) at.setX(std::max(0, area->width() - width));
  setGeometry(QRect(at, QSize(width, height)));
  show();
  raise();
}
