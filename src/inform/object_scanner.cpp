#include "object_scanner.h"

#include <algorithm>
#include <cstdio>

namespace {

const std::array<const char*, 35> DIRECTIVE_NAMES = {
    "Abbreviate", "Array",      "Attribute", "Class",       "Constant", "Default", "Dictionary",
    "End",        "Endif",      "Extend",    "Fake_action", "Global",   "Ifdef",   "Ifndef",
    "Ifnot",      "Ifv3",       "Ifv5",      "Iftrue",      "Iffalse",  "Import",  "Include",
    "Link",       "Lowstring",  "Message",   "Property",    "Release",  "Replace", "Serial",
    "Switches",   "Statusline", "Stub",      "System_file", "Trace",    "Verb",    "Version",
};

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

bool StartsWithChar(std::string_view text, char c) { return !text.empty() && text.front() == c; }

// The token at pos as a view into line (every token is a contiguous part of its line).
std::string_view NextToken(std::string_view line, std::size_t& pos) {
  const std::size_t n = line.size();
  while (pos < n && IsSpace(line[pos])) ++pos;
  if (pos >= n) return {};
  const std::size_t start = pos;
  const char c = line[pos];
  if (c == ';') return line.substr(start, 1);
  if (c == '-') {
    while (pos < n && (line[pos] == '-' || line[pos] == '>' || IsSpace(line[pos]))) ++pos;
    std::size_t end = pos;
    while (end > start && IsSpace(line[end - 1])) --end;
    return line.substr(start, end - start);
  }
  if (c == '"') {
    ++pos;
    while (pos < n && line[pos] != '"') ++pos;
    if (pos < n) ++pos; // the closing quote belongs to the token
    return line.substr(start, pos - start);
  }
  while (pos < n && !IsSpace(line[pos]) && line[pos] != ';') ++pos;
  return line.substr(start, pos - start);
}

std::string ObjectSuffix(int n) {
  char text[16];
  std::snprintf(text, sizeof text, n <= 9 ? "[0%d]" : "[%d]", n);
  return text;
}

std::string FunctionSuffix(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "[%d]", n);
  return text;
}

// The name itself when free, else the name with the first free suffix from 2 on. The hint
// remembers where the search for a name ended: records are only ever added between two
// DeleteRecords, so every suffix below it stays taken.
template <class TMap, class TSuffix>
std::string UniqueName(const TMap& map, std::unordered_map<std::string, int>& nextSuffix,
                       const std::string& name, TSuffix suffix) {
  if (map.find(name) == map.end()) return name;
  int& next = nextSuffix.try_emplace(name, 2).first->second;
  std::string candidate = name + suffix(next);
  while (map.find(candidate) != map.end()) candidate = name + suffix(++next);
  ++next;
  return candidate;
}

// "has", "class" or "with" in any case: a word that opens an object's body.
bool OpensObjectBody(std::string_view token) {
  return StartsWithNoCase(token, "has") || StartsWithNoCase(token, "class") ||
         StartsWithNoCase(token, "with");
}

// A missing name, or the ";" that ends the definition where the name would be.
std::string NameOrUntitled(std::string_view name) {
  const bool untitled = name.empty() || name.front() == ';';
  return untitled ? std::string(CObjectScanner::UNTITLED) : std::string(name);
}

std::string DefinitionLine(std::string_view line) {
  return std::string(line.substr(0, CObjectScanner::DEFINITION_LINE_LENGTH));
}

} // namespace

// ---------------------------------------------------------------------------------------------

void CScanHost::BeginProgress(const std::string&, int, int, bool, int) {}
void CScanHost::StepProgress() {}
void CScanHost::EndProgress() {}
void CScanHost::PumpMessages() {}

CStringLineSource CStringLineSource::FromText(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  lines.emplace_back(text.substr(start));
  return CStringLineSource(std::move(lines));
}

// ---------------------------------------------------------------------------------------------

std::string GetToken(std::string_view line, std::size_t& pos) {
  return std::string(NextToken(line, pos));
}

bool IsDirective(std::string_view token) {
  return std::any_of(DIRECTIVE_NAMES.begin(), DIRECTIVE_NAMES.end(),
                     [token](const char* name) { return StartsWithNoCase(token, name); });
}

const std::array<const char*, 35>& DirectiveNames() { return DIRECTIVE_NAMES; }

// ---------------------------------------------------------------------------------------------

CObjectScanner::CObjectScanner() : m_alive(std::make_shared<bool>(true)) {}

CObjectScanner::~CObjectScanner() { *m_alive = false; }

