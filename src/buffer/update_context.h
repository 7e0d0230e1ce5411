#pragma once
#include <cstdint>

#include "text_position.h"

// Hints sent with every change notification.
inline constexpr uint32_t UPD_HORZ_EXTENT = 0x1;   // the width of the text may have changed
inline constexpr uint32_t UPD_LINE_COUNT = 0x2;    // the number of lines changed
inline constexpr uint32_t UPD_SINGLE_LINE = 0x100; // only the given line changed
inline constexpr uint32_t UPD_LINE_ATTR = 0x200;   // only the flags of the given line changed
inline constexpr uint32_t UPD_RESET = 0x1000;      // the whole text was replaced

// Passed with a text change so that each view can move every position it keeps.
struct UpdateContext {
  enum class Kind { Insertion, Deletion };

  Kind kind = Kind::Insertion;
  TextPosition start; // where the text went in / start of the removed range
  TextPosition end;   // just after the inserted text / end of the removed range

  static UpdateContext Insertion(TextPosition s, TextPosition e) { return {Kind::Insertion, s, e}; }
  static UpdateContext Deletion(TextPosition s, TextPosition e) { return {Kind::Deletion, s, e}; }

  // Moves pos across the change as described for the two kinds.
  void AdjustPosition(TextPosition& pos) const;
};
