#include "jet/rows/LongValue.h"

#include "jet/rows/DataPage.h"

#include <string>

namespace jet {

namespace {
ByteSpan longValueRow(const PageFile& file, const PageRef& page, RowId id) {
    auto bytes = file.bytes(page);
    if (bytes[0] != static_cast<std::uint8_t>(PageType::Data))
        throwDamaged("a memo or OLE value points to a page that holds no rows");
    RowSlot slot = rowSlot(bytes, id.slot, file.format());
    if (!slot.holdsRow()) throwDamaged("a memo or OLE value points to a deleted row");
    return bytes.subspan(slot.start, slot.end - slot.start);
}
} // namespace

core::Bytes readLongValue(const PageFile& file, ByteSpan ref) {
    requireRange(ref, 0, long_value::kReferenceSize, "a memo or OLE reference is cut short");
    std::uint32_t length = u24(ref, 0);
    std::uint8_t kind = ref[3];
    std::uint32_t pointer = u32(ref, 4);
    // No value can be longer than the file that holds it.
    if (length > std::uint64_t(file.pageCount()) * file.pageSize() + ref.size())
        throwDamaged("a memo or OLE value claims more bytes than the file holds");

    core::Bytes out;
    if (kind & long_value::kInline) {
        auto data = slice(ref, long_value::kReferenceSize, length, "an inline memo is cut short");
        out.assign(data.begin(), data.end());
        return out;
    }
    if (kind & long_value::kSingleRow) {
        auto page = file.read(RowId::fromPointer(pointer).page);
        auto row = longValueRow(file, page, RowId::fromPointer(pointer));
        auto data = slice(row, 0, length, "a memo or OLE value is cut short");
        out.assign(data.begin(), data.end());
        return out;
    }
    out.reserve(length);
    std::uint32_t hops = 0;
    while (out.size() < length) {
        if (pointer == 0) throwDamaged("a memo or OLE chain ends early");
        if (++hops > file.pageCount() * 256u) throwDamaged("a memo or OLE chain loops");
        RowId id = RowId::fromPointer(pointer);
        auto page = file.read(id.page);
        auto row = longValueRow(file, page, id);
        pointer = u32(row, 0);
        std::size_t take = std::min<std::size_t>(row.size() - 4, length - out.size());
        out.insert(out.end(), row.begin() + 4, row.begin() + 4 + static_cast<std::ptrdiff_t>(take));
    }
    return out;
}

} // namespace jet
