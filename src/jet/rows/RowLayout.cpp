#include "jet/rows/RowLayout.h"

namespace jet {

RowLayout::RowLayout(ByteSpan row, bool hasVariableColumns) : row_(row) {
    columnCount_ = u16(row, 0);
    std::size_t maskSize = (columnCount_ + 7u) / 8u;
    if (maskSize + 2 > row.size()) throwDamaged("a row is shorter than its null mask");
    nullMaskStart_ = row.size() - maskSize;
    if (hasVariableColumns) {
        if (nullMaskStart_ < 4) throwDamaged("a row is too short for its variable columns");
        variableCount_ = u16(row, nullMaskStart_ - 2);
        if (std::size_t(variableCount_) * 2 + 4 > nullMaskStart_)
            throwDamaged("a row's variable offset table is larger than the row");
    }
}

bool RowLayout::bit(std::uint16_t columnNumber) const {
    if (columnNumber >= columnCount_) return false;
    return (row_[nullMaskStart_ + columnNumber / 8] >> (columnNumber % 8)) & 1;
}

std::optional<ByteSpan> RowLayout::fixedBytes(const ColumnDef& c) const {
    if (!bit(c.number)) return std::nullopt;
    std::size_t width = fixedWidth(c.type) ? fixedWidth(c.type) : c.size;
    std::size_t start = 2u + c.fixedOffset;
    if (start + width > nullMaskStart_) throwDamaged("a fixed column lies outside its row");
    return row_.subspan(start, width);
}

std::uint16_t RowLayout::variableOffset(std::size_t entry) const {
    // The table of offsets runs backwards from just before the variable count.
    return u16(row_, nullMaskStart_ - 2 - 2 * (entry + 1));
}

std::optional<ByteSpan> RowLayout::variableBytes(const ColumnDef& c) const {
    if (!bit(c.number) || c.varIndex >= variableCount_) return std::nullopt;
    std::uint16_t start = variableOffset(c.varIndex);
    // The entry after the last variable column is the end of the variable data.
    std::uint16_t end = variableOffset(c.varIndex + 1u);
    std::size_t limit = nullMaskStart_ - 2 - 2 * (variableCount_ + 1u);
    if (start > end || end > limit) throwDamaged("a variable column lies outside its row");
    return row_.subspan(start, end - start);
}

} // namespace jet
