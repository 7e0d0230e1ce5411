#include "object_scanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

// Scans the given lines with a fresh scanner.
struct Scan {
  explicit Scan(std::vector<std::string> lines) : source(std::move(lines)) {
    scanner.ScanObjects(source);
  }
  const CObjectRecord* Object(const std::string& name) const {
    auto it = scanner.ObjectMap().find(name);
    return it == scanner.ObjectMap().end() ? nullptr : it->second.get();
  }
  std::string Describe(const std::string& name) const {
    const CObjectRecord* o = Object(name);
    if (o == nullptr) return "missing";
    return "parent=" + o->m_parent + " class=" + o->m_class +
           " depth=" + std::to_string(o->m_depth);
  }
  std::vector<std::string> ObjectNames() const {
    std::vector<std::string> names;
    for (const auto& [key, record] : scanner.ObjectMap()) names.push_back(key);
    return names;
  }
  std::vector<std::string> FunctionNames() const {
    std::vector<std::string> names;
    for (const auto& [key, record] : scanner.FunctionMap()) names.push_back(key);
    return names;
  }
  CStringLineSource source;
  CObjectScanner scanner;
};

// Reads the tokens of a line until it is used up or maxTokens are read.
std::vector<std::string> Tokens(std::string_view line, int maxTokens = 10) {
  std::vector<std::string> tokens;
  std::size_t pos = 0;
  for (int i = 0; i < maxTokens; ++i) {
    std::string t = GetToken(line, pos);
    if (t.empty()) break;
    tokens.push_back(t);
  }
  return tokens;
}

// ---------------------------------------------------------------------------------------------

TEST(GetToken, SplitsPlainStringAndArrowTokens) {
  EXPECT_THAT(Tokens("Object -> ->  box \"big box\" with"),
              ElementsAre("Object", "-> ->", "box", "\"big box\"", "with"));
  // Tabs and other control blanks separate like spaces.
  EXPECT_THAT(Tokens("Room\tkitchen\f\"Kitchen\""), ElementsAre("Room", "kitchen", "\"Kitchen\""));
  // A string token ends at its closing quote even without a blank after it.
  EXPECT_THAT(Tokens("\"a b\"c"), ElementsAre("\"a b\"", "c"));
  // An unclosed string runs to the end of the line.
  EXPECT_THAT(Tokens("Object lamp \"brass lamp"), ElementsAre("Object", "lamp", "\"brass lamp"));
  // An arrow token stops at the first character that is not -, > or blank.
  EXPECT_THAT(Tokens("->->x"), ElementsAre("->->", "x"));
}

TEST(GetToken, SemicolonIsReturnedWithoutMovingPastIt) {
  std::size_t pos = 0;
  const std::string line = "[Main;";
  EXPECT_EQ(GetToken(line, pos), "[Main");
  EXPECT_EQ(pos, 5u);
  EXPECT_EQ(GetToken(line, pos), ";");
  EXPECT_EQ(pos, 5u);
  EXPECT_EQ(GetToken(line, pos), ";");
  // At the end of the line, and on a blank rest, the token is empty and reading stays put.
  pos = 6;
  EXPECT_EQ(GetToken(line, pos), "");
  pos = 0;
  EXPECT_EQ(GetToken("   \t ", pos), "");
}

TEST(GetToken, LongTokensHighBytesAndNulAreKeptWhole) {
  const std::string longName(300, 'n');
  EXPECT_THAT(Tokens("Object " + longName + " \"x\""), ElementsAre("Object", longName, "\"x\""));
  EXPECT_THAT(Tokens(std::string("caf\xe9\0x y", 8)),
              ElementsAre(std::string("caf\xe9\0x", 6), "y"));
}

// ---------------------------------------------------------------------------------------------

