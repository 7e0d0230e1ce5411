#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "text_encoding.h"

class COutputSink;
struct CompilerFacts;
class CProfileStore;

// Texts of the Compile command.
inline constexpr const char* TEXT_NO_COMPILER_PATH =
    "You have not set your compiler path.  See View->Options";
// Followed by the source path: a source named like its own story file ("adv.z5").
inline constexpr const char* TEXT_OUTPUT_IS_SOURCE =
    "Not compiled: the story file would overwrite the source. Give the source another "
    "extension, such as .inf:\n";

// Bits of "StandardOptions", each adding one switch.
inline constexpr uint32_t OPTION_DEBUG = 1;          // "-D "
inline constexpr uint32_t OPTION_MODULES = 2;        // "-U "
inline constexpr uint32_t OPTION_STATISTICS = 4;     // "-s "
inline constexpr uint32_t OPTION_DOUBLE_SPACES = 8;  // "-d2 "
inline constexpr uint32_t OPTION_LIST_OBJECTS = 16;  // "-j "

// The five values a compile reads, with the store's defaults.
struct CompileSettings {
  QString compiler;          // "Editor\Paths" "Compiler"; empty = not set
  QString library;           // "Editor\Paths" "Library"; empty = no include path
  uint32_t standardOptions = 3;
  QString userDefOptions;    // switches without "-", each ended by "|": "e|$SIZE=100|"
  uint32_t z5 = 1;           // 1 = version-5 story, anything else version 8
};

// What one compile runs.
struct CompileCommand {
  QString commandLine; // program and arguments, split by QProcess::splitCommand
  QString outputPath;  // the story file the compiler is told to write
};

// Removes the extension of the file name at the end of path, in place:
// "/games/adv.inf" -> "/games/adv". Only a "." inside the last path component counts, and not
// its first character, so "/games/my.dir/adv" and "/games/.hidden" keep their whole text.
void StripExtension(QString& path);

// The switch string: " " + standard switches + "-" + additional switches + "v5 " or "v8 ".
// With facts, the switches the compiler says it does not know are left out (an unknown
// switch only earns a warning on every compile); "$" and "+" settings always go through.
QString ComposeSwitches(uint32_t standardOptions, const QString& userDefOptions, uint32_t z5,
                        const CompilerFacts* facts = nullptr);

// The switches that ComposeSwitches leaves out for facts, as written on a command line:
// "-U", "-j", "-xyz".
QStringList UnknownSwitches(uint32_t standardOptions, const QString& userDefOptions,
                            const CompilerFacts& facts);

// One path as it must stand in a command line so that QProcess::splitCommand gives it back
// whole: unchanged when it holds no blank and no quote; blanks are protected by surrounding
// quotes and a quote character is written as three quotes.
QString QuoteCommandArgument(const QString& argument);

// The compiler command for sourcePath:
// <Compiler>[ +include_path=<Library>] [-D ][-U ][-s ][-d2 ][-j ]-<more>v5 <source> <output>
// settings.compiler must not be empty (the caller tells the user first). facts: see
// ComposeSwitches.
CompileCommand ComposeCompileCommand(const QString& sourcePath, const CompileSettings& settings,
                                     const CompilerFacts* facts = nullptr);

// The five values as stored now; read on every compile, never cached.
CompileSettings ReadCompileSettings(const CProfileStore& store);

// True when writing outputPath would destroy sourcePath: the same path, or the same file
// reached another way (a symbolic or a hard link: the same device and inode).
bool OutputWouldOverwriteSource(const QString& sourcePath, const QString& outputPath);

struct ProjectFile;

// How a compile went, as far as the program can tell.
struct CompileRun {
  bool compilerSet = false;   // false: nothing ran; the caller tells TEXT_NO_COMPILER_PATH
  QString refusal;            // not empty: nothing ran, and this is what to tell the user
  bool declined = false;      // the user answered No to the build's warning: nothing ran
  bool childFinished = false; // the compiler ran to its own end
  int exitCode = -1;          // its exit status then
  QString mainFile;           // what the compiler was given
  QString storyPath;          // the story file it was told to write
  QString library;            // "Standard library 6.12.6", "PunyInform 3.6"; empty: none
};

// What a compile builds beyond the source: the open project, and the question to ask when
// the model warns (a standard-library game to z3, a PunyInform game to Glulx).
struct CompileRequest {
  const ProjectFile* project = nullptr; // a source among its files builds its main file
  std::function<bool(const QString& warning)> confirm; // false stops; empty: go on
  // The encoding of the compiled document (see PlanBuild).
  std::optional<TextEncoding> sourceEncoding;
};

// Compile after the document's save: reads the settings now (a fresh user's paths are found
// on the system, see ReadToolPath) and what the compiler knows (CompilerFactsFor, cached in
// the store's file), plans the build (PlanBuild: the main file, its header, the project);
// with a compiler path set, and a story path that is not the source itself, asks confirm
// about a warning, calls prepareOutput (the editor shows and clears its output bar), writes
// the plan's summary and problems as the first lines, then runs the command in the main
// file's folder through a CRedirector into output until the compiler ends, pumping events
// with pump (empty: the application's). Uses nothing of the caller after the run, so the
// caller may be gone by then.
CompileRun RunCompile(const QString& sourcePath, const CProfileStore& store, COutputSink* output,
                      const std::function<void()>& prepareOutput = {},
                      const std::function<void()>& pump = {},
                      const CompileRequest& request = {});
