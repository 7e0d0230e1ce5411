#pragma once
// Matching a search text against the lines of a text: the flags of the find commands, the
// word characters of whole-word matching, and a pattern prepared once per search so that
// every line is scanned in place. No widgets here: Qt Core only lends Unicode's letters and
// case folding.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text_encoding.h"

// Flags of a search, as the views remember them.
enum SearchFlags : uint32_t {
  SearchMatchCase = 0x1, // compare case-sensitively; otherwise both sides are case-folded
  SearchWholeWord = 0x2, // a match must not touch a word character on either side
  SearchUp = 0x10,       // toward the start of the text
};

// Word characters for whole-word matching: '_' and the letters, digits and combining marks
// of every script, so that "caf" is no whole word of "café" nor "дом" one of "дома".
bool IsSearchWordCode(char32_t c);
// The character a search that ignores case compares in place of c: its simple case folding
// ("É" and "é" give "é", "Σ", "σ" and "ς" give "σ"), where that takes as many UTF-8 bytes as
// c does (a match is as long as its pattern); c itself otherwise.
char32_t SearchFoldCode(char32_t c);
// Whether the character of line that starts at pos (that ends at pos, for Before) is a word
// character in encoding; false at the line's edges. Bytes that form no character are none.
bool IsSearchWordAt(std::string_view line, int pos, TextEncoding encoding);
bool IsSearchWordBefore(std::string_view line, int pos, TextEncoding encoding);

// A search text prepared for matching lines. Lines are scanned in place (no copy, no
// upper-cased duplicate): 16 places at a time are tested for the pattern's first and last
// byte, and only those candidates are compared in full, each byte folded through a table.
//
// An occurrence counts only when it lies wholly inside the part of the line being searched
// ([from, to)); for whole-word matching its neighbours are looked up in the whole line, so
// a search that starts in the middle of a word does not see a word start there.
class CSearchPattern {
public:
  // text is in the bytes of encoding, as the lines searched are.
  CSearchPattern(std::string_view text, uint32_t flags, TextEncoding encoding = ENC_DEFAULT);

  // An empty pattern never matches: it would "occur" everywhere with length 0.
  bool IsEmpty() const { return m_text.empty(); }
  int Length() const { return static_cast<int>(m_text.size()); }

  // The leftmost counting occurrence that starts at or after from and ends at or before to;
  // -1 when there is none. line holds length bytes.
  int FindInLine(const char* line, int length, int from, int to) const;
  // The rightmost counting occurrence inside [from, to) that starts before before; -1 when
  // there is none.
  int FindLastInLine(const char* line, int length, int from, int to, int before) const;

private:
  // Calls found(k) for each counting occurrence in [from, to), left to right, while it
  // returns true.
  template <typename Found>
  void Scan(const char* line, int length, int from, int to, Found found) const;
  // The whole pattern matches at at and, for whole-word matching, stands alone there.
  bool CountsAt(const char* line, int length, int at) const;
  bool IsWholeWordAt(const char* line, int length, int at) const;

  bool CharsMatchAt(std::string_view line, int at) const;

  std::string m_text; // folded through m_fold (not for a UTF-8 text compared by characters)
  bool m_wholeWord;
  TextEncoding m_encoding;
  std::array<unsigned char, 256> m_fold{}; // identity, or each byte's character folded
  // Ignoring case in UTF-8 a text with non-ASCII characters is compared a character at a
  // time: its characters folded, with their lengths in bytes.
  struct CPatternChar {
    char32_t code; // folded; for bytes that form no character, compared as bytes
    int offset;    // in m_text
    int length;
    bool escape;
  };
  std::vector<CPatternChar> m_chars;
  // Whether the 16-at-a-time test of first and last bytes finds every match: every byte that
  // folds to a key byte differs from it at most in the case bit.
  bool m_wideTest = true;
  // The candidate test: (byte | m_caseBit) against the first and last byte keys.
  unsigned char m_caseBit = 0;
  unsigned char m_firstKey = 0;
  unsigned char m_lastKey = 0;
};
