#include "inform_lexer.h"

#include "word_classifier.h"

namespace {

bool IsNameChar(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

std::size_t NameEnd(std::string_view line, std::size_t i) {
  while (i < line.size() && IsNameChar(static_cast<unsigned char>(line[i]))) ++i;
  return i;
}

// The length of the punctuation token at line[i].
std::size_t SymbolLength(std::string_view line, std::size_t i) {
  const std::string_view rest = line.substr(i);
  for (const std::string_view multi : {"-->", "->", "::", "<<", ">>", "==", "~=", "&&", "||", ".&", ".#", "++", "--"})
    if (rest.substr(0, multi.size()) == multi) return multi.size();
  return 1;
}

} // namespace

void LowerInto(std::string_view text, std::string& out) {
  out.assign(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

void CInformLexer::LexLine(std::string_view line, std::vector<CLexToken>& out) {
  out.clear();
  std::size_t i = 0;
  if (m_inString) {
    const std::size_t close = line.find('"');
    const std::size_t end = close == std::string_view::npos ? line.size() : close + 1;
    out.push_back({ELexKind::String, 0, line.substr(0, end)});
    if (close == std::string_view::npos) return;
    m_inString = false;
    i = end;
  }
  while (i < line.size()) {
    const auto c = static_cast<unsigned char>(line[i]);
    const auto at = static_cast<int32_t>(i);
    if (IsInformSpace(c) || c >= 0x80) {
      ++i;
    } else if (c == '!') {
      return;
    } else if (c == '"') {
      const std::size_t close = line.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? line.size() : close + 1;
      m_inString = close == std::string_view::npos;
      out.push_back({ELexKind::String, at, line.substr(i, end - i)});
      i = end;
    } else if (c == '\'') {
      // "'''" is the apostrophe; a quote closed nowhere on the line is a lone character.
      std::size_t end = i + 3;
      if (line.substr(i, 3) != "'''") {
        const std::size_t close = line.find('\'', i + 1);
        end = close == std::string_view::npos ? i + 1 : close + 1;
      }
      out.push_back({ELexKind::DictWord, at, line.substr(i, end - i)});
      i = end;
    } else if (c == '#' && i + 1 < line.size() && line[i + 1] == '#') {
      const std::size_t end = NameEnd(line, i + 2);
      out.push_back({ELexKind::Action, static_cast<int32_t>(i + 2), line.substr(i + 2, end - i - 2)});
      i = end == i + 2 ? i + 2 : end;
    } else if (c == '#' && i + 1 < line.size() && IsNameChar(static_cast<unsigned char>(line[i + 1]))) {
      // "#Ifdef" and the old "#a$Take"/"#r$Name" forms: the "$" joins the word.
      std::size_t end = NameEnd(line, i + 1);
      if (end < line.size() && line[end] == '$') end = NameEnd(line, end + 1);
      out.push_back({ELexKind::Word, at, line.substr(i, end - i)});
      i = end;
    } else if (c == '$') {
      std::size_t end = i + 1;
      while (end < line.size() && (line[end] == '$' || IsNameChar(static_cast<unsigned char>(line[end])))) ++end;
      out.push_back({ELexKind::Number, at, line.substr(i, end - i)});
      i = end;
    } else if (IsNameChar(c)) {
      const std::size_t end = NameEnd(line, i);
      out.push_back({c >= '0' && c <= '9' ? ELexKind::Number : ELexKind::Word, at, line.substr(i, end - i)});
      i = end;
    } else {
      const std::size_t length = SymbolLength(line, i);
      out.push_back({ELexKind::Symbol, at, line.substr(i, length)});
      i += length;
    }
  }
}
