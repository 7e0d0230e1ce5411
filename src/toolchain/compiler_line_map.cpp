#include "compiler_line_map.h"

#include <algorithm>
#include <numeric>

#include <QFile>

#include "profile_store.h"
#include "settings_keys.h"

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

// Walks the file as the compiler counts its lines.
class CCompilerLineWalker {
public:
  CCompilerLineWalker(std::string_view bytes, bool crlfIsTwo)
      : m_bytes(bytes), m_crlfIsTwo(crlfIsTwo) {}

  // The offset where 1-based line wanted starts (lines only grow); the end of the file when
  // it has fewer lines.
  size_t StartOf(int wanted) {
    // Whole blocks short of the wanted line are counted in one sweep the compiler can
    // vectorise; only the block that holds it is walked byte by byte.
    constexpr size_t BLOCK = 4096;
    while (m_line < wanted && m_offset + BLOCK <= m_bytes.size()) {
      int ends = 0;
      for (size_t i = m_offset; i < m_offset + BLOCK; ++i) ends += IsLineEnd(i) ? 1 : 0;
      if (m_line + ends >= wanted) break;
      m_line += ends;
      m_offset += BLOCK;
    }
    while (m_line < wanted && m_offset < m_bytes.size()) {
      if (IsLineEnd(m_offset)) ++m_line;
      ++m_offset;
    }
    return m_offset;
  }

private:
  // Whether the byte at i ends a line: every LF; a CR unless CR LF counts once and a LF
  // follows it.
  bool IsLineEnd(size_t i) const {
    const char c = m_bytes[i];
    if (c == '\n') return true;
    if (c != '\r') return false;
    return m_crlfIsTwo || i + 1 == m_bytes.size() || m_bytes[i + 1] != '\n';
  }

  std::string_view m_bytes;
  bool m_crlfIsTwo;
  int m_line = 1;      // the line that starts at m_offset
  size_t m_offset = 0;
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
  CCompilerLineWalker compiler(fileBytes, crlf == CrLfCount::Two);
  for (const size_t index : order) {
    if (reported[index] >= 1) mapped[index] = document.LineAt(compiler.StartOf(reported[index]));
  }
  return mapped;
}

int MapCompilerLine(CrLfCount crlf, std::string_view fileBytes, std::string_view documentLineEnd,
                    int reported) {
  return MapCompilerLines(crlf, fileBytes, documentLineEnd, {reported}).front();
}

std::vector<int> MapCompilerLinesOfFile(const QString& path, LineEndStyle style, std::vector<int> lines) {
  CProfileStore store;
  const QString compiler = ReadToolPath(store, SETTING_COMPILER_PATH);
  QFile file(path);
  if (compiler.isEmpty() || !file.open(QIODevice::ReadOnly)) return lines;
  const QByteArray bytes = file.readAll();
  return MapCompilerLines(CompilerFactsFor(compiler, &store).crlf,
                          std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                          LineEndSequence(style), lines);
}
