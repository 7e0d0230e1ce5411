#pragma once
#include <cstdint>
#include <vector>

// One run of colour in a line: from charPos to the next run's charPos (the last run to the
// end of the line).
struct StyleRun {
  int32_t charPos;
  int32_t colourIndex;
};

// Colour indices. 0-5 belong to the view, 6-15 are produced by the Inform colouring,
// 16 and 17 carry names only.
enum : int {
  COLORINDEX_WHITESPACE = 0,
  COLORINDEX_BKGND = 1,
  COLORINDEX_NORMALTEXT = 2,
  COLORINDEX_SELMARGIN = 3,
  COLORINDEX_SELBKGND = 4,
  COLORINDEX_SELTEXT = 5,
  COLORINDEX_COMMENT = 6,
  COLORINDEX_QUOTEDTEXT = 7,
  COLORINDEX_FUNCTION = 8,
  COLORINDEX_CODE = 9,
  COLORINDEX_FOREGROUND = 10,
  COLORINDEX_DIRECTIVE = 11,
  COLORINDEX_PROPERTY = 12,
  COLORINDEX_ESCAPE = 13,
  COLORINDEX_ASSEMBLY = 14,
  COLORINDEX_CODEALPHA = 15,
  COLORINDEX_DUMMY1 = 16,
  COLORINDEX_DUMMY2 = 17,
  COLORINDEX_COUNT = 18,
};

// Cookie bits carried from line to line. Bits 0-15 are the word classifier's scratch space.
inline constexpr uint32_t COOKIE_COMMENT = 0x10000;
inline constexpr uint32_t COOKIE_SINGLE_QUOTE = 0x20000;
inline constexpr uint32_t COOKIE_DOUBLE_QUOTE = 0x40000;
inline constexpr uint32_t COOKIE_ROUTINE = 0x80000;
inline constexpr uint32_t COOKIE_OBJECT_BODY = 0x100000;
inline constexpr uint32_t COOKIE_EXPECT_PROPERTY = 0x200000;
inline constexpr uint32_t COOKIE_ATTRIBUTES = 0x400000;
inline constexpr uint32_t COOKIE_ROUTINE_NAME = 0x1000000;
inline constexpr uint32_t COOKIE_STATEMENT_START = 0x2000000;

// Colours line lineIndex of Inform source. cookie is the value returned for the line before
// (0 for line 0). Line 0 starts in the statement-start state: the index, not a cookie of 0,
// marks the start, since a later line can also be handed 0. Reads exactly length bytes
// of text (not NUL-terminated). runCount is set to length; with runs non-null,
// runs[0 .. length-1] get one run per character. Returns the cookie in force at the end of
// the line. Allocates nothing.
uint32_t ColourLine(uint32_t cookie, int lineIndex, const char* text, int length,
                    StyleRun* runs, int& runCount);

// A place in a line where the colouring's first pass can be taken up again: the state in
// force before character pos.
struct ColourResumePoint {
  int32_t pos;
  uint32_t state;
};
// The resume points of one line, found while colouring it from startState (the cookie given
// for the line, with the statement start of line 0). They stay right while the line's text
// before each point and the cookie given for the line stay the same; their owner drops the
// points at and after an edit (ColourLineSpan itself notices another cookie).
struct ColourResumePoints {
  static constexpr int STRIDE = 65536;
  uint32_t startState = 0;
  std::vector<ColourResumePoint> points; // increasing pos, about STRIDE apart
};

// The colours ColourLine gives the characters [from, to) of the line, one colour index per
// character in colours[0 .. to - from - 1], without the runs of the rest of the line: a view
// that paints a few columns of a long line pays for one pass over the line's state, not for
// runs of all of it. With wholeLine the state is followed to the end of the line and the
// cookie there is returned, as ColourLine returns it; without, the pass stops after `to` and
// the result is 0. scratch is working room the call grows when it needs more; keeping it
// from call to call means no allocation once it is large enough. It grows to about
// to - from, more only when from falls inside a long word. With resume the pass starts at
// the last of its points before the span, and adds points as it goes, so that colouring the
// end of a long line again does not start from its beginning.
uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, const char* text, int length, int from,
                        int to, int32_t* colours, bool wholeLine, std::vector<uint8_t>& scratch,
                        ColourResumePoints* resume = nullptr);

// Every bit that a returned cookie can hold.
inline constexpr uint32_t COOKIE_WORD_CODE_MASK = 0xFFFF;
inline constexpr uint32_t COOKIE_ALL_BITS =
    COOKIE_WORD_CODE_MASK | COOKIE_COMMENT | COOKIE_SINGLE_QUOTE | COOKIE_DOUBLE_QUOTE |
    COOKIE_ROUTINE | COOKIE_OBJECT_BODY | COOKIE_EXPECT_PROPERTY | COOKIE_ATTRIBUTES |
    COOKIE_ROUTINE_NAME | COOKIE_STATEMENT_START;

// The table of colour indices: key name (settings prefix), display name (options page),
// default colour as COLORREF 0x00BBGGRR, bold, italic. Indices 0-5 and 16-17 have the
// display name "DUMMY"; the defaults of 0-3 stand for system colours.
struct ColourIndexInfo {
  const char* keyName;
  const char* displayName;
  uint32_t defaultColour;
  bool bold;
  bool italic;
};
// An index outside 0 .. COLORINDEX_COUNT-1 gives a record with an empty key name.
const ColourIndexInfo& GetColourIndexInfo(int index);
