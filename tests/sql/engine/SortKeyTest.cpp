// Sort keys: byte order must be ORDER BY order, and equal keys must mean equal values.
#include "sql/engine/execution/SortKey.h"

#include "core/TypeConversion.h"

#include <gtest/gtest.h>

namespace {

using core::Value;
using sql::sortKey;

TEST(SortKey, NullSortsFirst) {
    EXPECT_LT(sortKey(Value()), sortKey(Value(std::int32_t(-1000000))));
    EXPECT_LT(sortKey(Value()), sortKey(Value("")));
    EXPECT_LT(sortKey(Value()), sortKey(Value(core::DateTime{-5})));
}

TEST(SortKey, NumbersCompareByValueAcrossTypes) {
    EXPECT_EQ(sortKey(Value(std::int32_t(1))), sortKey(Value(1.0)));
    EXPECT_EQ(sortKey(Value(std::int16_t(1))), sortKey(Value(core::Currency{10000})));
    EXPECT_EQ(sortKey(Value(std::uint8_t(0))), sortKey(Value(false)));
    EXPECT_EQ(sortKey(Value(true)), sortKey(Value(std::int32_t(-1))));
    EXPECT_EQ(sortKey(Value(0.0)), sortKey(Value(-0.0)));
    EXPECT_LT(sortKey(Value(-2.5)), sortKey(Value(-2.0)));
    EXPECT_LT(sortKey(Value(-1.0)), sortKey(Value(0.5)));
    EXPECT_LT(sortKey(Value(std::int32_t(9))), sortKey(Value(10.0)));
    EXPECT_LT(sortKey(Value(core::Currency{5})), sortKey(Value(0.001)));
}

// A double holds about 16 digits, a currency up to 19 and a decimal up to 29: values that
// share their nearest double must still be told apart and ordered (GROUP BY, DISTINCT and
// joins use these keys as equality), while a value equal to another kind's stays equal.
TEST(SortKey, CurrencyAndDecimalBeyondADoublesDigitsKeepTheirOrder) {
    auto decimal = [](std::string_view text) { return core::toDecimal(Value(std::string(text))); };
    // Ascending, each pair apart by the last digit only.
    const std::vector<Value> ascending = {
        Value(core::Currency{-123456789012345679}),  Value(core::Currency{-123456789012345678}),
        Value(core::Currency{123456789012345677}),   Value(core::Currency{123456789012345678}),
        Value(core::Currency{123456789012345679}),   Value(decimal("1234567890123456789012.34")),
        Value(decimal("1234567890123456789012.35")), Value(decimal("1234567890123456789012.3501"))};
    for (std::size_t i = 0; i + 1 < ascending.size(); ++i)
        EXPECT_LT(sortKey(ascending[i]), sortKey(ascending[i + 1])) << i;
    EXPECT_EQ(sortKey(Value(core::Currency{123456789012345678})),
              sortKey(Value(decimal("12345678901234.5678"))));
    EXPECT_EQ(sortKey(Value(core::Currency{1000})), sortKey(Value(0.1)));
    EXPECT_EQ(sortKey(Value(decimal("5.00"))), sortKey(Value(std::int32_t(5))));
    // Values of at most 15 digits take a short way; the long way must give them the same key.
    EXPECT_EQ(sortKey(Value(decimal("100000000000"))),
              sortKey(Value(core::Currency{1'000'000'000'000'000})));
    EXPECT_EQ(sortKey(Value(decimal("99999999999.9999"))),
              sortKey(Value(core::Currency{999'999'999'999'999})));
    // Keys of several values still compare value by value.
    EXPECT_LT(sortKey(std::vector<Value>{Value(core::Currency{123456789012345678}), Value("b")}),
              sortKey(std::vector<Value>{Value(core::Currency{123456789012345679}), Value("a")}));
    EXPECT_LT(sortKey(std::vector<Value>{Value(1.0), Value("b")}),
              sortKey(std::vector<Value>{Value(core::Currency{10001}), Value("a")}));
}

TEST(SortKey, TextIgnoresCaseAndKeepsPrefixesFirst) {
    EXPECT_EQ(sortKey(Value("Paris")), sortKey(Value("PARIS")));
    EXPECT_LT(sortKey(Value("a")), sortKey(Value("ab")));
    EXPECT_LT(sortKey(Value("ab")), sortKey(Value("B")));
    EXPECT_LT(sortKey(Value("")), sortKey(Value("a")));
    EXPECT_NE(sortKey(Value("e")), sortKey(Value("\xC3\xA9"))); // e and e-acute differ
}

TEST(SortKey, SeveralValuesCompareValueByValue) {
    const std::vector<Value> a{Value("a"), Value(std::int32_t(9))};
    const std::vector<Value> b{Value("ab"), Value(std::int32_t(1))};
    const std::vector<Value> c{Value("A"), Value(std::int32_t(10))};
    EXPECT_LT(sortKey(a), sortKey(b));
    EXPECT_LT(sortKey(a), sortKey(c));
    EXPECT_EQ(sortKey(std::vector<Value>{Value("x"), Value()}),
              sortKey(std::vector<Value>{Value("X"), Value()}));
}

TEST(SortKey, BinaryWithZeroBytesKeepsOrder) {
    EXPECT_LT(sortKey(Value(core::Bytes{0x00})), sortKey(Value(core::Bytes{0x00, 0x00})));
    EXPECT_LT(sortKey(Value(core::Bytes{0x00, 0x01})), sortKey(Value(core::Bytes{0x01})));
    EXPECT_LT(sortKey(std::vector<Value>{Value(core::Bytes{0x00}), Value(std::int32_t(5))}),
              sortKey(std::vector<Value>{Value(core::Bytes{0x00, 0x00}), Value(std::int32_t(1))}));
}

TEST(SortKey, KindsOfValueDoNotMix) {
    EXPECT_NE(sortKey(Value(std::int32_t(1))), sortKey(Value("1")));
    EXPECT_NE(sortKey(Value(core::DateTime{1})), sortKey(Value(1.0)));
    EXPECT_EQ(sql::keyClass(core::DataType::Currency), sql::KeyClass::Number);
    EXPECT_EQ(sql::keyClass(core::DataType::Text), sql::KeyClass::Text);
}

} // namespace
