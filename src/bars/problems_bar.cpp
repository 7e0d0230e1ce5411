#include "problems_bar.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "string_table.h"

namespace {

constexpr int ENTRY_ROLE = Qt::UserRole;
constexpr int SORT_ROLE = Qt::UserRole + 1; // the severity (errors 0) and the line as numbers

QStringList Parts(int id) { return QString::fromLatin1(LoadStringResource(id)).split(QLatin1Char('\n')); }

// A row that sorts its line column by number and its severity errors first, each kept in
// the order of the output among equals.
class CProblemItem final : public QTreeWidgetItem {
public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    int order = 0;
    if (column == CProblemsBar::COLUMN_LINE || column == CProblemsBar::COLUMN_SEVERITY)
      order = data(column, SORT_ROLE).toInt() - other.data(column, SORT_ROLE).toInt();
    else
      order = text(column).compare(other.text(column), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : data(0, ENTRY_ROLE).toInt() < other.data(0, ENTRY_ROLE).toInt();
  }
};

} // namespace

CProblemsBar::CProblemsBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ProblemsBar"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* top = new QHBoxLayout;
  top->setContentsMargins(4, 2, 4, 0);
  m_warnings = new QCheckBox(Parts(StringId::PROBLEMS_SHOW_WARNINGS).value(0), this);
  m_warnings->setChecked(true);
  m_summary = new QLabel(this);
  top->addWidget(m_warnings);
  top->addStretch(1);
  top->addWidget(m_summary);
  layout->addLayout(top);
  m_list = new QTreeWidget(this);
  m_list->setObjectName(QStringLiteral("ProblemsList"));
  m_list->setColumnCount(COLUMN_COUNT);
  m_list->setHeaderLabels(Parts(StringId::PROBLEMS_COLUMNS));
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setSortingEnabled(true);
  m_list->sortByColumn(COLUMN_SEVERITY, Qt::AscendingOrder);
  layout->addWidget(m_list, 1);
  // Enter and a double click both arrive as an activation.
  connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { Activate(item); });
  connect(m_warnings, &QCheckBox::toggled, this, &CProblemsBar::SetShowWarnings);
  UpdateSummary();
}

void CProblemsBar::SetProblems(const std::vector<CEntry>& entries) {
  m_entries = entries;
  Fill();
}

void CProblemsBar::SetShowWarnings(bool show) {
  if (show == m_showWarnings) return;
  m_showWarnings = show;
  m_warnings->setChecked(show);
  Fill();
  emit showWarningsChanged(show);
}

void CProblemsBar::Fill() {
  m_list->clear();
  const QStringList severities = Parts(StringId::PROBLEMS_SEVERITIES);
  QList<QTreeWidgetItem*> items;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const CEntry& e = m_entries[i];
    if (e.warning && !m_showWarnings) continue;
    auto* item = new CProblemItem;
    item->setText(COLUMN_SEVERITY, severities.value(e.warning ? 1 : 0));
    item->setData(COLUMN_SEVERITY, SORT_ROLE, e.warning ? 1 : 0);
    item->setIcon(COLUMN_SEVERITY, style()->standardIcon(e.warning ? QStyle::SP_MessageBoxWarning
                                                                   : QStyle::SP_MessageBoxCritical));
    item->setText(COLUMN_FILE, QFileInfo(e.path).fileName());
    item->setToolTip(COLUMN_FILE, e.path);
    item->setText(COLUMN_LINE, e.line > 0 ? QString::number(e.line) : QString());
    item->setData(COLUMN_LINE, SORT_ROLE, e.line);
    item->setText(COLUMN_TEXT, e.text);
    item->setToolTip(COLUMN_TEXT, e.text);
    item->setData(0, ENTRY_ROLE, static_cast<int>(i));
    items << item;
  }
  m_list->addTopLevelItems(items);
  m_list->header()->resizeSections(QHeaderView::ResizeToContents);
  UpdateSummary();
}

void CProblemsBar::UpdateSummary() {
  int errors = 0;
  for (const CEntry& e : m_entries) errors += e.warning ? 0 : 1;
  const int warnings = static_cast<int>(m_entries.size()) - errors;
  m_summary->setText(QString::fromLatin1(LoadStringResource(StringId::PROBLEMS_SUMMARY)).arg(errors).arg(warnings));
}

std::vector<int> CProblemsBar::ShownRows() const {
  std::vector<int> rows;
  for (int i = 0; i < m_list->topLevelItemCount(); ++i)
    rows.push_back(m_list->topLevelItem(i)->data(0, ENTRY_ROLE).toInt());
  return rows;
}

void CProblemsBar::Activate(QTreeWidgetItem* item) {
  if (!item) return;
  const int row = item->data(0, ENTRY_ROLE).toInt();
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
  const CEntry& e = m_entries[static_cast<std::size_t>(row)];
  if (e.path.isEmpty() || e.line <= 0) return; // the build as a whole: nowhere to go
  emit problemActivated(e.path, e.line, e.header);
}
