#pragma once
#include <QTabWidget>
#include <array>

#include "cmd_target.h"
#include "object_bar_document.h"

class CCommandBinder;
class CMyTreeView;
class CProjectTab;

// The content of the "Object Bar" dock: tabs "Objects", "Classes" and "Functions" holding the
// three trees, and "Project" listing the open project's files. The tab index is how the rest
// of the program names a tree.
class CObjectBar : public QTabWidget, public CCmdTarget {
  Q_OBJECT

public:
  static constexpr int OBJECTS_TAB = 0;
  static constexpr int CLASSES_TAB = 1;
  static constexpr int FUNCTIONS_TAB = 2;
  static constexpr int VIEW_COUNT = 3;
  static constexpr int PROJECT_TAB = 3; // after the trees: VIEW_COUNT counts trees only

  explicit CObjectBar(QWidget* parent = nullptr);

  CMyTreeView* GetView(int index) const { return m_views.at(static_cast<std::size_t>(index)); }
  CProjectTab* ProjectTab() const { return m_project; }

  void SetHost(CObjectBarHost* host);
  void SetCommandBinder(CCommandBinder* binder);

  // The document's subtree in every tree, in tab order: built from its records, removed,
  // or relabelled with a new tree name.
  void FillDocument(const CObjectBarDocument& document);
  void RemoveDocument(const CObjectBarDocument& document);
  void RenameDocument(const CObjectBarDocument& document, const std::string& treeName);

  // Commands reach the tree of the current tab (none while the Project tab is current).
  bool OnCmdMsg(int id) override;
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override;

private:
  std::array<CMyTreeView*, VIEW_COUNT> m_views{};
  CProjectTab* m_project = nullptr;
};
