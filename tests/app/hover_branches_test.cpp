// The hover over a name and the faded stretches of conditional compilation, each for the build
// the source belongs to.
#include <QMouseEvent>
#include <QTest>

#include "hover_tip.h"
#include "ide_test_support.h"
#include "language_service.h"
#include "references_bar.h"

namespace {

class HoverBranches : public apptest::Ide {
protected:
  void Settings(int standardOptions) {
    CProfileStore store;
    store.WriteProfileString("Editor\\Paths", "Compiler", "/usr/bin/inform6");
    store.WriteProfileString("Editor\\Paths", "Library", "");
    store.WriteProfileInt("Editor\\Options", "StandardOptions", standardOptions);
  }
  // The lines (from 0) the active document's build leaves out.
  std::vector<int> Inactive() {
    app->LanguageService()->IndexNow();
    std::vector<int> lines;
    for (int line = 0; line < ActiveDoc()->Buffer().LineCount(); ++line)
      if (app->LanguageService()->IsInactiveLine(ActiveDoc(), line)) lines.push_back(line);
    return lines;
  }
  // Rests the mouse on column col of line and waits past the pause.
  QString HoverAt(int line, int col, int wait = CHoverTip::HOVER_DELAY_MS + 300) {
    CTorvaneView* view = ActiveView();
    const QPoint at = view->TextPosToPoint(TextPosition(col, line)) + QPoint(view->GetCharWidth() / 2, 2);
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::qWait(wait);
    return app->HoverTip()->ShownText();
  }
};

TEST_F(HoverBranches, StretchesTheBuildLeavesOutAreFaded) {
  Settings(0); // no -D
  const QString source = Path("adv.inf");
  const QByteArray body = "#Ifdef TARGET_GLULX;\nConstant A 1;\n#Ifnot;\nConstant A 2;\n#Endif;\n#Ifdef DEBUG;\nConstant B 1;\n"
                          "#Ifndef USE_FOO;\nConstant C 1;\n#Endif;\n#Endif;\n#Iftrue A == 2;\nConstant D 1;\n#Endif;\n[ Main; ];\n";
  ASSERT_TRUE(WriteFile(source, "!% -~S\n" + body));
  ASSERT_TRUE(Start({source}));
  EXPECT_EQ(Inactive(), (std::vector<int>{2, 7, 8, 9, 10}));
  // Faded: the text of a left out line is drawn half way between black and white, so no pixel
  // of it is darker than that grey; the line compiled has darker ones.
  const QImage shot = ActiveView()->viewport()->grab().toImage();
  const auto darkest = [&](int line) {
    int gray = 255;
    const int h = ActiveView()->GetLineHeight();
    for (int y = line * h; y < (line + 1) * h && y < shot.height(); ++y)
      for (int x = 20; x < shot.width(); ++x) gray = std::min(gray, qGray(shot.pixel(x, y)));
    return gray;
  };
  EXPECT_GE(darkest(2), 126);
  EXPECT_LT(darkest(2), 160);
  EXPECT_LT(darkest(4), 100);
  // The header's switches count: Glulx, -D, a symbol from outside.
  ActiveDoc()->Buffer().DeleteText(nullptr, 0, 0, 0, 6);
  int endLine = 0, endChar = 0;
  ActiveDoc()->Buffer().InsertText(nullptr, 0, 0, "!% -G\r!% -D\r!% $#USE_FOO=1", endLine, endChar);
  ASSERT_TRUE(ActiveDoc()->DoSave(source));
  EXPECT_EQ(Inactive(), (std::vector<int>{6, 11, 15}));
}

TEST_F(HoverBranches, APauseOverANameShowsItsDefinition) {
  Settings(0);
  const QString source = Path("adv.inf");
  ASSERT_TRUE(WriteFile(source, "! The room where it starts.\n!   Dark at first.\nObject LampRoom \"Lamp Room\";\n\nClass Lamp;\n"
                                "!! A brass lantern <old>.\nLamp lantern \"lantern\" LampRoom;\n[ Main; print (name) lantern; ];\n"
                                "Object -> box \"box\";\n"));
  ASSERT_TRUE(Start({source}));
  app->LanguageService()->IndexNow();
  ActiveView()->resize(500, 300);
  ActiveView()->MoveCaretTo(TextPosition(1, 4));
  EXPECT_EQ(HoverAt(7, 22, 100), ""); // not yet
  EXPECT_EQ(HoverAt(7, 22), "<p style='white-space:pre'><b>object</b> lantern<br>adv.inf, line 7<br>in LampRoom<br>"
                            "of class Lamp<br><i>A brass lantern &lt;old&gt;.</i></p>");
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(1, 4));
  QTest::keyClick(ActiveView(), Qt::Key_Shift);
  EXPECT_EQ(app->HoverTip()->ShownText(), "");
  EXPECT_EQ(HoverAt(6, 24), "<p style='white-space:pre'><b>object</b> LampRoom<br>adv.inf, line 3<br>"
                            "<i>The room where it starts.<br>Dark at first.</i></p>");
  EXPECT_EQ(HoverAt(8, 11), "<p style='white-space:pre'><b>object</b> box<br>adv.inf, line 9<br>in lantern</p>");
  EXPECT_EQ(HoverAt(7, 10), "");  // print: no name of the game
  EXPECT_EQ(HoverAt(7, 40), "");  // past the end of the line
  EXPECT_EQ(HoverAt(12, 1), "");  // below the text
}

