// SELECT on one table: criteria, expressions, ORDER BY, DISTINCT, TOP and the select list.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(SelectCorpus)

const Case kCriteria[] = {
    {"equal_number", "select * from Customers where ID = 2",
     "2|bob|London|20.0000|2002-03-01T00:00:00.000|False\n"},
    {"text_ignores_case", "select Name from Customers where City = 'paris'", "Alice\nCarol\n"},
    {"not_equal_skips_null", "select Name from Customers where City <> 'Paris'", "bob\nEve\n"},
    {"is_null", "select Name from Customers where City is null", "dave\n"},
    {"is_not_null", "select Name from Customers where City is not null",
     "Alice\nbob\nCarol\nEve\n"},
    {"greater_skips_null", "select Name from Customers where Credit > 10", "Alice\nbob\n"},
    {"not_of_null_is_null", "select Name from Customers where not (Credit > 10)", "dave\nEve\n"},
    {"between", "select Name from Customers where Credit between 0 and 20", "bob\ndave\nEve\n"},
    {"not_between", "select Name from Customers where Credit not between 0 and 20", "Alice\n"},
    {"like_prefix", "select Name from Customers where Name like 'a%'", "Alice\n"},
    {"like_suffix_ignores_case", "select Name from Customers where Name like '%E'",
     "Alice\ndave\nEve\n"},
    {"like_one_character", "select Name from Customers where Name like '_o%'", "bob\n"},
    {"not_like", "select Name from Customers where Name not like '%a%'", "bob\nEve\n"},
    {"like_class", "select Name from Customers where Name like '[a-c]%'", "Alice\nbob\nCarol\n"},
    {"like_exact_length", "select Name from Customers where Name like 'e_e'", "Eve\n"},
    {"in_list", "select Name from Customers where ID in (1, 3, 5)", "Alice\nCarol\nEve\n"},
    {"not_in_list", "select Name from Customers where ID not in (1, 2)", "Carol\ndave\nEve\n"},
    {"in_list_with_null", "select Name from Customers where City in ('PARIS', null)",
     "Alice\nCarol\n"},
    {"yes_no_column_alone", "select Name from Customers where Vip", "Alice\ndave\n"},
    {"yes_no_equals_true", "select Name from Customers where Vip = true", "Alice\ndave\n"},
    {"date_literal", "select Name from Customers where Joined = #2001-01-15#", "Alice\nEve\n"},
    {"date_us_order", "select Name from Customers where Joined > #1/1/2002#", "bob\nCarol\n"},
    {"currency_equals_double", "select Name from Customers where Credit = 100.5", "Alice\n"},
    {"text_less_than", "select Name from Customers where Name < 'c'", "Alice\nbob\n"},
    {"text_between", "select Name from Customers where Name between 'b' and 'd'", "bob\nCarol\n"},
    {"and_or", "select Name from Customers where City = 'Paris' and Credit > 50 or ID = 5",
     "Alice\nEve\n"},
    {"or_with_null_side", "select Name from Customers where Credit > 50 or City is null",
     "Alice\ndave\n"},
    {"constant_false", "select Name from Customers where 1 = 0", ""},
    {"arithmetic_criterion", "select Name from Customers where Credit + 1 > 0",
     "Alice\nbob\ndave\nEve\n"},
    {"alias_in_where", "select Credit * 2 as Twice from Customers where Twice > 30",
     "201.0000\n40.0000\n"},
    {"qualified_by_alias", "select c.Name from Customers as c where c.ID = 3", "Carol\n"},
    {"qualified_by_table", "select Customers.Name from Customers where Customers.ID = 3",
     "Carol\n"},
    {"bracketed_names", "select [Name] from [Customers] where [ID] = 3", "Carol\n"},
    {"memo_column", "select Note from Orders where OrderID = 10", "first\n"},
};
INSTANTIATE_TEST_SUITE_P(Criteria, SelectCorpus, ::testing::ValuesIn(kCriteria));

