#pragma once
// Usage maps: the bitmaps saying which pages belong to a table, an index or the file.
// A map lives in a row; small ones hold the bitmap inline, large ones point to map pages.
#include "jet/file/PageFile.h"

#include <optional>
#include <vector>

namespace jet {

namespace usage_map {
inline constexpr std::uint8_t kInline = 0x00;
inline constexpr std::uint8_t kReference = 0x01;
inline constexpr std::size_t kMapPageBitmapStart = 4;
inline constexpr std::uint32_t kPagesPerMapPage = (kPageSize - kMapPageBitmapStart) * 8;
} // namespace usage_map

// The map page that slot `index` of a reference map row names, if it names one that can
// matter: Access leaves slots it never used uninitialised (zero, or values such as
// 0xFFFFFF80), and a slot whose pages all lie past the end of the file marks nothing.
std::optional<std::uint32_t>
referenceMapPage(ByteSpan row, std::size_t index, std::uint32_t pageCount,
                 std::uint32_t pagesPerMapPage = usage_map::kPagesPerMapPage);

// The bytes of the row a data pointer (page << 8 | slot) names.
std::vector<std::uint8_t> readRowBytes(const PageFile& file, std::uint32_t rowPointer);

enum class BeyondEnd { Damaged, Ignore };

// The pages marked in the map stored at rowPointer, in ascending order. A table's map that
// marks pages past the end of the file is damaged; the global map marks them as free.
std::vector<std::uint32_t> readUsageMap(const PageFile& file, std::uint32_t rowPointer,
                                        BeyondEnd beyondEnd = BeyondEnd::Damaged);

} // namespace jet
