#pragma once
// Plain C++ (no Qt): reads the place out of the lines of Inform 6's output.
#include <optional>
#include <string>
#include <string_view>

// An error or warning that names a line of a source file.
struct CompilerMessage {
  // As the compiler printed it: relative to where it was run, or absolute; empty for the
  // file being compiled (-E0 names no file there).
  std::string file;
  int line = 0;     // 1-based
  bool warning = false;
  std::string text; // what follows the kind, without the blanks before it
};

// The message on one output line, in any of Inform 6's three forms:
//   "file", line N: Error:  text        (-E0, the default, in an included file)
//   line N: Error:  text                (-E0, in the file being compiled)
//   line N: ("origin", 12:3): Error:    (-E0 under #OrigSource: the place compiled is kept)
//   file(N): Warning:  text             (-E1)
//   File "file"; Line N<tab># Error:    (-E2)
// "Fatal error:" and "*** Compiler error:" count as errors. The place is the first one that
// reads as a whole place followed by a kind, so text quoted later in the message never
// moves it. Lines of any other kind give nothing.
std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line);

// Reads the output line by line, in order. Under an error or a warning the compiler echoes
// the source line it was reading as "> " and the text; that text may hold anything, a whole
// message form included, and is never a message.
class CCompilerMessageReader {
public:
  std::optional<CompilerMessage> ReadLine(std::string_view line);
  // The next line is no message (the caller has looked): only its place in the order counts.
  void SkipLine() { m_afterMessage = false; }
  void Reset() { m_afterMessage = false; }

private:
  bool m_afterMessage = false; // the line before was a message: an echo may follow
};
