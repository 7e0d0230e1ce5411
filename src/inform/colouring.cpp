// The Inform line colouring: a first pass that follows comments, strings, routines and object
// bodies and carries them across lines in the cookie, and a second pass (only when runs are
// wanted) for escapes, assembly opcodes and the two keyword lists.
#include "colouring.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <type_traits>

#include "word_classifier.h"

namespace {

// Where the passes put their colours. The first pass only fills ranges; the second pass also
// reads the colour at a position and sets single ones.
//  - CStateOnly: no colours, the cookie alone.
//  - CRunSink: one run per character of the whole line.
//  - CSpanSink: the colours of the characters [m_low, m_high) only, one byte each; the first
//    pass may stop once it is past them.
struct CStateOnly {
  static constexpr bool WRITES = false;
  void Fill(int, int, int) {}
};

struct CRunSink {
  static constexpr bool WRITES = true;
  StyleRun* m_runs;
  void Fill(int from, int to, int colour) {
    for (int k = from; k < to; ++k) {
      m_runs[k].charPos = k;
      m_runs[k].colourIndex = colour;
    }
  }
  int Colour(int i) const { return m_runs[i].colourIndex; }
  void Set(int i, int colour) { m_runs[i].colourIndex = colour; }
};

struct CSpanSink {
  static constexpr bool WRITES = true;
  uint8_t* m_colours; // m_colours[0] is the colour of character m_low
  int m_low;
  int m_high;
  void Fill(int from, int to, int colour) {
    if (from < m_low) from = m_low;
    if (to > m_high) to = m_high;
    if (from < to) std::memset(m_colours + (from - m_low), colour, static_cast<size_t>(to - from));
  }
  int Colour(int i) const { return m_colours[i - m_low]; }
  void Set(int i, int colour) {
    if (i >= m_low && i < m_high) m_colours[i - m_low] = static_cast<uint8_t>(colour);
  }
};

inline bool IsSpecialInRoutine(unsigned char c) {
  return (g_informCharClass[c] & INFORM_CHAR_SPECIAL) != 0;
}

// The state change and colour of a token outside routines.
inline int ColourOutsideRoutine(uint32_t code, unsigned char first, uint32_t& state) {
  if (code == TOKEN_ARROW || code == TOKEN_STAR) {
    state |= COOKIE_OBJECT_BODY;
    return COLORINDEX_DIRECTIVE;
  }
  if (code == TOKEN_WITH) {
    state = (state | COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY) & ~COOKIE_ATTRIBUTES;
    return COLORINDEX_DIRECTIVE;
  }
  if (code == TOKEN_HAS || code == TOKEN_CLASS) {
    state = (state | COOKIE_OBJECT_BODY | COOKIE_ATTRIBUTES) & ~COOKIE_EXPECT_PROPERTY;
    return COLORINDEX_DIRECTIVE;
  }
  if (code == TOKEN_OTHER && first == ';') {
    state = (state | COOKIE_STATEMENT_START) &
            ~(COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY | COOKIE_ATTRIBUTES | COOKIE_ROUTINE_NAME);
    return COLORINDEX_DIRECTIVE;
  }
  if (code == TOKEN_OTHER && first == ',') {
    state = (state | COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY) & ~COOKIE_STATEMENT_START;
    return COLORINDEX_DIRECTIVE;
  }
  if (state & COOKIE_STATEMENT_START) {
    state &= ~COOKIE_STATEMENT_START;
    return COLORINDEX_DIRECTIVE;
  }
  if (state & COOKIE_ATTRIBUTES) return COLORINDEX_PROPERTY;
  if (state & COOKIE_EXPECT_PROPERTY) {
    state &= ~COOKIE_EXPECT_PROPERTY;
    return COLORINDEX_PROPERTY;
  }
  return COLORINDEX_FOREGROUND;
}

inline uint32_t WithCode(uint32_t state, uint32_t code) {
  return (state & ~COOKIE_WORD_CODE_MASK) | code;
}

// First pass: follows the state from position begin (0, or a resume point) over the rest of
// the line and gives each character its colour in sink. With stopAt below length it stops
// at the first token that starts at or after stopAt (the state returned is then of no use).
// With resume it adds a resume point every RESUME_STRIDE characters past its last one.
template <class TSink>
uint32_t FirstPass(uint32_t state, const unsigned char* s, int length, TSink& sink, int stopAt,
                   int begin = 0, ColourResumePoints* resume = nullptr) {
  int i = begin;
  int nextPoint = INT32_MAX;
  if (resume)
    nextPoint = resume->points.empty() ? 0 : resume->points.back().pos + ColourResumePoints::STRIDE;
  while (i < length) {
    if constexpr (std::is_same_v<TSink, CSpanSink>) {
      if (i >= stopAt) break;
      // Each turn of this loop starts with everything that decides the rest in (i, state).
      if (i >= nextPoint) {
        resume->points.push_back({i, state});
        nextPoint = i + ColourResumePoints::STRIDE;
      }
    }
    if (state & COOKIE_COMMENT) {
      // A comment runs to the end of the line and hides everything in it.
      if constexpr (TSink::WRITES) sink.Fill(i, length, COLORINDEX_COMMENT);
      break;
    }
    if (state & (COOKIE_DOUBLE_QUOTE | COOKIE_SINGLE_QUOTE)) {
      const bool isDouble = (state & COOKIE_DOUBLE_QUOTE) != 0;
      const void* close = std::memchr(s + i, isDouble ? '"' : '\'', static_cast<size_t>(length - i));
      const int stop = close ? static_cast<int>(static_cast<const unsigned char*>(close) - s) + 1 : length;
      if constexpr (TSink::WRITES) sink.Fill(i, stop, COLORINDEX_QUOTEDTEXT);
      if (close) state &= ~(isDouble ? COOKIE_DOUBLE_QUOTE : COOKIE_SINGLE_QUOTE);
      i = stop;
      continue;
    }
    const unsigned char c = s[i];
    if (c == '\'' || c == '"') {
      if constexpr (TSink::WRITES) sink.Fill(i, i + 1, COLORINDEX_QUOTEDTEXT);
      state |= c == '"' ? COOKIE_DOUBLE_QUOTE : COOKIE_SINGLE_QUOTE;
      ++i;
      continue;
    }
    if (c == '!') {
      state |= COOKIE_COMMENT;
      continue; // the comment branch above colours from here to the end
    }
    if (state & COOKIE_ROUTINE) {
      if (c == ']') {
        if constexpr (TSink::WRITES) sink.Fill(i, i + 1, COLORINDEX_FUNCTION);
        state &= ~COOKIE_ROUTINE;
        ++i;
        continue;
      }
      if ((state & COOKIE_ROUTINE_NAME) && !IsInformSpace(c)) {
        int end;
        const uint32_t code = ClassifyInformToken(reinterpret_cast<const char*>(s), i, length, end);
        state = WithCode(state, code);
        int colour = COLORINDEX_CODE;
        if (code >= TOKEN_WORD_MIN) {
          colour = COLORINDEX_FUNCTION;
          state &= ~COOKIE_ROUTINE_NAME;
        }
        if constexpr (TSink::WRITES) sink.Fill(i, end + 1, colour);
        i = end + 1;
        continue;
      }
      // Routine text up to the next character that can change the state.
      int j = i + 1;
      if (state & COOKIE_ROUTINE_NAME) {
        while (j < length && IsInformSpace(s[j])) ++j;
      } else {
        while (j < length && !IsSpecialInRoutine(s[j])) ++j;
      }
      if constexpr (TSink::WRITES) sink.Fill(i, j, COLORINDEX_CODE);
      i = j;
      continue;
    }
    if (c == '[') {
      if constexpr (TSink::WRITES) sink.Fill(i, i + 1, COLORINDEX_FUNCTION);
      state |= COOKIE_ROUTINE;
      if (!(state & COOKIE_OBJECT_BODY)) state |= COOKIE_ROUTINE_NAME;
      ++i;
      continue;
    }
    if (IsInformSpace(c)) {
      int j = i + 1;
      while (j < length && IsInformSpace(s[j])) ++j;
      if constexpr (TSink::WRITES) sink.Fill(i, j, COLORINDEX_FOREGROUND);
      i = j;
      continue;
    }
    int end;
    const uint32_t code = ClassifyInformToken(reinterpret_cast<const char*>(s), i, length, end);
    state = WithCode(state, code);
    const int colour = ColourOutsideRoutine(code, c, state);
    if constexpr (TSink::WRITES) sink.Fill(i, end + 1, colour);
    i = end + 1;
  }
  return state & ~COOKIE_COMMENT;
}

// Second pass over the first pass's colours, from position start (a position the pass visits
// when it runs from 0, see SecondPassStart) up to end: escapes in quoted text, assembly
// opcodes and keyword words in code and foreground text. Words and groups are read to their
// end in the text, also past end.
template <class TSink>
void SecondPass(const unsigned char* s, int length, int start, int end, TSink& sink) {
  int i = start;
  while (i < end) {
    const int colour = sink.Colour(i);
    const unsigned char c = s[i];
    if (colour == COLORINDEX_QUOTEDTEXT) {
      if (c == '@') {
        int j = i + 1;
        while (j < length && (s[j] == '@' || IsInformDigit(s[j]))) ++j;
        sink.Fill(i, j, COLORINDEX_ESCAPE);
        i = j;
        continue;
      }
      if (c == '\\' || c == '^' || c == '~') sink.Set(i, COLORINDEX_ESCAPE);
      ++i;
      continue;
    }
    if (colour == COLORINDEX_CODE || colour == COLORINDEX_FOREGROUND) {
      if (c == '@') {
        int j = i + 1;
        while (j < length && IsInformWordChar(s[j])) ++j;
        sink.Fill(i, j, COLORINDEX_ASSEMBLY);
        i = j;
        continue;
      }
      if (IsInformWordChar(c)) {
        int j = i + 1;
        while (j < length && IsInformWordChar(s[j])) ++j;
        const char* word = reinterpret_cast<const char*>(s + i);
        if (colour == COLORINDEX_FOREGROUND) {
          if (IsDirectiveModifier(word, j - i)) sink.Fill(i, j, COLORINDEX_DIRECTIVE);
        } else if (!IsStatementKeyword(word, j - i)) {
          sink.Fill(i, j, COLORINDEX_CODEALPHA);
        }
        i = j;
        continue;
      }
    } else if (colour == COLORINDEX_COMMENT) {
      break; // a comment runs to the end of the line
    }
    ++i;
  }
}

// The second pass groups the characters of a word, or of an escape or opcode after "@", and
// skips over all but the first; every other character is visited. A character that is
// neither a word character nor "@" is never inside a group, so the one after it is always
// visited: the pass can start there and colour exactly as from the line's start.
int SecondPassStart(const unsigned char* s, int from) {
  while (from > 0 && (IsInformWordChar(s[from - 1]) || s[from - 1] == '@')) --from;
  return from;
}

} // namespace

