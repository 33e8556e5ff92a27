#include "jet/query/QueryText.h"

#include "jet/query/FromClause.h"
#include "jet/query/QueryErrors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace jet::query {

namespace {

// Access keeps its query texts with Windows line ends.
constexpr std::string_view kLineEnd = "\r\n";

bool knownAttribute(std::uint8_t code) {
    return code <= static_cast<std::uint8_t>(Attribute::OrderBy) ||
           code == static_cast<std::uint8_t>(Attribute::End);
}

// Words a bare name could be mistaken for; such a name is written in brackets.
bool isSqlWord(std::string_view name) {
    static constexpr std::array<std::string_view, 40> words{
        "all",         "and",    "as",    "asc",   "between",    "by",      "desc",  "distinct",
        "distinctrow", "exists", "false", "from",  "group",      "having",  "in",    "inner",
        "into",        "is",     "join",  "left",  "like",       "mod",     "not",   "null",
        "on",          "or",     "order", "outer", "parameters", "percent", "right", "select",
        "top",         "true",   "union", "where", "with",       "xor",     "eqv",   "imp"};
    std::string lower(name);
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::find(words.begin(), words.end(), lower) != words.end();
}

bool isPlainWord(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || c == '_' || u >= 0x80;
    });
}

// The type word of a PARAMETERS declaration for the Flag of a parameter row (Jet's data
// type codes).
std::string parameterType(std::string_view queryName, const QueryRow& row) {
    switch (row.flag) {
    case 0:
        return "Value";
    case 1:
        return "Bit";
    case 2:
        return "Byte";
    case 3:
        return "Short";
    case 4:
        return "Long";
    case 5:
        return "Currency";
    case 6:
        return "IEEESingle";
    case 7:
        return "IEEEDouble";
    case 8:
        return "DateTime";
    case 9:
        return "Binary";
    case 10:
        return row.extra > 0 ? "Text(" + std::to_string(row.extra) + ")" : "Text";
    case 11:
        return "LongBinary";
    case 12:
        return "Memo";
    case 15:
        return "Guid";
    case 16:
        return "Decimal";
    default:
        throwUnreadable(queryName, "the parameter '" + row.name1 + "' has the unknown type " +
                                       std::to_string(row.flag));
    }
}

// The rows of one query sorted into its clauses.
struct Clauses {
    const QueryRow* type = nullptr;
    const QueryRow* flags = nullptr;
    const QueryRow* remote = nullptr;
    const QueryRow* where = nullptr;
    const QueryRow* having = nullptr;
    std::vector<const QueryRow*> parameters, tables, columns, joins, groupBy, orderBy;
};

Clauses sortRows(std::string_view queryName, std::span<const QueryRow> rows) {
    if (rows.empty()) throwUnreadable(queryName, "it has no rows in MSysQueries");
    bool start = false, end = false;
    Clauses c;
    auto single = [&](const QueryRow*& slot, const QueryRow& row, const char* what) {
        if (slot) throwUnreadable(queryName, std::string("it has two ") + what + " rows");
        slot = &row;
    };
    for (const QueryRow& row : rows) {
        if (!knownAttribute(row.attribute))
            throwUnreadable(queryName,
                            "a row has the unknown attribute " + std::to_string(row.attribute));
        switch (row.kind()) {
        case Attribute::Start:
            start = true;
            break;
        case Attribute::End:
            end = true;
            break;
        case Attribute::Type:
            single(c.type, row, "type");
            break;
        case Attribute::Parameter:
            c.parameters.push_back(&row);
            break;
        case Attribute::Flags:
            single(c.flags, row, "flag");
            break;
        case Attribute::Remote:
            single(c.remote, row, "remote database");
            break;
        case Attribute::Table:
            c.tables.push_back(&row);
            break;
        case Attribute::Column:
            c.columns.push_back(&row);
            break;
        case Attribute::Join:
            c.joins.push_back(&row);
            break;
        case Attribute::Where:
            single(c.where, row, "WHERE");
            break;
        case Attribute::GroupBy:
            c.groupBy.push_back(&row);
            break;
        case Attribute::Having:
            single(c.having, row, "HAVING");
            break;
        case Attribute::OrderBy:
            c.orderBy.push_back(&row);
            break;
        }
    }
    if (!start) throwUnreadable(queryName, "its start row is missing");
    if (!end) throwUnreadable(queryName, "its end row is missing");
    return c;
}

