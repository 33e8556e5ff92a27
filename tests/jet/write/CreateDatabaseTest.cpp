// A new file is a real Jet 4 database: it reopens, passes the check, holds the catalog's
// system tables, keeps its password, and refuses to be made twice.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/file/DatabaseHeader.h"
#include "jet/file/HeaderPage.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace write_test;

namespace {

TEST(CreateDatabase, NewFileHoldsTheSystemTablesAndPassesTheCheck) {
    auto dir = testing_support::scratchDir("create-empty");
    auto path = dir / "new.mdb";
    jet::Database::create(path);
    auto db = jet::Database::open(path);
    EXPECT_TRUE(db->tableNames().empty());
    std::vector<std::string> tables;
    for (const auto& e : db->catalog().entries())
        if (e.isTable()) tables.push_back(e.name);
    EXPECT_EQ(tables, (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries",
                                                "MSysRelationships"}));
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    EXPECT_EQ(db->table("MSysACEs").schema().rowCount, 16u);
}

TEST(CreateDatabase, SystemTablesMatchTheCatalogsOwnFile) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("create-like-catalog");
    jet::Database::create(dir / "new.mdb");
    auto ours = jet::Database::open(dir / "new.mdb");
    auto theirs = jet::Database::open(testing_support::sample("created-by-catalog.mdb"));
    for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
        const auto& a = ours->table(name).schema();
        const auto& b = theirs->table(name).schema();
        ASSERT_EQ(a.columns.size(), b.columns.size()) << name;
        for (std::size_t i = 0; i < a.columns.size(); ++i) {
            EXPECT_EQ(a.columns[i].name, b.columns[i].name) << name;
            EXPECT_EQ(a.columns[i].type, b.columns[i].type) << name << "." << a.columns[i].name;
            EXPECT_EQ(a.columns[i].number, b.columns[i].number) << name << "." << a.columns[i].name;
            EXPECT_EQ(a.columns[i].size, b.columns[i].size) << name << "." << a.columns[i].name;
            EXPECT_EQ(a.columns[i].isFixed(), b.columns[i].isFixed())
                << name << "." << a.columns[i].name;
        }
        ASSERT_EQ(a.indexes.size(), b.indexes.size()) << name;
        for (std::size_t i = 0; i < a.indexes.size(); ++i) {
            EXPECT_EQ(a.indexes[i].name, b.indexes[i].name) << name;
            EXPECT_EQ(a.indexes[i].kind, b.indexes[i].kind) << name;
            EXPECT_EQ(a.indexData[a.indexes[i].dataIndex].flags,
                      b.indexData[b.indexes[i].dataIndex].flags)
                << name;
        }
        EXPECT_EQ(a.systemTable, b.systemTable);
    }
    // The same catalog rows, apart from dates.
    std::vector<std::string> ourObjects, theirObjects;
    for (const auto& e : ours->catalog().entries())
        ourObjects.push_back(e.name + "/" + std::to_string(e.type) + "/" + std::to_string(e.flags));
    for (const auto& e : theirs->catalog().entries())
        theirObjects.push_back(e.name + "/" + std::to_string(e.type) + "/" +
                               std::to_string(e.flags));
    EXPECT_EQ(ourObjects, theirObjects);
}

TEST(CreateDatabase, HeaderPageMatchesTheCatalogsForTheSameDate) {
    REQUIRE_SAMPLES();
    std::ifstream in(testing_support::sample("created-by-catalog.mdb"), std::ios::binary);
    jet::PageBytes theirs{};
    in.read(reinterpret_cast<char*>(theirs.data()), theirs.size());
    auto header = jet::DatabaseHeader::read(theirs);
    jet::PageBytes ours = jet::makeHeaderPage("", header.created);
    EXPECT_EQ(ours, theirs);
}

TEST(CreateDatabase, PasswordIsStoredAsJetStoresIt) {
    auto dir = testing_support::scratchDir("create-password");
    jet::Database::create(dir / "secret.mdb", "s3cr\xC3\xA9t");
    EXPECT_THROW(jet::Database::open(dir / "secret.mdb"), core::PasswordError);
    EXPECT_THROW(jet::Database::open(dir / "secret.mdb", "S3CR\xC3\x89T"), core::PasswordError);
    auto db = jet::Database::open(dir / "secret.mdb", "s3cr\xC3\xA9t");
    EXPECT_EQ(db->header().password, "s3cr\xC3\xA9t");
    EXPECT_THROW(jet::makeHeaderPage(std::string(21, 'x'), core::DateTime{40000}), core::Error);
}

TEST(CreateDatabase, RefusesAnExistingFileAndAMissingFolder) {
    auto dir = testing_support::scratchDir("create-refusals");
    jet::Database::create(dir / "one.mdb");
    auto before = std::filesystem::file_size(dir / "one.mdb");
    EXPECT_THROW(jet::Database::create(dir / "one.mdb"), core::IoError);
    EXPECT_EQ(std::filesystem::file_size(dir / "one.mdb"), before);
    EXPECT_THROW(jet::Database::create(dir / "no" / "such" / "folder.mdb"), core::IoError);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

} // namespace
