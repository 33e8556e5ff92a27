// Now, Date, Time, the date part functions (Year ... Second, Weekday), DateAdd, DateDiff,
// DatePart, DateSerial, TimeSerial, DateValue, TimeValue, MonthName and WeekdayName.
// Null dates give Null; Null counts and intervals are errors.
#include "sql/eval/Conversion.h"
#include "sql/eval/DateInterval.h"
#include "sql/eval/DateParts.h"
#include "sql/eval/DateText.h"
#include "sql/eval/FunctionFamilies.h"

#include <array>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

// The optional first day of the week (0 is the system's, Sunday) and first week of the year.
int firstDayArg(Args a, std::size_t i) {
    if (i >= a.size()) return 1;
    const std::int32_t d = toLong(a[i]);
    if (d < 0 || d > 7) throwInvalidArgument();
    return d == 0 ? 1 : d;
}

int firstWeekArg(Args a, std::size_t i) {
    if (i >= a.size()) return 1;
    const std::int32_t w = toLong(a[i]);
    if (w < 0 || w > 3) throwInvalidArgument();
    return w == 0 ? 1 : w;
}

core::Value now(Args, const EvalContext& context) {
    return currentDateTime(context);
}

core::Value today(Args, const EvalContext& context) {
    return dateFromDayAndSeconds(splitDate(currentDateTime(context)).dayNumber, 0);
}

core::Value timeNow(Args, const EvalContext& context) {
    return dateFromDayAndSeconds(0, splitDate(currentDateTime(context)).secondOfDay);
}

template <int DateParts::*Field> core::Value part(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return std::int16_t(splitDate(toDate(a[0])).*Field);
}

core::Value weekday(Args a, const EvalContext&) {
    const int first = firstDayArg(a, 1);
    if (a[0].isNull()) return {};
    return std::int16_t(weekdayOf(splitDate(toDate(a[0])).dayNumber, first));
}

core::Value weekdayNameOf(Args a, const EvalContext&) {
    const std::int32_t n = toLong(a[0]);
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && toBoolean(a[1]);
    const int first = firstDayArg(a, 2);
    if (n < 1 || n > 7) throwInvalidArgument();
    return std::string(weekdayName((n - 1 + first - 1) % 7 + 1, abbreviate));
}

core::Value monthNameOf(Args a, const EvalContext&) {
    const std::int32_t m = toLong(a[0]);
    const bool abbreviate = a.size() > 1 && !a[1].isNull() && toBoolean(a[1]);
    if (m < 1 || m > 12) throwInvalidArgument();
    return std::string(monthName(m, abbreviate));
}

DateInterval intervalArg(const core::Value& v) {
    return parseDateInterval(toText(v));
}

core::Value dateAddOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const std::int64_t count = toLong(a[1]);
    if (a[2].isNull()) return {};
    return dateAdd(interval, count, toDate(a[2]));
}

core::Value dateDiffOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const int first = firstDayArg(a, 3);
    firstWeekArg(a, 4);
    if (a[1].isNull() || a[2].isNull()) return {};
    const std::int64_t d = dateDiff(interval, toDate(a[1]), toDate(a[2]), first);
    if (d < INT32_MIN || d > INT32_MAX) throwOverflow();
    return std::int32_t(d);
}

core::Value datePartOf(Args a, const EvalContext&) {
    const DateInterval interval = intervalArg(a[0]);
    const int first = firstDayArg(a, 2);
    const int week = firstWeekArg(a, 3);
    if (a[1].isNull()) return {};
    return std::int16_t(datePart(interval, toDate(a[1]), first, week));
}

// Months past 12 and days past the month's end carry over, zero and negative ones borrow:
// DateSerial(2001, 13, 1) is 2002-01-01 and DateSerial(2001, 3, 0) is 2001-02-28.
core::Value dateSerial(Args a, const EvalContext&) {
    const std::int64_t year = expandTwoDigitYear(toInteger(a[0]));
    const std::int64_t month = toInteger(a[1]);
    const std::int64_t day = toInteger(a[2]);
    const std::int64_t months = year * 12 + (month - 1);
    const std::int64_t normalYear = months >= 0 ? months / 12 : (months - 11) / 12;
    const int normalMonth = int(months - normalYear * 12) + 1;
    if (normalYear < minDateYear || normalYear > maxDateYear) throwInvalidArgument();
    const core::DateTime dt =
        dateFromDayAndSeconds(dayNumberOf(int(normalYear), normalMonth, 1) + day - 1, 0);
    if (!inDateRange(dt)) throwInvalidArgument();
    return dt;
}

core::Value timeSerial(Args a, const EvalContext&) {
    const double seconds =
        double(toInteger(a[0])) * 3600 + double(toInteger(a[1])) * 60 + double(toInteger(a[2]));
    return dateFromDayAndSeconds(0, seconds);
}

core::Value dateValue(Args a, const EvalContext&) {
    return dateFromDayAndSeconds(splitDate(toDate(a[0])).dayNumber, 0);
}

core::Value timeValue(Args a, const EvalContext&) {
    return dateFromDayAndSeconds(0, splitDate(toDate(a[0])).secondOfDay);
}

constexpr std::array<FunctionInfo, 19> functions = {{
    {"Now", 0, 0, now, true},
    {"Date", 0, 0, today, true},
    {"Time", 0, 0, timeNow, true},
    {"Year", 1, 1, part<&DateParts::year>},
    {"Month", 1, 1, part<&DateParts::month>},
    {"Day", 1, 1, part<&DateParts::day>},
    {"Hour", 1, 1, part<&DateParts::hour>},
    {"Minute", 1, 1, part<&DateParts::minute>},
    {"Second", 1, 1, part<&DateParts::second>},
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
