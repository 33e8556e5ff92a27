// Aggregate accumulators: empty and Null-only inputs, result types, exactness.
#include "EvalTestValues.h"

#include "core/Error.h"
#include "sql/eval/Aggregates.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace evaltest;
using sql::AggregateKind;

Value aggregate(AggregateKind kind, std::initializer_list<Value> values) {
    sql::Aggregate a(kind);
    for (const Value& v : values) a.add(v);
    return a.result();
}

constexpr AggregateKind allKinds[] = {
    AggregateKind::Count, AggregateKind::CountRows, AggregateKind::Sum,   AggregateKind::Avg,
    AggregateKind::Min,   AggregateKind::Max,       AggregateKind::First, AggregateKind::Last,
    AggregateKind::StDev, AggregateKind::StDevP,    AggregateKind::Var,   AggregateKind::VarP};

TEST(Aggregates, EmptyInputGivesNullButCountGivesZero) {
    for (AggregateKind kind : allKinds) {
        const Value r = aggregate(kind, {});
        if (kind == AggregateKind::Count || kind == AggregateKind::CountRows)
            EXPECT_EQ(r, lng(0));
        else
            EXPECT_TRUE(r.isNull()) << int(kind);
    }
}

TEST(Aggregates, NullOnlyInputIsLikeEmptyExceptForCountRows) {
    for (AggregateKind kind : allKinds) {
        const Value r = aggregate(kind, {null(), null()});
        if (kind == AggregateKind::CountRows)
            EXPECT_EQ(r, lng(2));
        else if (kind == AggregateKind::Count)
            EXPECT_EQ(r, lng(0));
        else
            EXPECT_TRUE(r.isNull()) << int(kind);
    }
}

TEST(Aggregates, CountSkipsNulls) {
    EXPECT_EQ(aggregate(AggregateKind::Count, {lng(1), null(), text("")}), lng(2));
    EXPECT_EQ(aggregate(AggregateKind::CountRows, {lng(1), null(), text("")}), lng(3));
}

struct SumCase {
    const char* name;
    AggregateKind kind;
    std::vector<Value> values;
    Value expected;
};

void PrintTo(const SumCase& c, std::ostream* os) {
    *os << c.name;
}

class SumAndAvg : public testing::TestWithParam<SumCase> {};

