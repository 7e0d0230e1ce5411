#include "menu_table.h"

#include <iterator>

namespace {

constexpr int P = MENU_POPUP;

constexpr MenuEntry kMenu128[] = {
    {0, P, "&File"},
    {1, 57600, "&New\tCtrl+N"},
    {1, 57601, "&Open...\tCtrl+O"},
    {1, 0, nullptr},
    {1, 57606, "P&rint Setup..."},
    {1, 0, nullptr},
    {1, 57616, "Recent File"},
    {1, 0, nullptr},
    {1, 57665, "E&xit"},
    {0, P, "&View"},
    {1, 59392, "&Toolbar"},
    {1, 59393, "&Status Bar"},
    {1, P, "&Windows"},
    {2, 32786, "&Object Bar"},
    {2, 32787, "O&utput Bar"},
    {2, 32890, "&Problems Bar"},
    {1, 32850, "Sto&ry"},
    {1, 32851, "&Walkthroughs"},
    {1, 0, nullptr},
    {1, 32771, "O&ptions"},
    {0, P, "&Help"},
    {1, 57667, "&Help Topics"},
    {1, 0, nullptr},
    {1, 57664, "&About Torvane..."},
};

constexpr MenuEntry kMenu129[] = {
    {0, P, "&File"},
    {1, 57600, "&New\tCtrl+N"},
    {1, 57601, "&Open...\tCtrl+O"},
    {1, 57602, "&Close"},
    {1, 57603, "&Save\tCtrl+S"},
    {1, 57604, "Save &As..."},
    {1, P, "Reopen with &Encoding"},
    {2, 32870, "&UTF-8"},
    {2, 32871, "&ISO 8859-1 (Latin-1)"},
    {2, 32930, "ISO 8859-&2 (Latin-2)"},
    {2, 32931, "ISO 8859-&3 (Latin-3)"},
    {2, 32932, "ISO 8859-&4 (Latin-4)"},
    {2, 32933, "ISO 8859-&5 (Cyrillic)"},
    {2, 32934, "ISO 8859-&6 (Arabic)"},
    {2, 32935, "ISO 8859-&7 (Greek)"},
    {2, 32936, "ISO 8859-&8 (Hebrew)"},
    {2, 32937, "ISO 8859-&9 (Latin-5)"},
    {2, 32938, "&ASCII"},
    {2, 0, nullptr},
    {2, 32872, "As the &File Says"},
    {1, P, "Con&vert Encoding"},
    {2, 32873, "To &UTF-8"},
    {2, 32874, "To &ISO 8859-1 (Latin-1)"},
    {2, 32939, "To ISO 8859-&2 (Latin-2)"},
    {2, 32940, "To ISO 8859-&3 (Latin-3)"},
    {2, 32941, "To ISO 8859-&4 (Latin-4)"},
    {2, 32942, "To ISO 8859-&5 (Cyrillic)"},
    {2, 32943, "To ISO 8859-&6 (Arabic)"},
    {2, 32944, "To ISO 8859-&7 (Greek)"},
    {2, 32945, "To ISO 8859-&8 (Hebrew)"},
    {2, 32946, "To ISO 8859-&9 (Latin-5)"},
    {2, 32947, "To &ASCII"},
    {1, 0, nullptr},
    {1, 57607, "&Print...\tCtrl+P"},
    {1, 57609, "Print Pre&view"},
    {1, 57605, "Page Set&up..."},
    {1, 57606, "P&rint Setup..."},
    {1, 0, nullptr},
    {1, 57616, "Recent File"},
    {1, 0, nullptr},
    {1, 57665, "E&xit"},
    {0, P, "&Edit"},
    {1, 57643, "&Undo\tCtrl+Z"},
    {1, 57644, "&Redo\tCtrl+Y"},
    {1, 0, nullptr},
    {1, 57635, "Cu&t\tCtrl+X"},
    {1, 57634, "&Copy\tCtrl+C"},
    {1, 57637, "&Paste\tCtrl+V"},
    {1, 0, nullptr},
    {1, 57636, "&Find...\tCtrl+F"},
    {1, 57640, "Find &Next\tF3"},
    {1, 57641, "R&eplace...\tCtrl+H"},
    {1, 0, nullptr},
    {1, 32795, "&Go To...\tCtrl+G"},
    {1, 32840, "Go to &Definition\tF12"},
    {1, 32843, "Find &References\tShift+F12"},
    {1, 32900, "Complete &Word\tCtrl+Space"},
    {1, 32901, "Rena&me Symbol...\tCtrl+R, Ctrl+R"},
    {1, 32841, "&Back\tAlt+Left"},
    {1, 32842, "For&ward\tAlt+Right"},
    {0, P, "&View"},
    {1, 59392, "&Toolbar"},
    {1, 59393, "&Status Bar"},
    {1, P, "&Windows"},
    {2, 32786, "&Object Bar"},
    {2, 32787, "O&utput Bar"},
    {2, 32890, "&Problems Bar"},
    {1, 32850, "Sto&ry"},
    {1, 32851, "&Walkthroughs"},
    {1, 0, nullptr},
    {1, 32771, "O&ptions..."},
    {0, P, "&Insert"},
    {1, 32779, "New &Class"},
    {1, 32778, "New &Object"},
    {1, 0, nullptr},
    {1, 32780, "New &Room"},
    {1, 32781, "New &Function"},
    {1, 32782, "New &NPC"},
    {0, P, "&Project"},
    {1, 32775, "&New Project"},
    {1, 32860, "&Open Project..."},
    {1, 32772, "&Add File to Project"},
    {1, 32773, "&Delete File from Project"},
    {1, 0, nullptr},
    {1, 32774, "&Game Wizard"},
    {0, P, "&Build"},
    {1, 32776, "&Compile Project\tShift+F5"},
    {1, 32777, "&Run\tF5"},
    {1, 32852, "&Play\tCtrl+F6"},
    {1, 32853, "Run &Walkthroughs"},
    {1, 32854, "Walkthroughs after Co&mpile"},
    {1, 32796, "&Stop Build\tCtrl+Pause"},
    {1, 0, nullptr},
    {1, 32797, "Ne&xt Message\tF4"},
    {1, 32798, "Pre&vious Message\tShift+F4"},
    {1, 0, nullptr},
    {1, 32788, "Rebuild &Object Tree"},
    {0, P, "&Window"},
    {1, 57648, "&New Window"},
    {1, 57650, "&Cascade"},
    {1, 57651, "&Tile"},
    {1, 57649, "&Arrange Icons"},
    {1, 57653, "Sp&lit"},
    {1, 0, nullptr},
    {1, 32830, "Ta&bbed Documents"},
    {0, P, "&Help"},
    {1, 57667, "&Help Topics"},
    {1, 0, nullptr},
    {1, 57664, "&About Torvane..."},
};

constexpr MenuEntry kViewCM[] = {
    {0, 32840, "Go to &Definition\tF12"},
    {0, 32843, "Find &References\tShift+F12"},
    {0, 32901, "Rena&me Symbol...\tCtrl+R, Ctrl+R"},
    {0, 0, nullptr},
    {0, 57635, "Cu&t"},
    {0, 57634, "&Copy"},
    {0, 57637, "&Paste"},
    {0, 0, nullptr},
    {0, 32778, "Insert New &Object"},
    {0, 32781, "Insert New &Function"},
    {0, 0, nullptr},
    {0, 32789, "&Edit Object"},
};
constexpr MenuEntry kObjectCM[] = {
    {0, 32790, "&Jump to Definition"},
    {0, 32789, "&Edit Object"},
    {0, 0, nullptr},
    {0, 32778, "Insert New &Object"},
};
constexpr MenuEntry kFunctionCM[] = {
    {0, 32790, "&Jump to Definition"},
    {0, 0, nullptr},
    {0, 32781, "&Insert New Function"},
};
constexpr MenuEntry kClassCM[] = {
    {0, 32790, "&Jump to Definition"},
    {0, 0, nullptr},
    {0, 32779, "&Insert New Class"},
};

// Table 128, with the build keys Ctrl+Pause (Stop Build; the Break that X11 sends for it is
// caught by CBreakKeyFilter), F4 and Shift+F4 (next and previous
// compiler message), and with two keys the menus name and the table lacked: Shift+F5 (Compile, as the
// Build menu says, beside Ctrl+F5) and Ctrl+G (Go To, as the Edit menu says).
constexpr AcceleratorEntry kAccelerators[] = {
    {"Ctrl+N", 57600},      {"Ctrl+O", 57601},    {"Ctrl+S", 57603},
    {"Ctrl+P", 57607},      {"Ctrl+C", 57634},    {"Ctrl+Ins", 57634},
    {"Ctrl+X", 57635},      {"Shift+Del", 57635}, {"Ctrl+V", 57637},
    {"Shift+Ins", 57637},   {"Ctrl+Z", 57643},    {"Alt+Backspace", 57643},
    {"Ctrl+F", 57636},      {"F3", 57640},        {"Ctrl+H", 57641},
    {"F5", 32777},          {"Ctrl+F5", 32776},   {"Shift+F5", 32776},
    {"Ctrl+G", 32795},      {"F1", 57670},        {"Shift+F1", 57669},
    {"F6", 57680},          {"Shift+F6", 57681},  {"Ctrl+Pause", 32796},
    {"Ctrl+F6", 32852},
    {"F4", 32797},          {"Shift+F4", 32798},
    {"F12", 32840},         {"Alt+Left", 32841},  {"Alt+Right", 32842},
    {"Shift+F12", 32843},
    {"Ctrl+Space", 32900},  {"Ctrl+R, Ctrl+R", 32901},
};

constexpr int kToolbar[] = {57600, 57601, 57603, 0,     57635, 57634, 57637,
                            0,     57643, 57644, 0,     57636, 57640, 57641,
                            0,     32776, 32777, 32796, 32788, 32861, 0,  57664, 57669};

} // namespace

std::span<const MenuEntry> MenuResource(int menuId) {
  if (menuId == MENU_NO_DOCUMENT) return kMenu128;
  if (menuId == MENU_DOCUMENT) return kMenu129;
  return {};
}

std::span<const MenuEntry> ContextMenuResource(int popupIndex) {
  switch (popupIndex) {
  case 0: return kViewCM;
  case 1: return kObjectCM;
  case 2: return kFunctionCM;
  case 3: return kClassCM;
  default: return {};
  }
}

std::span<const AcceleratorEntry> MainAccelerators() { return kAccelerators; }
std::span<const int> MainToolbar() { return kToolbar; }
