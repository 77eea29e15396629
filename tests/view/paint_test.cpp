// Painting with the test font: exact pixels. A letter of advance w drawn with
// its cell at (x, y) is a box of columns x .. x + w - 2 and rows y + 1 ..
// y + ascent - 1 (ascent 12 in a cell of 16); a point is a 2 x 2 box just
// below the baseline (rows y + 13, y + 14), centred over its cell.
//
// Golden pictures: tests/view/golden/*.txt, one character per pixel ('.'
// white, '#' black, 'N' navy, 'B' blue, 'Y' yellow). To write them again after
// a deliberate change, run the tests with CORVELLA_UPDATE_GOLDEN=1 and review
// the difference before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/view/view_test_support.h"

#ifndef CORVELLA_VIEW_GOLDEN_DIR
#error "CORVELLA_VIEW_GOLDEN_DIR must name tests/view/golden"
#endif

namespace view_test {
namespace {

std::string Join(const std::vector<std::string>& rows) {
  std::string all;
  for (const std::string& row : rows) all += row + "\n";
  return all;
}

void ExpectGolden(const std::string& name, const std::vector<std::string>& picture) {
  const std::string path = std::string(CORVELLA_VIEW_GOLDEN_DIR) + "/" + name + ".txt";
  const std::string actual = Join(picture);
  const char* update = std::getenv("CORVELLA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << "no golden picture " << path << "; run with CORVELLA_UPDATE_GOLDEN=1";
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(expected.str(), actual) << "picture " << name << " differs; drawn:\n" << actual;
}

class PaintTest : public ViewTest {
 protected:
  // Columns (from `left`) of row y whose pixel is not white.
  std::set<int> InkColumns(int y, int left = 0, int right = kWidth) const {
    std::set<int> columns;
    for (int x = left; x < right; ++x) {
      if (surface.At(x, y) != 0xFFFFFF) columns.insert(x);
    }
    return columns;
  }
  static std::set<int> Range(int first, int last) {
    std::set<int> r;
    for (int x = first; x <= last; ++x) r.insert(x);
    return r;
  }
  bool RowWhite(int y, int left = 0, int right = kWidth) const { return InkColumns(y, left, right).empty(); }
};

TEST_F(PaintTest, GoldenPointedText) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 96, 48}), nullptr);
  DocumentBuilder doc;
  // Display order, points before their letters: hiriq on bet, holam with
  // lamed (89), a lone holam on dalet, qamats with final kaf (16).
  doc.Add(0xB1, 0, Bytes{21, 'b', 'c', 89, ' ', 31, 'd', 16, 'e'});
  doc.Add(0x12, 0, "bb");  // navy
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(PaintArticle(view, true), 0);
  ExpectGolden("pointed", Picture(pf::Rect{0, 0, 96, 48}));
}

TEST_F(PaintTest, GoldenHighlightAcrossTwoLines) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 60, 40}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x31, 0, "bbb ccc ddd");  // lines "ccc ddd" (offsets 6-12) and "bbb" (2-4)
  ASSERT_EQ(Layout(doc), 0);
  view->highlightStart = 3;
  view->highlightEnd = 8;
  ASSERT_EQ(PaintArticle(view, true), 0);
  ExpectGolden("highlight", Picture(pf::Rect{0, 0, 60, 40}));
}

TEST_F(PaintTest, GoldenSeparatorAndColours) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 60, 104}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x81, 0, "bb");
  doc.Add(0xC7, 185, "");
  doc.Add(0x0C, 0, "b");  // large and bold: blue
  doc.Add(0x06, 0, "b");  // large size, navy
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(PaintArticle(view, true), 0);
  ExpectGolden("separator", Picture(pf::Rect{0, 0, 60, 104}));
}

