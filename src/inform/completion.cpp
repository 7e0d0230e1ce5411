#include "completion.h"

#include <algorithm>
#include <unordered_map>

#include "inform_lexer.h"
#include "language_index.h"

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The start of the run of name characters that ends at end.
std::size_t WordStartBefore(std::string_view text, std::size_t end) {
  while (end > 0 && IsNameChar(text[end - 1])) --end;
  return end;
}

// Whether the end of before lies inside a string, a comment or a dictionary word not closed
// yet: places where a name is text, not a name.
bool InTextOrComment(std::string_view before, bool startsInString) {
  CInformLexer lexer;
  lexer.SetInString(startsInString);
  std::vector<CLexToken> tokens;
  lexer.LexLine(before, tokens);
  if (lexer.InString()) return true;
  std::size_t end = 0;
  for (const CLexToken& token : tokens) {
    // A quote closed nowhere before the caret is a dictionary word being typed.
    if (token.kind == ELexKind::DictWord && token.text == "'") return true;
    end = static_cast<std::size_t>(token.col) + token.text.size();
  }
  // The lexer stops at a comment: a "!" after the last token starts one.
  return before.find('!', end) != std::string_view::npos;
}

// A "." that asks for a property: after a name that is not a number, or after a bracket.
bool IsPropertyDot(std::string_view text, std::size_t dot) {
  if (dot == 0) return false;
  const char c = text[dot - 1];
  if (c == ')' || c == ']') return true;
  if (!IsNameChar(c)) return false;
  return !IsDigit(text[WordStartBefore(text, dot)]);
}

ECompletionContext KeywordContext(std::string_view lowerWord) {
  if (lowerWord == "has" || lowerWord == "hasnt") return ECompletionContext::Attribute;
  if (lowerWord == "ofclass") return ECompletionContext::Class;
  if (lowerWord == "provides" || lowerWord == "with") return ECompletionContext::Property;
  return ECompletionContext::None;
}

// What fits after text (the line up to the word being completed).
ECompletionContext ContextBefore(std::string_view text) {
  if (EndsWith(text, "##")) return ECompletionContext::Action;
  const std::string_view t = TrimRight(text);
  if (EndsWith(t, "-->")) return ECompletionContext::Value;
  if (EndsWith(t, "->")) {
    // In a grammar line ("* noun -> Take") the arrow names the action.
    const std::size_t first = t.find_first_not_of(" \t");
    return t[first] == '*' ? ECompletionContext::Action : ECompletionContext::Any;
  }
  for (const std::string_view dot : {".", ".&", ".#"})
    if (EndsWith(t, dot))
      return IsPropertyDot(t, t.size() - dot.size()) ? ECompletionContext::Property : ECompletionContext::Any;
  // Back over names and "~": "has light ~open ", "give lamp ", "ofclass ".
  std::size_t i = t.size();
  int words = 0;
  std::string lower;
  for (;;) {
    while (i > 0 && (IsBlank(t[i - 1]) || t[i - 1] == '~')) --i;
    const std::size_t end = i;
    i = WordStartBefore(t, end);
    if (i == end || (i > 0 && (t[i - 1] == '.' || t[i - 1] == '#' || t[i - 1] == '$'))) break;
    LowerInto(t.substr(i, end - i), lower);
    if (lower == "has" || lower == "hasnt") return ECompletionContext::Attribute;
    if (lower == "give" && words > 0) return ECompletionContext::Attribute;
    if (lower == "class") return ECompletionContext::Class; // an object's class segment
    if (words == 0 && KeywordContext(lower) != ECompletionContext::None) return KeywordContext(lower);
    ++words;
  }
  return ECompletionContext::Any;
}

uint32_t KindBit(EIndexKind kind) { return 1u << static_cast<unsigned>(kind); }

uint32_t ContextKinds(ECompletionContext context) {
  switch (context) {
  case ECompletionContext::None: return 0;
  case ECompletionContext::Any: return ~0u;
  case ECompletionContext::Action: return KindBit(EIndexKind::Action) | KindBit(EIndexKind::FakeAction);
  case ECompletionContext::Attribute: return KindBit(EIndexKind::Attribute);
  case ECompletionContext::Class: return KindBit(EIndexKind::Class);
  case ECompletionContext::Property:
    return KindBit(EIndexKind::Property) | KindBit(EIndexKind::IndividualProperty) | KindBit(EIndexKind::ClassProperty);
  case ECompletionContext::Value: return KindBit(EIndexKind::Constant) | KindBit(EIndexKind::Global);
  }
  return 0;
}

