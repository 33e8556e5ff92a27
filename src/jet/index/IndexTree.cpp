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

void IndexTree::forgetHint() {
    hint_ = 0;
    open_ = {};
}

std::shared_ptr<const IndexPage> IndexTree::hintLeaf() const {
    if (open_.page == hint_ && open_.parsed && store_.read(hint_) == open_.bytes)
        return open_.parsed;
    return store_.parsed(hint_);
}

std::optional<bool> IndexTree::hintHolds(ByteSpan key) const {
    if (hint_ == 0) return std::nullopt;
    const auto leaf = hintLeaf();
    if (!leaf->leaf || leaf->owner != owner_ || leaf->empty()) return std::nullopt;
    // Equal keys lie side by side in leaf order: a key above the leaf's first and at most its
    // last (or past it on the last leaf) has all its entries here.
    const std::size_t last = leaf->size() - 1;
    if (compareKeys(leaf->key(0), key) >= 0) return std::nullopt;
    if (compareKeys(key, leaf->key(last)) > 0) {
        if (leaf->next != 0) return std::nullopt;
        return false; // past every key of the index, as keys written in order are
    }
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
    if (open_.page != hint_ || !open_.parsed || store_.read(hint_) != open_.bytes) {
        // Taken over from the store once per leaf; the tree's copy grows from here.
        open_.page = hint_;
        open_.bytes = store_.read(hint_);
        open_.parsed = std::make_shared<IndexPage>(*store_.parsed(hint_));
        // Room for a full page's entries, so that the appends to come do not regrow it.
        const std::size_t pageSize = store_.format().pageSize;
        open_.parsed->reserve(2 * pageSize, pageSize / 4);
    }
    IndexPage& leaf = *open_.parsed;
    const std::size_t n = leaf.size();
    // A page of fewer than two entries has no shared prefix yet: the second entry sets it.
    if (!leaf.leaf || leaf.owner != owner_ || leaf.next != 0 || n < 2) return std::nullopt;
    const ByteSpan lastKey = leaf.key(n - 1);
    if (compareEntries(lastKey, leaf.row(n - 1), key, row) >= 0) return std::nullopt;
    // Every key of the index is at most the last one.
    if (unique_ && !isAllNullKey(data_, key) && compareKeys(lastKey, key) == 0)
        return InsertStatus::DuplicateKey;

    // The page keeps its header and the prefix its entries share, which a new last key can
    // only shorten (keys are in order); when it does, the whole page is encoded afresh.
    const FileFormat& format = *leaf.format;
    const std::size_t prefix = leaf.storedPrefix;
    const ByteSpan first = leaf.key(0);
    const std::size_t limit = std::min({first.size(), key.size(), format.maxIndexPrefix()});
    std::size_t shared = 0;
    while (shared < limit && first[shared] == key[shared]) ++shared;
    if (shared != prefix) return std::nullopt;
    const std::size_t end = leaf.encodedSize(prefix);
    const std::size_t stored = key.size() + leaf.trailerSize() - prefix;
    if (end + stored > format.indexEntryCapacity()) return std::nullopt;

    // The file's hold on the bytes is given up for the edit, so they change in place.
    open_.bytes.reset();
    PageBytes& bytes = store_.modify(hint_);
    const auto& l = format.indexPage;
    // The entry as the parsed page lays it out (key, then row pointer), less the prefix.
    leaf.insert(n, key, row);
    const ByteSpan entry = leaf.entry(n).subspan(prefix);
    std::copy(entry.begin(), entry.end(), bytes.data() + l.firstEntry() + end);
    const std::size_t newEnd = end + stored;
    bytes[l.entryMask + newEnd / 8] |= std::uint8_t(1u << (newEnd % 8));
    put16(bytes, l.freeSpace, std::uint16_t(format.pageSize - l.firstEntry() - newEnd));
    open_.bytes = store_.read(hint_);
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
    forgetHint(); // a removal may free the leaf
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
    forgetHint();
    IndexPage root(store_.format());
    root.owner = owner_;
    store_.write(root_, encodeIndexPage(root));
}

void IndexTree::build(std::span<const IndexEntry> entries) {
    forgetHint();
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
