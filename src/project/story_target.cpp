#include "story_target.h"

namespace {

struct TargetRow {
  StoryTarget target;
  const char* name;
  const char* extension;
  const char* switchText;
};
constexpr TargetRow TARGETS[] = {
    {StoryTarget::Z3, "z3", ".z3", "-v3"}, {StoryTarget::Z4, "z4", ".z4", "-v4"},
    {StoryTarget::Z5, "z5", ".z5", "-v5"}, {StoryTarget::Z6, "z6", ".z6", "-v6"},
    {StoryTarget::Z7, "z7", ".z7", "-v7"}, {StoryTarget::Z8, "z8", ".z8", "-v8"},
    {StoryTarget::Glulx, "ulx", ".ulx", "-G"},
};

const TargetRow& Row(StoryTarget target) {
  for (const TargetRow& row : TARGETS)
    if (row.target == target) return row;
  return TARGETS[2];
}

} // namespace

const char* TargetName(StoryTarget target) { return Row(target).name; }
const char* StoryExtension(StoryTarget target) { return Row(target).extension; }
const char* TargetSwitch(StoryTarget target) { return Row(target).switchText; }

std::optional<StoryTarget> TargetFromName(std::string_view name) {
  for (const TargetRow& row : TARGETS)
    if (name == row.name) return row.target;
  return std::nullopt;
}

const char* ProfileName(BuildProfile profile) {
  return profile == BuildProfile::Release ? "Release" : "Debug";
}

std::optional<BuildProfile> ProfileFromName(std::string_view name) {
  if (name == "Debug") return BuildProfile::Debug;
  if (name == "Release") return BuildProfile::Release;
  return std::nullopt;
}
