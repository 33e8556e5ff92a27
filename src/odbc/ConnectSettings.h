#pragma once
// The keywords of an ODBC connection string as Access users write them: DBQ (the file), PWD
// (the database password), ReadOnly, DSN, Driver, and CREATE_DB (a new file made first when
// it is missing). Values come from the string first, then from the data source's entry in
// odbc.ini.
#include <map>
#include <string>
#include <string_view>

namespace odbc {

// "key=value;..." with values optionally in braces ("{a;b}", "}}" for a brace inside).
// Keys are kept in upper case; a key given twice keeps its first value.
std::map<std::string, std::string> parseConnectString(std::string_view text);

struct ConnectSettings {
    std::string dsn;
    std::string file;
    std::string password;
    bool readOnly = false;
    bool create = false;
    // Back to the application from SQLDriverConnect: the keywords that took effect.
    std::string completedString() const;
};

// Fills the settings from a connection string and, when it names a DSN, from odbc.ini.
// Raises an OdbcError when no file is named.
ConnectSettings resolveSettings(const std::map<std::string, std::string>& keywords);

// "1", "yes", "true", "on" (any case) are true.
bool keywordTrue(std::string_view value);

} // namespace odbc
