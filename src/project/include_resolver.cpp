#include "include_resolver.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// Absolute and without "." and ".." steps, so the same file is one path.
std::string Normal(const fs::path& path) { return path.lexically_normal().string(); }

fs::path Under(const std::string& folder, const std::string& workingFolder) {
  const fs::path path(folder);
  return path.is_absolute() ? path : fs::path(workingFolder) / path;
}

} // namespace

std::string IncludeFileName(std::string_view name) {
  const bool local = !name.empty() && name.front() == '>';
  if (local) name.remove_prefix(1);
  std::string file(name);
  const size_t slash = file.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return file + (local ? ".inf" : ".h");
  // "name." asks for no extension at all.
  if (dot + 1 == file.size()) file.pop_back();
  return file;
}

std::string ResolveInclude(std::string_view name, const std::string& includingFile,
                           const std::vector<std::string>& includePath,
                           const std::string& workingFolder) {
  if (name.empty()) return {};
  const std::string file = IncludeFileName(name);
  if (name.front() == '>') {
    const fs::path path = fs::path(includingFile).parent_path() / file;
    return IsRegularFile(path) ? Normal(path) : std::string();
  }
  if (file.find('/') != std::string::npos) {
    const fs::path path = Under(file, workingFolder);
    return IsRegularFile(path) ? Normal(path) : std::string();
  }
  for (const std::string& folder : includePath) {
    const fs::path path = Under(folder, workingFolder) / file;
    if (IsRegularFile(path)) return Normal(path);
  }
  return {};
}
