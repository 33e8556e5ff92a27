#include "odbc/Diagnostics.h"

#include "core/Error.h"
#include "sql/engine/EngineErrors.h"
#include "sql/syntax/SyntaxError.h"

#include <new>

namespace odbc {

namespace {

constexpr std::string_view prefix = "[Tablory][ODBC Driver] ";

bool isAny(std::string_view message, std::initializer_list<std::string> patterns) {
    for (const auto& p : patterns)
        if (fitsPattern(message, p)) return true;
    return false;
}

std::string engineSqlState(std::string_view message) {
    namespace m = sql::messages;
    if (message == m::missingParameters) return "07002";
    if (isAny(message, {m::unknownTable(""), m::tableMissing("")})) return "42S02";
    if (isAny(message, {m::tableExists("")})) return "42S01";
    if (isAny(message, {m::fieldMissing("", ""), m::unknownInsertField("")})) return "42S22";
    if (isAny(message, {m::fieldExists("", "")})) return "42S21";
    if (isAny(message, {m::indexExists("", "")})) return "42S11";
    if (isAny(message, {m::indexMissing("", "")})) return "42S12";
    return "HY000";
}

} // namespace

bool fitsPattern(std::string_view message, std::string_view pattern) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = pattern.find("''", from)) != std::string_view::npos; from = at + 2)
        parts.push_back(pattern.substr(from, at - from));
    parts.push_back(pattern.substr(from));
    if (parts.size() == 1) return message == pattern;
    const std::string head = std::string(parts.front()) + "'";
    const std::string tail = "'" + std::string(parts.back());
    if (message.size() < head.size() + tail.size() || !message.starts_with(head) ||
        !message.ends_with(tail))
        return false;
    std::size_t pos = head.size();
    const std::size_t end = message.size() - tail.size();
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        const std::string middle = "'" + std::string(parts[i]) + "'";
        const std::size_t found = message.find(middle, pos);
        if (found == std::string_view::npos || found + middle.size() > end) return false;
        pos = found + middle.size();
    }
    return true;
}

std::string sqlStateOf(const std::exception& error) {
    if (const auto* e = dynamic_cast<const OdbcError*>(&error)) return e->state();
    if (dynamic_cast<const sql::SyntaxError*>(&error)) return "42000";
    if (dynamic_cast<const core::ConstraintError*>(&error))
        return error.what() == sql::messages::fieldTooSmall ? "22001" : "23000";
    if (dynamic_cast<const core::TypeMismatch*>(&error)) return "22018";
    if (dynamic_cast<const core::PasswordError*>(&error)) return "28000";
    if (dynamic_cast<const core::SqlError*>(&error)) return engineSqlState(error.what());
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "HY001";
    return "HY000";
}

void Diagnostics::add(const std::string& state, const std::string& message) {
    records_.push_back({state, std::string(prefix) + message, 0});
}

void Diagnostics::add(const std::exception& error) {
    add(sqlStateOf(error), error.what());
}

} // namespace odbc
