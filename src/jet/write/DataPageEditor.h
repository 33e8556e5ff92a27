#pragma once
// Edits the rows of one data page. Rows lie back to back from the end of the page in slot
// order (a row ends where the previous slot's row starts), so a row that changes size means
// repacking the page; slots, and therefore row addresses, never move.
#include "jet/file/PageFile.h"
#include "jet/rows/DataPage.h"

#include <optional>
#include <span>
#include <vector>

namespace jet {

inline constexpr std::uint16_t kMaxRowsPerPage = 255;
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C; // "LVAL"

enum class SlotState : std::uint8_t { Row, Pointer, MovedHere, Deleted };

struct SlotContent {
    SlotState state = SlotState::Row;
    std::vector<std::uint8_t> bytes;
};

// Each function takes the format of the file the page belongs to: its size and where its
// row count and slots lie.
PageBytes emptyDataPage(std::uint32_t owner, const FileFormat& format);
std::uint16_t freeSpace(const PageBytes& page);
std::uint32_t pageOwner(const PageBytes& page);

// Room needed on a page for a new row of this size (its bytes and its slot).
inline std::size_t spaceForNewRow(std::size_t length) {
    return length + 2;
}

// Whether appendRow would take a row of this size.
bool rowFits(const PageBytes& page, std::size_t rowSize, const FileFormat& format);
// Appends a row in a new slot; nullopt when it does not fit or the page has no free slot.
std::optional<std::uint8_t> appendRow(PageBytes& page, std::span<const std::uint8_t> row,
                                      const FileFormat& format, SlotState state = SlotState::Row);

// Every slot's state and bytes, in slot order.
std::vector<SlotContent> readSlots(const PageBytes& page, const FileFormat& format);
// Rewrites the page's rows from the given slots; false (page unchanged) when they do not fit.
bool repack(PageBytes& page, const std::vector<SlotContent>& slots, const FileFormat& format);

// Replaces one slot's row; false when the page cannot hold the new size.
bool replaceRow(PageBytes& page, std::uint8_t slot, std::span<const std::uint8_t> row,
                SlotState state, const FileFormat& format);
// Marks a row deleted and gives its bytes back to the page's free space.
void deleteRow(PageBytes& page, std::uint8_t slot, const FileFormat& format);
// Number of slots that still hold a row or a pointer.
std::size_t liveSlots(const PageBytes& page, const FileFormat& format);

} // namespace jet
