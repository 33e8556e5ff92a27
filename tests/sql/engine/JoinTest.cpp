// Joins: inner (written as JOIN or as a comma list with WHERE), left and right outer,
// several tables, self joins, and joins whose condition is not an equality.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(JoinCorpus)

const Case kJoins[] = {
    {"inner_join",
     "select c.Name, o.OrderID from Customers c inner join Orders o on c.ID = o.CustomerID "
     "order by o.OrderID",
     "Alice|10\nAlice|11\nbob|12\nCarol|13\n"},
    {"query_builder_comma_join",
     "select [Customers].[Name],[Orders].[Amount] from [Customers],[Orders] where "
     "[Customers].[ID]=[Orders].[CustomerID] order by [Orders].[Amount]",
     "bob|10\nAlice|99.5\nAlice|250\nCarol|300\n"},
    {"left_join_keeps_unmatched",
     "select c.Name, o.OrderID from Customers c left join Orders o on c.ID = o.CustomerID "
     "order by c.ID, o.OrderID",
     "Alice|10\nAlice|11\nbob|12\nCarol|13\ndave|NULL\nEve|NULL\n"},
    {"right_join_keeps_unmatched",
     "select c.Name, o.OrderID from Customers c right join Orders o on c.ID = o.CustomerID "
     "order by o.OrderID",
     "Alice|10\nAlice|11\nbob|12\nCarol|13\nNULL|14\n"},
    {"left_join_anti_join",
     "select c.Name from Customers c left join Orders o on c.ID = o.CustomerID "
     "where o.OrderID is null order by c.Name",
     "dave\nEve\n"},
    {"left_join_condition_on_right_side",
     "select c.Name, o.OrderID from Customers c left join Orders o "
     "on c.ID = o.CustomerID and o.Amount > 100 order by c.ID",
     "Alice|10\nbob|NULL\nCarol|13\ndave|NULL\nEve|NULL\n"},
    {"left_join_condition_on_left_side",
     "select c.Name, o.OrderID from Customers c left join Orders o "
     "on c.ID = o.CustomerID and c.Vip = true order by c.ID, o.OrderID",
     "Alice|10\nAlice|11\nbob|NULL\nCarol|NULL\ndave|NULL\nEve|NULL\n"},
    {"where_on_left_join_right_side",
     "select c.Name, o.Amount from Customers c left join Orders o on c.ID = o.CustomerID "
     "where o.Amount < 100 order by o.Amount",
     "bob|10\nAlice|99.5\n"},
    {"three_tables_nested",
     "select c.Name, i.Product from (Customers c inner join Orders o on c.ID = o.CustomerID) "
     "inner join Items i on o.OrderID = i.OrderID order by c.Name, i.Product",
     "Alice|Ink\nAlice|Pen\nAlice|pen\nbob|Paper\nCarol|Ink\n"},
    {"three_tables_comma",
     "select c.Name, i.Qty from Customers c, Orders o, Items i where c.ID = o.CustomerID "
     "and o.OrderID = i.OrderID and i.Qty > 2 order by i.Qty",
     "Alice|3\nCarol|5\nbob|10\n"},
    {"cross_join", "select Count(*) from Customers, Orders", "25\n"},
    {"self_join",
     "select a.Name, b.Name from Customers a, Customers b where a.City = b.City and a.ID < b.ID",
     "Alice|Carol\n"},
    {"text_key_ignores_case",
     "select a.Line, b.OrderID from Items a inner join Items b on a.Product = b.Product "
     "where a.OrderID = 10 and a.Line = 1 order by b.OrderID",
     "1|10\n1|11\n"},
    {"non_equality_condition",
     "select c.Name, o.OrderID from Customers c inner join Orders o on o.Amount > c.Credit * 10 "
     "where c.ID = 2 order by o.OrderID",
     "bob|10\nbob|13\n"},
    {"text_against_number_key",
     "select c.Name, i.OrderID from Customers c inner join Items i on CStr(c.ID) = i.Line "
     "where i.OrderID = 10 order by i.Line",
     "Alice|10\nbob|10\n"},
    {"join_then_group",
     "select c.Name, Sum(o.Amount) from Customers c inner join Orders o on c.ID = o.CustomerID "
     "group by c.Name",
     "Alice|349.5\nbob|10\nCarol|300\n"},
    {"left_join_count",
     "select c.Name, Count(o.OrderID) from Customers c left join Orders o "
     "on c.ID = o.CustomerID group by c.Name",
     "Alice|2\nbob|1\nCarol|1\ndave|0\nEve|0\n"},
    {"null_keys_never_match",
     "select Count(*) from Customers a inner join Customers b on a.City = b.City", "6\n"},
    {"join_with_derived_table",
     "select c.Name, t.Total from Customers c inner join (select CustomerID, Sum(Amount) as "
     "Total from Orders group by CustomerID) as t on c.ID = t.CustomerID order by t.Total",
     "bob|10\nCarol|300\nAlice|349.5\n"},
    {"ambiguous_column", "select OrderID from Orders, Items",
     "error: The specified field 'OrderID' could refer to more than one table listed in the "
     "FROM clause of your SQL statement."},
};
INSTANTIATE_TEST_SUITE_P(Joins, JoinCorpus, ::testing::ValuesIn(kJoins));

TEST_F(EngineTest, JoinedColumnsOfTheSameNameAreQualified) {
    EXPECT_EQ(columnNames("select * from Orders o inner join Items i on o.OrderID = i.OrderID"),
              (std::vector<std::string>{"o.OrderID", "CustomerID", "Amount", "Placed", "Note",
                                        "i.OrderID", "Line", "Product", "Qty"}));
    EXPECT_EQ(columnNames("select Orders.OrderID, Items.OrderID from Orders, Items"),
              (std::vector<std::string>{"Orders.OrderID", "Items.OrderID"}));
}

} // namespace
} // namespace engine_test
