// The Inform line colouring: colours and cookies for the constructs of the language, line to
// line state, the colour index table, and robustness on arbitrary bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "colouring.h"
#include "word_classifier.h"

namespace {

constexpr uint32_t BODY_BITS = COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY | COOKIE_ATTRIBUTES;
constexpr uint32_t STATE_BITS = COOKIE_ALL_BITS & ~COOKIE_WORD_CODE_MASK;

struct Coloured {
  std::string colours; // one hex digit per character
  uint32_t cookie;
};

// Colours one line held in a heap block of exactly its length, so that a read past the end
// is caught by the address sanitizer; also checks the run layout.
Coloured ColourOne(const std::string& text, uint32_t cookie = 0, int lineIndex = 1) {
  const int length = static_cast<int>(text.size());
  std::unique_ptr<char[]> exact(new char[text.size() + (text.empty() ? 1 : 0)]);
  std::memcpy(exact.get(), text.data(), text.size());
  std::vector<StyleRun> runs(text.size() + 1, StyleRun{-7, -7});
  int runCount = -1;
  const uint32_t result = ColourLine(cookie, lineIndex, exact.get(), length, runs.data(), runCount);
  EXPECT_EQ(runCount, length);
  EXPECT_EQ(runs[text.size()].charPos, -7) << "a run was written past the line";
  Coloured out{std::string(text.size(), '?'), result};
  for (int i = 0; i < length; ++i) {
    EXPECT_EQ(runs[i].charPos, i);
    const int colour = runs[i].colourIndex;
    out.colours[i] = colour >= 0 && colour < 16 ? "0123456789ABCDEF"[colour] : '?';
  }
  return out;
}

// A sequence of lines coloured as the view does: line 0 from cookie 0, each later line from
// the cookie returned for the line before.
std::vector<Coloured> ColourFile(const std::vector<std::string>& lines) {
  std::vector<Coloured> out;
  uint32_t cookie = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    out.push_back(ColourOne(lines[i], cookie, static_cast<int>(i)));
    cookie = out.back().cookie;
  }
  return out;
}

uint32_t CookieOnly(const std::string& text, uint32_t cookie = 0, int lineIndex = 1) {
  int runCount = -1;
  const uint32_t result =
      ColourLine(cookie, lineIndex, text.data(), static_cast<int>(text.size()), nullptr, runCount);
  EXPECT_EQ(runCount, static_cast<int>(text.size()));
  return result;
}

uint32_t CodeOf(const std::string& token) {
  int end = -1;
  const uint32_t code = ClassifyInformToken(token.data(), 0, static_cast<int>(token.size()), end);
  EXPECT_EQ(end, static_cast<int>(token.size()) - 1) << token;
  return code;
}

constexpr uint32_t START = COOKIE_STATEMENT_START;

// ---------------------------------------------------------------------------------------
// Object definitions: statement start, object-body keywords, properties and attributes.

TEST(ObjectDefinitionColouring, ObjectLineWithNamesAndAttributes) {
  const Coloured c =
      ColourOne("Object -> lamp \"brass lamp\" with name 'lamp', has light;", START);
  EXPECT_EQ(c.colours, "BBBBBBABBAAAAAA777777777777ABBBBACCCCA777777BABBBACCCCCB");
  EXPECT_EQ(c.cookie & STATE_BITS, COOKIE_STATEMENT_START);
  EXPECT_EQ(c.cookie & COOKIE_WORD_CODE_MASK, TOKEN_OTHER) << "the ';' was the last token";
}

TEST(ObjectDefinitionColouring, BodySpreadOverLinesKeepsItsState) {
  const std::vector<Coloured> c = ColourFile({
      "Object  Workshop \"Workshop\"",
      "  with  description \"Dusty.\",",
      "        n_to LampRoom,",
      "  has   light open;",
      "Object -> box;",
  });
  EXPECT_EQ(c[0].colours, "BBBBBBAAAAAAAAAAA7777777777");
  EXPECT_EQ(c[1].colours, "AABBBBAACCCCCCCCCCCA77777777B");
  EXPECT_EQ(c[1].cookie & STATE_BITS, COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY);
  EXPECT_EQ(c[2].colours, "AAAAAAAACCCCAAAAAAAAAB") << "the value after a property is plain";
  EXPECT_EQ(c[3].colours, "AABBBAAACCCCCACCCCB") << "every word after has is an attribute";
  EXPECT_EQ(c[4].colours, "BBBBBBABBAAAAB") << "';' started the next statement";
}

