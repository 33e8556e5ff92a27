#include "odbc/DriverInfo.h"

#include "odbc/Diagnostics.h"
#include "odbc/Handles.h"

#include <algorithm>
#include <filesystem>

namespace odbc {

namespace {

InfoValue textInfo(std::string s) {
    return {InfoValue::Kind::Text, std::move(s), 0};
}
InfoValue shortInfo(SQLUINTEGER n) {
    return {InfoValue::Kind::Short, {}, n};
}
InfoValue intInfo(SQLUINTEGER n) {
    return {InfoValue::Kind::Integer, {}, n};
}

constexpr SQLUSMALLINT functions[] = {
    SQL_API_SQLALLOCHANDLE,    SQL_API_SQLFREEHANDLE,     SQL_API_SQLSETENVATTR,
    SQL_API_SQLGETENVATTR,     SQL_API_SQLCONNECT,        SQL_API_SQLDRIVERCONNECT,
    SQL_API_SQLDISCONNECT,     SQL_API_SQLGETINFO,        SQL_API_SQLGETFUNCTIONS,
    SQL_API_SQLSETCONNECTATTR, SQL_API_SQLGETCONNECTATTR, SQL_API_SQLENDTRAN,
    SQL_API_SQLGETDIAGREC,     SQL_API_SQLGETDIAGFIELD,   SQL_API_SQLPREPARE,
    SQL_API_SQLEXECUTE,        SQL_API_SQLEXECDIRECT,     SQL_API_SQLNUMPARAMS,
    SQL_API_SQLDESCRIBEPARAM,  SQL_API_SQLBINDPARAMETER,  SQL_API_SQLPARAMDATA,
    SQL_API_SQLPUTDATA,        SQL_API_SQLROWCOUNT,       SQL_API_SQLMORERESULTS,
    SQL_API_SQLCLOSECURSOR,    SQL_API_SQLFREESTMT,       SQL_API_SQLCANCEL,
    SQL_API_SQLSETSTMTATTR,    SQL_API_SQLGETSTMTATTR,    SQL_API_SQLNUMRESULTCOLS,
    SQL_API_SQLDESCRIBECOL,    SQL_API_SQLCOLATTRIBUTE,   SQL_API_SQLBINDCOL,
    SQL_API_SQLFETCH,          SQL_API_SQLFETCHSCROLL,    SQL_API_SQLGETDATA,
    SQL_API_SQLSETPOS,         SQL_API_SQLBULKOPERATIONS, SQL_API_SQLTABLES,
    SQL_API_SQLCOLUMNS,        SQL_API_SQLPRIMARYKEYS,    SQL_API_SQLFOREIGNKEYS,
    SQL_API_SQLSTATISTICS,     SQL_API_SQLSPECIALCOLUMNS, SQL_API_SQLGETTYPEINFO,
};

} // namespace

bool implementsFunction(SQLUSMALLINT function) {
    return std::find(std::begin(functions), std::end(functions), function) != std::end(functions);
}

InfoValue driverInfo(Connection& c, SQLUSMALLINT type) {
    const bool readOnly = c.connected() && c.accessMode == SQL_MODE_READ_ONLY;
    switch (type) {
    // Texts.
    case SQL_DRIVER_NAME:
        return textInfo("libtablory-odbc.so");
    case SQL_DRIVER_VER:
        return textInfo("01.00.0000");
    case SQL_DRIVER_ODBC_VER:
        return textInfo("03.51");
    case SQL_DBMS_NAME:
        return textInfo("ACCESS");
    case SQL_DBMS_VER:
        return textInfo("04.00.0000");
    case SQL_SERVER_NAME:
        return textInfo("ACCESS");
    case SQL_DATABASE_NAME:
        return textInfo(c.connected() ? std::filesystem::path(c.settings().file).stem().string()
                                      : "");
    case SQL_DATA_SOURCE_NAME:
        return textInfo(c.settings().dsn);
    case SQL_USER_NAME:
        return textInfo("admin");
    case SQL_IDENTIFIER_QUOTE_CHAR:
        return textInfo("`");
    case SQL_SEARCH_PATTERN_ESCAPE:
        return textInfo("\\");
    case SQL_CATALOG_NAME_SEPARATOR:
        return textInfo(".");
    case SQL_CATALOG_TERM:
        return textInfo("DATABASE");
    case SQL_SCHEMA_TERM:
        return textInfo("");
    case SQL_TABLE_TERM:
        return textInfo("TABLE");
    case SQL_PROCEDURE_TERM:
        return textInfo("QUERY");
    case SQL_KEYWORDS:
        return textInfo("");
    case SQL_SPECIAL_CHARACTERS:
        return textInfo("~@#$%^&*_-+=\\}{\"';:?/><,.![]|");
    case SQL_CATALOG_NAME:
        return textInfo("N");
    case SQL_COLLATION_SEQ:
        return textInfo("General");
    case SQL_COLUMN_ALIAS:
        return textInfo("Y");
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
        return textInfo("N");
    case SQL_EXPRESSIONS_IN_ORDERBY:
        return textInfo("Y");
    case SQL_MULT_RESULT_SETS:
        return textInfo("N");
    case SQL_MULTIPLE_ACTIVE_TXN:
        return textInfo("N");
    case SQL_NEED_LONG_DATA_LEN:
        return textInfo("N");
    case SQL_OUTER_JOINS:
        return textInfo("Y");
    case SQL_PROCEDURES:
        return textInfo("N");
    case SQL_ROW_UPDATES:
        return textInfo("N");
    case SQL_ACCESSIBLE_TABLES:
        return textInfo("Y");
    case SQL_ACCESSIBLE_PROCEDURES:
        return textInfo("N");
    case SQL_DATA_SOURCE_READ_ONLY:
        return textInfo(readOnly ? "Y" : "N");
    case SQL_DESCRIBE_PARAMETER:
        return textInfo("N");
    case SQL_INTEGRITY:
        return textInfo("N");
    case SQL_LIKE_ESCAPE_CLAUSE:
        return textInfo("N");
    case SQL_MAX_ROW_SIZE_INCLUDES_LONG:
        return textInfo("N");
    case SQL_XOPEN_CLI_YEAR:
        return textInfo("1995");
    // Small numbers.
    case SQL_MAX_DRIVER_CONNECTIONS:
        return shortInfo(0);
    case SQL_MAX_CONCURRENT_ACTIVITIES:
        return shortInfo(0);
    case SQL_TXN_CAPABLE:
        return shortInfo(SQL_TC_ALL);
    case SQL_CURSOR_COMMIT_BEHAVIOR:
        return shortInfo(SQL_CB_PRESERVE);
    case SQL_CURSOR_ROLLBACK_BEHAVIOR:
        return shortInfo(SQL_CB_PRESERVE);
    case SQL_MAX_COLUMN_NAME_LEN:
    case SQL_MAX_TABLE_NAME_LEN:
    case SQL_MAX_IDENTIFIER_LEN:
    case SQL_MAX_CURSOR_NAME_LEN:
    case SQL_MAX_PROCEDURE_NAME_LEN:
        return shortInfo(64);
    case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_USER_NAME_LEN:
        return shortInfo(0);
    case SQL_MAX_CATALOG_NAME_LEN:
        return shortInfo(260);
    case SQL_MAX_COLUMNS_IN_TABLE:
    case SQL_MAX_COLUMNS_IN_SELECT:
        return shortInfo(255);
    case SQL_MAX_COLUMNS_IN_INDEX:
    case SQL_MAX_COLUMNS_IN_ORDER_BY:
    case SQL_MAX_COLUMNS_IN_GROUP_BY:
        return shortInfo(10);
    case SQL_MAX_TABLES_IN_SELECT:
        return shortInfo(16);
    case SQL_NULL_COLLATION:
        return shortInfo(SQL_NC_LOW);
    case SQL_IDENTIFIER_CASE:
    case SQL_QUOTED_IDENTIFIER_CASE:
        return shortInfo(SQL_IC_MIXED);
    case SQL_CORRELATION_NAME:
        return shortInfo(SQL_CN_ANY);
    case SQL_NON_NULLABLE_COLUMNS:
        return shortInfo(SQL_NNC_NON_NULL);
    case SQL_CONCAT_NULL_BEHAVIOR:
        return shortInfo(SQL_CB_NON_NULL);
    case SQL_GROUP_BY:
        return shortInfo(SQL_GB_GROUP_BY_CONTAINS_SELECT);
    case SQL_CATALOG_LOCATION:
        return shortInfo(0);
    case SQL_FILE_USAGE:
        return shortInfo(SQL_FILE_NOT_SUPPORTED);
    case SQL_ODBC_API_CONFORMANCE:
        return shortInfo(SQL_OAC_LEVEL1);
    case SQL_ODBC_SQL_CONFORMANCE:
        return shortInfo(SQL_OSC_MINIMUM);
    case SQL_ACTIVE_ENVIRONMENTS:
        return shortInfo(0);
    // Numbers and bit masks.
    case SQL_TXN_ISOLATION_OPTION:
    case SQL_DEFAULT_TXN_ISOLATION:
        return intInfo(SQL_TXN_READ_COMMITTED);
    case SQL_GETDATA_EXTENSIONS:
        return intInfo(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND | SQL_GD_BLOCK);
    case SQL_CURSOR_SENSITIVITY:
        return intInfo(SQL_INSENSITIVE);
    case SQL_SCROLL_OPTIONS:
        return intInfo(SQL_SO_FORWARD_ONLY | SQL_SO_STATIC);
    case SQL_STATIC_CURSOR_ATTRIBUTES1:
        return intInfo(SQL_CA1_NEXT | SQL_CA1_ABSOLUTE | SQL_CA1_RELATIVE | SQL_CA1_POS_POSITION |
                       SQL_CA1_POS_REFRESH | SQL_CA1_POS_UPDATE | SQL_CA1_POS_DELETE |
                       SQL_CA1_BULK_ADD);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1:
        return intInfo(SQL_CA1_NEXT);
    case SQL_STATIC_CURSOR_ATTRIBUTES2:
        // The cursor shows its own changes; other statements' stay out of it.
        return intInfo(SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_LOCK_CONCURRENCY |
                       SQL_CA2_SENSITIVITY_UPDATES | SQL_CA2_SENSITIVITY_DELETIONS);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES1:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES2:
    case SQL_KEYSET_CURSOR_ATTRIBUTES1:
    case SQL_KEYSET_CURSOR_ATTRIBUTES2:
        return intInfo(0);
    case SQL_SCROLL_CONCURRENCY:
        return intInfo(SQL_SCCO_READ_ONLY | SQL_SCCO_LOCK);
    case SQL_BOOKMARK_PERSISTENCE:
    case SQL_STATIC_SENSITIVITY:
    case SQL_LOCK_TYPES:
    case SQL_POSITIONED_STATEMENTS:
    case SQL_BATCH_SUPPORT:
    case SQL_BATCH_ROW_COUNT:
    case SQL_CONVERT_FUNCTIONS:
    case SQL_NUMERIC_FUNCTIONS:
    case SQL_STRING_FUNCTIONS:
    case SQL_SYSTEM_FUNCTIONS:
    case SQL_TIMEDATE_FUNCTIONS:
    case SQL_TIMEDATE_ADD_INTERVALS:
    case SQL_TIMEDATE_DIFF_INTERVALS:
    case SQL_DATETIME_LITERALS:
    case SQL_CATALOG_USAGE:
    case SQL_SCHEMA_USAGE:
    case SQL_INFO_SCHEMA_VIEWS:
    case SQL_ASYNC_MODE:
    case SQL_MAX_ASYNC_CONCURRENT_STATEMENTS:
        return intInfo(0);
    case SQL_POS_OPERATIONS:
        return intInfo(SQL_POS_POSITION | SQL_POS_REFRESH | SQL_POS_UPDATE | SQL_POS_DELETE |
                       SQL_POS_ADD);
    case SQL_PARAM_ARRAY_ROW_COUNTS:
        return intInfo(SQL_PARC_BATCH);
    case SQL_PARAM_ARRAY_SELECTS:
        return intInfo(SQL_PAS_NO_SELECT);
    case SQL_ODBC_INTERFACE_CONFORMANCE:
        return intInfo(SQL_OIC_CORE);
    case SQL_SQL_CONFORMANCE:
        return intInfo(SQL_SC_SQL92_ENTRY);
    case SQL_OJ_CAPABILITIES:
        return intInfo(SQL_OJ_LEFT | SQL_OJ_RIGHT | SQL_OJ_NOT_ORDERED | SQL_OJ_ALL_COMPARISON_OPS);
    case SQL_ALTER_TABLE:
        return intInfo(SQL_AT_ADD_COLUMN | SQL_AT_DROP_COLUMN);
    case SQL_SUBQUERIES:
        return intInfo(SQL_SQ_CORRELATED_SUBQUERIES | SQL_SQ_COMPARISON | SQL_SQ_EXISTS |
                       SQL_SQ_IN | SQL_SQ_QUANTIFIED);
    case SQL_UNION:
        return intInfo(SQL_U_UNION | SQL_U_UNION_ALL);
    case SQL_AGGREGATE_FUNCTIONS:
        return intInfo(SQL_AF_ALL);
    case SQL_DDL_INDEX:
        return intInfo(SQL_DI_CREATE_INDEX | SQL_DI_DROP_INDEX);
    case SQL_CREATE_TABLE:
        return intInfo(SQL_CT_CREATE_TABLE);
    case SQL_DROP_TABLE:
        return intInfo(SQL_DT_DROP_TABLE);
    case SQL_CREATE_VIEW:
        return intInfo(SQL_CV_CREATE_VIEW);
    case SQL_DROP_VIEW:
        return intInfo(SQL_DV_DROP_VIEW);
    case SQL_INDEX_KEYWORDS:
        return intInfo(SQL_IK_ALL);
    case SQL_MAX_STATEMENT_LEN:
        return intInfo(65000);
    case SQL_MAX_ROW_SIZE:
        return intInfo(4000);
    case SQL_MAX_CHAR_LITERAL_LEN:
    case SQL_MAX_BINARY_LITERAL_LEN:
    case SQL_MAX_INDEX_SIZE:
        return intInfo(255);
    }
    throw OdbcError("HY096", "Information type out of range.");
}

} // namespace odbc
