#include "cli/Exec.h"

#include "cli/Json.h"
#include "jet/Database.h"
#include "jet/schema/ColumnType.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string_view>

namespace cli {

bool StatementReader::next(std::string& statement) {
    statement.clear();
    while (std::getline(in_, line_)) {
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        // Long scripts are a statement a line: no copies of the line beyond the statement.
        std::string_view trimmed = line_;
        while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
            trimmed.remove_suffix(1);
        if (!statement.empty()) statement += "\r\n";
        if (!trimmed.empty() && trimmed.back() == ';') {
            statement += trimmed.substr(0, trimmed.size() - 1);
            return true;
        }
        statement += line_;
    }
    return statement.find_first_not_of(" \t\r\n") != std::string::npos;
}

namespace {

void printTable(sql::ResultSet& result, std::ostream& out) {
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> header;
    for (const auto& c : result.columns()) header.push_back(c.name);
    std::vector<std::size_t> widths(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) widths[i] = header[i].size();
    while (result.next()) {
        std::vector<std::string> row;
        for (std::size_t i = 0; i < header.size(); ++i) {
            const auto& v = result.value(i);
            row.push_back(v.isNull() ? "Null" : sql::valueText(v));
            widths[i] = std::max(widths[i], row.back().size());
        }
        cells.push_back(std::move(row));
    }
    auto line = [&](const std::vector<std::string>& row) {
        std::string text;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) text += " | ";
            text += row[i];
            if (i + 1 < row.size()) text.append(widths[i] - row[i].size(), ' ');
        }
        out << text << '\n';
    };
    line(header);
    std::string rule;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i) rule += "-+-";
        rule.append(widths[i], '-');
    }
    out << rule << '\n';
    for (const auto& row : cells) line(row);
    out << "(" << cells.size() << (cells.size() == 1 ? " row)\n" : " rows)\n");
}

void printJson(sql::ResultSet& result, std::ostream& out) {
    std::string text = "{\"columns\":[";
    for (std::size_t i = 0; i < result.columns().size(); ++i) {
        const auto& c = result.columns()[i];
        if (i) text += ',';
        text += '[';
        appendJsonString(text, c.name);
        text += ',';
        appendJsonString(text, jet::columnTypeName(c.columnType));
        text += ',' + std::to_string(c.size) + ']';
    }
    out << text << "]}\n";
    while (result.next()) {
        text = "[";
        for (std::size_t i = 0; i < result.values().size(); ++i) {
            if (i) text += ',';
            appendJsonValue(text, result.value(i));
        }
        out << text << "]\n";
    }
}

} // namespace

void execStatements(jet::Database& db, const std::function<bool(std::string&)>& next, bool json,
                    std::ostream& out) {
    sql::JetStorage storage(db);
    sql::Session session(storage);
    std::string statement;
    while (next(statement)) {
        sql::ResultSet result = session.execute(statement);
        if (result.hasRows()) {
            json ? printJson(result, out) : printTable(result, out);
        } else if (json) {
            out << "{\"rowsAffected\":" << result.rowsAffected() << "}\n";
        } else {
            out << result.rowsAffected() << (result.rowsAffected() == 1 ? " row" : " rows")
                << " affected\n";
        }
    }
    // A transaction the statements left open is not committed behind the user's back.
    if (db.inTransaction()) db.rollback();
}

void execStatements(jet::Database& db, const std::vector<std::string>& statements, bool json,
                    std::ostream& out) {
    std::size_t i = 0;
    execStatements(
        db,
        [&](std::string& statement) {
            if (i == statements.size()) return false;
            statement = statements[i++];
            return true;
        },
        json, out);
}

} // namespace cli
