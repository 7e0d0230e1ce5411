#include "cli_source.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text_buffer.h"

namespace {

// Why a load failed, in the system's words where there are some.
const char* LoadFailureReason(const char* path) {
  struct stat info {};
  if (stat(path, &info) != 0) return std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "is a directory";
  if (std::FILE* probe = std::fopen(path, "rb")) {
    std::fclose(probe);
    return "read error";
  }
  return std::strerror(errno);
}

} // namespace

bool LoadCliSource(const char* path, CCrystalTextBuffer& buffer) {
  if (buffer.Load(path, LineEndStyle::Automatic)) return true;
  std::fprintf(stderr, "torvane-cli: cannot load '%s': %s\n", path, LoadFailureReason(path));
  return false;
}
