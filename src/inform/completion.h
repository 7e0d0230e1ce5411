#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "index_records.h"

class CLanguageIndex;

// What kind of name fits where the caret is.
enum class ECompletionContext : uint8_t {
  None,      // inside a string, a comment or a dictionary word: nothing is offered
  Any,       // any name the index knows
  Action,    // after "##", or "->" in a grammar line
  Attribute, // after has, hasnt, "~", in a has list, after "give obj"
  Class,     // after ofclass, or an object's "class"
  Property,  // after ".", ".&", ".#", provides, with
  Value,     // after "-->": a constant or a global as the index
};

// The word being completed: it starts at wordStart (a byte column) and its typed part
// (prefix) runs to the caret.
struct CCompletionSite {
  ECompletionContext context = ECompletionContext::None;
  int wordStart = 0;
  std::string prefix;
};

// The site at column caret of line (only the text before the caret is read). startsInString
// tells whether the line begins inside a double-quoted string left open above.
CCompletionSite FindCompletionSite(std::string_view line, int caret, bool startsInString);

// Whether the text before the caret has just become a place where names are offered by
// themselves: it ends with "##", "." after a name or a bracket, "-->", or one of has, hasnt,
// ofclass, provides, with and one space; never inside a string or a comment.
bool IsCompletionTrigger(std::string_view line, int caret, bool startsInString);

// One name offered.
struct CCompletionItem {
  std::string name;  // as first written
  EIndexKind kind;   // of its first definition that fits
  bool library;      // defined only in the library's files
};

// The names of an index, sorted for look-up by prefix, with the kinds each is defined as.
// Built once per state of the index; a query costs the names that start with the prefix.
class CCompletionCatalogue {
public:
  // isLibrary tells a library file from the project's own.
  void Build(const CLanguageIndex& index, const std::function<bool(int file)>& isLibrary);
  // The names fitting context that start with prefix (letter case ignored): the project's
  // own first, then the library's, each in alphabetical order. At most limit of them.
  std::vector<CCompletionItem> Candidates(ECompletionContext context, std::string_view prefix,
                                          std::size_t limit = SIZE_MAX) const;
  std::size_t NameCount() const { return m_entries.size(); }

private:
  struct CEntry {
    std::string lower;
    std::string name;
    uint32_t kinds = 0;   // bit (1 << kind) for each kind defined
    uint32_t ownKinds = 0; // the kinds defined in the project's own files
  };
  std::vector<CEntry> m_entries; // by lower
};
