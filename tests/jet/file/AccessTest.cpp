// Who may write: the write lock, read-only files and folders, and creating new files.
#include "FileTestSupport.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/file/Journal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using file_test::asUnprivileged;
using file_test::fileBytes;
using file_test::patternPage;
using file_test::writableCopy;
using jet::PageFile;
using testing::HasSubstr;
using testing::StartsWith;

constexpr auto kReadWrite = PageFile::Access::ReadWrite;
constexpr auto kReadOnly = PageFile::Access::ReadOnly;

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const core::Error& e) {
        return e.what();
    }
    return "no error";
}

class AccessTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_SAMPLES();
        dir = testing_support::scratchDir(
            std::string("file-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        path = writableCopy("types.mdb", dir);
        original = fileBytes(path);
    }

    void skipIfSkipped(const std::string& result) {
        if (result.rfind("SKIP:", 0) == 0) GTEST_SKIP() << result;
    }

    fs::path dir, path;
    std::vector<std::uint8_t> original;
};

TEST_F(AccessTest, ASecondWriterInThisProcessIsRefused) {
    auto writer = PageFile::open(path, kReadWrite);
    try {
        PageFile::open(path, kReadWrite);
        FAIL() << "a second writer was let in";
    } catch (const core::InUseError& e) {
        EXPECT_THAT(e.what(), HasSubstr("already in use"));
        EXPECT_THAT(e.what(), HasSubstr(path.string()));
    }
    EXPECT_THROW(PageFile(std::make_unique<jet::OsFile>(path, jet::OsFile::Mode::ReadWrite)),
                 core::InUseError);
    EXPECT_TRUE(writer->writable());
}

TEST_F(AccessTest, ASecondWriterInAnotherProcessIsRefused) {
    auto writer = PageFile::open(path, kReadWrite);
    int result = file_test::runInChild([&] {
        try {
            PageFile::open(path, kReadWrite);
            return 1;
        } catch (const core::InUseError& e) {
            return std::string(e.what()).find("already in use") != std::string::npos ? 0 : 2;
        }
    });
    EXPECT_EQ(result, 0);
    writer.reset();
    EXPECT_EQ(file_test::runInChild([&] { return PageFile::open(path, kReadWrite) ? 0 : 1; }), 0);
}

TEST_F(AccessTest, ClosingTheWriterReleasesTheLock) {
    PageFile::open(path, kReadWrite).reset();
    auto again = PageFile::open(path, kReadWrite);
    EXPECT_TRUE(again->writable());
}

// Readers share the file with each other and with a writer that has it open; a writer's
// commit waits for the readers that have it open, and readers are kept out only during it.
TEST_F(AccessTest, ReadersComeAndGoBetweenAWritersCommits) {
    auto writer = PageFile::open(path, kReadWrite);
    auto reader = PageFile::open(path, kReadOnly);
    auto second = PageFile::open(path, kReadOnly);
    EXPECT_FALSE(reader->writable());
    EXPECT_EQ(second->pageCount(), reader->pageCount());
    second.reset();

    // A reader still open when the writer commits (here in another process) holds the
    // commit until it closes, and sees the same page all along.
    writer->begin();
    writer->write(1, patternPage(1));
    reader.reset();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 1;
        try {
            auto other = PageFile::open(path, kReadOnly);
            const jet::PageBytes before = *other->read(1);
            char byte = 1;
            if (::write(ready[1], &byte, 1) == 1) ::usleep(300'000);
            other->setEncodingKey(std::nullopt); // drops the cache: read the disk again
            code = *other->read(1) == before ? 0 : 2;
        } catch (...) {
        }
        ::_exit(code);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    writer->commit();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reader saw the commit";
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(*PageFile::open(path, kReadOnly)->read(1), patternPage(1));

    // During a commit readers are kept out; right after it, they see all of it.
    writer->begin();
    writer->write(2, patternPage(2));
    int probes = 0;
    writer->setFaultHook([&](jet::CommitStep step, std::uint32_t) {
        if (step != jet::CommitStep::WriteDatabasePage) return;
        jet::OsFile probe(path, jet::OsFile::Mode::ReadOnly);
        EXPECT_FALSE(probe.tryLock(jet::OsFile::LockRange::Pages, jet::OsFile::Lock::Shared));
        ++probes;
    });
    writer->commit();
    EXPECT_GT(probes, 0);
    auto after = PageFile::open(path, kReadOnly);
    EXPECT_EQ(*after->read(1), patternPage(1));
    EXPECT_EQ(*after->read(2), patternPage(2));
}

TEST_F(AccessTest, AReadOnlyOpenRefusesEveryChange) {
    auto file = PageFile::open(path, kReadOnly);
    EXPECT_FALSE(file->writable());
    std::string message = errorOf([&] { file->begin(); });
    EXPECT_THAT(message, StartsWith("The database is read-only"));
    EXPECT_THAT(message, HasSubstr("reading only"));
    EXPECT_THAT(errorOf([&] { file->write(1, patternPage(1)); }),
                StartsWith("The database is read-only"));
    EXPECT_THAT(errorOf([&] { file->append(patternPage(1)); }),
                StartsWith("The database is read-only"));
    EXPECT_FALSE(file->inTransaction());
    EXPECT_EQ(file->read(1)->size(), jet::kPageSize);
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(AccessTest, AFileTheCallerOpenedForReadingStaysReadOnly) {
    PageFile file(std::make_unique<jet::OsFile>(path, jet::OsFile::Mode::ReadOnly));
    EXPECT_FALSE(file.writable());
    EXPECT_EQ(file.pageCount(), original.size() / jet::kPageSize);
    EXPECT_THAT(errorOf([&] { file.begin(); }), StartsWith("The database is read-only"));
    jet::OsFile probe(path, jet::OsFile::Mode::ReadWrite);
    EXPECT_FALSE(probe.tryLock(jet::OsFile::LockRange::Pages, jet::OsFile::Lock::Exclusive))
        << "readers hold the pages' lock";
}

TEST_F(AccessTest, AReadOnlyFileOpensForReadingWhenWritingIsAskedFor) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir, fs::perms::all);
    std::string result = asUnprivileged([&] {
        auto file = PageFile::open(path, kReadWrite);
        auto other = PageFile::open(path, kReadWrite); // no lock is taken for reading
        return "writable=" + std::to_string(file->writable()) +
               " pages=" + std::to_string(file->pageCount()) +
               " begin=" + errorOf([&] { file->begin(); });
    });
    skipIfSkipped(result);
    EXPECT_THAT(result, HasSubstr("writable=0"));
    EXPECT_THAT(result, HasSubstr("pages=" + std::to_string(original.size() / jet::kPageSize)));
    EXPECT_THAT(result, HasSubstr("begin=The database is read-only"));
    EXPECT_THAT(result, HasSubstr("file is read-only"));
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(AccessTest, AFileInAReadOnlyFolderOpensForReading) {
    fs::permissions(path, fs::perms::all);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);
    std::string result = asUnprivileged([&] {
        auto file = PageFile::open(path, kReadWrite);
        return "writable=" + std::to_string(file->writable()) +
               " begin=" + errorOf([&] { file->begin(); });
    });
    fs::permissions(dir, fs::perms::all);
    skipIfSkipped(result);
    EXPECT_THAT(result, HasSubstr("writable=0"));
    EXPECT_THAT(result, HasSubstr("begin=The database is read-only"));
    EXPECT_THAT(result, HasSubstr("folder is read-only"));
    EXPECT_FALSE(fs::exists(jet::journalPathFor(path)));
}

