// Compacting a whole Access application keeps everything it holds but free space: catalog
// rows of every type with their properties and blobs, every row of every table (system
// tables included), with table ids (definition pages) translated consistently.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/compact/Compactor.h"
#include "jet/compact/ObjectIds.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace write_test;

namespace {

std::filesystem::path applicationSample() {
    return testing_support::sampleFile("application");
}

#define REQUIRE_APPLICATION()                                                                      \
    do {                                                                                           \
        if (!std::filesystem::exists(applicationSample()))                                         \
            GTEST_SKIP() << "no sample application at " << applicationSample();                    \
    } while (0)

// Original id -> copy id, matched by parent, name and type.
std::map<std::int32_t, std::int32_t> idsBetween(const jet::Database& a, const jet::Database& b) {
    std::map<std::tuple<std::int32_t, std::string, std::int16_t>, std::int32_t> byKey;
    for (const auto& e : b.catalog().entries()) byKey[{e.parentId, e.name, e.type}] = e.id;
    std::map<std::int32_t, std::int32_t> ids;
    for (const auto& e : a.catalog().entries())
        if (auto it = byKey.find({e.parentId, e.name, e.type}); it != byKey.end())
            ids[e.id] = it->second;
    return ids;
}

// A table's rows with the columns that name objects translated to the copy's ids.
std::vector<std::vector<core::Value>>
translatedRows(const jet::Database& db, const std::string& table,
               const std::map<std::int32_t, std::int32_t>& ids) {
    auto rows = readAll(db, table);
    const auto& columns = db.table(table).schema().columns;
    for (auto name : jet::objectIdColumns(table))
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c].name == name)
                for (auto& row : rows)
                    if (auto id = row[c].getIf<std::int32_t>(); id && ids.count(*id))
                        row[c] = core::Value(ids.at(*id));
    return rows;
}

// Rows by column name, so that tables whose columns are listed in another order compare.
std::vector<std::map<std::string, core::Value>> byName(const jet::Database& db,
                                                       const std::string& table,
                                                       std::vector<std::vector<core::Value>> rows) {
    const auto& columns = db.table(table).schema().columns;
    std::vector<std::map<std::string, core::Value>> out;
    for (auto& row : rows) {
        std::map<std::string, core::Value> named;
        for (std::size_t c = 0; c < columns.size(); ++c) named[columns[c].name] = row[c];
        out.push_back(std::move(named));
    }
    return out;
}

TEST(CompactApplication, KeepsEveryCatalogRowAndEveryRowOfEveryTable) {
    REQUIRE_APPLICATION();
    auto dir = testing_support::scratchDir("compact-application");
    auto original = testing_support::writableCopyOfSample("application", dir);
    jet::compactDatabase(original, dir / "compacted.mdb", "");
    auto before = jet::Database::open(original);
    auto after = jet::Database::open(dir / "compacted.mdb");
    auto ids = idsBetween(*before, *after);

    const auto& from = before->catalog().entries();
    const auto& to = after->catalog().entries();
    ASSERT_EQ(to.size(), from.size());
    std::size_t tables = 0, queries = 0, forms = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        SCOPED_TRACE(from[i].name);
        ASSERT_TRUE(ids.count(from[i].id));
        EXPECT_EQ(to[i].id, ids.at(from[i].id));
        EXPECT_EQ(to[i].name, from[i].name);
        EXPECT_EQ(to[i].type, from[i].type);
        EXPECT_EQ(to[i].flags, from[i].flags);
        EXPECT_EQ(to[i].propertyBlob, from[i].propertyBlob);
        // Only tables move: every other object keeps its id.
        if (!from[i].isTable()) {
            EXPECT_EQ(to[i].id, from[i].id);
        }
        tables += from[i].isTable();
        queries += from[i].type == static_cast<std::int16_t>(jet::ObjectType::Query);
        forms += from[i].type == static_cast<std::int16_t>(jet::ObjectType::Form);
    }
    EXPECT_EQ(tables, 22u);
    EXPECT_EQ(queries, 55u);
    EXPECT_EQ(forms, 22u);

    for (const auto& e : from) {
        if (!e.isTable()) continue;
        SCOPED_TRACE(e.name);
        auto expected = byName(*before, e.name, translatedRows(*before, e.name, ids));
        auto actual = byName(*after, e.name, readAll(*after, e.name));
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t r = 0; r < actual.size(); ++r) EXPECT_TRUE(actual[r] == expected[r]) << r;
    }
    EXPECT_EQ(dumpOf(*after), dumpOf(*before));
    for (const auto& name : before->viewNames())
        EXPECT_EQ(after->queryText(name), before->queryText(name)) << name;
    std::string problems;
    EXPECT_TRUE(checkPasses(*after, &problems)) << problems;
}

// Every index of the file as Access wrote it agrees with our keys, accented and expanding
// letters and trailing blanks included.
TEST(CompactApplication, TheApplicationAsAccessWroteItPassesCheck) {
    REQUIRE_APPLICATION();
    auto db = jet::Database::open(applicationSample());
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(CompactApplication, ANewOrderGetsAFreshNumberAndCompactionResetsTheCounter) {
    REQUIRE_APPLICATION();
    auto dir = testing_support::scratchDir("compact-application-counter");
    auto file = testing_support::writableCopyOfSample("application", dir);
    {
        auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
        db->begin();
        const auto& schema = db->table("Orders").schema();
        auto at = [&](std::string_view name) {
            return static_cast<std::size_t>(schema.findColumn(name) - schema.columns.data());
        };
        std::vector<core::Value> order(schema.columns.size());
        order[at("CustomerID")] = core::Value(std::string("ALFKI"));
        auto row = db->insertRow("Orders", order);
        EXPECT_EQ(db->readRow("Orders", row)[at("OrderID")], core::Value(std::int32_t{11078}));
        db->commit();
    }
    jet::compactDatabase(file, dir / "compacted.mdb", "");
    auto db = jet::Database::open(dir / "compacted.mdb");
    EXPECT_EQ(db->table("Orders").schema().nextAutoNumber, 11078u);
}

} // namespace
