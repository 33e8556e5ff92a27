#include "sql/engine/planning/FromPlanner.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/execution/JoinOperators.h"
#include "sql/engine/execution/RowOperators.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/syntax/Parser.h"

#include <algorithm>
#include <map>

namespace sql {

namespace {

constexpr std::size_t maxSources = 64;

bool within(std::uint64_t mask, std::uint64_t set) {
    return mask != 0 && (mask & ~set) == 0;
}

// Whether equal values of the two kinds are found by equal sort keys, which is what a hash
// join and an index seek rely on. Text against numbers compares by reading the text as a
// number, so it must take the slow road.
bool keysComparable(core::DataType a, core::DataType b) {
    if (a == core::DataType::Null || b == core::DataType::Null) return false;
    return keyClass(a) == keyClass(b) && keyClass(a) != KeyClass::Null;
}

// The key class of an indexed column; nullopt for columns never sought.
std::optional<KeyClass> seekClass(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Text:
        return KeyClass::Text;
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
    case jet::ColumnType::Currency:
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
    case jet::ColumnType::Numeric:
        return KeyClass::Number;
    case jet::ColumnType::DateTime:
        return KeyClass::Date;
    default:
        return std::nullopt;
    }
}

} // namespace

FromPlanner::FromPlanner(CompileContext& context, Scope& scope, std::string_view text)
    : context_(context), scope_(scope), text_(text) {}

FromPlanner::~FromPlanner() = default;

void FromPlanner::addSources(const std::vector<TableRefPtr>& from) {
    for (const auto& ref : from) {
        auto node = addRef(*ref);
        if (!root_) {
            root_ = std::move(node);
            continue;
        }
        // A comma is a join without a condition; WHERE supplies the conditions.
        auto join = std::make_unique<Node>();
        join->type = JoinType::Inner;
        join->left = std::move(root_);
        join->right = std::move(node);
        root_ = std::move(join);
    }
    if (root_) finish(*root_);
}

void FromPlanner::addSource(const TableRef& ref) {
    root_ = addRef(ref);
    finish(*root_);
}

void FromPlanner::addLeaf(Node& node, ScopeSource source, Leaf leaf) {
    if (scope_.sources().size() >= maxSources) throw core::SqlError("Query is too complex.");
    node.leaf = true;
    node.source = scope_.sources().size();
    scope_.addSource(std::move(source));
    leaves_.push_back(std::move(leaf));
}

void FromPlanner::addQuery(Node& node, const SelectQuery& query, std::string_view text,
                           std::string name, bool saved) {
    // A query in FROM sees none of this block's sources, only the blocks around it; a saved
    // query sees nothing but its own sources. Either way its depth 1 is this block's depth 1.
    Leaf leaf;
    leaf.derived = compileQuery(context_, query, text, saved ? nullptr : scope_.outer());
    for (const auto& column : leaf.derived.outerColumns) scope_.outerColumns().push_back(column);
    ScopeSource source;
    source.name = std::move(name);
    for (const auto& c : leaf.derived.columns) source.columns.push_back({c.name, c.type, {}});
    addLeaf(node, std::move(source), std::move(leaf));
}

std::unique_ptr<FromPlanner::Node> FromPlanner::addRef(const TableRef& ref) {
    auto node = std::make_unique<Node>();
    if (const auto* named = ref.as<NamedTable>()) {
        if (auto info = context_.storage.tableInfo(named->name)) {
            ScopeSource source;
            source.name = named->alias.empty() ? info->name : named->alias;
            source.baseTable = info->name;
            for (const auto& c : info->columns)
                source.columns.push_back({c.name, jet::valueTypeOf(c.type), c});
            context_.tablesRead.push_back(info->name);
            Leaf leaf;
            leaf.table = std::move(info);
            addLeaf(*node, std::move(source), std::move(leaf));
            return node;
        }
        auto view = context_.storage.viewText(named->name);
        if (!view) throw core::SqlError(messages::unknownTable(named->name));
        auto& expanding = context_.viewsExpanding;
        if (std::any_of(expanding.begin(), expanding.end(),
                        [&](const std::string& v) { return sameName(v, named->name); }))
            throw core::SqlError("Circular reference caused by '" + named->name + "'.");
        viewTexts_.push_back(std::make_unique<std::string>(std::move(*view)));
        const std::string& text = *viewTexts_.back();
        Statement statement = parseStatement(text);
        const auto* query = statement.as<SelectQuery>();
        if (!query || !query->into.empty())
            throw core::SqlError("The action query '" + named->name +
                                 "' cannot be used as a row source.");
        context_.parameters.declare(statement.parameters);
        expanding.push_back(named->name);
        try {
            addQuery(*node, *query, text, named->alias.empty() ? named->name : named->alias, true);
        } catch (...) {
            expanding.pop_back();
            throw;
        }
        expanding.pop_back();
        return node;
    }
    if (const auto* derived = ref.as<DerivedTable>()) {
        std::string name = derived->alias;
        if (name.empty()) name = "%$##@_Alias";
        addQuery(*node, *derived->query, text_, std::move(name), false);
        return node;
    }
    const auto& join = std::get<Join>(ref.node);
    node->type = join.kind == JoinKind::Left    ? JoinType::Left
                 : join.kind == JoinKind::Right ? JoinType::Right
                                                : JoinType::Inner;
    node->left = addRef(*join.left);
    node->right = addRef(*join.right);
    node->on = join.condition.get();
    return node;
}

