// Transactions in one process: what reads see, what commit keeps and rollback forgets.
#include "FileTestSupport.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/file/Journal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using file_test::fileBytes;
using file_test::patternPage;
using file_test::writableCopy;
using jet::PageBytes;
using jet::PageFile;
using testing::HasSubstr;

constexpr auto kReadWrite = PageFile::Access::ReadWrite;

PageBytes pageOnDisk(const std::vector<std::uint8_t>& file, std::uint32_t page) {
    PageBytes bytes;
    std::copy_n(file.begin() + std::ptrdiff_t(page) * jet::kPageSize, jet::kPageSize,
                bytes.begin());
    return bytes;
}

class TransactionTest : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_SAMPLES();
        dir = testing_support::scratchDir(
            std::string("file-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        path = writableCopy("types.mdb", dir);
        original = fileBytes(path);
        originalPages = static_cast<std::uint32_t>(original.size() / jet::kPageSize);
    }

    fs::path dir, path;
    std::vector<std::uint8_t> original;
    std::uint32_t originalPages = 0;
};

TEST_F(TransactionTest, ReadsSeeTheTransactionsOwnWritesBeforeTheDiskDoes) {
    auto file = PageFile::open(path, kReadWrite);
    ASSERT_TRUE(file->writable());
    EXPECT_FALSE(file->recoveredJournal());
    EXPECT_EQ(file->pageCount(), originalPages);
    file->begin();
    EXPECT_TRUE(file->inTransaction());
    file->write(5, patternPage(1));
    EXPECT_EQ(*file->read(5), patternPage(1));
    EXPECT_EQ(*file->read(6), pageOnDisk(original, 6));
    EXPECT_EQ(fileBytes(path), original);
    EXPECT_FALSE(fs::exists(jet::journalPathFor(path)));
}

TEST_F(TransactionTest, RollbackForgetsWritesAndAppendedPages) {
    auto file = PageFile::open(path, kReadWrite);
    auto before = file->read(5); // now cached: rollback must not leave a stale copy behind
    file->begin();
    file->write(5, patternPage(1));
    std::uint32_t added = file->append(patternPage(2));
    EXPECT_EQ(added, originalPages);
    EXPECT_EQ(file->pageCount(), originalPages + 1);
    file->rollback();
    EXPECT_FALSE(file->inTransaction());
    EXPECT_EQ(file->pageCount(), originalPages);
    EXPECT_EQ(*file->read(5), *before);
    EXPECT_EQ(*file->read(5), pageOnDisk(original, 5));
    EXPECT_THROW(file->read(added), core::FormatError);
    file.reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(TransactionTest, AppendedPagesAreNumberedInOrderAndReadBack) {
    auto file = PageFile::open(path, kReadWrite);
    file->begin();
    for (std::uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(file->append(patternPage(10 + i)), originalPages + i);
    file->write(originalPages + 1, patternPage(99));
    EXPECT_EQ(file->pageCount(), originalPages + 3);
    EXPECT_EQ(*file->read(originalPages), patternPage(10));
    EXPECT_EQ(*file->read(originalPages + 1), patternPage(99));
    file->commit();
    EXPECT_EQ(*file->read(originalPages + 2), patternPage(12));
    file.reset();

    auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), original.size() + 3 * jet::kPageSize);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), bytes.begin()));
    EXPECT_EQ(pageOnDisk(bytes, originalPages + 1), patternPage(99));
    auto reopened = PageFile::open(path, kReadWrite);
    EXPECT_EQ(reopened->pageCount(), originalPages + 3);
    EXPECT_EQ(*reopened->read(originalPages + 2), patternPage(12));
}

TEST_F(TransactionTest, CommitKeepsEveryChangeAndVoidsTheJournal) {
    auto file = PageFile::open(path, kReadWrite);
    file_test::SampleChange{}.apply(*file);
    std::vector<PageBytes> expected;
    for (std::uint32_t p = 0; p < file->pageCount(); ++p) expected.push_back(*file->read(p));
    file->commit();
    EXPECT_FALSE(file->inTransaction());
    EXPECT_FALSE(jet::journalPending(path));
    for (std::uint32_t p = 0; p < file->pageCount(); ++p) EXPECT_EQ(*file->read(p), expected[p]);
    file.reset();
    EXPECT_FALSE(fs::exists(jet::journalPathFor(path))) << "closing deletes the journal";

    auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), expected.size() * jet::kPageSize);
    for (std::uint32_t p = 0; p < expected.size(); ++p)
        ASSERT_EQ(pageOnDisk(bytes, p), expected[p]) << "page " << p;
    EXPECT_NE(pageOnDisk(bytes, 0), pageOnDisk(original, 0));
}

