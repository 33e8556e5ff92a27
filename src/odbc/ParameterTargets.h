#pragma once
// What the driver learns of a prepared statement's "?" markers without running it: the
// column each is inserted into, assigned to or compared with (SQLDescribeParam), and whether
// the statement is a plain INSERT ... VALUES of markers only, whose sets of parameters can
// go to the session's row insert without the statement being parsed again for each.
#include "sql/engine/storage/TableInfo.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {
class Storage;
}

namespace odbc {

// INSERT INTO table [(columns)] VALUES (?, ?, ...): the table and the column each marker
// fills, by marker number.
struct DirectInsert {
    std::string table;
    std::size_t columnCount = 0;
    std::vector<std::size_t> columns;
};

struct ParameterTargets {
    // By marker number ("?" in text order); nullopt where no column is known.
    std::vector<std::optional<sql::ColumnInfo>> markers;
    std::optional<DirectInsert> directInsert;
};

// Raises the parser's error for a statement that is not Jet SQL.
ParameterTargets findParameterTargets(std::string_view text, const sql::Storage& storage);

} // namespace odbc
