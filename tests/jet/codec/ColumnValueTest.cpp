// Bringing values to a column's type: conversions, rounding, range and size checks, and the
// messages that name the column.
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
    EXPECT_EQ(coerceToColumn(qty, Value(" 42 ")), Value(std::int16_t{42}));
    EXPECT_EQ(coerceToColumn(qty, Value("1e3")), Value(std::int16_t{1000}));
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
    EXPECT_EQ(coerceToColumn(id, Value("2147483647")), Value(std::int32_t{2147483647}));
    EXPECT_THROW(coerceToColumn(id, Value("2147483648")), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(id, Value(1e300)), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(id, Value("1e400")), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(id, Value(std::nan(""))), core::TypeMismatch);
}

TEST(ColumnValue, MismatchesNameTheColumnAndTheType) {
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Price", ColumnType::Currency), Value("abc")); }),
              "Data type mismatch in column 'Price': 'abc' is not a Currency value.");
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Qty", ColumnType::Integer), Value("12x")); }),
              "Data type mismatch in column 'Qty': '12x' is not an Integer value.");
    EXPECT_EQ(messageOf<core::TypeMismatch>(
                  [] { coerceToColumn(column("Photo", ColumnType::Ole), Value(std::int32_t{3})); }),
              "Data type mismatch in column 'Photo': 3 is not an OLE Object value.");
    EXPECT_THROW(coerceToColumn(column("n", ColumnType::Long), Value("inf")), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(column("n", ColumnType::Long), Value("0x10")), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(column("n", ColumnType::Double), Value(core::Bytes{1})),
                 core::TypeMismatch);
}

TEST(ColumnValue, CurrencyIsExactAndRoundsHalfAwayFromZeroAtFourPlaces) {
    auto price = column("Price", ColumnType::Currency);
    EXPECT_EQ(coerceToColumn(price, Value("12.345650")), Value(core::Currency{123457}));
    EXPECT_EQ(coerceToColumn(price, Value("-0.00005")), Value(core::Currency{-1}));
    EXPECT_EQ(coerceToColumn(price, Value(0.1)), Value(core::Currency{1000}));
    EXPECT_EQ(coerceToColumn(price, Value(1.00005)), Value(core::Currency{10001}));
    EXPECT_EQ(coerceToColumn(price, Value("1.5e3")), Value(core::Currency{15000000}));
    EXPECT_EQ(coerceToColumn(price, Value(std::int32_t{-7})), Value(core::Currency{-70000}));
    EXPECT_EQ(coerceToColumn(price, Value(decimal(123456, 5))), Value(core::Currency{12346}));
    EXPECT_EQ(coerceToColumn(price, Value("922337203685477.5807")),
              Value(core::Currency{INT64_MAX}));
    EXPECT_EQ(coerceToColumn(price, Value("-922337203685477.5808")),
              Value(core::Currency{INT64_MIN}));
    EXPECT_THAT(messageOf<core::TypeMismatch>(
                    [&] { coerceToColumn(price, Value("922337203685477.5808")); }),
                HasSubstr("Overflow in column 'Price'"));
    EXPECT_THROW(coerceToColumn(price, Value(1e16)), core::TypeMismatch);
}

