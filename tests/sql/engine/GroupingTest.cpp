// GROUP BY, aggregates and HAVING: groups by value (text without case), in sorted order.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(GroupingCorpus)

const Case kGrouping[] = {
    {"count_per_group_sorted", "select City, Count(*) from Customers group by City",
     "NULL|1\nberlin|1\nLondon|1\nParis|2\n"},
    {"count_rows", "select Count(*) from Customers", "5\n"},
    {"count_skips_null", "select Count(City) from Customers", "4\n"},
    {"count_of_nothing_is_zero", "select Count(*) from Customers where 1 = 0", "0\n"},
    {"sum_of_nothing_is_null", "select Sum(Credit) from Customers where 1 = 0", "NULL\n"},
    {"currency_aggregates_exact",
     "select Sum(Credit), Avg(Credit), Min(Credit), Max(Credit) from Customers",
     "125.7500|31.4375|0.0000|100.5000\n"},
    {"yes_sorts_before_no", "select Vip, Count(*) from Customers group by Vip",
     "True|2\nFalse|3\n"},
    {"text_groups_ignore_case", "select Product, Sum(Qty) from Items group by Product",
     "Ink|6\nPaper|10\nPen|5\n"},
    {"having_on_aggregate",
     "select CustomerID, Count(*) from Orders group by CustomerID having Count(*) > 1", "1|2\n"},
    {"having_on_group_column",
     "select CustomerID from Orders group by CustomerID having CustomerID > 2", "3\n9\n"},
    {"order_by_aggregate",
     "select CustomerID, Sum(Amount) from Orders group by CustomerID order by Sum(Amount) desc",
     "1|349.5\n3|300\n2|10\n9|5\n"},
    {"order_by_aggregate_alias",
     "select CustomerID, Sum(Amount) as Total from Orders group by CustomerID order by Total",
     "9|5\n2|10\n3|300\n1|349.5\n"},
    {"group_by_expression", "select Year(Joined), Count(*) from Customers group by Year(Joined)",
     "NULL|1\n2001|2\n2002|1\n2003|1\n"},
    {"expression_over_group_column",
     "select City & '!', Count(*) from Customers where City is not null group by City",
     "berlin!|1\nLondon!|1\nParis!|2\n"},
    {"first_and_last", "select First(Name), Last(Name) from Customers", "Alice|Eve\n"},
    {"sum_of_iif", "select Sum(IIf(Vip, 1, 0)) from Customers", "2\n"},
    {"two_aggregates_per_group", "select OrderID, Count(*), Sum(Qty) from Items group by OrderID",
     "10|2|4\n11|1|2\n12|1|10\n13|1|5\n"},
    {"avg_of_integers_is_double", "select Avg(Qty) from Items", "4.2\n"},
    {"max_of_text_by_sort_order", "select Max(Name), Min(Name) from Customers", "Eve|Alice\n"},
    {"min_of_dates", "select Min(Joined) from Customers", "2001-01-15T00:00:00.000\n"},
    {"having_without_group_by", "select Count(*) from Customers having Count(*) > 3", "5\n"},
    {"having_that_fails", "select Count(*) from Customers having Count(*) > 10", ""},
    {"no_rows_no_groups", "select City, Count(*) from Customers where 1 = 0 group by City", ""},
    {"order_by_count_then_group",
     "select City as Town, Count(*) as N from Customers group by City order by N desc, Town",
     "Paris|2\nNULL|1\nberlin|1\nLondon|1\n"},
    {"same_aggregate_twice", "select Sum(Qty), Sum(Qty) * 2 from Items", "21|42\n"},
    {"group_by_two_columns",
     "select City, Vip, Count(*) from Customers where City is not null group by City, Vip",
     "berlin|False|1\nLondon|False|1\nParis|True|1\nParis|False|1\n"},
    {"aggregate_of_expression", "select Sum(Qty * 2) from Items where OrderID = 10", "8\n"},
    {"count_expression", "select Count(Credit * 0) from Customers", "4\n"},
};
INSTANTIATE_TEST_SUITE_P(Grouping, GroupingCorpus, ::testing::ValuesIn(kGrouping));

TEST_F(EngineTest, SampleVarianceNeedsTwoValues) {
    sql::ResultSet r = session.execute("select Var(Qty), VarP(Qty), StDev(Qty) from Items");
    ASSERT_TRUE(r.next());
    EXPECT_NEAR(r.value(0).get<double>(), 12.7, 1e-12);
    EXPECT_NEAR(r.value(1).get<double>(), 10.16, 1e-12);
    EXPECT_NEAR(r.value(2).get<double>(), 3.5637059362410923, 1e-12);
    EXPECT_EQ(run("select Var(Qty) from Items where OrderID = 12"), "NULL\n");
}

} // namespace
} // namespace engine_test
