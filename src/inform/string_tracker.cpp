#include "string_tracker.h"

#include <cstring>

namespace {

// The index after the single-quoted word opened at line[open]; "'''" is the apostrophe
// itself. A quote closed nowhere on the line is a lone character.
std::size_t SkipSingleQuoted(std::string_view line, std::size_t open) {
  if (line.substr(open, 3) == "'''") return open + 3;
  const std::size_t close = line.find('\'', open + 1);
  return close == std::string_view::npos ? open + 1 : close + 1;
}

} // namespace

void CStringTracker::Advance(std::string_view line) {
  // Most lines hold no double quote, and then nothing changes, in a string or out of one.
  if (line.empty() || std::memchr(line.data(), '"', line.size()) == nullptr) return;
  std::size_t i = 0;
  while (i < line.size()) {
    if (m_inString) {
      const std::size_t close = line.find('"', i);
      if (close == std::string_view::npos) return;
      m_inString = false;
      i = close + 1;
      continue;
    }
    switch (line[i]) {
      case '"': m_inString = true; ++i; break;
      case '!': return;
      case '\'': i = SkipSingleQuoted(line, i); break;
      default: ++i;
    }
  }
}