TEST(ColumnValue, DecimalsRoundToTheScaleAndStayWithinThePrecision) {
    auto amount = numeric("Amount", 5, 2);
    EXPECT_EQ(coerceToColumn(amount, Value("123.454")), Value(decimal(12345, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value("123.455")), Value(decimal(12346, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value("-123.455")), Value(decimal(-12346, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(1.005)), Value(decimal(101, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(std::int16_t{7})), Value(decimal(700, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(decimal(-15, 1))), Value(decimal(-150, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value(core::Currency{-5})), Value(decimal(0, 2)));
    EXPECT_EQ(coerceToColumn(amount, Value("999.99")), Value(decimal(99999, 2)));
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(amount, Value("1234.5")); }),
                testing::AllOf(HasSubstr("Overflow"), HasSubstr("'Amount'")));
    // Rounding can carry into a digit the precision has no room for.
    EXPECT_THROW(coerceToColumn(amount, Value("999.995")), core::TypeMismatch);

    auto wide = numeric("Wide", 28, 0);
    auto big = coerceToColumn(wide, Value("9999999999999999999999999999"));
    EXPECT_EQ(core::formatDecimal(big.get<core::Decimal>()), "9999999999999999999999999999");
    EXPECT_THROW(coerceToColumn(wide, Value("10000000000000000000000000000")), core::TypeMismatch);
}

TEST(ColumnValue, BooleansFromNumbersAndWords) {
    auto flag = column("Done", ColumnType::Boolean);
    EXPECT_EQ(coerceToColumn(flag, Value(std::int32_t{0})), Value(false));
    EXPECT_EQ(coerceToColumn(flag, Value(std::int32_t{2})), Value(true));
    EXPECT_EQ(coerceToColumn(flag, Value(-0.5)), Value(true));
    EXPECT_EQ(coerceToColumn(flag, Value(core::Currency{0})), Value(false));
    for (const char* yes : {"true", "TRUE", "Yes", " on ", "-1", "2"})
        EXPECT_EQ(coerceToColumn(flag, Value(yes)), Value(true)) << yes;
    for (const char* no : {"false", "No", "off", "0", "0.0"})
        EXPECT_EQ(coerceToColumn(flag, Value(no)), Value(false)) << no;
    EXPECT_EQ(messageOf<core::TypeMismatch>([&] { coerceToColumn(flag, Value("maybe")); }),
              "Data type mismatch in column 'Done': 'maybe' is not a Yes/No value.");
}

TEST(ColumnValue, DatesFromIsoAndUsTextAndFromNumbers) {
    auto when = column("When", ColumnType::DateTime);
    const double time = (13 * 3600 + 4 * 60 + 5) / 86400.0;
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("2001-02-03"))), 36925);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("2001-02-03 13:04:05"))), 36925 + time);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("2001-02-03T13:04"))),
                     36925 + (13 * 60 + 4) / 1440.0);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("2/3/2001"))), 36925);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(" 2/3/2001 1:04:05 PM "))), 36925 + time);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("12:00 AM"))), 0);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value("18:00"))), 0.75);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(36925.5))), 36925.5);
    EXPECT_DOUBLE_EQ(daysOf(coerceToColumn(when, Value(std::int32_t{-657434}))), -657434);
    for (const char* bad : {"2001-02-30", "13/1/2001", "2001-02-03 25:00", "0099-01-01",
                            "yesterday", "2001-02-03 1:04 XM"})
        EXPECT_THROW(coerceToColumn(when, Value(bad)), core::TypeMismatch) << bad;
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
    EXPECT_THROW(coerceToColumn(name, Value(std::int32_t{123456})), core::ConstraintError);
    std::string longText(100000, 'x');
    EXPECT_EQ(coerceToColumn(column("Notes", ColumnType::Memo), Value(longText)), Value(longText));
}

TEST(ColumnValue, TextTakesEveryValuesTextForm) {
    auto memo = column("Notes", ColumnType::Memo);
    EXPECT_EQ(coerceToColumn(memo, Value(3.5)), Value("3.5"));
    EXPECT_EQ(coerceToColumn(memo, Value(1e-7)), Value("1E-07"));
    EXPECT_EQ(coerceToColumn(memo, Value(core::Currency{35000})), Value("3.5"));
    EXPECT_EQ(coerceToColumn(memo, Value(core::Currency{-20000})), Value("-2"));
    EXPECT_EQ(coerceToColumn(memo, Value(decimal(1250, 2))), Value("12.5"));
    EXPECT_EQ(coerceToColumn(memo, Value(true)), Value("True"));
    EXPECT_EQ(coerceToColumn(memo, Value(std::int16_t{-12})), Value("-12"));
    const double time = (13 * 3600 + 4 * 60 + 5) / 86400.0;
    EXPECT_EQ(coerceToColumn(memo, Value(core::DateTime{36925 + time})),
              Value("2/3/2001 1:04:05 PM"));
    EXPECT_EQ(coerceToColumn(memo, Value(core::DateTime{36925})), Value("2/3/2001"));
    EXPECT_EQ(coerceToColumn(memo, Value(core::DateTime{0.5})), Value("12:00:00 PM"));
    EXPECT_EQ(coerceToColumn(memo, Value(core::parseGuid("6b29fc40-ca47-1067-b31d-00dd010662da"))),
              Value("{6B29FC40-CA47-1067-B31D-00DD010662DA}"));
}

