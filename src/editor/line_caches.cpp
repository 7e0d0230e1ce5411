// The text view's line caches: expanded lengths and the counts of each length that keep the
// longest line up to date, and the places kept on long lines.
#include "line_caches.h"

#include "debug_assert.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
// Columns are ints; a line long enough to pass INT_MAX columns stops at INT_MAX.
int ClampColumn(int64_t column) { return static_cast<int>(std::min<int64_t>(column, INT_MAX)); }
int NextTabStop(int64_t column) { return ClampColumn(column + LINE_TAB_SIZE - column % LINE_TAB_SIZE); }
} // namespace

// Runs without a tab advance one column per byte, so only the tabs are looked at one by one.
int ExpandedColumn(const char* chars, int count, int startColumn) {
  int64_t column = startColumn;
  int i = 0;
  while (i < count) {
    const void* tab = std::memchr(chars + i, '\t', static_cast<std::size_t>(count - i));
    if (!tab) return ClampColumn(column + (count - i));
    const int t = static_cast<int>(static_cast<const char*>(tab) - chars);
    column = NextTabStop(column + (t - i));
    i = t + 1;
  }
  return ClampColumn(column);
}

int CharAtColumn(const char* chars, int length, int column, int& charColumn, int startColumn) {
  int64_t start = startColumn; // column where character i starts
  int i = 0;
  if (column < startColumn) column = startColumn;
  while (i < length) {
    const void* tab = std::memchr(chars + i, '\t', static_cast<std::size_t>(length - i));
    const int t = tab ? static_cast<int>(static_cast<const char*>(tab) - chars) : length;
    if (column < start + (t - i)) {
      charColumn = column;
      return i + static_cast<int>(column - start);
    }
    start += t - i;
    i = t;
    if (i == length) break;
    const int next = NextTabStop(start);
    if (column < next) {
      charColumn = ClampColumn(start);
      return i;
    }
    start = next;
    ++i;
  }
  charColumn = ClampColumn(start);
  return length;
}

int ExpandedColumnUnits(const char* chars, int length, int count, TextEncoding encoding) {
  const std::string_view line(chars, static_cast<std::size_t>(length));
  int column = 0;
  for (int pos = 0; pos < count && pos < length;)
    column = ColumnAfterUnit(line, pos, column, encoding, LINE_TAB_SIZE);
  return column;
}

int CharAtColumnUnits(const char* chars, int length, int column, int& charColumn,
                      TextEncoding encoding) {
  const std::string_view line(chars, static_cast<std::size_t>(length));
  int start = 0;
  for (int pos = 0; pos < length;) {
    const int unitStart = pos;
    const int next = ColumnAfterUnit(line, pos, start, encoding, LINE_TAB_SIZE);
    if (column < next) {
      charColumn = start;
      return unitStart;
    }
    start = next;
  }
  charColumn = start;
  return length;
}

// ---------------------------------------------------------------------------------------
// Long lines

CLineCaches::LongLine* CLineCaches::LongLineFor(int line) const {
  if (line < 0 || line >= m_source.CacheLineCount() || m_source.CacheLineLength(line) < LONG_LINE)
    return nullptr;
  for (LongLine& entry : m_longLines) {
    if (entry.line == line) {
      entry.lastUse = ++m_uses;
      return &entry;
    }
  }
  if (m_longLines.size() >= MAX_LONG_LINES) {
    m_longLines.erase(std::min_element(m_longLines.begin(), m_longLines.end(),
                                       [](const LongLine& a, const LongLine& b) {
                                         return a.lastUse < b.lastUse;
                                       }));
  }
  m_longLines.push_back(LongLine{line, {{0, 0}}, {}, ++m_uses});
  return &m_longLines.back();
}

void CLineCaches::ForgetLongLines(int from) {
  std::erase_if(m_longLines, [from](const LongLine& entry) { return entry.line >= from; });
}

int CLineCaches::Column(int line, int charIndex) const {
  const char* chars = m_source.CacheLineChars(line);
  // Lines of characters count unit by unit (a long one from its start: such lines are rare).
  if (const TextEncoding encoding = m_source.CacheEncoding(); encoding != TextEncoding::Iso8859_1) {
    const int length = m_source.CacheLineLength(line);
    if (NeedsCharColumns(chars, length, encoding))
      return ExpandedColumnUnits(chars, length, charIndex, encoding);
  }
  LongLine* entry = LongLineFor(line);
  if (!entry) return ExpandedColumn(chars, charIndex);
  auto& columns = entry->columns;
  while (columns.back().first + STRIDE <= charIndex) {
    const auto [pos, column] = columns.back();
    columns.emplace_back(pos + STRIDE, ExpandedColumn(chars + pos, STRIDE, column));
  }
  const auto [pos, column] = columns[static_cast<std::size_t>(charIndex / STRIDE)];
  return ExpandedColumn(chars + pos, charIndex - pos, column);
}

