#include "child_frame.h"

#include <QEvent>
#include <QSplitter>
#include <algorithm>

#include "command_ids.h"
#include "torvane_doc.h"
#include "torvane_view.h"

CChildFrame::CChildFrame(CTorvaneDoc* document, ViewSetup setup, QWidget* parent)
    : CMdiChildBase(document, parent), m_document(document), m_setup(std::move(setup)) {
  m_rowSplitter = new QSplitter(Qt::Vertical);
  m_rowSplitter->setChildrenCollapsible(false);
  setWidget(m_rowSplitter);
  m_rowWidgets[0] = new QSplitter(Qt::Horizontal);
  m_rowWidgets[0]->setChildrenCollapsible(false);
  m_rowSplitter->addWidget(m_rowWidgets[0]);
  m_panes[0][0] = MakeView();
  m_rowWidgets[0]->addWidget(m_panes[0][0]);
  m_lastActive = m_panes[0][0];
  resize(640, 420);
}

CChildFrame::~CChildFrame() = default;

CTorvaneView* CChildFrame::MakeView() {
  auto* view = new CTorvaneView;
  m_document->AddView(view);
  view->SetPaneGrid(this);
  if (m_setup) m_setup(view);
  view->installEventFilter(this);
  return view;
}

CTorvaneView* CChildFrame::Pane(int row, int column) const {
  if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return nullptr;
  return m_panes[row][column];
}

CTextView* CChildFrame::PaneView(int row, int column) const { return Pane(row, column); }

bool CChildFrame::FindPane(const CTextView* view, int& row, int& column) const {
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c < m_columns; ++c)
      if (m_panes[r][c] && m_panes[r][c] == view) {
        row = r;
        column = c;
        return true;
      }
  return false;
}

void CChildFrame::Split(int rows, int columns) {
  rows = std::clamp(rows, 1, MAX_ROWS);
  columns = std::clamp(columns, 1, MAX_COLUMNS);
  // Panes outside the new grid go first, so that no view lines up with a closing one.
  for (int r = 0; r < MAX_ROWS; ++r)
    for (int c = 0; c < MAX_COLUMNS; ++c)
      if ((r >= rows || c >= columns) && m_panes[r][c]) {
        delete m_panes[r][c];
        m_panes[r][c] = nullptr;
      }
  if (rows < MAX_ROWS && m_rowWidgets[1]) {
    delete m_rowWidgets[1];
    m_rowWidgets[1] = nullptr;
  }
  m_rows = rows;
  m_columns = columns;
  std::vector<CTorvaneView*> added;
  for (int r = 0; r < rows; ++r) {
    if (!m_rowWidgets[r]) {
      m_rowWidgets[r] = new QSplitter(Qt::Horizontal);
      m_rowWidgets[r]->setChildrenCollapsible(false);
      m_rowSplitter->addWidget(m_rowWidgets[r]);
    }
    for (int c = 0; c < columns; ++c) {
      if (m_panes[r][c]) continue;
      m_panes[r][c] = MakeView();
      m_rowWidgets[r]->insertWidget(c, m_panes[r][c]);
      added.push_back(m_panes[r][c]);
    }
  }
  if (!m_lastActive) m_lastActive = m_panes[0][0];
  // Views of a frame already shown line up with their row and column at once; a frame not
  // yet shown runs every initial update when it is.
  if (m_initialised)
    for (CTorvaneView* view : added) view->OnInitialUpdate();
  emit activeViewChanged();
}

void CChildFrame::InitialUpdateFrame() {
  m_initialised = true;
  CMdiChildBase::InitialUpdateFrame();
}

CView* CChildFrame::GetActiveView() const {
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c < m_columns; ++c)
      if (m_panes[r][c] && m_panes[r][c]->hasFocus()) return m_panes[r][c];
  if (m_lastActive) return m_lastActive;
  return m_panes[0][0];
}

std::vector<CView*> CChildFrame::FrameViews() const {
  std::vector<CView*> views;
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c < m_columns; ++c)
      if (m_panes[r][c]) views.push_back(m_panes[r][c]);
  return views;
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    auto* view = qobject_cast<CTorvaneView*>(watched);
    int row = 0, column = 0;
    if (view && FindPane(view, row, column) && m_lastActive != view) {
      m_lastActive = view;
      emit activeViewChanged();
    }
  }
  return CMdiChildBase::eventFilter(watched, event);
}

