// The connection: opening a Jet file from the window's connection string, the provider's
// errors, opening by itself when an operation needs it, the lists of tables and columns, and
// what closing does to the commands and data sets that work through it.
#include "DataFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "data/TADOCommand.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "jet/file/PageFile.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using data::TADOConnection;
using data_test::errorOf;
using data_test::openString;
using testing::ElementsAre;
using testing::HasSubstr;

class ConnectionTest : public testing::Test {
protected:
    void SetUp() override {
        dir = testing_support::scratchDir(
            std::string("data-connection-") +
            testing::UnitTest::GetInstance()->current_test_info()->name());
        file = dir / "shop.mdb";
    }

    void makeShop(const std::string& password = "") {
        data_test::makeFile(file,
                            {{data_test::peopleTable("gamma"), 2, data_test::personRow},
                             {data_test::peopleTable("Alpha"), 1, data_test::personRow},
                             {data_test::peopleTable("beta"), 0, data_test::personRow}},
                            password);
    }

    fs::path dir, file;
};

TEST_F(ConnectionTest, OpensTheFileTheOpenActionsStringNames) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    EXPECT_FALSE(connection.connected());
    connection.open();
    EXPECT_TRUE(connection.connected());
    ASSERT_NE(connection.database(), nullptr);
    EXPECT_EQ(connection.database()->path(), file);
    EXPECT_TRUE(connection.database()->writable());
    EXPECT_FALSE(connection.readOnly());
    connection.close();
    EXPECT_FALSE(connection.connected());
    EXPECT_EQ(connection.database(), nullptr);
}

TEST_F(ConnectionTest, ListsTablesByNameWithoutRegardToCase) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    connection.open();
    EXPECT_THAT(connection.tableNames(), ElementsAre("Alpha", "beta", "gamma"));
}

TEST_F(ConnectionTest, ListsTablesBeforeViewsEachInNameOrder) {
    auto storage = std::make_unique<sql::MemoryStorage>();
    storage->addView("zQuery", "select 1 as X");
    storage->addView("aQuery", "select 2 as Y");
    TADOConnection connection;
    connection.openOn(std::move(storage));
    connection.session().execute("create table Zebra (A long)");
    connection.session().execute("create table apple (B long)");
    EXPECT_THAT(connection.tableNames(), ElementsAre("apple", "Zebra", "aQuery", "zQuery"));
}

TEST_F(ConnectionTest, ListsColumnsInColumnOrderAndNothingForAnUnknownTable) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    EXPECT_THAT(connection.fieldNames("GAMMA"), ElementsAre("ID", "Name", "Age", "Born"));
    // Typing a table name lists columns after each character: a partial name is no error.
    EXPECT_TRUE(connection.fieldNames("gam").empty());
}

TEST_F(ConnectionTest, ListsTheColumnsOfAView) {
    auto storage = std::make_unique<sql::MemoryStorage>();
    storage->addView("Names", "select Name, ID from People");
    TADOConnection connection;
    connection.openOn(std::move(storage));
    connection.session().execute("create table People (ID long, Name text(20), Age long)");
    EXPECT_THAT(connection.fieldNames("names"), ElementsAre("Name", "ID"));
}

// A saved query written into the file is listed after the tables and gives its columns and
// rows to a later connection, as one saved by Access would.
TEST_F(ConnectionTest, ASavedQueryOfTheFileIsListedAndRead) {
    makeShop();
    {
        TADOConnection connection;
        connection.setConnectionString(openString(file));
        connection.session().execute(
            "create view Elders as select Name, Age from gamma where Age >= 0 order by Name");
    }
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    EXPECT_THAT(connection.tableNames(), ElementsAre("Alpha", "beta", "gamma", "Elders"));
    EXPECT_THAT(connection.fieldNames("elders"), ElementsAre("Name", "Age"));
    auto all = connection.session().execute("select count(*) from gamma where Age >= 0");
    auto viewed = connection.session().execute("select count(*) from Elders");
    ASSERT_TRUE(all.next() && viewed.next());
    EXPECT_EQ(sql::valueText(viewed.values()[0]), sql::valueText(all.values()[0]));
}

TEST_F(ConnectionTest, AnOperationOnAClosedConnectionOpensItWithItsString) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    EXPECT_THAT(connection.tableNames(), ElementsAre("Alpha", "beta", "gamma"));
    EXPECT_TRUE(connection.connected());
}

TEST_F(ConnectionTest, AnEmptyStringFailsAndTheConnectionStaysClosed) {
    TADOConnection connection;
    EXPECT_THAT(errorOf([&] { connection.tableNames(); }), HasSubstr("connection string"));
    EXPECT_FALSE(connection.connected());
}