std::string expressionList(std::string_view queryName, const std::vector<const QueryRow*>& rows,
                           const char* clause) {
    std::string out;
    for (const QueryRow* row : rows) {
        if (row->expression.empty())
            throwUnreadable(queryName, std::string("a ") + clause + " row has no expression");
        if (!out.empty()) out += ", ";
        out += row->expression;
    }
    return out;
}

std::string parametersClause(std::string_view queryName, const Clauses& c) {
    if (c.parameters.empty()) return {};
    std::string out = "PARAMETERS ";
    for (std::size_t i = 0; i < c.parameters.size(); ++i) {
        const QueryRow& row = *c.parameters[i];
        if (row.name1.empty()) throwUnreadable(queryName, "a parameter has no name");
        if (i) out += ", ";
        out += sqlName(row.name1) + " " + parameterType(queryName, row);
    }
    return out + ";" + std::string(kLineEnd);
}

std::string orderByClause(std::string_view queryName, const Clauses& c) {
    if (c.orderBy.empty()) return {};
    std::string out = std::string(kLineEnd) + "ORDER BY ";
    for (std::size_t i = 0; i < c.orderBy.size(); ++i) {
        const QueryRow& row = *c.orderBy[i];
        if (row.expression.empty()) throwUnreadable(queryName, "an ORDER BY row has no expression");
        if (i) out += ", ";
        out += row.expression;
        if (row.name1.size() == 1 &&
            std::toupper(static_cast<unsigned char>(row.name1[0])) == kDescending.front())
            out += " DESC";
    }
    return out;
}

std::int16_t flagBits(const Clauses& c) {
    return c.flags ? c.flags->flag : std::int16_t{0};
}

std::string predicate(std::string_view queryName, const Clauses& c) {
    const std::int16_t bits = flagBits(c);
    std::string out;
    if (bits & select_flag::kDistinct)
        out = "DISTINCT ";
    else if (bits & select_flag::kDistinctRow)
        out = "DISTINCTROW ";
    if (bits & select_flag::kTop) {
        const std::string& count = c.flags->name1;
        if (count.empty() || !std::all_of(count.begin(), count.end(), [](char ch) {
                return std::isdigit(static_cast<unsigned char>(ch));
            }))
            throwUnreadable(queryName, "its TOP count '" + count + "' is not a number");
        out += "TOP " + count + ((bits & select_flag::kPercent) ? " PERCENT " : " ");
    }
    return out;
}

std::string selectText(std::string_view queryName, const Clauses& c) {
    std::string list;
    for (const QueryRow* row : c.columns) {
        if (row->expression.empty())
            throwUnreadable(queryName, "an output column has no expression");
        if (!list.empty()) list += ", ";
        list += row->expression;
        if (!row->name1.empty()) list += " AS " + sqlName(row->name1);
    }
    if (flagBits(c) & select_flag::kAllColumns) list += list.empty() ? "*" : ", *";
    if (list.empty()) throwUnreadable(queryName, "it has no output columns");

    std::string out = "SELECT " + predicate(queryName, c) + list;
    if (!c.tables.empty()) {
        out += std::string(kLineEnd) + "FROM " + fromClause(queryName, c.tables, c.joins);
        if (c.remote) {
            out += " IN '" + c.remote->name1 + "'";
            if (!c.remote->expression.empty()) out += " [" + c.remote->expression + "]";
        }
    } else if (!c.joins.empty()) {
        throwUnreadable(queryName, "it has joins but no tables");
    }
    if (c.where) out += std::string(kLineEnd) + "WHERE " + c.where->expression;
    if (!c.groupBy.empty())
        out +=
            std::string(kLineEnd) + "GROUP BY " + expressionList(queryName, c.groupBy, "GROUP BY");
    if (c.having) out += std::string(kLineEnd) + "HAVING " + c.having->expression;
    out += orderByClause(queryName, c);
    if (flagBits(c) & select_flag::kOwnerAccess)
        out += std::string(kLineEnd) + "WITH OWNERACCESS OPTION";
    return out;
}

