// Arithmetic operators: result types, exact currency, widening on overflow, dates, text.
#include "EvalTestValues.h"

#include "core/Error.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/Operators.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;
using sql::BinaryOperator;
using sql::UnaryOperator;

struct BinaryCase {
    const char* name;
    BinaryOperator op;
    Value left, right, expected;
};

void PrintTo(const BinaryCase& c, std::ostream* os) {
    *os << c.name;
}

class BinaryResult : public testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryResult, HasJetTypeAndValue) {
    const BinaryCase& c = GetParam();
    const Value result = sql::binaryOp(c.op, c.left, c.right);
    EXPECT_EQ(result.type(), c.expected.type()) << testing::PrintToString(result);
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Promotion, BinaryResult,
    testing::Values(
        BinaryCase{"byte+byte stays byte", BinaryOperator::Add, byte(100), byte(100), byte(200)},
        BinaryCase{"byte overflow widens to integer", BinaryOperator::Add, byte(200), byte(100),
                   integer(300)},
        BinaryCase{"byte below zero widens", BinaryOperator::Subtract, byte(1), byte(2),
                   integer(-1)},
        BinaryCase{"integer overflow widens to long", BinaryOperator::Multiply, integer(300),
                   integer(300), lng(90000)},
        BinaryCase{"long overflow widens to double", BinaryOperator::Add, lng(2147483647), lng(1),
                   dbl(2147483648.0)},
        BinaryCase{"integer+long is long", BinaryOperator::Add, integer(1), lng(2), lng(3)},
        BinaryCase{"single+long is double", BinaryOperator::Add, single(1.5f), lng(2), dbl(3.5)},
        BinaryCase{"single*integer stays single", BinaryOperator::Multiply, single(1.5f),
                   integer(2), single(3.0f)},
        BinaryCase{"true+0 is -1", BinaryOperator::Add, Value(true), integer(0), integer(-1)},
        BinaryCase{"true+true is -2", BinaryOperator::Add, Value(true), Value(true), integer(-2)},
        BinaryCase{"double+long is double", BinaryOperator::Add, dbl(0.5), lng(1), dbl(1.5)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    ExactCurrency, BinaryResult,
    testing::Values(BinaryCase{"currency+long", BinaryOperator::Add, currency("1.25"), lng(2),
                               currency("3.25")},
                    BinaryCase{"currency+double is currency", BinaryOperator::Add, currency("0.1"),
                               dbl(0.2), currency("0.3")},
                    BinaryCase{"many cents add exactly", BinaryOperator::Add, currency("0.1"),
                               currency("0.2"), currency("0.3")},
                    BinaryCase{"currency*currency rounds half even down", BinaryOperator::Multiply,
                               currency("0.0005"), currency("0.5"), currency("0.0002")},
                    BinaryCase{"currency*currency rounds half even up", BinaryOperator::Multiply,
                               currency("0.0015"), currency("0.5"), currency("0.0008")},
                    BinaryCase{"currency*long", BinaryOperator::Multiply, currency("19.99"), lng(3),
                               currency("59.97")},
                    BinaryCase{"currency*double is double", BinaryOperator::Multiply, currency("2"),
                               dbl(1.5), dbl(3.0)},
                    BinaryCase{"currency/long is double", BinaryOperator::Divide, currency("10"),
                               lng(4), dbl(2.5)},
                    BinaryCase{"currency+decimal is decimal", BinaryOperator::Add, currency("1.5"),
                               decimal("2.25", 2), decimal("3.7500", 4)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    DatesAndText, BinaryResult,
    testing::Values(
        BinaryCase{"date+number is date", BinaryOperator::Add, date(2001, 2, 3), lng(1),
                   date(2001, 2, 4)},
        BinaryCase{"number+date is date", BinaryOperator::Add, dbl(0.5), date(2001, 2, 3),
                   date(2001, 2, 3, 12)},
        BinaryCase{"date-number is date", BinaryOperator::Subtract, date(2001, 3, 1), lng(1),
                   date(2001, 2, 28)},
        BinaryCase{"date-date is double", BinaryOperator::Subtract, date(2001, 3, 1),
                   date(2001, 2, 1), dbl(28.0)},
        BinaryCase{"text+text concatenates", BinaryOperator::Add, text("ab"), text("cd"),
                   text("abcd")},
        BinaryCase{"numeric text+number adds", BinaryOperator::Add, text("1"), lng(1), dbl(2.0)},
        BinaryCase{"numeric text*text multiplies", BinaryOperator::Multiply, text("2"), text("2.5"),
                   dbl(5.0)},
        BinaryCase{"& joins text forms", BinaryOperator::Concat, text("n="), lng(5), text("n=5")},
        BinaryCase{"& treats null as empty", BinaryOperator::Concat, null(), text("x"), text("x")},
        BinaryCase{"& of two nulls is null", BinaryOperator::Concat, null(), null(), null()},
        BinaryCase{"& uses CStr of a double", BinaryOperator::Concat, dbl(0.1 + 0.2), text(""),
                   text("0.3")},
        BinaryCase{"& uses CStr of currency", BinaryOperator::Concat, currency("3.5"), text(""),
                   text("3.5")}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Division, BinaryResult,
    testing::Values(
        BinaryCase{"/ of longs is double", BinaryOperator::Divide, lng(1), lng(4), dbl(0.25)},
        BinaryCase{"/ of decimals stays decimal", BinaryOperator::Divide, decimal("1", 0),
                   decimal("8", 0), decimal("0.125", 3)},
        BinaryCase{"\\ truncates", BinaryOperator::IntDivide, lng(11), lng(4), lng(2)},
        BinaryCase{"\\ rounds operands half even first", BinaryOperator::IntDivide, dbl(10.5),
                   dbl(2.5), lng(5)},
        BinaryCase{"\\ keeps integer type", BinaryOperator::IntDivide, integer(9), integer(3),
                   integer(3)},
        BinaryCase{"\\ keeps byte type", BinaryOperator::IntDivide, byte(9), byte(2), byte(4)},
        BinaryCase{"\\ of integer min by -1 widens", BinaryOperator::IntDivide, integer(-32768),
                   integer(-1), lng(32768)},
        BinaryCase{"mod takes dividend sign", BinaryOperator::Mod, lng(-7), lng(3), lng(-1)},
        BinaryCase{"mod rounds operands", BinaryOperator::Mod, dbl(5.5), lng(4), lng(2)},
        BinaryCase{"^ is double", BinaryOperator::Power, lng(2), lng(10), dbl(1024.0)},
        BinaryCase{"^ negative base integral exponent", BinaryOperator::Power, lng(-2), lng(3),
                   dbl(-8.0)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Arithmetic, NullPropagatesThroughEveryArithmeticOperator) {
    for (BinaryOperator op :
         {BinaryOperator::Add, BinaryOperator::Subtract, BinaryOperator::Multiply,
          BinaryOperator::Divide, BinaryOperator::IntDivide, BinaryOperator::Mod,
          BinaryOperator::Power}) {
        EXPECT_TRUE(sql::binaryOp(op, null(), lng(1)).isNull()) << sql::operatorText(op);
        EXPECT_TRUE(sql::binaryOp(op, lng(1), null()).isNull()) << sql::operatorText(op);
        // Null wins even over a zero divisor.
        EXPECT_TRUE(sql::binaryOp(op, null(), lng(0)).isNull()) << sql::operatorText(op);
    }
    EXPECT_TRUE(sql::unaryOp(UnaryOperator::Negate, null()).isNull());
}

TEST(Arithmetic, ErrorsCarryJetMessages) {
    const auto message = [](BinaryOperator op, const Value& a, const Value& b) {
        try {
            sql::binaryOp(op, a, b);
        } catch (const core::Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(BinaryOperator::Divide, lng(1), lng(0)), "Division by zero");
    EXPECT_EQ(message(BinaryOperator::Divide, decimal("1", 0), decimal("0", 0)),
              "Division by zero");
    EXPECT_EQ(message(BinaryOperator::IntDivide, lng(1), dbl(0.4)), "Division by zero");
    EXPECT_EQ(message(BinaryOperator::Mod, lng(1), lng(0)), "Division by zero");
    EXPECT_EQ(message(BinaryOperator::Add, text("a"), lng(1)),
              "Data type mismatch in criteria expression.");
    EXPECT_EQ(
        message(BinaryOperator::Add, currency("900000000000000"), currency("900000000000000")),
        "Overflow");
    EXPECT_EQ(message(BinaryOperator::Multiply, dbl(1e300), dbl(1e300)), "Overflow");
    EXPECT_EQ(message(BinaryOperator::Power, dbl(-8), dbl(1.0 / 3)),
              "Invalid procedure call or argument");
    EXPECT_EQ(message(BinaryOperator::Add, date(9999, 12, 31), lng(1)), "Overflow");
    EXPECT_EQ(message(BinaryOperator::Add, Value(core::Bytes{1, 2}), lng(1)),
              "Data type mismatch in criteria expression.");
}

struct UnaryCase {
    Value operand, expected;
};

class NegateResult : public testing::TestWithParam<UnaryCase> {};

TEST_P(NegateResult, KeepsOrWidensType) {
    const Value result = sql::unaryOp(UnaryOperator::Negate, GetParam().operand);
    EXPECT_EQ(result.type(), GetParam().expected.type());
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Negation, NegateResult,
                         testing::Values(UnaryCase{byte(5), integer(-5)},
                                         UnaryCase{integer(-32768), lng(32768)},
                                         UnaryCase{lng(-2147483647 - 1), dbl(2147483648.0)},
                                         UnaryCase{Value(true), integer(1)},
                                         UnaryCase{currency("1.5"), currency("-1.5")},
                                         UnaryCase{text("2"), dbl(-2.0)},
                                         UnaryCase{decimal("1.5", 1), decimal("-1.5", 1)}));

TEST(Arithmetic, UnaryPlusLeavesTheValueAlone) {
    EXPECT_EQ(sql::unaryOp(UnaryOperator::Plus, text("x")), text("x"));
}

} // namespace
