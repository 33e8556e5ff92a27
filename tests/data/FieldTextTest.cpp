// Field values as text: the locale's date, time and money formats (fixed defaults that a
// data set can replace), the text with no display format, and reading what the user typed.
#include "data/FieldText.h"
#include "core/Conversions.h"
#include "core/Error.h"
#include "data/LocaleFormats.h"

#include <gtest/gtest.h>

namespace {

using core::DataType;
using data::FieldType;
using data::LocaleFormats;

core::DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return core::fromCivil({y, mo, d, h, mi, s, 0});
}

std::string typedError(std::string_view text, DataType type) {
    try {
        data::valueFromText(text, type, LocaleFormats{});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "";
}

TEST(LocaleFormatsTest, DatesAndTimesUseTheShortFormats) {
    const LocaleFormats us;
    EXPECT_EQ(data::formatDateTime(at(2001, 2, 3), us), "2/3/2001");
    EXPECT_EQ(data::formatDateTime(at(2001, 2, 3, 13, 4, 5), us), "2/3/2001 1:04:05 PM");
    EXPECT_EQ(data::formatDateTime(at(1899, 12, 30, 9, 30), us), "9:30:00 AM");
    EXPECT_EQ(data::formatDateTime(at(1899, 12, 30), us), "12/30/1899");
    EXPECT_EQ(data::formatDateTime(at(1800, 1, 1, 6), us), "1/1/1800 6:00:00 AM");
}

TEST(LocaleFormatsTest, OtherFormatsCanBeGiven) {
    LocaleFormats european;
    european.shortDate = "dd.mm.yyyy";
    european.longTime = "hh:nn:ss";
    EXPECT_EQ(data::formatDateTime(at(2001, 2, 3, 13, 4, 5), european), "03.02.2001 13:04:05");
    EXPECT_EQ(data::parseDateTime("03.02.2001 13:04", european), at(2001, 2, 3, 13, 4));
    EXPECT_EQ(data::parseDateTime("3/2/01", european), at(2001, 2, 3));
}

TEST(LocaleFormatsTest, ReadsWhatTheFormatsWriteAndJetsOwnForms) {
    const LocaleFormats us;
    EXPECT_EQ(data::parseDateTime("2/3/2001", us), at(2001, 2, 3));
    EXPECT_EQ(data::parseDateTime(" 2/3/2001 1:04:05 PM ", us), at(2001, 2, 3, 13, 4, 5));
    EXPECT_EQ(data::parseDateTime("12:30 am", us), at(1899, 12, 30, 0, 30));
    EXPECT_EQ(data::parseDateTime("2001-02-03", us), at(2001, 2, 3));
    EXPECT_EQ(data::parseDateTime("February 3, 2001", us), at(2001, 2, 3));
    EXPECT_FALSE(data::parseDateTime("2/30/2001", us).has_value());
    EXPECT_FALSE(data::parseDateTime("13:00 PM", us).has_value());
    EXPECT_FALSE(data::parseDateTime("soon", us).has_value());
    EXPECT_FALSE(data::parseDateTime("", us).has_value());
}

TEST(LocaleFormatsTest, MoneyShowsTheSymbolGroupsAndTwoDecimals) {
    const LocaleFormats us;
    EXPECT_EQ(data::formatCurrencyDisplay(core::Currency{12345678}, us), "$1,234.57");
    EXPECT_EQ(data::formatCurrencyDisplay(core::Currency{-5000}, us), "($0.50)");
    EXPECT_EQ(data::formatCurrencyDisplay(core::Currency{0}, us), "$0.00");
    LocaleFormats euro;
    euro.currencySymbol = "EUR ";
    euro.currencyDecimals = 0;
    EXPECT_EQ(data::formatCurrencyDisplay(core::Currency{1234567890}, euro), "EUR 123,457");
}

TEST(FieldTextTest, ValuesAsTextWithoutDisplayFormat) {
    const LocaleFormats us;
    EXPECT_EQ(data::valueText(core::Value(), us), "");
    EXPECT_EQ(data::valueText(core::Value(true), us), "True");
    EXPECT_EQ(data::valueText(core::Value(std::int16_t{-7}), us), "-7");
    EXPECT_EQ(data::valueText(core::Value(0.1), us), "0.1");
    EXPECT_EQ(data::valueText(core::Value(core::Currency{125000}), us), "12.5");
    EXPECT_EQ(data::valueText(core::Value(core::parseDecimal("1.250", 3)), us), "1.25");
    EXPECT_EQ(data::valueText(core::Value(core::Bytes{0x0A, 0xFF}), us), "0AFF");
    core::Guid g;
    g.bytes[0] = 0xAB;
    EXPECT_EQ(data::valueText(core::Value(g), us).front(), '{');
    EXPECT_EQ(data::valueText(core::Value(g), us).size(), 38u);
}

TEST(FieldTextTest, DisplayTextFormatsMoneyAndHidesObjects) {
    const LocaleFormats us;
    EXPECT_EQ(data::displayText(core::Value(core::Currency{35000}), FieldType::Currency, us),
              "$3.50");
    EXPECT_EQ(data::displayText(core::Value(core::Bytes{1, 2}), FieldType::Blob, us), "(BLOB)");
    EXPECT_EQ(data::displayText(core::Value(), FieldType::Blob, us), "");
    EXPECT_EQ(data::displayText(core::Value("memo text"), FieldType::WideMemo, us), "memo text");
}

TEST(FieldTextTest, TypedTextBecomesTheFieldsKindOfValue) {
    const LocaleFormats us;
    EXPECT_EQ(data::valueFromText("", DataType::Long, us), core::Value());
    EXPECT_EQ(data::valueFromText("", DataType::Text, us), core::Value(""));
    EXPECT_EQ(data::valueFromText(" 1,000 ", DataType::Long, us), core::Value(std::int32_t{1000}));
    EXPECT_EQ(data::valueFromText("12.345", DataType::Currency, us),
              core::Value(core::Currency{123450}));
    EXPECT_EQ(data::valueFromText("1.5E3", DataType::Double, us), core::Value(1500.0));
    EXPECT_EQ(data::valueFromText("yes", DataType::Boolean, us), core::Value(true));
    EXPECT_EQ(data::valueFromText("0", DataType::Boolean, us), core::Value(false));
    EXPECT_EQ(data::valueFromText("2/3/2001", DataType::DateTime, us), core::Value(at(2001, 2, 3)));
    EXPECT_EQ(data::valueFromText("0aff", DataType::Binary, us),
              core::Value(core::Bytes{0x0A, 0xFF}));
}

TEST(FieldTextTest, TextThatIsNotTheFieldsKindIsRefused) {
    EXPECT_EQ(typedError("abc", DataType::Long), "'abc' is not a valid integer value");
    EXPECT_EQ(typedError("1.5", DataType::Integer), "'1.5' is not a valid integer value");
    EXPECT_EQ(typedError("x1", DataType::Double), "'x1' is not a valid floating point value");
    EXPECT_EQ(typedError("someday", DataType::DateTime), "'someday' is not a valid date and time");
    EXPECT_EQ(typedError("maybe", DataType::Boolean), "'maybe' is not a valid boolean value");
    EXPECT_EQ(typedError("300", DataType::Byte), "Overflow");
}

TEST(FieldTextTest, OtherValuesConvertWithJetsRules) {
    const LocaleFormats us;
    EXPECT_EQ(data::convertForField(core::Value(2.5), DataType::Long, us),
              core::Value(std::int32_t{2}));
    EXPECT_EQ(data::convertForField(core::Value(std::int32_t{3}), DataType::Text, us),
              core::Value("3"));
    EXPECT_EQ(data::convertForField(core::Value(at(2001, 2, 3)), DataType::Text, us),
              core::Value("2/3/2001"));
    EXPECT_EQ(data::convertForField(core::Value(), DataType::Long, us), core::Value());
    EXPECT_THROW(data::convertForField(core::Value(core::Bytes{1}), DataType::Guid, us),
                 core::TypeMismatch);
}

} // namespace
