// Conditional compilation over the indexed files: which stretches the compiler reads for a
// target, followed through the includes in the order the compiler meets them.
#include <charconv>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "inform_lexer.h"
#include "language_index.h"

namespace {

struct CCondFrame {
  bool outerActive;
  bool active;
  bool taken;           // some branch of this conditional was compiled
  int branch;           // its open stretch in the file's list, or -1 in another file
  int file;
};

class CBranchWalk {
public:
  CBranchWalk(const CIndexNameTable& names, const CBranchContext& context, int wanted,
              const std::function<const CIndexRecords&(int)>& records)
      : m_names(names), m_wanted(wanted), m_records(records) {
    Define(context.glulx ? "TARGET_GLULX" : "TARGET_ZCODE", 0);
    Define("WORDSIZE", context.glulx ? 4 : 2);
    m_zVersion = context.zVersion;
    m_glulx = context.glulx;
    for (const std::string& name : context.defined) Define(name, 0);
  }

  void Walk(int file) {
    if (!m_walking.insert(file).second) return; // an include of itself
    const CIndexRecords& r = m_records(file);
    std::size_t d = 0;
    for (const CIndexEvent& event : r.events) {
      for (; d < r.defs.size() && Before(r.defs[d], event); ++d) Defined(r.defs[d], file);
      OnEvent(event, file);
    }
    for (; d < r.defs.size(); ++d) Defined(r.defs[d], file);
    m_walking.erase(file);
  }

  std::vector<CIndexBranch> Take() { return std::move(m_branches); }

private:
  static bool Before(const CIndexDefinition& d, const CIndexEvent& e) {
    return d.m_line != e.m_line ? d.m_line < e.m_line : d.m_col < e.m_col;
  }
  bool Active() const { return m_stack.empty() || m_stack.back().active; }

  void Define(std::string_view name, int64_t value) {
    std::string lower;
    LowerInto(name, lower);
    m_values[lower] = value;
  }

  void Defined(const CIndexDefinition& def, int file) {
    if (def.m_name == INDEX_NO_NAME) return;
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
      if (it->file != file || it->branch < 0) continue;
      m_branches[static_cast<std::size_t>(it->branch)].defines.push_back(def.m_name);
      break;
    }
    if (!Active()) return;
    std::string lower;
    LowerInto(m_names.Spelling(def.m_name), lower);
    m_values.emplace(lower, (def.m_flags & DEF_HAS_VALUE) ? std::optional<int64_t>(def.m_value) : std::nullopt);
  }

  bool IsDefined(uint32_t name) const {
    if (name == INDEX_NO_NAME) return false;
    std::string lower;
    LowerInto(m_names.Spelling(name), lower);
    return m_values.count(lower) != 0;
  }

  void Open(bool condition, const CIndexEvent& event, int file, std::string text) {
    const bool outer = Active();
    m_stack.push_back({outer, outer && condition, condition, -1, file});
    if (file == m_wanted) {
      m_stack.back().branch = static_cast<int>(m_branches.size());
      m_branches.push_back({event.m_line, event.m_line, outer && condition, std::move(text), {}});
    }
  }

  void Close(const CIndexEvent& event) {
    if (m_stack.empty()) return;
    const int branch = m_stack.back().branch;
    if (branch >= 0) m_branches[static_cast<std::size_t>(branch)].lastLine = event.m_line;
  }

