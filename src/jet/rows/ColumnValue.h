#pragma once
// Turns any value into what a column stores, with the checks and messages Jet gives when a
// value does not fit the column.
#include "core/Value.h"
#include "jet/schema/TableSchema.h"

#include <string>

namespace jet {

// The value as the column's storage kind (valueTypeOf(column.type); a numeric column's decimal
// carries the column's scale). Null stays Null: whether the column may be empty is the caller's
// rule. Throws core::TypeMismatch for a value of the wrong kind or out of range ("Overflow ..."),
// core::ConstraintError for text or binary data longer than the column.
core::Value coerceToColumn(const ColumnDef& column, const core::Value& value);

// The type's name as Access shows it ("Long Integer", "Date/Time", "Replication ID").
std::string_view accessTypeName(ColumnType type);

} // namespace jet
