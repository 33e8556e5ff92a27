// Binary and Replication ID keys: eight-byte segments with length bytes, exact bytes and
// lexicographic order in both directions.
#include "jet/keys/KeyEncoder.h"

#include "core/Conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using core::Bytes;
using core::Value;
using jet::KeyColumn;
using jet::KeyColumnType;

Bytes key(KeyColumnType type, const Value& v, bool ascending = true) {
    Bytes out;
    jet::appendColumnKey(out, KeyColumn{type, ascending, 0}, v);
    return out;
}

TEST(BinaryKeys, ShortValueFillsOneSegment) {
    EXPECT_EQ(key(KeyColumnType::Binary, Value(Bytes{1, 2, 3})),
              Bytes({0x7F, 1, 2, 3, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(key(KeyColumnType::Binary, Value(Bytes{1, 2, 3}), false),
              Bytes({0x80, 0xFE, 0xFD, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFC}));
}

TEST(BinaryKeys, LongValueMarksFullSegmentsWithNineEvenWhenDescending) {
    const Bytes data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(key(KeyColumnType::Binary, Value(data)),
              Bytes({0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(key(KeyColumnType::Binary, Value(data), false),
              Bytes({0x80, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7, 9, 0xF6, 0xF5, 0xFF,
                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD}));
}

TEST(BinaryKeys, EmptyValueIsTheFlagAlone) {
    EXPECT_EQ(key(KeyColumnType::Binary, Value(Bytes{})), Bytes({0x7F}));
    EXPECT_EQ(key(KeyColumnType::Binary, Value(Bytes{}), false), Bytes({0x80}));
}

TEST(BinaryKeys, GuidKeyUsesTextByteOrder) {
    const core::Guid g = core::parseGuid("{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(key(KeyColumnType::Guid, Value(g)),
              Bytes({0x7F, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x09, 0x88, 0x99, 0xAA,
                     0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x08}));
}

TEST(BinaryKeys, KeysFollowLexicographicOrder) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> len(0, 19), byte(0, 3);
    // An empty value has no segments at all, so only non-empty values reverse exactly.
    std::vector<Bytes> values = {{0}, {0, 0}, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (int k = 0; k < 400; ++k) {
        Bytes b(std::size_t(len(rng)) + 1);
        for (auto& x : b) x = std::uint8_t(byte(rng) * 85); // few distinct bytes: long ties
        values.push_back(b);
    }
    std::sort(values.begin(), values.end());
    for (bool asc : {true, false}) {
        for (std::size_t k = 1; k < values.size(); ++k) {
            const Bytes a = key(KeyColumnType::Binary, Value(values[k - 1]), asc);
            const Bytes b = key(KeyColumnType::Binary, Value(values[k]), asc);
            if (values[k - 1] == values[k])
                EXPECT_EQ(a, b);
            else if (asc)
                EXPECT_LT(a, b) << k;
            else
                EXPECT_GT(a, b) << k;
        }
    }
}

} // namespace
