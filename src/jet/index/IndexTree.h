#pragma once
// An index B-tree that can be changed: entries inserted and removed one at a time, pages
// split, merged and freed as they fill and empty, or the whole tree written afresh from
// sorted entries. The root page never moves, since the table definition names it.
#include "jet/index/IndexCursor.h"
#include "jet/index/IndexPageStore.h"
#include "jet/schema/TableSchema.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace jet {

// What Jet says when a change would give a unique index two equal keys.
inline constexpr const char* kDuplicateKeyMessage =
    "The changes you requested to the table were not successful because they would create "
    "duplicate values in the index, primary key, or relationship. Change the data in the field "
    "or fields that contain duplicate data, remove the index, or redefine the index to permit "
    "duplicate entries and try again.";

// What Jet says when a key that may not hold Null would hold one.
inline constexpr const char* kNullKeyMessage = "Index or primary key cannot contain a Null value.";

enum class InsertStatus {
    Inserted,
    DuplicateKey,   // a unique index already holds the key for another row; nothing written
    AlreadyPresent, // the same key and row are there already; nothing written
    LeftOut,        // an all-null key of an index that ignores nulls; nothing written
};

class IndexTree {
public:
    // `tablePage` is the table's definition page, which every index page names as owner.
    // Unique is taken from the index flags; a primary key's index is unique whatever they say.
    IndexTree(IndexPageStore& store, std::uint32_t tablePage, const IndexData& data,
              bool primaryKey = false);

    std::uint32_t rootPage() const { return root_; }
    bool unique() const { return unique_; }
    bool ignoresNulls() const;

    // Whether the index keeps an entry for a row with this key: not for a key whose every
    // column is null when the index ignores nulls.
    bool admits(ByteSpan key) const;
    // Whether some row has this key. Unique indexes let any number of rows have an all-null
    // key, as Jet does.
    bool containsKey(ByteSpan key) const;

    // Keys longer than index_page::kMaxKeySize are refused with core::Error.
    InsertStatus insert(ByteSpan key, RowId row);
    // False when the index has no such entry (or leaves it out).
    bool remove(ByteSpan key, RowId row);

    // Writes an empty index on the root page: one leaf without entries.
    void createEmpty();
    // Replaces the tree by one holding `entries`, which must be in index order without
    // repeats; the pages of the old tree below the root are released. Entries the index
    // does not admit are left out.
    void build(std::span<const IndexEntry> entries);
    // Everything wrong with the tree: malformed pages, entries out of order or in the wrong
    // subtree, broken links, and entries missing or extra against what the table's rows say
    // it should hold (in any order; those it does not admit are ignored). Empty when sound.
    std::vector<std::string> verify(std::span<const IndexEntry> expected) const;

    IndexCursor cursor() const { return IndexCursor(store_, root_); }

private:
    // Whether `key` is on the leaf the last insert went to, when that leaf alone can tell;
    // nullopt when the tree must be searched.
    std::optional<bool> hintHolds(ByteSpan key) const;
    // Adds an entry after the last one of the whole index to the hint leaf when nothing
    // above it names its last entry and it has room: no walk from the root and no edit of
    // the path, and only the entry's bytes written to the page. Nullopt when the entry must
    // go the ordinary way.
    std::optional<InsertStatus> append(ByteSpan key, RowId row);
    // The hint leaf parsed: the tree's own copy while the page's bytes are the ones it last
    // saw, else the store's.
    std::shared_ptr<const IndexPage> hintLeaf() const;
    // Forgets the hint leaf, and with it the tree's copy.
    void forgetHint();

    IndexPageStore& store_;
    std::uint32_t owner_;
    std::uint32_t root_;
    IndexData data_;
    bool unique_;
    // The leaf the last insert went to: rows written in key order check their key there
    // without a walk from the root. Only inserts set it; they never free a page, and anything
    // else that changes the tree forgets it.
    std::uint32_t hint_ = 0;
    // The hint leaf is the index's last and was reached through tails only.
    bool hintIsTail_ = false;
    // The tail leaf as appends leave it, kept by the tree so that each append adds one entry
    // to it instead of parsing or copying the page. Holding the bytes it matches keeps the
    // file from changing them in place, so it is current exactly while the store still
    // returns those same bytes for the page.
    struct OpenLeaf {
        std::uint32_t page = 0;
        PageRef bytes;
        std::shared_ptr<IndexPage> parsed;
    };
    mutable OpenLeaf open_;
};

} // namespace jet
