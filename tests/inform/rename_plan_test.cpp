// Rename plans on a game, a header of its own and a library file: the places changed, the
// refusals and what each names, and the edits applied to a file's bytes.
#include <gtest/gtest.h>

#include "language_index.h"
#include "object_scanner.h"
#include "rename_plan.h"

namespace {

const std::vector<std::vector<std::string>> kFiles = {
    {"[ Main lamp_count; Greet(); x = Lamp.weight; print \"Greet\"; ! Greet", "];",
     "[ Tally n; n = ##Take; Hook(); ];", "Object Lamp with weight 3;", "[ TakeSub; ];",
     "Verb 'grab' * noun -> Take;", "[ Hook; ];"},
    {"[ Greet; <Take Lamp>; ];", "Constant Score_Max 5;"},
    {"System_file;", "Global location;", "[ Library_Routine; location = 0; Hook(); ];"},
};

class RenamePlan : public ::testing::Test {
protected:
  void SetUp() override {
    for (std::size_t f = 0; f < kFiles.size(); ++f) index.IndexFile(index.FileId("f" + std::to_string(f)), CStringLineSource(kFiles[f]));
  }
  CRenamePlan Plan(std::string_view name, std::string_view to) {
    return PlanRename(index, *index.Names().Find(name), to, [](int file) { return file == 2; },
                      [this](int file, std::vector<std::string>& out) {
                        out = kFiles[static_cast<std::size_t>(file)];
                        if (file == stale) out[0] = " " + out[0];
                        return true;
                      });
  }
  static std::string Edits(const CRenamePlan& plan) {
    std::string out;
    for (const CRenameEdit& e : plan.edits)
      out += std::to_string(e.file) + ":" + std::to_string(e.line) + ":" + std::to_string(e.col) + "+" + std::to_string(e.length) + "=" + e.text + " ";
    return out;
  }
  static std::string Refusal(const CRenamePlan& plan) {
    return std::to_string(static_cast<int>(plan.problem)) + " " + plan.what + " " + plan.kind + " " +
           std::to_string(plan.file) + ":" + std::to_string(plan.line);
  }
  CLanguageIndex index;
  int stale = -1;
};

TEST_F(RenamePlan, EveryUseOutsideStringsAndCommentsChangesAndAnActionTakesItsRoutineAlong) {
  EXPECT_EQ(Edits(Plan("Greet", "Hello")), "0:0:19+5=Hello 1:0:2+5=Hello ");
  EXPECT_EQ(Edits(Plan("Greet", "GREET")), "0:0:19+5=GREET 1:0:2+5=GREET ");
  const std::string action = "0:2:17+4=Grab 0:4:2+7=GrabSub 0:5:22+4=Grab 1:0:10+4=Grab ";
  EXPECT_EQ(Edits(Plan("Take", "Grab")), action);
  EXPECT_EQ(Edits(Plan("TakeSub", "GrabSub")), action);
  EXPECT_EQ(Plan("Take", "Grab").problem, ERenameProblem::None);
}

TEST_F(RenamePlan, RefusalsNameTheirReasonAndPlace) {
  using P = ERenameProblem;
  const std::vector<std::tuple<std::string, std::string, P, std::string>> rows = {
      {"Greet", "Greet", P::Unchanged, "Greet  -1:-1"},
      {"Greet", "2x", P::BadName, "2x  -1:-1"},
      {"Greet", "a-b", P::BadName, "a-b  -1:-1"},
      {"Greet", "", P::BadName, "  -1:-1"},
      {"Greet", std::string(33, 'g'), P::TooLong, std::string(33, 'g') + "  -1:-1"},
      {"Greet", "If", P::Reserved, "If  -1:-1"},
      {"Greet", "hasnt", P::Reserved, "hasnt  -1:-1"},
      {"Greet", "Object", P::Reserved, "Object  -1:-1"},
      {"x", "y", P::NotDefined, "x  -1:-1"},
      {"location", "place", P::LibraryDefined, "location  2:1"},
      {"Hook", "Catch", P::LibraryUsed, "Hook  2:2"},
      {"TakeSub", "Grab", P::ActionRoutine, "TakeSub  -1:-1"},
      {"Greet", "lamp", P::Clash, "lamp object 0:3"},
      {"Greet", "x", P::Clash, "x  0:0"},
      {"Take", "Tally", P::Clash, "Tally routine 0:2"},
      {"Greet", "Lamp_Count", P::Local, "Lamp_Count  0:0"},
  };
  for (const auto& [from, to, problem, refusal] : rows) {
    const CRenamePlan plan = Plan(from, to);
    EXPECT_EQ(plan.problem, problem) << from << " " << to;
    EXPECT_EQ(Refusal(plan).substr(Refusal(plan).find(' ') + 1), refusal) << from << " " << to;
    EXPECT_TRUE(plan.edits.empty()) << from << " " << to;
  }
  EXPECT_EQ(Plan("Score_Max", "n").problem, ERenameProblem::None); // a local elsewhere is no clash
  stale = 1;
  EXPECT_EQ(Refusal(Plan("Greet", "Hello")), "11 Greet  1:0");
}

TEST(RenameEdits, OnlyTheNamedBytesChangeAndEveryLineEndStays) {
  std::string bytes = "a Greet\r\nGreet;\rx\n  Greet";
  ASSERT_TRUE(ApplyRenameEdits(bytes, {{0, 0, 2, 5, "Hi"}, {0, 1, 0, 5, "Hi"}, {0, 3, 2, 5, "Hello"}}));
  EXPECT_EQ(bytes, "a Hi\r\nHi;\rx\n  Hello");
  EXPECT_FALSE(ApplyRenameEdits(bytes, {{0, 0, 3, 2, "x"}}));  // past the line's end
  EXPECT_FALSE(ApplyRenameEdits(bytes, {{0, 4, 0, 1, "x"}}));  // no such line
  EXPECT_EQ(bytes, "a Hi\r\nHi;\rx\n  Hello");
}

} // namespace
