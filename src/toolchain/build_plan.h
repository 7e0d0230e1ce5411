#pragma once
#include <QString>
#include <QStringList>

#include "build_analysis.h"
#include "compile_command.h"
#include "source_encoding.h"

struct CompilerFacts;
struct ProjectFile;

// Texts of a build's checks and of its first output line.
inline constexpr const char* TEXT_STANDARD_LIBRARY_Z3 =
    "This game uses the standard library, which does not fit in a version 3 story file "
    "(z3): the compiler will most likely run out of room.\n\nCompile it anyway?";
inline constexpr const char* TEXT_PUNYINFORM_GLULX =
    "This game uses PunyInform, which is written for Z-code and does not compile to Glulx."
    "\n\nCompile it anyway?";
inline constexpr const char* TEXT_LIBRARY_SETTING = "the Library setting (View->Options)";

// How one source is built: the main file the compiler gets, its command line, where it runs
// and what it writes, and what the model knows of the game.
struct BuildPlan {
  QString mainFile;
  QStringList arguments;    // given to the compiler before the main file
  QString commandLine;      // the whole command, for the redirector
  QString storyPath;        // the story file the compiler is told to write
  QString workingDirectory; // the main file's folder: relative paths of "!%" lines start there
  QString profile;          // "Debug", "Release"; empty without a project
  BuildAnalysis analysis;
  QString warning;          // a question to ask before compiling; empty when none

  StoryTarget Target() const { return analysis.options.target; }
  // The output bar's first line: "Profile Debug, target z5, Standard library 6.12.6".
  QString Summary() const;
  // The problems, one "file, line N: text" line each.
  QStringList Problems() const;
};

// Plans the build of sourcePath. With a project that holds it, the project's main file,
// target, profile, paths and switches; else the source itself with the global settings (its
// "!%" header choosing the target when it names one). facts: what the compiler knows of
// itself (its version decides whether the header or the command line wins); may be null.
// sourceEncoding: the encoding sourcePath's document is read in, used when it is the main
// file; otherwise the main file's header, command line and bytes decide (see FileEncoding). A UTF-8 main file
// is compiled with -Cu unless its header names a character set.
BuildPlan PlanBuild(const QString& sourcePath, const CompileSettings& settings,
                    const CompilerFacts* facts, const ProjectFile* project,
                    std::optional<TextEncoding> sourceEncoding = std::nullopt);

// The interpreter setting for a story of target (Glulx or Z-code), the project's own
// interpreter for it first.
QString InterpreterFor(StoryTarget target, const CProfileStore& store, const ProjectFile* project);
