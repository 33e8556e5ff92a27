#include "core/Conversions.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using core::CivilDateTime;
using core::DateTime;
using core::fromCivil;
using core::toCivil;

namespace {

CivilDateTime civil(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return CivilDateTime{y, mo, d, h, mi, s, ms};
}

constexpr double msPerDay = 86'400'000.0;

} // namespace

TEST(DateTime, KnownDaysFromTheEpoch) {
    EXPECT_EQ(fromCivil(civil(1899, 12, 30)).days, 0.0);
    EXPECT_EQ(fromCivil(civil(1900, 1, 1)).days, 2.0);
    EXPECT_EQ(fromCivil(civil(2000, 1, 1)).days, 36526.0);
    EXPECT_EQ(fromCivil(civil(2024, 2, 29)).days, 45351.0);
    EXPECT_EQ(fromCivil(civil(1800, 1, 1)).days, -36522.0);
    EXPECT_EQ(fromCivil(civil(100, 1, 1)).days, -657434.0);
    EXPECT_EQ(fromCivil(civil(9999, 12, 31)).days, 2958465.0);
    EXPECT_EQ(toCivil({36526.5}), civil(2000, 1, 1, 12));
    EXPECT_EQ(toCivil({-657434}), civil(100, 1, 1));
    EXPECT_EQ(toCivil({2958465.5}), civil(9999, 12, 31, 12));
}

TEST(DateTime, BeforeTheEpochTheTimeOfDayStaysPositive) {
    EXPECT_EQ(toCivil({-1.25}), civil(1899, 12, 29, 6));
    EXPECT_EQ(fromCivil(civil(1899, 12, 29, 6)).days, -1.25);
    EXPECT_EQ(toCivil({-0.5}), civil(1899, 12, 30, 12));
    EXPECT_EQ(toCivil({-1.0}), civil(1899, 12, 29));
    EXPECT_EQ(toCivil({-36522.75}), civil(1800, 1, 1, 18));
    EXPECT_EQ(fromCivil(civil(1800, 1, 1, 18)).days, -36522.75);
    EXPECT_EQ(fromCivil(civil(1899, 12, 30, 12)).days, 0.5) << "day 0 is never negative";
}

TEST(DateTime, LeapYears) {
    EXPECT_EQ(core::daysInMonth(2000, 2), 29);
    EXPECT_EQ(core::daysInMonth(1900, 2), 28);
    EXPECT_EQ(core::daysInMonth(2024, 2), 29);
    EXPECT_EQ(core::daysInMonth(2023, 2), 28);
    EXPECT_EQ(core::daysInMonth(1600, 2), 29);
    EXPECT_EQ(core::daysInMonth(1700, 2), 28);
    EXPECT_EQ(fromCivil(civil(2000, 3, 1)).days - fromCivil(civil(2000, 2, 28)).days, 2.0);
    EXPECT_EQ(fromCivil(civil(1900, 3, 1)).days - fromCivil(civil(1900, 2, 28)).days, 1.0);
    EXPECT_EQ(fromCivil(civil(1800, 3, 1)).days - fromCivil(civil(1800, 2, 28)).days, 1.0);
    EXPECT_FALSE(core::isValidCivil(civil(1900, 2, 29)));
    EXPECT_TRUE(core::isValidCivil(civil(2000, 2, 29)));
    EXPECT_THROW(fromCivil(civil(2100, 2, 29)), core::TypeMismatch);
}

// Walking day by day checks the calendar independently of any formula: each day number must
// name the calendar day after the one before it.
TEST(DateTime, ConsecutiveDaysAreConsecutiveCalendarDays) {
    CivilDateTime previous = toCivil({-693593});
    EXPECT_EQ(previous, civil(1, 1, 1));
    for (int n = -693592; n <= 2958465; ++n) {
        const CivilDateTime c = toCivil({double(n)});
        CivilDateTime expected = previous;
        if (++expected.day > core::daysInMonth(expected.year, expected.month)) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
        ASSERT_EQ(c, expected) << "day " << n;
        ASSERT_EQ(fromCivil(c).days, double(n));
        previous = c;
    }
    EXPECT_EQ(previous, civil(9999, 12, 31));
}

TEST(DateTime, RoundsToTheNearestMillisecond) {
    EXPECT_EQ(toCivil({(12 * 3600000.0 + 0.4) / msPerDay}), civil(1899, 12, 30, 12));
    EXPECT_EQ(toCivil({(12 * 3600000.0 + 0.6) / msPerDay}), civil(1899, 12, 30, 12, 0, 0, 1));
    EXPECT_EQ(toCivil({36526 + 45296789 / msPerDay}), civil(2000, 1, 1, 12, 34, 56, 789));
}

