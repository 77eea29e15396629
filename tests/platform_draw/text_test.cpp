// Fonts and text: the test font's exact numbers and pictures, a real Debian
// font, and the font family list.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/font.h"
#include "tests/platform_draw/draw_test_util.h"

namespace pf {
namespace {

using test::Canvas;
using test::Picture;

constexpr Pixel W = 0xFFFFFF;
const std::map<Pixel, char> kLegend{{W, '.'}, {0x000000, '#'}, {0xFF0000, 'r'}, {0x0000FF, 'b'}};

HFont TestFont(int height, int weight = 0) {
  FontDescription d;
  d.height = height;
  d.weight = weight;
  d.faceName = std::u16string(kTestFontFace);
  return CreateFont(d);
}

// Selects a font into a context for the life of the object.
struct Selected {
  HDc dc;
  HFont font;
  HObj old;
  Selected(HDc d, HFont f) : dc(d), font(f), old(SelectObject(d, f)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
};

TEST(TestFont, MetricsFollowTheDocumentedRule) {
  struct Case {
    int height;
    int cell, ascent, descent, unit, leading;
  };
  for (Case c : {Case{0, 16, 12, 4, 8, 0}, Case{12, 12, 9, 3, 6, 0}, Case{14, 14, 11, 3, 7, 0},
                 Case{20, 20, 15, 5, 10, 0}, Case{-12, 15, 12, 3, 7, 3}, Case{2, 2, 2, 0, 2, 0},
                 Case{5000, 1000, 750, 250, 500, 0}}) {
    HFont font = TestFont(c.height);
    TextMetrics m;
    ASSERT_TRUE(GetFontMetrics(font, &m));
    EXPECT_EQ(m.height, c.cell) << c.height;
    EXPECT_EQ(m.ascent, c.ascent) << c.height;
    EXPECT_EQ(m.descent, c.descent) << c.height;
    EXPECT_EQ(m.aveCharWidth, c.unit) << c.height;
    EXPECT_EQ(m.maxCharWidth, c.unit + c.unit / 2) << c.height;
    EXPECT_EQ(m.internalLeading, c.leading) << c.height;
    EXPECT_EQ(m.charSet, kHebrewCharSet);
    EXPECT_EQ(GetFontFaceName(font), kTestFontFace);
    DeleteObject(font);
  }
}

TEST(TestFont, AdvancesByClass) {
  Canvas c(1, 1);
  Selected s(c.dc, TestFont(0));  // unit 8
  struct Case {
    char16_t cp;
    int advance;
  };
  for (Case k : {Case{u'A', 8}, Case{u'a', 8}, Case{u'0', 8}, Case{0x05D0, 8}, Case{0xFB2A, 8},
                 Case{224, 8}, Case{16, 8}, Case{u' ', 4}, Case{u'i', 4}, Case{u'.', 4},
                 Case{0x05D5, 4}, Case{0x05D9, 4}, Case{u'M', 12}, Case{u'w', 12}, Case{0x05E9, 12},
                 Case{0x05DE, 12}, Case{0, 0}, Case{21, 0}, Case{31, 0}, Case{0x05B0, 0},
                 Case{0x05B9, 0}, Case{0x05BC, 0}, Case{0x05C7, 0}, Case{0x0301, 0},
                 Case{0x05BE, 8}, Case{0x05C3, 8}, Case{0x05C8, 8}, Case{0xFB1E, 0}}) {
    EXPECT_EQ(GetCharAdvance(c.dc, k.cp), k.advance) << std::hex << int(k.cp);
  }
}

TEST(TestFont, MeasuringAndFitting) {
  Canvas c(1, 1);
  Selected s(c.dc, TestFont(0));
  const std::u16string run = u"Ai\u05B4M ";  // 8 4 0 12 4
  int partial[5] = {};
  TextFit all = MeasureText(c.dc, run, -1, partial);
  EXPECT_EQ(all.extent, 28);
  EXPECT_EQ(all.height, 16);
  EXPECT_EQ(all.fit, 5);
  EXPECT_EQ(std::vector<int>(partial, partial + 5), (std::vector<int>{8, 12, 12, 24, 28}));
  struct Case {
    int max, fit;
  };
  // The point after "Ai" is counted with it.
  for (Case k : {Case{28, 5}, Case{27, 4}, Case{24, 4}, Case{23, 3}, Case{12, 3}, Case{11, 1},
                 Case{8, 1}, Case{7, 0}, Case{0, 0}}) {
    EXPECT_EQ(MeasureText(c.dc, run, k.max).fit, k.fit) << k.max;
    EXPECT_EQ(MeasureText(c.dc, run, k.max).extent, 28);
  }
  EXPECT_EQ(MeasureText(c.dc, u"\u05B4\u05B8A", 0).fit, 2);
  EXPECT_EQ(MeasureText(c.dc, u"", 10).extent, 0);
  // A short partial buffer is filled only as far as it goes.
  int one[1] = {-1};
  EXPECT_EQ(MeasureText(c.dc, run, -1, one).extent, 28);
  EXPECT_EQ(one[0], 8);
  EXPECT_EQ(MeasureText(nullptr, run).extent, 0);
}

TEST(TestFont, GoldenPictureOfARun) {
  Canvas c(15, 9);
  Selected s(c.dc, TestFont(8));  // ascent 6, unit 4: A 4, i 2, M 6
  SetBkMode(c.dc, BkMode::Transparent);
  ASSERT_TRUE(TextOut(c.dc, 1, 0, u"AiM\u05B4 "));
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             "...............",
                                             ".###.#.#####...",
                                             ".###.#.#####...",
                                             ".###.#.#####...",
                                             ".###.#.#####...",
                                             ".###.#.#####...",
                                             "...............",
                                             "...........##..",
                                             "...........##..",
                                         }));
  // Opaque: the cell behind the run (extent 14 x height 8) takes the
  // background colour first; bold boxes take the whole advance.
  c.surface.Fill(W);
  Selected bold(c.dc, TestFont(8, 700));
  SetBkMode(c.dc, BkMode::Opaque);
  SetBkColor(c.dc, Rgb(0, 0, 255));
  SetTextColor(c.dc, Rgb(255, 0, 0));
  TextOut(c.dc, 0, 1, u"Ai ");
  EXPECT_EQ(Picture(c.surface, kLegend), (std::vector<std::string>{
                                             "...............",
                                             "bbbbbbbb.......",
                                             "rrrrrrbb.......",
                                             "rrrrrrbb.......",
                                             "rrrrrrbb.......",
                                             "rrrrrrbb.......",
                                             "rrrrrrbb.......",
                                             "bbbbbbbb.......",
                                             "bbbbbbbb.......",
                                         }));
}

