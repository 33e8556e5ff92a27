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

std::optional<bool> IndexTree::hintHolds(ByteSpan key) const {
    if (hint_ == 0) return std::nullopt;
    const auto leaf = store_.parsed(hint_);
    if (!leaf->leaf || leaf->owner != owner_ || leaf->empty()) return std::nullopt;
    // Equal keys lie side by side in leaf order: a key above the leaf's first and at most its
    // last (or past it on the last leaf) has all its entries here.
    const std::size_t last = leaf->size() - 1;
    if (compareKeys(leaf->key(0), key) >= 0) return std::nullopt;
    if (leaf->next != 0 && compareKeys(key, leaf->key(last)) > 0) return std::nullopt;
    const std::size_t at = leaf->lowerBoundKey(key);
    return at < leaf->size() && compareKeys(leaf->key(at), key) == 0;
}

bool IndexTree::containsKey(ByteSpan key) const {
    if (auto held = hintHolds(key)) return *held;
    IndexCursor c(store_, root_);
    c.seek(key);
    return c.next() && compareKeys(c.key(), key) == 0;
}

std::optional<InsertStatus> IndexTree::append(ByteSpan key, RowId row) {
    if (hint_ == 0 || !hintIsTail_) return std::nullopt;
    const auto base = store_.parsed(hint_);
    if (!base->leaf || base->owner != owner_ || base->next != 0 || base->empty())
        return std::nullopt;
    const std::size_t last = base->size() - 1;
    if (compareEntries(base->key(last), base->row(last), key, row) >= 0) return std::nullopt;
    // Every key of the index is at most the last one.
    if (unique_ && !isAllNullKey(data_, key) && compareKeys(base->key(last), key) == 0)
        return InsertStatus::DuplicateKey;
    IndexPage page;
    page.reserve(base->rawSize() + key.size() + page.trailerSize(), base->size() + 1);
    page = *base;
    page.insert(page.size(), key, row);
    if (!page.fits()) return std::nullopt;
    PageBytes bytes = *store_.read(hint_);
    if (!encodeAppended(page, *base, bytes)) bytes = encodeIndexPage(page);
    store_.write(hint_, bytes);
    page.storedPrefix = storedPrefixLength(ByteSpan(bytes), *page.format);
    store_.written(hint_, std::move(page));
    return InsertStatus::Inserted;
}

InsertStatus IndexTree::insert(ByteSpan key, RowId row) {
    const std::size_t longest = store_.format().maxIndexKeySize();
    if (key.size() > longest)
        throw core::Error("The index key is longer than " + std::to_string(longest) + " bytes.");
    if (!admits(key)) return InsertStatus::LeftOut;
    if (auto status = append(key, row)) return *status;
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
    if (unique_ && !isAllNullKey(data_, key)) {
        // The entries next to the gap decide, unless the gap is at an edge of the leaf with
        // another leaf beyond it.
        const IndexPage& leaf = batch.view(leafPage);
        const bool before = at > 0 && compareKeys(leaf.key(at - 1), key) == 0;
        const bool after = at < leaf.size() && compareKeys(leaf.key(at), key) == 0;
        if (before || after) return InsertStatus::DuplicateKey;
        const bool closed = (at > 0 || leaf.previous == 0) && (at < leaf.size() || leaf.next == 0);
        if (!closed && containsKey(key)) return InsertStatus::DuplicateKey;
    }

    const bool byTails = edit.reachedByTails();
    IndexPage& leaf = batch.edit(leafPage);
    leaf.insert(at, key, row);
    const bool last = at + 1 == leaf.size();
    const bool lastLeaf = leaf.next == 0;
    std::optional<IndexEntry> newLast;
    if (last) newLast = IndexEntry{core::Bytes(key.begin(), key.end()), row};
    edit.settle(std::move(newLast), false, last && lastLeaf);
    // A split changes the pages above; the next insert finds its way from the root.
    const bool grew = batch.grew();
    batch.commit();
    hint_ = leafPage;
    hintIsTail_ = byTails && lastLeaf && !grew;
    return InsertStatus::Inserted;
}

bool IndexTree::remove(ByteSpan key, RowId row) {
    hint_ = 0; // a removal may free the leaf
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
    hint_ = 0;
    IndexPage root(store_.format());
    root.owner = owner_;
    store_.write(root_, encodeIndexPage(root));
}

void IndexTree::build(std::span<const IndexEntry> entries) {
    hint_ = 0;
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
