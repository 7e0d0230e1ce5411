// The language index on a game written to hold one of each construct, with a library file
// that a Replace overrides; and edits re-indexed line by line against a fresh index.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "language_index.h"
#include "object_scanner.h"

namespace {

const char* const GAME = R"(Constant Story "X";
Constant LIMIT = 4;
Global score_now = 0;
Array stack --> 10;
Attribute shiny;
Property additive weight 5;
Property individual colour;
Fake_Action Ping;
Replace DrawStatusLine;
Class Thing
  with name 'thing', weight 1,
       describe [; print "x"; ],
  has shiny;
Thing Lamp "lamp"
  with before [ t;
         Take, Drop: if (self has shiny) <<Ping self>>; t = ##Take;
       ], colour 3;
Object -> Bulb "bulb" with weight 2;
[ DrawStatusLine; "A ] in a string
  and LIMIT too"; ];
[ TakeSub; rtrue; ];
#Ifdef DEBUG;
Constant DEBUG_ONLY;
#Ifnot;
Constant RELEASE_ONLY;
#Endif;
Verb 'take' 'get' * noun -> Take;
Stub AfterLife 0;
[ Multi a
 b; return a + b + LIMIT; ];
#Iftrue WORDSIZE == 4;
Constant WIDE;
#Endif;
Include "lib";
)";

const char* const LIBRARY = "System_file;\n[ DrawStatusLine; ];\n";

struct CGame {
  CLanguageIndex index;
  int main = -1;
  explicit CGame(const std::string& game = GAME, std::map<std::string, std::string> files = {}) {
    files.emplace("game.inf", game);
    files.emplace("lib.h", LIBRARY);
    main = index.IndexProject(
        "game.inf",
        [files](std::string_view name, const std::string&) -> std::optional<std::string> {
          if (files.count(std::string(name) + ".h")) return std::string(name) + ".h";
          return std::nullopt;
        },
        [files](const std::string& path, std::string& text) {
          if (!files.count(path)) return false;
          text = files.at(path);
          return true;
        });
  }
  // "file:line" (1-based) of each place GoTo gives for the word at line, col (1-based).
  std::string GoTo(int line, int col) const {
    std::string out;
    for (const CIndexLocation& at : index.GoTo(main, line - 1, col - 1))
      out += (out.empty() ? "" : " ") + index.FilePath(at.file) + ":" + std::to_string(at.line + 1);
    return out;
  }
};

TEST(LanguageIndex, EveryKindOfDefinitionIsFoundAtItsLine) {
  const CGame game;
  std::multimap<std::string, std::string> found; // name -> "kind line"
  for (const CIndexDefinition& d : game.index.AllDefinitions())
    found.emplace(game.index.NameOf(d.m_name), std::string(IndexKindName(d.m_kind)) + " " +
                                                   game.index.FilePath(d.m_file) + ":" + std::to_string(d.m_line + 1));
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"LIMIT", "constant game.inf:2"}, {"score_now", "global game.inf:3"}, {"stack", "array game.inf:4"},
      {"shiny", "attribute game.inf:5"}, {"weight", "property game.inf:6"},
      {"weight", "class-property game.inf:11"}, {"colour", "individual-property game.inf:7"},
      {"describe", "individual-property game.inf:12"}, {"Ping", "fake-action game.inf:8"},
      {"Thing", "class game.inf:10"}, {"Thing::describe", "embedded-routine game.inf:12"},
      {"Lamp", "object game.inf:14"}, {"Lamp.before", "embedded-routine game.inf:15"},
      {"Bulb", "object game.inf:18"}, {"DrawStatusLine", "routine game.inf:19"},
      {"DrawStatusLine", "routine lib.h:2"}, {"Take", "action game.inf:21"},
      {"Take", "verb game.inf:27"}, {"get", "verb game.inf:27"}, {"Take", "grammar-line game.inf:27"},
      {"AfterLife", "stub game.inf:28"}, {"Multi", "routine game.inf:29"},
      {"DEBUG_ONLY", "constant game.inf:23"}, {"RELEASE_ONLY", "constant game.inf:25"}};
  for (const auto& [name, where] : expected) {
    bool present = false;
    for (auto [it, end] = found.equal_range(name); it != end; ++it) present |= it->second == where;
    EXPECT_TRUE(present) << name << " " << where;
  }
  for (const CIndexDefinition& d : game.index.AllDefinitions())
    if (game.index.NameOf(d.m_name) == "Bulb") {
      EXPECT_EQ(game.index.NameOf(d.m_parent), "Lamp");
    } else if (game.index.NameOf(d.m_name) == "DrawStatusLine") {
      EXPECT_EQ(d.m_flags & DEF_REPLACED, d.m_file == 1 ? DEF_REPLACED : 0); // the library's is replaced
    }
  EXPECT_EQ(found.count("a"), 0u); // a local
  EXPECT_EQ(found.count("t"), 0u);
}

