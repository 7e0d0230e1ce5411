// Messages read out of Inform 6's output in order: its three forms, the echo of the source line
// under a message, text quoted in a message.
#include <gtest/gtest.h>

#include "compiler_message.h"

TEST(CompilerMessage, OnlyTheCompilersOwnFormsAreMessages) {
  CCompilerMessageReader reader;
  for (auto [line, expected] : std::initializer_list<std::pair<const char*, const char*>>{
           {"line 2: Error:  '=' applied to undeclared variable", ":2 E"}, {">   print \"/../b.inf(2): Warning: see\";", ""},
           {"b.inf(3): Warning:  Expected expression", "b.inf:3 W"}, {">   \"x.h\", line 3: Error: q", ""},
           {"File \"g d/my part.h\"; Line 12\t# Error:  '='", "g d/my part.h:12 E"}, {"> File \"y.h\"; Line 4\t# Error:", ""},
           {"my (1).h(9): Warning:  No such constant as \"a.inf(8): Error: q\"", "my (1).h:9 W"},
           {"\"./p\", line 3\".h\", line 4: Error:  found \"x.h\", line 5: Error:", "./p\", line 3\".h:4 E"},
           {"line 7: (\"story.ni\", 12:3): Warning:  w", ":7 W"}, {"line 3: *** Compiler error:  x", ":3 E"},
           {"a.inf(1): Fatal error: Couldn't open source file \"x\"", "a.inf:1 E"}, {"line 0: Error:  x", ""},
           {"x.h(1234567890): Error:  x", ""}, {"x.h(123456789): Error:  x", "x.h:123456789 E"}, {"line 5: note", ""}}) {
    const std::optional<CompilerMessage> message = reader.ReadLine(line);
    EXPECT_EQ(message ? message->file + ":" + std::to_string(message->line) + (message->warning ? " W" : " E") : "", expected) << line;
  }
}
