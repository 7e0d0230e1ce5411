#include "index_parser.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "index_name_table.h"
#include "word_classifier.h"

namespace {

bool Is(const CLexToken& t, std::string_view symbol) { return t.kind == ELexKind::Symbol && t.text == symbol; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

template <std::size_t N> bool OneOf(std::string_view lower, const std::array<std::string_view, N>& words) {
  return std::find(words.begin(), words.end(), lower) != words.end();
}

// Directives read to their ";" with no definition of their own.
constexpr std::array<std::string_view, 16> PLAIN_DIRECTIVES = {
    "abbreviate", "dictionary", "end",     "import",  "link",       "lowstring", "message",     "release",
    "serial",     "statusline", "switches", "trace",  "version",    "zcharacter", "origsource", "undef"};

// Words of grammar lines that are tokens, not names.
constexpr std::array<std::string_view, 14> GRAMMAR_WORDS = {
    "noun", "held", "multi", "multiheld", "multiexcept", "multiinside", "creature",
    "special", "number", "topic", "reverse", "meta", "first", "last"};

std::optional<int64_t> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.starts_with("$$")) {
    base = 2;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// "Take:" or "Take, Drop:" starting at tokens[i]: the labels of a case.
bool IsCaseLabel(const std::vector<CLexToken>& tokens, std::size_t i) {
  for (std::size_t j = i; j < tokens.size() && tokens[j].kind == ELexKind::Word; j += 2) {
    if (j + 1 >= tokens.size()) return false;
    if (Is(tokens[j + 1], ":")) return true;
    if (!Is(tokens[j + 1], ",")) return false;
  }
  return false;
}

} // namespace

void CIndexParser::FeedLine(int32_t line, const std::vector<CLexToken>& tokens, CIndexRecords& out) {
  m_out = &out;
  m_line = line;
  for (std::size_t i = 0; i < tokens.size(); ++i) Feed(tokens, i);
}

void CIndexParser::Feed(const std::vector<CLexToken>& tokens, std::size_t i) {
  const CLexToken& t = tokens[i];
  if (m_cond != ECond::None) return FeedCond(t);
  if (t.kind == ELexKind::Word && t.text.front() == '#' && StartCond(t)) return;
  switch (m_mode) {
  case EMode::Top: return FeedTop(t);
  case EMode::Directive: return FeedDirective(t);
  case EMode::RoutineName:
  case EMode::RoutineLocals: return FeedRoutineHead(t);
  case EMode::Code: return FeedCode(tokens, i);
  case EMode::ObjectHead: return FeedObjectHead(t);
  case EMode::ObjectBody: return FeedObjectBody(t);
  case EMode::Grammar: return FeedGrammar(t);
  }
}

uint32_t CIndexParser::Define(EIndexKind kind, const CLexToken& t) {
  CIndexDefinition def{kind};
  def.m_name = m_names.Intern(t.text);
  def.m_file = m_file;
  def.m_line = m_line;
  def.m_col = t.col;
  m_out->defs.push_back(def);
  Reference(t, ERefRole::Definition);
  return def.m_name;
}

void CIndexParser::Reference(ERefRole role, int32_t col, std::string_view text) {
  if (text.empty() || text.size() > 0xFFFF) return;
  m_out->refs.push_back({m_names.Intern(text), m_line, col, static_cast<uint16_t>(text.size()), role});
}

bool CIndexParser::IsLocal(std::string_view word) {
  LowerInto(word, m_lower);
  return std::find(m_locals.begin(), m_locals.end(), m_lower) != m_locals.end();
}

// "#Ifdef X;" and its kin may stand anywhere, also inside routines and objects; at the top
// level they may be written without "#".
bool CIndexParser::StartCond(const CLexToken& t) {
  LowerInto(t.text.front() == '#' ? t.text.substr(1) : t.text, m_lower);
  static constexpr std::array<std::pair<std::string_view, EEventKind>, 8> CONDS = {{
      {"ifdef", EEventKind::Ifdef}, {"ifndef", EEventKind::Ifndef}, {"iftrue", EEventKind::Iftrue},
      {"iffalse", EEventKind::Iffalse}, {"ifv3", EEventKind::Ifv3}, {"ifv5", EEventKind::Ifv5},
      {"ifnot", EEventKind::Ifnot}, {"endif", EEventKind::Endif}}};
  for (const auto& [name, kind] : CONDS) {
    if (m_lower != name) continue;
    m_condEvent = m_out->events.size();
    m_out->events.push_back(CIndexEvent{kind, m_line, t.col});
    m_cond = (kind == EEventKind::Ifdef || kind == EEventKind::Ifndef) ? ECond::Symbol
             : (kind == EEventKind::Iftrue || kind == EEventKind::Iffalse) ? ECond::Expression
                                                                          : ECond::Bare;
    return true;
  }
  return false;
}

void CIndexParser::FeedCond(const CLexToken& t) {
  if (Is(t, ";")) {
    m_cond = ECond::None;
    return;
  }
  CIndexEvent& event = m_out->events[m_condEvent];
  if (m_cond == ECond::Expression) {
    if (!event.m_text.empty()) event.m_text += ' ';
    event.m_text += t.text;
  }
  if (t.kind != ELexKind::Word) return;
  if (m_cond == ECond::Symbol && event.m_name == INDEX_NO_NAME) event.m_name = m_names.Intern(t.text);
  Reference(t, ERefRole::Plain);
}

void CIndexParser::FeedTop(const CLexToken& t) {
  if (Is(t, "[")) return StartRoutine(false, EMode::Top);
  if (t.kind == ELexKind::Word && !StartCond(t)) return StartDirective(t);
}

void CIndexParser::StartRoutine(bool embedded, EMode after) {
  m_mode = embedded ? EMode::RoutineLocals : EMode::RoutineName;
  m_afterRoutine = after;
  m_locals.clear();
}

void CIndexParser::StartDirective(const CLexToken& t) {
  LowerInto(t.text.front() == '#' ? t.text.substr(1) : t.text, m_lower);
  m_step = 0;
  m_mode = EMode::Directive;
  static constexpr std::array<std::pair<std::string_view, EDirective>, 11> DEFINING = {{
      {"global", EDirective::Global}, {"constant", EDirective::Constant}, {"array", EDirective::Array},
      {"attribute", EDirective::Attribute}, {"property", EDirective::Property},
      {"fake_action", EDirective::FakeAction}, {"stub", EDirective::Stub}, {"replace", EDirective::Replace},
      {"include", EDirective::Include}, {"default", EDirective::Default}, {"system_file", EDirective::Other}}};
  for (const auto& [name, kind] : DEFINING) {
    if (m_lower != name) continue;
    m_directive = kind;
    if (m_lower == "system_file") m_out->events.push_back(CIndexEvent{EEventKind::SystemFile, m_line, t.col});
    return;
  }
  m_directive = EDirective::Other;
  if (OneOf(m_lower, PLAIN_DIRECTIVES)) return;
  if (m_lower == "verb" || m_lower == "extend") {
    m_mode = EMode::Grammar;
    m_verbWords = m_lower == "verb";
    m_beforeStar = true;
    m_starLine = -1;
    m_afterArrow = false;
    return;
  }
  if (m_lower == "object" || m_lower == "nearby") return StartObject(false, INDEX_NO_NAME, t);
  if (m_lower == "class") return StartObject(true, INDEX_NO_NAME, t);
  // Any other word opening a directive is a class making an object.
  Reference(t, ERefRole::Class);
  StartObject(false, m_names.Intern(t.text), t);
}

void CIndexParser::FeedDirective(const CLexToken& t) {
  if (Is(t, ";")) {
    m_mode = EMode::Top;
    return;
  }
  const int step = m_step++;
  // A constant keeps a number only when it is the whole value: "Constant A = 5;", "Constant A 5;".
  if (m_directive == EDirective::Constant && step >= 1 && !m_out->defs.empty()) {
    CIndexDefinition& def = m_out->defs.back();
    if (step == 1) m_sawEquals = Is(t, "=");
    const std::optional<int64_t> value = t.kind == ELexKind::Number ? ParseNumber(t.text) : std::nullopt;
    if (value && (step == 1 || (step == 2 && m_sawEquals))) {
      def.m_value = *value;
      def.m_flags |= DEF_HAS_VALUE;
    } else if (!(step == 1 && m_sawEquals)) {
      def.m_flags &= static_cast<uint8_t>(~DEF_HAS_VALUE);
    }
  }
  if (m_directive == EDirective::Include) {
    if (t.kind == ELexKind::String && step == 0) {
      const std::string_view name = t.text.substr(1, t.text.size() - (t.text.back() == '"' && t.text.size() > 1 ? 2 : 1));
      CIndexEvent event{EEventKind::Include, m_line, t.col};
      event.m_text = name;
      m_out->events.push_back(std::move(event));
    }
    return;
  }
  if (t.kind != ELexKind::Word) return;
  LowerInto(t.text, m_lower);
  switch (m_directive) {
  case EDirective::Global: if (step == 0) { Define(EIndexKind::Global, t); return; } break;
  case EDirective::Constant:
  case EDirective::Default:
    if (step == 0) {
      Define(EIndexKind::Constant, t);
      return;
    }
    break;
  case EDirective::Array:
    if (step == 0) {
      Define(EIndexKind::Array, t);
      return;
    }
    if (step <= 2 && OneOf(m_lower, std::array<std::string_view, 5>{"table", "string", "buffer", "static"})) return;
    break;
  case EDirective::Attribute:
    if (step == 0) Define(EIndexKind::Attribute, t);
    else if (m_lower != "alias") Reference(t, ERefRole::Attribute);
    return;
  case EDirective::Property:
    if (OneOf(m_lower, std::array<std::string_view, 3>{"additive", "individual", "long"}) && step < 2) {
      if (m_lower == "individual") m_step = 10; // remembers the kind: the name comes next
      return;
    }
    if (step == 0 || step == 1 || step == 10) {
      Define(step == 10 ? EIndexKind::IndividualProperty : EIndexKind::Property, t);
      m_step = 20;
      return;
    }
    break;
  case EDirective::FakeAction: if (step == 0) { Define(EIndexKind::FakeAction, t); return; } break;
  case EDirective::Stub: if (step == 0) { Define(EIndexKind::Stub, t); return; } break;
  case EDirective::Replace:
    if (step == 0) {
      CIndexEvent event{EEventKind::Replace, m_line, t.col};
      event.m_name = m_names.Intern(t.text);
      m_out->events.push_back(std::move(event));
      Reference(t, ERefRole::Plain);
      return;
    }
    if (step == 1 && !m_out->events.empty() && m_out->events.back().m_kind == EEventKind::Replace) {
      Define(EIndexKind::Routine, t); // the original, kept under its new name
      m_out->events.back().m_other = m_out->defs.back().m_name;
      return;
    }
    break;
  default: break;
  }
  Reference(t, ERefRole::Plain);
}

void CIndexParser::FeedRoutineHead(const CLexToken& t) {
  if (Is(t, ";")) {
    m_mode = EMode::Code;
    m_statementStart = true;
    m_nextRole = ERefRole::Plain;
    m_give = 0;
    return;
  }
  if (t.kind != ELexKind::Word) return;
  if (m_mode == EMode::RoutineName) {
    Define(EIndexKind::Routine, t);
    m_mode = EMode::RoutineLocals;
    return;
  }
  LowerInto(t.text, m_lower);
  m_locals.push_back(m_lower);
}

void CIndexParser::FeedCode(const std::vector<CLexToken>& tokens, std::size_t i) {
  const CLexToken& t = tokens[i];
  const bool start = m_statementStart;
  m_statementStart = false;
  if (t.kind == ELexKind::Action) return Reference(t, ERefRole::Action);
  if (t.kind == ELexKind::Symbol) {
    if (t.text == "]") {
      m_mode = m_afterRoutine;
      return;
    }
    // A routine head written twice, in two branches of a conditional: the second starts over.
    if (t.text == "[" && m_afterRoutine == EMode::Top) return StartRoutine(false, EMode::Top);
    if (t.text == ";" || t.text == "{" || t.text == "}") {
      m_statementStart = true;
      m_give = 0;
    } else if (t.text == ":" || t.text == ",") {
      m_statementStart = true; // after a label, or between the labels of one case
    } else if (t.text == "." || t.text == ".&" || t.text == ".#") {
      m_nextRole = ERefRole::Property;
      return;
    } else if ((t.text == "<" || t.text == "<<") && start) {
      m_angle = true;
      return;
    } else if (t.text == "~" && m_give == 2) {
      return;
    } else if (t.text == ")" && m_nextRole == ERefRole::Plain) {
      m_statementStart = true; // "if (x) <<Take y>>;"
    }
    m_nextRole = ERefRole::Plain;
    m_roleChain = false;
    return;
  }
  if (t.kind != ELexKind::Word) {
    if (m_give == 1) m_give = 2;
    return;
  }
  LowerInto(t.text, m_lower);
  if (m_roleChain && m_lower == "or") {
    m_nextRole = ERefRole::Attribute;
    return;
  }
  if (m_lower == "has" || m_lower == "hasnt") {
    m_nextRole = ERefRole::Attribute;
    return;
  }
  if (m_lower == "provides" || m_lower == "ofclass") {
    m_nextRole = m_lower == "ofclass" ? ERefRole::Class : ERefRole::Property;
    return;
  }
  if (m_lower == "give" && start) {
    m_give = 1;
    return;
  }
  if (IsStatementKeyword(m_lower.data(), static_cast<int>(m_lower.size())) && m_nextRole == ERefRole::Plain) return;
  ERefRole role = m_nextRole;
  if (role != ERefRole::Plain) {
  } else if (m_angle) {
    role = ERefRole::Action;
  } else if (m_give == 2) {
    role = ERefRole::Attribute;
  } else if (start && IsCaseLabel(tokens, i)) {
    role = ERefRole::Label;
  }
  m_angle = false;
  m_roleChain = role == ERefRole::Attribute;
  m_nextRole = ERefRole::Plain;
  if (m_give == 1) m_give = 2;
  if (role == ERefRole::Plain && IsLocal(t.text)) return;
  Reference(t, role);
}

void CIndexParser::StartObject(bool isClass, uint32_t className, const CLexToken& head) {
  m_mode = EMode::ObjectHead;
  m_isClass = isClass;
  m_named = false;
  m_step = 0;
  m_owner.clear();
  m_property.clear(); // a routine before any property names none: nothing of the last object leaks in
  CIndexDefinition def{isClass ? EIndexKind::Class : EIndexKind::Object};
  def.m_class = className;
  def.m_file = m_file;
  def.m_line = m_line;
  def.m_col = head.col;
  if (EqualsNoCase(head.text, "nearby")) def.m_depth = 1;
  m_objectDef = m_out->defs.size();
  m_out->defs.push_back(def); // named when its name comes; dropped if it never does
}

void CIndexParser::FeedObjectHead(const CLexToken& t) {
  CIndexDefinition& def = m_out->defs[m_objectDef];
  if (t.kind == ELexKind::Word) {
    LowerInto(t.text, m_lower);
    if (OneOf(m_lower, std::array<std::string_view, 4>{"with", "has", "class", "private"})) {
      m_mode = EMode::ObjectBody;
      m_segment = m_lower == "with" ? ESegment::With : m_lower == "has" ? ESegment::Has
                  : m_lower == "class" ? ESegment::Class : ESegment::Private;
      m_expectProperty = true;
      m_parens = 0;
      return;
    }
    if (!m_named && m_step == 0) {
      m_named = true;
      def.m_name = m_names.Intern(t.text);
      m_owner = t.text;
      Reference(t, ERefRole::Definition);
      return;
    }
    def.m_parent = m_names.Intern(t.text);
    Reference(t, ERefRole::Plain);
    ++m_step;
    return;
  }
  if (Is(t, "->")) {
    ++def.m_depth;
    return;
  }
  if (Is(t, ";")) {
    m_mode = EMode::Top;
    return;
  }
  ++m_step; // a short name or a class's instance count: what follows is no longer its name
  if (t.kind == ELexKind::String) m_step = std::max(m_step, 1);
}

void CIndexParser::FeedObjectBody(const CLexToken& t) {
  if (Is(t, ";") && m_parens == 0) {
    m_mode = EMode::Top;
    return;
  }
  if (t.kind == ELexKind::Symbol) {
    if (t.text == "(") ++m_parens;
    else if (t.text == ")" && m_parens > 0) --m_parens;
    else if (t.text == "," && m_parens == 0) m_expectProperty = true;
    else if (t.text == "[" && m_segment != ESegment::Has) {
      CIndexDefinition def{EIndexKind::EmbeddedRoutine};
      def.m_name = m_names.Intern(m_owner + (m_isClass ? "::" : ".") + m_property);
      def.m_parent = m_owner.empty() ? INDEX_NO_NAME : m_names.Intern(m_owner);
      def.m_file = m_file;
      def.m_line = m_line;
      def.m_col = t.col;
      m_out->defs.push_back(def);
      StartRoutine(true, EMode::ObjectBody);
    }
    return;
  }
  if (t.kind == ELexKind::Action) return Reference(t, ERefRole::Action);
  if (t.kind != ELexKind::Word) return;
  LowerInto(t.text, m_lower);
  if (m_parens == 0 && OneOf(m_lower, std::array<std::string_view, 4>{"with", "has", "class", "private"})) {
    m_segment = m_lower == "with" ? ESegment::With : m_lower == "has" ? ESegment::Has
                : m_lower == "class" ? ESegment::Class : ESegment::Private;
    m_expectProperty = true;
    return;
  }
  if (m_segment == ESegment::Has) return Reference(t, ERefRole::Attribute);
  if (m_segment == ESegment::Class) return Reference(t, ERefRole::Class);
  if (m_expectProperty) {
    m_expectProperty = false;
    m_property = t.text;
    if (!m_isClass) return Reference(t, ERefRole::PropertyValue);
    // A class's value is one of the property's definitions: the list go to definition shows.
    CIndexDefinition def{EIndexKind::ClassProperty};
    def.m_name = m_names.Intern(t.text);
    def.m_parent = m_owner.empty() ? INDEX_NO_NAME : m_names.Intern(m_owner);
    def.m_file = m_file;
    def.m_line = m_line;
    def.m_col = t.col;
    m_out->defs.push_back(def);
    return Reference(t, ERefRole::ClassPropertyValue);
  }
  Reference(t, ERefRole::Plain);
}

void CIndexParser::FeedGrammar(const CLexToken& t) {
  if (Is(t, ";")) {
    m_mode = EMode::Top;
    return;
  }
  if (Is(t, "*")) {
    m_beforeStar = false;
    m_starLine = m_line;
    m_starCol = t.col;
    return;
  }
  if (Is(t, "->")) {
    m_afterArrow = true;
    return;
  }
  if (m_beforeStar && m_verbWords && (t.kind == ELexKind::DictWord || t.kind == ELexKind::String) && t.text.size() > 2) {
    CLexToken word = t;
    word.text = t.text.substr(1, t.text.size() - 2);
    word.col = t.col + 1;
    Define(EIndexKind::Verb, word);
    return;
  }
  if (t.kind != ELexKind::Word) return;
  if (m_afterArrow) {
    m_afterArrow = false;
    if (m_starLine >= 0) {
      CIndexDefinition def{EIndexKind::GrammarLine};
      def.m_name = m_names.Intern(t.text);
      def.m_file = m_file;
      def.m_line = m_starLine;
      def.m_col = m_starCol;
      m_out->defs.push_back(def);
    }
    return Reference(t, ERefRole::Action);
  }
  LowerInto(t.text, m_lower);
  if (OneOf(m_lower, GRAMMAR_WORDS) || m_lower == "scope" || m_lower == "only" || m_lower == "replace") return;
  Reference(t, ERefRole::Plain);
}
