#include "ide_test_support.h"

#include <QApplication>
#include <QMenu>

#include "command_binder.h"
#include "doc_manager.h"
#include "file_dialog.h"
#include "frame_child.h"
#include "main_frame.h"
#include "message_box.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "profile_store.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace apptest {

void Ide::SetUp() {
  ASSERT_TRUE(dir.isValid());
  CProfileStore::SetUserConfigDirectory(dir.filePath("config"));
  SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
    messages << text;
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
  SetTorvaneFileDialogHandler([this](const FileDialogRequest& request) {
    dialogTitles << request.title;
    dialogFilters << request.filter;
    return FileDialogAnswer{dialogAnswer, 0};
  });
}

void Ide::TearDown() {
  app.reset();
  SetTorvaneMessageBoxHandler({});
  SetTorvaneFileDialogHandler({});
}

bool Ide::Start(const QStringList& files) {
  app = std::make_unique<CTorvaneApp>();
  const bool started = app->InitInstance(files);
  QApplication::processEvents();
  return started;
}

namespace {
std::string Subtree(const CTreeItem* item) {
  std::string out = item->Text();
  for (int i = 0; i < item->ChildCount(); ++i)
    out += (i == 0 ? "(" : ", ") + Subtree(item->Child(i)) + (i + 1 == item->ChildCount() ? ")" : "");
  return out;
}
} // namespace

std::string Ide::Tree(int tab) {
  std::string out;
  for (const CTreeItem* root = app->MainFrame()->ObjectBarTabs()->GetView(tab)->Model().FirstRoot();
       root; root = root->NextSibling())
    out += (out.empty() ? "" : " ") + Subtree(root);
  return out;
}

bool Ide::CloseFrame() {
  const bool closed = app->MainFrame()->close();
  QApplication::processEvents();
  return closed;
}

QAction* Ide::MenuAction(int menuId, int id) {
  const QList<QMenu*> topLevel = app->MainFrame()->Menus(menuId);
  std::vector<QMenu*> menus(topLevel.begin(), topLevel.end());
  while (!menus.empty()) {
    QMenu* menu = menus.back();
    menus.pop_back();
    for (QAction* action : menu->actions()) {
      if (action->menu()) menus.push_back(action->menu());
      if (action->data().toInt() == id) return action;
    }
  }
  return nullptr;
}

bool Ide::Choose(int id) {
  QAction* action = MenuAction(app->MainFrame()->CurrentMenuId(), id);
  EXPECT_NE(action, nullptr) << id;
  if (!action) return false;
  app->MainFrame()->Binder().Refresh();
  if (!action->isEnabled()) return false;
  action->trigger();
  QApplication::processEvents();
  return true;
}

CTorvaneDoc* Ide::ActiveDoc() {
  return static_cast<CTorvaneDoc*>(app->DocManager()->ActiveDocument());
}

CTorvaneView* Ide::ActiveView() {
  CFrameChild* frame = app->DocManager()->ActiveFrame();
  return frame ? static_cast<CTorvaneView*>(frame->GetActiveView()) : nullptr;
}

} // namespace apptest
