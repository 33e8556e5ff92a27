#pragma once
// Walks an index's entries in key order, forwards or backwards, from either end or from a
// key. The cursor sits between two entries: next() returns the one after it and moves past
// it, previous() the one before. Leaf pages are followed through their neighbour links; a
// chain that loops is reported as damage rather than walked for ever.
#include "jet/index/IndexPage.h"
#include "jet/index/IndexPageStore.h"

#include <optional>
#include <unordered_set>
#include <vector>

namespace jet {

class IndexCursor {
public:
    // Before the first entry; no page is read until the cursor moves.
    IndexCursor(const IndexPageSource& pages, std::uint32_t rootPage);

    void beforeFirst();
    void afterLast();
    // Before the first entry whose key is not below `key`.
    void seek(ByteSpan key);
    // Before the first entry whose key is above `key`.
    void seekPast(ByteSpan key);
    // Before the entry (key, row), or where it would be.
    void seek(ByteSpan key, RowId row);

    // False, leaving the cursor where it is, at the end in that direction.
    bool next();
    bool previous();

    // The entry next() or previous() returned last.
    ByteSpan key() const { return leaf_->key(current_); }
    RowId rowId() const { return leaf_->row(current_); }
    IndexEntry entry() const { return leaf_->entryValue(current_); }
    // Where that entry is stored.
    std::uint32_t leafPage() const { return leafPage_; }

private:
    enum class Step { Forward, Backward };
    // Goes down from the root to the leaf holding the first entry for which `before` is false.
    template <class Before> void descend(Before before);
    void load(std::uint32_t page, Step step);

    const IndexPageSource& pages_;
    std::uint32_t root_;
    std::shared_ptr<const IndexPage> leaf_ = std::make_shared<const IndexPage>();
    std::uint32_t leafPage_ = 0;
    std::size_t gap_ = 0;     // entries before it are behind the cursor
    std::size_t current_ = 0; // valid after next() or previous() returned true
    bool positioned_ = false;
    std::optional<Step> direction_;
    std::unordered_set<std::uint32_t> visited_; // leaves seen since the walk last turned
};

// The rows of the entries with low <= key < high in key order; a missing bound is open.
std::vector<RowId> rowsInRange(const IndexPageSource& pages, std::uint32_t rootPage,
                               std::optional<ByteSpan> low, std::optional<ByteSpan> high);

} // namespace jet
