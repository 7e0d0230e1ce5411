#pragma once
// Character classes, the token classifier and the two keyword lists of the Inform colouring.
#include <array>
#include <cstdint>
#include <span>

// Character class bits. Bytes 0x80-0xFF are word characters: every byte of a UTF-8
// sequence is one, so a word never ends inside a character and a name written with
// accented letters ("café", in ISO 8859-n or UTF-8) colours as one word.
enum : uint8_t {
  INFORM_CHAR_SPACE = 0x1,   // blank, tab, LF, VT, FF, CR
  INFORM_CHAR_WORD = 0x2,    // ASCII letters and digits, '_', '#', '$', bytes 0x80-0xFF
  INFORM_CHAR_DIGIT = 0x4,   // '0'-'9'
  INFORM_CHAR_SPECIAL = 0x8, // ends a run of routine text: ']', '\'', '"', '!'
};

extern const std::array<uint8_t, 256> g_informCharClass;

inline bool IsInformSpace(unsigned char c) { return (g_informCharClass[c] & INFORM_CHAR_SPACE) != 0; }
inline bool IsInformWordChar(unsigned char c) { return (g_informCharClass[c] & INFORM_CHAR_WORD) != 0; }
inline bool IsInformDigit(unsigned char c) { return (g_informCharClass[c] & INFORM_CHAR_DIGIT) != 0; }

// Token codes. A word's code is 0x8000 + (its length, at most 127) * 0x100 + a low byte that
// is non-zero only along the spellings of "with", "has" and "class".
inline constexpr uint32_t TOKEN_HASH = 0x0;
inline constexpr uint32_t TOKEN_ARROW = 0x2;
inline constexpr uint32_t TOKEN_STAR = 0x3;
inline constexpr uint32_t TOKEN_OTHER = 0xFF;
inline constexpr uint32_t TOKEN_DASH_AT_LINE_END = 0x8001;
inline constexpr uint32_t TOKEN_WORD_MIN = 0x8100;
inline constexpr uint32_t TOKEN_WITH = 0x8404;
inline constexpr uint32_t TOKEN_HAS = 0x8313;
inline constexpr uint32_t TOKEN_CLASS = 0x8525;
inline constexpr int TOKEN_MAX_COUNTED_LENGTH = 127;

// The code of the word text[0 .. length-1] (length >= 1, all word characters). Letter case
// counts only for the three keywords; a word longer than the length byte can count is never
// one of them.
inline uint32_t InformWordCode(const char* text, int length) {
  const uint32_t counted =
      static_cast<uint32_t>(length > TOKEN_MAX_COUNTED_LENGTH ? TOKEN_MAX_COUNTED_LENGTH : length);
  const char* keyword;
  int keywordLength;
  uint32_t firstLow;
  switch (static_cast<unsigned char>(text[0]) | 0x20) {
  case 'w': keyword = "with"; keywordLength = 4; firstLow = 0x01; break;
  case 'h': keyword = "has"; keywordLength = 3; firstLow = 0x11; break;
  case 'c': keyword = "class"; keywordLength = 5; firstLow = 0x21; break;
  default: return 0x8000 | (counted << 8);
  }
  int matched = 1;
  while (matched < keywordLength && matched < length &&
         (static_cast<unsigned char>(text[matched]) | 0x20) == static_cast<unsigned char>(keyword[matched]))
    ++matched;
  // On the keyword's path the low byte follows it; a character off the path drops it to 0,
  // while characters after the whole keyword keep it.
  const uint32_t low =
      (matched == length || matched == keywordLength) ? firstLow + static_cast<uint32_t>(matched - 1) : 0;
  return 0x8000 | (counted << 8) | low;
}

// Classifies the token that starts at the non-space character text[i] (i < length); sets end
// to the index of its last character and returns its code. Reads nothing at or past length.
inline uint32_t ClassifyInformToken(const char* text, int i, int length, int& end) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  end = i;
  if (c == '#') return TOKEN_HASH;
  if (c == '*') return TOKEN_STAR;
  if (c == '-') {
    if (i + 1 >= length) return TOKEN_DASH_AT_LINE_END;
    if (text[i + 1] == '>') {
      end = i + 1;
      return TOKEN_ARROW;
    }
    return TOKEN_OTHER;
  }
  if (!IsInformWordChar(c)) return TOKEN_OTHER;
  int j = i + 1;
  while (j < length && IsInformWordChar(static_cast<unsigned char>(text[j]))) ++j;
  end = j - 1;
  return InformWordCode(text + i, j - i);
}

// Whole-word, case-sensitive keyword tests on the word text[0 .. length-1].
bool IsStatementKeyword(const char* text, int length); // the 53 statement keywords
bool IsDirectiveModifier(const char* text, int length); // the 9 directive modifiers
// The two lists themselves, in their order (the help checks that it explains every word).
std::span<const char* const> StatementKeywords();
std::span<const char* const> DirectiveModifiers();
