// Scrolling by rows and to a document offset.
#include <gtest/gtest.h>

#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

class ScrollTest : public ViewTest {};

TEST_F(ScrollTest, MovesWithinTheLimits) {
  struct Case {
    const char* what;
    int top;
    int delta;
    int paint;
    int limit;
    int result;  // kViewMissing stands for "painted" (there is no document)
    int newTop;
  };
  // maxTopLine 40, rowCount 60.
  const Case cases[] = {
      {"up at the top", 0, -1, 1, 1, kScrollNothing, 0},
      {"down at the last page", 40, 1, 1, 1, kScrollNothing, 40},
      {"page down past maxTopLine", 38, 11, 1, 1, kViewMissing, 49},
      {"page down again does nothing", 49, 11, 1, 1, kScrollNothing, 49},
      {"page up", 49, -11, 1, 1, kViewMissing, 38},
      {"beyond rowCount stops at maxTopLine", 38, 30, 1, 1, kViewMissing, 40},
      {"End from the top", 0, 40, 1, 1, kViewMissing, 40},
      {"End from row 5", 5, 40, 1, 1, kViewMissing, 45},
      {"Home", 17, -17, 1, 1, kViewMissing, 0},
      {"far up", 17, -100000, 1, 1, kViewMissing, 0},
      {"unlimited forward from maxTopLine", 40, 5, 1, 0, kViewMissing, 45},
      {"unlimited beyond rowCount", 45, 100, 1, 0, kScrollNothing, 45},
      {"unlimited beyond rowCount from below", 30, 100, 1, 0, kViewMissing, 40},
      {"no paint, moved", 10, 3, 0, 1, kScrollMovedUnpainted, 13},
      {"no paint, not moved", 0, -4, 0, 1, kScrollNothing, 0},
      {"paint 2 paints even without a move", 0, -4, 2, 1, kViewMissing, 0},
  };
  ASSERT_NE(MakeView(), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view->rowCount = 60;
    view->maxTopLine = 40;
    view->topLine = static_cast<std::uint16_t>(c.top);
    EXPECT_EQ(ScrollArticle(view, c.delta, c.paint, c.limit), c.result);
    EXPECT_EQ(view->topLine, c.newTop);
  }
  EXPECT_EQ(ScrollArticle(nullptr, 1, 1, 1), kViewMissing);
}

TEST_F(ScrollTest, ScrollingPaintsTheNewPage) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 64}), nullptr);
  DocumentBuilder doc;
  for (int i = 0; i < 10; ++i) doc.Add(0x01, 0, "b");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(PaintArticle(view, true), 0);
  EXPECT_EQ(ScrollArticle(view, view->paintedCount - 1, 1, 1), 0);
  EXPECT_EQ(view->topLine, 3);
  EXPECT_EQ(view->paintedCount, 4);
}

TEST_F(ScrollTest, OffsetBringsItsLineToTheTop) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 64}), nullptr);
  view->width = 40;
  DocumentBuilder doc;
  const std::uint16_t a = doc.Add(0x81, 0, "bbb ccc");  // two lines and a blank row
  const std::uint16_t b = doc.Add(0x01, 0, "ddd");
  doc.Add(0x87, 20, "");
  for (int i = 0; i < 6; ++i) doc.Add(0x01, 0, "e");
  const std::uint16_t last = doc.Add(0x01, 0, "fff");
  ASSERT_EQ(Layout(doc), 0);
  ASSERT_EQ(view->lineCount, 11);
  ASSERT_EQ(view->rowCount, 13);
  ASSERT_EQ(view->maxTopLine, 9);

  struct Case {
    int offset;
    int result;
    int top;
  };
  const Case cases[] = {
      {a, 1, 0},
      {a + 3, 1, 0},      // the boundary belongs to the first line
      {a + 4, 1, 1},
      {b, 1, 3},          // after the blank row of the paragraph before
      {b + 3, 1, 3},
      {last + 1, 1, 9},   // on the last page: maxTopLine
      {last + 40, 0, 5},  // beyond the document: unchanged
      {0, 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    view->topLine = 5;
    EXPECT_EQ(ScrollToOffset(view, c.offset), c.result);
    EXPECT_EQ(view->topLine, c.top);
  }
  EXPECT_EQ(ScrollToOffset(nullptr, 3), 0);
}

}  // namespace
}  // namespace view_test