bool CObjectScanner::ScanObjects(const CScanLineSource& source, CScanHost* host) {
  if (m_scanning) return false;
  CScanHost noHost;
  CScanHost& ui = host != nullptr ? *host : noHost;
  const std::shared_ptr<bool> alive = m_alive;

  const int lineCount = source.LineCount();
  std::array<std::string, NESTING_SLOTS> slots;
  m_scanning = true;
  ui.BeginProgress(PROGRESS_MESSAGE, PROGRESS_SIZE, lineCount, false, 0);
  bool complete = true;
  for (int i = 0; i < lineCount; ++i) {
    ui.StepProgress();
    ui.PumpMessages();
    // Events may have closed the document or cut its text; then there is nothing left to read.
    // A scanner destroyed meanwhile may have taken its host with it: no further call is made.
    if (!*alive) return false;
    if (i >= source.LineCount()) {
      complete = false;
      break;
    }
    const int length = source.LineLength(i);
    ScanLine(std::string_view(length > 0 ? source.LineChars(i) : "", std::max(length, 0)), slots);
  }
  m_scanning = false;
  ui.EndProgress();
  return complete;
}

void CObjectScanner::ScanLine(std::string_view line,
                              std::array<std::string, NESTING_SLOTS>& slots) {
  if (line.empty() || IsSpace(line.front())) return;
  std::size_t pos = 0;
  const std::string_view first = NextToken(line, pos);
  if (first.empty()) return;
  const char c = first.front();
  if (c == '!' || c == '#' || c == '.' || c == ']') return;
  if (IsDirective(first)) return;
  if (c == '[') {
    AddFunction(NameOrUntitled(NextToken(line, pos)), DefinitionLine(line));
    return;
  }
  if (OpensObjectBody(first)) return;
  ScanObjectDefinition(line, pos, first, slots);
}

void CObjectScanner::ScanObjectDefinition(std::string_view line, std::size_t pos,
                                          std::string_view first,
                                          std::array<std::string, NESTING_SLOTS>& slots) {
  std::string className = StartsWithNoCase(first, "Object") ? std::string() : std::string(first);
  int depth = 0;

  std::string_view name = NextToken(line, pos);
  if (StartsWithChar(name, '-')) {
    depth = static_cast<int>(std::count(name.begin(), name.end(), '>'));
    name = NextToken(line, pos);
  }
  if (!StartsWithChar(name, '"')) NextToken(line, pos); // the short name
  const std::string_view parentToken = NextToken(line, pos);

  std::string parent;
  if (depth > 0) {
    // Deeper than the last slot: the object still hangs below the deepest one kept.
    parent = slots[std::min(depth - 1, NESTING_SLOTS - 1)];
    if (depth < NESTING_SLOTS) slots[depth] = std::string(name);
  } else if (StartsWithNoCase(className, "Nearby")) {
    parent = slots[0];
    className.clear();
    depth = GetObjectLevel(parent) + 1;
  } else if (parentToken.empty() || parentToken.front() == ';' || parentToken.front() == ',') {
    slots[0] = std::string(name);
  } else if (OpensObjectBody(parentToken)) {
    // A top-level object whose body starts on its own line: slot 0 stays as it was.
  } else {
    parent = std::string(parentToken);
    depth = GetObjectLevel(parent) + 1;
  }

  AddObject(NameOrUntitled(name), DefinitionLine(line), parent, className, depth);
}

std::string CObjectScanner::AddObject(const std::string& name, const std::string& definitionLine,
                                      const std::string& parent, const std::string& className,
                                      int depth) {
  std::string key = UniqueName(m_objects, m_nextObjectSuffix, name, ObjectSuffix);
  m_objects.emplace(key,
                    std::make_unique<CObjectRecord>(key, parent, definitionLine, className, depth));
  if (depth > m_scannerValue) m_scannerValue = depth;
  return key;
}

std::string CObjectScanner::AddFunction(const std::string& name,
                                        const std::string& definitionLine) {
  std::string key = UniqueName(m_functions, m_nextFunctionSuffix, name, FunctionSuffix);
  m_functions.emplace(key, std::make_unique<CFunctionRecord>(key, definitionLine));
  return key;
}

int CObjectScanner::GetObjectLevel(const std::string& name) const {
  const auto it = m_objects.find(name);
  return it == m_objects.end() ? 1 : it->second->m_depth;
}

void CObjectScanner::DeleteRecords() {
  m_objects.clear();
  m_functions.clear();
  m_nextObjectSuffix.clear();
  m_nextFunctionSuffix.clear();
}
