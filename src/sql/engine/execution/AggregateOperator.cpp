#include "sql/engine/execution/AggregateOperator.h"

#include "sql/engine/execution/SortKey.h"
#include "sql/eval/Aggregates.h"

#include <algorithm>
#include <map>

namespace sql {

namespace {

struct Group {
    std::vector<core::Value> values;
    std::vector<Aggregate> accumulators;
};

} // namespace

GroupAggregate::GroupAggregate(OperatorPtr input, BoundList groupBy,
                               std::vector<AggregateCall> aggregates)
    : input_(std::move(input)), groupBy_(std::move(groupBy)), aggregates_(std::move(aggregates)) {}

void GroupAggregate::open(const Runtime& rt, const Frame* outer) {
    input_->open(rt, outer);
    auto fresh = [this] {
        Group g;
        for (const auto& a : aggregates_) g.accumulators.emplace_back(a.function);
        return g;
    };
    // Ordered by the grouping values' keys, which is the order the groups come out in.
    std::map<std::string, Group> groups;
    if (groupBy_.empty()) groups.emplace(std::string(), fresh());
    ResultRow row;
    std::vector<core::Value> values(groupBy_.size());
    while (input_->next(row)) {
        Frame frame{row.values, outer};
        for (std::size_t i = 0; i < groupBy_.size(); ++i) values[i] = groupBy_[i]->eval(rt, frame);
        auto [it, added] = groups.try_emplace(sortKey(values));
        if (added) {
            it->second = fresh();
            it->second.values = values;
        }
        for (std::size_t i = 0; i < aggregates_.size(); ++i) {
            const auto& call = aggregates_[i];
            it->second.accumulators[i].add(call.argument ? call.argument->eval(rt, frame)
                                                         : core::Value(true));
        }
    }
    results_.clear();
    results_.reserve(groups.size());
    for (auto& [key, group] : groups) {
        std::vector<core::Value> out = std::move(group.values);
        for (const auto& acc : group.accumulators) out.push_back(acc.result());
        results_.push_back(std::move(out));
    }
    position_ = 0;
}

bool GroupAggregate::next(ResultRow& row) {
    if (position_ >= results_.size()) return false;
    row.values = std::move(results_[position_++]);
    row.locators.clear();
    return true;
}

} // namespace sql
