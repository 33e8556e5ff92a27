// INSERT INTO, UPDATE and DELETE: rows to change are found with the same planner as a
// select, all of them before the first change, then written through a TableWriter.
#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/engine/planning/ExpressionBinder.h"
#include "sql/engine/planning/FromPlanner.h"
#include "sql/engine/planning/PreparedStatement.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/storage/TableWriter.h"

#include <algorithm>
#include <map>

namespace sql {

namespace {

TableInfo targetTable(const Storage& storage, const std::string& name) {
    auto info = storage.tableInfo(name);
    if (!info) {
        if (storage.viewText(name)) throw core::SqlError("Operation must use an updateable query.");
        throw core::SqlError(messages::unknownTable(name));
    }
    return *info;
}

bool reads(const CompileContext& context, const std::string& table) {
    return std::any_of(context.tablesRead.begin(), context.tablesRead.end(),
                       [&](const std::string& t) { return sameName(t, table); });
}

class InsertStatement : public PreparedStatement {
public:
    InsertStatement(TableInfo table, std::vector<std::size_t> targets, BoundList values)
        : table_(std::move(table)), targets_(std::move(targets)), values_(std::move(values)) {}
    InsertStatement(TableInfo table, std::vector<std::size_t> targets, CompiledQuery source,
                    bool readsTarget)
        : table_(std::move(table)), targets_(std::move(targets)), source_(std::move(source)),
          readsTarget_(readsTarget) {}

    ResultSet run(std::unique_ptr<Runtime> rt) override {
        TableWriter writer(rt->storage, *rt, table_);
        std::vector<std::optional<core::Value>> given(table_.columns.size());
        if (!source_.root) {
            for (std::size_t i = 0; i < values_.size(); ++i)
                given[targets_[i]] = values_[i]->eval(*rt, Frame{});
            writer.insert(given);
            return ResultSet(1);
        }
        source_.root->open(*rt, nullptr);
        std::int64_t count = 0;
        ResultRow row;
        auto put = [&](std::vector<core::Value>& values) {
            std::fill(given.begin(), given.end(), std::nullopt);
            for (std::size_t i = 0; i < targets_.size(); ++i)
                given[targets_[i]] = std::move(values[i]);
            writer.insert(given);
            ++count;
        };
        if (readsTarget_) {
            // Rows the statement adds must not feed it: read them all first.
            std::vector<std::vector<core::Value>> rows;
            while (source_.root->next(row)) rows.push_back(std::move(row.values));
            for (auto& values : rows) put(values);
        } else {
            while (source_.root->next(row)) put(row.values);
        }
        return ResultSet(count);
    }

private:
    TableInfo table_;
    std::vector<std::size_t> targets_; // the column each value goes to
    BoundList values_;
    CompiledQuery source_;
    bool readsTarget_ = false;
};

std::size_t targetColumn(const TableInfo& table, const std::string& name,
                         std::vector<std::size_t>& taken) {
    auto i = table.findColumn(name);
    if (!i) throw core::SqlError(messages::unknownInsertField(name));
    if (std::find(taken.begin(), taken.end(), *i) != taken.end())
        throw core::SqlError(messages::duplicateDestination(name));
    taken.push_back(*i);
    return *i;
}

// A base row an UPDATE or DELETE changes, with what it held when the statement began.
struct Change {
    std::size_t source = 0;
    RowLocator locator;
    std::vector<core::Value> old;
    std::vector<std::optional<core::Value>> values;
};

struct Assigned {
    std::size_t source;
    std::size_t column;
    BoundPtr value;
};

class UpdateStatement : public PreparedStatement {
public:
    UpdateStatement(OperatorPtr rows, std::vector<const ScopeSource*> sources,
                    std::vector<TableInfo> tables, std::vector<Assigned> assignments)
        : rows_(std::move(rows)), sources_(std::move(sources)), tables_(std::move(tables)),
          assignments_(std::move(assignments)) {}

