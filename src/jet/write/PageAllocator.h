#pragma once
// Hands out pages: a page freed earlier (marked in the file's global usage map on page 1)
// before growing the file. The global map marks free pages; pages past the end of the file
// count as free too, as Jet writes it.
#include "jet/write/PageStore.h"

namespace jet {

inline constexpr std::uint32_t kGlobalUsageMapPointer = (1u << 8) | 0u; // page 1, row 0

class PageAllocator {
public:
    std::uint32_t allocate(PageStore& store);
    void release(PageStore& store, std::uint32_t page);
    // Marks a page appended for the allocator's own use as taken.
    void markAppended(PageStore& store, std::uint32_t page);
};

} // namespace jet
