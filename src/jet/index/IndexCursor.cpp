#include "jet/index/IndexCursor.h"

namespace jet {

namespace {

// Deeper trees than this would need more entries than a file can hold; a deeper descent
// means the child pointers go round in a circle.
constexpr int kMaxDepth = 32;

} // namespace

IndexCursor::IndexCursor(const IndexPageSource& pages, std::uint32_t rootPage)
    : pages_(pages), root_(rootPage) {}

template <class Before> void IndexCursor::descend(Before before) {
    std::uint32_t page = root_;
    for (int depth = 0;; ++depth) {
        if (depth == kMaxDepth) throwDamaged("an index tree is deeper than any can be");
        std::shared_ptr<const IndexPage> p = pages_.parsed(page);
        std::size_t lo = 0, hi = p->size();
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (before(*p, mid))
                lo = mid + 1;
            else
                hi = mid;
        }
        if (p->leaf) {
            leaf_ = std::move(p);
            leafPage_ = page;
            gap_ = lo;
            break;
        }
        // Past every entry: the tail child holds the rest, or the last entry's child when
        // there is no tail.
        if (lo < p->size())
            page = p->child(lo);
        else if (p->tail != 0)
            page = p->tail;
        else if (!p->empty())
            page = p->child(p->size() - 1);
        else
            throwDamaged("an intermediate index page has no children");
    }
    positioned_ = true;
    direction_.reset();
    visited_.clear();
    visited_.insert(leafPage_);
}

void IndexCursor::beforeFirst() {
    descend([](const IndexPage&, std::size_t) { return false; });
}

void IndexCursor::afterLast() {
    descend([](const IndexPage&, std::size_t) { return true; });
}

void IndexCursor::seek(ByteSpan key) {
    descend([key](const IndexPage& p, std::size_t i) { return compareKeys(p.key(i), key) < 0; });
}

void IndexCursor::seekPast(ByteSpan key) {
    descend([key](const IndexPage& p, std::size_t i) { return compareKeys(p.key(i), key) <= 0; });
}

void IndexCursor::seek(ByteSpan key, RowId row) {
    descend([key, row](const IndexPage& p, std::size_t i) {
        return compareEntries(p.key(i), p.row(i), key, row) < 0;
    });
}

void IndexCursor::load(std::uint32_t page, Step step) {
    if (direction_ != step) {
        direction_ = step;
        visited_.clear();
        visited_.insert(leafPage_);
    }
    if (!visited_.insert(page).second) throwDamaged("the leaf pages of an index form a loop");
    std::shared_ptr<const IndexPage> p = pages_.parsed(page);
    if (!p->leaf) throwDamaged("an index leaf links to a page that is not a leaf");
    leaf_ = std::move(p);
    leafPage_ = page;
}

bool IndexCursor::next() {
    if (!positioned_) beforeFirst();
    while (gap_ >= leaf_->size()) {
        if (leaf_->next == 0) return false;
        load(leaf_->next, Step::Forward);
        gap_ = 0;
    }
    current_ = gap_++;
    return true;
}

bool IndexCursor::previous() {
    if (!positioned_) beforeFirst();
    while (gap_ == 0) {
        if (leaf_->previous == 0) return false;
        load(leaf_->previous, Step::Backward);
        gap_ = leaf_->size();
    }
    current_ = --gap_;
    return true;
}

std::vector<RowId> rowsInRange(const IndexPageSource& pages, std::uint32_t rootPage,
                               std::optional<ByteSpan> low, std::optional<ByteSpan> high) {
    IndexCursor cursor(pages, rootPage);
    if (low) cursor.seek(*low);
    std::vector<RowId> rows;
    while (cursor.next()) {
        if (high && compareKeys(cursor.key(), *high) >= 0) break;
        rows.push_back(cursor.rowId());
    }
    return rows;
}

} // namespace jet
