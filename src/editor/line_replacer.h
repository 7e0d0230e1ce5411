#pragma once
// Replace All's work on one line: the matches from a column on, and the text that takes the
// place of the stretch they cover, built in one pass, so that a line with many matches is
// changed once rather than once per match (each change moves the whole rest of the line).
// Plain C++: no Qt here.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "search_pattern.h"
#include "text_position.h"

class CLineReplacer {
public:
  // text and replacement are in the bytes of encoding, as the lines are.
  CLineReplacer(std::string_view text, uint32_t flags, std::string_view replacement,
                TextEncoding encoding = ENC_DEFAULT);

  bool IsEmpty() const { return m_raw.IsEmpty(); }

  // Finds the stretch [Start(), End()) of line that holds the matches at or after from that
  // end at or before to, as replacing them one after the other would find them: each search
  // resumes after the previous replacement, and a whole-word match right after it sees the
  // replacement's last character as its neighbour. False when there is no match.
  //
  // A stretch stops short of a match when the text between it and the previous one holds a
  // CR (put back through the buffer, a CR would become a line break), when a CR and an LF
  // would meet where the pieces join (they would become one CR LF break), and when one of the
  // columns in keep lies from the previous match's end to the next match's end: a position
  // kept elsewhere must land where one-by-one replacement would put it, and a change moves
  // a position inside it to its start.
  bool Build(const char* line, int length, int from, int to, std::span<const int> keep);

  int Start() const { return m_start; }
  int End() const { return m_end; }
  int Count() const { return m_count; }
  // What replaces the stretch, and where its last replacement begins in it.
  const std::string& Text() const { return m_text; }
  int LastOffset() const { return m_lastOffset; }

private:
  bool StandsAlone(const char* line, int length, int at) const;
  bool MustStopBefore(const char* line, int at, std::span<const int> keep) const;

  CSearchPattern m_raw; // the search without whole-word matching, which is done here
  bool m_wholeWord;
  TextEncoding m_encoding;
  std::string m_replacement;
  int m_start = -1;
  int m_end = -1;
  int m_count = 0;
  int m_lastOffset = 0;
  std::string m_text;
};

// Where p ends up after text (line breaks CR, CR LF) is inserted at p.
TextPosition PositionAfterText(TextPosition p, std::string_view text);
// Moves p across the replacement of [start, end) (one line) by text ending at after: a
// position at or after end follows the text after it, one inside goes to start.
void MoveAcrossReplacement(TextPosition& p, TextPosition start, TextPosition end,
                           TextPosition after);
