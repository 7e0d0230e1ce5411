#include "text_encoding.h"

#include <cstring>

namespace {

// The upper halves (0xA0..0xFF) of ISO 8859-2 .. -9; 0 marks a byte the part leaves undefined.
// 0x80..0x9F are the C1 controls in every part.
constexpr char16_t ISO_8859_HIGH[8][96] = {
#include "iso8859_tables.inc"
};

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The allowed range of the second byte after lead, as the shortest-form rules give it.
bool SecondByteFits(unsigned char lead, unsigned char b) {
  if (lead == 0xE0) return b >= 0xA0 && b <= 0xBF;
  if (lead == 0xED) return b >= 0x80 && b <= 0x9F;
  if (lead == 0xF0) return b >= 0x90 && b <= 0xBF;
  if (lead == 0xF4) return b >= 0x80 && b <= 0x8F;
  return IsContinuation(b);
}

int SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0; // never a lead byte
}

CharUnit Utf8UnitAt(std::string_view line, int pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(line.data());
  const int size = static_cast<int>(line.size());
  const unsigned char lead = s[pos];
  if (lead < 0x80) return {1, lead, false};
  const int need = SequenceLength(lead);
  if (need == 0) return {1, lead, true};
  int have = 1;
  if (pos + 1 < size && SecondByteFits(lead, s[pos + 1])) {
    have = 2;
    while (have < need && pos + have < size && IsContinuation(s[pos + have])) ++have;
  }
  if (have < need) return {have, lead, true};
  char32_t code = lead & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
  for (int i = 1; i < need; ++i) code = (code << 6) | (s[pos + i] & 0x3F);
  return {need, code, false};
}

CharUnit SingleByteUnitAt(unsigned char b, TextEncoding encoding) {
  if (b < 0x80) return {1, b, false};
  if (encoding == TextEncoding::Ascii) return {1, b, true};
  if (encoding == TextEncoding::Iso8859_1 || b < 0xA0) return {1, b, false};
  const char16_t c = ISO_8859_HIGH[static_cast<int>(encoding) - 2][b - 0xA0];
  return c == 0 ? CharUnit{1, b, true} : CharUnit{1, c, false};
}

// The byte encoding gives c, or -1 when it has none.
int SingleByteFor(char32_t c, TextEncoding encoding) {
  if (c < 0x80) return static_cast<int>(c);
  if (encoding == TextEncoding::Ascii) return -1;
  if (c < 0xA0 || (encoding == TextEncoding::Iso8859_1 && c <= 0xFF)) return static_cast<int>(c);
  if (encoding == TextEncoding::Iso8859_1) return -1;
  const char16_t* table = ISO_8859_HIGH[static_cast<int>(encoding) - 2];
  for (int i = 0; i < 96; ++i)
    if (table[i] != 0 && table[i] == c) return 0xA0 + i;
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Appends the bytes for c in encoding; false (and '?') when it has none.
bool AppendEncoded(std::string& out, char32_t c, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) {
    AppendUtf8(out, c);
    return true;
  }
  const int b = SingleByteFor(c, encoding);
  out += b < 0 ? '?' : static_cast<char>(b);
  return b >= 0;
}

void AppendEscape(std::u16string& out, unsigned char b) {
  static constexpr char HEX[] = "0123456789ABCDEF";
  out += u'\\';
  out += u'x';
  out += static_cast<char16_t>(HEX[b >> 4]);
  out += static_cast<char16_t>(HEX[b & 0xF]);
}

int Utf16Length(const CharUnit& unit) {
  if (unit.escape) return 4 * unit.length;
  return unit.code >= 0x10000 ? 2 : 1;
}

} // namespace

const char* EncodingName(TextEncoding encoding) {
  static constexpr const char* NAMES[] = {"ASCII",      "ISO 8859-1", "ISO 8859-2", "ISO 8859-3",
                                          "ISO 8859-4", "ISO 8859-5", "ISO 8859-6", "ISO 8859-7",
                                          "ISO 8859-8", "ISO 8859-9", "UTF-8"};
  return NAMES[static_cast<int>(encoding)];
}

std::string EncodingSwitch(TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return "-Cu";
  return std::string("-C") + static_cast<char>('0' + static_cast<int>(encoding));
}

