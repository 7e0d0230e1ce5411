#pragma once
// Plain C++ (no Qt): the errors and warnings of one build, read from the compiler's output.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler_message.h"

// One error or warning of a build.
struct CompilerProblem {
  // As the compiler printed it (relative to where it ran, or absolute). Empty with a line:
  // the file compiled. Empty with line 0: the build as a whole ("No 'Main' routine").
  std::string file;
  int line = 0;        // 1-based; 0 for none
  bool warning = false;
  bool header = false; // about a "!%" line: counted as the text's lines, not as compiled
  std::string text;
};

// Reads the output of one build line by line, in order, and keeps every problem it names:
// each message line (several for one source line stay several), the messages about the
// build as a whole ("<constructing output>", line 0), and the errors the compiler finds in
// a "!%" header or an ICL file, whose text comes on the line after the place.
class CCompilerProblemReader {
public:
  void ReadLine(std::string_view line);
  // The output has ended: an ICL error still waiting for its text is kept without one.
  void Finish();
  void Reset();
  const std::vector<CompilerProblem>& Problems() const { return m_problems; }
  int ErrorCount() const;
  int WarningCount() const;

private:
  std::optional<CompilerProblem> ReadPlaceless(std::string_view line) const;
  std::optional<CompilerProblem> ReadIclPlace(std::string_view line) const;

  CCompilerMessageReader m_reader;
  std::optional<CompilerProblem> m_waiting; // an ICL error whose text is the next line
  bool m_afterProblem = false;              // the compiler may echo the source line next
  std::vector<CompilerProblem> m_problems;
};
