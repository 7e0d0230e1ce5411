// Completion in the IDE: the list opens by itself after "has " and on Ctrl+Space, narrows as
// the user types, and Tab, Enter and Escape end it, on a game whose header is a library file.
#include <QFile>
#include <QTest>

#include "completion_controller.h"
#include "completion_popup.h"
#include "ide_test_support.h"
#include "language_service.h"
#include "text_buffer.h"

namespace {

class Completion : public apptest::Ide {
protected:
  void StartGame() {
    for (const auto& [name, text] : {std::pair{"game.inf", "Include \"helper\";\nAttribute lumpy;\nObject Lamp with weight 3;\n\n"},
                                     std::pair{"helper.h", "System_file;\nAttribute light;\nAttribute lit;\n"}}) {
      QFile file(Path(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(text);
    }
    ASSERT_TRUE(Start({Path("game.inf")}));
    app->LanguageService()->IndexNow();
    ActiveView()->MoveCaretTo(TextPosition(0, 3));
  }
  QStringList Rows() { return app->Completion()->IsOpen() ? app->Completion()->Popup()->Rows() : QStringList(); }
  std::string Line(int line) { return std::string(ActiveDoc()->Buffer().LineChars(line), ActiveDoc()->Buffer().LineLength(line)); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(ActiveView(), key, modifiers); }
};

TEST_F(Completion, HasOpensTheAttributesOwnFirstTypingNarrowsThemAndTabInsertsInTheTypingsUndoGroup) {
  StartGame();
  QTest::keyClicks(ActiveView(), "if (Lamp has");
  EXPECT_TRUE(Rows().isEmpty());
  QTest::keyClicks(ActiveView(), " ");
  EXPECT_EQ(Rows(), QStringList({"lumpy  attribute", "light  attribute", "lit  attribute"}));
  QTest::keyClicks(ActiveView(), "LI");
  EXPECT_EQ(Rows(), QStringList({"light  attribute", "lit  attribute"}));
  Key(Qt::Key_Down);
  Key(Qt::Key_Tab);
  EXPECT_EQ(Line(3), "if (Lamp has lit");
  EXPECT_FALSE(app->Completion()->IsOpen());
  EXPECT_EQ(ActiveView()->GetCursorPosition().x, 16);
  Key(Qt::Key_Z, Qt::ControlModifier); // the space, the letters and the name went in as one
  EXPECT_EQ(Line(3), "if (Lamp has");
  QTest::keyClicks(ActiveView(), " x");
  EXPECT_TRUE(Rows().isEmpty()); // no name starts so
}

TEST_F(Completion, CtrlSpaceOffersEveryKindEnterInsertsEscapeAndLeavingTheWordClose) {
  StartGame();
  QTest::keyClicks(ActiveView(), "x = l");
  Key(Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(Rows(), QStringList({"Lamp  object", "lumpy  attribute", "light  attribute", "lit  attribute"}));
  Key(Qt::Key_Escape);
  EXPECT_FALSE(app->Completion()->IsOpen());
  EXPECT_EQ(Line(3), "x = l");
  Key(Qt::Key_Space, Qt::ControlModifier);
  Key(Qt::Key_Left); // to the start of the word: still in it, nothing typed
  EXPECT_EQ(Rows().size(), 5);
  Key(Qt::Key_Left);
  EXPECT_FALSE(app->Completion()->IsOpen());
  Key(Qt::Key_Right);
  Key(Qt::Key_Space, Qt::ControlModifier);
  Key(Qt::Key_Return);
  EXPECT_EQ(Line(3), "x = Lampl");
  EXPECT_EQ(ActiveDoc()->Buffer().LineCount(), 5);
  Key(Qt::Key_End);
  QTest::keyClicks(ActiveView(), " + \"it has ");
  EXPECT_FALSE(app->Completion()->IsOpen()); // in a string
}

} // namespace
