#include "core/DateParts.h"

#include "core/Conversions.h"

#include <cmath>

namespace core {

namespace {

constexpr std::int64_t secondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

double toLinear(core::DateTime dt) {
    if (dt.days >= 0) return dt.days;
    const double whole = std::ceil(dt.days);
    return whole + (whole - dt.days);
}

core::DateTime fromLinear(double linear) {
    if (linear >= 0) return core::DateTime{linear};
    const double whole = std::floor(linear);
    const double fraction = linear - whole;
    return core::DateTime{fraction == 0 ? whole : whole - fraction};
}

DateParts splitDate(core::DateTime dt) {
    const double linear = toLinear(dt);
    if (!(std::fabs(linear) < 1e8)) core::toCivil(dt); // raises the out-of-range error
    const auto totalSeconds = std::int64_t(std::llround(linear * double(secondsPerDay)));
    DateParts p;
    p.dayNumber = floorDiv(totalSeconds, secondsPerDay);
    p.secondOfDay = std::int32_t(totalSeconds - p.dayNumber * secondsPerDay);
    const core::CivilDateTime c = core::toCivil(core::DateTime{double(p.dayNumber)});
    p.year = c.year;
    p.month = c.month;
    p.day = c.day;
    p.hour = p.secondOfDay / 3600;
    p.minute = p.secondOfDay / 60 % 60;
    p.second = p.secondOfDay % 60;
    return p;
}

std::int64_t dayNumberOf(int year, int month, int day) {
    core::CivilDateTime c;
    c.year = year;
    c.month = month;
    c.day = day;
    return std::int64_t(core::fromCivil(c).days);
}

core::DateTime dateFromDayAndSeconds(std::int64_t dayNumber, double seconds) {
    const double wholeDays = std::floor(seconds / double(secondsPerDay));
    dayNumber += std::int64_t(wholeDays);
    seconds -= wholeDays * double(secondsPerDay);
    // Built the way core::fromCivil builds it, so equal moments give equal doubles.
    const double fraction = seconds / double(secondsPerDay);
    return core::DateTime{dayNumber >= 0 ? double(dayNumber) + fraction
                                         : double(dayNumber) - fraction};
}

bool inDateRange(core::DateTime dt) {
    // 100-01-01 and the last second of 9999-12-31 as linear day counts.
    constexpr double first = -657434.0;
    constexpr double last = 2958466.0;
    const double linear = toLinear(dt);
    return linear >= first && linear < last;
}

int weekdayOf(std::int64_t dayNumber, int firstDayOfWeek) {
    // 1899-12-30 was a Saturday (7 when Sunday is 1).
    const int sundayBased = int(((dayNumber + 6) % 7 + 7) % 7) + 1;
    return (sundayBased - firstDayOfWeek + 7) % 7 + 1;
}

int dayOfYear(const DateParts& p) {
    return int(p.dayNumber - dayNumberOf(p.year, 1, 1)) + 1;
}

int weekOfYear(const DateParts& p, int firstDayOfWeek, int firstWeekOfYear) {
    const auto startOfFirstWeek = [&](int year) {
        const std::int64_t jan1 = dayNumberOf(year, 1, 1);
        const int offset = weekdayOf(jan1, firstDayOfWeek) - 1; // days since the week began
        std::int64_t start = jan1 - offset;
        if (firstWeekOfYear == 2 && 7 - offset < 4) start += 7;
        if (firstWeekOfYear == 3 && offset != 0) start += 7;
        return start;
    };
    std::int64_t start = startOfFirstWeek(p.year);
    if (p.dayNumber < start && p.year > 1) start = startOfFirstWeek(p.year - 1);
    return int((p.dayNumber - start) / 7) + 1;
}

int expandTwoDigitYear(int year) {
    if (year >= 0 && year <= 29) return 2000 + year;
    if (year >= 30 && year <= 99) return 1900 + year;
    return year;
}

} // namespace core
