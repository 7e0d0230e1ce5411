#pragma once
// Plain C++ (no Qt): reads the place out of one line of Inform 6's output.
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
};

// The message on one output line, in either of Inform 6's forms:
//   "file", line N: Error:  text        (-E0, the default, in an included file)
//   line N: Error:  text                (-E0, in the file being compiled)
//   file(N): Warning:  text             (-E1)
// "Fatal error:" counts as an error. Lines of any other kind give nothing.
std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line);
