// Comparisons across types, Null, and case-insensitive text in the General order.
#include "EvalTestValues.h"

#include "core/Error.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Operators.h"
#include "sql/eval/TextCollation.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace evaltest;
using sql::BinaryOperator;

struct CompareCase {
    const char* name;
    Value a, b;
    int expected;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << c.name;
}

class CompareValues : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareValues, GivesSignAndItsMirror) {
    const CompareCase& c = GetParam();
    const auto forward = sql::compareValues(c.a, c.b);
    const auto backward = sql::compareValues(c.b, c.a);
    ASSERT_TRUE(forward.has_value());
    ASSERT_TRUE(backward.has_value());
    EXPECT_EQ((*forward > 0) - (*forward < 0), c.expected);
    EXPECT_EQ((*backward > 0) - (*backward < 0), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AcrossTypes, CompareValues,
    testing::Values(CompareCase{"byte equals double", byte(3), dbl(3.0), 0},
                    CompareCase{"long below currency", lng(2), currency("2.0001"), -1},
                    CompareCase{"currency equals decimal", currency("1.5"), decimal("1.50", 2), 0},
                    CompareCase{"decimal against double", decimal("0.25", 2), dbl(0.3), -1},
                    CompareCase{"true is -1", Value(true), lng(-1), 0},
                    CompareCase{"true sorts below false", Value(true), Value(false), -1},
                    CompareCase{"large integers exact", lng(2147483647), lng(2147483646), 1},
                    CompareCase{"numeric text against number", text("10"), lng(9), 1},
                    CompareCase{"dates by time", date(2001, 2, 3, 12), date(2001, 2, 3), 1},
                    CompareCase{"date against its day count", date(1900, 1, 1), dbl(2.0), 0},
                    CompareCase{"date before 1899 by real time", date(1899, 12, 29, 6),
                                date(1899, 12, 29, 18), -1},
                    CompareCase{"date against date text", date(2001, 2, 3), text("2001-02-03"), 0},
                    CompareCase{"bytes lexicographic", Value(core::Bytes{1, 2}),
                                Value(core::Bytes{1, 3}), -1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Text, CompareValues,
    testing::Values(
        CompareCase{"case ignored", text("abc"), text("ABC"), 0},
        CompareCase{"letters alphabetic without case", text("apple"), text("Banana"), -1},
        CompareCase{"prefix sorts first", text("ab"), text("abc"), -1},
        CompareCase{"digits before letters", text("9"), text("a"), -1},
        CompareCase{"punctuation before digits", text("-"), text("0"), -1},
        CompareCase{"underscore before letters", text("_"), text("a"), -1},
        CompareCase{"accent is a secondary difference", text("cafe"), text("caf\u00e9"), -1},
        CompareCase{"accent loses to a primary difference", text("caf\u00e9"), text("cafz"), -1},
        CompareCase{"accented capitals fold", text("\u00c9T\u00c9"), text("\u00e9t\u00e9"), 0},
        // The General sort order weighs ß exactly as "ss".
        CompareCase{"sharp s is ss", text("stra\u00dfe"), text("STRASSE"), 0},
        CompareCase{"empty first", text(""), text(" "), -1},
        CompareCase{"trailing blank counts", text("a "), text("a"), 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Comparison, NullComparesAsUnknown) {
    EXPECT_EQ(sql::compareValues(null(), lng(1)), std::nullopt);
    EXPECT_EQ(sql::compareValues(text("a"), null()), std::nullopt);
    for (BinaryOperator op : {BinaryOperator::Equal, BinaryOperator::NotEqual, BinaryOperator::Less,
                              BinaryOperator::GreaterEqual})
        EXPECT_TRUE(sql::binaryOp(op, null(), null()).isNull());
}

TEST(Comparison, OperatorsGiveBooleans) {
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Equal, text("Smith"), text("SMITH")), Value(true));
    EXPECT_EQ(sql::binaryOp(BinaryOperator::NotEqual, lng(1), dbl(1.0)), Value(false));
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Less, lng(1), currency("1.5")), Value(true));
    EXPECT_EQ(sql::binaryOp(BinaryOperator::LessEqual, lng(2), lng(2)), Value(true));
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Greater, text("b"), text("A")), Value(true));
    EXPECT_EQ(sql::binaryOp(BinaryOperator::GreaterEqual, dbl(0.5), lng(1)), Value(false));
}

TEST(Comparison, TextThatIsNoNumberDoesNotCompareWithANumber) {
    EXPECT_THROW(sql::compareValues(text("abc"), lng(1)), core::TypeMismatch);
    EXPECT_THROW(sql::compareValues(date(2001, 1, 1), text("someday")), core::TypeMismatch);
    EXPECT_THROW(sql::compareValues(Value(core::Bytes{1}), text("a")), core::TypeMismatch);
}

TEST(Comparison, GuidAgainstItsText) {
    const core::Guid g = core::parseGuid("{12345678-9ABC-DEF0-1234-56789ABCDEF0}");
    EXPECT_EQ(sql::compareValues(Value(g), text("{12345678-9abc-def0-1234-56789abcdef0}")), 0);
    EXPECT_THROW(sql::compareValues(Value(g), text("not a guid")), core::TypeMismatch);
}

TEST(TextCollation, CompareAgreesWithKeyOrder) {
    const std::vector<std::string> words = {
        "",       " ",      "!",      "0",   "9",      "A",   "a",         "ab",
        "Ab",     "abc",    "b",      "Z",   "z",      "_x",  "caf\u00e9", "cafe",
        "cafz",   "\u00c6", "ae",     "Ae",  "\u00df", "ss",  "\u0161",    "s",
        "\u03b1", "\u0391", "\u4e2d", "a b", "a-b",    "ab-", "\u00e9",    "f"};
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const std::string& a : words) {
        for (const std::string& b : words) {
            const int byKey = sign(sql::collationKey(a).compare(sql::collationKey(b)));
            EXPECT_EQ(sign(sql::compareText(a, b)), byKey) << a << " vs " << b;
        }
    }
}

TEST(TextCollation, SortsLikeADictionary) {
    std::vector<std::string> words = {"delta", "Alpha", "charlie", "Bravo", "alpha", "10", "2"};
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return sql::compareText(a, b) < 0;
    });
    EXPECT_EQ(words,
              (std::vector<std::string>{"10", "2", "Alpha", "alpha", "Bravo", "charlie", "delta"}));
}

} // namespace
