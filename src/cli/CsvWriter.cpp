#include "cli/CsvWriter.h"

namespace cli {

void appendCsvField(std::string& record, std::string_view text, char delimiter, bool alwaysQuote) {
    bool quote = alwaysQuote;
    for (std::size_t i = 0; i < text.size() && !quote; ++i) {
        const char c = text[i];
        quote = c == delimiter || c == '"' || c == '\r' || c == '\n';
    }
    if (!quote) {
        record += text;
        return;
    }
    record += '"';
    for (char c : text) {
        if (c == '"') record += '"';
        record += c;
    }
    record += '"';
}

} // namespace cli
