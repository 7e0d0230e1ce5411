// The main frame: command routing, bars and their layout, recent files, status and split panes.
#include <QAccessible>
#include <QDockWidget>
#include <QMenu>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "child_frame.h"
#include "command_router.h"
#include "find_dialog.h"
#include "ide_test_support.h"
#include "language_service.h"
#include "object_bar.h"
#include "output_bar.h"
#include "print_dialogs.h"
#include "project_commands.h"
#include "status_bar.h"

namespace {

using apptest::Ide;

// The status panes follow the active view and hide from the right when the bar is narrow.
TEST_F(Ide, StatusPanesFollowTheViewAndHideFromTheRight) {
  ASSERT_TRUE(WriteFile(Path("p.inf"), "\tabc\r\nxy"));
  ASSERT_TRUE(Start({Path("p.inf")}));
  CMainStatusBar* panes = app->MainFrame()->StatusPanes();
  app->MainFrame()->resize(900, 500);
  QTest::keyClick(ActiveView(), Qt::Key_Right);
  QTest::keyClick(ActiveView(), Qt::Key_Insert);
  app->MainFrame()->Binder().Refresh();
  const int ids[] = {0, Cmd::INDICATOR_POSITION, Cmd::INDICATOR_CRLF, Cmd::INDICATOR_OVR, Cmd::INDICATOR_CAPS};
  QStringList texts;
  std::string shown; // "+" for each pane shown; the prompt is no indicator
  auto look = [&] { shown.clear(); for (int id : ids) shown += panes->IsPaneShown(id) ? '+' : '-'; return shown; };
  for (int id : ids) texts << panes->PaneText(id);
  EXPECT_EQ(texts, (QStringList{"For Help, press F1", "Ln 1, Col 2", "CRLF", "OVR", ""}));
  EXPECT_EQ(look(), "-++++");
  panes->resize(panes->PaneWidget(1)->width() + panes->PaneWidget(2)->width() + 30, 20);
  EXPECT_EQ(look(), "-++--");
  panes->resize(10, 20);
  EXPECT_EQ(look(), "-----");
}

// Commands go to view, document, frame, object bar, the project and language services and the
// application; those nobody handles are off; F6 moves between split panes.
TEST_F(Ide, CommandsRouteFromTheViewToTheApplication) {
  ASSERT_TRUE(Start());
  CCommandRouter& router = app->MainFrame()->Router();
  auto* frame = static_cast<CChildFrame*>(app->DocManager()->ActiveFrame());
  CObjectBar* bar = app->MainFrame()->ObjectBarTabs();
  EXPECT_EQ(router.Route(),
            (std::vector<CCmdTarget*>{ActiveView(), ActiveDoc(), frame, bar, app->ProjectCommands(),
                                      app->LanguageService(), app->MainFrame(), app.get()}));
  EXPECT_TRUE(router.Query(Cmd::APP_EXIT).enabled);
  // The object bar's current tree: Jump to Definition once an item is selected.
  EXPECT_FALSE(router.Query(Cmd::JUMP_TO_DEFINITION).enabled);
  bar->setCurrentIndex(2);
  bar->GetView(2)->SelectItem(bar->GetView(2)->Model().FirstRoot());
  EXPECT_TRUE(router.Query(Cmd::JUMP_TO_DEFINITION).enabled);
  for (int id : {32772, 32773})
    EXPECT_FALSE(Enabled(id)) << id;
}

// F6 steps through the panes of the active window, then the shown bars, and round again;
// Shift+F6 goes back. The keys reach the frame from a view and from a bar alike.
TEST_F(Ide, F6MovesBetweenPanesAndBars) {
  ASSERT_TRUE(Start());
  CMainFrame* main = app->MainFrame();
  auto* frame = static_cast<CChildFrame*>(app->DocManager()->ActiveFrame());
  frame->Split(1, 2);
  main->activateWindow();
  frame->Pane(0, 0)->setFocus();
  QApplication::processEvents();
  const auto step = [](Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifiers);
    return QApplication::focusWidget();
  };
  QWidget* tree = main->ObjectBarTabs()->currentWidget();
  // The bars in their places round the window: the object bar on the left, then the output
  // bar at the bottom.
  const std::vector<QWidget*> forward = {frame->Pane(0, 1), tree, main->OutputControl(),
                                         frame->Pane(0, 0), frame->Pane(0, 1)};
  for (QWidget* expected : forward) EXPECT_EQ(step(Qt::NoModifier), expected);
  EXPECT_EQ(step(Qt::ShiftModifier), frame->Pane(0, 0));
  EXPECT_EQ(step(Qt::ShiftModifier), main->OutputControl());
  EXPECT_EQ(frame->GetActiveView(), frame->Pane(0, 0)); // the window keeps its last pane
  EXPECT_EQ(step(Qt::ShiftModifier), tree);
  main->GetOutputBar()->hide(); // a hidden bar is passed over
  EXPECT_EQ(step(Qt::NoModifier), frame->Pane(0, 0));
  EXPECT_EQ(step(Qt::ShiftModifier), tree);
  // A desktop turning dark while the editor runs: the styles follow.
  const QPalette light = QApplication::palette();
  QPalette dark = light;
  dark.setColor(QPalette::Base, QColor(0, 0, 0));
  QApplication::setPalette(dark);
  EXPECT_EQ(app->StyleTable().GetColour(COLORINDEX_BKGND), 0x000000u);
  QApplication::setPalette(light);
  EXPECT_EQ(app->StyleTable().GetColour(COLORINDEX_BKGND), RefFromColor(light.color(QPalette::Base)));
  // What a screen reader calls the stops, and every menu item has its mnemonic.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(tree)->text(QAccessible::Name), "Objects");
  EXPECT_EQ(main->OutputControl()->accessibleName(), "Output Bar");
  for (int id : {128, 129})
    for (QMenu* menu : main->Menus(id))
      for (QAction* action : menu->actions())
        EXPECT_TRUE(action->isSeparator() || action->text().contains('&') ||
                    action->text() == "Recent File") // the empty list's place
            << action->text().toStdString();
}

