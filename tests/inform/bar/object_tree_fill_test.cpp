// The three trees filled from real files: nesting, classes, routines, order, images, and the
// life of a document's subtree (rename, remove, a second document with the same tree name).
#include <gtest/gtest.h>

#include "object_bar.h"
#include "tree_class_view.h"
#include "tree_test_support.h"

using namespace treetest;

namespace {

class ObjectTreeFill : public ::testing::Test {
protected:
  QTemporaryDir m_dir;
  CObjectBar m_bar;
  CMyTreeView& Objects() { return *m_bar.GetView(0); }
  CMyTreeView& Classes() { return *m_bar.GetView(1); }
  CMyTreeView& Functions() { return *m_bar.GetView(2); }
};

TEST_F(ObjectTreeFill, TabsAreObjectsClassesFunctionsInThatOrder) {
  ASSERT_EQ(m_bar.count(), 3);
  EXPECT_EQ(m_bar.tabText(0), "Objects");
  EXPECT_EQ(m_bar.tabText(1), "Classes");
  EXPECT_EQ(m_bar.tabText(2), "Functions");
  EXPECT_NE(dynamic_cast<CTreeClassView*>(&Classes()), nullptr);
}

TEST_F(ObjectTreeFill, LanternGameNestsByArrowsAndListsItsRoutine) {
  CTestDocument game(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  m_bar.FillDocument(game);
  EXPECT_EQ(DumpAll(Objects()), "lantern 0/0 bold\n"
                                "  LampRoom 1/2\n"
                                "  Workshop 1/2\n"
                                "    lantern 1/2\n");
  EXPECT_EQ(DumpAll(Classes()), "lantern 0/0 bold\n");
  EXPECT_EQ(DumpAll(Functions()), "lantern 0/0 bold\n"
                                  "  Initialise 1/2\n");
}

TEST_F(ObjectTreeFill, EveryLevelSortedParentsFoundClassesGrouped) {
  CTestDocument trees(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
  m_bar.FillDocument(trees);
  // apple before Banana: the order ignores case, where the records' own order does not.
  // widget's parent was never defined, so it stands under the root.
  EXPECT_EQ(DumpAll(Objects()), "trees 0/0 bold\n"
                                "  apple 1/2\n"
                                "  Banana 1/2\n"
                                "  Hall 1/2\n"
                                "    coin 1/2\n"
                                "      box 1/2\n"
                                "    lamp 1/2\n"
                                "  lamp[02] 1/2\n"
                                "  ruby 1/2\n"
                                "  widget 1/2\n");
  // An object of a class sits directly under the class, whatever its parent.
  EXPECT_EQ(DumpAll(Classes()), "trees 0/0 bold\n"
                                "  Gem 1/1\n"
                                "    ruby 2/3\n"
                                "  Room 1/1\n"
                                "    Hall 2/3\n"
                                "  Treasure 1/1\n"
                                "    coin 2/3\n");
  EXPECT_EQ(DumpAll(Functions()), "trees 0/0 bold\n"
                                  "  helper 1/2\n"
                                  "  Main 1/2\n");
}

TEST_F(ObjectTreeFill, InformLibraryClassesAndRoutines) {
  CTestDocument english("/usr/share/inform6/library/english.h", "english");
  m_bar.FillDocument(english);
  const CTreeItem* classRoot = Classes().FindDocumentRoot("english");
  ASSERT_NE(classRoot, nullptr);
  ASSERT_EQ(classRoot->ChildCount(), 1);
  const std::string compass = Dump(Classes(), classRoot->Child(0));
  EXPECT_TRUE(compass.starts_with("CompassDirection 1/1\n  d_obj 2/3\n  e_obj 2/3\n  in_obj 2/3\n"))
      << compass;
  EXPECT_EQ(classRoot->Child(0)->ChildCount(), 12);
  const CTreeItem* functionRoot = Functions().FindDocumentRoot("english");
  ASSERT_NE(FindItem(Functions(), functionRoot, "LanguageNumber"), nullptr);
  EXPECT_EQ(functionRoot->ChildCount(), 38);
}

TEST_F(ObjectTreeFill, RootsSortedRenamedInPlaceAndRemovedAlone) {
  CTestDocument lantern(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  CTestDocument trees(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
  CTestDocument alpha(WriteSource(m_dir, "alpha.inf", "Object a \"a\";\n"), "Alpha");
  m_bar.FillDocument(trees);
  m_bar.FillDocument(lantern);
  m_bar.FillDocument(alpha);
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(RootTexts(*m_bar.GetView(tab)), "Alpha,lantern,trees");

  m_bar.RenameDocument(alpha, "zeta");
  alpha.m_treeName = "zeta";
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(RootTexts(*m_bar.GetView(tab)), "lantern,trees,zeta");
  EXPECT_EQ(Dump(Objects(), Objects().FindDocumentRoot(alpha)), "zeta 0/0 bold\n  a 1/2\n");

  m_bar.RemoveDocument(lantern);
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(RootTexts(*m_bar.GetView(tab)), "trees,zeta");
  m_bar.RemoveDocument(lantern);
  EXPECT_EQ(RootTexts(Objects()), "trees,zeta");
}

TEST_F(ObjectTreeFill, TwoDocumentsWithOneTreeNameKeepTheirOwnSubtrees) {
  CTestDocument source(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  CTestDocument header(WriteSource(m_dir, "lantern.h", "Object extra \"extra\";\n[ Helper;\n"),
                       "lantern");
  m_bar.FillDocument(source);
  m_bar.FillDocument(header);
  EXPECT_EQ(DumpAll(Objects()), "lantern 0/0 bold\n"
                                "  LampRoom 1/2\n"
                                "  Workshop 1/2\n"
                                "    lantern 1/2\n"
                                "lantern 0/0 bold\n"
                                "  extra 1/2\n");
  // A refill replaces only the document's own subtree.
  m_bar.FillDocument(source);
  EXPECT_EQ(DumpAll(Functions()), "lantern 0/0 bold\n"
                                  "  Helper 1/2\n"
                                  "lantern 0/0 bold\n"
                                  "  Initialise 1/2\n");
  m_bar.RemoveDocument(header);
  EXPECT_EQ(DumpAll(Functions()), "lantern 0/0 bold\n"
                                  "  Initialise 1/2\n");
}

TEST_F(ObjectTreeFill, InsertEntryFindsParentByTextSortsAndExpands) {
  CTestDocument trees(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
  m_bar.FillDocument(trees);
  Objects().collapse(Objects().Model().IndexOf(FindItem(Objects(), Objects().FindDocumentRoot("trees"), "Hall")));
  EXPECT_TRUE(Objects().InsertEntry("trees", "aardvark", false, std::string("Hall")));
  EXPECT_TRUE(Objects().InsertEntry("trees", "Zebra", true, std::string("box")));
  EXPECT_TRUE(Objects().InsertEntry("trees", "cherry", false, std::string("no such parent")));
  EXPECT_FALSE(Objects().InsertEntry("nowhere", "x", false, std::nullopt));
  EXPECT_TRUE(Classes().InsertEntry("trees", "Amulet", false, std::nullopt));
  EXPECT_TRUE(Classes().InsertEntry("trees", "pearl", false, std::string("Gem")));
  EXPECT_EQ(DumpAll(Objects()), "trees 0/0 bold\n"
                                "  apple 1/2\n"
                                "  Banana 1/2\n"
                                "  cherry 1/2\n"
                                "  Hall 1/2 closed\n"
                                "    aardvark 1/2\n"
                                "    coin 1/2\n"
                                "      box 1/2\n"
                                "        Zebra 1/2\n"
                                "    lamp 1/2\n"
                                "  lamp[02] 1/2\n"
                                "  ruby 1/2\n"
                                "  widget 1/2\n");
  const std::string classes = Dump(Classes(), Classes().FindDocumentRoot("trees"));
  EXPECT_TRUE(classes.starts_with("trees 0/0 bold\n  Amulet 1/1\n  Gem 1/1\n    pearl 2/3\n    ruby 2/3\n"))
      << classes;

  Objects().ExpandDocument("trees");
  EXPECT_EQ(Dump(Objects(), Objects().FindDocumentRoot("trees")).find("closed"), std::string::npos);
}

TEST_F(ObjectTreeFill, PreOrderWalkAndDeleteByTextSkipTheFirstRoot) {
  CTestDocument lantern(TORVANE_TEST_DATA "/lantern.inf", "lantern");
  CTestDocument second(WriteSource(m_dir, "Workshop.inf", "Object lantern \"l\";\n"), "Workshop");
  m_bar.FillDocument(lantern);
  m_bar.FillDocument(second);
  std::string walk;
  for (CTreeItem* item = Objects().Model().FirstRoot(); item; item = Objects().GetNextInOrder(item))
    walk += item->Text() + ",";
  EXPECT_EQ(walk, "lantern,LampRoom,Workshop,lantern,Workshop,lantern,");

  Objects().DeleteItemByText("lantern"); // the first root is passed over: the object goes
  EXPECT_EQ(DumpAll(Objects()), "lantern 0/0 bold\n"
                                "  LampRoom 1/2\n"
                                "  Workshop 1/2\n"
                                "Workshop 0/0 bold\n"
                                "  lantern 1/2\n");
  Objects().DeleteItemByText("Workshop"); // the first Workshop in pre-order is the object
  Objects().DeleteItemByText("Workshop"); // then the second root, with its subtree
  EXPECT_EQ(DumpAll(Objects()), "lantern 0/0 bold\n"
                                "  LampRoom 1/2\n");
  Objects().ClearTree();
  EXPECT_EQ(Objects().Model().FirstRoot(), nullptr);
}

} // namespace