// Gives every node the sources, slots and locators under it (leaves are contiguous).
void FromPlanner::finish(Node& node) {
    if (node.leaf) {
        const ScopeSource& s = scope_.sources()[node.source];
        node.mask = std::uint64_t{1} << node.source;
        node.slots = s.slots;
        node.locators = s.locator ? SlotRange{*s.locator, 1} : SlotRange{0, 0};
        return;
    }
    finish(*node.left);
    finish(*node.right);
    node.mask = node.left->mask | node.right->mask;
    node.slots = {node.left->slots.first, node.left->slots.count + node.right->slots.count};
    const SlotRange& l = node.left->locators;
    const SlotRange& r = node.right->locators;
    if (l.count == 0)
        node.locators = r;
    else
        node.locators = {l.first, l.count + r.count};
}

std::vector<std::string> FromPlanner::baseTables() const {
    std::vector<std::string> names(scope_.locatorCount());
    for (const auto& s : scope_.sources())
        if (s.locator) names[*s.locator] = s.baseTable;
    return names;
}

std::uint64_t FromPlanner::maskOf(const BoundExpr& expr) const {
    std::vector<int> slots;
    expr.columnsUsed(0, slots);
    std::uint64_t mask = 0;
    for (int slot : slots) {
        const auto& sources = scope_.sources();
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const SlotRange& r = sources[i].slots;
            if (static_cast<std::size_t>(slot) >= r.first &&
                static_cast<std::size_t>(slot) < r.first + r.count)
                mask |= std::uint64_t{1} << i;
        }
    }
    return mask;
}

// Takes an And of truth values apart. An And of numbers is a bitwise And and stays whole.
void FromPlanner::split(BoundPtr expr, std::vector<Conjunct>& out) const {
    if (auto* b = dynamic_cast<BinaryExpr*>(expr.get());
        b && b->op() == BinaryOperator::And && b->type() == core::DataType::Boolean) {
        split(b->releaseLeft(), out);
        split(b->releaseRight(), out);
        return;
    }
    const std::uint64_t mask = maskOf(*expr);
    out.push_back({std::move(expr), mask});
}

void FromPlanner::bindNodeConditions(Node& node, ExpressionBinder& binder) {
    if (node.leaf) return;
    bindNodeConditions(*node.left, binder);
    bindNodeConditions(*node.right, binder);
    if (node.on) split(binder.bind(*node.on), node.onConjuncts);
}

void FromPlanner::bindConditions(ExpressionBinder& binder) {
    if (root_) bindNodeConditions(*root_, binder);
}

void FromPlanner::addCriterion(BoundPtr criterion) {
    split(std::move(criterion), criteria_);
}

OperatorPtr FromPlanner::plan(std::vector<int> slotsRead) {
    auto readBy = [&slotsRead](const std::vector<Conjunct>& list) {
        for (const auto& c : list) c.expr->columnsUsed(0, slotsRead);
    };
    readBy(criteria_);
    std::vector<Node*> stack;
    if (root_) stack.push_back(root_.get());
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        readBy(n->onConjuncts);
        if (!n->leaf) {
            stack.push_back(n->left.get());
            stack.push_back(n->right.get());
        }
    }
    slotRead_.assign(scope_.width(), false);
    for (int s : slotsRead)
        if (s >= 0 && static_cast<std::size_t>(s) < slotRead_.size()) slotRead_[s] = true;

    std::vector<Conjunct> top, pending;
    for (auto& c : criteria_) (c.mask == 0 ? top : pending).push_back(std::move(c));
    criteria_.clear();
    OperatorPtr op;
    if (root_)
        op = planNode(*root_, std::move(pending));
    else
        op = std::make_unique<SingleRow>();
    if (!top.empty()) {
        BoundList list;
        for (auto& c : top) list.push_back(std::move(c.expr));
        op = std::make_unique<Filter>(std::move(op), std::move(list));
    }
    return op;
}

