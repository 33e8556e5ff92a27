// Values of number and #date# literals.
#include "core/Conversions.h"
#include "sql/syntax/Literals.h"

#include <gtest/gtest.h>

#include <limits>

namespace sql {
namespace {

TEST(NumberLiteral, DigitsThatFitALongAreALong) {
    EXPECT_EQ(numberLiteral("0", false), core::Value(std::int32_t(0)));
    EXPECT_EQ(numberLiteral("42", false), core::Value(std::int32_t(42)));
    EXPECT_EQ(numberLiteral("2147483647", false),
              core::Value(std::numeric_limits<std::int32_t>::max()));
}

TEST(NumberLiteral, LargerIntegersBecomeDoubles) {
    EXPECT_EQ(numberLiteral("2147483648", false), core::Value(2147483648.0));
    EXPECT_EQ(numberLiteral("99999999999999999999", false), core::Value(1e20));
}

TEST(NumberLiteral, PointOrExponentMakesADouble) {
    EXPECT_EQ(numberLiteral("1.5", true), core::Value(1.5));
    EXPECT_EQ(numberLiteral(".25", true), core::Value(0.25));
    EXPECT_EQ(numberLiteral("2.", true), core::Value(2.0));
    EXPECT_EQ(numberLiteral("1e5", true), core::Value(100000.0));
    EXPECT_EQ(numberLiteral("1.5E-3", true), core::Value(0.0015));
}

TEST(NumberLiteral, BeyondADoubleIsNothing) {
    EXPECT_FALSE(numberLiteral("1e999", true).has_value());
}

struct DateCase {
    const char* text;
    core::CivilDateTime expected;
};

class DateLiterals : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateLiterals, ReadAsCalendarDate) {
    const auto value = dateLiteral(GetParam().text);
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_EQ(core::toCivil(*value), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Literals, DateLiterals,
    ::testing::Values(DateCase{"1/2/2000", {2000, 1, 2}},        // US: month first
                      DateCase{"12/31/1999", {1999, 12, 31}},    //
                      DateCase{"2000-01-02", {2000, 1, 2}},      // ISO
                      DateCase{"2000/1/2", {2000, 1, 2}},        //
                      DateCase{"13/1/2000", {2000, 1, 13}},      // no 13th month: day first
                      DateCase{"1/2/29", {2029, 1, 2}},          // two-digit years below 30
                      DateCase{"1/2/30", {1930, 1, 2}},          // ... and from 30 on
                      DateCase{"2/29/2000", {2000, 2, 29}},      // leap year
                      DateCase{"1-Jan-2000", {2000, 1, 1}},      //
                      DateCase{"January 5, 2000", {2000, 1, 5}}, //
                      DateCase{"5 sept 2001", {2001, 9, 5}},     //
                      DateCase{"1/2/2000 10:30", {2000, 1, 2, 10, 30}},
                      DateCase{"2000-01-02 23:59:59", {2000, 1, 2, 23, 59, 59}},
                      DateCase{"1/2/2000 10:30:15 PM", {2000, 1, 2, 22, 30, 15}},
                      DateCase{"12:00 AM", {1899, 12, 30, 0, 0}}, // a time alone: day zero
                      DateCase{"12:30 pm", {1899, 12, 30, 12, 30}},
                      DateCase{"3 PM", {1899, 12, 30, 15}},
                      DateCase{" 10:00 ", {1899, 12, 30, 10}}));

TEST(DateLiteral, TimeIsTheFractionOfTheDay) {
    EXPECT_DOUBLE_EQ(dateLiteral("12/30/1899 06:00")->days, 0.25);
    EXPECT_DOUBLE_EQ(dateLiteral("12/31/1899")->days, 1.0);
    EXPECT_DOUBLE_EQ(dateLiteral("18:00")->days, 0.75);
}

class BadDateLiterals : public ::testing::TestWithParam<const char*> {};

TEST_P(BadDateLiterals, AreRejected) {
    EXPECT_FALSE(dateLiteral(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Literals, BadDateLiterals,
                         ::testing::Values("", "   ", "abc", "13/13/2000", "2/30/2000", "2/29/1900",
                                           "1/2", "1/2/3/4", "25:00", "10:61", "13:00 PM",
                                           "1/2/2000 10:00:00:00", "1/2/20000", "1/2/99 AM",
                                           "Smarch 1, 2000", "1/2/2000 ?", "1/1/99999"));

} // namespace
} // namespace sql
