// Help (the guide, the Inform reference, F1) and the window as MDI users expect it: Window >
// Split, tabs and the list of windows, the first window maximised, the window's place kept.
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
  QStringList missing;
  CHelpReference::Parse(QString::fromUtf8(file.readAll()), &missing); // no line breaks the format
  ASSERT_EQ(StatementKeywords().size() * 100 + DirectiveModifiers().size(), 5309u);
  for (auto list : {StatementKeywords(), DirectiveModifiers()})
    for (const char* word : list)
      if (!reference.Find(QString::fromLatin1(word))) missing << word;
  for (const char* word :
       {"Abbreviate", "Array", "Attribute", "Class", "Constant", "Default", "Dictionary", "End",
        "Endif", "Extend", "Fake_action", "Global", "Ifdef", "Iffalse", "Ifndef", "Ifnot", "Iftrue",
        "Ifv3", "Ifv5", "Import", "Include", "Link", "Lowstring", "Message", "Nearby", "Object",
        "Origsource", "Property", "Release", "Replace", "Serial", "Statusline", "Stub", "Switches",
        "System_file", "Trace", "Undef", "Verb", "Version", "Zcharacter"}) {
    const HelpEntry* entry = reference.Find(QString::fromLatin1(word));
    if (!entry || !entry->kind.contains(QStringLiteral("Directive"))) missing << word;
  }
  EXPECT_EQ(missing, QStringList());
  EXPECT_EQ(reference.Find(QStringLiteral("#IFDEF"))->word, QStringLiteral("Ifdef")); // any case, '#'
}

TEST(HelpReference, ReportsEveryMalformedLineAndKeepsTheRest) {
  QStringList errors;
  const CHelpReference reference = CHelpReference::Parse(
      "stray\n# note\n== a | K | u\n first\n second \n== A | K | u\nx\n== b | K\ny\n== c | K | u\n\n"
      "== d | K | u | v\nz", &errors);
  EXPECT_EQ(errors, (QStringList{"line 1: text outside an entry", "line 6: \"A\" is there twice",
                                 "line 7: text outside an entry",
                                 "line 8: an entry needs \"== word | kind | usage\"",
                                 "line 9: text outside an entry", "line 10: \"c\" has no text"}));
  ASSERT_EQ(reference.Entries().size(), 2u);
  EXPECT_EQ(reference.Entries()[0].text + "/" + reference.Find("D")->usage, "first second/u | v");
  EXPECT_EQ(reference.Find(QStringLiteral("c")), nullptr);
}

TEST(HelpReference, WordAtTheCaret) {
  const char line[] = "  print x;#Ifdef";
  const std::pair<int, const char*> rows[] = {{0, ""}, {1, ""}, {2, "print"}, {7, "print"}, {8, "x"},
                                              {9, "x"}, {10, "#Ifdef"}, {99, "#Ifdef"}, {-3, ""}};
  for (const auto& [x, word] : rows) EXPECT_EQ(InformWordAt(line, 16, x), word) << x;
}

// F1 on a word shows its entry; on a word without one, the list of all, whose links lead to the
// entries; elsewhere, and from Help Topics, the guide.
TEST_F(Ide, HelpTopicsAndF1OnTheWordAtTheCaret) {
  ASSERT_TRUE(WriteFile(Path("h.inf"), "[ Main;\n  objectloop (x) frob;\n];\n"));
  ASSERT_TRUE(Start({Path("h.inf")}));
  EXPECT_TRUE(Choose(Cmd::HELP_FINDER));
  CHelpWindow* help = app->MainFrame()->HelpWindow();
  ASSERT_TRUE(help && help->isVisible() && help->Browser()->toPlainText().startsWith("Torvane User Guide"));
  auto pressF1At = [&](int line, int x) {
    ActiveView()->PlaceCursor(TextPosition(x, line));
    app->MainFrame()->activateWindow(); // the help window took over; the key goes to the frame
    QApplication::processEvents();
    QTest::keyClick(ActiveView(), Qt::Key_F1);
    return help->Browser()->toPlainText();
  };
  EXPECT_TRUE(pressF1At(1, 5).startsWith("objectloop\nStatement\nobjectloop (variable)"));
  const QString index = pressF1At(1, 18);
  EXPECT_TRUE(index.contains("no entry for \"frob\"") && index.contains("Zcharacter"));
  emit help->Browser()->anchorClicked(QUrl(QStringLiteral("reference:Zcharacter")));
  EXPECT_TRUE(help->Browser()->toPlainText().startsWith("Zcharacter\nDirective"));
  EXPECT_TRUE(pressF1At(2, 0).startsWith("Torvane User Guide"));
}

// The first window maximised (the frame's title still its own), Split on and off, the list of
// windows, and the main window's place, maximised state and tabs at the next start.
TEST_F(Ide, WindowMenuAndPlaceKeptBetweenRuns) {
  ASSERT_TRUE(WriteFile(Path("a.inf"), "! a"));
  ASSERT_TRUE(WriteFile(Path("b&c.inf"), "! b"));
  ASSERT_TRUE(Start({Path("a.inf")}));
  EXPECT_TRUE(app->MainFrame()->MdiArea()->currentSubWindow()->isMaximized());
  EXPECT_EQ(app->MainFrame()->windowTitle(), "Torvane (Inform Mode) - a.inf[*]");
  app->DocManager()->OpenDocumentFile(Path("b&c.inf"));
  auto* frame = static_cast<CChildFrame*>(app->DocManager()->ActiveFrame());
  EXPECT_TRUE(Choose(Cmd::WINDOW_SPLIT) && MenuAction(129, Cmd::WINDOW_SPLIT)->isChecked());
  EXPECT_EQ(frame->RowCount() * 10 + frame->ColumnCount(), 21);
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
  EXPECT_EQ(list(), (QStringList{"", "&1 a.inf+", "&2 b&&c.inf"}));

  EXPECT_TRUE(Choose(Cmd::WINDOW_TABBED) && !Enabled(Cmd::WINDOW_CASCADE));
  app->MainFrame()->setGeometry(QRect(40, 60, 700, 480));
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->MainFrame()->geometry(), QRect(40, 60, 700, 480));
  EXPECT_EQ(app->MainFrame()->MdiArea()->viewMode(), QMdiArea::TabbedView);
  EXPECT_TRUE(MenuAction(129, Cmd::WINDOW_TABBED)->isChecked());
  app->MainFrame()->showMaximized();
  ASSERT_TRUE(CloseFrame());
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->isMaximized());
}

} // namespace
