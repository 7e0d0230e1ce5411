// Documents through the menus of the real window, with the object bar's trees kept in step.
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

#include "file_name.h"
#include "go_to_line_dialog.h"
#include "status_bar.h"
#include "ide_test_support.h"

namespace {

using apptest::Ide;

QStringList Titles(CTorvaneApp& app) {
  QStringList titles;
  for (QMdiSubWindow* window : app.MainFrame()->MdiArea()->subWindowList(QMdiArea::CreationOrder))
    titles << window->windowTitle();
  return titles;
}

// Started on no files; New, Save As and Open; named files, a missing one created by Save, and an
// unreadable one that ends the start.
TEST_F(Ide, StartNewSaveAsOpenAndNamedFiles) {
  ASSERT_TRUE(WriteFile(Path("cave.inf"), "Object cave;\r\n[ Main; ];\r\n"));
  ASSERT_TRUE(QDir(dir.path()).mkpath("folder.inf/sub"));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->isVisible());
  EXPECT_EQ(app->MainFrame()->windowTitle(), "Torvane (Inform Mode) - Untitled1[*]");
  EXPECT_EQ(app->MainFrame()->CurrentMenuId(), 129);
  ASSERT_TRUE(Choose(Cmd::FILE_NEW));
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_TRUE(Choose(Cmd::FILE_NEW));
  EXPECT_EQ(Titles(*app), (QStringList{"Untitled1[*]", "Untitled3[*]"}));
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(Tree(tab), "Untitled1 Untitled3");

  QTest::keyClicks(ActiveView(), "Object adv;");
  dialogAnswer = Path("adv");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE_AS));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("adv.inf"));
  EXPECT_EQ(dialogs.last(), "Save As: Inform sources (*.inf *.h);;All files (*)");
  EXPECT_EQ(ReadFile(Path("adv.inf")), "Object adv;");
  EXPECT_EQ(app->MainFrame()->windowTitle(), "Torvane (Inform Mode) - adv.inf[*]");
  EXPECT_FALSE(ActiveDoc()->IsModified());
  for (int tab = 0; tab < 3; ++tab) EXPECT_EQ(Tree(tab), "adv Untitled1");

  for (const char* name : {"cave.inf", "folder.inf/sub/../../cave.inf", "folder.inf"}) {
    dialogAnswer = Path(name);
    ASSERT_TRUE(Choose(Cmd::FILE_OPEN)); // the document's own Open: headers in the filter
    EXPECT_EQ(app->DocManager()->Documents().size(), 3u);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "cave.inf");
  }
  EXPECT_EQ(Tree(0), "adv cave(cave) Untitled1");
  EXPECT_EQ(Tree(2), "adv cave(Main) Untitled1");
  EXPECT_EQ(dialogs.last(), "Open: Inform Files (*.inf);;Inform Header Files (*.h);;All Files (*)");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  dialogAnswer.clear();
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN));
  EXPECT_EQ(dialogs.last(), "Open: Inform Files (*.inf);;All Files (*)"); // named once
  ASSERT_TRUE(CloseFrame());

  dialogs.clear();
  ASSERT_TRUE(Start({QString(TORVANE_TEST_DATA) + "/lantern.inf", Path("new.inf")}));
  EXPECT_EQ(Tree(0), "lantern(LampRoom, Workshop(lantern)) new");
  EXPECT_EQ(ActiveDoc()->GetTitle(), "new.inf");
  QTest::keyClicks(ActiveView(), "Include \"Parser\";");
  QTest::keyClick(ActiveView(), Qt::Key_Return); // a new file's lines end in LF
  app->MainFrame()->Binder().Refresh();
  EXPECT_EQ(app->MainFrame()->StatusPanes()->PaneText(Cmd::INDICATOR_CRLF), "LF");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(ReadFile(Path("new.inf")), "Include \"Parser\";\n");
  EXPECT_TRUE(dialogs.isEmpty()); // saved under its name, no Save As
  ASSERT_TRUE(CloseFrame());

  EXPECT_FALSE(Start({Path("folder.inf")}));
  EXPECT_EQ(messages, QStringList(2, "Cannot open " + Path("folder.inf") + ":\nis a directory."));
  EXPECT_FALSE(app->MainFrame()->isVisible());
  // One file that opens is enough; a name in Latin-1 is opened and saved by its bytes.
  const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xE9.inf";
  ASSERT_TRUE(std::ofstream(latin1.constData()) << "Object latin;");
  // A settings file that is a pipe is not waited on: the user is told, the defaults are used.
  ASSERT_TRUE(QDir().mkpath(Path("config/Quenmark Applications")));
  ASSERT_TRUE(QFile::remove(Path("config/Quenmark Applications/Torvane.ini")));
  ASSERT_EQ(mkfifo(QFile::encodeName(Path("config/Quenmark Applications/Torvane.ini")), 0644), 0);
  ASSERT_TRUE(Start({Path("folder.inf"), FileNameFromBytes(latin1)}));
  EXPECT_EQ(messages.size(), 4);
  EXPECT_TRUE(messages.at(2).contains("is a named pipe, not a file")) << messages.at(2).toStdString();
  EXPECT_TRUE(Tree(0).ends_with("(latin)")) << Tree(0);
  QTest::keyClicks(ActiveView(), "X");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  std::string saved;
  EXPECT_TRUE(std::getline(std::ifstream(latin1.constData()), saved) && saved == "XObject latin;") << saved;
  EXPECT_EQ(std::remove(latin1.constData()), 0); // beyond QTemporaryDir's clean-up
}

