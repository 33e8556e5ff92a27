// Changing index trees in memory: thousands of random inserts and removals checked against
// a sorted list after every batch, pages split and merged, the root kept in place, freed
// pages given back, unique and ignore-nulls rules, and changes that fail writing nothing.
#include "jet/index/IndexTree.h"
#include "MemoryPageStore.h"
#include "TreeEntries.h"
#include "jet/index/IndexPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

using jet::ByteSpan;
using jet::IndexEntry;
using jet::InsertStatus;
using jet::RowId;
using testing_support::MemoryPageStore;

constexpr std::uint32_t kTablePage = 2;

jet::IndexData indexOver(std::size_t columns, std::uint8_t flags = 0) {
    jet::IndexData d;
    for (std::size_t k = 0; k < columns; ++k) d.columns.push_back({std::uint16_t(k), true});
    d.flags = flags;
    return d;
}

// A tree on a fresh root page of its own store.
struct Fixture {
    MemoryPageStore store;
    jet::IndexData data;
    std::unique_ptr<jet::IndexTree> tree;

    explicit Fixture(jet::IndexData d, bool primaryKey = false) : data(std::move(d)) {
        data.firstPage = store.allocate();
        tree = std::make_unique<jet::IndexTree>(store, kTablePage, data, primaryKey);
        tree->createEmpty();
    }
};

using testing_support::treeEntries;

std::vector<IndexEntry> walkBack(const jet::IndexTree& tree) {
    std::vector<IndexEntry> out;
    auto c = tree.cursor();
    c.afterLast();
    while (c.previous()) out.push_back(c.entry());
    std::reverse(out.begin(), out.end());
    return out;
}

// The pages the tree is made of, found by walking down from the root.
std::size_t treePages(const MemoryPageStore& store, std::uint32_t root) {
    std::size_t count = 0;
    std::vector<std::uint32_t> pending{root};
    while (!pending.empty()) {
        const jet::IndexPage p = jet::parseIndexPage(jet::bytesOf(store.read(pending.back())));
        pending.pop_back();
        ++count;
        if (p.leaf) continue;
        for (std::size_t i = 0; i < p.size(); ++i) pending.push_back(p.child(i));
        if (p.tail != 0) pending.push_back(p.tail);
    }
    return count;
}

std::size_t depth(const MemoryPageStore& store, std::uint32_t root) {
    std::size_t levels = 1;
    for (jet::IndexPage p = jet::parseIndexPage(jet::bytesOf(store.read(root))); !p.leaf;
         p = jet::parseIndexPage(jet::bytesOf(store.read(p.child(0)))))
        ++levels;
    return levels;
}

// Random keys over a small alphabet and of varied length, so that equal keys, shared
// prefixes and pages of few and of many entries all occur.
class KeyMaker {
public:
    explicit KeyMaker(unsigned seed) : random_(seed) {}
    IndexEntry next() {
        std::uniform_int_distribution<int> length(1, 48), byte(0x60, 0x63), page(1, 0xFFFFFF);
        core::Bytes key{0x7F};
        for (int k = length(random_); k > 0; --k) key.push_back(std::uint8_t(byte(random_)));
        return {key, RowId{std::uint32_t(page(random_)), std::uint8_t(page(random_) & 0xFF)}};
    }
    std::mt19937& random() { return random_; }

private:
    std::mt19937 random_;
};

void expectSound(Fixture& f, std::vector<IndexEntry> expected) {
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(treeEntries(*f.tree), expected);
    ASSERT_EQ(walkBack(*f.tree), expected);
    const auto problems = f.tree->verify(expected);
    ASSERT_TRUE(problems.empty()) << problems.front();
    // Nothing leaks: every page in use is part of the tree (or the store's own page 0).
    ASSERT_EQ(treePages(f.store, f.data.firstPage), f.store.pagesInUse());
    ASSERT_EQ(f.store.parsedMismatches(), 0u);
}

