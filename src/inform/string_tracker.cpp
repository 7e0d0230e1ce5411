#include "string_tracker.h"

namespace {

// The index after the single-quoted word opened at line[open]; "'''" is the apostrophe
// itself. A quote closed nowhere on the line is a lone character.
std::size_t SkipSingleQuoted(std::string_view line, std::size_t open) {
  if (line.substr(open, 3) == "'''") return open + 3;
  const std::size_t close = line.find('\'', open + 1);
  return close == std::string_view::npos ? open + 1 : close + 1;
}

} // namespace

// Jumps from quote to quote; only the stretch before an opening quote is searched for the
// "!" or "'" that would hide it.
void CStringTracker::AdvanceOverQuotes(std::string_view line) {
  std::size_t i = 0;
  while (true) {
    const std::size_t quote = line.find('"', i);
    if (quote == std::string_view::npos) return;
    if (m_inString) {
      m_inString = false;
      i = quote + 1;
      continue;
    }
    const std::string_view before = line.substr(i, quote - i);
    const std::size_t comment = before.find('!');
    const std::size_t single = before.find('\'');
    if (comment == std::string_view::npos && single == std::string_view::npos) {
      m_inString = true;
      i = quote + 1;
    } else if (comment < single) {
      return;
    } else {
      i = SkipSingleQuoted(line, i + single);
    }
  }
}
