// Exact Decimal arithmetic: scales, rounding to 28 digits, overflow, division.
#include "core/DecimalMath.h"
#include "core/Error.h"
#include "core/TypeConversion.h"

#include <gtest/gtest.h>

namespace {

core::Decimal dec(std::string_view text) {
    return core::toDecimal(core::Value(std::string(text)));
}

std::string show(const core::Decimal& d) {
    return core::decimalToText(d);
}

TEST(DecimalMath, AddsAcrossScales) {
    EXPECT_EQ(show(core::decimalAdd(dec("1.5"), dec("0.25"))), "1.75");
    EXPECT_EQ(show(core::decimalSubtract(dec("1"), dec("1.0001"))), "-0.0001");
    EXPECT_EQ(show(core::decimalAdd(dec("-2"), dec("2"))), "0");
    EXPECT_FALSE(core::decimalAdd(dec("-2"), dec("2")).negative);
}

TEST(DecimalMath, MultipliesExactlyAndRoundsPastTwentyEightDigits) {
    EXPECT_EQ(show(core::decimalMultiply(dec("1.1"), dec("1.1"))), "1.21");
    EXPECT_EQ(show(core::decimalMultiply(dec("0.0000000000000001"), dec("0.0000000000000001"))),
              "0");
    EXPECT_EQ(show(core::decimalMultiply(dec("1234567890123456789012345678"), dec("0.1"))),
              "123456789012345678901234567.8");
    // 28 nines times 0.5 needs a 29th digit; it is a tie, rounded to the even neighbour.
    EXPECT_EQ(show(core::decimalMultiply(dec("9999999999999999999999999999"), dec("0.5"))),
              "5000000000000000000000000000");
    EXPECT_EQ(show(core::decimalMultiply(dec("9999999999999999999999999997"), dec("0.5"))),
              "4999999999999999999999999998");
}

TEST(DecimalMath, DividesToTwentyEightDigits) {
    EXPECT_EQ(show(core::decimalDivide(dec("1"), dec("3"))), "0.3333333333333333333333333333");
    EXPECT_EQ(show(core::decimalDivide(dec("2"), dec("3"))), "0.6666666666666666666666666667");
    EXPECT_EQ(show(core::decimalDivide(dec("10"), dec("0.5"))), "20");
    EXPECT_EQ(show(core::decimalDivide(dec("-7"), dec("2"))), "-3.5");
    EXPECT_THROW(core::decimalDivide(dec("1"), dec("0")), core::Error);
}

TEST(DecimalMath, OverflowsPastTwentyEightIntegerDigits) {
    const core::Decimal big = dec("9999999999999999999999999999");
    EXPECT_THROW(core::decimalAdd(big, dec("1")), core::TypeMismatch);
    EXPECT_THROW(core::decimalMultiply(big, dec("10")), core::TypeMismatch);
    EXPECT_THROW(dec("1e40"), core::TypeMismatch);
}

TEST(DecimalMath, RoundsHalfToEven) {
    EXPECT_EQ(show(core::decimalRound(dec("2.675"), 2)), "2.68");
    EXPECT_EQ(show(core::decimalRound(dec("2.665"), 2)), "2.66");
    EXPECT_EQ(show(core::decimalRound(dec("-0.5"), 0)), "0");
    EXPECT_EQ(show(core::decimalRound(dec("1.5"), 0)), "2");
    EXPECT_EQ(show(core::decimalRound(dec("1.5"), 3)), "1.5");
}

TEST(DecimalMath, WholeParts) {
    EXPECT_EQ(show(core::decimalTruncate(dec("-2.5"))), "-2");
    EXPECT_EQ(show(core::decimalFloor(dec("-2.5"))), "-3");
    EXPECT_EQ(show(core::decimalFloor(dec("2.5"))), "2");
    EXPECT_EQ(show(core::decimalFloor(dec("-3"))), "-3");
}

TEST(DecimalMath, ComparesBySignAndScale) {
    EXPECT_EQ(core::decimalCompare(dec("1.50"), dec("1.5")), 0);
    EXPECT_LT(core::decimalCompare(dec("-1"), dec("0.5")), 0);
    EXPECT_GT(core::decimalCompare(dec("-1"), dec("-1.5")), 0);
    EXPECT_EQ(core::decimalCompare(core::decimalNegate(dec("0")), dec("0")), 0);
}

TEST(DecimalMath, ConvertsToOtherTypes) {
    EXPECT_EQ(core::decimalToInt64(dec("2.5")), 2);
    EXPECT_EQ(core::decimalToInt64(dec("-3.5")), -4);
    EXPECT_EQ(core::decimalToCurrency(dec("1.23455")).units, 12346);
    EXPECT_EQ(core::decimalToCurrency(dec("1.23445")).units, 12344);
    EXPECT_DOUBLE_EQ(core::decimalToDouble(dec("0.1")), 0.1);
    EXPECT_EQ(show(core::decimalFromDouble(0.1 + 0.2)), "0.3");
    EXPECT_THROW(core::decimalToInt64(dec("9223372036854775808")), core::TypeMismatch);
    EXPECT_EQ(core::decimalToInt64(dec("-9223372036854775808")), INT64_MIN);
}

} // namespace
