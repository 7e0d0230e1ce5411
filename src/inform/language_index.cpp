#include "language_index.h"

#include <algorithm>
#include <unordered_set>

#include "index_parser.h"
#include "inform_lexer.h"
#include "object_scanner.h"

struct CLanguageIndex::CFile {
  std::string path;
  bool indexed = false;
  bool unreadable = false;
  bool system = false; // it says System_file: a library file, whose routines Replace removes
  CIndexRecords records;
  // rest[line]: the parse is between directives where line begins (one more entry than lines).
  std::vector<uint8_t> rest{1};
};

const char* IndexKindName(EIndexKind kind) {
  switch (kind) {
  case EIndexKind::Object: return "object";
  case EIndexKind::Class: return "class";
  case EIndexKind::Routine: return "routine";
  case EIndexKind::EmbeddedRoutine: return "embedded-routine";
  case EIndexKind::Global: return "global";
  case EIndexKind::Constant: return "constant";
  case EIndexKind::Array: return "array";
  case EIndexKind::Attribute: return "attribute";
  case EIndexKind::Property: return "property";
  case EIndexKind::IndividualProperty: return "individual-property";
  case EIndexKind::ClassProperty: return "class-property";
  case EIndexKind::Action: return "action";
  case EIndexKind::FakeAction: return "fake-action";
  case EIndexKind::Verb: return "verb";
  case EIndexKind::GrammarLine: return "grammar-line";
  case EIndexKind::Stub: return "stub";
  }
  return "?";
}

