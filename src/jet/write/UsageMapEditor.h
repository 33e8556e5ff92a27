#pragma once
// Changes a usage map in place: the row holding it keeps its size. An inline map covers 512
// pages from its start page; when a page falls outside, the map becomes a reference map whose
// map pages each cover 32736 pages (16352 with the 2 KiB pages of Jet 3).
#include "jet/rows/DataPage.h"
#include "jet/write/PageStore.h"

#include <vector>

namespace jet {

namespace usage_map {
inline constexpr std::size_t kRowSize = 69;
inline constexpr std::size_t kInlineBitmapBytes = kRowSize - 5;
inline constexpr std::uint32_t kInlinePages = kInlineBitmapBytes * 8;
inline constexpr std::size_t kReferenceSlots = (kRowSize - 1) / 4;
} // namespace usage_map

class UsageMapEditor {
public:
    UsageMapEditor(PageStore& store, std::uint32_t rowPointer);

    bool contains(std::uint32_t page) const;
    void add(std::uint32_t page);
    void remove(std::uint32_t page);
    // The marked pages in ascending order.
    std::vector<std::uint32_t> pages() const;

    // A fresh, empty inline map row.
    static std::vector<std::uint8_t> emptyRow();

private:
    struct Location {
        std::uint32_t page; // page holding the bit (the map row's page or a map page)
        std::size_t byte;   // offset of the byte within that page
        std::uint8_t mask;
    };
    std::optional<Location> locate(std::uint32_t page) const;
    void toReference();
    std::size_t rowStart() const;
    RowSlot ownSlot() const;
    std::uint8_t kind() const;

    PageStore& store_;
    RowId row_;
};

} // namespace jet