TEST(ObjectDefinitionColouring, StatementStartWordsAndKeywordsLeaveStartAlone) {
  // with/has/class do not end the statement start, so both words of "Class Room" are 11.
  EXPECT_EQ(ColourOne("Class Room", START).colours, "BBBBBABBBB");
  // A '#' is a token of its own: "#Ifdef" gives '#' the start colour, the word the plain one.
  EXPECT_EQ(ColourOne("#Ifdef DEBUG;", START).colours, "BAAAAAAAAAAAB");
  // Any word starts a statement; there is no directive list.
  EXPECT_EQ(ColourOne("Frobnicate x", START).colours, "BBBBBBBBBBAA");
  // A ',' ends the statement start without being the first token's colour.
  const uint32_t afterComma = ColourOne(",", START).cookie;
  EXPECT_EQ(afterComma & STATE_BITS, COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY);
}

TEST(ObjectDefinitionColouring, KeywordsIgnoreLetterCaseButNotLength) {
  EXPECT_EQ(ColourOne("x WITH p", 0).colours, "AABBBBAC");
  EXPECT_EQ(ColourOne("x Has p q", 0).colours, "AABBBACAC");
  EXPECT_EQ(ColourOne("x CLASS p q", 0).colours, "AABBBBBACAC");
  EXPECT_EQ(ColourOne("x without hasnt classes", 0).colours, std::string(23, 'A'));
  EXPECT_EQ(CookieOnly("x without hasnt classes", 0) & STATE_BITS, 0u);
}

TEST(ObjectDefinitionColouring, WithEndsAttributesAndHasEndsProperties) {
  const uint32_t attributes = ColourOne("o has a b with", 0).cookie;
  EXPECT_EQ(attributes & STATE_BITS, COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY);
  EXPECT_EQ(ColourOne("x with has p", 0).cookie & STATE_BITS,
            COOKIE_OBJECT_BODY | COOKIE_ATTRIBUTES);
  // After "has light," both attribute and property states are on; the attribute row wins
  // and the expected property is still pending afterwards.
  const Coloured c = ColourOne("has light, heavy", 0);
  EXPECT_EQ(c.colours, "BBBACCCCCBACCCCC");
  EXPECT_EQ(c.cookie & STATE_BITS, COOKIE_OBJECT_BODY | COOKIE_ATTRIBUTES | COOKIE_EXPECT_PROPERTY);
}

TEST(ObjectDefinitionColouring, ArrowsStarsAndDashes) {
  // "-->" is '-' then '->'; a lone '-' is an ordinary token; '*' starts a grammar body.
  EXPECT_EQ(ColourOne("a --> b", 0).colours, "AAABBAA");
  EXPECT_EQ(ColourOne("a --> b", 0).cookie & STATE_BITS, COOKIE_OBJECT_BODY);
  EXPECT_EQ(ColourOne("a - b", 0).cookie & STATE_BITS, 0u);
  EXPECT_EQ(ColourOne("* noun", 0).colours, "BAAAAA");
  // A '-' at the end of the line has its own code and no look past the line for '>'.
  const Coloured dash = ColourOne("x -", 0);
  EXPECT_EQ(dash.colours, "AAA");
  EXPECT_EQ(dash.cookie & COOKIE_WORD_CODE_MASK, TOKEN_DASH_AT_LINE_END);
}

TEST(ObjectDefinitionColouring, WordAtLineEndIsColouredToItsLastCharacter) {
  const Coloured c = ColourOne("Verb 'take' * noun", START);
  EXPECT_EQ(c.colours, "BBBBA777777ABAAAAA");
  EXPECT_EQ(c.cookie & COOKIE_WORD_CODE_MASK, 0x8400u) << "the code of the four-letter 'noun'";
}

// ---------------------------------------------------------------------------------------
// Routines: brackets, names, bodies, keywords, identifiers and assembly.

TEST(RoutineColouring, OneLineRoutine) {
  const Coloured c = ColourOne("[ Main x; print \"hi\"; ];", START);
  EXPECT_EQ(c.colours, "8988889F999999997777998B");
  EXPECT_EQ(c.cookie & STATE_BITS, COOKIE_STATEMENT_START);
}

