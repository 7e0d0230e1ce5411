// The scanner against the compiler's own view of real games: inform6 -k lists every object,
// class and routine with the file and line of its definition in gameinfo.dbg.
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "definition_finder.h"
#include "object_scanner.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Between(const std::string& text, const std::string& open, const std::string& close,
                    std::size_t from = 0) {
  const std::size_t start = text.find(open, from);
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(close, start + open.size());
  return text.substr(start + open.size(), end - start - open.size());
}

// "object NAME:LINE", "class NAME:LINE", "routine NAME:LINE" for each definition the debug
// file places in the source whose path ends with game; the objects without a name of their
// own (the compiler makes one up) as one count, "unnamed objects: N".
std::set<std::string> CompilerView(const std::string& dbg, const std::string& game) {
  std::string gameIndex;
  for (std::size_t at = dbg.find("<source index=\""); at != std::string::npos;
       at = dbg.find("<source index=\"", at + 1))
    if (Between(dbg, "<given-path>", "</given-path>", at).ends_with("/" + game))
      gameIndex = Between(dbg, "index=\"", "\"", at);
  std::set<std::string> found;
  int unnamed = 0;
  for (const std::string kind : {"object", "class", "routine"}) {
    const std::string open = "<" + kind + ">", close = "</" + kind + ">";
    for (std::size_t at = dbg.find(open); at != std::string::npos; at = dbg.find(open, at + 1)) {
      const std::string element = Between(dbg, open, close, at);
      if (Between(element, "<file-index>", "</file-index>") != gameIndex) continue;
      if (!element.starts_with("<identifier>"))
        unnamed += kind == "object";
      else
        found.insert(kind + " " + Between(element, "<identifier>", "</identifier>") + ":" +
                     Between(element, "<line>", "</line>"));
    }
  }
  found.insert("unnamed objects: " + std::to_string(unnamed));
  return found;
}

// The same from the scan, each at the line a jump to it lands on.
std::set<std::string> ScannerView(const std::string& text) {
  const CStringLineSource source = CStringLineSource::FromText(text);
  CObjectScanner scanner;
  scanner.ScanObjects(source);
  std::set<std::string> found;
  int unnamed = 0;
  auto add = [&](const char* kind, std::string_view name, int line) {
    found.insert(kind + (" " + std::string(name)) + ":" + std::to_string(line + 1));
  };
  for (const CObjectRecord& r : scanner.ObjectMap()) {
    if (r.m_name.starts_with(CObjectScanner::UNTITLED) || r.m_name.starts_with('"'))
      ++unnamed;
    else
      add("object", r.m_name, FindDefinitionLine(source, r.m_definitionLine));
  }
  found.insert("unnamed objects: " + std::to_string(unnamed));
  for (const CClassRecord& r : scanner.ClassMap()) add("class", r.m_name, FindClassDefinition(source, r.m_name));
  for (const CFunctionRecord& r : scanner.FunctionMap())
    add("routine", r.m_name, FindDefinitionLine(source, r.m_definitionLine));
  return found;
}

std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

struct Game {
  const char* file;
  QStringList options;
  std::vector<std::string> onlyCompiler; // what the scan does not list, and why (below)
  std::vector<std::string> onlyScanner;
};

TEST(RealGames, ScannerListsWhatTheCompilerDefinesInTheGamesOwnFile) {
  const QString realworld = TORVANE_REALWORLD;
  const Game games[] = {
      // "Class Ticket(7)" makes seven objects that no line defines.
      {"balances.inf", {"+include_path=/usr/share/inform6/library"}, {"unnamed objects: 19"}, {"unnamed objects: 12"}},
      // The scan reads both branches of "#IfV3": this routine is compiled for version 3 only.
      {"library_of_horror-36.inf", {"+include_path=" + realworld + "/punylib-36"}, {}, {"routine PrintVerb:96"}},
      {"glulxercise.inf", {"-G"}, {}, {}},
  };
  for (const Game& game : games) {
    SCOPED_TRACE(game.file);
    QTemporaryDir dir;
    QProcess inform;
    inform.setWorkingDirectory(dir.path());
    inform.start("inform6", QStringList{"-k"} + game.options +
                                QStringList{realworld + "/" + game.file, dir.filePath("story")});
    ASSERT_TRUE(inform.waitForFinished(120000));
    ASSERT_EQ(inform.exitCode(), 0) << inform.readAll().toStdString();
    const std::set<std::string> compiler = CompilerView(ReadAll(dir.filePath("gameinfo.dbg").toStdString()), game.file);
    const std::set<std::string> scanner = ScannerView(ReadAll((realworld + "/" + game.file).toStdString()));
    EXPECT_GT(compiler.size(), 20u);
    EXPECT_EQ(Minus(compiler, scanner), game.onlyCompiler);
    EXPECT_EQ(Minus(scanner, compiler), game.onlyScanner);
  }
}

} // namespace
