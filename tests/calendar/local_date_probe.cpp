// Prints the local date and today's lesson as the program sees them, so a
// test can run it under libfaketime: "YEAR-MM-DD LESSON".

#include <cstdio>

#include "calendar/calendar.h"
#include "calendar/schedule.h"

int main() {
  const GregorianDate today = ReadLocalDate();
  std::printf("%04d-%02d-%02d %u\n", static_cast<int>(today.year), static_cast<int>(today.month),
              static_cast<int>(today.day),
              static_cast<unsigned>(LessonForDay(GregorianToAbsolute(today.month, today.day, today.year))));
  return 0;
}
