// The Game Wizard: each template written, opened as a project, built by the real inform6 with
// the project's command line, and the Z-code ones started in dfrotz.
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

#include "game_wizard.h"
#include "ide_test_support.h"
#include "project_session.h"

namespace {

using apptest::Ide;

struct Wizard {
  const char* punyFolder;
  int templateIndex;
  const char* header;
};

class GameWizard : public Ide, public ::testing::WithParamInterface<Wizard> {
protected:
  // Fills the next wizard and presses OK (cancels it when it stays open).
  void Answer(const QString& title) {
    QTimer::singleShot(0, [this, title] {
      auto* dialog = qobject_cast<CGameWizardDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->TitleEdit()->setText(title);
      dialog->AuthorEdit()->setText("A. Writer");
      dialog->FolderEdit()->setText(Path("my game"));
      dialog->PunyFolderEdit()->setText(GetParam().punyFolder);
      dialog->TemplateBox()->setCurrentIndex(GetParam().templateIndex);
      dialog->accept();
      if (dialog->isVisible()) dialog->reject();
    });
  }
};

TEST_P(GameWizard, WritesAGameAndItsProjectThatBuildAndStartAndReplacesNothingUnasked) {
  ASSERT_TRUE(Start());
  Answer("");
  ASSERT_TRUE(Choose(Cmd::PROJECT_GAME_WIZARD));
  const bool glulx = GetParam().templateIndex == 1;
  if (glulx) answers = {IDYES}; // Debian's library has no infglk.h: written all the same
  Answer("The \"Lost\" Key");
  ASSERT_TRUE(Choose(Cmd::PROJECT_GAME_WIZARD));
  const QString main = Path("my game/the_lost_key.inf");
  EXPECT_EQ(ActiveDoc()->GetPathName(), main);
  const CProjectSession& session = app->ProjectSession();
  EXPECT_EQ(session.Path(), Path("my game/the_lost_key.i6proj"));
  const QByteArray source = ReadFile(main);
  EXPECT_TRUE(source.startsWith(QByteArray(GetParam().header) + "! The ~Lost~ Key, by A. Writer\n\n"
                                "Constant Story \"The ~Lost~ Key\";\n"
                                "Constant Headline \"^An Interactive Fiction^by A. Writer^\";\n")) << source.toStdString();
  // The project's command line builds it (a Glulx game needs the infglk.h Debian lacks).
  QStringList arguments;
  for (const std::string& argument : ProjectCommandLine(session.Project(), "/usr/share/inform6/library"))
    arguments << QString::fromStdString(argument);
  QProcess process;
  process.setWorkingDirectory(dir.path());
  if (!glulx) {
    process.start("inform6", arguments << main << Path("story"));
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
    process.start("/usr/games/dfrotz", {"-m", Path("story")});
    process.write("look\nquit\ny\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_TRUE(process.readAll().contains("This is where The \"Lost\" Key begins."));
  }
  // Again: the files are there; No keeps them.
  EXPECT_EQ(messages.size(), glulx ? 2 : 1);
  EXPECT_EQ(messages.first(), "Give the game a title.");
  if (glulx) {
    EXPECT_EQ(messages.last(), "The standard library in /usr/share/inform6/library has no infglk.h, the Glk declarations a "
                               "Glulx game includes: the game will not compile until infglk.h is put there or beside the "
                               "game.\nWrite the game all the same?");
  }
  answers = glulx ? QList<int>{IDYES, IDNO} : QList<int>{IDNO};
  Answer("The Lost Key");
  ASSERT_TRUE(Choose(Cmd::PROJECT_GAME_WIZARD));
  EXPECT_EQ(messages.last(), main + " already exists.\nReplace it?");
  EXPECT_EQ(ReadFile(main), source);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, GameWizard,
    ::testing::Values(Wizard{"", 0, "!% -v5\n"}, Wizard{"/usr/share/inform6/library", 1, "!% -G\n"},
                      Wizard{TORVANE_REALWORLD "/punylib-36", 2, "!% -v3\n!% $OMIT_UNUSED_ROUTINES=1\n"}));

} // namespace
