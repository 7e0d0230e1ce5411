// Cut and Paste through the real clipboard, their undo groups, and a clipboard that refuses
// the text.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "edit_test_support.h"

namespace {

QClipboard* Board() { return QApplication::clipboard(); }

class Clipboard : public edittest::EditViewTest<> {
protected:
  void SetUp() override { Board()->clear(); }
  void Cut() { Key(Qt::Key_X, Qt::ControlModifier); }
  void Paste() { Key(Qt::Key_V, Qt::ControlModifier); }
};

TEST_F(Clipboard, CutPutsTheSelectionAsLatin1WithLfOnTheClipboardAndRemovesIt) {
  Load("fir\xE9t\nsecond\nthird");
  EXPECT_FALSE(Update(Cmd::EDIT_CUT, false).enabled);
  Cut(); // nothing selected: nothing happens
  EXPECT_FALSE(buffer->CanUndo());
  Select(TextPosition(2, 0), TextPosition(3, 1));
  EXPECT_TRUE(Update(Cmd::EDIT_CUT, false).enabled);
  Cut();
  EXPECT_EQ(Board()->text(), QString::fromUtf8("r\u00E9t\nsec"));
  EXPECT_EQ(Marked(), "fi|ond\nthird");
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(UndoText(), "&Undo Cut\tCtrl+Z");
  // Pasting it back brings the same bytes.
  Paste();
  EXPECT_EQ(Marked(), "fir\xE9t\nsec|ond\nthird");
  Undo();
  Undo();
  EXPECT_EQ(Text(), "fir\xE9t\nsecond\nthird");
}

TEST_F(Clipboard, PasteInsertsLinesOrReplacesTheSelectionInOneUndoGroup) {
  Load("<>");
  Board()->setText("one\r\ntwo\rthree\nfour"); // every kind of line break comes in
  Place(TextPosition(1, 0));
  Paste();
  EXPECT_EQ(Marked(), "<one\ntwo\nthree\nfour|>");
  EXPECT_EQ(buffer->LineCount(), 4);
  Type("s"); // a typed character joins the paste's group
  EXPECT_EQ(UndoText(), "&Undo Paste\tCtrl+Z");
  Undo();
  EXPECT_EQ(Text(), "<>");

  Load("Object old_name;");
  Board()->setText("new_name");
  Select(TextPosition(7, 0), TextPosition(15, 0));
  Paste();
  EXPECT_EQ(Text(), "Object new_name;");
  Undo();
  EXPECT_EQ(Text(), "Object old_name;");
}

TEST_F(Clipboard, PasteWithoutTextOnTheClipboardStillDeletesTheSelection) {
  Load("keep DROP keep");
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  auto* image = new QMimeData;
  image->setData("image/png", QByteArray("\x89PNG", 4));
  Board()->setMimeData(image);
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  Select(TextPosition(5, 0), TextPosition(10, 0));
  view->OnCmdMsg(Cmd::EDIT_PASTE);
  EXPECT_EQ(Marked(), "keep |keep");
  Board()->setText("x");
  EXPECT_TRUE(Update(Cmd::EDIT_PASTE, false).enabled);
}

// A view whose clipboard refuses every text, as when another program holds it open.
class CRefusingClipboardView : public CCrystalEditView {
public:
  bool CopyToClipboard(const std::string&) override { return false; }
};

class RefusingClipboard : public edittest::EditViewTest<CRefusingClipboardView> {};

TEST_F(RefusingClipboard, CutKeepsTheTextWhenTheClipboardDidNotTakeIt) {
  Load("precious text");
  Select(TextPosition(0, 0), TextPosition(8, 0));
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Text(), "precious text");
  EXPECT_FALSE(buffer->CanUndo());
}

} // namespace
