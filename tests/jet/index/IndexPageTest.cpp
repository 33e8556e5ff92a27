// Reading and writing single index pages: every index page of every sample file comes out
// of the encoder byte for byte as Access wrote it, and damaged pages are refused.
#include "jet/index/IndexPage.h"
#include "SampleIndexes.h"
#include "common/Samples.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using namespace jet::index_page;
using jet::IndexPage;
using jet::kPageSize;
using jet::PageBytes;
using jet::RowId;

core::Bytes bytes(std::initializer_list<int> list) {
    core::Bytes b;
    for (int v : list) b.push_back(std::uint8_t(v));
    return b;
}

TEST(IndexPage, EncodesEverySamplePageAsAccessWroteIt) {
    REQUIRE_SAMPLES();
    std::size_t leaves = 0, nodes = 0, withPrefix = 0, entries = 0;
    for (const auto& file : std::filesystem::directory_iterator(testing_support::samplesDir())) {
        if (file.path().extension() != ".mdb") continue;
        const std::string name = file.path().filename().string();
        const auto db = testing_support::openSample(name);
        const jet::PageFile& pages = db->pages();
        for (std::uint32_t number = 0; number < pages.pageCount(); ++number) {
            const jet::PageRef page = pages.read(number);
            if (!jet::isIndexPage(jet::bytesOf(page))) continue;
            SCOPED_TRACE(name + " page " + std::to_string(number));
            const IndexPage p = jet::parseIndexPage(jet::bytesOf(page));
            const PageBytes out = jet::encodeIndexPage(p, p.storedPrefix);
            // What follows the entries is whatever the page held before.
            const std::size_t used = kPageSize - jet::u16(jet::bytesOf(page), kFreeSpace);
            ASSERT_GE(used, kFirstEntry);
            EXPECT_TRUE(std::equal(out.begin(), out.begin() + std::ptrdiff_t(used), page->begin()));
            EXPECT_EQ(jet::u16(jet::ByteSpan(out), kFreeSpace), kPageSize - used);
            (p.leaf ? leaves : nodes) += 1;
            withPrefix += p.storedPrefix != 0;
            entries += p.size();
            // Parsing our own encoding with the best prefix gives the same entries.
            const IndexPage again = jet::parseIndexPage(jet::ByteSpan(jet::encodeIndexPage(p)));
            ASSERT_EQ(again.size(), p.size());
            for (std::size_t i = 0; i < p.size(); ++i) {
                EXPECT_TRUE(std::ranges::equal(again.entry(i), p.entry(i)));
            }
            EXPECT_EQ(again.storedPrefix, p.sharedPrefix());
        }
    }
    EXPECT_GT(leaves, 100u);
    EXPECT_GE(nodes, 1u);
    EXPECT_GE(withPrefix, 1u);
    EXPECT_GT(entries, 2000u);
}

TEST(IndexPage, AccessIntermediatePageHasEntriesForAllButItsTail) {
    REQUIRE_SAMPLES();
    const auto db = testing_support::openSample("compound-index.mdb");
    const jet::PageFile& pages = db->pages();
    bool found = false;
    for (std::uint32_t number = 0; number < pages.pageCount(); ++number) {
        const auto page = pages.read(number);
        if ((*page)[0] != std::uint8_t(jet::PageType::IndexNode)) continue;
        const IndexPage node = jet::parseIndexPage(jet::bytesOf(page));
        ASSERT_EQ(node.size(), 1u);
        ASSERT_NE(node.tail, 0u);
        // The entry repeats the last entry of its child, a leaf linked to the tail.
        const IndexPage child = jet::parseIndexPage(jet::bytesOf(pages.read(node.child(0))));
        ASSERT_TRUE(child.leaf);
        ASSERT_FALSE(child.empty());
        EXPECT_EQ(child.entryValue(child.size() - 1), node.entryValue(0));
        EXPECT_EQ(child.next, node.tail);
        const IndexPage tail = jet::parseIndexPage(jet::bytesOf(pages.read(node.tail)));
        EXPECT_TRUE(tail.leaf);
        EXPECT_EQ(tail.previous, node.child(0));
        found = true;
    }
    EXPECT_TRUE(found);
}

IndexPage leafWith(const std::vector<core::Bytes>& keys) {
    IndexPage p;
    p.owner = 42;
    for (std::size_t i = 0; i < keys.size(); ++i)
        p.insert(p.size(), keys[i], RowId{std::uint32_t(0x10203 + i), std::uint8_t(i)});
    return p;
}