TEST(RoutineColouring, RoutineSpansLinesUntilItsBracket) {
  const std::vector<Coloured> c = ColourFile({
      "[ Initialise;",
      "  location = Workshop; rtrue;",
      "];",
      "Constant X;",
  });
  EXPECT_EQ(c[0].colours, "8988888888889");
  // Routine text is no token, so line 0's statement start waits for the code after "]".
  EXPECT_EQ(c[0].cookie & STATE_BITS, COOKIE_ROUTINE | COOKIE_STATEMENT_START);
  EXPECT_EQ(c[1].colours, "99FFFFFFFF999FFFFFFFF99999999");
  EXPECT_EQ(c[2].colours, "8B");
  EXPECT_EQ(c[3].colours, "BBBBBBBBAAB");
}

TEST(RoutineColouring, RoutineNameMayComeOnALaterLine) {
  const std::vector<Coloured> c = ColourFile({"[", "  ", "  -> Name x;"});
  EXPECT_EQ(c[1].cookie & STATE_BITS, COOKIE_ROUTINE | COOKIE_ROUTINE_NAME | COOKIE_STATEMENT_START);
  // Tokens that are not words stay routine text and keep the name pending.
  EXPECT_EQ(c[2].colours, "9999988889F9");
}

TEST(RoutineColouring, EmbeddedRoutinesDoNotExpectAName) {
  // In an object body "[;" opens a routine with no name: the first word is code.
  const std::vector<Coloured> body = ColourFile({"Object o with before [; Take: rtrue; ],", "has x;"});
  EXPECT_EQ(body[0].colours, "BBBBBBAAABBBBACCCCCCA899FFFF9999999998B");
  EXPECT_EQ(body[1].colours, "BBBACB");
  // After a ';' the same "[;" expects a name, and ';' as first token leaves it expected.
  const Coloured standalone = ColourOne("[; Main; ];", START);
  EXPECT_EQ(standalone.colours, "8998888998B");
}

TEST(RoutineColouring, BracketsOutsideAndInsideRoutines) {
  // ']' outside a routine is an ordinary token; '[' inside is routine text.
  EXPECT_EQ(ColourOne("]", START).colours, "B");
  EXPECT_EQ(ColourOne("a ]", 0).colours, "AAA");
  const Coloured nested = ColourOne("x = [ y;", COOKIE_ROUTINE);
  EXPECT_EQ(nested.colours, "F99999F9");
  EXPECT_EQ(nested.cookie & STATE_BITS, COOKIE_ROUTINE) << "no routine name is expected";
}

TEST(RoutineColouring, StatementKeywordsAreCaseSensitiveAndWhole) {
  const Coloured c = ColourOne("  print Print printer 42 new_line hasnt has_x;", COOKIE_ROUTINE);
  EXPECT_EQ(c.colours, "99999999FFFFF9FFFFFFF9FF9999999999999999FFFFF9");
  EXPECT_EQ(c.cookie & STATE_BITS, COOKIE_ROUTINE);
}

TEST(RoutineColouring, AssemblyOpcodes) {
  EXPECT_EQ(ColourOne("@push x; @ y", COOKIE_ROUTINE).colours, "EEEEE9F99E9F");
  // An '@' takes the following word even when the first pass gave it the name colour.
  EXPECT_EQ(ColourOne("[ @name", START).colours, "89EEEEE");
  // Outside routines the same rule applies to foreground text.
  EXPECT_EQ(ColourOne("x @foo;", 0).colours, "AAEEEEB");
}

// ---------------------------------------------------------------------------------------
// Comments and quoted text.

TEST(CommentAndStringColouring, CommentsHideEverythingToTheLineEnd) {
  EXPECT_EQ(ColourOne("x ! \"a\" 'b' [ ] ;", 0).colours, "AA666666666666666");
  const uint32_t before = COOKIE_ROUTINE | COOKIE_ROUTINE_NAME;
  const Coloured inRoutine = ColourOne("! ] not the end", before);
  EXPECT_EQ(inRoutine.colours, std::string(15, '6'));
  EXPECT_EQ(inRoutine.cookie & STATE_BITS, before) << "the routine survives the comment";
  EXPECT_EQ(inRoutine.cookie & COOKIE_COMMENT, 0u);
}

TEST(CommentAndStringColouring, CommentLinesAtTheTopKeepTheStatementStart) {
  const std::vector<Coloured> c = ColourFile({"! Header", "", "!! more", "Constant A;"});
  EXPECT_EQ(c[2].cookie, COOKIE_STATEMENT_START);
  EXPECT_EQ(c[3].colours, "BBBBBBBBAAB");
}

