// The object scanner: tokens, directives, line kinds, unique names, events during a scan.
#include "object_scanner.h"

#include "definition_finder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>

namespace {

using ::testing::ElementsAre;
using namespace std::string_literals;

std::vector<std::string> Keys(const auto& map) {
  std::vector<std::string> keys;
  for (const auto& record : map) keys.emplace_back(record.m_name);
  return keys;
}

// "parent=... class=... depth=..." of an object record, or "missing".
std::string Describe(const CObjectScanner& scanner, const std::string& name) {
  const std::optional<CObjectRecord> o = scanner.ObjectMap().Find(name);
  if (!o) return "missing";
  return "parent=" + std::string(o->m_parent) + " class=" + std::string(o->m_class) +
         " depth=" + std::to_string(o->m_depth);
}

TEST(GetToken, SplitsPlainStringAndArrowTokensAndStaysAtSemicolons) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"Object -> ->  box \"big box\" with", {"Object", "-> ->", "box", "\"big box\"", "with"}},
      {"Room\tkitchen\f\"Kitchen\"", {"Room", "kitchen", "\"Kitchen\""}}, // control blanks separate
      {"\"a b\"c", {"\"a b\"", "c"}},                   // a string ends at its closing quote
      {"Object lamp \"brass lamp", {"Object", "lamp", "\"brass lamp"}}, // or at the line end
      {"->->x", {"->->", "x"}},
      {"Object " + std::string(300, 'n') + " \"x\"", {"Object", std::string(300, 'n'), "\"x\""}},
      {std::string("caf\xe9\0x y", 8), {std::string("caf\xe9\0x", 6), "y"}},
      {"   \t ", {}},
      {"[Main;", {"[Main", ";", ";", ";", ";", ";"}}, // a ';' is returned without moving past it
  };
  for (const auto& [line, expected] : rows) {
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    for (std::string t; tokens.size() < 6 && !(t = GetToken(line, pos)).empty();) tokens.push_back(t);
    EXPECT_EQ(tokens, expected) << line;
  }
}

TEST(IsDirective, EveryNameInAnyCaseAndAsPrefixButNotShorter) {
  const char* names[] = {
      "Abbreviate", "Array",     "Attribute", "Class",    "Constant", "Default",   "Dictionary",
      "End",        "Endif",     "Extend",    "Fake_action", "Global", "Ifdef",    "Ifndef",
      "Ifnot",      "Ifv3",      "Ifv5",      "Iftrue",   "Iffalse",  "Import",    "Include",
      "Link",       "Lowstring", "Message",   "Property", "Release",  "Replace",   "Serial",
      "Switches",   "Statusline", "Stub",     "System_file", "Trace", "Verb",      "Version"};
  for (std::string name : names) {
    std::string upper = name, lower = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsDirective(name) && IsDirective(upper) && IsDirective(lower + "_x")) << name;
    const std::string shorter = name.substr(0, name.size() - 1);
    EXPECT_TRUE(shorter == "Endi" || !IsDirective(shorter)) << shorter; // "Endi" still begins with "End"
  }
}

