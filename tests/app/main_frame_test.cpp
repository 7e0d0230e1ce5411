// The main frame: where commands go, the bars and their saved layout, the recent files, the
// status panes, split panes and dropped files.
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QMenu>
#include <QAbstractButton>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinterInfo>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app_test_support.h"
#include "child_frame.h"
#include "command_binder.h"
#include "command_ids.h"
#include "command_router.h"
#include "doc_manager.h"
#include "ide_test_support.h"
#include "find_dialog.h"
#include "main_frame.h"
#include "message_box.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "print_dialogs.h"
#include "status_bar.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

using apptest::Ide;

TEST_F(Ide, CommandsGoToViewDocumentFramesAndApplicationAndNobodysCommandsAreOff) {
  ASSERT_TRUE(Start());
  CCommandRouter& router = app->MainFrame()->Router();
  auto* frame = static_cast<CChildFrame*>(app->DocManager()->ActiveFrame());
  CObjectBar* bar = app->MainFrame()->ObjectBarTabs();
  EXPECT_EQ(router.Route(), (std::vector<CCmdTarget*>{ActiveView(), ActiveDoc(), frame, bar,
                                                      app->MainFrame(), app.get()}));
  EXPECT_TRUE(router.Query(Cmd::EDIT_SELECT_ALL).enabled); // the view
  EXPECT_TRUE(router.Query(Cmd::FILE_SAVE_AS).enabled);    // the document
  EXPECT_FALSE(router.Query(Cmd::NEXT_PANE).enabled);      // the child frame: one pane
  EXPECT_TRUE(router.Query(Cmd::VIEW_OUTPUT_BAR).checked); // the main frame
  EXPECT_TRUE(router.Query(Cmd::APP_EXIT).enabled);        // the application
  // The object bar's current tree: Jump to Definition once an item is selected.
  EXPECT_FALSE(router.Query(Cmd::JUMP_TO_DEFINITION).enabled);
  bar->setCurrentIndex(2);
  bar->GetView(2)->SelectItem(bar->GetView(2)->Model().FirstRoot());
  EXPECT_TRUE(router.Query(Cmd::JUMP_TO_DEFINITION).enabled);

  // Two panes: F6 moves to the other one, and the keys of the view go through the router.
  frame->Split(1, 2);
  EXPECT_TRUE(router.Execute(Cmd::NEXT_PANE));
  EXPECT_EQ(frame->GetActiveView(), frame->Pane(0, 1));
  QTest::keyClick(frame->Pane(0, 1), Qt::Key_F6);
  EXPECT_EQ(frame->GetActiveView(), frame->Pane(0, 0));

  // Nobody handles the Insert and Project menus or Edit Object: off in menu and context menu.
  app->MainFrame()->Binder().Refresh();
  for (int id : {32772, 32773, 32774, 32775, 32778, 32779, 32780, 32781, 32782})
    EXPECT_FALSE(MenuAction(129, id)->isEnabled()) << id;
  EXPECT_FALSE(router.Execute(32778));
  QTest::keyClicks(ActiveView(), "abc");
  ActiveView()->SelectAll();
  QApplication::clipboard()->setText("x");
  std::unique_ptr<QMenu> menu = ActiveView()->CreateContextMenu();
  QStringList off;
  for (QAction* action : menu->actions())
    if (!action->isSeparator() && !action->isEnabled()) off << action->text();
  EXPECT_EQ(off, (QStringList{"Insert New &Object", "Insert New &Function", "&Edit Object"}));
}

