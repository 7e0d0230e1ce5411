// Cut and Paste through the real clipboard, their undo groups, and a clipboard that refuses
// the text.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Clipboard : public EditViewTest<> {
protected:
  void SetUp() override { QApplication::clipboard()->clear(); }
};

TEST_F(Clipboard, CutPutsTheSelectionWithCrLfOnTheClipboardAndRemovesIt) {
  Load("first\nsecond\nthird");
  EXPECT_FALSE(Update(Cmd::EDIT_CUT, false).enabled);
  Key(Qt::Key_X, Qt::ControlModifier); // nothing selected: nothing happens
  EXPECT_FALSE(buffer->CanUndo());
  Select(TextPosition(2, 0), TextPosition(3, 1));
  EXPECT_TRUE(Update(Cmd::EDIT_CUT, false).enabled);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "rst\r\nsec");
  EXPECT_EQ(Text(), "fiond\nthird");
  EXPECT_EQ(Cursor(), TextPosition(2, 0));
  EXPECT_FALSE(view->HasSelection());
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Cut\tCtrl+Z");

  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "first\nsecond\nthird");
}

TEST_F(Clipboard, ShiftDeleteCutsAndShiftInsertPastes) {
  Load("abc def");
  Select(TextPosition(0, 0), TextPosition(4, 0));
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "def");
  Place(TextPosition(3, 0));
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "defabc ");
  EXPECT_EQ(Cursor(), TextPosition(7, 0));
}

TEST_F(Clipboard, PasteInsertsLinesAndLeavesTheCaretAfterThem) {
  Load("<>");
  QApplication::clipboard()->setText("one\r\ntwo\r\nthree");
  Place(TextPosition(1, 0));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "<one\ntwo\nthree>");
  EXPECT_EQ(Cursor(), TextPosition(5, 2));
  EXPECT_EQ(buffer->LineCount(), 3);
}

TEST_F(Clipboard, TextFromOtherProgramsWithBareLineFeedsBecomesLines) {
  Load("");
  QApplication::clipboard()->setText("a\nb\n");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "a\nb\n");
  EXPECT_EQ(buffer->LineCount(), 3);
  for (int line = 0; line < buffer->LineCount(); ++line)
    for (int i = 0; i < buffer->LineLength(line); ++i)
      EXPECT_NE(buffer->LineChars(line)[i], '\n') << "line " << line;
}

TEST_F(Clipboard, PastingReplacesTheSelectionAsOneUndoStep) {
  Load("Object old_name;");
  QApplication::clipboard()->setText("new_name");
  Select(TextPosition(7, 0), TextPosition(15, 0));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), "Object new_name;");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "Object old_name;");
}

TEST_F(Clipboard, PasteWithoutTextOnTheClipboardStillDeletesTheSelection) {
  Load("keep DROP keep");
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  auto* image = new QMimeData;
  image->setData("image/png", QByteArray("\x89PNG", 4));
  QApplication::clipboard()->setMimeData(image);
  EXPECT_FALSE(Update(Cmd::EDIT_PASTE, false).enabled);
  Select(TextPosition(5, 0), TextPosition(10, 0));
  view->OnCmdMsg(Cmd::EDIT_PASTE);
  EXPECT_EQ(Text(), "keep keep");
  EXPECT_EQ(Cursor(), TextPosition(5, 0));
  QApplication::clipboard()->setText("x");
  EXPECT_TRUE(Update(Cmd::EDIT_PASTE, false).enabled);
}

TEST_F(Clipboard, ATypedCharacterJoinsThePastesGroup) {
  Load("");
  QApplication::clipboard()->setText("print");
  Key(Qt::Key_V, Qt::ControlModifier);
  Type("s");
  EXPECT_EQ(Text(), "prints");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Paste\tCtrl+Z");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "");
}

TEST_F(Clipboard, CutThenPasteMovesTextThroughTheClipboardAsLatin1) {
  Load("caf\xE9 au lait");
  Select(TextPosition(0, 0), TextPosition(4, 0));
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("caf\xC3\xA9"));
  Place(TextPosition(8, 0));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(), " au lait" "caf\xE9");
}

// A view whose clipboard refuses every text, as when another program holds it open.
class CRefusingClipboardView : public CCrystalEditView {
public:
  bool CopyToClipboard(const std::string& text) override {
    (void)text;
    return false;
  }
};

class RefusingClipboard : public EditViewTest<CRefusingClipboardView> {};

TEST_F(RefusingClipboard, CutKeepsTheTextWhenTheClipboardDidNotTakeIt) {
  Load("precious text");
  Select(TextPosition(0, 0), TextPosition(8, 0));
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Text(), "precious text");
  EXPECT_FALSE(buffer->CanUndo());
}

} // namespace
