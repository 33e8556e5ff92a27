// A counter behind its rows (Access leaves files whose stored counter lies below values the
// rows hold): new values come from above the highest, check calls it a note rather than
// damage, and compaction sets the counter to the highest value.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/compact/Compactor.h"
#include "jet/file/Bytes.h"
#include "jet/schema/TableDefinition.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace write_test;

namespace {

// A table T (ID counter, Name) holding IDs 1..10, whose stored counter is then set back to
// `counter` as Access files can have it.
std::filesystem::path fileWithCounterAt(const std::filesystem::path& dir, std::uint32_t counter) {
    auto file = dir / "counter.mdb";
    std::uint32_t definitionPage = 0;
    {
        auto db = jet::Database::create(file);
        db->begin();
        jet::TableSchema t;
        t.name = "T";
        t.columns = {column("ID", jet::ColumnType::Long, 4, jet::column_flag::kAutoLong),
                     column("Name", jet::ColumnType::Text, 20)};
        db->createTable(t);
        for (int i = 0; i < 10; ++i) db->insertRow("T", {core::Value(), core::Value("row")});
        db->commit();
        definitionPage = db->table("T").schema().definitionPage;
    }
    std::fstream raw(file, std::ios::in | std::ios::out | std::ios::binary);
    raw.seekp(std::streamoff(definitionPage) * jet::kPageSize + jet::tdef::kAutoNumber);
    for (int b = 0; b < 4; ++b) raw.put(static_cast<char>(counter >> (8 * b)));
    return file;
}

std::int32_t idOf(jet::Database& db, jet::RowId row) {
    return db.readRow("T", row)[0].get<std::int32_t>();
}

TEST(Counter, ALaggingCounterIsANoteAndGivesValuesAboveTheHighest) {
    auto dir = testing_support::scratchDir("counter-lagging");
    auto file = fileWithCounterAt(dir, 3);
    auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
    auto report = jet::checkDatabase(*db);
    EXPECT_TRUE(report.ok());
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_NE(report.notes[0].find("the counter of 'ID' stands at 3 but a row holds 10"),
              std::string::npos)
        << report.notes[0];

    // Each way of taking a value, in a transaction rolled back (which lets the counter lag
    // again) and in one kept.
    for (bool keep : {false, true}) {
        db->begin();
        EXPECT_EQ(db->nextCounter("T"), 11);
        EXPECT_EQ(idOf(*db, db->insertRow("T", {core::Value(), core::Value("new")})), 12);
        EXPECT_EQ(idOf(*db, db->insertRowUnindexed("T", {core::Value(), core::Value("bulk")})), 13);
        if (keep)
            db->commit();
        else
            db->rollback();
    }
    db.reset();
    db = jet::Database::open(file);
    EXPECT_EQ(db->table("T").schema().nextAutoNumber, 13u);
    EXPECT_TRUE(jet::checkDatabase(*db).notes.empty());
}

TEST(Counter, CompactionSetsTheCounterToTheHighestValue) {
    auto dir = testing_support::scratchDir("counter-compact");
    // Behind its rows, and ahead of them after the last rows were deleted.
    for (std::uint32_t stored : {3u, 25u}) {
        auto file = fileWithCounterAt(dir, stored);
        jet::compactDatabase(file, dir / "compacted.mdb", "");
        {
            auto db = jet::Database::open(dir / "compacted.mdb", "", jet::OpenMode::ReadWrite);
            EXPECT_EQ(db->table("T").schema().nextAutoNumber, 10u) << stored;
            auto report = jet::checkDatabase(*db);
            EXPECT_TRUE(report.ok() && report.notes.empty()) << stored;
        }
        std::filesystem::remove(dir / "compacted.mdb");
        std::filesystem::remove(file);
    }
}

} // namespace
