#include "compiler_line_map.h"

#include <algorithm>
#include <numeric>

namespace {

// Counts the document's line ends in order, as its reader splits lines: each occurrence of
// the sequence, left to right, without overlap.
class CDocumentLineCounter {
public:
  CDocumentLineCounter(std::string_view bytes, std::string_view lineEnd)
      : m_bytes(bytes), m_lineEnd(lineEnd) {}

  // The 1-based document line that holds the byte at offset (offsets only grow).
  int LineAt(size_t offset) {
    if (m_lineEnd.empty()) return m_line;
    for (;;) {
      if (m_next == std::string_view::npos) m_next = m_bytes.find(m_lineEnd, m_searchFrom);
      if (m_next == std::string_view::npos || m_next + m_lineEnd.size() > offset) return m_line;
      ++m_line;
      m_searchFrom = m_next + m_lineEnd.size();
      m_next = std::string_view::npos;
    }
  }

private:
  std::string_view m_bytes;
  std::string_view m_lineEnd;
  size_t m_searchFrom = 0;
  size_t m_next = std::string_view::npos;
  int m_line = 1;
};

} // namespace

std::vector<int> MapCompilerLines(CrLfCount crlf, std::string_view fileBytes,
                                  std::string_view documentLineEnd,
                                  const std::vector<int>& reported) {
  std::vector<int> mapped(reported);
  std::vector<size_t> order(reported.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(),
            [&reported](size_t a, size_t b) { return reported[a] < reported[b]; });

  CDocumentLineCounter document(fileBytes, documentLineEnd);
  const bool crlfIsTwo = crlf == CrLfCount::Two;
  int compilerLine = 1; // the compiler's line that starts at offset i
  size_t i = 0;
  for (const size_t index : order) {
    const int wanted = reported[index];
    if (wanted < 1) continue;
    while (compilerLine < wanted && i < fileBytes.size()) {
      const char c = fileBytes[i++];
      const bool lineEnd =
          c == '\n' ||
          (c == '\r' && (crlfIsTwo || i == fileBytes.size() || fileBytes[i] != '\n'));
      if (lineEnd) ++compilerLine;
    }
    mapped[index] = document.LineAt(i);
  }
  return mapped;
}

int MapCompilerLine(CrLfCount crlf, std::string_view fileBytes, std::string_view documentLineEnd,
                    int reported) {
  return MapCompilerLines(crlf, fileBytes, documentLineEnd, {reported}).front();
}
