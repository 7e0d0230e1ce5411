#pragma once
// Numeric command ids. They keep the values menus, toolbars, key tables and tests name them by.

namespace Cmd {
// Editing view (text view navigation, bookmarks, editing).
inline constexpr int EDIT_DELETE = 37000;
inline constexpr int EDIT_DELETE_BACK = 37001;
inline constexpr int EDIT_DELETE_WORD_BACK = 37002;
inline constexpr int EDIT_TAB = 37003;
inline constexpr int EDIT_UNTAB = 37004;
inline constexpr int EDIT_SWITCH_OVRMODE = 37005;

inline constexpr int EDIT_CHAR_LEFT = 37100;
inline constexpr int EDIT_EXT_CHAR_LEFT = 37101;
inline constexpr int EDIT_CHAR_RIGHT = 37102;
inline constexpr int EDIT_EXT_CHAR_RIGHT = 37103;
inline constexpr int EDIT_WORD_LEFT = 37104;
inline constexpr int EDIT_EXT_WORD_LEFT = 37105;
inline constexpr int EDIT_WORD_RIGHT = 37106;
inline constexpr int EDIT_EXT_WORD_RIGHT = 37107;
inline constexpr int EDIT_LINE_UP = 37108;
inline constexpr int EDIT_EXT_LINE_UP = 37109;
inline constexpr int EDIT_LINE_DOWN = 37110;
inline constexpr int EDIT_EXT_LINE_DOWN = 37111;
inline constexpr int EDIT_SCROLL_UP = 37112;
inline constexpr int EDIT_SCROLL_DOWN = 37113;
inline constexpr int EDIT_PAGE_UP = 37114;
inline constexpr int EDIT_EXT_PAGE_UP = 37115;
inline constexpr int EDIT_PAGE_DOWN = 37116;
inline constexpr int EDIT_EXT_PAGE_DOWN = 37117;
inline constexpr int EDIT_LINE_END = 37118;
inline constexpr int EDIT_EXT_LINE_END = 37119;
inline constexpr int EDIT_HOME = 37120;
inline constexpr int EDIT_EXT_HOME = 37121;
inline constexpr int EDIT_TEXT_BEGIN = 37122;
inline constexpr int EDIT_EXT_TEXT_BEGIN = 37123;
inline constexpr int EDIT_TEXT_END = 37124;
inline constexpr int EDIT_EXT_TEXT_END = 37125;
inline constexpr int EDIT_FIND_PREVIOUS = 37126;

inline constexpr int EDIT_TOGGLE_BOOKMARK0 = 37200; // ... 37209
inline constexpr int EDIT_GO_BOOKMARK0 = 37210;     // ... 37219
inline constexpr int EDIT_CLEAR_BOOKMARKS = 37220;
inline constexpr int EDIT_TOGGLE_BOOKMARK = 37223;
inline constexpr int EDIT_GOTO_NEXT_BOOKMARK = 37224;
inline constexpr int EDIT_GOTO_PREV_BOOKMARK = 37225;
inline constexpr int EDIT_CLEAR_ALL_BOOKMARKS = 37226;

// Standard commands.
inline constexpr int FILE_NEW = 57600;
inline constexpr int FILE_OPEN = 57601;
inline constexpr int FILE_CLOSE = 57602;
inline constexpr int FILE_SAVE = 57603;
inline constexpr int FILE_SAVE_AS = 57604;
inline constexpr int FILE_PAGE_SETUP = 57605;
inline constexpr int FILE_PRINT_SETUP = 57606;
inline constexpr int FILE_PRINT = 57607;
inline constexpr int FILE_PRINT_DIRECT = 57608;
inline constexpr int FILE_PRINT_PREVIEW = 57609;
inline constexpr int FILE_MRU_FILE1 = 57616; // ... 57619
inline constexpr int EDIT_COPY = 57634;
inline constexpr int EDIT_CUT = 57635;
inline constexpr int EDIT_FIND = 57636;
inline constexpr int EDIT_PASTE = 57637;
inline constexpr int EDIT_REPEAT = 57640;
inline constexpr int EDIT_REPLACE = 57641;
inline constexpr int EDIT_SELECT_ALL = 57642;
inline constexpr int EDIT_UNDO = 57643;
inline constexpr int EDIT_REDO = 57644;
inline constexpr int WINDOW_NEW = 57648;
inline constexpr int WINDOW_ARRANGE = 57649;
inline constexpr int WINDOW_CASCADE = 57650;
inline constexpr int WINDOW_TILE_HORZ = 57651;
inline constexpr int WINDOW_SPLIT = 57653;
inline constexpr int APP_ABOUT = 57664;
inline constexpr int APP_EXIT = 57665;
inline constexpr int HELP_FINDER = 57667;
inline constexpr int CONTEXT_HELP = 57669;
inline constexpr int HELP = 57670;
inline constexpr int NEXT_PANE = 57680;
inline constexpr int PREV_PANE = 57681;
// The Window menu's list of open windows: the first window, the next ones after it.
inline constexpr int WINDOW_FIRST_CHILD = 65280;

// Application, document and frame commands.
inline constexpr int VIEW_OPTIONS = 32771;
inline constexpr int PROJECT_ADD_FILE = 32772;
inline constexpr int PROJECT_DELETE_FILE = 32773;
inline constexpr int PROJECT_GAME_WIZARD = 32774;
inline constexpr int PROJECT_NEW = 32775;
inline constexpr int BUILD_COMPILE = 32776;
inline constexpr int BUILD_RUN = 32777;
inline constexpr int INSERT_OBJECT = 32778;
inline constexpr int INSERT_CLASS = 32779;
inline constexpr int INSERT_ROOM = 32780;
inline constexpr int INSERT_FUNCTION = 32781;
inline constexpr int INSERT_NPC = 32782;
inline constexpr int VIEW_OBJECT_BAR = 32786;
inline constexpr int VIEW_OUTPUT_BAR = 32787;
inline constexpr int BUILD_REBUILD_OBJECT_TREE = 32788;
inline constexpr int EDIT_OBJECT = 32789;
inline constexpr int JUMP_TO_DEFINITION = 32790;
inline constexpr int GOTO_LINE = 32795;
inline constexpr int BUILD_STOP = 32796;
inline constexpr int NEXT_MESSAGE = 32797;
inline constexpr int PREV_MESSAGE = 32798;
inline constexpr int WINDOW_TABBED = 32830;
inline constexpr int PROJECT_OPEN = 32860;
inline constexpr int BUILD_PROFILE = 32861; // the open project's profile: checked for Release
// Encodings of a document: read the file again in one, or convert the text to one.
inline constexpr int FILE_REOPEN_UTF8 = 32870;
inline constexpr int FILE_REOPEN_LATIN1 = 32871;
inline constexpr int FILE_REOPEN_AS_FILE_SAYS = 32872; // header, command line, then the bytes
inline constexpr int FILE_CONVERT_TO_UTF8 = 32873;
inline constexpr int FILE_CONVERT_TO_LATIN1 = 32874;
// The other character sets the compiler reads (-C2 ... -C9, -C0), in the same two menus:
// FILE_REOPEN_8859_2 + n - 2 reopens in ISO 8859-n, FILE_CONVERT_TO_8859_2 + n - 2 converts.
inline constexpr int FILE_REOPEN_8859_2 = 32930;   // ... 32937 for ISO 8859-9
inline constexpr int FILE_REOPEN_ASCII = 32938;
inline constexpr int FILE_CONVERT_TO_8859_2 = 32939; // ... 32946 for ISO 8859-9
inline constexpr int FILE_CONVERT_TO_ASCII = 32947;
// Language navigation.
inline constexpr int GO_TO_DEFINITION = 32840;
inline constexpr int NAVIGATE_BACK = 32841;
inline constexpr int NAVIGATE_FORWARD = 32842;
inline constexpr int FIND_REFERENCES = 32843;
// Completion and rename of the name at the caret.
inline constexpr int COMPLETE_WORD = 32900;
inline constexpr int RENAME_SYMBOL = 32901;
// Playing and testing the story.
inline constexpr int VIEW_STORY_BAR = 32850;
inline constexpr int VIEW_WALKTHROUGH_BAR = 32851;
inline constexpr int BUILD_PLAY = 32852;
inline constexpr int BUILD_RUN_WALKTHROUGHS = 32853;
inline constexpr int WALKTHROUGHS_AFTER_COMPILE = 32854;
// The Problems bar.
inline constexpr int VIEW_PROBLEMS_BAR = 32890;
inline constexpr int VIEW_TOOLBAR = 59392;
inline constexpr int VIEW_STATUS_BAR = 59393;

// Status bar indicator panes.
inline constexpr int INDICATOR_CAPS = 59137;
inline constexpr int INDICATOR_OVR = 59140;
inline constexpr int INDICATOR_COL = 59142;
inline constexpr int INDICATOR_POSITION = 59144;
inline constexpr int INDICATOR_READ = 59145;
inline constexpr int INDICATOR_CRLF = 59146;
// The library and version of the game of the active document.
inline constexpr int INDICATOR_LIBRARY = 59147;
inline constexpr int INDICATOR_ENCODING = 59148; // the active document's encoding
} // namespace Cmd
