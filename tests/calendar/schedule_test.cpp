// The lesson schedule table, the lesson of a day, and the choice of the
// current lesson with the local date fixed.

#include "calendar/schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/app_state.h"
#include "platform/clock.h"

namespace {

TEST(LessonSchedule, EveryLessonOccursAndNumbersNeverDecrease) {
  std::array<bool, kLessonCount + 1> seen{};
  std::uint16_t previous = 0;
  for (int month : kHebrewYearMonthOrder) {
    for (int day = 1; day <= kScheduleDays; ++day) {
      const std::uint16_t lesson = LessonSchedule[SchedulePosition(month, day)];
      ASSERT_GE(lesson, 1);
      ASSERT_LE(lesson, kLessonCount);
      seen[lesson] = true;
      if (month == 6 && day == 30) {
        EXPECT_EQ(lesson, 1);  // the one entry that goes back
        continue;
      }
      EXPECT_GE(lesson, previous) << month << "/" << day;
      previous = lesson;
    }
  }
  EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), true), kLessonCount);
}

TEST(LessonSchedule, EntriesOfTheTable) {
  struct Case {
    int month;
    int day;
    std::uint16_t lesson;
  };
  constexpr Case kCases[] = {
      {7, 1, 1},     {7, 3, 1},     {7, 30, 16},  {8, 30, 38},   {9, 1, 38},
      {9, 30, 58},   {10, 1, 58},   {10, 30, 79}, {12, 1, 101},  {12, 29, 121},
      {12, 30, 122}, {13, 1, 122},  {13, 10, 122}, {13, 30, 122}, {1, 1, 122},
      {1, 15, 132},  {1, 18, 132},  {1, 21, 135}, {1, 25, 135},  {2, 30, 160},
      {3, 30, 181},  {4, 1, 182},   {4, 30, 203}, {5, 1, 203},   {6, 29, 245},
      {6, 30, 1},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ScheduleEntry(c.month, c.day), c.lesson) << c.month << "/" << c.day;
  }
  EXPECT_EQ(ScheduleEntry(0, 1), 0);
  EXPECT_EQ(ScheduleEntry(14, 1), 0);
  EXPECT_EQ(ScheduleEntry(7, 0), 0);
  EXPECT_EQ(ScheduleEntry(7, 31), 0);
}

TEST(LessonSchedule, LessonDaysInTheYearsOrder) {
  const LessonDayList first = LessonDays(1);
  ASSERT_EQ(first.count, 4u);
  EXPECT_EQ(first.days[0].month, 7);
  EXPECT_EQ(first.days[2].day, 3);
  EXPECT_EQ(first.days[3].month, 6);  // Elul 30, after Tishrei
  EXPECT_EQ(first.days[3].day, 30);
  EXPECT_EQ(first.days[3].occurrence, DayOccurrence::kNever);

  // Lesson 122: Adar 30 (leap years), all of Adar II, then 1 Nisan.
  const LessonDayList adar = LessonDays(122);
  ASSERT_EQ(adar.count, 32u);
  EXPECT_EQ(adar.days[0].month, 12);
  EXPECT_EQ(adar.days[0].occurrence, DayOccurrence::kSomeYears);
  EXPECT_EQ(adar.days[1].month, 13);
  EXPECT_EQ(adar.days[30].occurrence, DayOccurrence::kNever);  // Adar II 30
  EXPECT_EQ(adar.days[31].month, 1);
  EXPECT_EQ(adar.days[31].occurrence, DayOccurrence::kEveryYear);

  EXPECT_EQ(LessonFirstDay(79).month, 11);  // Tevet 30 never comes
  EXPECT_EQ(LessonFirstDay(38).month, 8);
  EXPECT_EQ(LessonFirstDay(245).day, 29);
  EXPECT_TRUE(LessonDays(0).empty());
  EXPECT_TRUE(LessonDays(246).empty());
  EXPECT_EQ(LessonFirstDay(246).month, 0);

  // Every entry of the table is listed exactly once.
  std::size_t total = 0;
  for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
    for (const ScheduleDay& entry : LessonDays(lesson)) {
      EXPECT_EQ(ScheduleEntry(entry.month, entry.day), lesson);
      ++total;
    }
  }
  EXPECT_EQ(total, kScheduleSize);
}

