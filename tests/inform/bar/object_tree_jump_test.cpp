// Jump to definition from the three trees (double-click, Enter, the context menu), the
// not-found messages, the context menus, and the images the trees paint.
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "message_box.h"
#include "object_bar.h"
#include "tree_test_support.h"

using namespace treetest;

namespace {

class ObjectTreeJump : public ::testing::Test {
protected:
  void SetUp() override {
    m_doc = std::make_unique<CTestDocument>(WriteSource(m_dir, "trees.inf", TREES_SOURCE), "trees");
    m_host.m_documents = {m_doc.get()};
    m_bar.SetHost(&m_host);
    m_bar.FillDocument(*m_doc);
    m_bar.resize(300, 600);
    m_bar.show();
    m_previous = SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      m_messages.push_back(text.toStdString());
      m_buttons = buttons;
      return IDOK;
    });
  }
  void TearDown() override { SetTorvaneMessageBoxHandler(m_previous); }

  CMyTreeView& Show(int tab) {
    m_bar.setCurrentIndex(tab);
    return *m_bar.GetView(tab);
  }
  const CTreeItem* Item(const CMyTreeView& view, const std::string& text) {
    const CTreeItem* root = view.FindDocumentRoot(*m_doc);
    return text == root->Text() ? root : FindItem(view, root, text);
  }
  QPoint Centre(CMyTreeView& view, const std::string& text) {
    return view.visualRect(view.Model().IndexOf(Item(view, text))).center();
  }
  void DoubleClick(int tab, const std::string& text) {
    CMyTreeView& view = Show(tab);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, Centre(view, text));
  }
  TextPosition Cursor() const { return m_doc->m_view.GetCursorPosition(); }

  QTemporaryDir m_dir;
  std::unique_ptr<CTestDocument> m_doc;
  CTestHost m_host;
  CObjectBar m_bar;
  std::vector<std::string> m_messages;
  unsigned m_buttons = 0xFFFF;
  TorvaneMessageBoxHandler m_previous;
};

TEST_F(ObjectTreeJump, DoubleClickLandsOnTheDefinitionLineAndLeavesExpansionAlone) {
  DoubleClick(0, "coin");
  EXPECT_EQ(Cursor(), TextPosition(0, 5));
  EXPECT_FALSE(m_doc->m_view.HasSelection());
  EXPECT_TRUE(m_bar.GetView(0)->IsExpanded(Item(*m_bar.GetView(0), "coin")));
  EXPECT_EQ(m_doc->m_activations, 1);
  DoubleClick(0, "box");
  EXPECT_EQ(Cursor(), TextPosition(0, 6));
  DoubleClick(0, "lamp[02]");
  EXPECT_EQ(Cursor(), TextPosition(0, 8));
  DoubleClick(1, "Treasure"); // "Class Treasure", exact case
  EXPECT_EQ(Cursor(), TextPosition(0, 2));
  DoubleClick(1, "Hall");
  EXPECT_EQ(Cursor(), TextPosition(0, 4));
  DoubleClick(2, "helper");
  EXPECT_EQ(Cursor(), TextPosition(0, 17));
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(m_doc->m_activations, 6);
}

TEST_F(ObjectTreeJump, EnterAndCommandJumpRootOnlyBringsTheDocumentForward) {
  CMyTreeView& functions = Show(2);
  functions.SelectItem(Item(functions, "Main"));
  QTest::keyClick(&functions, Qt::Key_Return);
  EXPECT_EQ(Cursor(), TextPosition(0, 14));

  CMyTreeView& objects = Show(0);
  objects.SelectItem(Item(objects, "widget"));
  EXPECT_TRUE(m_bar.OnCmdMsg(32790));
  EXPECT_EQ(Cursor(), TextPosition(0, 12));

  for (int tab = 0; tab < 3; ++tab) {
    m_doc->m_view.PlaceCursor(TextPosition(3, 1));
    DoubleClick(tab, "trees");
    EXPECT_EQ(Cursor(), TextPosition(3, 1));
  }
  EXPECT_EQ(m_doc->m_activations, 5);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ObjectTreeJump, NotFoundMessagesAfterTheTextOrTheRecordsChanged) {
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
  ASSERT_EQ(m_messages.size(), 3u);
  EXPECT_EQ(m_messages[0], "Could not find the implementation of Gem.\n"
                           "The current algorithm is not perfect.  See the Help file.");
  EXPECT_EQ(m_messages[1], "Could not find the implementation of Banana.\n"
                           "You may need to rebuild the object tree.");
  EXPECT_EQ(m_messages[2], "Could not find the implementation of Main.\n"
                           "You may need to rebuild the object tree.");
  EXPECT_EQ(m_buttons, MB_OK);
  EXPECT_EQ(Cursor(), TextPosition(0, 10));
}

