#include "odbc/StatementKind.h"

#include <cctype>
#include <string>

namespace odbc {

StatementKind statementKind(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() &&
           (std::isspace(static_cast<unsigned char>(text[pos])) || text[pos] == '('))
        ++pos;
    std::string word;
    while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos++])));
    if (word == "SELECT" || word == "TRANSFORM") {
        // SELECT ... INTO makes a table; treating a mere mention of INTO as a change only
        // costs other cursors their streaming.
        std::string rest;
        for (char c : text.substr(pos))
            rest += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return rest.find("INTO") == std::string::npos ? StatementKind::Read : StatementKind::Change;
    }
    if (word == "UPDATE" || word == "DELETE") return StatementKind::UpdateOrDelete;
    if (word == "CREATE" || word == "ALTER" || word == "DROP") return StatementKind::Definition;
    if (word == "BEGIN" || word == "COMMIT" || word == "ROLLBACK")
        return StatementKind::Transaction;
    return StatementKind::Change;
}

} // namespace odbc
