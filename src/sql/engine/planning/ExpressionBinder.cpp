#include "sql/engine/planning/ExpressionBinder.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/BoundNodes.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/planning/SubqueryNodes.h"
#include "sql/engine/planning/TypeRules.h"
#include "sql/eval/FunctionRegistry.h"

#include <algorithm>

namespace sql {

namespace {

AggregateKind functionOf(const FunctionCall& call) {
    switch (call.aggregate) {
    case Aggregate::Count:
        return call.star ? AggregateKind::CountRows : AggregateKind::Count;
    case Aggregate::Sum:
        return AggregateKind::Sum;
    case Aggregate::Avg:
        return AggregateKind::Avg;
    case Aggregate::Min:
        return AggregateKind::Min;
    case Aggregate::Max:
        return AggregateKind::Max;
    case Aggregate::First:
        return AggregateKind::First;
    case Aggregate::Last:
        return AggregateKind::Last;
    case Aggregate::StDev:
        return AggregateKind::StDev;
    case Aggregate::StDevP:
        return AggregateKind::StDevP;
    case Aggregate::Var:
        return AggregateKind::Var;
    case Aggregate::VarP:
        return AggregateKind::VarP;
    case Aggregate::None:
        break;
    }
    return AggregateKind::CountRows;
}

bool sameText(std::string_view a, std::string_view b) {
    return sameName(a, b);
}

template <class F> bool anyNode(const Expr& e, F&& test) {
    if (test(e)) return true;
    auto sub = [&](const ExprPtr& p) { return p && anyNode(*p, test); };
    return std::visit(
        [&](const auto& n) -> bool {
            using T = std::decay_t<decltype(n)>;
            if constexpr (std::is_same_v<T, FunctionCall>) {
                return std::any_of(n.args.begin(), n.args.end(), sub);
            } else if constexpr (std::is_same_v<T, Unary>) {
                return sub(n.operand);
            } else if constexpr (std::is_same_v<T, Binary>) {
                return sub(n.left) || sub(n.right);
            } else if constexpr (std::is_same_v<T, Like>) {
                return sub(n.value) || sub(n.pattern);
            } else if constexpr (std::is_same_v<T, Between>) {
                return sub(n.value) || sub(n.low) || sub(n.high);
            } else if constexpr (std::is_same_v<T, InList>) {
                return sub(n.value) || std::any_of(n.items.begin(), n.items.end(), sub);
            } else if constexpr (std::is_same_v<T, InQuery>) {
                return sub(n.value);
            } else if constexpr (std::is_same_v<T, IsNull>) {
                return sub(n.value);
            } else {
                return false;
            }
        },
        e.node);
}

} // namespace

bool containsAggregate(const Expr& expr) {
    return anyNode(expr, [](const Expr& e) {
        const auto* f = e.as<FunctionCall>();
        return f && f->aggregate != Aggregate::None;
    });
}

bool containsSubquery(const Expr& expr) {
    return anyNode(expr, [](const Expr& e) {
        return e.as<InQuery>() || e.as<Exists>() || e.as<ScalarQuery>();
    });
}

ExpressionBinder::ExpressionBinder(CompileContext& context, Scope& scope, std::string_view text)
    : context_(context), scope_(scope), text_(text) {}

std::string_view ExpressionBinder::textOf(const Expr& expr) const {
    if (expr.offset >= text_.size() || expr.end < expr.offset) return {};
    return text_.substr(expr.offset, std::min(expr.end, text_.size()) - expr.offset);
}

void ExpressionBinder::setGrouping(Grouping* grouping) {
    grouping_ = grouping;
    scope_.setGrouped(grouping ? &grouping->view : nullptr);
}

BoundPtr ExpressionBinder::bind(const Expr& expr) {
    return grouping_ ? bindGrouped(expr) : bindRaw(expr);
}

BoundPtr ExpressionBinder::bindRaw(const Expr& expr) {
    Grouping* saved = grouping_;
    grouping_ = nullptr;
    struct Restore {
        ExpressionBinder& b;
        Grouping* g;
        ~Restore() { b.grouping_ = g; }
    } restore{*this, saved};
    return bindNode(expr);
}

BoundPtr ExpressionBinder::bindGrouped(const Expr& expr) {
    if (const auto* call = expr.as<FunctionCall>(); call && call->aggregate != Aggregate::None)
        return bindAggregate(expr, *call);
    if (!containsSubquery(expr)) {
        // Over raw rows first: an expression equal to a grouping expression, or one that
        // reads no column of the block, is fine as it is.
        BoundPtr raw;
        const bool wasProbing = probing_;
        probing_ = true;
        try {
            raw = bindRaw(expr);
        } catch (const AggregateProbe&) {
        }
        probing_ = wasProbing;
        if (raw) {
            const std::string fp = raw->fingerprint();
            const auto& fps = grouping_->fingerprints;
            if (auto it = std::find(fps.begin(), fps.end(), fp); it != fps.end())
                return std::make_unique<ColumnExpr>(0, static_cast<int>(it - fps.begin()),
                                                    raw->type());
            std::vector<int> slots;
            raw->columnsUsed(0, slots);
            if (slots.empty()) return raw;
            if (const auto* ref = expr.as<ColumnRef>(); ref && !aliasNamed(ref->column, false))
                throw core::SqlError(messages::notInAggregate(
                    groupErrorText_.empty() ? textOf(expr) : groupErrorText_));
        }
    }
    return bindNode(expr);
}

std::optional<std::size_t> ExpressionBinder::aliasNamed(std::string_view name,
                                                        bool beforeColumns) const {
    if (!items_) return std::nullopt;
    for (std::size_t i = 0; i < items_->size(); ++i) {
        const SelectItem& item = (*items_)[i];
        if (item.kind != SelectItem::Kind::Expression || item.alias.empty() ||
            !sameText(item.alias, name))
            continue;
        if (beforeColumns) {
            // "x AS x" names the column, not itself.
            const auto* ref = item.expr->as<ColumnRef>();
            if (ref && sameText(ref->column, name)) continue;
        }
        return i;
    }
    return std::nullopt;
}

BoundPtr ExpressionBinder::bindAlias(std::size_t item) {
    const SelectItem& it = (*items_)[item];
    if ((currentItem_ && *currentItem_ == item) ||
        std::find(expanding_.begin(), expanding_.end(), item) != expanding_.end())
        throw core::SqlError(messages::circularAlias(it.alias));
    expanding_.push_back(item);
    struct Pop {
        std::vector<std::size_t>& v;
        ~Pop() { v.pop_back(); }
    } pop{expanding_};
    return grouping_ ? bindGrouped(*it.expr) : bindNode(*it.expr);
}

BoundPtr ExpressionBinder::bindColumn(const Expr& expr, const ColumnRef& ref) {
    if (ref.table.empty() && currentItem_) {
        if (auto item = aliasNamed(ref.column, true)) return bindAlias(*item);
    }
    ResolvedColumn found;
    switch (scope_.lookup(ref.table, ref.column, found)) {
    case Scope::Lookup::Found:
        if (grouping_) {
            const auto& plain = grouping_->view.plainSlots;
            for (std::size_t i = 0; i < plain.size(); ++i)
                if (plain[i] && *plain[i] == found.slot)
                    return std::make_unique<ColumnExpr>(0, static_cast<int>(i), found.column->type);
            throw core::SqlError(
                messages::notInAggregate(groupErrorText_.empty() ? textOf(expr) : groupErrorText_));
        }
        return std::make_unique<ColumnExpr>(0, static_cast<int>(found.slot), found.column->type);
    case Scope::Lookup::Ambiguous:
        throw core::SqlError(messages::ambiguousField(ref.column));
    case Scope::Lookup::Missing:
        break;
    }
    const bool qualifierHere = !ref.table.empty() && scope_.hasQualifier(ref.table);
    if (ref.table.empty()) {
        if (auto item = aliasNamed(ref.column, false)) return bindAlias(*item);
    }
    if (!qualifierHere) {
        int depth = 1;
        for (Scope* s = scope_.outer(); s; s = s->outer(), ++depth) {
            auto lookup = s->lookup(ref.table, ref.column, found);
            if (lookup == Scope::Lookup::Ambiguous)
                throw core::SqlError(messages::ambiguousField(ref.column));
            if (lookup == Scope::Lookup::Found) {
                std::size_t slot = found.slot;
                if (const GroupedView* g = s->grouped()) {
                    auto it = std::find(g->plainSlots.begin(), g->plainSlots.end(),
                                        std::optional<std::size_t>(slot));
                    if (it == g->plainSlots.end())
                        throw core::SqlError(messages::notInAggregate(textOf(expr)));
                    slot = static_cast<std::size_t>(it - g->plainSlots.begin());
                }
                scope_.outerColumns().emplace_back(depth, static_cast<int>(slot));
                return std::make_unique<ColumnExpr>(depth, static_cast<int>(slot),
                                                    found.column->type);
            }
            if (!ref.table.empty() && s->hasQualifier(ref.table)) break;
        }
    }
    // Jet asks for any name it cannot find: it is a parameter.
    std::string name = ref.table.empty() ? ref.column : ref.table + "." + ref.column;
    return std::make_unique<ParameterExpr>(context_.parameters.named(name, expr.offset));
}

BoundPtr ExpressionBinder::bindAggregate(const Expr& expr, const FunctionCall& call) {
    if (!grouping_) {
        if (probing_) throw AggregateProbe{};
        throw core::SqlError(aggregateMessage_.empty()
                                 ? messages::aggregateInExpression(textOf(expr))
                                 : aggregateMessage_);
    }
    const AggregateKind function = functionOf(call);
    BoundPtr argument;
    if (!call.star) {
        if (call.args.size() != 1)
            throw core::SqlError("Wrong number of arguments used with function in query "
                                 "expression '" +
                                 std::string(textOf(expr)) + "'.");
        std::string savedMessage = std::move(aggregateMessage_);
        aggregateMessage_ = messages::aggregateInExpression(textOf(expr));
        const bool wasProbing = probing_;
        probing_ = false;
        try {
            argument = bindRaw(*call.args[0]);
        } catch (...) {
            aggregateMessage_ = std::move(savedMessage);
            probing_ = wasProbing;
            throw;
        }
        aggregateMessage_ = std::move(savedMessage);
        probing_ = wasProbing;
    }
    const core::DataType type =
        aggregateResultType(function, argument ? argument->type() : core::DataType::Null);
    std::string fp = std::to_string(static_cast<int>(function)) + ":" +
                     (argument ? argument->fingerprint() : std::string("*"));
    auto& fps = grouping_->callFingerprints;
    std::size_t index =
        static_cast<std::size_t>(std::find(fps.begin(), fps.end(), fp) - fps.begin());
    if (index == fps.size()) {
        fps.push_back(std::move(fp));
        grouping_->calls.push_back({function, std::move(argument)});
    }
    return std::make_unique<ColumnExpr>(0, static_cast<int>(grouping_->view.groupCount + index),
                                        type);
}

BoundPtr ExpressionBinder::bindFunction(const Expr& expr, const FunctionCall& call) {
    if (sameText(call.name, "IIf") && call.args.size() == 3) {
        auto c = bind(*call.args[0]);
        auto t = bind(*call.args[1]);
        auto f = bind(*call.args[2]);
        const core::DataType type = commonType(t->type(), f->type());
        return std::make_unique<IIfExpr>(std::move(c), std::move(t), std::move(f), type);
    }
    const FunctionInfo* info = findFunction(call.name);
    if (!info) throw core::SqlError(messages::undefinedFunction(call.name));
    if (call.args.size() < info->minArgs ||
        (info->maxArgs != FunctionInfo::anyCount && call.args.size() > info->maxArgs))
        throw core::SqlError("Wrong number of arguments used with function in query expression '" +
                             std::string(textOf(expr)) + "'.");
    BoundList args;
    std::vector<core::DataType> types;
    for (const auto& a : call.args) {
        args.push_back(bind(*a));
        types.push_back(args.back()->type());
    }
    return std::make_unique<FunctionExpr>(*info, std::move(args),
                                          functionResultType(call.name, types));
}

BoundPtr ExpressionBinder::bindSubquery(const Expr& expr) {
    const SelectQuery* query = nullptr;
    if (const auto* q = expr.as<InQuery>()) query = q->query.get();
    if (const auto* q = expr.as<Exists>()) query = q->query.get();
    if (const auto* q = expr.as<ScalarQuery>()) query = q->query.get();
    CompiledQuery compiled = compileQuery(context_, *query, text_, &scope_);
    if (!expr.as<Exists>() && compiled.columns.size() != 1)
        throw core::SqlError(std::string(messages::subqueryColumns));
    // What the subquery reads beyond this block is read by this block too.
    for (const auto& [depth, slot] : compiled.outerColumns)
        if (depth >= 2) scope_.outerColumns().emplace_back(depth - 1, slot);
    SubqueryPlan plan{std::move(compiled.root), compiled.outerColumns,
                      std::to_string(expr.offset) + ":" + std::string(textOf(expr))};
    if (const auto* in = expr.as<InQuery>()) {
        BoundPtr value = bind(*in->value);
        return std::make_unique<InSubqueryExpr>(std::move(value), std::move(plan), in->negated);
    }
    if (expr.as<Exists>()) return std::make_unique<ExistsExpr>(std::move(plan));
    return std::make_unique<ScalarSubqueryExpr>(std::move(plan), compiled.columns[0].type);
}

BoundPtr ExpressionBinder::bindNode(const Expr& expr) {
    return std::visit(
        [&](const auto& n) -> BoundPtr {
            using T = std::decay_t<decltype(n)>;
            if constexpr (std::is_same_v<T, Literal>) {
                return std::make_unique<ConstantExpr>(n.value);
            } else if constexpr (std::is_same_v<T, ColumnRef>) {
                return bindColumn(expr, n);
            } else if constexpr (std::is_same_v<T, Parameter>) {
                return std::make_unique<ParameterExpr>(
                    context_.parameters.marker(n.index, expr.offset));
            } else if constexpr (std::is_same_v<T, FunctionCall>) {
                if (n.aggregate != Aggregate::None) return bindAggregate(expr, n);
                return bindFunction(expr, n);
            } else if constexpr (std::is_same_v<T, Unary>) {
                auto operand = bind(*n.operand);
                const auto op = n.op;
                const auto type = unaryResultType(op, operand->type());
                return std::make_unique<UnaryExpr>(op, std::move(operand), type);
            } else if constexpr (std::is_same_v<T, Binary>) {
                auto left = bind(*n.left);
                auto right = bind(*n.right);
                const auto op = n.op;
                const auto type = binaryResultType(op, left->type(), right->type());
                return std::make_unique<BinaryExpr>(op, std::move(left), std::move(right), type);
            } else if constexpr (std::is_same_v<T, Like>) {
                auto value = bind(*n.value);
                auto pattern = bind(*n.pattern);
                return std::make_unique<LikeExpr>(std::move(value), std::move(pattern), n.negated,
                                                  context_.likeMode);
            } else if constexpr (std::is_same_v<T, Between>) {
                auto value = bind(*n.value);
                auto low = bind(*n.low);
                auto high = bind(*n.high);
                return std::make_unique<BetweenExpr>(std::move(value), std::move(low),
                                                     std::move(high), n.negated);
            } else if constexpr (std::is_same_v<T, InList>) {
                auto value = bind(*n.value);
                BoundList items;
                for (const auto& i : n.items) items.push_back(bind(*i));
                return std::make_unique<InListExpr>(std::move(value), std::move(items), n.negated);
            } else if constexpr (std::is_same_v<T, IsNull>) {
                return std::make_unique<IsNullExpr>(bind(*n.value), n.negated);
            } else {
                return bindSubquery(expr);
            }
        },
        expr.node);
}

} // namespace sql
