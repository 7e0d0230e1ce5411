#include "update_context.h"

void UpdateContext::AdjustPosition(TextPosition& pos) const {
  const int32_t lines = end.y - start.y;
  if (kind == Kind::Insertion) {
    if (pos.y > start.y) {
      pos.y += lines;
    } else if (pos.y == start.y && pos.x > start.x) {
      pos.x = end.x + (pos.x - start.x);
      pos.y += lines;
    }
    return;
  }
  // Deletion of [start, end).
  if (pos.y < start.y) return;
  if (pos.y > end.y) {
    pos.y -= lines;
  } else if (pos.y == end.y && pos.x >= end.x) {
    pos.x = start.x + (pos.x - end.x);
    pos.y = start.y;
  } else if (pos.y == start.y && pos.x <= start.x) {
    // Before the range on its first line: unchanged.
  } else {
    pos = start;
  }
}
