// Canonical text of expressions.
#include "core/Conversions.h"
#include "sql/syntax/Keyword.h"
#include "sql/syntax/Printer.h"
#include "sql/syntax/Select.h"

#include <cctype>
#include <cstdio>

namespace sql {

namespace {

// Canonical text writes the word operators in lower case ("mod", "and").
std::string opText(BinaryOperator op) {
    std::string text(operatorText(op));
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string twoDigits(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

// #yyyy-mm-dd#, #hh:mm:ss# for a time on day zero, or both.
std::string dateText(core::DateTime dt) {
    const core::CivilDateTime c = core::toCivil(dt);
    const bool hasTime = c.hour != 0 || c.minute != 0 || c.second != 0;
    const bool dayZero = c.year == 1899 && c.month == 12 && c.day == 30;
    std::string out = "#";
    if (!dayZero || !hasTime) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04d-", c.year);
        out += buffer;
        out += twoDigits(c.month) + "-" + twoDigits(c.day);
    }
    if (hasTime) {
        if (out.size() > 1) out += ' ';
        out += twoDigits(c.hour) + ":" + twoDigits(c.minute) + ":" + twoDigits(c.second);
    }
    return out + "#";
}

std::string valueText(const core::Value& v) {
    if (v.isNull()) return "null";
    if (const auto* b = v.getIf<bool>()) return *b ? "true" : "false";
    if (const auto* i = v.getIf<std::int32_t>()) return std::to_string(*i);
    if (const auto* d = v.getIf<double>()) {
        std::string text = core::formatDouble(*d);
        // Keep a Double recognisable: 1e10 and 3.0 must not read back as Longs.
        if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
        return text;
    }
    if (const auto* s = v.getIf<std::string>()) {
        std::string out = "'";
        for (char c : *s) {
            out += c;
            if (c == '\'') out += '\'';
        }
        return out + "'";
    }
    if (const auto* dt = v.getIf<core::DateTime>()) return dateText(*dt);
    return "<" + std::string(core::dataTypeName(v.type())) + ">";
}

std::string callText(const FunctionCall& call) {
    std::string out = call.name + "(";
    if (call.star) out += "*";
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        if (i) out += ", ";
        out += toText(*call.args[i]);
    }
    return out + ")";
}

struct ExprText {
    std::string operator()(const Literal& n) const { return valueText(n.value); }
    std::string operator()(const ColumnRef& n) const { return toText(n); }
    std::string operator()(const Parameter&) const { return "?"; }
    std::string operator()(const FunctionCall& n) const { return callText(n); }
    std::string operator()(const Unary& n) const {
        // A sign written straight before a number would read back as a signed literal.
        std::string operand = toText(*n.operand);
        if (n.operand->as<Literal>()) operand = "(" + operand + ")";
        switch (n.op) {
        case UnaryOperator::Negate:
            return "(-" + operand + ")";
        case UnaryOperator::Plus:
            return "(+" + operand + ")";
        case UnaryOperator::Not:
            return "(not " + toText(*n.operand) + ")";
        }
        return {};
    }
    std::string operator()(const Binary& n) const {
        return "(" + toText(*n.left) + " " + opText(n.op) + " " + toText(*n.right) +
               ")";
    }
    std::string operator()(const Like& n) const {
        return "(" + toText(*n.value) + (n.negated ? " not like " : " like ") + toText(*n.pattern) +
               ")";
    }
    std::string operator()(const Between& n) const {
        return "(" + toText(*n.value) + (n.negated ? " not between " : " between ") +
               toText(*n.low) + " and " + toText(*n.high) + ")";
    }
    std::string operator()(const InList& n) const {
        std::string out = "(" + toText(*n.value) + (n.negated ? " not in (" : " in (");
        for (std::size_t i = 0; i < n.items.size(); ++i) {
            if (i) out += ", ";
            out += toText(*n.items[i]);
        }
        return out + "))";
    }
    std::string operator()(const InQuery& n) const {
        return "(" + toText(*n.value) + (n.negated ? " not in (" : " in (") + toText(*n.query) +
               "))";
    }
    std::string operator()(const IsNull& n) const {
        return "(" + toText(*n.value) + (n.negated ? " is not null)" : " is null)");
    }
    std::string operator()(const Exists& n) const { return "exists (" + toText(*n.query) + ")"; }
    std::string operator()(const ScalarQuery& n) const { return "(" + toText(*n.query) + ")"; }
};

bool isPlainWord(std::string_view name) {
    if (name.empty() || (name.front() >= '0' && name.front() <= '9')) return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
        if (!ok) return false;
    }
    return true;
}

} // namespace

std::string nameText(std::string_view name) {
    // Even words that are names where they stand get brackets: the text stays readable
    // as a name wherever it is put.
    if (isPlainWord(name) && keywordOf(name) == Keyword::None) return std::string(name);
    return "[" + std::string(name) + "]";
}

std::string toText(const ColumnRef& column) {
    if (column.table.empty()) return nameText(column.column);
    return nameText(column.table) + "." + nameText(column.column);
}

std::string toText(const Expr& expr) {
    return std::visit(ExprText{}, expr.node);
}

} // namespace sql
