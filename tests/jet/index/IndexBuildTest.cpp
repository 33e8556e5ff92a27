// Writing whole trees at once: from sorted entries, over an old tree, and from the rows of
// the sample files, whose own trees must pass the same check and take changes as ours do.
#include "MemoryPageStore.h"
#include "SampleIndexes.h"
#include "TreeEntries.h"
#include "common/Samples.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexPage.h"
#include "jet/index/IndexTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

using jet::IndexEntry;
using jet::InsertStatus;
using jet::RowId;
using testing_support::MemoryPageStore;

using testing_support::treeEntries;

std::vector<IndexEntry> sortedEntries(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> length(1, 40), byte(0, 255), page(1, 0xFFFFFF);
    std::set<IndexEntry> set;
    while (set.size() < count) {
        core::Bytes key{0x7F};
        for (int k = length(random); k > 0; --k) key.push_back(std::uint8_t(byte(random) & 0x61));
        set.insert({key, RowId{std::uint32_t(page(random)), std::uint8_t(page(random))}});
    }
    return {set.begin(), set.end()};
}

std::size_t leafDepth(const MemoryPageStore& store, std::uint32_t root) {
    std::size_t levels = 1;
    for (jet::IndexPage p = jet::parseIndexPage(jet::bytesOf(store.read(root))); !p.leaf;
         p = jet::parseIndexPage(jet::bytesOf(store.read(p.tail != 0 ? p.tail : p.child(0)))))
        ++levels;
    return levels;
}

struct Fixture {
    MemoryPageStore store;
    jet::IndexData data;
    std::unique_ptr<jet::IndexTree> tree;
    Fixture() {
        data.columns.push_back({0, true});
        data.firstPage = store.allocate();
        tree = std::make_unique<jet::IndexTree>(store, 2, data);
    }
};

TEST(IndexBuild, WritesTreesThatHoldExactlyTheEntries) {
    for (std::size_t count : {0u, 1u, 300u, 25000u}) {
        SCOPED_TRACE(count);
        Fixture f;
        const auto entries = sortedEntries(count, unsigned(count));
        f.tree->build(entries);
        EXPECT_EQ(treeEntries(*f.tree), entries);
        const auto problems = f.tree->verify(entries);
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::size_t bytes = 0;
        for (const auto& e : entries) bytes += e.key.size() + 4;
        // Leaves packed full: a page more than the bytes need, and the levels above.
        const std::size_t leaves = bytes / jet::index_page::kEntryCapacity + 1;
        EXPECT_LE(f.store.pagesInUse(), leaves + leaves / 20 + 2);
        if (count == 25000) {
            EXPECT_GE(leafDepth(f.store, f.data.firstPage), 3u);
        }
    }
}

TEST(IndexBuild, ReplacesTheOldTreeAndGivesBackItsPages) {
    Fixture f;
    f.tree->build(sortedEntries(20000, 1));
    const std::size_t big = f.store.pagesInUse();
    const auto few = sortedEntries(50, 2);
    f.tree->build(few);
    EXPECT_EQ(treeEntries(*f.tree), few);
    EXPECT_EQ(f.store.pagesInUse(), 1u);
    EXPECT_GT(big, 100u);
    // Entries out of order are refused before anything changes.
    auto shuffled = sortedEntries(10, 3);
    std::swap(shuffled[2], shuffled[7]);
    const std::size_t writes = f.store.writes();
    EXPECT_THROW(f.tree->build(shuffled), core::Error);
    auto repeated = few;
    repeated.insert(repeated.begin() + 5, repeated[5]);
    EXPECT_THROW(f.tree->build(repeated), core::Error);
    EXPECT_EQ(f.store.writes(), writes);
    EXPECT_EQ(treeEntries(*f.tree), few);
}

