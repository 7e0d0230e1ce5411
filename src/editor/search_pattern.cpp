#include "search_pattern.h"

#include <algorithm>

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

  // Horspool: after a mismatch with byte b under the pattern's last cell, the pattern can
  // move so that the rightmost earlier cell holding b (folded) comes under it.
  const int m = Length();
  std::array<int, 256> rightmost; // rightmost cell before the last holding a folded byte
  rightmost.fill(-1);
  for (int j = 0; j + 1 < m; ++j) rightmost[static_cast<unsigned char>(m_text[j])] = j;
  for (int b = 0; b < 256; ++b) m_shift[b] = m - 1 - rightmost[m_fold[b]];
  if (m == 0) m_shift.fill(1);
}

bool CSearchPattern::IsWholeWordAt(const char* line, int length, int at) const {
  const int after = at + Length();
  if (at > 0 && IsSearchWordChar(static_cast<unsigned char>(line[at - 1]))) return false;
  return after >= length || !IsSearchWordChar(static_cast<unsigned char>(line[after]));
}

template <typename Found>
void CSearchPattern::Scan(const char* line, int length, int from, int to, Found found) const {
  const int m = Length();
  if (m == 0 || line == nullptr) return;
  from = std::max(from, 0);
  to = std::min(to, length);
  const auto* bytes = reinterpret_cast<const unsigned char*>(line);
  const auto* pattern = reinterpret_cast<const unsigned char*>(m_text.data());
  const unsigned char last = pattern[m - 1];
  for (int k = from; k + m <= to;) {
    const unsigned char under = bytes[k + m - 1];
    if (m_fold[under] == last) {
      int j = 0;
      while (j < m - 1 && m_fold[bytes[k + j]] == pattern[j]) ++j;
      if (j == m - 1 && (!m_wholeWord || IsWholeWordAt(line, length, k)) && !found(k)) return;
    }
    k += m_shift[under];
  }
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
