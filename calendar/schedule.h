#pragma once
// The lesson schedule: which of the 245 lessons is read on each day of the
// Hebrew year, and the choice of the current lesson (today's by the date, or
// one the user chose by hand).
//
// The table and its helpers are constexpr and need no library, so host tools
// (the course compiler) can include this header alone. LessonForDay and
// SelectLesson live in corvella_calendar.
//
// Hebrew months are numbered from Nisan = 1 to Adar = 12 (Adar I in a leap
// year) and Adar II = 13; the year runs 7, 8, ..., 12, 13, 1, ..., 6.

#include <array>
#include <cstddef>
#include <cstdint>

#include "calendar/calendar.h"
#include "content/lesson_container.h"  // kLessonCount

constexpr int kScheduleMonths = 13;
constexpr int kScheduleDays = 30;
constexpr std::size_t kScheduleSize = 390;  // kScheduleMonths * kScheduleDays

// The Hebrew months in the order of the year, Tishrei first, Adar II after Adar.
inline constexpr std::array<int, 13> kHebrewYearMonthOrder = {7, 8, 9, 10, 11, 12, 13,
                                                              1, 2, 3, 4, 5, 6};

// Position of (month 1..13, day 1..30) in the flat table.
constexpr std::size_t SchedulePosition(int month, int day) {
  return static_cast<std::size_t>(kScheduleDays * (month - 1) + (day - 1));
}

