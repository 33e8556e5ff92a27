// UNION and UNION ALL: duplicates removed (text without case) or kept, ORDER BY on the
// combined result by name or position.
#include "EngineFixture.h"

namespace engine_test {
namespace {

ENGINE_CORPUS(UnionCorpus)

const Case kUnions[] = {
    {"union_removes_duplicates_sorted",
     "select City from Customers union select Product from Items",
     "NULL\nberlin\nInk\nLondon\nPaper\nParis\nPen\n"},
    {"union_all_keeps_duplicates",
     "select ID from Customers where ID < 3 union all select ID from Customers where ID < 2",
     "1\n2\n1\n"},
    {"order_by_first_block_name",
     "select Name as N from Customers where ID < 3 union select Product from Items "
     "where OrderID = 12 order by N desc",
     "Paper\nbob\nAlice\n"},
    {"order_by_position",
     "select ID, Name from Customers where ID > 3 union all select OrderID, Note from Orders "
     "where OrderID < 11 order by 1 desc",
     "10|first\n5|Eve\n4|dave\n"},
    {"numbers_of_different_types_are_one", "select 1 union select 1.0", "1\n"},
    {"mixed_all_and_distinct", "select 1 union all select 1 union select 2", "1\n2\n"},
    {"top_in_a_block",
     "select top 1 ID from Customers union all select OrderID from Orders where OrderID = 10",
     "1\n10\n"},
    {"column_count_mismatch", "select ID, Name from Customers union select ID from Customers",
     "error: The number of columns in the two selected tables or queries of a union query do "
     "not match."},
    {"order_by_unselected",
     "select Name from Customers union select Product from Items order by City",
     "error: The ORDER BY expression (City) includes fields that are not selected by the "
     "query. Only those fields requested in the first query can be included in an ORDER BY "
     "expression."},
};
INSTANTIATE_TEST_SUITE_P(Unions, UnionCorpus, ::testing::ValuesIn(kUnions));

TEST_F(EngineTest, UnionTakesColumnNamesFromTheFirstQuery) {
    EXPECT_EQ(columnNames("select Name as X from Customers union select Product from Items"),
              (std::vector<std::string>{"X"}));
}

TEST_F(EngineTest, UnionIsNotUpdatable) {
    sql::ResultSet r = session.execute("select Name from Customers union all select Name from "
                                       "Customers");
    EXPECT_FALSE(r.updatable());
    EXPECT_TRUE(r.columns()[0].readOnly);
}

} // namespace
} // namespace engine_test