TEST(IndexTree, RandomInsertsAndRemovalsKeepTheTreeExact) {
    Fixture f(indexOver(1));
    KeyMaker keys(1234);
    std::vector<IndexEntry> expected;
    std::set<IndexEntry> present;
    const std::uint32_t root = f.data.firstPage;
    std::size_t deepest = 0;
    const auto insertBatch = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            IndexEntry e = keys.next();
            const bool known = present.count(e) != 0;
            ASSERT_EQ(f.tree->insert(e.key, e.row),
                      known ? InsertStatus::AlreadyPresent : InsertStatus::Inserted);
            if (!known) {
                present.insert(e);
                expected.push_back(std::move(e));
            }
        }
    };
    const auto removeBatch = [&](std::size_t count) {
        std::shuffle(expected.begin(), expected.end(), keys.random());
        for (std::size_t k = 0; k < count && !expected.empty(); ++k) {
            ASSERT_TRUE(f.tree->remove(expected.back().key, expected.back().row));
            ASSERT_FALSE(f.tree->remove(expected.back().key, expected.back().row));
            present.erase(expected.back());
            expected.pop_back();
        }
    };
    for (int round = 0; round < 6; ++round) {
        insertBatch(2500);
        expectSound(f, expected);
        deepest = std::max(deepest, depth(f.store, root));
    }
    for (int round = 0; round < 4; ++round) {
        removeBatch(3000);
        expectSound(f, expected);
        insertBatch(1000);
        expectSound(f, expected);
    }
    EXPECT_GE(deepest, 3u) << "the test should reach intermediate pages over intermediate pages";
    removeBatch(expected.size());
    expectSound(f, expected);
    // An empty index is its root alone, an empty leaf on the same page as ever.
    EXPECT_EQ(f.store.pagesInUse(), 1u);
    EXPECT_EQ(f.tree->rootPage(), root);
    const jet::IndexPage rootPage = jet::parseIndexPage(jet::bytesOf(f.store.read(root)));
    EXPECT_TRUE(rootPage.leaf);
    EXPECT_TRUE(rootPage.empty());
}

TEST(IndexTree, DeepTreesOfLongKeysStaySoundAfterEveryChange) {
    // Pages of a few long entries make trees of four and five levels from a few hundred
    // entries, so every change splits, merges or moves pages on several levels.
    Fixture f(indexOver(1));
    std::mt19937 random(21);
    std::uniform_int_distribution<std::size_t> length(300, jet::index_page::kMaxKeySize);
    std::uniform_int_distribution<int> byte(0x61, 0x64);
    std::vector<IndexEntry> expected;
    std::size_t deepest = 0;
    for (int step = 0; step < 1500; ++step) {
        const bool grow = expected.size() < 40 || (step / 250) % 2 == 0;
        if (grow || expected.empty()) {
            core::Bytes key(length(random), std::uint8_t(byte(random)));
            for (std::size_t k = 0; k < 6; ++k) key[k] = std::uint8_t(byte(random));
            const RowId row{std::uint32_t(step + 1), 0};
            ASSERT_EQ(f.tree->insert(key, row), InsertStatus::Inserted);
            expected.push_back({key, row});
        } else {
            std::uniform_int_distribution<std::size_t> pick(0, expected.size() - 1);
            std::swap(expected[pick(random)], expected.back());
            ASSERT_TRUE(f.tree->remove(expected.back().key, expected.back().row));
            expected.pop_back();
        }
        const auto problems = f.tree->verify(expected);
        ASSERT_TRUE(problems.empty()) << "step " << step << ": " << problems.front();
        ASSERT_EQ(treePages(f.store, f.data.firstPage), f.store.pagesInUse()) << "step " << step;
        ASSERT_EQ(f.store.parsedMismatches(), 0u) << "step " << step;
        deepest = std::max(deepest, depth(f.store, f.data.firstPage));
    }
    EXPECT_GE(deepest, 4u);
    while (!expected.empty()) {
        ASSERT_TRUE(f.tree->remove(expected.back().key, expected.back().row));
        expected.pop_back();
        const auto problems = f.tree->verify(expected);
        ASSERT_TRUE(problems.empty()) << problems.front();
    }
    EXPECT_EQ(f.store.pagesInUse(), 1u);
}