TEST_F(Ide, BarsKeepTheirLayoutAndAHiddenBarStaysHiddenAtTheNextStart) {
  ASSERT_TRUE(Start());
  CMainFrame* frame = app->MainFrame();
  EXPECT_EQ(frame->dockWidgetArea(frame->GetObjectBar()), Qt::LeftDockWidgetArea);
  EXPECT_EQ(frame->dockWidgetArea(frame->GetOutputBar()), Qt::BottomDockWidgetArea);
  EXPECT_EQ(frame->GetObjectBar()->objectName(), "32786");
  EXPECT_EQ(frame->GetOutputBar()->windowTitle(), "Output Bar");
  QAction* output = MenuAction(129, Cmd::VIEW_OUTPUT_BAR);
  ASSERT_TRUE(Choose(Cmd::VIEW_OUTPUT_BAR));
  frame->Binder().Refresh();
  EXPECT_FALSE(output->isChecked());
  EXPECT_TRUE(frame->GetOutputBar()->isHidden());
  EXPECT_TRUE(MenuAction(129, Cmd::VIEW_OBJECT_BAR)->isChecked());
  ASSERT_TRUE(CloseFrame());

  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->GetOutputBar()->isHidden());
  EXPECT_FALSE(app->MainFrame()->GetObjectBar()->isHidden());
  ASSERT_TRUE(Choose(Cmd::VIEW_OUTPUT_BAR));
  EXPECT_FALSE(app->MainFrame()->GetOutputBar()->isHidden());
}

TEST_F(Ide, RecentFilesHoldTheLastFourOpenedAndSurviveARestart) {
  for (const char* name : {"a.inf", "b.inf", "c.inf", "d.inf", "e.inf"})
    ASSERT_TRUE(apptest::WriteFile(Path(name), name));
  ASSERT_TRUE(Start());
  EXPECT_FALSE(MenuAction(129, Cmd::FILE_MRU_FILE1)->isEnabled()); // "Recent File", empty
  for (const char* name : {"a.inf", "b.inf", "c.inf", "d.inf", "e.inf", "b.inf"})
    app->DocManager()->OpenDocumentFile(Path(name));
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(QFile::remove(Path("e.inf")));

  ASSERT_TRUE(Start());
  QStringList texts;
  for (int i = 0; i < 4; ++i) texts << MenuAction(128, Cmd::FILE_MRU_FILE1 + i)->text();
  EXPECT_EQ(texts, (QStringList{"&1 " + Path("b.inf"), "&2 " + Path("e.inf"),
                                "&3 " + Path("d.inf"), "&4 " + Path("c.inf")}));
  ASSERT_TRUE(Choose(Cmd::FILE_MRU_FILE1 + 3));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("c.inf"));
  // A recent file that has gone is reported and leaves the list.
  ASSERT_TRUE(Choose(Cmd::FILE_MRU_FILE1 + 2));
  EXPECT_EQ(messages, QStringList{"Cannot open " + Path("e.inf") + ":\nNo such file or directory."});
  EXPECT_EQ(app->DocManager()->RecentFiles().Paths(),
            (QStringList{Path("c.inf"), Path("b.inf"), Path("d.inf")}));
}

TEST_F(Ide, StatusPanesFollowTheActiveViewAndHideFromTheRightWhenNarrow) {
  ASSERT_TRUE(apptest::WriteFile(Path("p.inf"), "\tabc\r\nxy"));
  ASSERT_TRUE(Start({Path("p.inf")}));
  CMainStatusBar* panes = app->MainFrame()->StatusPanes();
  app->MainFrame()->resize(900, 500);
  QTest::keyClick(ActiveView(), Qt::Key_Right);
  QTest::keyClick(ActiveView(), Qt::Key_Insert);
  app->MainFrame()->Binder().Refresh();
  EXPECT_EQ(panes->PaneText(0), "For Help, press F1");
  EXPECT_EQ(panes->PaneText(Cmd::INDICATOR_POSITION), "Ln 1, Col 2");
  EXPECT_EQ(panes->PaneText(Cmd::INDICATOR_CRLF), "DOS");
  EXPECT_EQ(panes->PaneText(Cmd::INDICATOR_OVR), "OVR");
  EXPECT_EQ(panes->PaneText(Cmd::INDICATOR_CAPS), "");
  const int ids[] = {Cmd::INDICATOR_POSITION, Cmd::INDICATOR_CRLF, Cmd::INDICATOR_OVR,
                     Cmd::INDICATOR_CAPS};
  auto shown = [&] {
    std::vector<bool> result;
    for (int id : ids) result.push_back(panes->IsPaneShown(id));
    return result;
  };
  EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true}));
  panes->resize(panes->PaneWidget(1)->width() + panes->PaneWidget(2)->width() + 30, 20);
  EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, false}));
  panes->resize(10, 20);
  EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(Ide, FilesDroppedOnTheWindowOpenAsDocuments) {
  ASSERT_TRUE(apptest::WriteFile(Path("drop.h"), "! header"));
  ASSERT_TRUE(Start());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("drop.h"))});
  // Over a document view: the view leaves files to the window.
  QWidget* over = ActiveView()->viewport();
  const QPointF at(10, 10);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(over, &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(over, &drop);
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("drop.h"));
  EXPECT_EQ(app->DocManager()->Documents().size(), 2u);
}

