#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// dfrotz run with line types shown ("-r lt") starts every screen line it writes with a type
// character and a blank: "  " text, ". " a blank line between spans, and for the lines where
// it waits for input "> " (a line), ") " (a key), "} " (a line with text already typed) and
// their timed forms "T ", "t ", "D ". That is how a transcript knows, without guessing from
// the prompt's text, where each command was read.
class CLineTypedReader {
public:
  struct Line {
    std::string text;  // without the type prefix and the line end
    bool input = false; // the story waits for input here; text is its prompt
  };

  // Lines longer than this are cut there (the rest of the line is dropped), so a story that
  // prints without line breaks cannot grow one line without end.
  static constexpr size_t MAX_LINE = 64 * 1024;

  // Appends the complete lines in bytes to out; a part line is kept for the next call.
  void Feed(std::string_view bytes, std::vector<Line>& out);
  // The output has ended: a part line left (the last prompt, written without a line end)
  // becomes a line.
  void Finish(std::vector<Line>& out);
  // The part line so far, without its type prefix: shown live while the story waits.
  std::string_view Pending() const;

private:
  void Complete(std::vector<Line>& out);
  std::string m_partial;
  bool m_cut = false;
  size_t m_lines = 0;
};

// A played story as text: the opening, then for every command the prompt line with the
// command and the output that followed it. command[i] tells which command line i belongs
// to: 0 the opening, n the output of the n-th command (its own line included).
struct Transcript {
  std::vector<std::string> lines;
  std::vector<int> command;
  int inputsSeen = 0; // how often the story asked for input

  // Adds the reader's lines; an input line takes the next of commands (none once they are
  // used up: the story waited in vain).
  void Add(const std::vector<CLineTypedReader::Line>& read, const std::vector<std::string>& commands);
  std::string Text() const; // every line followed by "\n"
  size_t Bytes() const { return m_bytes; }

private:
  size_t m_bytes = 0;
};

// The prompt line as a transcript shows it: the prompt's trailing blanks go; a ">" prompt
// takes the command straight after it (">look"), any other prompt after one blank.
std::string PromptLine(std::string_view prompt, std::string_view command);

// Splits text into lines at "\n" (a "\r" before it goes too); no last empty line for a
// final line end.
std::vector<std::string> SplitLines(std::string_view text);
