// A scan's quick test of `column op number` and `column Between number And number` must let
// through exactly the rows the general evaluation of the same criterion lets through.
#include "sql/engine/execution/NumericCriterion.h"
#include "sql/engine/Session.h"
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using core::Value;
using sql::BinaryOperator;
using sql::BoundPtr;

BoundPtr column() {
    return std::make_unique<sql::ColumnExpr>(0, 1, core::DataType::Null);
}

BoundPtr number(Value v) {
    return std::make_unique<sql::ConstantExpr>(std::move(v));
}

BoundPtr compare(BinaryOperator op, BoundPtr left, BoundPtr right) {
    return std::make_unique<sql::BinaryExpr>(op, std::move(left), std::move(right),
                                             core::DataType::Boolean);
}

BoundPtr between(Value low, Value high, bool negated) {
    return std::make_unique<sql::BetweenExpr>(column(), number(std::move(low)),
                                              number(std::move(high)), negated);
}

TEST(NumericCriterion, PassesTheRowsTheGeneralComparisonPasses) {
    std::vector<BoundPtr> criteria;
    for (auto op :
         {BinaryOperator::Equal, BinaryOperator::NotEqual, BinaryOperator::Less,
          BinaryOperator::LessEqual, BinaryOperator::Greater, BinaryOperator::GreaterEqual}) {
        for (const Value& n : {Value(std::int32_t(5)), Value(0.5), Value(std::int16_t(-3)),
                               Value(std::uint8_t(0)), Value(2.5f)}) {
            criteria.push_back(compare(op, column(), number(n)));
            criteria.push_back(compare(op, number(n), column())); // 5 < K
        }
    }
    for (bool negated : {false, true}) {
        criteria.push_back(between(Value(0.5), Value(0.501), negated));
        criteria.push_back(between(Value(std::int32_t(-3)), Value(std::int32_t(5)), negated));
        criteria.push_back(between(Value(std::int32_t(5)), Value(std::int32_t(-3)), negated));
        criteria.push_back(between(Value(std::int32_t(0)), Value(0.5), negated));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Value> values = {Value(),
                                       Value(std::uint8_t(0)),
                                       Value(std::int16_t(-3)),
                                       Value(std::int32_t(5)),
                                       Value(std::int32_t(6)),
                                       Value(std::int32_t(INT32_MIN)),
                                       Value(0.5),
                                       Value(0.5000001),
                                       Value(0.501),
                                       Value(2.5f),
                                       Value(-0.0),
                                       Value(nan),
                                       Value(4.999999999),
                                       Value(std::numeric_limits<double>::infinity())};

    sql::MemoryStorage storage;
    sql::Session session(storage);
    const sql::Runtime rt{storage, session.evalContext(), {}};
    for (const auto& criterion : criteria) {
        const auto quick = sql::NumericCriterion::of(*criterion);
        ASSERT_TRUE(quick) << criterion->fingerprint();
        EXPECT_EQ(quick->slot(), 1u);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const Value& v = values[i];
            const std::vector<Value> row = {Value("other"), v};
            const bool expected = sql::passes(criterion->eval(rt, sql::Frame{row, nullptr}));
            const auto got = quick->passes(v);
            ASSERT_TRUE(got) << criterion->fingerprint();
            EXPECT_EQ(*got, expected) << criterion->fingerprint() << " on value " << i;
        }
    }
}

TEST(NumericCriterion, LeavesOtherCriteriaAndValuesToTheGeneralEvaluation) {
    // Not numbers written in the statement, or not a comparison of the scanned row's column.
    EXPECT_FALSE(
        sql::NumericCriterion::of(*compare(BinaryOperator::Equal, column(), number(Value("5")))));
    EXPECT_FALSE(sql::NumericCriterion::of(
        *compare(BinaryOperator::Less, column(), number(Value(core::Currency{5})))));
    EXPECT_FALSE(sql::NumericCriterion::of(
        *compare(BinaryOperator::Add, column(), number(Value(std::int32_t(1))))));
    EXPECT_FALSE(sql::NumericCriterion::of(*compare(
        BinaryOperator::Less, std::make_unique<sql::ColumnExpr>(1, 0, core::DataType::Long),
        number(Value(std::int32_t(1))))));
    EXPECT_FALSE(sql::NumericCriterion::of(*compare(BinaryOperator::Less, column(), column())));
    // A value that is not a plain number (text, a date, currency) is not decided here.
    const auto quick =
        sql::NumericCriterion::of(*compare(BinaryOperator::Less, column(), number(Value(1.5))));
    ASSERT_TRUE(quick);
    EXPECT_FALSE(quick->passes(Value("1")));
    EXPECT_FALSE(quick->passes(Value(core::DateTime{1.0})));
    EXPECT_FALSE(quick->passes(Value(core::Currency{10000})));
}

} // namespace
