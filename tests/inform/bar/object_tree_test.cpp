// The three trees over a real file: nesting, classes, routines and order; the tree operations
// (insert, expand, walk, delete by text); jump to definition (double-click, Enter, the
// command) and its not-found messages; the context menus; the images the trees paint.
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "message_box.h"
#include "object_bar.h"
#include "tree_test_support.h"

using namespace treetest;

namespace {

class ObjectTree : public ::testing::Test {
protected:
  void SetUp() override {
    m_doc = std::make_unique<CTestDocument>(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
    m_host.m_documents = {m_doc.get()};
    m_bar.SetHost(&m_host);
    m_bar.FillDocument(*m_doc);
    m_bar.resize(300, 600);
    m_bar.show();
    m_previous = SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      m_messages.push_back(text.toStdString() + " #" + std::to_string(buttons));
      return IDOK;
    });
  }
  void TearDown() override { SetTorvaneMessageBoxHandler(m_previous); }

  CMyTreeView& Show(int tab) {
    m_bar.setCurrentIndex(tab);
    return *m_bar.GetView(tab);
  }
  const CTreeItem* Item(const CMyTreeView& view, const std::string& text) {
    return FindItem(view, view.FindDocumentRoot(*m_doc), text);
  }
  QPoint Centre(CMyTreeView& view, const std::string& text) {
    return view.visualRect(view.Model().IndexOf(Item(view, text))).center();
  }
  void DoubleClick(int tab, const std::string& text) {
    CMyTreeView& view = Show(tab);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, Centre(view, text));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, Centre(view, text));
  }
  TextPosition Cursor() const { return m_doc->m_view.GetCursorPosition(); }
  std::string Trees(const CTreeItem* item = nullptr, int tab = -1) {
    if (tab >= 0) return Dump(*m_bar.GetView(tab), item);
    return Dump(*m_bar.GetView(0)) + " | " + Dump(*m_bar.GetView(1)) + " | " + Dump(*m_bar.GetView(2));
  }

  QTemporaryDir m_dir;
  std::unique_ptr<CTestDocument> m_doc;
  CTestHost m_host;
  CObjectBar m_bar;
  std::vector<std::string> m_messages;
  TorvaneMessageBoxHandler m_previous;
};

TEST_F(ObjectTree, FilledTreesNestByArrowsGroupByClassAndSortEveryLevel) {
  EXPECT_EQ(m_bar.tabText(0) + m_bar.tabText(1) + m_bar.tabText(2), "ObjectsClassesFunctions");
  // apple before Banana and helper before Main: the order ignores case, the records' does
  // not. widget's parent was never defined; ruby's class is declared in lower case; an
  // object stands directly under its class, whatever its parent.
  EXPECT_EQ(Trees(), "trees:00B(apple:12, Banana:12, Hall:12(coin:12(box:12), lamp:12, Zircon:12), "
                     "lamp[02]:12, ruby:12, widget:12) | "
                     "trees:00B(Gem:11(ruby:23), Room:11(Hall:23), Treasure:11(coin:23)) | "
                     "trees:00B(helper:12, Main:12)");
}

