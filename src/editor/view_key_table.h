#pragma once
#include <Qt>
#include <cstddef>

// The editor view's own key table (resource 22901): key and modifiers to a command id. The
// view consults it before any other key handling; a key found here is consumed.
inline constexpr int VIEW_KEY_TABLE_ID = 22901;

struct ViewKeyBinding {
  int key;                         // Qt::Key
  Qt::KeyboardModifiers modifiers; // exactly these of Shift, Ctrl, Alt
  int command;
};

// The whole table, in its established order.
const ViewKeyBinding* ViewKeyTable(std::size_t& count);

// The command for a key press, 0 when the table has none. Keypad and meta modifiers are
// ignored; Shift+Tab may arrive as Backtab.
int LookupViewKey(int key, Qt::KeyboardModifiers modifiers);
