#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The character set a document's bytes are read in. The values follow the compiler's -Cn
// switch (0 ASCII, 1..9 ISO 8859-1..9) with UTF-8 (-Cu) after them; ISO 8859-1 is the
// compiler's default.
enum class TextEncoding : uint8_t {
  Ascii = 0,
  Iso8859_1 = 1,
  Iso8859_2,
  Iso8859_3,
  Iso8859_4,
  Iso8859_5,
  Iso8859_6,
  Iso8859_7,
  Iso8859_8,
  Iso8859_9,
  Utf8 = 10,
};
inline constexpr TextEncoding ENC_DEFAULT = TextEncoding::Iso8859_1;

// "UTF-8", "ISO 8859-1" ... "ISO 8859-9", "ASCII": the status bar's and the menu's name.
const char* EncodingName(TextEncoding encoding);
// "-Cu", "-C0" ... "-C9": the compiler switch that reads a source in encoding.
std::string EncodingSwitch(TextEncoding encoding);
// The character set one compiler switch word selects ("-Cu", "-C2", or a run of switches
// such as "-v5Cu" or "-~SC1"); nothing when the word selects none.
std::optional<TextEncoding> EncodingFromSwitch(std::string_view word);

// Whether every byte is below 0x80. A pure-ASCII line takes the byte-per-cell paths.
bool IsAscii(std::string_view bytes);

// What a file's bytes say about UTF-8: whether any byte is non-ASCII, and whether they all
// form valid UTF-8 (shortest forms, no surrogates, nothing above U+10FFFF).
struct Utf8Scan {
  bool nonAscii = false;
  bool valid = true;
  void Add(std::string_view bytes); // scans more of the same text
};
// The encoding a text with no explicit switch is read in: UTF-8 when it is valid UTF-8 with
// some non-ASCII byte, else ISO 8859-1.
inline TextEncoding GuessEncoding(const Utf8Scan& scan) {
  return scan.nonAscii && scan.valid ? TextEncoding::Utf8 : ENC_DEFAULT;
}

// One unit of a line: a character, or bytes that form none (an invalid UTF-8 sequence, a byte
// that its ISO 8859 part leaves undefined, a non-ASCII byte of an ASCII text). Units never
// overlap and never span lines; moves, deletes and selections go from unit to unit.
struct CharUnit {
  int length = 0;     // bytes, 1..4
  char32_t code = 0;  // the character; for an escape the first byte
  bool escape = false; // shown as \xHH for each of its bytes
};
// The unit that starts at pos (0 <= pos < line.size()). An invalid UTF-8 sequence is one
// unit as far as its bytes could still have begun a valid one (a lead byte and the
// continuation bytes it allows), else one byte.
CharUnit UnitAt(std::string_view line, int pos, TextEncoding encoding);
// The start of the unit that holds pos (pos itself when it is a boundary; line.size() stays).
int UnitStart(std::string_view line, int pos, TextEncoding encoding);
// The boundary after / before pos: pos + 1 .. pos + 4, and pos - 1 .. pos - 4, kept within
// 0..line.size().
int NextUnit(std::string_view line, int pos, TextEncoding encoding);
int PrevUnit(std::string_view line, int pos, TextEncoding encoding);

// Cells one unit takes on the fixed-pitch grid: 2 for wide (East Asian) characters, 4 for
// each byte of an escape, else 1. A tab is the caller's (it depends on the column).
int UnitCells(const CharUnit& unit);
bool IsWideChar(char32_t c);

// Combining marks (the accents, points and harakat of U+0300-036F, Cyrillic, Hebrew, Arabic,
// the extended and supplementary marks, the half marks, the kana voicing marks) belong to the
// character before them: a cluster is a character with the marks after it, and takes that
// character's cells. The caret, the columns and Delete go by clusters; Backspace removes one
// unit, so the last mark goes alone. A mark with nothing to carry it (at a line's start,
// after a tab, a control character or an escape) is a cluster of its own and takes a cell.
bool IsCombiningMark(char32_t c);
// The boundary after the cluster that starts at pos; the start of the cluster before pos;
// the start of the cluster that holds pos (pos itself at a boundary; line.size() stays).
int NextCluster(std::string_view line, int pos, TextEncoding encoding);
int PrevCluster(std::string_view line, int pos, TextEncoding encoding);
int ClusterStart(std::string_view line, int pos, TextEncoding encoding);

// The column after the cluster at pos that starts at column, tabs running to the next
// multiple of tabSize; pos moves past the cluster.
int ColumnAfterUnit(std::string_view line, int& pos, int column, TextEncoding encoding,
                    int tabSize);

// Characters as the user counts them (clusters) of line before byte pos, and the byte where
// the cluster with that index starts (line.size() for an index past the end).
int CharIndexOfByte(std::string_view line, int pos, TextEncoding encoding);
int ByteOfCharIndex(std::string_view line, int index, TextEncoding encoding);

// A line as UTF-16 text (what QString holds), escapes written out as "\xHH" per byte; the
// offsets map a byte position to its UTF-16 offset in that text and back (an offset inside a
// character or an escape gives the unit's start).
std::u16string DecodeToUtf16(std::string_view line, TextEncoding encoding);
int Utf16OffsetOfByte(std::string_view line, int pos, TextEncoding encoding);
int ByteOfUtf16Offset(std::string_view line, int offset, TextEncoding encoding);
// Appends a character as UTF-16.
void AppendUtf16(std::u16string& out, char32_t c);

// UTF-16 text (typed, pasted, dropped) as the bytes of encoding. A character encoding has no
// byte for goes in as '?' and is appended to unconvertible (when given); false when any did.
// An unpaired surrogate counts as a character that cannot be converted.
bool EncodeUtf16(std::u16string_view text, TextEncoding encoding, std::string& out,
                 std::u16string* unconvertible = nullptr);

// One line's bytes converted from one encoding to another. Escapes (bytes that were no
// character) are kept as they are; characters the target has no byte for become '?' and are
// counted in lost.
std::string ConvertLine(std::string_view line, TextEncoding from, TextEncoding to, int& lost);
