#include "search_pattern.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

bool IsSearchWordChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
    return true;
  // À to ÿ are letters, except the multiplication and division signs among them.
  return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

unsigned char SearchUpperCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  // à to þ sit 0x20 above À to Þ; ÷ is no letter, and ß and ÿ have no capital here.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

CSearchPattern::CSearchPattern(std::string_view text, uint32_t flags)
    : m_text(text), m_wholeWord((flags & SearchWholeWord) != 0) {
  const bool matchCase = (flags & SearchMatchCase) != 0;
  for (int b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    m_fold[b] = matchCase ? c : SearchUpperCase(c);
  }
  for (char& c : m_text) c = static_cast<char>(m_fold[static_cast<unsigned char>(c)]);

  // The first and last bytes of a match, compared 16 starts at a time. Ignoring case, a byte
  // and its upper case differ at most in bit 0x20, so with that bit set on both sides every
  // match is a candidate (and a few non-matches, which the full comparison throws out).
  if (!m_text.empty()) {
    m_caseBit = matchCase ? 0 : 0x20;
    m_firstKey = static_cast<unsigned char>(m_text.front()) | m_caseBit;
    m_lastKey = static_cast<unsigned char>(m_text.back()) | m_caseBit;
  }
}

bool CSearchPattern::IsWholeWordAt(const char* line, int length, int at) const {
  const int after = at + Length();
  if (at > 0 && IsSearchWordChar(static_cast<unsigned char>(line[at - 1]))) return false;
  return after >= length || !IsSearchWordChar(static_cast<unsigned char>(line[after]));
}

bool CSearchPattern::CountsAt(const char* line, int length, int at) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line) + at;
  const auto* pattern = reinterpret_cast<const unsigned char*>(m_text.data());
  for (int j = 0; j < Length(); ++j)
    if (m_fold[bytes[j]] != pattern[j]) return false;
  return !m_wholeWord || IsWholeWordAt(line, length, at);
}

template <typename Found>
void CSearchPattern::Scan(const char* line, int length, int from, int to, Found found) const {
  const int m = Length();
  if (m == 0 || line == nullptr) return;
  int k = std::max(from, 0);
  const int lastStart = std::min(to, length) - m;
#ifdef __SSE2__
  // Windows of 16 starts; a window reads up to its last start + m - 1 <= lastStart + m - 1,
  // inside the line. A line too short for a whole window is left to the loop below.
  const __m128i caseBit = _mm_set1_epi8(static_cast<char>(m_caseBit));
  const __m128i firstKey = _mm_set1_epi8(static_cast<char>(m_firstKey));
  const __m128i lastKey = _mm_set1_epi8(static_cast<char>(m_lastKey));
  auto candidates = [&](int start) {
    const __m128i a = _mm_or_si128(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + start)), caseBit);
    const __m128i b = _mm_or_si128(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + start + m - 1)), caseBit);
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstKey), _mm_cmpeq_epi8(b, lastKey))));
  };
  while (k <= lastStart - 15) {
    for (unsigned mask = candidates(k); mask != 0; mask &= mask - 1) {
      const int at = k + __builtin_ctz(mask);
      if (CountsAt(line, length, at) && !found(at)) return;
    }
    k += 16;
  }
  if (k <= lastStart && lastStart - 15 >= std::max(from, 0)) {
    // The rest in one window ending at the last start, without the starts already seen.
    const int base = lastStart - 15;
    for (unsigned mask = candidates(base) & (0xFFFFu << (k - base)); mask != 0; mask &= mask - 1) {
      const int at = base + __builtin_ctz(mask);
      if (CountsAt(line, length, at) && !found(at)) return;
    }
    return;
  }
#endif
  const unsigned char first = static_cast<unsigned char>(m_text.front());
  for (; k <= lastStart; ++k)
    if (m_fold[static_cast<unsigned char>(line[k])] == first && CountsAt(line, length, k) &&
        !found(k))
      return;
}

int CSearchPattern::FindInLine(const char* line, int length, int from, int to) const {
  int result = -1;
  Scan(line, length, from, to, [&](int k) {
    result = k;
    return false;
  });
  return result;
}

int CSearchPattern::FindLastInLine(const char* line, int length, int from, int to,
                                   int before) const {
  int result = -1;
  Scan(line, length, from, to, [&](int k) {
    if (k >= before) return false;
    result = k;
    return true;
  });
  return result;
}
