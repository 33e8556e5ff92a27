// CREATE TABLE, CREATE INDEX, DROP and ALTER TABLE: checked against the catalog here, then
// carried out by the storage.
#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/DefinitionMapping.h"
#include "sql/engine/planning/PreparedStatement.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/engine/storage/Storage.h"

#include <algorithm>

namespace sql {

namespace {

constexpr std::size_t maxColumns = 255;

[[noreturn]] void checkUnsupported() {
    throw core::SqlError("CHECK constraints are not supported; use a validation in the "
                         "application instead.");
}

bool hasIndexNamed(const TableInfo& table, std::string_view name) {
    return table.findIndex(name) != nullptr;
}

bool hasForeignKeyNamed(const TableInfo& table, std::string_view name) {
    return std::any_of(table.foreignKeys.begin(), table.foreignKeys.end(),
                       [&](const ForeignKeyInfo& k) { return sameName(k.name, name); });
}

// A name for a constraint written without one: the primary key is "PrimaryKey" as Access
// names it, others are named after the table and their columns, made unique.
std::string constraintName(const Constraint& c, const std::string& table,
                           const std::vector<std::string>& taken) {
    if (!c.name.empty()) return c.name;
    std::string base;
    if (c.kind == ConstraintKind::PrimaryKey) {
        base = "PrimaryKey";
    } else {
        base = c.kind == ConstraintKind::ForeignKey ? table : "Index";
        for (const auto& col : c.columns) base += "_" + col;
        if (c.kind == ConstraintKind::ForeignKey) base += "_" + c.referencedTable;
    }
    std::string name = base;
    for (int n = 1; std::any_of(taken.begin(), taken.end(),
                                [&](const std::string& t) { return sameName(t, name); });
         ++n)
        name = base + std::to_string(n);
    return name;
}

IndexInfo indexFor(const Constraint& c, std::string name) {
    IndexInfo index;
    index.name = std::move(name);
    for (const auto& col : c.columns) index.columns.push_back({col, false});
    index.primary = c.kind == ConstraintKind::PrimaryKey;
    index.unique = true;
    index.disallowNull = index.primary;
    return index;
}

void requireColumns(const std::vector<std::string>& columns, const TableInfo& table) {
    for (const auto& col : columns)
        if (!table.findColumn(col)) throw core::SqlError(messages::invalidFieldInIndex(col));
}

// The relationship a FOREIGN KEY constraint asks for, checked against the referenced table
// (`self` stands for the table being created when it refers to itself).
ForeignKeyInfo foreignKeyFor(const Constraint& c, std::string name, const Storage& storage,
                             const TableInfo& self) {
    ForeignKeyInfo key;
    key.name = std::move(name);
    key.columns = c.columns;
    std::optional<TableInfo> referenced = sameName(c.referencedTable, self.name)
                                              ? std::optional<TableInfo>(self)
                                              : storage.tableInfo(c.referencedTable);
    if (!referenced) throw core::SqlError(messages::constraintMissing(c.referencedTable));
    key.referencedTable = referenced->name;
    key.referencedColumns = c.referencedColumns;
    if (key.referencedColumns.empty()) {
        const IndexInfo* pk = referenced->primaryKey();
        if (!pk)
            throw core::SqlError("No unique index found for the referenced field of the "
                                 "primary table.");
        for (const auto& k : pk->columns) key.referencedColumns.push_back(k.name);
    }
    if (key.referencedColumns.size() != key.columns.size())
        throw core::SqlError("Number of columns in the relationship does not match.");
    requireColumns(key.referencedColumns, *referenced);
    // The referenced columns must be a unique key of their table.
    const bool unique = std::any_of(
        referenced->indexes.begin(), referenced->indexes.end(), [&](const IndexInfo& index) {
            if (!(index.unique || index.primary) ||
                index.columns.size() != key.referencedColumns.size())
                return false;
            for (std::size_t i = 0; i < index.columns.size(); ++i)
                if (!sameName(index.columns[i].name, key.referencedColumns[i])) return false;
            return true;
        });
    if (!unique)
        throw core::SqlError("No unique index found for the referenced field of the primary "
                             "table.");
    key.cascadeUpdates = c.onUpdate == ReferentialAction::Cascade;
    key.cascadeDeletes = c.onDelete == ReferentialAction::Cascade;
    key.cascadeSetNull =
        c.onUpdate == ReferentialAction::SetNull || c.onDelete == ReferentialAction::SetNull;
    return key;
}

std::vector<std::string> takenNames(const TableInfo& table) {
    std::vector<std::string> names;
    for (const auto& i : table.indexes) names.push_back(i.name);
    for (const auto& k : table.foreignKeys) names.push_back(k.name);
    return names;
}

// Adds a constraint to a definition being built (CREATE TABLE) or to a table (ALTER TABLE).
struct ConstraintTarget {
    TableInfo& table;
    std::vector<IndexInfo>& indexes;
    std::vector<ForeignKeyInfo>& foreignKeys;
};

void addConstraint(const Constraint& c, ConstraintTarget target, const Storage& storage) {
    TableInfo& table = target.table;
    std::vector<std::string> taken = takenNames(table);
    for (const auto& i : target.indexes) taken.push_back(i.name);
    for (const auto& k : target.foreignKeys) taken.push_back(k.name);
    if (!c.name.empty() && std::any_of(taken.begin(), taken.end(),
                                       [&](const std::string& t) { return sameName(t, c.name); }))
        throw core::SqlError(messages::indexExists(table.name, c.name));
    const std::string name = constraintName(c, table.name, taken);
    switch (c.kind) {
    case ConstraintKind::NotNull:
        for (const auto& col : c.columns)
            if (auto i = table.findColumn(col)) table.columns[*i].required = true;
        return;
    case ConstraintKind::Check:
        checkUnsupported();
    case ConstraintKind::PrimaryKey:
    case ConstraintKind::Unique: {
        requireColumns(c.columns, table);
        const bool hasPrimary =
            table.primaryKey() || std::any_of(target.indexes.begin(), target.indexes.end(),
                                              [](const IndexInfo& i) { return i.primary; });
        if (c.kind == ConstraintKind::PrimaryKey && hasPrimary)
            throw core::SqlError(std::string(messages::primaryKeyExists));
        IndexInfo index = indexFor(c, name);
        target.indexes.push_back(index);
        table.indexes.push_back(std::move(index)); // visible to later constraints
        return;
    }
    case ConstraintKind::ForeignKey: {
        requireColumns(c.columns, table);
        ForeignKeyInfo key = foreignKeyFor(c, name, storage, table);
        key.indexed = !c.noIndex;
        target.foreignKeys.push_back(key);
        table.foreignKeys.push_back(std::move(key));
        return;
    }
    }
}

// Tables and saved queries share one set of names.
// Whether the column takes part in a relationship, as the referencing or the referenced side.
bool inRelationship(const Storage& storage, const TableInfo& table, const std::string& column) {
    for (const auto& k : table.foreignKeys)
        for (const auto& c : k.columns)
            if (sameName(c, column)) return true;
    for (const auto& other : storage.tableNames()) {
        auto info = storage.tableInfo(other);
        if (!info) continue;
        for (const auto& k : info->foreignKeys)
            if (sameName(k.referencedTable, table.name))
                for (const auto& c : k.referencedColumns)
                    if (sameName(c, column)) return true;
    }
    return false;
}

void requireNewTable(const Storage& storage, const std::string& name) {
    if (storage.tableInfo(name) || storage.hasQuery(name))
        throw core::SqlError(messages::tableExists(name));
}

TableInfo existingTable(const Storage& storage, const std::string& name) {
    auto info = storage.tableInfo(name);
    if (!info) throw core::SqlError(messages::unknownTable(name));
    return *info;
}

class DefinitionStatement : public PreparedStatement {
public:
    DefinitionStatement(const Statement& statement, std::string_view text)
        : statement_(statement), text_(text) {}
    ResultSet run(std::unique_ptr<Runtime> rt) override {
        Storage& storage = rt->storage;
        if (const auto* s = statement_.as<CreateTable>()) createTable(storage, *s);
        if (const auto* s = statement_.as<CreateIndex>()) createIndex(storage, *s);
        if (const auto* s = statement_.as<DropTable>()) dropTable(storage, *s);
        if (const auto* s = statement_.as<DropIndex>()) dropIndex(storage, *s);
        if (const auto* s = statement_.as<AlterTable>()) alterTable(storage, *s);
        if (const auto* s = statement_.as<CreateView>()) createView(storage, *s);
        if (const auto* s = statement_.as<DropView>()) dropView(storage, *s);
        return ResultSet(0);
    }

private:
    void createTable(Storage& storage, const CreateTable& s);
    void createIndex(Storage& storage, const CreateIndex& s);
    void dropTable(Storage& storage, const DropTable& s);
    void dropIndex(Storage& storage, const DropIndex& s);
    void alterTable(Storage& storage, const AlterTable& s);
    void createView(Storage& storage, const CreateView& s);
    void dropView(Storage& storage, const DropView& s);
    void addColumn(Storage& storage, TableInfo& table, const ColumnDef& definition);
    void alterColumn(Storage& storage, const TableInfo& table, const ColumnDef& definition);
    void dropColumn(Storage& storage, const TableInfo& table, const std::string& name);