namespace schedule_detail {

// A run of consecutive days of one month that read the same lesson.
struct Run {
  std::uint8_t month;
  std::uint8_t firstDay;
  std::uint8_t lastDay;
  std::uint16_t lesson;
};

// Rows in the order of the year; every day 1..30 of every month is covered.
inline constexpr Run kRuns[] = {
    // 7 Tishrei
    {7, 1, 3, 1}, {7, 4, 6, 2}, {7, 7, 7, 3}, {7, 8, 8, 4}, {7, 9, 9, 5},
    {7, 10, 13, 6}, {7, 14, 14, 7}, {7, 15, 17, 8}, {7, 18, 18, 9}, {7, 19, 20, 10},
    {7, 21, 21, 11}, {7, 22, 24, 12}, {7, 25, 27, 13}, {7, 28, 28, 14}, {7, 29, 29, 15},
    {7, 30, 30, 16},
    // 8 Cheshvan
    {8, 1, 1, 17}, {8, 2, 4, 18}, {8, 5, 5, 19}, {8, 6, 6, 20}, {8, 7, 7, 21},
    {8, 8, 8, 22}, {8, 9, 11, 23}, {8, 12, 12, 24}, {8, 13, 13, 25}, {8, 14, 14, 26},
    {8, 15, 15, 27}, {8, 16, 18, 28}, {8, 19, 19, 29}, {8, 20, 20, 30}, {8, 21, 21, 31},
    {8, 22, 22, 32}, {8, 23, 25, 33}, {8, 26, 26, 34}, {8, 27, 27, 35}, {8, 28, 28, 36},
    {8, 29, 29, 37}, {8, 30, 30, 38},
    // 9 Kislev
    {9, 1, 3, 38}, {9, 4, 4, 39}, {9, 5, 5, 40}, {9, 6, 6, 41}, {9, 7, 7, 42},
    {9, 8, 10, 43}, {9, 11, 11, 44}, {9, 12, 12, 45}, {9, 13, 13, 46}, {9, 14, 14, 47},
    {9, 15, 17, 48}, {9, 18, 18, 49}, {9, 19, 19, 50}, {9, 20, 20, 51}, {9, 21, 21, 52},
    {9, 22, 24, 53}, {9, 25, 25, 54}, {9, 26, 26, 55}, {9, 27, 27, 56}, {9, 28, 28, 57},
    {9, 29, 30, 58},
    // 10 Tevet
    {10, 1, 1, 58}, {10, 2, 2, 59}, {10, 3, 3, 60}, {10, 4, 4, 61}, {10, 5, 5, 62},
    {10, 6, 8, 63}, {10, 9, 9, 64}, {10, 10, 10, 65}, {10, 11, 11, 66}, {10, 12, 12, 67},
    {10, 13, 15, 68}, {10, 16, 16, 69}, {10, 17, 17, 70}, {10, 18, 18, 71}, {10, 19, 19, 72},
    {10, 20, 22, 73}, {10, 23, 23, 74}, {10, 24, 24, 75}, {10, 25, 25, 76}, {10, 26, 26, 77},
    {10, 27, 29, 78}, {10, 30, 30, 79},
    // 11 Shevat
    {11, 1, 1, 79}, {11, 2, 2, 80}, {11, 3, 3, 81}, {11, 4, 4, 82}, {11, 5, 7, 83},
    {11, 8, 8, 84}, {11, 9, 9, 85}, {11, 10, 10, 86}, {11, 11, 11, 87}, {11, 12, 14, 88},
    {11, 15, 15, 89}, {11, 16, 16, 90}, {11, 17, 17, 91}, {11, 18, 18, 92}, {11, 19, 21, 93},
    {11, 22, 22, 94}, {11, 23, 23, 95}, {11, 24, 24, 96}, {11, 25, 25, 97}, {11, 26, 28, 98},
    {11, 29, 29, 99}, {11, 30, 30, 100},
    // 12 Adar (Adar I)
    {12, 1, 1, 101}, {12, 2, 2, 102}, {12, 3, 5, 103}, {12, 6, 6, 104}, {12, 7, 7, 105},
    {12, 8, 8, 106}, {12, 9, 9, 107}, {12, 10, 12, 108}, {12, 13, 13, 109}, {12, 14, 14, 110},
    {12, 15, 15, 111}, {12, 16, 16, 112}, {12, 17, 19, 113}, {12, 20, 20, 114},
    {12, 21, 21, 115}, {12, 22, 22, 116}, {12, 23, 23, 117}, {12, 24, 26, 118},
    {12, 27, 27, 119}, {12, 28, 28, 120}, {12, 29, 29, 121}, {12, 30, 30, 122},
    // 13 Adar II
    {13, 1, 30, 122},
    // 1 Nisan
    {1, 1, 1, 122}, {1, 2, 4, 123}, {1, 5, 5, 124}, {1, 6, 6, 125}, {1, 7, 7, 126},
    {1, 8, 8, 127}, {1, 9, 11, 128}, {1, 12, 12, 129}, {1, 13, 13, 130}, {1, 14, 14, 131},
    {1, 15, 18, 132}, {1, 19, 19, 133}, {1, 20, 20, 134}, {1, 21, 25, 135}, {1, 26, 26, 136},
    {1, 27, 27, 137}, {1, 28, 28, 138}, {1, 29, 29, 139}, {1, 30, 30, 140},
    // 2 Iyar
    {2, 1, 2, 140}, {2, 3, 3, 141}, {2, 4, 4, 142}, {2, 5, 5, 143}, {2, 6, 6, 144},
    {2, 7, 9, 145}, {2, 10, 10, 146}, {2, 11, 11, 147}, {2, 12, 12, 148}, {2, 13, 13, 149},
    {2, 14, 16, 150}, {2, 17, 17, 151}, {2, 18, 18, 152}, {2, 19, 19, 153}, {2, 20, 20, 154},
    {2, 21, 23, 155}, {2, 24, 24, 156}, {2, 25, 25, 157}, {2, 26, 26, 158}, {2, 27, 27, 159},
    {2, 28, 30, 160},
    // 3 Sivan
    {3, 1, 1, 160}, {3, 2, 2, 161}, {3, 3, 3, 162}, {3, 4, 4, 163}, {3, 5, 5, 164},
    {3, 6, 8, 165}, {3, 9, 9, 166}, {3, 10, 10, 167}, {3, 11, 11, 168}, {3, 12, 12, 169},
    {3, 13, 15, 170}, {3, 16, 16, 171}, {3, 17, 17, 172}, {3, 18, 18, 173}, {3, 19, 19, 174},
    {3, 20, 22, 175}, {3, 23, 23, 176}, {3, 24, 24, 177}, {3, 25, 25, 178}, {3, 26, 26, 179},
    {3, 27, 29, 180}, {3, 30, 30, 181},
    // 4 Tammuz
    {4, 1, 1, 182}, {4, 2, 2, 183}, {4, 3, 3, 184}, {4, 4, 6, 185}, {4, 7, 7, 186},
    {4, 8, 8, 187}, {4, 9, 9, 188}, {4, 10, 10, 189}, {4, 11, 13, 190}, {4, 14, 14, 191},
    {4, 15, 15, 192}, {4, 16, 16, 193}, {4, 17, 17, 194}, {4, 18, 20, 195}, {4, 21, 21, 196},
    {4, 22, 22, 197}, {4, 23, 23, 198}, {4, 24, 24, 199}, {4, 25, 27, 200}, {4, 28, 28, 201},
    {4, 29, 29, 202}, {4, 30, 30, 203},
    // 5 Av
    {5, 1, 1, 203}, {5, 2, 2, 204}, {5, 3, 5, 205}, {5, 6, 6, 206}, {5, 7, 7, 207},
    {5, 8, 8, 208}, {5, 9, 9, 209}, {5, 10, 12, 210}, {5, 13, 13, 211}, {5, 14, 14, 212},
    {5, 15, 15, 213}, {5, 16, 16, 214}, {5, 17, 19, 215}, {5, 20, 20, 216}, {5, 21, 21, 217},
    {5, 22, 22, 218}, {5, 23, 23, 219}, {5, 24, 26, 220}, {5, 27, 27, 221}, {5, 28, 28, 222},
    {5, 29, 29, 223}, {5, 30, 30, 224},
    // 6 Elul
    {6, 1, 3, 225}, {6, 4, 4, 226}, {6, 5, 5, 227}, {6, 6, 6, 228}, {6, 7, 7, 229},
    {6, 8, 10, 230}, {6, 11, 11, 231}, {6, 12, 12, 232}, {6, 13, 13, 233}, {6, 14, 14, 234},
    {6, 15, 17, 235}, {6, 18, 18, 236}, {6, 19, 19, 237}, {6, 20, 20, 238}, {6, 21, 21, 239},
    {6, 22, 24, 240}, {6, 25, 25, 241}, {6, 26, 26, 242}, {6, 27, 27, 243}, {6, 28, 28, 244},
    {6, 29, 29, 245}, {6, 30, 30, 1},
};

// Builds the flat table from the runs; a compile error if a run leaves the
// table, overlaps another or leaves a day unset.
constexpr std::array<std::uint16_t, kScheduleSize> BuildSchedule() {
  std::array<std::uint16_t, kScheduleSize> table{};
  for (const Run& run : kRuns) {
    if (run.month < 1 || run.month > kScheduleMonths || run.firstDay < 1 ||
        run.lastDay > kScheduleDays || run.firstDay > run.lastDay || run.lesson < 1 ||
        run.lesson > kLessonCount) {
      throw "schedule run out of range";
    }
    for (int day = run.firstDay; day <= run.lastDay; ++day) {
      std::uint16_t& entry = table[SchedulePosition(run.month, day)];
      if (entry != 0) throw "schedule runs overlap";
      entry = run.lesson;
    }
  }
  for (std::uint16_t entry : table) {
    if (entry == 0) throw "schedule day left unset";
  }
  return table;
}

}  // namespace schedule_detail

