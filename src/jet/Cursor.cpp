#include "jet/Cursor.h"

#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/ValueDecoder.h"

#include <algorithm>

namespace jet {

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
                auto b = file_.bytes(page_);
                if (b[0] == static_cast<std::uint8_t>(PageType::Data) &&
                    u32(b, data_page::kOwner) == schema_->definitionPage) {
                    slots_ = slotCount(b, file_.format());
                    if (slots_ > 256) throwDamaged("a data page claims more rows than fit");
                    if (slots_ > 0) break;
                }
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

bool Cursor::isNull(std::size_t columnIndex) const {
    const ColumnDef& c = schema_->columns.at(columnIndex);
    if (c.type == ColumnType::Boolean) return false;
    return !row_.bit(c.number);
}

} // namespace jet
