// Result sets: column descriptions, row locators for writing back, streaming, and the
// session's row writes for the access layer.
#include "EngineFixture.h"

namespace engine_test {
namespace {

using core::Value;

TEST_F(EngineTest, ColumnsDescribeTheirBaseColumns) {
    sql::ResultSet r = session.execute("select ID, Name, Credit, Name & '!' from Customers");
    ASSERT_EQ(r.columns().size(), 4u);
    const auto& id = r.columns()[0];
    EXPECT_TRUE(id.autoNumber);
    EXPECT_TRUE(id.readOnly);
    EXPECT_EQ(id.type, core::DataType::Long);
    const auto& name = r.columns()[1];
    EXPECT_EQ(name.type, core::DataType::Text);
    EXPECT_EQ(name.size, 50u);
    EXPECT_TRUE(name.required);
    EXPECT_FALSE(name.readOnly);
    EXPECT_EQ(name.baseTable, "Customers");
    EXPECT_EQ(name.baseColumn, "Name");
    EXPECT_EQ(name.baseTableIndex, 0);
    EXPECT_EQ(r.columns()[2].columnType, jet::ColumnType::Currency);
    const auto& expr = r.columns()[3];
    EXPECT_TRUE(expr.readOnly);
    EXPECT_EQ(expr.type, core::DataType::Text);
    EXPECT_TRUE(expr.baseTable.empty());
    EXPECT_EQ(expr.baseTableIndex, -1);
    EXPECT_EQ(r.baseTables(), (std::vector<std::string>{"Customers"}));
    EXPECT_TRUE(r.updatable());
    EXPECT_EQ(r.findColumn("credit"), 2u);
}

TEST_F(EngineTest, MemoColumnKeepsItsStoredType) {
    sql::ResultSet r = session.execute("select Note from Orders");
    EXPECT_EQ(r.columns()[0].columnType, jet::ColumnType::Memo);
    EXPECT_EQ(r.columns()[0].type, core::DataType::Text);
}

TEST_F(EngineTest, LocatorsWriteBackThroughTheResult) {
    sql::ResultSet r = session.execute("select Name, City from Customers where City = 'Paris'");
    auto rows = r.fetchAll();
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[1].locators.size(), 1u);
    ASSERT_TRUE(rows[1].locators[0]);
    std::vector<std::optional<Value>> change(6);
    change[2] = Value("Lyon");
    sql::StoredRow stored = session.updateRow("Customers", *rows[1].locators[0], change);
    EXPECT_EQ(stored.values[1], Value("Carol"));
    EXPECT_EQ(run("select Name from Customers where City = 'Lyon'"), "Carol\n");
    session.deleteRow("Customers", *rows[0].locators[0]);
    EXPECT_EQ(run("select Count(*) from Customers"), "4\n");
    EXPECT_FALSE(storage.readRow("Customers", *rows[0].locators[0]));
    EXPECT_THROW(session.deleteRow("Customers", *rows[0].locators[0]), core::SqlError);
}

TEST_F(EngineTest, JoinRowsCarryALocatorPerTable) {
    sql::ResultSet r =
        session.execute("select c.Name, o.OrderID, o.Amount from Customers c left join Orders o "
                        "on c.ID = o.CustomerID order by c.ID");
    EXPECT_EQ(r.baseTables(), (std::vector<std::string>{"Customers", "Orders"}));
    EXPECT_EQ(r.columns()[0].baseTableIndex, 0);
    EXPECT_EQ(r.columns()[2].baseTableIndex, 1);
    auto rows = r.fetchAll();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[0].locators[0] && rows[0].locators[1]);
    EXPECT_TRUE(rows[5].locators[0]);
    EXPECT_FALSE(rows[5].locators[1]); // Eve has no order
    std::vector<std::optional<Value>> change(5);
    change[2] = Value(1.0);
    session.updateRow("Orders", *rows[0].locators[1], change);
    EXPECT_EQ(run("select Amount from Orders where OrderID = 10"), "1\n");
}

TEST_F(EngineTest, GroupedAndDistinctResultsAreNotUpdatable) {
    for (const char* sql : {"select City, Count(*) from Customers group by City",
                            "select distinct City from Customers", "select 1 + 1"}) {
        sql::ResultSet r = session.execute(sql);
        EXPECT_FALSE(r.updatable()) << sql;
        ASSERT_TRUE(r.next());
        EXPECT_TRUE(r.row().locators.empty()) << sql;
    }
    sql::ResultSet r = session.execute("select distinctrow Name from Customers");
    EXPECT_TRUE(r.updatable());
}

TEST_F(EngineTest, RowsStreamUntilTheFailingOne) {
    sql::ResultSet r = session.execute("select 6 / (ID - 3) from Customers");
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.value(0), Value(-3.0));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.value(0), Value(-6.0));
    EXPECT_THROW(r.next(), core::Error);
}

TEST_F(EngineTest, ChangeStatementsReportCounts) {
    sql::ResultSet r = session.execute("update Items set Qty = 0 where Product = 'ink'");
    EXPECT_FALSE(r.hasRows());
    EXPECT_EQ(r.rowsAffected(), 2);
    EXPECT_FALSE(r.next());
}

TEST_F(EngineTest, ResultEndsCleanly) {
    sql::ResultSet r = session.execute("select ID from Customers where ID = 1");
    EXPECT_TRUE(r.hasRows());
    EXPECT_TRUE(r.next());
    EXPECT_FALSE(r.next());
    EXPECT_FALSE(r.next());
    EXPECT_TRUE(r.fetchAll().empty());
}

TEST_F(EngineTest, InsertRowFillsCounterAndDefaults) {
    run("create table D (ID counter, A text(5) default 'none', B long)");
    std::vector<std::optional<Value>> row(3);
    row[2] = Value("42");
    sql::StoredRow stored = session.insertRow("D", row);
    EXPECT_EQ(stored.values,
              (std::vector<Value>{Value(std::int32_t(1)), Value("none"), Value(std::int32_t(42))}));
    EXPECT_EQ(storage.readRow("D", stored.locator), stored.values);
    EXPECT_THROW(session.insertRow("Nowhere", row), core::SqlError);
}

TEST_F(EngineTest, ResultsAsTextForComparison) {
    sql::ResultSet r = session.execute("select ID, Name, Credit, Joined, Vip from Customers "
                                       "where ID = 4");
    EXPECT_EQ(sql::resultRows(r),
              (std::vector<std::vector<std::string>>{{"4", "dave", "5.2500", "NULL", "True"}}));
    EXPECT_EQ(sql::valueText(Value(core::Guid{})), "00000000-0000-0000-0000-000000000000");
    EXPECT_EQ(sql::valueText(Value(0.1f)), "0.1");
}

} // namespace
} // namespace engine_test
