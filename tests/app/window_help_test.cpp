// Help (the guide, the Inform reference and F1) and the window as MDI users expect it: the
// Window menu's split, tabs and list of windows, the first window maximised, and the main
// window's place kept between runs.
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextBrowser>

#include "child_frame.h"
#include "help_reference.h"
#include "help_window.h"
#include "ide_test_support.h"
#include "word_classifier.h"

namespace {

using apptest::Ide;

// Every word the colouring knows, and every directive of the language, has a paragraph.
TEST(HelpReference, ExplainsEveryWordTheColouringKnowsAndEveryDirective) {
  const CHelpReference& reference = CHelpReference::Builtin();
  QFile file(QStringLiteral(":/help/inform_reference.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList errors;
  CHelpReference::Parse(QString::fromUtf8(file.readAll()), &errors);
  EXPECT_EQ(errors, QStringList());

  ASSERT_EQ(StatementKeywords().size(), 53u);
  ASSERT_EQ(DirectiveModifiers().size(), 9u);
  QStringList missing;
  for (auto list : {StatementKeywords(), DirectiveModifiers()})
    for (const char* word : list)
      if (!reference.Find(QString::fromLatin1(word))) missing << word;
  const char* directives[] = {
      "Abbreviate", "Array", "Attribute", "Class", "Constant", "Default", "Dictionary", "End",
      "Endif", "Extend", "Fake_action", "Global", "Ifdef", "Iffalse", "Ifndef", "Ifnot", "Iftrue",
      "Ifv3", "Ifv5", "Import", "Include", "Link", "Lowstring", "Message", "Nearby", "Object",
      "Origsource", "Property", "Release", "Replace", "Serial", "Statusline", "Stub", "Switches",
      "System_file", "Trace", "Undef", "Verb", "Version", "Zcharacter"};
  ASSERT_EQ(std::size(directives), 40u);
  for (const char* word : directives) {
    const HelpEntry* entry = reference.Find(QString::fromLatin1(word));
    if (!entry || !entry->kind.contains(QStringLiteral("Directive"))) missing << word;
  }
  EXPECT_EQ(missing, QStringList());
  // Inform reads words in any letter case, and a directive may carry a '#'.
  ASSERT_NE(reference.Find(QStringLiteral("#IFDEF")), nullptr);
  EXPECT_EQ(reference.Find(QStringLiteral("#IFDEF"))->word, QStringLiteral("Ifdef"));
  EXPECT_EQ(reference.Find(QStringLiteral("Objectloop"))->usage.left(11), QStringLiteral("objectloop "));
}

TEST(HelpReference, ReportsEveryMalformedLineAndKeepsTheRest) {
  QStringList errors;
  const CHelpReference reference = CHelpReference::Parse(QStringLiteral(
      "stray\n# note\n== a | K | u\n first\n second \n== A | K | u\nx\n== b | K\ny\n== c | K | u\n\n== d | K | u | v\nz"), &errors);
  EXPECT_EQ(errors, (QStringList{"line 1: text outside an entry", "line 6: \"A\" is there twice",
                                 "line 7: text outside an entry",
                                 "line 8: an entry needs \"== word | kind | usage\"",
                                 "line 9: text outside an entry", "line 10: \"c\" has no text"}));
  ASSERT_EQ(reference.Entries().size(), 2u);
  EXPECT_EQ(reference.Entries()[0].text, QStringLiteral("first second"));
  EXPECT_EQ(reference.Find(QStringLiteral("c")), nullptr);
  EXPECT_EQ(reference.Find(QStringLiteral("d"))->usage, QStringLiteral("u | v"));
}

TEST(HelpReference, WordAtTheCaret) {
  const char line[] = "  print x;#Ifdef";
  const int length = static_cast<int>(sizeof line) - 1;
  const struct {
    int x;
    const char* word;
  } rows[] = {{0, ""}, {1, ""}, {2, "print"}, {4, "print"}, {7, "print"}, {8, "x"}, {9, "x"},
              {10, "#Ifdef"}, {16, "#Ifdef"}, {99, "#Ifdef"}, {-3, ""}};
  for (const auto& row : rows)
    EXPECT_EQ(InformWordAt(line, length, row.x), QString::fromLatin1(row.word)) << row.x;
  EXPECT_EQ(InformWordAt(nullptr, 0, 0), QString());
}

// F1 on a word shows its entry; on a word without one, the list of all; elsewhere, and from
// Help Topics, the guide. The list's links lead to the entries.
TEST_F(Ide, HelpTopicsAndF1OnTheWordAtTheCaret) {
  ASSERT_TRUE(WriteFile(Path("h.inf"), "[ Main;\n  objectloop (x) frob;\n];\n"));
  ASSERT_TRUE(Start({Path("h.inf")}));
  EXPECT_TRUE(Choose(Cmd::HELP_FINDER));
  CHelpWindow* help = app->MainFrame()->HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("Torvane User Guide")));

  auto pressF1At = [&](int line, int x) {
    ActiveView()->PlaceCursor(TextPosition(x, line));
    app->MainFrame()->activateWindow(); // the help window took over; the key goes to the frame
    QApplication::processEvents();
    QTest::keyClick(ActiveView(), Qt::Key_F1);
    return help->Browser()->toPlainText();
  };
  EXPECT_TRUE(pressF1At(1, 5).startsWith(QStringLiteral("objectloop\nStatement\nobjectloop (variable)")));
  const QString index = pressF1At(1, 18);
  EXPECT_TRUE(index.contains(QStringLiteral("no entry for \"frob\""))) << index.toStdString();
  EXPECT_TRUE(index.contains(QStringLiteral("Zcharacter")));
  emit help->Browser()->anchorClicked(QUrl(QStringLiteral("reference:Zcharacter")));
  EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("Zcharacter\nDirective")));
  EXPECT_TRUE(pressF1At(2, 0).startsWith(QStringLiteral("Torvane User Guide")));
}

