#include "jet/write/LongValueWriter.h"

#include "jet/rows/LongValue.h"
#include "jet/write/DataPageEditor.h"

#include <vector>

namespace jet {

namespace {
// A long-value row fills at most a page less its header and one slot.
constexpr std::size_t kMaxLongValueRow = kPageSize - data_page::kFirstOffset - 2;
constexpr std::size_t kChainChunk = kMaxLongValueRow - 4;

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
    if (auto current = store_.longValuePage; current && *current < store_.pageCount()) {
        PageBytes page = copyOf(store_.read(*current));
        if (page[0] == static_cast<std::uint8_t>(PageType::Data) &&
            pageOwner(page) == kLongValueOwner) {
            if (auto slot = appendRow(page, row)) {
                store_.write(*current, page);
                return {*current, *slot};
            }
        }
    }
    std::uint32_t number = store_.allocate();
    PageBytes page = emptyDataPage(kLongValueOwner);
    auto slot = appendRow(page, row);
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
    if (data.size() <= kMaxLongValueRow)
        return reference(length, long_value::kSingleRow, appendLongValueRow(data).pointer());
    // Write the chain back to front so that each row already knows where the next one is.
    std::size_t chunks = (data.size() + kChainChunk - 1) / kChainChunk;
    std::uint32_t next = 0;
    std::vector<std::uint8_t> row;
    for (std::size_t i = chunks; i-- > 0;) {
        std::size_t from = i * kChainChunk;
        std::size_t take = std::min(kChainChunk, data.size() - from);
        row.assign(4, 0);
        for (int b = 0; b < 4; ++b) row[b] = static_cast<std::uint8_t>(next >> (8 * b));
        row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                   data.begin() + static_cast<std::ptrdiff_t>(from + take));
        next = appendLongValueRow(row).pointer();
    }
    return reference(length, long_value::kChained, next);
}

void LongValueWriter::deleteLongValueRow(RowId id) {
    PageBytes page = copyOf(store_.read(id.page));
    if (pageOwner(page) != kLongValueOwner)
        throwDamaged("a memo or OLE value points outside its pages");
    deleteRow(page, id.slot);
    if (liveSlots(page) == 0) {
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
        auto bytes = bytesOf(store_.read(id.page));
        RowSlot slot = rowSlot(bytes, id.slot);
        if (!slot.holdsRow() || slot.end - slot.start < 4)
            throwDamaged("a memo or OLE chain is broken");
        std::uint32_t next = u32(bytes, slot.start);
        remaining -= std::min<std::size_t>(remaining, slot.end - slot.start - 4u);
        deleteLongValueRow(id);
        pointer = next;
    }
}

} // namespace jet