  void OnEvent(const CIndexEvent& event, int file) {
    const std::string symbol = event.m_name == INDEX_NO_NAME ? std::string() : m_names.Spelling(event.m_name);
    switch (event.m_kind) {
    case EEventKind::Include:
      if (Active() && event.m_target >= 0) Walk(event.m_target);
      return;
    case EEventKind::Ifdef: return Open(IsDefined(event.m_name), event, file, "#Ifdef " + symbol);
    case EEventKind::Ifndef: return Open(!IsDefined(event.m_name), event, file, "#Ifndef " + symbol);
    case EEventKind::Iftrue: return Open(Evaluate(event.m_text).value_or(true), event, file, "#Iftrue " + event.m_text);
    case EEventKind::Iffalse: return Open(!Evaluate(event.m_text).value_or(false), event, file, "#Iffalse " + event.m_text);
    case EEventKind::Ifv3: return Open(!m_glulx && m_zVersion == 3, event, file, "#Ifv3");
    case EEventKind::Ifv5: return Open(!m_glulx && m_zVersion >= 4, event, file, "#Ifv5");
    case EEventKind::Ifnot: {
      if (m_stack.empty()) return;
      Close(event);
      const CCondFrame frame = m_stack.back();
      m_stack.pop_back();
      Open(!frame.taken, event, file, "#Ifnot");
      return;
    }
    case EEventKind::Endif:
      Close(event);
      if (!m_stack.empty()) m_stack.pop_back();
      return;
    default: return;
    }
  }

  // The value of a name or number in a condition, when it is known.
  std::optional<int64_t> Operand(const std::string& word) const {
    if (word.empty()) return std::nullopt;
    if (word[0] >= '0' && word[0] <= '9') {
      int64_t value = 0;
      const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
      if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
      return value;
    }
    std::string lower;
    LowerInto(word, lower);
    if (lower == "#version_number") return m_glulx ? std::nullopt : std::optional<int64_t>(m_zVersion);
    const auto found = m_values.find(lower);
    return found == m_values.end() ? std::nullopt : found->second;
  }

  // "A == 4", "A >= 2 && B < 3": comparisons of known values joined by && or ||; unknown
  // when any part is not known.
  std::optional<bool> Evaluate(const std::string& text) const {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    std::optional<bool> result;
    std::string join;
    for (std::size_t i = 0; i < words.size();) {
      std::optional<bool> part;
      const std::optional<int64_t> left = Operand(words[i]);
      if (i + 2 < words.size() && words[i + 1] != "&&" && words[i + 1] != "||") {
        const std::optional<int64_t> right = Operand(words[i + 2]);
        if (!left || !right) return std::nullopt;
        const std::string& op = words[i + 1];
        if (op == "==") part = *left == *right;
        else if (op == "~=") part = *left != *right;
        else if (op == "<") part = *left < *right;
        else if (op == ">") part = *left > *right;
        else if (op == "<=" || op == "=<") part = *left <= *right;
        else if (op == ">=") part = *left >= *right;
        else return std::nullopt;
        i += 3;
      } else {
        if (!left) return std::nullopt;
        part = *left != 0;
        i += 1;
      }
      result = !result ? part : join == "&&" ? (*result && *part) : (*result || *part);
      if (i < words.size()) {
        join = words[i++];
        if (join != "&&" && join != "||") return std::nullopt;
      }
    }
    return result;
  }

  const CIndexNameTable& m_names;
  int m_wanted;
  const std::function<const CIndexRecords&(int)>& m_records;
  std::unordered_map<std::string, std::optional<int64_t>> m_values; // defined names, lower case
  std::unordered_set<int> m_walking;
  std::vector<CCondFrame> m_stack;
  std::vector<CIndexBranch> m_branches;
  int m_zVersion = 5;
  bool m_glulx = false;
};

} // namespace

std::vector<CIndexBranch> CLanguageIndex::Branches(int file, const CBranchContext& context) const {
  if (file < 0 || file >= FileCount()) return {};
  const std::function<const CIndexRecords&(int)> records = [this](int f) -> const CIndexRecords& {
    return RecordsOf(f);
  };
  CBranchWalk walk(m_names, context, file, records);
  // From the main file, so that what the includes before it define counts; a file outside
  // the game is read alone.
  const int mainFile = context.mainFile >= 0 && context.mainFile < FileCount() ? context.mainFile : m_mainFile;
  walk.Walk(mainFile >= 0 ? mainFile : file);
  std::vector<CIndexBranch> branches = walk.Take();
  if (branches.empty() && mainFile != file) {
    CBranchWalk alone(m_names, context, file, records);
    alone.Walk(file);
    branches = alone.Take();
  }
  return branches;
}
