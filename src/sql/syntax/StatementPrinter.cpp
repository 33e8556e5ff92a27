// Canonical text of statements and queries.
#include "sql/syntax/Printer.h"

namespace sql {

namespace {

std::string joinNames(const std::vector<std::string>& names) {
    std::string out = "(";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) out += ", ";
        out += nameText(names[i]);
    }
    return out + ")";
}

std::string exprList(const ExprList& list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) out += ", ";
        out += toText(*list[i]);
    }
    return out;
}

std::string withAlias(std::string text, const std::string& alias) {
    return alias.empty() ? text : text + " as " + nameText(alias);
}

std::string refText(const TableRef& ref);

struct RefText {
    std::string operator()(const NamedTable& n) const {
        return withAlias(nameText(n.name), n.alias);
    }
    std::string operator()(const DerivedTable& n) const {
        return withAlias("(" + toText(*n.query) + ")", n.alias);
    }
    std::string operator()(const Join& n) const {
        static constexpr std::string_view kinds[] = {" inner join ", " left join ", " right join "};
        return "(" + refText(*n.left) + std::string(kinds[int(n.kind)]) + refText(*n.right) +
               " on " + toText(*n.condition) + ")";
    }
};

std::string refText(const TableRef& ref) {
    return std::visit(RefText{}, ref.node);
}

std::string refList(const std::vector<TableRefPtr>& refs) {
    std::string out;
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (i) out += ", ";
        out += refText(*refs[i]);
    }
    return out;
}

std::string itemText(const SelectItem& item) {
    if (item.kind == SelectItem::Kind::AllColumns)
        return item.table.empty() ? "*" : nameText(item.table) + ".*";
    return withAlias(toText(*item.expr), item.alias);
}

std::string blockText(const SelectBlock& block, const std::string& into) {
    std::string out = "select ";
    if (block.quantifier == SetQuantifier::Distinct) out += "distinct ";
    if (block.quantifier == SetQuantifier::DistinctRow) out += "distinctrow ";
    if (block.top) {
        out += "top " + std::to_string(block.top->count) + " ";
        if (block.top->percent) out += "percent ";
    }
    for (std::size_t i = 0; i < block.items.size(); ++i) {
        if (i) out += ", ";
        out += itemText(block.items[i]);
    }
    if (!into.empty()) out += " into " + nameText(into);
    if (!block.from.empty()) out += " from " + refList(block.from);
    if (block.where) out += " where " + toText(*block.where);
    if (!block.groupBy.empty()) out += " group by " + exprList(block.groupBy);
    if (block.having) out += " having " + toText(*block.having);
    return out;
}

std::string actionText(ReferentialAction action) {
    switch (action) {
    case ReferentialAction::Cascade:
        return "cascade";
    case ReferentialAction::SetNull:
        return "set null";
    case ReferentialAction::Restrict:
        break;
    }
    return "no action";
}

std::string referencesText(const Constraint& c) {
    std::string out = "references " + nameText(c.referencedTable);
    if (!c.referencedColumns.empty()) out += " " + joinNames(c.referencedColumns);
    if (c.onUpdate != ReferentialAction::Restrict) out += " on update " + actionText(c.onUpdate);
    if (c.onDelete != ReferentialAction::Restrict) out += " on delete " + actionText(c.onDelete);
    return out;
}

// A constraint after a column's type: its column is implied.
std::string columnConstraintText(const Constraint& c) {
    std::string out = c.name.empty() ? "" : "constraint " + nameText(c.name) + " ";
    switch (c.kind) {
    case ConstraintKind::PrimaryKey:
        return out + "primary key";
    case ConstraintKind::Unique:
        return out + "unique";
    case ConstraintKind::ForeignKey:
        return out + referencesText(c);
    case ConstraintKind::NotNull:
        return out + "not null";
    case ConstraintKind::Check:
        return out + "check (" + toText(*c.check) + ")";
    }
    return out;
}

std::string tableConstraintText(const Constraint& c) {
    std::string out = c.name.empty() ? "" : "constraint " + nameText(c.name) + " ";
    switch (c.kind) {
    case ConstraintKind::PrimaryKey:
        return out + "primary key " + joinNames(c.columns);
    case ConstraintKind::Unique:
        return out + "unique " + joinNames(c.columns);
    case ConstraintKind::NotNull:
        return out + "not null " + joinNames(c.columns);
    case ConstraintKind::ForeignKey:
        return out + "foreign key " + (c.noIndex ? "no index " : "") + joinNames(c.columns) + " " +
               referencesText(c);
    case ConstraintKind::Check:
        return out + "check (" + toText(*c.check) + ")";
    }
    return out;
}

std::string columnText(const ColumnDef& column) {
    std::string out = nameText(column.name) + " " + toText(column.type);
    if (column.notNull) out += " not null";
    if (column.defaultValue) out += " default " + toText(*column.defaultValue);
    for (const Constraint& c : column.constraints) out += " " + columnConstraintText(c);
    return out;
}

