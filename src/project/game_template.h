#pragma once
#include <string>
#include <string_view>

#include "project_file.h"

// The Game Wizard's templates: a first room and the library's entry points, ready to build.
enum class GameTemplate {
  StandardZ5,    // the standard library, Z-code version 5
  StandardGlulx, // the standard library, Glulx
  PunyZ3,        // PunyInform, Z-code version 3
};

struct GameDetails {
  std::string title;
  std::string author;
  std::string headline; // the line under the title
};

// The main file's text (ISO 8859-1 bytes, LF line ends), its "!%" header first: the
// target's switch, so that the file alone says what it is built for.
std::string GameSource(GameTemplate kind, const GameDetails& details);

// The target a template builds.
StoryTarget TemplateTarget(GameTemplate kind);

// The project of a game whose main file is mainFile, kept in projectPath (both absolute):
// the main file its only member, the template's target, the Debug profile, and for
// PunyInform its library folder.
ProjectFile GameProject(GameTemplate kind, const std::string& mainFile,
                        const std::string& projectPath, const std::string& punyFolder);

// A file name for a game called title: its words in lower case joined by "_" ("The Lost
// Key" -> "the_lost_key"); "game" when the title has no letter or digit.
std::string GameFileStem(std::string_view title);
