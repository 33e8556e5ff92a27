#pragma once
// Constants of the Jet 4 page layout shared by readers and writers.
#include <compare>
#include <cstddef>
#include <cstdint>

namespace jet {

inline constexpr std::size_t kPageSize = 4096;

enum class PageType : std::uint8_t {
    Header = 0x00,
    Data = 0x01,
    TableDefinition = 0x02,
    IndexNode = 0x03,
    IndexLeaf = 0x04,
    UsageMap = 0x05,
};

// A row's address: page number in the upper 24 bits, slot in the lower 8.
struct RowId {
    std::uint32_t page = 0;
    std::uint8_t slot = 0;
    static RowId fromPointer(std::uint32_t p) {
        return {p >> 8, static_cast<std::uint8_t>(p & 0xFF)};
    }
    std::uint32_t pointer() const { return (page << 8) | slot; }
    auto operator<=>(const RowId&) const = default;
};

namespace data_page {
inline constexpr std::size_t kFreeSpace = 2;
inline constexpr std::size_t kOwner = 4; // table definition page, or "LVAL"
inline constexpr std::size_t kRowCount = 12;
inline constexpr std::size_t kFirstOffset = 14;
inline constexpr std::uint16_t kDeletedFlag = 0x8000;
inline constexpr std::uint16_t kOverflowFlag = 0x4000;
inline constexpr std::uint16_t kOffsetMask = 0x1FFF;
} // namespace data_page

} // namespace jet
