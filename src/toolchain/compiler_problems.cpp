#include "compiler_problems.h"

#include <algorithm>

namespace {

constexpr std::string_view ICL_HEADER = "Error in ICL header of file '";
constexpr std::string_view ICL_FILE = "Error in ICL file '";
constexpr std::string_view ICL_ALONE = "Error in ICL: ";
constexpr std::string_view LINE_MARK = "', line ";
constexpr std::string_view KINDS[] = {"Warning:", "Error:", "Fatal error:", "*** Compiler error:"};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// A kind at the start of text (after blanks): the problem without a place.
std::optional<CompilerProblem> KindAtStart(std::string_view text) {
  text = Trimmed(text);
  for (std::string_view kind : KINDS) {
    if (!text.starts_with(kind)) continue;
    CompilerProblem problem;
    problem.warning = kind == KINDS[0];
    problem.text = std::string(Trimmed(text.substr(kind.size())));
    return problem;
  }
  return std::nullopt;
}

// Digits from at up to a ':' that ends the line: the number; nothing otherwise.
std::optional<int> NumberBeforeColon(std::string_view text, std::size_t at) {
  int value = 0;
  std::size_t i = at;
  for (; i < text.size() && i - at < 9 && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  if (i == at || Trimmed(text.substr(i)) != ":") return std::nullopt;
  return value;
}

} // namespace

// "<constructing output>", line 0: Error:  ...   (the compiler's own stage, no source line),
// and a kind alone at the start of a line.
std::optional<CompilerProblem> CCompilerProblemReader::ReadPlaceless(std::string_view line) const {
  if (line.starts_with("\"<")) {
    const std::size_t close = line.find(">\", line 0:");
    if (close == std::string_view::npos) return std::nullopt;
    return KindAtStart(line.substr(close + std::string_view(">\", line 0:").size()));
  }
  if (line.starts_with(ICL_ALONE)) {
    CompilerProblem problem;
    problem.text = std::string(Trimmed(line.substr(ICL_ALONE.size())));
    return problem;
  }
  return KindAtStart(line);
}

// Error in ICL header of file 'adv.inf', line 2:    (the text follows on the next line)
std::optional<CompilerProblem> CCompilerProblemReader::ReadIclPlace(std::string_view line) const {
  const bool header = line.starts_with(ICL_HEADER);
  if (!header && !line.starts_with(ICL_FILE)) return std::nullopt;
  const std::size_t start = header ? ICL_HEADER.size() : ICL_FILE.size();
  // The file may hold the mark itself: its last place is the one before the number.
  const std::size_t mark = line.rfind(LINE_MARK);
  if (mark == std::string_view::npos || mark < start) return std::nullopt;
  const std::optional<int> number = NumberBeforeColon(line, mark + LINE_MARK.size());
  if (!number) return std::nullopt;
  CompilerProblem problem;
  problem.file = std::string(line.substr(start, mark - start));
  problem.line = *number;
  problem.header = true;
  return problem;
}

void CCompilerProblemReader::ReadLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (m_waiting) {
    m_waiting->text = std::string(Trimmed(line));
    m_problems.push_back(std::move(*m_waiting));
    m_waiting.reset();
    m_reader.SkipLine();
    m_afterProblem = false;
    return;
  }
  if (m_afterProblem && line.starts_with("> ")) { // the echo of the source line
    m_reader.SkipLine();
    m_afterProblem = false;
    return;
  }
  m_afterProblem = false;
  if (std::optional<CompilerMessage> message = m_reader.ReadLine(line)) {
    m_problems.push_back({message->file, message->line, message->warning, false, message->text});
    m_afterProblem = true;
    return;
  }
  if (std::optional<CompilerProblem> icl = ReadIclPlace(line)) {
    m_waiting = std::move(icl);
    return;
  }
  if (std::optional<CompilerProblem> problem = ReadPlaceless(line)) {
    m_problems.push_back(std::move(*problem));
    m_afterProblem = true;
  }
}

void CCompilerProblemReader::Finish() {
  if (m_waiting) m_problems.push_back(std::move(*m_waiting));
  m_waiting.reset();
}

void CCompilerProblemReader::Reset() {
  m_reader.Reset();
  m_waiting.reset();
  m_afterProblem = false;
  m_problems.clear();
}

int CCompilerProblemReader::ErrorCount() const {
  return static_cast<int>(std::count_if(m_problems.begin(), m_problems.end(),
                                        [](const CompilerProblem& p) { return !p.warning; }));
}

int CCompilerProblemReader::WarningCount() const {
  return static_cast<int>(m_problems.size()) - ErrorCount();
}
