#pragma once
// Turns a column's stored bytes into a value.
#include "core/Value.h"
#include "jet/file/PageFile.h"
#include "jet/rows/RowLayout.h"

#include <optional>

namespace jet {

core::Value decodeFixed(const ColumnDef& c, ByteSpan bytes);
core::Decimal decodeNumeric(ByteSpan bytes);

// The column's value in a parsed row; long values are read through the page file.
core::Value decodeColumn(const PageFile& file, const RowLayout& row, const ColumnDef& c);

// A text or memo column's text as the file stores it, before any decoding (a memo's read
// through its long-value pages); nullopt for Null and for columns of other types.
std::optional<core::Bytes> storedTextBytes(const PageFile& file, const RowLayout& row,
                                           const ColumnDef& c);

} // namespace jet
