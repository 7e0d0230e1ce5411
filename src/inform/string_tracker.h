#pragma once
#include <cstring>
#include <string_view>

// Follows Inform's double-quoted strings from line to line, so that a line which begins
// inside a string is known to be text, never a definition. Outside a string, "!" starts a
// comment to the end of the line and a single-quoted word or character ends on its own line;
// a double quote in either opens nothing.
class CStringTracker {
public:
  // Whether the next line read begins inside a string.
  bool InString() const { return m_inString; }
  // Reads one line (without its line end). Most lines hold no double quote, and then nothing
  // changes, in a string or out of one: that test is all they cost.
  void Advance(std::string_view line) {
    if (!line.empty() && std::memchr(line.data(), '"', line.size()) != nullptr) AdvanceOverQuotes(line);
  }

private:
  void AdvanceOverQuotes(std::string_view line);

  bool m_inString = false;
};
