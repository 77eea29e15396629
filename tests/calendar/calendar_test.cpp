// Gregorian and Hebrew date arithmetic: known dates, the branches of the
// conversions, exhaustive round trips and the month-search start table.

#include "calendar/calendar.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct KnownDay {
  GregorianDate gregorian;
  HebrewDate hebrew;
};

// Pairs checked against an independent calendar program.
constexpr KnownDay kKnownDays[] = {
    {{9, 30, 2008}, {7, 1, 5769}},    // 1 Tishrei
    {{4, 9, 2009}, {1, 15, 5769}},    // 15 Nisan
    {{1, 1, 2009}, {10, 5, 5769}},    // 5 Tevet
    {{9, 18, 2009}, {6, 29, 5769}},   // 29 Elul
    {{9, 19, 2009}, {7, 1, 5770}},
    {{3, 7, 2008}, {12, 30, 5768}},   // 30 Adar I of a leap year
    {{3, 8, 2008}, {13, 1, 5768}},    // 1 Adar II
    {{3, 24, 2024}, {13, 14, 5784}},
    {{4, 8, 2024}, {13, 29, 5784}},   // last day of Adar II
    {{3, 10, 2024}, {12, 30, 5784}},
    {{10, 3, 2024}, {7, 1, 5785}},
    {{12, 9, 2007}, {9, 29, 5768}},   // short Kislev of 5768
    {{12, 10, 2007}, {10, 1, 5768}},
    {{11, 17, 2009}, {8, 30, 5770}},  // long Cheshvan of 5770
    {{12, 7, 2010}, {9, 30, 5771}},
    {{3, 1, 1900}, {12, 30, 5660}},
    {{2, 29, 2000}, {12, 23, 5760}},
    {{12, 31, 2000}, {10, 5, 5761}},
    {{1, 1, 1800}, {10, 4, 5560}},
    {{12, 31, 2300}, {10, 18, 6061}},
    {{3, 1, 2300}, {12, 9, 6060}},    // common year Adar
    {{9, 16, 2240}, {6, 29, 6000}},
};

void ExpectSame(const GregorianDate& actual, const GregorianDate& expected) {
  EXPECT_EQ(actual.month, expected.month);
  EXPECT_EQ(actual.day, expected.day);
  EXPECT_EQ(actual.year, expected.year);
}

void ExpectSame(const HebrewDate& actual, const HebrewDate& expected) {
  EXPECT_EQ(actual.month, expected.month);
  EXPECT_EQ(actual.day, expected.day);
  EXPECT_EQ(actual.year, expected.year);
}

TEST(Calendar, KnownDatesBothWays) {
  for (const KnownDay& k : kKnownDays) {
    SCOPED_TRACE(testing::Message() << k.gregorian.month << "/" << k.gregorian.day << "/"
                                    << k.gregorian.year);
    const AbsoluteDay d =
        GregorianToAbsolute(k.gregorian.month, k.gregorian.day, k.gregorian.year);
    ExpectSame(AbsoluteToHebrew(d), k.hebrew);
    EXPECT_EQ(HebrewToAbsolute(k.hebrew.month, k.hebrew.day, k.hebrew.year), d);
    ExpectSame(AbsoluteToGregorian(d), k.gregorian);
  }
}

TEST(Calendar, AbsoluteDayAnchors) {
  EXPECT_EQ(GregorianToAbsolute(9, 30, 2008), 733315);
  EXPECT_EQ(GregorianToAbsolute(1, 1, 1), 1);
  EXPECT_EQ(GregorianToAbsolute(12, 31, 2004), 731946);
  EXPECT_EQ(GregorianToAbsolute(12, 31, 9999), kLastAbsoluteDay);
  // The Hebrew epoch: 1 Tishrei of year 1 lies before day 1.
  EXPECT_EQ(HebrewNewYearDay(1), 1);
  EXPECT_EQ(HebrewToAbsolute(7, 1, 1), -1373427);
}

TEST(Calendar, AbsoluteToGregorianCycleEnds) {
  ExpectSame(AbsoluteToGregorian(1), {1, 1, 1});
  // Last day of a 400-year cycle (the c100 = 4 branch) and last day of a leap
  // year inside a 4-year cycle (the c1 = 4 branch).
  ExpectSame(AbsoluteToGregorian(GregorianToAbsolute(12, 31, 2000)), {12, 31, 2000});
  ExpectSame(AbsoluteToGregorian(731946), {12, 31, 2004});
  ExpectSame(AbsoluteToGregorian(GregorianToAbsolute(12, 31, 2000) + 1), {1, 1, 2001});
  ExpectSame(AbsoluteToGregorian(kLastAbsoluteDay), {12, 31, 9999});
}

