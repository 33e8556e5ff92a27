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
        // "[Forms]![Orders]![OrderID]" is kept as written: it is a name of several parts.
        out += (row.name1.front() == '[' ? row.name1 : sqlName(row.name1)) + " " +
               parameterType(queryName, row);
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

// A make-table query's target: Name1 of its type row, maybe in another database.
std::string targetText(std::string_view queryName, const Clauses& c) {
    if (!c.type || c.type->name1.empty()) throwUnreadable(queryName, "it names no target table");
    std::string out = sqlName(c.type->name1);
    if (!c.type->name2.empty()) {
        out += " IN '" + c.type->name2 + "'";
        if (!c.type->expression.empty()) out += " [" + c.type->expression + "]";
    }
    return out;
}

std::string selectText(std::string_view queryName, const Clauses& c, std::string_view into = {}) {
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
    if (!into.empty()) out += " INTO " + std::string(into);
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

// Which clause a crosstab's column and grouping row belongs to, by its Flag.
namespace crosstab_flag {
constexpr std::int16_t kPivot = 0x01;
constexpr std::int16_t kRowHeading = 0x02;
} // namespace crosstab_flag

// TRANSFORM value, the select statement of the row headings, PIVOT with its IN list (which
// Access keeps inside the pivot's expression).
std::string crosstabText(std::string_view queryName, const Clauses& c) {
    Clauses headings = c;
    headings.columns.clear();
    headings.groupBy.clear();
    const QueryRow* value = nullptr;
    const QueryRow* pivot = nullptr;
    for (const QueryRow* row : c.columns) {
        if (row->flag & crosstab_flag::kRowHeading) {
            headings.columns.push_back(row);
            continue;
        }
        const QueryRow*& slot = (row->flag & crosstab_flag::kPivot) ? pivot : value;
        if (slot) throwUnreadable(queryName, "it has two TRANSFORM or PIVOT rows");
        slot = row;
    }
    for (const QueryRow* row : c.groupBy)
        if (!(row->flag & crosstab_flag::kPivot)) headings.groupBy.push_back(row);
    if (!value || value->expression.empty())
        throwUnreadable(queryName, "its TRANSFORM value is missing");
    if (!pivot || pivot->expression.empty())
        throwUnreadable(queryName, "its PIVOT expression is missing");
    std::string out = "TRANSFORM " + value->expression;
    if (!value->name1.empty()) out += " AS " + sqlName(value->name1);
    return out + std::string(kLineEnd) + selectText(queryName, headings) + std::string(kLineEnd) +
           "PIVOT " + pivot->expression;
}

// INSERT INTO target [(columns)] followed by VALUES or a select statement. Value rows carry
// the high bit in their Flag; a selected column's target column is its Name2.
std::string appendText(std::string_view queryName, const Clauses& c) {
    constexpr std::uint16_t kValueRow = 0x8000;
    Clauses source = c;
    source.columns.clear();
    std::vector<std::string> values, targets;
    for (const QueryRow* row : c.columns) {
        if (static_cast<std::uint16_t>(row->flag) & kValueRow) {
            values.push_back(row->expression);
            continue;
        }
        source.columns.push_back(row);
        if (!row->name2.empty()) targets.push_back(sqlName(row->name2));
    }
    std::string out = "INSERT INTO " + targetText(queryName, c);
    auto list = [](const std::vector<std::string>& items) {
        std::string text;
        for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
        return text;
    };
    if (!values.empty()) return out + std::string(kLineEnd) + "VALUES (" + list(values) + ")";
    if (!targets.empty()) {
        if (targets.size() != source.columns.size())
            throwUnreadable(queryName, "some of its columns name no target column");
        out += " ( " + list(targets) + " )";
    }
    return out + std::string(kLineEnd) + selectText(queryName, source);
}

// UPDATE sources SET column = value, ... WHERE: each column row sets its Name2.
std::string updateText(std::string_view queryName, const Clauses& c) {
    if (c.tables.empty()) throwUnreadable(queryName, "it names no table to update");
    std::string out = "UPDATE " + fromClause(queryName, c.tables, c.joins);
    std::string set;
    for (const QueryRow* row : c.columns) {
        if (row->name2.empty() || row->expression.empty())
            throwUnreadable(queryName, "a column it sets has no name or no value");
        set += (set.empty() ? "" : ", ") + sqlName(row->name2) + " = " + row->expression;
    }
    if (set.empty()) throwUnreadable(queryName, "it sets no column");
    out += std::string(kLineEnd) + "SET " + set;
    if (c.where) out += std::string(kLineEnd) + "WHERE " + c.where->expression;
    return out;
}

// DELETE with the select statement's list and clauses.
std::string deleteText(std::string_view queryName, const Clauses& c) {
    constexpr std::string_view select = "SELECT ";
    return "DELETE " + selectText(queryName, c).substr(select.size());
}

// The kind the rows describe: the catalog's, unless that says select (no kind bits at all),
// when the type row has the last word.
QueryKind kindOf(QueryKind catalogKind, const Clauses& c) {
    if (!c.type || catalogKind != QueryKind::Select) return catalogKind;
    switch (static_cast<QueryType>(c.type->flag)) {
    case QueryType::Select:
        return QueryKind::Select;
    case QueryType::MakeTable:
        return QueryKind::MakeTable;
    case QueryType::Append:
        return QueryKind::Append;
    case QueryType::Update:
        return QueryKind::Update;
    case QueryType::Delete:
        return QueryKind::Delete;
    case QueryType::Crosstab:
        return QueryKind::Crosstab;
    case QueryType::DataDefinition:
        return QueryKind::DataDefinition;
    case QueryType::PassThrough:
        return QueryKind::PassThrough;
    case QueryType::Union:
        return QueryKind::Union;
    }
    return catalogKind;
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
    std::string body;
    switch (kindOf(kind, c)) {
    case QueryKind::Select:
        body = selectText(queryName, c);
        break;
    case QueryKind::Union:
        body = unionText(queryName, c);
        break;
    case QueryKind::Crosstab:
        body = crosstabText(queryName, c);
        break;
    case QueryKind::MakeTable:
        body = selectText(queryName, c, targetText(queryName, c));
        break;
    case QueryKind::Append:
        body = appendText(queryName, c);
        break;
    case QueryKind::Update:
        body = updateText(queryName, c);
        break;
    case QueryKind::Delete:
        body = deleteText(queryName, c);
        break;
    case QueryKind::PassThrough:
    case QueryKind::BulkPassThrough:
        throwUnreadable(queryName, "it is a pass-through query, whose text is run by another "
                                   "database server, not by Jet");
    case QueryKind::DataDefinition:
        throwUnreadable(queryName, "it is a data-definition query, whose statement is not kept "
                                   "in clauses Tablory reads");
    default:
        throwUnreadable(queryName, "its kind (" + std::string(queryKindName(kind)) +
                                       ") is not one Tablory reads");
    }
    return parametersClause(queryName, c) + body + ";";
}

} // namespace jet::query
