// Update handlers: the Undo and Redo menu texts and buttons, the overwrite check mark, and
// commands left to the rest of the program.
#include "edit_test_support.h"

namespace {

class Menus : public edittest::EditViewTest<> {
protected:
  std::string RedoText() { return Update(Cmd::EDIT_REDO).text.value_or(""); }
};

TEST_F(Menus, UndoAndRedoNameTheGroupTheyWouldTakeBackOrRepeat) {
  Load("");
  EXPECT_FALSE(Update(Cmd::EDIT_UNDO).enabled);
  EXPECT_FALSE(Update(Cmd::EDIT_REDO).enabled);
  EXPECT_EQ(UndoText(), "&Undo\tCtrl+Z");
  EXPECT_EQ(RedoText(), "&Redo\tCtrl+Y");
  Type("ab");
  EXPECT_TRUE(Update(Cmd::EDIT_UNDO).enabled);
  EXPECT_EQ(UndoText(), "&Undo Typing\tCtrl+Z");
  Key(Qt::Key_Return); // an indentation-free break: one more Typing group
  Key(Qt::Key_Backspace);
  EXPECT_EQ(UndoText(), "&Undo Backspace\tCtrl+Z");
  Key(Qt::Key_Backspace, Qt::AltModifier); // Alt+Backspace undoes too
  EXPECT_TRUE(Update(Cmd::EDIT_REDO).enabled);
  EXPECT_EQ(RedoText(), "&Redo Backspace\tCtrl+Y");
  EXPECT_EQ(UndoText(), "&Undo Typing\tCtrl+Z");

  // Toolbar buttons are only enabled, never relabelled.
  for (int id : {Cmd::EDIT_UNDO, Cmd::EDIT_REDO}) {
    const CCmdUIState button = Update(id, false);
    EXPECT_TRUE(button.enabled) << id;
    EXPECT_FALSE(button.text.has_value()) << id;
  }
}

TEST_F(Menus, TheOverwriteItemIsCheckedWhileOnAndOtherCommandsAreLeftAlone) {
  Load("x");
  EXPECT_FALSE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  int changes = 0;
  QObject::connect(view.get(), &CCrystalTextView::cursorChanged, [&] { ++changes; });
  view->OnCmdMsg(Cmd::EDIT_SWITCH_OVRMODE);
  EXPECT_TRUE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  EXPECT_GE(changes, 1); // the status bar hears of the new mode
  // The editing keys are always enabled; a command nobody in the view handles is left for
  // the document and the frames.
  for (int id : {Cmd::EDIT_DELETE, Cmd::EDIT_DELETE_BACK, Cmd::EDIT_TAB, Cmd::EDIT_UNTAB})
    EXPECT_TRUE(Update(id, false).enabled) << id;
  EXPECT_FALSE(view->OnCmdMsg(Cmd::BUILD_COMPILE));
  CCmdUIState unknown;
  EXPECT_FALSE(view->OnUpdateCmdUI(Cmd::BUILD_COMPILE, unknown));
}

} // namespace