// One side of a union as stored: blanks around it dropped, its line ends made Windows ones.
std::string unionPart(std::string_view queryName, const Clauses& c, std::string_view alias) {
    auto it = std::find_if(c.tables.begin(), c.tables.end(),
                           [&](const QueryRow* row) { return row->name2 == alias; });
    if (it == c.tables.end() || (*it)->expression.empty())
        throwUnreadable(queryName, "a side of its UNION is missing");
    const std::string& text = (*it)->expression;
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n;");
    if (first == std::string::npos || last < first)
        throwUnreadable(queryName, "a side of its UNION is empty");
    std::string out;
    for (std::size_t i = first; i <= last; ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (!out.empty() && out.back() == '\n') continue; // one line end for a run of them
            out += kLineEnd;
            continue;
        }
        out += ch;
    }
    return out;
}

std::string unionText(std::string_view queryName, const Clauses& c) {
    const bool distinct = flagBits(c) & select_flag::kDistinct;
    return unionPart(queryName, c, kUnionFirstPart) + std::string(kLineEnd) +
           (distinct ? "UNION " : "UNION ALL ") + unionPart(queryName, c, kUnionSecondPart) +
           orderByClause(queryName, c);
}

} // namespace

std::string_view queryKindName(QueryKind kind) {
    switch (kind) {
    case QueryKind::Select:
        return "select";
    case QueryKind::Crosstab:
        return "crosstab";
    case QueryKind::Delete:
        return "delete";
    case QueryKind::Update:
        return "update";
    case QueryKind::Append:
        return "append";
    case QueryKind::MakeTable:
        return "make-table";
    case QueryKind::DataDefinition:
        return "data-definition";
    case QueryKind::PassThrough:
    case QueryKind::BulkPassThrough:
        return "pass-through";
    case QueryKind::Union:
        return "union";
    case QueryKind::Compound:
    case QueryKind::Procedure:
    case QueryKind::Action:
        break;
    }
    return "action";
}

std::string sqlName(std::string_view name) {
    if (isPlainWord(name) && !isSqlWord(name)) return std::string(name);
    return "[" + std::string(name) + "]";
}

std::string queryText(std::string_view queryName, QueryKind kind, std::span<const QueryRow> rows) {
    const Clauses c = sortRows(queryName, rows);
    // The type row has the last word when the catalog's kind bits say select: the two can
    // disagree, and the rows are what the text is made of.
    if (c.type) {
        if (c.type->flag == static_cast<std::int16_t>(QueryType::Union))
            kind = QueryKind::Union;
        else if (c.type->flag != static_cast<std::int16_t>(QueryType::Select))
            kind = kind == QueryKind::Select ? QueryKind::Action : kind;
    }
    if (!returnsRows(kind)) {
        const std::string name(queryKindName(kind));
        const bool vowel = std::string_view("aeiou").find(name.front()) != std::string_view::npos;
        throwUnreadable(queryName, "it is " + std::string(vowel ? "an " : "a ") + name +
                                       " query, and only select and union queries can be read");
    }
    const std::string body =
        kind == QueryKind::Union ? unionText(queryName, c) : selectText(queryName, c);
    return parametersClause(queryName, c) + body + ";";
}

} // namespace jet::query
