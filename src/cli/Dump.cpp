#include "cli/Dump.h"

#include "cli/Json.h"
#include "core/TextEncoding.h"

#include <algorithm>
#include <cmath>

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
// The dump reads a date's day count as one straight line (-1.25 is six in the evening of
// 1899-12-28), as the dump's other readers do; Access shows a negative count's fraction as
// the time of its whole day (-1.25: six in the morning of 1899-12-29), and so does the rest
// of the program. The two differ only before 1899-12-30 with a time of day.
core::Value dumpedValue(core::Value v) {
    const auto* date = v.getIf<core::DateTime>();
    if (!date || !(date->days < 0)) return v;
    const double day = std::floor(date->days);
    return core::Value(core::DateTime{day - (date->days - day)});
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
                appendJsonValue(line, dumpedValue(cursor.value(i)));
            }
            line += "]\n";
            out << line;
        }
    }
}

} // namespace cli
