#include "compiler_message.h"

#include <cstddef>

namespace {

// After the place: optional blanks, then the kind. Sets warning; false for other text.
bool ReadKind(std::string_view rest, bool& warning) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (rest.starts_with("Error:") || rest.starts_with("Fatal error:")) {
    warning = false;
    return true;
  }
  if (rest.starts_with("Warning:")) {
    warning = true;
    return true;
  }
  return false;
}

// Decimal digits of text[begin, end): the value, or 0 when there are none or too many.
int ReadNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return 0;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::optional<CompilerMessage> ParseLineForm(std::string_view line) {
  // The file name may hold quotes itself: the place ends at the last '", line '. Without a
  // file name the line starts with "line ".
  constexpr std::string_view marker = "\", line ";
  std::size_t at = 0;
  std::size_t digits = 0;
  if (line.starts_with("line ")) {
    digits = 5;
  } else {
    if (!line.starts_with('"')) return std::nullopt;
    at = line.rfind(marker);
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    digits = at + marker.size();
  }
  const std::size_t colon = line.find(':', digits);
  if (colon == std::string_view::npos) return std::nullopt;
  CompilerMessage message;
  message.line = ReadNumber(line.substr(digits, colon - digits));
  if (message.line == 0 || !ReadKind(line.substr(colon + 1), message.warning))
    return std::nullopt;
  if (at > 0) message.file = std::string(line.substr(1, at - 1));
  return message;
}

std::optional<CompilerMessage> ParseBracketForm(std::string_view line) {
  // "file(N):" where the file name may hold brackets: try each "):" from the right.
  std::size_t close = line.size();
  while (close > 0) {
    close = line.rfind("):", close - 1);
    if (close == std::string_view::npos) return std::nullopt;
    const std::size_t open = line.rfind('(', close);
    if (open == std::string_view::npos || open == 0) continue;
    CompilerMessage message;
    message.line = ReadNumber(line.substr(open + 1, close - open - 1));
    if (message.line == 0 || !ReadKind(line.substr(close + 2), message.warning)) continue;
    message.file = std::string(line.substr(0, open));
    return message;
  }
  return std::nullopt;
}

} // namespace

std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (auto message = ParseLineForm(line)) return message;
  return ParseBracketForm(line);
}
