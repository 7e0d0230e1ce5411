// Compile, Run and Stop Build in the IDE, with the real inform6 where the compiler matters.
#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "ide_test_support.h"
#include "output_bar.h"
#include "project_session.h"
#include "status_bar.h"
#include "redirector.h"
#include "text_buffer.h"

namespace {

using apptest::Ide;

class CompileRun : public Ide {
protected:
  void SetUp() override {
    Ide::SetUp();
    ASSERT_TRUE(QDir(dir.path()).mkpath("my games"));
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { CRedirector::CancelRunning(); });
  }
  void SetPaths(const QString& compiler, const QString& more = QString()) {
    CProfileStore store;
    ASSERT_TRUE(store.WriteProfileString("Editor\\Paths", "Compiler", compiler));
    ASSERT_TRUE(store.WriteProfileString("Editor\\Paths", "Library", ""));
    ASSERT_TRUE(store.WriteProfileInt("Editor\\Options", "StandardOptions", 0));
    ASSERT_TRUE(store.WriteProfileString("Editor\\Options", "UserDefOptions", more));
  }
  QString EndlessCompiler() {
    EXPECT_TRUE(WriteScript(Path("endless.sh"), "[ \"$1\" = -h2 ] && exit\nsleep 1000 &\necho $$ $! > '" + Path("pid").toUtf8() +
                                                    "'\necho started\nwait"));
    QFile::remove(Path("pid"));
    safety.start(10000);
    return Path("endless.sh");
  }
  bool ChildrenGone() {
    const QList<QByteArray> pids = ReadFile(Path("pid")).simplified().split(' ');
    return safety.isActive() && pids.size() == 2 && ProcessGone(pids[0].toInt()) &&
           ProcessGone(pids[1].toInt());
  }
  COutputBar* Output() { return app->MainFrame()->OutputControl(); }

  QTimer safety;
};

// Inform 6's messages, from the main file and a header named with a blank: margin marks, also
// in the header opened after the compile, and F4, Shift+F4 and a double-click open the files at
// the lines; the compiler's echo of a source line holding a message's form is none.
TEST_F(CompileRun, MessagesLeadToTheirLines) {
  const QString source = Path("my games/adv.inf");
  ASSERT_TRUE(WriteFile(source, "Include \">my part.h\";\n[ Main; x = \"b.inf(9): Warning: see\";\n  print \"hi\";\n];\n"));
  ASSERT_TRUE(WriteFile(Path("my games/my part.h"), "[ Foo;\n  y = 2;\n];\n"));
  SetPaths("/usr/bin/inform6");
  ASSERT_TRUE(Start({source}));
  app->MainFrame()->GetOutputBar()->hide();
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_TRUE(app->MainFrame()->GetOutputBar()->isVisible());
  const QString text = Output()->Text();
  EXPECT_TRUE(text.startsWith("Profile none (no project), target z5, no library\nInform 6") && text.endsWith("\nCompilation Complete.") &&
              text.contains("line 2: Error:")) << text.toStdString();
  CTextBuffer& adv = ActiveDoc()->Buffer();
  EXPECT_EQ(adv.FirstLineWithFlag(LF_MARGIN_MARK), 1);

  // In order (with their output lines): the header's line 2 twice, adv.inf's line 2 twice and
  // never the echoes under them, the header's line 1.
  for (auto [id, where] : {std::pair{Cmd::NEXT_MESSAGE, "my part.h:1 2"}, {Cmd::NEXT_MESSAGE, "my part.h:1 4"},
                           {Cmd::NEXT_MESSAGE, "adv.inf:1 6"}, {Cmd::NEXT_MESSAGE, "adv.inf:1 8"},
                           {Cmd::PREV_MESSAGE, "adv.inf:1 6"}, {Cmd::PREV_MESSAGE, "my part.h:1 4"}}) {
    ASSERT_TRUE(Choose(id));
    EXPECT_EQ(Where() + " " + QString::number(Output()->textCursor().blockNumber()), where);
  }
  EXPECT_EQ(ActiveDoc()->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 0); // opened after

  const QTextBlock warning = Output()->document()->findBlockByNumber(10);
  ASSERT_TRUE(warning.text().contains("Warning:")) << warning.text().toStdString();
  const QPoint point = Output()->cursorRect(QTextCursor(warning)).center() + QPoint(4, 0);
  QTest::mouseDClick(Output()->viewport(), Qt::LeftButton, {}, point);
  QTest::mouseRelease(Output()->viewport(), Qt::LeftButton, {}, point); // no button left held
  EXPECT_EQ(Where(), "my part.h:0");

  CTorvaneDoc* part = ActiveDoc();
  app->DocManager()->OpenDocumentFile(source);
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(part->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 0);
  part->Buffer().SetLineFlag(0, LF_MARGIN_MARK, false, false);
  EXPECT_EQ(part->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 1);
  EXPECT_EQ(adv.FirstLineWithFlag(LF_MARGIN_MARK), 1);

  // Inform 6.41 counts CR LF twice: line 5 of a CR LF source is named 9, and is marked and gone to.
  ASSERT_TRUE(WriteFile(Path("crlf.inf"), "!\r\n!\r\n!\r\n!\r\nMessage error \"five\";\r\n!\r\n!\r\n!\r\n!\r\n!\r\n"));
  app->DocManager()->OpenDocumentFile(Path("crlf.inf"));
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE) && Output()->Text().contains("line 9: Error:"));
  EXPECT_EQ(ActiveDoc()->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 4);
  ASSERT_TRUE(Choose(Cmd::NEXT_MESSAGE));
  EXPECT_EQ(Where(), "crlf.inf:4");
}

