// The Project menu: a project made for a game, files added and removed (never from the disk),
// a project opened by File > Open and kept in the recent files, a corrupt one refused.
#include "command_router.h"
#include "ide_test_support.h"
#include "project_session.h"

namespace {

using apptest::Ide;

TEST_F(Ide, ProjectMenuMakesOpensAndChangesTheProjectAndRecentFilesKeepIt) {
  ASSERT_TRUE(WriteFile(Path("game.inf"), "!% -v3\n[ Main; ];\n"));
  ASSERT_TRUE(WriteFile(Path("rooms.h"), "Object hall;\n"));
  ASSERT_TRUE(WriteFile(Path("bad.i6proj"), "[Project]\nnonsense\n"));
  ASSERT_TRUE(Start({Path("game.inf")}));
  CProjectSession& session = app->ProjectSession();
  EXPECT_FALSE(Enabled(Cmd::PROJECT_ADD_FILE));
  CCommandRouter& router = app->MainFrame()->Router();
  EXPECT_FALSE(router.Query(Cmd::BUILD_PROFILE).enabled);
  dialogAnswer = Path("game.i6proj");
  ASSERT_TRUE(Choose(Cmd::PROJECT_NEW));
  EXPECT_EQ(session.Path(), Path("game.i6proj"));
  EXPECT_EQ(session.Project().target, StoryTarget::Z3);
  EXPECT_FALSE(router.Query(Cmd::BUILD_PROFILE).checked);
  EXPECT_TRUE(router.Execute(Cmd::BUILD_PROFILE)); // the toolbar's toggle: Release, kept in the file
  EXPECT_TRUE(router.Query(Cmd::BUILD_PROFILE).checked);
  EXPECT_TRUE(ReadFile(Path("game.i6proj")).contains("\nProfile=Release\n"));
  EXPECT_FALSE(Enabled(Cmd::PROJECT_DELETE_FILE)); // the main file stays
  dialogAnswer = Path("rooms.h");
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(Choose(Cmd::PROJECT_ADD_FILE));
  EXPECT_EQ(messages, QStringList{Path("rooms.h") + " is in the project already."});
  ASSERT_TRUE(app->DocManager()->OpenDocumentFile(Path("rooms.h")));
  answers = {IDNO, IDYES};
  for (bool member : {true, false}) {
    ASSERT_TRUE(Choose(Cmd::PROJECT_DELETE_FILE));
    EXPECT_EQ(session.Contains(Path("rooms.h")), member);
  }
  EXPECT_EQ(messages.last(), "Remove " + Path("rooms.h") + " from the project?\nThe file stays on the disk.");
  EXPECT_TRUE(QFileInfo::exists(Path("rooms.h")));
  EXPECT_FALSE(Enabled(Cmd::PROJECT_DELETE_FILE));

  session.Close();
  dialogAnswer = Path("game.i6proj");
  ASSERT_TRUE(Choose(Cmd::FILE_OPEN));
  EXPECT_EQ(session.Path(), Path("game.i6proj"));
  EXPECT_EQ(ActiveDoc()->GetPathName(), Path("game.inf"));
  EXPECT_EQ(app->DocManager()->RecentFiles().Paths().first(), Path("game.i6proj"));
  dialogAnswer = Path("bad.i6proj");
  ASSERT_TRUE(Choose(Cmd::PROJECT_OPEN));
  EXPECT_TRUE(messages.last().startsWith(Path("bad.i6proj") + ", line 2")) << messages.last().toStdString();
  EXPECT_EQ(session.Path(), Path("game.i6proj"));
  EXPECT_EQ(dialogs.join("|"), "New Project: Inform Projects (*.i6proj);;All Files (*)|"
                               "Add File to Project: Inform sources (*.inf *.h);;All Files (*)|"
                               "Add File to Project: Inform sources (*.inf *.h);;All Files (*)|"
                               "Open: Inform Files (*.inf);;Inform Header Files (*.h);;All Files (*)|"
                               "Open Project: Inform Projects (*.i6proj);;All Files (*)");
}

} // namespace
