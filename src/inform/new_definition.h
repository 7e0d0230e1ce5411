#pragma once
#include <functional>
#include <string>
#include <string_view>

// The definitions the Insert menu writes: a class, an object, a room, a routine or a
// non-player character, in the form the game's library expects. Plain text in, plain text out.

// The library a game is written for. PunyInform has no "male" attribute (an animate object is
// male unless it says otherwise), the standard library has one.
enum class InformLibrary { Standard, Puny };

enum class DefinitionKind { Class, Object, Room, Function, Npc };

struct NewDefinition {
  DefinitionKind kind = DefinitionKind::Object;
  std::string name;      // the internal name
  std::string shortName; // objects, rooms and characters: what the game prints
  std::string parent;    // objects and characters: the object they start in (may be empty)
  std::string className; // the class of an object, room or character; a class's superclass
};

// Which fields a kind uses; the others are ignored.
bool KindHasShortName(DefinitionKind kind);
bool KindHasParent(DefinitionKind kind);
bool KindHasClass(DefinitionKind kind);

// An Inform identifier: letters, digits and "_", not starting with a digit, at most
// MAX_IDENTIFIER_LENGTH characters (the compiler's limit).
inline constexpr std::size_t MAX_IDENTIFIER_LENGTH = 32;
bool IsInformIdentifier(std::string_view text);
// A word the language keeps for itself (statements, directives, operators, built-in
// constants and functions), compared ignoring case as the compiler does.
bool IsReservedWord(std::string_view text);

// Why definition cannot be written, or empty when it can. known(name) tells whether a name
// is already defined; Inform names ignore case, so the caller compares so.
std::string CheckDefinition(const NewDefinition& definition,
                            const std::function<bool(std::string_view)>& known);

// The definition's source text, lines joined by lineEnd, without a line end after the last.
// The first line starts in column 0, where the object scanner reads definitions.
std::string ComposeDefinition(const NewDefinition& definition, InformLibrary library,
                              std::string_view lineEnd = "\r\n");
