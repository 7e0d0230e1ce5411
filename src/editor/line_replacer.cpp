#include "line_replacer.h"

#include <cstring>

CLineReplacer::CLineReplacer(std::string_view text, uint32_t flags, std::string_view replacement,
                             TextEncoding encoding)
    : m_raw(text, flags & ~uint32_t{SearchWholeWord}, encoding),
      m_wholeWord((flags & SearchWholeWord) != 0), m_encoding(encoding), m_replacement(replacement) {}

bool CLineReplacer::StandsAlone(const char* line, int length, int at) const {
  const std::string_view text(line, static_cast<std::size_t>(length));
  if (IsSearchWordAt(text, at + m_raw.Length(), m_encoding)) return false;
  // Right after the previous match the neighbour is what replaced it (or, when that was
  // empty, what stood before the stretch).
  if (m_count > 0 && at == m_end)
    return !m_text.empty() ? !IsSearchWordBefore(m_text, static_cast<int>(m_text.size()), m_encoding)
                           : !IsSearchWordBefore(text, m_start, m_encoding);
  return !IsSearchWordBefore(text, at, m_encoding);
}

bool CLineReplacer::MustStopBefore(const char* line, int at, std::span<const int> keep) const {
  const auto gap = static_cast<std::size_t>(at - m_end);
  if (std::memchr(line + m_end, '\r', gap) != nullptr) return true;
  // A CR that ends the text so far and an LF that follows it would go in as one line break,
  // where one replacement at a time leaves a break and an LF byte.
  const char next = gap > 0 ? line[m_end] : (m_replacement.empty() ? 0 : m_replacement[0]);
  if (!m_text.empty() && m_text.back() == '\r' && next == '\n') return true;
  for (int column : keep)
    if (column >= m_end && column < at + m_raw.Length()) return true;
  return false;
}

bool CLineReplacer::Build(const char* line, int length, int from, int to,
                          std::span<const int> keep) {
  m_text.clear();
  m_start = m_end = -1;
  m_count = 0;
  m_lastOffset = 0;
  int k = from;
  for (;;) {
    const int at = m_raw.FindInLine(line, length, k, to);
    if (at < 0) break;
    if (m_wholeWord && !StandsAlone(line, length, at)) {
      k = at + 1;
      continue;
    }
    if (m_count == 0) {
      m_start = at;
    } else {
      if (MustStopBefore(line, at, keep)) break;
      m_text.append(line + m_end, static_cast<std::size_t>(at - m_end));
    }
    m_lastOffset = static_cast<int>(m_text.size());
    m_text += m_replacement;
    m_end = at + m_raw.Length();
    ++m_count;
    k = m_end;
  }
  return m_count > 0;
}

TextPosition PositionAfterText(TextPosition p, std::string_view text) {
  std::size_t from = 0;
  for (std::size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', from)) {
    ++p.y;
    p.x = 0;
    from = cr + 1;
    if (from < text.size() && text[from] == '\n') ++from;
  }
  p.x += static_cast<int>(text.size() - from);
  return p;
}

void MoveAcrossReplacement(TextPosition& p, TextPosition start, TextPosition end,
                           TextPosition after) {
  if (p <= start) return;
  if (p < end) {
    p = start;
  } else if (p.y == end.y) {
    p = TextPosition(after.x + (p.x - end.x), after.y);
  } else {
    p.y += after.y - end.y;
  }
}
