#include "jet/index/IndexTree.h"

#include "jet/index/IndexBuild.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexPageBatch.h"
#include "jet/index/IndexTreeEdit.h"
#include "jet/index/IndexVerify.h"

namespace jet {

IndexTree::IndexTree(IndexPageStore& store, std::uint32_t tablePage, const IndexData& data,
                     bool primaryKey)
    : store_(store), owner_(tablePage), root_(data.firstPage), data_(data),
      unique_(primaryKey || (data.flags & index_flag::kUnique) != 0) {
    if (root_ == 0) throwDamaged("an index has no root page");
}

bool IndexTree::ignoresNulls() const {
    return (data_.flags & index_flag::kIgnoreNulls) != 0;
}

bool IndexTree::admits(ByteSpan key) const {
    return indexAdmitsKey(data_, key);
}

bool IndexTree::containsKey(ByteSpan key) const {
    IndexCursor c(store_, root_);
    c.seek(key);
    return c.next() && compareKeys(c.key(), key) == 0;
}

InsertStatus IndexTree::insert(ByteSpan key, RowId row) {
    if (key.size() > index_page::kMaxKeySize)
        throw core::Error("The index key is longer than " +
                          std::to_string(index_page::kMaxKeySize) + " bytes.");
    if (!admits(key)) return InsertStatus::LeftOut;
    IndexPageBatch batch(store_, owner_);
    IndexTreeEdit edit(batch, root_);
    edit.descend(key, row);
    const std::uint32_t leafPage = edit.leafPage();
    const std::size_t at = batch.view(leafPage).lowerBound(key, row);
    {
        const IndexPage& leaf = batch.view(leafPage);
        if (at < leaf.size() && compareEntries(leaf.key(at), leaf.row(at), key, row) == 0)
            return InsertStatus::AlreadyPresent;
    }
    if (unique_ && !isAllNullKey(data_, key) && containsKey(key)) return InsertStatus::DuplicateKey;

    IndexPage& leaf = batch.edit(leafPage);
    leaf.insert(at, key, row);
    const bool last = at + 1 == leaf.size();
    std::optional<IndexEntry> newLast;
    if (last) newLast = IndexEntry{core::Bytes(key.begin(), key.end()), row};
    edit.settle(std::move(newLast), false, last && leaf.next == 0);
    batch.commit();
    return InsertStatus::Inserted;
}

bool IndexTree::remove(ByteSpan key, RowId row) {
    if (!admits(key)) return false;
    IndexPageBatch batch(store_, owner_);
    IndexTreeEdit edit(batch, root_);
    edit.descend(key, row);
    const std::uint32_t leafPage = edit.leafPage();
    const std::size_t at = batch.view(leafPage).lowerBound(key, row);
    {
        const IndexPage& leaf = batch.view(leafPage);
        if (at == leaf.size() || compareEntries(leaf.key(at), leaf.row(at), key, row) != 0)
            return false;
    }
    IndexPage& leaf = batch.edit(leafPage);
    leaf.erase(at);
    std::optional<IndexEntry> newLast;
    if (at == leaf.size() && !leaf.empty()) newLast = leaf.entryValue(leaf.size() - 1);
    edit.settle(std::move(newLast), true, false);
    batch.commit();
    return true;
}

void IndexTree::createEmpty() {
    IndexPage root;
    root.owner = owner_;
    store_.write(root_, encodeIndexPage(root));
}

void IndexTree::build(std::span<const IndexEntry> entries) {
    if (!ignoresNulls()) return writeIndexTree(store_, owner_, root_, entries);
    std::vector<IndexEntry> kept;
    kept.reserve(entries.size());
    for (const IndexEntry& e : entries)
        if (admits(e.key)) kept.push_back(e);
    writeIndexTree(store_, owner_, root_, kept);
}

std::vector<std::string> IndexTree::verify(std::span<const IndexEntry> expected) const {
    std::vector<IndexEntry> kept;
    kept.reserve(expected.size());
    for (const IndexEntry& e : expected)
        if (admits(e.key)) kept.push_back(e);
    return verifyIndexTree(store_, owner_, root_, std::move(kept));
}

} // namespace jet
