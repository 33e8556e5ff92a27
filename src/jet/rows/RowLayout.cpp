#include "jet/rows/RowLayout.h"

namespace jet {

RowLayout::RowLayout(ByteSpan row, bool hasVariableColumns, const FileFormat& format)
    : row_(row), countSize_(format.row.countSize) {
    columnCount_ = countSize_ == 1 ? u8(row, 0) : u16(row, 0);
    std::size_t maskSize = (columnCount_ + 7u) / 8u;
    if (maskSize + countSize_ > row.size()) throwDamaged("a row is shorter than its null mask");
    nullMaskStart_ = row.size() - maskSize;
    if (!hasVariableColumns) return;
    if (nullMaskStart_ < 2 * countSize_)
        throwDamaged("a row is too short for its variable columns");
    const std::size_t countAt = nullMaskStart_ - countSize_;
    variableCount_ = countSize_ == 1 ? u8(row, countAt) : u16(row, countAt);
    if (countSize_ == 1) {
        // Before the variable count: one jump entry for each 256 bytes the row spans, then
        // the offsets. The last jump may be unused, when the offsets end below its mark.
        jumpCount_ = static_cast<std::uint16_t>((row.size() - 1) / 256);
        jumpStart_ = countAt;
        if (jumpCount_ + variableCount_ + 1u > countAt)
            throwDamaged("a row's variable offset table is larger than the row");
        offsetTableEnd_ = countAt - jumpCount_;
        const std::size_t offsetsStart = offsetTableEnd_ - (variableCount_ + 1u);
        if (jumpCount_ > 0 && offsetsStart / 256 < jumpCount_) --jumpCount_;
    } else {
        offsetTableEnd_ = countAt;
    }
    if (std::size_t(variableCount_ + 1u) * countSize_ > offsetTableEnd_)
        throwDamaged("a row's variable offset table is larger than the row");
}

bool RowLayout::bit(std::uint16_t columnNumber) const {
    if (columnNumber >= columnCount_) return false;
    return (row_[nullMaskStart_ + columnNumber / 8] >> (columnNumber % 8)) & 1;
}

std::optional<ByteSpan> RowLayout::fixedBytes(const ColumnDef& c) const {
    if (!bit(c.number)) return std::nullopt;
    std::size_t width = fixedWidth(c.type) ? fixedWidth(c.type) : c.size;
    std::size_t start = countSize_ + c.fixedOffset;
    if (start + width > nullMaskStart_) throwDamaged("a fixed column lies outside its row");
    return row_.subspan(start, width);
}

std::uint16_t RowLayout::variableOffset(std::size_t entry) const {
    // The table of offsets runs backwards from just before the variable count.
    if (countSize_ == 2) return u16(row_, offsetTableEnd_ - 2 * (entry + 1));
    std::size_t base = 0;
    for (std::size_t j = 0; j < jumpCount_; ++j)
        if (u8(row_, jumpStart_ - 1 - j) <= entry) base += 256;
    return static_cast<std::uint16_t>(base + u8(row_, offsetTableEnd_ - (entry + 1)));
}

std::optional<ByteSpan> RowLayout::variableBytes(const ColumnDef& c) const {
    if (!bit(c.number) || c.varIndex >= variableCount_) return std::nullopt;
    std::uint16_t start = variableOffset(c.varIndex);
    // The entry after the last variable column is the end of the variable data.
    std::uint16_t end = variableOffset(c.varIndex + 1u);
    std::size_t limit = offsetTableEnd_ - countSize_ * (variableCount_ + 1u);
    if (start > end || end > limit) throwDamaged("a variable column lies outside its row");
    return row_.subspan(start, end - start);
}

} // namespace jet
