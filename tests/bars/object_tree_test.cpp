// The three trees over a real file: filling, the tree operations, jumps to definitions and
// their messages, context menus and images.
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <map>
#include <gtest/gtest.h>

#include "edit_view.h"
#include "message_box.h"
#include "my_tree_view.h"
#include "object_bar.h"
#include "text_buffer.h"

namespace {

// Classes spaced as people write them, one without instances and one not defined here,
// arrows, parents named after their objects, a missing parent, a clashing name and two
// routines (line numbers matter to the jumps).
const char* const TREES_SOURCE =
    "Class\tRoom;\n"
    "Class  Treasure;\n"
    "class Gem;\n"
    "Room Hall \"Hall\";\n"
    "Treasure -> coin \"coin\";\n"
    "Object -> -> box \"box\";\n"
    "Object lamp \"lamp\" Hall;\n"
    "Object lamp \"spare lamp\";\n"
    "Gem ruby \"ruby\";\n"
    "Object apple \"apple\";\n"
    "Object Banana \"banana\";\n"
    "Object widget \"widget\" Nowhere;\n"
    "Object Zircon \"zircon\" Hall;\n"
    "[ Main;\n"
    "];\n"
    "[helper x;\n"
    "];\n"
    "Class Unused;\n"
    "Thing spare \"spare\";\n";

// A document loaded from a file and scanned, with one editing view on its text.
struct CTestDocument : CObjectBarDocument {
  CTestDocument(const std::string& path, std::string treeName) : m_treeName(std::move(treeName)) {
    m_buffer.Load(path);
    m_scanner.ScanObjects(CBufferLineSource<CTextBuffer>(m_buffer));
    m_view.AttachBuffer(&m_buffer);
    m_view.resize(400, 300);
  }
  std::string GetTreeName() const override { return m_treeName; }
  const CObjectMap& GetObjectMap() const override { return m_scanner.ObjectMap(); }
  const CFunctionMap& GetFunctionMap() const override { return m_scanner.FunctionMap(); }
  const CClassMap& GetClassMap() const override { return m_scanner.ClassMap(); }
  int GetScannerValue() const override { return m_scanner.ScannerValue(); }
  TextEncoding GetEncoding() const override { return m_buffer.Encoding(); }
  CTextView* ActivateFirstView() override { return ++m_activations, m_view.show(), &m_view; }

