#pragma once
#include <string_view>
#include <vector>

#include "compiler_probe.h"
#include "text_file_io.h"

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

// The document lines of lines the compiler named in the file at path, which a document splits
// at style's line ends: what the configured compiler counts is asked of it (cached), and the
// file is read as the compiler read it. Lines are returned as they are when the file cannot be
// read or no compiler is set.
std::vector<int> MapCompilerLinesOfFile(const QString& path, LineEndStyle style, std::vector<int> lines);

// One line; see MapCompilerLines.
int MapCompilerLine(CrLfCount crlf, std::string_view fileBytes, std::string_view documentLineEnd,
                    int reported);