// Stop Build (Ctrl+Pause, or the Break key X11 sends for it) ends the compiler and its children;
// Compile and Run wait meanwhile. An empty compiler path is the default; a story is not compiled
// over itself; a document without a file is named.
TEST_F(CompileRun, StopBuildAndClosingEndTheCompilersGroup) {
  SetPaths("");
  ASSERT_TRUE(WriteFile(Path("story.z5"), "[ Main; ];\n"));
  ASSERT_TRUE(Start({Path("story.z5")}));
  app->MainFrame()->GetOutputBar()->hide();
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  SetPaths(EndlessCompiler());
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(messages, QStringList(2, "Not compiled: the story file would overwrite the source. Give "
                                     "the source another extension, such as .inf:\n" + Path("story.z5")));
  EXPECT_FALSE(QFile::exists(Path("pid")));
  EXPECT_FALSE(app->MainFrame()->GetOutputBar()->isVisible()); // neither shown nor emptied
  EXPECT_FALSE(Enabled(Cmd::BUILD_STOP));

  ASSERT_TRUE(Choose(Cmd::FILE_CLOSE));
  ASSERT_TRUE(Choose(Cmd::FILE_NEW));
  dialogAnswer = Path("fresh.inf");
  bool duringCompile = true, duringRun = true, duringStop = false;
  QTimer::singleShot(500, [&] {
    duringCompile = Enabled(Cmd::BUILD_COMPILE);
    duringRun = Enabled(Cmd::BUILD_RUN);
    duringStop = Enabled(Cmd::BUILD_STOP);
    QTest::keyClick(ActiveView(), Qt::Key_Pause, Qt::ControlModifier);
  });
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("fresh.inf"));
  EXPECT_TRUE(!duringCompile && !duringRun && duringStop);
  EXPECT_TRUE(ChildrenGone());
  EXPECT_EQ(Output()->Text(), "Profile none (no project), target z5, no library\nstarted\n\nCancelled.\n\nProcess terminated successfully.\n\n"
                              "Compilation Complete.");
  EXPECT_FALSE(Enabled(Cmd::BUILD_STOP));
  SetPaths(EndlessCompiler());
  QTimer::singleShot(500, [&] {
    QKeyEvent breakKey(QEvent::KeyPress, 0, Qt::ControlModifier, 110, 0xFF6B, 4);
    QApplication::sendEvent(ActiveView(), &breakKey);
  });
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_TRUE(ChildrenGone());
  EXPECT_EQ(MenuAction(129, Cmd::BUILD_STOP)->text(), "&Stop Build\tCtrl+Pause");

  // Closing the document, then the window, mid-build asks: No keeps all, Yes stops and closes.
  messages.clear();
  dialogAnswer = Path("b.inf");
  for (bool frame : {false, true}) {
    if (frame) { ASSERT_TRUE(Choose(Cmd::FILE_NEW)); }
    SetPaths(EndlessCompiler());
    answers = {IDNO, IDYES};
    bool closed[2] = {true, false};
    auto close = [&] {
      if (frame) return CloseFrame();
      Choose(Cmd::FILE_CLOSE);
      return app->DocManager()->Documents().empty();
    };
    QTimer::singleShot(400, [&] { closed[0] = close(); });
    QTimer::singleShot(800, [&] { closed[1] = close(); });
    ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
    EXPECT_TRUE(!closed[0] && closed[1]);
    EXPECT_EQ(messages, QStringList(2, frame ? "A compile is running.\nStop it and exit?"
                                             : "A compile is running.\nStop it and close?"));
    messages.clear();
    EXPECT_TRUE(ChildrenGone());
    EXPECT_TRUE(app->DocManager()->Documents().empty());
    EXPECT_EQ(Output()->Text(), "\nCancelled.\n\nProcess terminated successfully.\n\n"
                                "Compilation Complete.");
  }
}

