#include "view_key_table.h"

#include <iterator>

#include "command_ids.h"

namespace {
constexpr Qt::KeyboardModifiers NONE = Qt::NoModifier;
constexpr Qt::KeyboardModifiers SHIFT = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers CTRL = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers ALT = Qt::AltModifier;
constexpr Qt::KeyboardModifiers CTRL_SHIFT = Qt::ControlModifier | Qt::ShiftModifier;

const ViewKeyBinding kTable[] = {
    {Qt::Key_Left, NONE, Cmd::EDIT_CHAR_LEFT},
    {Qt::Key_Left, SHIFT, Cmd::EDIT_EXT_CHAR_LEFT},
    {Qt::Key_Left, CTRL, Cmd::EDIT_WORD_LEFT},
    {Qt::Key_Left, CTRL_SHIFT, Cmd::EDIT_EXT_WORD_LEFT},
    {Qt::Key_Right, NONE, Cmd::EDIT_CHAR_RIGHT},
    {Qt::Key_Right, SHIFT, Cmd::EDIT_EXT_CHAR_RIGHT},
    {Qt::Key_Right, CTRL, Cmd::EDIT_WORD_RIGHT},
    {Qt::Key_Right, CTRL_SHIFT, Cmd::EDIT_EXT_WORD_RIGHT},
    {Qt::Key_Up, NONE, Cmd::EDIT_LINE_UP},
    {Qt::Key_Up, SHIFT, Cmd::EDIT_EXT_LINE_UP},
    {Qt::Key_Up, CTRL, Cmd::EDIT_SCROLL_UP},
    {Qt::Key_Down, NONE, Cmd::EDIT_LINE_DOWN},
    {Qt::Key_Down, SHIFT, Cmd::EDIT_EXT_LINE_DOWN},
    {Qt::Key_Down, CTRL, Cmd::EDIT_SCROLL_DOWN},
    {Qt::Key_PageUp, NONE, Cmd::EDIT_PAGE_UP},
    {Qt::Key_PageUp, SHIFT, Cmd::EDIT_EXT_PAGE_UP},
    {Qt::Key_PageDown, NONE, Cmd::EDIT_PAGE_DOWN},
    {Qt::Key_PageDown, SHIFT, Cmd::EDIT_EXT_PAGE_DOWN},
    {Qt::Key_Home, NONE, Cmd::EDIT_HOME},
    {Qt::Key_Home, SHIFT, Cmd::EDIT_EXT_HOME},
    {Qt::Key_Home, CTRL, Cmd::EDIT_TEXT_BEGIN},
    {Qt::Key_Home, CTRL_SHIFT, Cmd::EDIT_EXT_TEXT_BEGIN},
    {Qt::Key_End, NONE, Cmd::EDIT_LINE_END},
    {Qt::Key_End, SHIFT, Cmd::EDIT_EXT_LINE_END},
    {Qt::Key_End, CTRL, Cmd::EDIT_TEXT_END},
    {Qt::Key_End, CTRL_SHIFT, Cmd::EDIT_EXT_TEXT_END},
    {Qt::Key_0, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 0},
    {Qt::Key_1, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 1},
    {Qt::Key_2, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 2},
    {Qt::Key_3, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 3},
    {Qt::Key_4, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 4},
    {Qt::Key_5, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 5},
    {Qt::Key_6, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 6},
    {Qt::Key_7, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 7},
    {Qt::Key_8, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 8},
    {Qt::Key_9, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK0 + 9},
    {Qt::Key_0, ALT, Cmd::EDIT_GO_BOOKMARK0 + 0},
    {Qt::Key_1, ALT, Cmd::EDIT_GO_BOOKMARK0 + 1},
    {Qt::Key_2, ALT, Cmd::EDIT_GO_BOOKMARK0 + 2},
    {Qt::Key_3, ALT, Cmd::EDIT_GO_BOOKMARK0 + 3},
    {Qt::Key_4, ALT, Cmd::EDIT_GO_BOOKMARK0 + 4},
    {Qt::Key_5, ALT, Cmd::EDIT_GO_BOOKMARK0 + 5},
    {Qt::Key_6, ALT, Cmd::EDIT_GO_BOOKMARK0 + 6},
    {Qt::Key_7, ALT, Cmd::EDIT_GO_BOOKMARK0 + 7},
    {Qt::Key_8, ALT, Cmd::EDIT_GO_BOOKMARK0 + 8},
    {Qt::Key_9, ALT, Cmd::EDIT_GO_BOOKMARK0 + 9},
    {Qt::Key_F2, NONE, Cmd::EDIT_GOTO_NEXT_BOOKMARK},
    {Qt::Key_F2, SHIFT, Cmd::EDIT_GOTO_PREV_BOOKMARK},
    {Qt::Key_F2, CTRL, Cmd::EDIT_TOGGLE_BOOKMARK},
    {Qt::Key_F2, CTRL_SHIFT, Cmd::EDIT_CLEAR_ALL_BOOKMARKS},
    {Qt::Key_A, CTRL, Cmd::EDIT_SELECT_ALL},
    {Qt::Key_C, CTRL, Cmd::EDIT_COPY},
    {Qt::Key_Insert, CTRL, Cmd::EDIT_COPY},
    {Qt::Key_X, CTRL, Cmd::EDIT_CUT},
    {Qt::Key_Delete, SHIFT, Cmd::EDIT_CUT},
    {Qt::Key_V, CTRL, Cmd::EDIT_PASTE},
    {Qt::Key_Insert, SHIFT, Cmd::EDIT_PASTE},
    {Qt::Key_Z, CTRL, Cmd::EDIT_UNDO},
    {Qt::Key_Backspace, ALT, Cmd::EDIT_UNDO},
    {Qt::Key_Y, CTRL, Cmd::EDIT_REDO},
    {Qt::Key_F, CTRL, Cmd::EDIT_FIND},
    {Qt::Key_H, CTRL, Cmd::EDIT_REPLACE},
    {Qt::Key_F3, NONE, Cmd::EDIT_REPEAT},
    {Qt::Key_F3, SHIFT, Cmd::EDIT_FIND_PREVIOUS},
    {Qt::Key_Delete, NONE, Cmd::EDIT_DELETE},
    {Qt::Key_Backspace, NONE, Cmd::EDIT_DELETE_BACK},
    {Qt::Key_Backspace, CTRL, Cmd::EDIT_DELETE_WORD_BACK},
    {Qt::Key_Tab, NONE, Cmd::EDIT_TAB},
    {Qt::Key_Tab, SHIFT, Cmd::EDIT_UNTAB},
    {Qt::Key_Insert, NONE, Cmd::EDIT_SWITCH_OVRMODE},
};
} // namespace

const ViewKeyBinding* ViewKeyTable(std::size_t& count) {
  count = std::size(kTable);
  return kTable;
}

int LookupViewKey(int key, Qt::KeyboardModifiers modifiers) {
  modifiers &= (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  // Shift+Tab reaches widgets as Backtab, with or without the Shift flag.
  if (key == Qt::Key_Backtab) {
    key = Qt::Key_Tab;
    modifiers |= Qt::ShiftModifier;
  }
  for (const ViewKeyBinding& binding : kTable) {
    if (binding.key == key && binding.modifiers == modifiers) return binding.command;
  }
  return 0;
}
