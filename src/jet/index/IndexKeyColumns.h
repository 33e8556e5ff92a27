#pragma once
// An index's columns as the key encoder takes them, found among the table's columns.
#include "jet/file/Bytes.h"
#include "jet/file/FileFormat.h"
#include "jet/keys/KeyColumn.h"
#include "jet/schema/TableSchema.h"

#include <vector>

namespace jet {

// Where the index's columns are in the schema's column list, in index order. Throws
// core::FormatError for an index over a column the table does not have.
std::vector<std::size_t> indexColumnPositions(const TableSchema& schema, const IndexData& index);

// The key columns of an index of a file in this format (its text sort order).
std::vector<KeyColumn> indexKeyColumns(const TableSchema& schema, const IndexData& index,
                                       const FileFormat& format);

// Whether every column of the key is null: each column's part is then its null flag alone,
// which no value's part starts with.
bool isAllNullKey(const IndexData& index, ByteSpan key);
// Whether the index keeps an entry for a row with this key: not for an all-null key when
// the index ignores nulls.
bool indexAdmitsKey(const IndexData& index, ByteSpan key);

} // namespace jet
