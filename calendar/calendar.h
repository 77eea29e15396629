#pragma once
// Calendar arithmetic: the local Gregorian date, a plain day count, and the
// arithmetic Hebrew calendar (molad in parts of an hour, the four
// postponements), after the published algorithms of Dershowitz and Reingold.
//
// All functions except ReadLocalDate are pure. Their range is the proleptic
// Gregorian years 1 to 9999 (AbsoluteDay kFirstAbsoluteDay to
// kLastAbsoluteDay, Hebrew years 3761 to 13760); inside it all arithmetic
// stays in 32 bits with non-negative operands. Inputs outside the range give
// the documented "none" value (0 or a zero date) instead of a wrong date.

#include <array>
#include <cstdint>

// Days since the start of the proleptic Gregorian calendar: 1 January 1 is
// day 1; 30 September 2008 is day 733315. 0 means "no day".
using AbsoluteDay = std::int32_t;

struct GregorianDate {
  std::int32_t month = 0;  // 1..12
  std::int32_t day = 0;    // 1..31
  std::int32_t year = 0;   // 1 and later; a zero date means "none"
};

// Hebrew months are numbered from Nisan = 1; 12 is Adar (Adar I in a leap
// year), 13 Adar II. The year runs 7..12 (13), then 1..6.
struct HebrewDate {
  std::int32_t month = 0;  // 1..13
  std::int32_t day = 0;    // 1..30
  std::int32_t year = 0;   // year of the world; a zero date means "none"
};

constexpr std::int32_t kFirstGregorianYear = 1;
constexpr std::int32_t kLastGregorianYear = 9999;
constexpr AbsoluteDay kFirstAbsoluteDay = 1;        // 1 January 1
constexpr AbsoluteDay kLastAbsoluteDay = 3652059;   // 31 December 9999
constexpr std::int32_t kFirstHebrewYear = 1;
// Hebrew years the Hebrew functions accept: beyond the year of
// kLastAbsoluteDay (13760) with room for the year after it.
constexpr std::int32_t kLastHebrewYear = 14000;

// The Hebrew month from which AbsoluteToHebrew starts its month search, by
// Gregorian month 1..12 (index 0 = January). No entry lies after the Hebrew
// month of any day of its Gregorian month for the years 1583 to 3000.
inline constexpr std::array<std::int32_t, 12> kHebrewSearchStartMonth = {9, 10, 11, 12, 1, 2,
                                                                         3, 4,  7,  7,  7, 8};

// Today's date from the year, month and day of local time (platform clock,
// which tests can fix). A zero date when the clock cannot be read.
GregorianDate ReadLocalDate();

// Divisible by 4 and either not by 100 or by 400.
bool IsGregorianLeapYear(std::int32_t year);
// Day of the year, 1..366, for a month 1..12 and day 1..31; 0 when month or
// day lies outside those ranges. A day past the end of its month counts on.
std::int32_t GregorianDayOfYear(std::int32_t month, std::int32_t day, std::int32_t year);
// The day count of a date; 0 when month is not 1..12, day not 1..31 or the
// year outside kFirstGregorianYear..kLastGregorianYear. A day past the end of
// its month counts on into the next month (31 February is 3 March in a common
// year).
AbsoluteDay GregorianToAbsolute(std::int32_t month, std::int32_t day, std::int32_t year);
// The date of a day count; a zero date outside kFirstAbsoluteDay..kLastAbsoluteDay.
GregorianDate AbsoluteToGregorian(AbsoluteDay day);

// (7 * year + 1) mod 19 < 7; false outside kFirstHebrewYear..kLastHebrewYear.
bool IsHebrewLeapYear(std::int32_t year);
// The day count of 1 Tishrei of the year, counted from the Hebrew epoch (1 is
// 1 Tishrei of year 1); 0 outside kFirstHebrewYear..kLastHebrewYear.
std::int32_t HebrewNewYearDay(std::int32_t year);
// 353, 354, 355, 383, 384 or 385; 0 outside kFirstHebrewYear..kLastHebrewYear - 1.
std::int32_t HebrewYearLength(std::int32_t year);
// 29 or 30 for a month 1..13 of the year (month 13 is 29 also in a common year).
std::int32_t HebrewMonthLength(std::int32_t month, std::int32_t year);
// The day count of a Hebrew date; 0 when month is not 1..13, day not 1..30 or
// the year outside kFirstHebrewYear..kLastHebrewYear - 1. Like the Gregorian
// side, a day past the end of its month counts on.
AbsoluteDay HebrewToAbsolute(std::int32_t month, std::int32_t day, std::int32_t year);
// The Hebrew date of a day count; a zero date outside
// kFirstAbsoluteDay..kLastAbsoluteDay.
HebrewDate AbsoluteToHebrew(AbsoluteDay day);