int CLineCaches::CharAt(int line, int column, int& charColumn) const {
  const char* chars = m_source.CacheLineChars(line);
  const int length = m_source.CacheLineLength(line);
  if (NeedsCharColumns(chars, length, m_source.CacheEncoding()))
    return CharAtColumnUnits(chars, length, column, charColumn, m_source.CacheEncoding());
  LongLine* entry = LongLineFor(line);
  if (!entry) return CharAtColumn(chars, length, column, charColumn);
  // Columns grow with the characters: the last kept place at or before column starts the count.
  auto& columns = entry->columns;
  while (columns.back().second <= column && columns.back().first + STRIDE <= length) {
    const auto [pos, start] = columns.back();
    columns.emplace_back(pos + STRIDE, ExpandedColumn(chars + pos, STRIDE, start));
  }
  auto after = std::upper_bound(columns.begin(), columns.end(), column,
                                [](int c, const std::pair<int32_t, int32_t>& p) { return c < p.second; });
  if (after != columns.begin()) --after;
  const auto [pos, start] = *after;
  return pos + CharAtColumn(chars + pos, length - pos, column, charColumn, start);
}

ColourResumePoints* CLineCaches::ResumePointsFor(int line) {
  LongLine* entry = LongLineFor(line);
  return entry ? &entry->resume : nullptr;
}

// ---------------------------------------------------------------------------------------

void CLineCaches::Clear() {
  m_lengths.clear();
  m_lengths.shrink_to_fit();
  m_longLengths.Clear();
  m_lengthsAllocated = false;
  ForgetLongest();
  m_longLines.clear();
}

std::size_t CLineCaches::MemoryBytes() const {
  // A map node holds its key, its count and the tree links (about 48 bytes with glibc).
  return m_lengths.capacity() + m_longLengths.MemoryBytes() +
         m_shortCounts.capacity() * sizeof(int32_t) + m_longCounts.size() * 48;
}

// ---------------------------------------------------------------------------------------
// Expanded lengths and the longest line

int CLineCaches::ComputeLength(int line) const {
  return Column(line, m_source.CacheLineLength(line));
}

bool CLineCaches::EnsureLengths() {
  const int count = m_source.CacheLineCount();
  if (!m_lengthsAllocated || static_cast<int>(m_lengths.size()) != count) {
    // A size that no longer matches the text means a change passed unseen: start afresh.
    m_lengths.assign(static_cast<std::size_t>(std::max(count, 0)), LENGTH_UNKNOWN);
    m_longLengths.Clear();
    m_lengthsAllocated = true;
    ForgetLongest();
  }
  return count > 0;
}

int CLineCaches::ExpandedLength(int line) {
  if (line < 0 || line >= m_source.CacheLineCount() || !EnsureLengths()) return 0;
  int length = LengthAt(line);
  if (length < 0) SetLengthAt(line, length = ComputeLength(line));
  return length;
}

int CLineCaches::LengthAt(int line) const {
  TORVANE_ASSERT(line >= 0 && line < static_cast<int>(m_lengths.size()));
  const uint8_t entry = m_lengths[static_cast<std::size_t>(line)];
  if (entry == LENGTH_UNKNOWN) return -1;
  if (entry != LENGTH_LONG) return entry;
  return m_longLengths.At(line);
}

void CLineCaches::SetLengthAt(int line, int length) {
  TORVANE_ASSERT(line >= 0 && line < static_cast<int>(m_lengths.size()));
  uint8_t& entry = m_lengths[static_cast<std::size_t>(line)];
  const bool isLong = length >= LENGTH_LONG;
  if (isLong || entry == LENGTH_LONG) m_longLengths.Set(line, isLong ? length : 0);
  entry = isLong ? LENGTH_LONG : length < 0 ? LENGTH_UNKNOWN : static_cast<uint8_t>(length);
}

void CLineCaches::ForgetLongest() {
  m_longest = -1;
  m_walked = 0;
  m_shortCounts.clear();
  m_longCounts.clear();
}

void CLineCaches::CountLength(int length, int delta) {
  if (length < SHORT_LENGTHS) {
    if (static_cast<int>(m_shortCounts.size()) <= length)
      m_shortCounts.resize(static_cast<std::size_t>(length) + 1, 0);
    m_shortCounts[static_cast<std::size_t>(length)] += delta;
    TORVANE_ASSERT(m_shortCounts[static_cast<std::size_t>(length)] >= 0); // counted once each
    while (!m_shortCounts.empty() && m_shortCounts.back() == 0) m_shortCounts.pop_back();
  } else {
    auto it = m_longCounts.try_emplace(length, 0).first;
    TORVANE_ASSERT(it->second + delta >= 0);
    if ((it->second += delta) == 0) m_longCounts.erase(it);
  }
  if (!m_longCounts.empty())
    m_longest = m_longCounts.rbegin()->first;
  else
    m_longest = m_shortCounts.empty() ? 0 : static_cast<int>(m_shortCounts.size()) - 1;
}

