// Documents come from the program's resources, so a damaged one must never
// make the view read or write outside its buffers: lessons of the course and
// a mixed document, damaged at random (a fixed seed), cut short or without
// the loader's trailing 0 bytes, laid out at random sizes, painted with a
// random highlight and scrolled. The sanitizer build checks every access.
#include <gtest/gtest.h>

#include <random>

#include "content/lesson_resource.h"
#include "resources/resource_script.h"
#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

class DamagedDocumentTest : public ViewTest {
 protected:
  static void SetUpTestSuite() { InstallProgramResources(); }
};

Bytes Lesson(int n) {
  std::uint16_t length = 0;
  std::uint8_t* document = LoadLessonDocument(n, nullptr, &length);
  Bytes bytes(document, document + length);
  ReleaseBlock(document);
  return bytes;
}

TEST_F(DamagedDocumentTest, LayoutPaintAndScrollStayInsideTheDocument) {
  DocumentBuilder mixed;
  mixed.Add(0xCC, 0x41, "bb ccc ddd");
  mixed.Add(0xD1, 0xC3, " eee-fff ggg");
  mixed.Add(0xC7, 255, "hh");
  mixed.Add(0x81, 0x7F, "kk pp qq");
  mixed.Add(0x07, 0, "rr");
  mixed.Add(0xB2, 0x45, Bytes{21, 'b', 89, 31, 16, ' ', 'c', 90});
  const std::vector<Bytes> sources = {Lesson(1), Lesson(245), mixed.bytes()};

  std::mt19937 random(20240611);
  const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  ASSERT_NE(MakeView(pf::Rect{0, 0, 240, 320}, 4), nullptr);
  int laidOut = 0;
  for (int round = 0; round < 600; ++round) {
    Bytes bytes = sources[static_cast<std::size_t>(round) % sources.size()];
    const int damage = pick(1, 12);
    for (int i = 0; i < damage && !bytes.empty(); ++i) {
      const auto at = static_cast<std::size_t>(pick(0, static_cast<int>(bytes.size()) - 1));
      switch (pick(0, 3)) {
        case 0: bytes[at] = static_cast<std::uint8_t>(pick(0, 255)); break;
        case 1: bytes[at] = 0; break;
        case 2: bytes[at] = static_cast<std::uint8_t>(pick(0, 1) != 0 ? 0x20 : 0x2D); break;
        default: bytes.resize(at); break;  // cut short
      }
    }
    if (pick(0, 1) != 0) bytes.insert(bytes.end(), {0, 0});  // as the loader hands it over
    auto* block = static_cast<std::uint8_t*>(CheckedAlloc(bytes.empty() ? 1 : bytes.size()));
    std::copy(bytes.begin(), bytes.end(), block);
    App.Font.FontAsciiBase = pick(0, 1) != 0 ? kBase1488 : kBase224;
    ASSERT_EQ(SetArticleViewSize(view, pick(1, 300), pick(1, 330)), kLayoutNoDocument);
    const int result = LayoutArticle(view, block, bytes.size(), true);
    ASSERT_TRUE(result == 0 || result == kLayoutRefused) << result;
    if (result != 0) {
      ReleaseBlock(block);  // refused: still ours
      continue;
    }
    ++laidOut;
    ASSERT_EQ(view->lines[view->lineCount].flags, 0);
    for (int i = 0; i < view->lineCount; ++i) {
      const ArticleLine& line = view->lines[i];
      ASSERT_LT(std::size_t{line.textOffset} + line.textLength, view->documentSize) << i;
    }
    view->topLine = static_cast<std::uint16_t>(pick(0, view->rowCount + 3));
    view->highlightStart = static_cast<std::uint16_t>(pick(0, static_cast<int>(bytes.size())));
    view->highlightEnd = static_cast<std::uint16_t>(view->highlightStart + pick(0, 40));
    EXPECT_EQ(PaintArticle(view, true), 0);
    ScrollArticle(view, pick(-20, 20), 1, pick(0, 1));
    ScrollToOffset(view, pick(0, static_cast<int>(bytes.size()) + 2));
    EXPECT_EQ(PaintArticle(view, true), 0);
    LayoutArticle(view, nullptr, 0, true);  // the next round starts without a document
  }
  EXPECT_GT(laidOut, 300);
}

}  // namespace
}  // namespace view_test