TEST(IndexBuild, BuiltTreesTakeInsertsAndRemovals) {
    Fixture f;
    auto entries = sortedEntries(12000, 4);
    f.tree->build(entries);
    std::mt19937 random(5);
    std::shuffle(entries.begin(), entries.end(), random);
    // Remove nine in ten: thin pages merge, so the tree shrinks with its entries.
    const std::size_t removed = entries.size() * 9 / 10;
    for (std::size_t k = 0; k < removed; ++k)
        ASSERT_TRUE(f.tree->remove(entries[k].key, entries[k].row));
    std::size_t bytes = 0;
    for (std::size_t k = removed; k < entries.size(); ++k) bytes += entries[k].key.size() + 4;
    EXPECT_LE(f.store.pagesInUse(), 4 * bytes / jet::index_page::kEntryCapacity + 4);
    // Put back half of them.
    for (std::size_t k = 0; k < removed / 2; ++k)
        ASSERT_EQ(f.tree->insert(entries[k].key, entries[k].row), InsertStatus::Inserted);
    std::vector<IndexEntry> expected(entries.begin(),
                                     entries.begin() + std::ptrdiff_t(removed / 2));
    expected.insert(expected.end(), entries.begin() + std::ptrdiff_t(removed), entries.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(treeEntries(*f.tree), expected);
    const auto problems = f.tree->verify(expected);
    EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(IndexBuild, SampleTreesPassTheCheckAndRebuildTheSame) {
    REQUIRE_SAMPLES();
    std::size_t checked = 0;
    for (const char* name : testing_support::kIndexSamples) {
        const auto db = testing_support::openSample(name);
        MemoryPageStore store;
        store.copyFrom(db->pages());
        for (const auto& index : testing_support::sampleIndexes(*db)) {
            SCOPED_TRACE(std::string(name) + " " + index.name());
            jet::IndexTree tree(store, index.tablePage, index.data, index.primaryKey);
            const auto expected = testing_support::expectedEntries(index);
            // Access's own tree passes the check.
            auto problems = tree.verify(index.rows);
            EXPECT_TRUE(problems.empty()) << problems.front();
            const auto before = treeEntries(tree);
            EXPECT_EQ(before, expected);
            // Every row's key is in the index exactly when the index admits it, and a
            // unique index (primary keys, flagged 0x01 by Access) refuses it for another row.
            EXPECT_EQ(tree.unique(), (index.data.flags & jet::index_flag::kUnique) != 0);
            for (const auto& row : index.rows) {
                EXPECT_EQ(tree.containsKey(row.key), tree.admits(row.key));
                if (tree.unique() && !jet::isAllNullKey(index.data, row.key)) {
                    EXPECT_EQ(tree.insert(row.key, RowId{row.row.page, 0xFF}),
                              InsertStatus::DuplicateKey);
                }
            }
            const std::size_t pages = store.pagesInUse();
            tree.build(expected);
            EXPECT_EQ(treeEntries(tree), before);
            problems = tree.verify(index.rows);
            EXPECT_TRUE(problems.empty()) << problems.front();
            EXPECT_LE(store.pagesInUse(), pages);
            ++checked;
        }
    }
    EXPECT_GE(checked, 20u);
}

TEST(IndexBuild, AccessTreeOverSeveralPagesTakesChanges) {
    REQUIRE_SAMPLES();
    const auto db = testing_support::openSample("compound-index.mdb");
    MemoryPageStore store;
    store.copyFrom(db->pages());
    for (const auto& index : testing_support::sampleIndexes(*db)) {
        const auto root = jet::parseIndexPage(jet::bytesOf(store.read(index.data.firstPage)));
        if (root.leaf) continue;
        jet::IndexTree tree(store, index.tablePage, index.data, index.primaryKey);
        auto entries = testing_support::expectedEntries(index);
        ASSERT_GT(entries.size(), 500u);
        std::mt19937 random(17);
        std::shuffle(entries.begin(), entries.end(), random);
        const std::size_t pages = store.pagesInUse();
        for (std::size_t k = 0; k < entries.size(); ++k) {
            ASSERT_TRUE(tree.remove(entries[k].key, entries[k].row));
            if (k % 100 == 0 || k + 1 == entries.size()) {
                std::vector<IndexEntry> left(entries.begin() + std::ptrdiff_t(k + 1),
                                             entries.end());
                const auto problems = tree.verify(left);
                ASSERT_TRUE(problems.empty()) << problems.front();
            }
        }
        // Emptied, the index is its root alone again; the leaves are given back.
        EXPECT_TRUE(treeEntries(tree).empty());
        EXPECT_EQ(store.pagesInUse(), pages - 2);
        std::shuffle(entries.begin(), entries.end(), random);
        for (const auto& e : entries) ASSERT_EQ(tree.insert(e.key, e.row), InsertStatus::Inserted);
        const auto problems = tree.verify(entries);
        EXPECT_TRUE(problems.empty()) << problems.front();
        EXPECT_EQ(tree.rootPage(), index.data.firstPage);
        return;
    }
    FAIL() << "no index of compound-index.mdb has intermediate pages";
}

} // namespace