// Find, the repeat searches, Replace, the print commands and Options reach the active view or
// the application from the menus and keys, enabled as they should be.
TEST_F(Ide, FindReplacePrintAndOptionsReachTheActiveViewOrTheApplication) {
  ASSERT_TRUE(Start());
  QStringList shown; // every modal dialog, by title or class, closed at once (Find searches)
  QTimer closer;
  closer.setInterval(5);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    shown << dialog->windowTitle();
    if (auto* find = qobject_cast<CFindDialog*>(dialog)) {
      static_cast<QLineEdit*>(find->GetDlgItem(8605))->setText("lamp");
      return static_cast<QAbstractButton*>(find->GetDlgItem(1))->click();
    }
    dialog->reject();
  });
  closer.start();
  SetPrintDialogHandler([&](QDialog& dialog) {
    shown << dialog.metaObject()->className();
    return int(QDialog::Rejected);
  });
  CCommandRouter& router = app->MainFrame()->Router();
  QTest::keyClicks(ActiveView(), "lamp lamp");
  ActiveView()->MoveCaretTo(TextPosition(0, 0));
  EXPECT_FALSE(router.Query(Cmd::EDIT_REPEAT).enabled);
  EXPECT_FALSE(router.Query(Cmd::EDIT_FIND_PREVIOUS).enabled);
  ASSERT_TRUE(Choose(Cmd::EDIT_FIND));
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(4, 0));
  ASSERT_TRUE(Choose(Cmd::EDIT_REPEAT));
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(9, 0));
  QTest::keyClick(ActiveView(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(4, 0));
  EXPECT_TRUE(router.Execute(Cmd::EDIT_FIND_PREVIOUS)); // wraps to the last one
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(9, 0));
  for (int id : {Cmd::EDIT_REPLACE, Cmd::FILE_PRINT, Cmd::FILE_PRINT_PREVIEW, Cmd::VIEW_OPTIONS})
    EXPECT_TRUE(Choose(id)) << id;
  EXPECT_TRUE(router.Execute(Cmd::FILE_PAGE_SETUP));
  EXPECT_EQ(shown, (QStringList{"Find", "Replace", "QPrintDialog", "QPrintPreviewDialog",
                                "IDE Options", "QPageSetupDialog"}));
  EXPECT_TRUE(messages.isEmpty());
  if (QPrinterInfo::defaultPrinter().isNull()) { // else it would really print
    EXPECT_TRUE(router.Execute(Cmd::FILE_PRINT_DIRECT));
    EXPECT_EQ(messages.value(0).left(30), "No default printer is set up. ");
  }

  answers = {IDNO}; // not saved
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_EQ(app->MainFrame()->CurrentMenuId(), 128);
  shown.clear();
  for (int id : {Cmd::EDIT_FIND, Cmd::EDIT_REPLACE, Cmd::FILE_PRINT, Cmd::FILE_PAGE_SETUP})
    EXPECT_FALSE(router.Query(id).enabled) << id;
  EXPECT_TRUE(Choose(Cmd::VIEW_OPTIONS)); // menu 128 has it too
  EXPECT_TRUE(Choose(Cmd::FILE_PRINT_SETUP));
  EXPECT_EQ(shown, (QStringList{"IDE Options", "QPrintDialog"}));
  SetPrintDialogHandler({});
}

} // namespace
