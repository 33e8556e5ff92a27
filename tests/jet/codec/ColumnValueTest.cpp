// The check a value passes before a column stores it: the kind of value each column takes,
// numbers of another kind rounded as every conversion rounds them, range and size checks, and
// the messages that name the column. Text is never read as a number or a date here.
#include "jet/rows/ColumnValue.h"
#include "CodecSupport.h"
#include "core/Conversions.h"
#include "core/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using codec_test::column;
using core::Value;
using jet::coerceToColumn;
using jet::ColumnType;
using testing::HasSubstr;

// The message of the exception `call` throws, checked to be of type E.
template <class E, class F> std::string messageOf(F call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("wrong exception: ") + e.what();
    }
    return "no exception";
}

jet::ColumnDef numeric(std::string name, std::uint8_t precision, std::uint8_t scale) {
    auto c = column(std::move(name), ColumnType::Numeric);
    c.precision = precision;
    c.scale = scale;
    return c;
}

core::Decimal decimal(std::int64_t units, std::uint8_t scale) {
    core::Decimal d;
    d.negative = units < 0;
    const auto magnitude = static_cast<std::uint64_t>(units < 0 ? -units : units);
    d.lo = static_cast<std::uint32_t>(magnitude);
    d.mid = static_cast<std::uint32_t>(magnitude >> 32);
    d.scale = scale;
    return d;
}

double daysOf(const Value& v) {
    return v.get<core::DateTime>().days;
}

TEST(ColumnValue, NullStaysNullForEveryType) {
    for (auto type : {ColumnType::Boolean, ColumnType::Byte, ColumnType::Integer, ColumnType::Long,
                      ColumnType::Currency, ColumnType::Single, ColumnType::Double,
                      ColumnType::DateTime, ColumnType::Binary, ColumnType::Text, ColumnType::Ole,
                      ColumnType::Memo, ColumnType::Guid, ColumnType::Numeric})
        EXPECT_TRUE(coerceToColumn(column("c", type, 10), Value()).isNull())
            << static_cast<int>(type);
}

TEST(ColumnValue, IntegersRoundHalfToEvenAndKeepTheirType) {
    auto qty = column("Qty", ColumnType::Integer);
    EXPECT_EQ(coerceToColumn(qty, Value(2.5)), Value(std::int16_t{2}));
    EXPECT_EQ(coerceToColumn(qty, Value(3.5)), Value(std::int16_t{4}));
    EXPECT_EQ(coerceToColumn(qty, Value(-2.5)), Value(std::int16_t{-2}));
    EXPECT_EQ(coerceToColumn(qty, Value(2.6)), Value(std::int16_t{3}));
    EXPECT_EQ(coerceToColumn(qty, Value(true)), Value(std::int16_t{-1}));
    EXPECT_EQ(coerceToColumn(qty, Value(core::Currency{25000})), Value(std::int16_t{2}));
    EXPECT_EQ(coerceToColumn(qty, Value(core::Currency{-35000})), Value(std::int16_t{-4}));
    EXPECT_EQ(coerceToColumn(qty, Value(decimal(1250, 2))), Value(std::int16_t{12}));
    EXPECT_EQ(coerceToColumn(qty, Value(decimal(-1351, 2))), Value(std::int16_t{-14}));
    EXPECT_EQ(coerceToColumn(column("b", ColumnType::Byte), Value(std::int32_t{255})),
              Value(std::uint8_t{255}));
    EXPECT_EQ(coerceToColumn(column("l", ColumnType::Long), Value(std::uint8_t{7})),
              Value(std::int32_t{7}));
}