TEST(IsDirective, EveryNameInAnyCaseAndAsPrefix) {
  ASSERT_EQ(DirectiveNames().size(), 35u);
  for (const char* name : DirectiveNames()) {
    std::string upper = name, lower = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsDirective(name)) << name;
    EXPECT_TRUE(IsDirective(upper)) << upper;
    EXPECT_TRUE(IsDirective(lower + "_x")) << lower;
    // A token shorter than the name is not the directive ("Endi" still begins with "End").
    const std::string shorter = std::string(name).substr(0, std::string(name).size() - 1);
    if (shorter != "Endi") {
      EXPECT_FALSE(IsDirective(shorter)) << shorter;
    }
  }
  EXPECT_TRUE(IsDirective("Constants"));
  EXPECT_TRUE(IsDirective("Classroom"));
  EXPECT_TRUE(IsDirective("Verbose"));
  EXPECT_FALSE(IsDirective("Object"));
  EXPECT_FALSE(IsDirective("Room"));
  EXPECT_FALSE(IsDirective("Nearby"));
  EXPECT_FALSE(IsDirective(""));
}

// ---------------------------------------------------------------------------------------------

TEST(ScanLines, SkippedLinesRecordNothing) {
  Scan s({"  Object lamp \"lamp\";", "\tObject lamp2;", "! Object lamp3;", "#Ifdef X;", ".label;",
          "] ;", "Constant X 3;", "Classroom cr;", "Verbose v;", "has light;", "hasp hp;",
          "with name 'x',", "class Room;", "", "   ", "  [ Indented;"});
  EXPECT_TRUE(s.scanner.ObjectMap().empty()) << s.ObjectNames().front();
  EXPECT_TRUE(s.scanner.FunctionMap().empty());
  EXPECT_EQ(s.scanner.ScannerValue(), 0);
}

TEST(ScanLines, RoutineNames) {
  Scan s({"[ Main;", "[Main;", "[;", "[Other x;", "[ Spaced  ;", "[", "[ Main i j;"});
  EXPECT_THAT(s.FunctionNames(), ElementsAre("Main", "Main[2]", "Spaced", "Untitled", "Untitled[2]",
                                             "Untitled[3]", "x"));
  EXPECT_EQ(s.scanner.FunctionMap().at("x")->m_definitionLine, "[Other x;");
}

TEST(ScanLines, DefinitionLineIsTheFirst29Bytes) {
  Scan s({"Object lamp \"a brass lamp with a very long description\";", "[ R;"});
  EXPECT_EQ(s.Object("lamp")->m_definitionLine, "Object lamp \"a brass lamp wit");
  EXPECT_EQ(s.Object("lamp")->m_definitionLine.size(), 29u);
  EXPECT_EQ(s.scanner.FunctionMap().at("R")->m_definitionLine, "[ R;");
}

TEST(ScanLines, ClassParentAndDepthOfSimpleDefinitions) {
  Scan s({"Room kitchen \"Kitchen\"", "Nearby lamp \"lamp\"", "objects ox \"x\";",
          "Object \"unnamed\";", "Object box \"box\" with name 'box';"});
  EXPECT_EQ(s.Describe("kitchen"), "parent= class=Room depth=0");
  EXPECT_EQ(s.Describe("lamp"), "parent=kitchen class= depth=1");
  EXPECT_EQ(s.Describe("ox"), "parent= class= depth=0");
  // Without an internal name the short name, quotes included, is the name.
  EXPECT_EQ(s.Describe("\"unnamed\""), "parent= class= depth=0");
  EXPECT_EQ(s.Describe("box"), "parent= class= depth=0");
}

TEST(ScanLines, ParentNamedOnTheDefinitionLine) {
  // kitchen is not (yet) recorded: its level counts as 1, so lamp is at depth 2.
  Scan s(
      {"Object lamp \"lamp\" kitchen", "Room kitchen \"Kitchen\";", "Object key \"key\" kitchen;"});
  EXPECT_EQ(s.Describe("lamp"), "parent=kitchen class= depth=2");
  EXPECT_EQ(s.Describe("key"), "parent=kitchen class= depth=1");
  EXPECT_EQ(s.scanner.ScannerValue(), 2);
}

