#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lexer of the language index: the tokens of one line of Inform source, outside comments,
// with the double-quoted strings that run on over line ends followed from line to line. The
// object scanner reads only the heads of lines and the colouring only colours; this is the one
// tokenizer that sees every word of a line.

enum class ELexKind : uint8_t {
  Word,     // a name, a keyword or a directive with its "#" ("#Ifdef")
  Action,   // "##Take": the text is the action's name without the "##"
  Number,   // 12, $FF, $$101
  String,   // a double-quoted string or the part of one on this line
  DictWord, // 'word' or a character constant
  Symbol,   // punctuation: "->", "-->", "::", "<<", ">>" as one token, other characters alone
};

struct CLexToken {
  ELexKind kind;
  int32_t col;          // byte index in the line of the token's text
  std::string_view text; // a view into the line
};

class CInformLexer {
public:
  // Whether the next line begins inside a double-quoted string.
  bool InString() const { return m_inString; }
  void SetInString(bool inString) { m_inString = inString; }
  // Appends the tokens of line to out (cleared first).
  void LexLine(std::string_view line, std::vector<CLexToken>& out);

private:
  bool m_inString = false;
};

// ASCII lower case of text, the form names are compared in (Inform's names ignore case).
void LowerInto(std::string_view text, std::string& out);
