#pragma once
// The text view's per-line caches: expanded line lengths with the longest line, and the
// places kept on long lines. The parse cookies depend on the text alone and are kept by the
// buffer for all its views (cookie_cache.h). Plain C++ (no Qt), so that the rules for keeping
// them across edits can be tested without a window.
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "colouring.h"
#include "line_keyed_list.h"
#include "text_encoding.h"

// What the caches read: the text's lines.
class CLineCacheSource {
public:
  virtual ~CLineCacheSource() = default;
  virtual int CacheLineCount() const = 0; // 0 without a text
  virtual int CacheLineLength(int line) const = 0;
  virtual const char* CacheLineChars(int line) const = 0; // not NUL-terminated
  // How the bytes form characters (see CharColumns below).
  virtual TextEncoding CacheEncoding() const { return ENC_DEFAULT; }
};

// Tab stops every LINE_TAB_SIZE columns; each other byte is one column.
inline constexpr int LINE_TAB_SIZE = 4;
// The column reached after the first count characters of chars, the first of them standing
// at startColumn.
int ExpandedColumn(const char* chars, int count, int startColumn = 0);
// The character whose cells hold column (a tab holds several), and the column it starts at;
// length and the column after the last character for a column at or past the end. The
// first character stands at startColumn.
int CharAtColumn(const char* chars, int length, int column, int& charColumn, int startColumn = 0);

// Whether a line's columns must be counted by character units (wide characters, escapes,
// several bytes to a character) rather than one byte per column: never in ISO 8859-1, never
// on a pure-ASCII line.
inline bool NeedsCharColumns(const char* chars, int length, TextEncoding encoding) {
  return encoding != TextEncoding::Iso8859_1 &&
         !IsAscii(std::string_view(chars, static_cast<std::size_t>(length)));
}
// ExpandedColumn and CharAtColumn by character units of encoding: count is a byte index,
// the result of CharAtColumnUnits the start of the unit whose cells hold column.
int ExpandedColumnUnits(const char* chars, int length, int count, TextEncoding encoding);
int CharAtColumnUnits(const char* chars, int length, int column, int& charColumn,
                      TextEncoding encoding);

class CLineCaches {
public:
  explicit CLineCaches(CLineCacheSource& source) : m_source(source) {}
  CLineCaches(const CLineCaches&) = delete;
  CLineCaches& operator=(const CLineCaches&) = delete;

  // Forgets everything (another text, or a reset view).
  void Clear();

  // ---- Expanded lengths ----
  int ExpandedLength(int line);
  // The largest expanded length of all lines, 0 without lines. The first call walks every
  // line not walked yet; edits keep it up to date from then on.
  int LongestLine();
  // The walk in slices, for a view that shows the longest line so far rather than wait for
  // all of it: measures up to maxLines more lines from the top, and tells whether every line
  // is measured now. Edits during the walk keep what it found right.
  bool WalkLongestLine(int maxLines);
  // The largest expanded length among the lines walked so far: LongestLine() once the walk
  // is complete, never more than it.
  int LongestLineSoFar() const { return std::max(m_longest, 0); }

  // ---- Columns ----
  // What ExpandedColumn and CharAtColumn give for a line's text. On a line of LONG_LINE or
  // more characters they start from a column kept every STRIDE characters, so that the
  // caret and painting at the end of a long line do not count over all of it.
  static constexpr int LONG_LINE = 65536;
  int Column(int line, int charIndex) const;
  int CharAt(int line, int column, int& charColumn) const;
  // Where the colouring of a long line can take up its pass again; null for a short line.
  ColourResumePoints* ResumePointsFor(int line);

  // ---- Changes ----
  // The text changed at line from character fromChar on: `added` lines were inserted after it
  // (a line split), or the `removed` lines after it were joined to it, or (both 0) only line
  // itself changed. Everything above line is kept. Returns false, with the caches dropped,
  // when the change does not fit their sizes.
  bool TextChanged(int line, int added, int removed, int fromChar = 0);
  // A change the caches cannot follow line by line: everything from line down is dropped.
  void DropFrom(int line);

  // ---- For tests and benchmarks ----
  std::size_t MemoryBytes() const;

private:
  bool EnsureLengths();
  int ComputeLength(int line) const;
  void CountLength(int length, int delta);
  void ForgetLongest();

  // Kept for the few long lines last looked at.
  struct LongLine {
    int line;
    std::vector<std::pair<int32_t, int32_t>> columns; // (character, its column), STRIDE apart
    ColourResumePoints resume;
    uint64_t lastUse;
  };
  static constexpr int STRIDE = 65536;
  static constexpr std::size_t MAX_LONG_LINES = 4;
  LongLine* LongLineFor(int line) const; // null for a short line
  void ForgetLongLines(int from);

  CLineCacheSource& m_source;
  mutable std::vector<LongLine> m_longLines;
  mutable uint64_t m_uses = 0;

  // Expanded lengths: one byte per line for the short lengths that nearly all lines have.
  static constexpr uint8_t LENGTH_UNKNOWN = 0xFF;
  static constexpr uint8_t LENGTH_LONG = 0xFE;
  int LengthAt(int line) const; // -1 unknown
  void SetLengthAt(int line, int length);
  std::vector<uint8_t> m_lengths;
  CLineKeyedList<int32_t> m_longLengths; // of the lines marked LENGTH_LONG
  bool m_lengthsAllocated = false;
  // How many of the walked lines [0, m_walked) have each expanded length, while the walk is
  // on (m_longest >= 0): lengths below SHORT_LENGTHS in an array, longer ones in a map. The
  // entries of the walked lines are known; m_longest is the largest of them.
  static constexpr int SHORT_LENGTHS = 4096;
  std::vector<int32_t> m_shortCounts;
  std::map<int, int> m_longCounts;
  int m_longest = -1;
  int m_walked = 0;
};