TEST(ScanLines, SlotZeroFollowsOnlyTerminatedDefinitions) {
  // "Object lamp kitchen": kitchen is taken as the short name, lamp becomes slot 0.
  EXPECT_EQ(Scan({"Room hall \"Hall\";", "Object lamp kitchen", "Nearby n1 \"n1\""}).Describe("n1"),
            "parent=lamp class= depth=1");
  // A definition followed by "with" is top level and leaves slot 0 as it was.
  Scan b({"Room hall \"Hall\"", "Object lamp \"lamp\" with name 'lamp'", "Nearby n1 \"n1\""});
  EXPECT_EQ(b.Describe("lamp"), "parent= class= depth=0");
  EXPECT_EQ(b.Describe("n1"), "parent=hall class= depth=1");
  // A comma after the short name also sets slot 0.
  EXPECT_EQ(Scan({"Room hall \"Hall\",", "Nearby n1 \"n1\""}).Describe("n1"),
            "parent=hall class= depth=1");
  // Nearby with nothing in slot 0: no parent, and the level of the missing parent is 1.
  EXPECT_EQ(Scan({"Nearby n1 \"n1\";"}).Describe("n1"), "parent= class= depth=2");
}

TEST(ScanLines, ArrowsNestBelowTheSlotAbove) {
  Scan s({"Room hall \"Hall\";", "Object -> table \"table\";", "Object -> -> box \"box\";",
          "Object ->-> cup \"cup\";", "Object -> chair \"chair\";",
          "Object -> -> cushion \"cushion\";"});
  EXPECT_EQ(s.Describe("table"), "parent=hall class= depth=1");
  EXPECT_EQ(s.Describe("box"), "parent=table class= depth=2");
  EXPECT_EQ(s.Describe("cup"), "parent=table class= depth=2");
  EXPECT_EQ(s.Describe("cushion"), "parent=chair class= depth=2");
  EXPECT_EQ(s.scanner.ScannerValue(), 2);
}

TEST(ScanLines, NestingDeeperThanTheSlotsHangsBelowTheDeepestSlot) {
  std::vector<std::string> lines{"Room o0 \"r\";"};
  std::string arrows;
  for (int d = 1; d <= 12; ++d) {
    arrows += "-> ";
    lines.push_back("Object " + arrows + "o" + std::to_string(d) + " \"o\";");
  }
  lines.push_back("Object -> after \"after\";");
  Scan s(lines);
  for (int d = 1; d <= 10; ++d)
    EXPECT_EQ(s.Describe("o" + std::to_string(d)),
              "parent=o" + std::to_string(d - 1) + " class= depth=" + std::to_string(d));
  EXPECT_EQ(s.Describe("o11"), "parent=o9 class= depth=11");
  EXPECT_EQ(s.Describe("o12"), "parent=o9 class= depth=12");
  EXPECT_EQ(s.scanner.ScannerValue(), 12);
  // The shallow slots were not disturbed by the deep definitions.
  EXPECT_EQ(s.Describe("after"), "parent=o0 class= depth=1");
}

TEST(ScanLines, UnnamedDefinitionsAreUntitled) {
  Scan s({";", "Object;", "Object -> ;"});
  const CObjectRecord* semicolon = s.Object("Untitled");
  ASSERT_NE(semicolon, nullptr);
  EXPECT_EQ(semicolon->m_class, ";");
  EXPECT_THAT(s.ObjectNames(), ElementsAre("Untitled", "Untitled[02]", "Untitled[03]"));
}

// ---------------------------------------------------------------------------------------------

TEST(UniqueNames, ObjectSuffixesArePaddedBelowTen) {
  CObjectScanner scanner;
  std::vector<std::string> names;
  for (int i = 0; i < 12; ++i) names.push_back(scanner.AddObject("lamp", "", "", "", 0));
  EXPECT_THAT(names,
              ElementsAre("lamp", "lamp[02]", "lamp[03]", "lamp[04]", "lamp[05]", "lamp[06]",
                          "lamp[07]", "lamp[08]", "lamp[09]", "lamp[10]", "lamp[11]", "lamp[12]"));
  EXPECT_EQ(scanner.ObjectMap().size(), 12u);
  for (const auto& [key, record] : scanner.ObjectMap()) EXPECT_EQ(key, record->m_name);

  // Functions count on without padding, and their names are apart from the objects'.
  for (int i = 0; i < 9; ++i) names.push_back(scanner.AddFunction("lamp", ""));
  EXPECT_EQ(names[12], "lamp");
  EXPECT_EQ(names[13], "lamp[2]");
  EXPECT_EQ(names[20], "lamp[9]");
  EXPECT_EQ(scanner.AddFunction("lamp", ""), "lamp[10]");
}

