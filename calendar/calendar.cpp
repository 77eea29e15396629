#include "calendar/calendar.h"

#include "platform/clock.h"

namespace {

// Month lengths by month 1..12 (index 0 = January), common and leap row.
constexpr std::int32_t kGregorianMonthLength[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

// 1 Tishrei of Hebrew year 1 counted in AbsoluteDay terms is this far back.
constexpr std::int32_t kHebrewEpochOffset = 1373429;

bool InGregorianRange(std::int32_t year) {
  return year >= kFirstGregorianYear && year <= kLastGregorianYear;
}

bool InAbsoluteRange(AbsoluteDay day) {
  return day >= kFirstAbsoluteDay && day <= kLastAbsoluteDay;
}

bool InHebrewRange(std::int32_t year) {
  return year >= kFirstHebrewYear && year <= kLastHebrewYear;
}

// The last month of a Hebrew year: 13 in a leap year, 12 otherwise.
std::int32_t HebrewMonthsInYear(std::int32_t year) { return IsHebrewLeapYear(year) ? 13 : 12; }

}  // namespace

GregorianDate ReadLocalDate() {
  const pf::LocalDate today = pf::GetLocalDate();
  return GregorianDate{today.month, today.day, today.year};
}

bool IsGregorianLeapYear(std::int32_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::int32_t GregorianDayOfYear(std::int32_t month, std::int32_t day, std::int32_t year) {
  if (month < 1 || month > 12 || day < 1 || day > 31) return 0;
  std::int32_t n = day + 31 * (month - 1);
  if (month <= 2) return n;
  n -= (4 * month + 23) / 10;
  if (IsGregorianLeapYear(year)) ++n;
  return n;
}

AbsoluteDay GregorianToAbsolute(std::int32_t month, std::int32_t day, std::int32_t year) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || !InGregorianRange(year)) return 0;
  const std::int32_t prior = year - 1;
  return GregorianDayOfYear(month, day, year) + 365 * prior + prior / 4 - prior / 100 +
         prior / 400;
}

GregorianDate AbsoluteToGregorian(AbsoluteDay day) {
  if (!InAbsoluteRange(day)) return GregorianDate{};
  std::int32_t rest = day - 1;
  const std::int32_t c400 = rest / 146097;
  rest %= 146097;
  const std::int32_t c100 = rest / 36524;
  rest %= 36524;
  const std::int32_t c4 = rest / 1461;
  rest %= 1461;
  const std::int32_t c1 = rest / 365;
  std::int32_t dayOfYear = rest % 365 + 1;
  std::int32_t year = 400 * c400 + 100 * c100 + 4 * c4 + c1;
  if (c100 == 4 || c1 == 4) return GregorianDate{12, 31, year};

  ++year;
  const auto& lengths = kGregorianMonthLength[IsGregorianLeapYear(year) ? 1 : 0];
  std::int32_t month = 1;
  // dayOfYear is at most the year's length here, so the walk ends by December.
  while (month < 12 && lengths[month - 1] < dayOfYear) {
    dayOfYear -= lengths[month - 1];
    ++month;
  }
  return GregorianDate{month, dayOfYear, year};
}

bool IsHebrewLeapYear(std::int32_t year) {
  if (!InHebrewRange(year)) return false;
  return (7 * year + 1) % 19 < 7;
}

std::int32_t HebrewNewYearDay(std::int32_t year) {
  if (!InHebrewRange(year)) return 0;
  const std::int32_t k = year - 1;
  const std::int32_t cycles = k / 19;
  const std::int32_t yearInCycle = k % 19;
  const std::int32_t monthsElapsed = 235 * cycles + 12 * yearInCycle + (7 * yearInCycle + 1) / 19;
  const std::int32_t partsElapsed = 204 + 793 * (monthsElapsed % 1080);
  const std::int32_t hoursElapsed =
      5 + 12 * monthsElapsed + 793 * (monthsElapsed / 1080) + partsElapsed / 1080;
  std::int32_t day = 1 + 29 * monthsElapsed + hoursElapsed / 24;
  const std::int32_t parts = 1080 * (hoursElapsed % 24) + partsElapsed % 1080;

  if (parts >= 19440 ||
      (day % 7 == 2 && parts >= 9924 && (7 * year + 1) % 19 >= 7) ||
      (day % 7 == 1 && parts >= 16789 && (7 * year - 6) % 19 < 7)) {
    ++day;
  }
  const std::int32_t weekday = day % 7;
  if (weekday == 0 || weekday == 3 || weekday == 5) ++day;
  return day;
}

std::int32_t HebrewYearLength(std::int32_t year) {
  if (year < kFirstHebrewYear || year >= kLastHebrewYear) return 0;
  return HebrewNewYearDay(year + 1) - HebrewNewYearDay(year);
}

std::int32_t HebrewMonthLength(std::int32_t month, std::int32_t year) {
  if (month == 2 || month == 4 || month == 6 || month == 10 || month == 13) return 29;
  if (month == 12 && !IsHebrewLeapYear(year)) return 29;
  if (month == 8 && HebrewYearLength(year) % 10 != 5) return 29;
  if (month == 9 && HebrewYearLength(year) % 10 == 3) return 29;
  return 30;
}

AbsoluteDay HebrewToAbsolute(std::int32_t month, std::int32_t day, std::int32_t year) {
  if (month < 1 || month > 13 || day < 1 || day > 30 || year < kFirstHebrewYear ||
      year >= kLastHebrewYear) {
    return 0;
  }
  std::int32_t n = day;
  if (month < 7) {
    const std::int32_t last = HebrewMonthsInYear(year);
    for (std::int32_t m = 7; m <= last; ++m) n += HebrewMonthLength(m, year);
    for (std::int32_t m = 1; m < month; ++m) n += HebrewMonthLength(m, year);
  } else {
    for (std::int32_t m = 7; m < month; ++m) n += HebrewMonthLength(m, year);
  }
  return n + HebrewNewYearDay(year) - kHebrewEpochOffset;
}

HebrewDate AbsoluteToHebrew(AbsoluteDay day) {
  if (!InAbsoluteRange(day)) return HebrewDate{};
  const GregorianDate g = AbsoluteToGregorian(day);
  std::int32_t month = kHebrewSearchStartMonth[static_cast<std::size_t>(g.month - 1)];
  std::int32_t year = g.year + 3760;

  // The estimate never lies above the true year for dates in range; the
  // backward step only guards that claim.
  while (year > kFirstHebrewYear && day < HebrewToAbsolute(7, 1, year)) --year;
  while (day >= HebrewToAbsolute(7, 1, year + 1)) ++year;

  // The search only moves forward. The start month lies at or before the
  // true month for the years 1583 to 3000; outside them it may not, and the
  // search then starts at Tishrei.
  if (day < HebrewToAbsolute(month, 1, year)) month = 7;
  const std::int32_t monthsInYear = HebrewMonthsInYear(year);
  while (day > HebrewToAbsolute(month, HebrewMonthLength(month, year), year)) {
    month = month % monthsInYear + 1;
  }
  return HebrewDate{month, day - HebrewToAbsolute(month, 1, year) + 1, year};
}
