#pragma once
// Values as a column stores them: the conversion an insert or update applies to each value,
// and the sizes and types that go with a column definition.
#include "core/Value.h"
#include "jet/schema/ColumnType.h"
#include "sql/engine/storage/TableInfo.h"

#include <cstdint>
#include <string_view>

namespace sql {

// The value converted to the column's type (Null stays Null). Raises the type mismatch
// error for a value that does not convert and "Overflow" for one outside the type's range;
// does not check Required or sizes.
core::Value toColumnValue(const ColumnInfo& column, const core::Value& value);

// Whether the value fits the column's size: text in UTF-16 code units, binary in bytes.
bool fitsColumn(const ColumnInfo& column, const core::Value& value);

// The width of a fixed-size type in bytes; 0 for Text, Binary, Memo and OLE.
std::uint32_t fixedSize(jet::ColumnType type);

// The stored type that holds values of a kind (Text for Null: a column of unknown kind).
jet::ColumnType columnTypeFor(core::DataType type);

} // namespace sql
