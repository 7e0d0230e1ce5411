#pragma once
// Matching a search text against the lines of a text: the flags of the find commands, the
// word characters of whole-word matching, and a pattern prepared once per search so that
// every line is scanned in place. Plain C++: no Qt here.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Flags of a search, as the views remember them.
enum SearchFlags : uint32_t {
  SearchMatchCase = 0x1, // compare case-sensitively; otherwise both sides are upper-cased
  SearchWholeWord = 0x2, // a match must not touch a word character on either side
  SearchUp = 0x10,       // toward the start of the text
};

// Word characters for whole-word matching: A-Z, a-z, 0-9, '_' and the letters of ISO 8859-1
// (the character set the text is shown in), so that "caf" is no whole word of "café".
bool IsSearchWordChar(unsigned char c);
// Upper case in ISO 8859-1: a-z and the accented small letters; ß, ÿ and the rest stay.
unsigned char SearchUpperCase(unsigned char c);

// A search text prepared for matching lines. Lines are scanned in place (no copy, no
// upper-cased duplicate): 16 places at a time are tested for the pattern's first and last
// byte, and only those candidates are compared in full, each byte folded through a table.
//
// An occurrence counts only when it lies wholly inside the part of the line being searched
// ([from, to)); for whole-word matching its neighbours are looked up in the whole line, so
// a search that starts in the middle of a word does not see a word start there.
class CSearchPattern {
public:
  CSearchPattern(std::string_view text, uint32_t flags);

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

  std::string m_text; // upper-cased unless matching case
  bool m_wholeWord;
  std::array<unsigned char, 256> m_fold{}; // identity, or upper case
  // The candidate test: (byte | m_caseBit) against the first and last byte keys.
  unsigned char m_caseBit = 0;
  unsigned char m_firstKey = 0;
  unsigned char m_lastKey = 0;
};
