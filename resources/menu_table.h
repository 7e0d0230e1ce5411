#pragma once
#include <cstddef>
#include <span>

// The program's menus, accelerator table and toolbar as plain tables. Menu items name their
// command ids; the window turns them into QActions through the command binder.

// One entry of a menu: a pop-up (id MENU_POPUP, its items follow one level deeper), a
// separator (id 0) or an item.
inline constexpr int MENU_POPUP = -1;
struct MenuEntry {
  int depth; // 0 for the menu bar's pop-ups
  int id;
  const char* text;
};

inline constexpr int MENU_NO_DOCUMENT = 128; // shown while no document is open
inline constexpr int MENU_DOCUMENT = 129;    // shown while one is
inline constexpr int MENU_CONTEXT = 143;     // pop-ups of the context menus

// The entries of menu 128 or 129; empty for any other id.
std::span<const MenuEntry> MenuResource(int menuId);
// The items of pop-up index of the context menu resource 143: 0 "ViewCM", 1 "ObjectCM",
// 2 "FunctionCM", 3 "ClassCM" (all at depth 0).
std::span<const MenuEntry> ContextMenuResource(int popupIndex);

// Accelerator table 128: key in the form of QKeySequence::fromString ("Ctrl+F5").
struct AcceleratorEntry {
  const char* key;
  int command;
};
std::span<const AcceleratorEntry> MainAccelerators();

// Toolbar 128: buttons of 16 x 15 pixels; 0 is a separator.
inline constexpr int TOOLBAR_BUTTON_WIDTH = 16;
inline constexpr int TOOLBAR_BUTTON_HEIGHT = 15;
std::span<const int> MainToolbar();
