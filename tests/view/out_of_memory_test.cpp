// Every allocation of the view made to fail in turn (n = 1, 2, ... until the
// operation succeeds): each failure must end in the clean failure path, with
// nothing leaked or released twice (the sanitizer build checks that) and the
// view still sound when shut-down left it alive.
//
// A failing allocation runs ShutDown, which may destroy the view held in
// App.View; the tests then never touch that view again.
#include <gtest/gtest.h>

#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

class OutOfMemoryTest : public ViewTest {
 protected:
  void TearDown() override {
    ViewGone();
    App.View = nullptr;
    ViewTest::TearDown();
  }

  // Hands the view to the program state, where ShutDown finds it.
  void HandToApp() {
    App.View = view;
    handed_ = true;
  }

  // A document that needs every kind of allocation of the layout: reversed
  // copies, a grown converter, several fonts and a growing table.
  static DocumentBuilder MixedDocument() {
    DocumentBuilder doc;
    doc.Add(0xD1, 0, "bbb ccc ddd");
    doc.Add(0xD2, 0, "eee");
    doc.Add(0xC7, 210, "");
    doc.Add(0x81, 0, std::string(300, 'g'));
    for (int i = 0; i < 6; ++i) doc.Add(0xB1, 0, "hhh kkk ppp qqq rrr sss ttt");
    doc.Add(0x0C, 0x41, "uu vv");
    return doc;
  }

  // True when ShutDown destroyed the view handed to it.
  bool ViewGone() {
    if (!handed_ || App.View == view) return false;
    view = nullptr;
    handed_ = false;
    return true;
  }

  // The table ends within its storage and matches lineCount.
  void ExpectTableEnded() const {
    ASSERT_NE(view->lines, nullptr);
    std::size_t i = 0;
    while (i <= view->capacity && view->lines[i].flags != 0) ++i;
    ASSERT_LE(i, view->capacity);
    EXPECT_EQ(i, view->lineCount);
  }

  bool handed_ = false;  // the view is App.View
};

TEST_F(OutOfMemoryTest, LayoutOfANewDocument) {
  const DocumentBuilder doc = MixedDocument();
  unsigned long n = 1;
  for (;; ++n) {
    ReleaseSharedConverter();
    ASSERT_NE(MakeView(pf::Rect{0, 0, 120, 100}, 2), nullptr);
    HandToApp();
    DocumentBuilder old;
    old.Add(0xB1, 0, "bb");
    ASSERT_EQ(Layout(old), 0);
    std::size_t size = 0;
    std::uint8_t* block = doc.Block(&size);
    boxes.clear();
    SetAllocFailureAt(n);
    const int result = LayoutArticle(view, block, size, true);
    SetAllocFailureAt(0);
    if (result == 0) break;
    SCOPED_TRACE(testing::Message() << "allocation " << n);
    ASSERT_EQ(result, kLayoutOutOfMemory);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], u"There is not enough memory, aborting");
    if (ViewGone()) continue;
    // The new document was released by the layout, the old one with the flag.
    EXPECT_EQ(view->document, nullptr);
    ExpectTableEnded();
    EXPECT_EQ(PaintArticle(view, true), kViewMissing);
    // The view is usable again.
    std::uint8_t* again = doc.Block(&size);
    ASSERT_EQ(LayoutArticle(view, again, size, true), 0);
    EXPECT_EQ(PaintArticle(view, true), 0);
  }
  EXPECT_GT(n, 8u) << "the document needs several allocations";
  EXPECT_EQ(view->lines[view->lineCount].flags, 0);
}

TEST_F(OutOfMemoryTest, LayoutOfTheViewsOwnDocumentKeepsIt) {
  const DocumentBuilder doc = MixedDocument();
  unsigned long n = 1;
  for (;; ++n) {
    ReleaseSharedConverter();
    ASSERT_NE(MakeView(pf::Rect{0, 0, 120, 100}, 2), nullptr);
    HandToApp();
    ASSERT_EQ(Layout(doc), 0);
    std::uint8_t* document = view->document;
    ReleaseArticleFonts(view);  // fonts are made again: new records
    SetAllocFailureAt(n);
    const int result = SetArticleViewSize(view, 60, 100);
    SetAllocFailureAt(0);
    if (result == 0) break;
    SCOPED_TRACE(testing::Message() << "allocation " << n);
    ASSERT_EQ(result, kLayoutOutOfMemory);
    if (ViewGone()) continue;
    EXPECT_EQ(view->document, document);
    ExpectTableEnded();
    EXPECT_EQ(SetArticleViewSize(view, 60, 100), 0);
  }
  EXPECT_GT(n, 3u);
}

TEST_F(OutOfMemoryTest, Painting) {
  for (const int base : {kBase1488, kBase224}) {
    SCOPED_TRACE(base);
    App.Font.FontAsciiBase = base;
    unsigned long n = 1;
    for (;; ++n) {
      ASSERT_NE(MakeView(pf::Rect{0, 0, 120, 200}), nullptr);
      HandToApp();
      ASSERT_EQ(Layout(MixedDocument()), 0);
      view->highlightStart = 3;
      view->highlightEnd = 400;
      ReleaseSharedConverter();
      ReleaseArticleFonts(view);
      pf::HFont font = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
      pf::SetTextColor(dc, pf::Rgb(1, 2, 3));
      SetAllocFailureAt(n);
      const int result = PaintArticle(view, true);
      SetAllocFailureAt(0);
      EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), font);
      EXPECT_EQ(pf::GetTextColor(dc), pf::Rgb(1, 2, 3));
      if (result == 0) break;
      SCOPED_TRACE(testing::Message() << "allocation " << n);
      ASSERT_EQ(result, kViewOutOfMemory);
      if (ViewGone()) continue;
      EXPECT_EQ(PaintArticle(view, true), 0);
    }
    EXPECT_GT(n, 3u);
  }
}

TEST_F(OutOfMemoryTest, CreatingTheView) {
  const pf::Rect rect{0, 0, 100, 100};
  for (unsigned long n = 1; n <= 2; ++n) {
    SetAllocFailureAt(n);
    EXPECT_EQ(CreateArticleView(dc, &rect, &App.Font, 100), nullptr) << n;
    SetAllocFailureAt(0);
  }
  SetAllocFailureAt(3);
  view = CreateArticleView(dc, &rect, &App.Font, 100);
  SetAllocFailureAt(0);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->capacity, 100);
}

TEST_F(OutOfMemoryTest, SelectingANewKey) {
  ASSERT_NE(MakeView(), nullptr);
  pf::HFont font = pf::GetCurrentObject(dc, pf::ObjectKind::Font);
  SetAllocFailureAt(1);
  EXPECT_EQ(SelectArticleFont(view, 0x11), nullptr);
  SetAllocFailureAt(0);
  EXPECT_EQ(pf::GetCurrentObject(dc, pf::ObjectKind::Font), font);
  EXPECT_EQ(view->fonts, nullptr);
  EXPECT_EQ(SelectArticleFont(view, 0x11), font);
}

}  // namespace
}  // namespace view_test