TEST(ScanLines, EachKindOfLineRecordsItsParentClassAndDepth) {
  struct Row {
    std::vector<std::string> lines;
    std::vector<std::pair<std::string, std::string>> objects; // name, Describe()
    int scannerValue;
  };
  std::vector<std::string> deep{"Room o0 \"r\";"};
  for (std::string arrows = "-> "; deep.size() <= 12; arrows += "-> ")
    deep.push_back("Object " + arrows + "o" + std::to_string(deep.size()) + " \"o\";");
  deep.push_back("Object -> after \"after\";");
  const Row rows[] = {
      // Indented lines, comments, directives, body lines, a closing ";" and the strings and
      // numbers that continue a directive record nothing.
      {{"  Object lamp \"lamp\";", "\tObject lamp2;", "! Object lamp3;", "#Ifdef X;", ".label;", "] ;",
        "Constant X 3;", "Classroom cr;", "Verbose v;", "has light;", "hasp hp;", "with name 'x',",
        "class Room;", "", "   ", "  [ Indented;", ";", "\"a quote\"", "5 34;", "'word' 'x';"},
       {},
       0},
      {{"Room kitchen \"Kitchen\"", "Nearby lamp \"lamp\"", "objects ox \"x\";", "Object \"unnamed\";",
        "Object box \"box\" with name 'box';"},
       {{"kitchen", "parent= class=Room depth=0"},
        {"lamp", "parent=kitchen class= depth=1"},
        {"ox", "parent= class= depth=0"},
        {"\"unnamed\"", "parent= class= depth=0"}, // no internal name: the short name, quoted
        {"box", "parent= class= depth=0"}},
       1},
      {{"Object lamp \"lamp\" kitchen", "Room kitchen \"Kitchen\";", "Object key \"key\" kitchen;"},
       {{"lamp", "parent=kitchen class= depth=2"}, {"key", "parent=kitchen class= depth=1"}},
       2},
      // Slot 0 follows definitions ended after the short name by nothing, ';' or ','
      // ("Object lamp kitchen": kitchen is the short name); with nothing in it, Nearby is level 2.
      {{"Nearby n0 \"n0\";", "Room hall \"Hall\";", "Object lamp kitchen", "Nearby n1 \"n1\""},
       {{"n0", "parent= class= depth=2"}, {"n1", "parent=lamp class= depth=1"}},
       2},
      {{"Room hall \"Hall\",", "Object lamp \"lamp\" with name 'lamp'", "Nearby n1 \"n1\""},
       {{"lamp", "parent= class= depth=0"}, {"n1", "parent=hall class= depth=1"}},
       1},
      {{"Room hall \"Hall\";", "Object -> table \"table\";", "Object -> -> box \"box\";",
        "Object ->-> cup \"cup\";", "Object -> chair \"chair\";", "Object -> -> cushion \"cushion\";"},
       {{"table", "parent=hall class= depth=1"},
        {"box", "parent=table class= depth=2"},
        {"cup", "parent=table class= depth=2"},
        {"cushion", "parent=chair class= depth=2"}},
       2},
      {deep,
       {{"o1", "parent=o0 class= depth=1"},
        {"o9", "parent=o8 class= depth=9"},
        {"o10", "parent=o9 class= depth=10"},
        {"o12", "parent=o9 class= depth=12"},
        {"after", "parent=o0 class= depth=1"}},
       12},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lines[0]);
    CStringLineSource source(row.lines);
    CObjectScanner scanner;
    scanner.ScanObjects(source);
    for (const auto& [name, description] : row.objects) EXPECT_EQ(Describe(scanner, name), description) << name;
    EXPECT_EQ(scanner.ScannerValue(), row.scannerValue);
    EXPECT_TRUE(!row.objects.empty() || (scanner.ObjectMap().empty() && scanner.FunctionMap().empty()));
  }
}

TEST(ScanLines, NamesAndDefinitionLinesOfRoutinesAndUntitledObjects) {
  const CStringLineSource source = CStringLineSource::FromText(
      "[ Main;\n[Main;\r[;\r\n[Other x;\n[ Spaced  ;\r[\r\n[ Main i j;\n;\n"
      "Object;\r\rObject -> ;\r\nObject lamp \"a brass lamp with a very long description\";");
  CObjectScanner scanner;
  scanner.ScanObjects(source);
  EXPECT_THAT(Keys(scanner.FunctionMap()),
              ElementsAre("Main", "Main[2]", "Main[3]", "Other", "Spaced", "Untitled", "Untitled[2]"));
  EXPECT_EQ(scanner.FunctionMap().Find("Other")->m_definitionLine, "[Other x;");
  EXPECT_THAT(Keys(scanner.ObjectMap()), ElementsAre("Untitled", "Untitled[02]", "lamp"));
  EXPECT_EQ(scanner.ObjectMap().Find("lamp")->m_definitionLine, "Object lamp \"a brass lamp wit"); // 29 bytes
}

// Lines inside a string are text; a quote in a comment or in single quotes opens none. Every
// class defined is listed once, with the line of its first definition.
TEST(ScanLines, StringsSpanLinesAndEveryDefinedClassIsListed) {
  const CStringLineSource source = CStringLineSource::FromText(
      "Object lamp \"a lamp\nClass Bogus;\nRoom bogus_room\n[ Bogus;\nlit\";\n"
      "Object c \"c\" ! it's \"\nObject d with name '\"' 'x';\nObject e \"two\" \"strings\";\nObject g with n ''' \"'\";\n"
      "Class Coin;\nclass  Gem(5)\nClass\tCoin;\nClassroom cr;\nClass;\n[ After;");
  CObjectScanner scanner;
  scanner.ScanObjects(source);
  EXPECT_THAT(Keys(scanner.ObjectMap()), ElementsAre("c", "d", "e", "g", "lamp"));
  EXPECT_THAT(Keys(scanner.ClassMap()), ElementsAre("Coin", "Gem"));
  EXPECT_THAT(Keys(scanner.FunctionMap()), ElementsAre("After"));
  EXPECT_EQ(scanner.ClassMap().Find("Gem")->m_definitionLine, "class  Gem(5)");
  EXPECT_EQ(scanner.ClassMap().Find("Coin")->m_definitionLine, "Class Coin;");
  scanner.DeleteRecords();
  EXPECT_TRUE(scanner.ClassMap().empty());
}

