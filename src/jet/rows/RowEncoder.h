#pragma once
// Builds a row's bytes in the layout RowLayout reads: column count, fixed area, variable data,
// variable offset table (Jet 3: with its jump table) and null mask. Memo and OLE values sit in the
// row when they are small and there is room, otherwise a LongValueStore puts them on long-value
// pages.
#include "core/Value.h"
#include "jet/file/FileFormat.h"
#include "jet/schema/TableSchema.h"

#include <optional>
#include <span>

namespace jet {

// Puts memo and OLE data that stays out of its row somewhere and says where.
struct LongValueStore {
    virtual ~LongValueStore();
    // data is what the reference will name (memo text already in Jet's text encoding); the
    // result is the 12-byte reference the row keeps.
    virtual core::Bytes storeExternal(ColumnType type, std::span<const std::uint8_t> data) = 0;
};

// Jet keeps no row larger than this, trailer and null mask included.
inline std::size_t maxRowSize(const FileFormat& format = FileFormat::jet4()) {
    return format.write.maxRowSize;
}
// Memo text longer than this many UTF-16 units is stored uncompressed even when its column
// allows compression.
inline constexpr std::size_t kMaxCompressedMemoUnits = 1024;

// The most bytes one memo or OLE value can have: its reference gives the length in 24 bits.
inline constexpr std::size_t kMaxLongValueLength = 0xFFFFFF;

// The 12 bytes a row keeps for a memo or OLE value: 24-bit length, kind (long_value::kInline,
// kSingleRow or kChained), the row pointer of the data (0 when inline) and four zero bytes.
core::Bytes longValueReference(std::uint32_t length, std::uint8_t kind, std::uint32_t rowPointer);

// The stored bytes of a fixed-size value (the inverse of decodeFixed), after coerceToColumn;
// a decimal keeps its own digits whatever its scale. Null gives zeros.
core::Bytes encodeFixed(const ColumnDef& column, const core::Value& value);

// One value per schema column, in schema order; each is checked against its column first
// (coerceToColumn). Throws core::ConstraintError "Record is too large." when the row cannot fit
// even with every memo and OLE value out of line; values of the wrong kind raise what
// coerceToColumn raises, and text the file's code page cannot hold a ConstraintError naming
// its column. The store is called only once the row is known to fit.
// storedText, when given, has one entry per column: for a text or memo column, bytes already
// in the file's encoding that are stored in place of its value's text (a compaction keeps
// bytes the code page leaves undefined this way); the value must still be non-Null.
core::Bytes encodeRow(const TableSchema& table, std::span<const core::Value> values,
                      LongValueStore& store, const FileFormat& format = FileFormat::jet4(),
                      std::span<const std::optional<core::Bytes>> storedText = {});

} // namespace jet
