#pragma once
#include <string>

// A message about one line of one file, as the user reads it: "adv.inf, line 3: ...".
// line 0 means the file as a whole.
struct SourceMessage {
  std::string file;
  int line = 0;
  std::string text;

  std::string Describe() const;
};
