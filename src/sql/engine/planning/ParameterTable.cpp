#include "sql/engine/planning/ParameterTable.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/DefinitionMapping.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/engine/storage/TableInfo.h"

#include <algorithm>

namespace sql {

void ParameterTable::declare(const std::vector<ParameterDecl>& declarations) {
    for (const auto& d : declarations) {
        if (isDeclared(d.name)) continue;
        auto slot = std::make_shared<ParameterSlot>();
        slot->name = d.name;
        slot->declared = true;
        slots_.push_back({slot, d.type});
    }
}

bool ParameterTable::isDeclared(std::string_view name) const {
    return std::any_of(slots_.begin(), slots_.end(), [&](const Entry& e) {
        return e.slot->declared && sameName(e.slot->name, name);
    });
}

std::shared_ptr<ParameterSlot> ParameterTable::named(std::string_view name, std::size_t offset) {
    for (auto& e : slots_) {
        if (e.slot->marker < 0 && sameName(e.slot->name, name)) {
            if (!e.slot->declared) e.slot->offset = std::min(e.slot->offset, offset);
            return e.slot;
        }
    }
    auto slot = std::make_shared<ParameterSlot>();
    slot->name = std::string(name);
    slot->offset = offset;
    slots_.push_back({slot, std::nullopt});
    return slot;
}

std::shared_ptr<ParameterSlot> ParameterTable::marker(int index, std::size_t offset) {
    for (auto& e : slots_)
        if (e.slot->marker == index) return e.slot;
    auto slot = std::make_shared<ParameterSlot>();
    slot->name = "?";
    slot->marker = index;
    slot->offset = offset;
    slots_.push_back({slot, std::nullopt});
    return slot;
}

void ParameterTable::assignPositions() {
    std::stable_sort(slots_.begin(), slots_.end(), [](const Entry& a, const Entry& b) {
        if (a.slot->declared != b.slot->declared) return a.slot->declared;
        if (a.slot->declared) return false; // declaration order
        return a.slot->offset < b.slot->offset;
    });
    for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i].slot->position = i;
}

std::vector<ParameterInfo> ParameterTable::describe() const {
    std::vector<ParameterInfo> out;
    for (const auto& e : slots_) {
        ParameterInfo info{e.slot->name, std::nullopt};
        if (e.declaredType) info.declaredType = columnInfoFor(*e.declaredType).type;
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<core::Value> ParameterTable::values(std::span<const core::Value> given) const {
    if (given.size() < slots_.size())
        throw core::SqlError(std::string(messages::missingParameters));
    std::vector<core::Value> out;
    out.reserve(slots_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const auto& e = slots_[i];
        out.push_back(e.declaredType ? toColumnValue(columnInfoFor(*e.declaredType), given[i])
                                     : given[i]);
    }
    return out;
}

} // namespace sql
