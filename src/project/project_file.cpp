#include "project_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* SECTION_PROJECT = "Project";
constexpr const char* SECTION_FILES = "Files";
constexpr const char* SECTION_INCLUDE = "Include";
constexpr const char* SECTION_SWITCHES = "Switches";
constexpr const char* SECTION_INTERPRETERS = "Interpreters";
// The first line of every project file this program writes; read back, it is no comment of
// the author's.
constexpr const char* HEADER_COMMENT = "; Torvane project: paths are relative to this file";
// A project file is a few hundred bytes; anything this large is not one.
constexpr std::streamoff MAX_PROJECT_FILE_SIZE = 4 << 20;

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::string Absolute(const std::string& folder, const std::string& stored) {
  const fs::path path(stored);
  return (path.is_absolute() ? path : fs::path(folder) / path).lexically_normal().string();
}

// Relative to folder with "/" between names. A path that shares not even its first folder
// with the project's ("/usr/share/...", beside "/home/...") stays absolute: it does not move
// with the project.
std::string Relative(const std::string& folder, const std::string& absolute) {
  const fs::path path(absolute);
  const fs::path base(folder);
  auto pathPart = path.begin(), basePart = base.begin();
  for (int i = 0; i < 2 && pathPart != path.end() && basePart != base.end(); ++i, ++pathPart, ++basePart)
    if (*pathPart != *basePart) return absolute;
  const fs::path relative = path.lexically_relative(base);
  return relative.empty() ? absolute : relative.generic_string();
}

class CProjectParser {
public:
  CProjectParser(const std::string& path, ProjectFile& project, SourceMessage& error)
      : m_project(project), m_error(error) {
    m_project = ProjectFile();
    m_project.path = fs::path(path).lexically_normal().string();
    m_folder = m_project.Folder();
  }

  bool Parse(std::string_view text) {
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      if (!Line(Trim(text.substr(start, end - start)), ++lineNumber)) return false;
      start = end + 1;
    }
    if (!m_comment.empty()) m_project.comments.emplace_back(std::string(), m_comment);
    if (m_project.mainFile.empty()) return Fail(0, "no main file: the [Project] section needs Main=FILE");
    m_project.AddFile(m_project.mainFile);
    return true;
  }

private:
  bool Fail(int line, const std::string& text) {
    m_error = {m_project.path, line, text};
    return false;
  }

  bool Line(const std::string& line, int number) {
    if (line.empty()) return true;
    if (line.find('\0') != std::string::npos) return Fail(number, "this is not a project file (it holds binary data)");
    if (line.front() == ';' || line.front() == '#') {
      if (line != HEADER_COMMENT) m_comment += line + '\n';
      return true;
    }
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return Fail(number, "a section name must stand between [ and ]: '" + line + "'");
      m_section = Trim(std::string_view(line).substr(1, line.size() - 2));
      Anchor('[' + m_section + ']');
      return true;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) return Fail(number, "expected KEY=VALUE but found '" + line + "'");
    const std::string key = Trim(std::string_view(line).substr(0, equals));
    const std::string value = Trim(std::string_view(line).substr(equals + 1));
    Anchor(m_section + '/' + key + '=' + value);
    return Value(key, value, number);
  }

  // The comment lines read since the last line that was none belong before anchor.
  void Anchor(const std::string& anchor) {
    if (m_comment.empty()) return;
    m_project.comments.emplace_back(anchor, std::move(m_comment));
    m_comment.clear();
  }

  bool Value(const std::string& key, const std::string& value, int number) {
    if (m_section == SECTION_PROJECT && key == "Main") {
      if (value.empty()) return Fail(number, "Main= names no file");
      m_project.mainFile = Absolute(m_folder, value);
      m_project.mainFileLine = number;
    } else if (m_section == SECTION_PROJECT && key == "Target") {
      const auto target = TargetFromName(value);
      if (!target) return Fail(number, "unknown target '" + value + "' (z3, z4, z5, z6, z7, z8 or ulx)");
      m_project.target = *target;
    } else if (m_section == SECTION_PROJECT && key == "Profile") {
      const auto profile = ProfileFromName(value);
      if (!profile) return Fail(number, "unknown profile '" + value + "' (Debug or Release)");
      m_project.profile = *profile;
    } else if (m_section == SECTION_PROJECT && key == "Library") {
      m_project.libraryPath = value.empty() ? std::string() : Absolute(m_folder, value);
      m_project.libraryLine = number;
    } else if (m_section == SECTION_FILES && key == "File" && !value.empty()) {
      const std::string file = Absolute(m_folder, value);
      m_project.AddFile(file);
      m_project.fileLines.emplace(file, number);
    } else if (m_section == SECTION_INCLUDE && key == "Path" && !value.empty()) {
      m_project.includePaths.push_back(Absolute(m_folder, value));
    } else if (m_section == SECTION_SWITCHES && key == "Switch" && !value.empty()) {
      m_project.switches.push_back(value);
    } else if (m_section == SECTION_INTERPRETERS && TargetFromName(key)) {
      m_project.interpreters[key] = value;
    } else {
      m_project.otherKeys.emplace_back(m_section + "/" + key, value);
    }
    return true;
  }

  ProjectFile& m_project;
  SourceMessage& m_error;
  std::string m_folder;
  std::string m_section;
  std::string m_comment; // comment lines waiting for the line they stand before
};

