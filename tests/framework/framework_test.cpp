// The command router and binder, the recent-file list, file dialog names, and the message box
// with the handler that tests put in its place.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

#include "command_binder.h"
#include "busy_guard.h"
#include "command_router.h"
#include "event_pump.h"
#include "file_dialog.h"
#include "message_box.h"
#include "recent_file_list.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// Answers the commands of its table with the state given there and records what it ran.
struct Target : CCmdTarget {
  std::map<int, CCmdUIState> answers;
  std::vector<int> ran;
  bool OnCmdMsg(int id) override { return answers.count(id) && (ran.push_back(id), true); }
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override {
    return answers.count(id) && (state = answers[id], true);
  }
};

struct Route : ::testing::Test {
  Target view, document, frame;
  CCommandRouter router{[this](std::vector<CCmdTarget*>& r) { r = {&view, &document, &frame}; }};
};

TEST_F(Route, TheFirstTargetThatAnswersDecidesAndNobodyMeansOff) {
  view.answers[1] = {.enabled = false};
  document.answers[1] = document.answers[2] = {.checked = true};
  frame.answers[2] = frame.answers[3] = {};
  EXPECT_FALSE(router.Query(1).enabled);
  EXPECT_FALSE(router.Execute(1)); // disabled by the view: the document is not asked
  EXPECT_TRUE(router.Query(2).checked);
  EXPECT_TRUE(router.Execute(2) && router.Execute(3));
  EXPECT_EQ(document.ran, std::vector<int>{2});
  EXPECT_EQ(frame.ran, std::vector<int>{3});
  const CCmdUIState nobody = router.Query(4, true);
  EXPECT_FALSE(nobody.enabled || nobody.checked || router.Execute(4));
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
  frame.answers[2] = {.checked = true, .text = "&Undo Typing\tCtrl+Z"};
  frame.answers[5] = {};
  emit menu.aboutToShow();
  EXPECT_EQ(item->text(), "&Undo Typing\tCtrl+Z");
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(pane, "unset"); // panes wait for a full refresh
  binder.Refresh();
  EXPECT_EQ(button->text(), "Two"); // buttons keep their text
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(pane, "LIT");
  frame.answers[2] = {.enabled = false};
  frame.answers[5] = {.text = "Ln 3, Col 1"};
  binder.Refresh();
  EXPECT_FALSE(item->isEnabled() || item->isChecked());
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

// A target declaring its commands in its table, one of them (6) without an enabled rule.
struct Declaring : CCmdTarget {
  std::vector<int> ran;
  bool on = false;
  Declaring() {
    m_commands.Add(1, [this] { ran.push_back(1); }, [this] { return on; }, [this] { return !on; });
    m_commands.AddRange(10, 3, [this](int n) { ran.push_back(100 + n); }, [](int n) { return n != 1; });
    m_commands.AddIndicator(5, CCommandTable::ALWAYS, [](const CCmdUIState&) { return "pane"; });
    m_commands.Add(6, [this] { ran.push_back(6); }, {});
    m_commands.Add(57634, [] {}, CCommandTable::ALWAYS); // Copy
  }
};

TEST(CommandTable, RulesDecideRangesGetTheirOffsetAndARunWithoutRuleIsCaughtAtRegistration) {
  Declaring target;
  CCommandRouter router([&](std::vector<CCmdTarget*>& r) { r = {&target}; });
  EXPECT_FALSE(router.Execute(1));
  EXPECT_TRUE(router.Query(1).checked);
  target.on = true;
  EXPECT_TRUE(router.Execute(1) && !router.Query(1).checked);
  EXPECT_FALSE(router.Query(11).enabled || router.Execute(11));
  EXPECT_TRUE(router.Execute(12) && router.Execute(10));
  CCmdUIState outside;
  EXPECT_FALSE(target.OnUpdateCmdUI(13, outside) || target.OnUpdateCmdUI(9, outside));
  EXPECT_EQ(router.Query(5).text, "pane");
  EXPECT_FALSE(router.Query(6).enabled || router.Execute(6));
  EXPECT_EQ(target.ran, (std::vector<int>{1, 102, 100}));
  EXPECT_EQ(target.Commands().Unanswered(), std::vector<int>{6});
  CCommandBinder binder(router);
  EXPECT_DEBUG_DEATH(binder.Register(target), "broken promise");
  std::unique_ptr<QMenu> menu = binder.BuildContextMenu(0, "ViewCM");
  std::map<int, bool> enabled; // by command id
  for (QAction* action : menu->actions()) enabled[action->data().toInt()] = action->isEnabled();
  EXPECT_EQ(menu->title(), "ViewCM");
  EXPECT_TRUE(enabled.at(57634) && !enabled.at(57635) && !enabled.at(57637)); // only Copy answered
}

TEST(EventPump, EventsRunAtMostOncePerIntervalAndTheBusyFlagIsLeftAloneOnceItsOwnerIsGone) {
  struct Owner {
    CLifetimeGuard life;
    bool busy = false;
  };
  auto owner = std::make_unique<Owner>();
  bool* busy = &owner->busy;
  {
    const CBusyGuard guard(owner->busy, owner->life);
    EXPECT_TRUE(*busy);
  }
  EXPECT_FALSE(*busy);
  int ran = 0;
  CEventPump slow(owner->life, 60000);
  QTimer::singleShot(0, [&] { ++ran; });
  EXPECT_TRUE(slow.PumpAndSurvive());
  EXPECT_EQ(ran, 0);
  CEventPump pump(owner->life);
  const CBusyGuard guard(owner->busy, owner->life);
  QTimer::singleShot(0, [&] { owner.reset(); });
  EXPECT_FALSE(pump.PumpAndSurvive());
  EXPECT_TRUE(ran == 1 && guard.OwnerGone() && !slow.Survived());
} // the guard must not write into the destroyed owner (the sanitizer build sees it)

TEST(FileMenu, RecentFilesAreTheLastFourOnceEachAndSavedNamesGetTheDefaultExtension) {
  CRecentFileList list;
  list.SetPaths({"/a/1.inf", "", "/a/2.inf", "/a/1.inf"});
  EXPECT_EQ(list.Paths(), (QStringList{"/a/1.inf", "/a/2.inf"}));
  for (const char* path : {"/a/3.inf", "/a/4.inf", "/a/5.inf", "/a/2.inf", "/b/R&D.inf"}) list.Add(path);
  EXPECT_EQ(list.Paths(), (QStringList{"/b/R&D.inf", "/a/2.inf", "/a/5.inf", "/a/4.inf"}));
  EXPECT_EQ(list.MenuText(0), "&1 /b/R&&D.inf");
  for (auto [given, named] : {std::pair{"/g/adv", "/g/adv.inf"}, {"/g/adv.h", "/g/adv.h"},
                              {"/g.d/adv", "/g.d/adv.inf"}, {"/g/.adv", "/g/.adv.inf"}, {"", ""}})
    EXPECT_EQ(WithDefaultExtension(given, "inf"), named);
  EXPECT_EQ(QtFileFilter("Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||"),
            "Inform Files (*.inf);;Inform Header Files (*.h);;All Files (*)");
  EXPECT_EQ(QtFileFilter("Inform Files (*.inf)|*.inf|All (*.*)|*.*||"), "Inform Files (*.inf);;All (*)");
  SetTorvaneFileDialogHandler([](const FileDialogRequest&) { return FileDialogAnswer{"/g/x", 1}; });
  EXPECT_EQ(TorvaneFileDialog({.save = true, .defaultExtension = "inf"}).path, "/g/x.inf");
  EXPECT_EQ(TorvaneFileDialog({.defaultExtension = "inf"}).path, "/g/x");
  SetTorvaneFileDialogHandler({});
}

TEST(MessageBox, AHandlerTakesThePlaceOfTheRealBoxWhichShowsEveryIconAndButtonSetAndMapsTheAnswer) {
  QStringList calls;
  SetTorvaneMessageBoxHandler([&](const QString& t, unsigned b) { return calls << t + " " + QString::number(b, 16), IDYES; });
  EXPECT_EQ(TorvaneMessageBox("Rebuild?", MB_YESNO | MB_ICONQUESTION), IDYES);
  TorvaneMessageBoxHandler first = SetTorvaneMessageBoxHandler([](const QString&, unsigned) {
    SetTorvaneMessageBoxHandler([](const QString&, unsigned) { return IDNO; });
    return IDCANCEL;
  });
  EXPECT_EQ(TorvaneMessageBox("x", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(TorvaneMessageBox("y", MB_YESNO), IDNO);
  SetTorvaneMessageBoxHandler(first);
  EXPECT_EQ(TorvaneMessageBox("again"), IDYES);
  EXPECT_EQ(calls, QStringList({"Rebuild? 24", "again 0"}));
  SetTorvaneMessageBoxHandler({}); // the real box is back
  // Icons: 0 none, 1 information, 2 warning, 3 critical, 4 question. Buttons: Ok 0x400,
  // Cancel 0x400000, Yes 0x4000, No 0x10000. NoButton: closed with Escape.
  const struct { unsigned buttons; QMessageBox::StandardButton press; int answer; const char* seen; } rows[] = {
      {MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::No, IDNO, "Torvane|t|4|414000"},
      {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK, "Torvane|t|2|400"},
      {MB_OKCANCEL | MB_ICONHAND, QMessageBox::Cancel, IDCANCEL, "Torvane|t|3|400400"},
      {MB_YESNO | MB_ICONASTERISK, QMessageBox::Yes, IDYES, "Torvane|t|1|14000"},
      // Closed without a choice: the cautious answer, never Yes.
      {MB_YESNOCANCEL, QMessageBox::NoButton, IDCANCEL, "Torvane|t|0|414000"},
      {MB_RELOADKEEPCANCEL, QMessageBox::NoButton, IDCANCEL, "Torvane|t|0|414000"},
      {MB_RELOADKEEPCANCEL, QMessageBox::No, IDNO, "Torvane|t|0|414000"},
      {MB_YESNO, QMessageBox::NoButton, IDNO, "Torvane|t|0|14000"},
      {MB_OK, QMessageBox::NoButton, IDOK, "Torvane|t|0|400"},
  };
  for (const auto& row : rows) {
    QString seen; // "caption|text|icon|buttons" of the box once it is up
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      seen = QStringLiteral("%1|%2|%3|%4").arg(box->windowTitle(), box->text()).arg(int(box->icon()))
                 .arg(box->standardButtons().toInt(), 0, 16);
      if (row.press != QMessageBox::NoButton) return box->button(row.press)->click();
      QTest::keyClick(box, Qt::Key_Escape);
      if (box->isVisible()) seen += "|Escape ignored", box->reject();
    });
    EXPECT_EQ(TorvaneMessageBox("t", row.buttons), row.answer) << row.seen;
    EXPECT_EQ(seen, row.seen);
  }
}

} // namespace
