// Compaction copies every table and row into a fresh file without the free space that
// deletions and replaced long values leave behind.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/compact/Compactor.h"

#include <gtest/gtest.h>

using namespace write_test;

namespace {

TEST(Compact, EverySampleCompactsToTheSameContent) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("compact-samples");
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::samplesDir())) {
        if (entry.path().extension() != ".mdb") continue;
        std::string password = entry.path().stem() == "password" ? "password" : "";
        auto target = dir / entry.path().filename();
        jet::compactDatabase(entry.path(), target, password);
        auto source = jet::Database::open(entry.path(), password);
        auto copy = jet::Database::open(target, password);
        EXPECT_EQ(dumpOf(*copy), dumpOf(*source)) << entry.path().filename();
        EXPECT_EQ(copy->header().password, source->header().password);
        std::string problems;
        EXPECT_TRUE(checkPasses(*copy, &problems)) << entry.path().filename() << "\n" << problems;
    }
}

TEST(Compact, DeletedRowsAndFreedLongValuesMakeASmallerFile) {
    auto dir = testing_support::scratchDir("compact-smaller");
    {
        auto db = jet::Database::create(dir / "big.mdb", "pw");
        db->begin();
        db->createTable(everyTypeTable("T"));
        std::vector<jet::RowId> ids;
        for (int i = 0; i < 2000; ++i) ids.push_back(db->insertRow("T", everyTypeRow(i)));
        for (int i = 0; i < 2000; i += 2) db->deleteRow("T", ids[i]);
        db->commit();
    }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    jet::compactDatabase(
        dir / "big.mdb", dir / "small.mdb", "pw",
        [&](std::uint64_t done, std::uint64_t total) { progress.emplace_back(done, total); });
    EXPECT_LT(std::filesystem::file_size(dir / "small.mdb"),
              std::filesystem::file_size(dir / "big.mdb"));
    auto source = jet::Database::open(dir / "big.mdb", "pw");
    auto copy = jet::Database::open(dir / "small.mdb", "pw");
    EXPECT_EQ(dumpOf(*copy), dumpOf(*source));
    EXPECT_EQ(copy->table("T").schema().nextAutoNumber, 2000u);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(std::uint64_t{1000}, std::uint64_t{1000}));
    EXPECT_TRUE(checkPasses(*copy));
}

TEST(Compact, RefusesASourceInUseAndAnExistingDestination) {
    auto dir = testing_support::scratchDir("compact-refusals");
    auto writer = jet::Database::create(dir / "busy.mdb");
    EXPECT_THROW(jet::compactDatabase(dir / "busy.mdb", dir / "copy.mdb", ""), core::InUseError);
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mdb"));
    writer.reset();
    jet::Database::create(dir / "exists.mdb");
    EXPECT_THROW(jet::compactDatabase(dir / "busy.mdb", dir / "exists.mdb", ""), core::IoError);
    // A file without a password opens with any password; the copy keeps having none.
    jet::compactDatabase(dir / "busy.mdb", dir / "copy.mdb", "typed anyway");
    EXPECT_TRUE(jet::Database::open(dir / "copy.mdb")->header().password.empty());
}

} // namespace
