// BEGIN TRANSACTION, COMMIT and ROLLBACK, nested, and the atomicity of single statements.
#include "EngineFixture.h"

namespace engine_test {
namespace {

TEST_F(EngineTest, RollbackUndoesTheTransaction) {
    run("begin transaction");
    EXPECT_EQ(session.transactionDepth(), 1);
    run("insert into Orders (OrderID) values (40)");
    run("delete from Items");
    run("create table Scratch (A long)");
    run("rollback");
    EXPECT_EQ(session.transactionDepth(), 0);
    EXPECT_EQ(run("select Count(*) from Orders"), "5\n");
    EXPECT_EQ(run("select Count(*) from Items"), "5\n");
    EXPECT_FALSE(storage.tableInfo("Scratch"));
}

TEST_F(EngineTest, CommitKeepsTheTransaction) {
    run("begin transaction");
    run("insert into Orders (OrderID) values (40)");
    run("commit transaction");
    EXPECT_EQ(run("select Count(*) from Orders"), "6\n");
    EXPECT_EQ(errorOf("rollback"),
              "You tried to commit or rollback a transaction without first beginning a "
              "transaction.");
}

TEST_F(EngineTest, InnerRollbackKeepsOuterWork) {
    run("begin transaction");
    run("insert into Orders (OrderID) values (40)");
    run("begin transaction");
    run("insert into Orders (OrderID) values (41)");
    EXPECT_EQ(session.transactionDepth(), 2);
    run("rollback");
    run("commit");
    EXPECT_EQ(run("select OrderID from Orders where OrderID > 20"), "40\n");
}

TEST_F(EngineTest, FailedStatementInsideTransactionLeavesEarlierWork) {
    run("begin transaction");
    run("insert into Orders (OrderID) values (40)");
    EXPECT_NE(errorOf("insert into Orders (OrderID) values (40)"), "(no error)");
    EXPECT_EQ(run("select Count(*) from Orders"), "6\n");
    run("commit");
    EXPECT_EQ(run("select Count(*) from Orders"), "6\n");
}

TEST_F(EngineTest, FailedRowWriteChangesNothing) {
    std::vector<std::optional<core::Value>> row(5);
    row[0] = core::Value(std::int32_t(10));
    EXPECT_THROW(session.insertRow("Orders", row), core::ConstraintError);
    EXPECT_EQ(run("select Count(*) from Orders"), "5\n");
}

} // namespace
} // namespace engine_test
