#include "odbc/ColumnDescription.h"

#include "sql/engine/ResultSet.h"

namespace odbc {

namespace {

constexpr SQLULEN longSize = 1073741823; // what Jet reports for memo and OLE columns

} // namespace

ColumnDescription describeJetType(jet::ColumnType type, std::uint32_t size, std::uint8_t precision,
                                  std::uint8_t scale, bool autoNumber) {
    using T = jet::ColumnType;
    ColumnDescription d;
    auto set = [&](SQLSMALLINT sqlType, SQLULEN columnSize, SQLSMALLINT digits, const char* name) {
        d.sqlType = sqlType;
        d.size = columnSize;
        d.digits = digits;
        d.typeName = name;
    };
    switch (type) {
    case T::Boolean:
        set(SQL_BIT, 1, 0, "BIT");
        break;
    case T::Byte:
        set(SQL_TINYINT, 3, 0, "BYTE");
        d.isUnsigned = true;
        break;
    case T::Integer:
        set(SQL_SMALLINT, 5, 0, "SMALLINT");
        break;
    case T::Long:
        set(SQL_INTEGER, 10, 0, autoNumber ? "COUNTER" : "INTEGER");
        break;
    case T::Currency:
        set(SQL_DECIMAL, 19, 4, "CURRENCY");
        break;
    case T::Single:
        set(SQL_REAL, 7, 0, "REAL");
        break;
    case T::Double:
        set(SQL_DOUBLE, 15, 0, "DOUBLE");
        break;
    case T::DateTime:
        set(SQL_TYPE_TIMESTAMP, 19, 0, "DATETIME");
        break;
    case T::Binary:
        set(SQL_VARBINARY, size ? size : 510, 0, "VARBINARY");
        break;
    case T::Text:
        set(SQL_WVARCHAR, size ? size : 255, 0, "VARCHAR");
        break;
    case T::Ole:
        set(SQL_LONGVARBINARY, longSize, 0, "LONGBINARY");
        break;
    case T::Memo:
        set(SQL_WLONGVARCHAR, longSize, 0, "LONGCHAR");
        break;
    case T::Guid:
        set(SQL_GUID, 36, 0, "GUID");
        break;
    case T::Numeric:
        set(SQL_NUMERIC, precision ? precision : 18, static_cast<SQLSMALLINT>(scale), "DECIMAL");
        break;
    }
    d.autoIncrement = autoNumber && type == T::Long;
    return d;
}

ColumnDescription describeResultColumn(const sql::ResultColumn& column) {
    ColumnDescription d = describeJetType(column.columnType, column.size, column.precision,
                                          column.scale, column.autoNumber);
    d.name = column.name;
    d.nullable = column.required ? SQL_NO_NULLS : SQL_NULLABLE;
    d.updatable = !column.readOnly;
    d.baseTable = column.baseTable;
    d.baseColumn = column.baseColumn;
    return d;
}

ColumnDescription textColumn(std::string name) {
    ColumnDescription d = describeJetType(jet::ColumnType::Text, 255, 0, 0, false);
    d.name = std::move(name);
    return d;
}

ColumnDescription smallIntColumn(std::string name) {
    ColumnDescription d = describeJetType(jet::ColumnType::Integer, 2, 0, 0, false);
    d.name = std::move(name);
    return d;
}

ColumnDescription integerColumn(std::string name) {
    ColumnDescription d = describeJetType(jet::ColumnType::Long, 4, 0, 0, false);
    d.name = std::move(name);
    return d;
}

SQLLEN displaySize(const ColumnDescription& c) {
    switch (c.sqlType) {
    case SQL_BIT:
        return 1;
    case SQL_TINYINT:
        return 3;
    case SQL_SMALLINT:
        return 6;
    case SQL_INTEGER:
        return 11;
    case SQL_REAL:
        return 14;
    case SQL_DOUBLE:
        return 24;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
        return 19;
    case SQL_GUID:
        return 38;
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return static_cast<SQLLEN>(c.size * 2);
    default:
        return static_cast<SQLLEN>(c.size);
    }
}

SQLLEN octetLength(const ColumnDescription& c) {
    switch (c.sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
        return 1;
    case SQL_SMALLINT:
        return 2;
    case SQL_INTEGER:
    case SQL_REAL:
        return 4;
    case SQL_DOUBLE:
        return 8;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return static_cast<SQLLEN>(c.size) + 2;
    case SQL_TYPE_TIMESTAMP:
        return sizeof(SQL_TIMESTAMP_STRUCT);
    case SQL_GUID:
        return 16;
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return static_cast<SQLLEN>(c.size * 2);
    default:
        return static_cast<SQLLEN>(c.size);
    }
}

SQLSMALLINT defaultCType(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_BIT:
        return SQL_C_BIT;
    case SQL_TINYINT:
        return SQL_C_UTINYINT;
    case SQL_SMALLINT:
        return SQL_C_SSHORT;
    case SQL_INTEGER:
        return SQL_C_SLONG;
    case SQL_BIGINT:
        return SQL_C_SBIGINT;
    case SQL_REAL:
        return SQL_C_FLOAT;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return SQL_C_DOUBLE;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return SQL_C_TYPE_TIMESTAMP;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return SQL_C_TYPE_DATE;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return SQL_C_TYPE_TIME;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return SQL_C_BINARY;
    case SQL_GUID:
        return SQL_C_GUID;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return SQL_C_WCHAR;
    default:
        return SQL_C_CHAR;
    }
}

SQLSMALLINT verboseType(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_TYPE_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return SQL_DATETIME;
    default:
        return sqlType;
    }
}

} // namespace odbc