TEST(CommentAndStringColouring, QuotesHideCommentsAndBrackets) {
  EXPECT_EQ(ColourOne("x \"! [ ]\" ;", 0).colours, "AA7777777AB");
  EXPECT_EQ(ColourOne("x 'it\"s' y", 0).colours, "AA777777AA");
  EXPECT_EQ(ColourOne("x \"it's\" y", 0).colours, "AA777777AA");
}

TEST(CommentAndStringColouring, OpenStringContinuesOnTheNextLines) {
  const std::vector<Coloured> c = ColourFile({"Object o \"A long", "", "  text\" has light;"});
  EXPECT_EQ(c[0].cookie & STATE_BITS, COOKIE_DOUBLE_QUOTE);
  EXPECT_EQ(c[1].cookie & STATE_BITS, COOKIE_DOUBLE_QUOTE);
  EXPECT_EQ(c[2].colours, "7777777ABBBACCCCCB");
  EXPECT_EQ(c[2].cookie & STATE_BITS, COOKIE_STATEMENT_START);
  // A single-quoted word left open continues the same way and ends at its quote only.
  const Coloured single = ColourOne("ab\"c' x", COOKIE_SINGLE_QUOTE);
  EXPECT_EQ(single.colours, "77777AA");
}

TEST(CommentAndStringColouring, EscapesInQuotedText) {
  EXPECT_EQ(ColourOne("\"@@92 @00 @'e ^~\\ a\"", 0).colours, "7DDDD7DDD7D777DDD777");
  // An '@' at the end of the line's text takes only itself.
  EXPECT_EQ(ColourOne("\"ab@", 0).colours, "777D");
  EXPECT_EQ(ColourOne("\"a@12", 0).colours, "77DDD");
  // Escape characters are plain outside quotes.
  EXPECT_EQ(ColourOne("^ ~", 0).colours, "AAA");
}

// ---------------------------------------------------------------------------------------
// Directive modifiers in foreground text.

TEST(DirectiveModifierColouring, WholeWordsOnly) {
  EXPECT_EQ(ColourOne("Verb meta 'score'", START).colours, "BBBBABBBBA7777777");
  EXPECT_EQ(ColourOne("x last mylast lastly", 0).colours, "AABBBBAAAAAAAAAAAAAA");
  EXPECT_EQ(ColourOne("Array a table 10", START).colours, "BBBBBAAABBBBBAAA");
  // Modifiers only count in foreground text: as properties or code they are not.
  EXPECT_EQ(ColourOne("with last", 0).colours, "BBBBACCCC");
  EXPECT_EQ(ColourOne(" last", COOKIE_ROUTINE).colours, "9FFFF");
}

TEST(DirectiveModifierColouring, WordStartingWithHashIsOneWordInTheSecondPass) {
  // The second pass reads "#last" as one word, which is no modifier; after a '#' coloured as
  // a statement start the word stands alone and is one.
  EXPECT_EQ(ColourOne("x #last", 0).colours, "AAAAAAA");
  EXPECT_EQ(ColourOne("#last", START).colours, "BBBBB");
}

// ---------------------------------------------------------------------------------------
// Cookies: bits, line 0, empty lines, token codes.

TEST(CookieBehaviour, EmptyLineReturnsItsCookie) {
  int runCount = -1;
  const uint32_t cookie = COOKIE_ROUTINE | COOKIE_DOUBLE_QUOTE | 0x8313;
  EXPECT_EQ(ColourLine(cookie, 5, "", 0, nullptr, runCount), cookie);
  EXPECT_EQ(runCount, 0);
  EXPECT_EQ(ColourLine(cookie | COOKIE_COMMENT, 5, "", 0, nullptr, runCount), cookie);
  EXPECT_EQ(ColourLine(0, 0, "", 0, nullptr, runCount), COOKIE_STATEMENT_START);
}

TEST(CookieBehaviour, LineZeroStartsAStatement) {
  EXPECT_EQ(ColourOne("Object", 0, 0).colours, "BBBBBB");
  EXPECT_EQ(ColourOne("Object", 0, 1).colours, "AAAAAA");
}

