#pragma once
#include <string>
#include <vector>

#include "icl_header.h"
#include "story_target.h"

// From this compiler version on (major * 100 + minor) the command line wins over the "!%"
// header; before it the header wins.
inline constexpr int ICL_COMMAND_LINE_WINS_FROM = 644;

// What one compile ends up with after the command line and the header are both applied.
struct CompilerOptions {
  StoryTarget target = StoryTarget::Z5;         // the compiler's own default is version 5
  std::vector<std::string> includePath;         // folders, in search order
  std::string languageName = "English";
  bool debug = false;                           // -D
  bool strict = true;                           // -S (on by default)
  bool debugFile = false;                       // -k
  std::string characterSet = "1";               // -C: "u" for UTF-8, "0" ... "9"
  std::vector<std::string> memorySettings;      // "$NAME=value", as given
  std::vector<std::string> symbols;             // "$#NAME=value", as given
  std::vector<SourceMessage> problems;          // switches the compiler would not take
};

// Where problems of the command line are reported (there is no file to name).
inline constexpr const char* COMMAND_LINE_ORIGIN = "the compiler's command line";

// Applies the command line (arguments the compiler is given before the source: switches,
// "+path=", "$settings") and the header in the order compilerVersion gives them. A version
// of 0 (unknown) is taken as one before ICL_COMMAND_LINE_WINS_FROM. knownSwitches: the
// switches the compiler names in its help ("a2", "Cu", "v5", "Wn" ...); a letter none of them
// begins with is reported as the compiler would; empty: every letter is taken.
CompilerOptions ResolveCompilerOptions(const std::vector<std::string>& commandLine,
                                       const IclHeader& header, int compilerVersion,
                                       const std::vector<std::string>& knownSwitches = {});

// The compiler's own default include path is left in place by an empty command line; the
// model starts from none (the editor always gives "+include_path=").
