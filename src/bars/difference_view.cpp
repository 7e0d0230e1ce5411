#include "difference_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "message_box.h"
#include "walkthrough_folder.h"

namespace {
const QColor CHANGED_EXPECTED(255, 220, 220);
const QColor CHANGED_ACTUAL(220, 255, 220);
} // namespace

CDifferenceView::CDifferenceView(const QString& folder, const WalkthroughOutcome& outcome, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_outcome(outcome) {
  setWindowTitle(tr("Difference: %1").arg(outcome.name));
  m_problem = new QLabel(outcome.problem, this);
  m_problem->setTextFormat(Qt::PlainText);
  m_problem->setWordWrap(true);
  m_problem->setVisible(!outcome.problem.isEmpty());
  m_table = new QTableWidget(0, 3, this);
  m_table->setAccessibleName(windowTitle()); // the dialog's one table: what a reader is told
  m_table->setHorizontalHeaderLabels({tr("Command"), tr("Expected (%1.expected)").arg(outcome.name), tr("Actual")});
  m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->verticalHeader()->setVisible(false);
  m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_bless = new QPushButton(tr("&Bless"), this);
  m_bless->setToolTip(tr("Accept the actual transcript as %1.expected").arg(outcome.name));
  m_bless->setEnabled(outcome.ranToEnd);
  m_play = new QPushButton(tr("&Play from Here"), this);
  auto* close = new QPushButton(tr("Close"), this);
  auto* row = new QHBoxLayout;
  row->addWidget(m_bless);
  row->addWidget(m_play);
  row->addStretch();
  row->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_problem);
  layout->addWidget(m_table, 1);
  layout->addLayout(row);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(m_bless, &QPushButton::clicked, this, &CDifferenceView::Bless);
  connect(m_play, &QPushButton::clicked, this, [this] {
    const int row = m_table->currentRow();
    emit playFromHere(m_outcome.commands.commands, CommandOfRow(row < 0 ? 0 : row));
  });
  Fill();
  resize(900, 500);
}

int CDifferenceView::CommandOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(m_rowCommand.size()) ? m_rowCommand[row] : 0;
}

void CDifferenceView::AddRow(int command, const QString& expected, const QString& actual, bool changed) {
  const int row = m_table->rowCount();
  m_table->insertRow(row);
  const bool first = m_rowCommand.empty() || m_rowCommand.back() != command;
  const auto& commands = m_outcome.commands.commands;
  const QString name = command < 0 ? QString() : command == 0 ? tr("(opening)")
                       : command <= static_cast<int>(commands.size()) ? QString::fromStdString(commands[command - 1])
                                                                      : tr("(after the last)");
  m_table->setItem(row, COLUMN_COMMAND, new QTableWidgetItem(first ? name : QString()));
  auto* left = new QTableWidgetItem(expected);
  auto* right = new QTableWidgetItem(actual);
  if (changed) {
    left->setBackground(CHANGED_EXPECTED);
    right->setBackground(CHANGED_ACTUAL);
  }
  m_table->setItem(row, COLUMN_EXPECTED, left);
  m_table->setItem(row, COLUMN_ACTUAL, right);
  m_rowCommand.push_back(command);
}

void CDifferenceView::Fill() {
  // Every line pair first (a removed block beside the block that came in for it), then the
  // changed pairs with CONTEXT_LINES of the equal ones around them.
  struct Pair { int a, b; bool changed; }; // a or b -1: no line on that side
  std::vector<Pair> pairs;
  const auto& runs = m_outcome.runs;
  for (size_t i = 0; i < runs.size(); ++i) {
    const DiffRun& run = runs[i];
    if (run.kind == DiffRun::Equal) {
      for (int k = 0; k < run.count; ++k) pairs.push_back({run.aStart + k, run.bStart + k, false});
      continue;
    }
    const int removed = run.kind == DiffRun::Delete ? run.count : 0;
    const bool paired = removed > 0 && i + 1 < runs.size() && runs[i + 1].kind == DiffRun::Insert;
    const int added = run.kind == DiffRun::Insert ? run.count : paired ? runs[i + 1].count : 0;
    const int bStart = run.kind == DiffRun::Insert ? run.bStart : paired ? runs[i + 1].bStart : run.bStart;
    for (int k = 0; k < std::max(removed, added); ++k)
      pairs.push_back({k < removed ? run.aStart + k : -1, k < added ? bStart + k : -1, true});
    if (paired) ++i;
  }
  std::vector<bool> shown(pairs.size(), false);
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (!pairs[i].changed) continue;
    const size_t from = i >= CONTEXT_LINES ? i - CONTEXT_LINES : 0;
    for (size_t k = from; k < std::min(pairs.size(), i + CONTEXT_LINES + 1); ++k) shown[k] = true;
  }
  const auto& actualCommand = m_outcome.actual.command;
  int nextB = 0; // the actual line at or after a pair: its command names the block
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i].b >= 0) nextB = pairs[i].b;
    if (!shown[i]) continue;
    if (i > 0 && !shown[i - 1] && m_table->rowCount() > 0) AddRow(-1, QStringLiteral("..."), QStringLiteral("..."), false);
    const int command = actualCommand.empty() ? 0
                        : actualCommand[std::min<size_t>(static_cast<size_t>(nextB), actualCommand.size() - 1)];
    AddRow(command, pairs[i].a >= 0 ? QString::fromStdString(m_outcome.expected[pairs[i].a]) : QString(),
           pairs[i].b >= 0 ? QString::fromStdString(m_outcome.actual.lines[pairs[i].b]) : QString(), pairs[i].changed);
  }
}

bool CDifferenceView::Bless() {
  QString error;
  if (!m_outcome.ranToEnd) {
    TorvaneMessageBox(tr("%1 did not run to its end; its transcript is not blessed.\n%2").arg(m_outcome.name, m_outcome.problem),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!WriteExpectedTranscript(m_folder, m_outcome.name, m_outcome.actual.Text(), error)) {
    TorvaneMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  m_bless->setEnabled(false);
  emit blessed(m_outcome.name);
  return true;
}
