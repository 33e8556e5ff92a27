// Saved queries through jet::Database on a new file: created with their catalog entry and
// MSysQueries rows, read back, listed, dropped, undone by a rollback, and refused or reported
// clearly when something is wrong.
#include "common/Samples.h"
#include "common/SoundFile.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/query/QueryStore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using jet::query::Attribute;
using jet::query::makeRow;
using jet::query::QueryKind;
using jet::query::QueryRow;

class SavedQueries : public ::testing::Test {
protected:
    void SetUp() override {
        path = testing_support::scratchDir(
                   std::string("jet-query-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()) /
               "q.mdb";
        db = jet::Database::create(path);
        jet::TableSchema people;
        people.name = "People";
        jet::ColumnDef id;
        id.name = "ID";
        id.type = jet::ColumnType::Long;
        jet::ColumnDef name;
        name.name = "Name";
        name.type = jet::ColumnType::Text;
        name.size = 100;
        people.columns = {id, name};
        db->begin();
        db->createTable(people);
        db->commit();
    }

    // SELECT People.Name FROM People WHERE (People.ID > 1), as rows.
    static std::vector<QueryRow> namesRows() {
        return {makeRow(Attribute::Flags), makeRow(Attribute::Table, {}, 0, "People"),
                makeRow(Attribute::Column, "People.Name"),
                makeRow(Attribute::Where, "(People.ID > 1)")};
    }

    void create(const std::string& name, std::vector<QueryRow> rows,
                QueryKind kind = QueryKind::Select) {
        db->begin();
        db->createQuery(name, kind, std::move(rows));
        db->commit();
    }

    void reopen() {
        db.reset();
        db = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
    }

    void expectSound() { EXPECT_TRUE(testing_support::passesCheck(*db)); }

    std::filesystem::path path;
    std::unique_ptr<jet::Database> db;
};

TEST_F(SavedQueries, ACreatedQueryIsListedReadAndSurvivesReopening) {
    create("Names", namesRows());
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Names"});
    EXPECT_TRUE(db->hasQuery("names"));
    EXPECT_EQ(db->queryKind("Names"), QueryKind::Select);
    const std::string expected = "SELECT People.Name\r\nFROM People\r\nWHERE (People.ID > 1);";
    EXPECT_EQ(db->queryText("NAMES"), expected);
    reopen();
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Names"});
    EXPECT_EQ(db->queryText("Names"), expected);
    EXPECT_EQ(db->tableNames(), std::vector<std::string>{"People"});
    expectSound();
}

TEST_F(SavedQueries, RowsAreStoredFramedAndInAttributeOrder) {
    auto rows = namesRows();
    std::reverse(rows.begin(), rows.end());
    create("Names", rows);
    const auto stored = db->queryRows("Names");
    std::vector<int> attributes;
    for (const auto& r : stored) attributes.push_back(r.attribute);
    EXPECT_EQ(attributes, (std::vector<int>{0, 1, 3, 5, 6, 8, 255}));
    EXPECT_EQ(stored[1].flag, 1); // the type row of a select query

    // The catalog entry: a query (type 5) among the tables, kind bits zero.
    const jet::CatalogEntry* entry = db->catalog().findObject("Names", jet::ObjectType::Query);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->flags, 0u);
    const jet::CatalogEntry* tables =
        db->catalog().findObject("Tables", jet::ObjectType::Container);
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(entry->parentId, tables->id);
    // The MSysQueries rows carry the entry's Id.
    auto queries = db->table("MSysQueries");
    EXPECT_EQ(jet::query::readQueryRows(queries, entry->id).size(), stored.size());
}

TEST_F(SavedQueries, AUnionQueryIsKeptButNotListedAsAView) {
    create("Both",
           {makeRow(Attribute::Flags, {}, 3),
            makeRow(Attribute::Table, "SELECT Name FROM People", 0, {}, "X7YZ_____1"),
            makeRow(Attribute::Table, "SELECT Name FROM People", 0, {}, "X7YZ_____2")},
           QueryKind::Union);
    EXPECT_TRUE(db->viewNames().empty());
    EXPECT_EQ(db->queryKind("Both"), QueryKind::Union);
    EXPECT_EQ(db->queryText("Both"), "SELECT Name FROM People\r\nUNION SELECT Name FROM People;");
}

TEST_F(SavedQueries, DropTakesTheEntryAndItsRows) {
    create("Names", namesRows());
    create("Other", namesRows());
    const std::int32_t id = db->catalog().findObject("Names", jet::ObjectType::Query)->id;
    db->begin();
    db->dropQuery("names");
    db->commit();
    EXPECT_FALSE(db->hasQuery("Names"));
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Other"});
    EXPECT_TRUE(jet::query::readQueryRows(db->table("MSysQueries"), id).empty());
    EXPECT_EQ(db->queryText("Other"),
              "SELECT People.Name\r\nFROM People\r\nWHERE (People.ID > 1);");
    reopen();
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Other"});
    expectSound();
}

TEST_F(SavedQueries, ARollbackTakesANewQueryAway) {
    db->begin();
    db->createQuery("Names", QueryKind::Select, namesRows());
    EXPECT_TRUE(db->hasQuery("Names"));
    db->rollback();
    EXPECT_FALSE(db->hasQuery("Names"));
    EXPECT_TRUE(db->viewNames().empty());
    expectSound();
}

TEST_F(SavedQueries, NamesAreSharedWithTables) {
    db->begin();
    EXPECT_THROW(
        {
            try {
                db->createQuery("people", QueryKind::Select, namesRows());
            } catch (const core::SqlError& e) {
                EXPECT_STREQ(e.what(), "Table 'people' already exists.");
                throw;
            }
        },
        core::SqlError);
    db->createQuery("Names", QueryKind::Select, namesRows());
    EXPECT_THROW(db->createQuery("NAMES", QueryKind::Select, namesRows()), core::SqlError);
    jet::TableSchema clash;
    clash.name = "Names";
    jet::ColumnDef c;
    c.name = "x";
    c.type = jet::ColumnType::Long;
    clash.columns = {c};
    EXPECT_THROW(db->createTable(clash), core::SqlError);
    db->commit();
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Names"});
}

TEST_F(SavedQueries, RefusedRequests) {
    EXPECT_THROW(db->createQuery("Names", QueryKind::Select, namesRows()),
                 core::Error); // no transaction
    db->begin();
    EXPECT_THROW(db->createQuery("", QueryKind::Select, namesRows()), core::SqlError);
    EXPECT_THROW(db->createQuery("Make", QueryKind::MakeTable, namesRows()), core::SqlError);
    auto framing = namesRows();
    framing.push_back(makeRow(Attribute::End));
    EXPECT_THROW(db->createQuery("Framed", QueryKind::Select, framing), core::SqlError);
    EXPECT_THROW(db->dropQuery("Missing"), core::SqlError);
    EXPECT_THROW(db->dropQuery("People"), core::SqlError); // a table is no query
    db->commit();
    EXPECT_THROW(db->queryText("Missing"), core::SqlError);
    EXPECT_TRUE(db->viewNames().empty());
    EXPECT_TRUE(db->hasTable("People"));
}

TEST_F(SavedQueries, DamagedRowsGiveAnErrorNamingTheQuery) {
    create("Names", namesRows());
    const std::int32_t id = db->catalog().findObject("Names", jet::ObjectType::Query)->id;
    // Take the End row away, as a damaged file might have it.
    db->begin();
    for (const auto& stored : jet::query::readQueryRows(db->table("MSysQueries"), id))
        if (stored.row.kind() == Attribute::End) db->deleteRow("MSysQueries", stored.id);
    db->commit();
    try {
        db->queryText("Names");
        FAIL() << "no error";
    } catch (const core::FormatError& e) {
        EXPECT_STREQ(e.what(), "The saved query 'Names' cannot be read: its end row is missing.");
    }
    // Still listed, and still droppable.
    EXPECT_EQ(db->viewNames(), std::vector<std::string>{"Names"});
    db->begin();
    db->dropQuery("Names");
    db->commit();
    EXPECT_FALSE(db->hasQuery("Names"));
}

TEST_F(SavedQueries, AnUnknownAttributeIsReported) {
    auto rows = namesRows();
    create("Names", rows);
    const std::int32_t id = db->catalog().findObject("Names", jet::ObjectType::Query)->id;
    db->begin();
    auto odd = makeRow(Attribute::Where, "x");
    odd.attribute = 42;
    const auto schema = db->table("MSysQueries").sharedSchema();
    db->insertRow("MSysQueries", jet::query::queryRowValues(*schema, id, odd, 99));
    db->commit();
    try {
        db->queryText("Names");
        FAIL() << "no error";
    } catch (const core::FormatError& e) {
        EXPECT_STREQ(e.what(),
                     "The saved query 'Names' cannot be read: a row has the unknown attribute 42.");
    }
}

TEST_F(SavedQueries, ManyQueriesGetDistinctIds) {
    for (int i = 0; i < 20; ++i) create("Q" + std::to_string(i), namesRows());
    std::vector<std::int32_t> ids;
    for (const auto& e : db->catalog().entries()) ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(db->viewNames().size(), 20u);
    reopen();
    EXPECT_EQ(db->queryText("Q7"), "SELECT People.Name\r\nFROM People\r\nWHERE (People.ID > 1);");
    expectSound();
}

} // namespace
