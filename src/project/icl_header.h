#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "source_message.h"

// One command of a main file's "!%" header, with its line (1-based): "-v3", "-~S",
// "+include_path=lib,ext", "++include_path=more", "$MAX_ERRORS=10", "$#DEBUG_LEVEL=2",
// "+language_name=French".
struct IclCommand {
  int line = 0;
  std::string text;
};

// The "!%" lines at the top of a source, read as the compiler reads them: the header is the
// run of lines that begin with "!%" from the first line on; each line holds at most one
// command, then nothing or a "!" comment. A line the compiler would reject is a problem
// (with its line) and its command is not taken.
struct IclHeader {
  std::string fileName; // as given to ParseIclHeader
  std::vector<IclCommand> commands;
  std::vector<SourceMessage> problems;
};

// fileName names the source in problems.
IclHeader ParseIclHeader(std::string_view text, const std::string& fileName);

// Reads the header of the file at path (only its first lines are read). A file that cannot
// be read gives one problem (line 0) naming it and the reason.
IclHeader ReadIclHeader(const std::string& path);
