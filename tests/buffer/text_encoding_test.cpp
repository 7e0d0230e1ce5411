// Character units, cells, UTF-16 mapping and conversion of the encodings a source can use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_encoding.h"

namespace {

constexpr TextEncoding U8 = TextEncoding::Utf8;

// The unit boundaries of a line walked forward and backward.
std::vector<int> Forward(std::string_view s, TextEncoding e) {
  std::vector<int> out{0};
  for (int p = 0; p < static_cast<int>(s.size());) out.push_back(p = NextUnit(s, p, e));
  return out;
}
std::vector<int> Backward(std::string_view s, TextEncoding e) {
  std::vector<int> out{static_cast<int>(s.size())};
  for (int p = static_cast<int>(s.size()); p > 0;) out.insert(out.begin(), p = PrevUnit(s, p, e));
  return out;
}

TEST(TextEncodingTest, UnitsCellsAndUtf16OfTextsInSeveralScripts) {
  struct Row {
    const char* text;
    std::vector<int> bounds; // unit starts and the end
    int cells;               // columns of the whole line
    std::u16string utf16;
  };
  const Row rows[] = {
      {"caf\xC3\xA9", {0, 1, 2, 3, 5}, 4, u"caf\u00E9"},                       // Latin, accent
      {"\xCE\xBB\xCF\x8C", {0, 2, 4}, 2, u"\u03BB\u03CC"},                     // Greek
      {"\xD0\xB4\xD0\xB0!", {0, 2, 4, 5}, 3, u"\u0434\u0430!"},                // Cyrillic
      {"a\xE4\xB8\x80\xE9\xBF\xBF", {0, 1, 4, 7}, 5, u"a\u4E00\u9FFF"},        // CJK: 2 cells
      {"\xE3\x80\xBF\xEA\x93\x90", {0, 3, 6}, 2, u"\u303F\uA4D0"},              // narrow, beside
      {"\xF0\x9F\x98\x80x", {0, 4, 5}, 3, u"\U0001F600x"},                     // outside BMP
      {"\xE9t\xE9", {0, 1, 2, 3}, 9, u"\\xE9t\\xE9"},                          // Latin-1 bytes
      {"\xE2\x82x", {0, 2, 3}, 9, u"\\xE2\\x82x"},                             // cut short
      {"\x80\xBF", {0, 1, 2}, 8, u"\\x80\\xBF"},                               // stray trails
      {"\xC0\xAF\xED\xA0\x80", {0, 1, 2, 3, 4, 5}, 20, u"\\xC0\\xAF\\xED\\xA0\\x80"}, // overlong, surrogate
      {"\xE0\x80\x80", {0, 1, 2, 3}, 12, u"\\xE0\\x80\\x80"},                      // overlong
      {"\xF4\x90\x80\x80", {0, 1, 2, 3, 4}, 16, u"\\xF4\\x90\\x80\\x80"},      // above U+10FFFF
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", {0, 3, 7}, 2, u"\uFFFF\U0010FFFF"},     // the last ones
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string_view s(row.text);
    EXPECT_EQ(Forward(s, U8), row.bounds);
    EXPECT_EQ(Backward(s, U8), row.bounds);
    int cells = 0;
    for (int p = 0; p < static_cast<int>(s.size());) cells = ColumnAfterUnit(s, p, cells, U8, 4);
    EXPECT_EQ(cells, row.cells);
    EXPECT_EQ(DecodeToUtf16(s, U8), row.utf16);
    // Every byte maps to its unit's start, in characters and in UTF-16.
    for (size_t i = 0; i + 1 < row.bounds.size(); ++i) {
      for (int b = row.bounds[i]; b < row.bounds[i + 1]; ++b) {
        EXPECT_EQ(UnitStart(s, b, U8), row.bounds[i]);
        EXPECT_EQ(CharIndexOfByte(s, row.bounds[i], U8), static_cast<int>(i));
        EXPECT_EQ(ByteOfCharIndex(s, static_cast<int>(i), U8), row.bounds[i]);
        const int offset = Utf16OffsetOfByte(s, b, U8);
        EXPECT_EQ(ByteOfUtf16Offset(s, offset, U8), row.bounds[i]);
      }
    }
    EXPECT_EQ(Utf16OffsetOfByte(s, static_cast<int>(s.size()), U8), static_cast<int>(row.utf16.size()));
  }
}

TEST(TextEncodingTest, TabsRunToTheNextStopAfterWideCharacters) {
  const std::string_view s("\xE4\xB8\xAD\t\xC3\xA9\tx"); // wide, tab, e-acute, tab, x
  std::vector<int> columns;
  int column = 0;
  for (int p = 0; p < static_cast<int>(s.size());) columns.push_back(column = ColumnAfterUnit(s, p, column, U8, 4));
  EXPECT_EQ(columns, (std::vector<int>{2, 4, 5, 8, 9}));
}

// A character and the combining marks after it are one cluster: one caret step, one column
// count, the cells of the character; a mark with nothing to carry it stands alone.
TEST(TextEncodingTest, CombiningMarksGoWithTheCharacterBeforeThem) {
  const struct {
    TextEncoding encoding;
    const char* text;
    std::vector<int> clusters; // cluster starts and the end
    int cells;
  } rows[] = {
      {U8, "e\xCC\x81x", {0, 3, 4}, 2},                    // e + acute, x
      {U8, "a\xCC\x81\xCC\xA3" "b", {0, 5, 6}, 2},        // two marks
      {U8, "\xCC\x81" "a", {0, 2, 3}, 2},                   // a mark at the start: alone
      {U8, "\t\xCC\x81", {0, 1, 3}, 5},                     // after a tab: alone
      {U8, "\xE9\xCC\x81", {0, 1, 3}, 5},                   // after an escape: alone
      {U8, "\xCE\xB1\xCD\x82", {0, 4}, 1},                 // Greek alpha + perispomeni
      {U8, "\xD0\xB8\xCC\x86\xD0\xB9", {0, 4, 6}, 2},     // Cyrillic и + breve, then й
      {U8, "\xE3\x81\x8B\xE3\x82\x99", {0, 6}, 2},        // か + voicing mark: wide
      {U8, "x\xE2\x83\x97y", {0, 4, 5}, 2},                 // a symbol mark
      {U8, "\xCC\x80\xCC\x81", {0, 4}, 1},                 // a lone mark carries marks
      {TextEncoding::Iso8859_6, "\xC7\xEE\xC8", {0, 2, 3}, 2}, // alef + fatha, beh
      {TextEncoding::Iso8859_1, "e\xCC", {0, 1, 2}, 2},     // no marks in ISO 8859-1
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string_view s(row.text);
    std::vector<int> forward{0}, backward{static_cast<int>(s.size())};
    for (int p = 0; p < static_cast<int>(s.size());) forward.push_back(p = NextCluster(s, p, row.encoding));
    for (int p = static_cast<int>(s.size()); p > 0;) backward.insert(backward.begin(), p = PrevCluster(s, p, row.encoding));
    EXPECT_EQ(forward, row.clusters);
    EXPECT_EQ(backward, row.clusters);
    int cells = 0;
    std::vector<int> stops{0};
    for (int p = 0; p < static_cast<int>(s.size());) {
      cells = ColumnAfterUnit(s, p, cells, row.encoding, 4);
      stops.push_back(p);
    }
    EXPECT_EQ(stops, row.clusters);
    EXPECT_EQ(cells, row.cells);
    for (size_t i = 0; i + 1 < row.clusters.size(); ++i) {
      EXPECT_EQ(CharIndexOfByte(s, row.clusters[i], row.encoding), static_cast<int>(i));
      EXPECT_EQ(ByteOfCharIndex(s, static_cast<int>(i), row.encoding), row.clusters[i]);
      for (int b = row.clusters[i]; b < row.clusters[i + 1]; ++b) EXPECT_EQ(ClusterStart(s, b, row.encoding), row.clusters[i]);
    }
  }
  for (char32_t c : {0x300u, 0x36Fu, 0x483u, 0x5B0u, 0x64Bu, 0x670u, 0x1DC0u, 0x20D7u, 0x3099u, 0xFE2Fu})
    EXPECT_TRUE(IsCombiningMark(c)) << static_cast<unsigned>(c);
  for (char32_t c : {0x2FFu, 0x370u, 0x482u, 0x5BEu, 0x660u, 0x1DBFu, 0x2100u, 0x309Bu, 0xFE30u, 0x41u})
    EXPECT_FALSE(IsCombiningMark(c)) << static_cast<unsigned>(c);
}

TEST(TextEncodingTest, SwitchesGuessesAndSingleByteParts) {
  EXPECT_EQ(EncodingFromSwitch("-Cu"), U8);
  EXPECT_EQ(EncodingFromSwitch("-C0"), TextEncoding::Ascii);
  EXPECT_EQ(EncodingFromSwitch("-C9"), TextEncoding::Iso8859_9);
  EXPECT_EQ(EncodingFromSwitch("-v5Cu"), U8);
  EXPECT_EQ(EncodingFromSwitch("-CuC2"), TextEncoding::Iso8859_2); // the later one wins
  EXPECT_EQ(EncodingFromSwitch("-Cx"), std::nullopt);
  EXPECT_EQ(EncodingFromSwitch("+Cu"), std::nullopt);
  EXPECT_EQ(EncodingFromSwitch("-C"), std::nullopt);
  EXPECT_EQ(EncodingSwitch(U8), "-Cu");
  EXPECT_EQ(EncodingSwitch(TextEncoding::Iso8859_1), "-C1");
  EXPECT_STREQ(EncodingName(TextEncoding::Iso8859_5), "ISO 8859-5");

  Utf8Scan ascii, utf8, latin;
  ascii.Add("plain ASCII text, longer than a word of eight");
  utf8.Add("caf\xC3\xA9 au lait and then more ASCII");
  latin.Add("caf\xC3\xA9");
  latin.Add("caf\xE9");
  EXPECT_EQ(GuessEncoding(ascii), TextEncoding::Iso8859_1);
  EXPECT_EQ(GuessEncoding(utf8), U8);
  EXPECT_EQ(GuessEncoding(latin), TextEncoding::Iso8859_1);
  EXPECT_FALSE(IsAscii("12345678\x80"));

  // Single-byte parts: every byte one unit; Cyrillic in 8859-5, an undefined byte of
  // 8859-3 and a high byte in ASCII are escapes.
  EXPECT_EQ(DecodeToUtf16("\xC4\xE0", TextEncoding::Iso8859_5), u"\u0424\u0440");
  EXPECT_EQ(DecodeToUtf16("\xA5", TextEncoding::Iso8859_3), u"\\xA5");
  EXPECT_EQ(DecodeToUtf16("\xE9", TextEncoding::Ascii), u"\\xE9");
  EXPECT_EQ(DecodeToUtf16("\xE9\xFF", TextEncoding::Iso8859_1), u"\u00E9\u00FF");
  EXPECT_EQ(Forward("\xC3\xA9", TextEncoding::Iso8859_1), (std::vector<int>{0, 1, 2}));
}

TEST(TextEncodingTest, EncodingAndConvertingReportWhatDoesNotFit) {
  std::string out;
  std::u16string lost;
  EXPECT_TRUE(EncodeUtf16(u"caf\u00E9 \u4E2D\U0001F600", U8, out, &lost));
  EXPECT_EQ(out, "caf\xC3\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80");
  out.clear();
  EXPECT_FALSE(EncodeUtf16(u"\u00E9\u03BB\u20AC", TextEncoding::Iso8859_1, out, &lost));
  EXPECT_EQ(out, "\xE9??");
  EXPECT_EQ(lost, u"\u03BB\u20AC");
  out.clear();
  lost.clear();
  EXPECT_FALSE(EncodeUtf16(std::u16string(1, char16_t(0xD800)) + u"a", U8, out, &lost));
  EXPECT_EQ(out, "?a");
  out.clear();
  EXPECT_FALSE(EncodeUtf16(u"a" + std::u16string(1, char16_t(0xDBFF)), U8, out));
  EXPECT_EQ(out, "a?");
  out.clear();
  EXPECT_TRUE(EncodeUtf16(u"\u0424", TextEncoding::Iso8859_5, out));
  EXPECT_EQ(out, "\xC4");

  int dropped = 0;
  EXPECT_EQ(ConvertLine("caf\xE9", TextEncoding::Iso8859_1, U8, dropped), "caf\xC3\xA9");
  EXPECT_EQ(ConvertLine("\xC3\xA9\xCE\xBB\xE9x", U8, TextEncoding::Iso8859_1, dropped), "\xE9?\xE9x");
  EXPECT_EQ(dropped, 1); // lambda; the invalid byte is kept as it was
}

} // namespace
