// Parameters: "?" markers and names that are no column, in the order Jet numbers them, with
// the values a caller gives; PARAMETERS declarations convert their values.
#include "EngineFixture.h"

namespace engine_test {
namespace {

using core::Value;

std::vector<std::string> names(const std::vector<sql::ParameterInfo>& list) {
    std::vector<std::string> out;
    for (const auto& p : list) out.push_back(p.name);
    return out;
}

TEST_F(EngineTest, UnknownNameTakesAGivenValue) {
    EXPECT_EQ(run("select Name from Customers where ID = Wanted", {Value(std::int32_t(2))}),
              "bob\n");
}

TEST_F(EngineTest, MissingValueIsRefused) {
    EXPECT_EQ(errorOf("select Name from Customers where ID = Wanted"),
              "No value given for one or more required parameters.");
}

TEST_F(EngineTest, MarkersInTextOrder) {
    EXPECT_EQ(run("select Name from Customers where ID > ? and ID < ?",
                  {Value(std::int32_t(1)), Value(std::int32_t(4))}),
              "bob\nCarol\n");
}

TEST_F(EngineTest, ParametersListedByFirstAppearance) {
    EXPECT_EQ(names(session.parameters(
                  "select * from Customers where City = [Which city] and ID > ? or ID = B or "
                  "ID = [which CITY]")),
              (std::vector<std::string>{"Which city", "?", "B"}));
    EXPECT_EQ(names(session.parameters("select Name from Customers where ID = B or ID = A")),
              (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(session.parameters("select Name from Customers").empty());
}

TEST_F(EngineTest, NameUsedTwiceIsOneParameter) {
    EXPECT_EQ(
        run("select Name from Customers where ID = X or ID = X + 1", {Value(std::int32_t(1))}),
        "Alice\nbob\n");
}

TEST_F(EngineTest, DeclaredParametersComeFirstAndConvert) {
    const char* sql = "parameters [Low] long; select Name from Customers where ID >= [Low] "
                      "and Name <> ?";
    auto list = session.parameters(sql);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "Low");
    EXPECT_EQ(list[0].declaredType, jet::ColumnType::Long);
    EXPECT_FALSE(list[1].declaredType);
    EXPECT_EQ(run(sql, {Value("4"), Value("Eve")}), "dave\n");
    EXPECT_EQ(errorOf(sql, {Value("four"), Value("Eve")}),
              "Data type mismatch in criteria expression.");
}

TEST_F(EngineTest, ParametersInInsertValues) {
    EXPECT_EQ(run("insert into Orders (OrderID, Amount, Note) values (?, ?, ?)",
                  {Value(std::int32_t(30)), Value(2.5), Value("p")}),
              "affected 1");
    EXPECT_EQ(run("select Amount, Note from Orders where OrderID = 30"), "2.5|p\n");
}

TEST_F(EngineTest, ParameterInIndexSeekAndSubquery) {
    EXPECT_EQ(run("select Name from Customers where ID in (select CustomerID from Orders where "
                  "Amount > ?)",
                  {Value(200.0)}),
              "Alice\nCarol\n");
}

TEST_F(EngineTest, NullParameterMatchesNothing) {
    EXPECT_EQ(run("select Name from Customers where ID = ?", {Value()}), "");
}

} // namespace
} // namespace engine_test

namespace engine_test {
namespace {

// What a prepared statement tells before it runs, and that its runs give what the text gives.
TEST_F(EngineTest, APreparedStatementTellsWhatItIsAndRunsAsItsText) {
    const struct {
        const char* text;
        sql::StatementKind kind;
        std::vector<std::string> columns;
    } cases[] = {
        {"select Name, City as Town from Customers", sql::StatementKind::Rows, {"Name", "Town"}},
        {"select * into Copy from Customers", sql::StatementKind::Change, {}},
        {"update Customers set City = 'Rome' where ID = -1", sql::StatementKind::Change, {}},
        {"create index ByCity on Customers (City)", sql::StatementKind::Definition, {}},
        {"begin transaction", sql::StatementKind::Transaction, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const sql::Prepared prepared = session.prepare(c.text);
        EXPECT_EQ(prepared.kind(), c.kind);
        std::vector<std::string> columns;
        for (const auto& column : prepared.columns()) columns.push_back(column.name);
        EXPECT_EQ(columns, c.columns);
    }

    sql::Prepared asked = session.prepare("select Name from Customers where ID = Wanted");
    EXPECT_EQ(names(asked.parameters()), (std::vector<std::string>{"Wanted"}));
    // The plan made at preparing serves the first run; the second plans again.
    for (int id : {2, 3}) {
        const std::vector<Value> wanted{Value(std::int32_t(id))};
        sql::ResultSet result = session.execute(asked, wanted);
        EXPECT_EQ(sql::resultText(result),
                  run("select Name from Customers where ID = Wanted", wanted));
    }
    EXPECT_THROW(session.prepare("select Nothing from Nowhere"), core::Error);
}

} // namespace
} // namespace engine_test
