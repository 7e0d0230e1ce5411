// The three trees filled from real files: nesting, classes, routines, order, and the life of
// a document's subtree (rename, remove, a second document with the same tree name).
#include <gtest/gtest.h>

#include "object_bar.h"
#include "tree_test_support.h"

using namespace treetest;

namespace {

class ObjectTreeFill : public ::testing::Test {
protected:
  std::string Trees(const CTreeItem* item = nullptr, int tab = -1) {
    if (tab >= 0) return Dump(*m_bar.GetView(tab), item);
    return Dump(*m_bar.GetView(0)) + " | " + Dump(*m_bar.GetView(1)) + " | " + Dump(*m_bar.GetView(2));
  }
  QTemporaryDir m_dir;
  CObjectBar m_bar;
};

TEST_F(ObjectTreeFill, GamesNestByArrowsAndParentsGroupByClassAndSortEveryLevel) {
  EXPECT_EQ(m_bar.tabText(0) + m_bar.tabText(1) + m_bar.tabText(2), "ObjectsClassesFunctions");
  CTestDocument game(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  m_bar.FillDocument(game);
  EXPECT_EQ(Trees(), "lantern:00B(LampRoom:12, Workshop:12(lantern:12)) | lantern:00B | "
                     "lantern:00B(Initialise:12)");
  m_bar.RemoveDocument(game);
  // apple before Banana and helper before Main: the order ignores case, the records' does
  // not. widget's parent was never defined; ruby's class is declared in lower case; an
  // object stands directly under its class, whatever its parent.
  CTestDocument trees(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
  m_bar.FillDocument(trees);
  EXPECT_EQ(Trees(), "trees:00B(apple:12, Banana:12, Hall:12(coin:12(box:12), lamp:12, Zircon:12), "
                     "lamp[02]:12, ruby:12, widget:12) | "
                     "trees:00B(Gem:11(ruby:23), Room:11(Hall:23), Treasure:11(coin:23)) | "
                     "trees:00B(helper:12, Main:12)");
}

TEST_F(ObjectTreeFill, InformLibraryClassesAndRoutines) {
  CTestDocument english("/usr/share/inform6/library/english.h", "english");
  m_bar.FillDocument(english);
  EXPECT_EQ(Trees(m_bar.GetView(1)->FindDocumentRoot("english"), 1),
            "english:00B(CompassDirection:11(d_obj:23, e_obj:23, in_obj:23, n_obj:23, ne_obj:23, "
            "nw_obj:23, out_obj:23, s_obj:23, se_obj:23, sw_obj:23, u_obj:23, w_obj:23))");
  const CTreeItem* functions = m_bar.GetView(2)->FindDocumentRoot("english");
  EXPECT_EQ(functions->ChildCount(), 38);
  EXPECT_NE(FindItem(*m_bar.GetView(2), functions, "LanguageNumber"), nullptr);
}

TEST_F(ObjectTreeFill, RootsSortedRenamedRemovedAndKeptApartUnderOneName) {
  CTestDocument game(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  CTestDocument header(WriteSource(m_dir, "lantern.h", "Object extra \"extra\";\n[ Helper;\n"), "lantern");
  CTestDocument alpha(WriteSource(m_dir, "alpha.inf", "Object a \"a\";\n"), "Alpha");
  m_bar.FillDocument(game);
  m_bar.FillDocument(alpha);
  m_bar.FillDocument(header);
  EXPECT_EQ(Trees(), "Alpha:00B(a:12) lantern:00B(LampRoom:12, Workshop:12(lantern:12)) lantern:00B(extra:12) | "
                     "Alpha:00B lantern:00B lantern:00B | "
                     "Alpha:00B lantern:00B(Initialise:12) lantern:00B(Helper:12)");
  m_bar.FillDocument(game); // a refill replaces only the document's own subtree
  m_bar.RenameDocument(alpha, "zeta");
  EXPECT_EQ(Trees(), "lantern:00B(extra:12) lantern:00B(LampRoom:12, Workshop:12(lantern:12)) zeta:00B(a:12) | "
                     "lantern:00B lantern:00B zeta:00B | "
                     "lantern:00B(Helper:12) lantern:00B(Initialise:12) zeta:00B");
  m_bar.RemoveDocument(header);
  m_bar.RemoveDocument(header);
  EXPECT_EQ(Trees(), "lantern:00B(LampRoom:12, Workshop:12(lantern:12)) zeta:00B(a:12) | "
                     "lantern:00B zeta:00B | lantern:00B(Initialise:12) zeta:00B");
}

TEST_F(ObjectTreeFill, EntriesInsertedExpandedWalkedAndDeletedByText) {
  CTestDocument trees(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
  CTestDocument second(WriteSource(m_dir, "zoo.inf", "Object lamp \"l\";\n"), "zoo");
  m_bar.FillDocument(trees);
  m_bar.FillDocument(second);
  CMyTreeView& objects = *m_bar.GetView(0);
  objects.collapse(objects.Model().IndexOf(FindItem(objects, objects.FindDocumentRoot("trees"), "Hall")));
  EXPECT_TRUE(objects.InsertEntry("trees", "aardvark", false, std::string("Hall")));
  EXPECT_TRUE(objects.InsertEntry("trees", "Zebra", true, std::string("box")));
  EXPECT_TRUE(objects.InsertEntry("trees", "cherry", false, std::string("no such parent")));
  EXPECT_FALSE(objects.InsertEntry("nowhere", "x", false, std::nullopt));
  EXPECT_TRUE(m_bar.GetView(1)->InsertEntry("trees", "Amulet", false, std::nullopt));
  EXPECT_TRUE(m_bar.GetView(1)->InsertEntry("trees", "pearl", false, std::string("Gem")));
  EXPECT_EQ(Trees(objects.FindDocumentRoot("trees"), 0),
            "trees:00B(apple:12, Banana:12, cherry:12, Hall:12c(aardvark:12, coin:12(box:12(Zebra:12)), "
            "lamp:12, Zircon:12), lamp[02]:12, ruby:12, widget:12)");
  EXPECT_EQ(Trees(m_bar.GetView(1)->FindDocumentRoot("trees"), 1),
            "trees:00B(Amulet:11, Gem:11(pearl:23, ruby:23), Room:11(Hall:23), Treasure:11(coin:23))");
  objects.ExpandDocument("trees");
  EXPECT_EQ(Trees(objects.FindDocumentRoot("trees"), 0).find(":12c"), std::string::npos);

  std::string walk;
  for (const CTreeItem* item = objects.FindDocumentRoot("trees")->Child(3); item; item = objects.GetNextInOrder(item))
    walk += item->Text() + ",";
  EXPECT_EQ(walk, "Hall,aardvark,coin,box,Zebra,lamp,Zircon,lamp[02],ruby,widget,zoo,lamp,");
  objects.DeleteItemByText("trees"); // the first root is passed over
  objects.DeleteItemByText("lamp");  // the first lamp in pre-order goes
  objects.DeleteItemByText("zoo");   // a later root goes with its subtree
  EXPECT_EQ(Trees(nullptr, 0), "trees:00B(apple:12, Banana:12, cherry:12, Hall:12(aardvark:12, "
                               "coin:12(box:12(Zebra:12)), Zircon:12), lamp[02]:12, ruby:12, widget:12)");
  objects.ClearTree();
  EXPECT_EQ(Trees(nullptr, 0), "");
}

} // namespace
