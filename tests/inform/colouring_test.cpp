// The Inform line colouring: constructs, line-to-line state, token codes, arbitrary bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "colouring.h"
#include "word_classifier.h"

namespace {

constexpr uint32_t STATE_BITS = COOKIE_ALL_BITS & ~COOKIE_WORD_CODE_MASK;
constexpr uint32_t START = COOKIE_STATEMENT_START, ROUTINE = COOKIE_ROUTINE;
constexpr uint32_t BODY = COOKIE_OBJECT_BODY, PROPERTY = COOKIE_EXPECT_PROPERTY, ATTRIBUTES = COOKIE_ATTRIBUTES;
constexpr uint32_t ANY = 0xFFFFFFFFu; // not checked
const std::string SKIP = "*";         // colours not checked

struct Coloured {
  std::string colours; // one hex digit per character
  uint32_t cookie;
};

Coloured ColourOne(const std::string& text, uint32_t cookie = 0, int lineIndex = 1,
                   bool allSpans = true) {
  const int length = static_cast<int>(text.size());
  const std::vector<char> exact(text.begin(), text.end());
  std::vector<StyleRun> runs(text.size() + 1, StyleRun{-7, -7});
  int runCount = -1;
  const uint32_t result = ColourLine(cookie, lineIndex, exact.data(), length, runs.data(), runCount);
  EXPECT_EQ(runCount, length);
  EXPECT_EQ(runs[text.size()].charPos, -7) << "a run was written past the line";
  Coloured out{std::string(text.size(), '?'), result};
  for (int i = 0; i < length; ++i) {
    EXPECT_EQ(runs[i].charPos, i);
    const int colour = runs[i].colourIndex;
    out.colours[i] = colour >= 0 && colour < 16 ? "0123456789ABCDEF"[colour] : '?';
  }
  int count = -1;
  EXPECT_EQ(ColourLine(cookie, lineIndex, text.data(), length, nullptr, count), result);
  std::vector<uint8_t> scratch;
  std::vector<int32_t> part(text.size() + 1, -7);
  for (int from = 0; from <= length; from += allSpans ? 1 : 1 + length / 3) {
    for (int to = from; to <= length; to += allSpans ? 1 : 1 + length / 4) {
      std::fill(part.begin(), part.end(), -7);
      const uint32_t end = ColourLineSpan(cookie, lineIndex, exact.data(), length, from, to,
                                          part.data(), to % 2 == 0, scratch);
      bool same = end == (to % 2 == 0 ? result : 0u) && part[static_cast<size_t>(to - from)] == -7;
      for (int i = from; i < to; ++i) same = same && part[static_cast<size_t>(i - from)] == runs[i].colourIndex;
      EXPECT_TRUE(same) << "characters " << from << " to " << to << " coloured alone differ";
      if (!same) return out;
    }
  }
  return out;
}

struct Expect {
  std::string colours = SKIP;
  uint32_t state = ANY;
  uint32_t code = ANY;
};

void Check(const Coloured& c, const Expect& e) {
  if (e.colours != SKIP) { EXPECT_EQ(c.colours, e.colours); }
  if (e.state != ANY) { EXPECT_EQ(c.cookie & STATE_BITS, e.state); }
  if (e.code != ANY) { EXPECT_EQ(c.cookie & COOKIE_WORD_CODE_MASK, e.code); }
}

TEST(Colouring, LinesColourTheirConstructsAndLeaveTheRightState) {
  const std::string longWith = "with" + std::string(252, 'x'); // would wrap to "with"'s code
  const std::string name(300, 'n');
  struct Row {
    std::string text;
    uint32_t cookie;
    Expect expect;
  };
  const Row rows[] = {
      {"Object -> lamp \"brass lamp\" with name 'lamp', has light;", START,
       {"BBBBBBABBAAAAAA777777777777ABBBBACCCCA777777BABBBACCCCCB", START, 0xFF}},
      {"Class Room", START, {"BBBBBABBBB"}}, // class does not end the statement start
      {"#Ifdef DEBUG;", START, {"BAAAAAAAAAAAB"}},
      {"Frobnicate x", START, {"BBBBBBBBBBAA"}}, // any word starts a statement
      {",", START, {SKIP, BODY | PROPERTY}},
      {"x WITH p", 0, {"AABBBBAC"}},
      {"x Has p q", 0, {"AABBBACAC"}},
      {"x CLASS p q", 0, {"AABBBBBACAC"}},
      {"x without hasnt classes", 0, {std::string(23, 'A'), 0}},
      {"o has a b with", 0, {SKIP, BODY | PROPERTY}},
      {"x with has p", 0, {SKIP, BODY | ATTRIBUTES}},
      {"has light, heavy", 0, {"BBBACCCCCBACCCCC", BODY | ATTRIBUTES | PROPERTY}}, // attributes win
      {"a --> b", 0, {"AAABBAA", BODY}}, // '-' then '->'
      {"a - b", 0, {SKIP, 0}},
      {"x -", 0, {"AAA", ANY, 0x8001}}, // no look past the line for '>'
      {"Verb 'take' * noun", START, {"BBBBA777777ABAAAAA", ANY, 0x8400}},
      {"[ Main x; print \"hi\"; ];", START, {"8988889F999999997777998B", START}},
      {"[; Main; ];", START, {"8998888998B"}}, // after ';' "[;" still expects a name
      {"a ]", 0, {"AAA"}},
      {"x = [ y;", ROUTINE, {"F99999F9", ROUTINE}}, // '[' inside is routine text
      {"  print Print printer 42 new_line hasnt has_x;", ROUTINE,
       {"99999999FFFFF9FFFFFFF9FF9999999999999999FFFFF9", ROUTINE}},
      {"@push x; @ y", ROUTINE, {"EEEEE9F99E9F"}},
      {"[ @name", START, {"89EEEEE"}},
      {"x @foo;", 0, {"AAEEEEB"}},
      {"[ Main", 0, {SKIP, ANY, 0x8400}},
      {"x ! \"a\" 'b' [ ] ;", 0, {"AA666666666666666"}},
      {"! ] not the end", ROUTINE | COOKIE_ROUTINE_NAME, {std::string(15, '6'), ROUTINE | COOKIE_ROUTINE_NAME}},
      {"  \"abc\" ! x", 0x8123, {SKIP, ANY, 0x8123}}, // no token: the code it came with
      {"x \"! [ ]\" ;", 0, {"AA7777777AB"}},
      {"x 'it\"s' y", 0, {"AA777777AA"}},
      {"x \"it's\" y", 0, {"AA777777AA"}},
      {"ab\"c' x", COOKIE_SINGLE_QUOTE, {"77777AA"}},
      {"\"@@92 @00 @'e ^~\\ a\"", 0, {"7DDDD7DDD7D777DDD777"}},
      {"\"ab@", 0, {"777D"}},
      {"\"a@12", 0, {"77DDD"}},
      {"^ ~", 0, {"AAA"}},
      {"Verb meta 'score'", START, {"BBBBABBBBA7777777"}},
      {"Array a table 10", START, {"BBBBBAAABBBBBAAA"}},
      {"with last", 0, {"BBBBACCCC"}},
      {" last", ROUTINE, {"9FFFF"}},
      {"x #last", 0, {"AAAAAAA"}},
      {"#last", START, {"BBBBB"}},
      // Bytes 0x80-0xFF are word bytes: a name with accented letters, ISO 8859-1 or UTF-8,
      // is one word, and no character is cut between two colours.
      {"caf\xE9", ROUTINE, {"FFFF"}},
      {"\xA0\xA0x", START, {"BBB"}},
      {"caf\xC3\xA9 x", ROUTINE, {"FFFFF9F"}},
      {"\xCE\xB1\xCE\xB2 \xD0\xB4\xD0\xBE", START, {"BBBBAAAAA"}},
      {"Object caf\xC3\xA9 \"\xE6\xBC\xA2\"", START, {"BBBBBBAAAAAAA77777"}},
      {"with \xC3\xA9t\xC3\xA9 1", 0, {"BBBBACCCCCAA"}},
      {"[ \xC3\xA9\xC3\xA9; x", START, {"89888899F"}},
      {"x ! \xE6\xBC\xA2\xC3", 0, {"AA666666"}},
      {"print \"\xC3\xA9^\xC3\xA9\";", ROUTINE, {"999999777D7779"}},
      {std::string("a\0;", 3), 0, {"AAB"}},
      {"x " + longWith + " p;", 0, {std::string(2 + longWith.size() + 2, 'A') + "B", START}},
      {name, ROUTINE, {std::string(300, 'F')}},
      {"[ " + name, START, {"89" + std::string(300, '8')}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 60));
    Check(ColourOne(row.text, row.cookie), row.expect);
  }
}

