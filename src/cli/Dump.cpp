#include "cli/Dump.h"

#include "cli/Json.h"
#include "core/TextEncoding.h"

#include <algorithm>

namespace cli {

namespace {
// Names sort by UTF-16 code units, as the dump's readers compare them.
bool utf16Less(const std::string& a, const std::string& b) {
    auto ua = core::utf8ToUtf16le(a), ub = core::utf8ToUtf16le(b);
    std::size_t n = std::min(ua.size(), ub.size()) / 2;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned ca = ua[2 * i] | (ua[2 * i + 1] << 8), cb = ub[2 * i] | (ub[2 * i + 1] << 8);
        if (ca != cb) return ca < cb;
    }
    return ua.size() < ub.size();
}

std::uint16_t dumpedSize(const jet::ColumnDef& c) {
    switch (c.type) {
    case jet::ColumnType::Memo:
    case jet::ColumnType::Ole:
    case jet::ColumnType::Boolean:
        return 0;
    default:
        return c.size;
    }
}
} // namespace

void dumpDatabase(const jet::Database& db, std::ostream& out) {
    auto names = db.tableNames();
    std::sort(names.begin(), names.end(), utf16Less);
    std::string line;
    for (const auto& name : names) {
        auto table = db.table(name);
        const auto& schema = table.schema();
        line = "{\"table\":";
        appendJsonString(line, name);
        line += ",\"columns\":[";
        for (std::size_t i = 0; i < schema.columns.size(); ++i) {
            const auto& c = schema.columns[i];
            if (i) line += ',';
            line += '[';
            appendJsonString(line, c.name);
            line += ',';
            appendJsonString(line, jet::columnTypeName(c.type));
            line += ',' + std::to_string(dumpedSize(c)) + ']';
        }
        line += "]}\n";
        out << line;
        auto cursor = table.scan();
        while (cursor.next()) {
            line = "[";
            for (std::size_t i = 0; i < schema.columns.size(); ++i) {
                if (i) line += ',';
                appendJsonValue(line, cursor.value(i));
            }
            line += "]\n";
            out << line;
        }
    }
}

} // namespace cli
