#pragma once
// Calendar arithmetic on Jet dates. Jet stores days before 1899-12-30 with a positive time
// fraction (-1.25 is 1899-12-29 06:00), so every calculation here works on the "linear" day
// count (-0.75 for that moment) and converts back at the end.
#include "core/Value.h"

#include <cstdint>

namespace core {

// The range VBA's date functions accept: 100-01-01 to 9999-12-31.
constexpr int minDateYear = 100;
constexpr int maxDateYear = 9999;

// A moment split the way the date functions see it, the time rounded to the second.
struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    std::int64_t dayNumber = 0;   // days from 1899-12-30
    std::int32_t secondOfDay = 0; // 0 .. 86399
};

double toLinear(core::DateTime dt);
core::DateTime fromLinear(double linear);

// Throws core::TypeMismatch outside the years 1 to 9999.
DateParts splitDate(core::DateTime dt);

// Day number of a valid calendar date (any year 1..9999).
std::int64_t dayNumberOf(int year, int month, int day);
// A day number plus seconds into that day (may be negative or past a day) as a Jet date.
core::DateTime dateFromDayAndSeconds(std::int64_t dayNumber, double seconds);
// Whether the moment lies within minDateYear..maxDateYear.
bool inDateRange(core::DateTime dt);

// 1..7 counting from firstDayOfWeek (1 = Sunday .. 7 = Saturday).
int weekdayOf(std::int64_t dayNumber, int firstDayOfWeek);
// 1-based day of the year.
int dayOfYear(const DateParts& p);
// Week of the year (1..54) with the given first day of the week and first-week rule
// (1: the week holding January 1, 2: the first week with four days, 3: the first full week).
int weekOfYear(const DateParts& p, int firstDayOfWeek, int firstWeekOfYear);

// Two-digit years as VBA reads them: 0..29 is 2000..2029, 30..99 is 1930..1999.
int expandTwoDigitYear(int year);

} // namespace core
