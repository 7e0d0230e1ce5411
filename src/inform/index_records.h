#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The records the language index keeps for each file: what is defined where, every use of a
// name, and the directives that shape the whole (includes, conditional compilation, Replace).

enum class EIndexKind : uint8_t {
  Object,
  Class,
  Routine,
  EmbeddedRoutine, // "obj.before", "Class::description"
  Global,
  Constant,
  Array,
  Attribute,
  Property,           // common: the Property directive
  IndividualProperty, // the first "with" that gives it, or "Property individual"
  ClassProperty,      // a property given a value in a class: one of several definitions
  Action,             // the action of a "...Sub" routine
  FakeAction,
  Verb,        // one dictionary word of a Verb directive
  GrammarLine, // one "*" line of a Verb or Extend, named by its action
  Stub,
};
const char* IndexKindName(EIndexKind kind);

// How a name is used where it is written.
enum class ERefRole : uint8_t {
  Plain,
  Definition,    // the name of a definition
  Attribute,     // after has, hasnt, give, or in an object's has segment
  Property,      // after ".", ".&", ".#", provides
  PropertyValue, // a property named in an object's with segment
  ClassPropertyValue,
  Class, // after ofclass, in a class segment, a class used as a directive
  Action, // ##Take, <Take ...>, grammar "-> Take"
  Label,  // "Take:" in a routine: an action, or a constant in a switch
};

inline constexpr uint32_t INDEX_NO_NAME = 0xFFFFFFFF;
inline constexpr uint8_t DEF_REPLACED = 0x1; // a library routine another definition replaces
inline constexpr uint8_t DEF_HAS_VALUE = 0x2; // m_value holds the constant's number

struct CIndexDefinition {
  explicit CIndexDefinition(EIndexKind kind = EIndexKind::Object) : m_kind(kind) {}
  EIndexKind m_kind;
  uint8_t m_flags = 0;
  int16_t m_depth = 0;               // an object's arrows ("->")
  uint32_t m_name = INDEX_NO_NAME;   // in the index's name table
  uint32_t m_parent = INDEX_NO_NAME; // object: the parent written or the arrows' parent
  uint32_t m_class = INDEX_NO_NAME;  // object: the class used as its directive
  int32_t m_file = 0;
  int32_t m_line = 0; // 0-based
  int32_t m_col = 0;  // byte index of the name (of "[" for an embedded routine, "*" for a grammar line)
  int64_t m_value = 0;
};

struct CIndexReference {
  uint32_t m_name;
  int32_t m_line;
  int32_t m_col;
  uint16_t m_length;
  ERefRole m_role;
};

enum class EEventKind : uint8_t { Include, Ifdef, Ifndef, Iftrue, Iffalse, Ifv3, Ifv5, Ifnot, Endif, SystemFile, Replace };

struct CIndexEvent {
  CIndexEvent(EEventKind kind, int32_t line, int32_t col) : m_kind(kind), m_line(line), m_col(col) {}
  EEventKind m_kind;
  int32_t m_line;
  int32_t m_col;
  uint32_t m_name = INDEX_NO_NAME;  // Ifdef/Ifndef symbol; Replace: the routine
  uint32_t m_other = INDEX_NO_NAME; // Replace: the new name of the original
  std::string m_text;               // Include: the name as written; Iftrue/Iffalse: the condition
  int32_t m_target = -1;            // Include: the file it resolved to, or -1
};

// The records of one stretch of a file, each list in the order of the text.
struct CIndexRecords {
  std::vector<CIndexDefinition> defs;
  std::vector<CIndexReference> refs;
  std::vector<CIndexEvent> events;
};