    ResultSet run(std::unique_ptr<Runtime> rt) override {
        std::vector<Change> changes;
        std::map<std::pair<std::size_t, RowLocator>, std::size_t> seen;
        rows_->open(*rt, nullptr);
        ResultRow row;
        while (rows_->next(row)) {
            Frame frame{row.values, nullptr};
            std::map<std::size_t, std::size_t> thisRow; // source -> change
            for (const auto& a : assignments_) {
                const ScopeSource& s = *sources_[a.source];
                const auto& locator = row.locators[*s.locator];
                if (!locator) continue;
                auto it = thisRow.find(a.source);
                if (it == thisRow.end()) {
                    // A base row met again through a join is changed once, as first met.
                    if (seen.count({a.source, *locator})) continue;
                    Change c;
                    c.source = a.source;
                    c.locator = *locator;
                    c.old.assign(row.values.begin() + static_cast<std::ptrdiff_t>(s.slots.first),
                                 row.values.begin() +
                                     static_cast<std::ptrdiff_t>(s.slots.first + s.slots.count));
                    c.values.resize(s.columns.size());
                    seen[{a.source, *locator}] = changes.size();
                    it = thisRow.emplace(a.source, changes.size()).first;
                    changes.push_back(std::move(c));
                }
                changes[it->second].values[a.column] = a.value->eval(*rt, frame);
            }
        }
        std::map<std::size_t, TableWriter> writers;
        for (const auto& c : changes) {
            auto it = writers.find(c.source);
            if (it == writers.end())
                it = writers.emplace(c.source, TableWriter(rt->storage, *rt, tables_[c.source]))
                         .first;
            it->second.update(c.locator, c.old, c.values);
        }
        return ResultSet(static_cast<std::int64_t>(changes.size()));
    }

private:
    OperatorPtr rows_;
    std::vector<const ScopeSource*> sources_;
    std::vector<TableInfo> tables_; // by source; empty for sources that are not tables
    std::vector<Assigned> assignments_;
};

class DeleteStatement : public PreparedStatement {
public:
    DeleteStatement(OperatorPtr rows, const ScopeSource& source, TableInfo table)
        : rows_(std::move(rows)), source_(source), table_(std::move(table)) {}

