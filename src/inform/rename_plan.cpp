#include "rename_plan.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "inform_lexer.h"
#include "language_index.h"
#include "word_classifier.h"

namespace {

constexpr std::size_t MAX_NAME_LENGTH = 32; // the compiler refuses longer names

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

std::string Lower(std::string_view text) {
  std::string lower;
  LowerInto(text, lower);
  return lower;
}

// Words a name cannot be: operators, the built-in functions and values, statements,
// directives and their modifiers.
bool IsReserved(std::string_view name) {
  static const char* const kWords[] = {"has", "hasnt", "in", "notin", "ofclass", "provides", "or", "with",
                                       "private", "class", "self", "sender", "sw__var", "true", "false",
                                       "nothing", "child", "children", "parent", "sibling", "elder", "eldest",
                                       "younger", "youngest", "random", "metaclass", "indirect",
                                       // directives
                                       "abbreviate", "array", "attribute", "constant", "default", "dictionary",
                                       "end", "endif", "extend", "fake_action", "global", "ifdef", "ifndef", "ifnot",
                                       "ifv3", "ifv5", "iftrue", "iffalse", "import", "include", "link", "lowstring",
                                       "message", "nearby", "object", "property", "release", "replace", "serial",
                                       "switches", "statusline", "stub", "system_file", "trace", "undef", "verb",
                                       "version", "zcharacter"};
  const std::string lower = Lower(name);
  for (const char* word : kWords)
    if (lower == word) return true;
  const int length = static_cast<int>(lower.size());
  return IsStatementKeyword(lower.data(), length) || IsDirectiveModifier(lower.data(), length);
}

// A routine's stretch of text and its local variables (lower case).
struct CRoutine {
  int firstLine;
  int firstCol;
  int lastLine;
  int lastCol;
  std::vector<std::string> locals;
};

// The routines of a file: "[" opens one where it is not an array's bracket, the words up to
// ";" are its name (at the top level only) and its locals, "]" ends it.
std::vector<CRoutine> RoutinesOf(const std::vector<std::string>& lines) {
  std::vector<CRoutine> routines;
  CInformLexer lexer;
  std::vector<CLexToken> tokens;
  bool inRoutine = false, inHead = false, nameNext = false;
  std::string previous; // the last token outside strings, dictionary words and numbers
  for (int l = 0; l < static_cast<int>(lines.size()); ++l) {
    lexer.LexLine(lines[static_cast<std::size_t>(l)], tokens);
    for (const CLexToken& t : tokens) {
      const bool symbol = t.kind == ELexKind::Symbol;
      if (!inRoutine && symbol && t.text == "[") {
        const std::string before = Lower(previous);
        if (before == "-->" || before == "->" || before == "table" || before == "buffer" || before == "string") continue;
        inRoutine = inHead = true;
        nameNext = previous.empty() || previous == ";" || previous == "]";
        routines.push_back({l, t.col, l, t.col, {}});
      } else if (inHead) {
        if (symbol && t.text == ";") inHead = false;
        else if (t.kind == ELexKind::Word && !std::exchange(nameNext, false)) routines.back().locals.push_back(Lower(t.text));
      } else if (inRoutine && symbol && t.text == "]") {
        inRoutine = false;
        routines.back().lastLine = l;
        routines.back().lastCol = t.col;
      }
      if (t.kind == ELexKind::Word || symbol) previous.assign(t.text);
    }
  }
  if (inRoutine) routines.back().lastLine = static_cast<int>(lines.size());
  return routines;
}

bool Inside(const CRoutine& r, const CRenameEdit& e) {
  const auto at = std::make_pair(e.line, e.col);
  return at > std::make_pair(r.firstLine, r.firstCol) && at < std::make_pair(r.lastLine, r.lastCol);
}

// A verb's words and grammar lines are dictionary words and actions' lines, not symbols.
bool IsDictionaryKind(EIndexKind kind) { return kind == EIndexKind::Verb || kind == EIndexKind::GrammarLine; }

// Every definition of name as a symbol, of whatever kind.
std::vector<CIndexDefinition> DefinitionsOf(const CLanguageIndex& index, uint32_t name) {
  std::vector<CIndexDefinition> defs = index.FindDefinitions(name, ERefRole::Plain);
  std::erase_if(defs, [](const CIndexDefinition& d) { return IsDictionaryKind(d.m_kind); });
  return defs;
}

// The uses of name as a symbol: not the words of a Verb directive, which the index keeps as
// the verb's definitions.
std::vector<CIndexLocation> UsesOf(const CLanguageIndex& index, uint32_t name) {
  std::vector<CIndexLocation> places;
  for (const CIndexDefinition& d : index.FindDefinitions(name, ERefRole::Plain))
    if (d.m_kind == EIndexKind::Verb) places.push_back({d.m_file, d.m_line, d.m_col});
  std::vector<CIndexLocation> uses = index.References(name);
  std::erase_if(uses, [&](const CIndexLocation& use) { return std::find(places.begin(), places.end(), use) != places.end(); });
  return uses;
}

bool IsAction(const CLanguageIndex& index, uint32_t name) {
  const std::vector<CIndexDefinition> defs = index.FindDefinitions(name, ERefRole::Action);
  return std::any_of(defs.begin(), defs.end(), [](const CIndexDefinition& d) { return d.m_kind == EIndexKind::Action; });
}

bool EndsWithSub(std::string_view name) { return name.size() > 3 && Lower(name.substr(name.size() - 3)) == "sub"; }

CRenamePlan Refuse(ERenameProblem problem, std::string what = {}, int file = -1, int line = -1, std::string kind = {}) {
  CRenamePlan plan;
  plan.problem = problem;
  plan.what = std::move(what);
  plan.kind = std::move(kind);
  plan.file = file;
  plan.line = line;
  return plan;
}

// The names that change together: the name, and an action with its routine.
bool RenameSet(const CLanguageIndex& index, uint32_t name, std::string_view newName,
               std::vector<std::pair<uint32_t, std::string>>& set) {
  const std::string& old = index.NameOf(name);
  set.emplace_back(name, std::string(newName));
  if (IsAction(index, name)) {
    if (const std::optional<uint32_t> routine = index.Names().Find(old + "Sub")) set.emplace_back(*routine, std::string(newName) + "Sub");
    return true;
  }
  if (!EndsWithSub(old)) return true;
  const std::optional<uint32_t> action = index.Names().Find(std::string_view(old).substr(0, old.size() - 3));
  if (!action || !IsAction(index, *action)) return true;
  if (EndsWithSub(newName)) {
    set.emplace_back(*action, std::string(newName.substr(0, newName.size() - 3)));
    return true;
  }
  return UsesOf(index, *action).empty(); // an action nobody names may go
}

} // namespace

