// Fixed-size column keys: exact bytes Jet writes, and byte order equal to value order in
// both directions with nulls first.
#include "jet/keys/KeyEncoder.h"

#include "core/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using core::Bytes;
using core::Value;
using jet::KeyColumn;
using jet::KeyColumnType;

Bytes key(KeyColumnType type, const Value& v, bool ascending = true, std::uint8_t scale = 0) {
    Bytes out;
    jet::appendColumnKey(out, KeyColumn{type, ascending, scale}, v);
    return out;
}

// Sorting values by their keys gives the values' own order (reversed when descending); null
// counts as the lowest value, so its key comes first when ascending and last when descending.
template <class T, class Less>
void expectKeyOrder(KeyColumnType type, std::vector<T> values, Less less, std::uint8_t scale = 0) {
    for (bool asc : {true, false}) {
        std::sort(values.begin(), values.end(), less);
        const Bytes nullKey = key(type, Value::null(), asc, scale);
        std::vector<Bytes> keys;
        for (const T& v : values) keys.push_back(key(type, Value(v), asc, scale));
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (asc)
                EXPECT_LT(nullKey, keys[k]);
            else
                EXPECT_GT(nullKey, keys[k]);
            if (k == 0) continue;
            const bool equal = !less(values[k - 1], values[k]);
            if (equal)
                EXPECT_EQ(keys[k - 1], keys[k]);
            else if (asc)
                EXPECT_LT(keys[k - 1], keys[k]) << k;
            else
                EXPECT_GT(keys[k - 1], keys[k]) << k;
        }
    }
}

template <class T> std::vector<T> randomIntegers(std::mt19937& rng, int count) {
    std::uniform_int_distribution<std::int64_t> d(std::numeric_limits<T>::min(),
                                                  std::numeric_limits<T>::max());
    std::vector<T> v{std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), T(0), T(1)};
    if (std::numeric_limits<T>::is_signed) v.push_back(T(-1));
    for (int k = 0; k < count; ++k) v.push_back(T(d(rng)));
    return v;
}