TEST(TestFont, UnderlineRunsAlongTheBaseline) {
  Canvas c(6, 8);
  FontDescription d;
  d.height = 8;
  d.underline = true;
  d.faceName = std::u16string(kTestFontFace);
  Selected s(c.dc, CreateFont(d));
  SetBkMode(c.dc, BkMode::Transparent);
  TextOut(c.dc, 0, 0, u"A ");
  EXPECT_EQ(Picture(c.surface, kLegend)[6], "######");
  EXPECT_EQ(Picture(c.surface, kLegend)[5], "###...");
}

TEST(TestFont, DrawTextLineCentresAndClips) {
  Canvas c(20, 12);
  Selected s(c.dc, TestFont(8));
  SetBkMode(c.dc, BkMode::Transparent);
  // "AB" is 8 wide and 8 high: centred in 20 x 10 it starts at (6, 1).
  EXPECT_EQ(DrawTextLine(c.dc, u"AB", Rect{0, 0, 20, 10}, kDtCenter | kDtVCenter | kDtSingleLine), 8);
  auto pic = Picture(c.surface, kLegend);
  EXPECT_EQ(pic[1], "....................");
  EXPECT_EQ(pic[2], "......###.###.......");
  EXPECT_EQ(pic[6], "......###.###.......");
  EXPECT_EQ(pic[7], "....................");
  // Left-aligned at the top; '&' is drawn as a character.
  c.surface.Fill(W);
  DrawTextLine(c.dc, u"&A", Rect{2, 0, 20, 10}, kDtLeft | kDtSingleLine);
  EXPECT_EQ(Picture(c.surface, kLegend)[1], "..###.###...........");
  // Too wide for its rectangle: centred over it and cut at its edges.
  c.surface.Fill(W);
  DrawTextLine(c.dc, u"MMMM", Rect{5, 0, 10, 8}, kDtCenter | kDtVCenter);
  pic = Picture(c.surface, kLegend);
  EXPECT_EQ(pic[3], ".....##.##..........");
  for (const std::string& row : pic) {
    EXPECT_EQ(row.substr(0, 5), ".....");
    EXPECT_EQ(row.substr(10), "..........");
  }
  // The same without clipping runs over the rectangle's edges.
  c.surface.Fill(W);
  DrawTextLine(c.dc, u"MMMM", Rect{5, 0, 10, 8}, kDtCenter | kDtVCenter | kDtNoClip);
  EXPECT_EQ(Picture(c.surface, kLegend)[3], "#.#####.#####.#####.");
  // Right and bottom: "AB" ends at the right edge, its cell at the bottom.
  c.surface.Fill(W);
  DrawTextLine(c.dc, u"AB", Rect{0, 0, 20, 10}, kDtRight | kDtBottom | kDtSingleLine);
  pic = Picture(c.surface, kLegend);
  EXPECT_EQ(pic[2], "....................");
  EXPECT_EQ(pic[3], "............###.###.");
  EXPECT_EQ(pic[7], "............###.###.");
}

