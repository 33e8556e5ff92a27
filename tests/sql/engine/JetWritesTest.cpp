// Statements that change a Jet file: tables, indexes, rows and transactions through the
// engine, leaving a file that reopens with the changes and passes the integrity check.
#include "JetFileTest.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

namespace {

class JetWrites : public engine_test::JetFileTest {
protected:
    std::string run(const std::string& sql) {
        auto result = session->execute(sql);
        return sql::resultText(result);
    }
    std::int64_t changed(const std::string& sql) { return session->execute(sql).rowsAffected(); }
};

TEST_F(JetWrites, TableCreatorSchemaThenRowsSurviveReopening) {
    changed(
        "create table Customers (\r\nCustomerID counter primary key,\r\nName text(50) not null,\r\n"
        "Notes memo default  \"none\" ,\r\nPrice currency default 0,\r\nJoined datetime,\r\n"
        "Active yesno default true\r\n)");
    EXPECT_EQ(changed("insert into Customers (Name, Joined) values ('Ann', #2001-02-03#)"), 1);
    EXPECT_EQ(changed("insert into Customers (Name, Price, Active) values ('Bob', 12.5, false)"),
              1);
    reopen();
    // Defaults filled in: the memo's text, the currency's 0 and the yes/no's true.
    EXPECT_EQ(
        run("select CustomerID, Name, Notes, Price, Active from Customers order by CustomerID"),
        "1|Ann|none|0.0000|True\n2|Bob|none|12.5000|False\n");
    EXPECT_THROW(changed("insert into Customers (Price) values (1)"),
                 core::Error); // Name is required
    expectSound();
}

TEST_F(JetWrites, UpdatesDeletesAndIndexesStayExact) {
    changed("create table T (K long primary key, S text(20), N double)");
    changed("create unique index ByS on T (S)");
    for (int i = 0; i < 300; ++i)
        changed("insert into T values (" + std::to_string(i) + ", 's" + std::to_string(i) + "', " +
                std::to_string(i * 0.5) + ")");
    EXPECT_EQ(changed("update T set N = N * 2, S = S & 'x' where K mod 3 = 0"), 100);
    EXPECT_EQ(changed("delete from T where K >= 250"), 50);
    EXPECT_THROW(changed("insert into T values (1, 'new', 0)"), core::ConstraintError);
    EXPECT_THROW(changed("insert into T values (999, 's1', 0)"), core::ConstraintError);
    EXPECT_EQ(
        run("select Count(*), Sum(N) from T"),
        run("select 250, " + std::to_string(0.5 * (249 * 250 / 2) + 0.5 * 3 * (83 * 84 / 2))));
    EXPECT_EQ(run("select K from T where S = 's3x'"), "3\n");
    expectSound();
    reopen();
    EXPECT_EQ(run("select Count(*) from T"), "250\n");
    expectSound();
}

TEST_F(JetWrites, TransactionsAndFailedStatementsLeaveNoTrace) {
    changed("create table T (K long primary key, S text(10))");
    changed("insert into T values (1, 'a')");
    changed("begin transaction");
    changed("insert into T values (2, 'b')");
    // The second row clashes: the whole statement goes, the transaction goes on.
    EXPECT_THROW(changed("insert into T select K + 10, S from T union all select 1, 'x' from T"),
                 core::Error);
    changed("insert into T values (3, 'c')");
    changed("rollback");
    EXPECT_EQ(run("select Count(*) from T"), "1\n");
    changed("begin transaction");
    changed("insert into T values (4, 'd')");
    changed("commit");
    reopen();
    EXPECT_EQ(run("select K from T order by K"), "1\n4\n");
    expectSound();
}

TEST_F(JetWrites, SchemaChangesOnATableWithRows) {
    changed("create table T (K long, S text(10))");
    for (int i = 0; i < 50; ++i)
        changed("insert into T values (" + std::to_string(i) + ", 'v" + std::to_string(i) + "')");
    changed("alter table T add column Extra currency");
    EXPECT_EQ(run("select Count(*) from T where Extra is null"), "50\n");
    changed("update T set Extra = K / 4");
    changed("alter table T drop column S");
    changed("alter table T alter column K text(5)");
    changed("create index ByExtra on T (Extra desc)");
    changed("drop index ByExtra on T");
    reopen();
    EXPECT_EQ(run("select K, Extra from T where K = '7'"), "7|1.7500\n");
    changed("drop table T");
    EXPECT_THROW(run("select * from T"), core::SqlError);
    expectSound();
}

// Altering a column writes its table afresh, maybe on another definition page; the tables it
// is related to (and itself, for a relationship to itself) must name the new page.
TEST_F(JetWrites, AlterColumnKeepsRelationshipsPointingAtTheTable) {
    changed("create table Freed (X long)");
    changed("create table P (ID long primary key, Up long, N text(10), constraint up foreign "
            "key (Up) references P (ID))");
    changed("create table C (CID long primary key, PID long, constraint fk foreign key (PID) "
            "references P (ID))");
    changed("insert into P values (1, null, 'a')");
    changed("insert into C values (10, 1)");
    // A page freed below P's definition, where the rewritten definition may land.
    changed("drop table Freed");
    changed("alter table P alter column N text(50)");
    expectSound();
    EXPECT_THROW(changed("insert into C values (11, 7)"), core::ConstraintError);
    EXPECT_THROW(changed("insert into P values (2, 9, 'b')"), core::ConstraintError);
    EXPECT_THROW(changed("delete from P"), core::ConstraintError);
    reopen();
    EXPECT_EQ(run("select N from P"), "a\n");
    expectSound();
}

} // namespace
