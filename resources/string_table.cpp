#include "string_table.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
  int id;
  const char* text;
};

// Sorted by id; later subsystems add their strings here. A command's string is its
// status-bar prompt, then after a line break its tool tip.
constexpr StringEntry kStrings[] = {
    {StringId::FRAME_TITLE, "Torvane (Inform Mode)"},
    {StringId::DOC_TEMPLATE, "\nInform\nNew File\nInform Files (*.inf)\n.inf\nTorvane.Document\nInform File"},
    {StringId::FIND_NOT_FOUND, "Cannot find string\"%s\""},
    {StringId::UNDO_MENU, "&Undo %s\tCtrl+Z"},
    {StringId::REDO_MENU, "&Redo %s\tCtrl+Y"},
    {StringId::UNDO_MENU_DISABLED, "&Undo\tCtrl+Z"},
    {StringId::ACTION_UNKNOWN, "Unknown"},
    {StringId::ACTION_PASTE, "Paste"},
    {StringId::ACTION_DELETE_SELECTION, "Delete Selection"},
    {StringId::ACTION_CUT, "Cut"},
    {StringId::ACTION_DELETE, "Delete"},
    {StringId::ACTION_TYPING, "Typing"},
    {StringId::ACTION_BACKSPACE, "Backspace"},
    {StringId::ACTION_INDENT, "Indent"},
    {StringId::ACTION_DRAG_AND_DROP, "Drag And Drop"},
    {StringId::ACTION_REPLACE, "Replace"},
    {StringId::ACTION_AUTO_INDENT, "Auto Indent"},
    {StringId::ACTION_INSERT, "Insert"},
    {StringId::REPLACED_ONE, "1 occurrence replaced"},
    {StringId::REPLACED_MANY, "%1 occurrences replaced"},
    {32772, "Add a file to the project\nAdd File to Project"},
    {32773, "Remove the active file from the project (the file stays on the disk)\nDelete File from Project"},
    {32774, "Create a new game from a template\nGame Wizard"},
    {32775, "Make a project of the active game\nNew Project"},
    {32776, "Compile project\nCompile"},
    {32777, "Run program in interpreter\nRun"},
    {32778, "Insert new Object into Project\nNew Object"},
    {32779, "Insert new Class into Project\nNew Class"},
    {32780, "Insert new Room into Project\nNew Room"},
    {32781, "Insert new Function into Project\nNew Function"},
    {32782, "Insert new Non-player character into Project\nNew NPC"},
    {32786, "Show or hide the Object Bar\nToggle Object Bar"},
    {32787, "Show or hide the Output Bar\nToggle Output Bar"},
    {32788, "Rebuild object database and refresh object viewer\nRebuild Object Tree"},
    {32789, "Edit existing object definition\nEdit Object"},
    {32790, "Jump to definition in project\nJump to definition"},
    {32795, "Go to specified line\nGo to line"},
    {32796, "Stop the compiler that is running\nStop Build"},
    {32797, "Go to the line of the next compiler message\nNext Message"},
    {32798, "Go to the line of the previous compiler message\nPrevious Message"},
    {32830, "Show the documents as tabs instead of separate windows\nTabbed Documents"},
    {32850, "Show or hide the Story bar\nToggle Story Bar"},
    {32851, "Show or hide the Walkthroughs bar\nToggle Walkthroughs Bar"},
    {32852, "Build when out of date, then play the story in the Story bar\nPlay"},
    {32853, "Replay every walkthrough and compare it with its accepted transcript\nRun Walkthroughs"},
    {32854, "Run the walkthroughs after every compile that rewrites the story\nWalkthroughs after Compile"},
    {32860, "Open an existing project\nOpen Project"},
    {32861, "Build the project's Release profile (unchecked: its Debug profile)\nRelease Profile"},
    {32870, "Read the file again as UTF-8\nReopen as UTF-8"},
    {32871, "Read the file again as ISO 8859-1 (Latin-1)\nReopen as ISO 8859-1"},
    {32872, "Read the file again in the encoding its header, the compiler switches or its bytes name\nReopen as the File Says"},
    {32873, "Convert the text to UTF-8 (the file is written as UTF-8 when saved)\nConvert to UTF-8"},
    {32874, "Convert the text to ISO 8859-1, reporting characters it cannot hold\nConvert to ISO 8859-1"},
    {StringId::APP_NAME, "Torvane"},
    {StringId::IDLE_MESSAGE, "For Help, press F1"},
    {57600, "Create a new document\nNew"},
    {57601, "Open an existing document\nOpen"},
    {57602, "Close the active document\nClose"},
    {57603, "Save the active document\nSave"},
    {57604, "Save the active document with a new name\nSave As"},
    {57605, "Change the page margins and the printed font size\nPage Setup"},
    {57606, "Change the printer and printing options\nPrint Setup"},
    {57607, "Print the active document\nPrint"},
    {57609, "Display full pages\nPrint Preview"},
    {57616, "Open this document"},
    {57617, "Open this document"},
    {57618, "Open this document"},
    {57619, "Open this document"},
    {57634, "Copy the selection and put it on the Clipboard\nCopy"},
    {57635, "Cut the selection and put it on the Clipboard\nCut"},
    {57636, "Find the specified text\nFind"},
    {57637, "Insert Clipboard contents\nPaste"},
    {57640, "Repeat the last action\nRepeat"},
    {57641, "Replace specific text with different text\nReplace"},
    {57643, "Undo the last action\nUndo"},
    {57644, "Redo the previously undone action\nRedo"},
    {57648, "Open another window for the active document\nNew Window"},
    {57649, "Arrange icons at the bottom of the window\nArrange Icons"},
    {57650, "Arrange windows so they overlap\nCascade Windows"},
    {57651, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {57653, "Split the active window into panes\nSplit"},
    {57664, "Display program information, version number and copyright\nAbout"},
    {57665, "Quit the application; prompts to save documents\nExit"},
    {57667, "List Help topics\nHelp Topics"},
    {57669, "Display help for clicked on buttons, menus and windows\nHelp"},
    {57670, "Display help for current task or command\nHelp"},
    {57680, "Switch to the next window pane\nNext Pane"},
    {57681, "Switch back to the previous window pane\nPrevious Pane"},
    {59392, "Show or hide the toolbar\nToggle ToolBar"},
    {59393, "Show or hide the status bar\nToggle StatusBar"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }),
              "the string table must stay sorted by id");

} // namespace

const char* LoadStringResource(int id) {
  auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                             [](const StringEntry& e, int wanted) { return e.id < wanted; });
  return (it != std::end(kStrings) && it->id == id) ? it->text : nullptr;
}
