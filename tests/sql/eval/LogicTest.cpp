// Three-valued logic of And, Or, Xor, Eqv, Imp and Not.
#include "EvalTestValues.h"

#include "core/Error.h"
#include "sql/eval/Logic.h"
#include "sql/eval/Operators.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;
using sql::BinaryOperator;

// T, F and N (Null) as values.
const Value T(true), F(false), N;

struct TruthRow {
    Value a, b;
    Value andResult, orResult, xorResult, eqvResult, impResult;
};

class TruthTable : public testing::TestWithParam<TruthRow> {};

TEST_P(TruthTable, MatchesThreeValuedLogic) {
    const TruthRow& r = GetParam();
    EXPECT_EQ(sql::binaryOp(BinaryOperator::And, r.a, r.b), r.andResult);
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Or, r.a, r.b), r.orResult);
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Xor, r.a, r.b), r.xorResult);
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Eqv, r.a, r.b), r.eqvResult);
    EXPECT_EQ(sql::binaryOp(BinaryOperator::Imp, r.a, r.b), r.impResult);
}

INSTANTIATE_TEST_SUITE_P(AllNineCombinations, TruthTable,
                         testing::Values(
                             //       a  b  And Or Xor Eqv Imp
                             TruthRow{T, T, T, T, F, T, T}, TruthRow{T, F, F, T, T, F, F},
                             TruthRow{T, N, N, T, N, N, N}, TruthRow{F, T, F, T, T, F, T},
                             TruthRow{F, F, F, F, F, T, T}, TruthRow{F, N, F, N, N, N, T},
                             TruthRow{N, T, N, T, N, N, T}, TruthRow{N, F, F, N, N, N, N},
                             TruthRow{N, N, N, N, N, N, N}));

TEST(Logic, NotOfNullIsNull) {
    EXPECT_TRUE(sql::unaryOp(sql::UnaryOperator::Not, N).isNull());
    EXPECT_EQ(sql::unaryOp(sql::UnaryOperator::Not, T), F);
}

TEST(Logic, NumbersAndTextHaveTruthValues) {
    EXPECT_EQ(sql::isTruthy(lng(5)), true);
    EXPECT_EQ(sql::isTruthy(dbl(0.0)), false);
    EXPECT_EQ(sql::isTruthy(currency("0.0001")), true);
    EXPECT_EQ(sql::isTruthy(text("true")), true);
    EXPECT_EQ(sql::isTruthy(text("FALSE")), false);
    EXPECT_EQ(sql::isTruthy(text("-1")), true);
    EXPECT_EQ(sql::isTruthy(N), std::nullopt);
    // In SQL And is logical, not bitwise: 5 And 2 is True.
    EXPECT_EQ(sql::binaryOp(BinaryOperator::And, lng(5), lng(2)), T);
}

TEST(Logic, TextWithoutTruthValueIsMismatch) {
    EXPECT_THROW(sql::isTruthy(text("maybe")), core::TypeMismatch);
    EXPECT_THROW(sql::isTruthy(Value(core::Bytes{1})), core::TypeMismatch);
}

} // namespace
