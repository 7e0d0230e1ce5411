// Update handlers: the Undo and Redo menu texts, the overwrite check mark, the status
// indicators, and routing to the text view's own handlers.
#include "command_ids.h"
#include "edit_test_support.h"

using edittest::EditViewTest;

namespace {

class Menus : public EditViewTest<> {};

TEST_F(Menus, UndoAndRedoNameTheGroupTheyWouldTakeBackOrRepeat) {
  Load("");
  CCmdUIState undo = Update(Cmd::EDIT_UNDO);
  CCmdUIState redo = Update(Cmd::EDIT_REDO);
  EXPECT_FALSE(undo.enabled);
  EXPECT_FALSE(redo.enabled);
  EXPECT_EQ(undo.text.value_or(""), "&Undo\tCtrl+Z");
  EXPECT_EQ(redo.text.value_or(""), "&Redo\tCtrl+Y");

  Type("ab");
  undo = Update(Cmd::EDIT_UNDO);
  EXPECT_TRUE(undo.enabled);
  EXPECT_EQ(undo.text.value_or(""), "&Undo Typing\tCtrl+Z");

  Key(Qt::Key_Return); // an indentation-free break: one more Typing group
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Backspace\tCtrl+Z");

  Key(Qt::Key_Z, Qt::ControlModifier);
  redo = Update(Cmd::EDIT_REDO);
  EXPECT_TRUE(redo.enabled);
  EXPECT_EQ(redo.text.value_or(""), "&Redo Backspace\tCtrl+Y");
  EXPECT_EQ(Update(Cmd::EDIT_UNDO).text.value_or(""), "&Undo Typing\tCtrl+Z");
}

TEST_F(Menus, ToolbarButtonsAreOnlyEnabledNeverRelabelled) {
  Load("");
  Type("x");
  CCmdUIState button = Update(Cmd::EDIT_UNDO, false);
  EXPECT_TRUE(button.enabled);
  EXPECT_FALSE(button.text.has_value());
  button = Update(Cmd::EDIT_REDO, false);
  EXPECT_FALSE(button.enabled);
  EXPECT_FALSE(button.text.has_value());
}

TEST_F(Menus, AltBackspaceUndoesTooAndTheEditingKeysAreAlwaysEnabled) {
  Load("");
  Type("q");
  Key(Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(Text(), "");
  for (int id : {Cmd::EDIT_DELETE, Cmd::EDIT_DELETE_BACK, Cmd::EDIT_TAB, Cmd::EDIT_UNTAB})
    EXPECT_TRUE(Update(id, false).enabled) << id;
}

TEST_F(Menus, OverwriteCommandIsCheckedWhileOnAndLightsTheIndicator) {
  Load("x");
  EXPECT_FALSE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  EXPECT_FALSE(Update(Cmd::INDICATOR_OVR, false).enabled);
  int changes = 0;
  QObject::connect(view.get(), &CCrystalTextView::cursorChanged, [&] { ++changes; });
  view->OnCmdMsg(Cmd::EDIT_SWITCH_OVRMODE);
  EXPECT_TRUE(view->GetOverwriteMode());
  EXPECT_TRUE(Update(Cmd::EDIT_SWITCH_OVRMODE).checked);
  EXPECT_TRUE(Update(Cmd::EDIT_SWITCH_OVRMODE).enabled);
  EXPECT_TRUE(Update(Cmd::INDICATOR_OVR, false).enabled);
  EXPECT_GE(changes, 1); // the status bar hears of the new mode
}

TEST_F(Menus, ReadIndicatorFollowsTheBufferAndColIsNeverLit) {
  Load("x");
  EXPECT_FALSE(Update(Cmd::INDICATOR_READ, false).enabled);
  buffer->SetReadOnly(true);
  EXPECT_TRUE(Update(Cmd::INDICATOR_READ, false).enabled);
  EXPECT_FALSE(Update(Cmd::INDICATOR_COL, false).enabled);
  view->SetOverwriteMode(true);
  EXPECT_FALSE(Update(Cmd::INDICATOR_COL, false).enabled);
}

TEST_F(Menus, TheTextViewsCommandsStillWork) {
  Load("alpha beta");
  EXPECT_TRUE(view->OnCmdMsg(Cmd::EDIT_SELECT_ALL));
  EXPECT_TRUE(view->HasSelection());
  EXPECT_TRUE(Update(Cmd::EDIT_COPY, false).enabled);
  EXPECT_EQ(Update(Cmd::INDICATOR_POSITION, false).text.value_or(""), "Ln 1, Col 11");
  // A command nobody in the view handles is left for the document and the frames.
  EXPECT_FALSE(view->OnCmdMsg(Cmd::BUILD_COMPILE));
  CCmdUIState unknown;
  EXPECT_FALSE(view->OnUpdateCmdUI(Cmd::BUILD_COMPILE, unknown));
}

} // namespace