TEST_F(PaintTest, GoldenLeadWords) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 100, 40}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x01, 0x41, "b ccc");     // lead word to the left
  doc.Add(0x31, 0x40, "ddd cc b");  // right to left: the lead word "b" to the right
  ASSERT_EQ(Layout(doc), 0);
  view->highlightStart = 2;
  view->highlightEnd = 3;
  ASSERT_EQ(PaintArticle(view, true), 0);
  ExpectGolden("lead_words", Picture(pf::Rect{0, 0, 100, 40}));
}

TEST_F(PaintTest, PointsSitOverTheirLetters) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 40, 16}), nullptr);
  SelectArticleFont(view, 0x11);
  struct Case {
    Bytes text;
    std::set<int> letterColumns;  // row 5
    std::set<int> pointColumns;   // row 13
  };
  // Cells from the right edge 40: the last byte in [32, 40), the one before
  // it in [24, 32).
  const Case cases[] = {
      {{'b', 'c'}, [] { auto s = Range(24, 30); s.merge(Range(32, 38)); return s; }(), {}},
      {{'b', 22, 'c'}, [] { auto s = Range(24, 30); s.merge(Range(32, 38)); return s; }(), {35, 36}},
      {{'b', 31, 'c'}, [] { auto s = Range(24, 30); s.merge(Range(32, 38)); return s; }(), {32, 33}},
      // Holam and lamed: the lamed in the cell, the holam in the 3 pixels
      // around its left edge, and a point before it in the 3 at the left.
      {{'b', 89}, [] { auto s = Range(24, 30); s.merge(Range(32, 38)); return s; }(), {30, 31}},
      {{'b', 22, 89}, [] { auto s = Range(24, 30); s.merge(Range(32, 38)); return s; }(), {30, 31, 32, 33}},
      // Final kaf with qamats: both in one cell of the letter's width.
      {{16}, Range(32, 38), {35, 36}},
  };
  for (const Case& c : cases) {
    surface.Fill(0xFFFFFF);
    DrawPointedRun(view, c.text.data(), static_cast<int>(c.text.size()), pf::Rect{0, 0, 40, 16});
    EXPECT_EQ(InkColumns(5, 0, 40), c.letterColumns);
    EXPECT_EQ(InkColumns(13, 0, 40), c.pointColumns);
  }
  EXPECT_EQ(pf::GetBkMode(dc), pf::BkMode::Transparent);
}

TEST_F(PaintTest, RuleLiesInTheMiddleOfItsRow) {
  App.Font = TestFontBlock(17);
  ASSERT_NE(MakeView(pf::Rect{0, 10, 240, 100}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x07, 20, "");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(view->lines[0].height, 17);
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(InkColumns(10 + 8), Range(0, 19));
  EXPECT_TRUE(RowWhite(10 + 7));
  EXPECT_TRUE(RowWhite(10 + 9));
  EXPECT_EQ(surface.At(0, 18), 0x000000u);
}

TEST_F(PaintTest, OnlyRowsThatFitAreDrawnAndCounted) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 100}), nullptr);
  DocumentBuilder doc;
  for (int i = 0; i < 10; ++i) doc.Add(0x01, 0, "b");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(view->paintedCount, 6);
  EXPECT_EQ(InkColumns(5 * 16 + 5), Range(0, 6));
  for (int y = 96; y < 100; ++y) EXPECT_TRUE(RowWhite(y)) << y;

  // A blank row after the last line drawn counts even when it does not fit.
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 40}), nullptr);
  DocumentBuilder blank;
  blank.Add(0x01, 0, "b");
  blank.Add(0x81, 0, "c");
  blank.Add(0x01, 0, "d");
  ASSERT_EQ(Layout(blank), 0);
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(view->paintedCount, 3);
}

TEST_F(PaintTest, TopLineOnABlankRowLeavesTheTopRowEmpty) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 100}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x81, 0, "b");
  doc.Add(0x01, 0, "c");
  doc.Add(0x01, 0, "d");
  ASSERT_EQ(Layout(doc), 0);
  view->topLine = 1;
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(view->paintedCount, 2);
  for (int y = 0; y < 16; ++y) EXPECT_TRUE(RowWhite(y)) << y;
  EXPECT_EQ(InkColumns(16 + 5), Range(0, 6));
  EXPECT_EQ(InkColumns(32 + 5), Range(0, 6));
  EXPECT_TRUE(RowWhite(48 + 5));
}

