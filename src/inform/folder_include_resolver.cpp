#include "folder_include_resolver.h"

#include <algorithm>
#include <filesystem>

IncludeResolver MakeFolderIncludeResolver(std::vector<std::string> folders) {
  return [folders](std::string_view name, const std::string& including) -> std::optional<std::string> {
    namespace fs = std::filesystem;
    std::vector<fs::path> where{fs::path(including).parent_path()};
    if (!name.empty() && name.front() == '>') name.remove_prefix(1);
    else for (const std::string& f : folders) where.emplace_back(f);
    if (name == "language__") name = "English";
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const fs::path& folder : where)
      for (const std::string& base : {std::string(name), lower})
        for (const char* ext : {"", ".h", ".inf"}) {
          std::error_code error;
          const fs::path candidate = folder / (base + ext);
          if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal().string();
        }
    return std::nullopt;
  };
}
