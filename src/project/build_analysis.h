#pragma once
#include <string>
#include <vector>

#include "compiler_options.h"
#include "icl_header.h"
#include "library_kind.h"
#include "source_message.h"

// What the model needs to know to say how a main file will be built.
struct BuildInputs {
  std::string mainFile;                 // absolute
  std::vector<std::string> commandLine; // what the compiler is given before the source
  int compilerVersion = 0;              // 641 for Inform 6.41; 0 when unknown
  std::vector<std::string> knownSwitches; // the compiler's help list; empty: not checked
  // The library folder that was configured (project or global setting) and where: a folder
  // that holds no known library is reported against this place. Empty: none configured.
  std::string libraryFolder;
  SourceMessage libraryOrigin;          // file and line that set it (line 0: the settings)
};

// One Include directive found in the game's files.
struct IncludeFound {
  std::string name;     // as written: "Parser", ">rooms.h"
  std::string fromFile; // the file that includes it
  int line = 0;
  std::string path;     // resolved absolute path; empty when it cannot be found
};

struct BuildAnalysis {
  IclHeader header;
  CompilerOptions options;
  std::string storyFile;              // the main file without its extension + the target's
  LibraryInfo library;
  std::vector<IncludeFound> includes; // every Include reached from the main file
  // The header's lines the compiler would reject, switches it would not take, includes not
  // found, a configured library folder without the library's files; each with file and line.
  std::vector<SourceMessage> problems;
};

// Reads the main file's header, applies it with the command line, follows every Include
// from the main file (and from the files it includes), and identifies the library.
BuildAnalysis AnalyseBuild(const BuildInputs& inputs);

// The main file's path without its extension followed by the target's: "/g/adv.inf" ->
// "/g/adv.z5". Only a "." in the file name (not its first character) starts an extension.
std::string StoryFileFor(const std::string& mainFile, StoryTarget target);
