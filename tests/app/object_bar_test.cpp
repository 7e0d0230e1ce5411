// The object bar in the IDE window: the trees of opened, edited, rebuilt and closed documents,
// two documents under one tree name, and a double-click that brings the item's document
// forward on its definition.
#include <QTest>

#include "app_test_support.h"
#include "command_ids.h"
#include "ide_test_support.h"
#include "main_frame.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

using apptest::Ide;

// Double-clicks the first item of the tree of tab whose text is text.
void DoubleClick(CObjectBar& bar, int tab, const std::string& text) {
  bar.setCurrentIndex(tab);
  CMyTreeView& view = *bar.GetView(tab);
  for (CTreeItem* item = view.Model().FirstRoot(); item; item = view.GetNextInOrder(item))
    if (item->Text() == text) {
      const QPoint centre = view.visualRect(view.Model().IndexOf(item)).center();
      QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
      QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
      QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre);
      return;
    }
  ADD_FAILURE() << "no item " << text;
}

TEST_F(Ide, OpenedGamesFillTheTreesAndADoubleClickBringsTheDefinitionForward) {
  ASSERT_TRUE(apptest::WriteFile(Path("lantern.h"), "Object lamp_oil \"oil\";\r\n[ Refill;\r\n];\r\n"));
  ASSERT_TRUE(Start({TORVANE_TEST_DATA "/lantern.inf", "/usr/share/inform6/library/english.h",
                     Path("lantern.h")}));
  CObjectBar& bar = *app->MainFrame()->ObjectBarTabs();
  // Two documents named "lantern": a subtree each.
  EXPECT_TRUE(Tree(0).ends_with(" lantern(LampRoom, Workshop(lantern)) lantern(lamp_oil)")) << Tree(0);
  EXPECT_TRUE(Tree(1).starts_with("english(CompassDirection(d_obj, e_obj, in_obj, n_obj, ne_obj, ")) << Tree(1);
  EXPECT_TRUE(Tree(2).ends_with(" lantern(Initialise) lantern(Refill)")) << Tree(2);

  DoubleClick(bar, 0, "Workshop");
  EXPECT_EQ(ActiveDoc()->GetTitle(), "lantern.inf");
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(0, 9));
  DoubleClick(bar, 2, "Refill");
  EXPECT_EQ(ActiveDoc()->GetTitle(), "lantern.h");
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(0, 1));
  DoubleClick(bar, 1, "CompassDirection"); // "Class   CompassDirection": more blanks
  EXPECT_EQ(ActiveDoc()->GetTitle(), "english.h");
  EXPECT_EQ(messages, QStringList{"Could not find the implementation of CompassDirection.\n"
                                  "The current algorithm is not perfect.  See the Help file."});

  // The trees follow the text only when asked: Rebuild Object Tree after an edit.
  DoubleClick(bar, 0, "lamp_oil");
  QTest::keyClick(ActiveView(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(ActiveView(), "Object wick \"wick\";");
  EXPECT_TRUE(Tree(0).ends_with(" lantern(lamp_oil)")) << Tree(0);
  ASSERT_TRUE(Choose(Cmd::BUILD_REBUILD_OBJECT_TREE));
  EXPECT_TRUE(Tree(0).ends_with(" lantern(LampRoom, Workshop(lantern)) lantern(lamp_oil, wick)")) << Tree(0);

  // Closing a document takes its roots away, and only its own.
  DoubleClick(bar, 0, "LampRoom");
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_TRUE(Tree(2).ends_with(" lantern(Refill)")) << Tree(2);
  EXPECT_EQ(Tree(0).find("LampRoom"), std::string::npos);
}

} // namespace
