#include "jet/write/UsageMapEditor.h"

#include "jet/file/Bytes.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"

#include <cstring>

namespace jet {

UsageMapEditor::UsageMapEditor(PageStore& store, std::uint32_t rowPointer)
    : store_(store), row_(RowId::fromPointer(rowPointer)) {
    RowSlot slot = ownSlot();
    if (!slot.holdsRow() || slot.end - slot.start < 5)
        throwDamaged("a usage map row is missing or too short");
}

std::vector<std::uint8_t> UsageMapEditor::emptyRow() {
    return std::vector<std::uint8_t>(usage_map::kRowSize, 0);
}

RowSlot UsageMapEditor::ownSlot() const {
    const PageRef page = store_.read(row_.page);
    return rowSlot(store_.file().bytes(page), row_.slot, store_.file().format());
}

std::size_t UsageMapEditor::rowStart() const {
    return ownSlot().start;
}

std::uint8_t UsageMapEditor::kind() const {
    return (*store_.read(row_.page))[rowStart()];
}

std::optional<UsageMapEditor::Location> UsageMapEditor::locate(std::uint32_t page) const {
    const PageRef rowPage = store_.read(row_.page);
    auto bytes = store_.file().bytes(rowPage);
    RowSlot slot = ownSlot();
    std::size_t start = slot.start;
    std::size_t length = slot.end - slot.start;
    if (bytes[start] == usage_map::kInline) {
        std::uint32_t first = u32(bytes, start + 1);
        std::uint64_t covered = std::uint64_t(length - 5) * 8;
        if (page < first || page - first >= covered) return std::nullopt;
        std::uint32_t bit = page - first;
        return Location{row_.page, start + 5 + bit / 8, static_cast<std::uint8_t>(1u << (bit % 8))};
    }
    const std::uint32_t perPage = store_.file().format().pagesPerMapPage();
    std::uint32_t index = page / perPage;
    auto mapPage =
        referenceMapPage(bytes.subspan(start, length), index, store_.pageCount(), perPage);
    if (!mapPage || (*store_.read(*mapPage))[0] != static_cast<std::uint8_t>(PageType::UsageMap))
        return std::nullopt;
    std::uint32_t bit = page % perPage;
    return Location{*mapPage, usage_map::kMapPageBitmapStart + bit / 8,
                    static_cast<std::uint8_t>(1u << (bit % 8))};
}

bool UsageMapEditor::contains(std::uint32_t page) const {
    auto at = locate(page);
    return at && ((*store_.read(at->page))[at->byte] & at->mask);
}

void UsageMapEditor::add(std::uint32_t page) {
    if (auto at = locate(page)) {
        PageBytes p = copyOf(store_.read(at->page));
        if (p[at->byte] & at->mask) return;
        p[at->byte] |= at->mask;
        store_.write(at->page, p);
        return;
    }
    std::size_t start = rowStart();
    if (kind() == usage_map::kInline) {
        if (pages().empty()) {
            // An empty inline map can simply start where it is needed.
            PageBytes p = copyOf(store_.read(row_.page));
            put32(p, start + 1, page - page % 8);
            store_.write(row_.page, p);
        } else {
            toReference();
        }
        return add(page);
    }
    std::uint32_t index = page / store_.file().format().pagesPerMapPage();
    const RowSlot slot = ownSlot();
    if (index >= (slot.end - slot.start - 1u) / 4u)
        throw core::Error("The database file would exceed the largest size its format supports.");
    // A new map page comes from the end of the file, never from a map's own free pages.
    std::uint32_t mapPage = store_.appendBlank();
    PageBytes m{};
    m[0] = static_cast<std::uint8_t>(PageType::UsageMap);
    m[1] = 0x01;
    store_.write(mapPage, m);
    PageBytes p = copyOf(store_.read(row_.page));
    put32(p, start + 1 + 4 * index, mapPage);
    store_.write(row_.page, p);
    add(page);
}

void UsageMapEditor::remove(std::uint32_t page) {
    auto at = locate(page);
    if (!at) return;
    PageBytes p = copyOf(store_.read(at->page));
    if (!(p[at->byte] & at->mask)) return;
    p[at->byte] &= static_cast<std::uint8_t>(~at->mask);
    store_.write(at->page, p);
}

std::vector<std::uint32_t> UsageMapEditor::pages() const {
    return readUsageMap(store_.file(), row_.pointer(), BeyondEnd::Ignore);
}

void UsageMapEditor::toReference() {
    auto marked = pages();
    std::size_t start = rowStart();
    RowSlot slot = ownSlot();
    PageBytes p = copyOf(store_.read(row_.page));
    std::memset(p.data() + start, 0, slot.end - slot.start);
    p[start] = usage_map::kReference;
    store_.write(row_.page, p);
    for (auto page : marked) add(page);
}

} // namespace jet