TEST_F(TransactionTest, APageHeldByAReaderKeepsTheBytesItHadWhenRead) {
    auto file = PageFile::open(path, kReadWrite);
    auto committed = file->read(7);
    file->begin();
    file->write(7, patternPage(1));
    auto first = file->read(7);
    file->write(7, patternPage(2));
    EXPECT_EQ(*committed, pageOnDisk(original, 7));
    EXPECT_EQ(*first, patternPage(1));
    EXPECT_EQ(*file->read(7), patternPage(2));
    file->commit();
    EXPECT_EQ(*first, patternPage(1));
    EXPECT_EQ(*file->read(7), patternPage(2));
}

TEST_F(TransactionTest, MisuseIsAnErrorNotACorruptFile) {
    auto file = PageFile::open(path, kReadWrite);
    EXPECT_THROW(file->write(1, patternPage(1)), core::Error);
    EXPECT_THROW(file->append(patternPage(1)), core::Error);
    EXPECT_THROW(file->commit(), core::Error);
    EXPECT_NO_THROW(file->rollback());
    file->begin();
    EXPECT_THROW(file->begin(), core::Error);
    EXPECT_THROW(file->write(originalPages, patternPage(1)), core::Error);
    file->rollback();
    file.reset();
    EXPECT_EQ(fileBytes(path), original);
}

TEST_F(TransactionTest, ACommitWithoutChangesDoesNoIo) {
    auto file = PageFile::open(path, kReadWrite);
    int steps = 0;
    file->setFaultHook([&](jet::CommitStep, std::uint32_t) { ++steps; });
    file->begin();
    file->commit();
    EXPECT_EQ(steps, 0);
    file->begin();
    file->write(3, patternPage(3));
    file->commit();
    EXPECT_GT(steps, 0);
}

TEST_F(TransactionTest, EncodedPagesAreStoredEncodedAndReadBackPlain) {
    const std::array<std::uint8_t, 4> key{0x12, 0x34, 0x56, 0x78};
    auto file = PageFile::open(path, kReadWrite);
    file->setEncodingKey(key);
    file->begin();
    file->write(0, patternPage(100));
    file->write(5, patternPage(105));
    std::uint32_t added = file->append(patternPage(106));
    file->commit();
    EXPECT_EQ(*file->read(5), patternPage(105));
    file.reset();

    auto bytes = fileBytes(path);
    EXPECT_EQ(pageOnDisk(bytes, 0), patternPage(100)) << "the header page is never encoded";
    EXPECT_NE(pageOnDisk(bytes, 5), patternPage(105));
    EXPECT_NE(pageOnDisk(bytes, added), patternPage(106));
    EXPECT_NE(pageOnDisk(bytes, 5), pageOnDisk(bytes, added));

    auto reopened = PageFile::open(path, kReadWrite);
    EXPECT_NE(*reopened->read(5), patternPage(105));
    reopened->setEncodingKey(key);
    EXPECT_EQ(*reopened->read(0), patternPage(100));
    EXPECT_EQ(*reopened->read(5), patternPage(105));
    EXPECT_EQ(*reopened->read(added), patternPage(106));
    // Each page has its own key: the same plain bytes are stored differently on two pages.
    reopened->begin();
    reopened->write(6, patternPage(105));
    reopened->commit();
    reopened.reset();
    bytes = fileBytes(path);
    EXPECT_NE(pageOnDisk(bytes, 5), pageOnDisk(bytes, 6));
}

TEST_F(TransactionTest, ATransactionOfTensOfThousandsOfPagesCommits) {
    constexpr std::uint32_t kAppended = 20000;
    auto file = PageFile::open(path, kReadWrite);
    file->begin();
    for (std::uint32_t p = 1; p < originalPages; p += 3) file->write(p, patternPage(p));
    for (std::uint32_t i = 0; i < kAppended; ++i) file->append(patternPage(50000 + i));
    file->commit();
    file.reset();

    auto reopened = PageFile::open(path, kReadWrite);
    ASSERT_EQ(reopened->pageCount(), originalPages + kAppended);
    EXPECT_EQ(*reopened->read(1), patternPage(1));
    EXPECT_EQ(*reopened->read(2), pageOnDisk(original, 2));
    for (std::uint32_t i = 0; i < kAppended; i += 997)
        ASSERT_EQ(*reopened->read(originalPages + i), patternPage(50000 + i));
    EXPECT_EQ(*reopened->read(originalPages + kAppended - 1), patternPage(50000 + kAppended - 1));
}

} // namespace
