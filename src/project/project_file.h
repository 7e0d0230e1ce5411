#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "source_message.h"
#include "story_target.h"

// A project file, NAME.i6proj: an INI text a person can read and edit.
//
//   [Project]
//   Main=adventure.inf
//   Target=z5                  ; z3 z4 z5 z6 z7 z8 ulx
//   Profile=Debug              ; Debug or Release
//   Library=../lib/punyinform  ; empty: the global library setting
//   [Files]
//   File=adventure.inf
//   File=rooms.h
//   [Include]
//   Path=../extensions
//   [Switches]
//   Switch=-e
//   Switch=$MAX_ERRORS=10
//   [Interpreters]
//   z5=/usr/games/frotz
//   ulx=gargoyle-free
//
// Paths are stored relative to the project file's folder, with "/" between names; in memory
// they are absolute. Keys and sections this program does not know are kept and written back.
struct ProjectFile {
  std::string path;                      // absolute path of the .i6proj
  std::string mainFile;                  // absolute
  std::vector<std::string> files;        // members, absolute; the main file among them
  StoryTarget target = StoryTarget::Z5;
  BuildProfile profile = BuildProfile::Debug;
  std::string libraryPath;               // absolute; empty = the global setting
  std::vector<std::string> includePaths; // absolute
  std::vector<std::string> switches;     // as given to the compiler: "-e", "$MAX_ERRORS=10"
  std::map<std::string, std::string> interpreters; // target name ("z5", "ulx") -> command
  // What this program does not know: section, key, value, in the order read.
  std::vector<std::pair<std::string, std::string>> otherKeys; // "Section/Key", value
  // The author's comment lines, each run of them with the line that followed it (its anchor:
  // "[Section]" or "Section/Key=value"; "" for the file's end). A save writes a run before its
  // anchor again, or at the file's end when the anchor has gone.
  std::vector<std::pair<std::string, std::string>> comments; // anchor, lines each ending "\n"
  int mainFileLine = 0;    // line of Main= in the file read (for messages); 0 when new
  int libraryLine = 0;     // line of Library=
  std::map<std::string, int> fileLines; // member -> line of its File= (for messages)

  // The project's folder: where relative paths start.
  std::string Folder() const;
  bool Contains(const std::string& absolutePath) const;
  // Adds a member (absolute path) unless it is one already; true when added.
  bool AddFile(const std::string& absolutePath);
  // Removes a member from the list (never from the disk); the main file cannot be removed.
  bool RemoveFile(const std::string& absolutePath);
};

// The text of a project file for project (its paths made relative to project.path).
std::string ProjectFileText(const ProjectFile& project);

// Reads text as the project file at path. On a malformed line (no "=", a section or key
// that cannot be, a bad target or profile, no main file) returns false with error naming the
// file and the line.
bool ParseProjectFile(std::string_view text, const std::string& path, ProjectFile& project,
                      SourceMessage& error);

// Reads the project file at path. False with error when it cannot be read or parsed.
bool ReadProjectFile(const std::string& path, ProjectFile& project, SourceMessage& error);

// What is wrong with a project that was read: a main file or a member that no longer
// exists, a library folder that is not there (each naming the project file and the line).
std::vector<SourceMessage> ProjectProblems(const ProjectFile& project);

// The arguments the compiler is given for project before the source, in this order: the
// target's switch, the profile's switches, "+include_path=" with the include paths and then
// the library folder (the project's, else globalLibrary), the extra switches.
std::vector<std::string> ProjectCommandLine(const ProjectFile& project,
                                            const std::string& globalLibrary);

// Writes project to project.path atomically (a temporary file beside it, then renamed over
// it): on any failure the old file is left as it was and error says why.
bool WriteProjectFile(const ProjectFile& project, SourceMessage& error);
