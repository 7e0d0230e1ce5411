#include "cli_source.h"

#include <cstdio>

#include "text_buffer.h"

bool LoadCliSource(const char* path, CTextBuffer& buffer) {
  if (buffer.Load(path, LineEndStyle::Automatic)) return true;
  std::fprintf(stderr, "torvane-cli: cannot load '%s': %s\n", path,
               buffer.LastFileError().text.c_str());
  return false;
}