TEST(Colouring, EveryKeywordOfBothLists) {
  const char* statements[] = {
      "box",      "break",   "child",    "children",   "continue", "default",   "do",
      "elder",    "eldest",  "else",     "false",      "font",     "for",       "give",
      "has",      "hasnt",   "if",       "in",         "indirect", "inversion", "jump",
      "metaclass", "move",   "new_line", "nothing",    "notin",    "objectloop", "ofclass",
      "or",       "parent",  "print",    "print_ret",  "provides", "quit",      "random",
      "read",     "remove",  "restore",  "return",     "rfalse",   "rtrue",     "save",
      "sibling",  "spaces",  "string",   "style",      "switch",   "to",        "true",
      "until",    "while",   "younger",  "youngest"};
  for (const std::string word : statements) {
    const std::string capital = static_cast<char>(word[0] - 'a' + 'A') + word.substr(1), n(word.size(), 'F');
    EXPECT_EQ(ColourOne(" " + word + "; " + word + "x " + capital, ROUTINE).colours,
              std::string(word.size() + 3, '9') + n + "F9" + n);
  }
  const char* modifiers[] = {"first", "last", "meta", "only", "private", "replace", "reverse",
                             "string", "table"};
  for (const std::string word : modifiers) {
    EXPECT_EQ(ColourOne("x " + word + " " + word + "s _" + word, 0).colours,
              "AA" + std::string(word.size(), 'B') + std::string(2 * word.size() + 4, 'A'));
  }
}

