// The engine over real Access files through JetStorage: selects give the rows an independent
// reader found, joins and grouping work on them, locators lead back to the rows, and writes
// are refused on a file opened for reading.
#include "common/JsonValue.h"
#include "common/Samples.h"
#include "core/Conversions.h"
#include "jet/Database.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testing_support::Json;
using testing_support::JsonArray;

// A value as the canonical dump writes it.
Json asDumped(const core::Value& v) {
    return std::visit(
        [](const auto& x) -> Json {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return Json{nullptr};
            } else if constexpr (std::is_same_v<T, bool>) {
                return Json{x};
            } else if constexpr (std::is_same_v<T, std::uint8_t> ||
                                 std::is_same_v<T, std::int16_t> ||
                                 std::is_same_v<T, std::int32_t> || std::is_same_v<T, float> ||
                                 std::is_same_v<T, double>) {
                return Json{static_cast<double>(x)};
            } else if constexpr (std::is_same_v<T, core::Currency>) {
                return Json{core::formatCurrency(x)};
            } else if constexpr (std::is_same_v<T, core::DateTime>) {
                return Json{core::formatIsoDateTime(x)};
            } else if constexpr (std::is_same_v<T, std::string>) {
                return Json{x};
            } else if constexpr (std::is_same_v<T, core::Bytes>) {
                return Json{core::formatHex(x)};
            } else if constexpr (std::is_same_v<T, core::Guid>) {
                return Json{core::formatGuid(x)};
            } else {
                return Json{core::formatDecimal(x)};
            }
        },
        v.storage());
}

// The rows the dump lists for one table.
std::vector<Json> expectedRows(const std::string& sample, const std::string& table) {
    std::ifstream in(testing_support::samplesDir() / "expected" / (sample + ".jsonl"));
    std::vector<Json> rows;
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        Json j = testing_support::parseJson(line);
        if (auto o = std::get_if<std::shared_ptr<testing_support::JsonObject>>(&j.v)) {
            inTable = std::get<std::string>((**o)["table"].v) == table;
            continue;
        }
        if (inTable) rows.push_back(j);
    }
    return rows;
}

class JetSamples : public ::testing::Test {
protected:
    void open(const std::string& sample, const std::string& password = {}) {
        database = jet::Database::open(testing_support::sample(sample + ".mdb"), password);
        storage = std::make_unique<sql::JetStorage>(*database);
        session = std::make_unique<sql::Session>(*storage);
    }
    std::vector<Json> selectedRows(const std::string& sql) {
        sql::ResultSet r = session->execute(sql);
        std::vector<Json> rows;
        while (r.next()) {
            auto a = std::make_shared<JsonArray>();
            for (const auto& v : r.values()) a->push_back(asDumped(v));
            rows.push_back(Json{a});
        }
        return rows;
    }
    std::string text(const std::string& sql) {
        sql::ResultSet r = session->execute(sql);
        return sql::resultText(r);
    }

    std::unique_ptr<jet::Database> database;
    std::unique_ptr<sql::JetStorage> storage;
    std::unique_ptr<sql::Session> session;
};

TEST_F(JetSamples, SelectStarGivesTheDumpedRows) {
    REQUIRE_SAMPLES();
    const std::pair<const char*, const char*> tables[] = {
        {"types", "Table1"},           {"indexes", "Table1"},         {"indexes", "Table3"},
        {"compound-index", "Table1"},  {"deleted-rows", "Table"},     {"overflow-rows", "Table1"},
        {"numeric", "test"},           {"deleted-columns", "Table1"}, {"fixed-text", "users"},
        {"wide-table", "MSP_PROJECTS"}};
    for (const auto& [sample, table] : tables) {
        open(sample);
        EXPECT_EQ(selectedRows(std::string("select * from [") + table + "]"),
                  expectedRows(sample, table))
            << sample << " " << table;
    }
}

TEST_F(JetSamples, CriteriaOnStoredTypes) {
    REQUIRE_SAMPLES();
    open("types");
    EXPECT_EQ(text("select A, E from Table1 where I = true"), "abcdefg|333333333\n");
    EXPECT_EQ(text("select A from Table1 where H = 3.5 and G = #9/21/1974#"), "abcdefg\n");
    EXPECT_EQ(text("select A from Table1 where B like 'H%'"), "abcdefg\n");
    EXPECT_EQ(text("select Count(*), Sum(D), Max(F) from Table1"), "2|222|444.555\n");
    EXPECT_EQ(text("select A from Table1 order by A desc"), "abcdefg\na\n");
    EXPECT_EQ(text("select Count(*) from Table2"), "0\n");
}

