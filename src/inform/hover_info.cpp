#include "hover_info.h"

#include <algorithm>

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// The comment lines right above line: a run of lines that hold only a "!" comment, ended by
// anything else (a blank line, code, the top). A "!%" header line is no comment of a name.
std::vector<std::string> CommentsAbove(int file, int line, const IndexLineReader& readLine) {
  std::vector<std::string> comments;
  std::string text;
  for (int above = line - 1; above >= 0 && static_cast<int>(comments.size()) < MAX_HOVER_COMMENT_LINES; --above) {
    if (!readLine(file, above, text)) break;
    std::string_view trimmed = TrimBlanks(text);
    if (!trimmed.starts_with('!') || trimmed.starts_with("!%")) break;
    while (!trimmed.empty() && trimmed.front() == '!') trimmed.remove_prefix(1);
    comments.emplace_back(TrimBlanks(trimmed));
  }
  std::reverse(comments.begin(), comments.end());
  return comments;
}

} // namespace

std::optional<CHoverInfo> HoverAt(const CLanguageIndex& index, int file, int line, int col, const IndexLineReader& readLine) {
  const std::optional<CIndexReference> ref = index.ReferenceAt(file, line, col);
  if (!ref) return std::nullopt;
  const std::vector<CIndexDefinition> definitions = index.FindDefinitions(ref->m_name, ref->m_role);
  if (definitions.empty()) return std::nullopt;
  const CIndexDefinition& def = definitions.front();
  CHoverInfo info;
  info.kind = def.m_kind;
  info.name = index.NameOf(def.m_name);
  info.file = def.m_file;
  info.line = def.m_line;
  if (def.m_parent != INDEX_NO_NAME) info.parent = index.NameOf(def.m_parent);
  if (def.m_class != INDEX_NO_NAME) info.ofClass = index.NameOf(def.m_class);
  info.definitions = static_cast<int>(definitions.size());
  info.comments = CommentsAbove(def.m_file, def.m_line, readLine);
  return info;
}