// The LessonSchedule: entry SchedulePosition(month, day) is the lesson read
// on that Hebrew day. Every entry is set, also day 30 of months that have
// only 29 days.
inline constexpr std::array<std::uint16_t, kScheduleSize> LessonSchedule =
    schedule_detail::BuildSchedule();

// The lesson of (month, day), or 0 when month is not 1..13 or day not 1..30.
constexpr std::uint16_t ScheduleEntry(int month, int day) {
  if (month < 1 || month > kScheduleMonths || day < 1 || day > kScheduleDays) return 0;
  return LessonSchedule[SchedulePosition(month, day)];
}

// Whether a Hebrew (month, day) exists in every year, in some years only, or
// never (day 30 of a month that always has 29 days).
enum class DayOccurrence : std::uint8_t {
  kEveryYear,
  kSomeYears,  // Cheshvan 30 (long years), Kislev 30 (all but short years),
               // Adar I 30 and all of Adar II (leap years)
  kNever,      // day 30 of Iyar, Tammuz, Elul, Tevet and Adar II
};

constexpr DayOccurrence HebrewDayOccurrence(int month, int day) {
  if (month < 1 || month > kScheduleMonths || day < 1 || day > kScheduleDays) {
    return DayOccurrence::kNever;
  }
  const bool alwaysShort = month == 2 || month == 4 || month == 6 || month == 10 || month == 13;
  if (day == 30) {
    if (alwaysShort) return DayOccurrence::kNever;
    if (month == 8 || month == 9 || month == 12) return DayOccurrence::kSomeYears;
    return DayOccurrence::kEveryYear;
  }
  return month == 13 ? DayOccurrence::kSomeYears : DayOccurrence::kEveryYear;
}

