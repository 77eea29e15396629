// Line layout with the test font: letters 8 pixels, spaces 4, maximum
// character width 12, cells of 16 (FontSize 16).
#include <gtest/gtest.h>

#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

class LayoutTest : public ViewTest {
 protected:
  // Lays out a one-record document in a view `width` pixels wide.
  std::vector<ArticleLine> LayOne(std::uint8_t style, std::uint8_t param, const Bytes& text, int width) {
    DocumentBuilder doc;
    doc.Add(style, param, text);
    if (view == nullptr) MakeView();
    view->width = width;
    EXPECT_EQ(Layout(doc), 0);
    return Lines();
  }
};

void ExpectLine(const ArticleLine& line, int offset, int length, int x, int width) {
  EXPECT_EQ(line.textOffset, offset);
  EXPECT_EQ(line.textLength, length);
  EXPECT_EQ(line.x, x);
  EXPECT_EQ(line.width, width);
}

TEST_F(LayoutTest, SeparatorsBecomeRulesOfTheirLength) {
  struct Case {
    std::uint8_t style;
    std::uint8_t param;
    int width;
    int x;
  };
  // View from x 10, 200 pixels wide.
  const Case cases[] = {
      {0xC7, 210, 200, 10},  // the shipped separator: as wide as the view, centred
      {0x07, 100, 100, 10},  {0x27, 100, 100, 110}, {0x47, 50, 50, 85},  {0x67, 50, 50, 10},
      {0x07, 160, 160, 10},  {0x07, 161, 4, 10},    {0x07, 185, 100, 10},
      {0x27, 255, 200, 10},  // 190 %, cut to the view
  };
  ASSERT_NE(MakeView(pf::Rect{10, 0, 210, 320}), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int{c.style} << " param " << int{c.param});
    DocumentBuilder doc;
    const std::uint16_t text = doc.Add(c.style, c.param, "skipped");
    ASSERT_EQ(Layout(doc), 0);
    ASSERT_EQ(view->lineCount, 1);
    const ArticleLine line = view->lines[0];
    ExpectLine(line, text, 0, c.x, c.width);
    EXPECT_EQ(line.hangWidth, 0);
    EXPECT_EQ(line.height, 16);
    EXPECT_EQ(line.flags, c.style & 0x7F);  // the last line has no blank row
    EXPECT_EQ(view->rowCount, 1);
  }
  // A rule of 100 pixels in a view of 80.
  view->width = 80;
  DocumentBuilder doc;
  doc.Add(0x07, 100, "");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(view->lines[0].width, 80);
}

TEST_F(LayoutTest, SeparatorTakesTheHeightOfTheFontInEffect) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  doc.Add(0x87, 10, "");     // before any text: key 1
  doc.Add(0x87, 0, "");      // param 0: no row, no blank row
  doc.Add(0x84, 0, "bb");    // large: 20
  doc.Add(0x87, 10, "");
  doc.Add(0x01, 0, "cc");
  pf::HFont before = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), before);  // put back
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].height, 16);
  EXPECT_EQ(lines[1].height, 20);
  EXPECT_EQ(lines[2].height, 20);
  EXPECT_EQ(lines[2].flags, 0x87);
  EXPECT_EQ(lines[3].height, 16);
  EXPECT_EQ(view->rowCount, 4 + 3);
}

TEST_F(LayoutTest, RowsAreLinesAndBlankRowsButNotAfterTheLastLine) {
  ASSERT_NE(MakeView(), nullptr);
  view->width = 40;
  DocumentBuilder doc;
  doc.Add(0x81, 0, "bbb ccc ddd");  // three lines, a blank row after the last
  doc.Add(0x81, 0, "");             // no line, no blank row
  doc.Add(0x81, 0, "   ");          // the same
  doc.Add(0x81, 0, "ee  ");         // trailing spaces: still its last line
  doc.Add(0x81, 0, "ff");
  ASSERT_EQ(Layout(doc), 0);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].flags, 0x01);
  EXPECT_EQ(lines[1].flags, 0x01);
  EXPECT_EQ(lines[2].flags, 0x81);
  EXPECT_EQ(lines[3].flags, 0x81);
  EXPECT_EQ(lines[4].flags, 0x01);
  int blank = 0;
  for (const ArticleLine& line : lines) blank += (line.flags & 0x80) != 0;
  EXPECT_EQ(view->rowCount, view->lineCount + blank);
  EXPECT_EQ(view->rowCount, 7);
  EXPECT_EQ(view->lines[5].flags, 0);
}

