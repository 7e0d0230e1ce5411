#pragma once
#include <string>
#include <string_view>
#include <vector>

// One Include directive of a source text.
struct IncludeDirective {
  std::string name;         // as written between the quotes: "Parser", ">rooms"
  int line = 0;             // 1-based line of the word Include
  bool conditional = false; // inside an #Ifdef ... #Endif block: it may never be read
};

// The Include directives of text in order, skipping comments, strings and dictionary words.
// A directive is a statement of its own: "Include" (or "#Include", any case) at the start of
// the text or after a ";", then a quoted name.
std::vector<IncludeDirective> ScanIncludes(std::string_view text);
