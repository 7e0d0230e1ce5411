// The project model: "!%" headers, effective options, includes, libraries, project files.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "build_analysis.h"
#include "include_resolver.h"
#include "project_file.h"

namespace fs = std::filesystem;

namespace {

const std::string REALWORLD = TORVANE_REALWORLD;
const std::string STDLIB = "/usr/share/inform6/library";

std::string Messages(const std::vector<SourceMessage>& messages) {
  std::string text;
  for (const SourceMessage& m : messages) text += m.Describe() + "\n";
  return text;
}

class TempFolder {
public:
  TempFolder() {
    char name[] = "/tmp/torvane-project-XXXXXX";
    m_path = ::mkdtemp(name);
  }
  ~TempFolder() { fs::remove_all(m_path); }
  std::string Write(const std::string& name, const std::string& text) const {
    const fs::path path = fs::path(m_path) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  std::string m_path;
};

TEST(IclHeader, ReadsOneCommandPerLineAndRejectsWhatTheCompilerRejects) {
  struct Row { const char* text; const char* commands; const char* problems; };
  const Row rows[] = {
      {"!% -v3\r\n!%-~S ! strict off\n!%\n!% +include_path=\"a b\",c\n! not header\n!% -G\n",
       "1:-v3 2:-~S 4:+include_path=a b,c ", ""},
      {"!% foo\n!% -v3 -s\n!% $MAX_ERRORS=4\n", "3:$MAX_ERRORS=4 ",
       "m.inf, line 1: Expected command or comment but found 'foo'\n"
       "m.inf, line 2: expected comment or nothing but found '-s'\n"},
      {"\n!% -v3\n", "", ""},
      {"!% -v4\r!% ++include_path=x", "1:-v4 2:++include_path=x ", ""},
  };
  for (const Row& row : rows) {
    const IclHeader header = ParseIclHeader(row.text, "m.inf");
    std::string commands;
    for (const IclCommand& c : header.commands) commands += std::to_string(c.line) + ":" + c.text + " ";
    EXPECT_EQ(commands, row.commands) << row.text;
    EXPECT_EQ(Messages(header.problems), row.problems) << row.text;
  }
}

TEST(CompilerOptions, HeaderWinsBefore644AndTheCommandLineFrom644) {
  struct Row { std::vector<std::string> line; const char* header; int version; StoryTarget target;
               const char* path; bool debug, strict; const char* problems; };
  const Row rows[] = {
      {{"-v5", "-D"}, "!% -v3\n!% -~D\n", 641, StoryTarget::Z3, "", false, true, ""},
      {{"-v5", "-D"}, "!% -v3\n!% -~D\n", 644, StoryTarget::Z5, "", true, true, ""},
      {{"-v8", "+include_path=a,b"}, "!% ++include_path=c\n!% -~S\n", 641, StoryTarget::Z8, "a|b|c|", false, false, ""},
      {{"+include_path=a"}, "!% +include_path=,p\n", 0, StoryTarget::Z5, "|p|", false, true, ""},
      {{"-G"}, "!% -v5s\n", 641, StoryTarget::Glulx, "", false, true, ""},
      {{"-v5"}, "!% -G\n", 641, StoryTarget::Z5, "", false, true,
       "h.inf, line 1: The '-G' switch cannot follow the '-v' switch\n"},
      {{"-v9", "-Q"}, "!% -Cx\n", 641, StoryTarget::Z5, "", false, true,
       "the compiler's command line: -v must be followed by 3 to 8\n"
       "the compiler's command line: Switch \"-9\" unknown (try \"inform -h2\" for the list)\n"
       "the compiler's command line: Switch \"-Q\" unknown (try \"inform -h2\" for the list)\n"
       "h.inf, line 1: -C must be followed by 'u' or 0 to 9. Defaulting to ISO-8859-1.\n"},
  };
  const std::vector<std::string> known{"a", "a2", "Cu", "Cn", "D", "G", "S", "s", "v3", "v5", "v8"};
  for (const Row& row : rows) {
    const CompilerOptions options =
        ResolveCompilerOptions(row.line, ParseIclHeader(row.header, "h.inf"), row.version, known);
    std::string path;
    for (const std::string& folder : options.includePath) path += folder + "|";
    EXPECT_EQ(options.target, row.target) << row.header << row.version;
    EXPECT_EQ(path, row.path) << row.header;
    EXPECT_EQ(options.debug, row.debug) << row.header << row.version;
    EXPECT_EQ(options.strict, row.strict) << row.header;
    EXPECT_EQ(Messages(options.problems), row.problems);
  }
}

TEST(IncludeResolver, FollowsTheCompilersNamingRules) {
  TempFolder dir;
  for (const char* file : {"src/main.inf", "src/rooms.inf", "src/a.h", "lib/a.h", "lib/Up.h",
                           "lib/b", "lib/c.inf", "lib2/x", "src/sub/deep.h"})
    dir.Write(file, "!\n");
  const std::string from = dir.m_path + "/src/main.inf";
  struct Row { const char* name; std::vector<std::string> path; const char* found; };
  const Row rows[] = {
      {"a", {"lib2", "lib"}, "lib/a.h"},     {"a", {"lib2"}, ""},
      {"a", {"lib2", "src"}, "src/a.h"},     {">rooms", {"lib"}, "src/rooms.inf"},
      {">a.h", {}, "src/a.h"},               {"up", {"lib"}, ""},
      {"Up", {"lib"}, "lib/Up.h"},           {"b", {"lib"}, ""},
      {"b.", {"lib"}, "lib/b"},              {"c.inf", {"lib"}, "lib/c.inf"},
      {"src/sub/deep", {"lib"}, "src/sub/deep.h"}, {"a", {dir.m_path + "/lib"}, "lib/a.h"},
      {"src/a.h", {}, "src/a.h"},            {"deep", {""}, ""},
  };
  for (const Row& row : rows) {
    const std::string found = ResolveInclude(row.name, from, row.path, dir.m_path);
    EXPECT_EQ(found.empty() ? "" : found.substr(dir.m_path.size() + 1), row.found) << row.name;
  }
}

TEST(BuildAnalysis, ReadsTheRealGamesLibrariesTargetsAndStoryFiles) {
  struct Row { const char* file; std::vector<std::string> line; const char* story; const char* library; };
  const Row rows[] = {
      {"balances.inf", {"-v5", "+include_path=" + REALWORLD + "," + STDLIB}, "balances.z5", "Standard library 6.12.6"},
      {"library_of_horror-36.inf", {"-v3", "+include_path=" + REALWORLD + ",punylib-36"},
       "library_of_horror-36.z3", "PunyInform 3.6"},
      {"glulxercise.inf", {"-G", "+include_path=" + REALWORLD}, "glulxercise.ulx", "no library"},
  };
  for (const Row& row : rows) {
    const BuildAnalysis analysis = AnalyseBuild({REALWORLD + "/" + row.file, row.line, 641, {}, STDLIB, {}});
    EXPECT_EQ(analysis.storyFile, REALWORLD + "/" + row.story);
    EXPECT_EQ(analysis.library.Describe(), row.library);
    EXPECT_EQ(Messages(analysis.problems), "") << row.file;
  }
}

TEST(BuildAnalysis, NamesFileAndLineOfEachProblem) {
  TempFolder dir;
  dir.Write("lib/readme.txt", "");
  const std::string main = dir.Write("g/main.inf",
      "!% -v3\n!% bad\n! Include \"commented\";\nConstant X \"Include \"\"y\"\"\";\n"
      "Include \"missing\";\n#Ifdef TARGET_GLULX; Include \"glk\"; #Endif;\nInclude \">part\";\n");
  dir.Write("g/part.inf", "\n\ninclude 'x'; INCLUDE \">gone.h\";\n");
  const BuildAnalysis analysis =
      AnalyseBuild({main, {"-v5", "+include_path=" + dir.m_path + "/lib"}, 641, {}, dir.m_path + "/lib", {"s.ini", 0, ""}});
  EXPECT_EQ(Messages(analysis.problems),
            main + ", line 2: Expected command or comment but found 'bad'\n" +
            main + ", line 5: cannot find the file of Include \"missing\" (missing.h) in the include path " + dir.m_path + "/lib\n" +
            dir.m_path + "/g/part.inf, line 3: cannot find the file of Include \">gone.h\" (gone.h)\n"
            "s.ini: the library folder " + dir.m_path + "/lib holds neither the standard library (version.h) nor PunyInform (globals.h)\n");
  EXPECT_EQ(analysis.includes.size(), 4u);
  EXPECT_EQ(analysis.storyFile, dir.m_path + "/g/main.z3");
  EXPECT_EQ(StoryFileFor("/a.b/.hidden", StoryTarget::Glulx), "/a.b/.hidden.ulx");
}

TEST(ProjectFile, RoundTripsRelativePathsAndKeepsWhatItDoesNotKnowAndTheAuthorsComments) {
  TempFolder dir;
  const std::string path = dir.Write("game/adv.i6proj",
      "; mine\n[Project]\nMain=adv.inf\nTarget=ulx\nProfile=Release\nLibrary=../lib\nColour=blue\n"
      "[Files]\n# rooms go\nFile=rooms.h\nFile=/abs/x.h\n[Include]\n  ; ext folder\nPath=ext\n[Switches]\nSwitch=$MAX_ERRORS=3\n"
      "[Interpreters]\nulx=glulxe -q\n[Later]\nKey=v=1\n; the end\n");
  ProjectFile project;
  SourceMessage error;
  ASSERT_TRUE(ReadProjectFile(path, project, error)) << error.Describe();
  const std::string g = dir.m_path + "/game/";
  EXPECT_EQ(project.mainFile, g + "adv.inf");
  EXPECT_EQ(project.files, (std::vector<std::string>{g + "rooms.h", "/abs/x.h", g + "adv.inf"}));
  EXPECT_EQ(project.libraryPath, dir.m_path + "/lib");
  EXPECT_EQ(ProjectCommandLine(project, "/global"),
            (std::vector<std::string>{"-G", "-~S", "-~D", "+include_path=" + g.substr(0, g.size() - 1) + "," +
                                      g + "ext," + dir.m_path + "/lib", "$MAX_ERRORS=3"}));
  EXPECT_FALSE(project.RemoveFile(g + "adv.inf"));
  EXPECT_TRUE(project.RemoveFile(g + "rooms.h"));
  ASSERT_TRUE(WriteProjectFile(project, error)) << error.Describe();
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "; Torvane project: paths are relative to this file\n; mine\n[Project]\nMain=adv.inf\nTarget=ulx\n"
                  "Profile=Release\nLibrary=../lib\nColour=blue\n\n[Files]\nFile=/abs/x.h\nFile=adv.inf\n\n"
                  "[Include]\n; ext folder\nPath=ext\n\n[Switches]\nSwitch=$MAX_ERRORS=3\n\n[Interpreters]\nulx=glulxe -q\n\n"
                  "[Later]\nKey=v=1\n# rooms go\n; the end\n");
  ProjectFile again; // read back and saved again: the same text, no comment doubled
  ASSERT_TRUE(ParseProjectFile(text, path, again, error));
  EXPECT_EQ(ProjectFileText(again), text);
  EXPECT_EQ(Messages(ProjectProblems(project)),
            path + ", line 11: the file /abs/x.h does not exist\n" + path + ", line 3: the main file " +
            g + "adv.inf does not exist\n" + path + ", line 6: the library folder " +
            dir.m_path + "/lib does not exist\n");
}

TEST(ProjectFile, RefusesCorruptFilesNamingTheLine) {
  struct Row { std::string text; const char* message; };
  const Row rows[] = {
      {"[Project]\nMain=a.inf\nTarget=z9\n", "p.i6proj, line 3: unknown target 'z9' (z3, z4, z5, z6, z7, z8 or ulx)"},
      {"[Project]\nProfile=Fast\n", "p.i6proj, line 2: unknown profile 'Fast' (Debug or Release)"},
      {"[Project\n", "p.i6proj, line 1: a section name must stand between [ and ]: '[Project'"},
      {"[Files]\nFile=a.h\njunk\n", "p.i6proj, line 3: expected KEY=VALUE but found 'junk'"},
      {"[Files]\nFile=a.h\n", "p.i6proj: no main file: the [Project] section needs Main=FILE"},
      {std::string("[Project]\nMain=a\0b\n", 18), "p.i6proj, line 2: this is not a project file (it holds binary data)"},
  };
  for (const Row& row : rows) {
    ProjectFile project;
    SourceMessage error;
    EXPECT_FALSE(ParseProjectFile(row.text, "p.i6proj", project, error));
    EXPECT_EQ(error.Describe(), row.message);
  }
  ProjectFile project;
  SourceMessage error;
  EXPECT_FALSE(ReadProjectFile("/nonexistent/x.i6proj", project, error));
  EXPECT_EQ(error.Describe(), "/nonexistent/x.i6proj: cannot read the project file: No such file or directory");
}

} // namespace
