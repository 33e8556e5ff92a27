#pragma once
// Index keys as Jet 4 writes them into index pages: for each index column, in index order,
// a flag byte and an order-preserving encoding of the value, so that comparing keys byte by
// byte orders rows as the index does. Null counts as the lowest value: its key comes first in
// an ascending column and last in a descending one.
#include "core/Value.h"
#include "jet/keys/KeyColumn.h"

#include <span>

namespace jet {

// The key of one row; `values` holds the index columns' values in index column order.
// Throws core::TypeMismatch for a value the column type cannot hold and core::Error for
// an OLE Object column, which cannot be indexed.
core::Bytes encodeKey(std::span<const KeyColumn> columns, std::span<const core::Value> values);

// Appends one column's part of a key.
void appendColumnKey(core::Bytes& out, const KeyColumn& column, const core::Value& value);

} // namespace jet
