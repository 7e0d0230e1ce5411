// The scanner against the compiler's own view of real games: inform6 -k lists every object,
// class and routine with the file and line of its definition in gameinfo.dbg.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "definition_finder.h"
#include "object_scanner.h"

namespace {

using Names = std::set<std::string>;

std::string Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::string Between(const std::string& text, const std::string& open, const std::string& close, std::size_t from = 0) {
  const std::size_t start = text.find(open, from) + open.size();
  return start < open.size() ? std::string() : text.substr(start, text.find(close, start) - start);
}

// "KIND NAME:LINE" for each object, class and routine the debug file places in game; the
// objects whose names the compiler made up as one count.
Names CompilerView(const std::string& dbg, const std::string& game) {
  const std::size_t source = dbg.find("/" + game + "</given-path>");
  const std::string index = Between(dbg.substr(dbg.rfind("<source index=", source)), "\"", "\"");
  Names found;
  int unnamed = 0;
  for (const std::string kind : {"object", "class", "routine"})
    for (std::size_t at = dbg.find("<" + kind + ">"); at != std::string::npos; at = dbg.find("<" + kind + ">", at + 1)) {
      const std::string element = Between(dbg, "<" + kind + ">", "</" + kind + ">", at);
      if (Between(element, "<file-index>", "<") != index) continue;
      if (element.starts_with("<identifier>"))
        found.insert(kind + " " + Between(element, ">", "<") + ":" + Between(element, "<line>", "<"));
      else
        unnamed += kind == "object";
    }
  return found.insert("unnamed objects: " + std::to_string(unnamed)), found;
}

// The same from the scan, each at the line a jump to it lands on.
Names ScannerView(const std::string& text) {
  const CStringLineSource source = CStringLineSource::FromText(text);
  CObjectScanner scanner;
  scanner.ScanObjects(source);
  Names found;
  int unnamed = 0;
  auto add = [&](const char* kind, std::string_view name, int line) {
    found.insert(kind + (" " + std::string(name)) + ":" + std::to_string(line + 1));
  };
  for (const CObjectRecord& r : scanner.ObjectMap())
    if (r.m_name.starts_with(CObjectScanner::UNTITLED) || r.m_name.starts_with('"'))
      ++unnamed;
    else
      add("object", r.m_name, FindDefinitionLine(source, r.m_definitionLine));
  for (const CClassRecord& r : scanner.ClassMap()) add("class", r.m_name, FindClassDefinition(source, r.m_name));
  for (const CFunctionRecord& r : scanner.FunctionMap()) add("routine", r.m_name, FindDefinitionLine(source, r.m_definitionLine));
  return found.insert("unnamed objects: " + std::to_string(unnamed)), found;
}

std::vector<std::string> Minus(const Names& a, const Names& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

TEST(RealGames, ScannerListsWhatTheCompilerDefinesInTheGamesOwnFile) {
  const QString realworld = TORVANE_REALWORLD;
  // Options; what only the compiler lists; what only the scan lists.
  const std::tuple<const char*, QString, std::vector<std::string>, std::vector<std::string>> games[] = {
      // "Class Ticket(7)" makes seven objects that no line defines.
      {"balances.inf", "+include_path=/usr/share/inform6/library", {"unnamed objects: 19"}, {"unnamed objects: 12"}},
      // The scan reads both branches of "#IfV3": this routine is compiled for version 3 only.
      {"library_of_horror-36.inf", "+include_path=" + realworld + "/punylib-36", {}, {"routine PrintVerb:96"}},
      {"glulxercise.inf", "-G", {}, {}},
  };
  for (const auto& [game, options, onlyCompiler, onlyScanner] : games) {
    SCOPED_TRACE(game);
    QTemporaryDir dir;
    QProcess inform;
    inform.setWorkingDirectory(dir.path());
    inform.start("inform6", {"-k", options, realworld + "/" + game, dir.filePath("story")});
    ASSERT_TRUE(inform.waitForFinished(120000) && inform.exitCode() == 0) << inform.readAll().toStdString();
    const Names compiler = CompilerView(Read(dir.filePath("gameinfo.dbg")), game);
    const Names scanner = ScannerView(Read(realworld + "/" + game));
    EXPECT_GT(compiler.size(), 20u);
    EXPECT_EQ(Minus(compiler, scanner), onlyCompiler);
    EXPECT_EQ(Minus(scanner, compiler), onlyScanner);
  }
}

} // namespace
