#include "project_tab.h"

#include <QDir>
#include <QKeyEvent>

namespace {

constexpr int PATH_ROLE = Qt::UserRole + 1;

} // namespace

CProjectTab::CProjectTab(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { OpenRow(row(item)); });
  SetFiles({}, QString(), QString());
}

void CProjectTab::SetFiles(const QStringList& files, const QString& mainFile, const QString& folder) {
  clear();
  if (files.isEmpty()) {
    auto* none = new QListWidgetItem(QString::fromLatin1(NO_PROJECT), this);
    none->setFlags(Qt::NoItemFlags);
    return;
  }
  QStringList ordered = files;
  // The main file heads the list whatever its place in the project file.
  if (const qsizetype at = ordered.indexOf(mainFile); at > 0) ordered.move(at, 0);
  const QDir base(folder);
  for (const QString& path : ordered) {
    const QString relative = base.relativeFilePath(path);
    const bool main = path == mainFile;
    auto* item = new QListWidgetItem(
        (relative.startsWith(QLatin1String("../")) ? path : relative) + (main ? QString::fromLatin1(MAIN_MARK) : QString()),
        this);
    item->setData(PATH_ROLE, path);
    item->setToolTip(path);
    if (main) {
      QFont bold = font();
      bold.setBold(true);
      item->setFont(bold);
    }
  }
}

QString CProjectTab::PathAt(int row) const {
  const QListWidgetItem* entry = item(row);
  return entry ? entry->data(PATH_ROLE).toString() : QString();
}

void CProjectTab::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    event->accept();
    OpenRow(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void CProjectTab::OpenRow(int row) {
  const QString path = PathAt(row);
  if (!path.isEmpty() && m_opener) m_opener(path);
}