// The header's include path finds a file neither the source's folder nor the library holds.
TEST_F(HoverBranches, IncludesAreFoundOnTheBuildsPath) {
  Settings(0);
  ASSERT_TRUE(QDir(dir.path()).mkpath("ext"));
  ASSERT_TRUE(WriteFile(Path("ext/extra.h"), "! Does more.\n[ Extra; ];\n"));
  const QString source = Path("adv.inf");
  ASSERT_TRUE(WriteFile(source, "!% +include_path=ext\nInclude \"extra\";\n[ Main; Extra(); ];\n"));
  ASSERT_TRUE(Start({source}));
  app->LanguageService()->IndexNow();
  EXPECT_EQ(HoverAt(2, 9), "<p style='white-space:pre'><b>routine</b> Extra<br>extra.h, line 2<br><i>Does more.</i></p>");
}

// Comments and lines are shown as characters of their own file's encoding: the open UTF-8
// source from its buffer, included files from the disk as their bytes say. A reference's
// name is marked where its characters put it, and the jump goes to its byte.
TEST_F(HoverBranches, CommentsAndReferencesAreShownAsCharactersOfTheirFilesEncoding) {
  Settings(0);
  ASSERT_TRUE(QDir(dir.path()).mkpath("ext"));
  ASSERT_TRUE(WriteFile(Path("ext/utf.h"), "! Fait plus: caf\xC3\xA9, \xCE\xB1\xCE\xB2\xCE\xB3.\n[ Utf; ];\n"));
  ASSERT_TRUE(WriteFile(Path("ext/latin.h"), "! Fait moins: caf\xE9 <\xBD>.\n[ Latin; ];\n"));
  const QString source = Path("adv.inf");
  ASSERT_TRUE(WriteFile(source, "!% +include_path=ext\nInclude \"utf\";\nInclude \"latin\";\n! Le d\xC3\xA9" "but.\n"
                                "[ Main; Utf(); Latin(); ];\n\t[ Other; print \"\xC3\xA9t\xC3\xA9\"; Main(); ];\n"));
  ASSERT_TRUE(Start({source}));
  app->LanguageService()->IndexNow();
  ActiveView()->resize(500, 300);
  const auto hover = [](const char* what) { return QString::fromUtf8(what); };
  EXPECT_EQ(HoverAt(4, 8), hover("<p style='white-space:pre'><b>routine</b> Utf<br>utf.h, line 2<br><i>Fait plus: caf\xC3\xA9, "
                                 "\xCE\xB1\xCE\xB2\xCE\xB3.</i></p>"));
  EXPECT_EQ(HoverAt(4, 15), hover("<p style='white-space:pre'><b>routine</b> Latin<br>latin.h, line 2<br><i>Fait moins: "
                                  "caf\xC3\xA9 &lt;\xC2\xBD&gt;.</i></p>"));
  EXPECT_EQ(HoverAt(5, 26), hover("<p style='white-space:pre'><b>routine</b> Main<br>adv.inf, line 5<br><i>Le d\xC3\xA9" "but.</i></p>"));

  ActiveView()->MoveCaretTo(TextPosition(2, 4)); // on Main
  ASSERT_TRUE(app->LanguageService()->FindReferences());
  auto* bar = app->MainFrame()->findChild<CReferencesBar*>();
  ASSERT_NE(bar, nullptr);
  int row = -1;
  for (std::size_t i = 0; i < bar->Entries().size(); ++i)
    if (bar->Entries()[i].line == 5) row = static_cast<int>(i);
  ASSERT_GE(row, 0);
  const CReferencesBar::CEntry& use = bar->Entries()[static_cast<std::size_t>(row)];
  EXPECT_EQ(use.text, QString::fromUtf8("[ Other; print \"\xC3\xA9t\xC3\xA9\"; Main(); ];"));
  EXPECT_EQ(use.text.mid(use.textCol, use.length), "Main");
  bar->setFocus();
  bar->setCurrentItem(bar->topLevelItem(row));
  QTest::keyClick(bar, Qt::Key_Return);
  EXPECT_EQ(ActiveView()->GetCursorPosition(), TextPosition(25, 5)); // the byte of Main, blanks and all
}

} // namespace