    ResultSet run(std::unique_ptr<Runtime> rt) override {
        std::vector<std::pair<RowLocator, std::vector<core::Value>>> victims;
        std::map<RowLocator, bool> seen;
        rows_->open(*rt, nullptr);
        ResultRow row;
        while (rows_->next(row)) {
            const auto& locator = row.locators[*source_.locator];
            if (!locator || !seen.emplace(*locator, true).second) continue;
            const auto first = static_cast<std::ptrdiff_t>(source_.slots.first);
            victims.emplace_back(*locator, std::vector<core::Value>(row.values.begin() + first,
                                                                    row.values.begin() + first +
                                                                        static_cast<std::ptrdiff_t>(
                                                                            source_.slots.count)));
        }
        TableWriter writer(rt->storage, *rt, table_);
        std::int64_t count = 0;
        for (const auto& [locator, old] : victims) {
            // A cascade from an earlier row of this statement may have taken it already.
            if (victims.size() > 1 && !rt->storage.readRow(table_.name, locator)) continue;
            writer.remove(locator, old);
            ++count;
        }
        return ResultSet(count);
    }

private:
    OperatorPtr rows_;
    const ScopeSource& source_;
    TableInfo table_;
};

// UPDATE and DELETE keep their scope (and planner) alive with the plan: the plan's rows are
// laid out by it.
template <class Base> class Owning : public Base {
public:
    template <class... A>
    Owning(std::unique_ptr<Scope> scope, A&&... args)
        : Base(std::forward<A>(args)...), scope_(std::move(scope)) {}

private:
    std::unique_ptr<Scope> scope_;
};

} // namespace

std::vector<std::size_t> valueTargets(const TableInfo& table, const Insert& insert) {
    std::vector<std::size_t> targets, taken;
    for (const auto& name : insert.columns) targets.push_back(targetColumn(table, name, taken));
    if (insert.columns.empty())
        for (std::size_t i = 0; i < table.columns.size(); ++i) targets.push_back(i);
    const auto& values = std::get<InsertValues>(insert.source).values;
    if (values.size() != targets.size())
        throw core::SqlError(std::string(messages::valueCountMismatch));
    return targets;
}

std::unique_ptr<PreparedStatement> prepareInsert(CompileContext& context, const Insert& insert,
                                                 std::string_view text) {
    TableInfo table = targetTable(context.storage, insert.table);
    if (const auto* values = std::get_if<InsertValues>(&insert.source)) {
        std::vector<std::size_t> targets = valueTargets(table, insert);
        Scope scope;
        ExpressionBinder binder(context, scope, text);
        BoundList bound;
        for (const auto& v : values->values) bound.push_back(binder.bind(*v));
        return std::make_unique<InsertStatement>(std::move(table), std::move(targets),
                                                 std::move(bound));
    }
    std::vector<std::size_t> targets, taken;
    for (const auto& name : insert.columns) targets.push_back(targetColumn(table, name, taken));
    const auto& query = std::get<SelectQuery>(insert.source);
    CompiledQuery source = compileQuery(context, query, text, nullptr);
    if (insert.columns.empty()) {
        // Without a column list the selected columns go to the columns of the same name.
        for (const auto& c : source.columns) {
            const bool qualified = c.name.find('.') != std::string::npos;
            targets.push_back(targetColumn(
                table, qualified && !c.baseColumn.empty() ? c.baseColumn : c.name, taken));
        }
    } else if (source.columns.size() != targets.size()) {
        throw core::SqlError(std::string(messages::valueCountMismatch));
    }
    const bool readsTarget = reads(context, table.name);
    return std::make_unique<InsertStatement>(std::move(table), std::move(targets),
                                             std::move(source), readsTarget);
}

std::unique_ptr<PreparedStatement> prepareUpdate(CompileContext& context, const Update& update,
                                                 std::string_view text) {
    auto scope = std::make_unique<Scope>();
    FromPlanner from(context, *scope, text);
    from.addSource(*update.target);
    for (auto& s : scope->sources()) s.allColumns = !s.baseTable.empty();
    ExpressionBinder binder(context, *scope, text);
    from.bindConditions(binder);
    if (update.where) {
        binder.setAggregateMessage(messages::aggregateInWhere(binder.textOf(*update.where)));
        from.addCriterion(binder.bind(*update.where));
        binder.setAggregateMessage({});
    }
    std::vector<Assigned> assignments;
    std::vector<int> slotsRead;
    const auto& sources = scope->sources();
    for (const auto& a : update.assignments) {
        ResolvedColumn found;
        switch (scope->lookup(a.column.table, a.column.column, found)) {
        case Scope::Lookup::Ambiguous:
            throw core::SqlError(messages::ambiguousField(a.column.column));
        case Scope::Lookup::Missing:
            // Jet takes a name it cannot find for a parameter, which is never given here.
            throw core::SqlError(std::string(messages::missingParameters));
        case Scope::Lookup::Found:
            break;
        }
        if (found.source->baseTable.empty())
            throw core::SqlError("Operation must use an updateable query.");
        BoundPtr value = binder.bind(*a.value);
        value->columnsUsed(0, slotsRead);
        const auto source = static_cast<std::size_t>(found.source - sources.data());
        assignments.push_back({source, found.slot - found.source->slots.first, std::move(value)});
    }
    std::vector<const ScopeSource*> sourcePointers;
    std::vector<TableInfo> tables;
    for (const auto& s : sources) {
        sourcePointers.push_back(&s);
        tables.push_back(s.baseTable.empty() ? TableInfo{}
                                             : *context.storage.tableInfo(s.baseTable));
    }
    OperatorPtr rows = from.plan(std::move(slotsRead));
    return std::make_unique<Owning<UpdateStatement>>(std::move(scope), std::move(rows),
                                                     std::move(sourcePointers), std::move(tables),
                                                     std::move(assignments));
}

std::unique_ptr<PreparedStatement> prepareDelete(CompileContext& context, const Delete& del,
                                                 std::string_view text) {
    auto scope = std::make_unique<Scope>();
    FromPlanner from(context, *scope, text);
    from.addSources(del.from);
    auto& sources = scope->sources();
    ScopeSource* target = nullptr;
    for (const auto& t : del.targets) {
        if (t.kind == SelectItem::Kind::AllColumns && !t.table.empty()) {
            for (auto& s : sources)
                if (sameName(s.name, t.table)) target = &s;
            if (!target) throw core::SqlError(messages::unknownTable(t.table));
        } else if (const auto* ref =
                       t.kind == SelectItem::Kind::Expression ? t.expr->as<ColumnRef>() : nullptr;
                   ref && !ref->table.empty()) {
            for (auto& s : sources)
                if (sameName(s.name, ref->table)) target = &s;
        }
    }
    if (!target) {
        if (sources.size() != 1) throw core::SqlError(std::string(messages::deleteTarget));
        target = &sources[0];
    }
    if (target->baseTable.empty()) throw core::SqlError("Could not delete from specified tables.");
    target->allColumns = true;
    ExpressionBinder binder(context, *scope, text);
    from.bindConditions(binder);
    if (del.where) {
        binder.setAggregateMessage(messages::aggregateInWhere(binder.textOf(*del.where)));
        from.addCriterion(binder.bind(*del.where));
        binder.setAggregateMessage({});
    }
    TableInfo table = *context.storage.tableInfo(target->baseTable);
    OperatorPtr rows = from.plan({});
    return std::make_unique<Owning<DeleteStatement>>(std::move(scope), std::move(rows), *target,
                                                     std::move(table));
}

} // namespace sql
