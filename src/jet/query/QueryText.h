#pragma once
// The SQL of a saved query rebuilt from its MSysQueries rows, laid out as Access shows it:
// PARAMETERS, [TRANSFORM,] SELECT with its predicate and list, FROM with Jet's nested joins,
// WHERE, GROUP BY, HAVING, ORDER BY[, PIVOT], one clause a line, ending in ";"; action queries
// as INSERT INTO, UPDATE, DELETE or SELECT ... INTO.
#include "jet/query/QueryRow.h"

#include <span>
#include <string>
#include <string_view>

namespace jet::query {

// The rows are the query's own, in stored order, Start and End rows included; when `kind`
// (the catalog's) says select, the type row decides. Select, union, crosstab,
// make-table, append, update and delete queries read back; pass-through and data-definition
// queries, and rows out of shape (no Start or End row, an unknown attribute, a join naming no
// table of the query), raise core::FormatError naming the query.
std::string queryText(std::string_view queryName, QueryKind kind, std::span<const QueryRow> rows);

// A name as a query text writes it: bare when it is a plain word, else in brackets.
std::string sqlName(std::string_view name);

} // namespace jet::query
