// The command: its errors, the parameter scan on the way to the engine, statements run once
// with their rows dropped, and results being read that a change must not pull the rows from
// under.
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOCommand.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using data::TADOCommand;
using data::TADOConnection;
using data_test::errorOf;
using data_test::rowsOf;
using testing::ElementsAre;

TEST(CommandTest, AnEmptyTextIsRefusedBeforeAnythingElse) {
    TADOCommand command;
    EXPECT_EQ(errorOf([&] { command.execute(); }), "ADOCommand1: Missing CommandText property");
    TADOConnection connection;
    command.setConnection(&connection);
    EXPECT_EQ(errorOf([&] { command.execute(); }), "ADOCommand1: Missing CommandText property");
    EXPECT_FALSE(connection.connected());
}

TEST(CommandTest, ACommandWithoutConnectionSaysSo) {
    TADOCommand command("Cmd");
    command.setCommandText("select 1");
    EXPECT_EQ(errorOf([&] { command.execute(); }), "Cmd: Missing Connection or ConnectionString");
}

TEST(CommandTest, AClosedConnectionIsOpenedWithTheStringItHolds) {
    TADOConnection connection;
    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("select 1");
    // Never opened: the empty string fails the way opening does.
    EXPECT_EQ(errorOf([&] { command.execute(); }), errorOf([&] { connection.open(); }));
    EXPECT_FALSE(connection.connected());
}

TEST(CommandTest, RunsAStatementOnceAndReportsTheRowsItChanged) {
    TADOConnection connection;
    data_test::openShop(connection);
    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("update Customers set Credit = Credit + 1 where City <> 'Rome'");
    EXPECT_EQ(command.execute(), 2);
    EXPECT_THAT(rowsOf(connection, "select Credit from Customers"),
                ElementsAre("11.0000", "21.0000", "30.0000"));
    command.setCommandText("select * from Customers");
    EXPECT_EQ(command.execute(), 0);
}

TEST(CommandTest, ANamedParameterGetsNoValueAndTheEngineRefusesIt) {
    TADOConnection connection;
    data_test::openShop(connection);
    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("delete from Customers where Name = :who");
    EXPECT_EQ(errorOf([&] { command.execute(); }),
              "No value given for one or more required parameters.");
    EXPECT_THAT(rowsOf(connection, "select count(*) from Customers"), ElementsAre("3"));
}

TEST(CommandTest, ColonsInsideQuotesAndDoubledColonsStayText) {
    TADOConnection connection;
    data_test::openShop(connection);
    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("insert into Customers (Name, City) values ('a:b', \"c::d\")");
    EXPECT_EQ(command.execute(), 1);
    command.setCommandText("update Customers set City = City & '!' where Name = 'a'::'b'");
    // "'a'::'b'" reaches the engine as "'a':'b'", which it cannot read.
    EXPECT_NE(errorOf([&] { command.execute(); }), "");
    EXPECT_THAT(rowsOf(connection, "select Name, City from Customers where ID = 4"),
                ElementsAre("a:b|c::d"));
}

TEST(CommandTest, AChangeWaitsForResultsStillBeingRead) {
    TADOConnection connection;
    data_test::openInMemory(connection, {"create table T (ID counter primary key, N long)"});
    for (int i = 0; i < 50; ++i)
        connection.session().execute("insert into T (N) values (" + std::to_string(i) + ")");
    data::TADOQuery query;
    query.setConnection(&connection);
    // A filtered select streams its rows (a plain one keeps every row's locator at once).
    query.setSQL("select * from T where N >= 0");
    query.open();
    ASSERT_LT(query.knownRecordCount(), 50u);

    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("delete from T where N >= 10");
    EXPECT_EQ(command.execute(), 40);
    // The query read its whole result before the rows went; it still shows them.
    EXPECT_TRUE(query.allRecordsRead());
    EXPECT_EQ(query.recordCount(), 50);
    query.last();
    EXPECT_EQ(query.fieldByName("N").asString(), "49");
}

TEST(CommandTest, ExecutesOnARealFile) {
    REQUIRE_SAMPLES();
    auto copy = testing_support::scratchDir("data-command-real") / "types.mdb";
    std::filesystem::copy_file(testing_support::sample("types.mdb"), copy);
    TADOConnection connection;
    connection.setConnectionString(data_test::openString(copy));
    TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText("select A, B from Table1 where C = 2");
    EXPECT_EQ(command.execute(), 0);
    EXPECT_TRUE(connection.connected());
}

} // namespace