// Writes a project file's lines, putting each of the author's comment runs back before the
// line it stood before.
class CProjectWriter {
public:
  explicit CProjectWriter(const ProjectFile& project)
      : m_comments(project.comments), m_written(project.comments.size(), false) {}

  void Section(const std::string& section) {
    if (!m_section.empty()) m_out << '\n'; // a blank line between sections
    m_section = section;
    Comments('[' + section + ']');
    m_out << '[' << section << "]\n";
  }
  void Key(const std::string& key, const std::string& value) {
    Comments(m_section + '/' + key + '=' + value);
    m_out << key << '=' << value << '\n';
  }
  void Raw(const std::string& line) { m_out << line << '\n'; }

  // The runs whose lines are gone, at the end: nothing the author wrote is dropped.
  std::string Finish() {
    for (size_t i = 0; i < m_comments.size(); ++i)
      if (!m_written[i]) m_out << m_comments[i].second;
    return m_out.str();
  }

private:
  void Comments(const std::string& anchor) {
    for (size_t i = 0; i < m_comments.size(); ++i)
      if (!m_written[i] && m_comments[i].first == anchor) {
        m_out << m_comments[i].second;
        m_written[i] = true;
      }
  }

  const std::vector<std::pair<std::string, std::string>>& m_comments;
  std::vector<bool> m_written;
  std::ostringstream m_out;
  std::string m_section;
};

// The keys of otherKeys that belong to section, written as "Key=value" lines.
void WriteOtherKeys(CProjectWriter& out, const ProjectFile& project, const std::string& section) {
  for (const auto& [sectionKey, value] : project.otherKeys) {
    const size_t slash = sectionKey.find('/');
    if (sectionKey.compare(0, slash, section) == 0 && slash == section.size())
      out.Key(sectionKey.substr(slash + 1), value);
  }
}

bool IsKnownSection(const std::string& section) {
  return section == SECTION_PROJECT || section == SECTION_FILES || section == SECTION_INCLUDE ||
         section == SECTION_SWITCHES || section == SECTION_INTERPRETERS;
}

} // namespace

std::string ProjectFile::Folder() const { return fs::path(path).parent_path().string(); }

bool ProjectFile::Contains(const std::string& absolutePath) const {
  const std::string normal = fs::path(absolutePath).lexically_normal().string();
  return std::find(files.begin(), files.end(), normal) != files.end();
}

bool ProjectFile::AddFile(const std::string& absolutePath) {
  if (Contains(absolutePath)) return false;
  files.push_back(fs::path(absolutePath).lexically_normal().string());
  return true;
}

bool ProjectFile::RemoveFile(const std::string& absolutePath) {
  const std::string normal = fs::path(absolutePath).lexically_normal().string();
  if (normal == mainFile) return false;
  const auto found = std::find(files.begin(), files.end(), normal);
  if (found == files.end()) return false;
  files.erase(found);
  return true;
}

