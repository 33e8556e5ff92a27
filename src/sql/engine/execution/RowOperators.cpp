#include "sql/engine/execution/RowOperators.h"

namespace sql {

void Filter::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    input_->open(rt, outer);
}

bool Filter::next(ResultRow& row) {
    while (input_->next(row))
        if (allPass(criteria_, *rt_, Frame{row.values, outer_})) return true;
    return false;
}

void Project::open(const Runtime& rt, const Frame* outer) {
    rt_ = &rt;
    outer_ = outer;
    input_->open(rt, outer);
}

bool Project::next(ResultRow& row) {
    if (!input_->next(in_)) return false;
    Frame frame{in_.values, outer_};
    row.values.resize(expressions_.size());
    for (std::size_t i = 0; i < expressions_.size(); ++i)
        row.values[i] = expressions_[i]->eval(*rt_, frame);
    if (keepLocators_)
        row.locators = in_.locators;
    else
        row.locators.clear();
    return true;
}

void DistinctRows::open(const Runtime& rt, const Frame* outer) {
    seen_.clear();
    input_->open(rt, outer);
}

bool DistinctRows::next(ResultRow& row) {
    while (input_->next(row)) {
        std::vector<std::optional<RowLocator>> key;
        key.reserve(locators_.size());
        for (std::size_t i : locators_) key.push_back(row.locators.at(i));
        if (seen_.insert(std::move(key)).second) return true;
    }
    return false;
}

} // namespace sql
