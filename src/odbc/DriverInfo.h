#pragma once
// What SQLGetInfo and SQLGetFunctions report: the driver's capabilities as the tools (pyodbc,
// isql, Qt's ODBC plugin) ask for them.
#include "odbc/OdbcApi.h"

#include <optional>
#include <string>

namespace odbc {

class Connection;

struct InfoValue {
    enum class Kind { Text, Short, Integer } kind = Kind::Text;
    std::string text;
    SQLUINTEGER number = 0;
};

// Raises HY096 for an information type the driver does not know.
InfoValue driverInfo(Connection& c, SQLUSMALLINT infoType);

// Whether the driver implements the function (an SQL_API_ number).
bool implementsFunction(SQLUSMALLINT function);

} // namespace odbc