TEST(ColumnValue, IntegerRangesAreCheckedAtTheirEdges) {
    auto qty = column("Qty", ColumnType::Integer);
    EXPECT_EQ(coerceToColumn(qty, Value(std::int32_t{32767})), Value(std::int16_t{32767}));
    EXPECT_EQ(coerceToColumn(qty, Value(std::int32_t{-32768})), Value(std::int16_t{-32768}));
    EXPECT_THAT(
        messageOf<core::TypeMismatch>([&] { coerceToColumn(qty, Value(std::int32_t{32768})); }),
        testing::AllOf(HasSubstr("Overflow"), HasSubstr("'Qty'"), HasSubstr("32768")));
    EXPECT_THROW(coerceToColumn(qty, Value(-32768.6)), core::TypeMismatch);

    auto level = column("Level", ColumnType::Byte);
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(level, Value(true)); }),
                HasSubstr("Overflow in column 'Level'"));
    EXPECT_THROW(coerceToColumn(level, Value(std::int16_t{256})), core::TypeMismatch);

    auto id = column("ID", ColumnType::Long);
    EXPECT_EQ(coerceToColumn(id, Value(2147483647.0)), Value(std::int32_t{2147483647}));
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(id, Value(2147483648.0)); }),
                HasSubstr("Overflow in column 'ID'"));
    EXPECT_THROW(coerceToColumn(id, Value(1e300)), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(id, Value(std::nan(""))), core::TypeMismatch);
}

// Text, dates, binary data and GUIDs are no numbers: text is converted (by the SQL engine, a
// field edit or an import) before it reaches a column, never read as a number here.
TEST(ColumnValue, MismatchesNameTheColumnAndTheType) {
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Price", ColumnType::Currency), Value("abc")); }),
              "Data type mismatch in column 'Price': 'abc' is not a Currency value.");
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Qty", ColumnType::Integer), Value("12")); }),
              "Data type mismatch in column 'Qty': '12' is not an Integer value.");
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Photo", ColumnType::Ole), Value(std::int32_t{3})); }),
              "Data type mismatch in column 'Photo': 3 is not an OLE Object value.");
    const std::vector<Value> notNumbers{Value("1.5"), Value("true"), Value(core::DateTime{2.0}),
                                        Value(core::Bytes{1}), Value(core::Guid{})};
    for (auto type : {ColumnType::Boolean, ColumnType::Byte, ColumnType::Long, ColumnType::Currency,
                      ColumnType::Single, ColumnType::Double, ColumnType::Numeric})
        for (const auto& v : notNumbers)
            EXPECT_THROW(coerceToColumn(column("n", type), v), core::TypeMismatch)
                << static_cast<int>(type) << " " << static_cast<int>(v.type());
}

TEST(ColumnValue, CurrencyRoundsHalfToEvenAtFourPlaces) {
    auto price = column("Price", ColumnType::Currency);
    EXPECT_EQ(coerceToColumn(price, Value(0.1)), Value(core::Currency{1000}));
    // Ties go to the even digit, as every conversion in the program rounds them.
    EXPECT_EQ(coerceToColumn(price, Value(1.00005)), Value(core::Currency{10000}));
    EXPECT_EQ(coerceToColumn(price, Value(decimal(123455, 5))), Value(core::Currency{12346}));
    EXPECT_EQ(coerceToColumn(price, Value(decimal(123465, 5))), Value(core::Currency{12346}));
    EXPECT_EQ(coerceToColumn(price, Value(decimal(-123465, 5))), Value(core::Currency{-12346}));
    EXPECT_EQ(coerceToColumn(price, Value(std::int32_t{-7})), Value(core::Currency{-70000}));
    EXPECT_EQ(coerceToColumn(price, Value(core::Currency{INT64_MIN})),
              Value(core::Currency{INT64_MIN}));
    EXPECT_EQ(coerceToColumn(price, Value(core::parseDecimal("922337203685477.5807", 4))),
              Value(core::Currency{INT64_MAX}));
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] {
                    coerceToColumn(price, Value(core::parseDecimal("922337203685477.5808", 4)));
                }),
                HasSubstr("Overflow in column 'Price'"));
    EXPECT_THROW(coerceToColumn(price, Value(1e16)), core::TypeMismatch);
}