TEST(LanguageIndex, GoToFollowsTheRoleOfTheWordWhereItStands) {
  const CGame game;
  const std::vector<std::tuple<int, int, std::string>> rows = {
      {16, 35, "game.inf:5"},                     // self has shiny
      {18, 28, "game.inf:6 game.inf:11"},         // with weight: declaration first
      {16, 44, "game.inf:8"},                    // <<Ping
      {16, 63, "game.inf:21"},                    // ##Take -> TakeSub
      {16, 10, "game.inf:21"},                    // Take, Drop: a label
      {27, 29, "game.inf:21"},                    // grammar -> Take
      {9, 9, "game.inf:19 lib.h:2"},              // the replacement before the replaced
      {30, 20, "game.inf:2"},                     // LIMIT in code
      {30, 25, "game.inf:2"},                     // the caret just after it
      {30, 12, ""},                               // a local
      {20, 7, ""},                                // LIMIT inside a string
      {34, 3, "lib.h:1"},                         // an Include line opens the file
      {14, 1, "game.inf:10"},                     // a class used as a directive
  };
  for (const auto& [line, col, expected] : rows) EXPECT_EQ(game.GoTo(line, col), expected) << line << ":" << col;
}

TEST(LanguageIndex, ReplacementsAndLabelsAreToldFromTheirSurroundings) {
  // The game's own header is read after the library whose routine it replaces.
  const CGame game("Replace DrawStatusLine;\nInclude \"lib\";\nInclude \"mine\";\n"
                   "[ EatSub; ];\n"
                   "[ R;\n"
                   "  Eat\n"
                   "    ();\n"
                   "  Take, Drop, Eat: rtrue;\n"
                   "];\n"
                   "[ Eat; ];\n",
                   {{"mine.h", "\n[ DrawStatusLine; ];\n"}});
  EXPECT_EQ(game.GoTo(1, 9), "mine.h:2 lib.h:2");
  EXPECT_EQ(game.GoTo(6, 3), "game.inf:4 game.inf:10"); // a call split over lines: no label, any kind
  EXPECT_EQ(game.GoTo(8, 15), "game.inf:4"); // the third label of a case
}

TEST(LanguageIndex, ReferencesAreEveryUseOutsideStringsAndLocals) {
  const CGame game;
  const auto count = [&game](const char* name) { return game.index.References(*game.index.Names().Find(name)).size(); };
  EXPECT_EQ(count("weight"), 3u);
  EXPECT_EQ(count("take"), 4u); // the label, ##Take, -> Take and the verb word 'take'
  EXPECT_EQ(count("limit"), 2u);
  EXPECT_EQ(count("shiny"), 3u);
}

TEST(LanguageIndex, BranchesAreActiveForTheTargetAndSymbols) {
  const CGame game;
  const auto describe = [&game](const CBranchContext& context) {
    std::string out;
    for (const CIndexBranch& b : game.index.Branches(game.main, context)) {
      out += std::to_string(b.firstLine + 1) + "-" + std::to_string(b.lastLine + 1) + (b.active ? "+" : "-");
      for (uint32_t name : b.defines) out += game.index.NameOf(name) + ",";
      out += " ";
    }
    return out;
  };
  EXPECT_EQ(describe({}), "22-24-DEBUG_ONLY, 24-26+RELEASE_ONLY, 31-33-WIDE, ");
  EXPECT_EQ(describe({true, 5, {"DEBUG"}}), "22-24+DEBUG_ONLY, 24-26-RELEASE_ONLY, 31-33+WIDE, ");
}

// Random line edits, each re-indexed in place, leave the game's file as a fresh index reads it.
TEST(LanguageIndex, EditsReindexedInPlaceMatchAFreshIndex) {
  std::vector<std::string> lines = CStringLineSource::FromText(GAME).Lines();
  const std::vector<std::string> pool = lines;
  CGame edited;
  std::mt19937 random(7);
  const auto dump = [](const CLanguageIndex& index) {
    std::vector<std::string> uses;
    std::string out;
    for (const CIndexDefinition& d : index.AllDefinitions())
      if (d.m_file == 0) out += index.NameOf(d.m_name) + IndexKindName(d.m_kind) + std::to_string(d.m_line) + ":" + std::to_string(d.m_col) + "\n";
    for (uint32_t n = 0; n < index.Names().Count(); ++n)
      for (const CIndexLocation& at : index.References(n))
        if (at.file == 0) uses.push_back(index.NameOf(n) + std::to_string(at.line) + ":" + std::to_string(at.col));
    std::transform(uses.begin(), uses.end(), uses.begin(), [](std::string use) {
      std::transform(use.begin(), use.end(), use.begin(), [](unsigned char c) { return std::tolower(c); });
      return use;
    });
    std::sort(uses.begin(), uses.end());
    for (const std::string& use : uses) out += use + " ";
    // Names are shown as first written, and the edits change which writing came first.
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
  };
  int read = 0, wholeFile = 0;
  for (int step = 0; step < 300; ++step) {
    const int at = static_cast<int>(random() % (lines.size() + 1));
    // Replaces up to 3 lines from at with up to 3 lines of the game (an insert when none go,
    // a delete when none come), as typing, pasting and undoing do.
    const int oldCount = std::min(static_cast<int>(random() % 4), static_cast<int>(lines.size()) - at);
    const int newCount = static_cast<int>(random() % 4);
    lines.erase(lines.begin() + at, lines.begin() + at + oldCount);
    for (int k = 0; k < newCount; ++k) lines.insert(lines.begin() + at + k, pool[random() % pool.size()]);
    wholeFile += static_cast<int>(lines.size());
    read += edited.index.ReplaceLines(edited.main, CStringLineSource(lines), at, oldCount, newCount);
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    ASSERT_EQ(dump(edited.index), dump(CGame(text).index)) << "step " << step;
  }
  // Each edit reads its directives, not the file (half is generous: the random lines leave
  // strings and routines open for long stretches).
  EXPECT_LT(read, wholeFile / 2);
}

} // namespace
