#pragma once
// The local date from the system clock. Tests fix "today" with
// SetLocalDateOverride instead of changing the machine's clock; a program run
// under libfaketime sees the faked time, since the date comes from time().

#include <optional>

namespace pf {

struct LocalDate {
  int year = 0;   // e.g. 2008
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

// Today's year, month and day in local time, or the override when one is set.
// A zero date when the clock or the time zone conversion fails.
LocalDate GetLocalDate();

// Makes GetLocalDate return `date` until called again with std::nullopt. The
// date is returned as given, unchecked. For tests.
void SetLocalDateOverride(std::optional<LocalDate> date);

}  // namespace pf
