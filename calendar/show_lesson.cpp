#include "calendar/show_lesson.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "calendar/schedule.h"
#include "content/lesson_resource.h"
#include "view/article_view.h"

int ShowLesson(pf::HWin window, std::uint16_t requested) {
  const std::uint16_t oldLesson = App.Lesson;
  const std::uint32_t oldFlags = App.Flags;
  const auto restore = [&] {
    App.Lesson = oldLesson;
    App.Flags = oldFlags;
  };
  if (App.View == nullptr) return 1;

  SelectLesson(requested, true);
  std::uint16_t plainLength = 0;
  std::uint8_t* document = LoadLessonDocument(App.Lesson, nullptr, &plainLength);
  if (HasShutDown()) return 1;  // memory ran out: nothing more to do
  if (document == nullptr) {
    restore();
    return 1;
  }
  const int laidOut = LayoutArticle(App.View, document, static_cast<std::size_t>(plainLength) + 2, true);
  if (HasShutDown()) return 1;
  if (laidOut != 0) {
    // Refused by the layout: the view keeps its lesson, the document is ours.
    ReleaseBlock(document);
    restore();
    return 1;
  }
  App.View->topLine = 0;
  RefreshView(window, kPaintAll);
  SetBookmarkCheck(window, 1);
  return 0;
}

void StepLesson(pf::HWin window, int step) {
  int n = App.Lesson + step;
  if (n > kLessonCount) {
    n = 1;
  } else if (n < 1) {
    n = kLessonCount;
  }
  ShowLesson(window, static_cast<std::uint16_t>(n));
}
