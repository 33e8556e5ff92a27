#include "CorpusRunner.h"

#include "core/Error.h"
#include "sql/engine/ResultText.h"

#include <algorithm>
#include <exception>

namespace corpus {
namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

std::vector<std::string> rowLines(sql::ResultSet& result) {
    std::vector<std::string> lines;
    for (const auto& row : sql::resultRows(result)) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i];
        lines.push_back(line);
    }
    return lines;
}

// What a record expects, in the words the actual outcome is given in.
std::string expectedOutcome(const Record& record) {
    switch (record.expect) {
    case Expect::Ok:
        return "ok";
    case Expect::Count:
        return "count " + std::to_string(record.count);
    case Expect::Error:
        return "error: " + record.message;
    case Expect::Rows:
        break;
    }
    std::vector<std::string> rows = record.rows;
    if (record.rowsort) std::sort(rows.begin() + (record.columns ? 1 : 0), rows.end());
    return joinLines(rows);
}

std::string actualOutcome(sql::Session& session, const Record& record) {
    try {
        sql::ResultSet result = session.execute(record.sql);
        // Rows are computed as they are read, so an error of a row shows only when it is.
        if (record.expect != Expect::Rows && result.hasRows()) result.fetchAll();
        switch (record.expect) {
        case Expect::Ok:
            return "ok";
        case Expect::Error:
            return result.hasRows() ? "rows" : "count " + std::to_string(result.rowsAffected());
        case Expect::Count:
            if (result.hasRows()) return "rows";
            return "count " + std::to_string(result.rowsAffected());
        case Expect::Rows:
            break;
        }
        if (!result.hasRows()) return "count " + std::to_string(result.rowsAffected());
        std::vector<std::string> rows = rowLines(result);
        if (record.rowsort) std::sort(rows.begin(), rows.end());
        if (record.columns) rows.insert(rows.begin(), columnsText(result));
        return joinLines(rows);
    } catch (const core::Error& e) {
        return std::string("error: ") + e.what();
    } catch (const std::exception& e) {
        // Not an error a user would see: a fault of the engine, reported as such.
        return std::string("unexpected exception: ") + e.what();
    }
}

std::string visible(const std::string& sql) {
    std::string out;
    for (char c : sql) {
        if (c == '\r')
            out += "<CR>";
        else if (c == '\n')
            out += "<LF>\n";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string columnsText(const sql::ResultSet& result) {
    std::string out;
    for (const auto& column : result.columns()) {
        if (!out.empty()) out += "|";
        out += column.name + ":" + std::string(jet::columnTypeName(column.columnType));
        if (column.columnType == jet::ColumnType::Text ||
            column.columnType == jet::ColumnType::Binary)
            out += "(" + std::to_string(column.size) + ")";
        if (column.columnType == jet::ColumnType::Numeric)
            out +=
                "(" + std::to_string(column.precision) + "," + std::to_string(column.scale) + ")";
        if (column.autoNumber) out += " auto";
    }
    return out;
}

std::vector<Mismatch> runRecords(sql::Session& session, const std::vector<Record>& records) {
    std::vector<Mismatch> mismatches;
    for (const auto& record : records) {
        if (record.skipReason) continue;
        std::string expected = expectedOutcome(record);
        std::string actual = actualOutcome(session, record);
        if (expected != actual)
            mismatches.push_back({record.line, record.sql, std::move(expected), std::move(actual)});
    }
    return mismatches;
}

std::string describe(const std::string& file, const Mismatch& mismatch) {
    return file + ":" + std::to_string(mismatch.line) + "\n--- statement\n" +
           visible(mismatch.sql) + "\n--- expected\n" + mismatch.expected + "\n--- actual\n" +
           mismatch.actual;
}

} // namespace corpus
