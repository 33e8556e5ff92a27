#pragma once
// Where things lie on a Jet 4 index page (type 0x03 intermediate, 0x04 leaf): a fixed header,
// a bitmap marking where each entry ends, then the entries themselves. The index code reads
// the layout of each version from FileFormat::indexPage; these name Jet 4's for its tests.
#include "jet/file/PageFormat.h"

#include <cstddef>
#include <cstdint>

namespace jet::index_page {

inline constexpr std::size_t kFreeSpace = 2;     // u16: bytes left after the last entry
inline constexpr std::size_t kOwner = 4;         // u32: the table's definition page
inline constexpr std::size_t kReserved = 8;      // u32: unknown, kept as found
inline constexpr std::size_t kPrevious = 12;     // u32: neighbour on the same level
inline constexpr std::size_t kNext = 16;         // u32
inline constexpr std::size_t kTail = 20;         // u32: intermediate pages only, the last child
inline constexpr std::size_t kPrefixLength = 24; // u16: leading bytes every entry shares
inline constexpr std::size_t kFlags = 26;        // u8: unknown, kept as found
inline constexpr std::size_t kEntryMask = 27;
inline constexpr std::size_t kEntryMaskSize = 453;
inline constexpr std::size_t kFirstEntry = kEntryMask + kEntryMaskSize;
// The entries must fit both the page and the bitmap; the page is the smaller.
inline constexpr std::size_t kEntryCapacity = kPageSize - kFirstEntry;

// Each entry ends with the row it stands for: a 3-byte big-endian data page and a row
// number. Entries of intermediate pages add the 4-byte big-endian child page after that.
inline constexpr std::size_t kRowPointerSize = 4;
inline constexpr std::size_t kChildPointerSize = 4;

// The longest key this engine writes: every page must hold at least three entries so that
// splitting a page always leaves two non-empty halves with a tail to spare.
inline constexpr std::size_t kMaxKeySize = kEntryCapacity / 3 - kRowPointerSize - kChildPointerSize;

} // namespace jet::index_page
