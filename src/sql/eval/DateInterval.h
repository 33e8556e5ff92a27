#pragma once
// The interval codes of DateAdd, DateDiff and DatePart ("yyyy", "q", "m", "y", "d", "w",
// "ww", "h", "n", "s") and the calendar arithmetic behind those functions.
#include "core/Value.h"

#include <cstdint>
#include <string_view>

namespace sql {

enum class DateInterval {
    Year,
    Quarter,
    Month,
    DayOfYear,
    Day,
    Weekday,
    Week,
    Hour,
    Minute,
    Second
};

// Raises "Invalid procedure call or argument" for an unknown code.
DateInterval parseDateInterval(std::string_view code);

// DateAdd: months keep the day where the target month has it and clip it to the month's end
// otherwise (Jan 31 + 1 month = Feb 28 or 29); the time of day is kept. A result outside
// the years 100 to 9999 is an invalid argument.
core::DateTime dateAdd(DateInterval interval, std::int64_t count, core::DateTime date);

// DateDiff counts the interval's boundaries crossed from a to b ("yyyy" from Dec 31 to Jan 1
// is 1); "w" counts whole weeks, "ww" the first days of the week passed.
std::int64_t dateDiff(DateInterval interval, core::DateTime a, core::DateTime b,
                      int firstDayOfWeek);

// DatePart.
int datePart(DateInterval interval, core::DateTime date, int firstDayOfWeek, int firstWeekOfYear);

} // namespace sql