TEST(Colouring, ResumePointsTakeTheFirstPassUpAgain) {
  std::string line;
  while (line.size() < 300000) line += "x = \"a@@92\"; with name 'b' [ y; ] has z; Verb meta ";
  std::vector<int32_t> whole(line.size()), part(line.size());
  std::vector<uint8_t> scratch;
  ColourResumePoints resume;
  for (const uint32_t cookie : {0u, 0u, COOKIE_DOUBLE_QUOTE}) {
    const int length = static_cast<int>(line.size());
    const uint32_t end = ColourLineSpan(cookie, 3, line.data(), length, 0, length, whole.data(), true, scratch);
    for (const int from : {250000, 70000, 299990, 65536, 3}) {
      EXPECT_EQ(ColourLineSpan(cookie, 3, line.data(), length, from, from + 9, part.data(), true,
                               scratch, &resume), end);
      EXPECT_TRUE(std::equal(part.begin(), part.begin() + 9, whole.begin() + from)) << from;
    }
    EXPECT_EQ(resume.points.size(), 5u); // every 65536 characters or a little more
    line[100000] = '"'; // an edit: the points from there on go
    std::erase_if(resume.points, [](const ColourResumePoint& p) { return p.pos >= 100000; });
  }
}

TEST(Colouring, StateCarriesFromLineToLine) {
  const std::vector<std::pair<std::vector<std::string>, std::vector<Expect>>> files = {
      {{"Object  Workshop \"Workshop\"", "  with  description \"Dusty.\",", "        n_to LampRoom,",
        "  has   light open;", "Object -> box;"},
       {{"BBBBBBAAAAAAAAAAA7777777777"},
        {"AABBBBAACCCCCCCCCCCA77777777B", BODY | PROPERTY},
        {"AAAAAAAACCCCAAAAAAAAAB"},  // the value after a property is plain
        {"AABBBAAACCCCCACCCCB"},     // every word after has is an attribute
        {"BBBBBBABBAAAAB"}}},        // ';' started the next statement
      {{"[ Initialise;", "  location = Workshop; rtrue;", "];", "Constant X;"},
       {{"8988888888889", ROUTINE | START}, // routine text is no token: the start waits
        {"99FFFFFFFF999FFFFFFFF99999999"},
        {"8B"},
        {"BBBBBBBBAAB"}}},
      {{"[", "  ", "  -> Name x;"},
       {{}, {SKIP, ROUTINE | COOKIE_ROUTINE_NAME | START}, {"9999988889F9"}}}, // name still pending
      {{"Object o with before [; Take: rtrue; ],", "has x;"}, // in a body "[;" has no name
       {{"BBBBBBAAABBBBACCCCCCA899FFFF9999999998B"}, {"BBBACB"}}},
      {{"! Header", "", "!! more", "Constant A;"}, {{}, {}, {SKIP, START, 0}, {"BBBBBBBBAAB"}}},
      {{"Object o \"A long", "", "  text\" has light;"},
       {{SKIP, COOKIE_DOUBLE_QUOTE}, {SKIP, COOKIE_DOUBLE_QUOTE}, {"7777777ABBBACCCCCB", START}}},
      {{"Foo", "#", "Bar"}, {{}, {SKIP, 0, 0}, {"AAA"}}}, // cookie 0 on a later line is no file start
  };
  for (const auto& [lines, expected] : files) {
    SCOPED_TRACE(lines[0]);
    uint32_t cookie = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      SCOPED_TRACE(i);
      const Coloured c = ColourOne(lines[i], cookie, static_cast<int>(i));
      Check(c, expected[i]);
      cookie = c.cookie;
    }
  }
}