TEST_F(ObjectTree, EntriesInsertedExpandedWalkedAndDeletedByText) {
  CTestDocument second(WriteSource(m_dir, "zoo.inf", "Object lamp \"l\";\n"), "zoo");
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

TEST_F(ObjectTree, DoubleClickEnterAndCommandLandOnTheDefinitionARootOnlyComesForward) {
  m_doc->m_view.SetSelection(TextPosition(0, 0), TextPosition(5, 3));
  DoubleClick(0, "coin");
  EXPECT_EQ(Cursor(), TextPosition(0, 5));
  EXPECT_FALSE(m_doc->m_view.HasSelection());
  EXPECT_TRUE(m_bar.GetView(0)->IsExpanded(Item(*m_bar.GetView(0), "coin")));
  DoubleClick(0, "lamp[02]");
  EXPECT_EQ(Cursor(), TextPosition(0, 8));
  DoubleClick(1, "Treasure"); // "Class Treasure", exact case
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
  DoubleClick(1, "Hall");
  EXPECT_EQ(Cursor(), TextPosition(0, 4));
  CMyTreeView& functions = Show(2);
  functions.SelectItem(Item(functions, "helper"));
  QTest::keyClick(&functions, Qt::Key_Return);
  EXPECT_EQ(Cursor(), TextPosition(0, 17));
  CMyTreeView& objects = Show(0);
  objects.SelectItem(Item(objects, "widget"));
  EXPECT_TRUE(m_bar.OnCmdMsg(32790));
  EXPECT_EQ(Cursor(), TextPosition(0, 12));
  EXPECT_EQ(m_doc->m_activations, 6);

  for (int tab = 0; tab < 3; ++tab) {
    m_doc->m_view.PlaceCursor(TextPosition(3, 1));
    DoubleClick(tab, "trees");
    EXPECT_EQ(Cursor(), TextPosition(3, 1));
  }
  EXPECT_EQ(m_doc->m_activations, 9);
  m_host.m_documents.clear(); // a root whose document has gone is not followed
  DoubleClick(0, "apple");
  EXPECT_EQ(m_doc->m_activations, 9);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ObjectTree, NotFoundMessagesAfterTheTextOrTheRecordsChanged) {
  DoubleClick(1, "Gem"); // declared "class Gem": no "Class Gem" in the text
  // The text changes after the scan: apple's line in capitals, Banana's line gone.
  std::string changed = TREES_SOURCE;
  changed.replace(changed.find("Object apple"), 12, "OBJECT APPLE");
  changed.replace(changed.find("Object Banana"), 13, "! gone here!!");
  m_doc->m_buffer.Load(WriteSource(m_dir, "changed.inf", changed));
  DoubleClick(0, "apple"); // found, ignoring case
  EXPECT_EQ(Cursor(), TextPosition(0, 10));
  DoubleClick(0, "Banana");
  m_doc->m_scanner.DeleteRecords();
  DoubleClick(2, "Main");
  EXPECT_EQ(m_messages, (std::vector<std::string>{
      "Could not find the implementation of Gem.\nThe current algorithm is not perfect.  See the Help file. #0",
      "Could not find the implementation of Banana.\nYou may need to rebuild the object tree. #0",
      "Could not find the implementation of Main.\nYou may need to rebuild the object tree. #0"}));
  EXPECT_EQ(Cursor(), TextPosition(0, 10));
}

// Each entry as "text+" (enabled), "text-" (disabled) or "---" (separator).
std::string MenuEntries(const QMenu& menu) {
  std::string out;
  for (const QAction* action : menu.actions())
    out += action->isSeparator() ? "---|" : action->text().toStdString() + (action->isEnabled() ? "+|" : "-|");
  return out;
}

TEST_F(ObjectTree, ContextMenusOfTheThreeTrees) {
  CMyTreeView& objects = Show(0);
  EXPECT_EQ(MenuEntries(*objects.CreateContextMenu(Centre(objects, "trees"))),
            "&Jump to Definition+|&Edit Object-|---|Insert New &Object-|");
  // Below the last item: nothing is selected, so there is nothing to jump to.
  EXPECT_EQ(MenuEntries(*objects.CreateContextMenu(QPoint(5, objects.viewport()->height() - 2))),
            "&Jump to Definition-|&Edit Object-|---|Insert New &Object-|");
  EXPECT_EQ(objects.SelectedItem(), nullptr);
  CMyTreeView& classes = Show(1);
  EXPECT_EQ(MenuEntries(*classes.CreateContextMenu(Centre(classes, "trees"))),
            "&Jump to Definition-|---|&Insert New Class-|");
  EXPECT_EQ(MenuEntries(*classes.CreateContextMenu(Centre(classes, "Gem"))),
            "&Jump to Definition+|---|&Insert New Class-|");
  CMyTreeView& functions = Show(2);
  EXPECT_EQ(MenuEntries(*functions.CreateContextMenu(Centre(functions, "trees"))),
            "&Jump to Definition+|---|&Insert New Function-|");

}

TEST_F(ObjectTree, ImagesFollowTheStripsWithGreenTransparent) {
  // A colour of each picture: document page lines, closed box lid, open box inside, class
  // symbol, gear, lit gear.
  const QRgb page = qRgb(70, 90, 160), closed = qRgb(205, 150, 80), open = qRgb(70, 40, 15),
             symbol = qRgb(70, 120, 220), gear = qRgb(150, 155, 165), lit = qRgb(240, 170, 40);
  const struct {
    int tab;
    const char* item;
    bool selected;
    QRgb shown, absent;
  } rows[] = {{0, "trees", false, page, closed}, {0, "apple", false, closed, open},
              {0, "apple", true, open, closed},  {1, "Gem", false, symbol, closed},
              {1, "ruby", false, closed, open},  {1, "ruby", true, open, closed},
              {2, "helper", false, gear, lit},   {2, "helper", true, lit, gear}};
  for (const auto& row : rows) {
    CMyTreeView& view = Show(row.tab);
    view.SelectItem(row.selected ? Item(view, row.item) : nullptr);
    const QImage image = view.viewport()->grab().toImage();
    const QRect rect = view.visualRect(view.Model().IndexOf(Item(view, row.item)));
    int shown = 0, absent = 0, green = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x) {
        const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
        shown += pixel == (row.shown & 0xFFFFFF);
        absent += pixel == (row.absent & 0xFFFFFF);
        green += pixel == 0x00FF00;
      }
    EXPECT_GT(shown, 5) << row.item;
    EXPECT_EQ(absent, 0) << row.item;
    EXPECT_EQ(green, 0) << row.item;
  }
}

} // namespace
