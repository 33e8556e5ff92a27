// A process killed before any one I/O step of a commit: once the file is reopened it must be
// exactly the file before the transaction, or, past the commit point, exactly the new one.
#include "FileTestSupport.h"
#include "common/Samples.h"
#include "jet/file/Journal.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using file_test::fileBytes;
using jet::CommitStep;
using jet::PageFile;

TEST(CrashTest, EveryStepOfACommitIsSafeToDieBefore) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("file-crash");
    auto path = file_test::writableCopy("types.mdb", dir);
    auto journal = jet::journalPathFor(path);
    const auto original = fileBytes(path);

    auto dry = file_test::writableCopy("types.mdb", dir, "dry.mdb");
    const auto steps = file_test::recordCommitSteps(dry);
    const auto committed = fileBytes(dry);
    ASSERT_NE(committed, original);

    // Every kind of step must be among the points tried, and there must be many of them.
    std::set<CommitStep> kinds(steps.begin(), steps.end());
    EXPECT_EQ(kinds.size(), 10u);
    ASSERT_GE(steps.size(), 50u);

    const auto journalCreated = file_test::indexOf(steps, CommitStep::CreateJournal);
    const auto commitPoint = file_test::indexOf(steps, CommitStep::VoidJournal);
    const auto syncJournal = file_test::indexOf(steps, CommitStep::SyncJournal);
    std::map<CommitStep, int> tried;
    for (std::uint32_t stopAt = 0; stopAt <= steps.size(); ++stopAt) {
        bool finished = stopAt == steps.size();
        SCOPED_TRACE("dying before step " + std::to_string(stopAt) +
                     (finished ? std::string(" (after the commit)") : ""));
        file_test::writeFileBytes(path, original);
        ASSERT_EQ(file_test::crashDuringCommit(path, stopAt), finished ? 0 : file_test::kCrashed);
        if (!finished) ++tried[steps[stopAt]];

        // The writer keeps its journal until it closes the file; past the commit point the
        // journal is void.
        bool journalLeft = stopAt > journalCreated && !finished;
        // A process crash loses nothing it wrote, so once the last record is written the
        // journal is whole, even before it is synced.
        bool journalWhole = journalLeft && stopAt >= syncJournal && stopAt <= commitPoint;
        ASSERT_EQ(fs::exists(journal), journalLeft);

        // Readers recover too when they can write; try both ways in turn.
        auto access = stopAt % 2 ? PageFile::Access::ReadWrite : PageFile::Access::ReadOnly;
        auto file = PageFile::open(path, access);
        EXPECT_EQ(file->recoveredJournal(), journalWhole);
        bool newVersion = stopAt > commitPoint;
        const auto& expected = newVersion ? committed : original;
        EXPECT_EQ(file->pageCount(), expected.size() / jet::kPageSize);
        EXPECT_EQ(file->read(1)->at(0), expected[jet::kPageSize]) << "the cache saw the change";
        file.reset();
        // A reader leaves a void journal alone: it may be a live writer's.
        EXPECT_FALSE(jet::journalPending(path));
        ASSERT_TRUE(fileBytes(path) == expected)
            << "the file is neither the old nor the new version it should be";
    }
    for (auto kind : kinds) EXPECT_GT(tried[kind], 0);
}

} // namespace
