#pragma once
// The rows of the catalog functions (SQLTables, SQLColumns, SQLPrimaryKeys, SQLForeignKeys,
// SQLStatistics, SQLSpecialColumns, SQLGetTypeInfo), in the columns and order ODBC defines,
// read from the file's catalog through the engine.
#include "core/Value.h"
#include "odbc/ColumnDescription.h"

#include <optional>
#include <string>
#include <vector>

namespace odbc {

class Connection;

struct CatalogRows {
    std::vector<ColumnDescription> columns;
    std::vector<std::vector<core::Value>> rows;
};

// A pattern argument: nullopt (or "%") matches every name.
using Pattern = std::optional<std::string>;

// ODBC's search pattern: % any run, _ any one character, \ escapes; case is ignored as Jet
// ignores it in names.
bool matchesPattern(std::string_view name, std::string_view pattern);

// `types` is the list SQLTables takes ("'TABLE','VIEW'"); system tables only when asked.
CatalogRows tableRows(Connection& c, const Pattern& catalog, const Pattern& schema,
                      const Pattern& table, const Pattern& types);
CatalogRows columnRows(Connection& c, const Pattern& table, const Pattern& column);
CatalogRows primaryKeyRows(Connection& c, const std::string& table);
// Either table may be empty (then any table), not both.
CatalogRows foreignKeyRows(Connection& c, const std::string& primaryTable,
                           const std::string& foreignTable);
CatalogRows statisticsRows(Connection& c, const std::string& table, bool uniqueOnly);
CatalogRows specialColumnRows(Connection& c, SQLUSMALLINT identifierType, const std::string& table);
CatalogRows typeInfoRows(SQLSMALLINT dataType);

} // namespace odbc
