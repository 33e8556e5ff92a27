#include "sql/engine/planning/Scope.h"

namespace sql {

const ScopeSource* Scope::findSource(std::string_view name) const {
    for (const auto& s : sources_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

ScopeSource& Scope::addSource(ScopeSource source) {
    source.slots = {width_, source.columns.size()};
    width_ += source.columns.size();
    if (!source.baseTable.empty()) source.locator = locatorCount_++;
    sources_.push_back(std::move(source));
    return sources_.back();
}

Scope::Lookup Scope::lookup(std::string_view table, std::string_view column,
                            ResolvedColumn& found) const {
    int matches = 0;
    for (const auto& s : sources_) {
        if (!table.empty() && !sameName(s.name, table)) continue;
        for (std::size_t i = 0; i < s.columns.size(); ++i) {
            if (!sameName(s.columns[i].name, column)) continue;
            if (++matches == 1) found = {0, s.slots.first + i, &s, &s.columns[i]};
            break;
        }
    }
    if (matches == 0) return Lookup::Missing;
    return matches == 1 ? Lookup::Found : Lookup::Ambiguous;
}

} // namespace sql
