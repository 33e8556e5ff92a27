// The integrity check finds each kind of damage in a tree of three levels: entries out of
// order or in the wrong subtree, parent entries that do not match, broken links, pages of
// another table, wrong free space, loops, and entries missing or extra against the rows.
#include "MemoryPageStore.h"
#include "jet/index/IndexPage.h"
#include "jet/index/IndexTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace {

using jet::IndexEntry;
using jet::IndexPage;
using jet::RowId;
using testing_support::MemoryPageStore;

// One tree, built once per test, three levels deep.
class IndexVerify : public ::testing::Test {
protected:
    void SetUp() override {
        data.columns.push_back({0, true});
        data.firstPage = store.allocate();
        tree = std::make_unique<jet::IndexTree>(store, 2, data);
        std::mt19937 random(3);
        std::uniform_int_distribution<int> byte(0x60, 0x7A), page(1, 0xFFFF);
        std::set<IndexEntry> set;
        while (set.size() < 5000) {
            core::Bytes key{0x7F};
            for (int k = 0; k < 100; ++k) key.push_back(std::uint8_t(byte(random)));
            set.insert({key, RowId{std::uint32_t(page(random)), 1}});
        }
        entries.assign(set.begin(), set.end());
        tree->build(entries);
        ASSERT_TRUE(tree->verify(entries).empty());
        root = read(data.firstPage);
        ASSERT_FALSE(root.leaf);
        middle = read(root.child(0));
        ASSERT_FALSE(middle.leaf) << "the tree should have three levels";
        firstLeafPage = middle.child(0);
    }

    IndexPage read(std::uint32_t page) const {
        return jet::parseIndexPage(jet::bytesOf(store.read(page)));
    }
    void change(std::uint32_t page, const std::function<void(IndexPage&)>& edit) {
        IndexPage p = read(page);
        edit(p);
        store.poke(page, jet::encodeIndexPage(p));
    }
    // Whether some problem found mentions `text`.
    bool found(const std::string& text) const {
        const auto problems = tree->verify(entries);
        for (const auto& p : problems)
            if (p.find(text) != std::string::npos) return true;
        ADD_FAILURE() << "no problem mentions \"" << text << "\" among " << problems.size();
        for (const auto& p : problems) ADD_FAILURE() << p;
        return false;
    }

    MemoryPageStore store;
    jet::IndexData data;
    std::unique_ptr<jet::IndexTree> tree;
    std::vector<IndexEntry> entries;
    IndexPage root, middle;
    std::uint32_t firstLeafPage = 0;
};

TEST_F(IndexVerify, FindsEntriesOutOfOrder) {
    change(firstLeafPage, [](IndexPage& p) {
        const IndexEntry a = p.entryValue(3), b = p.entryValue(4);
        p.replace(3, b.key, b.row);
        p.replace(4, a.key, a.row);
    });
    EXPECT_TRUE(found("entries 3 and 4 are out of order"));
}

TEST_F(IndexVerify, FindsEntriesUnderTheWrongParentEntry) {
    // The first leaf's last entry taken away and put in place of the second leaf's first.
    const std::uint32_t second = middle.child(1);
    IndexEntry moved;
    change(firstLeafPage, [&](IndexPage& p) {
        moved = p.entryValue(p.size() - 1);
        p.erase(p.size() - 1);
    });
    change(second, [&](IndexPage& p) { p.replace(0, moved.key, moved.row); });
    EXPECT_TRUE(found("holds entries that belong before it"));
    EXPECT_TRUE(found("is not the last entry of index page " + std::to_string(firstLeafPage)));
}

TEST_F(IndexVerify, FindsBrokenLinks) {
    change(firstLeafPage, [](IndexPage& p) { p.next = 0; });
    EXPECT_TRUE(found("links on to page 0 instead of"));
    // Intermediate pages link to their siblings.
    change(root.child(0), [](IndexPage& p) { p.next = 0; });
    EXPECT_TRUE(found("is not linked to its neighbours"));
}

TEST_F(IndexVerify, FindsPagesOfAnotherTableAndWrongFreeSpace) {
    change(firstLeafPage, [](IndexPage& p) { p.owner = 99; });
    EXPECT_TRUE(found("belongs to another table"));
    jet::PageBytes bytes = *store.read(middle.child(1));
    bytes[jet::index_page::kFreeSpace] ^= 0x01;
    store.poke(middle.child(1), bytes);
    EXPECT_TRUE(found("gives a wrong amount of free space"));
}

TEST_F(IndexVerify, FindsPagesReachedTwice) {
    change(data.firstPage, [&](IndexPage& p) { p.setChild(0, p.tail); });
    EXPECT_TRUE(found("is reached twice"));
}

TEST_F(IndexVerify, FindsPagesThatAreNoIndexPages) {
    jet::PageBytes junk{};
    junk[0] = 0x01;
    store.poke(firstLeafPage, junk);
    EXPECT_TRUE(found("not an index page"));
}

TEST_F(IndexVerify, FindsEntriesMissingOrExtra) {
    const IndexEntry gone = entries[100];
    ASSERT_TRUE(tree->remove(gone.key, gone.row));
    EXPECT_TRUE(found("1 entries the rows call for are missing"));
    ASSERT_EQ(tree->insert(gone.key, gone.row), jet::InsertStatus::Inserted);
    ASSERT_EQ(tree->insert(core::Bytes{0x7F, 1}, RowId{5, 5}), jet::InsertStatus::Inserted);
    EXPECT_TRUE(found("1 entries in the index stand for no row: key 7f01 row 5:5"));
}

TEST_F(IndexVerify, FindsLeavesAtDifferentDepths) {
    // The root's first child replaced by that child's first leaf.
    change(data.firstPage, [&](IndexPage& p) { p.setChild(0, firstLeafPage); });
    EXPECT_TRUE(found("at another depth"));
}

} // namespace
