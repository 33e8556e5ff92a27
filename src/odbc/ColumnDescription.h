#pragma once
// What the driver tells about a result column (SQLDescribeCol, SQLColAttribute) and how a
// Jet column type reads in ODBC's terms.
#include "core/Value.h"
#include "jet/schema/ColumnType.h"
#include "odbc/OdbcApi.h"

#include <string>

namespace sql {
struct ResultColumn;
}

namespace odbc {

struct ColumnDescription {
    std::string name;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN size = 255;     // characters, digits or bytes, as ODBC defines column size
    SQLSMALLINT digits = 0; // decimal digits
    SQLSMALLINT nullable = SQL_NULLABLE;
    std::string typeName = "VARCHAR";
    bool autoIncrement = false;
    bool isUnsigned = false;
    bool updatable = false;
    std::string baseTable;
    std::string baseColumn;
};

// The ODBC type of a stored Jet column of this type; `size` as TableInfo gives it,
// precision and scale for Numeric.
ColumnDescription describeJetType(jet::ColumnType type, std::uint32_t size, std::uint8_t precision,
                                  std::uint8_t scale, bool autoNumber);
ColumnDescription describeResultColumn(const sql::ResultColumn& column);

// A column of a catalog function's result.
ColumnDescription textColumn(std::string name);
ColumnDescription smallIntColumn(std::string name);
ColumnDescription integerColumn(std::string name);

// Bytes a value of this type takes in its display form (SQL_DESC_DISPLAY_SIZE) and in its
// default C type (SQL_DESC_OCTET_LENGTH).
SQLLEN displaySize(const ColumnDescription& column);
SQLLEN octetLength(const ColumnDescription& column);
// The C type SQL_C_DEFAULT stands for with this SQL type.
SQLSMALLINT defaultCType(SQLSMALLINT sqlType);
// SQL_DATETIME for the date and time types, else the type itself (SQL_DESC_TYPE).
SQLSMALLINT verboseType(SQLSMALLINT sqlType);

} // namespace odbc
