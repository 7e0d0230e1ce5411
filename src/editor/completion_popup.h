#pragma once
#include <QAbstractListModel>
#include <QListView>
#include <vector>

#include "completion.h"

// The names offered for the word at the caret, shown as a small list under it. The list takes
// no focus: the view keeps the keyboard, so typing goes on into the text (and its undo group)
// while the owner narrows the list; the owner hands it the keys that move in it.
class CCompletionPopup : public QListView {
  Q_OBJECT

public:
  static constexpr int VISIBLE_ROWS = 10;

  explicit CCompletionPopup(QWidget* parent);
  ~CCompletionPopup() override;

  // Shows items, the first one current.
  void SetItems(std::vector<CCompletionItem> items);
  int Count() const;
  // The current name; empty when there is none.
  std::string CurrentName() const;
  // The rows as shown ("lamp  object"), for tests and the accessible name.
  QStringList Rows() const;
  // Moves the current row by delta, stopping at the first and the last.
  void MoveCurrent(int delta);
  // Places the list below (or, where there is no room, above) the line whose top-left is at
  // anchor in the parent, lineHeight high.
  void PlaceAt(QPoint anchor, int lineHeight);

signals:
  // A row was double-clicked: the owner inserts it.
  void itemChosen();

private:
  class CModel;
  CModel* m_model;
};