TEST(CookieBehaviour, CookieZeroOnALaterLineIsNotAFileStart) {
  // A lone '#' has code 0, so this line returns 0 though it is not the file's start.
  const std::vector<Coloured> c = ColourFile({"Foo", "#", "Bar"});
  EXPECT_EQ(c[1].cookie, 0u);
  EXPECT_EQ(c[2].colours, "AAA");
}

TEST(CookieBehaviour, LowBitsHoldTheLastTokenCode) {
  EXPECT_EQ(CodeOf("with"), TOKEN_WITH);
  EXPECT_EQ(CodeOf("WiTh"), TOKEN_WITH);
  EXPECT_EQ(CodeOf("has"), TOKEN_HAS);
  EXPECT_EQ(CodeOf("Class"), TOKEN_CLASS);
  EXPECT_EQ(CodeOf("w"), 0x8101u);
  EXPECT_EQ(CodeOf("wix"), 0x8300u);
  EXPECT_EQ(CodeOf("without"), 0x8704u);
  EXPECT_EQ(CodeOf("hasnt"), 0x8513u);
  EXPECT_EQ(CodeOf("classes"), 0x8725u);
  EXPECT_EQ(CodeOf("x_1$#"), 0x8500u);
  EXPECT_EQ(CodeOf("#"), TOKEN_HASH);
  EXPECT_EQ(CodeOf("*"), TOKEN_STAR);
  EXPECT_EQ(CodeOf("->"), TOKEN_ARROW);
  EXPECT_EQ(CodeOf(";"), TOKEN_OTHER);
  EXPECT_EQ(CodeOf("\xE9"), TOKEN_OTHER);
  // The cookie carries the code of the last token looked at, or the one it came with.
  EXPECT_EQ(CookieOnly("x has", 0) & COOKIE_WORD_CODE_MASK, TOKEN_HAS);
  EXPECT_EQ(CookieOnly("  \"abc\" ! x", 0x8123) & COOKIE_WORD_CODE_MASK, 0x8123u);
  EXPECT_EQ(CookieOnly("[ Main", 0) & COOKIE_WORD_CODE_MASK, 0x8400u);
}

TEST(CookieBehaviour, LongWordsAreNeverKeywords) {
  // The length byte cannot count past 127; a "with" followed by exactly 252 more characters
  // would otherwise wrap round to the code of "with".
  const std::string longWith = "with" + std::string(252, 'x');
  EXPECT_NE(CodeOf(longWith), TOKEN_WITH);
  EXPECT_GE(CodeOf(longWith), TOKEN_WORD_MIN);
  const Coloured after = ColourOne("x " + longWith + " p;", 0);
  EXPECT_EQ(after.colours, std::string(2 + longWith.size() + 2, 'A') + "B");
  EXPECT_EQ(after.cookie & STATE_BITS, COOKIE_STATEMENT_START);
  const std::string longHas = "has" + std::string(253, 'x');
  EXPECT_EQ(CookieOnly(longHas + " p", COOKIE_EXPECT_PROPERTY) & STATE_BITS, 0u);
  // A long word in a routine is still one identifier.
  const std::string name(300, 'n');
  EXPECT_EQ(ColourOne(name, COOKIE_ROUTINE).colours, std::string(300, 'F'));
  EXPECT_EQ(ColourOne("[ " + name, START).colours, "89" + std::string(300, '8'));
}

TEST(CookieBehaviour, ForeignBitsAreDropped) {
  EXPECT_EQ(CookieOnly("x", 0xFC800000u | COOKIE_ROUTINE) & ~COOKIE_ALL_BITS, 0u);
  EXPECT_EQ(CookieOnly("", 0xFFFFFFFFu) & ~COOKIE_ALL_BITS, 0u);
}

// ---------------------------------------------------------------------------------------
// Bytes outside ASCII and arbitrary input.

TEST(ArbitraryInput, HighBytesAreNeitherSpacesNorWordCharacters) {
  // "caf\xE9" in a routine: "caf" is an identifier, the high byte routine text.
  EXPECT_EQ(ColourOne("caf\xE9", COOKIE_ROUTINE).colours, "FFF9");
  // Outside routines each high byte is a token of its own.
  EXPECT_EQ(ColourOne("\xA0\xA0x", START).colours, "BAA");
  // A NUL byte is a character like any other.
  EXPECT_EQ(ColourOne(std::string("a\0;", 3), 0).colours, "AAB");
}

