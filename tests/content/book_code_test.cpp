#include "content/book_code.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BookCodeTablesTest, PairTableRows) {
  struct Row {
    int code;
    char16_t first, second;
  } rows[] = {
      {16, 0x05B8, 0x05DA}, {17, 0x05B8, 0xFB3A}, {18, 0x05B0, 0x05DA}, {19, 0x05B0, 0xFB3A},
      {20, 0xFB48, 0},      {21, 0x05B4, 0},      {22, 0x05B8, 0},      {27, 0x05B0, 0},
      {31, 0x05B9, 0},      {32, 0x20, 0},        {64, 0x40, 0},        {65, 0xFB2A, 0},
      {68, 0xFB2D, 0},      {69, 0xFB31, 0},      {74, 0xFB36, 0},      {75, 0xFB38, 0},
      {79, 0xFB3C, 0},      {80, 0xFB3E, 0},      {82, 0xFB41, 0},      {83, 0xFB44, 0},
      {85, 0xFB47, 0},      {86, 0xFB49, 0},      {88, 0xFB4B, 0},      {89, 0x05B9, 0xFB3C},
      {90, 0x05B9, 0x05DC}, {91, 0x5B, 0},        {96, 0x60, 0},        {97, 0x05D0, 0},
      {123, 0x05EA, 0},
  };
  for (const Row& r : rows) {
    const PairRow p = PairOf(static_cast<std::uint8_t>(r.code));
    EXPECT_EQ(p.first, r.first) << r.code;
    EXPECT_EQ(p.second, r.second) << r.code;
  }
  EXPECT_EQ(PairOf(124).first, 124);
  EXPECT_EQ(PairOf(5).first, 5);
}

TEST(BookCodeTablesTest, ByteTableRows) {
  struct Row {
    int code, byte;
  } rows[] = {{16, 234}, {19, 234}, {20, 248}, {21, 0},   {31, 0},   {32, 32},  {64, 64},
              {65, 249}, {68, 249}, {69, 225}, {74, 230}, {75, 232}, {79, 236}, {80, 238},
              {81, 240}, {82, 241}, {83, 244}, {84, 246}, {85, 247}, {86, 249}, {87, 250},
              {88, 229}, {89, 236}, {90, 236}, {91, 91},  {96, 96},  {97, 224}, {123, 250},
              {124, 0},  {127, 0}};
  for (const Row& r : rows) EXPECT_EQ(ByteTable[static_cast<std::size_t>(r.code - 16)], r.byte) << r.code;
  // Every pointed form sits on the letter the 224 table gives it.
  for (int c = 65; c <= 90; ++c) {
    const BookCodeDecomposition d = DecomposeBookCode(static_cast<std::uint8_t>(c));
    EXPECT_EQ(d.letter - 0x05D0 + 224, ByteTable[static_cast<std::size_t>(c - 16)]) << c;
    EXPECT_GE(d.markCount, 1) << c;
  }
}

TEST(BookCodeTablesTest, DecompositionsInCanonicalOrder) {
  struct Row {
    int code;
    char16_t letter;
    std::vector<char16_t> marks;
  } rows[] = {
      {16, 0x05DA, {0x05B8}},         {17, 0x05DA, {0x05B8, 0x05BC}}, {19, 0x05DA, {0x05B0, 0x05BC}},
      {20, 0x05E8, {0x05BC}},         {65, 0x05E9, {0x05C1}},         {66, 0x05E9, {0x05C2}},
      {67, 0x05E9, {0x05BC, 0x05C1}}, {72, 0x05D4, {0x05BC}},         {88, 0x05D5, {0x05B9}},
      {89, 0x05DC, {0x05B9, 0x05BC}}, {90, 0x05DC, {0x05B9}},         {21, 0, {0x05B4}},
      {97, 0x05D0, {}},               {45, u'-', {}},
  };
  for (const Row& r : rows) {
    const BookCodeDecomposition d = DecomposeBookCode(static_cast<std::uint8_t>(r.code));
    EXPECT_EQ(d.letter, r.letter) << r.code;
    EXPECT_EQ(std::vector<char16_t>(d.marks, d.marks + d.markCount), r.marks) << r.code;
  }
}

TEST(BookCodeTablesTest, MeasureGlyphByBase) {
  EXPECT_EQ(MeasureGlyph(16, kBase1488), 0x05DA);  // the letter of a pair
  EXPECT_EQ(MeasureGlyph(20, kBase1488), 0xFB48);
  EXPECT_EQ(MeasureGlyph(16, kBase97), 16);
  EXPECT_EQ(MeasureGlyph(16, kBase224), 234);
  EXPECT_EQ(MeasureGlyph(21, kBase224), 0);
  EXPECT_EQ(MeasureGlyph(97, 500), 224);  // other bases measure like 224
  EXPECT_EQ(MeasureGlyph(125, kBase1488), 125);
  EXPECT_EQ(MeasureGlyph(125, kBase224), 125);
  EXPECT_EQ(MeasureGlyph(200, kBase224), 0);

  WidthTable table{};
  FillWidthTable(table, kBase1488, [](char16_t u) { return static_cast<std::uint16_t>(u & 0xFF); });
  EXPECT_EQ(table[97 - 16], 0xD0);
  EXPECT_EQ(table[16 - 16], 0xDA);
  for (int c = 21; c <= 31; ++c) EXPECT_EQ(table[static_cast<std::size_t>(c - 16)], 0) << c;
}

struct ConvertCase {
  const char* name;
  Bytes text;
  int n;
  int base;
  bool reverse;
  std::u16string expected;
  int extra;
};