std::optional<TextEncoding> EncodingFromSwitch(std::string_view word) {
  if (word.size() < 2 || word[0] != '-') return std::nullopt;
  std::optional<TextEncoding> found;
  // A later C in the same word wins, as the compiler reads the switches in order.
  for (size_t i = 1; i + 1 < word.size(); ++i) {
    if (word[i] != 'C') continue;
    const char next = word[i + 1];
    if (next == 'u')
      found = TextEncoding::Utf8;
    else if (next >= '0' && next <= '9')
      found = static_cast<TextEncoding>(next - '0');
    else
      continue;
    ++i;
  }
  return found;
}

bool IsAscii(std::string_view bytes) {
  const char* p = bytes.data();
  size_t n = bytes.size();
  // Eight bytes at a time: a long ASCII line is the common case.
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; n > 0; ++p, --n)
    if (static_cast<unsigned char>(*p) & 0x80) return false;
  return true;
}

void Utf8Scan::Add(std::string_view bytes) {
  if (IsAscii(bytes)) return;
  nonAscii = true;
  if (!valid) return;
  const int size = static_cast<int>(bytes.size());
  for (int pos = 0; pos < size;) {
    const CharUnit unit = Utf8UnitAt(bytes, pos);
    if (unit.escape) {
      valid = false;
      return;
    }
    pos += unit.length;
  }
}

CharUnit UnitAt(std::string_view line, int pos, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return Utf8UnitAt(line, pos);
  return SingleByteUnitAt(static_cast<unsigned char>(line[pos]), encoding);
}

int UnitStart(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (encoding != TextEncoding::Utf8 || pos <= 0 || pos >= size) return pos;
  const auto* s = reinterpret_cast<const unsigned char*>(line.data());
  if (!IsContinuation(s[pos])) return pos;
  // A unit holding pos starts at a non-continuation byte at most three bytes before it.
  int lead = pos - 1;
  while (lead > 0 && lead > pos - 3 && IsContinuation(s[lead])) --lead;
  if (IsContinuation(s[lead])) return pos; // a stray continuation byte is a unit of its own
  return lead + Utf8UnitAt(line, lead).length > pos ? lead : pos;
}

int NextUnit(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (pos >= size) return size;
  if (pos < 0) return 0;
  return pos + UnitAt(line, pos, encoding).length;
}

int PrevUnit(std::string_view line, int pos, TextEncoding encoding) {
  if (pos <= 0) return 0;
  const int size = static_cast<int>(line.size());
  if (pos > size) return size;
  return UnitStart(line, pos - 1, encoding);
}