TEST(ColumnValue, GuidsFromTextWithOrWithoutBraces) {
    auto id = column("RowGuid", ColumnType::Guid);
    const core::Guid expected{{64, 252, 41, 107, 71, 202, 103, 16, 179, 29, 0, 221, 1, 6, 98, 218}};
    EXPECT_EQ(coerceToColumn(id, Value("{6B29FC40-CA47-1067-B31D-00DD010662DA}")), Value(expected));
    EXPECT_EQ(coerceToColumn(id, Value("6b29fc40-ca47-1067-b31d-00dd010662da")), Value(expected));
    EXPECT_EQ(coerceToColumn(id, Value(core::Bytes(expected.bytes.begin(), expected.bytes.end()))),
              Value(expected));
    EXPECT_EQ(messageOf<core::TypeMismatch>([&] { coerceToColumn(id, Value("{not-a-guid}")); }),
              "Data type mismatch in column 'RowGuid': '{not-a-guid}' is not a Replication ID "
              "value.");
    EXPECT_THROW(coerceToColumn(id, Value(core::Bytes(15, 0))), core::TypeMismatch);
}

TEST(ColumnValue, BinaryAndOleTakeBytesOrTextAsUtf16) {
    auto bin = column("Key", ColumnType::Binary, 4);
    EXPECT_EQ(coerceToColumn(bin, Value(core::Bytes{1, 2, 3, 4})), Value(core::Bytes{1, 2, 3, 4}));
    EXPECT_EQ(coerceToColumn(bin, Value("ab")), Value(core::Bytes{'a', 0, 'b', 0}));
    EXPECT_THROW(coerceToColumn(bin, Value(core::Bytes(5, 0))), core::ConstraintError);
    auto ole = column("Photo", ColumnType::Ole);
    EXPECT_EQ(coerceToColumn(ole, Value(core::Bytes(5000, 7))), Value(core::Bytes(5000, 7)));
}

TEST(ColumnValue, FloatingPointRangesAndSources) {
    auto single = column("Ratio", ColumnType::Single);
    EXPECT_EQ(coerceToColumn(single, Value("1.5")), Value(1.5f));
    EXPECT_EQ(coerceToColumn(single, Value(0.1f)), Value(0.1f));
    EXPECT_THAT(messageOf<core::TypeMismatch>([&] { coerceToColumn(single, Value(1e39)); }),
                HasSubstr("Overflow in column 'Ratio'"));
    auto dbl = column("Measure", ColumnType::Double);
    EXPECT_EQ(coerceToColumn(dbl, Value(core::Currency{12345})), Value(1.2345));
    EXPECT_EQ(coerceToColumn(dbl, Value(decimal(-125, 3))), Value(-0.125));
    EXPECT_EQ(coerceToColumn(dbl, Value(core::DateTime{2.25})), Value(2.25));
    EXPECT_EQ(coerceToColumn(dbl, Value("-1.5E-3")), Value(-0.0015));
    EXPECT_EQ(coerceToColumn(dbl, Value("1e-400")), Value(0.0));
    EXPECT_THROW(coerceToColumn(dbl, Value("1e400")), core::TypeMismatch);
    EXPECT_THROW(coerceToColumn(dbl, Value(HUGE_VALF)), core::TypeMismatch);
    // A double read from a file goes back unchanged, whatever it holds.
    EXPECT_TRUE(std::isnan(coerceToColumn(dbl, Value(std::nan(""))).get<double>()));
}

} // namespace
