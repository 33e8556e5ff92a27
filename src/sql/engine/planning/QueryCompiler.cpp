#include "sql/engine/planning/QueryCompiler.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/execution/AggregateOperator.h"
#include "sql/engine/execution/IndexOrderScan.h"
#include "sql/engine/execution/LocatorSort.h"
#include "sql/engine/execution/OrderOperators.h"
#include "sql/engine/execution/RowOperators.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/engine/planning/ExpressionBinder.h"
#include "sql/engine/planning/FromPlanner.h"
#include "sql/engine/planning/TypeRules.h"
#include "sql/engine/storage/ColumnValues.h"

#include <algorithm>
#include <map>

namespace sql {

namespace {

// One column of a block's select list once * is expanded.
struct Output {
    const Expr* expr = nullptr;      // null for a column that * stands for
    std::optional<std::size_t> item; // the select-list item it comes from (expressions)
    std::string alias;
    const ScopeSource* source = nullptr; // * columns and plain columns
    const ScopeColumn* column = nullptr;
    BoundPtr bound;
    bool extra = false; // asked for by a crosstab, beside the select list
};

std::optional<std::int32_t> ordinalOf(const Expr& e) {
    if (const auto* lit = e.as<Literal>())
        if (const auto* v = lit->value.getIf<std::int32_t>()) return *v;
    return std::nullopt;
}

// The source and column a plain column expression of this block reads, if it is one.
void plainColumn(const BoundExpr& bound, const Scope& scope, const ScopeSource*& source,
                 const ScopeColumn*& column) {
    const auto* c = dynamic_cast<const ColumnExpr*>(&bound);
    if (!c || c->depth() != 0) return;
    const auto slot = static_cast<std::size_t>(c->slot());
    for (const auto& s : scope.sources())
        if (slot >= s.slots.first && slot < s.slots.first + s.slots.count) {
            source = &s;
            column = &s.columns[slot - s.slots.first];
        }
}

ResultColumn expressionColumn(std::string name, core::DataType type) {
    ResultColumn rc;
    rc.name = std::move(name);
    rc.type = type;
    rc.columnType = columnTypeFor(type);
    rc.size = rc.columnType == jet::ColumnType::Text ? 255 : fixedSize(rc.columnType);
    return rc;
}

class BlockCompiler {
public:
    BlockCompiler(CompileContext& context, const SelectBlock& block, std::string_view text,
                  Scope* outer, const std::vector<OrderItem>* orderBy, BlockExtras extras = {})
        : context_(context), block_(block), text_(text), orderBy_(orderBy),
          extras_(std::move(extras)), scope_(outer), from_(context, scope_, text),
          binder_(context, scope_, text) {}

    CompiledQuery compile();

private:
    bool isGrouped() const;
    void expandItems();
    void bindOutputs();
    void bindOrderBy();
    void nameColumns(CompiledQuery& out, bool updatable);
    std::vector<std::size_t> distinctRowTables() const;
    struct IndexWalk {
        std::string index;
        bool backwards = false;
    };
    std::optional<IndexWalk> indexForOrder(const std::vector<SortColumn>& keys) const;
    std::optional<LocatorRowShape> locatorSortShape(const std::vector<int>& slotsRead,
                                                    std::vector<SortColumn>& keys) const;