bool IsWideChar(char32_t c) {
  // East Asian Wide and Fullwidth blocks: Hangul Jamo, CJK, kana, Hangul syllables,
  // compatibility ideographs, fullwidth forms, the pictographs and the supplementary planes.
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

int UnitCells(const CharUnit& unit) {
  if (unit.escape) return 4 * unit.length;
  return IsWideChar(unit.code) ? 2 : 1;
}

bool IsCombiningMark(char32_t c) {
  if (c < 0x300) return false;
  static constexpr char32_t RANGES[][2] = {
      {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
      {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
      {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x1AB0, 0x1AFF},
      {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0x3099, 0x309A}, {0xFE20, 0xFE2F}};
  for (const auto& range : RANGES)
    if (c >= range[0] && c <= range[1]) return true;
  return false;
}

namespace {

// Only UTF-8 and ISO 8859-6 (its harakat) hold marks at all.
bool MayHoldMarks(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Iso8859_6;
}

bool IsMarkUnit(const CharUnit& unit) { return !unit.escape && IsCombiningMark(unit.code); }

// Whether marks after unit belong to it: a character that is drawn, not a tab, a control or
// an escape.
bool CarriesMarks(const CharUnit& unit) {
  return !unit.escape && unit.code >= 0x20 && unit.code != 0x7F && !(unit.code >= 0x80 && unit.code < 0xA0);
}

// The marks from pos on; the boundary after them.
int SkipMarks(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  while (pos < size) {
    // Every mark's UTF-8 form starts with a byte of 0xCC or more.
    if (encoding == TextEncoding::Utf8 && static_cast<unsigned char>(line[pos]) < 0xCC) break;
    const CharUnit unit = UnitAt(line, pos, encoding);
    if (!IsMarkUnit(unit)) break;
    pos += unit.length;
  }
  return pos;
}

// The boundary after the cluster that starts with unit, whose bytes end at after.
int AfterCluster(std::string_view line, const CharUnit& unit, int after, TextEncoding encoding) {
  if (!MayHoldMarks(encoding) || !(CarriesMarks(unit) || IsMarkUnit(unit))) return after;
  return SkipMarks(line, after, encoding);
}

} // namespace

int NextCluster(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (pos >= size) return size;
  if (pos < 0) return 0;
  const CharUnit unit = UnitAt(line, pos, encoding);
  return AfterCluster(line, unit, pos + unit.length, encoding);
}

int ClusterStart(std::string_view line, int pos, TextEncoding encoding) {
  int start = UnitStart(line, pos, encoding);
  if (!MayHoldMarks(encoding)) return start;
  const int size = static_cast<int>(line.size());
  while (start > 0 && start < size && IsMarkUnit(UnitAt(line, start, encoding))) {
    const int before = UnitStart(line, start - 1, encoding);
    const CharUnit unit = UnitAt(line, before, encoding);
    if (!CarriesMarks(unit) && !IsMarkUnit(unit)) break;
    start = before;
  }
  return start;
}

int PrevCluster(std::string_view line, int pos, TextEncoding encoding) {
  return ClusterStart(line, PrevUnit(line, pos, encoding), encoding);
}

int ColumnAfterUnit(std::string_view line, int& pos, int column, TextEncoding encoding,
                    int tabSize) {
  const CharUnit unit = UnitAt(line, pos, encoding);
  pos = AfterCluster(line, unit, pos + unit.length, encoding);
  if (unit.code == '\t' && !unit.escape) return column + tabSize - column % tabSize;
  return column + UnitCells(unit);
}

int CharIndexOfByte(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (pos > size) pos = size;
  if (!MayHoldMarks(encoding)) return pos < 0 ? 0 : pos;
  int index = 0;
  for (int at = 0; at < pos; ++index) at = NextCluster(line, at, encoding);
  return index;
}

int ByteOfCharIndex(std::string_view line, int index, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (!MayHoldMarks(encoding)) return index < 0 ? 0 : index > size ? size : index;
  int pos = 0;
  for (int i = 0; i < index && pos < size; ++i) pos = NextCluster(line, pos, encoding);
  return pos;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

std::u16string DecodeToUtf16(std::string_view line, TextEncoding encoding) {
  std::u16string out;
  out.reserve(line.size());
  const int size = static_cast<int>(line.size());
  for (int pos = 0; pos < size;) {
    const CharUnit unit = UnitAt(line, pos, encoding);
    if (unit.escape) {
      for (int i = 0; i < unit.length; ++i)
        AppendEscape(out, static_cast<unsigned char>(line[pos + i]));
    } else {
      AppendUtf16(out, unit.code);
    }
    pos += unit.length;
  }
  return out;
}

int Utf16OffsetOfByte(std::string_view line, int pos, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  if (pos > size) pos = size;
  int offset = 0;
  for (int at = 0; at < pos;) {
    const CharUnit unit = UnitAt(line, at, encoding);
    if (at + unit.length > pos) break; // pos inside a unit: its start
    offset += Utf16Length(unit);
    at += unit.length;
  }
  return offset;
}

int ByteOfUtf16Offset(std::string_view line, int offset, TextEncoding encoding) {
  const int size = static_cast<int>(line.size());
  int pos = 0;
  for (int at = 0; pos < size;) {
    const CharUnit unit = UnitAt(line, pos, encoding);
    at += Utf16Length(unit);
    if (at > offset) break;
    pos += unit.length;
  }
  return pos;
}

bool EncodeUtf16(std::u16string_view text, TextEncoding encoding, std::string& out,
                 std::u16string* unconvertible) {
  bool all = true;
  const size_t size = text.size();
  for (size_t i = 0; i < size; ++i) {
    char32_t c = text[i];
    bool ok = true;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      ok = false; // a lone surrogate is no character
      out += '?';
    }
    if (ok) ok = AppendEncoded(out, c, encoding);
    if (!ok) {
      all = false;
      if (unconvertible) AppendUtf16(*unconvertible, c);
    }
  }
  return all;
}

std::string ConvertLine(std::string_view line, TextEncoding from, TextEncoding to, int& lost) {
  std::string out;
  out.reserve(line.size() + line.size() / 4);
  const int size = static_cast<int>(line.size());
  for (int pos = 0; pos < size;) {
    const CharUnit unit = UnitAt(line, pos, from);
    if (unit.escape)
      out.append(line.substr(pos, unit.length));
    else if (!AppendEncoded(out, unit.code, to))
      ++lost;
    pos += unit.length;
  }
  return out;
}