TEST(Colouring, TokenCodesAndCookieBits) {
  const std::pair<std::string, uint32_t> codes[] = {
      {"with", 0x8404},    {"WiTh", 0x8404}, {"has", 0x8313},   {"Class", 0x8525}, {"w", 0x8101},
      {"wix", 0x8300},     {"without", 0x8704}, {"hasnt", 0x8513}, {"classes", 0x8725}, {"x_1$#", 0x8500},
      {"#", 0x0},          {"*", 0x3},       {"->", 0x2},       {";", 0xFF},       {"\xE9", 0x8100},
      {"\xC3\xA9t\xC3\xA9", 0x8500},
      {"with" + std::string(252, 'x'), 0xFF04}, // the length counts up to 127 only
  };
  for (const auto& [token, code] : codes) {
    int end = -1;
    EXPECT_EQ(ClassifyInformToken(token.data(), 0, static_cast<int>(token.size()), end), code) << token;
    EXPECT_EQ(end, static_cast<int>(token.size()) - 1) << token;
  }
  int runCount = -1;
  const uint32_t cookie = COOKIE_ROUTINE | COOKIE_DOUBLE_QUOTE | 0x8313;
  EXPECT_EQ(ColourLine(cookie | COOKIE_COMMENT, 5, "", 0, nullptr, runCount), cookie);
  EXPECT_EQ(runCount, 0);
  EXPECT_EQ(ColourLine(0, 0, "", 0, nullptr, runCount), COOKIE_STATEMENT_START);
  EXPECT_EQ(ColourOne("x", 0xFC800000u | COOKIE_ROUTINE).cookie & ~COOKIE_ALL_BITS, 0u);
  EXPECT_EQ(ColourLine(0xFFFFFFFFu, 5, "", 0, nullptr, runCount) & ~COOKIE_ALL_BITS, 0u);
  EXPECT_STREQ(GetColourIndexInfo(-1).displayName, "DUMMY");
  EXPECT_STREQ(GetColourIndexInfo(COLORINDEX_COUNT).displayName, "DUMMY");
}

TEST(Colouring, ArbitraryBytesGiveOneProducedColourPerCharacterAndNoReadPastTheLine) {
  for (const char* tail : {"-", "@", "\"@", "\"@@", "!", "'", "[", "]", "x", "#", "\"\\"}) {
    for (uint32_t cookie : {0u, ROUTINE, ROUTINE | COOKIE_ROUTINE_NAME, COOKIE_DOUBLE_QUOTE, BODY | PROPERTY})
      EXPECT_EQ(ColourOne(tail, cookie).colours.find('?'), std::string::npos) << tail;
  }
  std::mt19937 random(20261206);
  const std::string alphabet = "abcwhsltWHCLAS_#$0129 \t\r\n\v\f!\"'[]-><*;,@\\^~.:\xE9\x80\xFF";
  uint32_t cookie = 0;
  for (int line = 0; line < 4000; ++line) {
    std::string text(random() % 48, ' ');
    for (char& ch : text)
      ch = random() % 4 == 0 ? static_cast<char>(random() & 0xFF) : alphabet[random() % alphabet.size()];
    const Coloured c = ColourOne(text, cookie, line, false);
    for (char colour : c.colours) ASSERT_TRUE(colour >= '6' && colour <= 'F') << "line " << line;
    ASSERT_EQ(c.cookie & ~COOKIE_ALL_BITS, 0u);
    ASSERT_EQ(c.cookie & COOKIE_COMMENT, 0u);
    cookie = c.cookie;
  }
}

} // namespace
