// The problems of a build read from the real inform6's output: several on one line, a header's
// "!%" line, the build as a whole; and the forms no compile here prints.
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "compiler_problems.h"
#include "toolchain_test_support.h"

namespace {

// Every problem as "file:line W|E text" (H after the line for a header line).
std::string Listed(const CCompilerProblemReader& reader) {
  std::string all;
  for (const CompilerProblem& p : reader.Problems())
    all += p.file + ":" + std::to_string(p.line) + (p.header ? "H" : "") + (p.warning ? " W " : " E ") + p.text + "\n";
  return all;
}

std::string Compile(const QString& dir, const QString& source) {
  QProcess inform;
  inform.setWorkingDirectory(dir);
  inform.setProcessChannelMode(QProcess::MergedChannels);
  inform.start("/usr/bin/inform6", {source, "out.z5"});
  inform.waitForFinished(30000);
  CCompilerProblemReader reader;
  for (const QByteArray& line : inform.readAll().split('\n')) reader.ReadLine(line.toStdString());
  reader.Finish();
  return Listed(reader);
}

} // namespace

TEST(CompilerProblems, EveryMessageOfTheRealCompilerIsOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(WriteFile(dir.filePath("part.h"), "[ Part;\n  q = 1;\n];\n"));
  ASSERT_TRUE(WriteFile(dir.filePath("bad.inf"), "Constant Story \"x\";\nInclude \">part.h\";\n[ Main x;\n"
                                                 "  print \"> line 1: Error: no\"; x = 1 +;  y = ;\n];\n"));
  EXPECT_EQ(Compile(dir.path(), "bad.inf"),
            "part.h:2 E '=' applied to undeclared variable\n"
            "part.h:2 E Expected expression with side-effects but found <constant>\n"
            ":4 E Missing operand for \"+\"\n"
            ":4 E Missing operand for \"=\"\n"
            ":4 E '=' applied to undeclared variable\n"
            ":4 E Expected expression with side-effects but found <constant>\n"
            ":1 W Defined constant \"Story\" declared but not used\n"
            "part.h:1 W Routine \"Part\" declared but not used\n");
  // Each "!%" line the compiler refuses, counted as the file's lines; the compile stops there.
  ASSERT_TRUE(WriteFile(dir.filePath("head.inf"), "!% -~S\r\n!% (abc\r\n!% (it's\r\n[ Main; x;\r\n];\r\n"));
  EXPECT_EQ(Compile(dir.path(), "head.inf"), "head.inf:2H E Expected command or comment but found '(abc'\n"
                                             "head.inf:3H E Expected command or comment but found '(it's'\n");
  // A problem of the story as a whole names no line.
  ASSERT_TRUE(WriteFile(dir.filePath("nomain.inf"), "Constant A 1;\n"));
  EXPECT_EQ(Compile(dir.path(), "nomain.inf"), ":1 W Defined constant \"A\" declared but not used\n"
                                               ":0 E No 'Main' routine has been defined\n");
}

TEST(CompilerProblems, FormsAndWhatIsNoProblem) {
  CCompilerProblemReader reader;
  for (const char* line : {"Inform 6.41 (22nd July 2022)", "x.h(3): Warning:  w1", "> x.h(4): Error: echo", "File \"y.h\"; Line 5\t# Error:  e2",
                           "Fatal error: Too many errors", "Error in ICL: Couldn't open command file 'c.icl'",
                           "Error in ICL file 'my', line 2.icl', line 7:", "Bad command", "\"<before compilation>\", line 0: Fatal error: none",
                           "Compiled with 3 errors", "Error in ICL header of file 'z.inf', line 9:"})
    reader.ReadLine(line);
  reader.Finish();
  EXPECT_EQ(Listed(reader), "x.h:3 W w1\ny.h:5 E e2\n:0 E Too many errors\n:0 E Couldn't open command file 'c.icl'\n"
                            "my', line 2.icl:7H E Bad command\n:0 E none\nz.inf:9H E \n");
  EXPECT_EQ(reader.ErrorCount(), 6);
  EXPECT_EQ(reader.WarningCount(), 1);
  reader.Reset();
  EXPECT_TRUE(reader.Problems().empty());
}
