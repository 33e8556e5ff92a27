#pragma once
// One change to an index tree after its leaf has been edited: carrying the leaf's new last
// entry, split or disappearance up the path it was reached by, splitting full pages,
// merging thin ones with a neighbour and keeping links and tail pointers right on the way.
//
// An intermediate page has one child per entry, the entry being the child's last entry,
// and when it has more than one child the last of them goes without an entry as its tail.
// Leaves are linked from first to last; intermediate pages only to siblings under the same
// parent.
#include "jet/index/IndexPageBatch.h"

#include <optional>

namespace jet {

class IndexTreeEdit {
public:
    IndexTreeEdit(IndexPageBatch& batch, std::uint32_t root) : batch_(batch), root_(root) {}

    // Goes down to the leaf where (key, row) is or belongs, remembering the way.
    void descend(ByteSpan key, RowId row);
    std::uint32_t leafPage() const { return path_.back().page; }
    // Whether every page above the leaf reached it through its tail, so that no page above
    // holds an entry for it.
    bool reachedByTails();

    // After the leaf was edited: `newLast` when its last entry changed, `shrank` when it lost
    // an entry, `appended` when the new entry went to the very end of the index, where a
    // split had better leave the old entries together.
    void settle(std::optional<IndexEntry> newLast, bool shrank, bool appended);

private:
    struct Step {
        std::uint32_t page = 0;
        std::size_t slot = 0; // the child taken, by position; the tail comes after the entries
    };
    struct NewLeft {
        IndexEntry last;
        std::uint32_t page = 0;
    };
    // What a page's change means for its parent.
    struct Change {
        std::optional<IndexEntry> newLast;
        std::optional<NewLeft> newLeft; // split off to its left
        bool removed = false;
        bool leftNeighbourRemoved = false; // merged into it
        bool shrank = false;               // the page itself lost entries
        bool any() const { return newLast || newLeft || removed || leftNeighbourRemoved; }
    };

    Change finish(std::size_t level, const Change& change, bool appended);
    Change applyToParent(std::size_t level, const Change& up);
    void normalize(std::uint32_t page);
    NewLeft splitOff(std::uint32_t page, bool appended);
    void splitRoot(bool appended);
    void collapseRoot();
    bool mergeWithNeighbour(std::size_t level, Change& up);
    void unlink(std::uint32_t page);
    IndexEntry lastEntryBelow(std::uint32_t page);

    IndexPageBatch& batch_;
    std::uint32_t root_;
    std::vector<Step> path_;
};

} // namespace jet
