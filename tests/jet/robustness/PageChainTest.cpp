// Pointers between pages that lead nowhere sensible: a table definition chained to itself or
// back to its start, to a page of another kind or past the end; usage maps naming pages the
// file does not have. Each must end in a FormatError, not in a hang or a wild read.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

namespace {

using robustness::FileBytes;
using robustness::kPage;

// Table definition page: next page of the chain at 4, the rows' usage map pointer at 55.
constexpr std::size_t kNextPage = 4;
constexpr std::size_t kUsageMap = 55;
constexpr std::uint32_t kCatalogPage = 2;
constexpr std::uint8_t kDataPage = 0x01;
constexpr std::uint8_t kDefinitionPage = 0x02;

class PageChain : public testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::haveSamples()) GTEST_SKIP() << "sample files not found";
        dir_ = testing_support::scratchDir(
            std::string("robust-chain-") +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    // A copy of the sample to damage; encoded pages could not be edited byte by byte.
    FileBytes load(const std::string& sample) {
        auto path = testing_support::sample(sample);
        EXPECT_FALSE(robustness::pagesAreEncoded(path)) << sample << " has encoded pages";
        source_ = path;
        return robustness::readFile(path);
    }

    void expectDamaged(const FileBytes& bytes, const std::string& what) {
        auto path = dir_ / "damaged.mdb";
        robustness::writeFile(path, bytes);
        try {
            robustness::openAndDump(path);
            ADD_FAILURE() << what << ": the damaged file opened and dumped";
        } catch (const core::FormatError& e) {
            SUCCEED() << e.what();
        }
    }

    std::filesystem::path dir_;
    std::filesystem::path source_;
};

TEST_F(PageChain, DefinitionPointingToItself) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    std::size_t at = table.definitionPage * kPage;
    ASSERT_EQ(bytes[at], kDefinitionPage);
    ASSERT_EQ(robustness::get32(bytes, at + kNextPage), 0u) << "expected a one-page definition";
    robustness::put32(bytes, at + kNextPage, table.definitionPage);
    expectDamaged(bytes, "definition chained to itself");
}

TEST_F(PageChain, LongDefinitionLoopingBackToItsStart) {
    // The 89-column table's definition needs more than one page; its last page is pointed
    // back at the first.
    auto bytes = load("types.mdb");
    auto db = jet::Database::open(source_);
    bool found = false;
    for (const auto& name : db->tableNames()) {
        auto first = robustness::locateTable(source_, name).definitionPage;
        std::uint32_t last = first, hops = 0;
        while (std::uint32_t next = robustness::get32(bytes, last * kPage + kNextPage)) {
            last = next;
            ASSERT_LT(++hops, 100u) << "the undamaged sample's chain loops";
        }
        if (last == first) continue;
        found = true;
        auto damaged = bytes;
        robustness::put32(damaged, last * kPage + kNextPage, first);
        expectDamaged(damaged, name + ": definition looping back to its first page");
    }
    EXPECT_TRUE(found) << "no table of types.mdb has a definition longer than one page";
}

TEST_F(PageChain, CatalogDefinitionPointingToItself) {
    auto bytes = load("created-by-catalog.mdb");
    robustness::put32(bytes, kCatalogPage * kPage + kNextPage, kCatalogPage);
    auto path = dir_ / "catalog-loop.mdb";
    robustness::writeFile(path, bytes);
    EXPECT_THROW(jet::Database::open(path), core::FormatError);
}

TEST_F(PageChain, DefinitionContinuingOnADataPage) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    std::uint32_t dataPage = table.usageMapPointer >> 8; // the map's own row is on a data page
    ASSERT_EQ(bytes[dataPage * kPage], kDataPage);
    robustness::put32(bytes, table.definitionPage * kPage + kNextPage, dataPage);
    expectDamaged(bytes, "definition continuing on a data page");
}

TEST_F(PageChain, DefinitionContinuingPastTheEnd) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    auto pages = static_cast<std::uint32_t>(bytes.size() / kPage);
    for (std::uint32_t next : {pages, pages + 1, 0x00FFFFFFu, 0xFFFFFFFFu}) {
        auto damaged = bytes;
        robustness::put32(damaged, table.definitionPage * kPage + kNextPage, next);
        expectDamaged(damaged, "definition continuing on page " + std::to_string(next));
    }
}

TEST_F(PageChain, UsageMapRowPastTheEnd) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    auto pages = static_cast<std::uint32_t>(bytes.size() / kPage);
    for (std::uint32_t page : {pages, pages + 5, 0x00FFFFFFu}) {
        auto damaged = bytes;
        robustness::put32(damaged, table.definitionPage * kPage + kUsageMap, page << 8);
        expectDamaged(damaged, "usage map on page " + std::to_string(page));
    }
}

TEST_F(PageChain, UsageMapRowOnAPageWithoutRows) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    robustness::put32(bytes, table.definitionPage * kPage + kUsageMap, table.definitionPage << 8);
    expectDamaged(bytes, "usage map pointing into the table definition");
}

TEST_F(PageChain, UsageMapRowInAMissingSlot) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    std::uint32_t page = table.usageMapPointer >> 8;
    robustness::put32(bytes, table.definitionPage * kPage + kUsageMap, page << 8 | 0xFF);
    expectDamaged(bytes, "usage map in slot 255");
}

TEST_F(PageChain, UsageMapMarkingPagesPastTheEnd) {
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    std::size_t row = robustness::rowOffset(bytes, table.usageMapPointer >> 8,
                                            static_cast<std::uint8_t>(table.usageMapPointer));
    auto pages = static_cast<std::uint32_t>(bytes.size() / kPage);
    if (bytes[row] == 0x00) {
        // An inline map: its bitmap starts at the page number stored after the kind byte.
        for (std::uint32_t start : {pages, 0x7FFFFFFFu, 0xFFFFFF00u}) {
            auto damaged = bytes;
            robustness::put32(damaged, row + 1, start);
            expectDamaged(damaged, "inline usage map starting at page " + std::to_string(start));
        }
    } else {
        // A map of map pages: the first map page is moved past the end.
        ASSERT_EQ(bytes[row], 0x01) << "unknown usage map kind";
        robustness::put32(bytes, row + 1, pages + 3);
        expectDamaged(bytes, "usage map page past the end");
    }
}

TEST_F(PageChain, DataPageClaimingEveryRow) {
    // A data page of the table whose row count is huge: the slot table would run far past
    // the page.
    auto bytes = load("compound-index.mdb");
    auto table = robustness::locateTable(source_, "Table1");
    std::size_t damagedPages = 0;
    for (std::size_t p = 3; p < bytes.size() / kPage; ++p) {
        std::size_t at = p * kPage;
        if (bytes[at] != kDataPage || robustness::get32(bytes, at + 4) != table.definitionPage)
            continue;
        for (std::uint16_t count :
             {std::uint16_t(0xFFFF), std::uint16_t(2042), std::uint16_t(257)}) {
            auto damaged = bytes;
            robustness::put16(damaged, at + 12, count);
            expectDamaged(damaged, "page " + std::to_string(p) + " claiming " +
                                       std::to_string(count) + " rows");
        }
        if (++damagedPages == 3) break;
    }
    EXPECT_GT(damagedPages, 0u) << "no data page of Table1 found";
}

} // namespace
