#include "walkthrough_bar.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "walkthrough_folder.h"

CWalkthroughBar::CWalkthroughBar(QWidget* parent) : QWidget(parent) {
  m_list = new QTreeWidget(this);
  m_list->setHeaderLabels({tr("Walkthrough"), tr("State")});
  m_list->setRootIsDecorated(false);
  m_list->header()->setStretchLastSection(true);
  m_run = new QPushButton(tr("&Run Walkthroughs"), this);
  m_difference = new QPushButton(tr("Show &Difference"), this);
  m_folderLabel = new QLabel(this);
  m_folderLabel->setTextFormat(Qt::PlainText);
  auto* row = new QHBoxLayout;
  row->addWidget(m_run);
  row->addWidget(m_difference);
  row->addWidget(m_folderLabel, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(row);
  layout->addWidget(m_list, 1);
  connect(m_run, &QPushButton::clicked, this, &CWalkthroughBar::runRequested);
  connect(m_difference, &QPushButton::clicked, this, [this] {
    if (QTreeWidgetItem* item = m_list->currentItem()) emit differenceRequested(item->text(0));
  });
  connect(m_list, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { emit differenceRequested(item->text(0)); });
  SetFolder(QString());
}

void CWalkthroughBar::SetFolder(const QString& folder) {
  if (folder != m_folder) m_outcomes.clear();
  m_folder = folder;
  m_kept = folder.isEmpty() ? std::map<QString, KeptWalkthroughResult>() : ReadWalkthroughResults(folder);
  Refill();
}

void CWalkthroughBar::SetRunning(bool running) {
  m_run->setEnabled(!running && !m_folder.isEmpty());
}

void CWalkthroughBar::Record(const WalkthroughOutcome& outcome) {
  m_outcomes[outcome.name] = outcome;
  Refill();
}

const WalkthroughOutcome* CWalkthroughBar::Outcome(const QString& name) const {
  const auto it = m_outcomes.find(name);
  return it == m_outcomes.end() ? nullptr : &it->second;
}

QString CWalkthroughBar::StateText(const QString& name) const {
  const WalkthroughOutcome* outcome = Outcome(name);
  if (!outcome) {
    const auto kept = m_kept.find(name);
    if (kept == m_kept.end()) return tr("never run");
    if (kept->second.passed) return tr("passed");
    return kept->second.problem.isEmpty() ? tr("failed") : tr("failed: %1").arg(kept->second.problem);
  }
  if (outcome->state == WalkthroughOutcome::NeverRun) return tr("never run");
  if (outcome->state == WalkthroughOutcome::Passed) return tr("passed");
  return outcome->problem.isEmpty() ? tr("failed") : tr("failed: %1").arg(outcome->problem);
}

void CWalkthroughBar::Refill() {
  const QString current = m_list->currentItem() ? m_list->currentItem()->text(0) : QString();
  m_list->clear();
  const QStringList names = m_folder.isEmpty() ? QStringList() : ListWalkthroughs(m_folder);
  for (const QString& name : names) {
    auto* item = new QTreeWidgetItem(m_list, {name, StateText(name)});
    const QString state = StateText(name);
    if (state != tr("never run"))
      item->setForeground(1, state == tr("passed") ? QColor(0, 128, 0) : QColor(192, 0, 0));
    if (name == current) m_list->setCurrentItem(item);
  }
  m_folderLabel->setText(m_folder.isEmpty() ? tr("No game: open its main file.")
                         : names.isEmpty() ? tr("No walkthroughs in %1 yet: Save as Walkthrough in the Story bar makes one.").arg(m_folder)
                                           : m_folder);
  m_run->setEnabled(!m_folder.isEmpty() && !names.isEmpty());
  m_difference->setEnabled(!names.isEmpty());
}