// One day of the schedule on which a lesson is read.
struct ScheduleDay {
  int month = 0;  // 1..13
  int day = 0;    // 1..30
  DayOccurrence occurrence = DayOccurrence::kEveryYear;
};

// The most days one lesson spans (lesson 122: Adar 30, Adar II 1-30, Nisan 1).
constexpr std::size_t kMaxLessonDays = 32;

// The schedule days of one lesson, in the order of the year.
struct LessonDayList {
  std::array<ScheduleDay, kMaxLessonDays> days{};
  std::size_t count = 0;

  constexpr const ScheduleDay* begin() const { return days.data(); }
  constexpr const ScheduleDay* end() const { return days.data() + count; }
  constexpr bool empty() const { return count == 0; }
};

// Every (month, day) entry of the schedule that holds `lesson`, in the order
// of the Hebrew year (Tishrei ... Adar, Adar II, Nisan ... Elul). Entries that
// never occur in a real year are listed too, marked kNever: lesson 1 ends with
// Elul 30, lesson 79 starts with Tevet 30. Empty for a lesson outside 1..245.
// The first entry that can occur (occurrence != kNever) is the day a lesson
// is first read; its month is the lesson's month in the year.
constexpr LessonDayList LessonDays(int lesson) {
  LessonDayList list;
  if (lesson < 1 || lesson > kLessonCount) return list;
  for (int month : kHebrewYearMonthOrder) {
    for (int day = 1; day <= kScheduleDays; ++day) {
      if (LessonSchedule[SchedulePosition(month, day)] != lesson) continue;
      if (list.count == kMaxLessonDays) throw "lesson spans too many days";
      list.days[list.count++] = ScheduleDay{month, day, HebrewDayOccurrence(month, day)};
    }
  }
  return list;
}

// The first day in the year's order on which `lesson` is read in a real year
// (skipping kNever entries), or a ScheduleDay with month 0 for a lesson
// outside 1..245.
constexpr ScheduleDay LessonFirstDay(int lesson) {
  for (const ScheduleDay& entry : LessonDays(lesson)) {
    if (entry.occurrence != DayOccurrence::kNever) return entry;
  }
  return ScheduleDay{};
}

// The lesson read on day `day`: the LessonSchedule entry of its Hebrew date.
// 0 when the day lies outside the calendar's range (kFirstAbsoluteDay to
// kLastAbsoluteDay).
std::uint16_t LessonForDay(AbsoluteDay day);

// Chooses the current lesson; changes only App.Lesson, App.LastPosition and
// bit kFlagChosenByHand of App.Flags, and loads nothing.
//  - requested != 0: the lesson chosen by hand. The bit is set; if the lesson
//    differs from App.Lesson it becomes current with LastPosition 0.
//  - requested == 0: today's lesson. A lesson chosen by hand (bit set, and
//    within 1..245) stays current unless `force`. Otherwise today's lesson by
//    the local date becomes current (LastPosition 0 if it changed), a lesson
//    outside 1..245 becomes 1, and the bit is cleared.
void SelectLesson(std::uint16_t requested, bool force);
