// Making new files through the catalog and compacting files through the engine object, with
// the connection strings the Database page builds.
#include "DataFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "data/TADOXCatalog.h"
#include "data/TJetEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using data_test::compactString;
using data_test::createString;
using data_test::errorOf;
using data_test::openString;
using testing::ElementsAre;
using testing::HasSubstr;

class CatalogAndCompactTest : public testing::Test {
protected:
    void SetUp() override {
        dir = testing_support::scratchDir(
            std::string("data-catalog-") +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    fs::path dir;
};

TEST_F(CatalogAndCompactTest, CreateMakesAnEmptyJet4File) {
    data::TADOXCatalog catalog;
    catalog.create(createString(dir / "new.mdb"));
    EXPECT_TRUE(fs::exists(dir / "new.mdb"));
    EXPECT_EQ(catalog.activeConnection(), createString(dir / "new.mdb"));
    data::TADOConnection connection;
    connection.setConnectionString(openString(dir / "new.mdb"));
    EXPECT_TRUE(connection.tableNames().empty());
}

TEST_F(CatalogAndCompactTest, CreateGivesTheFileItsPassword) {
    data::TADOXCatalog catalog;
    catalog.create(createString(dir / "locked.mdb", "pw"));
    data::TADOConnection connection;
    connection.setConnectionString(openString(dir / "locked.mdb"));
    EXPECT_EQ(errorOf([&] { connection.open(); }), "Not a valid password.");
    connection.setConnectionString(openString(dir / "locked.mdb", "pw"));
    connection.open();
    EXPECT_TRUE(connection.connected());
}

TEST_F(CatalogAndCompactTest, CreateRefusesWhatItCannotMake) {
    data::TADOXCatalog catalog;
    catalog.create(createString(dir / "a.mdb"));
    EXPECT_NE(errorOf([&] { catalog.create(createString(dir / "a.mdb")); }), "");
    EXPECT_NE(errorOf([&] { catalog.create(createString(dir / "missing" / "b.mdb")); }), "");
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_THAT(errorOf([&] {
                    catalog.create("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                   (dir / "c.mdb").string() + ";Jet OLEDB:Engine Type=4");
                }),
                HasSubstr("Engine Type 4"));
    EXPECT_FALSE(fs::exists(dir / "c.mdb"));
    EXPECT_EQ(catalog.activeConnection(), createString(dir / "a.mdb"));
}

TEST_F(CatalogAndCompactTest, CompactWritesACopyWithEveryRow) {
    data_test::makeFile(dir / "db.mdb",
                        {{data_test::peopleTable("People"), 40, data_test::personRow}});
    data::TJetEngine engine;
    std::uint64_t reported = 0;
    engine.compactDatabase(compactString(dir / "db.mdb"), compactString(dir / "TEMPdb.mdb"),
                           [&](std::uint64_t done, std::uint64_t) { reported = done; });
    EXPECT_GT(reported, 0u);
    data::TADOConnection connection;
    connection.setConnectionString(openString(dir / "TEMPdb.mdb"));
    EXPECT_THAT(connection.tableNames(), ElementsAre("People"));
    EXPECT_THAT(data_test::rowsOf(connection, "select count(*), max(Age) from People"),
                ElementsAre("40|40"));
}

TEST_F(CatalogAndCompactTest, CompactNeedsThePasswordItIsNotGiven) {
    data_test::makeFile(dir / "pw.mdb", {{data_test::peopleTable(), 1, data_test::personRow}},
                        "secret");
    data::TJetEngine engine;
    EXPECT_EQ(errorOf([&] {
                  engine.compactDatabase(compactString(dir / "pw.mdb"),
                                         compactString(dir / "TEMPpw.mdb"));
              }),
              "Not a valid password.");
    EXPECT_FALSE(fs::exists(dir / "TEMPpw.mdb"));
}

TEST_F(CatalogAndCompactTest, CompactRefusesAFileTheConnectionHoldsOpen) {
    data_test::makeFile(dir / "open.mdb", {{data_test::peopleTable(), 1, data_test::personRow}});
    data::TADOConnection connection;
    connection.setConnectionString(openString(dir / "open.mdb"));
    connection.open();
    data::TJetEngine engine;
    EXPECT_THROW(engine.compactDatabase(compactString(dir / "open.mdb"),
                                        compactString(dir / "TEMPopen.mdb")),
                 core::InUseError);
    EXPECT_TRUE(connection.connected());
}

TEST_F(CatalogAndCompactTest, CompactRefusesAnExistingDestination) {
    data_test::makeFile(dir / "s.mdb", {{data_test::peopleTable(), 1, data_test::personRow}});
    data_test::makeFile(dir / "d.mdb",
                        {{data_test::peopleTable("Other"), 1, data_test::personRow}});
    data::TJetEngine engine;
    EXPECT_NE(errorOf([&] {
                  engine.compactDatabase(compactString(dir / "s.mdb"),
                                         compactString(dir / "d.mdb"));
              }),
              "");
    data::TADOConnection connection;
    connection.setConnectionString(openString(dir / "d.mdb"));
    EXPECT_THAT(connection.tableNames(), ElementsAre("Other"));
}

TEST_F(CatalogAndCompactTest, CompactOfAMissingFileFails) {
    data::TJetEngine engine;
    EXPECT_THAT(errorOf([&] {
                    engine.compactDatabase(compactString(dir / "none.mdb"),
                                           compactString(dir / "TEMPnone.mdb"));
                }),
                HasSubstr("Could not find file"));
}

} // namespace
