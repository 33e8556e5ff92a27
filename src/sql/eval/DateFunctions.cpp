// Now, Date, Time, the date part functions (Year ... Second, Weekday), DateAdd, DateDiff,
// DatePart, DateSerial, TimeSerial, DateValue, TimeValue, MonthName and WeekdayName.
// Null dates give Null; Null counts and intervals are errors.
#include "core/DateParts.h"
#include "core/DateText.h"
#include "core/TypeConversion.h"
#include "sql/eval/DateInterval.h"
#include "sql/eval/FunctionFamilies.h"

#include <array>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

// The optional first day of the week (0 is the system's, Sunday) and first week of the year.
int firstDayArg(Args a, std::size_t i) {
    if (i >= a.size()) return 1;
    const std::int32_t d = core::toLong(a[i]);
    if (d < 0 || d > 7) throwInvalidArgument();
    return d == 0 ? 1 : d;
}

int firstWeekArg(Args a, std::size_t i) {
    if (i >= a.size()) return 1;
    const std::int32_t w = core::toLong(a[i]);
    if (w < 0 || w > 3) throwInvalidArgument();
    return w == 0 ? 1 : w;
}

core::Value now(Args, const EvalContext& context) {
    return currentDateTime(context);
}

core::Value today(Args, const EvalContext& context) {
    return core::dateFromDayAndSeconds(core::splitDate(currentDateTime(context)).dayNumber, 0);
}

core::Value timeNow(Args, const EvalContext& context) {
    return core::dateFromDayAndSeconds(0, core::splitDate(currentDateTime(context)).secondOfDay);
}

template <int core::DateParts::*Field> core::Value part(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return std::int16_t(core::splitDate(core::toDate(a[0])).*Field);
}

core::Value weekday(Args a, const EvalContext&) {
    const int first = firstDayArg(a, 1);
    if (a[0].isNull()) return {};
    return std::int16_t(core::weekdayOf(core::splitDate(core::toDate(a[0])).dayNumber, first));
}

core::Value weekdayNameOf(Args a, const EvalContext&) {
    const std::int32_t n = core::toLong(a[0]);
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && core::toBoolean(a[1]);
    const int first = firstDayArg(a, 2);
    if (n < 1 || n > 7) throwInvalidArgument();
    return std::string(core::weekdayName((n - 1 + first - 1) % 7 + 1, abbreviate));
}

core::Value monthNameOf(Args a, const EvalContext&) {
    const std::int32_t m = core::toLong(a[0]);
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && core::toBoolean(a[1]);
    if (m < 1 || m > 12) throwInvalidArgument();
    return std::string(core::monthName(m, abbreviate));
}

DateInterval intervalArg(const core::Value& v) {
    return parseDateInterval(core::toText(v));
}

core::Value dateAddOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const std::int64_t count = core::toLong(a[1]);
    if (a[2].isNull()) return {};
    return dateAdd(interval, count, core::toDate(a[2]));
}

core::Value dateDiffOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const int first = firstDayArg(a, 3);
    firstWeekArg(a, 4);
    if (a[1].isNull() || a[2].isNull()) return {};
    const std::int64_t d = dateDiff(interval, core::toDate(a[1]), core::toDate(a[2]), first);
    if (d < INT32_MIN || d > INT32_MAX) core::throwOverflow();
    return std::int32_t(d);
}

core::Value datePartOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const int first = firstDayArg(a, 2);
    const int week = firstWeekArg(a, 3);
    if (a[1].isNull()) return {};
    return std::int16_t(datePart(interval, core::toDate(a[1]), first, week));
}

// Months past 12 and days past the month's end carry over, zero and negative ones borrow:
// DateSerial(2001, 13, 1) is 2002-01-01 and DateSerial(2001, 3, 0) is 2001-02-28.
core::Value dateSerial(Args a, const EvalContext&) {
    const std::int64_t year = core::expandTwoDigitYear(core::toInteger(a[0]));
    const std::int64_t month = core::toInteger(a[1]);
    const std::int64_t day = core::toInteger(a[2]);
    const std::int64_t months = year * 12 + (month - 1);
    const std::int64_t normalYear = months >= 0 ? months / 12 : (months - 11) / 12;
    const int normalMonth = int(months - normalYear * 12) + 1;
    if (normalYear < core::minDateYear || normalYear > core::maxDateYear) throwInvalidArgument();
    const core::DateTime dt = core::dateFromDayAndSeconds(
        core::dayNumberOf(int(normalYear), normalMonth, 1) + day - 1, 0);
    if (!core::inDateRange(dt)) throwInvalidArgument();
    return dt;
}

core::Value timeSerial(Args a, const EvalContext&) {
    const double seconds = double(core::toInteger(a[0])) * 3600 +
                           double(core::toInteger(a[1])) * 60 + double(core::toInteger(a[2]));
    return core::dateFromDayAndSeconds(0, seconds);
}

core::Value dateValue(Args a, const EvalContext&) {
    return core::dateFromDayAndSeconds(core::splitDate(core::toDate(a[0])).dayNumber, 0);
}

core::Value timeValue(Args a, const EvalContext&) {
    return core::dateFromDayAndSeconds(0, core::splitDate(core::toDate(a[0])).secondOfDay);
}

constexpr std::array<FunctionInfo, 19> functions = {{
    {"Now", 0, 0, now, true},
    {"Date", 0, 0, today, true},
    {"Time", 0, 0, timeNow, true},
    {"Year", 1, 1, part<&core::DateParts::year>},
    {"Month", 1, 1, part<&core::DateParts::month>},
    {"Day", 1, 1, part<&core::DateParts::day>},
    {"Hour", 1, 1, part<&core::DateParts::hour>},
    {"Minute", 1, 1, part<&core::DateParts::minute>},
    {"Second", 1, 1, part<&core::DateParts::second>},
    {"Weekday", 1, 2, weekday},
    {"WeekdayName", 1, 3, weekdayNameOf},
    {"MonthName", 1, 2, monthNameOf},
    {"DateAdd", 3, 3, dateAddOf},
    {"DateDiff", 3, 5, dateDiffOf},
    {"DatePart", 2, 4, datePartOf},
    {"DateSerial", 3, 3, dateSerial},
    {"TimeSerial", 3, 3, timeSerial},
    {"DateValue", 1, 1, dateValue},
    {"TimeValue", 1, 1, timeValue},
}};

} // namespace

std::span<const FunctionInfo> dateFunctions() {
    return functions;
}

} // namespace sql
