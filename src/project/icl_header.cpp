#include "icl_header.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next blank-separated word of line from pos; double quotes group blanks into it and are
// dropped, as the compiler's reading of a command line does.
std::string NextWord(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  std::string word;
  bool quoted = false;
  for (; pos < line.size() && (quoted || !IsBlank(line[pos])); ++pos) {
    if (line[pos] == '"')
      quoted = !quoted;
    else
      word += line[pos];
  }
  return word;
}

bool IsCommandStart(char c) { return c == '-' || c == '+' || c == '$' || c == '('; }

// One "!%" line (without the "!%"); the compiler's own words for what it rejects.
void ParseLine(std::string_view line, int lineNumber, const std::string& fileName,
               IclHeader& header) {
  size_t pos = 0;
  const std::string first = NextWord(line, pos);
  if (first.empty() || first.front() == '!') return;
  if (!IsCommandStart(first.front())) {
    header.problems.push_back(
        {fileName, lineNumber, "Expected command or comment but found '" + first + "'"});
    return;
  }
  const std::string second = NextWord(line, pos);
  if (!second.empty() && second.front() != '!') {
    header.problems.push_back(
        {fileName, lineNumber, "expected comment or nothing but found '" + second + "'"});
    return;
  }
  header.commands.push_back({lineNumber, first});
}

bool IsHeaderLine(std::string_view line) { return line.size() >= 2 && line.substr(0, 2) == "!%"; }

} // namespace

IclHeader ParseIclHeader(std::string_view text, const std::string& fileName) {
  IclHeader header;
  header.fileName = fileName;
  int lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (!IsHeaderLine(line)) break;
    ParseLine(line.substr(2), ++lineNumber, fileName, header);
    // CR LF is one line end, as are a lone CR and a lone LF.
    start = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
  }
  return header;
}

IclHeader ReadIclHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    IclHeader header;
    header.fileName = path;
    header.problems.push_back({path, 0, std::string("cannot read the file: ") + std::strerror(errno)});
    return header;
  }
  // Only the header is wanted: read on until a whole line that is not header has been read.
  std::string text;
  size_t scanned = 0; // start of the first line not yet known to be header
  char chunk[16384];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<size_t>(in.gcount()));
    for (;;) {
      const size_t end = text.find_first_of("\r\n", scanned);
      if (end == std::string::npos) break;
      if (!IsHeaderLine(std::string_view(text).substr(scanned, end - scanned))) return ParseIclHeader(text, path);
      if (text[end] == '\r' && end + 1 == text.size()) break; // its LF may come next
      scanned = end + ((text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    }
  }
  return ParseIclHeader(text, path);
}
