#pragma once
// The slot table of a data page: where each row lies and whether it was deleted or moved.
#include "jet/file/Bytes.h"
#include "jet/file/FileFormat.h"
#include "jet/file/PageFormat.h"

namespace jet {

// A slot's two flag bits: a pointer slot (0x4000 alone) holds only the address of the row
// that moved away from it; the moved row's own slot carries 0x8000 alone; a deleted row
// carries both.
struct RowSlot {
    std::uint16_t start = 0, end = 0; // row bytes are [start, end)
    bool deleted = false;
    bool pointer = false;   // the row moved; this slot holds its new address
    bool movedHere = false; // this slot holds a row that moved from another page

    // Whether a scan in stored order lists this slot's bytes as a row.
    bool holdsRow() const { return !deleted && !pointer; }
};

inline std::uint16_t slotCount(ByteSpan page, const FileFormat& format = FileFormat::jet4()) {
    return u16(page, format.dataPage.rowCount);
}

// Rows fill the page from its end: a row ends where the row of the previous slot starts.
// The page's span must be the page's own size (PageFile::bytes).
inline RowSlot rowSlot(ByteSpan page, std::uint16_t slot,
                       const FileFormat& format = FileFormat::jet4()) {
    const std::size_t first = format.dataPage.firstOffset;
    std::uint16_t count = slotCount(page, format);
    if (slot >= count || first + 2u * count > page.size())
        throwDamaged("a row pointer names a missing row slot");
    std::uint16_t raw = u16(page, first + 2u * slot);
    RowSlot r;
    bool high = raw & data_page::kDeletedFlag, low = raw & data_page::kOverflowFlag;
    r.deleted = high && low;
    r.pointer = low && !high;
    r.movedHere = high && !low;
    r.start = raw & data_page::kOffsetMask;
    r.end = slot == 0 ? static_cast<std::uint16_t>(page.size())
                      : u16(page, first + 2u * (slot - 1)) & data_page::kOffsetMask;
    if (!r.deleted && (r.start > r.end || r.end > page.size() || r.start < first + 2u * count))
        throwDamaged("a row lies outside its page");
    return r;
}

} // namespace jet
