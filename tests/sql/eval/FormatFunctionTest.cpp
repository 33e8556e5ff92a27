// The Format function: named and custom number, date and text formats.
#include "EvalTestValues.h"

#include "sql/eval/FormatFunction.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

struct FormatCase {
    Value value;
    const char* format;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << "Format(" << testing::PrintToString(c.value) << ", \"" << c.format << "\")";
}

class Formats : public testing::TestWithParam<FormatCase> {};

TEST_P(Formats, AsJetDoes) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(sql::formatValue(c.value, c.format), text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(NamedNumbers, Formats,
                         testing::Values(FormatCase{dbl(1234.5), "General Number", "1234.5"},
                                         FormatCase{dbl(1234.5), "Currency", "$1,234.50"},
                                         FormatCase{dbl(-1234.5), "Currency", "($1,234.50)"},
                                         FormatCase{currency("0.005"), "Currency", "$0.01"},
                                         FormatCase{dbl(1234.567), "Fixed", "1234.57"},
                                         FormatCase{dbl(0.5), "Fixed", "0.50"},
                                         FormatCase{dbl(1234567.891), "Standard", "1,234,567.89"},
                                         FormatCase{dbl(-1234.5), "standard", "-1,234.50"},
                                         FormatCase{dbl(0.1234), "Percent", "12.34%"},
                                         FormatCase{dbl(1234.5), "Scientific", "1.23E+03"},
                                         FormatCase{dbl(0.000123), "Scientific", "1.23E-04"},
                                         FormatCase{lng(0), "Yes/No", "No"},
                                         FormatCase{lng(3), "Yes/No", "Yes"},
                                         FormatCase{Value(true), "True/False", "True"},
                                         FormatCase{Value(false), "On/Off", "Off"},
                                         FormatCase{text("12.5"), "Fixed", "12.50"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    CustomNumbers, Formats,
    testing::Values(
        FormatCase{dbl(5), "0", "5"}, FormatCase{dbl(2.5), "0", "3"},
        FormatCase{dbl(-2.5), "0", "-3"}, FormatCase{dbl(2.675), "0.00", "2.68"},
        FormatCase{dbl(0.125), "0.00", "0.13"}, FormatCase{dbl(5), "0.00", "5.00"},
        FormatCase{dbl(1234.5), "#,##0.00", "1,234.50"}, FormatCase{dbl(123), "#,##0", "123"},
        FormatCase{dbl(0), "#,##0", "0"}, FormatCase{dbl(0.5), "#.##", ".5"},
        FormatCase{dbl(7), "000", "007"}, FormatCase{dbl(1234567), "#,##0,", "1,235"},
        FormatCase{dbl(5551234), "000-0000", "555-1234"}, FormatCase{dbl(12), "$0.00", "$12.00"},
        FormatCase{dbl(-12), "$0.00", "-$12.00"}, FormatCase{dbl(-12), "0;(0)", "(12)"},
        FormatCase{dbl(0), "0;(0);\\z\\e\\r\\o", "zero"}, FormatCase{dbl(0.256), "0.0%", "25.6%"},
        FormatCase{dbl(1234.5), "0.00E+00", "1.23E+03"},
        FormatCase{dbl(9.999), "0.00E+00", "1.00E+01"}, FormatCase{dbl(1234.5), "0.0e-0", "1.2e3"},
        FormatCase{currency("1234.5678"), "0.000", "1234.568"},
        FormatCase{decimal("12345678901234567890.5", 1), "0", "12345678901234567891"},
        FormatCase{dbl(-0.001), "0.00", "0.00"}, FormatCase{dbl(3), "\"#\"0", "#3"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Dates, Formats,
    testing::Values(FormatCase{date(2001, 2, 3, 13, 4, 5), "yyyy-mm-dd", "2001-02-03"},
                    FormatCase{date(2001, 2, 3), "dd/mm/yyyy", "03/02/2001"},
                    FormatCase{date(2001, 2, 3), "m/d/yy", "2/3/01"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "hh:nn:ss", "13:04:05"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "hh:mm:ss", "13:04:05"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "h:mm AM/PM", "1:04 PM"},
                    FormatCase{date(2001, 2, 3, 0, 4, 5), "h:nn am/pm", "12:04 am"},
                    FormatCase{date(2001, 2, 3, 9), "hA/P", "9A"},
                    FormatCase{date(2001, 2, 3), "mmm", "Feb"},
                    FormatCase{date(2001, 2, 3), "mmmm", "February"},
                    FormatCase{date(2001, 2, 3), "ddd", "Sat"},
                    FormatCase{date(2001, 2, 3), "dddd", "Saturday"},
                    FormatCase{date(2001, 2, 3), "yy", "01"},
                    FormatCase{date(2001, 8, 3), "q", "3"}, FormatCase{date(2001, 2, 3), "y", "34"},
                    FormatCase{date(2001, 1, 7), "ww", "2"}, FormatCase{date(2001, 2, 3), "w", "7"},
                    FormatCase{date(2001, 2, 3), "\"Q\"q yyyy", "Q1 2001"},
                    FormatCase{date(2001, 2, 3), "dd\\.mm", "03.02"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "General Date", "2/3/2001 1:04:05 PM"},
                    FormatCase{date(2001, 2, 3), "Long Date", "Saturday, February 3, 2001"},
                    FormatCase{date(2001, 2, 3), "Medium Date", "03-Feb-01"},
                    FormatCase{date(2001, 2, 3), "Short Date", "2/3/2001"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "Long Time", "1:04:05 PM"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "Medium Time", "01:04 PM"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "Short Time", "13:04"},
                    FormatCase{date(2001, 2, 3, 13, 4, 5), "c", "2/3/2001 1:04:05 PM"},
                    FormatCase{dbl(36925.5), "yyyy-mm-dd hh:nn", "2001-02-03 12:00"},
                    FormatCase{text("2001-02-03"), "mmmm d, yyyy", "February 3, 2001"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    TextAndDefaults, Formats,
    testing::Values(FormatCase{text("abc"), ">", "ABC"}, FormatCase{text("ABC"), "<", "abc"},
                    FormatCase{text("5551234"), "@@@-@@@@", "555-1234"},
                    FormatCase{text("ab"), "@@@@", "  ab"}, FormatCase{text("ab"), "!@@@@", "ab  "},
                    FormatCase{text("ab"), "&&&&", "ab"},
                    FormatCase{text("abcdef"), "@@-@", "abcde-f"},
                    FormatCase{text("hello"), "0.00", "hello"}, FormatCase{dbl(1.5), "", "1.5"},
                    FormatCase{Value(true), "", "True"},
                    FormatCase{date(2001, 2, 3), "", "2/3/2001"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FormatFunction, NullGivesNullUnlessTheFormatHasANullSection) {
    EXPECT_TRUE(sql::formatValue(null(), "0.00").isNull());
    EXPECT_EQ(sql::formatValue(null(), "0;-0;\\Z\\e\\r\\o;\\N\\i\\l"), text("Nil"));
}

TEST(FormatFunction, FirstDayOfWeekAppliesToWeekCodes) {
    EXPECT_EQ(sql::formatValue(date(2001, 2, 3), "w", 2), text("6"));
    EXPECT_EQ(call("Format", {date(2001, 2, 3), text("w"), lng(2)}), text("6"));
}

} // namespace