// Which Hebrew days exist, checked against the calendar over many years.
TEST(LessonSchedule, DayOccurrenceMatchesTheCalendar) {
  std::array<int, kScheduleSize> yearsWithDay{};
  const int firstYear = 5700;
  const int years = 200;
  for (int year = firstYear; year < firstYear + years; ++year) {
    const int months = IsHebrewLeapYear(year) ? 13 : 12;
    for (int month = 1; month <= months; ++month) {
      for (int day = 1; day <= HebrewMonthLength(month, year); ++day) {
        ++yearsWithDay[SchedulePosition(month, day)];
      }
    }
  }
  for (int month = 1; month <= kScheduleMonths; ++month) {
    for (int day = 1; day <= kScheduleDays; ++day) {
      const int count = yearsWithDay[SchedulePosition(month, day)];
      const DayOccurrence expected = count == years ? DayOccurrence::kEveryYear
                                     : count == 0   ? DayOccurrence::kNever
                                                    : DayOccurrence::kSomeYears;
      EXPECT_EQ(HebrewDayOccurrence(month, day), expected) << month << "/" << day;
    }
  }
}

TEST(LessonForDay, DatesOfTheYear) {
  struct Case {
    GregorianDate date;
    std::uint16_t lesson;
  };
  constexpr Case kCases[] = {
      {{9, 30, 2008}, 1},     // 1 Tishrei 5769
      {{9, 18, 2009}, 245},   // 29 Elul 5769
      {{9, 19, 2009}, 1},     // 1 Tishrei 5770
      {{4, 9, 2009}, 132},    // 15 Nisan
      {{1, 1, 2009}, 62},     // 5 Tevet
      {{3, 7, 2008}, 122},    // 30 Adar I 5768
      {{3, 17, 2008}, 122},   // 10 Adar II 5768
      {{3, 26, 2009}, 122},   // 1 Nisan of a common year
      {{3, 25, 2009}, 121},   // 29 Adar of a common year
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(LessonForDay(GregorianToAbsolute(c.date.month, c.date.day, c.date.year)),
              c.lesson)
        << c.date.month << "/" << c.date.day << "/" << c.date.year;
  }
  EXPECT_EQ(LessonForDay(0), 0);
  EXPECT_EQ(LessonForDay(kLastAbsoluteDay + 1), 0);
}

class SelectLessonTest : public testing::Test {
 protected:
  void SetUp() override {
    App = AppState{};
    App.Flags = kDefaultFlags;
  }
  void TearDown() override { pf::SetLocalDateOverride(std::nullopt); }

  static void Today(int year, int month, int day) {
    pf::SetLocalDateOverride(pf::LocalDate{year, month, day});
  }
  static bool ByHand() { return (App.Flags & kFlagChosenByHand) != 0; }
};

TEST_F(SelectLessonTest, TodaysLessonFromTheDate) {
  Today(2009, 9, 18);
  App.Lesson = 10;
  App.LastPosition = 7;
  SelectLesson(0, false);
  EXPECT_EQ(App.Lesson, 245);
  EXPECT_EQ(App.LastPosition, 0);
  EXPECT_EQ(App.Flags, kDefaultFlags);

  // The same lesson on the next call keeps the reading position.
  App.LastPosition = 7;
  SelectLesson(0, false);
  EXPECT_EQ(App.Lesson, 245);
  EXPECT_EQ(App.LastPosition, 7);

  Today(2009, 9, 19);
  SelectLesson(0, false);
  EXPECT_EQ(App.Lesson, 1);
  EXPECT_EQ(App.LastPosition, 0);
}

