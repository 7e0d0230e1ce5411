#include "references_bar.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int ENTRY_ROLE = Qt::UserRole;
constexpr int TEXT_COLUMN = 2;

// Paints the line's text with the name in bold.
class CHighlightDelegate final : public QStyledItemDelegate {
public:
  CHighlightDelegate(const std::vector<CReferencesBar::CEntry>& entries, QObject* parent)
      : QStyledItemDelegate(parent), m_entries(entries) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int row = index.data(ENTRY_ROLE).toInt();
    if (index.column() != TEXT_COLUMN || row < 0 || row >= static_cast<int>(m_entries.size()))
      return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    const CReferencesBar::CEntry& e = m_entries[static_cast<std::size_t>(row)];
    QRect rect = option.rect.adjusted(4, 0, 0, 0);
    QFont bold = option.font;
    bold.setBold(true);
    const QString parts[] = {e.text.left(e.textCol), e.text.mid(e.textCol, e.length), e.text.mid(e.textCol + e.length)};
    for (int i = 0; i < 3; ++i) {
      painter->setFont(i == 1 ? bold : option.font);
      painter->drawText(rect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, parts[i]);
      rect.setLeft(rect.left() + QFontMetrics(painter->font()).horizontalAdvance(parts[i]));
    }
  }

private:
  const std::vector<CReferencesBar::CEntry>& m_entries;
};

} // namespace

CReferencesBar::CReferencesBar(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("ReferencesBar"));
  setColumnCount(3);
  setHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Text")});
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setItemDelegateForColumn(TEXT_COLUMN, new CHighlightDelegate(m_entries, this));
  // Enter and a double click both arrive as an activation.
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { Activate(item); });
}

void CReferencesBar::SetReferences(const QString& name, const std::vector<CEntry>& entries) {
  clear();
  m_entries = entries;
  // The text is shown from its first non-blank character.
  // The place a jump goes to (col, a byte index) stays as it is.
  for (CEntry& e : m_entries) {
    if (e.textCol < 0) e.textCol = e.col;
    int lead = 0;
    while (lead < e.text.size() && lead < e.textCol && e.text[lead].isSpace()) ++lead;
    e.text.remove(0, lead);
    e.textCol -= lead;
  }
  setToolTip(QStringLiteral("References of %1: %2").arg(name).arg(entries.size()));
  QList<QTreeWidgetItem*> items;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    auto* item = new QTreeWidgetItem({QFileInfo(m_entries[i].path).fileName(), QString::number(m_entries[i].line + 1),
                                      m_entries[i].text.trimmed()});
    for (int column = 0; column < 3; ++column) item->setData(column, ENTRY_ROLE, static_cast<int>(i));
    item->setToolTip(0, m_entries[i].path);
    items << item;
  }
  addTopLevelItems(items);
  header()->resizeSections(QHeaderView::ResizeToContents);
}

bool CReferencesBar::Step(int direction) {
  const int count = topLevelItemCount();
  if (count == 0) return false;
  const int current = currentItem() ? indexOfTopLevelItem(currentItem()) : (direction > 0 ? -1 : count);
  const int next = ((current + (direction > 0 ? 1 : -1)) % count + count) % count;
  setCurrentItem(topLevelItem(next));
  Activate(topLevelItem(next));
  return true;
}

void CReferencesBar::Activate(QTreeWidgetItem* item) {
  if (!item) return;
  const int row = item->data(0, ENTRY_ROLE).toInt();
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
  const CEntry& e = m_entries[static_cast<std::size_t>(row)];
  emit referenceActivated(e.path, e.line, e.col);
}