TEST(IndexTree, SeeksLandRightInAChangedTree) {
    Fixture f(indexOver(1));
    KeyMaker keys(99);
    std::vector<IndexEntry> expected;
    for (int k = 0; k < 6000; ++k) {
        IndexEntry e = keys.next();
        if (f.tree->insert(e.key, e.row) == InsertStatus::Inserted) expected.push_back(e);
    }
    std::sort(expected.begin(), expected.end());
    auto cursor = f.tree->cursor();
    for (int k = 0; k < 500; ++k) {
        const IndexEntry probe = keys.next();
        const auto first =
            std::partition_point(expected.begin(), expected.end(), [&](const IndexEntry& e) {
                return jet::compareKeys(e.key, probe.key) < 0;
            });
        cursor.seek(probe.key);
        if (first == expected.end()) {
            EXPECT_FALSE(cursor.next());
        } else {
            ASSERT_TRUE(cursor.next());
            EXPECT_EQ(cursor.entry(), *first);
        }
        EXPECT_EQ(f.tree->containsKey(probe.key),
                  first != expected.end() && first->key == probe.key);
    }
}

TEST(IndexTree, EntriesAddedInKeyOrderFillTheirPages) {
    Fixture f(indexOver(1));
    std::vector<IndexEntry> expected;
    std::size_t bytes = 0;
    for (std::uint32_t n = 1; n <= 20000; ++n) {
        // A counter's key, as an AutoNumber column gives.
        IndexEntry e{{0x7F, std::uint8_t(0x80), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                      std::uint8_t(n)},
                     RowId{100 + n / 50, std::uint8_t(n % 50)}};
        ASSERT_EQ(f.tree->insert(e.key, e.row), InsertStatus::Inserted);
        bytes += e.key.size() + 4;
        expected.push_back(e);
    }
    expectSound(f, expected);
    // Entries appended to a page in place leave it byte for byte as a full encode writes it.
    for (std::uint32_t page : f.store.inUse()) {
        if (page == 0) continue;
        const jet::PageRef bytes = f.store.read(page);
        const jet::IndexPage parsed = jet::parseIndexPage(jet::bytesOf(bytes));
        ASSERT_TRUE(*bytes == jet::encodeIndexPage(parsed, parsed.storedPrefix)) << page;
    }
    // Leaves near full, not half full as even splits would leave them.
    const double full = double(bytes) / double(jet::index_page::kEntryCapacity);
    EXPECT_LT(double(f.store.pagesInUse()), full * 1.15 + 3);
}

TEST(IndexTree, UniqueIndexesRefuseASecondRowWithTheSameKey) {
    Fixture f(indexOver(2, jet::index_flag::kUnique));
    ASSERT_TRUE(f.tree->unique());
    const core::Bytes key{0x7F, 1, 0x7F, 2};
    EXPECT_FALSE(f.tree->containsKey(key));
    EXPECT_EQ(f.tree->insert(key, RowId{5, 1}), InsertStatus::Inserted);
    EXPECT_TRUE(f.tree->containsKey(key));
    const std::size_t writes = f.store.writes();
    EXPECT_EQ(f.tree->insert(key, RowId{5, 2}), InsertStatus::DuplicateKey);
    EXPECT_EQ(f.tree->insert(key, RowId{5, 1}), InsertStatus::AlreadyPresent);
    EXPECT_EQ(f.store.writes(), writes);
    // Any number of rows may leave every key column empty.
    const core::Bytes allNull{0x00, 0x00};
    EXPECT_EQ(f.tree->insert(allNull, RowId{6, 1}), InsertStatus::Inserted);
    EXPECT_EQ(f.tree->insert(allNull, RowId{6, 2}), InsertStatus::Inserted);
    // Not so when only one of them is null.
    const core::Bytes halfNull{0x00, 0x7F, 3};
    EXPECT_EQ(f.tree->insert(halfNull, RowId{7, 1}), InsertStatus::Inserted);
    EXPECT_EQ(f.tree->insert(halfNull, RowId{7, 2}), InsertStatus::DuplicateKey);
    // After removal the key is free again.
    EXPECT_TRUE(f.tree->remove(key, RowId{5, 1}));
    EXPECT_EQ(f.tree->insert(key, RowId{5, 2}), InsertStatus::Inserted);
    EXPECT_NE(std::string(jet::kDuplicateKeyMessage).find("duplicate values in the index"),
              std::string::npos);

    // A primary key is unique whatever the flags say.
    Fixture pk(indexOver(1), true);
    EXPECT_TRUE(pk.tree->unique());
    EXPECT_EQ(pk.tree->insert(key, RowId{1, 1}), InsertStatus::Inserted);
    EXPECT_EQ(pk.tree->insert(key, RowId{1, 2}), InsertStatus::DuplicateKey);
    Fixture plain(indexOver(1));
    EXPECT_EQ(plain.tree->insert(key, RowId{1, 1}), InsertStatus::Inserted);
    EXPECT_EQ(plain.tree->insert(key, RowId{1, 2}), InsertStatus::Inserted);
}

