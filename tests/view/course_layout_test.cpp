// Every lesson of the course the program carries, laid out at several widths.
#include <gtest/gtest.h>

#include "content/lesson_container.h"
#include "content/lesson_resource.h"
#include "resources/resource_script.h"
#include "tests/view/view_test_support.h"

namespace view_test {
namespace {

class CourseLayoutTest : public ViewTest {
 protected:
  static void SetUpTestSuite() { InstallProgramResources(); }
};

TEST_F(CourseLayoutTest, EveryLessonLaysOutAtEveryWidth) {
  ASSERT_NE(MakeView(pf::Rect{0, 0, 480, 268}), nullptr);
  int lessons = 0;
  for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
    SCOPED_TRACE(testing::Message() << "lesson " << lesson);
    int error = 0;
    std::uint16_t length = 0;
    std::uint8_t* document = LoadLessonDocument(lesson, &error, &length);
    ASSERT_NE(document, nullptr) << "error " << error;
    view->width = 480;
    ASSERT_EQ(LayoutArticle(view, document, std::size_t{length} + 2, true), 0);
    ++lessons;
    for (const int width : {40, 226, 480}) {
      SCOPED_TRACE(testing::Message() << "width " << width);
      ASSERT_EQ(SetArticleViewSize(view, width, 268), 0);
      int blank = 0;
      for (int i = 0; i < view->lineCount; ++i) {
        const ArticleLine& line = view->lines[i];
        blank += (line.flags & 0x80) != 0;
        EXPECT_LE(line.x + line.width, width) << "line " << i;
        EXPECT_GT(line.height, 0);
        if ((line.flags & 0x07) == 0x07) {
          EXPECT_EQ(line.width, width);  // every shipped separator spans the view
        } else {
          EXPECT_GT(line.textLength, 0);
        }
      }
      EXPECT_EQ(view->rowCount, view->lineCount + blank);
      EXPECT_EQ(view->lines[view->lineCount].flags, 0);
      EXPECT_EQ(view->lines[view->lineCount - 1].flags & 0x80, 0);
      EXPECT_EQ(PaintArticle(view, true), 0);
    }
  }
  EXPECT_EQ(lessons, kLessonCount);
}

}  // namespace
}  // namespace view_test
