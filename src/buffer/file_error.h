#pragma once
#include <string>

// Why reading or writing a file failed: the system's error number (errno; a number of its own
// choosing where the refusal is ours, such as EINVAL for a pipe) and a text that can be shown
// after "cannot load 'path': ". An empty text means no failure.
struct FileError {
  int code = 0;
  std::string text;

  bool IsFailure() const { return !text.empty(); }
};