CRenamePlan PlanRename(const CLanguageIndex& index, uint32_t name, std::string_view newName,
                       const std::function<bool(int file)>& isLibrary, const RenameLines& lines) {
  const std::string& old = index.NameOf(name);
  if (newName == old) return Refuse(ERenameProblem::Unchanged, old);
  if (newName.empty() || !IsNameStart(newName[0]) || !std::all_of(newName.begin(), newName.end(), IsNameChar))
    return Refuse(ERenameProblem::BadName, std::string(newName));
  if (newName.size() > MAX_NAME_LENGTH) return Refuse(ERenameProblem::TooLong, std::string(newName));
  if (IsReserved(newName)) return Refuse(ERenameProblem::Reserved, std::string(newName));
  if (DefinitionsOf(index, name).empty()) return Refuse(ERenameProblem::NotDefined, old);
  std::vector<std::pair<uint32_t, std::string>> set;
  if (!RenameSet(index, name, newName, set)) return Refuse(ERenameProblem::ActionRoutine, old);

  CRenamePlan plan;
  for (const auto& [id, spelling] : set) {
    const std::string& from = index.NameOf(id);
    for (const CIndexDefinition& def : DefinitionsOf(index, id))
      if (isLibrary(def.m_file)) return Refuse(ERenameProblem::LibraryDefined, from, def.m_file, def.m_line);
    const std::vector<CIndexLocation> uses = UsesOf(index, id);
    for (const CIndexLocation& use : uses) {
      if (isLibrary(use.file)) return Refuse(ERenameProblem::LibraryUsed, from, use.file, use.line);
      plan.edits.push_back({use.file, use.line, use.col, static_cast<int>(from.size()), spelling});
    }
    if (Lower(spelling) == Lower(from)) continue; // only the letter case changes
    if (const std::optional<uint32_t> taken = index.Names().Find(spelling)) {
      const std::vector<CIndexDefinition> defs = DefinitionsOf(index, *taken);
      if (!defs.empty())
        return Refuse(ERenameProblem::Clash, spelling, defs[0].m_file, defs[0].m_line, IndexKindName(defs[0].m_kind));
      const std::vector<CIndexLocation> used = UsesOf(index, *taken);
      if (!used.empty()) return Refuse(ERenameProblem::Clash, spelling, used[0].file, used[0].line);
    }
  }
  std::sort(plan.edits.begin(), plan.edits.end(), [](const CRenameEdit& a, const CRenameEdit& b) {
    return std::tie(a.file, a.line, a.col) < std::tie(b.file, b.line, b.col);
  });
  plan.edits.erase(std::unique(plan.edits.begin(), plan.edits.end(),
                               [](const CRenameEdit& a, const CRenameEdit& b) {
                                 return a.file == b.file && a.line == b.line && a.col == b.col;
                               }),
                   plan.edits.end());

  // Each file's text: the name where the index has it, no local of the new name around it.
  std::vector<std::string> text;
  for (std::size_t first = 0; first < plan.edits.size();) {
    const int file = plan.edits[first].file;
    std::size_t last = first;
    while (last < plan.edits.size() && plan.edits[last].file == file) ++last;
    if (!lines(file, text)) return Refuse(ERenameProblem::Stale, old, file, plan.edits[first].line);
    for (std::size_t e = first; e < last; ++e) {
      const CRenameEdit& edit = plan.edits[e];
      const bool inText = edit.line < static_cast<int>(text.size()) &&
                          edit.col + edit.length <= static_cast<int>(text[static_cast<std::size_t>(edit.line)].size());
      if (!inText) return Refuse(ERenameProblem::Stale, old, file, edit.line);
      const std::string_view found = std::string_view(text[static_cast<std::size_t>(edit.line)]).substr(static_cast<std::size_t>(edit.col), static_cast<std::size_t>(edit.length));
      if (!std::any_of(set.begin(), set.end(), [&](const auto& entry) { return Lower(index.NameOf(entry.first)) == Lower(found); }))
        return Refuse(ERenameProblem::Stale, old, file, edit.line);
      // A verb's word of the same spelling is a dictionary word: it stays.
      if (edit.col > 0 && text[static_cast<std::size_t>(edit.line)][static_cast<std::size_t>(edit.col - 1)] == '\'') plan.edits[e].file = -1;
    }
    for (const CRoutine& routine : RoutinesOf(text)) {
      for (const auto& [id, spelling] : set) {
        if (std::find(routine.locals.begin(), routine.locals.end(), Lower(spelling)) == routine.locals.end()) continue;
        for (std::size_t e = first; e < last; ++e)
          if (Inside(routine, plan.edits[e])) return Refuse(ERenameProblem::Local, spelling, file, routine.firstLine);
      }
    }
    first = last;
  }
  std::erase_if(plan.edits, [](const CRenameEdit& e) { return e.file < 0; });
  return plan;
}

bool ApplyRenameEdits(std::string& bytes, const std::vector<CRenameEdit>& edits) {
  // Where each line starts, split as the index splits a file.
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n' && bytes[i] != '\r') continue;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    starts.push_back(i + 1);
  }
  const auto lineEnd = [&](std::size_t line) {
    if (line + 1 == starts.size()) return bytes.size();
    std::size_t end = starts[line + 1] - 1; // the LF or the lone CR
    if (bytes[end] == '\n' && end > starts[line] && bytes[end - 1] == '\r') --end;
    return end;
  };
  for (const CRenameEdit& edit : edits) {
    if (edit.line < 0 || static_cast<std::size_t>(edit.line) >= starts.size() || edit.col < 0) return false;
    if (starts[static_cast<std::size_t>(edit.line)] + static_cast<std::size_t>(edit.col + edit.length) > lineEnd(static_cast<std::size_t>(edit.line)))
      return false;
  }
  // From the last to the first, so that the places before each stay where they were.
  for (auto it = edits.rbegin(); it != edits.rend(); ++it)
    bytes.replace(starts[static_cast<std::size_t>(it->line)] + static_cast<std::size_t>(it->col), static_cast<std::size_t>(it->length), it->text);
  return true;
}
