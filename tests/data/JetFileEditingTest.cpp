// Changes made through the access layer land in the Jet file: statements run by the command,
// and records posted and deleted through a data set, seen again after the file is reopened.
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOCommand.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using data::TADOConnection;
using data::TADOQuery;
using data_test::openString;
using data_test::rowsOf;
using testing::ElementsAre;

class JetFileEditingTest : public testing::Test {
protected:
    void SetUp() override {
        file = testing_support::scratchDir(
                   std::string("data-jet-edit-") +
                   testing::UnitTest::GetInstance()->current_test_info()->name()) /
               "people.mdb";
        data_test::makeFile(file, {{data_test::peopleTable(), 3, data_test::personRow}});
        connection.setConnectionString(openString(file));
        query.setConnection(&connection);
    }

    // What the file holds, read through a connection of its own.
    std::vector<std::string> stored(const std::string& select) {
        connection.close();
        TADOConnection fresh;
        fresh.setConnectionString(openString(file));
        return rowsOf(fresh, select);
    }

    std::filesystem::path file;
    TADOConnection connection;
    TADOQuery query;
};

TEST_F(JetFileEditingTest, TheCommandChangesTheFile) {
    data_test::run(connection, "create table Pets (ID counter primary key, Name text(20))");
    data_test::run(connection, "insert into Pets (Name) values ('Rex')");
    EXPECT_EQ(data_test::run(connection, "update People set Age = Age + 1 where Age < 3"), 2);
    EXPECT_THAT(stored("select Name from Pets"), ElementsAre("Rex"));
    EXPECT_THAT(stored("select Age from People order by ID"), ElementsAre("2", "3", "3"));
}

TEST_F(JetFileEditingTest, PostedAndDeletedRecordsReachTheFile) {
    query.setSQL("select * from [People]");
    query.open();
    ASSERT_TRUE(query.canModify());
    query.edit();
    query.fieldByName("Name").setAsString("Ann");
    query.post();
    query.append();
    query.fieldByName("Name").setAsString("Dora");
    query.fieldByName("Born").setAsString("2/3/2001");
    query.post();
    EXPECT_EQ(query.fieldByName("ID").asString(), "4");
    query.first();
    query.next();
    query.deleteRecord();
    EXPECT_THAT(stored("select ID, Name, Born from People order by ID"),
                ElementsAre("1|Ann|1998-07-25T00:00:00.000", "3|Person 3|1998-07-27T00:00:00.000",
                            "4|Dora|2001-02-03T00:00:00.000"));
}

TEST_F(JetFileEditingTest, APostFailingInTheFileLeavesItAsItWas) {
    query.setSQL("select * from [People]");
    query.open();
    query.edit();
    query.fieldByName("Name").setAsString(std::string(51, 'n'));
    EXPECT_THROW(query.post(), core::Error);
    EXPECT_EQ(query.state(), data::DataSetState::Edit);
    query.cancel();
    EXPECT_THAT(stored("select Name from People where ID = 1"), ElementsAre("Person 1"));
}

} // namespace