TEST_F(PaintTest, TopLineBeyondTheDocumentIsPulledBack) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 64}), nullptr);
  DocumentBuilder doc;
  for (int i = 0; i < 10; ++i) doc.Add(0x01, 0, "b");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(view->maxTopLine, 6);
  view->topLine = 11;
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(view->topLine, 6);
  EXPECT_EQ(view->paintedCount, 4);
  view->topLine = 10;  // not beyond rowCount: stays, showing nothing
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(view->topLine, 10);
  EXPECT_EQ(view->paintedCount, 0);
}

TEST_F(PaintTest, TextColoursFollowTheKeyAndTheContextIsRestored) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  doc.Add(0x01, 0, "b");
  doc.Add(0x02, 0, "b");
  doc.Add(0x0C, 0, "b");
  doc.Add(0x06, 0, "b");
  doc.Add(0x08, 0, "b");
  ASSERT_EQ(Layout(doc), 0);
  pf::HFont before = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
  pf::SetTextColor(dc, pf::Rgb(1, 2, 3));
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), before);
  EXPECT_EQ(pf::GetTextColor(dc), pf::Rgb(1, 2, 3));
  int y = 0;
  const pf::Pixel expected[] = {0x000000, 0x000080, 0x0000FF, 0x000080, 0x000000};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(surface.At(1, y + 3), expected[i]) << i;
    y += view->lines[i].height;
  }
}

TEST_F(PaintTest, LeftToRightTextIsDrawnFromItsBytes) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  doc.Add(0x81, 0, "f");  // 'f' is 8 wide; as vav it would be 4
  doc.Add(0x11, 0, "f");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(view->lines[0].width, 8);
  EXPECT_EQ(view->lines[1].width, 4);
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(InkColumns(5), Range(0, 6));
  EXPECT_EQ(InkColumns(32 + 5), Range(0, 2));
}

TEST_F(PaintTest, HighlightEndingAtALinesStartDrawsNothingOfIt) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  const std::uint16_t first = doc.Add(0x01, 0, "bb");
  const std::uint16_t second = doc.Add(0x01, 0, "cc");
  ASSERT_EQ(Layout(doc), 0);
  view->highlightStart = first;
  view->highlightEnd = second;
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(surface.At(0, 0), 0xFFFF00u);  // the box of "bb", rows -1 to 16
  EXPECT_EQ(surface.At(3, 5), 0x0000FFu);
  EXPECT_EQ(surface.At(15, 16), 0xFFFF00u);
  EXPECT_EQ(surface.At(16, 5), 0xFFFFFFu);
  EXPECT_EQ(surface.At(0, 17), 0x000000u);  // "cc" as painted
  EXPECT_EQ(surface.At(9, 21), 0x000000u);
  EXPECT_EQ(surface.At(7, 21), 0xFFFFFFu);
}

TEST_F(PaintTest, NothingToPaintWithoutDocument) {
  ASSERT_NE(MakeView(), nullptr);
  EXPECT_EQ(PaintArticle(view, true), kViewMissing);
  EXPECT_EQ(PaintHighlight(view), kViewMissing);
  EXPECT_EQ(PaintArticle(nullptr, true), kViewMissing);
  EXPECT_EQ(PaintHighlight(nullptr), kViewMissing);
}

TEST_F(PaintTest, FillAreaUsesTheStockBrush) {
  FillArea(dc, 2, 3, 4, 5, pf::StockObject::BlackBrush);
  EXPECT_EQ(surface.At(2, 3), 0x000000u);
  EXPECT_EQ(surface.At(5, 7), 0x000000u);
  EXPECT_EQ(surface.At(6, 7), 0xFFFFFFu);
  EXPECT_EQ(surface.At(5, 8), 0xFFFFFFu);
}

}  // namespace
}  // namespace view_test
