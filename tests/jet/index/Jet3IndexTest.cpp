// Access 97 (Jet 3) indexes: 2 KiB pages with their own header and Access 97 text keys.
// Every tree Access 97 wrote holds exactly the entries the rows call for; trees built at
// once, and trees kept up one insert and delete at a time, over the same rows hold the same
// entries and pass the same check, on pages a Jet 3 file can hold.
#include "MemoryPageStore.h"
#include "SampleIndexes.h"
#include "TreeEntries.h"
#include "common/Samples.h"
#include "jet/index/IndexPage.h"
#include "jet/index/IndexTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using jet::IndexEntry;
using testing_support::MemoryPageStore;

using testing_support::treeEntries;

// Every page of the tree is a Jet 3 index page: within 2 KiB, the rest of the buffer unused.
void expectJet3Pages(const MemoryPageStore& store) {
    for (std::uint32_t page : store.inUse()) {
        const auto bytes = jet::bytesOf(store.read(page));
        EXPECT_TRUE(jet::isIndexPage(bytes, jet::FileFormat::jet3())) << page;
        EXPECT_TRUE(std::all_of(bytes.begin() + 2048, bytes.end(), [](auto b) { return b == 0; }))
            << page;
    }
}

class Jet3Indexes : public testing::TestWithParam<const char*> {};

TEST_P(Jet3Indexes, BuiltAndMaintainedTreesHoldTheEntriesAccess97Stored) {
    REQUIRE_SAMPLES();
    const jet::FileFormat& jet3 = jet::FileFormat::jet3();
    auto db = jet::Database::open(testing_support::jet3SampleFile(GetParam()));
    MemoryPageStore file(jet3);
    file.copyFrom(db->pages());
    std::size_t checked = 0;
    for (const auto& index : testing_support::sampleIndexes(*db)) {
        if (index.data.firstPage == 0) continue;
        SCOPED_TRACE(index.name());
        const auto expected = testing_support::expectedEntries(index);
        const jet::IndexTree stored(file, index.tablePage, index.data, index.primaryKey);
        EXPECT_EQ(treeEntries(stored), expected);
        EXPECT_EQ(stored.verify(index.rows), std::vector<std::string>{});

        MemoryPageStore built(jet3);
        jet::IndexData data = index.data;
        data.firstPage = built.allocate();
        jet::IndexTree tree(built, index.tablePage, data, index.primaryKey);
        tree.build(expected);
        EXPECT_EQ(treeEntries(tree), expected);
        EXPECT_EQ(tree.verify(index.rows), std::vector<std::string>{});
        expectJet3Pages(built);

        // One entry at a time in random order, then every other one taken out again.
        MemoryPageStore kept(jet3);
        data.firstPage = kept.allocate();
        jet::IndexTree upkeep(kept, index.tablePage, data, index.primaryKey);
        upkeep.createEmpty();
        auto shuffled = index.rows;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
        for (const IndexEntry& e : shuffled) upkeep.insert(e.key, e.row);
        EXPECT_EQ(treeEntries(upkeep), expected);
        std::vector<IndexEntry> left;
        for (std::size_t k = 0; k < shuffled.size(); ++k) {
            if (k % 2 == 0)
                upkeep.remove(shuffled[k].key, shuffled[k].row);
            else
                left.push_back(shuffled[k]);
        }
        EXPECT_EQ(upkeep.verify(left), std::vector<std::string>{});
        EXPECT_EQ(kept.parsedMismatches(), 0u);
        expectJet3Pages(kept);
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

INSTANTIATE_TEST_SUITE_P(IndexedJet3Samples, Jet3Indexes,
                         testing::Values("testIndexCodesV1997", "compIndexTestV1997"));

// Entries past what one 2 KiB page holds split into several pages, each within the Jet 3
// entry area, and a key longer than a third of it is refused as for Jet 4.
TEST(Jet3IndexPages, SplitWithinTheSmallerPage) {
    const jet::FileFormat& jet3 = jet::FileFormat::jet3();
    MemoryPageStore store(jet3);
    jet::IndexData data;
    data.columns.push_back({0, true});
    data.firstPage = store.allocate();
    jet::IndexTree tree(store, 2, data);
    tree.createEmpty();
    std::vector<IndexEntry> entries;
    for (std::uint32_t k = 0; k < 600; ++k) {
        core::Bytes key{0x7F, std::uint8_t(k >> 8), std::uint8_t(k), 0x60, 0x61, 0x62};
        entries.push_back({key, jet::RowId{k + 10, std::uint8_t(k % 200)}});
    }
    for (const auto& e : entries) EXPECT_EQ(tree.insert(e.key, e.row), jet::InsertStatus::Inserted);
    EXPECT_EQ(treeEntries(tree), entries);
    EXPECT_GE(store.pagesInUse(), 4u); // a root over three leaves at least
    expectJet3Pages(store);
    EXPECT_EQ(tree.verify(entries), std::vector<std::string>{});
    EXPECT_THROW(tree.insert(core::Bytes(jet3.maxIndexKeySize() + 1, 0x61), jet::RowId{1, 1}),
                 core::Error);
}

} // namespace

// A Jet 3 page says in one byte how much its entries share: a longer shared prefix is
// stored as 255 shared bytes and the rest in each entry.
TEST(Jet3IndexPages, SharedPrefixesPastOneByteAreStoredInPart) {
    const jet::FileFormat& jet3 = jet::FileFormat::jet3();
    jet::IndexPage page(jet3);
    for (std::uint8_t k = 0; k < 3; ++k) {
        core::Bytes key(300, 0x61);
        key.push_back(k);
        page.insert(page.size(), key, jet::RowId{5, k});
    }
    ASSERT_TRUE(page.fits());
    const jet::PageBytes bytes = jet::encodeIndexPage(page);
    EXPECT_EQ(bytes[jet3.indexPage.prefixLength], 0xFF);
    const jet::IndexPage back = jet::parseIndexPage(jet::ByteSpan(bytes), jet3);
    ASSERT_EQ(back.size(), page.size());
    for (std::size_t i = 0; i < page.size(); ++i)
        EXPECT_TRUE(std::ranges::equal(back.entry(i), page.entry(i))) << i;
}