TEST_F(ConnectionTest, AMissingFileFailsWithTheProvidersText) {
    TADOConnection connection;
    connection.setConnectionString(openString(dir / "none.mdb"));
    EXPECT_EQ(errorOf([&] { connection.open(); }),
              "Could not find file '" + (dir / "none.mdb").string() + "'.");
    EXPECT_FALSE(connection.connected());
}

TEST_F(ConnectionTest, APasswordFileOpensOnlyWithItsPassword) {
    makeShop("secret");
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    EXPECT_EQ(errorOf([&] { connection.open(); }), "Not a valid password.");
    EXPECT_FALSE(connection.connected());
    connection.setConnectionString(openString(file, "wrong"));
    EXPECT_EQ(errorOf([&] { connection.open(); }), "Not a valid password.");
    connection.setConnectionString(openString(file, "secret"));
    connection.open();
    EXPECT_TRUE(connection.connected());
}

TEST_F(ConnectionTest, AForeignProviderIsRefused) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString("Provider=SQLOLEDB;Data Source=" + file.string());
    EXPECT_THAT(errorOf([&] { connection.open(); }), HasSubstr("SQLOLEDB"));
    EXPECT_FALSE(connection.connected());
}

TEST_F(ConnectionTest, ASecondWriterIsRefusedWhileTheFirstHoldsTheFile) {
    makeShop();
    TADOConnection first, second;
    first.setConnectionString(openString(file));
    second.setConnectionString(openString(file));
    first.open();
    EXPECT_THROW(second.open(), core::InUseError);
    EXPECT_FALSE(second.connected());
    first.close();
    second.open();
    EXPECT_TRUE(second.connected());
}

TEST_F(ConnectionTest, TheStringCannotChangeWhileOpen) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    connection.open();
    EXPECT_EQ(errorOf([&] { connection.setConnectionString("x"); }),
              "Operation is not allowed when the object is open.");
    EXPECT_EQ(connection.connectionString(), openString(file));
}

TEST_F(ConnectionTest, TheLoginPromptFlagIsKept) {
    TADOConnection connection;
    EXPECT_TRUE(connection.loginPrompt());
    connection.setLoginPrompt(false);
    EXPECT_FALSE(connection.loginPrompt());
}

TEST_F(ConnectionTest, ClosingDropsTheCommandsLinkAndClosesDataSets) {
    makeShop();
    TADOConnection connection;
    connection.setConnectionString(openString(file));
    data::TADOCommand command;
    command.setConnection(&connection);
    data::TADOQuery query;
    query.setConnection(&connection);
    query.setSQL("select * from [gamma]");
    query.open();
    connection.close();
    EXPECT_EQ(command.connection(), nullptr);
    EXPECT_FALSE(query.active());
    EXPECT_EQ(query.connection(), &connection);
    // Opening the data set again reconnects.
    query.open();
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(query.recordCount(), 2);
}

TEST_F(ConnectionTest, ComponentsOutliveTheConnectionSafely) {
    makeShop();
    data::TADOCommand command;
    data::TADOQuery query;
    {
        TADOConnection connection;
        connection.setConnectionString(openString(file));
        command.setConnection(&connection);
        query.setConnection(&connection);
        query.setSQL("select * from gamma");
        query.open();
    }
    EXPECT_EQ(command.connection(), nullptr);
    EXPECT_EQ(query.connection(), nullptr);
    EXPECT_FALSE(query.active());
}

TEST_F(ConnectionTest, TellsWhenAFileNeedsAnInterruptedChangeRolledBack) {
    makeShop();
    {
        TADOConnection clean;
        clean.setConnectionString(openString(file));
        EXPECT_FALSE(clean.needsRecovery());
        clean.open();
        EXPECT_FALSE(clean.recoveredJournal());
    }
    // A child process dies at the commit point, leaving its journal beside the file.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto pages = jet::PageFile::open(file, jet::PageFile::Access::ReadWrite);
        pages->setFaultHook([](jet::CommitStep step, std::uint32_t) {
            if (step == jet::CommitStep::VoidJournal) ::_exit(0);
        });
        pages->begin();
        pages->append(jet::PageBytes{});
        pages->commit();
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    TADOConnection connection;
    EXPECT_FALSE(connection.needsRecovery()); // no file named yet
    connection.setConnectionString(openString(file));
    EXPECT_TRUE(connection.needsRecovery());
    connection.open();
    EXPECT_TRUE(connection.recoveredJournal());
    EXPECT_FALSE(connection.needsRecovery());
    EXPECT_THAT(connection.tableNames(), ElementsAre("Alpha", "beta", "gamma"));
}

} // namespace
