// Entry points that read results: describing columns, binding, fetching, reading values.
#include "odbc/CData.h"
#include "odbc/EntryGuard.h"
#include "odbc/Text.h"

using namespace odbc;

namespace {

const ColumnDescription& columnAt(Statement& s, SQLUSMALLINT number) {
    if (number == 0 || number > s.columns().size())
        throw OdbcError("07009", "Invalid descriptor index.");
    return s.columns()[number - 1];
}

SQLRETURN describeCol(SQLHSTMT stmt, SQLUSMALLINT number, SQLPOINTER name, SQLSMALLINT capacity,
                      SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size,
                      SQLSMALLINT* digits, SQLSMALLINT* nullable, Units units) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        const ColumnDescription& c = columnAt(s, number);
        if (type) *type = c.sqlType;
        if (size) *size = c.size;
        if (digits) *digits = c.digits;
        if (nullable) *nullable = c.nullable;
        return putText(s.diagnostics, c.name, name, capacity, units, nameLength);
    });
}

SQLRETURN colAttribute(SQLHSTMT stmt, SQLUSMALLINT number, SQLUSMALLINT field, SQLPOINTER text,
                       SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* numeric, Units units) {
    return guarded<Statement>(stmt, [&](Statement& s) -> SQLRETURN {
        auto number_ = [&](SQLLEN v) {
            if (numeric) *numeric = v;
            return SQL_SUCCESS;
        };
        auto text_ = [&](const std::string& v) {
            return putText(s.diagnostics, v, text, capacity, units, length);
        };
        if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT)
            return number_(static_cast<SQLLEN>(s.columns().size()));
        const ColumnDescription& c = columnAt(s, number);
        const bool numericType = c.sqlType == SQL_DECIMAL || c.sqlType == SQL_NUMERIC ||
                                 c.sqlType == SQL_TINYINT || c.sqlType == SQL_SMALLINT ||
                                 c.sqlType == SQL_INTEGER || c.sqlType == SQL_REAL ||
                                 c.sqlType == SQL_DOUBLE || c.sqlType == SQL_BIT;
        switch (field) {
        case SQL_DESC_NAME:
        case SQL_DESC_LABEL:
        case SQL_COLUMN_NAME:
            return text_(c.name);
        case SQL_DESC_BASE_COLUMN_NAME:
            return text_(c.baseColumn);
        case SQL_DESC_TABLE_NAME:
        case SQL_DESC_BASE_TABLE_NAME:
            return text_(c.baseTable);
        case SQL_DESC_TYPE_NAME:
        case SQL_DESC_LOCAL_TYPE_NAME:
            return text_(c.typeName);
        case SQL_DESC_CATALOG_NAME:
        case SQL_DESC_SCHEMA_NAME:
            return text_("");
        case SQL_DESC_LITERAL_PREFIX:
        case SQL_DESC_LITERAL_SUFFIX:
            return text_(c.sqlType == SQL_WVARCHAR || c.sqlType == SQL_WLONGVARCHAR ? "'"
                         : c.sqlType == SQL_TYPE_TIMESTAMP                          ? "#"
                                                                                    : "");
        case SQL_DESC_TYPE:
            return number_(verboseType(c.sqlType));
        case SQL_DESC_CONCISE_TYPE:
            return number_(c.sqlType);
        case SQL_DESC_LENGTH:
        case SQL_COLUMN_LENGTH:
            return number_(static_cast<SQLLEN>(c.size));
        case SQL_DESC_PRECISION:
        case SQL_COLUMN_PRECISION:
            return number_(static_cast<SQLLEN>(c.size));
        case SQL_DESC_SCALE:
        case SQL_COLUMN_SCALE:
            return number_(c.digits);
        case SQL_DESC_NULLABLE:
        case SQL_COLUMN_NULLABLE:
            return number_(c.nullable);
        case SQL_DESC_DISPLAY_SIZE:
            return number_(displaySize(c));
        case SQL_DESC_OCTET_LENGTH:
            return number_(octetLength(c));
        case SQL_DESC_AUTO_UNIQUE_VALUE:
            return number_(c.autoIncrement ? SQL_TRUE : SQL_FALSE);
        case SQL_DESC_UNSIGNED:
            return number_(c.isUnsigned || !numericType ? SQL_TRUE : SQL_FALSE);
        case SQL_DESC_UPDATABLE:
            return number_(c.updatable ? SQL_ATTR_READWRITE_UNKNOWN : SQL_ATTR_READONLY);
        case SQL_DESC_CASE_SENSITIVE:
            return number_(SQL_FALSE);
        case SQL_DESC_SEARCHABLE:
            return number_(c.sqlType == SQL_LONGVARBINARY  ? SQL_PRED_NONE
                           : c.sqlType == SQL_WLONGVARCHAR ? SQL_PRED_CHAR
                                                           : SQL_PRED_SEARCHABLE);
        case SQL_DESC_FIXED_PREC_SCALE:
            return number_(c.typeName == "CURRENCY" ? SQL_TRUE : SQL_FALSE);
        case SQL_DESC_NUM_PREC_RADIX:
            return number_(numericType ? 10 : 0);
        case SQL_DESC_UNNAMED:
            return number_(c.name.empty() ? SQL_UNNAMED : SQL_NAMED);
        default:
            throw OdbcError("HY091", "Invalid descriptor field identifier.");
        }
    });
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        if (count) *count = static_cast<SQLSMALLINT>(s.columns().size());
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT number, SQLCHAR* name,
                                 SQLSMALLINT capacity, SQLSMALLINT* nameLength, SQLSMALLINT* type,
                                 SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    return describeCol(stmt, number, name, capacity, nameLength, type, size, digits, nullable,
                       Units::Narrow);
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT stmt, SQLUSMALLINT number, SQLWCHAR* name,
                                  SQLSMALLINT capacity, SQLSMALLINT* nameLength, SQLSMALLINT* type,
                                  SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    return describeCol(stmt, number, name, capacity, nameLength, type, size, digits, nullable,
                       Units::WideChars);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT number, SQLUSMALLINT field,
                                  SQLPOINTER text, SQLSMALLINT capacity, SQLSMALLINT* length,
                                  SQLLEN* numeric) {
    return colAttribute(stmt, number, field, text, capacity, length, numeric, Units::Narrow);
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT stmt, SQLUSMALLINT number, SQLUSMALLINT field,
                                   SQLPOINTER text, SQLSMALLINT capacity, SQLSMALLINT* length,
                                   SQLLEN* numeric) {
    return colAttribute(stmt, number, field, text, capacity, length, numeric, Units::WideBytes);
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT cType, SQLPOINTER data,
                             SQLLEN length, SQLLEN* indicator) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        if (number == 0) throw OdbcError("07009", "Bookmark columns are not available.");
        if (s.bound.size() < number) s.bound.resize(number);
        s.bound[number - 1] =
            data || indicator ? BoundColumn{cType, data, length, indicator} : BoundColumn{};
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
    return guarded<Statement>(stmt, [](Statement& s) { return s.fetch(SQL_FETCH_NEXT, 0); });
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN offset) {
    return guarded<Statement>(stmt, [&](Statement& s) { return s.fetch(orientation, offset); });
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT cType, SQLPOINTER data,
                             SQLLEN length, SQLLEN* indicator) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        return s.getData(number, CBuffer{cType, data, length, indicator});
    });
}

SQLRETURN SQL_API SQLSetPos(SQLHSTMT stmt, SQLSETPOSIROW row, SQLUSMALLINT operation,
                            SQLUSMALLINT) {
    return guarded<Statement>(stmt, [&](Statement& s) { return s.setPos(row, operation); });
}

SQLRETURN SQL_API SQLBulkOperations(SQLHSTMT stmt, SQLSMALLINT operation) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        if (operation != SQL_ADD)
            throw OdbcError("HYC00", "Only SQL_ADD is available; change rows through SQLSetPos.");
        return s.addRows();
    });
}

} // extern "C"
