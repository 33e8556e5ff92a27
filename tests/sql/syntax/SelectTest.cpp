// SELECT statements: the shapes the browser and the Query Builder write, and the rest of
// Jet's query syntax.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

class Selects : public ::testing::TestWithParam<Case> {};

TEST_P(Selects, Parse) {
    test::expectPrinted(test::withCrLf(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Select, Selects,
    ::testing::Values(
        // The table browser's two statement shapes.
        Case{"select * from [Customers]", "select * from Customers"},
        Case{"select * from [Order Details]", "select * from [Order Details]"},
        Case{"select * from [Select Table]", "select * from [Select Table]"},
        Case{"select * from [Customers] order by Name", "select * from Customers order by Name"},
        Case{"select * from [Customers] order by Joined desc",
             "select * from Customers order by Joined desc"},
        // The Query Builder's statement, with the line ends its boxes leave in it.
        Case{"select [A].[x],[B].[y] from [A],[B] where [A].[x]=[B].[y]",
             "select A.x, B.y from A, B where (A.x = B.y)"},
        Case{"select [Orders].[OrderID]\n,[Orders].[Amount]\n,[Customers].[Name]\n from "
             "[Orders]\n,[Customers]\n where [Orders].[CustID]=[Customers].[ID]",
             "select Orders.OrderID, Orders.Amount, Customers.Name from Orders, Customers where "
             "(Orders.CustID = Customers.ID)"},
        Case{"select [Orders].[OrderID]\n from [Orders]\n", "select Orders.OrderID from Orders"},
        Case{"select [Select Table].[x]\n from [Select Table]\n",
             "select [Select Table].x from [Select Table]"},
        Case{"SELECT a, b FROM t", "select a, b from t"},
        Case{"select t.*, u.* from t, u", "select t.*, u.* from t, u"},
        Case{"select [my table].* from [my table]", "select [my table].* from [my table]"},
        Case{"select a as x, b y, c as [the c] from t",
             "select a as x, b as y, c as [the c] from t"},
        Case{"select a + b as total from t", "select (a + b) as total from t"},
        Case{"select distinct a from t", "select distinct a from t"},
        Case{"select distinctrow a from t", "select distinctrow a from t"},
        Case{"select all a from t", "select a from t"},
        Case{"select top 5 * from t order by a", "select top 5 * from t order by a"},
        Case{"select top 10 percent a from t", "select top 10 percent a from t"},
        Case{"select distinct top 3 a from t", "select distinct top 3 a from t"},
        Case{"select 1+1", "select (1 + 1)"}, Case{"select Now()", "select Now()"},
        Case{"select * from t where a = 1 and b <> 'x'",
             "select * from t where ((a = 1) and (b <> 'x'))"},
        Case{"select a, count(*) from t group by a having count(*) > 1",
             "select a, count(*) from t group by a having (count(*) > 1)"},
        Case{"select a, b, sum(c) from t group by a, b order by a desc, b",
             "select a, b, sum(c) from t group by a, b order by a desc, b"},
        Case{"select * from t order by a asc, 2", "select * from t order by a, 2"},
        Case{"select * from t order by a + b desc", "select * from t order by (a + b) desc"},
        Case{"select a into [New Table] from t", "select a into [New Table] from t"},
        Case{"select * into Backup from t where a > 0",
             "select * into Backup from t where (a > 0)"},
        Case{"select a from t union select b from u", "select a from t union select b from u"},
        Case{"select a from t union all select b from u order by 1",
             "select a from t union all select b from u order by 1"},
        Case{"select a from t as x", "select a from t as x"},
        Case{"select x.a from t x, u as y", "select x.a from t as x, u as y"},
        Case{"select * from t inner join u on t.id = u.tid",
             "select * from (t inner join u on (t.id = u.tid))"},
        Case{"select * from t left join u on t.id = u.tid",
             "select * from (t left join u on (t.id = u.tid))"},
        Case{"select * from t left outer join u on t.id = u.tid",
             "select * from (t left join u on (t.id = u.tid))"},
        Case{"select * from t right outer join u on t.id = u.tid and t.k = u.k",
             "select * from (t right join u on ((t.id = u.tid) and (t.k = u.k)))"},
        Case{"select * from (A inner join B on A.id = B.aid) inner join C on B.id = C.bid",
             "select * from ((A inner join B on (A.id = B.aid)) inner join C on (B.id = C.bid))"},
        Case{"SELECT * FROM ((A INNER JOIN B ON A.id = B.aid) INNER JOIN C ON B.id = C.bid) "
             "LEFT JOIN D ON C.id = D.cid",
             "select * from (((A inner join B on (A.id = B.aid)) inner join C on (B.id = C.bid)) "
             "left join D on (C.id = D.cid))"},
        Case{"select * from A left join (B inner join C on B.id = C.bid) on A.id = B.aid",
             "select * from (A left join (B inner join C on (B.id = C.bid)) on (A.id = B.aid))"},
        Case{"select * from [A] as x inner join [B] as y on x.[k] = y.[k]",
             "select * from (A as x inner join B as y on (x.k = y.k))"},
        Case{"select * from (select a from t) as s", "select * from (select a from t) as s"},
        Case{"select * from (select a from t) s, u", "select * from (select a from t) as s, u"},
        Case{"select * from t where a in (select b from u)",
             "select * from t where (a in (select b from u))"},
        Case{"select * from t where exists (select * from u where u.x = t.x)",
             "select * from t where exists (select * from u where (u.x = t.x))"},
        Case{"select (select max(b) from u) as m from t",
             "select (select max(b) from u) as m from t"},
        Case{"select * from t where a = ? and b = ?",
             "select * from t where ((a = ?) and (b = ?))"},
        Case{"select * from t;", "select * from t"},
        Case{"select * from t ; \n", "select * from t"},
        Case{"select * from t where d >= #1/1/2000# and d < #2000-02-01#",
             "select * from t where ((d >= #2000-01-01#) and (d < #2000-02-01#))"},
        Case{"select left(name, 1) from t", "select left(name, 1) from t"},
        Case{"select * from t where name like 'A*'", "select * from t where (name like 'A*')"},
        Case{"select top 1 a from t order by a desc", "select top 1 a from t order by a desc"},
        Case{"select Customers.Name, Orders.Amount from Customers inner join Orders on "
             "Customers.ID = Orders.CustID where Orders.Amount > 100 order by Orders.Amount desc",
             "select Customers.Name, Orders.Amount from (Customers inner join Orders on "
             "(Customers.ID = Orders.CustID)) where (Orders.Amount > 100) order by Orders.Amount "
             "desc"}));

TEST(Select, QueryBuilderWithEmptyWhereBoxFails) {
    // The Query Builder adds " where " for a WHERE box holding only a line break.
    EXPECT_NE(test::errorOf(test::withCrLf("select [T].[x]\n from [T]\n where \n")), "parsed");
}

const SelectQuery& queryOf(const Statement& s) {
    const auto* q = s.as<SelectQuery>();
    EXPECT_NE(q, nullptr);
    return *q;
}

TEST(Select, BlockFields) {
    const Statement s = parseStatement(
        "select distinct top 25 percent a, b as bee, t.* into Copy from t where a > 1 group by "
        "a, b having sum(c) > 0 order by a desc, b");
    const SelectQuery& q = queryOf(s);
    EXPECT_EQ(q.first.quantifier, SetQuantifier::Distinct);
    ASSERT_TRUE(q.first.top.has_value());
    EXPECT_EQ(q.first.top->count, 25u);
    EXPECT_TRUE(q.first.top->percent);
    ASSERT_EQ(q.first.items.size(), 3u);
    EXPECT_EQ(q.first.items[0].kind, SelectItem::Kind::Expression);
    EXPECT_EQ(q.first.items[0].alias, "");
    EXPECT_EQ(q.first.items[1].alias, "bee");
    EXPECT_EQ(q.first.items[2].kind, SelectItem::Kind::AllColumns);
    EXPECT_EQ(q.first.items[2].table, "t");
    EXPECT_EQ(q.into, "Copy");
    ASSERT_EQ(q.first.from.size(), 1u);
    EXPECT_EQ(q.first.from[0]->as<NamedTable>()->name, "t");
    EXPECT_NE(q.first.where, nullptr);
    EXPECT_EQ(q.first.groupBy.size(), 2u);
    EXPECT_NE(q.first.having, nullptr);
    ASSERT_EQ(q.orderBy.size(), 2u);
    EXPECT_TRUE(q.orderBy[0].descending);
    EXPECT_FALSE(q.orderBy[1].descending);
    EXPECT_TRUE(q.unions.empty());
}

TEST(Select, NoFromClause) {
    const Statement s = parseStatement("select 1 + 1 as two");
    EXPECT_TRUE(queryOf(s).first.from.empty());
    EXPECT_EQ(queryOf(s).first.items[0].alias, "two");
}

TEST(Select, UnionPartsAndOrder) {
    const Statement s = parseStatement(
        "select a from t union all select b from u union select c from v order by 1");
    const SelectQuery& q = queryOf(s);
    ASSERT_EQ(q.unions.size(), 2u);
    EXPECT_TRUE(q.unions[0].all);
    EXPECT_FALSE(q.unions[1].all);
    EXPECT_EQ(q.unions[1].block.from[0]->as<NamedTable>()->name, "v");
    // ORDER BY after the last block sorts the whole union.
    EXPECT_EQ(q.orderBy.size(), 1u);
    EXPECT_TRUE(q.unions[1].block.where == nullptr);
}

TEST(Select, NestedJoinTree) {
    const Statement s =
        parseStatement("select * from (A inner join B on A.k = B.k) left join C on B.j = C.j, D");
    const SelectQuery& q = queryOf(s);
    ASSERT_EQ(q.first.from.size(), 2u);
    const Join* outer = q.first.from[0]->as<Join>();
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->kind, JoinKind::Left);
    EXPECT_EQ(outer->right->as<NamedTable>()->name, "C");
    const Join* inner = outer->left->as<Join>();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->kind, JoinKind::Inner);
    EXPECT_EQ(inner->left->as<NamedTable>()->name, "A");
    EXPECT_EQ(inner->right->as<NamedTable>()->name, "B");
    EXPECT_EQ(q.first.from[1]->as<NamedTable>()->name, "D");
}

