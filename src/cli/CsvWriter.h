#pragma once
// Writes CSV in the dialect CsvReader reads: a field is quoted when it holds the delimiter,
// a quote or a line break, or when the caller asks (an empty text, told apart from Null);
// quotes inside are doubled; records end with CR LF.
#include <string>
#include <string_view>

namespace cli {

void appendCsvField(std::string& record, std::string_view text, char delimiter,
                    bool alwaysQuote = false);

inline void endCsvRecord(std::string& record) {
    record += "\r\n";
}

} // namespace cli
