#pragma once
// A whole IDE for one test, settings in its own folder, boxes and file dialogs answered.
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../toolchain/toolchain_test_support.h"
#include "command_binder.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "file_dialog.h"
#include "mdi_child_base.h"
#include "main_frame.h"
#include "message_box.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "profile_store.h"
#include "torvane_app.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace apptest {

class Ide : public ::testing::Test {
protected:
  void SetUp() override {
    CProfileStore::SetUserConfigDirectory(dir.filePath("config"));
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      messages << text;
      return answers.isEmpty() ? IDOK : answers.takeFirst();
    });
    SetTorvaneFileDialogHandler([this](const FileDialogRequest& request) {
      dialogs << request.title + ": " + QtFileFilter(request.filter);
      return FileDialogAnswer{dialogAnswer, 0};
    });
  }
  void TearDown() override {
    app.reset();
    SetTorvaneMessageBoxHandler({});
    SetTorvaneFileDialogHandler({});
  }
  bool Start(const QStringList& files = {}) {
    app = std::make_unique<CTorvaneApp>();
    const bool started = app->InitInstance(files);
    QApplication::processEvents();
    return started;
  }
  bool CloseFrame() {
    const bool closed = app->MainFrame()->close();
    QApplication::processEvents();
    return closed;
  }
  // The action of command id in menu menuId (128 or 129), searched through its pop-ups.
  QAction* MenuAction(int menuId, int id) {
    QList<QMenu*> menus = app->MainFrame()->Menus(menuId);
    for (qsizetype i = 0; i < menus.size(); ++i)
      for (QAction* action : menus[i]->actions()) {
        if (action->menu()) menus << action->menu();
        if (action->data().toInt() == id) return action;
      }
    return nullptr;
  }
  // Whether command id is enabled in the menu shown now, refreshed first.
  bool Enabled(int id) {
    app->MainFrame()->Binder().Refresh();
    QAction* action = MenuAction(app->MainFrame()->CurrentMenuId(), id);
    EXPECT_NE(action, nullptr) << id;
    return action && action->isEnabled();
  }
  // Triggers command id from the menu shown now; false when it is disabled.
  bool Choose(int id) {
    if (!Enabled(id)) return false;
    MenuAction(app->MainFrame()->CurrentMenuId(), id)->trigger();
    QApplication::processEvents();
    return true;
  }
  // The tree of object-bar tab tab: "lantern(LampRoom, Workshop(lantern)) Untitled1".
  std::string Tree(int tab) {
    std::function<std::string(const CTreeItem*, const char*)> from = [&](const CTreeItem* item, const char* sep) {
      std::string out; // item and the siblings after it
      for (; item; item = item->NextSibling())
        out += (out.empty() ? "" : sep) + item->Text() + (item->FirstChild() ? "(" + from(item->FirstChild(), ", ") + ")" : "");
      return out;
    };
    return from(app->MainFrame()->ObjectBarTabs()->GetView(tab)->Model().FirstRoot(), " ");
  }
  CTorvaneDoc* ActiveDoc() { return static_cast<CTorvaneDoc*>(app->DocManager()->ActiveDocument()); }
  CTorvaneView* ActiveView() {
    CMdiChildBase* frame = app->DocManager()->ActiveFrame();
    return frame ? static_cast<CTorvaneView*>(frame->GetActiveView()) : nullptr;
  }
  // The active document's file name and the caret's line, from 0: "adv.inf:1".
  QString Where() {
    return QFileInfo(ActiveDoc()->GetPathName()).fileName() + ":" +
           QString::number(ActiveView()->GetCursorPosition().y);
  }
  QString Path(const QString& name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  std::unique_ptr<CTorvaneApp> app;
  QStringList messages;
  QList<int> answers; // given to the boxes in turn; IDOK once they run out
  QStringList dialogs; // each file dialog asked, as "title: filter" in Qt's form
  QString dialogAnswer;
};

} // namespace apptest