TEST(IndexPage, SharesTheLeadingBytesOfItsKeys) {
    const IndexPage p =
        leafWith({bytes({0x7f, 1, 2, 3, 4}), bytes({0x7f, 1, 2, 3, 9}), bytes({0x7f, 1, 2, 8, 0})});
    EXPECT_EQ(p.sharedPrefix(), 3u);
    EXPECT_EQ(p.rawSize(), 3u * 9);
    EXPECT_EQ(p.encodedSize(), 3u * 9 - 2 * 3);
    const PageBytes out = jet::encodeIndexPage(p);
    EXPECT_EQ(out[0], 0x04);
    EXPECT_EQ(out[1], 0x01);
    EXPECT_EQ(jet::u32(jet::ByteSpan(out), kOwner), 42u);
    EXPECT_EQ(jet::u16(jet::ByteSpan(out), kPrefixLength), 3u);
    EXPECT_EQ(jet::u16(jet::ByteSpan(out), kFreeSpace), kPageSize - kFirstEntry - 21);
    // The first entry whole, the others without the shared bytes; the bitmap marks ends.
    const core::Bytes first(out.begin() + kFirstEntry, out.begin() + kFirstEntry + 9);
    EXPECT_EQ(first, bytes({0x7f, 1, 2, 3, 4, 0x01, 0x02, 0x03, 0}));
    const core::Bytes second(out.begin() + kFirstEntry + 9, out.begin() + kFirstEntry + 15);
    EXPECT_EQ(second, bytes({3, 9, 0x01, 0x02, 0x04, 1}));
    // Ends at 9, 15 and 21: bits 1 and 7 of the second byte, bit 5 of the third.
    EXPECT_EQ(out[kEntryMask], 0x00);
    EXPECT_EQ(out[kEntryMask + 1], 0x82);
    EXPECT_EQ(out[kEntryMask + 2], 0x20);
    EXPECT_TRUE(std::all_of(out.begin() + kEntryMask + 3, out.begin() + kFirstEntry,
                            [](std::uint8_t b) { return b == 0; }));
    const IndexPage back = jet::parseIndexPage(jet::ByteSpan(out));
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.entryValue(i), p.entryValue(i));
    }
    // A prefix the entries do not share cannot be written.
    EXPECT_THROW(jet::encodeIndexPage(p, 4), core::Error);
    EXPECT_NO_THROW(jet::encodeIndexPage(p, 0));
}

// A page read, then given entries after its last one, is patched in place; the bytes must
// be what a full encode gives, and any other change must be refused.
TEST(IndexPage, PatchesAppendedEntriesAsAFullEncodeWritesThem) {
    const IndexPage base = jet::parseIndexPage(jet::ByteSpan(jet::encodeIndexPage(leafWith(
        {bytes({0x7f, 1, 2, 3, 4}), bytes({0x7f, 1, 2, 3, 9}), bytes({0x7f, 1, 2, 8, 0})}))));
    const PageBytes baseBytes = jet::encodeIndexPage(base);
    struct Case {
        const char* name;
        std::function<void(IndexPage&)> edit;
        bool patched;
    };
    const Case cases[] = {
        {"one_appended",
         [](IndexPage& p) {
             p.insert(3, bytes({0x7f, 1, 2, 9, 1}), RowId{5, 1});
         },
         true},
        {"two_appended",
         [](IndexPage& p) {
             p.insert(3, bytes({0x7f, 1, 2, 9, 1}), RowId{5, 1});
             p.insert(4, bytes({0x7f, 1, 2, 9, 2}), RowId{5, 2});
         },
         true},
        {"inserted_before_the_last",
         [](IndexPage& p) {
             p.insert(2, bytes({0x7f, 1, 2, 5, 0}), RowId{5, 1});
         },
         false},
        {"shared_prefix_shrinks",
         [](IndexPage& p) {
             p.insert(3, bytes({0x7f, 2}), RowId{5, 1});
         },
         false},
        {"neighbour_changed",
         [](IndexPage& p) {
             p.insert(3, bytes({0x7f, 1, 2, 9, 1}), RowId{5, 1});
             p.next = 77;
         },
         false},
        {"nothing_appended", [](IndexPage&) {}, false},
    };
    for (const Case& c : cases) {
        IndexPage edited = base;
        c.edit(edited);
        PageBytes patched = baseBytes;
        EXPECT_EQ(jet::encodeAppended(edited, base, patched), c.patched) << c.name;
        if (c.patched)
            EXPECT_TRUE(patched == jet::encodeIndexPage(edited)) << c.name;
        else
            EXPECT_TRUE(patched == baseBytes) << c.name;
    }
}

