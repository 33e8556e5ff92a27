#include "jet/file/UsageMap.h"

#include "jet/rows/DataPage.h"

namespace jet {

std::vector<std::uint8_t> readRowBytes(const PageFile& file, std::uint32_t rowPointer) {
    RowId id = RowId::fromPointer(rowPointer);
    auto page = file.read(id.page);
    auto bytes = file.bytes(page);
    if (bytes[0] != static_cast<std::uint8_t>(PageType::Data))
        throwDamaged("a usage map points to a page that holds no rows");
    RowSlot slot = rowSlot(bytes, id.slot, file.format());
    if (!slot.holdsRow()) throwDamaged("a usage map points to a deleted row");
    return {bytes.begin() + slot.start, bytes.begin() + slot.end};
}

std::optional<std::uint32_t> referenceMapPage(ByteSpan row, std::size_t index,
                                              std::uint32_t pageCount,
                                              std::uint32_t pagesPerMapPage) {
    std::size_t at = 1 + 4 * index;
    if (at + 4 > row.size()) return std::nullopt;
    std::uint32_t page = u32(row, at);
    if (page == 0 || page >= pageCount) return std::nullopt;
    if (std::uint64_t(index) * pagesPerMapPage >= pageCount) return std::nullopt;
    return page;
}

namespace {
void collectBits(ByteSpan bitmap, std::uint64_t firstPage, std::uint32_t pageCount,
                 BeyondEnd beyondEnd, std::vector<std::uint32_t>& out) {
    for (std::size_t i = 0; i < bitmap.size(); ++i) {
        std::uint8_t b = bitmap[i];
        while (b) {
            int bit = __builtin_ctz(b);
            b &= static_cast<std::uint8_t>(b - 1);
            std::uint64_t page = firstPage + i * 8 + static_cast<unsigned>(bit);
            if (page >= pageCount) {
                if (beyondEnd == BeyondEnd::Ignore) return;
                throwDamaged("a usage map marks a page beyond the file");
            }
            out.push_back(static_cast<std::uint32_t>(page));
        }
    }
}
} // namespace

std::vector<std::uint32_t> readUsageMap(const PageFile& file, std::uint32_t rowPointer,
                                        BeyondEnd beyondEnd) {
    auto row = readRowBytes(file, rowPointer);
    ByteSpan r(row);
    std::vector<std::uint32_t> pages;
    switch (u8(r, 0)) {
    case usage_map::kInline:
        collectBits(r.subspan(5), u32(r, 1), file.pageCount(), beyondEnd, pages);
        break;
    case usage_map::kReference:
        for (std::size_t i = 0; 1 + 4 * (i + 1) <= r.size(); ++i) {
            const std::uint32_t perPage = file.format().pagesPerMapPage();
            auto mapPage = referenceMapPage(r, i, file.pageCount(), perPage);
            if (!mapPage) continue;
            auto p = file.read(*mapPage);
            if ((*p)[0] != static_cast<std::uint8_t>(PageType::UsageMap))
                throwDamaged("a usage map refers to a page that is not a map page");
            collectBits(file.bytes(p).subspan(usage_map::kMapPageBitmapStart),
                        std::uint64_t(i) * perPage, file.pageCount(), beyondEnd, pages);
        }
        break;
    default:
        throwDamaged("a usage map has an unknown kind");
    }
    return pages;
}

} // namespace jet
