// torvane-cli index FILE, goto FILE:LINE:COL, refs FILE:LINE:COL: the language index of the
// game whose main file is FILE, with its includes found in FILE's folder, the folders given
// with -I and the standard library's folder.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_command.h"
#include "include_resolver.h"
#include "language_index.h"
#include "text_file_io.h"

namespace {

// A source larger than this is not read: no Inform source comes near it.
constexpr size_t MAX_SOURCE_BYTES = size_t{256} << 20;

bool ReadWholeFile(const std::string& path, std::string& text) {
  return ReadFileBytes(path, text, MAX_SOURCE_BYTES);
}

struct CIndexArguments {
  std::vector<std::string> folders;
  std::string file;
  int line = 0; // 1-based, 0 when not given
  int col = 0;
};

bool ParseNumber(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 1;
}

// [-I DIR]... FILE, or FILE:LINE:COL when withPosition.
bool ParseArguments(int argc, char** argv, bool withPosition, CIndexArguments& out) {
  int i = 1;
  for (; i + 1 < argc && std::strcmp(argv[i], "-I") == 0; i += 2) out.folders.emplace_back(argv[i + 1]);
  if (i + 1 != argc) return false;
  std::string_view arg = argv[i];
  if (withPosition) {
    const std::size_t colon2 = arg.rfind(':');
    if (colon2 == std::string_view::npos || colon2 == 0) return false;
    const std::size_t colon1 = arg.rfind(':', colon2 - 1);
    if (colon1 == std::string_view::npos) return false;
    if (!ParseNumber(arg.substr(colon1 + 1, colon2 - colon1 - 1), out.line) || !ParseNumber(arg.substr(colon2 + 1), out.col))
      return false;
    arg = arg.substr(0, colon1);
  }
  out.file = std::filesystem::path(arg).lexically_normal().string();
  return !out.file.empty();
}

bool Write(const std::string& out) {
  if (std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "torvane-cli: cannot write the output: %s\n", std::strerror(errno));
  return false;
}

// The compiler's search: the source's folder (the compiler runs there), the -I folders, the
// standard library. The library names its language file "language__": English here.
IncludeResolver CompilerResolver(const std::vector<std::string>& folders, const std::string& source) {
  std::vector<std::string> path{""};
  path.insert(path.end(), folders.begin(), folders.end());
  path.emplace_back("/usr/share/inform6/library");
  const std::string working = std::filesystem::absolute(source).parent_path().string();
  return [path, working](std::string_view name, const std::string& including) -> std::optional<std::string> {
    std::string found = ResolveInclude(name == "language__" ? "English" : name, including, path, working);
    if (found.empty()) return std::nullopt;
    return found;
  };
}

// Indexes the game; prints why not and returns -1 when its main file cannot be read.
int IndexGame(CLanguageIndex& index, const CIndexArguments& args) {
  const int main = index.IndexProject(args.file, CompilerResolver(args.folders, args.file), ReadWholeFile);
  if (main < 0) std::fprintf(stderr, "torvane-cli: cannot read '%s'\n", args.file.c_str());
  return main;
}

std::string Location(const CLanguageIndex& index, const CIndexLocation& at) {
  return index.FilePath(at.file) + ':' + std::to_string(at.line + 1) + ':' + std::to_string(at.col + 1) + '\n';
}

int RunIndex(int argc, char** argv) {
  CIndexArguments args;
  if (!ParseArguments(argc, argv, false, args)) {
    std::fprintf(stderr, "usage: torvane-cli index [-I DIR]... FILE\n");
    return 2;
  }
  CLanguageIndex index;
  if (IndexGame(index, args) < 0) return 2;
  std::vector<CIndexDefinition> defs = index.AllDefinitions();
  std::stable_sort(defs.begin(), defs.end(), [&index](const CIndexDefinition& a, const CIndexDefinition& b) {
    const int byFile = index.FilePath(a.m_file).compare(index.FilePath(b.m_file));
    if (byFile != 0) return byFile < 0;
    return a.m_line != b.m_line ? a.m_line < b.m_line : a.m_col < b.m_col;
  });
  std::string out;
  for (const CIndexDefinition& def : defs) {
    if (def.m_name == INDEX_NO_NAME) continue;
    out += IndexKindName(def.m_kind);
    out += '\t' + index.NameOf(def.m_name) + '\t' + index.FilePath(def.m_file) + '\t' + std::to_string(def.m_line + 1) +
           '\t' + std::to_string(def.m_col + 1) + '\n';
  }
  return Write(out) ? 0 : 1;
}

int RunAtPosition(int argc, char** argv, bool references) {
  CIndexArguments args;
  if (!ParseArguments(argc, argv, true, args)) {
    std::fprintf(stderr, "usage: torvane-cli %s [-I DIR]... FILE:LINE:COL\n", references ? "refs" : "goto");
    return 2;
  }
  CLanguageIndex index;
  const int main = IndexGame(index, args);
  if (main < 0) return 2;
  std::vector<CIndexLocation> found;
  if (!references) {
    found = index.GoTo(main, args.line - 1, args.col - 1);
  } else if (const auto ref = index.ReferenceAt(main, args.line - 1, args.col - 1)) {
    found = index.References(ref->m_name);
  }
  if (found.empty()) {
    std::fprintf(stderr, "torvane-cli: nothing found at %s:%d:%d\n", args.file.c_str(), args.line, args.col);
    return 1;
  }
  std::string out;
  for (const CIndexLocation& at : found) out += Location(index, at);
  return Write(out) ? 0 : 1;
}

int RunGoto(int argc, char** argv) { return RunAtPosition(argc, argv, false); }
int RunRefs(int argc, char** argv) { return RunAtPosition(argc, argv, true); }

const CCliCommandRegistrar INDEX_COMMAND("index", "index [-I DIR]... FILE        list every definition of the game FILE",
                                         RunIndex);
const CCliCommandRegistrar GOTO_COMMAND("goto", "goto [-I DIR]... FILE:L:C     print where the name at line L, column C is defined",
                                        RunGoto);
const CCliCommandRegistrar REFS_COMMAND("refs", "refs [-I DIR]... FILE:L:C     print every use of the name at line L, column C",
                                        RunRefs);

} // namespace
