// Walking and seeking the indexes Access wrote: every index of the sample files lists
// exactly its table's rows in key order, both ways, and seeks and ranges land where a sorted
// list of the rows' keys says they should.
#include "jet/index/IndexCursor.h"
#include "MemoryPageStore.h"
#include "SampleIndexes.h"
#include "common/Samples.h"
#include "jet/index/IndexPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

using jet::ByteSpan;
using jet::IndexEntry;
using testing_support::expectedEntries;
using testing_support::sampleIndexes;

std::vector<IndexEntry> walkForward(jet::IndexCursor& c,
                                    std::set<std::uint32_t>* leaves = nullptr) {
    std::vector<IndexEntry> out;
    c.beforeFirst();
    while (c.next()) {
        out.push_back(c.entry());
        if (leaves) leaves->insert(c.leafPage());
    }
    return out;
}

std::vector<IndexEntry> walkBackward(jet::IndexCursor& c) {
    std::vector<IndexEntry> out;
    c.afterLast();
    while (c.previous()) out.push_back(c.entry());
    std::reverse(out.begin(), out.end());
    return out;
}

bool keyLess(const IndexEntry& e, ByteSpan key) {
    return jet::compareKeys(e.key, key) < 0;
}

TEST(IndexCursor, WalksEveryIndexOfTheSamplesInKeyOrderBothWays) {
    REQUIRE_SAMPLES();
    std::size_t indexes = 0, entries = 0, multiPage = 0;
    for (const char* name : testing_support::kIndexSamples) {
        const auto db = testing_support::openSample(name);
        const jet::PageFileSource source(db->pages());
        for (const auto& index : sampleIndexes(*db)) {
            SCOPED_TRACE(std::string(name) + " " + index.name());
            const auto expected = expectedEntries(index);
            jet::IndexCursor cursor(source, index.data.firstPage);
            std::set<std::uint32_t> leaves;
            EXPECT_EQ(walkForward(cursor, &leaves), expected);
            EXPECT_EQ(walkBackward(cursor), expected);
            ++indexes;
            entries += expected.size();
            if (leaves.size() > 1) ++multiPage;
        }
    }
    EXPECT_GE(indexes, 20u);
    EXPECT_GE(entries, 1000u);
    // compound-index's key index spans two leaves under an intermediate page.
    EXPECT_GE(multiPage, 1u);
}

TEST(IndexCursor, SeeksLandOnTheFirstEntryAtOrAfterTheKey) {
    REQUIRE_SAMPLES();
    std::mt19937 random(7);
    for (const char* name : testing_support::kIndexSamples) {
        const auto db = testing_support::openSample(name);
        const jet::PageFileSource source(db->pages());
        for (const auto& index : sampleIndexes(*db)) {
            SCOPED_TRACE(std::string(name) + " " + index.name());
            const auto expected = expectedEntries(index);
            jet::IndexCursor cursor(source, index.data.firstPage);
            // Every key present, and keys between and around them.
            std::vector<core::Bytes> probes;
            for (const auto& e : expected) {
                probes.push_back(e.key);
                core::Bytes after = e.key;
                after.push_back(0x00);
                probes.push_back(after);
                if (!e.key.empty() && e.key.back() > 0) {
                    core::Bytes before = e.key;
                    --before.back();
                    probes.push_back(before);
                }
            }
            probes.push_back({});
            probes.push_back(core::Bytes(3, 0xFF));
            std::shuffle(probes.begin(), probes.end(), random);
            if (probes.size() > 300) probes.resize(300);
            for (const auto& key : probes) {
                const auto first =
                    std::partition_point(expected.begin(), expected.end(),
                                         [&](const IndexEntry& e) { return keyLess(e, key); });
                cursor.seek(key);
                if (first == expected.end()) {
                    EXPECT_FALSE(cursor.next());
                } else {
                    ASSERT_TRUE(cursor.next());
                    EXPECT_EQ(cursor.entry(), *first);
                }
                // The entry before the seek position is the last one below the key.
                cursor.seek(key);
                if (first == expected.begin()) {
                    EXPECT_FALSE(cursor.previous());
                } else {
                    ASSERT_TRUE(cursor.previous());
                    EXPECT_EQ(cursor.entry(), *(first - 1));
                }
                const auto past = std::partition_point(
                    expected.begin(), expected.end(),
                    [&](const IndexEntry& e) { return jet::compareKeys(e.key, key) <= 0; });
                cursor.seekPast(key);
                if (past == expected.end()) {
                    EXPECT_FALSE(cursor.next());
                } else {
                    ASSERT_TRUE(cursor.next());
                    EXPECT_EQ(cursor.entry(), *past);
                }
            }
            // Seeking each exact entry finds it.
            for (const auto& e : expected) {
                cursor.seek(e.key, e.row);
                ASSERT_TRUE(cursor.next());
                EXPECT_EQ(cursor.entry(), e);
            }
        }
    }
}