// Rows written in key order check their key on the leaf the last one went to; a key on any
// other leaf, at a leaf's edge or past the end must be found or missed just the same.
TEST(IndexTree, UniqueKeysAddedInOrderAreCheckedOnEveryLeaf) {
    Fixture f(indexOver(1, jet::index_flag::kUnique));
    const auto key = [](std::uint32_t n, bool between = false) {
        core::Bytes k{0x7F, std::uint8_t(n >> 8), std::uint8_t(n)};
        if (between) k.push_back(0x01); // above key n, below key n + 1
        return k;
    };
    constexpr std::uint32_t kRows = 3000; // several leaves under one root
    std::vector<IndexEntry> expected;
    for (std::uint32_t n = 1; n <= kRows; ++n) {
        expected.push_back({key(n), RowId{1000 + n, 1}});
        ASSERT_EQ(f.tree->insert(expected.back().key, expected.back().row), InsertStatus::Inserted);
    }
    ASSERT_GT(depth(f.store, f.data.firstPage), 1u);
    const std::size_t writes = f.store.writes();
    for (std::uint32_t n = 1; n <= kRows; ++n) {
        ASSERT_TRUE(f.tree->containsKey(key(n))) << n;
        ASSERT_FALSE(f.tree->containsKey(key(n, true))) << n;
        // A row before and after the one holding the key, so that both edges of a leaf count.
        for (std::uint32_t row : {1u, 100000u})
            ASSERT_EQ(f.tree->insert(key(n), RowId{row, 2}), InsertStatus::DuplicateKey) << n;
    }
    EXPECT_FALSE(f.tree->containsKey(key(0)));
    EXPECT_FALSE(f.tree->containsKey(key(kRows + 1)));
    EXPECT_EQ(f.store.writes(), writes);
    // A removed key is free again, however the leaf it was on changed.
    for (std::uint32_t n : {kRows, 1u, kRows / 2}) {
        ASSERT_TRUE(f.tree->remove(key(n), RowId{1000 + n, 1}));
        EXPECT_FALSE(f.tree->containsKey(key(n)));
        EXPECT_EQ(f.tree->insert(key(n), RowId{7, 7}), InsertStatus::Inserted);
        EXPECT_EQ(f.tree->insert(key(n), RowId{7, 8}), InsertStatus::DuplicateKey);
        expected[n - 1].row = RowId{7, 7};
    }
    expectSound(f, expected);
}