TEST(UniqueNames, SuffixesSkipNamesTakenByOtherDefinitions) {
  CObjectScanner scanner;
  scanner.AddObject("lamp", "", "", "", 0);
  scanner.AddObject("lamp[03]", "", "", "", 0);
  EXPECT_EQ(scanner.AddObject("lamp", "", "", "", 0), "lamp[02]");
  EXPECT_EQ(scanner.AddObject("lamp", "", "", "", 0), "lamp[04]");
  scanner.AddObject("lamp[05]", "", "", "", 0);
  EXPECT_EQ(scanner.AddObject("lamp", "", "", "", 0), "lamp[06]");
  // A suffixed name clashing itself gets its own suffix on top.
  EXPECT_EQ(scanner.AddObject("lamp[02]", "", "", "", 0), "lamp[02][02]");
}

TEST(UniqueNames, RebuildStartsTheNamesAgainButKeepsTheScannerValue) {
  CObjectScanner scanner;
  CStringLineSource source(
      {"Room a \"a\";", "Object -> -> -> b \"b\";", "Object a;", "[ f;", "[ f;"});
  scanner.ScanObjects(source);
  EXPECT_EQ(scanner.ScannerValue(), 3);
  EXPECT_EQ(scanner.GetObjectLevel("b"), 3);
  EXPECT_EQ(scanner.GetObjectLevel("nothing"), 1);

  scanner.DeleteRecords();
  EXPECT_TRUE(scanner.ObjectMap().empty());
  EXPECT_TRUE(scanner.FunctionMap().empty());
  EXPECT_EQ(scanner.ScannerValue(), 3);

  CStringLineSource flat({"Room a \"a\";", "Object a;", "[ f;", "[ f;"});
  scanner.ScanObjects(flat);
  EXPECT_THAT(scanner.ObjectMap(),
              ElementsAre(Pair("a", ::testing::_), Pair("a[02]", ::testing::_)));
  EXPECT_THAT(scanner.FunctionMap(),
              ElementsAre(Pair("f", ::testing::_), Pair("f[2]", ::testing::_)));
  EXPECT_EQ(scanner.ScannerValue(), 3);
}

// ---------------------------------------------------------------------------------------------

// Records the host calls of a scan; its pump can run an action, as an event would.
class RecordingHost : public CScanHost {
public:
  void BeginProgress(const std::string& message, int size, int maximum, bool smooth,
                     int pane) override {
    calls.push_back("begin " + message + " " + std::to_string(size) + " " +
                    std::to_string(maximum) + " " + (smooth ? "smooth" : "blocks") + " " +
                    std::to_string(pane));
  }
  void StepProgress() override { ++steps; }
  void EndProgress() override { calls.push_back("end"); }
  void PumpMessages() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  std::vector<std::string> calls;
  int steps = 0;
  int pumps = 0;
  std::function<void(int)> onPump;
};

TEST(ScanProgress, StepsAndPumpsOncePerLine) {
  CStringLineSource source({"Room a;", "", "  x", "[ f;", "Object b;"});
  CObjectScanner scanner;
  RecordingHost host;
  EXPECT_TRUE(scanner.ScanObjects(source, &host));
  EXPECT_THAT(host.calls, ElementsAre("begin Parsing Objects: 99 5 blocks 0", "end"));
  EXPECT_EQ(host.steps, 5);
  EXPECT_EQ(host.pumps, 5);
  EXPECT_FALSE(scanner.IsScanning());

  CStringLineSource empty;
  RecordingHost emptyHost;
  EXPECT_TRUE(scanner.ScanObjects(empty, &emptyHost));
  EXPECT_THAT(emptyHost.calls, ElementsAre("begin Parsing Objects: 99 0 blocks 0", "end"));
  EXPECT_EQ(emptyHost.steps, 0);
}

TEST(ScanProgress, ScanStartedFromAnEventDuringAScanIsRefused) {
  CStringLineSource source({"Room a;", "Room b;", "Room c;"});
  CObjectScanner scanner;
  RecordingHost host;
  bool innerResult = true;
  host.onPump = [&](int pump) {
    if (pump == 2) {
      EXPECT_TRUE(scanner.IsScanning());
      innerResult = scanner.ScanObjects(source);
    }
  };
  EXPECT_TRUE(scanner.ScanObjects(source, &host));
  EXPECT_FALSE(innerResult);
  // Each object exactly once: the refused scan added nothing.
  EXPECT_THAT(scanner.ObjectMap(), ElementsAre(Pair("a", ::testing::_), Pair("b", ::testing::_),
                                               Pair("c", ::testing::_)));
}