// A definition is found in column 0 outside strings however its blanks are spaced now; a
// name must end where the definition line ended it, unless the line was cut.
TEST(FindDefinition, FirstLineInColumnZeroOutsideStringsWithAnySpacing) {
  const std::string longLine = "Object lamp \"a brass lamp with a wick\";";
  const std::tuple<std::vector<std::string>, std::string, bool, int> rows[] = {
      {{"! Object lamp;", "  Object lamp;", "Object lamp2;", "OBJECT\t lamp;"}, "Object lamp;", false, 3},
      {{"Object lamp2 \"x\"", "Object lamp \"x\""}, "Object lamp", false, 1},
      {{"[ Main x;", "x \"", "[Main;", "\"", "[\tMain;"}, "[ Main;", false, 4},
      {{"[ Main;"}, "[Main;", false, 0},
      {{"Object  lamp \"a brass lamp with a wicked flame\";"}, longLine.substr(0, 29), false, 0},
      {{"Object lamp"}, "Object lamp ", false, 0},
      {{"Object lampshade"}, "Object lamp ", false, -1},
      {{"Class Roomy;", "! Class Room;", "class\tRoom(3)"}, "Room", true, 2},
      {{"Class room;", "ClassRoom;", "Class \"", "Class Room;"}, "Room", true, -1},
  };
  for (const auto& [lines, key, isClass, expected] : rows) {
    const CStringLineSource source(lines);
    EXPECT_EQ(isClass ? FindClassDefinition(source, key) : FindDefinitionLine(source, key), expected) << key;
  }
}

std::vector<std::string> AddObjects(CObjectScanner& scanner, const std::vector<std::string>& names) {
  std::vector<std::string> stored;
  for (const std::string& name : names) stored.push_back(scanner.AddObject(name, "", "", "", 0));
  return stored;
}

TEST(UniqueNames, SuffixesArePaddedForObjectsSkipTakenNamesAndStartAgainAfterARebuild) {
  CObjectScanner scanner;
  EXPECT_THAT(AddObjects(scanner, std::vector<std::string>(12, "lamp")),
              ElementsAre("lamp", "lamp[02]", "lamp[03]", "lamp[04]", "lamp[05]", "lamp[06]", "lamp[07]",
                          "lamp[08]", "lamp[09]", "lamp[10]", "lamp[11]", "lamp[12]"));
  EXPECT_TRUE(scanner.ObjectMap().Contains("lamp[12]"));
  std::vector<std::string> functions;
  for (int i = 0; i < 10; ++i) functions.push_back(scanner.AddFunction("lamp", ""));
  EXPECT_THAT(functions, ElementsAre("lamp", "lamp[2]", "lamp[3]", "lamp[4]", "lamp[5]", "lamp[6]", "lamp[7]",
                                     "lamp[8]", "lamp[9]", "lamp[10]"));
  CObjectScanner other; // past taken names, and a suffix on top of one
  EXPECT_THAT(AddObjects(other, {"lamp", "lamp[03]", "lamp", "lamp", "lamp[05]", "lamp[06]", "lamp", "lamp[02]"}),
              ElementsAre("lamp", "lamp[03]", "lamp[02]", "lamp[04]", "lamp[05]", "lamp[06]", "lamp[07]",
                          "lamp[02][02]"));

  scanner.AddObject("deep", "", "", "", 3);
  scanner.DeleteRecords();
  EXPECT_TRUE(scanner.ObjectMap().empty() && scanner.FunctionMap().empty());
  EXPECT_THAT(AddObjects(scanner, {"lamp", "lamp", "lamp[02]"}), ElementsAre("lamp", "lamp[02]", "lamp[02][02]"));
  EXPECT_EQ(scanner.AddFunction("lamp", ""), "lamp");
  EXPECT_EQ(scanner.AddFunction("lamp", ""), "lamp[2]");
  EXPECT_EQ(scanner.ScannerValue(), 3);
}

