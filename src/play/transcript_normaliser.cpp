#include "transcript_normaliser.h"

#include "transcript.h"

namespace {

// The banner: "Serial number" and six digits (the compile date), as the standard library,
// PunyInform and the Inform 7 templates print it.
bool IsBannerLine(const std::string& line) {
  const size_t at = line.find("Serial number ");
  if (at == std::string::npos) return false;
  const size_t digits = at + 14;
  if (line.size() < digits + 6) return false;
  for (size_t i = digits; i < digits + 6; ++i)
    if (line[i] < '0' || line[i] > '9') return false;
  return true;
}

} // namespace

bool CTranscriptNormaliser::SetPatterns(std::string_view text, std::string& error) {
  std::vector<std::regex> patterns;
  int number = 0;
  for (const std::string& line : SplitLines(text)) {
    ++number;
    if (line.empty() || line.front() == '#') continue;
    try {
      patterns.emplace_back(line, std::regex::ECMAScript | std::regex::optimize);
    } catch (const std::regex_error& e) {
      error = "line " + std::to_string(number) + " (\"" + line +
              "\") is not a regular expression: " + e.what();
      return false;
    }
  }
  m_patterns = std::move(patterns);
  return true;
}

std::string CTranscriptNormaliser::Line(const std::string& line) const {
  if (IsBannerLine(line)) return BANNER_LINE;
  std::string result = line;
  for (const std::regex& pattern : m_patterns) {
    // An empty match would put "*" between every character; only real matches count.
    std::string replaced;
    auto from = result.cbegin();
    for (std::sregex_iterator it(result.begin(), result.end(), pattern), end; it != end; ++it) {
      if (it->length(0) == 0) continue;
      replaced.append(from, (*it)[0].first);
      replaced += '*';
      from = (*it)[0].second;
    }
    replaced.append(from, result.cend());
    result = std::move(replaced);
  }
  return result;
}

std::vector<std::string> CTranscriptNormaliser::Lines(const std::vector<std::string>& lines) const {
  std::vector<std::string> result;
  result.reserve(lines.size());
  for (const std::string& line : lines) result.push_back(Line(line));
  return result;
}
