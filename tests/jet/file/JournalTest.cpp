// What opening does with a journal left beside the file, and how a failed commit undoes
// itself in the same process.
#include "jet/file/Journal.h"
#include "FileTestSupport.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/file/Checksum.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using file_test::fileBytes;
using file_test::patternPage;
using file_test::writableCopy;
using jet::CommitStep;
using jet::PageFile;
using testing::HasSubstr;
using testing::Not;

constexpr auto kReadWrite = PageFile::Access::ReadWrite;
constexpr auto kReadOnly = PageFile::Access::ReadOnly;

class JournalTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_SAMPLES();
        dir = testing_support::scratchDir(
            std::string("file-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        path = writableCopy("types.mdb", dir);
        journal = jet::journalPathFor(path);
        original = fileBytes(path);
        auto dry = writableCopy("types.mdb", dir, "dry.mdb");
        steps = file_test::recordCommitSteps(dry);
        committed = fileBytes(dry);
    }

    // Leaves the file as a crash just before the journal's deletion does: every new page
    // written, the complete journal still beside it.
    void crashBeforeTheCommitPoint() {
        ASSERT_EQ(
            file_test::crashDuringCommit(path, file_test::indexOf(steps, CommitStep::VoidJournal)),
            file_test::kCrashed);
        ASSERT_TRUE(fs::exists(journal));
        ASSERT_EQ(fileBytes(path), committed);
    }

    fs::path dir, path, journal;
    std::vector<std::uint8_t> original, committed;
    std::vector<CommitStep> steps;
};

TEST_F(JournalTest, TheJournalNameIsTheFileNameWithASuffix) {
    EXPECT_EQ(jet::journalPathFor(dir / "x.mdb"), dir / "x.mdb-journal");
}

