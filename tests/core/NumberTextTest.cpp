#include "core/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

using core::formatDouble;

TEST(NumberText, DoubleIsShortestText) {
    EXPECT_EQ(formatDouble(444.555), "444.555");
    EXPECT_EQ(formatDouble(2.0), "2");
    EXPECT_EQ(formatDouble(-0.5), "-0.5");
    EXPECT_EQ(formatDouble(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatDouble(1e-7), "1e-07");
    EXPECT_EQ(formatDouble(123456789012.0), "123456789012");
}

TEST(NumberText, SingleIsJudgedAtFloatPrecision) {
    EXPECT_EQ(core::formatSingle(0.1f), "0.1");
    EXPECT_EQ(core::formatSingle(3.0f), "3");
    EXPECT_NE(formatDouble(double(0.1f)), "0.1");
}

TEST(NumberText, DoubleReadsBackBitForBit) {
    std::mt19937_64 random(99);
    for (int i = 0; i < 5000; ++i) {
        std::uint64_t bits = random();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) continue;
        const std::string text = formatDouble(d);
        const double back = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&back, &d, sizeof d), 0) << text;
    }
}

TEST(NumberText, HexIsLowercase) {
    EXPECT_EQ(core::formatHex({}), "");
    EXPECT_EQ(core::formatHex({0x00, 0xAB, 0x10, 0xFF}), "00ab10ff");
}