// The example game with only the interpreter set (inform6 and its library found on the system):
// F5 builds the missing story on Yes and runs it; Ctrl+F5 builds; a stale story on No just runs.
TEST_F(CompileRun, ExampleBuildsAndRunsWithTheKeys) {
  const QString source = Path("my games/cloak.inf");
  ASSERT_TRUE(QFile::copy(TORVANE_TEST_DATA "/../../examples/cloak.inf", source));
  const QByteArray args = Path("args").toUtf8();
  ASSERT_TRUE(WriteScript(Path("terp.sh"), "for a in \"$@\"; do echo \"[$a]\"; done > '" + args +
                                               ".tmp'\nmv '" + args + ".tmp' '" + args + "'"));
  ASSERT_TRUE(CProfileStore().WriteProfileString("Editor\\Paths", "Interpreter", Path("terp.sh")));
  ASSERT_TRUE(Start({source}));
  auto launchedWith = [this] {
    for (QDeadlineTimer patience(10000); !QFile::exists(Path("args")) && !patience.hasExpired();)
      QTest::qWait(20);
    const QByteArray given = ReadFile(Path("args"));
    QFile::remove(Path("args"));
    return given;
  };

  answers = {IDYES};
  QTest::keyClick(ActiveView(), Qt::Key_F5);
  EXPECT_EQ(messages, QStringList{Path("my games/cloak.z5") + " does not exist.\nDo you want to build it?"});
  EXPECT_EQ(launchedWith(), "[" + Path("my games/cloak.z5").toUtf8() + "]\n");

  Output()->Clear();
  QTest::keyClick(ActiveView(), Qt::Key_F5, Qt::ControlModifier);
  EXPECT_TRUE(Output()->Text().startsWith("Profile none (no project), target z5, Standard library 6.12.6\nInform 6") &&
              !Output()->Text().contains("Switch"))
      << Output()->Text().toStdString(); // the default "-U" is not passed to 6.41

  ASSERT_TRUE(SetWriteTime(Path("my games/cloak.z5"), QFileInfo(source).lastModified().toSecsSinceEpoch() - 2));
  Output()->Clear();
  messages.clear();
  answers = {IDNO};
  QTest::keyClick(ActiveView(), Qt::Key_F5);
  EXPECT_EQ(messages, QStringList{"The following files are out of date:\n       cloak.z5\n\n"
                                  "Do you wish to recompile?"});
  EXPECT_EQ(Output()->Text(), "");
  EXPECT_EQ(launchedWith(), "[" + Path("my games/cloak.z5").toUtf8() + "]\n");
}

