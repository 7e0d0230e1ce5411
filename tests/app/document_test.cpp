// Documents through the menus of the real window: New, Open, Save As, Close, New Window,
// Go To Line, and the calls that keep the object bar's trees in step.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>
#include <QTest>

#include "app_test_support.h"
#include "child_frame.h"
#include "command_ids.h"
#include "doc_manager.h"
#include "go_to_line_dialog.h"
#include "ide_test_support.h"
#include "main_frame.h"
#include "message_box.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

using apptest::Ide;

QStringList Titles(CTorvaneApp& app) {
  QStringList titles;
  for (QMdiSubWindow* window : app.MainFrame()->MdiArea()->subWindowList(QMdiArea::CreationOrder))
    titles << window->windowTitle();
  return titles;
}

TEST_F(Ide, NewDocumentsAreNumberedOnceAndTheirTreesFollowSaveAsAndClose) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Titles(*app), QStringList{"Untitled1[*]"});
  ASSERT_TRUE(Choose(Cmd::FILE_NEW));
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_TRUE(Choose(Cmd::FILE_NEW));
  EXPECT_EQ(Titles(*app), (QStringList{"Untitled1[*]", "Untitled3[*]"}));
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(Tree(tab), "Untitled1 Untitled3");

  // Save As: a name without extension gets ".inf"; the roots take the new name.
  QTest::keyClicks(ActiveView(), "Object adv;");
  dialogAnswer = Path("adv");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE_AS));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("adv.inf"));
  EXPECT_EQ(apptest::ReadFile(Path("adv.inf")), "Object adv;");
  EXPECT_EQ(app->MainFrame()->windowTitle(), "Torvane (Inform Mode) - adv.inf[*]");
  EXPECT_FALSE(ActiveDoc()->IsModified());
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(Tree(tab), "adv Untitled1");

  // Rebuild Object Tree scans again: the object typed is now in the map.
  ASSERT_TRUE(Choose(Cmd::BUILD_REBUILD_OBJECT_TREE));
  EXPECT_EQ(Tree(0), "adv(adv) Untitled1");
}

TEST_F(Ide, OpeningAFileTwiceGivesOneDocumentAndAFailedOpenLeavesNone) {
  ASSERT_TRUE(apptest::WriteFile(Path("cave.inf"), "Object cave;\r\n[ Main; ];\r\n"));
  ASSERT_TRUE(Start());
  dialogAnswer = Path("cave.inf");
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN)); // the document's own Open: headers in the filter
  EXPECT_EQ(dialogFilters.last(), "Inform Files|*.inf|Inform Header Files|*.h|All Files|*.*||");
  EXPECT_EQ(Tree(0), "cave(cave) Untitled1");
  EXPECT_EQ(Tree(2), "cave(Main) Untitled1");
  QDir(dir.path()).mkdir("sub");
  dialogAnswer = Path("sub/../cave.inf");
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN));
  EXPECT_EQ(app->DocManager()->Documents().size(), 2u);
  EXPECT_EQ(ActiveDoc()->GetTitle(), "cave.inf");

  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.inf"));
  dialogAnswer = Path("folder.inf");
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN));
  EXPECT_EQ(messages, QStringList{"Cannot open " + Path("folder.inf") + ":\nis a directory."});
  EXPECT_EQ(app->DocManager()->Documents().size(), 2u);
  EXPECT_EQ(ActiveDoc()->GetTitle(), "cave.inf");

  // Without documents the application's Open runs, with the template's filter.
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_EQ(app->MainFrame()->CurrentMenuId(), 128);
  dialogAnswer.clear();
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN));
  EXPECT_EQ(dialogFilters.last(), "Inform Files (*.inf)|*.inf|All Files (*.*)|*.*||");
}

TEST_F(Ide, NewWindowSharesTextAndUndoAndOnlyTheLastFrameAsksToSave) {
  ASSERT_TRUE(apptest::WriteFile(Path("two.inf"), "x"));
  ASSERT_TRUE(Start({Path("two.inf")}));
  CTorvaneView* first = ActiveView();
  ASSERT_TRUE(Choose(Cmd::WINDOW_NEW));
  CTorvaneView* second = ActiveView();
  ASSERT_NE(first, second);
  EXPECT_EQ(Titles(*app), (QStringList{"two.inf:1[*]", "two.inf:2[*]"}));
  QTest::keyClicks(second, "ab");
  EXPECT_EQ(first->GetBuffer()->GetText(0, 0, 0, 3), "abx");
  first->setFocus();
  QTest::keyClick(first, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(second->GetBuffer()->GetText(0, 0, 0, 1), "x");
  QTest::keyClicks(first, "q");

  // The first frame closes without a question; the last asks once, and Cancel keeps it.
  app->DocManager()->Frames(ActiveDoc()).front()->close();
  QApplication::processEvents();
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(Titles(*app), QStringList{"two.inf[*]"});
  answers = {IDCANCEL, IDNO};
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_EQ(messages, QStringList{"Save changes to two.inf?"});
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_TRUE(app->DocManager()->Documents().empty());
  EXPECT_EQ(apptest::ReadFile(Path("two.inf")), "x");
}

// Answers the next Go To dialog with text (pressing OK) or cancels it (text null); texts
// refused by the dialog are corrected by the following entries of more.
void AnswerGoTo(const char* text, std::vector<const char*> more = {}) {
  QTimer::singleShot(0, [text, more] {
    auto* dialog = qobject_cast<CGoToLineDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Edit()->text(), "1");
    if (!text) return dialog->reject();
    dialog->Edit()->setText(text);
    dialog->accept();
    for (const char* next : more) {
      dialog->Edit()->setText(next);
      dialog->accept();
    }
  });
}

TEST_F(Ide, GoToLineStaysInsideTheTextAndRefusesBadNumbers) {
  ASSERT_TRUE(apptest::WriteFile(Path("lines.inf"), "a\r\nb\r\nc\r\nd"));
  ASSERT_TRUE(Start({Path("lines.inf")}));
  CTorvaneView* view = ActiveView();
  const std::pair<const char*, int> cases[] = {{"3", 2}, {"0", 0}, {"2", 1}, {"1", 0},
                                               {"99999", 3}, {" 2 ", 1}};
  for (const auto& [text, line] : cases) {
    AnswerGoTo(text);
    ASSERT_TRUE(Choose(Cmd::GOTO_LINE));
    EXPECT_EQ(view->GetCursorPosition(), TextPosition(0, line)) << text;
  }
  AnswerGoTo(nullptr);
  ASSERT_TRUE(Choose(Cmd::GOTO_LINE));
  EXPECT_EQ(view->GetCursorPosition(), TextPosition(0, 1));
  AnswerGoTo("100000", {"-1", "x3", "4"});
  ASSERT_TRUE(Choose(Cmd::GOTO_LINE));
  EXPECT_EQ(messages, (QStringList{"Please enter an integer between 0 and 99999.",
                                   "Please enter an integer between 0 and 99999.",
                                   "Please enter an integer."}));
  EXPECT_EQ(view->GetCursorPosition(), TextPosition(0, 3));
}

} // namespace