std::string ProjectFileText(const ProjectFile& project) {
  const std::string folder = project.Folder();
  CProjectWriter out(project);
  out.Raw(HEADER_COMMENT);
  out.Section(SECTION_PROJECT);
  out.Key("Main", Relative(folder, project.mainFile));
  out.Key("Target", TargetName(project.target));
  out.Key("Profile", ProfileName(project.profile));
  if (!project.libraryPath.empty()) out.Key("Library", Relative(folder, project.libraryPath));
  WriteOtherKeys(out, project, SECTION_PROJECT);
  out.Section(SECTION_FILES);
  for (const std::string& file : project.files) out.Key("File", Relative(folder, file));
  WriteOtherKeys(out, project, SECTION_FILES);
  out.Section(SECTION_INCLUDE);
  for (const std::string& path : project.includePaths) out.Key("Path", Relative(folder, path));
  WriteOtherKeys(out, project, SECTION_INCLUDE);
  out.Section(SECTION_SWITCHES);
  for (const std::string& value : project.switches) out.Key("Switch", value);
  WriteOtherKeys(out, project, SECTION_SWITCHES);
  out.Section(SECTION_INTERPRETERS);
  for (const auto& [target, command] : project.interpreters) out.Key(target, command);
  WriteOtherKeys(out, project, SECTION_INTERPRETERS);
  std::vector<std::string> written;
  for (const auto& [sectionKey, value] : project.otherKeys) {
    const std::string section = sectionKey.substr(0, sectionKey.find('/'));
    if (IsKnownSection(section) || std::find(written.begin(), written.end(), section) != written.end())
      continue;
    written.push_back(section);
    out.Section(section);
    WriteOtherKeys(out, project, section);
  }
  return out.Finish();
}

bool ParseProjectFile(std::string_view text, const std::string& path, ProjectFile& project,
                      SourceMessage& error) {
  return CProjectParser(path, project, error).Parse(text);
}

bool ReadProjectFile(const std::string& path, ProjectFile& project, SourceMessage& error) {
  std::error_code fsError;
  if (fs::is_directory(path, fsError)) {
    error = {path, 0, "cannot read the project file: it is a folder"};
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = {path, 0, std::string("cannot read the project file: ") + std::strerror(errno)};
    return false;
  }
  std::string text;
  char chunk[16384];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<size_t>(in.gcount()));
    if (static_cast<std::streamoff>(text.size()) > MAX_PROJECT_FILE_SIZE) {
      error = {path, 0, "this is not a project file (it is larger than 4 MiB)"};
      return false;
    }
  }
  if (in.bad()) {
    error = {path, 0, "cannot read the project file: read error"};
    return false;
  }
  return ParseProjectFile(text, fs::absolute(path).string(), project, error);
}

std::vector<SourceMessage> ProjectProblems(const ProjectFile& project) {
  std::vector<SourceMessage> problems;
  std::error_code error;
  for (const std::string& file : project.files) {
    if (fs::exists(file, error)) continue;
    const bool main = file == project.mainFile;
    const auto line = project.fileLines.find(file);
    problems.push_back({project.path,
                        main ? project.mainFileLine : (line == project.fileLines.end() ? 0 : line->second),
                        (main ? "the main file " : "the file ") + file + " does not exist"});
  }
  if (!project.libraryPath.empty() && !fs::is_directory(project.libraryPath, error))
    problems.push_back({project.path, project.libraryLine,
                        "the library folder " + project.libraryPath + " does not exist"});
  return problems;
}

std::vector<std::string> ProjectCommandLine(const ProjectFile& project,
                                            const std::string& globalLibrary) {
  std::vector<std::string> arguments{TargetSwitch(project.target)};
  if (project.profile == BuildProfile::Debug) {
    // Strict mode's checks call routines with opcodes a version 3 story does not have.
    if (project.target == StoryTarget::Z3)
      arguments.insert(arguments.end(), {"-D", "-k"});
    else
      arguments.insert(arguments.end(), {"-D", "-S", "-k"});
  } else {
    arguments.insert(arguments.end(), {"-~S", "-~D"});
  }
  // The main file's folder first, then the project's folders, then the library.
  std::string includePath = fs::path(project.mainFile).parent_path().string();
  for (const std::string& folder : project.includePaths) includePath += "," + folder;
  const std::string& library = project.libraryPath.empty() ? globalLibrary : project.libraryPath;
  if (!library.empty()) includePath += "," + library;
  arguments.push_back("+include_path=" + includePath);
  arguments.insert(arguments.end(), project.switches.begin(), project.switches.end());
  return arguments;
}

bool WriteProjectFile(const ProjectFile& project, SourceMessage& error) {
  const std::string text = ProjectFileText(project);
  std::string temporary = project.path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = {project.path, 0, std::string("cannot write the project file: ") + std::strerror(errno)};
    return false;
  }
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const int savedErrno = errno;
  const bool complete = written == text.size() && ::fsync(fd) == 0;
  // The file keeps its permissions; a new one gets the usual ones.
  struct stat old {};
  ::fchmod(fd, ::stat(project.path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  if (::close(fd) != 0 || !complete || ::rename(temporary.c_str(), project.path.c_str()) != 0) {
    error = {project.path, 0, std::string("cannot write the project file: ") +
                                  std::strerror(written == text.size() ? errno : savedErrno)};
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}
