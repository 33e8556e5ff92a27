// Subqueries: IN, NOT IN, EXISTS, scalar values, correlated ones and queries in FROM.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(SubqueryCorpus)

const Case kSubqueries[] = {
    {"in_subquery", "select Name from Customers where ID in (select CustomerID from Orders)",
     "Alice\nbob\nCarol\n"},
    {"not_in_subquery",
     "select Name from Customers where ID not in (select CustomerID from Orders)", "dave\nEve\n"},
    {"not_in_with_null_is_never_true",
     "select Name from Customers where ID not in (select Credit from Customers)", ""},
    {"in_empty_subquery",
     "select Count(*) from Customers where ID in (select CustomerID from Orders where 1 = 0)",
     "0\n"},
    {"not_in_empty_subquery",
     "select Count(*) from Customers where ID not in (select CustomerID from Orders where 1 = 0)",
     "5\n"},
    {"in_subquery_text_ignores_case",
     "select OrderID from Items where Product in (select 'PEN' from Customers where ID = 1)",
     "10\n11\n"},
    {"exists_correlated",
     "select Name from Customers c where exists (select * from Orders o where o.CustomerID = c.ID)",
     "Alice\nbob\nCarol\n"},
    {"not_exists_correlated",
     "select Name from Customers c where not exists "
     "(select * from Orders o where o.CustomerID = c.ID)",
     "dave\nEve\n"},
    {"exists_uncorrelated",
     "select Count(*) from Customers where exists (select * from Orders where Amount > 1000)",
     "0\n"},
    {"correlated_unqualified_outer_column",
     "select Name from Customers where exists (select * from Orders where CustomerID = ID)",
     "Alice\nbob\nCarol\n"},
    {"scalar_correlated_in_select",
     "select Name, (select Count(*) from Orders o where o.CustomerID = c.ID) from Customers c",
     "Alice|2\nbob|1\nCarol|1\ndave|0\nEve|0\n"},
    {"scalar_max", "select OrderID from Orders where Amount = (select Max(Amount) from Orders)",
     "13\n"},
    {"scalar_avg", "select OrderID from Orders where Amount > (select Avg(Amount) from Orders)",
     "10\n13\n"},
    {"scalar_without_rows_is_null", "select (select Name from Customers where ID = 99)", "NULL\n"},
    {"scalar_with_two_rows", "select (select Name from Customers where ID < 3)",
     "error: At most one record can be returned by this subquery."},
    {"in_with_two_columns",
     "select Name from Customers where ID in (select OrderID, CustomerID from Orders)",
     "error: You have written a subquery that can return more than one field without using "
     "the EXISTS reserved word in the main query's FROM clause. Revise the SELECT statement of "
     "the subquery to request only one field."},
    {"two_levels_reaching_outermost",
     "select Name from Customers c where exists (select * from Orders o where o.CustomerID = "
     "c.ID and exists (select * from Items i where i.OrderID = o.OrderID and i.Qty > c.ID * 2))",
     "Alice\nbob\n"},
    {"scalar_in_grouped_select",
     "select CustomerID, Count(*), (select Name from Customers c where c.ID = o.CustomerID) "
     "from Orders o group by CustomerID",
     "1|2|Alice\n2|1|bob\n3|1|Carol\n9|1|NULL\n"},
    {"derived_table", "select Count(*) from (select distinct City from Customers)", "4\n"},
    {"derived_table_alias", "select t.N from (select Name as N from Customers where ID = 1) as t",
     "Alice\n"},
    {"derived_table_filtered",
     "select N from (select Name as N, Credit from Customers) as t where Credit > 10",
     "Alice\nbob\n"},
    {"in_subquery_in_having",
     "select CustomerID from Orders group by CustomerID "
     "having CustomerID in (select ID from Customers)",
     "1\n2\n3\n"},
};
INSTANTIATE_TEST_SUITE_P(Subqueries, SubqueryCorpus, ::testing::ValuesIn(kSubqueries));

TEST_F(EngineTest, SavedQueriesAreUsedAsTables) {
    storage.addView("InParis", "select ID, Name from Customers where City = 'Paris'");
    storage.addView("BigOrders", "select * from Orders where Amount > [Least]");
    EXPECT_EQ(run("select Name from InParis order by Name desc"), "Carol\nAlice\n");
    EXPECT_EQ(run("select p.Name, o.OrderID from InParis p inner join Orders o on p.ID = "
                  "o.CustomerID order by o.OrderID"),
              "Alice|10\nAlice|11\nCarol|13\n");
    EXPECT_EQ(run("select OrderID from BigOrders", {core::Value(200.0)}), "10\n13\n");
    EXPECT_EQ(session.parameters("select * from BigOrders").size(), 1u);
    sql::ResultSet r = session.execute("select * from InParis");
    EXPECT_FALSE(r.updatable());
}

TEST_F(EngineTest, SavedQuerySeesOnlyItsOwnSources) {
    // Credit is a column of the query around it, but not of the saved query: there it is a
    // parameter.
    storage.addView("Cheap", "select OrderID from Orders where Amount < Credit");
    const char* sql = "select Count(*) from Customers where exists (select * from Cheap)";
    EXPECT_EQ(errorOf(sql), "No value given for one or more required parameters.");
    EXPECT_EQ(run(sql, {core::Value(50.0)}), "5\n");
    EXPECT_EQ(run(sql, {core::Value(1.0)}), "0\n");
}

TEST_F(EngineTest, DerivedTableInsideCorrelatedSubquery) {
    EXPECT_EQ(run("select Name from Customers c where 1 < (select Count(*) from (select "
                  "CustomerID from Orders) as t where t.CustomerID = c.ID)"),
              "Alice\n");
}

} // namespace
} // namespace engine_test
