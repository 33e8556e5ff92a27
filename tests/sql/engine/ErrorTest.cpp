// What binding refuses, worded as Jet words it: unknown tables, ambiguous names, grouping
// mistakes, aliases that refer to themselves, unknown functions, run-time errors.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(ErrorCorpus)

const Case kErrors[] = {
    {"unknown_table", "select * from Nowhere",
     "error: The Microsoft Jet database engine cannot find the input table or query 'Nowhere'. "
     "Make sure it exists and that its name is spelled correctly."},
    {"unknown_column_is_a_parameter", "select Nope from Customers",
     "error: No value given for one or more required parameters."},
    {"unknown_qualifier_is_a_parameter", "select X.Name from Customers",
     "error: No value given for one or more required parameters."},
    {"unknown_star_qualifier", "select X.* from Customers",
     "error: The Microsoft Jet database engine cannot find the input table or query 'X'. Make "
     "sure it exists and that its name is spelled correctly."},
    {"ambiguous_star_join_column",
     "select OrderID from Orders o inner join Items i on o.OrderID = i.OrderID",
     "error: The specified field 'OrderID' could refer to more than one table listed in the "
     "FROM clause of your SQL statement."},
    {"not_grouped", "select City, Count(*) from Customers",
     "error: You tried to execute a query that does not include the specified expression "
     "'City' as part of an aggregate function."},
    {"not_grouped_other_column", "select Name, Count(*) from Customers group by City",
     "error: You tried to execute a query that does not include the specified expression "
     "'Name' as part of an aggregate function."},
    {"not_grouped_expression", "select City & Name from Customers group by City",
     "error: You tried to execute a query that does not include the specified expression "
     "'City & Name' as part of an aggregate function."},
    {"not_grouped_in_order_by", "select City from Customers group by City order by Name",
     "error: You tried to execute a query that does not include the specified expression "
     "'Name' as part of an aggregate function."},
    {"aggregate_in_where", "select Name from Customers where Count(*) > 1",
     "error: Cannot have aggregate function in WHERE clause (Count(*) > 1)."},
    {"aggregate_in_group_by", "select Count(*) from Customers group by Count(*)",
     "error: Cannot have aggregate function in GROUP BY clause (Count(*))."},
    {"nested_aggregate", "select Sum(Count(*)) from Customers",
     "error: Cannot have aggregate function in expression (Sum(Count(*)))."},
    {"star_with_group_by", "select * from Customers group by City",
     "error: Cannot group on fields selected with '*'."},
    {"alias_of_own_column", "select Sum(Credit) as Credit from Customers",
     "error: Circular reference caused by alias 'Credit' in query definition's SELECT list."},
    {"aliases_in_a_circle", "select B + 1 as A, A + 1 as B from Customers",
     "error: Circular reference caused by alias 'A' in query definition's SELECT list."},
    {"duplicate_alias", "select Name as X, City as X from Customers",
     "error: Duplicate output alias 'X'."},
    {"unknown_function", "select Foo(Name) from Customers",
     "error: Undefined function 'Foo' in expression."},
    {"wrong_argument_count", "select Left(Name) from Customers",
     "error: Wrong number of arguments used with function in query expression 'Left(Name)'."},
    {"order_by_conflicts_with_distinct", "select distinct City from Customers order by Name",
     "error: ORDER BY clause (Name) conflicts with DISTINCT."},
    {"division_by_zero", "select 1 / (ID - 3) from Customers", "error: Division by zero"},
    {"text_against_number", "select Name from Customers where ID = 'abc'",
     "error: Data type mismatch in criteria expression."},
    {"syntax_from_parser", "select from Customers",
     "error: The SELECT statement includes a reserved word or an argument name that is "
     "misspelled or missing, or the punctuation is incorrect."},
    {"commit_without_begin", "commit",
     "error: You tried to commit or rollback a transaction without first beginning a "
     "transaction."},
    {"star_without_from", "select *",
     "error: Query input must contain at least one table or query."},
};
INSTANTIATE_TEST_SUITE_P(Errors, ErrorCorpus, ::testing::ValuesIn(kErrors));

TEST_F(EngineTest, SavedQueryThatNamesItselfIsRefused) {
    storage.addView("Loop", "select * from Loop");
    EXPECT_EQ(errorOf("select * from Loop"), "Circular reference caused by 'Loop'.");
}

TEST_F(EngineTest, ActionQueryIsNoRowSource) {
    storage.addView("Changer", "select * into X from Customers");
    EXPECT_EQ(errorOf("select * from Changer"),
              "The action query 'Changer' cannot be used as a row source.");
}

} // namespace
} // namespace engine_test