TEST(TestFont, LonePointIsCentredByItsInk) {
  Canvas c(10, 12);
  Selected s(c.dc, TestFont(8));
  SetBkMode(c.dc, BkMode::Transparent);
  // The 2-pixel mark sits in columns 4 and 5 of a 10-pixel cell, below the
  // baseline of a cell placed at y = 1.
  DrawTextLine(c.dc, u"\u05B4", Rect{0, 0, 10, 10}, kDtCenter | kDtVCenter | kDtSingleLine);
  const auto pic = Picture(c.surface, kLegend);
  EXPECT_EQ(pic[7], "..........");
  EXPECT_EQ(pic[8], "....##....");
  EXPECT_EQ(pic[9], "....##....");
}

TEST(TestFont, StockFontFollowsTheDefaultFace) {
  SetDefaultFontFace(kTestFontFace);
  Canvas c(1, 1);
  TextMetrics m;
  ASSERT_TRUE(GetTextMetrics(c.dc, &m));
  EXPECT_EQ(m.height, kDefaultFontCellHeight);
  EXPECT_EQ(m.aveCharWidth, 8);
  HFont byDefault = CreateFont(FontDescription{});
  SetDefaultFontFace(u"");
  // A font made before the change keeps its face; the stock font follows.
  EXPECT_EQ(GetFontFaceName(byDefault), kTestFontFace);
  EXPECT_EQ(GetFontFaceName(GetStockObject(StockObject::SystemFont)), kDefaultFontFace);
  DeleteObject(byDefault);
}

// ---------------------------------------------------------------------------
// Real fonts from the Debian packages.

HFont RealFont(std::u16string face, int height, int weight = 0) {
  FontDescription d;
  d.height = height;
  d.weight = weight;
  d.faceName = std::move(face);
  return CreateFont(d);
}

// Columns and rows that hold ink (pixels that are not white).
Rect InkBounds(const Surface& s) {
  Rect r{s.Width(), s.Height(), -1, -1};
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.At(x, y) != W) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
    }
  }
  return r;
}

TEST(RealFont, DejaVuSansMeasuresAndDrawsHebrew) {
  Canvas c(120, 30);
  Selected s(c.dc, RealFont(u"DejaVu Sans", 20));
  EXPECT_EQ(GetFontFaceName(s.font), u"DejaVu Sans");
  TextMetrics m;
  ASSERT_TRUE(GetTextMetrics(c.dc, &m));
  EXPECT_EQ(m.height, 20);
  EXPECT_EQ(m.ascent + m.descent, 20);
  EXPECT_GT(m.ascent, m.descent);
  EXPECT_EQ(m.charSet, kHebrewCharSet);
  for (char16_t letter = 0x05D0; letter <= 0x05EA; ++letter) {
    EXPECT_GT(GetCharAdvance(c.dc, letter), 0) << std::hex << int(letter);
  }
  EXPECT_EQ(GetCharAdvance(c.dc, 0x05B4), 0);  // hiriq takes no room
  const std::u16string word = u"\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD";
  const TextFit fit = MeasureText(c.dc, word, 20);
  EXPECT_GT(fit.extent, 20);
  EXPECT_GT(fit.fit, 0);
  EXPECT_LT(fit.fit, static_cast<int>(word.size()));
  SetBkMode(c.dc, BkMode::Transparent);
  TextOut(c.dc, 5, 5, word);
  const Rect ink = InkBounds(c.surface);
  EXPECT_GE(ink.left, 4);
  EXPECT_LE(ink.right, 5 + fit.extent + 2);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 25);
  // Anti-aliased: some pixels are neither white nor black.
  EXPECT_TRUE(std::any_of(c.surface.Pixels().begin(), c.surface.Pixels().end(),
                          [](Pixel p) { return p != W && p != 0; }));
}

