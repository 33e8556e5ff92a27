// Entry points of the catalog functions, ANSI and wide.
#include "odbc/Catalog.h"
#include "odbc/EntryGuard.h"
#include "odbc/Text.h"

#include <functional>

using namespace odbc;

namespace {

using Name = std::optional<std::string>;

SQLRETURN answer(SQLHSTMT stmt, const std::function<CatalogRows(Connection&)>& build) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        CatalogRows rows = build(s.connection);
        s.setRows(std::move(rows.columns), std::move(rows.rows));
        return SQL_SUCCESS;
    });
}

SQLRETURN tables(SQLHSTMT stmt, Name catalog, Name schema, Name table, Name types) {
    return answer(stmt, [&](Connection& c) { return tableRows(c, catalog, schema, table, types); });
}
SQLRETURN columns(SQLHSTMT stmt, Name table, Name column) {
    return answer(stmt, [&](Connection& c) { return columnRows(c, table, column); });
}
SQLRETURN primaryKeys(SQLHSTMT stmt, Name table) {
    return answer(stmt, [&](Connection& c) { return primaryKeyRows(c, textOr(table)); });
}
SQLRETURN foreignKeys(SQLHSTMT stmt, Name primary, Name foreign) {
    return answer(
        stmt, [&](Connection& c) { return foreignKeyRows(c, textOr(primary), textOr(foreign)); });
}
SQLRETURN statistics(SQLHSTMT stmt, Name table, SQLUSMALLINT unique) {
    return answer(stmt, [&](Connection& c) {
        return statisticsRows(c, textOr(table), unique == SQL_INDEX_UNIQUE);
    });
}
SQLRETURN specialColumns(SQLHSTMT stmt, SQLUSMALLINT type, Name table) {
    return answer(stmt, [&](Connection& c) { return specialColumnRows(c, type, textOr(table)); });
}
SQLRETURN typeInfo(SQLHSTMT stmt, SQLSMALLINT type) {
    return answer(stmt, [&](Connection&) { return typeInfoRows(type); });
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLTables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength,
                            SQLCHAR* schema, SQLSMALLINT schemaLength, SQLCHAR* table,
                            SQLSMALLINT tableLength, SQLCHAR* types, SQLSMALLINT typesLength) {
    return tables(stmt, textIn(catalog, catalogLength), textIn(schema, schemaLength),
                  textIn(table, tableLength), textIn(types, typesLength));
}

SQLRETURN SQL_API SQLTablesW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength,
                             SQLWCHAR* schema, SQLSMALLINT schemaLength, SQLWCHAR* table,
                             SQLSMALLINT tableLength, SQLWCHAR* types, SQLSMALLINT typesLength) {
    return tables(stmt, textIn(catalog, catalogLength), textIn(schema, schemaLength),
                  textIn(table, tableLength), textIn(types, typesLength));
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                             SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* column,
                             SQLSMALLINT columnLength) {
    return columns(stmt, textIn(table, tableLength), textIn(column, columnLength));
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT stmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                              SQLWCHAR* table, SQLSMALLINT tableLength, SQLWCHAR* column,
                              SQLSMALLINT columnLength) {
    return columns(stmt, textIn(table, tableLength), textIn(column, columnLength));
}

SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                 SQLCHAR* table, SQLSMALLINT tableLength) {
    return primaryKeys(stmt, textIn(table, tableLength));
}

SQLRETURN SQL_API SQLPrimaryKeysW(SQLHSTMT stmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                                  SQLWCHAR* table, SQLSMALLINT tableLength) {
    return primaryKeys(stmt, textIn(table, tableLength));
}

SQLRETURN SQL_API SQLForeignKeys(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                 SQLCHAR* pkTable, SQLSMALLINT pkLength, SQLCHAR*, SQLSMALLINT,
                                 SQLCHAR*, SQLSMALLINT, SQLCHAR* fkTable, SQLSMALLINT fkLength) {
    return foreignKeys(stmt, textIn(pkTable, pkLength), textIn(fkTable, fkLength));
}

SQLRETURN SQL_API SQLForeignKeysW(SQLHSTMT stmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                                  SQLWCHAR* pkTable, SQLSMALLINT pkLength, SQLWCHAR*, SQLSMALLINT,
                                  SQLWCHAR*, SQLSMALLINT, SQLWCHAR* fkTable, SQLSMALLINT fkLength) {
    return foreignKeys(stmt, textIn(pkTable, pkLength), textIn(fkTable, fkLength));
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                SQLCHAR* table, SQLSMALLINT tableLength, SQLUSMALLINT unique,
                                SQLUSMALLINT) {
    return statistics(stmt, textIn(table, tableLength), unique);
}

SQLRETURN SQL_API SQLStatisticsW(SQLHSTMT stmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                                 SQLWCHAR* table, SQLSMALLINT tableLength, SQLUSMALLINT unique,
                                 SQLUSMALLINT) {
    return statistics(stmt, textIn(table, tableLength), unique);
}

SQLRETURN SQL_API SQLSpecialColumns(SQLHSTMT stmt, SQLUSMALLINT type, SQLCHAR*, SQLSMALLINT,
                                    SQLCHAR*, SQLSMALLINT, SQLCHAR* table, SQLSMALLINT tableLength,
                                    SQLUSMALLINT, SQLUSMALLINT) {
    return specialColumns(stmt, type, textIn(table, tableLength));
}

SQLRETURN SQL_API SQLSpecialColumnsW(SQLHSTMT stmt, SQLUSMALLINT type, SQLWCHAR*, SQLSMALLINT,
                                     SQLWCHAR*, SQLSMALLINT, SQLWCHAR* table,
                                     SQLSMALLINT tableLength, SQLUSMALLINT, SQLUSMALLINT) {
    return specialColumns(stmt, type, textIn(table, tableLength));
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT stmt, SQLSMALLINT type) {
    return typeInfo(stmt, type);
}

SQLRETURN SQL_API SQLGetTypeInfoW(SQLHSTMT stmt, SQLSMALLINT type) {
    return typeInfo(stmt, type);
}

} // extern "C"
