// The difference view keeps each side to its own transcript: expected on the left, actual on
// the right, even where the two sides have a different number of lines before a change.
#include <QApplication>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "difference_view.h"

namespace {

TEST(DifferenceView, EachSideShowsItsOwnTranscriptWhenTheSidesAreOutOfStep) {
  WalkthroughOutcome outcome;
  outcome.commands.commands = {"look"};
  outcome.expected = {"Title", "Extra one", "Extra two", ">look", "Old room."};
  outcome.actual.lines = {"Title", ">look", "New room.", "Added."};
  outcome.actual.command = {0, 1, 1, 1};
  outcome.runs = DiffLines(outcome.expected, outcome.actual.lines);
  CDifferenceView view("/nonexistent", outcome);
  QStringList rows;
  for (int row = 0; row < view.Table()->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < 3; ++column) cells << view.Table()->item(row, column)->text();
    const bool marked = view.Table()->item(row, 1)->background().color() == QColor(255, 220, 220) &&
                        view.Table()->item(row, 2)->background().color() == QColor(220, 255, 220);
    rows << cells.join('|') + (marked ? " *" : "");
  }
  EXPECT_EQ(rows.join('\n').toStdString(),
            "(opening)|Title|Title\n|Extra one| *\n|Extra two| *\nlook|>look|>look\n"
            "|Old room.|New room. *\n||Added. *");
  EXPECT_EQ(view.CommandOfRow(4), 1);
}

} // namespace
