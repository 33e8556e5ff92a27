#include "jet/query/FromClause.h"

#include "core/ObjectName.h"
#include "jet/query/QueryErrors.h"
#include "jet/query/QueryText.h"

#include <algorithm>
#include <memory>

namespace jet::query {

namespace {

// One comma-separated source: a table (with the name joins use for it) or a join of two.
struct Source {
    std::string key;  // a table's alias, else its name
    std::string text; // a table as written
    std::unique_ptr<Source> left, right;
    JoinType type = JoinType::Inner;
    std::vector<std::string> conditions;

    bool isJoin() const { return left != nullptr; }
    bool contains(std::string_view name) const {
        if (isJoin()) return left->contains(name) || right->contains(name);
        return core::sameName(key, name);
    }
};

std::string_view joinWords(JoinType type) {
    switch (type) {
    case JoinType::Left:
        return " LEFT JOIN ";
    case JoinType::Right:
        return " RIGHT JOIN ";
    case JoinType::Inner:
        break;
    }
    return " INNER JOIN ";
}

std::string render(const Source& s, bool topLevel) {
    if (!s.isJoin()) return s.text;
    std::string out =
        render(*s.left, false) + std::string(joinWords(s.type)) + render(*s.right, false) + " ON ";
    if (s.conditions.size() == 1) {
        out += s.conditions.front();
    } else {
        for (std::size_t i = 0; i < s.conditions.size(); ++i)
            out += (i ? ") AND (" : "(") + s.conditions[i];
        out += ")";
    }
    return topLevel ? out : "(" + out + ")";
}

std::string tableText(const QueryRow& row) {
    std::string out;
    if (!row.name1.empty()) {
        // An Expression beside a name qualifies it (a table of another database).
        if (!row.expression.empty()) out = "[" + row.expression + "].";
        out += sqlName(row.name1);
    } else {
        out = "(" + row.expression + ")"; // a subquery
    }
    if (!row.name2.empty()) out += " AS " + sqlName(row.name2);
    return out;
}

JoinType joinTypeOf(std::string_view queryName, const QueryRow& row) {
    switch (row.flag) {
    case static_cast<std::int16_t>(JoinType::Inner):
    case static_cast<std::int16_t>(JoinType::Left):
    case static_cast<std::int16_t>(JoinType::Right):
        return static_cast<JoinType>(row.flag);
    default:
        throwUnreadable(queryName, "a join has the unknown type " + std::to_string(row.flag));
    }
}

} // namespace

std::string fromClause(std::string_view queryName, const std::vector<const QueryRow*>& tables,
                       const std::vector<const QueryRow*>& joins) {
    std::vector<std::unique_ptr<Source>> sources;
    for (const QueryRow* row : tables) {
        if (row->name1.empty() && row->expression.empty())
            throwUnreadable(queryName, "a table row names no table");
        auto s = std::make_unique<Source>();
        s->key = row->name2.empty() ? row->name1 : row->name2;
        s->text = tableText(*row);
        sources.push_back(std::move(s));
    }
    auto holding = [&](std::string_view name) {
        return std::find_if(sources.begin(), sources.end(),
                            [&](const std::unique_ptr<Source>& s) { return s->contains(name); });
    };
    for (const QueryRow* row : joins) {
        const JoinType type = joinTypeOf(queryName, *row);
        auto from = holding(row->name1);
        auto to = holding(row->name2);
        if (from == sources.end() || to == sources.end())
            throwUnreadable(queryName, "a join names '" +
                                           (from == sources.end() ? row->name1 : row->name2) +
                                           "', which is not a table of the query");
        if (from == to) {
            // More rows for the same two sources: parts of one ON, which Access stores last
            // part first.
            if (!(*from)->isJoin() || (*from)->type != type)
                throwUnreadable(queryName, "'" + row->name1 + "' and '" + row->name2 +
                                               "' are joined in two different ways");
            (*from)->conditions.insert((*from)->conditions.begin(), row->expression);
            continue;
        }
        auto joined = std::make_unique<Source>();
        joined->type = type;
        joined->conditions.push_back(row->expression);
        joined->left = std::move(*from);
        joined->right = std::move(*to);
        sources.erase(std::remove(sources.begin(), sources.end(), nullptr), sources.end());
        sources.push_back(std::move(joined));
    }
    std::string out;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i) out += ", ";
        out += render(*sources[i], true);
    }
    return out;
}

} // namespace jet::query
