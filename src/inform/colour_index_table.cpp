// The 18 colour indices: settings key names, options-page names and default styles.
#include "colouring.h"

namespace {

// COLORREF is 0x00BBGGRR.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Stand-ins for the desktop's window, window-text and scroll-bar colours; the style table
// replaces them with the palette's colours when a GUI application is running.
constexpr uint32_t SYSTEM_WINDOW = Rgb(255, 255, 255);
constexpr uint32_t SYSTEM_WINDOW_TEXT = Rgb(0, 0, 0);
constexpr uint32_t SYSTEM_SCROLL_BAR = Rgb(200, 200, 200);

constexpr ColourIndexInfo kColourIndices[COLORINDEX_COUNT] = {
    {"Whitespace", "DUMMY", SYSTEM_WINDOW, false, false},
    {"Background", "DUMMY", SYSTEM_WINDOW, false, false},
    {"NormalText", "DUMMY", SYSTEM_WINDOW_TEXT, false, false},
    {"SelMargin", "DUMMY", SYSTEM_SCROLL_BAR, false, false},
    {"SelBackground", "DUMMY", Rgb(0, 0, 0), false, false},
    {"SelText", "DUMMY", Rgb(255, 255, 255), false, false},
    {"Comment", "Comments", Rgb(128, 128, 128), false, false},
    {"QuotedText", "Quoted Text", Rgb(255, 0, 0), false, false},
    {"Function", "Function Names", Rgb(0, 0, 255), false, false},
    {"Code", "Code", Rgb(0, 0, 128), false, false},
    {"Foreground", "Foreground Text", Rgb(0, 0, 128), false, false},
    {"Directive", "Directives", Rgb(0, 0, 0), false, false},
    {"Property", "Property Names", Rgb(0, 0, 255), false, false},
    {"Escape", "Escape Codes", Rgb(128, 0, 128), false, false},
    {"Assembly", "Assembly Code", Rgb(128, 128, 0), false, false},
    {"CodeAlpha", "Identifiers", Rgb(0, 128, 0), false, false},
    {"DUMMY1", "DUMMY", 0, false, false},
    {"DUMMY2", "DUMMY", 0, false, false},
};

// Answered for an index outside the table, so that a bad index reads a harmless record
// instead of memory beyond the table.
constexpr ColourIndexInfo kUnknownIndex = {"", "DUMMY", 0, false, false};

} // namespace

const ColourIndexInfo& GetColourIndexInfo(int index) {
  if (index < 0 || index >= COLORINDEX_COUNT) return kUnknownIndex;
  return kColourIndices[index];
}
