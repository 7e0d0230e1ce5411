#pragma once
// What a torvane-cli command builds: a project file (NAME.i6proj) or a main file.
#include <optional>

#include <QString>

#include "project_file.h"

struct CliBuildTarget {
  QString source;                     // absolute: the main file, or the file given
  std::optional<ProjectFile> project; // read from the project file given
};

// Reads file as a project when its name ends in ".i6proj", else takes it as the main file.
// On failure prints the reason (with the file and line) on standard error, prefixed by
// "torvane-cli COMMAND: ", and returns false.
bool LoadCliBuildTarget(const char* command, const char* file, CliBuildTarget& target);
