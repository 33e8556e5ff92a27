#include "browser/BrowserStatement.h"

namespace browser {

std::string tableStatement(const std::string& table) {
    return "select * from [" + table + "]";
}

std::string sortedStatement(const std::string& table, const std::string& field) {
    return tableStatement(table) + " order by " + field;
}

} // namespace browser