TEST(ScanProgress, TextCutDuringTheScanEndsItWithoutReadingPastTheEnd) {
  CStringLineSource source({"Room a;", "Room b;", "Room c;", "Room d;"});
  CObjectScanner scanner;
  RecordingHost host;
  host.onPump = [&](int pump) {
    if (pump == 2) source.Lines().resize(1);
  };
  EXPECT_FALSE(scanner.ScanObjects(source, &host));
  EXPECT_THAT(scanner.ObjectMap(), ElementsAre(Pair("a", ::testing::_)));
  EXPECT_EQ(host.calls.back(), "end");
  EXPECT_FALSE(scanner.IsScanning());
}

TEST(ScanProgress, ScannerDestroyedByAnEventStopsTheScan) {
  CStringLineSource source({"Room a;", "Room b;", "Room c;"});
  auto scanner = std::make_unique<CObjectScanner>();
  CObjectScanner* raw = scanner.get();
  RecordingHost host;
  host.onPump = [&](int pump) {
    if (pump == 2) scanner.reset();
  };
  EXPECT_FALSE(raw->ScanObjects(source, &host));
  EXPECT_EQ(host.pumps, 2);
  EXPECT_EQ(host.steps, 2);
}

// ---------------------------------------------------------------------------------------------

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::filesystem::path LIBRARY = "/usr/share/inform6/library";

TEST(ScanLibrary, ParserFindsItsRoutinesAndObjects) {
  if (!std::filesystem::exists(LIBRARY / "parser.h")) GTEST_SKIP() << "no Inform library";
  CStringLineSource source = CStringLineSource::FromText(ReadFile(LIBRARY / "parser.h"));
  CObjectScanner scanner;
  RecordingHost host;
  ASSERT_TRUE(scanner.ScanObjects(source, &host));
  EXPECT_EQ(host.steps, source.LineCount());

  const CFunctionMap& functions = scanner.FunctionMap();
  ASSERT_TRUE(functions.count("Main"));
  EXPECT_EQ(functions.at("Main")->m_definitionLine, "[ Main; InformLibrary.play();");
  EXPECT_TRUE(functions.count("MainWindow"));
  EXPECT_TRUE(functions.count("MainWindow[2]"));
  EXPECT_GT(functions.size(), 100u);

  for (const char* name : {"thedark", "InformParser", "InformLibrary", "LibraryExtensions"}) {
    ASSERT_TRUE(scanner.ObjectMap().count(name)) << name;
    EXPECT_EQ(scanner.ObjectMap().at(name)->m_class, "") << name;
  }
}

TEST(ScanLibrary, EveryLibraryFileGivesPlausibleRecords) {
  if (!std::filesystem::exists(LIBRARY)) GTEST_SKIP() << "no Inform library";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(LIBRARY)) {
    if (entry.path().extension() != ".h") continue;
    ++files;
    CStringLineSource source = CStringLineSource::FromText(ReadFile(entry.path()));
    CObjectScanner scanner;
    ASSERT_TRUE(scanner.ScanObjects(source)) << entry.path();
    for (const auto& [key, record] : scanner.ObjectMap()) {
      EXPECT_EQ(key, record->m_name);
      EXPECT_LE(record->m_definitionLine.size(), 29u);
      ASSERT_FALSE(record->m_definitionLine.empty()) << key;
      EXPECT_NE(record->m_definitionLine.front(), ' ') << key;
      EXPECT_NE(record->m_definitionLine.front(), '\t') << key;
      EXPECT_FALSE(IsDirective(record->m_definitionLine)) << record->m_definitionLine;
      EXPECT_GE(record->m_depth, 0);
      EXPECT_LE(record->m_depth, scanner.ScannerValue());
    }
    for (const auto& [key, record] : scanner.FunctionMap()) {
      EXPECT_EQ(key, record->m_name);
      ASSERT_FALSE(record->m_definitionLine.empty()) << key;
      EXPECT_EQ(record->m_definitionLine.front(), '[') << key;
    }
  }
  EXPECT_GE(files, 7);
}

} // namespace
