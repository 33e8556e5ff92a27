#include "odbc/ParameterTargets.h"

#include "sql/engine/storage/Storage.h"
#include "sql/syntax/Parser.h"

#include <functional>

namespace odbc {

namespace {

// Calls back for every table named and every expression met anywhere in a statement,
// subqueries included.
class Walk {
public:
    std::function<void(const sql::NamedTable&)> onTable = [](const sql::NamedTable&) {};
    std::function<void(const sql::Expr&)> onExpr = [](const sql::Expr&) {};

    void statement(const sql::Statement& s) {
        if (const auto* q = s.as<sql::SelectQuery>()) query(*q);
        if (const auto* i = s.as<sql::Insert>()) {
            onTable(sql::NamedTable{i->table, {}});
            if (const auto* v = std::get_if<sql::InsertValues>(&i->source))
                list(v->values);
            else
                query(std::get<sql::SelectQuery>(i->source));
        }
        if (const auto* u = s.as<sql::Update>()) {
            table(*u->target);
            for (const auto& a : u->assignments) expr(a.value);
            expr(u->where);
        }
        if (const auto* d = s.as<sql::Delete>()) {
            for (const auto& t : d->from) table(*t);
            expr(d->where);
        }
    }

private:
    void query(const sql::SelectQuery& q) {
        block(q.first);
        for (const auto& u : q.unions) block(u.block);
        for (const auto& o : q.orderBy) expr(o.expr);
        if (q.crosstab) {
            expr(q.crosstab->value);
            expr(q.crosstab->pivot);
            list(q.crosstab->headings);
        }
    }
    void block(const sql::SelectBlock& b) {
        for (const auto& t : b.from) table(*t);
        for (const auto& item : b.items) expr(item.expr);
        expr(b.where);
        list(b.groupBy);
        expr(b.having);
    }
    void table(const sql::TableRef& t) {
        if (const auto* n = t.as<sql::NamedTable>()) onTable(*n);
        if (const auto* d = t.as<sql::DerivedTable>()) query(*d->query);
        if (const auto* j = t.as<sql::Join>()) {
            table(*j->left);
            table(*j->right);
            expr(j->condition);
        }
    }
    void list(const sql::ExprList& l) {
        for (const auto& e : l) expr(e);
    }
    void expr(const sql::ExprPtr& e) {
        if (!e) return;
        onExpr(*e);
        std::visit(
            [&](const auto& n) {
                using T = std::decay_t<decltype(n)>;
                if constexpr (std::is_same_v<T, sql::FunctionCall>) list(n.args);
                if constexpr (std::is_same_v<T, sql::Unary>) expr(n.operand);
                if constexpr (std::is_same_v<T, sql::Binary>) {
                    expr(n.left);
                    expr(n.right);
                }
                if constexpr (std::is_same_v<T, sql::Like>) {
                    expr(n.value);
                    expr(n.pattern);
                }
                if constexpr (std::is_same_v<T, sql::Between>) {
                    expr(n.value);
                    expr(n.low);
                    expr(n.high);
                }
                if constexpr (std::is_same_v<T, sql::InList>) {
                    expr(n.value);
                    list(n.items);
                }
                if constexpr (std::is_same_v<T, sql::InQuery>) {
                    expr(n.value);
                    query(*n.query);
                }
                if constexpr (std::is_same_v<T, sql::IsNull>) expr(n.value);
                if constexpr (std::is_same_v<T, sql::Exists> || std::is_same_v<T, sql::ScalarQuery>)
                    query(*n.query);
            },
            e->node);
    }
};

struct KnownTable {
    std::string alias;
    sql::TableInfo info;
};

class Targets {
public:
    Targets(const std::vector<KnownTable>& tables, std::size_t markers)
        : tables_(tables), markers_(markers) {}

