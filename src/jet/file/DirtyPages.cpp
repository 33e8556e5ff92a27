#include "jet/file/DirtyPages.h"

#include <algorithm>

namespace jet {

void DirtyPages::set(std::uint32_t page, Slot bytes) {
    if (page >= slots_.size()) {
        if (!bytes) return;
        // Grown in steps, so a transaction that appends page after page does not copy the
        // array at each one.
        slots_.resize(std::max<std::size_t>(page + 1, slots_.size() + slots_.size() / 2));
    }
    Slot& slot = slots_[page];
    if (!slot && bytes) {
        ++count_;
        touched_.push_back(page);
    } else if (slot && !bytes) {
        --count_;
    }
    slot = std::move(bytes);
    // Pages erased and set again (savepoints rolled back) would grow the list for good.
    if (touched_.size() > 2 * count_ + 64) touched_ = pages();
}

void DirtyPages::clear() {
    for (std::uint32_t page : touched_)
        if (page < slots_.size()) slots_[page].reset();
    touched_.clear();
    count_ = 0;
}

std::vector<std::uint32_t> DirtyPages::pages() const {
    std::vector<std::uint32_t> pages;
    pages.reserve(count_);
    for (std::uint32_t page : touched_)
        if (slots_[page]) pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace jet