TEST_F(AccessTest, CreateMakesAnEmptyFileLockedForWriting) {
    auto created = dir / "new.mdb";
    auto file = PageFile::create(created);
    EXPECT_TRUE(file->writable());
    EXPECT_EQ(file->pageCount(), 0u);
    EXPECT_THROW(PageFile::open(created, kReadWrite), core::InUseError);
    // Until its first commit it is not yet a database: readers wait.
    jet::OsFile probe(created, jet::OsFile::Mode::ReadOnly);
    EXPECT_FALSE(probe.tryLock(jet::OsFile::LockRange::Pages, jet::OsFile::Lock::Shared));
    file->begin();
    EXPECT_EQ(file->append(patternPage(1)), 0u);
    EXPECT_EQ(file->append(patternPage(2)), 1u);
    file->commit();
    EXPECT_TRUE(probe.tryLock(jet::OsFile::LockRange::Pages, jet::OsFile::Lock::Shared));
    file.reset();
    EXPECT_EQ(fs::file_size(created), 2 * jet::kPageSize);
    auto reopened = PageFile::open(created, kReadWrite);
    EXPECT_EQ(*reopened->read(1), patternPage(2));
}

TEST_F(AccessTest, CreateRefusesAFileThatExists) {
    EXPECT_THAT(errorOf([&] { PageFile::create(path); }), HasSubstr("already exists"));
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(AccessTest, CreateInAMissingFolderIsAClearError) {
    auto missing = dir / "no such folder" / "new.mdb";
    std::string message = errorOf([&] { PageFile::create(missing); });
    EXPECT_THAT(message, HasSubstr("does not exist"));
    EXPECT_THAT(message, HasSubstr("no such folder"));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

TEST_F(AccessTest, OpeningAMissingFileIsAClearError) {
    EXPECT_THAT(errorOf([&] { PageFile::open(dir / "absent.mdb", kReadWrite); }),
                HasSubstr("Could not find file"));
    EXPECT_THAT(errorOf([&] { PageFile::open(dir / "absent.mdb", kReadOnly); }),
                HasSubstr("Could not find file"));
}

TEST_F(AccessTest, CreateIgnoresAJournalLeftByAnEarlierFileOfTheSameName) {
    auto steps = file_test::recordCommitSteps(writableCopy("types.mdb", dir, "dry.mdb"));
    ASSERT_EQ(
        file_test::crashDuringCommit(path, file_test::indexOf(steps, jet::CommitStep::VoidJournal)),
        file_test::kCrashed);
    ASSERT_TRUE(fs::exists(jet::journalPathFor(path)));
    fs::remove(path);

    auto file = PageFile::create(path);
    EXPECT_FALSE(fs::exists(jet::journalPathFor(path)));
    file->begin();
    file->append(patternPage(7));
    file->commit();
    file.reset();
    auto reopened = PageFile::open(path, kReadWrite);
    EXPECT_FALSE(reopened->recoveredJournal());
    ASSERT_EQ(reopened->pageCount(), 1u);
    EXPECT_EQ(*reopened->read(0), patternPage(7));
}

} // namespace
