// Jet day counts to and from calendar dates (proleptic Gregorian calendar).
#include "core/Conversions.h"
#include "core/Error.h"

#include <cmath>
#include <cstdio>

namespace core {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;
constexpr int minYear = 1;
constexpr int maxYear = 9999;

constexpr bool isLeapYear(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Days since 1970-01-01 of a civil date, valid for any year; counted in 400-year eras
// (146097 days each) starting on March 1st so that the leap day ends each year.
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

constexpr std::int64_t jetEpoch = daysFromCivil(1899, 12, 30);

[[noreturn]] void outOfRange(double days) {
    throw TypeMismatch("The date value " + formatDouble(days) + " is outside the years 1 to 9999.");
}

} // namespace

int daysInMonth(int year, int month) {
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

bool isValidCivil(const CivilDateTime& c) {
    return c.year >= minYear && c.year <= maxYear && c.month >= 1 && c.month <= 12 && c.day >= 1 &&
           c.day <= daysInMonth(c.year, c.month) && c.hour >= 0 && c.hour < 24 && c.minute >= 0 &&
           c.minute < 60 && c.second >= 0 && c.second < 60 && c.millisecond >= 0 &&
           c.millisecond < 1000;
}

CivilDateTime toCivil(DateTime dt) {
    // Rejecting huge values first keeps the integer conversions below defined.
    if (!(std::fabs(dt.days) < 1e8)) outOfRange(dt.days);

    // Before the epoch the integer part counts days back while the fraction is still the
    // time of day, so -1.25 is the day before at 06:00, not 18:00.
    const double dayPart = std::trunc(dt.days);
    const double timePart = std::fabs(dt.days - dayPart);
    std::int64_t day = std::int64_t(dayPart);
    std::int64_t ms = std::llround(timePart * double(msPerDay));
    if (ms >= msPerDay) { // 23:59:59.9996 and later belong to the next calendar day
        ms -= msPerDay;
        ++day;
    }

    const CivilDate date = civilFromDays(jetEpoch + day);
    if (date.year < minYear || date.year > maxYear) outOfRange(dt.days);
    CivilDateTime c;
    c.year = int(date.year);
    c.month = date.month;
    c.day = date.day;
    c.hour = int(ms / 3'600'000);
    c.minute = int(ms / 60'000 % 60);
    c.second = int(ms / 1000 % 60);
    c.millisecond = int(ms % 1000);
    return c;
}

DateTime fromCivil(const CivilDateTime& c) {
    if (!isValidCivil(c)) {
        char text[64];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", c.year, c.month,
                      c.day, c.hour, c.minute, c.second, c.millisecond);
        throw TypeMismatch(std::string("Not a valid date and time: ") + text + ".");
    }
    const std::int64_t day = daysFromCivil(c.year, c.month, c.day) - jetEpoch;
    const std::int64_t ms =
        ((std::int64_t(c.hour) * 60 + c.minute) * 60 + c.second) * 1000 + c.millisecond;
    const double fraction = double(ms) / double(msPerDay);
    return DateTime{day >= 0 ? double(day) + fraction : double(day) - fraction};
}

std::string formatIsoDateTime(DateTime dt) {
    const CivilDateTime c = toCivil(dt);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second, c.millisecond);
    return text;
}

namespace {

// Exactly `count` digits at `pos`, or -1.
int digitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

DateTime parseIsoDateTime(std::string_view text) {
    const auto fail = [&]() -> DateTime {
        throw TypeMismatch("Data type mismatch: '" + std::string(text) +
                           "' is not a date in the form YYYY-MM-DD or YYYY-MM-DD HH:MM:SS.");
    };
    CivilDateTime c;
    c.year = digitsAt(text, 0, 4);
    c.month = digitsAt(text, 5, 2);
    c.day = digitsAt(text, 8, 2);
    if (c.year < 0 || c.month < 0 || c.day < 0 || text[4] != '-' || text[7] != '-') return fail();
    if (text.size() > 10) {
        if (text[10] != ' ' && text[10] != 'T') return fail();
        c.hour = digitsAt(text, 11, 2);
        c.minute = digitsAt(text, 14, 2);
        if (c.hour < 0 || c.minute < 0 || text[13] != ':') return fail();
        std::size_t end = 16;
        if (text.size() > end) {
            c.second = digitsAt(text, end + 1, 2);
            if (text[end] != ':' || c.second < 0) return fail();
            end += 3;
        }
        if (text.size() > end) {
            const std::size_t decimals = text.size() - end - 1;
            if (text[end] != '.' || decimals < 1 || decimals > 3) return fail();
            const int fraction = digitsAt(text, end + 1, decimals);
            if (fraction < 0) return fail();
            c.millisecond = fraction * (decimals == 1 ? 100 : decimals == 2 ? 10 : 1);
        }
    } else if (text.size() != 10) {
        return fail();
    }
    if (!isValidCivil(c))
        throw TypeMismatch("Data type mismatch: '" + std::string(text) + "' is not a real date.");
    return fromCivil(c);
}

} // namespace core
