#pragma once
#include <regex>
#include <string>
#include <string_view>
#include <vector>

// What a comparison of transcripts ignores. Every build changes the serial number, and a new
// compiler or library changes the version banner; both sit on the banner line
// ("Release 6 / Serial number 160701 / Inform v6.41 Library v6.12.6 S"), which is replaced
// by a fixed line. The author adds patterns of their own (ECMAScript regular expressions,
// one a line, in walkthroughs/ignore.txt): every match in a line is replaced by "*".
class CTranscriptNormaliser {
public:
  inline static const std::string BANNER_LINE = "[release, serial number and version]";

  // Reads one pattern a line; blank lines and lines starting with '#' are skipped. False
  // with error naming the line when a pattern is not a regular expression.
  bool SetPatterns(std::string_view text, std::string& error);

  std::string Line(const std::string& line) const;
  std::vector<std::string> Lines(const std::vector<std::string>& lines) const;

private:
  std::vector<std::regex> m_patterns;
};
