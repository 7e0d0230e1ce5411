// The Story and Walkthroughs bars in the IDE with the real inform6 and emglken on Balances:
// Play builds and plays, commands and their history, Replay to Here, Save as Walkthrough, Run
// Walkthroughs, the difference view with Bless and Play from Here; a runaway story and Stop.
#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDockWidget>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "ide_test_support.h"
#include "play_controller.h"
#include "story_bar.h"
#include "walkthrough_bar.h"

namespace {

using apptest::Ide;

// Pumps events until done() or 20 s have passed.
bool WaitFor(const std::function<bool()>& done) {
  const QDeadlineTimer patience(20000);
  while (!done() && !patience.hasExpired()) QTest::qWait(5);
  return done();
}

class Play : public Ide {
protected:
  CPlayController& Controller() { return *app->MainFrame()->PlayController(); }
  CStoryBar& Story() { return *Controller().Story(); }
  QString Shown() { return Story().TextControl()->toPlainText(); }
  void Type(const QString& command) {
    QTest::keyClicks(Story().CommandLine(), command);
    QTest::keyClick(Story().CommandLine(), Qt::Key_Return);
  }
};

TEST_F(Play, PlaySaveRunBlessAndPlayFromHere) {
  ASSERT_TRUE(WriteFile(Path("balances.inf"), ReadFile(TORVANE_REALWORLD "/balances.inf")));
  CProfileStore store;
  ASSERT_TRUE(store.WriteProfileString("Editor\\Paths", "Compiler", "/usr/bin/inform6") &&
              store.WriteProfileString("Editor\\Paths", "Library", "/usr/share/inform6/library"));
  ASSERT_TRUE(Start({Path("balances.inf")}));
  EXPECT_TRUE(Controller().StoryDock()->isHidden());
  ASSERT_TRUE(Choose(Cmd::BUILD_PLAY));
  EXPECT_TRUE(QFile::exists(Path("balances.z5"))); // built, as there was none
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("grasslands extend to the low hills on the horizon.\n\n>"); })) << Shown().toStdString();
  EXPECT_FALSE(Controller().StoryDock()->isHidden());
  // The status line above the text, reversed; the bold room name in the text.
  QLabel* status = Story().StatusLine();
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(status->accessibleName(), "Status line");
  EXPECT_TRUE(status->text().startsWith(" Ramshackle Hut ") && status->text().contains(QRegularExpression("Score: 0 +Moves: 0$")))
      << status->text().toStdString();
  const QImage shot = status->grab().toImage();
  EXPECT_EQ(shot.pixelColor(1, shot.height() / 2), Story().palette().color(QPalette::Text));
  EXPECT_TRUE(Shown().contains("\n\nRamshackle Hut\nUntil quite recently")) << Shown().toStdString();
  EXPECT_TRUE(Story().StateLine()->text().startsWith("balances.z5 in emglken, seed 1, width 80: ")) << Story().StateLine()->text().toStdString();
  Type("inventory");
  Type("x coin");
  ASSERT_TRUE(WaitFor([&] { return status->text().endsWith("Moves: 2"); })) << status->text().toStdString();
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith(">x coin\nA round unstamped disc, presumably part of the local currency.\n\n>"); })) << Shown().toStdString();
  QTest::keyClick(Story().CommandLine(), Qt::Key_Up);
  QTest::keyClick(Story().CommandLine(), Qt::Key_Up);
  EXPECT_EQ(Story().CommandLine()->text(), "inventory");
  QTest::keyClick(Story().CommandLine(), Qt::Key_Down);
  EXPECT_EQ(Story().CommandLine()->text(), "x coin");
  Story().CommandLine()->clear();

  Story().ReplayTo(1); // plays "inventory" unseen... and shows its output
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("  a magic burin\n\n>"); })) << Shown().toStdString();
  EXPECT_TRUE(Shown().startsWith(">inventory\n")) << Shown().toStdString();
  EXPECT_EQ(Story().CommandList()->count(), 1);
  Type("x coin");
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("local currency.\n\n>"); }));

  dialogAnswer = Path("walkthroughs/coin");
  ASSERT_TRUE(QDir().mkpath(Path("walkthroughs")));
  Controller().SaveAsWalkthrough();
  EXPECT_EQ(ReadFile(Path("walkthroughs/coin.cmd")), "# seed: 1\n# width: 80\ninventory\nx coin\n");
  EXPECT_TRUE(ReadFile(Path("walkthroughs/coin.expected")).endsWith(">x coin\nA round unstamped disc, presumably part of the local currency.\n\n>\n"));
  answers = {IDNO};
  Controller().SaveAsWalkthrough(); // exists: not replaced on No
  EXPECT_TRUE(messages.last().startsWith("The walkthrough coin exists already."));

  CWalkthroughBar& bar = *Controller().Walkthroughs();
  ASSERT_TRUE(Choose(Cmd::BUILD_RUN_WALKTHROUGHS));
  ASSERT_TRUE(WaitFor([&] { return !Controller().Check().IsRunning(); }));
  EXPECT_EQ(bar.StateText("coin"), "passed");
  const QByteArray edited = QByteArray(ReadFile(Path("walkthroughs/coin.expected"))).replace("unstamped disc", "stamped disc");
  ASSERT_TRUE(WriteFile(Path("walkthroughs/coin.expected"), edited));
  ASSERT_TRUE(Choose(Cmd::BUILD_RUN_WALKTHROUGHS));
  ASSERT_TRUE(WaitFor([&] { return !Controller().Check().IsRunning(); }));
  EXPECT_EQ(bar.StateText("coin"), "failed");
  CDifferenceView* view = Controller().Difference();
  ASSERT_NE(view, nullptr); // opened by the failure
  QStringList rows;
  for (int row = 0; row < view->Table()->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < 3; ++column) cells << view->Table()->item(row, column)->text();
    rows << cells.join('|') + (view->Table()->item(row, 1)->background().color() == QColor(255, 220, 220) ? " *" : "");
  }
  EXPECT_EQ(rows.join('\n').toStdString(),
            "inventory|  a magic burin|  a magic burin\n||\nx coin|>x coin|>x coin\n"
            "|A round stamped disc, presumably part of the local currency.|A round unstamped disc, presumably part of the local currency. *\n"
            "||\n(after the last)|>|>");
  view->Table()->selectRow(2);
  QTest::mouseClick(view->findChild<QPushButton*>(QString(), Qt::FindChildrenRecursively), Qt::LeftButton); // Bless, first
  EXPECT_EQ(bar.StateText("coin"), "passed");
  EXPECT_NE(ReadFile(Path("walkthroughs/coin.expected")), edited);
  emit view->playFromHere({"inventory", "x coin"}, view->CommandOfRow(2));
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("  a magic burin\n\n>"); })) << Shown().toStdString();
  EXPECT_EQ(Story().CommandList()->count(), 1);
}

