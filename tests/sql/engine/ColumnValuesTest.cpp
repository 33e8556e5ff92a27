// Converting values for storing: to the column's type, with Jet's errors when they do not
// fit, and the size checks.
#include "sql/engine/storage/ColumnValues.h"
#include "core/Conversions.h"
#include "core/Error.h"
#include "sql/eval/EvalErrors.h"

#include <gtest/gtest.h>

namespace {

using core::Value;

sql::ColumnInfo column(jet::ColumnType type, std::uint32_t size = 0, std::uint8_t precision = 0,
                       std::uint8_t scale = 0) {
    sql::ColumnInfo c;
    c.name = "c";
    c.type = type;
    c.size = size;
    c.precision = precision;
    c.scale = scale;
    return c;
}

TEST(ColumnValues, NumbersConvertWithRounding) {
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Long), Value("42")),
              Value(std::int32_t(42)));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Integer), Value(2.5)),
              Value(std::int16_t(2)));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Byte), Value(3.5)),
              Value(std::uint8_t(4)));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Currency), Value(1.23456)),
              Value(core::Currency{12346}));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Double), Value(std::int32_t(3))),
              Value(3.0));
}

TEST(ColumnValues, OutOfRangeOverflows) {
    EXPECT_THROW(sql::toColumnValue(column(jet::ColumnType::Byte), Value(std::int32_t(300))),
                 core::Error);
    EXPECT_THROW(sql::toColumnValue(column(jet::ColumnType::Integer), Value(40000.0)), core::Error);
}

TEST(ColumnValues, TextThatIsNoNumberIsAMismatch) {
    EXPECT_THROW(sql::toColumnValue(column(jet::ColumnType::Long), Value("abc")),
                 core::TypeMismatch);
    EXPECT_THROW(sql::toColumnValue(column(jet::ColumnType::Text, 10), Value(core::Bytes{1})),
                 core::TypeMismatch);
}

TEST(ColumnValues, NullStaysNull) {
    EXPECT_TRUE(sql::toColumnValue(column(jet::ColumnType::Long), Value()).isNull());
}

TEST(ColumnValues, YesNoAndText) {
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Boolean), Value(std::int32_t(-1))),
              Value(true));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Boolean), Value(std::int32_t(0))),
              Value(false));
    EXPECT_EQ(sql::toColumnValue(column(jet::ColumnType::Text, 10), Value(std::int32_t(12))),
              Value("12"));
}

TEST(ColumnValues, DecimalTakesTheColumnScale) {
    const auto c = column(jet::ColumnType::Numeric, 17, 5, 2);
    const Value v = sql::toColumnValue(c, Value(12.345));
    ASSERT_EQ(v.type(), core::DataType::Decimal);
    EXPECT_EQ(v.get<core::Decimal>().scale, 2);
    EXPECT_EQ(core::formatDecimal(v.get<core::Decimal>()), "12.34");
    EXPECT_THROW(sql::toColumnValue(c, Value(std::int32_t(1234))), core::Error);
    EXPECT_EQ(
        core::formatDecimal(sql::toColumnValue(c, Value(std::int32_t(999))).get<core::Decimal>()),
        "999.00");
}

TEST(ColumnValues, GuidFromText) {
    const Value v = sql::toColumnValue(column(jet::ColumnType::Guid),
                                       Value("{01234567-89ab-cdef-0123-456789abcdef}"));
    EXPECT_EQ(v.type(), core::DataType::Guid);
    EXPECT_THROW(sql::toColumnValue(column(jet::ColumnType::Guid), Value("nope")),
                 core::TypeMismatch);
}

TEST(ColumnValues, SizesCountUtf16Units) {
    const auto c = column(jet::ColumnType::Text, 3);
    EXPECT_TRUE(sql::fitsColumn(c, Value("abc")));
    EXPECT_FALSE(sql::fitsColumn(c, Value("abcd")));
    EXPECT_TRUE(sql::fitsColumn(c, Value("\xC3\xA9\xC3\xA9\xC3\xA9"))); // three e-acute
    EXPECT_TRUE(sql::fitsColumn(column(jet::ColumnType::Memo), Value(std::string(5000, 'x'))));
    EXPECT_FALSE(sql::fitsColumn(column(jet::ColumnType::Binary, 2), Value(core::Bytes{1, 2, 3})));
}

TEST(ColumnValues, TypesForValues) {
    EXPECT_EQ(sql::columnTypeFor(core::DataType::Decimal), jet::ColumnType::Numeric);
    EXPECT_EQ(sql::columnTypeFor(core::DataType::Null), jet::ColumnType::Text);
    EXPECT_EQ(sql::fixedSize(jet::ColumnType::Currency), 8u);
    EXPECT_EQ(sql::fixedSize(jet::ColumnType::Memo), 0u);
}

} // namespace