    // Pairs a column with the markers an expression sets beside it.
    void visit(const sql::Expr& e) {
        if (const auto* b = e.as<sql::Binary>()) {
            if (b->op >= sql::BinaryOperator::Equal && b->op <= sql::BinaryOperator::GreaterEqual) {
                pair(*b->left, *b->right);
                pair(*b->right, *b->left);
            }
        } else if (const auto* l = e.as<sql::Like>()) {
            pair(*l->value, *l->pattern);
        } else if (const auto* bt = e.as<sql::Between>()) {
            pair(*bt->value, *bt->low);
            pair(*bt->value, *bt->high);
        } else if (const auto* in = e.as<sql::InList>()) {
            for (const auto& item : in->items) pair(*in->value, *item);
        }
    }
    void set(const sql::ColumnInfo& column, const sql::Expr& value) {
        if (const auto* p = value.as<sql::Parameter>()) put(p->index, column);
    }
    const sql::ColumnInfo* column(const sql::ColumnRef& ref) const {
        for (const auto& t : tables_) {
            if (!ref.table.empty() && !sql::sameName(ref.table, t.alias) &&
                !sql::sameName(ref.table, t.info.name))
                continue;
            if (auto i = t.info.findColumn(ref.column)) return &t.info.columns[*i];
        }
        return nullptr;
    }
    std::vector<std::optional<sql::ColumnInfo>> take() { return std::move(markers_); }

private:
    void pair(const sql::Expr& side, const sql::Expr& other) {
        const auto* ref = side.as<sql::ColumnRef>();
        if (!ref) return;
        if (const auto* c = column(*ref)) set(*c, other);
    }
    void put(int index, const sql::ColumnInfo& column) {
        const auto i = static_cast<std::size_t>(index);
        if (i < markers_.size() && !markers_[i]) markers_[i] = column;
    }

    const std::vector<KnownTable>& tables_;
    std::vector<std::optional<sql::ColumnInfo>> markers_;
};

std::optional<DirectInsert> directInsert(const sql::Statement& s, const sql::TableInfo& table) {
    const auto* insert = s.as<sql::Insert>();
    const auto* values = insert ? std::get_if<sql::InsertValues>(&insert->source) : nullptr;
    if (!values || !s.parameters.empty()) return std::nullopt;
    const std::size_t n = values->values.size();
    if (n != static_cast<std::size_t>(s.positionalParameters)) return std::nullopt;
    if (insert->columns.empty() ? n != table.columns.size() : n != insert->columns.size())
        return std::nullopt;
    DirectInsert d{table.name, table.columns.size(), std::vector<std::size_t>(n)};
    std::vector<bool> taken(table.columns.size()), filled(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto* p = values->values[i]->as<sql::Parameter>();
        if (!p || p->index < 0 || static_cast<std::size_t>(p->index) >= n) return std::nullopt;
        std::size_t column = i;
        if (!insert->columns.empty()) {
            auto found = table.findColumn(insert->columns[i]);
            if (!found) return std::nullopt;
            column = *found;
        }
        const auto marker = static_cast<std::size_t>(p->index);
        // Anything unusual (a column named twice) is left to the engine and its message.
        if (taken[column] || filled[marker]) return std::nullopt;
        taken[column] = filled[marker] = true;
        d.columns[marker] = column;
    }
    return d;
}

} // namespace

ParameterTargets findParameterTargets(std::string_view text, const sql::Storage& storage) {
    const sql::Statement statement = sql::parseStatement(text);
    std::vector<KnownTable> tables;
    Walk tablesWalk;
    tablesWalk.onTable = [&](const sql::NamedTable& t) {
        if (auto info = storage.tableInfo(t.name)) tables.push_back({t.alias, std::move(*info)});
    };
    tablesWalk.statement(statement);

    Targets targets(tables, static_cast<std::size_t>(statement.positionalParameters));
    ParameterTargets result;
    if (const auto* insert = statement.as<sql::Insert>()) {
        const auto* values = std::get_if<sql::InsertValues>(&insert->source);
        const auto* table =
            !tables.empty() && sql::sameName(tables.front().info.name, insert->table)
                ? &tables.front().info
                : nullptr;
        if (values && table) {
            for (std::size_t i = 0; i < values->values.size(); ++i) {
                const sql::ColumnInfo* column = nullptr;
                if (insert->columns.empty())
                    column = i < table->columns.size() ? &table->columns[i] : nullptr;
                else if (i < insert->columns.size())
                    column = targets.column(sql::ColumnRef{table->name, insert->columns[i]});
                if (column) targets.set(*column, *values->values[i]);
            }
            result.directInsert = directInsert(statement, *table);
        }
    }
    if (const auto* update = statement.as<sql::Update>())
        for (const auto& a : update->assignments)
            if (const auto* column = targets.column(a.column)) targets.set(*column, *a.value);
    Walk pairs;
    pairs.onExpr = [&](const sql::Expr& e) { targets.visit(e); };
    pairs.statement(statement);
    result.markers = targets.take();
    return result;
}

} // namespace odbc
