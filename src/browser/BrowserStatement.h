#pragma once
// The browser's statement: every column of the table named in the selector, in table order or
// ordered by a clicked column. Both names go in as they are: the table in brackets, the field
// name bare.
#include <string>

namespace browser {

// "select * from [" + table + "]"
std::string tableStatement(const std::string& table);
// "select * from [" + table + "] order by " + field
std::string sortedStatement(const std::string& table, const std::string& field);

} // namespace browser
