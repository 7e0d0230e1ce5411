#pragma once
#include <optional>
#include <string_view>

// The virtual machine a game is compiled for: a Z-code version or Glulx.
enum class StoryTarget { Z3, Z4, Z5, Z6, Z7, Z8, Glulx };

// The targets a project file names: "z3" ... "z8", "ulx".
const char* TargetName(StoryTarget target);
std::optional<StoryTarget> TargetFromName(std::string_view name);

// The story file's extension the target writes: ".z3" ... ".z8", ".ulx".
const char* StoryExtension(StoryTarget target);

// The switch that selects the target: "-v3" ... "-v8", "-G".
const char* TargetSwitch(StoryTarget target);

inline bool IsGlulx(StoryTarget target) { return target == StoryTarget::Glulx; }

// Which build a project makes: Debug adds the debugging switches, Release removes them.
enum class BuildProfile { Debug, Release };

const char* ProfileName(BuildProfile profile); // "Debug", "Release"
std::optional<BuildProfile> ProfileFromName(std::string_view name);
