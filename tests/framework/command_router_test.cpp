// The command router and the binder: first answer wins along the route, a command nobody
// answers is off, and actions, panes and menus show what the route says.
#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "command_binder.h"
#include "command_router.h"
#include "file_dialog.h"
#include "recent_file_list.h"

namespace {

// Answers the commands of its table with the state given there and records what it ran.
struct Target : CCmdTarget {
  std::map<int, CCmdUIState> answers;
  std::vector<int> ran;
  bool OnCmdMsg(int id) override { return answers.count(id) && (ran.push_back(id), true); }
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override {
    if (!answers.count(id)) return false;
    const CCmdUIState& a = answers[id];
    state.enabled = a.enabled;
    state.checked = a.checked;
    state.text = a.text;
    return true;
  }
};

CCmdUIState On(const char* text = nullptr, bool checked = false) {
  CCmdUIState s;
  s.checked = checked;
  if (text) s.text = text;
  return s;
}
CCmdUIState Off() {
  CCmdUIState s;
  s.enabled = false;
  return s;
}

struct Route : ::testing::Test {
  Target view, document, frame;
  CCommandRouter router{[this](std::vector<CCmdTarget*>& r) { r = {&view, &document, &frame}; }};
};

TEST_F(Route, TheFirstTargetThatAnswersDecidesAndNobodyMeansOff) {
  view.answers[1] = Off();
  document.answers[1] = On();
  document.answers[2] = On("&Two", true);
  frame.answers[2] = On();
  frame.answers[3] = On();
  EXPECT_FALSE(router.Query(1).enabled);
  EXPECT_FALSE(router.Execute(1)); // disabled by the view: the document is not asked
  EXPECT_TRUE(router.Query(2).checked);
  EXPECT_TRUE(router.Execute(2));
  EXPECT_TRUE(router.Execute(3));
  EXPECT_EQ(document.ran, std::vector<int>{2});
  EXPECT_EQ(frame.ran, std::vector<int>{3});
  const CCmdUIState nobody = router.Query(4, true);
  EXPECT_FALSE(nobody.enabled);
  EXPECT_FALSE(nobody.checked);
  EXPECT_FALSE(router.Execute(4));
}

TEST_F(Route, ActionsMenusAndPanesShowTheRoutesAnswer) {
  CCommandBinder binder(router);
  QMenu menu;
  binder.WatchMenu(&menu);
  QAction* item = binder.MakeAction(2, "Two", &menu, CCommandBinder::Kind::MenuItem);
  QAction* button = binder.MakeAction(2, "Two", &menu, CCommandBinder::Kind::Button);
  QAction* key = binder.MakeAction(2, QString(), &menu, CCommandBinder::Kind::Accelerator);
  menu.addAction(item);
  QString pane = "unset";
  binder.BindPane(5, "LIT", [&](const QString& text) { pane = text; });

  frame.answers[2] = On("&Undo Typing\tCtrl+Z", true);
  frame.answers[5] = On();
  emit menu.aboutToShow();
  EXPECT_EQ(item->text(), "&Undo Typing\tCtrl+Z");
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(pane, "unset"); // panes wait for a full refresh
  binder.Refresh();
  EXPECT_EQ(button->text(), "Two"); // buttons keep their text
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(pane, "LIT");

  frame.answers[2] = Off();
  frame.answers[5] = On("Ln 3, Col 1");
  binder.Refresh();
  EXPECT_FALSE(item->isEnabled());
  EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(pane, "Ln 3, Col 1");
  EXPECT_TRUE(key->isEnabled()); // a key stays live; the router refuses the command
  key->trigger();
  item->setEnabled(true);
  item->trigger();
  EXPECT_TRUE(frame.ran.empty());
  frame.answers.erase(5);
  binder.Refresh();
  EXPECT_EQ(pane, "");
}

TEST(RecentFiles, TheLastFourOnceEachMostRecentFirst) {
  CRecentFileList list;
  list.SetPaths({"/a/1.inf", "", "/a/2.inf", "/a/1.inf"});
  EXPECT_EQ(list.Paths(), (QStringList{"/a/1.inf", "/a/2.inf"}));
  for (const char* path : {"/a/3.inf", "/a/4.inf", "/a/5.inf", "/a/2.inf"}) list.Add(path);
  EXPECT_EQ(list.Paths(), (QStringList{"/a/2.inf", "/a/5.inf", "/a/4.inf", "/a/3.inf"}));
  list.Add("/b/R&D.inf");
  EXPECT_EQ(list.MenuText(0), "&1 /b/R&&D.inf");
  EXPECT_EQ(list.MenuText(3), "&4 /a/4.inf");
}

TEST(FileDialogs, SavedNamesGetTheDefaultExtensionAndFiltersBecomeQts) {
  EXPECT_EQ(WithDefaultExtension("/g/adv", "inf"), "/g/adv.inf");
  EXPECT_EQ(WithDefaultExtension("/g/adv.h", "inf"), "/g/adv.h");
  EXPECT_EQ(WithDefaultExtension("/g.d/adv", "inf"), "/g.d/adv.inf");
  EXPECT_EQ(WithDefaultExtension("/g/.adv", "inf"), "/g/.adv.inf");
  EXPECT_EQ(WithDefaultExtension("", "inf"), "");
  EXPECT_EQ(QtFileFilter("Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||"),
            "Inform Files (*.inf);;Inform Header Files (*.h);;All Files (*)");
  SetTorvaneFileDialogHandler([](const FileDialogRequest&) { return FileDialogAnswer{"/g/x", 1}; });
  FileDialogRequest save;
  save.save = true;
  save.defaultExtension = "inf";
  EXPECT_EQ(TorvaneFileDialog(save).path, "/g/x.inf");
  save.save = false;
  EXPECT_EQ(TorvaneFileDialog(save).path, "/g/x");
  SetTorvaneFileDialogHandler({});
}

} // namespace