TEST(ArbitraryInput, RandomLinesGiveOneProducedColourPerCharacter) {
  std::mt19937 random(20261206);
  const std::string alphabet = "abcwhsltWHCLAS_#$0129 \t\r\n\v\f!\"'[]-><*;,@\\^~.:\xE9\x80\xFF";
  uint32_t cookie = 0;
  for (int line = 0; line < 4000; ++line) {
    const int length = static_cast<int>(random() % 48);
    std::string text(static_cast<size_t>(length), ' ');
    for (char& ch : text) {
      ch = random() % 4 == 0 ? static_cast<char>(random() & 0xFF) : alphabet[random() % alphabet.size()];
    }
    const Coloured c = ColourOne(text, cookie, line);
    for (char colour : c.colours) ASSERT_TRUE(colour >= '6' && colour <= 'F') << "line " << line;
    ASSERT_EQ(c.cookie & ~COOKIE_ALL_BITS, 0u);
    ASSERT_EQ(c.cookie & COOKIE_COMMENT, 0u);
    // The cookie-only call follows exactly the same state.
    int runCount = 0;
    ASSERT_EQ(ColourLine(cookie, line, text.data(), length, nullptr, runCount), c.cookie);
    cookie = c.cookie;
  }
}

TEST(ArbitraryInput, TailsThatInviteLookahead) {
  // Each of these ends where a look-ahead would read the next byte.
  for (const char* tail : {"-", "@", "\"@", "\"@@", "!", "'", "[", "]", "x", "#", "\"\\"}) {
    for (uint32_t cookie : {0u, COOKIE_ROUTINE, COOKIE_ROUTINE | COOKIE_ROUTINE_NAME,
                            COOKIE_DOUBLE_QUOTE, COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY}) {
      const Coloured c = ColourOne(tail, cookie);
      EXPECT_EQ(c.colours.find('?'), std::string::npos) << tail;
    }
  }
}

// ---------------------------------------------------------------------------------------
// The colour index table.

TEST(ColourIndexTable, NamesAndDefaults) {
  struct Expected {
    int index;
    const char* key;
    const char* display;
    uint32_t colour;
  };
  const Expected expected[] = {
      {COLORINDEX_SELBKGND, "SelBackground", "DUMMY", 0x000000},
      {COLORINDEX_SELTEXT, "SelText", "DUMMY", 0xFFFFFF},
      {COLORINDEX_COMMENT, "Comment", "Comments", 0x808080},
      {COLORINDEX_QUOTEDTEXT, "QuotedText", "Quoted Text", 0x0000FF},
      {COLORINDEX_FUNCTION, "Function", "Function Names", 0xFF0000},
      {COLORINDEX_CODE, "Code", "Code", 0x800000},
      {COLORINDEX_FOREGROUND, "Foreground", "Foreground Text", 0x800000},
      {COLORINDEX_DIRECTIVE, "Directive", "Directives", 0x000000},
      {COLORINDEX_PROPERTY, "Property", "Property Names", 0xFF0000},
      {COLORINDEX_ESCAPE, "Escape", "Escape Codes", 0x800080},
      {COLORINDEX_ASSEMBLY, "Assembly", "Assembly Code", 0x008080},
      {COLORINDEX_CODEALPHA, "CodeAlpha", "Identifiers", 0x008000},
  };
  for (const Expected& e : expected) {
    const ColourIndexInfo& info = GetColourIndexInfo(e.index);
    EXPECT_STREQ(info.keyName, e.key);
    EXPECT_STREQ(info.displayName, e.display) << e.key;
    EXPECT_EQ(info.defaultColour, e.colour) << e.key;
    EXPECT_FALSE(info.bold) << e.key;
    EXPECT_FALSE(info.italic) << e.key;
  }
  const char* viewKeys[] = {"Whitespace", "Background", "NormalText", "SelMargin"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(GetColourIndexInfo(i).keyName, viewKeys[i]);
    EXPECT_STREQ(GetColourIndexInfo(i).displayName, "DUMMY");
  }
  EXPECT_STREQ(GetColourIndexInfo(COLORINDEX_DUMMY1).keyName, "DUMMY1");
  EXPECT_STREQ(GetColourIndexInfo(COLORINDEX_DUMMY2).keyName, "DUMMY2");
  // An index outside the table reads a harmless record.
  EXPECT_STREQ(GetColourIndexInfo(-1).displayName, "DUMMY");
  EXPECT_STREQ(GetColourIndexInfo(COLORINDEX_COUNT).displayName, "DUMMY");
}

} // namespace
