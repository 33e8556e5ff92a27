// The catalog lists objects in stored order and tells system tables from user tables;
// table definitions expose columns and well-formed index definitions.
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(Catalog, SeparatesSystemTablesFromUserTables) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("types.mdb"));
    std::vector<std::string> system;
    for (const auto& e : db->catalog().entries())
        if (e.isTable() && e.isSystem()) system.push_back(e.name);
    // The same lists mdb-tables -S gives for this file.
    EXPECT_EQ(system, (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries",
                                                "MSysRelationships", "MSysAccessObjects"}));
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
}

TEST(Catalog, FindsTablesWithoutRegardToCase) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("types.mdb"));
    EXPECT_TRUE(db->hasTable("table1"));
    EXPECT_TRUE(db->hasTable("TABLE1"));
    EXPECT_FALSE(db->hasTable("Table9"));
    EXPECT_EQ(db->table("tAbLe1").schema().name, "Table1");
    EXPECT_THROW(db->table("NoSuchTable"), core::SqlError);
}

TEST(Catalog, CreatedByCatalogHoldsOnlyTheFourSystemTables) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("created-by-catalog.mdb"));
    EXPECT_TRUE(db->tableNames().empty());
    EXPECT_TRUE(db->viewNames().empty());
    std::vector<std::string> tables;
    for (const auto& e : db->catalog().entries())
        if (e.isTable()) tables.push_back(e.name);
    EXPECT_EQ(tables, (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries",
                                                "MSysRelationships"}));
}

TEST(Catalog, IndexDefinitionsReferToRealColumns) {
    REQUIRE_SAMPLES();
    for (const char* file :
         {"indexes.mdb", "compound-index.mdb", "big-index.mdb", "index-properties.mdb"}) {
        auto db = jet::Database::open(testing_support::sample(file));
        std::size_t indexCount = 0;
        for (const auto& name : db->tableNames()) {
            const auto& schema = db->table(name).schema();
            for (const auto& index : schema.indexes) {
                ++indexCount;
                EXPECT_FALSE(index.name.empty()) << file << " " << name;
                ASSERT_LT(index.dataIndex, schema.indexData.size());
                const auto& data = schema.indexData[index.dataIndex];
                EXPECT_FALSE(data.columns.empty()) << file << " " << name << " " << index.name;
                for (const auto& c : data.columns)
                    EXPECT_NE(schema.columnByNumber(c.columnNumber), nullptr)
                        << file << " " << name << " " << index.name;
                if (index.kind == jet::IndexKind::Primary) {
                    EXPECT_TRUE(data.flags & jet::index_flag::kUnique) << index.name;
                }
            }
        }
        EXPECT_GT(indexCount, 0u) << file << " should hold indexes";
    }
}

TEST(Catalog, ColumnsKeepTheirStoredOrderAndSizes) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("deleted-columns.mdb"));
    const auto& schema = db->table("Table1").schema();
    ASSERT_EQ(schema.columns.size(), 4u);
    EXPECT_EQ(schema.columns[0].name, "id");
    EXPECT_EQ(schema.columns[3].name, "data2");
    EXPECT_EQ(schema.columns[2].type, jet::ColumnType::Text);
    EXPECT_EQ(schema.columns[2].size, 100);
    // A deleted column leaves a gap in the column numbers that rows keep using.
    EXPECT_EQ(schema.maxColumns, 6);
    EXPECT_EQ(schema.columns[3].number, 5);
}

} // namespace

namespace {

TEST(Catalog, ColumnPropertiesComeFromTheObjectsPropertyBlob) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("types.mdb"));
    auto table = db->table("Table1");
    const auto& props = table.properties();
    ASSERT_NE(props.column("C"), nullptr);
    // Access gives number columns the default value "0" and leaves them optional.
    const auto* defaultValue = props.column("C")->find("DefaultValue");
    ASSERT_NE(defaultValue, nullptr);
    EXPECT_EQ(defaultValue->value, core::Value("0"));
    const auto* required = props.column("c")->find("required");
    ASSERT_NE(required, nullptr);
    EXPECT_EQ(required->value, core::Value(false));
    // Text columns carry no default; a column map for every column of the table.
    EXPECT_EQ(props.column("A")->find("DefaultValue"), nullptr);
    for (const auto& column : table.schema().columns)
        EXPECT_NE(props.column(column.name), nullptr) << column.name;
}

TEST(Catalog, PropertyBlobsOfEverySampleParse) {
    REQUIRE_SAMPLES();
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::samplesDir())) {
        if (entry.path().extension() != ".mdb") continue;
        auto db = jet::Database::open(entry.path(), "password");
        for (const auto& e : db->catalog().entries())
            EXPECT_NO_THROW(jet::parsePropertyMaps(e.propertyBlob))
                << entry.path().filename() << " " << e.name;
    }
}

} // namespace
