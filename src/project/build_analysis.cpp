#include "build_analysis.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "include_resolver.h"
#include "include_scanner.h"

namespace fs = std::filesystem;

namespace {

// The name Inform gives the library's language file: "language__" stands for the
// language_name setting.
constexpr std::string_view LANGUAGE_PLACEHOLDER = "language__";

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

std::string JoinPath(const std::vector<std::string>& folders) {
  std::string joined;
  for (const std::string& folder : folders)
    joined += (joined.empty() ? "" : ",") + (folder.empty() ? std::string(".") : folder);
  return joined;
}

class CIncludeWalk {
public:
  CIncludeWalk(const CompilerOptions& options, const std::string& workingFolder,
               BuildAnalysis& analysis)
      : m_options(options), m_workingFolder(workingFolder), m_analysis(analysis) {}

  void Visit(const std::string& file) {
    if (!m_visited.insert(file).second) return;
    std::string text;
    if (!ReadWholeFile(file, text)) {
      m_analysis.problems.push_back({file, 0, std::string("cannot read the file: ") + std::strerror(errno)});
      return;
    }
    for (const IncludeDirective& directive : ScanIncludes(text)) {
      IncludeFound found{directive.name, file, directive.line, {}};
      const std::string name =
          directive.name == LANGUAGE_PLACEHOLDER ? m_options.languageName : directive.name;
      found.path = ResolveInclude(name, file, m_options.includePath, m_workingFolder);
      m_analysis.includes.push_back(found);
      if (found.path.empty()) {
        // Inside an #Ifdef the file may never be wanted (the library's Glulx-only files).
        if (!directive.conditional) NotFound(directive, name, file);
        continue;
      }
      NoteLibrary(found.path);
      Visit(found.path);
    }
  }

private:
  void NotFound(const IncludeDirective& directive, const std::string& name, const std::string& file) {
    std::string text = "cannot find the file of Include \"" + directive.name + "\" (" +
                       IncludeFileName(name) + ")";
    if (!name.empty() && name.front() != '>' && name.find('/') == std::string::npos)
      text += " in the include path " + JoinPath(m_options.includePath);
    m_analysis.problems.push_back({file, directive.line, text});
  }

  // The first included file that lies in a library's folder names the library.
  void NoteLibrary(const std::string& path) {
    if (m_analysis.library.kind != LibraryKind::None) return;
    const std::string folder = fs::path(path).parent_path().string();
    auto known = m_folders.find(folder);
    if (known == m_folders.end()) known = m_folders.emplace(folder, IdentifyLibraryFolder(folder)).first;
    if (known->second.kind != LibraryKind::Unknown) m_analysis.library = known->second;
  }

  const CompilerOptions& m_options;
  const std::string& m_workingFolder;
  BuildAnalysis& m_analysis;
  std::set<std::string> m_visited;
  std::map<std::string, LibraryInfo> m_folders;
};

// A configured library folder that is missing or holds no library this program knows.
void CheckLibraryFolder(const BuildInputs& inputs, BuildAnalysis& analysis) {
  if (inputs.libraryFolder.empty()) return;
  const fs::path folder = fs::path(inputs.libraryFolder).lexically_normal();
  if (analysis.library.kind != LibraryKind::None &&
      fs::path(analysis.library.folder).lexically_normal() == folder)
    return;
  SourceMessage message = inputs.libraryOrigin;
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    message.text = "the library folder " + inputs.libraryFolder + " does not exist";
  } else if (IdentifyLibraryFolder(folder.string()).kind == LibraryKind::Unknown) {
    message.text = "the library folder " + inputs.libraryFolder +
                   " holds neither the standard library (version.h) nor PunyInform (globals.h)";
  } else {
    return;
  }
  analysis.problems.push_back(message);
}

} // namespace

std::string StoryFileFor(const std::string& mainFile, StoryTarget target) {
  const size_t nameStart = mainFile.rfind('/') == std::string::npos ? 0 : mainFile.rfind('/') + 1;
  const size_t dot = mainFile.rfind('.');
  const std::string base =
      (dot != std::string::npos && dot > nameStart) ? mainFile.substr(0, dot) : mainFile;
  return base + StoryExtension(target);
}

BuildAnalysis AnalyseBuild(const BuildInputs& inputs) {
  BuildAnalysis analysis;
  analysis.header = ReadIclHeader(inputs.mainFile);
  analysis.options = ResolveCompilerOptions(inputs.commandLine, analysis.header,
                                            inputs.compilerVersion, inputs.knownSwitches);
  analysis.problems = analysis.header.problems;
  analysis.problems.insert(analysis.problems.end(), analysis.options.problems.begin(),
                           analysis.options.problems.end());
  analysis.storyFile = StoryFileFor(inputs.mainFile, analysis.options.target);
  // The compiler runs in the main file's folder: relative folders start there.
  const std::string workingFolder = fs::path(inputs.mainFile).parent_path().string();
  // A main file that cannot be read has said so through its header already.
  if (analysis.header.problems.empty() || analysis.header.problems.front().line != 0)
    CIncludeWalk(analysis.options, workingFolder, analysis).Visit(inputs.mainFile);
  CheckLibraryFolder(inputs, analysis);
  return analysis;
}
