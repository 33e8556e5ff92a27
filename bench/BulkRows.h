#pragma once
// The rows the bulk benchmark writes: one table T of a long, a text, a double, a date and a
// money column, its values varied by row number so that no two pages look alike. The
// engine and SQLite are given the very same values, the latter as SQL text.
#include "core/Value.h"
#include "jet/schema/TableSchema.h"

#include <string>
#include <vector>

namespace bench {

inline constexpr const char* kBulkTable = "T";

jet::TableSchema bulkSchema();
std::vector<core::Value> bulkRow(int i);

// SQLite's side: the table's CREATE statement and one INSERT of row i, appended to `out`.
std::string bulkSqlCreate();
void appendBulkSqlInsert(std::string& out, int i);
// The same row as one CSV line, for sqlite3's .import.
void appendBulkCsvLine(std::string& out, int i);

} // namespace bench
