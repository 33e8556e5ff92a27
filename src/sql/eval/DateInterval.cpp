#include "sql/eval/DateInterval.h"

#include "core/Conversions.h"
#include "core/DateParts.h"
#include "core/TextUnits.h"
#include "sql/eval/EvalErrors.h"

#include <algorithm>
#include <string>

namespace sql {

namespace {

constexpr std::int64_t secondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - floorDiv(a, b) * b;
}

core::DateTime checkedRange(core::DateTime dt) {
    if (!core::inDateRange(dt)) throwInvalidArgument();
    return dt;
}

std::int64_t absoluteSecond(const core::DateParts& p) {
    return p.dayNumber * secondsPerDay + p.secondOfDay;
}

core::DateTime addMonths(core::DateTime date, std::int64_t months) {
    const core::DateParts p = core::splitDate(date);
    const std::int64_t total = std::int64_t(p.year) * 12 + (p.month - 1) + months;
    const std::int64_t year = floorDiv(total, 12);
    if (year < core::minDateYear || year > core::maxDateYear) throwInvalidArgument();
    const int month = int(floorMod(total, 12)) + 1;
    const int day = std::min(p.day, core::daysInMonth(int(year), month));
    return checkedRange(
        core::dateFromDayAndSeconds(core::dayNumberOf(int(year), month, day), p.secondOfDay));
}

// Whole seconds, so that adding and subtracting the same amount gives the same moment back.
core::DateTime addSeconds(core::DateTime date, std::int64_t seconds) {
    const core::DateParts p = core::splitDate(date);
    const std::int64_t total = absoluteSecond(p) + seconds;
    const std::int64_t day = floorDiv(total, secondsPerDay);
    return checkedRange(core::dateFromDayAndSeconds(day, double(total - day * secondsPerDay)));
}

std::int64_t startOfWeek(std::int64_t dayNumber, int firstDayOfWeek) {
    return dayNumber - (core::weekdayOf(dayNumber, firstDayOfWeek) - 1);
}

} // namespace

DateInterval parseDateInterval(std::string_view code) {
    const std::string c = core::lowerCase(code);
    if (c == "yyyy") return DateInterval::Year;
    if (c == "q") return DateInterval::Quarter;
    if (c == "m") return DateInterval::Month;
    if (c == "y") return DateInterval::DayOfYear;
    if (c == "d") return DateInterval::Day;
    if (c == "w") return DateInterval::Weekday;
    if (c == "ww") return DateInterval::Week;
    if (c == "h") return DateInterval::Hour;
    if (c == "n") return DateInterval::Minute;
    if (c == "s") return DateInterval::Second;
    throwInvalidArgument();
}

core::DateTime dateAdd(DateInterval interval, std::int64_t count, core::DateTime date) {
    switch (interval) {
    case DateInterval::Year:
        return addMonths(date, count * 12);
    case DateInterval::Quarter:
        return addMonths(date, count * 3);
    case DateInterval::Month:
        return addMonths(date, count);
    case DateInterval::DayOfYear:
    case DateInterval::Day:
    case DateInterval::Weekday:
        return addSeconds(date, count * secondsPerDay);
    case DateInterval::Week:
        return addSeconds(date, count * 7 * secondsPerDay);
    case DateInterval::Hour:
        return addSeconds(date, count * 3600);
    case DateInterval::Minute:
        return addSeconds(date, count * 60);
    case DateInterval::Second:
        return addSeconds(date, count);
    }
    throwInvalidArgument();
}

std::int64_t dateDiff(DateInterval interval, core::DateTime a, core::DateTime b,
                      int firstDayOfWeek) {
    const core::DateParts x = core::splitDate(a), y = core::splitDate(b);
    switch (interval) {
    case DateInterval::Year:
        return y.year - x.year;
    case DateInterval::Quarter:
        return (y.year * 4 + (y.month - 1) / 3) - (x.year * 4 + (x.month - 1) / 3);
    case DateInterval::Month:
        return (y.year * 12 + y.month) - (x.year * 12 + x.month);
    case DateInterval::DayOfYear:
    case DateInterval::Day:
        return y.dayNumber - x.dayNumber;
    case DateInterval::Weekday:
        return (y.dayNumber - x.dayNumber) / 7;
    case DateInterval::Week:
        return (startOfWeek(y.dayNumber, firstDayOfWeek) -
                startOfWeek(x.dayNumber, firstDayOfWeek)) /
               7;
    case DateInterval::Hour:
        return floorDiv(absoluteSecond(y), 3600) - floorDiv(absoluteSecond(x), 3600);
    case DateInterval::Minute:
        return floorDiv(absoluteSecond(y), 60) - floorDiv(absoluteSecond(x), 60);
    case DateInterval::Second:
        return absoluteSecond(y) - absoluteSecond(x);
    }
    throwInvalidArgument();
}

int datePart(DateInterval interval, core::DateTime date, int firstDayOfWeek, int firstWeekOfYear) {
    const core::DateParts p = core::splitDate(date);
    switch (interval) {
    case DateInterval::Year:
        return p.year;
    case DateInterval::Quarter:
        return (p.month - 1) / 3 + 1;
    case DateInterval::Month:
        return p.month;
    case DateInterval::DayOfYear:
        return core::dayOfYear(p);
    case DateInterval::Day:
        return p.day;
    case DateInterval::Weekday:
        return core::weekdayOf(p.dayNumber, firstDayOfWeek);
    case DateInterval::Week:
        return core::weekOfYear(p, firstDayOfWeek, firstWeekOfYear);
    case DateInterval::Hour:
        return p.hour;
    case DateInterval::Minute:
        return p.minute;
    case DateInterval::Second:
        return p.second;
    }
    throwInvalidArgument();
}

} // namespace sql
