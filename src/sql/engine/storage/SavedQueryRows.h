#pragma once
// A select statement taken apart into the MSysQueries rows Access keeps for a saved query:
// one row per parameter, output column, table, join, grouping and ordering, the predicate
// in the flag row, expressions in the printer's text.
#include "jet/query/QueryRow.h"
#include "sql/syntax/Statement.h"

#include <vector>

namespace sql {

struct SavedQueryRows {
    jet::query::QueryKind kind = jet::query::QueryKind::Select;
    std::vector<jet::query::QueryRow> rows; // without the Start, Type and End rows
};

// Raises core::SqlError for what a saved select query cannot hold: SELECT ... INTO, "?"
// markers, a subquery in FROM without an alias.
SavedQueryRows savedQueryRows(const SelectQuery& query,
                              const std::vector<ParameterDecl>& parameters);

} // namespace sql
