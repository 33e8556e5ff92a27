#include "sql/engine/planning/SubqueryNodes.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Logic.h"

namespace sql {

void SubqueryExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    for (const auto& [d, slot] : plan_.outerColumns)
        if (d - 1 == depth) slots.push_back(slot);
}

std::vector<core::Value> SubqueryExpr::firstValues(const Runtime& rt, const Frame& frame,
                                                   std::size_t limit) const {
    plan_.root->open(rt, &frame);
    std::vector<core::Value> out;
    ResultRow row;
    while ((limit == 0 || out.size() < limit) && plan_.root->next(row))
        out.push_back(row.values.empty() ? core::Value() : std::move(row.values[0]));
    return out;
}

core::Value ExistsExpr::eval(const Runtime& rt, const Frame& frame) const {
    if (!correlated() && cached_) return core::Value(*cached_);
    bool any = !firstValues(rt, frame, 1).empty();
    if (!correlated()) cached_ = any;
    return core::Value(any);
}

core::Value ScalarSubqueryExpr::eval(const Runtime& rt, const Frame& frame) const {
    if (!correlated() && cached_) return *cached_;
    auto values = firstValues(rt, frame, 2);
    if (values.size() > 1) throw core::SqlError(std::string(messages::subqueryRows));
    core::Value v = values.empty() ? core::Value() : std::move(values[0]);
    if (!correlated()) cached_ = v;
    return v;
}

core::Value InSubqueryExpr::match(const core::Value& v,
                                  const std::vector<core::Value>& values) const {
    core::Value result(false);
    for (const auto& item : values) {
        result = logicalOr(result, compareWith(BinaryOperator::Equal, v, item));
        if (auto truth = isTruthy(result); truth && *truth) break;
    }
    return result;
}

core::Value InSubqueryExpr::eval(const Runtime& rt, const Frame& frame) const {
    core::Value v = value_->eval(rt, frame);
    core::Value result;
    if (correlated()) {
        result = match(v, firstValues(rt, frame, 0));
    } else {
        if (!cache_) {
            Cache c;
            c.values = firstValues(rt, frame, 0);
            for (const auto& item : c.values) {
                if (item.isNull()) {
                    c.hasNull = true;
                    continue;
                }
                if (c.kind == core::DataType::Null) c.kind = item.type();
                if (keyClass(item.type()) != keyClass(c.kind)) c.oneKind = false;
                c.keys.insert(sortKey(item));
            }
            cache_ = std::move(c);
        }
        const Cache& c = *cache_;
        // Values of one kind compared with a value of that kind: equal exactly when their
        // keys are. Anything else (text against numbers) goes through the comparison rules.
        if (v.isNull()) {
            result = c.values.empty() ? core::Value(false) : core::Value();
        } else if (c.oneKind &&
                   (c.kind == core::DataType::Null || keyClass(v.type()) == keyClass(c.kind))) {
            if (c.keys.count(sortKey(v)))
                result = core::Value(true);
            else
                result = c.hasNull ? core::Value() : core::Value(false);
        } else {
            result = match(v, c.values);
        }
    }
    return negated_ ? logicalNot(result) : result;
}

std::string InSubqueryExpr::fingerprint() const {
    return std::string(negated_ ? "nin(" : "in(") + value_->fingerprint() + "," + plan_.text + ")";
}

void InSubqueryExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    value_->columnsUsed(depth, slots);
    SubqueryExpr::columnsUsed(depth, slots);
}

} // namespace sql
