// Jump to definition from the three trees (double-click, Enter, the context menu), the
// not-found messages, the context menus, and the images the trees paint.
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "command_binder.h"
#include "command_router.h"
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

  QTemporaryDir m_dir;
  std::unique_ptr<CTestDocument> m_doc;
  CTestHost m_host;
  CObjectBar m_bar;
  std::vector<std::string> m_messages;
  TorvaneMessageBoxHandler m_previous;
};

TEST_F(ObjectTreeJump, DoubleClickLandsOnTheDefinitionLineAndLeavesExpansionAlone) {
  m_doc->m_view.SetSelection(TextPosition(0, 0), TextPosition(5, 3));
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
  // A second document under the same tree name: its items lead to it, not to the first.
  CTestDocument other(TORVANE_TEST_DATA "/lantern.inf", "trees");
  m_host.m_documents.push_back(&other);
  m_bar.FillDocument(other);
  objects.SelectItem(FindItem(objects, objects.FindDocumentRoot(other), "LampRoom"));
  QTest::keyClick(&objects, Qt::Key_Enter);
  EXPECT_EQ(other.m_view.GetCursorPosition(), TextPosition(0, 21));
  EXPECT_EQ(other.m_activations, 1);
  m_host.m_documents.clear(); // a root whose document has gone is not followed
  DoubleClick(0, "apple");
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

// Stands for the rest of the window's route: handles Edit Object.
class CEditObjectOwner : public CCmdTarget {
public:
  bool OnCmdMsg(int id) override { return received.push_back(id), id == 32789; }
  bool OnUpdateCmdUI(int id, CCmdUIState&) override { return id == 32789; }
  std::vector<int> received;
};

TEST_F(ObjectTreeJump, ContextMenusOfTheThreeTreesAndChoosingFromThem) {
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

  // Through a window's route: the current tree, then the rest of the window.
  CEditObjectOwner owner;
  CCommandRouter router([&](std::vector<CCmdTarget*>& route) {
    route.insert(route.end(), {m_bar.GetView(m_bar.currentIndex()), &owner});
  });
  CCommandBinder binder(router);
  m_bar.SetCommandBinder(&binder);
  Show(0);
  for (auto [entry, item] : {std::pair{0, "lamp"}, std::pair{1, "ruby"}}) {
    QTimer::singleShot(0, [entry] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[entry]).center());
    });
    QTest::mousePress(objects.viewport(), Qt::RightButton, {}, Centre(objects, item));
  }
  EXPECT_EQ(Cursor(), TextPosition(0, 7));
  EXPECT_EQ(owner.received, std::vector<int>{32789});
  EXPECT_EQ(objects.SelectedItem(), Item(objects, "ruby"));
}

TEST_F(ObjectTreeJump, ImagesFollowTheStripsWithGreenTransparent) {
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