TEST_F(LayoutTest, RefusedDocumentsLeaveTheViewAsItWas) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder good;
  for (int i = 0; i < 30; ++i) good.Add(0xB1, 0, "bbb");
  ASSERT_EQ(Layout(good), 0);
  std::uint8_t* document = view->document;
  const std::uint16_t lines = view->lineCount;

  const Bytes refused[] = {
      {0, 0, 0, 0, 0},                 // first byte 0
      {0x81, 0, 0, 0x81, 0, 'b', 0, 0, 0, 0},  // empty first text
      {0x81, 0, 'b', 'b'},             // the first record does not end
      {0x81, 0},                       // too short
  };
  for (const Bytes& bytes : refused) {
    view->topLine = 3;
    view->highlightStart = 4;
    view->highlightEnd = 6;
    auto* block = static_cast<std::uint8_t*>(CheckedAlloc(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), block);
    EXPECT_EQ(LayoutArticle(view, block, bytes.size(), true), kLayoutRefused);
    ReleaseBlock(block);  // still the caller's
    EXPECT_EQ(view->document, document);
    EXPECT_EQ(view->lineCount, lines);
    EXPECT_EQ(view->rowCount, 0);
    EXPECT_EQ(view->maxTopLine, 0);
    EXPECT_EQ(view->highlightStart, 0);
    EXPECT_EQ(view->highlightEnd, 0);
    EXPECT_EQ(view->topLine, 3);
  }

  // A separator may open a document with an empty text.
  DocumentBuilder separatorFirst;
  separatorFirst.Add(0xC7, 210, "");
  separatorFirst.Add(0xB1, 0, "bb");
  EXPECT_EQ(Layout(separatorFirst), 0);
  EXPECT_EQ(view->lineCount, 2);

  EXPECT_EQ(LayoutArticle(nullptr, nullptr, 0, true), kViewMissing);
  // The view's own document, refused when laid out again, stays the view's.
  view->document[0] = 0;
  EXPECT_EQ(LayoutArticle(view, view->document, view->documentSize, true), kLayoutRefused);
  EXPECT_NE(view->document, nullptr);
}

TEST_F(LayoutTest, WithoutDocumentTheFlagReleasesTheOldOne) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  doc.Add(0xB1, 0, "bb");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(LayoutArticle(view, nullptr, 0, false), kLayoutNoDocument);
  EXPECT_NE(view->document, nullptr);
  EXPECT_EQ(LayoutArticle(view, nullptr, 0, true), kLayoutNoDocument);
  EXPECT_EQ(view->document, nullptr);
  EXPECT_EQ(PaintArticle(view, true), kViewMissing);
}

TEST_F(LayoutTest, NewDocumentReplacesTheOldOneAndOwnOneIsKept) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder first;
  first.Add(0xB1, 0, "bb");
  ASSERT_EQ(Layout(first, false), 0);
  DocumentBuilder second;
  second.Add(0xB1, 0, "cc dd");
  ASSERT_EQ(Layout(second, false), 0);  // the first is released, not leaked
  std::uint8_t* document = view->document;
  EXPECT_EQ(LayoutArticle(view, document, view->documentSize, true), 0);
  EXPECT_EQ(view->document, document);
  EXPECT_EQ(view->lines[0].textLength, 5);
  view->topLine = 9;
  ASSERT_EQ(Layout(first), 0);
  EXPECT_EQ(view->topLine, 9);  // the caller sets topLine
}

