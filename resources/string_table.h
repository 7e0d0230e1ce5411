#pragma once
// The program's string table: numeric string ids to their texts. The ids keep the values
// the rest of the system (menus, messages, undo descriptions) refers to them by.

namespace StringId {
// The main frame's title and the document template's description.
inline constexpr int FRAME_TITLE = 128;  // "Torvane (Inform Mode)"
inline constexpr int DOC_TEMPLATE = 129; // "\nInform\nNew File\nInform Files (*.inf)\n.inf\n..."
// A search that found nothing; %s is the search text.
inline constexpr int FIND_NOT_FOUND = 8606; // "Cannot find string\"%s\""
// Undo and redo menu texts.
inline constexpr int UNDO_MENU = 8615;          // "&Undo %s\tCtrl+Z"
inline constexpr int REDO_MENU = 8616;          // "&Redo %s\tCtrl+Y"
inline constexpr int UNDO_MENU_DISABLED = 8617; // "&Undo\tCtrl+Z"
// Undo action descriptions, indexed through the undo action table.
inline constexpr int ACTION_UNKNOWN = 8619;
inline constexpr int ACTION_PASTE = 8620;
inline constexpr int ACTION_DELETE_SELECTION = 8621;
inline constexpr int ACTION_CUT = 8622;
inline constexpr int ACTION_DELETE = 8623;
inline constexpr int ACTION_TYPING = 8624;
inline constexpr int ACTION_BACKSPACE = 8625;
inline constexpr int ACTION_INDENT = 8626;
inline constexpr int ACTION_DRAG_AND_DROP = 8627;
inline constexpr int ACTION_REPLACE = 8628;
inline constexpr int ACTION_AUTO_INDENT = 8629;
inline constexpr int ACTION_INSERT = 8630;
inline constexpr int ACTION_CONVERT_ENCODING = 32948;
inline constexpr int RENAME_FIELDS = 32949; // the labels of the new name and of the changes
// Rename Symbol: its dialog, its refusals and its questions.
inline constexpr int RENAME_NO_NAME = 8900;
inline constexpr int RENAME_TITLE = 8901;
inline constexpr int RENAME_UNCHANGED = 8902;
inline constexpr int RENAME_BAD_NAME = 8903;
inline constexpr int RENAME_TOO_LONG = 8904;
inline constexpr int RENAME_RESERVED = 8905;
inline constexpr int RENAME_NOT_DEFINED = 8906;
inline constexpr int RENAME_LIBRARY_DEFINED = 8907;
inline constexpr int RENAME_LIBRARY_USED = 8908;
inline constexpr int RENAME_ACTION_ROUTINE = 8909;
inline constexpr int RENAME_CLASH_DEFINED = 8910;
inline constexpr int RENAME_CLASH_USED = 8911;
inline constexpr int RENAME_LOCAL = 8912;
inline constexpr int RENAME_STALE = 8913;
inline constexpr int RENAME_SAVE_CLOSED = 8914;
inline constexpr int RENAME_WRITE_FAILED = 8915;
inline constexpr int RENAME_READ_ONLY = 8916;
inline constexpr int RENAME_FILE_COLUMN = 8917;
inline constexpr int RENAME_LINE_COLUMN = 8918;
inline constexpr int RENAME_TEXT_COLUMN = 8919;
inline constexpr int RENAME_BUTTON = 8920;
inline constexpr int RENAME_NOT_OPEN = 8921;
// What Replace All did; %1 is the number of replacements.
inline constexpr int REPLACED_ONE = 8640;  // "1 occurrence replaced"
inline constexpr int REPLACED_MANY = 8641; // "%1 occurrences replaced"
// The Problems bar and the hover tip.
inline constexpr int PROBLEMS_BAR_TITLE = 32892;     // "Problems Bar"
inline constexpr int PROBLEMS_COLUMNS = 32893;       // "Severity\nFile\nLine\nText"
inline constexpr int PROBLEMS_SEVERITIES = 32894;    // "Error\nWarning"
inline constexpr int PROBLEMS_SUMMARY = 32895;       // "Errors: %1  Warnings: %2"
inline constexpr int PROBLEMS_SHOW_WARNINGS = 32896; // "Show &Warnings"
inline constexpr int HOVER_DEFINED_AT = 32897;       // "%1, line %2"
inline constexpr int HOVER_RELATIONS = 32898;        // "in %1\nof class %1\nthe first of %1 ..."
// The application's name.
inline constexpr int APP_NAME = 57344;
// The status bar's prompt while nothing else is shown.
inline constexpr int IDLE_MESSAGE = 57345; // "For Help, press F1"
} // namespace StringId

// The text of a string id, or nullptr when the table has no such string.
const char* LoadStringResource(int id);
