#include "core/Conversions.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using core::Currency;
using core::formatCurrency;
using core::parseCurrency;

namespace {

constexpr std::int64_t minUnits = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t maxUnits = std::numeric_limits<std::int64_t>::max();

std::string messageOf(std::string_view text) {
    try {
        parseCurrency(text);
    } catch (const core::TypeMismatch& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Currency, FormatsFourDecimalsWithSign) {
    EXPECT_EQ(formatCurrency({35000}), "3.5000");
    EXPECT_EQ(formatCurrency({0}), "0.0000");
    EXPECT_EQ(formatCurrency({-1}), "-0.0001");
    EXPECT_EQ(formatCurrency({-10000}), "-1.0000");
    EXPECT_EQ(formatCurrency({123456789}), "12345.6789");
    EXPECT_EQ(formatCurrency({maxUnits}), "922337203685477.5807");
    EXPECT_EQ(formatCurrency({minUnits}), "-922337203685477.5808");
}

TEST(Currency, ParsesExactly) {
    EXPECT_EQ(parseCurrency("12.5"), Currency{125000});
    EXPECT_EQ(parseCurrency("12"), Currency{120000});
    EXPECT_EQ(parseCurrency("0.0001"), Currency{1});
    EXPECT_EQ(parseCurrency("  -0.0001\t"), Currency{-1});
    EXPECT_EQ(parseCurrency("+3"), Currency{30000});
    EXPECT_EQ(parseCurrency(".5"), Currency{5000});
    EXPECT_EQ(parseCurrency("5."), Currency{50000});
    EXPECT_EQ(parseCurrency("-0"), Currency{0});
    // 0.1 has no exact double; a detour through double would give 999 or 1001 here.
    EXPECT_EQ(parseCurrency("0.1"), Currency{1000});
    EXPECT_EQ(parseCurrency("000000000000000000000000000000000001.5"), Currency{15000});
}

TEST(Currency, ParsesTheExtremes) {
    EXPECT_EQ(parseCurrency("922337203685477.5807"), Currency{maxUnits});
    EXPECT_EQ(parseCurrency("-922337203685477.5808"), Currency{minUnits});
}

TEST(Currency, RoundsTheFifthDecimalHalfAwayFromZero) {
    EXPECT_EQ(parseCurrency("1.00005"), Currency{10001});
    EXPECT_EQ(parseCurrency("-1.00005"), Currency{-10001});
    EXPECT_EQ(parseCurrency("1.000049999999"), Currency{10000});
    EXPECT_EQ(parseCurrency("0.99995"), Currency{10000});
    EXPECT_EQ(parseCurrency("-0.00004"), Currency{0});
    EXPECT_EQ(parseCurrency("-922337203685477.58079"), Currency{minUnits});
}

TEST(Currency, OverflowIsReportedAsSuch) {
    for (const char* text :
         {"922337203685477.5808", "-922337203685477.5809", "922337203685477.58075",
          "99999999999999999999999999999999999999999", "100000000000000000000"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parseCurrency(text), core::TypeMismatch);
        EXPECT_NE(messageOf(text).find("Overflow"), std::string::npos);
    }
}

TEST(Currency, GarbageIsADataTypeMismatch) {
    for (const char* text : {"", "   ", "abc", "1.2.3", "1e5", "--1", "+-1", "1 2", ".", "-", "12a",
                             "$5", "1,5", "0x10", "- 1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(messageOf(text).rfind("Data type mismatch", 0), 0u);
    }
}

TEST(Currency, FormatAndParseRoundTrip) {
    std::mt19937_64 random(20240601);
    std::vector<std::int64_t> values = {0,     1,        -1,       9999,        -9999,
                                        10000, maxUnits, minUnits, minUnits + 1};
    for (int i = 0; i < 2000; ++i) {
        const auto v = std::int64_t(random());
        values.push_back(v);
        values.push_back(v >> (i % 60)); // small magnitudes too
    }
    for (std::int64_t v : values) {
        const std::string text = formatCurrency({v});
        ASSERT_EQ(parseCurrency(text), Currency{v}) << text;
    }
}