OperatorPtr FromPlanner::planNode(Node& node, std::vector<Conjunct> applicable) {
    if (node.leaf) return planLeaf(node.source, std::move(applicable));
    const std::uint64_t L = node.left->mask, R = node.right->mask;
    std::vector<Conjunct> toLeft, toRight, joinConditions, after;
    switch (node.type) {
    case JoinType::Inner:
        for (auto* list : {&applicable, &node.onConjuncts})
            for (auto& c : *list) {
                if (within(c.mask, L))
                    toLeft.push_back(std::move(c));
                else if (within(c.mask, R))
                    toRight.push_back(std::move(c));
                else
                    joinConditions.push_back(std::move(c));
            }
        break;
    case JoinType::Left:
    case JoinType::Right: {
        // Criteria on the side that keeps its rows can go below the join; on the other side
        // only the ON conditions can (they decide matches, not which rows come out).
        const bool left = node.type == JoinType::Left;
        const std::uint64_t kept = left ? L : R, other = left ? R : L;
        auto& keptList = left ? toLeft : toRight;
        auto& otherList = left ? toRight : toLeft;
        for (auto& c : applicable)
            (within(c.mask, kept) ? keptList : after).push_back(std::move(c));
        for (auto& c : node.onConjuncts)
            (within(c.mask, other) ? otherList : joinConditions).push_back(std::move(c));
        break;
    }
    }
    node.onConjuncts.clear();
    OperatorPtr leftOp = planNode(*node.left, std::move(toLeft));
    OperatorPtr rightOp = planNode(*node.right, std::move(toRight));
    const JoinShape shape{node.type, node.right->slots, node.right->locators};

    BoundList leftKeys, rightKeys, residual;
    for (auto& c : joinConditions) {
        auto* b = dynamic_cast<BinaryExpr*>(c.expr.get());
        if (b && b->op() == BinaryOperator::Equal && !b->isVolatile() &&
            keysComparable(b->left().type(), b->right().type())) {
            const std::uint64_t a = maskOf(b->left()), z = maskOf(b->right());
            if (within(a, L) && within(z, R)) {
                leftKeys.push_back(b->releaseLeft());
                rightKeys.push_back(b->releaseRight());
                continue;
            }
            if (within(a, R) && within(z, L)) {
                rightKeys.push_back(b->releaseLeft());
                leftKeys.push_back(b->releaseRight());
                continue;
            }
        }
        residual.push_back(std::move(c.expr));
    }
    OperatorPtr op;
    if (leftKeys.empty())
        op = std::make_unique<NestedLoopJoin>(std::move(leftOp), std::move(rightOp),
                                              std::move(residual), shape);
    else
        op = std::make_unique<HashJoin>(std::move(leftOp), std::move(rightOp), std::move(leftKeys),
                                        std::move(rightKeys), std::move(residual), shape);
    if (!after.empty()) {
        BoundList list;
        for (auto& c : after) list.push_back(std::move(c.expr));
        op = std::make_unique<Filter>(std::move(op), std::move(list));
    }
    return op;
}

OperatorPtr FromPlanner::planLeaf(std::size_t sourceIndex, std::vector<Conjunct> applicable) {
    const ScopeSource& source = scope_.sources()[sourceIndex];
    Leaf& leaf = leaves_[sourceIndex];
    OperatorPtr op;
    if (leaf.table) {
        std::vector<ScanColumn> columns;
        for (std::size_t i = 0; i < source.columns.size(); ++i) {
            const std::size_t slot = source.slots.first + i;
            if (source.allColumns || slotRead_[slot]) columns.push_back({i, slot});
        }
        auto seek = chooseSeek(sourceIndex, applicable);
        BoundList criteria;
        for (auto& c : applicable) criteria.push_back(std::move(c.expr));
        applicable.clear();
        op = std::make_unique<TableScan>(
            leaf.table->name, scope_.width(), std::move(columns), scope_.locatorCount(),
            source.locator.value_or(scope_.locatorCount()), std::move(seek), std::move(criteria));
    } else {
        op = std::make_unique<SubqueryScan>(std::move(leaf.derived.root), source.columns.size(),
                                            scope_.width(), source.slots.first,
                                            scope_.locatorCount());
    }
    if (!applicable.empty()) {
        BoundList list;
        for (auto& c : applicable) list.push_back(std::move(c.expr));
        op = std::make_unique<Filter>(std::move(op), std::move(list));
    }
    return op;
}