// 10 MB of output arrive whole, the last line in view; a message marks the source's last line,
// compiled as edited. Under a limit, the newest lines stay and the message still leads there.
TEST_F(CompileRun, TenMegabytesArriveWhole) {
  ASSERT_TRUE(WriteFile(Path("big.inf"), "[ Main;\n];"));
  ASSERT_TRUE(WriteScript(Path("big.sh"), "head -c 10485760 /dev/zero | tr '\\0' 'x' | fold -w 99\n"
                                          "printf '\\nline 2: Error:  late\\n'"));
  SetPaths(Path("big.sh"));
  ASSERT_TRUE(Start({Path("big.inf")}));
  QTest::keyClicks(ActiveView(), "!");
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(ReadFile(Path("big.inf")), "![ Main;\n];");
  for (QDeadlineTimer patience(20000); Output()->Pending() && !patience.hasExpired();) QTest::qWait(10);
  const QString text = Output()->toPlainText();
  EXPECT_EQ(text.count(QLatin1Char('x')), 10485760);
  // The plan's line, 105916 lines of 99, one of the other 76, the message, an empty line and
  // the closing line.
  EXPECT_EQ(Output()->document()->blockCount(), 105921);
  EXPECT_TRUE(text.endsWith("xxxx\nline 2: Error:  late\n\nCompilation Complete."));
  EXPECT_EQ(Output()->verticalScrollBar()->value(), Output()->verticalScrollBar()->maximum());
  EXPECT_EQ(ActiveDoc()->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 1);
  ASSERT_TRUE(Choose(Cmd::NEXT_MESSAGE));
  EXPECT_EQ(Output()->textCursor().blockNumber(), 105918);
  EXPECT_EQ(Where(), "big.inf:1");

  // A limit of 1 KB is taken as 64 KB: the newest lines of that much, the count of the others on top.
  ASSERT_TRUE(CProfileStore().WriteProfileInt("Editor\\Options", "OutputLimitKB", 1));
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  const QString kept = Output()->Text();
  const qsizetype header = kept.indexOf('\n'), body = kept.size() - header - 1;
  EXPECT_EQ(kept.left(header), QString("[%1 earlier lines dropped]").arg(105921 - kept.count('\n')));
  EXPECT_TRUE(body <= 65536 && body > 57344 - 100) << body;
  EXPECT_EQ(ActiveDoc()->Buffer().FirstLineWithFlag(LF_MARGIN_MARK), 1);
  ASSERT_TRUE(Choose(Cmd::NEXT_MESSAGE));
  EXPECT_EQ(Output()->textCursor().selectedText(), "line 2: Error:  late");
}

} // namespace

// A member of the open project compiles the project's main file for its target, after the
// warning for a standard-library game in z3; the output's first line and the status bar name
// the library.
TEST_F(CompileRun, AProjectMemberBuildsTheMainFileForTheProjectsTarget) {
  ASSERT_TRUE(QFile::copy(TORVANE_TEST_DATA "/../../examples/cloak.inf", Path("my games/game.inf")));
  ASSERT_TRUE(WriteFile(Path("my games/extra.h"), "! nothing yet\n"));
  ASSERT_TRUE(WriteFile(Path("my games/game.i6proj"), "[Project]\nMain=game.inf\nTarget=z3\n[Files]\nFile=extra.h\n"));
  SetPaths("/usr/bin/inform6");
  ASSERT_TRUE(Start({Path("my games/extra.h")}));
  ASSERT_TRUE(app->ProjectSession().Open(Path("my games/game.i6proj")));
  answers = {IDNO};
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(messages, QStringList{"This game uses the standard library, which does not fit in a version 3 story file "
                                  "(z3): the compiler will most likely run out of room.\n\nCompile it anyway?"});
  EXPECT_FALSE(QFile::exists(Path("my games/game.z3")));
  ASSERT_TRUE(app->ProjectSession().Update([](ProjectFile& project) { project.target = StoryTarget::Z5; }));
  messages.clear();
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(Output()->Text().startsWith("Profile Debug, target z5, Standard library 6.12.6\nInform 6"))
      << Output()->Text().toStdString();
  EXPECT_TRUE(QFile::exists(Path("my games/game.z5")));
  EXPECT_TRUE(QFile::exists(Path("my games/gameinfo.dbg"))); // -k of the Debug profile, in the game's folder
  app->MainFrame()->Binder().Refresh();
  EXPECT_EQ(app->MainFrame()->StatusPanes()->PaneText(Cmd::INDICATOR_LIBRARY), "Standard library 6.12.6");
}
