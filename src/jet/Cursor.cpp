#include "jet/Cursor.h"

#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/ValueDecoder.h"

#include <algorithm>

namespace jet {

namespace {

// How many row slots the page holds when it is one of the table's data pages; zero for any
// other page the usage map names (freed pages keep their bit until the map is rewritten).
std::uint16_t tableSlots(const PageFile& file, ByteSpan page, const TableSchema& schema) {
    if (page[0] != static_cast<std::uint8_t>(PageType::Data) ||
        u32(page, data_page::kOwner) != schema.definitionPage)
        return 0;
    const std::uint16_t slots = slotCount(page, file.format());
    if (slots > 256) throwDamaged("a data page claims more rows than fit");
    return slots;
}

} // namespace

Cursor::Cursor(const PageFile& file, std::shared_ptr<const TableSchema> schema)
    : file_(file), schema_(std::move(schema)) {
    hasVariable_ = std::any_of(schema_->columns.begin(), schema_->columns.end(),
                               [](const ColumnDef& c) { return !c.isFixed(); }) ||
                   schema_->variableColumns > 0;
    pages_ = readUsageMap(file_, schema_->usageMapPointer);
}

bool Cursor::loadRow(std::uint16_t slot) {
    auto bytes = file_.bytes(page_);
    RowSlot s = rowSlot(bytes, slot, file_.format());
    // Stored order lists each row where its bytes are: a moved row on the page it moved to,
    // and not again at the pointer it left behind.
    if (!s.holdsRow()) return false;
    row_ = RowLayout(bytes.subspan(s.start, s.end - s.start), hasVariable_, file_.format());
    return true;
}

bool Cursor::next() {
    for (;;) {
        if (started_ && slot_ + 1 < slots_) {
            ++slot_;
        } else {
            if (started_) ++pageIndex_;
            started_ = true;
            // Find the next page of this table that holds rows.
            for (;; ++pageIndex_) {
                if (pageIndex_ >= pages_.size()) return false;
                page_ = file_.read(pages_[pageIndex_]);
                slots_ = tableSlots(file_, file_.bytes(page_), *schema_);
                if (slots_ > 0) break;
            }
            slot_ = 0;
        }
        if (loadRow(slot_)) {
            current_ = {pages_[pageIndex_], static_cast<std::uint8_t>(slot_)};
            return true;
        }
    }
}

core::Value Cursor::value(std::size_t columnIndex) const {
    return decodeColumn(file_, row_, schema_->columns.at(columnIndex));
}

std::optional<core::Bytes> Cursor::storedText(std::size_t columnIndex) const {
    return storedTextBytes(file_, row_, schema_->columns.at(columnIndex));
}

bool Cursor::isNull(std::size_t columnIndex) const {
    const ColumnDef& c = schema_->columns.at(columnIndex);
    if (c.type == ColumnType::Boolean) return false;
    return !row_.bit(c.number);
}

std::vector<RowId> storedRowIds(const PageFile& file, const TableSchema& schema) {
    std::vector<RowId> out;
    // The count the definition keeps spares regrowing the list.
    out.reserve(std::min<std::size_t>(schema.rowCount, std::size_t{file.pageCount()} * 256));
    visitStoredRows(file, schema, [&](std::uint32_t page, std::span<const std::uint16_t> slots) {
        for (std::uint16_t slot : slots) out.push_back({page, static_cast<std::uint8_t>(slot)});
    });
    return out;
}

void visitStoredRows(
    const PageFile& file, const TableSchema& schema,
    const std::function<void(std::uint32_t page, std::span<const std::uint16_t> slots)>& visit) {
    visitStoredRows(file, schema, readUsageMap(file, schema.usageMapPointer), visit);
}

void visitStoredRows(
    const PageFile& file, const TableSchema& schema, std::span<const std::uint32_t> pages,
    const std::function<void(std::uint32_t page, std::span<const std::uint16_t> slots)>& visit) {
    std::vector<std::uint16_t> held;
    auto one = [&](std::uint32_t number, ByteSpan bytes) {
        const std::uint16_t slots = tableSlots(file, bytes, schema);
        held.clear();
        for (std::uint16_t slot = 0; slot < slots; ++slot)
            if (rowSlot(bytes, slot, file.format()).holdsRow()) held.push_back(slot);
        if (!held.empty()) visit(number, held);
    };
    // A page or two (a cursor reading on as the user moves) come through the page cache,
    // where their rows will be read from; runs of pages are read in bulk.
    constexpr std::size_t kFewPages = 2;
    if (pages.size() <= kFewPages) {
        for (std::uint32_t number : pages) {
            const PageRef page = file.read(number);
            one(number, file.bytes(page));
        }
        return;
    }
    file.visitPages(pages, one);
}

} // namespace jet
