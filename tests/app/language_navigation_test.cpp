// Go to Definition, Back and Forward in the IDE over a game and the header it includes,
// with the index kept in step with typing and with the header changing on disk.
#include <QFile>
#include <QTest>

#include "ide_test_support.h"
#include "language_service.h"
#include "references_bar.h"
#include "text_buffer.h"

namespace {

using apptest::Ide;

class Navigation : public Ide {
protected:
  void Write(const QString& name, const QByteArray& text) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  void StartGame() {
    Write("game.inf", "Include \"helper\";\n"
                      "[ Main; Greet(); x = Lamp.weight; Greet(); ];\n"
                      "Object Lamp with weight 3;\n");
    Write("helper.h", "Class Heavy with weight 9;\n[ Greet; ];\n");
    ASSERT_TRUE(Start({Path("game.inf")}));
    Service().SetChooser([this](const QStringList& labels, CTorvaneView*) {
      offered = labels;
      return chosen;
    });
    Service().IndexNow();
  }
  CLanguageService& Service() { return *app->LanguageService(); }
  // Puts the caret at (col, line), both from 0, and presses key.
  void PressAt(int col, int line, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ActiveView()->MoveCaretTo(TextPosition(col, line));
    QTest::keyClick(ActiveView(), key, modifiers);
    QApplication::processEvents();
  }
  QStringList offered;
  int chosen = 0;
};

TEST_F(Navigation, F12JumpsAndAltArrowsWalkTheJumpsBackAndForth) {
  StartGame();
  PressAt(9, 1, Qt::Key_F12); // Greet
  EXPECT_EQ(Where(), "helper.h:1");
  EXPECT_EQ(ActiveView()->GetCursorPosition().x, 2);
  QTest::keyClick(ActiveView(), Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(Where(), "game.inf:1");
  EXPECT_EQ(ActiveView()->GetCursorPosition().x, 9);
  QTest::keyClick(ActiveView(), Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Where(), "helper.h:1");
  EXPECT_FALSE(Enabled(Cmd::NAVIGATE_FORWARD));
  PressAt(0, 0, Qt::Key_Left, Qt::AltModifier);
  PressAt(3, 0, Qt::Key_F12); // the Include line opens the file
  EXPECT_EQ(Where(), "helper.h:0");
  EXPECT_FALSE(Enabled(Cmd::NAVIGATE_FORWARD)); // a new jump drops the way forward
}

TEST_F(Navigation, SeveralDefinitionsAreOfferedAndTheChoiceIsFollowed) {
  StartGame();
  chosen = 1;
  PressAt(26, 1, Qt::Key_F12); // .weight: the property, then the class that gives it
  EXPECT_EQ(offered, QStringList({QString::fromUtf8("individual-property weight \u2014 game.inf:3"),
                                  QString::fromUtf8("class-property weight \u2014 helper.h:1")}));
  EXPECT_EQ(Where(), "helper.h:0");
  chosen = -1;
  PressAt(17, 0, Qt::Key_F12); // weight in the class: no choice made, no jump
  EXPECT_EQ(Where(), "helper.h:0");
}

TEST_F(Navigation, TypedDefinitionsAndOnesChangedOnDiskAreFoundAfterIdle) {
  StartGame();
  ActiveView()->MoveCaretTo(TextPosition(0, 3));
  QTest::keyClicks(ActiveView(), "[ Extra; ];");
  QApplication::processEvents(); // the idle re-index
  EXPECT_FALSE(Service().HasPendingWork());
  ActiveView()->MoveCaretTo(TextPosition(16, 1));
  QTest::keyClicks(ActiveView(), " Extra();");
  PressAt(19, 1, Qt::Key_F12);
  EXPECT_EQ(Where(), "game.inf:3");

  Write("helper.h", "\n\n[ Greet; ];\n");
  for (int i = 0; i < 50 && !Service().HasPendingWork(); ++i) QTest::qWait(20);
  Service().IndexNow();
  // Ctrl+click on Greet.
  CTorvaneView* view = ActiveView();
  const QPoint at(CTextView::MARGIN_WIDTH + 10 * view->GetCharWidth() + 2, (1 - view->GetTopLine()) * view->GetLineHeight() + 3);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
  QApplication::processEvents();
  EXPECT_EQ(Where(), "helper.h:2");
}

// A big document is indexed a slice at a time; an edit of the lines read so far starts the
// reading again, so the index ends as the text is.
TEST_F(Navigation, ABigDocumentIsIndexedInSlicesThatFollowItsEdits) {
  QByteArray text = "[ Main; Last(); ];\n";
  for (int i = 0; i < 10000; ++i) text += "! filler\n";
  Write("big.inf", text + "[ Last; ];\n");
  ASSERT_TRUE(Start({Path("big.inf")}));
  ASSERT_TRUE(Service().HasPendingWork()); // one slice read, the rest waits
  ActiveView()->MoveCaretTo(TextPosition(0, 0));
  QTest::keyClicks(ActiveView(), "[ First; ];");
  QTest::keyClick(ActiveView(), Qt::Key_Return);
  int passes = 0;
  for (; Service().HasPendingWork() && passes < 100; ++passes) QApplication::processEvents();
  EXPECT_GE(passes, 2);
  PressAt(9, 1, Qt::Key_F12); // Last
  EXPECT_EQ(Where(), "big.inf:10002");
  ActiveView()->MoveCaretTo(TextPosition(0, 1));
  QTest::keyClicks(ActiveView(), "First(); ");
  PressAt(1, 1, Qt::Key_F12);
  EXPECT_EQ(Where(), "big.inf:0");
}

} // namespace

namespace {

TEST_F(Navigation, ShiftF12ListsEveryUseAndEnterAndF4JumpToThem) {
  StartGame();
  PressAt(10, 1, Qt::Key_F12, Qt::ShiftModifier); // Greet
  auto* bar = app->MainFrame()->findChild<CReferencesBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  QStringList rows;
  for (const CReferencesBar::CEntry& e : bar->Entries())
    rows << QFileInfo(e.path).fileName() + ":" + QString::number(e.line) + ":" + e.text.mid(e.textCol, e.length) + "|" + e.text;
  const QString line = "[ Main; Greet(); x = Lamp.weight; Greet(); ];";
  EXPECT_EQ(rows, QStringList({"game.inf:1:Greet|" + line, "game.inf:1:Greet|" + line, "helper.h:1:Greet|[ Greet; ];"}));
  bar->setFocus();
  bar->setCurrentItem(bar->topLevelItem(1));
  QTest::keyClick(bar, Qt::Key_Return);
  const auto at = [this] { return Where() + ":" + QString::number(ActiveView()->GetCursorPosition().x); };
  EXPECT_EQ(at(), "game.inf:1:34");
  QTest::keyClick(ActiveView(), Qt::Key_F4);
  EXPECT_EQ(at(), "helper.h:1:2");
  QTest::keyClick(ActiveView(), Qt::Key_F4); // round to the first
  EXPECT_EQ(at(), "game.inf:1:8");
  QTest::keyClick(ActiveView(), Qt::Key_F4, Qt::ShiftModifier); // and back round to the last
  EXPECT_EQ(at(), "helper.h:1:2");
  QTest::keyClick(ActiveView(), Qt::Key_F4, Qt::ShiftModifier);
  EXPECT_EQ(at(), "game.inf:1:34");
}

} // namespace