// Cases print as their names (test listings stay short and stable).
void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }

class ConvertTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTest, ConvertsForTheBase) {
  const ConvertCase& c = GetParam();
  std::vector<char16_t> out(2 * static_cast<std::size_t>(c.n) + 2, 0xEEEE);
  int written = -1;
  const int extra = ConvertBookCodeRun(c.text.data(), c.n, c.base, c.reverse, out.data(), &written);
  EXPECT_EQ(extra, c.extra);
  EXPECT_EQ(std::u16string(out.data()), c.expected);
  EXPECT_EQ(written, static_cast<int>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ConvertTest,
    testing::Values(
        ConvertCase{"Base97Unchanged", {16, 21, 97, 40, 200}, 5, 97, false, u"\x10\x15\x61(\xC8", 0},
        ConvertCase{"Base97IgnoresReverse", {16, 97, 40}, 3, 97, true, u"\x10\x61(", 0},
        ConvertCase{"Base1488Pair", {16}, 1, 1488, false, u"\x05B8\x05DA", 1},
        ConvertCase{"Base1488PairReversed", {97, 16, 40}, 3, 1488, true, u")\x05DA\x05B8\x05D0", 1},
        ConvertCase{"Base1488Letters", {97, 22, 123, 32, 65}, 5, 1488, false,
                    u"\x05D0\x05B8\x05EA \xFB2A", 0},
        ConvertCase{"Base224DropsPoints", {97, 21, 98, 22, 99}, 5, 224, false, u"\xE0\xE1\xE2", -2},
        ConvertCase{"Base224Reversed", {97, 98, 91}, 3, 224, true, u"]\xE1\xE0", 0},
        ConvertCase{"HighCodesPass", {124, 125, 126, 127, 200}, 5, 224, false, u"|}~\x7F\xC8", 0},
        ConvertCase{"HighCodesPass1488", {124, 127, 5}, 3, 1488, false, u"|\x7F\x05", 0},
        ConvertCase{"OtherBaseLike224", {97, 21}, 2, 1000, false, u"\xE0", -1},
        ConvertCase{"StopsAtZero", {97, 0, 98}, 3, 224, false, u"\xE0", 0},
        ConvertCase{"EarlyZeroReversesOnlyOutput", {97, 98, 0}, 3, 224, true, u"\xE1\xE0", 0},
        ConvertCase{"CountLimits", {97, 98, 99}, 2, 1488, false, u"\x05D0\x05D1", 0},
        ConvertCase{"CountZero", {97}, 0, 1488, true, u"", 0}),
    [](const testing::TestParamInfo<ConvertCase>& p) { return std::string(p.param.name); });

TEST(BookCodeTest, ReverseMirroredTurnsAndMirrorsBrackets) {
  struct Case {
    std::u16string in, out;
  } cases[] = {{u"a(b]", u"[b)a"}, {u"({[<", u"<]})"}, {u"(", u")"}, {u"ab", u"ba"}, {u"", u""}};
  for (Case c : cases) {
    ReverseMirrored(c.in.data(), static_cast<int>(c.in.size()));
    EXPECT_EQ(c.in, c.out);
  }
  ReverseMirrored(nullptr, 3);  // nothing to do
}

TEST(BookCodeTest, TypedTextBackToBookCode) {
  struct Case {
    std::u16string typed;
    int base;
    Bytes expected;
  } cases[] = {
      {u"\x05D0  \x05EA", 1488, {97, 32, 123}},
      {u"\x05D0   \x05B8 ", 1488, {97, 32, 0xB8, 32}},  // a point keeps its low byte
      {u"\xE0\xFA\xFB", 224, {97, 123, 0xFB}},
      {u"ab  c", 97, {'a', 'b', ' ', 'c'}},
      {u"", 1488, {}},
  };
  for (const Case& c : cases) {
    std::uint8_t out[34];
    const std::size_t n = TypedTextToBookCode(c.typed.c_str(), c.base, out);
    EXPECT_EQ(Bytes(out, out + n), c.expected);
    EXPECT_EQ(out[n], 0);
  }
  // Text longer than the pattern is cut so that the 0 still fits.
  const std::u16string longText(40, u'\x05D1');
  std::uint8_t out[34];
  EXPECT_EQ(TypedTextToBookCode(longText.c_str(), 1488, out), 33u);
  EXPECT_EQ(out[33], 0);
}

TEST(BookCodeTest, MeasureByWidths) {
  WidthTable table{};
  table.fill(10);
  for (int c = 21; c <= 31; ++c) table[static_cast<std::size_t>(c - 16)] = 0;
  table[' ' - 16] = 4;
  struct Case {
    Bytes text;  // 0-terminated below
    int maxWidth, maxCount;
    int width, count;
  } cases[] = {
      {{97, 98, 99}, 25, 10, 20, 2},
      {{97, 21, 98, 22, 23, 99}, 20, 10, 20, 5},  // points after the last fit are counted
      {{21, 5, 200, 97}, 0, 10, 0, 3},             // zero widths fit a width of 0
      {{97, 98}, 100, 0, 0, 0},                    // a count of 0 stops at once
      {{97, 32, 98}, 100, 10, 24, 3},
      {{97, 98, 99}, 100, 2, 20, 2},
  };
  for (Case c : cases) {
    c.text.push_back(0);
    int width = c.maxWidth;
    int count = c.maxCount;
    MeasureByWidths(&table, c.text.data(), &width, &count);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(count, c.count);
  }
  int width = 50;
  int count = 7;
  const std::uint8_t text[] = {97, 0};
  MeasureByWidths(nullptr, text, &width, &count);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(count, 7);
}

}  // namespace