TEST(Select, DerivedTableKeepsItsQuery) {
    const Statement s = parseStatement("select s.a from (select a from t where b = 2) as s");
    const DerivedTable* derived = queryOf(s).first.from[0]->as<DerivedTable>();
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->alias, "s");
    EXPECT_EQ(toText(*derived->query), "select a from t where (b = 2)");
}

TEST(Select, PositionalParametersAreCounted) {
    EXPECT_EQ(parseStatement("select * from t where a = ? or b in (?, ?)").positionalParameters, 3);
    EXPECT_EQ(parseStatement("select * from t").positionalParameters, 0);
}

TEST(Select, ItemAndTableOffsets) {
    const std::string text = "select a, [b c] from t, u";
    const Statement s = parseStatement(text);
    const SelectQuery& q = queryOf(s);
    EXPECT_EQ(q.first.items[1].offset, 10u);
    EXPECT_EQ(q.first.from[1]->offset, text.size() - 1);
}

TEST(Select, ParametersDeclaration) {
    const Statement s = parseStatement(
        "PARAMETERS [Start Date] DateTime, [Min Qty] Short; select * from t where d > [Start "
        "Date] and q >= [Min Qty]");
    ASSERT_EQ(s.parameters.size(), 2u);
    EXPECT_EQ(s.parameters[0].name, "Start Date");
    EXPECT_EQ(s.parameters[0].type->type, FieldType::DateTime);
    EXPECT_EQ(s.parameters[1].type->type, FieldType::Integer);
    EXPECT_EQ(toText(s), "parameters [Start Date] datetime, [Min Qty] short; select * from t "
                         "where ((d > [Start Date]) and (q >= [Min Qty]))");
}

// Access declares a parameter whose type was left open as `Value`; `value` is still a name
// elsewhere.
TEST(Select, ParameterOfAnyType) {
    const Statement s =
        parseStatement("parameters [Which] Value, N long; select value from t where k = [Which]");
    ASSERT_EQ(s.parameters.size(), 2u);
    EXPECT_FALSE(s.parameters[0].type.has_value());
    ASSERT_TRUE(s.parameters[1].type.has_value());
    EXPECT_EQ(toText(s), "parameters Which value, N long; select value from t where (k = Which)");
    EXPECT_EQ(toText(parseStatement(toText(s))), toText(s));
}

} // namespace
} // namespace sql