TEST(UniqueNames, ListedInByteOrderAndFoundBeforeAndAfterListing) {
  CObjectScanner scanner;
  const std::string sixteen = "abcdefghijklmnop", nul("a\0", 2);
  for (const std::string& name : {"b"s, sixteen + "b", "a\xE9"s, "ab"s, "B"s, "a"s, sixteen + "a", sixteen, nul})
    scanner.AddObject(name, "line", "p", name.substr(0, 1), 2);
  EXPECT_EQ(Describe(scanner, sixteen + "b"), "parent=p class=a depth=2"); // by the hash
  EXPECT_THAT(Keys(scanner.ObjectMap()),
              ElementsAre("B", "a", nul, "ab", sixteen, sixteen + "a", sixteen + "b", "a\xE9", "b"));
  EXPECT_EQ(Describe(scanner, nul), "parent=p class=a depth=2"); // by the order
  EXPECT_EQ(Describe(scanner, "b"), "parent=p class=b depth=2");
  EXPECT_EQ(Describe(scanner, "abcdefghijklmno"), "missing");
  EXPECT_EQ(Describe(scanner, sixteen + "c"), "missing");
  EXPECT_EQ(scanner.AddObject(sixteen, "", "", "", 0), sixteen + "[02]");
  EXPECT_THAT(Keys(scanner.ObjectMap()), ElementsAre("B", "a", nul, "ab", sixteen, sixteen + "[02]",
                                                     sixteen + "a", sixteen + "b", "a\xE9", "b"));
}

TEST(UniqueNames, ManyNamesStayFoundAndAreListedInByteOrder) {
  CObjectScanner scanner;
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back(scanner.AddObject("n" + std::to_string(i), "", "", "", 0));
  for (int i = 0; i < 300; ++i) {
    names.push_back("n" + std::to_string(i) + "[02]");
    ASSERT_EQ(scanner.AddObject("n" + std::to_string(i), "", "", "", 0), names.back());
  }
  for (int i = 0; i < 200; ++i) names.push_back(scanner.AddObject("bytes_sixteen_ab" + std::to_string(i * 7 % 200), "", "", "", 0));
  // One name apart from a hundred that share its first eight bytes, here and in a map of their own.
  CObjectScanner sharing;
  std::vector<std::string> shared;
  for (int i = 0; i <= 100; ++i) {
    const std::string name = i < 100 ? "zzzzzzzzx" + std::to_string(100 + i).substr(1) : "zzzzzzzzy00";
    names.push_back(scanner.AddObject(name, "", "", "", 0));
    shared.push_back(sharing.AddObject(name, "", "", "", 0));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(Keys(scanner.ObjectMap()), names);
  EXPECT_EQ(Keys(sharing.ObjectMap()), shared); // added in byte order already
}

// Logs the host calls of a scan: the progress bar's message, size, maximum, kind and pane,
// "s" for a step, "p" for a pump and " end"; its second pump runs an action, as an event would.
struct RecordingHost : CScanHost {
  void BeginProgress(const std::string& message, int size, int maximum, bool smooth, int pane) override {
    log = message + " " + std::to_string(size) + " " + std::to_string(maximum) + (smooth ? " smooth " : " blocks ") +
          std::to_string(pane) + " ";
  }
  void StepProgress() override { log += "s"; }
  void EndProgress() override { log += " end"; }
  void PumpMessages() override {
    log += "p";
    if (++pumps == 2) atSecondPump();
  }
  std::string log;
  int pumps = 0;
  std::function<void()> atSecondPump;
};

TEST(ScanProgress, EventsDuringTheScanCannotStartAnotherCutTheTextOrDestroyTheScanner) {
  CStringLineSource source;
  std::unique_ptr<CObjectScanner> scanner;
  RecordingHost host;
  auto scan = [&](std::function<void()> atSecondPump) {
    source.Lines() = {"Room a;", "Room b;", "Room c;", "Room d;"};
    scanner = std::make_unique<CObjectScanner>();
    host = RecordingHost();
    host.atSecondPump = atSecondPump;
    CObjectScanner* const raw = scanner.get();
    return raw->ScanObjects(source, &host);
  };
  bool inner = true;
  EXPECT_TRUE(scan([&] { inner = scanner->IsScanning() && scanner->ScanObjects(source); }));
  EXPECT_FALSE(inner);
  EXPECT_EQ(host.log, "Parsing Objects: 99 4 blocks 0 spspspsp end");
  EXPECT_THAT(Keys(scanner->ObjectMap()), ElementsAre("a", "b", "c", "d")); // each once
  EXPECT_FALSE(scan([&] { source.Lines().resize(1); })); // without reading past the end
  EXPECT_THAT(Keys(scanner->ObjectMap()), ElementsAre("a"));
  EXPECT_EQ(host.log, "Parsing Objects: 99 4 blocks 0 spsp end");
  EXPECT_FALSE(scanner->IsScanning());
  EXPECT_FALSE(scan([&] { scanner.reset(); })); // the host is not called again
  EXPECT_EQ(host.log, "Parsing Objects: 99 4 blocks 0 spsp");
}

} // namespace
