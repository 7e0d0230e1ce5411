// Rename Symbol in the IDE: Ctrl+R, Ctrl+R on a name, the dialog's refusal of a name in use and
// its preview, the header that is not open saved after the question with its line ends kept,
// and one Undo in each open document taking the rename back.
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "ide_test_support.h"
#include "language_service.h"
#include "rename_command.h"
#include "rename_dialog.h"
#include "text_buffer.h"

namespace {

class Rename : public apptest::Ide {
protected:
  void StartGame() {
    Write("other.h", "[ Twice; Greet(); Greet(); ];\n");
    Write("helper.h", "! Greet the player\r\n[ Greet; ];\r\n");
    Write("game.inf", "Include \"helper\";\nInclude \"other\";\n[ Main; Greet(); print \"Greet\"; ];\n");
    ASSERT_TRUE(Start({Path("other.h"), Path("game.inf")}));
    app->LanguageService()->IndexNow();
    ASSERT_EQ(Where(), "game.inf:0");
    app->RenameCommand()->SetAsker([this](CRenameDialog& dialog) {
      for (const char* name : {"Twice", "Hello"}) {
        QTest::keyClick(dialog.NameEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.NameEdit(), name);
        seen << dialog.Problem() + (dialog.CanRename() ? " [can]" : " [cannot]");
      }
      seen << dialog.Rows();
      return true;
    });
  }
  void Write(const QString& name, const QByteArray& text) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  QByteArray Read(const QString& name) {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  std::string Line(CTorvaneDoc* document, int line) {
    return std::string(document->Buffer().LineChars(line), document->Buffer().LineLength(line));
  }
  void RenameAt(int col, int line) {
    ActiveView()->MoveCaretTo(TextPosition(col, line));
    QTest::keyClick(ActiveView(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(ActiveView(), Qt::Key_R, Qt::ControlModifier);
    QApplication::processEvents();
  }
  QStringList seen;
};

TEST_F(Rename, ClashIsRefusedByNameThePreviewListsEveryLineAndEachOpenDocumentUndoesAtOnce) {
  StartGame();
  CTorvaneDoc* game = ActiveDoc();
  answers = {IDYES};
  RenameAt(10, 2);
  EXPECT_EQ(seen, QStringList({"Twice is already defined: routine in other.h, line 1. [cannot]", " [can]",
                               "other.h:1: [ Twice; Hello(); Hello(); ];", "game.inf:3: [ Main; Hello(); print \"Greet\"; ];",
                               "helper.h (not open):2: [ Hello; ];"}));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(Path("helper.h"))) << messages[0].toStdString();
  EXPECT_EQ(Read("helper.h"), "! Greet the player\r\n[ Hello; ];\r\n");
  EXPECT_EQ(Line(game, 2), "[ Main; Hello(); print \"Greet\"; ];");
  QTest::keyClick(ActiveView(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Line(game, 2), "[ Main; Greet(); print \"Greet\"; ];");
  QTest::keyClick(ActiveView(), Qt::Key_Z, Qt::ControlModifier); // nothing before it to undo
  EXPECT_EQ(Line(game, 2), "[ Main; Greet(); print \"Greet\"; ];");
  auto* other = static_cast<CTorvaneDoc*>(app->DocManager()->Documents().front());
  EXPECT_EQ(Line(other, 0), "[ Twice; Hello(); Hello(); ];");
  QTest::keyClick(other->ActivateFirstView(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Line(other, 0), "[ Twice; Greet(); Greet(); ];");
}

TEST_F(Rename, DecliningToSaveTheClosedFileRenamesNothingAndABlankPlaceHasNoName) {
  StartGame();
  answers = {IDNO};
  RenameAt(9, 2);
  EXPECT_EQ(Read("helper.h"), "! Greet the player\r\n[ Greet; ];\r\n");
  EXPECT_EQ(Line(ActiveDoc(), 2), "[ Main; Greet(); print \"Greet\"; ];");
  EXPECT_FALSE(ActiveDoc()->Buffer().CanUndo());
  messages.clear();
  seen.clear();
  RenameAt(25, 2); // in the string
  EXPECT_EQ(messages, QStringList({"Place the caret on a name of the game to rename it."}));
  EXPECT_TRUE(seen.isEmpty());
}

} // namespace