// A project's member plays and tests the project's story (its target, not the file's), with
// the walkthroughs beside the project file; their results outlive a restart until one changes.
TEST_F(Play, AProjectsMemberPlaysAndTestsTheProjectsStoryAndResultsOutliveARestart) {
  ASSERT_TRUE(QDir().mkpath(Path("game")) && QDir().mkpath(Path("proj")));
  ASSERT_TRUE(WriteFile(Path("game/main.inf"), ReadFile(TORVANE_REALWORLD "/balances.inf")) &&
              WriteFile(Path("game/notes.h"), "! notes\n") &&
              WriteFile(Path("proj/game.i6proj"), "[Project]\nMain=../game/main.inf\nTarget=z8\n[Files]\nFile=../game/notes.h\n"));
  ASSERT_TRUE(Start({Path("proj/game.i6proj")}) && app->DocManager()->OpenDocumentFile(Path("game/notes.h")));
  ASSERT_TRUE(Choose(Cmd::BUILD_PLAY));
  EXPECT_TRUE(QFile::exists(Path("game/main.z8")) && !QFile::exists(Path("game/main.z5")));
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("on the horizon.\n\n>"); })) << Shown().toStdString();
  const qint64 later = QDateTime::currentSecsSinceEpoch() + 60;
  ASSERT_TRUE(SetWriteTime(Path("game/main.z8"), later) && Choose(Cmd::BUILD_PLAY)); // up to date: no build
  EXPECT_EQ(QFileInfo(Path("game/main.z8")).lastModified().toSecsSinceEpoch(), later);
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("on the horizon.\n\n>"); })) << Shown().toStdString();
  dialogAnswer = Path("proj/walkthroughs/coin");
  Type("x coin");
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("local currency.\n\n>"); }));
  Controller().SaveAsWalkthrough();
  ASSERT_TRUE(Choose(Cmd::BUILD_RUN_WALKTHROUGHS));
  ASSERT_TRUE(WaitFor([&] { return !Controller().Check().IsRunning(); }));
  EXPECT_EQ(Controller().Walkthroughs()->Folder() + " " + Controller().Walkthroughs()->StateText("coin"),
            Path("proj/walkthroughs") + " passed");
  app.reset();
  ASSERT_TRUE(Start({Path("proj/game.i6proj")}));
  const auto shownState = [this] {
    for (int i = 0; i < 2; ++i) Controller().OnCmdMsg(CPlayController::ID_WALKTHROUGH_BAR); // hidden, shown afresh
    const QTreeWidgetItem* coin = Controller().Walkthroughs()->List()->topLevelItem(0);
    return coin ? coin->text(1) : QString();
  };
  Controller().WalkthroughDock()->show();
  EXPECT_EQ(shownState(), "passed");
  ASSERT_TRUE(WriteFile(Path("proj/walkthroughs/coin.cmd"), ReadFile(Path("proj/walkthroughs/coin.cmd")) + "look\n"));
  EXPECT_EQ(shownState(), "never run");
  ASSERT_TRUE(Choose(Cmd::WALKTHROUGHS_AFTER_COMPILE) && Choose(Cmd::BUILD_COMPILE)); // the story rewritten: run
  ASSERT_TRUE(WaitFor([&] { return Controller().Walkthroughs()->Outcome("coin") && !Controller().Check().IsRunning(); }));
  EXPECT_EQ(Controller().Walkthroughs()->StateText("coin"), "failed"); // one more command than accepted
}