TEST(RealFont, LonePointDrawnCentredSitsOverTheCellCentre) {
  for (const char16_t* face : {u"DejaVu Sans", u"David CLM"}) {
    for (char16_t point : {char16_t{0x05B4}, char16_t{0x05B8}, char16_t{0x05B9}, char16_t{0x05BC}}) {
      Canvas c(40, 30);
      Selected s(c.dc, RealFont(face, 24));
      SetBkMode(c.dc, BkMode::Transparent);
      DrawTextLine(c.dc, std::u16string(1, point), Rect{10, 0, 30, 30}, kDtCenter | kDtVCenter);
      const Rect ink = InkBounds(c.surface);
      ASSERT_FALSE(ink.Empty()) << std::hex << int(point);
      // The cell's centre is x = 20; the ink's middle is within a pixel of it.
      EXPECT_NEAR((ink.left + ink.right) / 2.0, 20.0, 1.0) << std::hex << int(point);
    }
  }
}

TEST(RealFont, MissingFaceFallsBackAndBoldIsWider) {
  HFont missing = RealFont(u"No Such Face 1234", 16);
  ASSERT_NE(missing, nullptr);
  EXPECT_FALSE(GetFontFaceName(missing).empty());
  DeleteObject(missing);

  HFont david = RealFont(u"David CLM", 16);
  EXPECT_EQ(GetFontFaceName(david), u"David CLM");
  TextMetrics m;
  ASSERT_TRUE(GetFontMetrics(david, &m));
  EXPECT_EQ(m.charSet, kHebrewCharSet);
  DeleteObject(david);

  Canvas c(1, 1);
  const std::u16string text = u"Hello \u05E9\u05DC\u05D5\u05DD";
  int regular = 0, bold = 0;
  {
    Selected s(c.dc, RealFont(u"DejaVu Sans", 16));
    regular = MeasureText(c.dc, text).extent;
  }
  {
    Selected s(c.dc, RealFont(u"DejaVu Sans", 16, 700));
    bold = MeasureText(c.dc, text).extent;
    TextMetrics b;
    GetTextMetrics(c.dc, &b);
    EXPECT_EQ(b.weight, 700);
  }
  EXPECT_GT(bold, regular);
  // A negative height is the em: the cell is taller.
  HFont em = RealFont(u"DejaVu Sans", -16);
  ASSERT_TRUE(GetFontMetrics(em, &m));
  EXPECT_GT(m.height, 16);
  EXPECT_GT(m.internalLeading, 0);
  DeleteObject(em);
}

TEST(FontFamilies, HebrewFamiliesHaveCharacterSet177) {
  const auto families = ListFontFamilies();
  auto find = [&](std::u16string_view name) {
    return std::find_if(families.begin(), families.end(),
                        [&](const FontFamily& f) { return f.faceName == name; });
  };
  ASSERT_NE(find(u"DejaVu Sans"), families.end());
  EXPECT_EQ(find(u"DejaVu Sans")->charSet, kHebrewCharSet);
  ASSERT_NE(find(u"David CLM"), families.end());
  EXPECT_EQ(find(u"David CLM")->charSet, kHebrewCharSet);
  EXPECT_EQ(find(kTestFontFace), families.end());
  // The callback form: every family once, with its character set; 0 stops it.
  struct Seen {
    int count = 0;
    int hebrew = 0;
  } seen;
  auto collect = [](const FontDescription& f, const TextMetrics& m, unsigned type, LParam p) -> int {
    auto* s = reinterpret_cast<Seen*>(p);
    ++s->count;
    if (m.charSet == kHebrewCharSet) ++s->hebrew;
    return !f.faceName.empty() && type == 4 ? 1 : 0;
  };
  EXPECT_EQ(EnumFontFamilies(nullptr, collect, reinterpret_cast<LParam>(&seen)), 1);
  EXPECT_EQ(seen.count, static_cast<int>(families.size()));
  EXPECT_GE(seen.hebrew, 2);
  auto stop = [](const FontDescription&, const TextMetrics&, unsigned, LParam p) -> int {
    ++*reinterpret_cast<int*>(p);
    return 0;
  };
  int calls = 0;
  EXPECT_EQ(EnumFontFamilies(nullptr, stop, reinterpret_cast<LParam>(&calls)), 0);
  EXPECT_EQ(calls, 1);

  SetTestFontEnumerated(true);
  const auto withTest = ListFontFamilies();
  SetTestFontEnumerated(false);
  ASSERT_FALSE(withTest.empty());
  EXPECT_EQ(withTest.front().faceName, kTestFontFace);
  EXPECT_EQ(withTest.front().charSet, kHebrewCharSet);
}

}  // namespace
}  // namespace pf
