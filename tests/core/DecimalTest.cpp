#include "core/Conversions.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <random>

using core::Decimal;
using core::formatDecimal;
using core::parseDecimal;

namespace {

Decimal dec(bool negative, std::uint32_t hi, std::uint32_t mid, std::uint32_t lo,
            std::uint8_t scale) {
    Decimal d;
    d.negative = negative;
    d.hi = hi;
    d.mid = mid;
    d.lo = lo;
    d.scale = scale;
    return d;
}

// 10^28 - 1 = 0x204FCE5E_3E250261_0FFFFFFF, the largest 28-digit magnitude.
Decimal twentyEightNines(std::uint8_t scale) {
    return dec(false, 0x204FCE5E, 0x3E250261, 0x0FFFFFFF, scale);
}

} // namespace

TEST(Decimal, FormatsExactlyItsScale) {
    EXPECT_EQ(formatDecimal(dec(true, 0, 0, 1, 0)), "-1");
    EXPECT_EQ(formatDecimal(dec(false, 0, 0, 1250, 2)), "12.50");
    EXPECT_EQ(formatDecimal(dec(false, 0, 0, 5, 2)), "0.05");
    EXPECT_EQ(formatDecimal(dec(true, 0, 0, 5, 3)), "-0.005");
    EXPECT_EQ(formatDecimal(dec(false, 0, 0, 0, 0)), "0");
    EXPECT_EQ(formatDecimal(dec(false, 0, 0, 0, 4)), "0.0000");
}

TEST(Decimal, NegativeZeroHasNoSign) {
    EXPECT_EQ(formatDecimal(dec(true, 0, 0, 0, 0)), "0");
    EXPECT_EQ(formatDecimal(dec(true, 0, 0, 0, 2)), "0.00");
}

TEST(Decimal, UsesAllThreeWords) {
    EXPECT_EQ(formatDecimal(dec(false, 0, 1, 0, 0)), "4294967296");
    EXPECT_EQ(formatDecimal(dec(false, 1, 0, 0, 0)), "18446744073709551616");
    EXPECT_EQ(formatDecimal(dec(false, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)),
              "79228162514264337593543950335");
    EXPECT_EQ(formatDecimal(dec(true, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 28)),
              "-7.9228162514264337593543950335");
}

TEST(Decimal, FormatsTwentyEightDigits) {
    EXPECT_EQ(formatDecimal(twentyEightNines(0)), "9999999999999999999999999999");
    EXPECT_EQ(formatDecimal(twentyEightNines(28)), "0.9999999999999999999999999999");
    EXPECT_EQ(formatDecimal(twentyEightNines(10)), "999999999999999999.9999999999");
    EXPECT_EQ(formatDecimal(dec(false, 0, 0, 1, 28)), "0.0000000000000000000000000001");
}

TEST(Decimal, ParsesAtTheGivenScale) {
    EXPECT_EQ(parseDecimal("12.5", 2), dec(false, 0, 0, 1250, 2));
    EXPECT_EQ(parseDecimal(" -7 ", 0), dec(true, 0, 0, 7, 0));
    EXPECT_EQ(parseDecimal("12.345", 2), dec(false, 0, 0, 1235, 2));
    EXPECT_EQ(parseDecimal("-0.005", 2), dec(true, 0, 0, 1, 2));
    EXPECT_EQ(parseDecimal("-0.004", 2), dec(false, 0, 0, 0, 2)) << "no negative zero";
    EXPECT_EQ(parseDecimal("9999999999999999999999999999", 0), twentyEightNines(0));
    EXPECT_EQ(parseDecimal("0.9999999999999999999999999999", 28), twentyEightNines(28));
}

TEST(Decimal, RejectsWhatDoesNotFitTwentyEightDigits) {
    EXPECT_THROW(parseDecimal("10000000000000000000000000000", 0), core::TypeMismatch);
    EXPECT_THROW(parseDecimal("1", 28), core::TypeMismatch);
    EXPECT_THROW(parseDecimal("0.99999999999999999999999999995", 28), core::TypeMismatch)
        << "rounding up past the limit";
    EXPECT_THROW(parseDecimal("1", 29), core::TypeMismatch);
    EXPECT_THROW(parseDecimal("1.2.3", 2), core::TypeMismatch);
    EXPECT_THROW(parseDecimal("", 2), core::TypeMismatch);
}

TEST(Decimal, FormatAndParseRoundTrip) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        Decimal d =
            dec(random() % 2 == 0, std::uint32_t(random()) % 0x204FCE5E, std::uint32_t(random()),
                std::uint32_t(random()), std::uint8_t(random() % 29));
        if (i % 3 == 0) d.hi = 0;
        if (i % 5 == 0) d.mid = 0;
        if (d.hi == 0 && d.mid == 0 && d.lo == 0) d.negative = false;
        const std::string text = formatDecimal(d);
        ASSERT_EQ(parseDecimal(text, d.scale), d) << text;
    }
}
