// Changes made through the access layer land in the Jet file: statements run by the command,
// and records posted and deleted through a data set, seen again after the file is reopened.
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOCommand.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

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

// A text typed into a field and the same text in an insert store the same value, column type
// by column type; "!" is a text the column refuses. Typing is stricter than a statement in two
// places: a fraction typed into a whole-number field and a number typed into a date field are
// refused, where the statement's conversion rounds the one and reads the other as a day count.
TEST_F(JetFileEditingTest, TypedTextStoresAsTheSameStatementWould) {
    const std::vector<std::string> columns = {"L", "I", "B", "D", "S", "C", "N", "T", "Y", "X"};
    struct Case {
        const char* text;
        std::vector<std::string> stored; // through SQL, in the order of `columns`
        std::vector<std::string> typed;  // through a field edit where it differs, else empty
    };
    const std::vector<Case> cases = {
        {"12.50",
         {"12", "12", "12", "12.5", "12.5", "12.5000", "12.50", "1900-01-11T12:00:00.000", "True",
          "12.50"},
         {"!", "!", "!", "12.5", "12.5", "12.5000", "12.50", "!", "True", "12.50"}},
        {"1e3",
         {"1000", "1000", "!", "1000", "1000", "1000.0000", "1000.00", "1902-09-26T00:00:00.000",
          "True", "1e3"},
         {"1000", "1000", "!", "1000", "1000", "1000.0000", "1000.00", "!", "True", "1e3"}},
        {"2024-02-29 13:45",
         {"!", "!", "!", "!", "!", "!", "!", "2024-02-29T13:45:00.000", "!", "2024-02-29 13:45"},
         {}},
        {"-1",
         {"-1", "-1", "!", "-1", "-1", "-1.0000", "-1.00", "1899-12-29T00:00:00.000", "True", "-1"},
         {"-1", "-1", "!", "-1", "-1", "-1.0000", "-1.00", "!", "True", "-1"}},
        {"007",
         {"7", "7", "7", "7", "7", "7.0000", "7.00", "1900-01-06T00:00:00.000", "True", "007"},
         {"7", "7", "7", "7", "7", "7.0000", "7.00", "!", "True", "007"}},
        {" 42 ",
         {"42", "42", "42", "42", "42", "42.0000", "42.00", "1900-02-10T00:00:00.000", "True",
          " 42 "},
         {"42", "42", "42", "42", "42", "42.0000", "42.00", "!", "True", " 42 "}},
    };
    data_test::run(connection, "create table Typed (K long primary key, L long, I short, B byte, "
                               "D double, S single, C currency, N decimal(10, 2), T datetime, "
                               "Y yesno, X text(20))");
    // Keys: case * 100 + column through SQL, plus 50 through a field edit. One transaction
    // keeps the file's commits to one.
    data_test::run(connection, "begin transaction");
    std::map<int, std::string> refused;
    for (std::size_t i = 0; i < cases.size(); ++i)
        for (std::size_t j = 0; j < columns.size(); ++j) {
            const int key = int(i * 100 + j);
            try {
                data_test::run(connection, "insert into Typed (K, " + columns[j] + ") values (" +
                                               std::to_string(key) + ", '" + cases[i].text + "')");
            } catch (const core::Error&) {
                refused[key] = "!";
            }
        }
    query.setSQL("select * from Typed");
    query.open();
    for (std::size_t i = 0; i < cases.size(); ++i)
        for (std::size_t j = 0; j < columns.size(); ++j) {
            const int key = int(i * 100 + j + 50);
            query.append();
            try {
                query.fieldByName("K").setAsString(std::to_string(key));
                query.fieldByName(columns[j]).setAsString(cases[i].text);
                query.post();
            } catch (const core::Error&) {
                query.cancel();
                refused[key] = "!";
            }
        }
    query.close();
    data_test::run(connection, "commit");
    std::map<int, std::vector<std::string>> rows;
    for (const std::string& row :
         stored("select K, L, I, B, D, S, C, N, T, Y, X from Typed order by K")) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t bar = row.find('|'); bar != std::string::npos;
             bar = row.find('|', start)) {
            fields.push_back(row.substr(start, bar - start));
            start = bar + 1;
        }
        fields.push_back(row.substr(start));
        rows[std::stoi(fields[0])] = fields;
    }
    auto outcome = [&](int key, std::size_t column) {
        if (refused.count(key)) return refused[key];
        return rows.count(key) ? rows[key][column + 1] : std::string("missing");
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        for (std::size_t j = 0; j < columns.size(); ++j) {
            const int key = int(i * 100 + j);
            SCOPED_TRACE(std::string("'") + cases[i].text + "' in " + columns[j]);
            EXPECT_EQ(outcome(key, j), cases[i].stored[j]);
            EXPECT_EQ(outcome(key + 50, j),
                      cases[i].typed.empty() ? cases[i].stored[j] : cases[i].typed[j]);
        }
}

} // namespace
