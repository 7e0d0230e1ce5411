#include "object_bar.h"

#include "project_tab.h"
#include "tree_class_view.h"
#include "tree_function_view.h"
#include "tree_object_view.h"

CObjectBar::CObjectBar(QWidget* parent) : QTabWidget(parent) {
  m_views = {new CTreeObjectView, new CTreeClassView, new CTreeFunctionView};
  const std::array<const char*, VIEW_COUNT> labels = {"Objects", "Classes", "Functions"};
  for (int i = 0; i < VIEW_COUNT; ++i) {
    addTab(m_views[i], QString::fromLatin1(labels[i]));
    m_views[i]->OnInitialUpdate();
  }
  m_project = new CProjectTab;
  addTab(m_project, QStringLiteral("Project"));
}

void CObjectBar::SetHost(CObjectBarHost* host) {
  for (CMyTreeView* view : m_views) view->SetHost(host);
}

void CObjectBar::SetCommandBinder(CCommandBinder* binder) {
  for (CMyTreeView* view : m_views) view->SetCommandBinder(binder);
}

void CObjectBar::FillDocument(const CObjectBarDocument& document) {
  for (CMyTreeView* view : m_views) view->FillDocument(document);
}

void CObjectBar::RemoveDocument(const CObjectBarDocument& document) {
  for (CMyTreeView* view : m_views) view->RemoveDocument(document);
}

void CObjectBar::RenameDocument(const CObjectBarDocument& document, const std::string& treeName) {
  for (CMyTreeView* view : m_views) view->RenameDocument(document, treeName);
}

bool CObjectBar::OnCmdMsg(int id) {
  return currentIndex() >= 0 && currentIndex() < VIEW_COUNT && GetView(currentIndex())->OnCmdMsg(id);
}

bool CObjectBar::OnUpdateCmdUI(int id, CCmdUIState& state) {
  return currentIndex() >= 0 && currentIndex() < VIEW_COUNT &&
         GetView(currentIndex())->OnUpdateCmdUI(id, state);
}
