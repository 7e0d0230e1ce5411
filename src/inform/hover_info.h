#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "language_index.h"

// What a pause of the mouse over a name shows: the definition the name leads to (the one Go to
// Definition would take first), its parent or class, and the comment lines just above it.
struct CHoverInfo {
  EIndexKind kind = EIndexKind::Object;
  std::string name;
  int file = -1;
  int line = 0;                      // 0-based
  std::string parent;                // an object's parent; empty when none
  std::string ofClass;               // an object's class, or the class a class property is of
  std::vector<std::string> comments; // without their "!", top line first
  int definitions = 0;               // how many there are to choose from
};

// Reads line of file (0-based) into text; false when there is no such line.
using IndexLineReader = std::function<bool(int file, int line, std::string& text)>;

// The hover of the name at (line, col) of file; nothing off a name or for a name without a
// definition. At most MAX_HOVER_COMMENT_LINES comment lines are kept: the nearest ones.
inline constexpr int MAX_HOVER_COMMENT_LINES = 12;
std::optional<CHoverInfo> HoverAt(const CLanguageIndex& index, int file, int line, int col, const IndexLineReader& readLine);