// Glulx plays in the pane too; without emglken, dfrotz plays Z-code and the pane says why.
TEST_F(Play, AGlulxStoryPlaysInThePaneAndWithoutEmglkenThePaneSaysWhy) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WriteFile(Path("g.inf"), ReadFile(TORVANE_REALWORLD "/glulxercise.inf")));
  QProcess inform;
  inform.start("/usr/bin/inform6", {"-G", Path("g.inf"), Path("g.ulx")});
  ASSERT_TRUE(inform.waitForFinished(60000) && inform.exitCode() == 0);
  Story().Play(Path("g.ulx"), {});
  ASSERT_TRUE(WaitFor([&] { return Shown().endsWith("\n\n>"); })) << Shown().toStdString();
  EXPECT_TRUE(Shown().startsWith("\nGlulxercise: A Glulx interpreter unit test\n")) << Shown().toStdString();
  Type("version");
  ASSERT_TRUE(WaitFor([&] { return Shown().contains(">version\nGlulxercise: A Glulx"); })) << Shown().toStdString();
  EXPECT_TRUE(Story().StatusLine()->isHidden()); // it has no status window

  ASSERT_TRUE(WriteFile(Path("q.inf"), "[ Main; print \"Quick.^\"; ];\n"));
  inform.start("/usr/bin/inform6", {Path("q.inf"), Path("q.z5")});
  ASSERT_TRUE(inform.waitForFinished(60000) && inform.exitCode() == 0);
  PlayOptions missing;
  missing.emglken = Path("none");
  Story().Play(Path("q.z5"), missing);
  ASSERT_TRUE(WaitFor([&] { return !Story().IsPlaying(); }));
  EXPECT_EQ(Shown(), "Quick.\n[The story has ended.]");
  EXPECT_EQ(Story().StateLine()->text(), "q.z5 in dfrotz (emglken is not installed in " + Path("none") +
                                             " (scripts/setup installs it)), seed 1, width 80: ended");
}

// Each side of the difference keeps to its own transcript where the sides are out of step.
TEST(DifferenceView, EachSideShowsItsOwnTranscriptWhenTheSidesAreOutOfStep) {
  WalkthroughOutcome outcome;
  outcome.commands.commands = {"look"};
  outcome.expected = {"Title", "Extra one", "Extra two", ">look", "Old room."};
  outcome.actual.lines = {"Title", ">look", "New room.", "Added."};
  outcome.actual.command = {0, 1, 1, 1};
  outcome.runs = DiffLines(outcome.expected, outcome.actual.lines);
  CDifferenceView view("/nonexistent", outcome);
  QStringList rows;
  for (int row = 0; row < view.Table()->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < 3; ++column) cells << view.Table()->item(row, column)->text();
    const bool marked = view.Table()->item(row, 1)->background().color() == QColor(255, 220, 220) &&
                        view.Table()->item(row, 2)->background().color() == QColor(220, 255, 220);
    rows << cells.join('|') + (marked ? " *" : "");
  }
  EXPECT_EQ(rows.join('\n').toStdString(), "(opening)|Title|Title\n|Extra one| *\n|Extra two| *\nlook|>look|>look\n"
                                           "|Old room.|New room. *\n||Added. *");
  EXPECT_EQ(view.CommandOfRow(4), 1);
}

TEST_F(Play, ARunawayStoryStaysBoundedAndStops) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WriteFile(Path("loop.inf"), "[ Main; while (true) print \"Again and again.^\"; ];\n"));
  QProcess inform;
  inform.start("/usr/bin/inform6", {Path("loop.inf"), Path("loop.z5")});
  ASSERT_TRUE(inform.waitForFinished(60000));
  PlayOptions dfrotz; // emglken's own cap on such a story is tested with the toolchain
  dfrotz.interpreter = "/usr/games/dfrotz";
  Story().Play(Path("loop.z5"), dfrotz);
  ASSERT_TRUE(WaitFor([&] { return Story().TextControl()->blockCount() >= CStoryBar::MAX_SHOWN_LINES; }));
  EXPECT_TRUE(Story().IsPlaying());
  Story().Stop();
  ASSERT_TRUE(WaitFor([&] { return !Story().IsPlaying(); }));
  EXPECT_LE(Story().TextControl()->blockCount(), 5000);
  EXPECT_TRUE(Shown().endsWith("\n[Stopped.]")) << Shown().right(60).toStdString();
  EXPECT_EQ(Story().StateLine()->text().toStdString(), "loop.z5 in dfrotz, seed 1, width 80: Stopped.");
  Story().ShowUnplayable("Not a story.");
  EXPECT_EQ(Shown(), "Not a story.");
}

} // namespace
