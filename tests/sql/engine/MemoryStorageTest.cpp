// The in-memory storage itself: unique keys, counters, seeks in key order, cursors that
// survive changes to the catalog, and statements and transactions undone by copies.
#include "sql/engine/storage/MemoryStorage.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

using core::Value;

sql::TableDefinition people() {
    sql::TableDefinition layout;
    layout.name = "People";
    sql::ColumnDefinition id;
    id.column = {"ID", jet::ColumnType::Long, 4, 0, 0, false, true, {}};
    id.seed = 5;
    id.increment = 5;
    sql::ColumnDefinition name;
    name.column = {"Name", jet::ColumnType::Text, 20, 0, 0, false, false, {}};
    layout.columns = {id, name};
    sql::IndexInfo key;
    key.name = "Key";
    key.columns = {{"ID", false}};
    key.primary = key.unique = true;
    sql::IndexInfo byName;
    byName.name = "ByName";
    byName.columns = {{"Name", true}};
    byName.unique = true;
    layout.indexes = {key, byName};
    return layout;
}

std::vector<Value> row(std::int32_t id, const char* name) {
    return {Value(id), name ? Value(name) : Value()};
}

class MemoryStorageTest : public ::testing::Test {
protected:
    MemoryStorageTest() { storage.createTable(people()); }
    std::vector<std::int32_t> ids(sql::RowCursor& cursor) {
        std::vector<std::int32_t> out;
        while (cursor.next()) out.push_back(cursor.value(0).get<std::int32_t>());
        return out;
    }
    sql::MemoryStorage storage;
};

TEST_F(MemoryStorageTest, CountersStartAtSeedAndSkipExplicitNumbers) {
    EXPECT_EQ(storage.nextAutoNumber("people", "id"), Value(std::int32_t(5)));
    EXPECT_EQ(storage.nextAutoNumber("People", "ID"), Value(std::int32_t(10)));
    storage.insertRow("People", row(40, "x"));
    EXPECT_EQ(storage.nextAutoNumber("People", "ID"), Value(std::int32_t(45)));
    EXPECT_THROW(storage.nextAutoNumber("People", "Name"), core::SqlError);
}

TEST_F(MemoryStorageTest, UniqueKeysIgnoreCaseAndAllowNull) {
    storage.insertRow("People", row(1, "Ann"));
    EXPECT_THROW(storage.insertRow("People", row(2, "ANN")), core::ConstraintError);
    EXPECT_THROW(storage.insertRow("People", row(1, "Bob")), core::ConstraintError);
    storage.insertRow("People", row(3, nullptr));
    storage.insertRow("People", row(4, nullptr));
    auto located = storage.insertRow("People", row(5, "Cy"));
    EXPECT_THROW(storage.updateRow("People", located, row(5, "ann")), core::ConstraintError);
    storage.updateRow("People", located, row(5, "Cyd"));
    EXPECT_EQ(storage.readRow("People", located), row(5, "Cyd"));
}

TEST_F(MemoryStorageTest, SeekGivesKeyOrderWithinTheRange) {
    for (auto [id, name] : {std::pair{7, "g"}, {3, "c"}, {9, "i"}, {1, "a"}, {5, "e"}})
        storage.insertRow("People", row(id, name));
    sql::KeyRange range;
    range.low = sql::KeyBound{{Value(std::int32_t(3))}, false};
    range.high = sql::KeyBound{{Value(std::int32_t(9))}, true};
    auto cursor = storage.seekIndex("People", "Key", range);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(ids(*cursor), (std::vector<std::int32_t>{5, 7, 9}));
    sql::KeyRange equal;
    equal.low = equal.high = sql::KeyBound{{Value("E")}, true};
    auto byName = storage.seekIndex("People", "ByName", equal);
    EXPECT_EQ(ids(*byName), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(storage.statistics().seeks, 2);
    storage.enableSeeks(false);
    EXPECT_EQ(storage.seekIndex("People", "Key", range), nullptr);
}

TEST_F(MemoryStorageTest, CursorSurvivesCatalogChangesAndDeletes) {
    for (int i = 1; i <= 4; ++i) storage.insertRow("People", row(i, nullptr));
    auto cursor = storage.scan("People");
    ASSERT_TRUE(cursor->next());
    const auto second = [&] {
        auto c = storage.scan("People");
        c->next();
        c->next();
        return c->locator();
    }();
    storage.deleteRow("People", second);
    sql::TableDefinition other;
    other.name = "Other";
    other.columns.push_back({{"A", jet::ColumnType::Long, 4, 0, 0, false, false, {}}, 1, 1, false});
    for (int i = 0; i < 20; ++i) {
        other.name = "Other" + std::to_string(i);
        storage.createTable(other);
    }
    EXPECT_EQ(ids(*cursor), (std::vector<std::int32_t>{3, 4}));
    storage.dropTable("People");
    EXPECT_FALSE(cursor->next());
}

TEST_F(MemoryStorageTest, FailedStatementIsUndone) {
    storage.insertRow("People", row(1, "a"));
    storage.beginStatement();
    storage.insertRow("People", row(2, "b"));
    storage.dropIndex("People", "ByName");
    storage.endStatement(false);
    EXPECT_NE(storage.tableInfo("People")->findIndex("ByName"), nullptr);
    EXPECT_EQ(ids(*storage.scan("People")), (std::vector<std::int32_t>{1}));
    storage.beginStatement();
    storage.insertRow("People", row(2, "b"));
    storage.endStatement(true);
    EXPECT_EQ(ids(*storage.scan("People")), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(MemoryStorageTest, TransactionsNest) {
    storage.begin();
    storage.insertRow("People", row(1, "a"));
    storage.begin();
    storage.insertRow("People", row(2, "b"));
    storage.rollback();
    storage.commit();
    EXPECT_EQ(ids(*storage.scan("People")), (std::vector<std::int32_t>{1}));
    EXPECT_THROW(storage.commit(), core::SqlError);
}

TEST_F(MemoryStorageTest, SchemaChangesKeepRowsInStep) {
    storage.insertRow("People", row(1, "a"));
    sql::ColumnDefinition extra;
    extra.column = {"Extra", jet::ColumnType::Long, 4, 0, 0, false, false, {}};
    storage.addColumn("People", extra);
    EXPECT_EQ(storage.readRow("People", {1, 0})->size(), 3u);
    sql::ColumnDefinition asText;
    asText.column = {"ID", jet::ColumnType::Text, 10, 0, 0, false, false, {}};
    storage.alterColumn("People", asText, [](const Value& v) {
        return Value(std::to_string(v.get<std::int32_t>()));
    });
    EXPECT_EQ((*storage.readRow("People", {1, 0}))[0], Value("1"));
    storage.dropColumn("People", "Name");
    EXPECT_EQ(storage.readRow("People", {1, 0}), (std::vector<Value>{Value("1"), Value()}));
    EXPECT_THROW(storage.createIndex("People", sql::IndexInfo{"Key", {{"ID", false}}}),
                 core::SqlError);
}

TEST_F(MemoryStorageTest, ViewsAreListedAndRead) {
    storage.addView("Q", "select * from People");
    EXPECT_EQ(storage.viewNames(), (std::vector<std::string>{"Q"}));
    EXPECT_EQ(storage.viewText("q"), "select * from People");
    EXPECT_FALSE(storage.viewText("People"));
    EXPECT_EQ(storage.tableNames(), (std::vector<std::string>{"People"}));
}

} // namespace