EIndexKind FirstKind(uint32_t kinds) {
  unsigned bit = 0;
  while (bit < 31 && !(kinds & (1u << bit))) ++bit;
  return static_cast<EIndexKind>(bit);
}

} // namespace

CCompletionSite FindCompletionSite(std::string_view line, int caret, bool startsInString) {
  CCompletionSite site;
  const std::size_t at = static_cast<std::size_t>(std::clamp<int>(caret, 0, static_cast<int>(line.size())));
  const std::string_view before = line.substr(0, at);
  if (InTextOrComment(before, startsInString)) return site;
  const std::size_t start = WordStartBefore(before, at);
  // A number, or a "$" hexadecimal: no name goes there.
  if ((start < at && IsDigit(before[start])) || (start > 0 && before[start - 1] == '$')) return site;
  site.wordStart = static_cast<int>(start);
  site.prefix.assign(before.substr(start));
  site.context = ContextBefore(before.substr(0, start));
  return site;
}

bool IsCompletionTrigger(std::string_view line, int caret, bool startsInString) {
  if (caret <= 0 || caret > static_cast<int>(line.size())) return false;
  const std::string_view before = line.substr(0, static_cast<std::size_t>(caret));
  bool fits = false;
  switch (before.back()) {
  case '#': fits = EndsWith(before, "##") && !EndsWith(before, "###"); break;
  case '.': fits = IsPropertyDot(before, before.size() - 1); break;
  case '>': fits = EndsWith(before, "-->"); break;
  case ' ': {
    const std::size_t end = before.size() - 1;
    const std::size_t start = WordStartBefore(before, end);
    if (start == end || (start > 0 && (before[start - 1] == '.' || before[start - 1] == '#' || before[start - 1] == '$')))
      break;
    std::string lower;
    LowerInto(before.substr(start, end - start), lower);
    fits = KeywordContext(lower) != ECompletionContext::None;
    break;
  }
  default: break;
  }
  return fits && !InTextOrComment(before, startsInString);
}

void CCompletionCatalogue::Build(const CLanguageIndex& index, const std::function<bool(int file)>& isLibrary) {
  m_entries.clear();
  std::unordered_map<uint32_t, std::size_t> entryOf;
  std::unordered_map<int, bool> library; // per file, asked once
  for (const CIndexDefinition& def : index.AllDefinitions()) {
    // Grammar lines and verbs are named by dictionary words, embedded routines by their owner.
    if (def.m_name == INDEX_NO_NAME || def.m_kind == EIndexKind::GrammarLine || def.m_kind == EIndexKind::Verb ||
        def.m_kind == EIndexKind::EmbeddedRoutine)
      continue;
    const auto [it, fresh] = entryOf.try_emplace(def.m_name, m_entries.size());
    if (fresh) {
      CEntry entry;
      entry.name = index.NameOf(def.m_name);
      LowerInto(entry.name, entry.lower);
      m_entries.push_back(std::move(entry));
    }
    CEntry& entry = m_entries[it->second];
    entry.kinds |= KindBit(def.m_kind);
    const auto [known, first] = library.try_emplace(def.m_file, false);
    if (first) known->second = isLibrary(def.m_file);
    if (!known->second) entry.ownKinds |= KindBit(def.m_kind);
  }
  std::sort(m_entries.begin(), m_entries.end(), [](const CEntry& a, const CEntry& b) {
    return a.lower != b.lower ? a.lower < b.lower : a.name < b.name;
  });
}

std::vector<CCompletionItem> CCompletionCatalogue::Candidates(ECompletionContext context, std::string_view prefix,
                                                              std::size_t limit) const {
  const uint32_t wanted = ContextKinds(context);
  std::vector<CCompletionItem> own;
  std::vector<CCompletionItem> library;
  if (wanted == 0) return own;
  std::string lower;
  LowerInto(prefix, lower);
  auto it = std::lower_bound(m_entries.begin(), m_entries.end(), lower,
                             [](const CEntry& e, const std::string& p) { return e.lower < p; });
  for (; it != m_entries.end() && it->lower.compare(0, lower.size(), lower) == 0; ++it) {
    const uint32_t fits = it->kinds & wanted;
    if (fits == 0) continue;
    const uint32_t ownFits = it->ownKinds & wanted;
    if (ownFits != 0) {
      own.push_back({it->name, FirstKind(ownFits), false});
      if (own.size() >= limit) break;
    } else if (library.size() < limit) {
      library.push_back({it->name, FirstKind(fits), true});
    }
  }
  own.insert(own.end(), library.begin(), library.end());
  if (own.size() > limit) own.resize(limit);
  return own;
}