TEST_F(JetSamples, TableInfoFromTheDefinition) {
    REQUIRE_SAMPLES();
    open("types");
    EXPECT_EQ(storage->tableNames(),
              (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
    auto info = storage->tableInfo("table1");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->columns.size(), 9u);
    EXPECT_EQ(info->columns[0].type, jet::ColumnType::Text);
    EXPECT_EQ(info->columns[0].size, 50u); // 100 bytes of UCS-2
    EXPECT_EQ(info->columns[7].type, jet::ColumnType::Currency);
    EXPECT_FALSE(storage->tableInfo("Nowhere"));
    sql::ResultSet r = session->execute("select A, H from Table1");
    EXPECT_EQ(r.columns()[0].baseTable, "Table1");
    EXPECT_EQ(r.columns()[1].type, core::DataType::Currency);
}

TEST_F(JetSamples, IndexesAreListed) {
    REQUIRE_SAMPLES();
    open("indexes");
    auto info = storage->tableInfo("Table1");
    ASSERT_TRUE(info);
    ASSERT_FALSE(info->indexes.empty());
    for (const auto& index : info->indexes) {
        EXPECT_FALSE(index.name.empty());
        ASSERT_FALSE(index.columns.empty());
        EXPECT_TRUE(info->findColumn(index.columns[0].name)) << index.name;
    }
}

TEST_F(JetSamples, JoinsAcrossTables) {
    REQUIRE_SAMPLES();
    open("indexes");
    EXPECT_EQ(text("select t1.data, t2.data, t3.data from (Table1 t1 inner join Table2 t2 on "
                   "t1.otherfk1 = t2.id) inner join Table3 t3 on t1.otherfk2 = t3.id "
                   "order by t1.id"),
              "baz0|foo0|bar10\nbaz11|foo1|bar11\nbaz11-2|foo1|bar11\nbaz13|foo2|bar13\n");
    EXPECT_EQ(text("select t3.data, Count(t1.id) from Table3 t3 left join Table1 t1 on "
                   "t1.otherfk2 = t3.id group by t3.data"),
              "bar10|1\nbar11|2\nbar12|0\nbar13|1\n");
}

TEST_F(JetSamples, ManyRowsGroupAndSort) {
    REQUIRE_SAMPLES();
    open("compound-index");
    const auto expected = expectedRows("compound-index", "Table1");
    EXPECT_EQ(text("select Count(*) from Table1"), std::to_string(expected.size()) + "\n");
    EXPECT_EQ(text("select Count(*) from (select distinct RS_AGENTE from Table1)"), "1\n");
    sql::ResultSet r =
        session->execute("select top 3 CD_AGENTE from Table1 order by CD_AGENTE desc");
    auto rows = sql::resultRows(r);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_GT(std::stol(rows[0][0]), std::stol(rows[1][0]));
}

TEST_F(JetSamples, LocatorsReadTheirRowBack) {
    REQUIRE_SAMPLES();
    for (const char* sample : {"overflow-rows", "types", "deleted-rows"}) {
        open(sample);
        const std::string table = storage->tableNames().front();
        sql::ResultSet r = session->execute("select * from [" + table + "]");
        ASSERT_TRUE(r.updatable());
        int rows = 0;
        while (r.next()) {
            ++rows;
            ASSERT_TRUE(r.row().locators[0]);
            EXPECT_EQ(storage->readRow(table, *r.row().locators[0]), r.values()) << sample;
        }
        EXPECT_GT(rows, 0) << sample;
        EXPECT_FALSE(storage->readRow(table, sql::RowLocator{1, 0}));
    }
}

TEST_F(JetSamples, WritesToAFileOpenedForReadingAreRefusedAndChangeNothing) {
    REQUIRE_SAMPLES();
    open("types");
    for (const char* sql :
         {"delete from Table1", "insert into Table3 values (1, 'x')", "update Table1 set A = 'z'",
          "create table New (A long)", "drop table Table2", "select * into Copy from Table1"}) {
        try {
            session->execute(sql);
            ADD_FAILURE() << "no error for " << sql;
        } catch (const core::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("The database is read-only", 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(text("select Count(*) from Table1"), "2\n");
}

TEST_F(JetSamples, PasswordFileQueries) {
    REQUIRE_SAMPLES();
    open("password", "password");
    EXPECT_EQ(selectedRows("select * from Table1"), expectedRows("password", "Table1"));
}

} // namespace