std::optional<SeekPlan> FromPlanner::chooseSeek(std::size_t sourceIndex,
                                                const std::vector<Conjunct>& criteria) const {
    const ScopeSource& source = scope_.sources()[sourceIndex];
    const auto& table = leaves_[sourceIndex].table;
    if (!table || table->indexes.empty()) return std::nullopt;

    struct Bounds {
        const BoundExpr* equal = nullptr;
        const BoundExpr* low = nullptr;
        const BoundExpr* high = nullptr;
        bool lowInclusive = true, highInclusive = true;
    };
    std::map<std::size_t, Bounds> byColumn;
    auto columnOf = [&](const BoundExpr& e) -> std::optional<std::size_t> {
        const auto* c = dynamic_cast<const ColumnExpr*>(&e);
        if (!c || c->depth() != 0) return std::nullopt;
        const auto slot = static_cast<std::size_t>(c->slot());
        if (slot < source.slots.first || slot >= source.slots.first + source.slots.count)
            return std::nullopt;
        return slot - source.slots.first;
    };
    // A key must not read the row it looks for.
    auto pure = [](const BoundExpr& e) {
        std::vector<int> slots;
        e.columnsUsed(0, slots);
        return slots.empty() && !e.isVolatile();
    };
    auto record = [&](std::size_t column, BinaryOperator op, const BoundExpr& key) {
        auto cls = seekClass(table->columns[column].type);
        if (!cls) return;
        const core::DataType t = key.type();
        const bool fits = t == core::DataType::Null
                              ? *cls != KeyClass::Text
                              : keyClass(t) == *cls ||
                                    (*cls == KeyClass::Date && keyClass(t) == KeyClass::Number);
        if (!fits) return;
        Bounds& b = byColumn[column];
        switch (op) {
        case BinaryOperator::Equal:
            b.equal = &key;
            break;
        case BinaryOperator::Greater:
        case BinaryOperator::GreaterEqual:
            b.low = &key;
            b.lowInclusive = op == BinaryOperator::GreaterEqual;
            break;
        case BinaryOperator::Less:
        case BinaryOperator::LessEqual:
            b.high = &key;
            b.highInclusive = op == BinaryOperator::LessEqual;
            break;
        default:
            break;
        }
    };
    for (const auto& c : criteria) {
        if (const auto* b = dynamic_cast<const BinaryExpr*>(c.expr.get())) {
            const auto op = b->op();
            if (op != BinaryOperator::Equal && op != BinaryOperator::Less &&
                op != BinaryOperator::LessEqual && op != BinaryOperator::Greater &&
                op != BinaryOperator::GreaterEqual)
                continue;
            if (auto col = columnOf(b->left()); col && pure(b->right()))
                record(*col, op, b->right());
            else if (auto col2 = columnOf(b->right()); col2 && pure(b->left()))
                record(*col2, flipped(op), b->left());
        } else if (const auto* w = dynamic_cast<const BetweenExpr*>(c.expr.get());
                   w && !w->negated()) {
            if (auto col = columnOf(w->value()); col && pure(w->low()) && pure(w->high())) {
                record(*col, BinaryOperator::GreaterEqual, w->low());
                record(*col, BinaryOperator::LessEqual, w->high());
            }
        }
    }
    if (byColumn.empty()) return std::nullopt;

    const IndexInfo* best = nullptr;
    std::size_t bestEqual = 0;
    int bestScore = 0;
    for (const auto& index : table->indexes) {
        std::size_t equal = 0;
        bool range = false;
        for (const auto& key : index.columns) {
            auto col = table->findColumn(key.name);
            if (!col) break;
            auto it = byColumn.find(*col);
            if (it == byColumn.end()) break;
            if (it->second.equal) {
                ++equal;
                continue;
            }
            range = it->second.low || it->second.high;
            break;
        }
        int score = static_cast<int>(equal) * 4 + (range ? 2 : 0) +
                    ((index.unique || index.primary) && equal == index.columns.size() ? 1 : 0);
        if (score > bestScore) {
            best = &index;
            bestScore = score;
            bestEqual = equal;
        }
    }
    if (!best || bestScore < 2) return std::nullopt;

    SeekPlan plan;
    plan.index = best->name;
    for (const auto& key : best->columns)
        plan.keyColumns.push_back(table->columns[*table->findColumn(key.name)]);
    for (std::size_t i = 0; i < bestEqual; ++i) {
        auto copy = byColumn[*table->findColumn(best->columns[i].name)].equal->clone();
        if (!copy) return std::nullopt;
        plan.equal.push_back(std::move(copy));
    }
    if (bestEqual < best->columns.size()) {
        auto it = byColumn.find(*table->findColumn(best->columns[bestEqual].name));
        if (it != byColumn.end()) {
            if (it->second.low) {
                plan.low = it->second.low->clone();
                if (!plan.low) return std::nullopt;
                plan.lowInclusive = it->second.lowInclusive;
            }
            if (it->second.high) {
                plan.high = it->second.high->clone();
                if (!plan.high) return std::nullopt;
                plan.highInclusive = it->second.highInclusive;
            }
        }
    }
    plan.keyColumns.resize(bestEqual + (plan.low || plan.high ? 1 : 0));
    return plan;
}

} // namespace sql