const Case kExpressions[] = {
    {"concatenate_null_as_empty", "select Name & '-' & City from Customers where ID = 4",
     "dave-\n"},
    {"plus_propagates_null", "select Name + City from Customers where ID = 4", "NULL\n"},
    {"arithmetic", "select ID * 2 + 1 from Customers where ID <= 2", "3\n5\n"},
    {"division_is_double", "select ID / 2 from Customers where ID = 3", "1.5\n"},
    {"integer_division_and_mod", "select ID \\ 2, ID mod 2 from Customers where ID = 5", "2|1\n"},
    {"power_without_from", "select 2 ^ 10", "1024\n"},
    {"no_from_several_values", "select 1 + 1, 'a' & 'b'", "2|ab\n"},
    {"string_functions", "select Len(Name), UCase(Name), Left(Name, 2) from Customers where ID = 2",
     "3|BOB|bo\n"},
    {"iif", "select IIf(Credit > 50, 'high', 'low') from Customers", "high\nlow\nlow\nlow\nlow\n"},
    {"iif_evaluates_one_branch", "select IIf(ID = 0, 1 / 0, ID) from Customers where ID = 1",
     "1\n"},
    {"nz", "select Nz(City, '?') from Customers where ID = 4", "?\n"},
    {"year_of_date", "select Year(Joined) from Customers where ID = 1", "2001\n"},
    {"date_uses_session_clock", "select Date()", "2004-01-14T00:00:00.000\n"},
    {"currency_times_long", "select Credit * 2 from Customers where ID = 4", "10.5000\n"},
    {"currency_stays_exact", "select Credit + 0.1 from Customers where ID = 2", "20.1000\n"},
    {"date_plus_days", "select Joined + 1 from Customers where ID = 1",
     "2001-01-16T00:00:00.000\n"},
    {"date_minus_date", "select #2001-01-20# - Joined from Customers where ID = 1", "5\n"},
    {"negate_currency", "select -Credit from Customers where ID = 4", "-5.2500\n"},
    {"null_arithmetic", "select Credit + 1 from Customers where ID = 3", "NULL\n"},
    {"alias_used_by_later_item", "select ID * 10 as X, X + 1 as Y from Customers where ID = 1",
     "10|11\n"},
    {"yes_no_values", "select Vip from Customers where ID < 3", "True\nFalse\n"},
    {"yes_no_counts_as_minus_one", "select Vip + 0, Vip * 1 from Customers where ID = 1",
     "-1|-1\n"},
    {"comparison_value", "select ID > 3 from Customers where ID in (1, 5)", "False\nTrue\n"},
};
INSTANTIATE_TEST_SUITE_P(Expressions, SelectCorpus, ::testing::ValuesIn(kExpressions));

const Case kOrdering[] = {
    {"text_ignores_case", "select Name from Customers order by Name",
     "Alice\nbob\nCarol\ndave\nEve\n"},
    {"descending", "select Name from Customers order by Name desc",
     "Eve\ndave\nCarol\nbob\nAlice\n"},
    {"null_first_then_next_key", "select Name from Customers order by City, Name",
     "dave\nEve\nbob\nAlice\nCarol\n"},
    {"null_last_descending", "select Name from Customers order by City desc, Name",
     "Alice\nCarol\nbob\nEve\ndave\n"},
    {"currency_with_null", "select Name from Customers order by Credit",
     "Carol\nEve\ndave\nbob\nAlice\n"},
    {"ordinal", "select ID, Name from Customers order by 2 desc",
     "5|Eve\n4|dave\n3|Carol\n2|bob\n1|Alice\n"},
    {"alias", "select Name as N, ID from Customers order by N desc",
     "Eve|5\ndave|4\nCarol|3\nbob|2\nAlice|1\n"},
    {"expression_not_selected", "select Name from Customers order by Len(Name), Name",
     "bob\nEve\ndave\nAlice\nCarol\n"},
    {"yes_first_and_stable", "select Name from Customers order by Vip",
     "Alice\ndave\nbob\nCarol\nEve\n"},
    {"column_not_selected", "select Name from Customers order by Joined desc",
     "Carol\nbob\nAlice\nEve\ndave\n"},
    {"date_then_id", "select ID from Customers order by Joined, ID desc", "4\n5\n1\n2\n3\n"},
};
INSTANTIATE_TEST_SUITE_P(Ordering, SelectCorpus, ::testing::ValuesIn(kOrdering));