    const Statement& statement_;
    std::string_view text_;
};

void DefinitionStatement::createTable(Storage& storage, const CreateTable& s) {
    requireNewTable(storage, s.name);
    if (s.columns.size() > maxColumns) throw core::SqlError(std::string(messages::tooManyFields));
    TableDefinition layout;
    layout.name = s.name;
    TableInfo shape; // what the table will be, for the constraints to check against
    shape.name = s.name;
    int counters = 0;
    for (const auto& def : s.columns) {
        if (shape.findColumn(def.name))
            throw core::SqlError(messages::fieldExists(def.name, s.name));
        ColumnDefinition column = columnDefinitionFor(def, text_);
        if (column.column.autoNumber && ++counters > 1)
            throw core::SqlError(std::string(messages::oneAutoNumber));
        shape.columns.push_back(column.column);
        layout.columns.push_back(std::move(column));
    }
    ConstraintTarget target{shape, layout.indexes, layout.foreignKeys};
    for (const auto& def : s.columns)
        for (const auto& c : def.constraints) addConstraint(c, target, storage);
    for (const auto& c : s.constraints) addConstraint(c, target, storage);
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        layout.columns[i].column.required = shape.columns[i].required;
    storage.createTable(layout);
}

void DefinitionStatement::createIndex(Storage& storage, const CreateIndex& s) {
    TableInfo table = existingTable(storage, s.table);
    if (hasIndexNamed(table, s.name) || hasForeignKeyNamed(table, s.name))
        throw core::SqlError(messages::indexExists(table.name, s.name));
    if (s.primary && table.primaryKey())
        throw core::SqlError(std::string(messages::primaryKeyExists));
    IndexInfo index;
    index.name = s.name;
    for (const auto& col : s.columns) {
        auto i = table.findColumn(col.name);
        if (!i) throw core::SqlError(messages::invalidFieldInIndex(col.name));
        const auto type = table.columns[*i].type;
        if (type == jet::ColumnType::Ole)
            throw core::SqlError("Can't create an index on an OLE Object field.");
        index.columns.push_back({table.columns[*i].name, col.descending});
    }
    index.primary = s.primary;
    index.unique = s.unique || s.primary;
    index.ignoreNulls = s.ignoreNull;
    index.disallowNull = s.disallowNull || s.primary;
    storage.createIndex(table.name, index);
}

void DefinitionStatement::dropTable(Storage& storage, const DropTable& s) {
    auto table = storage.tableInfo(s.name);
    if (!table) throw core::SqlError(messages::tableMissing(s.name));
    for (const auto& name : storage.tableNames()) {
        if (sameName(name, table->name)) continue;
        auto other = storage.tableInfo(name);
        if (!other) continue;
        for (const auto& k : other->foreignKeys)
            if (sameName(k.referencedTable, table->name))
                throw core::SqlError("Cannot delete the table '" + table->name +
                                     "'; it is part of one or more relationships.");
    }
    storage.dropTable(table->name);
}

void DefinitionStatement::dropIndex(Storage& storage, const DropIndex& s) {
    auto table = storage.tableInfo(s.table);
    if (!table) throw core::SqlError(messages::tableMissing(s.table));
    const IndexInfo* index = table->findIndex(s.name);
    if (!index) throw core::SqlError(messages::indexMissing(s.name, table->name));
    storage.dropIndex(table->name, index->name);
}

void DefinitionStatement::addColumn(Storage& storage, TableInfo& table,
                                    const ColumnDef& definition) {
    if (table.findColumn(definition.name))
        throw core::SqlError(messages::fieldExists(definition.name, table.name));
    if (table.columns.size() + 1 > maxColumns)
        throw core::SqlError(std::string(messages::tooManyFields));
    ColumnDefinition column = columnDefinitionFor(definition, text_);
    if (column.column.autoNumber && std::any_of(table.columns.begin(), table.columns.end(),
                                                [](const ColumnInfo& c) { return c.autoNumber; }))
        throw core::SqlError(std::string(messages::oneAutoNumber));
    if (column.column.required) {
        // Rows already there would hold Null in it.
        if (storage.scan(table.name)->next())
            throw core::ConstraintError(messages::fieldRequired(table.name, definition.name));
    }
    TableInfo shape = table;
    shape.columns.push_back(column.column);
    std::vector<IndexInfo> indexes;
    std::vector<ForeignKeyInfo> keys;
    ConstraintTarget target{shape, indexes, keys};
    for (const auto& c : definition.constraints) addConstraint(c, target, storage);
    storage.addColumn(table.name, column);
    for (const auto& index : indexes) storage.createIndex(table.name, index);
    for (const auto& key : keys) storage.addForeignKey(table.name, key);
}

void DefinitionStatement::alterColumn(Storage& storage, const TableInfo& table,
                                      const ColumnDef& definition) {
    auto i = table.findColumn(definition.name);
    if (!i) throw core::SqlError(messages::fieldMissing(definition.name, table.name));
    ColumnDefinition column = columnDefinitionFor(definition, text_);
    column.column.name = table.columns[*i].name;
    if (column.column.autoNumber && !table.columns[*i].autoNumber)
        throw core::SqlError("Cannot change a field's data type to AutoNumber once it holds "
                             "data.");
    for (const auto& c : definition.constraints)
        if (c.kind == ConstraintKind::PrimaryKey || c.kind == ConstraintKind::Unique ||
            c.kind == ConstraintKind::ForeignKey || c.kind == ConstraintKind::Check)
            throw core::SqlError("Syntax error in ALTER TABLE statement.");
    // Both sides of a relationship must keep one type and size, so a related column keeps
    // its own; only its other attributes may change.
    const ColumnInfo& before = table.columns[*i];
    if ((before.type != column.column.type || before.size != column.column.size ||
         before.precision != column.column.precision || before.scale != column.column.scale) &&
        inRelationship(storage, table, before.name))
        throw core::SqlError(messages::fieldInRelationship(before.name));
    const ColumnInfo target = column.column;
    storage.alterColumn(table.name, column, [target, &table](const core::Value& v) {
        if (v.isNull()) {
            if (target.required)
                throw core::ConstraintError(messages::fieldRequired(table.name, target.name));
            return v;
        }
        core::Value converted = toColumnValue(target, v);
        if (!fitsColumn(target, converted))
            throw core::ConstraintError(std::string(messages::fieldTooSmall));
        return converted;
    });
}

void DefinitionStatement::dropColumn(Storage& storage, const TableInfo& table,
                                     const std::string& name) {
    auto i = table.findColumn(name);
    if (!i) throw core::SqlError(messages::fieldMissing(name, table.name));
    const std::string& real = table.columns[*i].name;
    for (const auto& index : table.indexes)
        for (const auto& key : index.columns)
            if (sameName(key.name, real)) throw core::SqlError(messages::fieldInIndex(real));
    if (inRelationship(storage, table, real)) throw core::SqlError(messages::fieldInIndex(real));
    if (table.columns.size() == 1) throw core::SqlError(std::string(messages::noFields));
    storage.dropColumn(table.name, real);
}

void DefinitionStatement::alterTable(Storage& storage, const AlterTable& s) {
    TableInfo table = existingTable(storage, s.table);
    if (const auto* a = std::get_if<AddColumn>(&s.action))
        return addColumn(storage, table, a->column);
    if (const auto* a = std::get_if<AlterColumn>(&s.action))
        return alterColumn(storage, table, a->column);
    if (const auto* a = std::get_if<DropColumn>(&s.action))
        return dropColumn(storage, table, a->name);
    if (const auto* a = std::get_if<AddConstraint>(&s.action)) {
        std::vector<IndexInfo> indexes;
        std::vector<ForeignKeyInfo> keys;
        TableInfo shape = table;
        addConstraint(a->constraint, ConstraintTarget{shape, indexes, keys}, storage);
        if (a->constraint.kind == ConstraintKind::NotNull) {
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                if (shape.columns[i].required == table.columns[i].required) continue;
                ColumnDefinition layout;
                layout.column = shape.columns[i];
                const ColumnInfo target = layout.column;
                storage.alterColumn(table.name, layout, [target, &table](const core::Value& v) {
                    if (v.isNull())
                        throw core::ConstraintError(
                            messages::fieldRequired(table.name, target.name));
                    return v;
                });
            }
        }
        for (const auto& index : indexes) storage.createIndex(table.name, index);
        for (const auto& key : keys) storage.addForeignKey(table.name, key);
        return;
    }
    const auto& drop = std::get<DropConstraint>(s.action);
    if (hasForeignKeyNamed(table, drop.name)) {
        for (const auto& k : table.foreignKeys)
            if (sameName(k.name, drop.name)) storage.dropForeignKey(table.name, k.name);
        if (const IndexInfo* index = table.findIndex(drop.name))
            storage.dropIndex(table.name, index->name);
        return;
    }
    const IndexInfo* index = table.findIndex(drop.name);
    if (!index) throw core::SqlError(messages::constraintMissing(drop.name));
    storage.dropIndex(table.name, index->name);
}

void DefinitionStatement::createView(Storage& storage, const CreateView& s) {
    if (s.name.empty() || s.name.size() > 64)
        throw core::SqlError("'" + s.name + "' is not a valid name.");
    requireNewTable(storage, s.name);
    storage.createView(s.name, *s.query, s.parameters);
}

void DefinitionStatement::dropView(Storage& storage, const DropView& s) {
    if (!storage.hasQuery(s.name)) {
        if (storage.tableInfo(s.name))
            throw core::SqlError("'" + s.name + "' is a table, not a saved query; use DROP TABLE.");
        throw core::SqlError(messages::unknownTable(s.name));
    }
    storage.dropView(s.name);
}

// A saved query must make sense when it is saved: its names are bound once here, with
// parameters of its own, so that a misspelt table is refused now rather than at each use.
void checkSavedQuery(CompileContext& context, const Statement& statement, std::string_view text) {
    const auto* view = statement.as<CreateView>();
    if (!view) return;
    if (statement.positionalParameters > 0)
        throw core::SqlError("A saved query cannot hold \"?\" parameters; name them instead.");
    ParameterTable parameters;
    parameters.declare(view->parameters);
    CompileContext check(context.storage, parameters, context.likeMode);
    compileQuery(check, *view->query, text, nullptr);
}

} // namespace

std::unique_ptr<PreparedStatement>
prepareDefinition(CompileContext& context, const Statement& statement, std::string_view text) {
    checkSavedQuery(context, statement, text);
    return std::make_unique<DefinitionStatement>(statement, text);
}

} // namespace sql