TEST_F(ObjectTreeJump, ClosedDocumentIsNotFollowed) {
  m_host.m_documents.clear();
  DoubleClick(0, "apple");
  EXPECT_EQ(m_doc->m_activations, 0);
  EXPECT_TRUE(m_messages.empty());
}

// Each entry as "text+" (enabled), "text-" (disabled) or "---" (separator).
std::string MenuEntries(const QMenu& menu) {
  std::string out;
  for (const QAction* action : menu.actions())
    out += action->isSeparator() ? "---|" : action->text().toStdString() + (action->isEnabled() ? "+|" : "-|");
  return out;
}

TEST_F(ObjectTreeJump, ContextMenusOfTheThreeTrees) {
  CMyTreeView& objects = Show(0);
  EXPECT_EQ(MenuEntries(*objects.CreateContextMenu(Centre(objects, "trees"))),
            "&Jump to Definition+|&Edit Object-|---|Insert New &Object-|");
  EXPECT_EQ(objects.SelectedItem(), Item(objects, "trees"));
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

// Stands for the main window: handles Edit Object.
class CEditObjectOwner : public CCmdTarget {
public:
  bool OnCmdMsg(int id) override {
    received.push_back(id);
    return id == 32789;
  }
  bool OnUpdateCmdUI(int id, CCmdUIState& state) override {
    state.enabled = true;
    return id == 32789;
  }
  std::vector<int> received;
};

TEST_F(ObjectTreeJump, RightClickChoosesFromThePopUp) {
  CEditObjectOwner owner;
  m_bar.SetCommandOwner(&owner);
  CMyTreeView& objects = Show(0);
  auto choose = [&](int entry) {
    QTimer::singleShot(0, [entry] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[entry]).center());
    });
  };
  choose(0);
  QTest::mousePress(objects.viewport(), Qt::RightButton, {}, Centre(objects, "lamp"));
  EXPECT_EQ(Cursor(), TextPosition(0, 7));
  choose(1);
  QTest::mousePress(objects.viewport(), Qt::RightButton, {}, Centre(objects, "ruby"));
  EXPECT_EQ(owner.received, std::vector<int>{32789});
  EXPECT_EQ(objects.SelectedItem(), Item(objects, "ruby"));
}

// Pixels of the view inside the item's row with exactly colour.
int CountInRow(CMyTreeView& view, const CTreeItem* item, QColor colour) {
  const QImage image = view.viewport()->grab().toImage();
  const QRect row = view.visualRect(view.Model().IndexOf(item));
  int count = 0;
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = row.left(); x <= row.right(); ++x)
      if (image.pixelColor(x, y) == colour) ++count;
  return count;
}

TEST_F(ObjectTreeJump, ImagesFollowTheStripsWithGreenTransparent) {
  const QColor pageLine(70, 90, 160), closedFront(185, 125, 60), openInside(70, 40, 15),
      classBox(70, 120, 220), gear(150, 155, 165), litGear(240, 170, 40), green(0, 255, 0);
  CMyTreeView& objects = Show(0);
  EXPECT_GT(CountInRow(objects, Item(objects, "trees"), pageLine), 10);
  EXPECT_GT(CountInRow(objects, Item(objects, "apple"), closedFront), 10);
  EXPECT_EQ(CountInRow(objects, Item(objects, "apple"), openInside), 0);
  objects.SelectItem(Item(objects, "apple"));
  EXPECT_GT(CountInRow(objects, Item(objects, "apple"), openInside), 5);
  CMyTreeView& classes = Show(1);
  EXPECT_GT(CountInRow(classes, Item(classes, "Gem"), classBox), 10);
  EXPECT_GT(CountInRow(classes, Item(classes, "ruby"), closedFront), 10); // image 2 of its strip
  CMyTreeView& functions = Show(2);
  EXPECT_GT(CountInRow(functions, Item(functions, "helper"), gear), 10);
  functions.SelectItem(Item(functions, "helper"));
  EXPECT_GT(CountInRow(functions, Item(functions, "helper"), litGear), 10);
  for (CMyTreeView* view : {&objects, &classes, &functions}) {
    const QImage image = view->viewport()->grab().toImage();
    int greens = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) greens += image.pixelColor(x, y) == green;
    EXPECT_EQ(greens, 0);
  }
}

} // namespace
