// The global usage map in either form Access writes: inline (small files) or reference
// (larger ones: the row names map pages). Both are read and written, and a file keeps the
// form it has.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/write/UsageMapEditor.h"

#include <gtest/gtest.h>

using namespace write_test;

namespace {

std::uint8_t globalMapKind(const jet::Database& db) {
    auto page = db.pages().read(1);
    return (*page)[jet::rowSlot(jet::bytesOf(page), 0).start];
}

TEST(GlobalUsageMap, AReferenceMapIsReadWrittenAndKept) {
    auto dir = testing_support::scratchDir("global-map-reference");
    auto file = dir / "reference.mdb";
    {
        auto db = jet::Database::create(file);
        db->begin();
        db->createTable(everyTypeTable("T"));
        for (int i = 0; i < 300; ++i) db->insertRow("T", everyTypeRow(i));
        db->createTable(everyTypeTable("Dropped"));
        for (int i = 0; i < 300; ++i) db->insertRow("Dropped", everyTypeRow(i));
        db->commit();
        db->begin();
        db->dropTable("Dropped"); // free pages for the map to hold
        db->commit();
    }
    const std::uint32_t mapPage = makeGlobalUsageMapReference(file);
    auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
    ASSERT_EQ(globalMapKind(*db), jet::usage_map::kReference);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    const auto freeBefore = jet::readUsageMap(db->pages(), 1u << 8, jet::BeyondEnd::Ignore);
    ASSERT_FALSE(freeBefore.empty());
    EXPECT_LT(freeBefore.front(), mapPage);

    // Freed pages are used first, then the file grows past what an inline map covers.
    db->begin();
    std::vector<jet::RowId> rows;
    for (int i = 300; i < 3000; ++i) rows.push_back(db->insertRow("T", everyTypeRow(i)));
    db->commit();
    EXPECT_GT(db->pages().pageCount(), jet::usage_map::kInlinePages + 2u);
    EXPECT_EQ(globalMapKind(*db), jet::usage_map::kReference);
    const auto freeAfter = jet::readUsageMap(db->pages(), 1u << 8, jet::BeyondEnd::Ignore);
    for (auto page : freeBefore)
        EXPECT_FALSE(std::count(freeAfter.begin(), freeAfter.end(), page)) << page;
    // Deleted rows give pages back, into the same map.
    db->begin();
    for (std::size_t i = 0; i < rows.size(); i += 2) db->deleteRow("T", rows[i]);
    db->commit();
    EXPECT_EQ(globalMapKind(*db), jet::usage_map::kReference);
    EXPECT_GT(jet::readUsageMap(db->pages(), 1u << 8, jet::BeyondEnd::Ignore).size(),
              freeAfter.size());
    problems.clear();
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    EXPECT_EQ(readAll(*db, "T").size(), 300u + 1350u);
}

} // namespace