TEST(IndexPage, IntermediateEntriesCarryTheirChildPage) {
    IndexPage p;
    p.leaf = false;
    p.tail = 77;
    p.insert(0, bytes({0x7f, 5}), RowId{0x123456, 7}, 0x01020304);
    p.insert(0, bytes({0x7f, 4}), RowId{9, 1}, 12);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p.child(0), 12u);
    EXPECT_EQ(p.child(1), 0x01020304u);
    EXPECT_EQ(p.row(1), (RowId{0x123456, 7}));
    EXPECT_TRUE(std::ranges::equal(p.entry(1), bytes({0x7f, 5, 0x12, 0x34, 0x56, 7, 1, 2, 3, 4})));
    p.setChild(1, 99);
    p.replace(0, bytes({0x7f, 3, 3}), RowId{8, 2});
    EXPECT_EQ(p.child(0), 12u);
    EXPECT_EQ(p.child(1), 99u);
    EXPECT_EQ(p.entryValue(0), (jet::IndexEntry{bytes({0x7f, 3, 3}), RowId{8, 2}}));
    const IndexPage back = jet::parseIndexPage(jet::ByteSpan(jet::encodeIndexPage(p)));
    EXPECT_FALSE(back.leaf);
    EXPECT_EQ(back.tail, 77u);
    EXPECT_EQ(back.child(1), 99u);
    EXPECT_EQ(back.entryValue(1), p.entryValue(1));
    // Moving entries between pages keeps them whole.
    IndexPage other;
    other.leaf = false;
    other.append(p, 1, 2);
    p.erase(1);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other.child(0), 99u);
    EXPECT_EQ(p.size(), 1u);
    EXPECT_EQ(p.child(0), 12u);
}

TEST(IndexPage, FindsEntriesByKeyAndByKeyAndRow) {
    const IndexPage p = leafWith({bytes({1}), bytes({2}), bytes({2}), bytes({2, 0}), bytes({3})});
    EXPECT_EQ(p.lowerBoundKey(bytes({2})), 1u);
    EXPECT_EQ(p.lowerBoundKey(bytes({2, 0})), 3u);
    EXPECT_EQ(p.lowerBoundKey(bytes({4})), 5u);
    EXPECT_EQ(p.lowerBound(bytes({2}), p.row(2)), 2u);
    EXPECT_EQ(p.lowerBound(bytes({2}), RowId{0xFFFFFF, 255}), 3u);
    EXPECT_EQ(p.lowerBound({}, RowId{}), 0u);
}

TEST(IndexPage, RefusesEntriesThatDoNotFit) {
    IndexPage p;
    while (p.fits()) p.insert(p.size(), core::Bytes(100, std::uint8_t(p.size())), RowId{1, 1});
    EXPECT_GT(p.encodedSize(), kEntryCapacity);
    EXPECT_THROW(jet::encodeIndexPage(p), core::Error);
    p.erase(p.size() - 1);
    EXPECT_NO_THROW(jet::encodeIndexPage(p));
}

TEST(IndexPage, RefusesDamagedPages) {
    const PageBytes good = jet::encodeIndexPage(leafWith({bytes({0x7f, 1}), bytes({0x7f, 2})}));
    ASSERT_NO_THROW(jet::parseIndexPage(jet::ByteSpan(good)));

    PageBytes notIndex = good;
    notIndex[0] = 0x01;
    EXPECT_FALSE(jet::isIndexPage(jet::ByteSpan(notIndex)));
    EXPECT_THROW(jet::parseIndexPage(jet::ByteSpan(notIndex)), core::FormatError);

    PageBytes beyond = good; // an entry said to end past the page
    beyond[kEntryMask + kEntryMaskSize - 1] = 0x80;
    EXPECT_THROW(jet::parseIndexPage(jet::ByteSpan(beyond)), core::FormatError);

    PageBytes shortEntry = good; // an entry of two bytes has no room for its row
    shortEntry[kEntryMask] |= 0x04;
    EXPECT_THROW(jet::parseIndexPage(jet::ByteSpan(shortEntry)), core::FormatError);

    PageBytes longPrefix = good; // more shared bytes than the first entry has
    longPrefix[kPrefixLength] = 7;
    EXPECT_THROW(jet::parseIndexPage(jet::ByteSpan(longPrefix)), core::FormatError);

    PageBytes node = good; // intermediate entries need a child page besides
    node[0] = 0x03;
    EXPECT_THROW(jet::parseIndexPage(jet::ByteSpan(node)), core::FormatError);

    PageBytes empty = good;
    std::fill(empty.begin() + kEntryMask, empty.begin() + kFirstEntry, 0);
    EXPECT_EQ(jet::parseIndexPage(jet::ByteSpan(empty)).size(), 0u);
}

} // namespace