uint32_t ColourLine(uint32_t cookie, int lineIndex, const char* text, int length,
                    StyleRun* runs, int& runCount) {
  if (text == nullptr || length < 0) length = 0;
  runCount = length;
  uint32_t state = cookie & COOKIE_ALL_BITS;
  if (lineIndex == 0) state |= COOKIE_STATEMENT_START;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (runs == nullptr) {
    CStateOnly none;
    return FirstPass(state, s, length, none, length);
  }
  CRunSink sink{runs};
  state = FirstPass(state, s, length, sink, length);
  SecondPass(s, length, 0, length, sink);
  return state;
}

uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, const char* text, int length, int from,
                        int to, int32_t* colours, bool wholeLine, std::vector<uint8_t>& scratch,
                        ColourResumePoints* resume) {
  if (text == nullptr || length < 0) length = 0;
  to = std::clamp(to, 0, length);
  from = std::clamp(from, 0, to);
  uint32_t state = cookie & COOKIE_ALL_BITS;
  if (lineIndex == 0) state |= COOKIE_STATEMENT_START;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  const int start = SecondPassStart(s, from);
  if (scratch.size() < static_cast<size_t>(to - start)) scratch.resize(static_cast<size_t>(to - start));
  CSpanSink sink{scratch.data(), start, to};
  // The pass takes up from the last resume point at or before start, when the points were
  // found from the same state at the line's start.
  int begin = 0;
  if (resume) {
    if (resume->startState != state || (!resume->points.empty() && resume->points.back().pos > length)) {
      resume->points.clear();
      resume->startState = state;
    }
    const auto after = std::upper_bound(resume->points.begin(), resume->points.end(), start,
                                        [](int pos, const ColourResumePoint& p) { return pos < p.pos; });
    if (after != resume->points.begin()) {
      begin = after[-1].pos;
      state = after[-1].state;
    }
  }
  state = FirstPass(state, s, length, sink, wholeLine ? length : to, begin, resume);
  SecondPass(s, length, start, to, sink);
  const uint8_t* spanColours = scratch.data() + (from - start);
  for (int k = 0; k < to - from; ++k) colours[k] = spanColours[k];
  return wholeLine ? state : 0;
}
