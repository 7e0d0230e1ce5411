#pragma once
#include <QPointer>
#include <functional>

#include "mdi_child_base.h"
#include "pane_grid.h"

class CTorvaneDoc;
class CTorvaneView;
class QSplitter;

// The MDI child window of a document: its views in a grid of panes, one to two rows by one
// to two columns. Panes of a row share their top line and panes of a column their first
// column (the views ask the grid). F6 and Shift+F6 step through its panes and then the
// bars (the main frame's).
class CChildFrame : public CMdiChildBase, public CPaneGrid {
  Q_OBJECT

public:
  static constexpr int MAX_ROWS = 2;
  static constexpr int MAX_COLUMNS = 2;
  // Gives a new view what the application shares with every view (style table, binder).
  using ViewSetup = std::function<void(CTorvaneView*)>;

  CChildFrame(CTorvaneDoc* document, ViewSetup setup, QWidget* parent = nullptr);
  ~CChildFrame() override;

  // Sets the grid to rows x columns panes (each 1 or 2): new panes get new views of the
  // document, lined up with their row and column; panes outside the grid close.
  void Split(int rows, int columns);

  int RowCount() const override { return m_rows; }
  int ColumnCount() const override { return m_columns; }
  CTextView* PaneView(int row, int column) const override;
  bool FindPane(const CTextView* view, int& row, int& column) const override;

  void InitialUpdateFrame() override;
  CView* GetActiveView() const override;
  std::vector<CView*> FrameViews() const override;
  CTorvaneView* Pane(int row, int column) const;

signals:
  // The pane holding the focus changed (commands now go to another view).
  void activeViewChanged();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  CTorvaneView* MakeView();

  CTorvaneDoc* m_document;
  ViewSetup m_setup;
  QSplitter* m_rowSplitter;
  QSplitter* m_rowWidgets[MAX_ROWS] = {nullptr, nullptr};
  QPointer<CTorvaneView> m_panes[MAX_ROWS][MAX_COLUMNS];
  QPointer<CTorvaneView> m_lastActive;
  int m_rows = 1;
  int m_columns = 1;
  bool m_initialised = false;
};
