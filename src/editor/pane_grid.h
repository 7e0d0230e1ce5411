#pragma once

class CTextView;

// The panes a view shares its window with: a grid of rows and columns (at most 2 x 2 in the
// editor). Panes of one row share their top line, panes of one column their first column.
// The frame that holds the views implements it; a view finds it through FindPaneGrid.
class CPaneGrid {
public:
  virtual ~CPaneGrid() = default;
  virtual int RowCount() const = 0;
  virtual int ColumnCount() const = 0;
  // The view in pane (row, column); null for an empty pane or one outside the grid.
  virtual CTextView* PaneView(int row, int column) const = 0;
  // Where view sits; false when it is not a pane of this grid.
  virtual bool FindPane(const CTextView* view, int& row, int& column) const = 0;
};
