// The view record, its line table and its font cache.
#include <gtest/gtest.h>

#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

int CountVariants(const ArticleView* v) {
  int n = 0;
  for (const FontVariant* r = v->fonts; r != nullptr; r = r->next) ++n;
  return n;
}

class ArticleViewTest : public ViewTest {};

TEST_F(ArticleViewTest, CreatesAnEmptyViewWithItsRectangleAndTable) {
  EXPECT_EQ(CreateArticleView(nullptr, nullptr, &App.Font, 100), nullptr);

  const pf::Rect rect{5, 30, 230, 300};
  ASSERT_NE(MakeView(rect, 100), nullptr);
  EXPECT_EQ(view->dc, dc);
  EXPECT_EQ(view->left, 5);
  EXPECT_EQ(view->top, 30);
  EXPECT_EQ(view->width, 225);
  EXPECT_EQ(view->height, 270);
  EXPECT_EQ(view->capacity, 100);
  ASSERT_NE(view->lines, nullptr);
  EXPECT_EQ(view->lines[0].flags, 0);
  EXPECT_EQ(view->document, nullptr);
  EXPECT_EQ(view->fonts, nullptr);
  EXPECT_EQ(view->fontBlock.FontSize, 16);
  EXPECT_EQ(std::u16string(view->fontBlock.FontName), std::u16string(pf::kTestFontFace));
  EXPECT_EQ(ArticleViewTopLine(view), 0);
  EXPECT_EQ(ArticleViewTopLine(nullptr), 0);
}

TEST_F(ArticleViewTest, ViewWithoutTableGetsOneFromLayout) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, kWidth, kHeight}, 0), nullptr);
  EXPECT_EQ(view->lines, nullptr);
  DocumentBuilder doc;
  doc.Add(0x01, 0, "bb");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(view->capacity, 128);
  EXPECT_EQ(view->lineCount, 1);
}

// Cell height and weight of the font selected for a key, by configured size.
TEST_F(ArticleViewTest, FontHeightsFollowKeyAndSize) {
  struct Case {
    int size;
    unsigned key;
    int height;
    int weight;
  };
  const Case cases[] = {
      {0, 0x01, 16, 400},   // height 0: the platform's default size
      {0, 0x04, 20, 400},  {0, 0x02, 14, 400},  {18, 0x01, 18, 400}, {18, 0x04, 22, 400},
      {18, 0x02, 13, 400}, {18, 0x06, 22, 400},  // 0x04 decides the size
      {18, 0x09, 18, 700}, {18, 0x0C, 22, 700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " key " << c.key);
    App.Font = TestFontBlock(c.size);
    ASSERT_NE(MakeView(), nullptr);
    pf::HFont before = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
    EXPECT_EQ(SelectArticleFont(view, c.key), before);
    pf::TextMetrics metrics;
    ASSERT_TRUE(pf::GetTextMetrics(dc, &metrics));
    EXPECT_EQ(metrics.height, c.height);
    EXPECT_EQ(metrics.weight, c.weight);
    pf::SelectObject(dc, before);
    DestroyArticleView(view);
    view = nullptr;
  }
}

TEST_F(ArticleViewTest, ColourRequestSetsTheKeysTextColour) {
  ASSERT_NE(MakeView(), nullptr);
  struct Case {
    unsigned style;
    pf::ColorRef colour;
  };
  const Case cases[] = {
      {0x06 | kSelectWithColour, kArticleNavy},     // 0x02 decides the colour
      {0x0C | kSelectWithColourToo, kArticleBlue},  // large and bold
      {0x0E | kSelectWithColour, kArticleNavy},     {0x08 | kSelectWithColour, kArticleBlack},
      {0x04 | kSelectWithColour, kArticleBlack},    {0xB1 | kSelectWithColour, kArticleBlack},
  };
  for (const Case& c : cases) {
    pf::SetTextColor(dc, pf::Rgb(1, 2, 3));
    SelectArticleFont(view, c.style);
    EXPECT_EQ(pf::GetTextColor(dc), c.colour) << c.style;
  }
  pf::SetTextColor(dc, pf::Rgb(1, 2, 3));
  SelectArticleFont(view, 0x02);  // no request: the colour stays
  EXPECT_EQ(pf::GetTextColor(dc), pf::Rgb(1, 2, 3));
}

