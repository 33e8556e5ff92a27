#pragma once
// Checks that a value fits a column, with the messages Jet gives when it does not. Values come
// already converted (by the SQL engine, a field edit or an import, with core's rules): the one
// conversion left here is between kinds of number, by the same rules.
#include "core/Value.h"
#include "jet/schema/TableSchema.h"

#include <string>

namespace jet {

// The value as the column stores it (valueTypeOf(column.type); a numeric column's decimal
// carries the column's scale). Null stays Null: whether the column may be empty is the caller's
// rule. A number column takes any kind of number (rounded half to even where it must be), a
// date column a date or a day count; every other column only its own kind. Throws
// core::TypeMismatch for a value of the wrong kind ("Data type mismatch in column ...") or out
// of range ("Overflow in column ..."), core::ConstraintError for text or binary data longer
// than the column.
core::Value coerceToColumn(const ColumnDef& column, const core::Value& value);

// The type's name as Access shows it ("Long Integer", "Date/Time", "Replication ID").
std::string_view accessTypeName(ColumnType type);

} // namespace jet
