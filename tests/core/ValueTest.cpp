#include "core/Value.h"

#include <gtest/gtest.h>

using core::DataType;
using core::Value;

// The variant's alternatives and the DataType enumerators must stay in the same order.
TEST(Value, TypeFollowsTheHeldAlternative) {
    const std::pair<Value, std::string_view> cases[] = {
        {Value(), "Null"},
        {Value(true), "Boolean"},
        {Value(std::uint8_t(7)), "Byte"},
        {Value(std::int16_t(7)), "Integer"},
        {Value(std::int32_t(7)), "Long"},
        {Value(core::Currency{7}), "Currency"},
        {Value(1.5f), "Single"},
        {Value(1.5), "Double"},
        {Value(core::DateTime{1.5}), "Date/Time"},
        {Value("text"), "Text"},
        {Value(core::Bytes{1, 2}), "Binary"},
        {Value(core::Guid{}), "GUID"},
        {Value(core::Decimal{}), "Decimal"},
    };
    for (const auto& [value, name] : cases) EXPECT_EQ(core::dataTypeName(value.type()), name);
    EXPECT_TRUE(Value::null().isNull());
    EXPECT_FALSE(Value(false).isNull());
}
