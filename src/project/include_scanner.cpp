#include "include_scanner.h"

#include <cctype>

namespace {

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '#';
}

std::string Lower(std::string_view word) {
  std::string lower;
  for (const char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool OpensBlock(const std::string& directive) {
  return directive == "ifdef" || directive == "ifndef" || directive == "iftrue" ||
         directive == "iffalse" || directive == "ifv3" || directive == "ifv5";
}

class CIncludeScanner {
public:
  explicit CIncludeScanner(std::string_view text) : m_text(text) {}

  std::vector<IncludeDirective> Scan() {
    while (m_pos < m_text.size()) {
      const char c = m_text[m_pos];
      if (c == '!' || c == '"' || c == '\'') {
        SkipQuotedOrComment(c);
      } else if (c == '\n') {
        ++m_line;
        ++m_pos;
      } else if (c == ';') {
        m_statementStart = true;
        ++m_pos;
      } else if (IsWordChar(c)) {
        Word();
      } else {
        if (c != ' ' && c != '\t' && c != '\r') m_statementStart = false;
        ++m_pos;
      }
    }
    return std::move(m_found);
  }

private:
  // A comment runs to the end of the line; a string or dictionary word to its closing quote.
  void SkipQuotedOrComment(char open) {
    const char close = open == '!' ? '\n' : open;
    ++m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != close) {
      if (m_text[m_pos] == '\n') ++m_line;
      ++m_pos;
    }
    if (open != '!' && m_pos < m_text.size()) ++m_pos;
    if (open != '!') m_statementStart = false;
  }

  void Word() {
    const size_t start = m_pos;
    while (m_pos < m_text.size() && IsWordChar(m_text[m_pos])) ++m_pos;
    std::string_view word = m_text.substr(start, m_pos - start);
    const bool atStart = m_statementStart;
    m_statementStart = false;
    if (!atStart) return;
    if (!word.empty() && word.front() == '#') word.remove_prefix(1);
    const std::string directive = Lower(word);
    if (OpensBlock(directive)) {
      ++m_depth;
    } else if (directive == "endif") {
      if (m_depth > 0) --m_depth;
    } else if (directive == "include") {
      IncludeName();
    }
  }

  void IncludeName() {
    const int line = m_line;
    while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) {
      if (m_text[m_pos] == '\n') ++m_line;
      ++m_pos;
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != '"') return;
    const size_t close = m_text.find('"', m_pos + 1);
    if (close == std::string_view::npos) return;
    m_found.push_back({std::string(m_text.substr(m_pos + 1, close - m_pos - 1)), line, m_depth > 0});
    m_pos = close + 1;
  }

  std::string_view m_text;
  size_t m_pos = 0;
  int m_line = 1;
  int m_depth = 0;
  bool m_statementStart = true;
  std::vector<IncludeDirective> m_found;
};

} // namespace

std::vector<IncludeDirective> ScanIncludes(std::string_view text) {
  return CIncludeScanner(text).Scan();
}