TEST(Calendar, GregorianLeapDays) {
  EXPECT_TRUE(IsGregorianLeapYear(2000));
  EXPECT_TRUE(IsGregorianLeapYear(2004));
  EXPECT_FALSE(IsGregorianLeapYear(1900));
  EXPECT_FALSE(IsGregorianLeapYear(2001));
  EXPECT_EQ(GregorianToAbsolute(3, 1, 2000), GregorianToAbsolute(2, 29, 2000) + 1);
  EXPECT_EQ(GregorianToAbsolute(3, 1, 1900), GregorianToAbsolute(2, 28, 1900) + 1);
  EXPECT_EQ(GregorianDayOfYear(12, 31, 2000), 366);
  EXPECT_EQ(GregorianDayOfYear(12, 31, 1900), 365);
  EXPECT_EQ(GregorianDayOfYear(3, 1, 2004), 61);
}

TEST(Calendar, HebrewYearLengthsAndMonths) {
  struct Case {
    std::int32_t year;
    std::int32_t length;
    bool leap;
    std::int32_t cheshvan;
    std::int32_t kislev;
  };
  constexpr Case kCases[] = {
      {5768, 383, true, 29, 29},   // short Kislev
      {5769, 354, false, 29, 30},  // regular
      {5770, 355, false, 30, 30},  // long Cheshvan
      {5771, 385, true, 30, 30},
      {5784, 383, true, 29, 29},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(HebrewYearLength(c.year), c.length);
    EXPECT_EQ(IsHebrewLeapYear(c.year), c.leap);
    EXPECT_EQ(HebrewMonthLength(8, c.year), c.cheshvan);
    EXPECT_EQ(HebrewMonthLength(9, c.year), c.kislev);
    EXPECT_EQ(HebrewMonthLength(12, c.year), c.leap ? 30 : 29);
    std::int32_t sum = 0;
    for (std::int32_t m = 1; m <= (c.leap ? 13 : 12); ++m) sum += HebrewMonthLength(m, c.year);
    EXPECT_EQ(sum, c.length);
  }
}

// Every day of the Gregorian years 1800 to 2300: both conversions invert each
// other, days follow each other, and every Hebrew year has a valid length.
TEST(Calendar, RoundTripsEveryDay1800To2300) {
  const AbsoluteDay first = GregorianToAbsolute(1, 1, 1800);
  const AbsoluteDay last = GregorianToAbsolute(12, 31, 2300);
  GregorianDate previous = AbsoluteToGregorian(first - 1);
  int failures = 0;
  AbsoluteDay firstFailure = 0;
  for (AbsoluteDay d = first; d <= last; ++d) {
    const GregorianDate g = AbsoluteToGregorian(d);
    if (GregorianToAbsolute(g.month, g.day, g.year) != d) ++failures;
    const bool next = (g.day == previous.day + 1 && g.month == previous.month) ||
                      (g.day == 1 && (g.month == previous.month + 1 ||
                                      (g.month == 1 && g.year == previous.year + 1)));
    if (!next) ++failures;
    previous = g;
    const HebrewDate h = AbsoluteToHebrew(d);
    if (h.day < 1 || h.day > HebrewMonthLength(h.month, h.year)) ++failures;
    if (HebrewToAbsolute(h.month, h.day, h.year) != d) ++failures;
    if (failures != 0 && firstFailure == 0) firstFailure = d;
  }
  EXPECT_EQ(failures, 0) << "first at day " << firstFailure;
  for (std::int32_t year = 5560; year <= 6061; ++year) {
    const std::int32_t length = HebrewYearLength(year);
    const bool valid = IsHebrewLeapYear(year) ? (length >= 383 && length <= 385)
                                              : (length >= 353 && length <= 355);
    EXPECT_TRUE(valid) << year << " has " << length << " days";
  }
}

// The month search starts at the table's month; for 1583 to 3000 that month
// never lies after the true one in the year's order.
TEST(Calendar, SearchStartMonthNeverPassesTrueMonth1583To3000) {
  const AbsoluteDay first = GregorianToAbsolute(1, 1, 1583);
  const AbsoluteDay last = GregorianToAbsolute(12, 31, 3000);
  int failures = 0;
  for (AbsoluteDay d = first; d <= last && failures < 10; ++d) {
    const GregorianDate g = AbsoluteToGregorian(d);
    const HebrewDate h = AbsoluteToHebrew(d);
    const std::int32_t start = kHebrewSearchStartMonth[static_cast<std::size_t>(g.month - 1)];
    if (HebrewToAbsolute(start, 1, h.year) > d) {
      ++failures;
      ADD_FAILURE() << "start month " << start << " after " << g.month << "/" << g.day << "/"
                    << g.year;
    }
  }
}

