#pragma once
// MSysQueries as saved queries use it: the rows of one query in stored order, and the
// values of a row to be written. Columns are found by name, as Access lays them out.
#include "core/Value.h"
#include "jet/Cursor.h"
#include "jet/Table.h"
#include "jet/query/QueryRow.h"

#include <cstdint>
#include <vector>

namespace jet::query {

inline constexpr std::string_view kQueriesTable = "MSysQueries";

struct StoredQueryRow {
    QueryRow row;
    RowId id;
};

// The rows whose ObjectId is the query's catalog Id. Raises core::FormatError when the
// table lacks one of its columns.
std::vector<StoredQueryRow> readQueryRows(const Table& queries, std::int32_t objectId);

// A complete row of the table for `row` of the query. `order` tells apart rows of one
// attribute (the table's key is ObjectId, Attribute, Order) and keeps them in sequence.
std::vector<core::Value> queryRowValues(const TableSchema& queries, std::int32_t objectId,
                                        const QueryRow& row, std::uint32_t order);

// The rows a new query stores: Start, Type, the given rows by attribute (in their order
// within an attribute), End. Refuses rows of the framing attributes or unknown ones.
std::vector<QueryRow> framedRows(QueryKind kind, std::vector<QueryRow> body);

} // namespace jet::query
