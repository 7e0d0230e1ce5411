#include "definition_finder.h"

#include "object_scanner.h"
#include "string_tracker.h"
#include "word_classifier.h"

namespace {

bool IsBlank(char c) { return IsInformSpace(static_cast<unsigned char>(c)); }
bool IsWord(char c) { return IsInformWordChar(static_cast<unsigned char>(c)); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

// No word character right after a name that ended at line[end].
bool EndsWord(std::string_view line, std::size_t end) { return end >= line.size() || !IsWord(line[end]); }

template <class TMatch> int FirstMatchingLine(const CScanLineSource& source, const TMatch& matches) {
  CStringTracker strings;
  for (int i = 0; i < source.LineCount(); ++i) {
    const int length = source.LineLength(i);
    const std::string_view line(length > 0 ? source.LineChars(i) : "", length > 0 ? length : 0);
    if (!strings.InString() && matches(line)) return i;
    strings.Advance(line);
  }
  return -1;
}

} // namespace

bool MatchesDefinitionLine(std::string_view line, std::string_view definition) {
  if (definition.empty() || IsBlank(definition.front())) return false;
  std::size_t i = 0, j = 0;
  while (j < definition.size()) {
    const bool blankHere = IsBlank(definition[j]);
    const bool blankThere = i < line.size() && IsBlank(line[i]);
    if (blankHere || blankThere) {
      const std::size_t nextJ = SkipBlanks(definition, j);
      const bool afterBracket = j == 1 && definition[0] == '[';
      // Blanks cut off at the end of the definition line: the line may end there instead.
      const bool endsHere = blankHere && nextJ == definition.size() && i == line.size();
      if (!(blankHere && blankThere) && !afterBracket && !endsHere) return false;
      j = nextJ;
      i = SkipBlanks(line, i);
      continue;
    }
    if (i >= line.size() || Lower(line[i]) != Lower(definition[j])) return false;
    ++i;
    ++j;
  }
  // A definition line shorter than its limit is the whole line: a name at its end ends there.
  const bool cut = definition.size() >= CObjectScanner::DEFINITION_LINE_LENGTH;
  return cut || !IsWord(definition.back()) || EndsWord(line, i);
}

bool MatchesClassDefinition(std::string_view line, std::string_view className) {
  constexpr std::string_view CLASS = "class";
  if (className.empty() || line.size() < CLASS.size()) return false;
  for (std::size_t k = 0; k < CLASS.size(); ++k)
    if (Lower(line[k]) != CLASS[k]) return false;
  const std::size_t name = SkipBlanks(line, CLASS.size());
  if (name == CLASS.size()) return false;
  return line.substr(name, className.size()) == className && EndsWord(line, name + className.size());
}

int FindDefinitionLine(const CScanLineSource& source, std::string_view definitionLine) {
  return FirstMatchingLine(source, [definitionLine](std::string_view line) {
    return MatchesDefinitionLine(line, definitionLine);
  });
}

int FindClassDefinition(const CScanLineSource& source, std::string_view className) {
  return FirstMatchingLine(source, [className](std::string_view line) {
    return MatchesClassDefinition(line, className);
  });
}
