#include "string_table.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
  int id;
  const char* text;
};

// Sorted by id; later subsystems add their strings here.
constexpr StringEntry kStrings[] = {
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
    {StringId::APP_NAME, "Torvane"},
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
