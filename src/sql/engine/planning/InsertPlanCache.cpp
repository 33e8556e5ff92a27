#include "sql/engine/planning/InsertPlanCache.h"

#include "sql/engine/planning/PreparedStatement.h"

namespace sql {

InsertPlanCache::Plan* InsertPlanCache::find(std::string_view text, Storage& storage,
                                             const EvalContext& eval,
                                             std::vector<std::optional<core::Value>>& given) {
    if (plans_.empty() || !readInsertShape(text, shape_)) return nullptr;
    auto it = plans_.find(shape_.key);
    if (it == plans_.end() || !it->second) return nullptr;
    Plan& plan = *it->second;
    const auto version = storage.definitionsVersion();
    if (!version || version != plan.version || !plan.writer) {
        // A table changed since (a column added, a default or an index changed) is planned
        // anew.
        auto info = storage.tableInfo(plan.table);
        if (!info || *info != plan.info) {
            plans_.erase(it);
            return nullptr;
        }
        plan.version = version;
        plan.runtime = std::make_unique<Runtime>(Runtime{storage, eval, {}});
        plan.writer = std::make_unique<TableWriter>(storage, *plan.runtime, plan.info);
    }
    given.assign(plan.info.columns.size(), std::nullopt);
    for (std::size_t i = 0; i < plan.targets.size(); ++i) {
        if (plan.literal[i] < 0) {
            given[plan.targets[i]] = plan.constants[i];
            continue;
        }
        const LiteralSlot& slot = shape_.literals[std::size_t(plan.literal[i])];
        if (plan.info.columns[plan.targets[i]].type == jet::ColumnType::Currency) {
            // Amounts written out in full skip the round trip through a double.
            if (auto amount = currencyLiteral(text, slot)) {
                given[plan.targets[i]] = core::Value(*amount);
                continue;
            }
        }
        auto value = literalValue(text, slot);
        // The parser refuses this literal; it says why.
        if (!value) return nullptr;
        given[plan.targets[i]] = std::move(*value);
    }
    return &plan;
}

void InsertPlanCache::learn(std::string_view text, const Statement& statement,
                            const Storage& storage) {
    if (!readInsertShape(text, shape_)) return;
    if (plans_.size() >= kLimit) plans_.clear();
    auto& slot = plans_[shape_.key];
    slot.reset();
    const auto* insert = statement.as<Insert>();
    const auto* values = insert ? std::get_if<InsertValues>(&insert->source) : nullptr;
    if (!values || !statement.parameters.empty() || statement.positionalParameters != 0) return;
    auto info = storage.tableInfo(insert->table);
    if (!info) return;
    Plan plan{insert->table, *info, valueTargets(*info, *insert), {}, {}, {}, {}, {}};
    std::size_t next = 0; // the shape's literals, in text order
    for (const auto& value : values->values) {
        const auto* literal = value->as<Literal>();
        if (!literal) return;
        if (next < shape_.literals.size() && shape_.literals[next].start == value->offset &&
            shape_.literals[next].end == value->end) {
            // The shape's reading must give exactly the parser's value.
            if (literalValue(text, shape_.literals[next]) != literal->value) return;
            plan.literal.push_back(int(next++));
            plan.constants.emplace_back();
        } else {
            plan.literal.push_back(-1);
            plan.constants.push_back(literal->value);
        }
    }
    if (next != shape_.literals.size() || plan.targets.size() != plan.literal.size()) return;
    slot = std::move(plan);
}

} // namespace sql
