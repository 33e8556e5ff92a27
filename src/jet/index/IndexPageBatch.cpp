#include "jet/index/IndexPageBatch.h"

#include <algorithm>

namespace jet {

IndexPageBatch::~IndexPageBatch() {
    if (committed_) return;
    // Nothing was written; the pages taken for the change are free again.
    for (std::uint32_t page : created_) {
        try {
            store_.release(page);
        } catch (...) {
            // The caller's rollback is already under way; it restores the allocator too.
        }
    }
}

IndexPageBatch::Held& IndexPageBatch::hold(std::uint32_t page) {
    auto it = pages_.find(page);
    if (it != pages_.end()) return it->second;
    if (page == 0) throwDamaged("an index refers to page 0");
    if (std::find(released_.begin(), released_.end(), page) != released_.end())
        throw core::Error("Internal error: an index page used after its release.");
    std::shared_ptr<const IndexPage> p = store_.parsed(page);
    if (p->owner != owner_) throwDamaged("an index refers to a page of another table");
    return pages_.emplace(page, Held{std::move(p), {}, false, {}}).first->second;
}

const IndexPage& IndexPageBatch::view(std::uint32_t page) {
    return hold(page).page();
}

IndexPage& IndexPageBatch::edit(std::uint32_t page) {
    Held& h = hold(page);
    if (!h.dirty) {
        h.own = *h.shared;
        h.base = std::move(h.shared);
        h.dirty = true;
    }
    return h.own;
}

std::uint32_t IndexPageBatch::create(bool leaf) {
    const std::uint32_t page = store_.allocate();
    created_.push_back(page);
    Held h;
    h.own.format = &store_.format();
    h.own.leaf = leaf;
    h.own.owner = owner_;
    h.dirty = true;
    pages_.insert_or_assign(page, std::move(h));
    return page;
}

void IndexPageBatch::release(std::uint32_t page) {
    pages_.erase(page);
    released_.push_back(page);
}

void IndexPageBatch::commit() {
    // Encode everything first: a page that cannot be written must stop the change before
    // any page is.
    std::vector<std::pair<std::uint32_t, PageBytes>> out;
    for (const auto& [number, held] : pages_) {
        if (!held.dirty) continue;
        if (held.base) {
            // Nothing wrote the page since it was read: its bytes are still the base's.
            out.emplace_back(number, *store_.read(number));
            if (encodeAppended(held.own, *held.base, out.back().second)) continue;
            out.back().second = encodeIndexPage(held.own);
            continue;
        }
        out.emplace_back(number, encodeIndexPage(held.own));
    }
    for (const auto& [number, bytes] : out) store_.write(number, bytes);
    for (std::uint32_t page : released_) store_.release(page);
    committed_ = true;
    // The pages as edited are what their new bytes parse to, once they carry the prefix
    // length the encoder chose.
    for (const auto& [number, bytes] : out) {
        IndexPage& page = pages_.at(number).own;
        page.storedPrefix = storedPrefixLength(ByteSpan(bytes), *page.format);
        store_.written(number, std::move(page));
    }
    pages_.clear();
}

} // namespace jet