TEST(IndexTree, IgnoreNullsLeavesOutRowsWithNoKeyValue) {
    jet::IndexData d = indexOver(2, jet::index_flag::kIgnoreNulls);
    d.columns[1].ascending = false; // a descending column's null is 0xFF
    Fixture f(d);
    const core::Bytes allNull{0x00, 0xFF}, halfNull{0x00, 0x80, 0xFE};
    EXPECT_FALSE(f.tree->admits(allNull));
    EXPECT_TRUE(f.tree->admits(halfNull));
    EXPECT_TRUE(f.tree->admits(core::Bytes{0x00, 0x00}));
    EXPECT_EQ(f.tree->insert(allNull, RowId{3, 1}), InsertStatus::LeftOut);
    EXPECT_FALSE(f.tree->remove(allNull, RowId{3, 1}));
    EXPECT_EQ(f.tree->insert(halfNull, RowId{3, 2}), InsertStatus::Inserted);
    EXPECT_EQ(treeEntries(*f.tree), (std::vector<IndexEntry>{{halfNull, RowId{3, 2}}}));
    // The rows' entries, all-null ones included, are what the tree should hold.
    EXPECT_TRUE(
        f.tree->verify(std::vector<IndexEntry>{{allNull, RowId{3, 1}}, {halfNull, RowId{3, 2}}})
            .empty());
    f.tree->build(std::vector<IndexEntry>{{allNull, RowId{1, 1}}, {halfNull, RowId{1, 2}}});
    EXPECT_EQ(treeEntries(*f.tree), (std::vector<IndexEntry>{{halfNull, RowId{1, 2}}}));
}

TEST(IndexTree, RemovingWhatIsNotThereWritesNothing) {
    Fixture f(indexOver(1));
    ASSERT_EQ(f.tree->insert(core::Bytes{0x7F, 1}, RowId{1, 1}), InsertStatus::Inserted);
    const std::size_t writes = f.store.writes();
    EXPECT_FALSE(f.tree->remove(core::Bytes{0x7F, 1}, RowId{1, 2}));
    EXPECT_FALSE(f.tree->remove(core::Bytes{0x7F, 2}, RowId{1, 1}));
    EXPECT_EQ(f.store.writes(), writes);
}

TEST(IndexTree, RefusesKeysTooLongForThePages) {
    Fixture f(indexOver(1));
    const core::Bytes longest(jet::index_page::kMaxKeySize, 0x61);
    EXPECT_EQ(f.tree->insert(longest, RowId{1, 1}), InsertStatus::Inserted);
    EXPECT_THROW(f.tree->insert(core::Bytes(jet::index_page::kMaxKeySize + 1, 0x61), RowId{1, 2}),
                 core::Error);
    // Pages of the longest keys still split and merge.
    std::vector<IndexEntry> expected{{longest, RowId{1, 1}}};
    for (std::uint8_t k = 0; k < 40; ++k) {
        core::Bytes key = longest;
        key[k % 7] = std::uint8_t(0x40 + k);
        ASSERT_EQ(f.tree->insert(key, RowId{2, k}), InsertStatus::Inserted);
        expected.push_back({key, RowId{2, k}});
    }
    expectSound(f, expected);
    for (std::size_t k = 0; k < expected.size(); k += 2)
        ASSERT_TRUE(f.tree->remove(expected[k].key, expected[k].row));
    std::vector<IndexEntry> left;
    for (std::size_t k = 1; k < expected.size(); k += 2) left.push_back(expected[k]);
    expectSound(f, left);
}

TEST(IndexTree, AChangeThatFailsWritesNothingAndKeepsNoPage) {
    Fixture f(indexOver(1));
    KeyMaker keys(5);
    std::vector<IndexEntry> expected;
    // Fill the root leaf until the next entry would split it.
    for (;;) {
        IndexEntry e = keys.next();
        jet::IndexPage root = jet::parseIndexPage(jet::bytesOf(f.store.read(f.data.firstPage)));
        root.insert(root.lowerBound(e.key, e.row), e.key, e.row);
        if (!root.fits()) {
            const std::size_t writes = f.store.writes(), pages = f.store.pagesInUse();
            f.store.failAllocationsAfter(1); // the split needs two pages
            EXPECT_THROW(f.tree->insert(e.key, e.row), std::runtime_error);
            EXPECT_EQ(f.store.writes(), writes);
            EXPECT_EQ(f.store.pagesInUse(), pages);
            expectSound(f, expected);
            f.store.failAllocationsAfter(std::nullopt);
            ASSERT_EQ(f.tree->insert(e.key, e.row), InsertStatus::Inserted);
            expected.push_back(e);
            expectSound(f, expected);
            EXPECT_EQ(depth(f.store, f.data.firstPage), 2u);
            return;
        }
        if (f.tree->insert(e.key, e.row) == InsertStatus::Inserted) expected.push_back(e);
    }
}

} // namespace