TEST(ColumnValue, DecimalsRoundToTheScaleAndStayWithinThePrecision) {
    auto amount = numeric("Amount", 5, 2);
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(123454, 3))), Value(decimal(12345, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(123455, 3))), Value(decimal(12346, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(-123455, 3))), Value(decimal(-12346, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(123465, 3))), Value(decimal(12346, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(1.005)), Value(decimal(100, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(std::int16_t{7})), Value(decimal(700, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(-15, 1))), Value(decimal(-150, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(core::Currency{-5})), Value(decimal(0, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(99999, 2))), Value(decimal(99999, 2)));
    EXPECT_THAT(
        messageOf<core::TypeMismatch>([&] { coerceToColumn(amount, Value(decimal(12345, 1))); }),
        testing::AllOf(HasSubstr("Overflow"), HasSubstr("'Amount'")));
    // Rounding can carry into a digit the precision has no room for.
    EXPECT_THROW(coerceToColumn(amount, Value(decimal(999995, 3))), core::TypeMismatch);

    auto wide = numeric("Wide", 28, 0);
    const auto nines = core::parseDecimal("9999999999999999999999999999", 0);
    EXPECT_EQ(coerceToColumn(wide, Value(nines)), Value(nines));
    core::Decimal tenTo28; // 10^28: 96 bits hold it, 28 digits do not
    tenTo28.hi = 0x204FCE5E;
    tenTo28.mid = 0x3E250261;
    tenTo28.lo = 0x10000000;
    EXPECT_THROW(coerceToColumn(wide, Value(tenTo28)), core::TypeMismatch);
}

TEST(ColumnValue, BooleansFromNumbersButNotFromWords) {
    auto flag = column("Done", ColumnType::Boolean);
    EXPECT_EQ(coerceToColumn(flag, Value(true)), Value(true));
    EXPECT_EQ(coerceToColumn(flag, Value(std::int32_t{0})), Value(false));
    EXPECT_EQ(coerceToColumn(flag, Value(std::int32_t{2})), Value(true));
    EXPECT_EQ(coerceToColumn(flag, Value(-0.5)), Value(true));
    EXPECT_EQ(coerceToColumn(flag, Value(core::Currency{0})), Value(false));
    EXPECT_EQ(messageOf<core::TypeMismatch>([&] { coerceToColumn(flag, Value("Yes")); }),
              "Data type mismatch in column 'Done': 'Yes' is not a Yes/No value.");
}

TEST(ColumnValue, DatesAndDayCountsWithinTheCalendar) {
    auto when = column("When", ColumnType::DateTime);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(core::DateTime{36925.5}))), 36925.5);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(36925.5))), 36925.5);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(std::int32_t{-657434}))), -657434);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(core::DateTime{2958465.99}))), 2958465.99);
    EXPECT_EQ(messageOf<core::TypeMismatch>([&] { coerceToColumn(when, Value("2001-02-03")); }),
              "Data type mismatch in column 'When': '2001-02-03' is not a Date/Time value.");
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(when, Value(2958466.0)); }),
                HasSubstr("Overflow in column 'When'"));
    EXPECT_THROW(coerceToColumn(when, Value(-657435.0)), core::TypeMismatch);
    EXPECT_EQ(
        messageOf<core::TypeMismatch>([&] { coerceToColumn(when, Value(core::DateTime{1e9})); }),
        "Overflow in column 'When': 1E+09 is outside the Date/Time range.");
}

TEST(ColumnValue, TextLongerThanTheColumnIsRefusedWithJetsMessage) {
    auto name = column("Name", ColumnType::Text, 10); // five characters
    EXPECT_EQ(coerceToColumn(name, Value("hello")), Value("hello"));
    EXPECT_EQ(coerceToColumn(name, Value("\xC3\xA9t\xC3\xA9s!")), Value("\xC3\xA9t\xC3\xA9s!"));
    EXPECT_EQ(messageOf<core::ConstraintError>([&] { coerceToColumn(name, Value("hello!")); }),
              "The field 'Name' is too small to accept the amount of data you attempted to add. "
              "Try inserting or pasting less data.");
    // Characters beyond the BMP take two UTF-16 units each.
    EXPECT_THROW(coerceToColumn(name, Value("\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80")),
                 core::ConstraintError);
    std::string longText(100000, 'x');
    EXPECT_EQ(coerceToColumn(column("Notes", ColumnType::Memo), Value(longText)), Value(longText));
}