TEST(IndexCursor, RangesHoldTheRowsWithKeysFromLowUpToHigh) {
    REQUIRE_SAMPLES();
    std::mt19937 random(11);
    for (const char* name : testing_support::kIndexSamples) {
        const auto db = testing_support::openSample(name);
        const jet::PageFileSource source(db->pages());
        for (const auto& index : sampleIndexes(*db)) {
            SCOPED_TRACE(std::string(name) + " " + index.name());
            const auto expected = expectedEntries(index);
            if (expected.empty()) continue;
            std::uniform_int_distribution<std::size_t> pick(0, expected.size() - 1);
            for (int round = 0; round < 20; ++round) {
                core::Bytes a = expected[pick(random)].key, b = expected[pick(random)].key;
                if (jet::compareKeys(b, a) < 0) std::swap(a, b);
                std::vector<jet::RowId> want;
                for (const auto& e : expected)
                    if (jet::compareKeys(e.key, a) >= 0 && jet::compareKeys(e.key, b) < 0)
                        want.push_back(e.row);
                EXPECT_EQ(jet::rowsInRange(source, index.data.firstPage, ByteSpan(a), ByteSpan(b)),
                          want);
                std::vector<jet::RowId> fromA, all;
                for (const auto& e : expected) {
                    all.push_back(e.row);
                    if (jet::compareKeys(e.key, a) >= 0) fromA.push_back(e.row);
                }
                EXPECT_EQ(jet::rowsInRange(source, index.data.firstPage, ByteSpan(a), std::nullopt),
                          fromA);
                EXPECT_EQ(
                    jet::rowsInRange(source, index.data.firstPage, std::nullopt, std::nullopt),
                    all);
            }
        }
    }
}

TEST(IndexCursor, TurnsAroundBetweenEntriesAndAcrossLeaves) {
    REQUIRE_SAMPLES();
    const auto db = testing_support::openSample("compound-index.mdb");
    const jet::PageFileSource source(db->pages());
    for (const auto& index : sampleIndexes(*db)) {
        const auto expected = expectedEntries(index);
        jet::IndexCursor cursor(source, index.data.firstPage);
        std::set<std::uint32_t> leaves;
        walkForward(cursor, &leaves);
        if (leaves.size() < 2) continue;
        // Forward to each entry, one back and forward again.
        cursor.beforeFirst();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_TRUE(cursor.next());
            ASSERT_EQ(cursor.entry(), expected[i]);
            if (i > 0) {
                ASSERT_TRUE(cursor.previous());
                ASSERT_EQ(cursor.entry(), expected[i]);
                ASSERT_TRUE(cursor.previous());
                ASSERT_EQ(cursor.entry(), expected[i - 1]);
                ASSERT_TRUE(cursor.next());
                ASSERT_TRUE(cursor.next());
                ASSERT_EQ(cursor.entry(), expected[i]);
            }
        }
        EXPECT_FALSE(cursor.next());
        ASSERT_TRUE(cursor.previous());
        EXPECT_EQ(cursor.entry(), expected.back());
        return;
    }
    FAIL() << "compound-index.mdb has no index over several leaves";
}

// The two-leaf index of compound-index.mdb in memory, to damage.
struct TwoLeafIndex {
    testing_support::MemoryPageStore store;
    std::uint32_t root = 0;
    std::vector<std::uint32_t> leaves;
};

TwoLeafIndex twoLeafIndex() {
    TwoLeafIndex t;
    const auto db = testing_support::openSample("compound-index.mdb");
    t.store.copyFrom(db->pages());
    for (const auto& index : sampleIndexes(*db)) {
        jet::IndexCursor cursor(t.store, index.data.firstPage);
        std::set<std::uint32_t> leaves;
        walkForward(cursor, &leaves);
        if (leaves.size() < 2) continue;
        t.root = index.data.firstPage;
        t.leaves.assign(leaves.begin(), leaves.end());
    }
    return t;
}

jet::PageBytes relinked(const jet::PageRef& page, std::uint32_t previous, std::uint32_t next) {
    jet::IndexPage p = jet::parseIndexPage(jet::bytesOf(page));
    p.previous = previous;
    p.next = next;
    return jet::encodeIndexPage(p, p.storedPrefix);
}

TEST(IndexCursor, ReportsLeafChainsThatLoop) {
    REQUIRE_SAMPLES();
    TwoLeafIndex t = twoLeafIndex();
    ASSERT_EQ(t.leaves.size(), 2u);
    jet::IndexCursor cursor(t.store, t.root);
    cursor.beforeFirst();
    const std::uint32_t first = cursor.leafPage();
    const std::uint32_t second = first == t.leaves[0] ? t.leaves[1] : t.leaves[0];
    t.store.poke(second, relinked(t.store.read(second), first, first));
    cursor.beforeFirst();
    EXPECT_THROW(
        {
            while (cursor.next()) {
            }
        },
        core::FormatError);
    // Backwards the same.
    t.store.poke(first, relinked(t.store.read(first), second, second));
    cursor.afterLast();
    EXPECT_THROW(
        {
            while (cursor.previous()) {
            }
        },
        core::FormatError);
}

TEST(IndexCursor, ReportsChildPointersThatGoRound) {
    REQUIRE_SAMPLES();
    TwoLeafIndex t = twoLeafIndex();
    ASSERT_NE(t.root, 0u);
    jet::IndexPage root = jet::parseIndexPage(jet::bytesOf(t.store.read(t.root)));
    ASSERT_FALSE(root.leaf);
    root.tail = t.root;
    t.store.poke(t.root, jet::encodeIndexPage(root, root.storedPrefix));
    jet::IndexCursor cursor(t.store, t.root);
    EXPECT_THROW(cursor.afterLast(), core::FormatError);
    // A link to a page that is no leaf is damage too.
    jet::IndexCursor forward(t.store, t.root);
    forward.beforeFirst();
    const std::uint32_t first = forward.leafPage();
    t.store.poke(first, relinked(t.store.read(first), 0, t.root));
    forward.beforeFirst();
    EXPECT_THROW(
        {
            while (forward.next()) {
            }
        },
        core::FormatError);
}

} // namespace
