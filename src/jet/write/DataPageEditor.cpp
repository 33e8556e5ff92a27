#include "jet/write/DataPageEditor.h"

#include "jet/file/Bytes.h"

#include <cstring>

namespace jet {

namespace {
std::uint16_t flagsOf(SlotState s) {
    switch (s) {
    case SlotState::Row:
        return 0;
    case SlotState::Pointer:
        return data_page::kOverflowFlag;
    case SlotState::MovedHere:
        return data_page::kDeletedFlag;
    case SlotState::Deleted:
        return data_page::kDeletedFlag | data_page::kOverflowFlag;
    }
    return 0;
}
std::uint16_t lowestRowStart(const PageBytes& page, const FileFormat& format) {
    std::uint16_t count = slotCount(page, format);
    if (count == 0) return static_cast<std::uint16_t>(format.pageSize);
    return u16(page, format.dataPage.firstOffset + 2u * (count - 1)) & data_page::kOffsetMask;
}

ByteSpan ownBytes(const PageBytes& page, const FileFormat& format) {
    return ByteSpan(page.data(), format.pageSize);
}
} // namespace

PageBytes emptyDataPage(std::uint32_t owner, const FileFormat& format) {
    PageBytes p{};
    p[0] = static_cast<std::uint8_t>(PageType::Data);
    p[1] = 0x01;
    put16(p, data_page::kFreeSpace,
          static_cast<std::uint16_t>(format.pageSize - format.dataPage.firstOffset));
    put32(p, data_page::kOwner, owner);
    return p;
}

std::uint16_t freeSpace(const PageBytes& page) {
    return u16(page, data_page::kFreeSpace);
}
std::uint32_t pageOwner(const PageBytes& page) {
    return u32(page, data_page::kOwner);
}

bool rowFits(const PageBytes& page, std::size_t rowSize, const FileFormat& format) {
    const std::uint16_t count = slotCount(page, format);
    if (count >= kMaxRowsPerPage) return false;
    const std::uint16_t start = lowestRowStart(page, format);
    const std::size_t tableEnd = format.dataPage.firstOffset + 2u * (count + 1);
    return rowSize <= start && start - rowSize >= tableEnd;
}

std::optional<std::uint8_t> appendRow(PageBytes& page, std::span<const std::uint8_t> row,
                                      const FileFormat& format, SlotState state) {
    if (!rowFits(page, row.size(), format)) return std::nullopt;
    const std::size_t first = format.dataPage.firstOffset;
    std::uint16_t count = slotCount(page, format);
    std::uint16_t start = lowestRowStart(page, format);
    std::size_t tableEnd = first + 2u * (count + 1);
    auto newStart = static_cast<std::uint16_t>(start - row.size());
    std::memcpy(page.data() + newStart, row.data(), row.size());
    put16(page, first + 2u * count, newStart | flagsOf(state));
    put16(page, format.dataPage.rowCount, static_cast<std::uint16_t>(count + 1));
    put16(page, data_page::kFreeSpace, static_cast<std::uint16_t>(newStart - tableEnd));
    return static_cast<std::uint8_t>(count);
}

std::vector<SlotContent> readSlots(const PageBytes& page, const FileFormat& format) {
    const ByteSpan bytes = ownBytes(page, format);
    std::uint16_t count = slotCount(bytes, format);
    std::vector<SlotContent> slots(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        RowSlot s = rowSlot(bytes, i, format);
        slots[i].state = s.deleted     ? SlotState::Deleted
                         : s.pointer   ? SlotState::Pointer
                         : s.movedHere ? SlotState::MovedHere
                                       : SlotState::Row;
        if (!s.deleted) slots[i].bytes.assign(page.begin() + s.start, page.begin() + s.end);
    }
    return slots;
}

bool repack(PageBytes& page, const std::vector<SlotContent>& slots, const FileFormat& format) {
    const std::size_t first = format.dataPage.firstOffset;
    const std::size_t pageSize = format.pageSize;
    if (slots.size() > kMaxRowsPerPage) return false;
    std::size_t tableEnd = first + 2 * slots.size();
    std::size_t total = 0;
    for (const auto& s : slots) total += s.state == SlotState::Deleted ? 0 : s.bytes.size();
    if (tableEnd + total > pageSize) return false;
    PageBytes out = page;
    std::memset(out.data() + first, 0, pageSize - first);
    std::size_t end = pageSize;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const auto& s = slots[i];
        std::size_t length = s.state == SlotState::Deleted ? 0 : s.bytes.size();
        end -= length;
        if (length) std::memcpy(out.data() + end, s.bytes.data(), length);
        put16(out, first + 2 * i, static_cast<std::uint16_t>(end) | flagsOf(s.state));
    }
    put16(out, format.dataPage.rowCount, static_cast<std::uint16_t>(slots.size()));
    put16(out, data_page::kFreeSpace, static_cast<std::uint16_t>(end - tableEnd));
    page = out;
    return true;
}

bool replaceRow(PageBytes& page, std::uint8_t slot, std::span<const std::uint8_t> row,
                SlotState state, const FileFormat& format) {
    auto slots = readSlots(page, format);
    if (slot >= slots.size()) throwDamaged("a row address names a missing slot");
    slots[slot].state = state;
    slots[slot].bytes.assign(row.begin(), row.end());
    return repack(page, slots, format);
}

void deleteRow(PageBytes& page, std::uint8_t slot, const FileFormat& format) {
    auto slots = readSlots(page, format);
    if (slot >= slots.size()) throwDamaged("a row address names a missing slot");
    slots[slot].state = SlotState::Deleted;
    slots[slot].bytes.clear();
    repack(page, slots, format);
}

std::size_t liveSlots(const PageBytes& page, const FileFormat& format) {
    const ByteSpan bytes = ownBytes(page, format);
    std::size_t live = 0;
    for (std::uint16_t i = 0, n = slotCount(bytes, format); i < n; ++i)
        if (!rowSlot(bytes, i, format).deleted) ++live;
    return live;
}

} // namespace jet
