#pragma once
// What a statement does, told from its first word: the driver needs to know whether it may
// change tables (other cursors then stop streaming, a manual-commit transaction begins) and
// whether it is a searched update or delete (which reports SQL_NO_DATA when it hits no row),
// and whether it changes table definitions (what prepared statements learnt may be stale).
#include <string_view>

namespace odbc {

enum class StatementKind { Read, Change, UpdateOrDelete, Transaction, Definition };

StatementKind statementKind(std::string_view text);

} // namespace odbc
