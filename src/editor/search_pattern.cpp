#include "search_pattern.h"

#include <QChar>
#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

int Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// The word class and the folded byte of each byte of a single-byte encoding (of the ASCII
// bytes in UTF-8, whose other bytes are read as characters), made once per encoding.
struct CByteClasses {
  std::array<unsigned char, 256> fold;
  std::array<bool, 256> word;
};

const CByteClasses& ByteClasses(TextEncoding encoding) {
  static const std::array<CByteClasses, 11> ALL = [] {
    std::array<CByteClasses, 11> all{};
    for (int e = 0; e < 11; ++e) {
      const auto enc = static_cast<TextEncoding>(e);
      for (int b = 0; b < 256; ++b) {
        CByteClasses& classes = all[static_cast<std::size_t>(e)];
        classes.fold[b] = static_cast<unsigned char>(b);
        classes.word[b] = false;
        const char byte = static_cast<char>(b);
        const CharUnit unit = UnitAt(std::string_view(&byte, 1), 0, enc);
        if (unit.escape || (enc == TextEncoding::Utf8 && b >= 0x80)) continue;
        classes.word[b] = IsSearchWordCode(unit.code);
        const char32_t folded = SearchFoldCode(unit.code);
        std::u16string one;
        AppendUtf16(one, folded);
        std::string bytes;
        if (folded != unit.code && EncodeUtf16(one, enc, bytes) && bytes.size() == 1)
          classes.fold[b] = static_cast<unsigned char>(bytes[0]);
      }
    }
    return all;
  }();
  return ALL[static_cast<std::size_t>(encoding)];
}

} // namespace

bool IsSearchWordCode(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

char32_t SearchFoldCode(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
  const char32_t folded = QChar::toCaseFolded(c);
  return Utf8Length(folded) == Utf8Length(c) ? folded : c;
}

bool IsSearchWordAt(std::string_view line, int pos, TextEncoding encoding) {
  if (pos < 0 || pos >= static_cast<int>(line.size())) return false;
  const auto b = static_cast<unsigned char>(line[pos]);
  if (encoding != TextEncoding::Utf8 || b < 0x80) return ByteClasses(encoding).word[b];
  const CharUnit unit = UnitAt(line, pos, encoding);
  return !unit.escape && IsSearchWordCode(unit.code);
}

bool IsSearchWordBefore(std::string_view line, int pos, TextEncoding encoding) {
  if (pos <= 0 || pos > static_cast<int>(line.size())) return false;
  return IsSearchWordAt(line, UnitStart(line, pos - 1, encoding), encoding);
}

CSearchPattern::CSearchPattern(std::string_view text, uint32_t flags, TextEncoding encoding)
    : m_text(text), m_wholeWord((flags & SearchWholeWord) != 0), m_encoding(encoding) {
  const bool matchCase = (flags & SearchMatchCase) != 0;
  const CByteClasses& classes = ByteClasses(encoding);
  for (int b = 0; b < 256; ++b) m_fold[b] = matchCase ? static_cast<unsigned char>(b) : classes.fold[b];
  if (!matchCase && encoding == TextEncoding::Utf8 && !IsAscii(text)) {
    // Folding a UTF-8 character changes bytes other than its last; only a text of ASCII
    // characters is folded a byte at a time.
    const int size = static_cast<int>(text.size());
    for (int pos = 0; pos < size;) {
      const CharUnit unit = UnitAt(text, pos, encoding);
      m_chars.push_back({unit.escape ? unit.code : SearchFoldCode(unit.code), pos, unit.length, unit.escape});
      pos += unit.length;
    }
    m_wideTest = false;
  } else {
    for (char& c : m_text) c = static_cast<char>(m_fold[static_cast<unsigned char>(c)]);
  }

  // The first and last bytes of a match, compared 16 starts at a time. Ignoring case, the
  // bytes of ASCII letters and of ISO 8859-1's differ from their folded bytes at most in bit
  // 0x20, so with that bit set on both sides every match is a candidate (and a few
  // non-matches, which the full comparison throws out). Where some byte folds otherwise (the
  // Cyrillic of ISO 8859-5), each start is compared.
  if (!m_text.empty()) {
    m_caseBit = matchCase ? 0 : 0x20;
    m_firstKey = static_cast<unsigned char>(m_text.front()) | m_caseBit;
    m_lastKey = static_cast<unsigned char>(m_text.back()) | m_caseBit;
    for (int b = 0; b < 256 && m_wideTest && !matchCase; ++b) {
      const unsigned char key = static_cast<unsigned char>(b | m_caseBit);
      if ((m_fold[b] == static_cast<unsigned char>(m_text.front()) && key != m_firstKey) ||
          (m_fold[b] == static_cast<unsigned char>(m_text.back()) && key != m_lastKey))
        m_wideTest = false;
    }
  }
}

bool CSearchPattern::IsWholeWordAt(const char* line, int length, int at) const {
  const std::string_view text(line, static_cast<std::size_t>(length));
  return !IsSearchWordBefore(text, at, m_encoding) && !IsSearchWordAt(text, at + Length(), m_encoding);
}

bool CSearchPattern::CharsMatchAt(std::string_view line, int at) const {
  int pos = at;
  for (const CPatternChar& c : m_chars) {
    const CharUnit unit = UnitAt(line, pos, TextEncoding::Utf8);
    if (unit.length != c.length || unit.escape != c.escape) return false;
    if (c.escape ? line.compare(static_cast<std::size_t>(pos), static_cast<std::size_t>(c.length), m_text,
                                static_cast<std::size_t>(c.offset), static_cast<std::size_t>(c.length)) != 0
                 : SearchFoldCode(unit.code) != c.code)
      return false;
    pos += unit.length;
  }
  return true;
}

bool CSearchPattern::CountsAt(const char* line, int length, int at) const {
  if (!m_chars.empty()) {
    if (!CharsMatchAt(std::string_view(line, static_cast<std::size_t>(length)), at)) return false;
    return !m_wholeWord || IsWholeWordAt(line, length, at);
  }
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
  if (!m_chars.empty()) {
    // A match starts where a character does.
    for (; k <= lastStart; ++k)
      if ((static_cast<unsigned char>(line[k]) & 0xC0) != 0x80 && CountsAt(line, length, k) && !found(k)) return;
    return;
  }
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
  while (m_wideTest && k <= lastStart - 15) {
    for (unsigned mask = candidates(k); mask != 0; mask &= mask - 1) {
      const int at = k + __builtin_ctz(mask);
      if (CountsAt(line, length, at) && !found(at)) return;
    }
    k += 16;
  }
  if (m_wideTest && k <= lastStart && lastStart - 15 >= std::max(from, 0)) {
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