TEST_F(LayoutTest, RightToLeftLinesAreCutFromTheEndOfTheStoredText) {
  // Stored "bbb ccc ddd" (display order): the reading starts at its end.
  auto lines = LayOne(0x31, 0, B("bbb ccc ddd"), 60);
  ASSERT_EQ(lines.size(), 2u);
  ExpectLine(lines[0], 2 + 4, 7, 60 - 52, 52);  // "ccc ddd", right-aligned
  ExpectLine(lines[1], 2, 3, 60 - 24, 24);      // "bbb"

  lines = LayOne(0x31, 0, B("bb"), 60);  // one short word
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], 2, 2, 44, 16);

  // Widths come from the table: vav and yod are narrow, mem is wide.
  lines = LayOne(0x11, 0, B("fjn"), 100);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].width, 4 + 4 + 12);
}

TEST_F(LayoutTest, LinesBreakAtSpacesAndHyphensOrCutLongWords) {
  struct Case {
    const char* text;
    int width;
    std::vector<std::pair<int, int>> lines;  // text offset, length
  };
  const Case cases[] = {
      {"bbbbbbbbbb", 50, {{2, 6}, {8, 4}}},    // no space nor hyphen: cut
      {"bb-cccc", 44, {{2, 3}, {5, 4}}},       // ends with the hyphen
      {"bb cccc", 44, {{2, 2}, {5, 4}}},       // ends before the space, which is skipped
      {"bb cc-dd eee", 56, {{2, 6}, {8, 6}}},
      {"  bb", 60, {{4, 2}}},                  // leading spaces are skipped
      {"bbbbbb cc", 44, {{2, 5}, {7, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto lines = LayOne(0x01, 0, B(c.text), c.width);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].textOffset, c.lines[i].first) << i;
      EXPECT_EQ(lines[i].textLength, c.lines[i].second) << i;
    }
  }
}

TEST_F(LayoutTest, IndentAndAlignmentPlaceTheLine) {
  struct Case {
    std::uint8_t style;
    std::uint8_t param;
    int viewWidth;
    int x;
  };
  // Text "bb": 16 pixels.
  const Case cases[] = {
      {0x01, 10, 240, 10},   {0x61, 10, 240, 10},  // 0x60 lays out as 0x00
      {0x21, 10, 240, 214},  {0x41, 10, 240, 117},
      {0x01, 0x3F, 50, 0},   // an indent not smaller than the width counts as 0
      {0x01, 0x3F, 100, 63}, {0x01, 0x7F, 60, 12},  // level 1 and indent 63 > 60
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int{c.style} << " param " << int{c.param});
    const auto lines = LayOne(c.style, c.param, B(c.param >= 64 ? "aa bb" : "bb"), c.viewWidth);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, c.x);
    EXPECT_EQ(lines[0].width, 16);
  }
  ASSERT_NE(MakeView(pf::Rect{7, 0, 247, 320}), nullptr);  // positions count from left
  const auto lines = LayOne(0x21, 10, B("bb"), 240);
  EXPECT_EQ(lines[0].x, 7 + 214);
}

TEST_F(LayoutTest, LeadWordsHangAndContinuationParagraphsFollowOn) {
  ASSERT_NE(MakeView(), nullptr);
  view->width = 100;
  DocumentBuilder doc;
  const std::uint16_t a = doc.Add(0x01, 0x41, "bb ccc ddd eee fff ggg");
  const std::uint16_t b = doc.Add(0x01, 0x43, " hhh kkk");
  const std::uint16_t c = doc.Add(0x01, 0x02, "ppp");
  ASSERT_EQ(Layout(doc), 0);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  // Hanging area (1 + 1) * 12 / 2 = 12 after the indent of 1: the text at 13.
  ExpectLine(lines[0], a, 11, 13, 80);  // offset of the lead word "bb"
  EXPECT_EQ(lines[0].hangWidth, 12);
  ExpectLine(lines[1], a + 15, 7, 13, 52);
  EXPECT_EQ(lines[1].hangWidth, 0);
  // Continuation: 13 + 3 - 1 = 15, no lead word.
  ExpectLine(lines[2], b + 1, 7, 15, 52);
  EXPECT_EQ(lines[2].hangWidth, 0);
  // Any other paragraph sets the indent afresh.
  ExpectLine(lines[3], c, 3, 2, 24);
}