TEST_F(SelectLessonTest, HandChosenLessonSurvivesUntilForced) {
  Today(2008, 9, 30);
  App.Lesson = 1;
  App.LastPosition = 5;
  SelectLesson(40, false);
  EXPECT_EQ(App.Lesson, 40);
  EXPECT_EQ(App.LastPosition, 0);
  EXPECT_TRUE(ByHand());
  EXPECT_EQ(App.Flags & ~kFlagChosenByHand, kDefaultFlags);

  // A restart on a later day keeps it.
  App.LastPosition = 9;
  Today(2008, 10, 1);
  SelectLesson(0, false);
  EXPECT_EQ(App.Lesson, 40);
  EXPECT_EQ(App.LastPosition, 9);
  EXPECT_TRUE(ByHand());

  // "/today" or the Today command returns to the date's lesson.
  SelectLesson(0, true);
  EXPECT_EQ(App.Lesson, 1);
  EXPECT_EQ(App.LastPosition, 0);
  EXPECT_FALSE(ByHand());
  EXPECT_EQ(App.Flags, kDefaultFlags);
}

TEST_F(SelectLessonTest, ForcingTodaysLessonWhenAlreadyCurrentKeepsPosition) {
  Today(2008, 9, 30);
  App.Lesson = 1;
  App.LastPosition = 12;
  App.Flags |= kFlagChosenByHand;
  SelectLesson(0, true);
  EXPECT_EQ(App.Lesson, 1);
  EXPECT_EQ(App.LastPosition, 12);
  EXPECT_FALSE(ByHand());
}

TEST_F(SelectLessonTest, ChoosingTheCurrentLessonKeepsPosition) {
  App.Lesson = 77;
  App.LastPosition = 3;
  SelectLesson(77, false);
  EXPECT_EQ(App.Lesson, 77);
  EXPECT_EQ(App.LastPosition, 3);
  EXPECT_TRUE(ByHand());
}

TEST_F(SelectLessonTest, StoredLessonOutOfRangeIsReplaced) {
  Today(2009, 1, 1);  // 5 Tevet: lesson 62
  for (std::uint16_t stored : {std::uint16_t{0}, std::uint16_t{246}, std::uint16_t{65535}}) {
    for (bool byHand : {false, true}) {
      SCOPED_TRACE(testing::Message() << stored << (byHand ? " by hand" : ""));
      App.Lesson = stored;
      App.LastPosition = 4;
      App.Flags = kDefaultFlags | (byHand ? kFlagChosenByHand : 0u);
      SelectLesson(0, false);
      EXPECT_EQ(App.Lesson, 62);
      EXPECT_EQ(App.LastPosition, 0);
      EXPECT_FALSE(ByHand());
    }
  }
}

TEST_F(SelectLessonTest, DateOutsideTheCalendarGivesLessonOne) {
  for (const pf::LocalDate& date : {pf::LocalDate{10000, 1, 1}, pf::LocalDate{0, 0, 0},
                                    pf::LocalDate{2009, 13, 1}}) {
    SCOPED_TRACE(date.year);
    pf::SetLocalDateOverride(date);
    App.Lesson = 50;
    App.LastPosition = 4;
    SelectLesson(0, false);
    EXPECT_EQ(App.Lesson, 1);
    EXPECT_EQ(App.LastPosition, 0);

    // Lesson 0 from the schedule and a stored 0: no change of lesson, so the
    // position stays; the lesson becomes 1.
    App.Lesson = 0;
    App.LastPosition = 4;
    SelectLesson(0, false);
    EXPECT_EQ(App.Lesson, 1);
    EXPECT_EQ(App.LastPosition, 4);
  }
}

TEST(LocalDate, OverrideAndClock) {
  pf::SetLocalDateOverride(pf::LocalDate{2008, 9, 30});
  const GregorianDate fixed = ReadLocalDate();
  EXPECT_EQ(fixed.year, 2008);
  EXPECT_EQ(fixed.month, 9);
  EXPECT_EQ(fixed.day, 30);
  pf::SetLocalDateOverride(std::nullopt);
  const GregorianDate now = ReadLocalDate();
  EXPECT_GE(now.year, 2000);
  EXPECT_NE(GregorianToAbsolute(now.month, now.day, now.year), 0);
}

}  // namespace
