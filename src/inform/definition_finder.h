#pragma once
#include <string_view>

class CScanLineSource;

// Finds where a record of the object bar is defined in the text as it is now. A definition
// starts in column 0 of a line that does not begin inside a string; each returns the index of
// the first such line, or -1.

// The line that begins with definitionLine (a record's first bytes of its line), ignoring
// case, where any run of blanks and tabs stands for any other, and the blanks after a routine's
// "[" may be none: "Room\tkitchen", "[Main;" and "[ Main;" are found however they are spaced
// now. A definition line that ends in a name matches only where that name ends.
int FindDefinitionLine(const CScanLineSource& source, std::string_view definitionLine);

// The line "Class NAME", the directive in any case, any run of blanks and tabs after it, and
// NAME in its exact case as a whole word ("Class\tRoom", "class  Room(5)").
int FindClassDefinition(const CScanLineSource& source, std::string_view className);

// The single-line tests under the two searches.
bool MatchesDefinitionLine(std::string_view line, std::string_view definitionLine);
bool MatchesClassDefinition(std::string_view line, std::string_view className);
