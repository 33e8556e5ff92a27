// Compaction copies every table and row into a fresh file without the free space that
// deletions and replaced long values leave behind.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/compact/Compactor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
    EXPECT_EQ(progress.front().first, 0u);
    EXPECT_GE(progress.back().second, 1000u); // the system tables' rows count too
    EXPECT_EQ(progress.back().first, progress.back().second);
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

// A source with some bulk: rows with memos and OLE values, then two indexes built over
// them (so packed full, as Access leaves a file it compacted).
void writeSource(const std::filesystem::path& file, int rows, bool shuffled) {
    auto db = jet::Database::create(file, "pw");
    db->begin();
    db->createTable(everyTypeTable("T"));
    std::vector<int> order(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) order[static_cast<std::size_t>(i)] = i + 1;
    if (shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (int i : order) db->insertRow("T", everyTypeRow(i));
    jet::IndexData key, byName;
    key.columns = {{0, true}};
    key.flags = 0x89;
    byName.columns = {{1, true}};
    jet::IndexDef keyDef, nameDef;
    keyDef.name = "PrimaryKey";
    keyDef.kind = jet::IndexKind::Primary;
    nameDef.name = "ByName";
    db->createIndex("T", key, keyDef);
    db->createIndex("T", byName, nameDef);
    db->commit();
}

TEST(Compact, TheCopyIsNoLargerThanASourceHoldingTheSameData) {
    auto dir = testing_support::scratchDir("compact-no-larger");
    for (bool shuffled : {false, true}) {
        auto source = dir / (shuffled ? "shuffled.mdb" : "ordered.mdb");
        auto copy = dir / (shuffled ? "shuffled-copy.mdb" : "ordered-copy.mdb");
        writeSource(source, 2000, shuffled);
        jet::compactDatabase(source, copy, "pw");
        EXPECT_LE(std::filesystem::file_size(copy), std::filesystem::file_size(source)) << source;
        auto db = jet::Database::open(copy, "pw");
        EXPECT_EQ(dumpOf(*db), dumpOf(*jet::Database::open(source, "pw")));
        EXPECT_TRUE(checkPasses(*db));
    }
}

std::filesystem::path temporaryOf(const std::filesystem::path& destination) {
    auto p = destination;
    p += ".compacting";
    return p;
}

TEST(Compact, AFailedCompactionLeavesNoDestinationAndNoTemporaryFile) {
    auto dir = testing_support::scratchDir("compact-failed");
    writeSource(dir / "source.mdb", 1500, false);
    auto stopHalfWay = [](std::uint64_t done, std::uint64_t total) {
        if (done > 0 && done < total) throw core::IoError("No space left on device.");
    };
    EXPECT_THROW(jet::compactDatabase(dir / "source.mdb", dir / "copy.mdb", "pw", stopHalfWay),
                 core::IoError);
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mdb"));
    EXPECT_FALSE(std::filesystem::exists(temporaryOf(dir / "copy.mdb")));
}

// Compactions killed at points spread over a whole run: the destination is absent or
// complete, and the next attempt (finding the killed one's temporary file) succeeds.
// TABLORY_KILL_TRIALS sets the number of trials (10 unless given).
TEST(Compact, AKilledCompactionLeavesTheDestinationAbsentOrComplete) {
    auto dir = testing_support::scratchDir("compact-killed");
    auto source = dir / "source.mdb";
    auto destination = dir / "copy.mdb";
    writeSource(source, 1500, true);
    const std::string expected = dumpOf(*jet::Database::open(source, "pw"));
    auto start = std::chrono::steady_clock::now();
    jet::compactDatabase(source, dir / "timed.mdb", "pw");
    const auto whole = std::chrono::steady_clock::now() - start;

    const char* env = std::getenv("TABLORY_KILL_TRIALS");
    const int trials = env ? std::max(1, std::atoi(env)) : 10;
    int complete = 0;
    for (int trial = 0; trial < trials; ++trial) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                jet::compactDatabase(source, destination, "pw");
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(whole * (trial + 1) / (trials + 1));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "trial " << trial;
        }
        if (std::filesystem::exists(destination)) {
            ++complete;
            auto db = jet::Database::open(destination, "pw");
            EXPECT_EQ(dumpOf(*db), expected) << "trial " << trial;
            EXPECT_TRUE(checkPasses(*db)) << "trial " << trial;
            db.reset();
            std::filesystem::remove(destination);
        }
    }
    jet::compactDatabase(source, destination, "pw");
    EXPECT_EQ(dumpOf(*jet::Database::open(destination, "pw")), expected);
    EXPECT_FALSE(std::filesystem::exists(temporaryOf(destination)));
    std::cout << complete << " of " << trials << " killed compactions had finished\n";
}

} // namespace
