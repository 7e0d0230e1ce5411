// The Inform line colouring: a first pass that follows comments, strings, routines and object
// bodies and carries them across lines in the cookie, and a second pass (only when runs are
// wanted) for escapes, assembly opcodes and the two keyword lists.
#include "colouring.h"

#include <cstring>

#include "word_classifier.h"

namespace {

inline void Fill(StyleRun* runs, int from, int to, int colour) {
  for (int k = from; k < to; ++k) {
    runs[k].charPos = k;
    runs[k].colourIndex = colour;
  }
}

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

// First pass. With kRuns it writes one run per character; without it only follows the state.
template <bool kRuns>
uint32_t FirstPass(uint32_t state, const unsigned char* s, int length, StyleRun* runs) {
  int i = 0;
  while (i < length) {
    if (state & COOKIE_COMMENT) {
      // A comment runs to the end of the line and hides everything in it.
      if constexpr (kRuns) Fill(runs, i, length, COLORINDEX_COMMENT);
      break;
    }
    if (state & (COOKIE_DOUBLE_QUOTE | COOKIE_SINGLE_QUOTE)) {
      const bool isDouble = (state & COOKIE_DOUBLE_QUOTE) != 0;
      const void* close = std::memchr(s + i, isDouble ? '"' : '\'', static_cast<size_t>(length - i));
      const int stop = close ? static_cast<int>(static_cast<const unsigned char*>(close) - s) + 1 : length;
      if constexpr (kRuns) Fill(runs, i, stop, COLORINDEX_QUOTEDTEXT);
      if (close) state &= ~(isDouble ? COOKIE_DOUBLE_QUOTE : COOKIE_SINGLE_QUOTE);
      i = stop;
      continue;
    }
    const unsigned char c = s[i];
    if (c == '\'' || c == '"') {
      if constexpr (kRuns) Fill(runs, i, i + 1, COLORINDEX_QUOTEDTEXT);
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
        if constexpr (kRuns) Fill(runs, i, i + 1, COLORINDEX_FUNCTION);
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
        if constexpr (kRuns) Fill(runs, i, end + 1, colour);
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
      if constexpr (kRuns) Fill(runs, i, j, COLORINDEX_CODE);
      i = j;
      continue;
    }
    if (c == '[') {
      if constexpr (kRuns) Fill(runs, i, i + 1, COLORINDEX_FUNCTION);
      state |= COOKIE_ROUTINE;
      if (!(state & COOKIE_OBJECT_BODY)) state |= COOKIE_ROUTINE_NAME;
      ++i;
      continue;
    }
    if (IsInformSpace(c)) {
      int j = i + 1;
      while (j < length && IsInformSpace(s[j])) ++j;
      if constexpr (kRuns) Fill(runs, i, j, COLORINDEX_FOREGROUND);
      i = j;
      continue;
    }
    int end;
    const uint32_t code = ClassifyInformToken(reinterpret_cast<const char*>(s), i, length, end);
    state = WithCode(state, code);
    const int colour = ColourOutsideRoutine(code, c, state);
    if constexpr (kRuns) Fill(runs, i, end + 1, colour);
    i = end + 1;
  }
  return state & ~COOKIE_COMMENT;
}

// Second pass over the first pass's colours: escapes in quoted text, assembly opcodes and
// keyword words in code and foreground text.
void SecondPass(const unsigned char* s, int length, StyleRun* runs) {
  int i = 0;
  while (i < length) {
    const int colour = runs[i].colourIndex;
    const unsigned char c = s[i];
    if (colour == COLORINDEX_QUOTEDTEXT) {
      if (c == '@') {
        int j = i + 1;
        while (j < length && (s[j] == '@' || IsInformDigit(s[j]))) ++j;
        Fill(runs, i, j, COLORINDEX_ESCAPE);
        i = j;
        continue;
      }
      if (c == '\\' || c == '^' || c == '~') runs[i].colourIndex = COLORINDEX_ESCAPE;
      ++i;
      continue;
    }
    if (colour == COLORINDEX_CODE || colour == COLORINDEX_FOREGROUND) {
      if (c == '@') {
        int j = i + 1;
        while (j < length && IsInformWordChar(s[j])) ++j;
        Fill(runs, i, j, COLORINDEX_ASSEMBLY);
        i = j;
        continue;
      }
      if (IsInformWordChar(c)) {
        int j = i + 1;
        while (j < length && IsInformWordChar(s[j])) ++j;
        const char* word = reinterpret_cast<const char*>(s + i);
        if (colour == COLORINDEX_FOREGROUND) {
          if (IsDirectiveModifier(word, j - i)) Fill(runs, i, j, COLORINDEX_DIRECTIVE);
        } else if (!IsStatementKeyword(word, j - i)) {
          Fill(runs, i, j, COLORINDEX_CODEALPHA);
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

} // namespace

uint32_t ColourLine(uint32_t cookie, int lineIndex, const char* text, int length,
                    StyleRun* runs, int& runCount) {
  if (text == nullptr || length < 0) length = 0;
  runCount = length;
  uint32_t state = cookie & COOKIE_ALL_BITS;
  if (lineIndex == 0) state |= COOKIE_STATEMENT_START;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (runs == nullptr) return FirstPass<false>(state, s, length, nullptr);
  state = FirstPass<true>(state, s, length, runs);
  SecondPass(s, length, runs);
  return state;
}