// Text, binary and GUID columns take their own kind only; a number's or a date's text is the
// converting caller's to choose.
TEST(ColumnValue, TextBinaryAndGuidColumnsTakeOnlyTheirOwnKind) {
    const core::Guid guid{{64, 252, 41, 107, 71, 202, 103, 16, 179, 29, 0, 221, 1, 6, 98, 218}};
    EXPECT_EQ(coerceToColumn(column("RowGuid", ColumnType::Guid), Value(guid)), Value(guid));
    EXPECT_EQ(coerceToColumn(column("Key", ColumnType::Binary, 4), Value(core::Bytes{1, 2, 3, 4})),
              Value(core::Bytes{1, 2, 3, 4}));
    EXPECT_THROW(coerceToColumn(column("Key", ColumnType::Binary, 4), Value(core::Bytes(5, 0))),
                 core::ConstraintError);
    EXPECT_EQ(coerceToColumn(column("Photo", ColumnType::Ole), Value(core::Bytes(5000, 7))),
              Value(core::Bytes(5000, 7)));
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Notes", ColumnType::Memo), Value(3.5)); }),
              "Data type mismatch in column 'Notes': 3.5 is not a Memo value.");
    EXPECT_EQ(messageOf<core::TypeMismatch>([] {
                  coerceToColumn(column("RowGuid", ColumnType::Guid),
                                 Value("{6B29FC40-CA47-1067-B31D-00DD010662DA}"));
              }),
              "Data type mismatch in column 'RowGuid': '{6B29FC40-CA47-1067-B31D-00DD010662DA}' "
              "is not a Replication ID value.");
    const std::vector<std::pair<ColumnType, Value>> refused{
        {ColumnType::Text, Value(std::int32_t{12})},
        {ColumnType::Text, Value(core::DateTime{36925})},
        {ColumnType::Memo, Value(true)},
        {ColumnType::Memo, Value(guid)},
        {ColumnType::Text, Value(core::Bytes{'a', 0})},
        {ColumnType::Binary, Value("ab")},
        {ColumnType::Ole, Value(guid)},
        {ColumnType::Guid, Value(core::Bytes(guid.bytes.begin(), guid.bytes.end()))},
    };
    for (const auto& [type, value] : refused)
        EXPECT_THROW(coerceToColumn(column("c", type, 20), value), core::TypeMismatch)
            << static_cast<int>(type) << " " << static_cast<int>(value.type());
}

TEST(ColumnValue, FloatingPointRangesAndSources) {
    auto single = column("Ratio", ColumnType::Single);
    EXPECT_EQ(coerceToColumn(single, Value(1.5)), Value(1.5f));
    EXPECT_EQ(coerceToColumn(single, Value(0.1f)), Value(0.1f));
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(single, Value(1e39)); }),
                HasSubstr("Overflow in column 'Ratio'"));
    auto dbl = column("Measure", ColumnType::Double);
    EXPECT_EQ(coerceToColumn(dbl, Value(core::Currency{-5000})), Value(-0.5));
    EXPECT_EQ(coerceToColumn(dbl, Value(decimal(-125, 3))), Value(-0.125));
    EXPECT_EQ(coerceToColumn(dbl, Value(std::int32_t{-7})), Value(-7.0));
    EXPECT_THROW(coerceToColumn(dbl, Value(HUGE_VALF)), core::TypeMismatch);
    // A double read from a file goes back unchanged, whatever it holds.
    EXPECT_TRUE(std::isnan(coerceToColumn(dbl, Value(std::nan(""))).get<double>()));
}

} // namespace
