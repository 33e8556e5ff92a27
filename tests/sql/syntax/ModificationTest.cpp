// INSERT INTO, UPDATE, DELETE and the transaction statements.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

class Modifications : public ::testing::TestWithParam<Case> {};

TEST_P(Modifications, Parse) {
    test::expectPrinted(test::withCrLf(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modification, Modifications,
    ::testing::Values(
        Case{"insert into t values (1, 'x', null)", "insert into t values (1, 'x', null)"},
        Case{"insert into t (a, b) values (1, \"two\")", "insert into t (a, b) values (1, 'two')"},
        Case{"INSERT INTO [Order Details] ([Unit Price], Qty) VALUES (1.5, -2)",
             "insert into [Order Details] ([Unit Price], Qty) values (1.5, -2)"},
        Case{"insert into t (d) values (#1/2/2000 10:00#)",
             "insert into t (d) values (#2000-01-02 10:00:00#)"},
        Case{"insert into t (a) values (?)", "insert into t (a) values (?)"},
        Case{"insert into t (a) values (1 + 2 * 3)", "insert into t (a) values ((1 + (2 * 3)))"},
        Case{"insert into t (a, b) select x, y from u where z > 0",
             "insert into t (a, b) select x, y from u where (z > 0)"},
        Case{"insert into t select * from u", "insert into t select * from u"},
        Case{"insert into t (a)\nvalues (true);\n", "insert into t (a) values (true)"},
        Case{"update t set a = 1", "update t set a = 1"},
        Case{"update t set a = a + 1, b = 'x' where c is null",
             "update t set a = (a + 1), b = 'x' where (c is null)"},
        Case{"update [My Table] set [A Col] = null where id = 3",
             "update [My Table] set [A Col] = null where (id = 3)"},
        Case{"update t set t.a = 2", "update t set t.a = 2"},
        Case{"update t inner join u on t.id = u.id set t.a = u.b where u.c > 0",
             "update (t inner join u on (t.id = u.id)) set t.a = u.b where (u.c > 0)"},
        Case{"update t set a = ? where b = ?", "update t set a = ? where (b = ?)"},
        Case{"delete from t", "delete from t"}, Case{"delete * from t", "delete * from t"},
        Case{"delete t.* from t where a = 1", "delete t.* from t where (a = 1)"},
        Case{"DELETE FROM [Order Details] WHERE Qty < 1",
             "delete from [Order Details] where (Qty < 1)"},
        Case{"delete t.* from t inner join u on t.id = u.id where u.gone = true",
             "delete t.* from (t inner join u on (t.id = u.id)) where (u.gone = true)"},
        Case{"delete from t where a in (select a from u)",
             "delete from t where (a in (select a from u))"},
        Case{"begin transaction", "begin transaction"},
        Case{"BEGIN TRANSACTION;", "begin transaction"}, Case{"commit", "commit transaction"},
        Case{"commit transaction", "commit transaction"}, Case{"commit work", "commit transaction"},
        Case{"rollback", "rollback transaction"}, Case{"rollback work\n", "rollback transaction"},
        Case{"rollback transaction", "rollback transaction"}));

TEST(Modification, InsertFields) {
    const Statement s = parseStatement("insert into t (a, b) values (1, 'x')");
    const auto* insert = s.as<Insert>();
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->table, "t");
    EXPECT_EQ(insert->columns, (std::vector<std::string>{"a", "b"}));
    const auto* values = std::get_if<InsertValues>(&insert->source);
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->values.size(), 2u);
    EXPECT_EQ(values->values[1]->as<Literal>()->value, core::Value("x"));
}

TEST(Modification, InsertFromQuery) {
    const Statement s = parseStatement("insert into t select a from u");
    const auto* insert = s.as<Insert>();
    ASSERT_NE(insert, nullptr);
    EXPECT_TRUE(insert->columns.empty());
    EXPECT_NE(std::get_if<SelectQuery>(&insert->source), nullptr);
}

TEST(Modification, UpdateFields) {
    const Statement s = parseStatement("update t set a = 1, u.b = 2 where c = 3");
    const auto* update = s.as<Update>();
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->target->as<NamedTable>()->name, "t");
    ASSERT_EQ(update->assignments.size(), 2u);
    EXPECT_EQ(update->assignments[0].column.column, "a");
    EXPECT_EQ(update->assignments[0].column.table, "");
    EXPECT_EQ(update->assignments[1].column.table, "u");
    EXPECT_EQ(update->assignments[1].offset, 20u);
    EXPECT_NE(update->where, nullptr);
}

TEST(Modification, DeleteTargets) {
    const Statement s = parseStatement("delete t.*, u.x from t, u");
    const auto* del = s.as<Delete>();
    ASSERT_NE(del, nullptr);
    ASSERT_EQ(del->targets.size(), 2u);
    EXPECT_EQ(del->targets[0].kind, SelectItem::Kind::AllColumns);
    EXPECT_EQ(del->targets[0].table, "t");
    EXPECT_EQ(toText(*del->targets[1].expr), "u.x");
    EXPECT_EQ(del->from.size(), 2u);
    EXPECT_EQ(del->where, nullptr);
}

TEST(Modification, TransactionKinds) {
    EXPECT_EQ(parseStatement("begin transaction").as<Transaction>()->op, TransactionOp::Begin);
    EXPECT_EQ(parseStatement("commit").as<Transaction>()->op, TransactionOp::Commit);
    EXPECT_EQ(parseStatement("rollback work").as<Transaction>()->op, TransactionOp::Rollback);
}

} // namespace
} // namespace sql