TEST_F(ArticleViewTest, StylesOfOneKeyShareOneFontAndTable) {
  ASSERT_NE(MakeView(), nullptr);
  SelectArticleFont(view, 0xB1);
  pf::HFont first = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
  const WidthTable* table = view->widths;
  SelectArticleFont(view, 0xD1);
  EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), first);
  EXPECT_EQ(view->widths, table);
  EXPECT_EQ(CountVariants(view), 1);
  EXPECT_EQ(view->fonts->key, 0x11);
  SelectArticleFont(view, 0xD2);
  EXPECT_EQ(CountVariants(view), 2);
  EXPECT_EQ(view->fonts->key, 0x12);  // newest first
}

TEST_F(ArticleViewTest, WidthTableHoldsTheMeasureGlyphWidths) {
  ASSERT_NE(MakeView(), nullptr);
  SelectArticleFont(view, 0x11);
  ASSERT_NE(view->widths, nullptr);
  const WidthTable& w = *view->widths;
  EXPECT_EQ(w[97 - 16], 8);   // alef
  EXPECT_EQ(w[102 - 16], 4);  // vav: narrow
  EXPECT_EQ(w[110 - 16], 12); // mem: wide
  EXPECT_EQ(w[16 - 16], 8);   // final kaf with qamats: measured by its letter
  EXPECT_EQ(w[32 - 16], 4);   // space
  for (int c = 21; c <= 31; ++c) EXPECT_EQ(w[c - 16], 0) << c;
  EXPECT_EQ(w[127 - 16], 8);

  // Another base measures other glyphs: with 97 the codes themselves.
  App.Font.FontAsciiBase = kBase97;
  ReleaseArticleFonts(view);
  SelectArticleFont(view, 0x11);
  EXPECT_EQ((*view->widths)[102 - 16], 8);   // 'f'
  EXPECT_EQ((*view->widths)[109 - 16], 12);  // 'm'
}

TEST_F(ArticleViewTest, NewFontMarksItsTableUntilItIsSelected) {
  ASSERT_NE(MakeView(), nullptr);
  FontVariant record{};
  pf::HFont font = MakeVariantFont(view, &record, 0x04);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(record.font, font);
  EXPECT_EQ(record.widths[0], kWidthMarkerFirst);
  EXPECT_EQ(record.widths[1], kWidthMarkerSecond);
  pf::DeleteObject(font);

  // A font not in the cache, or none, changes nothing.
  const WidthTable* before = view->widths;
  FillWidthTable(view, nullptr, true);
  FillWidthTable(view, pf::GetStockObject(pf::StockObject::SystemFont), true);
  EXPECT_EQ(view->widths, before);
}

TEST_F(ArticleViewTest, NewFontBlockRemakesFontsAndTablesAreMeasuredAgain) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  doc.Add(0xB1, 0, "bbb ccc");
  doc.Add(0xB2, 0, "ddd");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(CountVariants(view), 3);  // layout starts from key 1
  EXPECT_EQ(view->lines[0].height, 16);
  EXPECT_EQ(view->lines[0].width, 52);  // six letters of 8 and a space of 4

  const FontBlock bigger = TestFontBlock(20);
  EXPECT_EQ(SetArticleFont(view, &bigger), 0);
  EXPECT_EQ(view->fontBlock.FontSize, 20);
  EXPECT_EQ(CountVariants(view), 3);
  for (const FontVariant* r = view->fonts; r != nullptr; r = r->next) {
    ASSERT_NE(r->font, nullptr);
    EXPECT_NE(r->widths[0], kWidthMarkerFirst) << "measured again by the layout";
  }
  EXPECT_EQ(view->lines[0].height, 20);
  EXPECT_EQ(view->lines[0].width, 65);  // letters of 10, a space of 5
  EXPECT_EQ(view->lines[1].height, 15); // 20 * 6 / 8
  EXPECT_GT(view->paintedCount, 0);

  // Without a document there is nothing to lay out: 1, nothing painted.
  ArticleView* empty = CreateArticleView(dc, nullptr, &App.Font, 10);
  EXPECT_EQ(SetArticleFont(empty, &bigger), 1);
  DestroyArticleView(empty);
  EXPECT_EQ(SetArticleFont(nullptr, &bigger), kViewMissing);
}

