#include "jet/index/IndexTreeEdit.h"

namespace jet {

namespace {

// More levels than this would need more entries than a file can hold.
constexpr std::size_t kMaxDepth = 32;

std::size_t childCount(const IndexPage& p) {
    return p.size() + (p.tail != 0 ? 1 : 0);
}

std::uint32_t childAt(const IndexPage& p, std::size_t slot) {
    return slot < p.size() ? p.child(slot) : p.tail;
}

// An intermediate page with several children gives the last one no entry but makes it the
// tail; one with a single child gives it an entry.
void promoteTail(IndexPage& p) {
    if (p.leaf || p.tail != 0 || p.size() < 2) return;
    p.tail = p.child(p.size() - 1);
    p.erase(p.size() - 1);
}

// Where to cut a page that no longer fits: entries before the cut move to a new page on the
// left. Halves by stored size, or, for an entry added at the very end of the index, all but
// that entry, so that pages filled in key order end up full.
std::size_t splitPoint(const IndexPage& p, bool appended) {
    const std::size_t n = p.size();
    // The right part keeps one entry at least, an intermediate page its tail besides.
    if (n < 2) throw core::Error("Internal error: an index page too full to split.");
    const std::size_t highest = n - 1;
    if (appended) return highest;
    const std::size_t prefix = p.sharedPrefix();
    const std::size_t total = p.encodedSize(prefix);
    std::size_t sum = 0, k = 1;
    for (std::size_t i = 0; i < n; ++i) {
        sum += p.entry(i).size() - (i == 0 ? 0 : prefix);
        if (2 * sum >= total) {
            k = i + 1;
            break;
        }
    }
    return std::clamp<std::size_t>(k, 1, highest);
}

} // namespace

void IndexTreeEdit::descend(ByteSpan key, RowId row) {
    path_.clear();
    std::uint32_t page = root_;
    for (;;) {
        if (path_.size() == kMaxDepth) throwDamaged("an index tree is deeper than any can be");
        const IndexPage& p = batch_.view(page);
        if (p.leaf) {
            path_.push_back({page, 0});
            return;
        }
        std::size_t slot = p.lowerBound(key, row);
        if (slot == p.size() && p.tail == 0) {
            if (p.empty()) throwDamaged("an intermediate index page has no children");
            slot = p.size() - 1;
        }
        path_.push_back({page, slot});
        page = childAt(p, slot);
    }
}

bool IndexTreeEdit::reachedByTails() {
    for (std::size_t level = 0; level + 1 < path_.size(); ++level) {
        const IndexPage& p = batch_.view(path_[level].page);
        if (p.tail == 0 || path_[level].slot != p.size()) return false;
    }
    return true;
}

void IndexTreeEdit::settle(std::optional<IndexEntry> newLast, bool shrank, bool appended) {
    Change change;
    change.newLast = std::move(newLast);
    change.shrank = shrank;
    for (std::size_t level = path_.size() - 1;; --level) {
        const Change up = finish(level, change, appended);
        if (level == 0 || !up.any()) break;
        const Step& parent = path_[level - 1];
        // Only an entry added at the end of the last child is still at the end of the index.
        appended = appended && parent.slot + 1 == childCount(batch_.view(parent.page));
        change = applyToParent(level - 1, up);
    }
}

IndexTreeEdit::Change IndexTreeEdit::finish(std::size_t level, const Change& change,
                                            bool appended) {
    const std::uint32_t page = path_[level].page;
    const IndexPage& p = batch_.view(page);
    Change up;
    if (p.empty() && p.tail == 0) {
        if (level == 0) {
            // An empty index is a single empty leaf.
            IndexPage& root = batch_.edit(page);
            root.clear(true);
            return up;
        }
        unlink(page);
        batch_.release(page);
        up.removed = true;
        return up;
    }
    if (level == 0) {
        if (!p.fits()) splitRoot(appended);
        collapseRoot();
        return up;
    }
    up.newLast = change.newLast;
    if (!p.fits())
        up.newLeft = splitOff(page, appended);
    else if (change.shrank && p.encodedSize() < p.format->indexEntryCapacity() / 4)
        mergeWithNeighbour(level, up);
    return up;
}

IndexTreeEdit::Change IndexTreeEdit::applyToParent(std::size_t level, const Change& up) {
    Step& step = path_[level];
    Change change;
    change.shrank = up.removed || up.leftNeighbourRemoved;
    if (up.removed) {
        IndexPage& p = batch_.edit(step.page);
        if (step.slot < p.size()) {
            p.erase(step.slot);
            // Without a tail the last entry stands for the page's last entry.
            if (p.tail == 0 && step.slot == p.size() && !p.empty())
                change.newLast = p.entryValue(p.size() - 1);
        } else {
            p.tail = 0;
            if (!p.empty()) change.newLast = p.entryValue(p.size() - 1);
        }
        normalize(step.page);
        return change;
    }
    if (up.newLast) {
        const IndexPage& p = batch_.view(step.page);
        if (step.slot + 1 == childCount(p)) change.newLast = up.newLast;
        if (step.slot < p.size())
            batch_.edit(step.page).replace(step.slot, up.newLast->key, up.newLast->row);
    }
    if (up.newLeft) {
        IndexPage& p = batch_.edit(step.page);
        p.insert(step.slot, up.newLeft->last.key, up.newLeft->last.row, up.newLeft->page);
        ++step.slot;
        normalize(step.page);
    }
    if (up.leftNeighbourRemoved) {
        IndexPage& p = batch_.edit(step.page);
        p.erase(step.slot - 1);
        --step.slot;
        normalize(step.page);
    }
    return change;
}

void IndexTreeEdit::normalize(std::uint32_t page) {
    IndexPage& p = batch_.edit(page);
    if (p.leaf) return;
    if (p.tail != 0 && p.empty()) {
        // The tail is the only child left: it gets an entry again.
        const IndexEntry last = lastEntryBelow(p.tail);
        p.insert(0, last.key, last.row, p.tail);
        p.tail = 0;
        return;
    }
    promoteTail(p);
}

IndexTreeEdit::NewLeft IndexTreeEdit::splitOff(std::uint32_t page, bool appended) {
    const std::uint32_t left = batch_.create(batch_.view(page).leaf);
    IndexPage& p = batch_.edit(page);
    IndexPage& l = batch_.edit(left);
    const std::size_t k = splitPoint(p, appended);
    NewLeft result{p.entryValue(k - 1), left};
    if (!p.leaf) {
        // Children under different parents are not linked at the intermediate levels.
        const std::uint32_t lastMoved = p.child(k - 1), firstKept = childAt(p, k);
        if (!batch_.view(lastMoved).leaf) {
            batch_.edit(lastMoved).next = 0;
            batch_.edit(firstKept).previous = 0;
        }
    }
    l.append(p, 0, k);
    p.erase(0, k);
    promoteTail(l);
    promoteTail(p);
    l.previous = p.previous;
    l.next = page;
    p.previous = left;
    if (l.previous != 0) batch_.edit(l.previous).next = left;
    return result;
}

void IndexTreeEdit::splitRoot(bool appended) {
    // The root keeps its page: its entries move to a new page, which is then split, and
    // the root points to the two halves.
    IndexPage& root = batch_.edit(root_);
    const std::uint32_t right = batch_.create(root.leaf);
    IndexPage& r = batch_.edit(right);
    r.append(root, 0, root.size());
    r.tail = root.tail;
    const NewLeft left = splitOff(right, appended);
    root.clear(false);
    root.tail = right;
    root.previous = root.next = 0;
    root.insert(0, left.last.key, left.last.row, left.page);
}

void IndexTreeEdit::collapseRoot() {
    // A root with one child takes over the child's entries, so the tree loses a level.
    for (;;) {
        const IndexPage& root = batch_.view(root_);
        if (root.leaf || childCount(root) != 1) return;
        const std::uint32_t only = childAt(root, 0);
        const IndexPage child = batch_.view(only);
        IndexPage& r = batch_.edit(root_);
        r.clear(child.leaf);
        r.append(child, 0, child.size());
        r.tail = child.tail;
        r.previous = r.next = 0;
        batch_.release(only);
    }
}

bool IndexTreeEdit::mergeWithNeighbour(std::size_t level, Change& up) {
    const Step& parentStep = path_[level - 1];
    const IndexPage& parent = batch_.view(parentStep.page);
    if (childCount(parent) < 2) return false;
    const std::uint32_t page = path_[level].page;
    // The left page of the pair goes into the right one, which keeps its place, its last
    // entry and its tail status in the parent; the left one always has an entry there.
    const std::size_t leftSlot = parentStep.slot > 0 ? parentStep.slot - 1 : 0;
    const std::uint32_t left = parentStep.slot > 0 ? childAt(parent, leftSlot) : page;
    const std::uint32_t right = parentStep.slot > 0 ? page : childAt(parent, 1);
    const IndexEntry leftLast = parent.entryValue(leftSlot);
    const IndexPage l = batch_.view(left);
    const IndexPage& r = batch_.view(right);
    if (l.leaf != r.leaf) throwDamaged("an index page has children on different levels");

    IndexPage merged(*l.format);
    merged.leaf = l.leaf;
    merged.append(l, 0, l.size());
    if (!l.leaf && l.tail != 0) merged.insert(merged.size(), leftLast.key, leftLast.row, l.tail);
    merged.append(r, 0, r.size());
    merged.tail = r.tail;
    promoteTail(merged);
    if (merged.encodedSize() > merged.format->indexEntryCapacity() * 3 / 4) return false;

    if (!l.leaf) {
        // The children of both now share a parent and become linked neighbours.
        const std::uint32_t lastLeft = l.tail != 0 ? l.tail : l.child(l.size() - 1);
        const std::uint32_t firstRight = childAt(r, 0);
        if (!batch_.view(lastLeft).leaf) {
            batch_.edit(lastLeft).next = firstRight;
            batch_.edit(firstRight).previous = lastLeft;
        }
    }
    IndexPage& w = batch_.edit(right);
    w.clear(merged.leaf);
    w.append(merged, 0, merged.size());
    w.tail = merged.tail;
    w.previous = l.previous;
    if (l.previous != 0) batch_.edit(l.previous).next = right;
    batch_.release(left);
    if (left == page) {
        up = Change{};
        up.removed = true;
    } else {
        up.leftNeighbourRemoved = true;
    }
    return true;
}

void IndexTreeEdit::unlink(std::uint32_t page) {
    const IndexPage& p = batch_.view(page);
    const std::uint32_t previous = p.previous, next = p.next;
    if (previous != 0) batch_.edit(previous).next = next;
    if (next != 0) batch_.edit(next).previous = previous;
}

IndexEntry IndexTreeEdit::lastEntryBelow(std::uint32_t page) {
    for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
        const IndexPage& p = batch_.view(page);
        if (p.leaf) {
            if (p.empty()) throwDamaged("an index leaf below the root is empty");
            return p.entryValue(p.size() - 1);
        }
        if (p.tail == 0) {
            if (p.empty()) throwDamaged("an intermediate index page has no children");
            return p.entryValue(p.size() - 1);
        }
        page = p.tail;
    }
    throwDamaged("an index tree is deeper than any can be");
}

} // namespace jet
