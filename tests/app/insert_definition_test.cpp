// The Insert menu in the IDE: each kind written through its dialog into a real game, which
// the real inform6 then compiles, for the standard library and for PunyInform.
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

#include "ide_test_support.h"
#include "new_definition_dialog.h"
#include "text_buffer.h"

namespace {

using apptest::Ide;

// Fills the next definition dialog (fields: name, short name, parent, class; those the kind
// lacks are skipped) and presses OK; cancels it when it stays open.
void Answer(QStringList fields) {
  QTimer::singleShot(0, [fields] {
    auto* dialog = qobject_cast<CNewDefinitionDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->NameEdit()->setText(fields.value(0));
    if (dialog->ShortNameEdit()) dialog->ShortNameEdit()->setText(fields.value(1));
    if (dialog->ParentBox()) dialog->ParentBox()->setEditText(fields.value(2));
    if (dialog->ClassBox()) dialog->ClassBox()->setEditText(fields.value(3));
    dialog->accept();
    if (dialog->isVisible()) dialog->reject();
  });
}

struct Game {
  const char* text;
  const char* includePath;
  const char* characterAttributes;
};

class InsertMenu : public Ide, public ::testing::WithParamInterface<Game> {};

TEST_P(InsertMenu, EveryKindGoesInAsOneUndoStepShowsInTheTreesAndCompiles) {
  ASSERT_TRUE(WriteFile(Path("game.inf"), GetParam().text));
  ASSERT_TRUE(Start({Path("game.inf")}));
  CTextBuffer& buffer = ActiveDoc()->Buffer();
  const int end = buffer.LineCount() - 1;
  ActiveView()->MoveCaretTo(TextPosition(0, end));
  const std::vector<std::pair<int, QStringList>> steps = {
      {Cmd::INSERT_CLASS, {"Treasure"}},
      {Cmd::INSERT_ROOM, {"Cellar", "Dusty Cellar"}},
      {Cmd::INSERT_OBJECT, {"ruby", "red \"ruby\"", "Cellar", "Treasure"}},
      {Cmd::INSERT_NPC, {"Bob", "Bob", "Cellar"}},
      {Cmd::INSERT_FUNCTION, {"Polish"}},
      // Refused: a clash in another case, a word Inform keeps, no Inform name.
      {Cmd::INSERT_ROOM, {"CELLAR", "x"}},
      {Cmd::INSERT_OBJECT, {"print", "x"}},
      {Cmd::INSERT_CLASS, {"Gem", "", "", "2nd"}}};
  for (const auto& [command, fields] : steps) {
    Answer(fields);
    ASSERT_TRUE(Choose(command));
  }
  EXPECT_EQ(Tree(0), "game(Cellar(Bob, ruby))");
  EXPECT_EQ(Tree(1), "game(Treasure(ruby))");
  EXPECT_EQ(Tree(2), "game(Initialise, Polish)");
  EXPECT_EQ(messages, (QStringList{
      "\"CELLAR\" is already defined. Choose another name.",
      "The name \"print\" is a word Inform keeps for itself.",
      "The class \"2nd\" is not an Inform name: use letters, digits and _, not starting with a digit, at most 32 characters."}));
  EXPECT_EQ(buffer.GetText(end + 5, 0, end + 13, 0, "\n"),
            "    description \"You are in the Dusty Cellar.\",\n  has light;\n"
            "Treasure ruby \"red ~ruby~\" Cellar\n  with\n    name 'red',\n"
            "    description \"You see nothing special about the red ~ruby~.\",\n;\nObject Bob \"Bob\" Cellar\n");
  EXPECT_EQ(buffer.GetText(end + 19, 0, end + 20, 0, "\n"), GetParam().characterAttributes);
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  QProcess compiler;
  compiler.start("inform6", {QString("+include_path=") + GetParam().includePath, Path("game.inf"), Path("game.story")});
  ASSERT_TRUE(compiler.waitForFinished(60000));
  EXPECT_EQ(compiler.exitCode(), 0) << compiler.readAll().toStdString();
  ASSERT_TRUE(Choose(Cmd::EDIT_UNDO));
  EXPECT_EQ(buffer.LineCount(), end + 21);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, InsertMenu,
    ::testing::Values(
        Game{             "Include \"Parser\";\nInclude \"VerbLib\";\n[ Initialise; location = Cellar; ];\nInclude \"Grammar\";\n",
             "/usr/share/inform6/library", "  has animate male proper;\n"},
        Game{             "!% -v3\n!% +include_path=" TORVANE_REALWORLD "/punylib-36\nConstant INITIAL_LOCATION_VALUE = Cellar;\nInclude \"globals.h\";\nInclude \"puny.h\";\n"
             "[ Initialise; ];\n! the game's end\n",
             TORVANE_REALWORLD "/punylib-36", "  has animate proper;\n"}));

} // namespace