// The published search from the year estimate and Tishrei or Nisan, as a
// reference for days where the start table no longer holds.
HebrewDate ReferenceAbsoluteToHebrew(AbsoluteDay d) {
  std::int32_t year = (d + 1373429) / 366;
  while (d >= HebrewToAbsolute(7, 1, year + 1)) ++year;
  std::int32_t month = d < HebrewToAbsolute(1, 1, year) ? 7 : 1;
  while (d > HebrewToAbsolute(month, HebrewMonthLength(month, year), year)) ++month;
  return {month, d - HebrewToAbsolute(month, 1, year) + 1, year};
}

// Over the whole range, on the days around every Hebrew month's start (where a
// wrong start month shows), the conversion agrees with the reference.
TEST(Calendar, WholeRangeMonthBoundariesMatchReference) {
  const std::int32_t firstYear = AbsoluteToHebrew(kFirstAbsoluteDay).year;
  const std::int32_t lastYear = AbsoluteToHebrew(kLastAbsoluteDay).year;
  EXPECT_EQ(firstYear, 3761);
  EXPECT_EQ(lastYear, 13760);
  int failures = 0;
  for (std::int32_t year = firstYear; year <= lastYear && failures < 10; ++year) {
    for (std::int32_t month = 1; month <= (IsHebrewLeapYear(year) ? 13 : 12); ++month) {
      const AbsoluteDay start = HebrewToAbsolute(month, 1, year);
      for (AbsoluteDay d = start - 1; d <= start; ++d) {
        if (d < kFirstAbsoluteDay || d > kLastAbsoluteDay) continue;
        const HebrewDate got = AbsoluteToHebrew(d);
        const HebrewDate want = ReferenceAbsoluteToHebrew(d);
        if (got.month != want.month || got.day != want.day || got.year != want.year) {
          ++failures;
          ADD_FAILURE() << "day " << d << ": " << got.month << "/" << got.day << "/" << got.year
                        << " instead of " << want.month << "/" << want.day << "/" << want.year;
        }
      }
    }
  }
}

// Outside the range the conversions answer "none" instead of a wrong date.
TEST(Calendar, OutOfRangeInputs) {
  EXPECT_EQ(GregorianToAbsolute(1, 1, 0), 0);
  EXPECT_EQ(GregorianToAbsolute(1, 1, 10000), 0);
  EXPECT_EQ(GregorianToAbsolute(0, 1, 2008), 0);
  EXPECT_EQ(GregorianToAbsolute(13, 1, 2008), 0);
  EXPECT_EQ(GregorianToAbsolute(1, 0, 2008), 0);
  EXPECT_EQ(GregorianToAbsolute(1, 32, 2008), 0);
  EXPECT_EQ(GregorianToAbsolute(2, 31, 2008), GregorianToAbsolute(3, 2, 2008));
  EXPECT_EQ(GregorianDayOfYear(INT32_MAX, 1, 2008), 0);
  EXPECT_EQ(GregorianDayOfYear(1, INT32_MIN, 2008), 0);
  for (AbsoluteDay d : {AbsoluteDay{0}, AbsoluteDay{-1}, kLastAbsoluteDay + 1, INT32_MIN,
                        INT32_MAX}) {
    SCOPED_TRACE(d);
    ExpectSame(AbsoluteToGregorian(d), GregorianDate{});
    ExpectSame(AbsoluteToHebrew(d), HebrewDate{});
  }
  EXPECT_EQ(HebrewToAbsolute(0, 1, 5769), 0);
  EXPECT_EQ(HebrewToAbsolute(14, 1, 5769), 0);
  EXPECT_EQ(HebrewToAbsolute(7, 31, 5769), 0);
  EXPECT_EQ(HebrewToAbsolute(7, 1, 0), 0);
  EXPECT_EQ(HebrewToAbsolute(7, 1, INT32_MAX), 0);
  EXPECT_EQ(HebrewNewYearDay(0), 0);
  EXPECT_EQ(HebrewNewYearDay(INT32_MIN), 0);
  EXPECT_EQ(HebrewYearLength(INT32_MAX), 0);
  EXPECT_FALSE(IsHebrewLeapYear(INT32_MAX));
}

}  // namespace
