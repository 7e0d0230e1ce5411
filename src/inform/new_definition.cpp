#include "new_definition.h"

#include <algorithm>
#include <iterator>
#include <cctype>
#include <vector>

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Words a definition's name may not be: the compiler takes them for something else.
constexpr std::string_view RESERVED[] = {
    // statements
    "box", "break", "continue", "do", "else", "font", "for", "give", "if", "inversion", "jump",
    "move", "new_line", "objectloop", "print", "print_ret", "quit", "read", "remove", "restore",
    "return", "rfalse", "rtrue", "save", "spaces", "string", "style", "switch", "to", "until",
    "while",
    // definitions and their segments, operators
    "object", "class", "nearby", "with", "private", "has", "hasnt", "in", "notin",
    "ofclass", "or", "provides",
    // directives that can open a line
    "abbreviate", "array", "attribute", "constant", "default", "dictionary", "end", "extend",
    "fake_action", "global", "import", "include", "link", "lowstring", "message", "property",
    "release", "replace", "serial", "switches", "statusline", "stub", "system_file", "trace",
    "verb", "version",
    // built-in constants and functions
    "nothing", "true", "false", "self", "sender", "child", "children", "parent", "sibling",
    "random", "metaclass", "indirect"};

// The dictionary words of a short name: its words in lower case, without articles; a word of
// one letter gets "//" so the compiler takes it as a word, not a character.
std::vector<std::string> NameWords(std::string_view shortName) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < shortName.size()) {
    std::size_t next = shortName.find(' ', at);
    if (next == std::string_view::npos) next = shortName.size();
    std::string word;
    bool plain = true; // letters, digits and "-" only: other characters need escapes
    for (const char c : shortName.substr(at, next - at)) {
      const auto u = static_cast<unsigned char>(c);
      plain = plain && u < 0x80 && (std::isalnum(u) || c == '-');
      word.push_back(static_cast<char>(std::tolower(u)));
    }
    at = next + 1;
    if (!plain || word.empty() || word == "a" || word == "an" || word == "the" || word == "some")
      continue;
    words.push_back(word.size() == 1 ? word + "//" : word);
  }
  return words;
}

// text inside an Inform string: a double quote is written "~", which prints as one.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) out.push_back(c == '"' ? '~' : c);
  return out + "\"";
}

} // namespace

bool KindHasShortName(DefinitionKind kind) {
  return kind == DefinitionKind::Object || kind == DefinitionKind::Room ||
         kind == DefinitionKind::Npc;
}

bool KindHasParent(DefinitionKind kind) {
  return kind == DefinitionKind::Object || kind == DefinitionKind::Npc;
}

bool KindHasClass(DefinitionKind kind) { return kind != DefinitionKind::Function; }

bool IsInformIdentifier(std::string_view text) {
  if (text.empty() || text.size() > MAX_IDENTIFIER_LENGTH) return false;
  if (std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 && (std::isalnum(u) || c == '_');
  });
}

bool IsReservedWord(std::string_view text) {
  return std::any_of(std::begin(RESERVED), std::end(RESERVED),
                     [text](std::string_view word) { return SameIgnoringCase(word, text); });
}

std::string CheckDefinition(const NewDefinition& definition,
                            const std::function<bool(std::string_view)>& known) {
  auto badName = [](std::string_view what, const std::string& name) -> std::string {
    if (!IsInformIdentifier(name))
      return std::string(what) + " \"" + name +
             "\" is not an Inform name: use letters, digits and _, not starting with a digit, "
             "at most 32 characters.";
    if (IsReservedWord(name))
      return std::string(what) + " \"" + name + "\" is a word Inform keeps for itself.";
    return {};
  };
  if (definition.name.empty()) return "Give the new definition a name.";
  if (std::string problem = badName("The name", definition.name); !problem.empty()) return problem;
  if (known && known(definition.name))
    return "\"" + definition.name + "\" is already defined. Choose another name.";
  const DefinitionKind kind = definition.kind;
  if (KindHasShortName(kind)) {
    if (definition.shortName.empty()) return "Give the new definition a short name.";
    for (const char c : definition.shortName)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return "The short name may not hold control characters.";
  }
  if (KindHasParent(kind) && !definition.parent.empty()) {
    if (std::string problem = badName("The parent", definition.parent); !problem.empty())
      return problem;
    if (SameIgnoringCase(definition.parent, definition.name)) return "An object cannot be its own parent.";
  }
  if (KindHasClass(kind) && !definition.className.empty()) {
    if (std::string problem = badName("The class", definition.className); !problem.empty())
      return problem;
    if (SameIgnoringCase(definition.className, definition.name)) return "A class cannot be its own class.";
  }
  return {};
}

std::string ComposeDefinition(const NewDefinition& d, InformLibrary library,
                              std::string_view lineEnd) {
  const std::string nl(lineEnd);
  const std::string classWord =
      KindHasClass(d.kind) && !d.className.empty() ? d.className : std::string("Object");
  switch (d.kind) {
  case DefinitionKind::Function: return "[ " + d.name + ";" + nl + "  rfalse;" + nl + "];";
  case DefinitionKind::Class:
    return "Class " + d.name + (d.className.empty() ? "" : nl + "  class " + d.className) + nl +
           "  with" + nl + ";";
  case DefinitionKind::Room:
    return classWord + " " + d.name + " " + Quoted(d.shortName) + nl + "  with" + nl +
           "    description " + Quoted("You are in the " + d.shortName + ".") + "," + nl +
           "  has light;";
  default: break;
  }
  std::string text = classWord + " " + d.name + " " + Quoted(d.shortName);
  if (!d.parent.empty()) text += " " + d.parent;
  text += nl + "  with" + nl;
  const std::vector<std::string> words = NameWords(d.shortName);
  if (!words.empty()) {
    text += "    name";
    for (const std::string& word : words) text += " '" + word + "'";
    text += "," + nl;
  }
  if (d.kind == DefinitionKind::Object)
    return text + "    description " +
           Quoted("You see nothing special about the " + d.shortName + ".") + "," + nl + ";";
  // A character: described and answering through the library's own article printing.
  const bool proper = std::isupper(static_cast<unsigned char>(d.shortName[0])) != 0;
  text += "    description [; print_ret (The) self, \" looks back at you.\"; ]," + nl;
  text += "    life [;" + nl + "      Answer, Ask, Tell: print_ret (The) self, \" has nothing to say.\";" +
          nl + "    ]," + nl;
  std::string attributes = library == InformLibrary::Standard ? "animate male" : "animate";
  if (proper) attributes += " proper";
  return text + "  has " + attributes + ";";
}