// The main window's size, place and maximised state come back at the next start.
TEST_F(Ide, WindowPlaceAndMaximisedStateKeptBetweenRuns) {
  ASSERT_TRUE(Start());
  app->MainFrame()->setGeometry(QRect(40, 60, 700, 480));
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->MainFrame()->geometry(), QRect(40, 60, 700, 480));
  EXPECT_FALSE(app->MainFrame()->isMaximized());
  app->MainFrame()->showMaximized();
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->isMaximized());
}

// Window > Split, the numbered list of windows, the first window maximised, and tabs that
// stay tabs at the next start.
TEST_F(Ide, WindowMenuSplitListAndTabs) {
  ASSERT_TRUE(WriteFile(Path("a.inf"), "! a"));
  ASSERT_TRUE(WriteFile(Path("b&c.inf"), "! b"));
  ASSERT_TRUE(Start({Path("a.inf")}));
  QMdiArea* area = app->MainFrame()->MdiArea();
  EXPECT_TRUE(area->currentSubWindow()->isMaximized());
  app->DocManager()->OpenDocumentFile(Path("b&c.inf"));
  QApplication::processEvents();

  auto* frame = static_cast<CChildFrame*>(app->DocManager()->ActiveFrame());
  EXPECT_TRUE(Choose(Cmd::WINDOW_SPLIT));
  EXPECT_EQ(frame->RowCount() * 10 + frame->ColumnCount(), 21);
  EXPECT_TRUE(MenuAction(129, Cmd::WINDOW_SPLIT)->isChecked());
  EXPECT_TRUE(Choose(Cmd::WINDOW_SPLIT));
  EXPECT_EQ(frame->RowCount() * 10 + frame->ColumnCount(), 11);

  auto list = [&] {
    emit static_cast<QMenu*>(MenuAction(129, Cmd::WINDOW_NEW)->parent())->aboutToShow();
    QStringList texts;
    for (QAction* action : app->MainFrame()->WindowListActions())
      texts << action->text() + (action->isChecked() ? "+" : "");
    return texts;
  };
  EXPECT_EQ(list(), (QStringList{"", "&1 a.inf", "&2 b&&c.inf+"}));
  app->MainFrame()->WindowListActions()[1]->trigger();
  QApplication::processEvents();
  EXPECT_EQ(Where(), QStringLiteral("a.inf:0"));
  EXPECT_EQ(list(), (QStringList{"", "&1 a.inf+", "&2 b&&c.inf"}));

  EXPECT_TRUE(Choose(Cmd::WINDOW_TABBED));
  EXPECT_EQ(area->viewMode(), QMdiArea::TabbedView);
  EXPECT_FALSE(Enabled(Cmd::WINDOW_CASCADE));
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->MainFrame()->MdiArea()->viewMode(), QMdiArea::TabbedView);
  EXPECT_TRUE(MenuAction(129, Cmd::WINDOW_TABBED)->isChecked());
}

} // namespace
