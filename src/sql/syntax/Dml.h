#pragma once
// Statements that change rows: INSERT INTO, UPDATE and DELETE.
#include "sql/syntax/Select.h"

#include <string>
#include <variant>
#include <vector>

namespace sql {

struct InsertValues {
    ExprList values;
};

struct Insert {
    std::string table;
    std::vector<std::string> columns; // empty: every column in table order
    std::variant<InsertValues, SelectQuery> source;
};

struct Assignment {
    ColumnRef column; // may be qualified when the target is a join
    ExprPtr value;
    std::size_t offset = 0;
};

struct Update {
    TableRefPtr target; // a table, or a join whose rows are updated through
    std::vector<Assignment> assignments;
    ExprPtr where;
};

struct Delete {
    // What stands between DELETE and FROM: "*", "T.*", column names or nothing. Jet deletes
    // whole rows whatever is listed; with a join it names the table rows go from.
    std::vector<SelectItem> targets;
    std::vector<TableRefPtr> from;
    ExprPtr where;
};

} // namespace sql