TEST(NumberKeys, ExactBytes) {
    EXPECT_EQ(key(KeyColumnType::Long, Value(std::int32_t(1))), Bytes({0x7F, 0x80, 0, 0, 1}));
    EXPECT_EQ(key(KeyColumnType::Long, Value(std::int32_t(1)), false),
              Bytes({0x80, 0x7F, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(key(KeyColumnType::Long, Value::null()), Bytes({0x00}));
    EXPECT_EQ(key(KeyColumnType::Long, Value::null(), false), Bytes({0xFF}));
    EXPECT_EQ(key(KeyColumnType::Integer, Value(std::int16_t(-2))), Bytes({0x7F, 0x7F, 0xFE}));
    EXPECT_EQ(key(KeyColumnType::Byte, Value(std::uint8_t(5)), false), Bytes({0x80, 0xFA}));
    EXPECT_EQ(key(KeyColumnType::Currency, Value(core::Currency{35000})),
              Bytes({0x7F, 0x80, 0, 0, 0, 0, 0, 0x88, 0xB8}));
    EXPECT_EQ(key(KeyColumnType::Double, Value(1.0)), Bytes({0x7F, 0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(key(KeyColumnType::Double, Value(-1.0)),
              Bytes({0x7F, 0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(key(KeyColumnType::Single, Value(2.0f)), Bytes({0x7F, 0xC0, 0, 0, 0}));
    EXPECT_EQ(key(KeyColumnType::DateTime, Value(core::DateTime{2.5})),
              key(KeyColumnType::Double, Value(2.5)));
}

TEST(NumberKeys, YesSortsBeforeNoAndNullCountsAsNo) {
    EXPECT_EQ(key(KeyColumnType::Boolean, Value(true)), Bytes({0x7F, 0x00}));
    EXPECT_EQ(key(KeyColumnType::Boolean, Value(false)), Bytes({0x7F, 0xFF}));
    EXPECT_EQ(key(KeyColumnType::Boolean, Value(true), false), Bytes({0x80, 0xFF}));
    EXPECT_EQ(key(KeyColumnType::Boolean, Value(false), false), Bytes({0x80, 0x00}));
    EXPECT_EQ(key(KeyColumnType::Boolean, Value::null()),
              key(KeyColumnType::Boolean, Value(false)));
}

TEST(NumberKeys, IntegerKeysFollowValueOrder) {
    std::mt19937 rng(7);
    const auto lt = [](auto a, auto b) { return a < b; };
    expectKeyOrder(KeyColumnType::Byte, randomIntegers<std::uint8_t>(rng, 200), lt);
    expectKeyOrder(KeyColumnType::Integer, randomIntegers<std::int16_t>(rng, 300), lt);
    expectKeyOrder(KeyColumnType::Long, randomIntegers<std::int32_t>(rng, 300), lt);
    std::vector<core::Currency> money;
    for (auto v : randomIntegers<std::int64_t>(rng, 300)) money.push_back(core::Currency{v});
    expectKeyOrder(KeyColumnType::Currency, money, lt);
}

TEST(NumberKeys, FloatingKeysFollowValueOrder) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> d(-1e6, 1e6);
    std::vector<double> doubles = {0.0,
                                   1e-300,
                                   -1e-300,
                                   1e300,
                                   -1e300,
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity()};
    std::vector<float> singles = {0.0f, 1e-30f, -1e-30f, 3e38f, -3e38f};
    std::vector<core::DateTime> dates = {{0.0}, {-700000.5}, {2958465.99}};
    for (int k = 0; k < 300; ++k) {
        doubles.push_back(d(rng));
        singles.push_back(float(d(rng)));
        dates.push_back({d(rng)});
    }
    const auto lt = [](auto a, auto b) { return a < b; };
    expectKeyOrder(KeyColumnType::Double, doubles, lt);
    expectKeyOrder(KeyColumnType::Single, singles, lt);
    expectKeyOrder(KeyColumnType::DateTime, dates, lt);
}

core::Decimal decimal(std::int64_t unscaled, std::uint8_t scale) {
    core::Decimal d;
    d.negative = unscaled < 0;
    const std::uint64_t m = unscaled < 0 ? 0 - std::uint64_t(unscaled) : std::uint64_t(unscaled);
    d.lo = std::uint32_t(m);
    d.mid = std::uint32_t(m >> 32);
    d.scale = scale;
    return d;
}

TEST(NumberKeys, NumericKeysUseTheColumnScale) {
    Bytes expected(18, 0);
    expected[0] = 0x7F;
    expected[1] = 0xFF;
    expected[17] = 150;
    EXPECT_EQ(key(KeyColumnType::Numeric, Value(decimal(15, 1)), true, 2), expected);
    EXPECT_EQ(key(KeyColumnType::Numeric, Value(decimal(150, 2)), true, 2), expected);
    EXPECT_EQ(key(KeyColumnType::Numeric, Value(decimal(0, 0)), true, 2),
              key(KeyColumnType::Numeric, Value(decimal(-0, 3)), true, 2));
    EXPECT_THROW(key(KeyColumnType::Numeric, Value(decimal(1234, 3)), true, 2), core::TypeMismatch);
}

TEST(NumberKeys, NumericAscendingFollowsValueOrder) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::int64_t> d(-1'000'000'000'000LL, 1'000'000'000'000LL);
    std::vector<std::int64_t> unscaled = {0, 1, -1, 999, -999};
    for (int k = 0; k < 300; ++k) unscaled.push_back(d(rng));
    std::sort(unscaled.begin(), unscaled.end());
    for (std::size_t k = 1; k < unscaled.size(); ++k) {
        const Bytes a = key(KeyColumnType::Numeric, Value(decimal(unscaled[k - 1], 2)), true, 4);
        const Bytes b = key(KeyColumnType::Numeric, Value(decimal(unscaled[k], 2)), true, 4);
        if (unscaled[k - 1] == unscaled[k])
            EXPECT_EQ(a, b);
        else
            EXPECT_LT(a, b) << unscaled[k - 1] << " " << unscaled[k];
    }
}

// Jet 4 keeps all negatives below all positives in descending numeric indexes; within one
// sign the order is reversed.
TEST(NumberKeys, NumericDescendingKeepsTheOriginalSignOrder) {
    const auto desc = [](std::int64_t v) {
        return key(KeyColumnType::Numeric, Value(decimal(v, 0)), false, 0);
    };
    EXPECT_LT(desc(-1), desc(1));
    EXPECT_LT(desc(-1), desc(-5));
    EXPECT_GT(desc(1), desc(5));
    EXPECT_GT(key(KeyColumnType::Numeric, Value::null(), false), desc(100));
}

TEST(NumberKeys, ValuesWidenToTheColumnTypeOrAreRejected) {
    EXPECT_EQ(key(KeyColumnType::Long, Value(std::int16_t(7))),
              key(KeyColumnType::Long, Value(std::int32_t(7))));
    EXPECT_EQ(key(KeyColumnType::Currency, Value(std::int32_t(3))),
              key(KeyColumnType::Currency, Value(core::Currency{30000})));
    EXPECT_EQ(key(KeyColumnType::Double, Value(std::int32_t(3))),
              key(KeyColumnType::Double, Value(3.0)));
    EXPECT_THROW(key(KeyColumnType::Integer, Value(std::int32_t(40000))), core::TypeMismatch);
    EXPECT_THROW(key(KeyColumnType::Byte, Value(std::int32_t(-1))), core::TypeMismatch);
    EXPECT_THROW(key(KeyColumnType::Long, Value("12")), core::TypeMismatch);
    EXPECT_THROW(key(KeyColumnType::Text, Value(std::int32_t(1))), core::TypeMismatch);
    EXPECT_THROW(key(KeyColumnType::Ole, Value(core::Bytes{1})), core::Error);
}

} // namespace
