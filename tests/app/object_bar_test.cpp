// The object bar in the IDE: trees of opened, rebuilt and closed documents, jumps to definitions,
// and the scan's progress in the status bar.
#include <QFile>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include "ide_test_support.h"
#include "progress_bar.h"
#include "project_session.h"
#include "project_tab.h"
#include "status_bar.h"

namespace {

using apptest::Ide;

// The centre of the first item of the tree of tab whose text is text; the tab is made current.
QPoint Centre(CObjectBar& bar, int tab, const std::string& text) {
  bar.setCurrentIndex(tab);
  CMyTreeView& view = *bar.GetView(tab);
  for (CTreeItem* item = view.Model().FirstRoot(); item; item = view.GetNextInOrder(item))
    if (item->Text() == text) return view.visualRect(view.Model().IndexOf(item)).center();
  ADD_FAILURE() << "no item " << text;
  return {};
}

void DoubleClick(CObjectBar& bar, int tab, const std::string& text) {
  const QPoint centre = Centre(bar, tab, text);
  QTest::mouseClick(bar.GetView(tab)->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(bar.GetView(tab)->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseRelease(bar.GetView(tab)->viewport(), Qt::LeftButton, {}, centre);
}

TEST_F(Ide, OpenedGamesFillTheTreesAndADoubleClickBringsTheDefinitionForward) {
  ASSERT_TRUE(WriteFile(Path("lantern.h"), "Object lamp_oil \"oil\";\r\n[ Refill;\r\n];\r\n"));
  // Copies: nothing a failing run saves reaches the test data or the library.
  ASSERT_TRUE(QFile::copy(TORVANE_TEST_DATA "/lantern.inf", Path("lantern.inf")));
  ASSERT_TRUE(QFile::copy("/usr/share/inform6/library/english.h", Path("english.h")));
  ASSERT_TRUE(Start({Path("lantern.inf"), Path("english.h"), Path("lantern.h")}));
  CObjectBar& bar = *app->MainFrame()->ObjectBarTabs();
  EXPECT_TRUE(Tree(0).ends_with(" lantern(LampRoom, Workshop(lantern)) lantern(lamp_oil)")) << Tree(0);
  EXPECT_TRUE(Tree(1).starts_with("english(CompassDirection(d_obj, e_obj, in_obj, n_obj, ne_obj, "
                                   "nw_obj, out_obj, s_obj, se_obj, sw_obj, u_obj, w_obj)) ")) << Tree(1);
  EXPECT_TRUE(Tree(2).ends_with(" lantern(Initialise) lantern(Refill)")) << Tree(2);

  DoubleClick(bar, 0, "Workshop");
  EXPECT_EQ(Where(), "lantern.inf:9");
  DoubleClick(bar, 2, "Refill");
  EXPECT_EQ(Where(), "lantern.h:1");
  const QPoint initialise = Centre(bar, 2, "Initialise");
  QTimer::singleShot(0, [] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
  });
  QTest::mousePress(bar.GetView(2)->viewport(), Qt::RightButton, {}, initialise);
  QTest::mouseRelease(bar.GetView(2)->viewport(), Qt::RightButton, {}, initialise);
  EXPECT_EQ(Where(), "lantern.inf:26");
  EXPECT_TRUE(messages.isEmpty());

  DoubleClick(bar, 0, "lamp_oil");
  QTest::keyClick(ActiveView(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(ActiveView(), "Object wick \"wick\";");
  EXPECT_TRUE(Tree(0).ends_with(" lantern(lamp_oil)")) << Tree(0);
  ASSERT_TRUE(Choose(Cmd::BUILD_REBUILD_OBJECT_TREE));
  EXPECT_TRUE(Tree(0).ends_with(" lantern(LampRoom, Workshop(lantern)) lantern(lamp_oil, wick)")) << Tree(0);

  DoubleClick(bar, 0, "LampRoom");
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_TRUE(Tree(2).ends_with(" lantern(Refill)")) << Tree(2);
  EXPECT_EQ(Tree(0).find("LampRoom"), std::string::npos);
}

TEST_F(Ide, AScanShowsParsingObjectsInTheStatusBarWhileTheWindowKeepsAnswering) {
  ASSERT_TRUE(WriteFile(Path("long.inf"), QByteArray("!\n").repeated(1000000) + "Object last \"last\";\n"));
  ASSERT_TRUE(Start());
  CMainStatusBar& panes = *app->MainFrame()->StatusPanes();
  QString caption;
  int value = 0, maximum = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* progress = panes.findChild<QProgressBar*>();
    if (!progress || !progress->isVisible()) return;
    if (caption.isEmpty()) caption = panes.PaneText(0), maximum = progress->maximum();
    // The bar moves a pixel at a time: some value between its ends, however slow the machine.
    if (progress->value() > 0 && progress->value() < progress->maximum()) value = progress->value();
  });
  watch.start(0);
  app->DocManager()->OpenDocumentFile(Path("long.inf"));
  watch.stop();
  EXPECT_EQ(caption, "Parsing Objects:");
  EXPECT_TRUE(value > 0 && value < 1000002) << value;
  EXPECT_EQ(maximum, 1000002);
  EXPECT_EQ(Tree(0), "long(last) Untitled1");

  bool offered = true;
  QTimer::singleShot(0, [&] { offered = Enabled(Cmd::BUILD_REBUILD_OBJECT_TREE); });
  ASSERT_TRUE(Choose(Cmd::BUILD_REBUILD_OBJECT_TREE));
  EXPECT_FALSE(offered);
  EXPECT_EQ(Tree(0), "long(last) Untitled1");
}

TEST_F(Ide, AProjectsClosedMembersFillTheTreesFromTheDiskAndTheProjectTabOpensThem) {
  ASSERT_TRUE(WriteFile(Path("game.inf"), "Object hall \"Hall\";\n[ Main;\n];\n") &&
              WriteFile(Path("rooms.h"), "Class Room;\nRoom cellar \"Cellar\";\n\n[ Dig;\n];\n") &&
              WriteFile(Path("game.i6proj"), "[Project]\nMain=game.inf\n[Files]\nFile=rooms.h\nFile=gone.h\n"));
  ASSERT_TRUE(Start({Path("game.i6proj")}));
  CObjectBar& bar = *app->MainFrame()->ObjectBarTabs();
  EXPECT_EQ(Tree(0) + " " + Tree(1), "game(hall) rooms(cellar) game rooms(Room(cellar))"); // gone.h: nothing
  CProjectTab& list = *bar.ProjectTab();
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.item(0)->text() + "|" + list.item(1)->text() + "|" + list.item(2)->text(),
            "game.inf (main file)|rooms.h|gone.h");
  EXPECT_TRUE(list.item(0)->font().bold() && !list.item(1)->font().bold());
  DoubleClick(bar, 2, "Dig"); // opened at the definition; the open document's subtree alone
  EXPECT_EQ(Where(), "rooms.h:3");
  EXPECT_EQ(Tree(2), "game(Main) rooms(Dig)");
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE)); // back from the disk
  EXPECT_EQ(Tree(1), "game rooms(Room(cellar))");
  bar.setCurrentIndex(CObjectBar::PROJECT_TAB);
  EXPECT_FALSE(bar.OnCmdMsg(Cmd::JUMP_TO_DEFINITION)); // no tree is current
  const QPoint rooms = list.visualItemRect(list.item(1)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rooms);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rooms);
  EXPECT_EQ(Where(), "rooms.h:0");
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  app->ProjectSession().Close();
  EXPECT_EQ(list.item(0)->text() + " " + QString::fromStdString(Tree(0)), "No project is open. game(hall)");
}

