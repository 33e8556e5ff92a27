#include "sql/engine/storage/SavedQueryRows.h"

#include "core/Error.h"
#include "sql/engine/storage/TableInfo.h"
#include "sql/syntax/Printer.h"

#include <algorithm>

namespace sql {

namespace {

using jet::query::Attribute;
using jet::query::makeRow;
using jet::query::QueryRow;
namespace select_flag = jet::query::select_flag;

// Jet's data type codes, which a parameter row's Flag holds.
std::int16_t dataTypeCode(FieldType type) {
    switch (type) {
    case FieldType::Boolean:
        return 1;
    case FieldType::Byte:
        return 2;
    case FieldType::Integer:
        return 3;
    case FieldType::Long:
    case FieldType::Counter:
        return 4;
    case FieldType::Currency:
        return 5;
    case FieldType::Single:
        return 6;
    case FieldType::Double:
        return 7;
    case FieldType::DateTime:
        return 8;
    case FieldType::Binary:
        return 9;
    case FieldType::Text:
        return 10;
    case FieldType::OleObject:
        return 11;
    case FieldType::Memo:
        return 12;
    case FieldType::Guid:
        return 15;
    case FieldType::Decimal:
        return 16;
    }
    return 10;
}

std::string withAlias(std::string text, const std::string& alias) {
    return alias.empty() ? text : text + " AS " + nameText(alias);
}

std::string itemSql(const SelectItem& item) {
    if (item.kind == SelectItem::Kind::AllColumns)
        return item.table.empty() ? "*" : nameText(item.table) + ".*";
    return withAlias(toText(*item.expr), item.alias);
}

std::string refSql(const TableRef& ref) {
    if (const auto* named = ref.as<NamedTable>())
        return withAlias(nameText(named->name), named->alias);
    if (const auto* derived = ref.as<DerivedTable>())
        return withAlias("(" + toText(*derived->query) + ")", derived->alias);
    const Join& join = std::get<Join>(ref.node);
    static constexpr std::string_view kinds[] = {" INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
    return "(" + refSql(*join.left) + std::string(kinds[int(join.kind)]) + refSql(*join.right) +
           " ON " + toText(*join.condition) + ")";
}

// One side of a union as its table row keeps it: a whole SELECT ... HAVING text.
std::string blockSql(const SelectBlock& block) {
    std::string out = "SELECT ";
    if (block.quantifier == SetQuantifier::Distinct) out += "DISTINCT ";
    if (block.quantifier == SetQuantifier::DistinctRow) out += "DISTINCTROW ";
    if (block.top)
        out += "TOP " + std::to_string(block.top->count) + (block.top->percent ? " PERCENT " : " ");
    for (std::size_t i = 0; i < block.items.size(); ++i)
        out += (i ? ", " : "") + itemSql(block.items[i]);
    for (std::size_t i = 0; i < block.from.size(); ++i)
        out += (i ? ", " : " FROM ") + refSql(*block.from[i]);
    if (block.where) out += " WHERE " + toText(*block.where);
    for (std::size_t i = 0; i < block.groupBy.size(); ++i)
        out += (i ? ", " : " GROUP BY ") + toText(*block.groupBy[i]);
    if (block.having) out += " HAVING " + toText(*block.having);
    return out;
}

// The name joins and column qualifiers use for each table of a FROM item, left to right.
void collectKeys(const TableRef& ref, std::vector<std::string>& keys) {
    if (const auto* named = ref.as<NamedTable>()) {
        keys.push_back(named->alias.empty() ? named->name : named->alias);
    } else if (const auto* derived = ref.as<DerivedTable>()) {
        keys.push_back(derived->alias);
    } else {
        const Join& join = std::get<Join>(ref.node);
        collectKeys(*join.left, keys);
        collectKeys(*join.right, keys);
    }
}

// The table qualifiers the expression's column references use, in the order they appear.
void collectQualifiers(const Expr& expr, std::vector<std::string>& out) {
    if (const auto* column = expr.as<ColumnRef>()) {
        if (!column->table.empty()) out.push_back(column->table);
        return;
    }
    auto visit = [&](const ExprPtr& e) {
        if (e) collectQualifiers(*e, out);
    };
    if (const auto* n = expr.as<Binary>()) {
        visit(n->left);
        visit(n->right);
    } else if (const auto* n = expr.as<Unary>()) {
        visit(n->operand);
    } else if (const auto* n = expr.as<FunctionCall>()) {
        for (const auto& a : n->args) visit(a);
    } else if (const auto* n = expr.as<Like>()) {
        visit(n->value);
        visit(n->pattern);
    } else if (const auto* n = expr.as<Between>()) {
        visit(n->value);
        visit(n->low);
        visit(n->high);
    } else if (const auto* n = expr.as<InList>()) {
        visit(n->value);
        for (const auto& i : n->items) visit(i);
    } else if (const auto* n = expr.as<InQuery>()) {
        visit(n->value);
    } else if (const auto* n = expr.as<IsNull>()) {
        visit(n->value);
    }
}

// The side a join row names: the first table of that side the ON condition refers to, or
// the side's first table. Reading the rows back joins the sources holding the two names.
std::string sideName(const TableRef& side, const std::vector<std::string>& qualifiers) {
    std::vector<std::string> keys;
    collectKeys(side, keys);
    for (const auto& q : qualifiers)
        for (const auto& k : keys)
            if (sameName(q, k)) return k;
    return keys.front();
}

class RowBuilder {
public:
    std::vector<QueryRow> rows;

    void tables(const TableRef& ref) {
        if (const auto* named = ref.as<NamedTable>()) {
            rows.push_back(makeRow(Attribute::Table, {}, 0, named->name, named->alias));
        } else if (const auto* derived = ref.as<DerivedTable>()) {
            if (derived->alias.empty())
                throw core::SqlError("A subquery in the FROM clause of a saved query needs an "
                                     "alias.");
            rows.push_back(
                makeRow(Attribute::Table, toText(*derived->query), 0, {}, derived->alias));
        } else {
            const Join& join = std::get<Join>(ref.node);
            tables(*join.left);
            tables(*join.right);
        }
    }

    // Inner joins first, so that reading the rows back nests them the same way.
    void joins(const TableRef& ref) {
        const auto* join = ref.as<Join>();
        if (!join) return;
        joins(*join->left);
        joins(*join->right);
        std::vector<std::string> qualifiers;
        collectQualifiers(*join->condition, qualifiers);
        const auto type = join->kind == JoinKind::Left    ? jet::query::JoinType::Left
                          : join->kind == JoinKind::Right ? jet::query::JoinType::Right
                                                          : jet::query::JoinType::Inner;
        rows.push_back(makeRow(Attribute::Join, toText(*join->condition),
                               static_cast<std::int16_t>(type), sideName(*join->left, qualifiers),
                               sideName(*join->right, qualifiers)));
    }

    void select(const SelectBlock& block) {
        std::int16_t flags = 0;
        if (block.quantifier == SetQuantifier::Distinct) flags |= select_flag::kDistinct;
        if (block.quantifier == SetQuantifier::DistinctRow) flags |= select_flag::kDistinctRow;
        std::string top;
        if (block.top) {
            flags |= select_flag::kTop;
            if (block.top->percent) flags |= select_flag::kPercent;
            top = std::to_string(block.top->count);
        }
        // Access keeps a "*" that ends the list as a flag; elsewhere it stays a column.
        const std::size_t count = block.items.size();
        const bool starLast = count > 0 &&
                              block.items.back().kind == SelectItem::Kind::AllColumns &&
                              block.items.back().table.empty();
        if (starLast) flags |= select_flag::kAllColumns;
        rows.push_back(makeRow(Attribute::Flags, {}, flags, top));
        for (const auto& ref : block.from) tables(*ref);
        for (std::size_t i = 0; i + (starLast ? 1 : 0) < count; ++i) {
            const SelectItem& item = block.items[i];
            if (item.kind == SelectItem::Kind::AllColumns)
                rows.push_back(makeRow(Attribute::Column, itemSql(item)));
            else
                rows.push_back(makeRow(Attribute::Column, toText(*item.expr), 0, item.alias));
        }
        for (const auto& ref : block.from) joins(*ref);
        if (block.where) rows.push_back(makeRow(Attribute::Where, toText(*block.where)));
        for (const auto& e : block.groupBy) rows.push_back(makeRow(Attribute::GroupBy, toText(*e)));
        if (block.having) rows.push_back(makeRow(Attribute::Having, toText(*block.having)));
    }

    // The sides of a union: everything before the last UNION, and the last block. The flag
    // row tells UNION from UNION ALL for the last one (Access's values 3 and 1).
    void unionParts(const SelectQuery& query) {
        std::string first = blockSql(query.first);
        for (std::size_t i = 0; i + 1 < query.unions.size(); ++i)
            first += std::string(query.unions[i].all ? " UNION ALL " : " UNION ") +
                     blockSql(query.unions[i].block);
        const UnionPart& last = query.unions.back();
        std::int16_t flags = select_flag::kAllColumns;
        if (!last.all) flags |= select_flag::kDistinct;
        rows.push_back(makeRow(Attribute::Flags, {}, flags));
        rows.push_back(
            makeRow(Attribute::Table, first, 0, {}, std::string(jet::query::kUnionFirstPart)));
        rows.push_back(makeRow(Attribute::Table, blockSql(last.block), 0, {},
                               std::string(jet::query::kUnionSecondPart)));
    }

    void orderBy(const std::vector<OrderItem>& items) {
        for (const auto& item : items)
            rows.push_back(
                makeRow(Attribute::OrderBy, toText(*item.expr), 0,
                        item.descending ? std::string(jet::query::kDescending) : std::string()));
    }
};

} // namespace

SavedQueryRows savedQueryRows(const SelectQuery& query,
                              const std::vector<ParameterDecl>& parameters) {
    if (!query.into.empty())
        throw core::SqlError("A saved select query cannot create a table (SELECT ... INTO).");
    RowBuilder builder;
    for (const auto& p : parameters) {
        const std::int32_t size =
            p.type && p.type->type == FieldType::Text ? static_cast<std::int32_t>(p.type->size) : 0;
        const std::int16_t code = p.type ? dataTypeCode(p.type->type) : std::int16_t{0};
        builder.rows.push_back(makeRow(Attribute::Parameter, {}, code, p.name, {}, size));
    }
    SavedQueryRows out;
    if (query.unions.empty()) {
        builder.select(query.first);
    } else {
        out.kind = jet::query::QueryKind::Union;
        builder.unionParts(query);
    }
    builder.orderBy(query.orderBy);
    out.rows = std::move(builder.rows);
    return out;
}

} // namespace sql
