#include "BulkRows.h"

#include <array>
#include <cstdio>

namespace bench {

namespace {

jet::ColumnDef column(const std::string& name, jet::ColumnType type, std::uint16_t size = 0) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.size = size;
    return c;
}

// The plain numbers behind row i; both the engine's values and the SQL text come from here,
// so the two sides store the same data.
struct RowNumbers {
    std::int32_t n;
    std::string label;
    double x;
    double when;        // days from 1899-12-30
    std::int64_t units; // money in ten-thousandths
};

RowNumbers numbersOf(int i) {
    // Labels from 8 to about 45 characters, every tenth one with a non-ASCII letter so that
    // not every text takes the one-byte path.
    static constexpr std::array<const char*, 7> kWords = {"alpha", "bravo",   "charlie", "delta",
                                                          "echo",  "foxtrot", "golf"};
    RowNumbers r;
    r.n = i;
    r.label = "Item " + std::to_string(i);
    for (int w = 0; w < i % 5; ++w) {
        r.label += ' ';
        r.label += kWords[static_cast<std::size_t>((i / 5 + w) % 7)];
    }
    if (i % 10 == 3) r.label += " caf\xC3\xA9";
    r.x = (i % 9973) * 1.25 - i / 7.0;
    r.when = 36526.0 + i / 1440.0; // one minute apart from 2000-01-01 on
    r.units = static_cast<std::int64_t>(i % 50000) * 1234 - 1000000;
    return r;
}

void appendDouble(std::string& out, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    out += buf;
}

} // namespace

jet::TableSchema bulkSchema() {
    using T = jet::ColumnType;
    jet::TableSchema t;
    t.name = kBulkTable;
    t.columns = {column("N", T::Long, 4), column("Label", T::Text, 120), column("X", T::Double),
                 column("When", T::DateTime), column("Cost", T::Currency)};
    return t;
}

std::vector<core::Value> bulkRow(int i) {
    auto r = numbersOf(i);
    return {core::Value(r.n), core::Value(std::move(r.label)), core::Value(r.x),
            core::Value(core::DateTime{r.when}), core::Value(core::Currency{r.units})};
}

std::string bulkSqlCreate() {
    // Money goes in as its integer count of ten-thousandths: exact, eight bytes, as in Jet.
    return "CREATE TABLE T(N INTEGER, Label TEXT, X REAL, \"When\" REAL, Cost INTEGER);\n";
}

void appendBulkSqlInsert(std::string& out, int i) {
    auto r = numbersOf(i);
    out += "INSERT INTO T VALUES(";
    out += std::to_string(r.n);
    out += ",'";
    out += r.label; // never holds a quote
    out += "',";
    appendDouble(out, r.x);
    out += ',';
    appendDouble(out, r.when);
    out += ',';
    out += std::to_string(r.units);
    out += ");\n";
}

void appendBulkCsvLine(std::string& out, int i) {
    auto r = numbersOf(i);
    out += std::to_string(r.n);
    out += ',';
    out += r.label; // no commas or quotes to escape
    out += ',';
    appendDouble(out, r.x);
    out += ',';
    appendDouble(out, r.when);
    out += ',';
    out += std::to_string(r.units);
    out += '\n';
}

} // namespace bench
