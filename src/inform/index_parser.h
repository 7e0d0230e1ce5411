#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "index_records.h"
#include "inform_lexer.h"

class CIndexNameTable;

// Reads the tokens of a file line by line and writes what the language index records: the
// definitions, every use of a name outside strings and comments with the role the place gives
// it, and the include, conditional and Replace directives. It follows Inform's directives
// closely enough to know a property from an attribute, an embedded routine from a value and a
// grammar line's action; it does not compile. Conditional directives are read through: both
// branches are indexed, and which one counts is decided later from the events.
class CIndexParser {
public:
  CIndexParser(CIndexNameTable& names, int32_t file) : m_names(names), m_file(file) {}

  // Reads the tokens of line (0-based) and appends its records to out.
  void FeedLine(int32_t line, const std::vector<CLexToken>& tokens, CIndexRecords& out);
  // Between directives, with nothing pending: a parse started afresh at the next line reads
  // the rest of the file as this one would.
  bool AtRest() const { return m_mode == EMode::Top && m_cond == ECond::None; }

private:
  enum class EMode : uint8_t { Top, Directive, RoutineName, RoutineLocals, Code, ObjectHead, ObjectBody, Grammar };
  enum class EDirective : uint8_t { Other, Global, Constant, Array, Attribute, Property, FakeAction, Stub, Replace, Include, Default };
  enum class ECond : uint8_t { None, Symbol, Expression, Bare };
  enum class ESegment : uint8_t { With, Has, Class, Private };

  void Feed(const std::vector<CLexToken>& tokens, std::size_t i);
  void FeedTop(const CLexToken& t);
  void StartDirective(const CLexToken& t);
  void FeedDirective(const CLexToken& t);
  void FeedRoutineHead(const CLexToken& t);
  void FeedCode(const std::vector<CLexToken>& tokens, std::size_t i);
  void FeedObjectHead(const CLexToken& t);
  void FeedObjectBody(const CLexToken& t);
  void FeedGrammar(const CLexToken& t);
  bool StartCond(const CLexToken& t);
  void FeedCond(const CLexToken& t);

  void StartObject(bool isClass, uint32_t className, const CLexToken& head);
  void StartRoutine(bool embedded, EMode after);
  uint32_t Define(EIndexKind kind, const CLexToken& t);
  void Reference(ERefRole role, int32_t col, std::string_view text);
  void Reference(const CLexToken& t, ERefRole role) { Reference(role, t.col, t.text); }
  bool IsLocal(std::string_view word);

  CIndexNameTable& m_names;
  int32_t m_file;
  CIndexRecords* m_out = nullptr;
  int32_t m_line = 0;
  std::string m_lower; // scratch for case-blind tests

  EMode m_mode = EMode::Top;
  EDirective m_directive = EDirective::Other;
  int m_step = 0; // tokens read of the directive after its name
  bool m_sawEquals = false; // a Constant's "=" before its value

  // Conditional directive being read (its tokens up to ";"), and the mode it interrupted.
  ECond m_cond = ECond::None;
  std::size_t m_condEvent = 0;

  // Routines: top-level or embedded, their locals, where to go at "]".
  EMode m_afterRoutine = EMode::Top;
  std::vector<std::string> m_locals; // lower case
  bool m_statementStart = false;
  ERefRole m_nextRole = ERefRole::Plain; // the role the next word takes
  bool m_roleChain = false;              // "has a or b": the role carries over "or"
  int m_give = 0;                        // after "give": 1 its object, 2 its attributes
  bool m_angle = false;                  // "<" or "<<" opening an action statement

  // Objects and classes.
  bool m_isClass = false;
  bool m_named = false;
  std::size_t m_objectDef = 0; // its definition in m_out->defs
  std::string m_owner;         // its name as written, for embedded routines
  ESegment m_segment = ESegment::With;
  bool m_expectProperty = false;
  std::string m_property; // the property being given a value
  int m_parens = 0;

  // Grammar: Verb (its words are definitions) or Extend.
  bool m_verbWords = false;
  bool m_beforeStar = true;
  int32_t m_starLine = -1;
  int32_t m_starCol = 0;
  bool m_afterArrow = false;
};