TEST_F(JournalTest, ACompleteJournalIsRolledBack) {
    crashBeforeTheCommitPoint();
    auto file = PageFile::open(path, kReadWrite);
    EXPECT_TRUE(file->recoveredJournal());
    EXPECT_EQ(file->pageCount(), original.size() / jet::kPageSize);
    EXPECT_FALSE(fs::exists(journal));
    file.reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(JournalTest, RecoveryInterruptedAndRepeatedGivesTheSameFile) {
    crashBeforeTheCommitPoint();
    auto saved = fileBytes(journal);
    PageFile::open(path, kReadWrite).reset();
    ASSERT_EQ(fileBytes(path), original);
    // As if the first recovery had died after restoring the pages but before the delete.
    file_test::writeFileBytes(journal, saved);
    auto file = PageFile::open(path, kReadWrite);
    EXPECT_TRUE(file->recoveredJournal());
    file.reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(JournalTest, AReadOnlyOpenRollsBackWhenItCanWrite) {
    crashBeforeTheCommitPoint();
    auto file = PageFile::open(path, kReadOnly);
    EXPECT_TRUE(file->recoveredJournal());
    EXPECT_FALSE(file->writable());
    EXPECT_EQ(file->pageCount(), original.size() / jet::kPageSize);
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(fileBytes(path), original);
    file.reset();
    EXPECT_TRUE(PageFile::open(path, kReadWrite)->writable()) << "the lock went with the recovery";
}

TEST_F(JournalTest, AHotJournalThatCannotBeRolledBackKeepsTheFileClosed) {
    crashBeforeTheCommitPoint();
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir, fs::perms::all);
    std::string result = file_test::asUnprivileged([&] {
        std::string seen;
        for (auto access : {kReadOnly, kReadWrite}) {
            try {
                PageFile::open(path, access);
                seen += "opened;";
            } catch (const core::IoError& e) {
                seen += std::string(e.what()) + ";";
            }
        }
        return seen;
    });
    if (result.rfind("SKIP:", 0) == 0) GTEST_SKIP() << result;
    EXPECT_THAT(result, Not(HasSubstr("opened")));
    EXPECT_THAT(result, HasSubstr("needs recovery"));
    EXPECT_THAT(result, HasSubstr("open it for writing"));
    EXPECT_TRUE(fs::exists(journal));
    EXPECT_EQ(fileBytes(path), committed);
}

TEST_F(JournalTest, TheJournalOfAWriterThatIsStillAtWorkIsLeftAlone) {
    crashBeforeTheCommitPoint();
    auto saved = fileBytes(journal);
    auto onDisk = fileBytes(path);
    {
        auto writer = PageFile::open(path, kReadWrite);
        ASSERT_TRUE(writer->recoveredJournal());
        // The writer is now mid-commit as far as anyone looking at the folder can tell.
        file_test::writeFileBytes(journal, saved);
        file_test::writeFileBytes(path, onDisk);
        EXPECT_THROW(PageFile::open(path, kReadOnly), core::InUseError);
        EXPECT_TRUE(fs::exists(journal));
        EXPECT_EQ(fileBytes(path), onDisk);
    }
    PageFile::open(path, kReadOnly).reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(JournalTest, AJournalWithAGarbageHeaderIsDiscarded) {
    std::vector<std::uint8_t> garbage(5000);
    auto page = patternPage(5);
    std::copy(page.begin(), page.end(), garbage.begin());
    file_test::writeFileBytes(journal, garbage);
    auto file = PageFile::open(path, kReadWrite);
    EXPECT_FALSE(file->recoveredJournal());
    EXPECT_FALSE(fs::exists(journal));
    file.reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(JournalTest, AnEmptyOrCutHeaderIsDiscarded) {
    for (std::size_t length : {std::size_t(0), jet::journal::kHeaderSize - 1}) {
        crashBeforeTheCommitPoint();
        auto saved = fileBytes(journal);
        saved.resize(length);
        file_test::writeFileBytes(journal, saved);
        auto file = PageFile::open(path, kReadWrite);
        EXPECT_FALSE(file->recoveredJournal()) << length;
        EXPECT_FALSE(fs::exists(journal));
        file.reset();
        // The journal was not applied, so the pages the "crash" wrote stay as they are.
        EXPECT_EQ(fileBytes(path), committed) << length;
        file_test::writeFileBytes(path, original);
    }
}

// A journal names the file it was written for: left beside another file (a file renamed
// or copied over the name) it is not rolled into it, for reading or for writing, and stays
// for its own file to use.
TEST_F(JournalTest, AJournalBesideAnotherFileIsLeftAlone) {
    crashBeforeTheCommitPoint();
    auto saved = fileBytes(journal);
    struct Other {
        const char* what;
        fs::path file;
    };
    const Other others[] = {
        {"another sample", writableCopy("indexes.mdb", dir, "other.mdb")},
        {"the same sample changed otherwise",
         [&] {
             auto p = writableCopy("types.mdb", dir, "changed.mdb");
             auto bytes = fileBytes(p);
             bytes[100] ^= 0xFF; // the first page differs, the size does not
             file_test::writeFileBytes(p, bytes);
             return p;
         }()},
    };
    for (const auto& other : others) {
        const auto before = fileBytes(other.file);
        const auto misplaced = jet::journalPathFor(other.file);
        file_test::writeFileBytes(misplaced, saved);
        for (auto access : {kReadWrite, kReadOnly}) {
            try {
                PageFile::open(other.file, access);
                ADD_FAILURE() << other.what << ": opened with another file's journal";
            } catch (const core::IoError& e) {
                EXPECT_THAT(e.what(), HasSubstr("does not belong")) << other.what;
            }
            EXPECT_EQ(fileBytes(other.file), before) << other.what;
            EXPECT_EQ(fileBytes(misplaced), saved) << other.what;
        }
    }
    // Its own file still takes it back.
    EXPECT_TRUE(PageFile::open(path, kReadWrite)->recoveredJournal());
    EXPECT_EQ(fileBytes(path), original);
}

// Journals of the format before identities were kept are still rolled back.
TEST_F(JournalTest, AJournalWithoutIdentityIsStillRolledBack) {
    crashBeforeTheCommitPoint();
    auto current = fileBytes(journal);
    // Version 1: the same first 32 bytes, then the header's checksum, then the records.
    std::vector<std::uint8_t> former(current.begin(), current.begin() + 32);
    former[8] = 1;
    const std::uint32_t checksum = jet::crc32(former);
    for (int i = 0; i < 4; ++i) former.push_back(static_cast<std::uint8_t>(checksum >> (8 * i)));
    former.insert(former.end(), current.begin() + jet::journal::kHeaderSize, current.end());
    ASSERT_EQ(former.size() + jet::journal::kHeaderSize - 36, current.size());
    // Its records' checksums started from zero, not from a salt.
    for (std::size_t at = 36; at + jet::journal::kRecordSize <= former.size();
         at += jet::journal::kRecordSize) {
        const std::uint32_t sum = jet::crc32(std::span(former).subspan(at, 4 + jet::kPageSize));
        for (int i = 0; i < 4; ++i)
            former[at + 4 + jet::kPageSize + i] = static_cast<std::uint8_t>(sum >> (8 * i));
    }
    file_test::writeFileBytes(journal, former);
    EXPECT_TRUE(PageFile::open(path, kReadWrite)->recoveredJournal());
    EXPECT_EQ(fileBytes(path), original);
    EXPECT_FALSE(fs::exists(journal));
}

// A writer's later commit writes its journal over the one its first commit left; a crash
// before the new records are all written must not take the earlier records for its own, or
// recovery would put back pages from before the first commit.
TEST_F(JournalTest, ACrashInALaterCommitIgnoresTheRecordsOfAnEarlierOne) {
    ASSERT_EQ(file_test::runInChild([&] {
                  auto file = PageFile::open(path, kReadWrite);
                  file_test::SampleChange{}.apply(*file);
                  file->commit();
                  file->setFaultHook([](CommitStep step, std::uint32_t) {
                      if (step == CommitStep::WriteJournalRecord) ::_exit(file_test::kCrashed);
                  });
                  file_test::SampleChange{}.apply(*file);
                  file->commit();
                  return 0;
              }),
              file_test::kCrashed);
    ASSERT_TRUE(jet::journalPending(path)) << "the new header promises records";
    EXPECT_FALSE(PageFile::open(path, kReadWrite)->recoveredJournal());
    EXPECT_EQ(fileBytes(path), committed);
    EXPECT_FALSE(fs::exists(journal));
}

TEST_F(JournalTest, AJournalWithAMissingOrDamagedRecordIsDiscardedWhole) {
    crashBeforeTheCommitPoint();
    auto saved = fileBytes(journal);
    ASSERT_GT(saved.size(), jet::journal::kHeaderSize + 2 * jet::journal::kRecordSize);
    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    std::vector<Damage> damages{
        {"last record cut short", [](auto& j) { j.resize(j.size() - 100); }},
        {"byte flipped in a record", [](auto& j) { j[jet::journal::kHeaderSize + 4100] ^= 1; }},
        {"byte flipped in a page number", [](auto& j) { j[jet::journal::kHeaderSize] ^= 0x40; }},
        {"byte flipped in the header", [](auto& j) { j[20] ^= 1; }},
    };
    for (const auto& damage : damages) {
        auto bad = saved;
        damage.apply(bad);
        file_test::writeFileBytes(journal, bad);
        file_test::writeFileBytes(path, committed);
        auto file = PageFile::open(path, kReadWrite);
        EXPECT_FALSE(file->recoveredJournal()) << damage.what;
        EXPECT_FALSE(fs::exists(journal)) << damage.what;
        file.reset();
        EXPECT_EQ(fileBytes(path), committed) << damage.what;
    }
}

TEST_F(JournalTest, ACommitThatFailsAtAnyStepLeavesTheFileAsItWas) {
    auto commitPoint = file_test::indexOf(steps, CommitStep::VoidJournal);
    auto changedPage = 1 + 39u; // one of the pages SampleChange rewrites
    for (std::uint32_t failAt = 0; failAt <= commitPoint; ++failAt) {
        SCOPED_TRACE("failing before step " + std::to_string(failAt));
        file_test::writeFileBytes(path, original);
        auto file = PageFile::open(path, kReadWrite);
        auto before = *file->read(changedPage);
        file->setFaultHook([failAt](CommitStep, std::uint32_t index) {
            if (index == failAt) throw core::IoError("simulated failure");
        });
        file_test::SampleChange{}.apply(*file);
        EXPECT_THROW(file->commit(), core::IoError);
        EXPECT_FALSE(file->inTransaction());
        EXPECT_EQ(file->pageCount(), original.size() / jet::kPageSize);
        EXPECT_EQ(*file->read(changedPage), before);
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_EQ(fileBytes(path), original);

        file->setFaultHook({});
        file_test::SampleChange{}.apply(*file);
        file->commit();
        file.reset();
        ASSERT_EQ(fileBytes(path), committed) << "the file stays usable after the failure";
    }
}

TEST_F(JournalTest, AFailureAfterTheCommitPointKeepsTheChange) {
    auto last = file_test::indexOf(steps, CommitStep::SyncVoidJournal);
    ASSERT_EQ(last + 1, steps.size());
    auto file = PageFile::open(path, kReadWrite);
    file->setFaultHook([last](CommitStep, std::uint32_t index) {
        if (index == last) throw core::IoError("simulated failure");
    });
    file_test::SampleChange{}.apply(*file);
    auto pages = file->pageCount();
    try {
        file->commit();
        FAIL() << "the failure was swallowed";
    } catch (const core::IoError& e) {
        EXPECT_THAT(e.what(), HasSubstr("were saved"));
    }
    EXPECT_FALSE(file->inTransaction());
    EXPECT_EQ(file->pageCount(), pages);
    file.reset();
    EXPECT_EQ(fileBytes(path), committed);
}

} // namespace

namespace {

// A change to an Access 97 file's 2 KiB pages: three rewritten, two appended.
void changeJet3Pages(PageFile& file) {
    file.begin();
    for (std::uint32_t page : {1u, 5u, 9u}) {
        jet::PageBytes bytes = *file.read(page);
        for (std::size_t b = 16; b < file.pageSize(); b += 7) bytes[b] ^= 0x5A;
        file.write(page, bytes);
    }
    file.append(patternPage(1));
    file.append(patternPage(2));
}

// The journal keeps a Jet 3 file's own page size: a commit that dies before any of its steps
// leaves the file, once reopened, as it was before the commit or as the commit made it.
TEST(Jet3Journal, ACommitKilledAtAnyStepLeavesTheFileWholeOnReopening) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("file-jet3-journal");
    auto path = writableCopy("jet3/compIndexTestV1997.mdb", dir);
    const auto original = fileBytes(path);
    std::vector<CommitStep> steps;
    {
        auto dry = PageFile::open(writableCopy("jet3/compIndexTestV1997.mdb", dir, "dry.mdb"),
                                  kReadWrite);
        ASSERT_EQ(dry->pageSize(), 2048u);
        dry->setFaultHook([&](CommitStep step, std::uint32_t) { steps.push_back(step); });
        changeJet3Pages(*dry);
        dry->commit();
    }
    const auto committed = fileBytes(dir / "dry.mdb");
    ASSERT_EQ(committed.size(), original.size() + 2 * 2048);
    const auto commitPoint = file_test::indexOf(steps, CommitStep::VoidJournal);
    for (std::uint32_t stopAt = 0; stopAt < steps.size(); ++stopAt) {
        SCOPED_TRACE("killed before step " + std::to_string(stopAt));
        file_test::writeFileBytes(path, original);
        const int status = file_test::runInChild([&] {
            auto file = PageFile::open(path, kReadWrite);
            file->setFaultHook([stopAt](CommitStep, std::uint32_t index) {
                if (index == stopAt) ::_exit(file_test::kCrashed);
            });
            changeJet3Pages(*file);
            file->commit();
            return 0;
        });
        ASSERT_EQ(status, file_test::kCrashed);
        PageFile::open(path, kReadWrite).reset();
        EXPECT_FALSE(fs::exists(jet::journalPathFor(path)));
        EXPECT_EQ(fileBytes(path), stopAt <= commitPoint ? original : committed);
    }
}

} // namespace