int CLineCaches::LongestLine() {
  WalkLongestLine(INT_MAX);
  return LongestLineSoFar();
}

bool CLineCaches::WalkLongestLine(int maxLines) {
  const int count = m_source.CacheLineCount();
  if (m_longest >= 0 && m_walked == count && m_lengthsAllocated &&
      static_cast<int>(m_lengths.size()) == count)
    return true;
  if (!EnsureLengths()) return true;
  if (m_longest < 0) m_longest = 0;
  const int end = count - m_walked <= maxLines ? count : m_walked + std::max(maxLines, 0);
  // Short lines are measured here directly, without the long lines' places.
  const TextEncoding encoding = m_source.CacheEncoding();
  for (int i = m_walked; i < end; ++i) {
    int length = LengthAt(i);
    if (length < 0) {
      length = m_source.CacheLineLength(i);
      const char* chars = m_source.CacheLineChars(i);
      length = length < LONG_LINE && !NeedsCharColumns(chars, length, encoding)
                   ? ExpandedColumn(chars, length)
                   : Column(i, length);
      SetLengthAt(i, length);
    }
    CountLength(length, +1);
  }
  m_walked = end;
  return end == count;
}

// ---------------------------------------------------------------------------------------
// Changes

bool CLineCaches::TextChanged(int line, int added, int removed, int fromChar) {
  const int count = m_source.CacheLineCount();
  if (line < 0 || added < 0 || removed < 0) {
    Clear();
    return false;
  }
  // What is kept of a long line describes the text before the change; a line split or
  // joined starts afresh.
  for (auto entry = m_longLines.begin(); entry != m_longLines.end();) {
    if (entry->line == line && added == 0 && removed == 0) {
      std::erase_if(entry->columns, [&](const auto& p) { return p.first > fromChar; });
      std::erase_if(entry->resume.points, [&](const ColourResumePoint& p) { return p.pos >= fromChar; });
      if (entry->columns.empty()) entry->columns.emplace_back(0, 0);
    } else if (entry->line >= line && entry->line <= line + removed && (added > 0 || removed > 0)) {
      entry = m_longLines.erase(entry);
      continue;
    } else if (entry->line > line) {
      entry->line += added - removed;
    }
    ++entry;
  }
  bool fits = true;
  if (m_lengthsAllocated) {
    const int oldCount = static_cast<int>(m_lengths.size());
    if (line + removed >= oldCount || oldCount + added - removed != count) {
      m_lengths.clear();
      m_longLengths.Clear();
      m_lengthsAllocated = false;
      ForgetLongest();
      m_longLines.clear();
      fits = false;
    } else {
      // The changed lines that the walk had counted leave the counts. When the walk had
      // passed the whole change, the lines that replace them are counted instead; when it
      // was inside it, it goes on from the first changed line.
      const bool counting = m_longest >= 0;
      const int walked = m_walked;
      if (counting)
        for (int i = line; i <= line + removed && i < walked; ++i) CountLength(LengthAt(i), -1);
      m_longLengths.Replace(line + 1, removed, added);
      const auto at = m_lengths.begin() + line;
      if (removed > 0) m_lengths.erase(at + 1, at + 1 + removed);
      if (added > 0)
        m_lengths.insert(m_lengths.begin() + line + 1, static_cast<std::size_t>(added), LENGTH_UNKNOWN);
      m_walked = walked > line + removed ? walked + added - removed : std::min(walked, line);
      for (int i = line; i <= line + added; ++i) {
        const bool counted = counting && i < m_walked;
        const int length = counted ? ComputeLength(i) : -1;
        SetLengthAt(i, length);
        if (counted) CountLength(length, +1);
      }
    }
  }
  return fits;
}

void CLineCaches::DropFrom(int line) {
  line = std::max(0, line);
  ForgetLongLines(line);
  const std::size_t count = static_cast<std::size_t>(std::max(m_source.CacheLineCount(), 0));
  if (m_lengthsAllocated) {
    m_lengths.resize(count, LENGTH_UNKNOWN);
    std::fill(m_lengths.begin() + std::min<std::size_t>(static_cast<std::size_t>(line), count),
              m_lengths.end(), LENGTH_UNKNOWN);
    m_longLengths.DropFrom(std::min(line, static_cast<int>(count)));
    ForgetLongest();
  }
}
