#pragma once
#include <cstdint>
#include <compare>

// A place in the text: x is the byte index within the line (it may equal the line's length),
// y the line index; both zero-based. Ordered by line, then by character.
struct TextPosition {
  int32_t x = 0;
  int32_t y = 0;

  constexpr TextPosition() = default;
  constexpr TextPosition(int32_t cx, int32_t cy) : x(cx), y(cy) {}

  friend constexpr bool operator==(const TextPosition& a, const TextPosition& b) {
    return a.x == b.x && a.y == b.y;
  }
  friend constexpr std::strong_ordering operator<=>(const TextPosition& a, const TextPosition& b) {
    if (auto c = a.y <=> b.y; c != 0) return c;
    return a.x <=> b.x;
  }
};

// How lines end in the file. Automatic is an argument only: detect on load, keep on save.
enum class LineEndStyle : int32_t { Automatic = -1, Dos = 0, Unix = 1, Mac = 2 };

// The line end of a new text: LF alone, this platform's own.
inline constexpr LineEndStyle LINE_END_NEW_TEXT = LineEndStyle::Mac;

// Dos, Unix or Mac: a style lines can be written in (not Automatic, not a stray value).
inline bool IsConcreteLineEndStyle(LineEndStyle style) {
  return style == LineEndStyle::Dos || style == LineEndStyle::Unix || style == LineEndStyle::Mac;
}

// The style as users know it, by its bytes: "CRLF", "LFCR" or "LF"; "" for Automatic.
const char* LineEndStyleName(LineEndStyle style);