struct StatementText {
    std::string operator()(const SelectQuery& n) const { return toText(n); }
    std::string operator()(const Insert& n) const {
        std::string out = "insert into " + nameText(n.table);
        if (!n.columns.empty()) out += " " + joinNames(n.columns);
        if (const auto* values = std::get_if<InsertValues>(&n.source))
            return out + " values (" + exprList(values->values) + ")";
        return out + " " + toText(std::get<SelectQuery>(n.source));
    }
    std::string operator()(const Update& n) const {
        std::string out = "update " + refText(*n.target) + " set ";
        for (std::size_t i = 0; i < n.assignments.size(); ++i) {
            const Assignment& a = n.assignments[i];
            if (i) out += ", ";
            out += toText(a.column) + " = " + toText(*a.value);
        }
        if (n.where) out += " where " + toText(*n.where);
        return out;
    }
    std::string operator()(const Delete& n) const {
        std::string out = "delete ";
        for (std::size_t i = 0; i < n.targets.size(); ++i) {
            if (i) out += ", ";
            out += itemText(n.targets[i]);
        }
        if (!n.targets.empty()) out += " ";
        out += "from " + refList(n.from);
        if (n.where) out += " where " + toText(*n.where);
        return out;
    }
    std::string operator()(const CreateTable& n) const {
        std::string out = "create table " + nameText(n.name) + " (";
        bool first = true;
        for (const ColumnDef& column : n.columns) {
            out += (first ? "" : ", ") + columnText(column);
            first = false;
        }
        for (const Constraint& c : n.constraints) {
            out += (first ? "" : ", ") + tableConstraintText(c);
            first = false;
        }
        return out + ")";
    }
    std::string operator()(const CreateIndex& n) const {
        std::string out = std::string("create ") + (n.unique ? "unique " : "") + "index " +
                          nameText(n.name) + " on " + nameText(n.table) + " (";
        for (std::size_t i = 0; i < n.columns.size(); ++i) {
            if (i) out += ", ";
            out += nameText(n.columns[i].name) + (n.columns[i].descending ? " desc" : "");
        }
        out += ")";
        if (n.primary || n.disallowNull || n.ignoreNull) out += " with";
        if (n.primary) out += " primary";
        if (n.disallowNull) out += " disallow null";
        if (n.ignoreNull) out += " ignore null";
        return out;
    }
    std::string operator()(const DropTable& n) const { return "drop table " + nameText(n.name); }
    std::string operator()(const DropIndex& n) const {
        return "drop index " + nameText(n.name) + " on " + nameText(n.table);
    }
    std::string operator()(const AlterTable& n) const {
        std::string out = "alter table " + nameText(n.table) + " ";
        if (const auto* a = std::get_if<AddColumn>(&n.action))
            return out + "add column " + columnText(a->column);
        if (const auto* a = std::get_if<AlterColumn>(&n.action))
            return out + "alter column " + columnText(a->column);
        if (const auto* a = std::get_if<DropColumn>(&n.action))
            return out + "drop column " + nameText(a->name);
        if (const auto* a = std::get_if<AddConstraint>(&n.action))
            return out + "add " + tableConstraintText(a->constraint);
        return out + "drop constraint " + nameText(std::get<DropConstraint>(n.action).name);
    }
    std::string operator()(const CreateView& n) const {
        std::string out =
            std::string(n.procedure ? "create procedure " : "create view ") + nameText(n.name);
        for (std::size_t i = 0; i < n.parameters.size(); ++i)
            out += (i ? ", " : " (") + toText(n.parameters[i]) +
                   (i + 1 == n.parameters.size() ? ")" : "");
        return out + " as " + toText(*n.query);
    }
    std::string operator()(const DropView& n) const {
        return std::string(n.procedure ? "drop procedure " : "drop view ") + nameText(n.name);
    }
    std::string operator()(const Transaction& n) const {
        switch (n.op) {
        case TransactionOp::Begin:
            return "begin transaction";
        case TransactionOp::Commit:
            return "commit transaction";
        case TransactionOp::Rollback:
            return "rollback transaction";
        }
        return {};
    }
};

} // namespace

std::string toText(const ColumnType& type) {
    std::string out(fieldTypeName(type.type));
    switch (type.type) {
    case FieldType::Text:
    case FieldType::Binary:
        out += "(" + std::to_string(type.size) + ")";
        break;
    case FieldType::Decimal:
        out += "(" + std::to_string(type.precision) + ", " + std::to_string(type.scale) + ")";
        break;
    case FieldType::Counter:
        if (type.seed != 1 || type.increment != 1)
            out += "(" + std::to_string(type.seed) + ", " + std::to_string(type.increment) + ")";
        break;
    default:
        break;
    }
    if (type.compressed) out += " with compression";
    return out;
}

std::string toText(const SelectQuery& query) {
    std::string out = blockText(query.first, query.into);
    for (const UnionPart& part : query.unions)
        out += std::string(part.all ? " union all " : " union ") + blockText(part.block, {});
    if (!query.orderBy.empty()) {
        out += " order by ";
        for (std::size_t i = 0; i < query.orderBy.size(); ++i) {
            if (i) out += ", ";
            out += toText(*query.orderBy[i].expr) + (query.orderBy[i].descending ? " desc" : "");
        }
    }
    if (const Crosstab* x = query.crosstab.get()) {
        std::string value = "transform " + toText(*x->value);
        if (!x->valueAlias.empty()) value += " as " + nameText(x->valueAlias);
        out = value + " " + out + " pivot " + toText(*x->pivot);
        for (std::size_t i = 0; i < x->headings.size(); ++i)
            out += (i ? ", " : " in (") + toText(*x->headings[i]);
        if (!x->headings.empty()) out += ")";
    }
    return out;
}

std::string toText(const ParameterDecl& declaration) {
    return nameText(declaration.name) + " " +
           (declaration.type ? toText(*declaration.type) : std::string("value"));
}

std::string toText(const Statement& statement) {
    std::string out;
    if (!statement.parameters.empty()) {
        out = "parameters ";
        for (std::size_t i = 0; i < statement.parameters.size(); ++i) {
            if (i) out += ", ";
            out += toText(statement.parameters[i]);
        }
        out += "; ";
    }
    return out + std::visit(StatementText{}, statement.node);
}

} // namespace sql
