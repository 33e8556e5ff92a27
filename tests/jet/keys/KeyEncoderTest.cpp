// Whole index keys: one part per index column in index order, nulls first per column.
#include "jet/keys/KeyEncoder.h"

#include "core/Error.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using core::Bytes;
using core::Value;
using jet::KeyColumn;
using jet::KeyColumnType;

TEST(KeyEncoder, CompoundKeyConcatenatesColumnParts) {
    const std::vector<KeyColumn> columns = {{KeyColumnType::Text, true, 0},
                                            {KeyColumnType::Long, false, 0}};
    EXPECT_EQ(jet::encodeKey(columns, std::vector<Value>{Value("ab"), Value(std::int32_t(1))}),
              Bytes({0x7F, 0x4A, 0x4C, 0x01, 0x00, 0x80, 0x7F, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(jet::encodeKey(columns, std::vector<Value>{Value::null(), Value::null()}),
              Bytes({0x00, 0xFF}));
}

TEST(KeyEncoder, FirstColumnDecidesBeforeTheSecond) {
    const std::vector<KeyColumn> columns = {{KeyColumnType::Text, true, 0},
                                            {KeyColumnType::Integer, true, 0}};
    const auto k = [&](const char* text, std::int16_t n) {
        return jet::encodeKey(columns, std::vector<Value>{Value(text), Value(n)});
    };
    EXPECT_LT(k("a", 9), k("ab", 0));
    EXPECT_LT(k("ab", -5), k("AB", 3));
    EXPECT_LT(k("b", -5), k("c", -6));
    EXPECT_LT(jet::encodeKey(columns, std::vector<Value>{Value::null(), Value(std::int16_t(1))}),
              k("", 0));
}

TEST(KeyEncoder, NeedsOneValuePerColumn) {
    const std::vector<KeyColumn> columns = {{KeyColumnType::Long, true, 0}};
    EXPECT_THROW(jet::encodeKey(columns, std::vector<Value>{}), core::Error);
}

} // namespace
