#pragma once
// The parts of one stored row: column count, fixed area, variable offsets and null mask.
// Parsing it allocates nothing; each value is then found in constant time. Jet 4 rows keep
// two-byte counts and offsets; Jet 3 rows one-byte ones, with a table of the variable
// columns at which offsets pass another 256 bytes.
#include "jet/file/Bytes.h"
#include "jet/file/FileFormat.h"
#include "jet/schema/TableSchema.h"

#include <optional>

namespace jet {

class RowLayout {
public:
    RowLayout() = default;
    // hasVariableColumns: whether the table definition has any variable-length column
    // (without one, rows carry no variable offset table).
    RowLayout(ByteSpan row, bool hasVariableColumns, const FileFormat& format = FileFormat::jet4());

    ByteSpan row() const { return row_; }
    std::uint16_t columnCount() const { return columnCount_; }
    // The null mask's bit for a column: 1 means not null; yes/no stores its value here.
    bool bit(std::uint16_t columnNumber) const;
    // The bytes of a column's value; nullopt when the row does not hold it or it is null.
    std::optional<ByteSpan> fixedBytes(const ColumnDef& c) const;
    std::optional<ByteSpan> variableBytes(const ColumnDef& c) const;

private:
    std::uint16_t variableOffset(std::size_t entry) const;

    ByteSpan row_;
    std::size_t countSize_ = 2; // bytes of a count and of an offset
    std::uint16_t columnCount_ = 0;
    std::size_t offsetTableEnd_ = 0; // just past the first variable offset
    std::size_t jumpStart_ = 0;      // Jet 3: the first entry of the jump table (read backwards)
    std::uint16_t jumpCount_ = 0;
    std::size_t nullMaskStart_ = 0;
    std::uint16_t variableCount_ = 0;
};

} // namespace jet