// Answers the next Go To dialog with each of texts, pressing OK; then cancels it if still open.
void AnswerGoTo(std::vector<const char*> texts) {
  QTimer::singleShot(0, [texts] {
    auto* dialog = qobject_cast<CGoToLineDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Edit()->text(), "1");
    for (const char* text : texts) {
      dialog->Edit()->setText(text);
      dialog->accept();
    }
    if (dialog->isVisible()) dialog->reject();
  });
}

TEST_F(Ide, NewWindowSharesTextAndUndoGoToLineAndOnlyTheLastFrameAsksToSave) {
  ASSERT_TRUE(WriteFile(Path("two.inf"), "x\r\nb\r\nc\r\nd"));
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

  app->DocManager()->Frames(ActiveDoc()).front()->close();
  QApplication::processEvents();
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(Titles(*app), QStringList{"two.inf[*]"});
  EXPECT_TRUE(app->MainFrame()->isWindowModified()); // the main title keeps its "*"

  const std::pair<std::vector<const char*>, int> cases[] = {
      {{"3"}, 2}, {{"0"}, 0}, {{"2"}, 1}, {{"1"}, 0}, {{"99999"}, 3}, {{" 2 "}, 1}, {{}, 1},
      {{"100000", "-1", "x3", "4"}, 3}};
  for (const auto& [texts, line] : cases) {
    AnswerGoTo(texts);
    ASSERT_TRUE(Choose(Cmd::GOTO_LINE));
    EXPECT_EQ(second->GetCursorPosition(), TextPosition(0, line)) << texts.size();
  }

  answers = {IDCANCEL, IDNO};
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  EXPECT_EQ(messages, (QStringList{"Please enter an integer between 0 and 99999.",
                                   "Please enter an integer between 0 and 99999.",
                                   "Please enter an integer.", "Save changes to two.inf?",
                                   "Save changes to two.inf?"}));
  EXPECT_TRUE(app->DocManager()->Documents().empty());
  EXPECT_EQ(ReadFile(Path("two.inf")), "x\r\nb\r\nc\r\nd");
}

// Another program writes the open file: an unmodified document reads it again, a modified
// one asks before Save or Compile writes, a removed file is written again by Save.
TEST_F(Ide, FilesChangedByAnotherProgramAreNeverWrittenOverUnasked) {
  ASSERT_TRUE(WriteFile(Path("w.inf"), "one\n"));
  ASSERT_TRUE(Start({Path("w.inf")}));
  CTextBuffer& text = ActiveDoc()->Buffer();
  CMainStatusBar* panes = app->MainFrame()->StatusPanes();
  auto noted = [&](const QString& end) { return QTest::qWaitFor([&] { return panes->PaneText(0).endsWith(end); }, 5000); };
  auto changeOnDisk = [&](const QByteArray& content) { panes->clearMessage(), WriteFile(Path("w.inf"), content); };
  changeOnDisk("one\ntwo\n");
  ASSERT_TRUE(noted("w.inf was changed by another program and has been read again."));
  EXPECT_EQ(text.GetText(0, 0, 2, 0, "|"), "one|two|");
  QTest::keyClicks(ActiveView(), "A");
  changeOnDisk("one\ntwo\n3\n");
  ASSERT_TRUE(noted("w.inf was changed by another program; saving asks first."));
  answers = {IDCANCEL, IDCANCEL, IDNO}; // Compile and Save cancelled, then Keep Mine
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE) && Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(ReadFile(Path("w.inf")), "one\ntwo\n3\n");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(ReadFile(Path("w.inf")), "Aone\ntwo\n");
  EXPECT_EQ(messages, QStringList(3, Path("w.inf") + " has been changed by another program.\n\nReload it and "
                                     "lose your changes, or keep yours and write over the other program's?"));
  changeOnDisk("B\n"); // watched again after the save replaced the file
  ASSERT_TRUE(noted("has been read again."));
  QTest::keyClicks(ActiveView(), "C");
  changeOnDisk("D\n");
  answers = {IDYES}; // Reload
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(text.GetText(0, 0, 1, 0, "|"), "D|");
  EXPECT_FALSE(ActiveDoc()->IsModified());
  ASSERT_TRUE(QFile::remove(Path("w.inf")));
  ASSERT_TRUE(noted("w.inf was deleted by another program; Save writes it again."));
  EXPECT_TRUE(ActiveDoc()->IsModified());
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(ReadFile(Path("w.inf")), "D\n");
}

} // namespace