const Case kDistinctAndTop[] = {
    {"distinct_sorts_and_keeps_null", "select distinct City from Customers",
     "NULL\nberlin\nLondon\nParis\n"},
    {"distinct_dates", "select distinct Joined from Customers",
     "NULL\n2001-01-15T00:00:00.000\n2002-03-01T00:00:00.000\n2003-07-04T00:00:00.000\n"},
    {"distinct_ignores_case", "select distinct Product from Items", "Ink\nPaper\nPen\n"},
    {"distinct_two_columns", "select distinct OrderID, Product from Items where OrderID < 12",
     "10|Ink\n10|Pen\n11|pen\n"},
    {"distinct_with_order", "select distinct City from Customers order by City desc",
     "Paris\nLondon\nberlin\nNULL\n"},
    {"distinctrow_keeps_rows", "select distinctrow Product from Items",
     "Pen\nInk\npen\nPaper\nInk\n"},
    // Customer 1 has two orders: a table joined only to filter repeats no customer.
    {"distinctrow_over_join",
     "select distinctrow Customers.Name from Customers inner join Orders on Customers.ID = "
     "Orders.CustomerID order by Customers.ID",
     "Alice\nbob\nCarol\n"},
    {"distinctrow_with_fields_of_both_tables",
     "select distinctrow Customers.Name, Orders.OrderID from Customers inner join Orders on "
     "Customers.ID = Orders.CustomerID order by Orders.OrderID",
     "Alice|10\nAlice|11\nbob|12\nCarol|13\n"},
    {"top", "select top 2 Name from Customers order by ID", "Alice\nbob\n"},
    {"top_includes_ties",
     "select top 1 Name from Customers where Joined is not null order by Joined", "Alice\nEve\n"},
    {"top_percent_rounds_up", "select top 50 percent ID from Customers order by ID", "1\n2\n3\n"},
    {"top_without_order", "select top 3 ID from Customers", "1\n2\n3\n"},
    {"top_ties_on_yes_no", "select top 2 Name from Customers order by Vip", "Alice\ndave\n"},
    {"top_ties_past_count", "select top 1 Product from Items order by Product", "Ink\nInk\n"},
    {"top_more_than_rows", "select top 10 ID from Customers where ID > 3", "4\n5\n"},
};
INSTANTIATE_TEST_SUITE_P(DistinctAndTop, SelectCorpus, ::testing::ValuesIn(kDistinctAndTop));

// Keys longer than eight bytes that start alike, sorted without regard to case on one key
// and the other way on the next, with rows equal on both keeping the order they were read in.
TEST_F(EngineTest, LongKeysSharingABeginningSortByTheirWholeKey) {
    run("create table Words (ID long primary key, W text(40), N long)");
    const char* const rows[] = {
        "1, 'abcdefghij2', 1", "2, 'ABCDEFGHIJ1', 1", "3, 'abcdefgh', 2",
        "4, 'abcdefghij1', 2", "5, 'abcdefgh', 1",    "6, 'abcdefghij', 3",
        "7, null, 1",          "8, 'ABCDEFGH', 1",    "9, 'abcdefghij2', 1"};
    for (const char* r : rows) run(std::string("insert into Words values (") + r + ")");
    EXPECT_EQ(run("select ID from Words order by W, N desc"), "7\n3\n5\n8\n6\n4\n2\n1\n9\n");
    EXPECT_EQ(run("select ID from Words order by W desc, N"), "1\n9\n2\n4\n6\n5\n8\n3\n7\n");
    EXPECT_EQ(run("select ID from Words order by N desc, W desc"), "6\n4\n3\n1\n9\n2\n5\n8\n7\n");
}

TEST_F(EngineTest, PlainColumnsKeepTheirStoredNames) {
    EXPECT_EQ(columnNames("select id, NAME from customers"),
              (std::vector<std::string>{"ID", "Name"}));
}

TEST_F(EngineTest, ExpressionsAreNumberedFromExpr1000) {
    EXPECT_EQ(columnNames("select ID + 1, Name, Count(*) + 0 as N, Len(Name) from Customers "
                          "group by ID, Name"),
              (std::vector<std::string>{"Expr1000", "Name", "N", "Expr1001"}));
}

TEST_F(EngineTest, StarListsEveryColumnInOrder) {
    EXPECT_EQ(columnNames("select * from Items"),
              (std::vector<std::string>{"OrderID", "Line", "Product", "Qty"}));
}

TEST_F(EngineTest, AliasNamesTheColumn) {
    EXPECT_EQ(columnNames("select Name as [Customer Name] from Customers"),
              (std::vector<std::string>{"Customer Name"}));
}

} // namespace
} // namespace engine_test
