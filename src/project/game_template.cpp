#include "game_template.h"

#include <cctype>

namespace {

// text inside an Inform string: a double quote is written "~", which prints as one.
std::string InString(std::string_view text) {
  std::string out;
  for (const char c : text) out.push_back(c == '"' ? '~' : c);
  return out;
}

std::string Header(GameTemplate kind) {
  switch (kind) {
  case GameTemplate::StandardGlulx: return "!% -G\n";
  // The unused routines of the library left out: a version 3 story file is small.
  case GameTemplate::PunyZ3: return "!% -v3\n!% $OMIT_UNUSED_ROUTINES=1\n";
  default: return "!% -v5\n";
  }
}

} // namespace

StoryTarget TemplateTarget(GameTemplate kind) {
  switch (kind) {
  case GameTemplate::StandardGlulx: return StoryTarget::Glulx;
  case GameTemplate::PunyZ3: return StoryTarget::Z3;
  default: return StoryTarget::Z5;
  }
}

std::string GameSource(GameTemplate kind, const GameDetails& details) {
  const std::string title = InString(details.title);
  const std::string author = InString(details.author);
  std::string headline = "^" + InString(details.headline);
  if (!author.empty()) headline += (details.headline.empty() ? "" : "^") + std::string("by ") + author;
  const bool puny = kind == GameTemplate::PunyZ3;
  std::string text = Header(kind) + "! " + title + (author.empty() ? "" : ", by " + author) +
                     "\n\nConstant Story \"" + title + "\";\nConstant Headline \"" + headline +
                     "^\";\n";
  if (puny) text += "Constant INITIAL_LOCATION_VALUE = First_Room;\n";
  text += puny ? "\nInclude \"globals.h\";\nInclude \"puny.h\";\n"
               : "\nInclude \"Parser\";\nInclude \"VerbLib\";\n";
  text += "\nObject First_Room \"First Room\"\n  with\n"
          "    description \"This is where " + title + " begins.\",\n  has light;\n\n"
          "[ Initialise;\n";
  if (!puny) text += "  location = First_Room;\n";
  text += "];\n";
  if (!puny) text += "\nInclude \"Grammar\";\n";
  return text;
}

ProjectFile GameProject(GameTemplate kind, const std::string& mainFile,
                        const std::string& projectPath, const std::string& punyFolder) {
  ProjectFile project;
  project.path = projectPath;
  project.mainFile = mainFile;
  project.files = {mainFile};
  project.target = TemplateTarget(kind);
  project.profile = BuildProfile::Debug;
  if (kind == GameTemplate::PunyZ3) project.libraryPath = punyFolder;
  return project;
}

std::string GameFileStem(std::string_view title) {
  std::string stem;
  bool gap = false;
  for (const char c : title) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80 && std::isalnum(u)) {
      if (gap && !stem.empty()) stem.push_back('_');
      stem.push_back(static_cast<char>(std::tolower(u)));
      gap = false;
    } else {
      gap = true;
    }
  }
  return stem.empty() ? "game" : stem;
}