// A bar over a status pane: right of its caption and four blanks, its share of the rest, a
// tenth of the pane's height off top and bottom; the pane gets its text back.
TEST(ProgressBar, CoversItsShareOfThePaneRightOfTheCaptionAndGivesThePaneBack) {
  CMainStatusBar panes;
  panes.resize(700, 30);
  panes.show();
  QApplication::processEvents();
  const QRect prompt = panes.PaneWidget(0)->geometry();
  const QFontMetrics metrics(panes.font());
  const int caption = metrics.horizontalAdvance("Parsing Objects:") + 4 * metrics.horizontalAdvance(' ');
  const int inset = prompt.height() / 10;
  panes.PaneWidget(0)->setText("Ready");
  {
    CProgressBar progress(&panes, "Parsing Objects:", 99, 3, false, 0);
    EXPECT_EQ(panes.PaneText(0), "Parsing Objects:");
    const int rest = prompt.width() - caption;
    EXPECT_EQ(progress.Control()->geometry(), QRect(prompt.x() + caption, prompt.y() + inset,
                                                    rest - rest / 100, prompt.height() - 2 * inset));
    for (int i = 0; i < 4; ++i) progress.StepIt();
    EXPECT_EQ(progress.Control()->value(), 3);
    panes.resize(900, 30); // the pane grows: the bar follows
    QApplication::processEvents();
    EXPECT_EQ(progress.Control()->geometry().right(),
              panes.PaneWidget(0)->geometry().right() - (panes.PaneWidget(0)->width() - caption) / 100);
  }
  EXPECT_EQ(panes.PaneText(0), "For Help, press F1");

  const QRect line = panes.PaneWidget(1)->geometry();
  panes.PaneWidget(1)->setText("Ln 3 Col 7");
  {
    CProgressBar progress(&panes, "", 50, 10, true, 1);
    EXPECT_EQ(progress.Control()->geometry(), QRect(line.x(), line.y() + line.height() / 10,
                                                    line.width() - line.width() / 2,
                                                    line.height() - 2 * (line.height() / 10)));
    progress.RestorePane();
    EXPECT_TRUE(progress.Control()->isHidden());
    EXPECT_EQ(panes.PaneText(Cmd::INDICATOR_POSITION), "Ln 3 Col 7");
  }
  CProgressBar none(nullptr, "Parsing Objects:", 99, 10, false, 0);
  none.StepIt(); // no control: nothing happens
  EXPECT_FALSE(none.Resize());
}

} // namespace
