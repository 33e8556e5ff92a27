// Parsed index pages are reused only while the file still gives the very bytes they were
// parsed from: after a write, a rolled-back savepoint or a rolled-back transaction the page
// comes back as the file now holds it, never as it was parsed before.
#include "jet/index/ParsedIndexPages.h"
#include "common/Samples.h"

#include <gtest/gtest.h>

namespace {

using jet::IndexPage;
using jet::PageBytes;
using jet::RowId;

// A leaf with one entry pointing to row (n, 1).
PageBytes leafFor(std::uint32_t n) {
    IndexPage p;
    p.leaf = true;
    p.owner = 2;
    const core::Bytes key{0x7f, static_cast<std::uint8_t>(n)};
    p.insert(0, key, RowId{n, 1});
    return jet::encodeIndexPage(p, 0);
}

TEST(ParsedIndexPages, FollowTheFileThroughWritesAndRollbacks) {
    auto file = jet::PageFile::create(testing_support::scratchDir("parsed-index-pages") / "p.mdb");
    file->begin();
    file->append(leafFor(9)); // page 0 stands for the header
    const std::uint32_t page = file->append(leafFor(1));
    jet::ParsedIndexPages pages;
    auto rowOf = [&] { return pages.get(page, file->read(page))->row(0); };

    const auto first = pages.get(page, file->read(page));
    EXPECT_EQ(first->row(0), (RowId{1, 1}));
    EXPECT_EQ(pages.get(page, file->read(page)), first) << "unchanged bytes are parsed once";

    file->write(page, leafFor(2));
    EXPECT_EQ(rowOf(), (RowId{2, 1}));
    file->beginSavepoint();
    file->write(page, leafFor(3));
    EXPECT_EQ(rowOf(), (RowId{3, 1}));
    file->rollbackToSavepoint();
    EXPECT_EQ(rowOf(), (RowId{2, 1}));
    file->commit();
    EXPECT_EQ(rowOf(), (RowId{2, 1}));

    file->begin();
    file->write(page, leafFor(4));
    EXPECT_EQ(rowOf(), (RowId{4, 1}));
    file->rollback();
    EXPECT_EQ(rowOf(), (RowId{2, 1}));
    // A page written while an earlier parse of it is still held elsewhere.
    file->begin();
    const auto held = pages.get(page, file->read(page));
    file->write(page, leafFor(5));
    EXPECT_EQ(rowOf(), (RowId{5, 1}));
    EXPECT_EQ(held->row(0), (RowId{2, 1}));
    file->rollback();
}

} // namespace
