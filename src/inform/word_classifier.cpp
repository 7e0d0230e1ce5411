// Character class table and the keyword lists of the Inform colouring.
#include "word_classifier.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace {

constexpr std::array<uint8_t, 256> MakeCharClasses() {
  std::array<uint8_t, 256> classes{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) classes[c] |= INFORM_CHAR_SPACE;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] |= INFORM_CHAR_WORD;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= INFORM_CHAR_WORD;
  for (int c = '0'; c <= '9'; ++c) classes[c] |= INFORM_CHAR_WORD | INFORM_CHAR_DIGIT;
  for (unsigned char c : {'_', '#', '$'}) classes[c] |= INFORM_CHAR_WORD;
  for (int c = 0x80; c <= 0xFF; ++c) classes[c] |= INFORM_CHAR_WORD;
  for (unsigned char c : {']', '\'', '"', '!'}) classes[c] |= INFORM_CHAR_SPECIAL;
  return classes;
}

// A keyword list indexed by (length, first letter) so that a lookup compares at most a
// handful of candidates. Every keyword starts with a lower-case letter and is 2-10 long.
template <std::size_t N>
class CKeywordSet {
public:
  static constexpr int MAX_LENGTH = 10;

  constexpr explicit CKeywordSet(const char* const (&words)[N]) : m_words{}, m_lengths{}, m_order{},
                                                                   m_start{}, m_count{} {
    for (std::size_t k = 0; k < N; ++k) {
      m_words[k] = words[k];
      int length = 0;
      while (words[k][length] != '\0') ++length;
      m_lengths[k] = static_cast<uint8_t>(length);
    }
    int next = 0;
    for (int length = 0; length <= MAX_LENGTH; ++length) {
      for (int letter = 0; letter < 26; ++letter) {
        m_start[length][letter] = static_cast<uint8_t>(next);
        for (std::size_t k = 0; k < N; ++k) {
          if (m_lengths[k] == length && m_words[k][0] == 'a' + letter) {
            m_order[next++] = static_cast<uint8_t>(k);
            ++m_count[length][letter];
          }
        }
      }
    }
  }

  bool Contains(const char* text, int length) const {
    if (length < 1 || length > MAX_LENGTH) return false;
    const unsigned letter = static_cast<unsigned char>(text[0]) - static_cast<unsigned>('a');
    if (letter >= 26) return false;
    const int start = m_start[length][letter];
    const int end = start + m_count[length][letter];
    for (int k = start; k < end; ++k) {
      if (std::memcmp(m_words[m_order[k]], text, static_cast<std::size_t>(length)) == 0) return true;
    }
    return false;
  }

private:
  const char* m_words[N];
  uint8_t m_lengths[N];
  uint8_t m_order[N];
  uint8_t m_start[MAX_LENGTH + 1][26];
  uint8_t m_count[MAX_LENGTH + 1][26];
};

constexpr const char* kStatementKeywords[] = {
    "box",      "break",   "child",    "children",  "continue", "default",   "do",
    "elder",    "eldest",  "else",     "false",     "font",     "for",       "give",
    "has",      "hasnt",   "if",       "in",        "indirect", "inversion", "jump",
    "metaclass", "move",   "new_line", "nothing",   "notin",    "objectloop", "ofclass",
    "or",       "parent",  "print",    "print_ret", "provides", "quit",      "random",
    "read",     "remove",  "restore",  "return",    "rfalse",   "rtrue",     "save",
    "sibling",  "spaces",  "string",   "style",     "switch",   "to",        "true",
    "until",    "while",   "younger",  "youngest"};
static_assert(std::size(kStatementKeywords) == 53);

constexpr const char* kDirectiveModifiers[] = {"first",   "last",    "meta",   "only",  "private",
                                               "replace", "reverse", "string", "table"};
static_assert(std::size(kDirectiveModifiers) == 9);

constexpr CKeywordSet<std::size(kStatementKeywords)> kStatementKeywordSet(kStatementKeywords);
constexpr CKeywordSet<std::size(kDirectiveModifiers)> kDirectiveModifierSet(kDirectiveModifiers);

} // namespace

constinit const std::array<uint8_t, 256> g_informCharClass = MakeCharClasses();

bool IsStatementKeyword(const char* text, int length) {
  return kStatementKeywordSet.Contains(text, length);
}

bool IsDirectiveModifier(const char* text, int length) {
  return kDirectiveModifierSet.Contains(text, length);
}

std::span<const char* const> StatementKeywords() { return kStatementKeywords; }
std::span<const char* const> DirectiveModifiers() { return kDirectiveModifiers; }