TEST_F(ArticleViewTest, ReleasedFontsAreMadeAgainInNewRecords) {
  ASSERT_NE(MakeView(), nullptr);
  SelectArticleFont(view, 0x01);
  SelectArticleFont(view, 0x02);
  ReleaseArticleFonts(view);
  EXPECT_EQ(CountVariants(view), 2);
  for (const FontVariant* r = view->fonts; r != nullptr; r = r->next) EXPECT_EQ(r->font, nullptr);
  SelectArticleFont(view, 0x01);
  EXPECT_EQ(CountVariants(view), 3);
  ASSERT_NE(view->fonts->font, nullptr);
  EXPECT_EQ(view->fonts->key, 0x01);
  EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), view->fonts->font);
  EXPECT_EQ(view->widths, &view->fonts->widths);
}

TEST_F(ArticleViewTest, ThreeHundredLinesGrowTheTableTo356) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  for (int i = 0; i < 300; ++i) doc.Add(0x31, 0, "bbb");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(view->lineCount, 300);
  EXPECT_EQ(view->capacity, 356);
  EXPECT_EQ(view->lines[300].flags, 0);
  EXPECT_EQ(view->lines[299].flags, 0x31);
}

TEST_F(ArticleViewTest, FailedGrowthEndsTheTableAtTheSpareLine) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, kWidth, kHeight}, 4), nullptr);
  for (int i = 0; i < 5; ++i) view->lines[i] = ArticleLine{1, 1, 1, 0, 1, 16, 0x01};
  SetAllocFailureAt(1);
  EXPECT_EQ(GrowArticleLines(view, 4), kViewOutOfMemory);
  SetAllocFailureAt(0);
  EXPECT_EQ(view->capacity, 4);
  EXPECT_EQ(view->lines[3].flags, 0x01);
  EXPECT_EQ(view->lines[4].flags, 0);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), u"There is not enough memory, aborting");

  view->lines[4] = ArticleLine{1, 1, 1, 0, 1, 16, 0x01};
  EXPECT_EQ(GrowArticleLines(view, 4), 0);
  EXPECT_EQ(view->capacity, 132);
  EXPECT_EQ(view->lines[3].flags, 0x01);
  EXPECT_EQ(GrowArticleLines(nullptr, 0), kViewMissing);
}

TEST_F(ArticleViewTest, ResizeLaysOutAgainButRefusesEmptySizes) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  for (int i = 0; i < 40; ++i) doc.Add(0xB1, 0, "bbb ccc ddd");
  ASSERT_EQ(Layout(doc), 0);
  view->topLine = 7;
  view->highlightStart = 2;
  view->highlightEnd = 5;
  const std::uint16_t rows = view->rowCount;
  const std::uint16_t maxTop = view->maxTopLine;
  std::uint8_t* document = view->document;

  EXPECT_EQ(SetArticleViewSize(view, kWidth, 0), kViewBadSize);
  EXPECT_EQ(SetArticleViewSize(view, -3, 100), kViewBadSize);
  EXPECT_EQ(view->height, kHeight);
  EXPECT_EQ(view->rowCount, rows);
  EXPECT_EQ(view->maxTopLine, maxTop);
  EXPECT_EQ(view->topLine, 7);
  EXPECT_EQ(view->highlightEnd, 5);
  EXPECT_EQ(SetArticleViewSize(nullptr, 10, 10), kViewMissing);

  EXPECT_EQ(SetArticleViewSize(view, 50, 100), 0);
  EXPECT_EQ(view->document, document);
  EXPECT_EQ(view->topLine, 7);
  EXPECT_EQ(view->highlightStart, 0);
  EXPECT_EQ(view->highlightEnd, 0);
  EXPECT_EQ(view->lineCount, 120);  // three lines a paragraph
  EXPECT_EQ(view->rowCount, 159);
  EXPECT_EQ(view->maxTopLine, 159 - 6);
}

}  // namespace
}  // namespace view_test
