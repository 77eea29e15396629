#include "calendar/schedule.h"

#include "app/app_state.h"

static_assert(kScheduleSize == static_cast<std::size_t>(kScheduleMonths * kScheduleDays));

std::uint16_t LessonForDay(AbsoluteDay day) {
  const HebrewDate date = AbsoluteToHebrew(day);
  return ScheduleEntry(date.month, date.day);
}

namespace {

bool IsLessonNumber(std::uint32_t lesson) { return lesson >= 1 && lesson <= kLessonCount; }

}  // namespace

void SelectLesson(std::uint16_t requested, bool force) {
  if (requested != 0) {
    App.Flags |= kFlagChosenByHand;
    if (App.Lesson != requested) {
      App.Lesson = requested;
      App.LastPosition = 0;
    }
    return;
  }

  // A lesson chosen by hand stays, unless today's is forced or the stored
  // lesson is not one the program has (a damaged setting must not pin it).
  if ((App.Flags & kFlagChosenByHand) != 0 && !force && IsLessonNumber(App.Lesson)) return;

  const GregorianDate today = ReadLocalDate();
  const std::uint16_t lesson = LessonForDay(GregorianToAbsolute(today.month, today.day, today.year));
  if (lesson != App.Lesson) {
    App.LastPosition = 0;
    App.Lesson = lesson;
  }
  if (!IsLessonNumber(App.Lesson)) App.Lesson = 1;
  App.Flags &= ~kFlagChosenByHand;
}
