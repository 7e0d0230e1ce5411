#include "transcript.h"

namespace {

bool IsInputType(char type) {
  switch (type) {
  case '>': case ')': case '}': case 'T': case 't': case 'D': return true;
  default: return false;
  }
}

} // namespace

void CLineTypedReader::Feed(std::string_view bytes, std::vector<Line>& out) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!m_cut) {
      const size_t room = MAX_LINE + 2 - m_partial.size();
      m_partial.append(piece.substr(0, room));
      m_cut = piece.size() > room;
    }
    if (end == std::string_view::npos) return;
    Complete(out);
    bytes.remove_prefix(end + 1);
  }
}

void CLineTypedReader::Finish(std::vector<Line>& out) {
  if (!m_partial.empty()) Complete(out);
}

std::string_view CLineTypedReader::Pending() const {
  return std::string_view(m_partial).substr(m_partial.size() >= 2 ? 2 : m_partial.size());
}

void CLineTypedReader::Complete(std::vector<Line>& out) {
  if (!m_partial.empty() && m_partial.back() == '\r') m_partial.pop_back();
  // The interpreter's answer to "-r lt" is no part of the story.
  const bool answer = m_lines++ == 0 && m_partial == "Line-type display ON";
  if (answer) {
    m_partial.clear();
    m_cut = false;
    return;
  }
  Line line;
  line.input = m_partial.size() >= 2 && m_partial[1] == ' ' && IsInputType(m_partial[0]);
  line.text = m_partial.size() >= 2 ? m_partial.substr(2) : std::string();
  out.push_back(std::move(line));
  m_partial.clear();
  m_cut = false;
}

std::string PromptLine(std::string_view prompt, std::string_view command) {
  while (!prompt.empty() && prompt.back() == ' ') prompt.remove_suffix(1);
  std::string line(prompt);
  if (!line.empty() && line.back() != '>') line += ' ';
  line += command;
  return line;
}

void Transcript::Add(const std::vector<CLineTypedReader::Line>& read,
                     const std::vector<std::string>& commands) {
  for (const CLineTypedReader::Line& line : read) {
    std::string text = line.text;
    if (line.input) {
      const auto next = static_cast<size_t>(inputsSeen);
      text = PromptLine(line.text, next < commands.size() ? commands[next] : std::string());
      ++inputsSeen;
    }
    m_bytes += text.size() + 1;
    lines.push_back(std::move(text));
    command.push_back(line.input ? inputsSeen : (command.empty() ? 0 : command.back()));
  }
}

std::string Transcript::Text() const {
  std::string text;
  text.reserve(m_bytes);
  for (const std::string& line : lines) (text += line) += '\n';
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}
