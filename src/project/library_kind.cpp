#include "library_kind.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

// The text of a small library file; empty when it cannot be read.
std::string ReadSmallFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The value of "Constant NAME value;" or "Constant NAME = value;" in text (quotes removed),
// or nothing. Words compare without case, as Inform's do.
std::optional<std::string> ConstantValue(const std::string& text, std::string_view name) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line.substr(0, line.find('!')));
    std::string keyword, constant, value;
    if (!(words >> keyword >> constant) || !EqualNoCase(keyword, "Constant")) continue;
    if (const size_t semi = constant.find(';'); semi != std::string::npos) constant.resize(semi);
    if (!EqualNoCase(constant, name)) continue;
    words >> value;
    if (value == "=") words >> value;
    if (const size_t semi = value.find(';'); semi != std::string::npos) value.resize(semi);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return std::nullopt;
}

} // namespace

std::string LibraryInfo::Describe() const {
  switch (kind) {
  case LibraryKind::None: return "no library";
  case LibraryKind::Unknown: return "unknown library";
  case LibraryKind::Standard:
    return version.empty() ? "Standard library" : "Standard library " + version;
  case LibraryKind::PunyInform: return version.empty() ? "PunyInform" : "PunyInform " + version;
  }
  return {};
}

LibraryInfo IdentifyLibraryFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  LibraryInfo info;
  info.kind = LibraryKind::Unknown;
  info.folder = folder;
  const std::string version = ReadSmallFile(fs::path(folder) / "version.h");
  if (const auto release = ConstantValue(version, "LibRelease")) {
    info.kind = LibraryKind::Standard;
    info.version = *release;
    return info;
  }
  if (const auto number = ConstantValue(version, "LIBRARY_VERSION")) {
    // 612 -> "6.12"
    info.kind = LibraryKind::Standard;
    info.version = number->size() == 3 ? number->substr(0, 1) + "." + number->substr(1) : *number;
    return info;
  }
  const std::string globals = ReadSmallFile(fs::path(folder) / "globals.h");
  if (const auto major = ConstantValue(globals, "PUNYINFORM_MAJOR_VERSION")) {
    info.kind = LibraryKind::PunyInform;
    info.version = *major;
    if (const auto minor = ConstantValue(globals, "PUNYINFORM_MINOR_VERSION"))
      info.version += "." + *minor;
  }
  return info;
}
