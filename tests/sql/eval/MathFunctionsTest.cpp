// Numeric functions: Round's half-to-even, Int and Fix, type keeping, domain errors.
#include "FunctionCallCase.h"

#include "core/Error.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/RandomSequence.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;

class MathFunction : public FunctionCallTest {};

TEST_P(MathFunction, Returns) {
    expectReturns(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, MathFunction,
    testing::Values(
        CallCase{"Round", {dbl(2.5)}, dbl(2.0)}, CallCase{"Round", {dbl(3.5)}, dbl(4.0)},
        CallCase{"Round", {dbl(-2.5)}, dbl(-2.0)}, CallCase{"Round", {dbl(0.5)}, dbl(0.0)},
        CallCase{"Round", {dbl(2.675), lng(2)}, dbl(2.68)},
        CallCase{"Round", {dbl(0.285), lng(2)}, dbl(0.28)},
        CallCase{"Round", {dbl(1.005), lng(2)}, dbl(1.0)},
        CallCase{"Round", {dbl(2.125), lng(2)}, dbl(2.12)},
        CallCase{"Round", {dbl(1.23456), lng(3)}, dbl(1.235)},
        CallCase{"Round", {currency("2.675"), lng(2)}, currency("2.68")},
        CallCase{"Round", {currency("2.665"), lng(2)}, currency("2.66")},
        CallCase{"Round", {currency("2.5")}, currency("2")},
        CallCase{"Round", {decimal("2.675", 3), lng(2)}, decimal("2.68", 2)},
        CallCase{"Round", {lng(7), lng(2)}, lng(7)},
        CallCase{"Round", {single(2.5f)}, single(2.0f)}, CallCase{"Round", {text("3.5")}, dbl(4.0)},
        CallCase{"Round", {null()}, null()}, CallCase{"Int", {dbl(-8.4)}, dbl(-9.0)},
        CallCase{"Fix", {dbl(-8.4)}, dbl(-8.0)}, CallCase{"Int", {dbl(8.7)}, dbl(8.0)},
        CallCase{"Int", {currency("-1.5")}, currency("-2")},
        CallCase{"Fix", {currency("-1.5")}, currency("-1")},
        CallCase{"Int", {decimal("-1.5", 1)}, decimal("-2", 0)},
        CallCase{"Int", {date(2001, 2, 3, 18)}, date(2001, 2, 3)},
        CallCase{"Int", {integer(5)}, integer(5)}, CallCase{"Fix", {null()}, null()}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Others, MathFunction,
    testing::Values(
        CallCase{"Abs", {integer(-5)}, integer(5)}, CallCase{"Abs", {integer(-32768)}, lng(32768)},
        CallCase{"Abs", {currency("-1.25")}, currency("1.25")},
        CallCase{"Abs", {dbl(-0.5)}, dbl(0.5)}, CallCase{"Abs", {Value(true)}, integer(1)},
        CallCase{"Abs", {null()}, null()}, CallCase{"Sgn", {dbl(-0.1)}, integer(-1)},
        CallCase{"Sgn", {lng(0)}, integer(0)}, CallCase{"Sgn", {currency("3")}, integer(1)},
        CallCase{"Sqr", {lng(16)}, dbl(4.0)}, CallCase{"Exp", {lng(0)}, dbl(1.0)},
        CallCase{"Log", {lng(1)}, dbl(0.0)}, CallCase{"Atn", {lng(0)}, dbl(0.0)},
        CallCase{"Cos", {lng(0)}, dbl(1.0)}, CallCase{"Sqr", {null()}, null()},
        CallCase{"Hex", {lng(255)}, text("FF")}, CallCase{"Hex", {integer(-1)}, text("FFFF")},
        CallCase{"Hex", {lng(-1)}, text("FFFFFFFF")}, CallCase{"Hex", {dbl(15.5)}, text("10")},
        CallCase{"Hex", {lng(0)}, text("0")}, CallCase{"Oct", {lng(8)}, text("10")},
        CallCase{"Hex", {null()}, null()}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

std::string errorOf(const char* function, std::vector<Value> args) {
    try {
        sql::callFunction(function, args, {});
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(MathFunctions, DomainErrors) {
    const std::string invalid = "Invalid procedure call or argument";
    EXPECT_EQ(errorOf("Sqr", {lng(-1)}), invalid);
    EXPECT_EQ(errorOf("Log", {lng(0)}), invalid);
    EXPECT_EQ(errorOf("Round", {dbl(1.5), lng(-1)}), invalid);
    EXPECT_EQ(errorOf("Exp", {lng(1000)}), "Overflow");
    EXPECT_EQ(errorOf("Abs", {currency("-922337203685477.5808")}), "Overflow");
    EXPECT_EQ(errorOf("Hex", {dbl(1e10)}), "Overflow");
    EXPECT_EQ(errorOf("Round", {dbl(1.5), null()}), "Invalid use of Null");
}

TEST(MathFunctions, RndFollowsItsSequence) {
    sql::RandomSequence random;
    sql::EvalContext context;
    context.random = &random;
    const Value first = call("Rnd", {}, context);
    const Value second = call("Rnd", {lng(1)}, context);
    ASSERT_EQ(first.type(), core::DataType::Single);
    EXPECT_NE(first, second);
    EXPECT_EQ(call("Rnd", {lng(0)}, context), second);
    const float f = first.get<float>();
    EXPECT_GE(f, 0.0f);
    EXPECT_LT(f, 1.0f);
    // A negative argument restarts the sequence: the same seed gives the same number.
    EXPECT_EQ(call("Rnd", {lng(-3)}, context), call("Rnd", {lng(-3)}, context));
    EXPECT_THROW(call("Rnd", {}), sql::EvalError);
}

} // namespace
