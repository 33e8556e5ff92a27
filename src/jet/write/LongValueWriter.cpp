#include "jet/write/LongValueWriter.h"

#include "jet/rows/LongValue.h"
#include "jet/write/DataPageEditor.h"

#include <vector>

namespace jet {

namespace {
// A long-value row fills at most a page less its header and one slot.
std::size_t maxLongValueRow(const FileFormat& format) {
    return format.pageSize - format.dataPage.firstOffset - 2;
}

core::Bytes reference(std::uint32_t length, std::uint8_t kind, std::uint32_t pointer) {
    core::Bytes r(long_value::kReferenceSize, 0);
    r[0] = static_cast<std::uint8_t>(length);
    r[1] = static_cast<std::uint8_t>(length >> 8);
    r[2] = static_cast<std::uint8_t>(length >> 16);
    r[3] = kind;
    for (int i = 0; i < 4; ++i) r[4 + i] = static_cast<std::uint8_t>(pointer >> (8 * i));
    return r;
}
} // namespace

RowId LongValueWriter::appendLongValueRow(std::span<const std::uint8_t> row) {
    const FileFormat& format = store_.file().format();
    if (auto current = store_.longValuePage; current && *current < store_.pageCount()) {
        PageBytes page = copyOf(store_.read(*current));
        if (page[0] == static_cast<std::uint8_t>(PageType::Data) &&
            pageOwner(page) == kLongValueOwner) {
            if (auto slot = appendRow(page, row, format)) {
                store_.write(*current, page);
                return {*current, *slot};
            }
        }
    }
    std::uint32_t number = store_.allocate();
    PageBytes page = emptyDataPage(kLongValueOwner, format);
    auto slot = appendRow(page, row, format);
    if (!slot) throwDamaged("a long value row does not fit an empty page");
    store_.write(number, page);
    store_.longValuePage = number;
    return {number, *slot};
}

core::Bytes LongValueWriter::store(std::span<const std::uint8_t> data) {
    if (data.size() > 0xFFFFFF)
        throw core::ConstraintError("A memo or OLE value is larger than 16 MB, the most one "
                                    "field can hold.");
    auto length = static_cast<std::uint32_t>(data.size());
    const std::size_t maxRow = maxLongValueRow(store_.file().format());
    const std::size_t chainChunk = maxRow - 4;
    if (data.size() <= maxRow)
        return reference(length, long_value::kSingleRow, appendLongValueRow(data).pointer());
    // Write the chain back to front so that each row already knows where the next one is.
    std::size_t chunks = (data.size() + chainChunk - 1) / chainChunk;
    std::uint32_t next = 0;
    std::vector<std::uint8_t> row;
    for (std::size_t i = chunks; i-- > 0;) {
        std::size_t from = i * chainChunk;
        std::size_t take = std::min(chainChunk, data.size() - from);
        row.assign(4, 0);
        for (int b = 0; b < 4; ++b) row[b] = static_cast<std::uint8_t>(next >> (8 * b));
        row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                   data.begin() + static_cast<std::ptrdiff_t>(from + take));
        next = appendLongValueRow(row).pointer();
    }
    return reference(length, long_value::kChained, next);
}

void LongValueWriter::deleteLongValueRow(RowId id) {
    const FileFormat& format = store_.file().format();
    PageBytes page = copyOf(store_.read(id.page));
    if (pageOwner(page) != kLongValueOwner)
        throwDamaged("a memo or OLE value points outside its pages");
    deleteRow(page, id.slot, format);
    if (liveSlots(page, format) == 0) {
        if (store_.longValuePage == id.page) store_.longValuePage.reset();
        store_.release(id.page);
    } else {
        store_.write(id.page, page);
    }
}

void LongValueWriter::release(std::span<const std::uint8_t> ref) {
    if (ref.size() < long_value::kReferenceSize) return;
    std::uint8_t kind = ref[3];
    if (kind & long_value::kInline) return;
    std::uint32_t pointer = u32(ref, 4);
    if (kind & long_value::kSingleRow) {
        deleteLongValueRow(RowId::fromPointer(pointer));
        return;
    }
    std::uint32_t length = u24(ref, 0);
    std::size_t remaining = length;
    for (std::uint32_t hops = 0; pointer != 0 && remaining > 0; ++hops) {
        if (hops > store_.pageCount() * 256u) throwDamaged("a memo or OLE chain loops");
        RowId id = RowId::fromPointer(pointer);
        const PageRef page = store_.read(id.page);
        auto bytes = store_.file().bytes(page);
        RowSlot slot = rowSlot(bytes, id.slot, store_.file().format());
        if (!slot.holdsRow() || slot.end - slot.start < 4)
            throwDamaged("a memo or OLE chain is broken");
        std::uint32_t next = u32(bytes, slot.start);
        remaining -= std::min<std::size_t>(remaining, slot.end - slot.start - 4u);
        deleteLongValueRow(id);
        pointer = next;
    }
}

} // namespace jet
