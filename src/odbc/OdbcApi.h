#pragma once
// The ODBC headers of unixODBC, in one place: SQLWCHAR is UTF-16 here.
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