TEST_F(LayoutTest, FirstParagraphStartingWithASpaceKeepsItsLeadWord) {
  const auto lines = LayOne(0x01, 0x41, B("  bb ccc"), 240);
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], 4, 3, 13, 24);
  EXPECT_EQ(lines[0].hangWidth, 12);
}

TEST_F(LayoutTest, RightToLeftLeadWordLiesAfterTheTextPart) {
  // Stored "ddd ccc bb": the reading starts with "bb", the lead word.
  const auto lines = LayOne(0x31, 0x40, B("ddd ccc bb"), 240);
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], 2, 7, 240 - 12 - 52, 52);
  EXPECT_EQ(lines[0].hangWidth, 12);
}

TEST_F(LayoutTest, EveryLineTakesAtLeastOneCharacter) {
  // Narrower than one letter.
  auto lines = LayOne(0x01, 0, B("bbb"), 4);
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) ExpectLine(lines[i], 2 + i, 1, 0, 8);

  // A point stays with its letter (stored before it in display order).
  lines = LayOne(0x11, 0, Bytes{'b', 21, 'c'}, 4);
  ASSERT_EQ(lines.size(), 2u);
  ExpectLine(lines[0], 3, 2, 0, 8);
  ExpectLine(lines[1], 2, 1, 0, 8);

  // Indent and hanging area leave no room: the lead word alone, then one
  // letter a line.
  lines = LayOne(0x01, 0xC0, B("bb cc"), 20);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].textLength, 0);
  EXPECT_EQ(lines[0].hangWidth, 24);
  EXPECT_EQ(lines[1].textLength, 1);
  EXPECT_EQ(lines[2].textLength, 1);
  EXPECT_EQ(lines[2].flags, 0x01);
}

TEST_F(LayoutTest, HighestTopLineLeavesTheLastLineLowest) {
  App.Font = TestFontBlock(20);
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 50}), nullptr);
  DocumentBuilder doc;
  doc.Add(0x01, 0, "b");
  doc.Add(0x81, 0, "c");
  doc.Add(0x01, 0, "d");
  ASSERT_EQ(Layout(doc), 0);
  EXPECT_EQ(view->rowCount, 4);
  // free 50: "d" leaves 30, "c" and its blank row leave -10: fit 3 - 1.
  EXPECT_EQ(view->maxTopLine, 2);

  view->height = 100;  // everything fits
  EXPECT_EQ(ComputeArticleMaxTopLine(view), 0);
  EXPECT_EQ(view->maxTopLine, 0);

  view->rowCount = 0;
  view->maxTopLine = 7;
  EXPECT_EQ(ComputeArticleMaxTopLine(view), -1);
  EXPECT_EQ(view->maxTopLine, 7);
  EXPECT_EQ(ComputeArticleMaxTopLine(nullptr), -1);
}

TEST_F(LayoutTest, OffsetsReachTheEndOfALargestDocument) {
  ASSERT_NE(MakeView(), nullptr);
  DocumentBuilder doc;
  const std::size_t n = 65535 - 6;  // record head, text, its 0, the terminator
  const std::uint16_t text = doc.Add(0x11, 0, Bytes(n, 'b'));
  ASSERT_EQ(doc.bytes().size() + 3, 65535u);
  ASSERT_EQ(Layout(doc), 0);
  const ArticleLine first = view->lines[0];
  EXPECT_EQ(first.textOffset + first.textLength, text + n);  // the reading starts at the end
  const ArticleLine last = view->lines[view->lineCount - 1];
  EXPECT_EQ(last.textOffset, text);
  int total = 0;
  for (int i = 0; i < view->lineCount; ++i) total += view->lines[i].textLength;
  EXPECT_EQ(total, static_cast<int>(n));
}

}  // namespace
}  // namespace view_test