TEST_P(SumAndAvg, HasJetResultType) {
    const SumCase& c = GetParam();
    sql::Aggregate a(c.kind);
    for (const Value& v : c.values) a.add(v);
    const Value r = a.result();
    EXPECT_EQ(r.type(), c.expected.type()) << testing::PrintToString(r);
    EXPECT_EQ(r, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SumAndAvg,
    testing::Values(
        SumCase{"sum of integers is long",
                AggregateKind::Sum,
                {integer(30000), integer(30000)},
                lng(60000)},
        SumCase{"sum of bytes is long", AggregateKind::Sum, {byte(200), byte(100)}, lng(300)},
        SumCase{"sum of longs widens",
                AggregateKind::Sum,
                {lng(2147483647), lng(1)},
                dbl(2147483648.0)},
        SumCase{"sum skips nulls", AggregateKind::Sum, {lng(1), null(), lng(2)}, lng(3)},
        SumCase{"sum of currency is exact",
                AggregateKind::Sum,
                {currency("0.1"), currency("0.2"), currency("0.3")},
                currency("0.6")},
        SumCase{"sum of doubles", AggregateKind::Sum, {dbl(0.5), dbl(0.25)}, dbl(0.75)},
        SumCase{"sum of singles is double",
                AggregateKind::Sum,
                {single(0.5f), single(0.25f)},
                dbl(0.75)},
        SumCase{"sum of decimals",
                AggregateKind::Sum,
                {decimal("0.1", 1), decimal("0.2", 1)},
                decimal("0.3", 1)},
        SumCase{"sum of numeric text", AggregateKind::Sum, {text("1.5"), text("2")}, dbl(3.5)},
        SumCase{"avg of longs is double", AggregateKind::Avg, {lng(1), lng(2)}, dbl(1.5)},
        SumCase{"avg skips nulls", AggregateKind::Avg, {lng(1), null(), lng(4)}, dbl(2.5)},
        SumCase{"avg of currency rounds half even",
                AggregateKind::Avg,
                {currency("0.0001"), currency("0.0002"), currency("0.0002"), currency("0.0002")},
                currency("0.0002")},
        SumCase{"avg of currency exact",
                AggregateKind::Avg,
                {currency("1"), currency("2")},
                currency("1.5")},
        SumCase{"avg of decimal",
                AggregateKind::Avg,
                {decimal("1", 0), decimal("2", 0)},
                decimal("1.5", 1)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Aggregates, MinAndMaxCompareAsCriteria) {
    EXPECT_EQ(aggregate(AggregateKind::Min, {lng(3), dbl(2.5), null(), currency("4")}), dbl(2.5));
    EXPECT_EQ(aggregate(AggregateKind::Max, {lng(3), dbl(2.5), currency("4")}), currency("4"));
    EXPECT_EQ(aggregate(AggregateKind::Min, {text("b"), text("A"), text("c")}), text("A"));
    EXPECT_EQ(aggregate(AggregateKind::Max, {text("b"), text("A"), text("C")}), text("C"));
    // Equal under the collation: the first one seen stays.
    EXPECT_EQ(aggregate(AggregateKind::Min, {text("abc"), text("ABC")}), text("abc"));
    EXPECT_EQ(aggregate(AggregateKind::Max, {date(2001, 1, 1), date(2000, 1, 1)}),
              date(2001, 1, 1));
}

TEST(Aggregates, FirstAndLastTakeRowsAsTheyAre) {
    EXPECT_TRUE(aggregate(AggregateKind::First, {null(), lng(1)}).isNull());
    EXPECT_EQ(aggregate(AggregateKind::First, {lng(1), null()}), lng(1));
    EXPECT_TRUE(aggregate(AggregateKind::Last, {lng(1), null()}).isNull());
    EXPECT_EQ(aggregate(AggregateKind::Last, {null(), text("z")}), text("z"));
}

TEST(Aggregates, VarianceAndStandardDeviation) {
    const std::initializer_list<Value> values = {lng(2), lng(4), lng(4), lng(4),
                                                 lng(5), lng(5), lng(7), lng(9)};
    EXPECT_DOUBLE_EQ(aggregate(AggregateKind::VarP, values).get<double>(), 4.0);
    EXPECT_DOUBLE_EQ(aggregate(AggregateKind::StDevP, values).get<double>(), 2.0);
    EXPECT_DOUBLE_EQ(aggregate(AggregateKind::Var, values).get<double>(), 32.0 / 7);
    EXPECT_DOUBLE_EQ(aggregate(AggregateKind::StDev, values).get<double>(), std::sqrt(32.0 / 7));
    // A sample of one has no spread to estimate; a population of one has none.
    EXPECT_TRUE(aggregate(AggregateKind::StDev, {lng(5)}).isNull());
    EXPECT_TRUE(aggregate(AggregateKind::Var, {lng(5), null()}).isNull());
    EXPECT_EQ(aggregate(AggregateKind::VarP, {lng(5)}), dbl(0.0));
}

TEST(Aggregates, NonNumericValuesCannotBeSummed) {
    sql::Aggregate sum(AggregateKind::Sum);
    EXPECT_THROW(sum.add(text("abc")), core::TypeMismatch);
    sql::Aggregate stdev(AggregateKind::StDev);
    EXPECT_THROW(stdev.add(Value(core::Bytes{1})), core::TypeMismatch);
}

TEST(Aggregates, KindsByName) {
    EXPECT_EQ(sql::aggregateKind("COUNT"), AggregateKind::Count);
    EXPECT_EQ(sql::aggregateKind("StDevP"), AggregateKind::StDevP);
    EXPECT_EQ(sql::aggregateKind("avg"), AggregateKind::Avg);
    EXPECT_EQ(sql::aggregateKind("Left"), std::nullopt);
}

} // namespace