    CompileContext& context_;
    const SelectBlock& block_;
    std::string_view text_;
    const std::vector<OrderItem>* orderBy_;
    BlockExtras extras_;
    Scope scope_;
    FromPlanner from_;
    ExpressionBinder binder_;
    std::vector<Output> outputs_;
    BoundList hidden_; // ORDER BY values that are not selected
    std::vector<SortColumn> sortColumns_;
    bool grouped_ = false;
    Grouping grouping_;
    BoundList groupBy_;
    BoundPtr having_;
};

bool BlockCompiler::isGrouped() const {
    if (!block_.groupBy.empty() || block_.having || extras_.grouped || extras_.groupBy) return true;
    for (const auto& item : block_.items)
        if (item.kind == SelectItem::Kind::Expression && containsAggregate(*item.expr)) return true;
    if (orderBy_)
        for (const auto& o : *orderBy_)
            if (containsAggregate(*o.expr)) return true;
    return false;
}

void BlockCompiler::expandItems() {
    for (std::size_t i = 0; i < (extras_.outputsOnly ? 0 : block_.items.size()); ++i) {
        const SelectItem& item = block_.items[i];
        if (item.kind == SelectItem::Kind::Expression) {
            Output o;
            o.expr = item.expr.get();
            o.item = i;
            o.alias = item.alias;
            outputs_.push_back(std::move(o));
            continue;
        }
        if (grouped_) throw core::SqlError(std::string(messages::groupOnStar));
        if (scope_.sources().empty())
            throw core::SqlError("Query input must contain at least one table or query.");
        bool found = false;
        for (const auto& s : scope_.sources()) {
            if (!item.table.empty() && !sameName(s.name, item.table)) continue;
            found = true;
            for (std::size_t c = 0; c < s.columns.size(); ++c) {
                Output o;
                o.source = &s;
                o.column = &s.columns[c];
                o.bound = std::make_unique<ColumnExpr>(0, static_cast<int>(s.slots.first + c),
                                                       s.columns[c].type);
                outputs_.push_back(std::move(o));
            }
        }
        if (!found) throw core::SqlError(messages::unknownTable(item.table));
    }
    for (const Expr* e : extras_.outputs) {
        Output o;
        o.expr = e;
        o.extra = true;
        outputs_.push_back(std::move(o));
    }
}

void BlockCompiler::bindOutputs() {
    for (auto& o : outputs_) {
        if (!o.expr) continue;
        binder_.setCurrentItem(o.item);
        binder_.setGroupErrorText(grouped_ && !containsAggregate(*o.expr)
                                      ? std::string(binder_.textOf(*o.expr))
                                      : std::string());
        o.bound = binder_.bind(*o.expr);
        binder_.setCurrentItem(std::nullopt);
        binder_.setGroupErrorText({});
        if (!grouped_) plainColumn(*o.bound, scope_, o.source, o.column);
    }
    if (grouped_) {
        // A plain grouping column selected as itself still names and types the column.
        for (auto& o : outputs_) {
            const auto* c = dynamic_cast<const ColumnExpr*>(o.bound.get());
            if (!c || c->depth() != 0) continue;
            const auto i = static_cast<std::size_t>(c->slot());
            if (i < grouping_.view.plainSlots.size() && grouping_.view.plainSlots[i]) {
                for (const auto& s : scope_.sources()) {
                    const std::size_t slot = *grouping_.view.plainSlots[i];
                    if (slot >= s.slots.first && slot < s.slots.first + s.slots.count && o.expr &&
                        o.expr->as<ColumnRef>()) {
                        o.source = &s;
                        o.column = &s.columns[slot - s.slots.first];
                    }
                }
            }
        }
    }
}

void BlockCompiler::bindOrderBy() {
    if (!orderBy_) return;
    const bool distinct = block_.quantifier == SetQuantifier::Distinct;
    for (const auto& item : *orderBy_) {
        const Expr& e = *item.expr;
        std::optional<std::size_t> target;
        if (auto ordinal = ordinalOf(e)) {
            // A number is the position of a selected column; beyond them it is a constant,
            // which orders nothing.
            if (*ordinal >= 1 && static_cast<std::size_t>(*ordinal) <= outputs_.size())
                target = static_cast<std::size_t>(*ordinal - 1);
            else
                continue;
        } else if (const auto* ref = e.as<ColumnRef>(); ref && ref->table.empty()) {
            for (std::size_t i = 0; i < outputs_.size(); ++i)
                if (!outputs_[i].alias.empty() && sameName(outputs_[i].alias, ref->column)) {
                    target = i;
                    break;
                }
        }
        if (!target) {
            binder_.setGroupErrorText({});
            BoundPtr bound = binder_.bind(e);
            const std::string fp = bound->fingerprint();
            for (std::size_t i = 0; i < outputs_.size(); ++i)
                if (outputs_[i].bound->fingerprint() == fp) {
                    target = i;
                    break;
                }
            if (!target) {
                if (distinct)
                    throw core::SqlError(messages::orderByConflictsWithDistinct(binder_.textOf(e)));
                hidden_.push_back(std::move(bound));
                target = outputs_.size() + hidden_.size() - 1;
            }
        }
        sortColumns_.push_back({*target, item.descending});
    }
}

void BlockCompiler::nameColumns(CompiledQuery& out, bool updatable) {
    std::map<std::string, int> plainNames; // by upper-case name: how many plain columns
    auto key = [](const std::string& s) {
        std::string k = s;
        for (auto& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return k;
    };
    for (const auto& o : outputs_)
        if (o.alias.empty() && o.column && !o.extra) ++plainNames[key(o.column->name)];
    std::map<std::string, int> aliases;
    for (const auto& o : outputs_)
        if (!o.alias.empty() && ++aliases[key(o.alias)] > 1)
            throw core::SqlError(messages::duplicateAlias(o.alias));

    int nextExpression = 1000;
    for (const auto& o : outputs_) {
        ResultColumn rc;
        if (o.column) {
            rc = expressionColumn(o.column->name, o.column->type);
            if (o.alias.empty() && plainNames[key(o.column->name)] > 1)
                rc.name = o.source->name + "." + o.column->name;
            if (o.column->info && !o.source->baseTable.empty()) {
                const ColumnInfo& info = *o.column->info;
                rc.columnType = info.type;
                rc.size = info.size;
                rc.precision = info.precision;
                rc.scale = info.scale;
                rc.required = info.required;
                rc.autoNumber = info.autoNumber;
                rc.baseTable = o.source->baseTable;
                rc.baseColumn = info.name;
                if (updatable && o.source->locator) {
                    rc.baseTableIndex = static_cast<int>(*o.source->locator);
                    rc.readOnly = info.autoNumber;
                }
            }
            if (!o.alias.empty()) rc.name = o.alias;
        } else {
            rc = expressionColumn(o.alias.empty() ? "Expr" + std::to_string(nextExpression++)
                                                  : o.alias,
                                  o.bound->type());
        }
        out.columns.push_back(std::move(rc));
        out.fingerprints.push_back(o.bound->fingerprint());
    }
}

// The base tables whose rows DISTINCTROW tells apart: those whose fields are selected, when
// the block also reads tables whose fields are not. Empty when DISTINCTROW changes nothing:
// one table, fields of every table, or a selected source that is not a base table.
std::vector<std::size_t> BlockCompiler::distinctRowTables() const {
    if (block_.quantifier != SetQuantifier::DistinctRow || grouped_) return {};
    std::vector<int> slots;
    for (const auto& o : outputs_) o.bound->columnsUsed(0, slots);
    std::vector<std::size_t> selected;
    bool someUnselected = false;
    for (const auto& s : scope_.sources()) {
        const bool used = std::any_of(slots.begin(), slots.end(), [&](int slot) {
            const auto i = static_cast<std::size_t>(slot);
            return i >= s.slots.first && i < s.slots.first + s.slots.count;
        });
        if (!used) {
            someUnselected = someUnselected || s.locator.has_value();
            continue;
        }
        if (!s.locator) return {};
        selected.push_back(*s.locator);
    }
    if (!someUnselected || selected.empty()) return {};
    return selected;
}

// When the block orders the rows of one base table by its plain columns: the shape of the
// rows a sort by locators reads back, and the sort's keys as slots of the table's row. The
// sort then holds keys and locators instead of whole rows.
std::optional<LocatorRowShape>
BlockCompiler::locatorSortShape(const std::vector<int>& slotsRead,
                                std::vector<SortColumn>& keys) const {
    if (sortColumns_.empty() || grouped_ || extras_.outputsOnly ||
        block_.quantifier == SetQuantifier::Distinct || !distinctRowTables().empty() ||
        scope_.sources().size() != 1)
        return std::nullopt;
    const ScopeSource& source = scope_.sources().front();
    if (!source.locator || source.baseTable.empty() || source.allColumns) return std::nullopt;
    keys.clear();
    for (const auto& s : sortColumns_) {
        const BoundExpr& e = s.index < outputs_.size() ? *outputs_[s.index].bound
                                                       : *hidden_[s.index - outputs_.size()];
        const auto* c = dynamic_cast<const ColumnExpr*>(&e);
        if (!c || c->depth() != 0) return std::nullopt;
        keys.push_back({static_cast<std::size_t>(c->slot()), s.descending});
    }
    LocatorRowShape shape;
    shape.table = source.baseTable;
    shape.width = scope_.width();
    shape.locatorCount = scope_.locatorCount();
    shape.locatorIndex = *source.locator;
    for (std::size_t i = 0; i < source.columns.size(); ++i) {
        const std::size_t slot = source.slots.first + i;
        if (std::find(slotsRead.begin(), slotsRead.end(), static_cast<int>(slot)) !=
            slotsRead.end())
            shape.columns.push_back({i, slot});
    }
    return shape;
}

// An index of the block's one table whose columns are exactly the ORDER BY columns (`keys`,
// slots of the table's row), each in the ORDER BY direction or each in the other one. Only
// for a block without criteria: with them, reading the few rows that pass and sorting them
// beats reading every row in index order.
std::optional<BlockCompiler::IndexWalk>
BlockCompiler::indexForOrder(const std::vector<SortColumn>& keys) const {
    if (block_.where) return std::nullopt;
    const ScopeSource& source = scope_.sources().front();
    const auto table = context_.storage.tableInfo(source.baseTable);
    if (!table) return std::nullopt;
    for (const auto& index : table->indexes) {
        if (index.ignoreNulls || index.columns.size() != keys.size()) continue;
        std::optional<bool> backwards;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const ScopeColumn& column = source.columns[keys[i].index - source.slots.first];
            const bool reversed = keys[i].descending != index.columns[i].descending;
            if (!column.info || !sameName(column.info->name, index.columns[i].name) ||
                !indexOrdersLikeSort(column.info->type) || (backwards && *backwards != reversed)) {
                backwards.reset();
                break;
            }
            backwards = reversed;
        }
        if (backwards) return IndexWalk{index.name, *backwards};
    }
    return std::nullopt;
}

CompiledQuery BlockCompiler::compile() {
    from_.addSources(block_.from);
    binder_.setSelectList(&block_.items);
    from_.bindConditions(binder_);
    if (block_.where) {
        binder_.setAggregateMessage(messages::aggregateInWhere(binder_.textOf(*block_.where)));
        from_.addCriterion(binder_.bind(*block_.where));
        binder_.setAggregateMessage({});
    }
    grouped_ = isGrouped();
    expandItems();

    std::vector<int> slotsRead;
    if (grouped_) {
        std::vector<const Expr*> keys;
        for (const auto& g : block_.groupBy) keys.push_back(g.get());
        if (extras_.groupBy) keys.push_back(extras_.groupBy);
        for (const Expr* g : keys) {
            binder_.setAggregateMessage(messages::aggregateInGroupBy(binder_.textOf(*g)));
            BoundPtr b = binder_.bind(*g);
            binder_.setAggregateMessage({});
            grouping_.fingerprints.push_back(b->fingerprint());
            grouping_.types.push_back(b->type());
            const auto* c = dynamic_cast<const ColumnExpr*>(b.get());
            grouping_.view.plainSlots.push_back(
                c && c->depth() == 0 ? std::optional<std::size_t>(c->slot()) : std::nullopt);
            groupBy_.push_back(std::move(b));
        }
        grouping_.view.groupCount = groupBy_.size();
        binder_.setGrouping(&grouping_);
        bindOutputs();
        if (block_.having && !extras_.outputsOnly) having_ = binder_.bind(*block_.having);
        bindOrderBy();
        binder_.setGrouping(nullptr);
        for (const auto& g : groupBy_) g->columnsUsed(0, slotsRead);
        for (const auto& call : grouping_.calls)
            if (call.argument) call.argument->columnsUsed(0, slotsRead);
    } else {
        bindOutputs();
        bindOrderBy();
        for (const auto& o : outputs_) o.bound->columnsUsed(0, slotsRead);
        for (const auto& h : hidden_) h->columnsUsed(0, slotsRead);
    }

    CompiledQuery out;
    const bool updatable =
        !grouped_ && block_.quantifier != SetQuantifier::Distinct && scope_.locatorCount() > 0;
    nameColumns(out, updatable);
    if (updatable) out.baseTables = from_.baseTables();

    std::vector<SortColumn> locatorKeys;
    std::optional<LocatorRowShape> byLocator = locatorSortShape(slotsRead, locatorKeys);
    OperatorPtr op;
    if (byLocator) {
        std::vector<int> keySlots;
        for (const auto& k : locatorKeys) keySlots.push_back(static_cast<int>(k.index));
        const auto walk = indexForOrder(locatorKeys);
        LocatorRowShape shape = *byLocator;
        op = std::make_unique<LocatorSort>(from_.plan(std::move(keySlots)), std::move(locatorKeys),
                                           std::move(*byLocator));
        if (walk)
            op = std::make_unique<IndexOrderScan>(walk->index, walk->backwards, std::move(shape),
                                                  std::move(op));
    } else {
        op = from_.plan(std::move(slotsRead));
    }
    if (grouped_) {
        op = std::make_unique<GroupAggregate>(std::move(op), std::move(groupBy_),
                                              std::move(grouping_.calls));
        if (having_) {
            BoundList criteria;
            criteria.push_back(std::move(having_));
            op = std::make_unique<Filter>(std::move(op), std::move(criteria));
        }
    }
    const std::vector<std::size_t> distinctRows = distinctRowTables();
    BoundList projected;
    for (auto& o : outputs_) projected.push_back(std::move(o.bound));
    for (auto& h : hidden_) projected.push_back(std::move(h));
    op = std::make_unique<Project>(std::move(op), std::move(projected), updatable);
    if (!distinctRows.empty()) op = std::make_unique<DistinctRows>(std::move(op), distinctRows);
    if (block_.quantifier == SetQuantifier::Distinct && !extras_.outputsOnly)
        op = std::make_unique<Distinct>(std::move(op), out.columns.size());
    std::vector<std::size_t> ties;
    if (!sortColumns_.empty()) {
        for (const auto& s : sortColumns_) ties.push_back(s.index);
        if (!byLocator) op = std::make_unique<Sort>(std::move(op), sortColumns_);
    }
    if (block_.top && !extras_.outputsOnly)
        op = std::make_unique<TopRows>(std::move(op), block_.top->count, block_.top->percent,
                                       std::move(ties));
    out.root = std::move(op);
    out.outerColumns = scope_.outerColumns();
    return out;
}

CompiledQuery compileUnion(CompileContext& context, const SelectQuery& query, std::string_view text,
                           Scope* outer) {
    CompiledQuery out = BlockCompiler(context, query.first, text, outer, nullptr).compile();
    out.baseTables.clear();
    for (auto& c : out.columns) {
        c.readOnly = true;
        c.baseTableIndex = -1;
    }
    OperatorPtr op = std::move(out.root);
    for (const auto& part : query.unions) {
        CompiledQuery next = BlockCompiler(context, part.block, text, outer, nullptr).compile();
        if (next.columns.size() != out.columns.size())
            throw core::SqlError(std::string(messages::unionColumnCount));
        for (std::size_t i = 0; i < out.columns.size(); ++i) {
            auto& c = out.columns[i];
            if (c.type != next.columns[i].type) {
                c.type = commonType(c.type, next.columns[i].type);
                c.columnType = columnTypeFor(c.type);
            }
            if (c.baseTable != next.columns[i].baseTable ||
                c.baseColumn != next.columns[i].baseColumn)
                c.baseTable.clear(), c.baseColumn.clear();
        }
        out.outerColumns.insert(out.outerColumns.end(), next.outerColumns.begin(),
                                next.outerColumns.end());
        std::vector<OperatorPtr> inputs;
        inputs.push_back(std::move(op));
        inputs.push_back(std::move(next.root));
        op = std::make_unique<Concatenate>(std::move(inputs));
        if (!part.all) op = std::make_unique<Distinct>(std::move(op), out.columns.size());
    }
    std::vector<SortColumn> sort;
    for (const auto& item : query.orderBy) {
        const Expr& e = *item.expr;
        const std::string_view written = text.substr(e.offset, e.end - e.offset);
        std::optional<std::size_t> target;
        if (auto ordinal = ordinalOf(e)) {
            if (*ordinal >= 1 && static_cast<std::size_t>(*ordinal) <= out.columns.size())
                target = static_cast<std::size_t>(*ordinal - 1);
        } else if (const auto* ref = e.as<ColumnRef>()) {
            for (std::size_t i = 0; i < out.columns.size() && !target; ++i) {
                const auto& c = out.columns[i];
                if (sameName(c.name, ref->column) ||
                    (!ref->table.empty() && sameName(c.name, ref->table + "." + ref->column)) ||
                    (!c.baseColumn.empty() && sameName(c.baseColumn, ref->column)))
                    target = i;
            }
        }
        if (!target) throw core::SqlError(messages::unionOrderBy(written));
        sort.push_back({*target, item.descending});
    }
    if (!sort.empty()) op = std::make_unique<Sort>(std::move(op), std::move(sort));
    out.root = std::move(op);
    return out;
}

} // namespace

CompiledQuery compileBlock(CompileContext& context, const SelectBlock& block, std::string_view text,
                           Scope* outer, const std::vector<OrderItem>* orderBy,
                           const BlockExtras& extras) {
    return BlockCompiler(context, block, text, outer, orderBy, extras).compile();
}

CompiledQuery compileQuery(CompileContext& context, const SelectQuery& query, std::string_view text,
                           Scope* outer) {
    if (query.crosstab) return compileCrosstab(context, query, text, outer);
    if (!query.unions.empty()) return compileUnion(context, query, text, outer);
    return BlockCompiler(context, query.first, text, outer, &query.orderBy).compile();
}

} // namespace sql