  std::string m_treeName;
  CTextBuffer m_buffer;
  CObjectScanner m_scanner;
  CEditView m_view;
  int m_activations = 0;
};

// Items on one line: "text:" image, selected image, "B" if bold, "c" if collapsed with
// children, then the children: "a:00B(b:12, c:12c(d:12))".
std::string Dump(const CMyTreeView& view, const CTreeItem* item, const char* sep = " ") {
  std::string out; // item and the siblings after it
  for (; item; item = item->NextSibling())
    out += (out.empty() ? "" : sep) + item->Text() + ":" + std::to_string(item->Image()) +
           std::to_string(item->SelectedImage()) + (item->IsBold() ? "B" : "") +
           (item->FirstChild() ? (view.IsExpanded(item) ? "(" : "c(") + Dump(view, item->FirstChild(), ", ") + ")" : "");
  return out;
}

class ObjectTree : public ::testing::Test, public CObjectBarHost {
protected:
  void SetUp() override {
    m_doc = std::make_unique<CTestDocument>(WriteSource("trees.inf", TREES_SOURCE), "trees");
    m_documents = {m_doc.get()};
    m_bar.SetHost(this);
    m_bar.FillDocument(*m_doc);
    m_bar.resize(300, 600);
    m_bar.show();
    m_previous = SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      m_messages.push_back(text.toStdString() + " #" + std::to_string(buttons));
      return IDOK;
    });
  }
  void TearDown() override { SetTorvaneMessageBoxHandler(m_previous); }
  std::vector<CObjectBarDocument*> GetDocuments() const override { return m_documents; }

  std::string WriteSource(const std::string& name, const std::string& text) {
    const std::string path = m_dir.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  CMyTreeView& Show(int tab) {
    m_bar.setCurrentIndex(tab);
    return *m_bar.GetView(tab);
  }
  const CTreeItem* Item(const CMyTreeView& view, const std::string& text) {
    const CTreeItem* root = view.FindDocumentRoot(*m_doc);
    for (const CTreeItem* item = root; item && item != root->NextSibling(); item = view.GetNextInOrder(item))
      if (item->Text() == text) return item;
    return nullptr;
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
  std::string Tree(int tab) { return Dump(*m_bar.GetView(tab), m_bar.GetView(tab)->Model().FirstRoot()); }

  QTemporaryDir m_dir;
  std::unique_ptr<CTestDocument> m_doc;
  std::vector<CObjectBarDocument*> m_documents;
  CObjectBar m_bar;
  std::vector<std::string> m_messages;
  TorvaneMessageBoxHandler m_previous;
};

// Filled, then added to: apple before Banana and helper before Main, for the order ignores
// case, the records' does not; widget's parent was never defined; a class is listed whether
// it has instances (Unused) or is defined here (Thing) or not; an object stands directly
// under its class, whatever its parent.
TEST_F(ObjectTree, FilledTreesNestGroupByClassAndSortEntriesInsertedExpandedWalkedAndDeletedByText) {
  EXPECT_EQ(m_bar.tabText(0) + m_bar.tabText(1) + m_bar.tabText(2), "ObjectsClassesFunctions");
  CTestDocument second(WriteSource("zoo.inf", "Object lamp \"l\";\n"), "zoo");
  m_bar.FillDocument(second);
  EXPECT_EQ(Tree(2), "trees:00B(helper:12, Main:12) zoo:00B");
  CMyTreeView& objects = *m_bar.GetView(0);
  objects.collapse(objects.Model().IndexOf(Item(objects, "Hall")));
  EXPECT_TRUE(objects.InsertEntry("trees", "aardvark", false, std::string("Hall")));
  EXPECT_TRUE(objects.InsertEntry("trees", "Zebra", true, std::string("box")));
  EXPECT_TRUE(objects.InsertEntry("trees", "cherry", false, std::string("no such parent")));
  EXPECT_FALSE(objects.InsertEntry("nowhere", "x", false, std::nullopt));
  EXPECT_TRUE(m_bar.GetView(1)->InsertEntry("trees", "Amulet", false, std::nullopt));
  EXPECT_TRUE(m_bar.GetView(1)->InsertEntry("trees", "pearl", false, std::string("Gem")));
  EXPECT_EQ(Tree(0), "trees:00B(apple:12, Banana:12, cherry:12, Hall:12c(aardvark:12, coin:12(box:12(Zebra:12)), "
                     "lamp:12, Zircon:12), lamp[02]:12, ruby:12, spare:12, widget:12) zoo:00B(lamp:12)");
  EXPECT_EQ(Tree(1), "trees:00B(Amulet:11, Gem:11(pearl:23, ruby:23), Room:11(Hall:23), Thing:11(spare:23), "
                     "Treasure:11(coin:23), Unused:11) zoo:00B");
  objects.ExpandDocument("trees");
  EXPECT_EQ(Tree(0).find(":12c"), std::string::npos);

  std::string walk;
  for (const CTreeItem* item = objects.FindDocumentRoot("trees")->Child(3); item; item = objects.GetNextInOrder(item))
    walk += item->Text() + ",";
  EXPECT_EQ(walk, "Hall,aardvark,coin,box,Zebra,lamp,Zircon,lamp[02],ruby,spare,widget,zoo,lamp,");
  objects.DeleteItemByText("trees"); // the first root is passed over
  objects.DeleteItemByText("lamp");  // the first lamp in pre-order goes
  objects.DeleteItemByText("zoo");   // a later root goes with its subtree
  EXPECT_EQ(Tree(0), "trees:00B(apple:12, Banana:12, cherry:12, Hall:12(aardvark:12, "
                     "coin:12(box:12(Zebra:12)), Zircon:12), lamp[02]:12, ruby:12, spare:12, widget:12)");
  objects.ClearTree();
  EXPECT_EQ(Tree(0), "");
}

TEST_F(ObjectTree, DoubleClickEnterAndCommandLandOnTheDefinitionARootOnlyComesForward) {
  m_doc->m_view.SetSelection(TextPosition(0, 0), TextPosition(5, 3));
  // How: 'd' double-click, 'e' Enter, 'c' the command; a class after any blanks and tabs.
  const std::tuple<int, const char*, char, int> rows[] = {
      {0, "coin", 'd', 4},  {0, "lamp[02]", 'd', 7}, {1, "Treasure", 'd', 1}, {1, "Room", 'd', 0},
      {1, "Gem", 'd', 2},   {1, "Unused", 'd', 17},  {1, "Hall", 'd', 3},     {2, "helper", 'e', 15},
      {0, "widget", 'c', 11}};
  for (const auto& [tab, item, how, line] : rows) {
    CMyTreeView& view = Show(tab);
    how == 'd' ? DoubleClick(tab, item) : view.SelectItem(Item(view, item));
    if (how == 'e') QTest::keyClick(&view, Qt::Key_Return);
    if (how == 'c') { EXPECT_TRUE(m_bar.OnCmdMsg(32790)); }
    EXPECT_EQ(Cursor(), TextPosition(0, line)) << item;
    EXPECT_FALSE(m_doc->m_view.HasSelection()) << item;
  }
  EXPECT_TRUE(m_bar.GetView(0)->IsExpanded(Item(*m_bar.GetView(0), "coin"))); // not collapsed by the click
  EXPECT_EQ(m_doc->m_activations, 9);

  for (int tab = 0; tab < 3; ++tab) {
    m_doc->m_view.PlaceCursor(TextPosition(3, 1));
    DoubleClick(tab, "trees");
    EXPECT_EQ(Cursor(), TextPosition(3, 1));
  }
  EXPECT_EQ(m_doc->m_activations, 12);
  m_documents.clear(); // a root whose document has gone is not followed
  DoubleClick(0, "apple");
  EXPECT_EQ(m_doc->m_activations, 12);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ObjectTree, NotFoundMessagesAfterTheTextOrTheRecordsChanged) {
  DoubleClick(1, "Thing"); // not defined in this file
  // The text changes after the scan: apple's line in capitals, Banana's line gone, blanks
  // changed in Main's.
  std::string changed = TREES_SOURCE;
  changed.replace(changed.find("Object apple"), 12, "OBJECT APPLE");
  changed.replace(changed.find("Object Banana"), 13, "! gone here!!");
  changed.replace(changed.find("[ Main"), 6, "[Main");
  m_doc->m_buffer.Load(WriteSource("changed.inf", changed));
  DoubleClick(2, "Main");
  EXPECT_EQ(Cursor(), TextPosition(0, 13));
  DoubleClick(0, "apple"); // found, ignoring case
  EXPECT_EQ(Cursor(), TextPosition(0, 9));
  DoubleClick(0, "Banana");
  m_doc->m_scanner.DeleteRecords();
  DoubleClick(2, "Main");
  EXPECT_EQ(m_messages, (std::vector<std::string>{
      "Could not find the implementation of Thing.\nThe current algorithm is not perfect.  See the Help file. #0",
      "Could not find the implementation of Banana.\nYou may need to rebuild the object tree. #0",
      "Could not find the implementation of Main.\nYou may need to rebuild the object tree. #0"}));
  EXPECT_EQ(Cursor(), TextPosition(0, 9));
}

// Names, short names and file names in other scripts are shown as characters of the
// document's encoding in every tree and in the message of a jump that finds nothing.
TEST_F(ObjectTree, NamesAreShownInTheDocumentsEncoding) {
  const struct {
    TextEncoding encoding;
    std::string source;
    std::string tree; // the Objects tree's root and items, as shown
  } rows[] = {
      {TextEncoding::Utf8,
       "Class Caf\xC3\xA9;\nCaf\xC3\xA9 cr\xC3\xA8me;\nObject \"\xCE\xB1\xCE\xB2\xCE\xB3\";\n"
       "Object \xD0\xB4\xD0\xBE\xD0\xBC \"\xE6\xBC\xA2\xE5\xAD\x97\";\n[ \xC3\xBC\xC3\xA9;\n];\n",
       "ch\u00E2teau(\"\u03B1\u03B2\u03B3\", cr\u00E8me, \u0434\u043E\u043C)"},
      {TextEncoding::Iso8859_1, "Class Caf\xE9;\nCaf\xE9 cr\xE8me;\n[ \xFC\xE9;\n];\n",
       "ch\u00E2teau(cr\u00E8me)"},
      {TextEncoding::Iso8859_5, "Class Caf\xE9;\nCaf\xE9 \xD4\xDE\xDC;\n[ \xFC\xE9;\n];\n",
       "ch\u00E2teau(\u0434\u043E\u043C)"},
      {TextEncoding::Iso8859_7, "Class Caf\xE9;\nCaf\xE9 \xE1\xE2\xE3 \"\xC1\";\n[ \xFC\xE9;\n];\n",
       "ch\u00E2teau(\u03B1\u03B2\u03B3)"},
  };
  const auto shown = [](CMyTreeView& view, const CTreeItem* item) {
    QString out;
    for (; item; item = item->NextSibling()) {
      out += (out.isEmpty() ? "" : ", ") + view.Model().data(view.Model().IndexOf(item), Qt::DisplayRole).toString();
      if (item->FirstChild()) out += "(" + [&] {
        QString inner;
        for (const CTreeItem* child = item->FirstChild(); child; child = child->NextSibling())
          inner += (inner.isEmpty() ? "" : ", ") + view.Model().data(view.Model().IndexOf(child), Qt::DisplayRole).toString();
        return inner;
      }() + ")";
    }
    return out;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(EncodingName(row.encoding));
    CTestDocument doc(WriteSource("ch\xC3\xA2teau.inf", row.source), "ch\xC3\xA2teau");
    doc.m_buffer.SetEncoding(row.encoding);
    m_documents = {&doc};
    for (int tab = 0; tab < 3; ++tab) m_bar.GetView(tab)->ClearTree();
    m_bar.FillDocument(doc);
    EXPECT_EQ(shown(*m_bar.GetView(0), m_bar.GetView(0)->Model().FirstRoot()), QString::fromUtf8(row.tree));
    // The class, its instance and the routine: the same bytes in each source, other characters.
    const QString cafe = row.encoding == TextEncoding::Iso8859_5 ? "Caf\u0449" : row.encoding == TextEncoding::Iso8859_7 ? "Caf\u03B9" : "Caf\u00E9";
    const QString routine = row.encoding == TextEncoding::Iso8859_5 ? "\u045C\u0449" : row.encoding == TextEncoding::Iso8859_7 ? "\u03CC\u03B9" : "\u00FC\u00E9";
    EXPECT_EQ(shown(*m_bar.GetView(1), m_bar.GetView(1)->Model().FirstRoot()).section('(', 1, 1).section(')', 0, 0).section(',', 0, 0), cafe);
    EXPECT_EQ(shown(*m_bar.GetView(2), m_bar.GetView(2)->Model().FirstRoot()), QString::fromUtf8("ch\u00E2teau(") + routine + ")");
    // The routine's line is gone from the text: the message names it as shown.
    doc.m_buffer.Load(WriteSource("gone.inf", "! nothing\n"));
    doc.m_buffer.SetEncoding(row.encoding);
    m_messages.clear();
    CMyTreeView& functions = Show(2);
    functions.SelectItem(functions.Model().FirstRoot()->FirstChild());
    QTest::keyClick(&functions, Qt::Key_Return);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(QString::fromStdString(m_messages[0]), "Could not find the implementation of " + routine +
                                                         ".\nYou may need to rebuild the object tree. #0");
    m_documents.clear();
  }
}

TEST_F(ObjectTree, ContextMenusOfTheThreeTrees) {
  // Each entry "text+" (enabled), "text-" (disabled) or "---"; at "" (below the last item)
  // nothing is selected, so there is nothing to jump to.
  const std::tuple<int, std::string, std::string> rows[] = {
      {0, "trees", "&Jump to Definition+|&Edit Object-|---|Insert New &Object-|"},
      {0, "", "&Jump to Definition-|&Edit Object-|---|Insert New &Object-|"},
      {1, "trees", "&Jump to Definition-|---|&Insert New Class-|"},
      {1, "Gem", "&Jump to Definition+|---|&Insert New Class-|"},
      {2, "trees", "&Jump to Definition+|---|&Insert New Function-|"}};
  for (const auto& [tab, item, entries] : rows) {
    CMyTreeView& view = Show(tab);
    const QPoint at = item.empty() ? QPoint(5, view.viewport()->height() - 2) : Centre(view, item);
    const auto menu = view.CreateContextMenu(at);
    std::string out;
    for (const QAction* action : menu->actions())
      out += action->isSeparator() ? "---|" : action->text().toStdString() + (action->isEnabled() ? "+|" : "-|");
    EXPECT_EQ(out, entries) << item;
    EXPECT_EQ(view.SelectedItem(), item.empty() ? nullptr : Item(view, item));
  }
}

TEST_F(ObjectTree, ImagesFollowTheStripsWithGreenTransparent) {
  // A colour of each picture: page lines, box lid, inside of the box, class, gear, lit gear.
  const QRgb page = 0x465AA0, closed = 0xCD9650, open = 0x46280F, symbol = 0x4678DC, gear = 0x969BA5,
             lit = 0xF0AA28;
  const std::tuple<int, const char*, bool, QRgb, QRgb> rows[] = {
      {0, "trees", false, page, closed}, {0, "apple", false, closed, open}, {0, "apple", true, open, closed},
      {1, "Gem", false, symbol, closed}, {1, "ruby", false, closed, open},  {1, "ruby", true, open, closed},
      {2, "helper", false, gear, lit},   {2, "helper", true, lit, gear}};
  for (const auto& [tab, item, selected, shown, absent] : rows) {
    CMyTreeView& view = Show(tab);
    view.SelectItem(selected ? Item(view, item) : nullptr);
    const QImage image = view.viewport()->grab().toImage();
    const QRect rect = view.visualRect(view.Model().IndexOf(Item(view, item)));
    std::map<QRgb, int> count;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x) ++count[image.pixel(x, y) & 0xFFFFFF];
    EXPECT_GT(count[shown], 5) << item;
    EXPECT_EQ(count[absent] + count[0x00FF00], 0) << item;
  }
}

} // namespace
