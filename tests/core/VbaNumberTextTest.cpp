// Numbers to and from text: CStr's 15 digits, numeric text as conversions read it, Val.
#include "core/NumberText.h"

#include <gtest/gtest.h>

namespace {

struct DoubleText {
    double value;
    const char* text;
};

class VbaDoubleText : public testing::TestWithParam<DoubleText> {};

TEST_P(VbaDoubleText, Formats) {
    EXPECT_EQ(core::formatVbaDouble(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, VbaDoubleText,
                         testing::Values(DoubleText{0.0, "0"}, DoubleText{0.1 + 0.2, "0.3"},
                                         DoubleText{-2.5, "-2.5"}, DoubleText{100.0, "100"},
                                         DoubleText{123456789012345.0, "123456789012345"},
                                         DoubleText{1e15, "1E+15"},
                                         DoubleText{1234567890123456.0, "1.23456789012346E+15"},
                                         DoubleText{0.0001, "0.0001"}, DoubleText{0.00001, "1E-05"},
                                         DoubleText{1.5e-7, "1.5E-07"}, DoubleText{1e100, "1E+100"},
                                         DoubleText{2.0 / 3, "0.666666666666667"}));

TEST(NumberText, SingleUsesSevenDigits) {
    EXPECT_EQ(core::formatVbaSingle(0.1f), "0.1");
    EXPECT_EQ(core::formatVbaSingle(1.0f / 3), "0.3333333");
    EXPECT_EQ(core::formatVbaSingle(12345678.0f), "1.234568E+07");
}

struct NumericText {
    const char* text;
    std::optional<double> value;
};

class ParseNumber : public testing::TestWithParam<NumericText> {};

TEST_P(ParseNumber, ReadsAsConversionsDo) {
    EXPECT_EQ(core::parseNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseNumber,
    testing::Values(NumericText{"12", 12.0}, NumericText{"  -12.5  ", -12.5},
                    NumericText{"+.5", 0.5}, NumericText{"1,234,567", 1234567.0},
                    NumericText{"1.5e3", 1500.0}, NumericText{"1.5D-1", 0.15},
                    NumericText{"$12.50", 12.5}, NumericText{"(12)", -12.0},
                    NumericText{"&HFF", 255.0}, NumericText{"&HFFFF", -1.0},
                    NumericText{"&o17", 15.0}, NumericText{"", std::nullopt},
                    NumericText{"abc", std::nullopt}, NumericText{"1.2.3", std::nullopt},
                    NumericText{"12abc", std::nullopt}, NumericText{",1", std::nullopt},
                    NumericText{"1e", std::nullopt}, NumericText{"-", std::nullopt},
                    NumericText{"1e400", std::nullopt}));

TEST(NumberText, ExactDigitsKeepEveryDigit) {
    const auto d = core::parseNumericText("0.10000000000000000000001");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->digits, "10000000000000000000001");
    EXPECT_EQ(d->exponent, -23);
    const auto big = core::parseNumericText("-1200");
    ASSERT_TRUE(big);
    EXPECT_TRUE(big->negative);
    EXPECT_EQ(big->digits, "12");
    EXPECT_EQ(big->exponent, 2);
}

struct ValCase {
    const char* text;
    double value;
};

class Val : public testing::TestWithParam<ValCase> {};

TEST_P(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(core::valOf(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, Val,
                         testing::Values(ValCase{"  1615 198th Street N.E.", 1615198.0},
                                         ValCase{"2457", 2457.0}, ValCase{" 2 45 7", 2457.0},
                                         ValCase{"24 and 57", 24.0}, ValCase{"", 0.0},
                                         ValCase{"abc", 0.0}, ValCase{"-3.5x", -3.5},
                                         ValCase{"1e3", 1000.0}, ValCase{"1e", 1.0},
                                         ValCase{"&HFFFF", -1.0}, ValCase{"&H10zz", 16.0},
                                         ValCase{"1,000", 1.0}));

} // namespace