TEST(DateTime, RoundingCarriesIntoTheNextDay) {
    const double almost = (msPerDay - 0.4) / msPerDay; // 23:59:59.9996
    EXPECT_EQ(toCivil({36525 + almost}), civil(2000, 1, 1));
    EXPECT_EQ(toCivil({2 + almost}), civil(1900, 1, 2));
    EXPECT_EQ(toCivil({45350 + almost}), civil(2024, 2, 29)) << "through a leap day";
    EXPECT_EQ(toCivil({-1 - almost}), civil(1899, 12, 30)) << "the day after 1899-12-29";
    EXPECT_EQ(toCivil({-36523 - almost}), civil(1800, 1, 1));
    EXPECT_EQ(core::formatIsoDateTime({36525 + almost}), "2000-01-01T00:00:00.000");
    EXPECT_EQ(toCivil({36525 + (msPerDay - 0.6) / msPerDay}), civil(1999, 12, 31, 23, 59, 59, 999));
}

TEST(DateTime, CivilRoundTripKeepsMilliseconds) {
    std::mt19937 random(42);
    for (int i = 0; i < 20000; ++i) {
        CivilDateTime c;
        c.year = int(100 + random() % 9900);
        c.month = int(1 + random() % 12);
        c.day = int(1 + random() % unsigned(core::daysInMonth(c.year, c.month)));
        c.hour = int(random() % 24);
        c.minute = int(random() % 60);
        c.second = int(random() % 60);
        c.millisecond = int(random() % 1000);
        const DateTime dt = fromCivil(c);
        ASSERT_EQ(toCivil(dt), c) << core::formatDouble(dt.days);
    }
}

TEST(DateTime, FormatsIso) {
    EXPECT_EQ(core::formatIsoDateTime({-1.25}), "1899-12-29T06:00:00.000");
    EXPECT_EQ(core::formatIsoDateTime({0}), "1899-12-30T00:00:00.000");
    EXPECT_EQ(core::formatIsoDateTime(fromCivil(civil(2023, 7, 4, 9, 5, 3, 7))),
              "2023-07-04T09:05:03.007");
    EXPECT_EQ(core::formatIsoDateTime({-657434}), "0100-01-01T00:00:00.000");
}

TEST(DateTime, RejectsWhatIsNoDate) {
    EXPECT_THROW(toCivil({std::numeric_limits<double>::quiet_NaN()}), core::TypeMismatch);
    EXPECT_THROW(toCivil({std::numeric_limits<double>::infinity()}), core::TypeMismatch);
    EXPECT_THROW(toCivil({1e300}), core::TypeMismatch);
    EXPECT_THROW(toCivil({2958466}), core::TypeMismatch) << "year 10000";
    EXPECT_THROW(toCivil({-693594}), core::TypeMismatch) << "year 0";
    EXPECT_THROW(fromCivil(civil(2023, 13, 1)), core::TypeMismatch);
    EXPECT_THROW(fromCivil(civil(2023, 4, 31)), core::TypeMismatch);
    EXPECT_THROW(fromCivil(civil(2023, 4, 1, 24)), core::TypeMismatch);
    EXPECT_THROW(fromCivil(civil(2023, 4, 1, 0, 0, 0, 1000)), core::TypeMismatch);
    EXPECT_THROW(fromCivil(civil(0, 1, 1)), core::TypeMismatch);
}

TEST(DateTime, ReadsIsoDatesAndTimesAndNothingElse) {
    const std::vector<std::pair<std::string, core::CivilDateTime>> valid = {
        {"2024-02-29", {2024, 2, 29}},
        {"2024-02-29 13:45", {2024, 2, 29, 13, 45}},
        {"2024-02-29T13:45:07", {2024, 2, 29, 13, 45, 7}},
        {"1850-07-04 06:30:15.25", {1850, 7, 4, 6, 30, 15, 250}},
        {"0001-01-01T00:00:00.001", {1, 1, 1, 0, 0, 0, 1}},
        {"9999-12-31 23:59:59.999", {9999, 12, 31, 23, 59, 59, 999}},
    };
    for (const auto& [text, civil] : valid)
        EXPECT_EQ(core::toCivil(core::parseIsoDateTime(text)), civil) << text;
    for (const char* text :
         {"", "2024-2-29", "2023-02-29", "2024-02-29 24:00", "2024-02-29 13", "2024-02-29x13:45",
          "2024-02-29 13:45:07.1234", "2024-02-29 13:45:", "02/29/2024", "2024-02-29 "})
        EXPECT_THROW(core::parseIsoDateTime(text), core::TypeMismatch) << text;
}

TEST(Hex, ReadsWhatFormatHexWrites) {
    const core::Bytes bytes = {0x00, 0x7f, 0x80, 0xff};
    EXPECT_EQ(core::parseHex(core::formatHex(bytes)), bytes);
    EXPECT_EQ(core::parseHex("00FFab"), (core::Bytes{0x00, 0xff, 0xab}));
    EXPECT_TRUE(core::parseHex("").empty());
    for (const char* text : {"0", "0g", "0x00", " 00"})
        EXPECT_THROW(core::parseHex(text), core::TypeMismatch) << text;
}