// A file dropped over a document view: the view leaves it to the window, which opens it.
TEST_F(Ide, DroppedFilesOpen) {
  ASSERT_TRUE(WriteFile(Path("drop.h"), "! header"));
  ASSERT_TRUE(Start());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("drop.h"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  for (QEvent* event : std::initializer_list<QEvent*>{&enter, &drop})
    QApplication::sendEvent(ActiveView()->viewport(), event);
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("drop.h"));
  EXPECT_EQ(app->DocManager()->Documents().size(), 2u);
}

TEST_F(Ide, BarLayoutAndRecentFilesSurviveARestart) {
  for (const char* name : {"a.inf", "b.inf", "c.inf", "d.inf", "e.inf"})
    ASSERT_TRUE(WriteFile(Path(name), name));
  ASSERT_TRUE(Start());
  CMainFrame* frame = app->MainFrame();
  EXPECT_EQ(frame->dockWidgetArea(frame->GetObjectBar()), Qt::LeftDockWidgetArea);
  EXPECT_EQ(frame->dockWidgetArea(frame->GetOutputBar()), Qt::BottomDockWidgetArea);
  EXPECT_EQ(frame->GetObjectBar()->objectName(), "32786");
  EXPECT_EQ(frame->GetOutputBar()->windowTitle(), "Output Bar");
  EXPECT_FALSE(Enabled(Cmd::FILE_MRU_FILE1)); // "Recent File", empty
  ASSERT_TRUE(Choose(Cmd::VIEW_OUTPUT_BAR));
  frame->Binder().Refresh();
  EXPECT_TRUE(!MenuAction(129, Cmd::VIEW_OUTPUT_BAR)->isChecked() && MenuAction(129, Cmd::VIEW_OBJECT_BAR)->isChecked());
  for (const char* name : {"a.inf", "b.inf", "c.inf", "d.inf", "e.inf", "b.inf"})
    app->DocManager()->OpenDocumentFile(Path(name));
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(QFile::remove(Path("e.inf")));

  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->GetOutputBar()->isHidden() && !app->MainFrame()->GetObjectBar()->isHidden());
  QStringList texts;
  for (int i = 0; i < 4; ++i) texts << MenuAction(128, Cmd::FILE_MRU_FILE1 + i)->text();
  EXPECT_EQ(texts, (QStringList{"&1 " + Path("b.inf"), "&2 " + Path("e.inf"),
                                "&3 " + Path("d.inf"), "&4 " + Path("c.inf")}));
  ASSERT_TRUE(Choose(Cmd::FILE_MRU_FILE1 + 3));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("c.inf"));
  ASSERT_TRUE(Choose(Cmd::FILE_MRU_FILE1 + 2));
  EXPECT_EQ(messages, QStringList{"Cannot open " + Path("e.inf") + ":\nNo such file or directory."});
  EXPECT_EQ(app->DocManager()->RecentFiles().Paths(),
            (QStringList{Path("c.inf"), Path("b.inf"), Path("d.inf")}));
  ASSERT_TRUE(Choose(Cmd::VIEW_OUTPUT_BAR));
  EXPECT_FALSE(app->MainFrame()->GetOutputBar()->isHidden());
}

TEST_F(Ide, FindReplacePrintAndOptionsReachTheActiveViewOrTheApplication) {
  ASSERT_TRUE(Start());
  QStringList shown; // every modal dialog, by title or class, closed at once (Find searches)
  QTimer closer;
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
  closer.start(5);
  SetPrintDialogHandler([&](QDialog& dialog) {
    shown << dialog.metaObject()->className();
    return int(QDialog::Rejected);
  });
  CCommandRouter& router = app->MainFrame()->Router();
  QTest::keyClicks(ActiveView(), "lamp lamp");
  ActiveView()->MoveCaretTo(TextPosition(0, 0));
  EXPECT_FALSE(router.Query(Cmd::EDIT_REPEAT).enabled || router.Query(Cmd::EDIT_FIND_PREVIOUS).enabled);
  ASSERT_TRUE(Choose(Cmd::EDIT_FIND));
  ASSERT_TRUE(Choose(Cmd::EDIT_REPEAT));
  EXPECT_TRUE(router.Execute(Cmd::EDIT_FIND_PREVIOUS));
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(4, 0)); // the second "lamp", then the first
  for (int id : {Cmd::EDIT_REPLACE, Cmd::FILE_PRINT, Cmd::FILE_PRINT_PREVIEW, Cmd::VIEW_OPTIONS})
    EXPECT_TRUE(Choose(id)) << id;
  EXPECT_TRUE(Choose(Cmd::FILE_PAGE_SETUP)); // from the File menu
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
