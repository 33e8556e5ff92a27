// CStr, CInt, CLng, CCur, CDate, CBool and friends, with Jet's texts and errors.
#include "EvalTestValues.h"

#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

struct ConversionCase {
    const char* function;
    Value argument, expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.function << "(" << testing::PrintToString(c.argument) << ")";
}

class Converts : public testing::TestWithParam<ConversionCase> {};

TEST_P(Converts, ToJetValue) {
    const ConversionCase& c = GetParam();
    const Value result = call(c.function, {c.argument});
    EXPECT_EQ(result.type(), c.expected.type()) << testing::PrintToString(result);
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ToText, Converts,
    testing::Values(ConversionCase{"CStr", Value(true), text("True")},
                    ConversionCase{"CStr", Value(false), text("False")},
                    ConversionCase{"CStr", dbl(0.1 + 0.2), text("0.3")},
                    ConversionCase{"CStr", single(0.1f), text("0.1")},
                    ConversionCase{"CStr", currency("3.5"), text("3.5")},
                    ConversionCase{"CStr", currency("-2"), text("-2")},
                    ConversionCase{"CStr", decimal("1.50", 2), text("1.5")},
                    ConversionCase{"CStr", date(2001, 2, 3), text("2/3/2001")},
                    ConversionCase{"CStr", date(2001, 2, 3, 13, 4, 5), text("2/3/2001 1:04:05 PM")},
                    ConversionCase{"CStr", date(1899, 12, 30, 0, 30), text("12:30:00 AM")},
                    ConversionCase{"CStr", date(1899, 12, 30), text("12:00:00 AM")},
                    ConversionCase{"CStr", Value(core::Bytes{'h', 0, 'i', 0}), text("hi")}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(ToNumbers, Converts,
                         testing::Values(ConversionCase{"CInt", dbl(2.5), integer(2)},
                                         ConversionCase{"CInt", dbl(3.5), integer(4)},
                                         ConversionCase{"CInt", dbl(-2.5), integer(-2)},
                                         ConversionCase{"CInt", text(" 12 "), integer(12)},
                                         ConversionCase{"CInt", currency("1.5"), integer(2)},
                                         ConversionCase{"CInt", currency("2.5"), integer(2)},
                                         ConversionCase{"CInt", Value(true), integer(-1)},
                                         ConversionCase{"CLng", dbl(2147483647.4), lng(2147483647)},
                                         ConversionCase{"CLng", decimal("-7.5", 1), lng(-8)},
                                         ConversionCase{"CByte", dbl(254.5), byte(254)},
                                         ConversionCase{"CDbl", text("1,000.5"), dbl(1000.5)},
                                         ConversionCase{"CDbl", date(1900, 1, 1, 12), dbl(2.5)},
                                         ConversionCase{"CSng", dbl(1.5), single(1.5f)},
                                         ConversionCase{"CCur", dbl(1.00005), currency("1")},
                                         ConversionCase{"CCur", dbl(1.00015), currency("1.0002")},
                                         ConversionCase{"CCur", text("12.34567"),
                                                        currency("12.3457")},
                                         ConversionCase{"CDec", text("1.10"), decimal("1.1", 1)},
                                         ConversionCase{"CDec", lng(5), decimal("5", 0)},
                                         ConversionCase{"CBool", lng(5), Value(true)},
                                         ConversionCase{"CBool", text("false"), Value(false)},
                                         ConversionCase{"CBool", text("0"), Value(false)},
                                         ConversionCase{"CVar", null(), null()}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    ToDates, Converts,
    testing::Values(ConversionCase{"CDate", text("2001-02-03"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("2/3/2001"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("13/2/2001"), date(2001, 2, 13)},
                    ConversionCase{"CDate", text("2/3/01"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("2/3/45"), date(1945, 2, 3)},
                    ConversionCase{"CDate", text("2001-02-03 13:04:05"),
                                   date(2001, 2, 3, 13, 4, 5)},
                    ConversionCase{"CDate", text("2001-02-03T13:04"), date(2001, 2, 3, 13, 4)},
                    ConversionCase{"CDate", text("2/3/2001 1:04 PM"), date(2001, 2, 3, 13, 4)},
                    ConversionCase{"CDate", text("2/3/2001 12:15 am"), date(2001, 2, 3, 0, 15)},
                    ConversionCase{"CDate", text("February 3, 2001"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("3-Feb-01"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("Saturday, February 3, 2001"), date(2001, 2, 3)},
                    ConversionCase{"CDate", text("13:30"), date(1899, 12, 30, 13, 30)},
                    ConversionCase{"CDate", text("3 PM"), date(1899, 12, 30, 15)},
                    ConversionCase{"CDate", dbl(36925.5), date(2001, 2, 3, 12)},
                    ConversionCase{"CDate", text("36925"), date(2001, 2, 3)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

std::string errorOf(const char* function, const Value& argument) {
    try {
        call(function, {argument});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(ConversionFunctions, NullIsAnInvalidUse) {
    for (const char* f :
         {"CStr", "CInt", "CLng", "CDbl", "CCur", "CDate", "CBool", "CByte", "CDec"})
        EXPECT_EQ(errorOf(f, null()), "Invalid use of Null") << f;
    EXPECT_TRUE(call("CVDate", {null()}).isNull());
}

TEST(ConversionFunctions, OutOfRangeOverflows) {
    EXPECT_EQ(errorOf("CInt", lng(32768)), "Overflow");
    EXPECT_EQ(errorOf("CInt", dbl(32767.5)), "Overflow");
    EXPECT_EQ(errorOf("CByte", lng(-1)), "Overflow");
    EXPECT_EQ(errorOf("CLng", dbl(1e10)), "Overflow");
    EXPECT_EQ(errorOf("CSng", dbl(1e39)), "Overflow");
    EXPECT_EQ(errorOf("CCur", dbl(1e16)), "Overflow");
    EXPECT_EQ(errorOf("CDate", dbl(3e6)), "Overflow");
    EXPECT_EQ(errorOf("CDbl", text("1e400")), "Overflow");
}

TEST(ConversionFunctions, UnreadableTextIsAMismatch) {
    const std::string mismatch = "Data type mismatch in criteria expression.";
    EXPECT_EQ(errorOf("CInt", text("twelve")), mismatch);
    EXPECT_EQ(errorOf("CDate", text("2/30/2001")), mismatch);
    EXPECT_EQ(errorOf("CDate", text("yesterday")), mismatch);
    EXPECT_EQ(errorOf("CBool", text("yes")), mismatch);
    EXPECT_EQ(errorOf("CCur", text("")), mismatch);
}

TEST(ConversionFunctions, StrLeavesRoomForTheSign) {
    EXPECT_EQ(call("Str", {lng(459)}), text(" 459"));
    EXPECT_EQ(call("Str", {dbl(-459.65)}), text("-459.65"));
    EXPECT_EQ(call("Str", {text("12")}), text(" 12"));
    EXPECT_TRUE(call("Str", {null()}).isNull());
    EXPECT_THROW(call("Str$", {null()}), core::TypeMismatch);
}

TEST(ConversionFunctions, ValReadsTheLeadingNumber) {
    EXPECT_EQ(call("Val", {text(" 1 2 3abc")}), dbl(123.0));
    EXPECT_EQ(call("Val", {lng(7)}), dbl(7.0));
    EXPECT_THROW(call("Val", {null()}), core::TypeMismatch);
}

} // namespace
