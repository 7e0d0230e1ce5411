#pragma once
#include <string_view>
#include <vector>

#include "compiler_probe.h"

// Turns the line numbers a compiler prints into lines of the document that shows the file.
// The two may count differently: Inform 6.41 counts CR LF as two line ends (and every lone
// CR or LF as one), while the document breaks lines only at its own line-end sequence
// (CR LF, LF CR or LF; a stray byte stays in the line's text).
//
// fileBytes: the file as the compiler read it. documentLineEnd: the document's line-end bytes.
// reported: 1-based lines as printed. The result: 1-based document lines, in the same order;
// a line past the end gives the last line, and a line below 1 is returned as it is.
std::vector<int> MapCompilerLines(CrLfCount crlf, std::string_view fileBytes,
                                  std::string_view documentLineEnd,
                                  const std::vector<int>& reported);

// One line; see MapCompilerLines.
int MapCompilerLine(CrLfCount crlf, std::string_view fileBytes, std::string_view documentLineEnd,
                    int reported);