namespace {

template <class T> bool Before(const T& a, const T& b) {
  return a.m_line != b.m_line ? a.m_line < b.m_line : a.m_col < b.m_col;
}

// Replaces the records with lines in [from, to) by fresh (lines already final) and moves the
// lines from `to` on by delta.
template <class T> void Splice(std::vector<T>& records, std::vector<T>& fresh, int from, int to, int delta) {
  const auto lineBelow = [](const T& r, int line) { return r.m_line < line; };
  const auto first = std::lower_bound(records.begin(), records.end(), from, lineBelow);
  const auto last = std::lower_bound(first, records.end(), to, lineBelow);
  for (auto it = last; it != records.end(); ++it) it->m_line += delta;
  const auto at = records.erase(first, last);
  records.insert(at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
}

// The rank of a kind among the definitions of one name: declarations before their uses.
int KindRank(EIndexKind kind) {
  switch (kind) {
  case EIndexKind::ClassProperty: return 2;
  case EIndexKind::Verb:
  case EIndexKind::GrammarLine: return 3;
  default: return 1;
  }
}

bool Fits(EIndexKind kind, ERefRole role) {
  switch (role) {
  case ERefRole::Attribute: return kind == EIndexKind::Attribute;
  case ERefRole::Property:
  case ERefRole::PropertyValue:
  case ERefRole::ClassPropertyValue:
    return kind == EIndexKind::Property || kind == EIndexKind::IndividualProperty || kind == EIndexKind::ClassProperty;
  case ERefRole::Class: return kind == EIndexKind::Class;
  case ERefRole::Action:
  case ERefRole::Label: return kind == EIndexKind::Action || kind == EIndexKind::FakeAction;
  default: return kind != EIndexKind::GrammarLine && kind != EIndexKind::Verb;
  }
}

} // namespace

CLanguageIndex::CLanguageIndex() = default;
CLanguageIndex::~CLanguageIndex() = default;

int CLanguageIndex::FileId(const std::string& path) {
  const auto found = m_fileIds.find(path);
  if (found != m_fileIds.end()) return found->second;
  const int id = static_cast<int>(m_files.size());
  m_files.push_back(std::make_unique<CFile>());
  m_files.back()->path = path;
  m_fileIds.emplace(path, id);
  return id;
}

std::optional<int> CLanguageIndex::FindFile(const std::string& path) const {
  const auto found = m_fileIds.find(path);
  if (found == m_fileIds.end()) return std::nullopt;
  return found->second;
}

const CIndexRecords& CLanguageIndex::RecordsOf(int file) const { return m_files[file]->records; }

const std::string& CLanguageIndex::FilePath(int file) const { return m_files[file]->path; }
int CLanguageIndex::FileCount() const { return static_cast<int>(m_files.size()); }

int CLanguageIndex::IndexProject(const std::string& mainPath, const IncludeResolver& resolver,
                                 const IndexFileReader& reader) {
  std::string text;
  if (!reader(mainPath, text)) return -1;
  m_mainFile = FileId(mainPath);
  IndexFile(m_mainFile, CStringLineSource::FromText(text));
  IndexMissingIncludes(resolver, reader);
  return m_mainFile;
}

int CLanguageIndex::IndexMissingIncludes(const IncludeResolver& resolver, const IndexFileReader& reader) {
  int read = 0;
  std::string text;
  for (int file = NextUnindexedInclude(resolver); file >= 0; file = NextUnindexedInclude(resolver)) {
    if (!reader(m_files[file]->path, text)) {
      SetUnreadable(file);
      continue;
    }
    IndexFile(file, CStringLineSource::FromText(text));
    ++read;
  }
  return read;
}

int CLanguageIndex::NextUnindexedInclude(const IncludeResolver& resolver) {
  // The list grows as included files are found.
  for (std::size_t f = 0; f < m_files.size(); ++f) {
    for (std::size_t e = 0; e < m_files[f]->records.events.size(); ++e) {
      if (m_files[f]->records.events[e].m_kind != EEventKind::Include) continue;
      int target = m_files[f]->records.events[e].m_target;
      if (target < 0) {
        const std::optional<std::string> path = resolver(m_files[f]->records.events[e].m_text, m_files[f]->path);
        if (!path) continue;
        target = FileId(*path); // may move m_files' elements, not the files
        m_files[f]->records.events[e].m_target = target;
      }
      if (!m_files[target]->indexed && !m_files[target]->unreadable) return target;
    }
  }
  return -1;
}

void CLanguageIndex::SetUnreadable(int file) { m_files[file]->unreadable = true; }
bool CLanguageIndex::IsIndexed(int file) const { return m_files[file]->indexed; }
bool CLanguageIndex::IsSystemFile(int file) const { return m_files[file]->system; }

void CLanguageIndex::IndexFile(int file, const CScanLineSource& source) {
  CFile& f = *m_files[file];
  f.records = CIndexRecords();
  f.rest.assign(1, 1);
  f.indexed = true;
  f.unreadable = false;
  ReplaceLines(file, source, 0, 0, source.LineCount());
}

int CLanguageIndex::ReplaceLines(int file, const CScanLineSource& source, int firstLine, int oldCount, int newCount) {
  CFile& f = *m_files[file];
  const int oldLines = static_cast<int>(f.rest.size()) - 1;
  const int total = source.LineCount();
  firstLine = std::clamp(firstLine, 0, oldLines);
  oldCount = std::clamp(oldCount, 0, oldLines - firstLine);
  const int delta = total - oldLines; // the edit's own count may disagree: the text decides
  newCount = oldCount + delta;
  int start = firstLine;
  while (start > 0 && f.rest[start] == 0) --start;

  CIndexRecords fresh;
  std::vector<uint8_t> freshRest;
  std::vector<CLexToken> tokens;
  CInformLexer lexer;
  CIndexParser parser(m_names, file);
  int line = start;
  int oldStop = oldLines;
  for (; line < total; ++line) {
    const bool atRest = parser.AtRest() && !lexer.InString();
    freshRest.push_back(atRest ? 1 : 0);
    // Past the edit, where the old parse was at rest too, the rest reads as it did.
    if (atRest && line > start && line >= firstLine + newCount && f.rest[line - delta] != 0) {
      oldStop = line - delta;
      break;
    }
    lexer.LexLine(std::string_view(source.LineChars(line), static_cast<std::size_t>(source.LineLength(line))), tokens);
    parser.FeedLine(line, tokens, fresh);
  }
  if (line == total) freshRest.push_back(parser.AtRest() && !lexer.InString() ? 1 : 0);
  std::stable_sort(fresh.defs.begin(), fresh.defs.end(), Before<CIndexDefinition>);

  Splice(f.records.defs, fresh.defs, start, oldStop, delta);
  Splice(f.records.refs, fresh.refs, start, oldStop, delta);
  Splice(f.records.events, fresh.events, start, oldStop, delta);
  f.rest.erase(f.rest.begin() + start, f.rest.begin() + oldStop + 1);
  f.rest.insert(f.rest.begin() + start, freshRest.begin(), freshRest.end());
  f.system = std::any_of(f.records.events.begin(), f.records.events.end(),
                         [](const CIndexEvent& e) { return e.m_kind == EEventKind::SystemFile; });
  m_dirty = true;
  ++m_version;
  return line - start;
}

// The definitions as the queries see them: every file's own, with the parents that arrows
// give, the replaced routines marked, and those the whole game implies (actions, individual
// properties).
void CLanguageIndex::Rebuild() const {
  if (!m_dirty) return;
  m_derived.clear();
  for (const auto& file : m_files) DeriveParents(*file);
  MarkReplaced();
  DeriveActions();
  DeriveProperties();
  m_byName.clear();
  m_byName.reserve(m_derived.size());
  for (const CIndexDefinition& def : m_derived) m_byName.emplace(def.m_name, def);
  m_dirty = false;
}

// An object with arrows is a child of the last object one arrow shallower before it.
void CLanguageIndex::DeriveParents(const CFile& file) const {
  std::vector<uint32_t> lastAtDepth;
  for (CIndexDefinition def : file.records.defs) {
    if (def.m_name == INDEX_NO_NAME) continue;
    if (def.m_kind == EIndexKind::Object) {
      const auto depth = static_cast<std::size_t>(std::max<int>(def.m_depth, 0));
      if (depth > 0 && depth <= lastAtDepth.size()) def.m_parent = lastAtDepth[depth - 1];
      lastAtDepth.resize(depth);
      lastAtDepth.push_back(def.m_name);
    }
    m_derived.push_back(def);
  }
}

// "Replace X;" removes a library file's X for the game's own: the library's stays listed, marked.
void CLanguageIndex::MarkReplaced() const {
  std::unordered_set<uint32_t> replaced;
  for (const auto& file : m_files)
    for (const CIndexEvent& event : file->records.events)
      if (event.m_kind == EEventKind::Replace) replaced.insert(event.m_name);
  if (replaced.empty()) return;
  std::unordered_set<uint32_t> ownDefinition;
  for (const CIndexDefinition& def : m_derived)
    if (def.m_kind == EIndexKind::Routine && !m_files[def.m_file]->system && replaced.count(def.m_name))
      ownDefinition.insert(def.m_name);
  for (CIndexDefinition& def : m_derived)
    if ((def.m_kind == EIndexKind::Routine || def.m_kind == EIndexKind::Stub) && m_files[def.m_file]->system &&
        ownDefinition.count(def.m_name))
      def.m_flags |= DEF_REPLACED;
}

// The action Take is defined by its routine TakeSub.
void CLanguageIndex::DeriveActions() const {
  const std::size_t count = m_derived.size();
  for (std::size_t i = 0; i < count; ++i) {
    CIndexDefinition action = m_derived[i];
    const std::string name = m_names.Spelling(action.m_name); // a copy: Intern may move the names
    if (action.m_kind != EIndexKind::Routine || name.size() <= 3) continue;
    std::string tail;
    LowerInto(std::string_view(name).substr(name.size() - 3), tail);
    if (tail != "sub") continue;
    action.m_kind = EIndexKind::Action;
    action.m_name = m_names.Intern(std::string_view(name).substr(0, name.size() - 3));
    m_derived.push_back(action);
  }
}

// A property no Property directive declares is made by the first object or class giving it.
void CLanguageIndex::DeriveProperties() const {
  std::unordered_set<uint32_t> declared;
  for (const CIndexDefinition& def : m_derived)
    if (def.m_kind == EIndexKind::Property || def.m_kind == EIndexKind::IndividualProperty) declared.insert(def.m_name);
  for (std::size_t f = 0; f < m_files.size(); ++f) {
    for (const CIndexReference& ref : m_files[f]->records.refs) {
      if (ref.m_role != ERefRole::PropertyValue && ref.m_role != ERefRole::ClassPropertyValue) continue;
      if (!declared.insert(ref.m_name).second) continue;
      CIndexDefinition def{EIndexKind::IndividualProperty};
      def.m_name = ref.m_name;
      def.m_file = static_cast<int32_t>(f);
      def.m_line = ref.m_line;
      def.m_col = ref.m_col;
      m_derived.push_back(def);
    }
  }
}

std::vector<CIndexDefinition> CLanguageIndex::AllDefinitions() const {
  Rebuild();
  std::vector<CIndexDefinition> all = m_derived;
  std::stable_sort(all.begin(), all.end(), [](const CIndexDefinition& a, const CIndexDefinition& b) {
    return a.m_file != b.m_file ? a.m_file < b.m_file : Before(a, b);
  });
  return all;
}

std::optional<CIndexReference> CLanguageIndex::ReferenceAt(int file, int line, int col) const {
  if (file < 0 || file >= FileCount()) return std::nullopt;
  const std::vector<CIndexReference>& refs = m_files[file]->records.refs;
  // The last use starting at or before the position; the caret just after a word is on it.
  auto it = std::upper_bound(refs.begin(), refs.end(), std::make_pair(line, col),
                             [](const std::pair<int, int>& at, const CIndexReference& r) {
                               return at.first != r.m_line ? at.first < r.m_line : at.second < r.m_col;
                             });
  if (it == refs.begin()) return std::nullopt;
  --it;
  if (it->m_line != line || col > it->m_col + it->m_length) return std::nullopt;
  return *it;
}

std::optional<int> CLanguageIndex::IncludeAt(int file, int line) const {
  if (file < 0 || file >= FileCount()) return std::nullopt;
  for (const CIndexEvent& event : m_files[file]->records.events)
    if (event.m_kind == EEventKind::Include && event.m_line == line && event.m_target >= 0) return event.m_target;
  return std::nullopt;
}

std::vector<CIndexDefinition> CLanguageIndex::FindDefinitions(uint32_t name, ERefRole role) const {
  Rebuild();
  std::vector<CIndexDefinition> all;
  const auto [first, last] = m_byName.equal_range(name);
  for (auto it = first; it != last; ++it) all.push_back(it->second);
  std::vector<CIndexDefinition> fitting;
  std::copy_if(all.begin(), all.end(), std::back_inserter(fitting),
               [role](const CIndexDefinition& d) { return Fits(d.m_kind, role); });
  // A label may name a constant of a switch; any use may be of a name of another kind.
  if (fitting.empty()) fitting = std::move(all);
  std::sort(fitting.begin(), fitting.end(), [](const CIndexDefinition& a, const CIndexDefinition& b) {
    const auto key = [](const CIndexDefinition& d) {
      return std::make_tuple((d.m_flags & DEF_REPLACED) != 0, KindRank(d.m_kind), d.m_file, d.m_line, d.m_col);
    };
    return key(a) < key(b);
  });
  return fitting;
}

std::vector<CIndexLocation> CLanguageIndex::GoTo(int file, int line, int col) const {
  std::vector<CIndexLocation> out;
  if (const std::optional<CIndexReference> ref = ReferenceAt(file, line, col)) {
    for (const CIndexDefinition& def : FindDefinitions(ref->m_name, ref->m_role))
      out.push_back({def.m_file, def.m_line, def.m_col});
  } else if (const std::optional<int> target = IncludeAt(file, line)) {
    out.push_back({*target, 0, 0});
  }
  return out;
}

std::vector<CIndexLocation> CLanguageIndex::References(uint32_t name) const {
  std::vector<CIndexLocation> out;
  for (std::size_t f = 0; f < m_files.size(); ++f)
    for (const CIndexReference& ref : m_files[f]->records.refs)
      if (ref.m_name == name) out.push_back({static_cast<int32_t>(f), ref.m_line, ref.m_col});
  return out;
}

std::size_t CLanguageIndex::MemoryBytes() const {
  std::size_t bytes = m_names.MemoryBytes() + m_derived.capacity() * sizeof(CIndexDefinition) +
                      m_byName.size() * (sizeof(CIndexDefinition) + 3 * sizeof(void*)) +
                      m_byName.bucket_count() * sizeof(void*);
  for (const auto& file : m_files) {
    const CIndexRecords& r = file->records;
    bytes += sizeof(CFile) + file->path.capacity() + file->rest.capacity() + r.defs.capacity() * sizeof(CIndexDefinition) +
             r.refs.capacity() * sizeof(CIndexReference) + r.events.capacity() * sizeof(CIndexEvent);
    for (const CIndexEvent& event : r.events) bytes += event.m_text.capacity() > 15 ? event.m_text.capacity() : 0;
  }
  return bytes;
}
